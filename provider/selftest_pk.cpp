// CrypC_TestSignFunctions_: known-answer tests of the public-key half with
// fixed keys and nonces, fed straight to the internal sign functions (the
// entry points always draw fresh nonces). Vectors: the RFC 5832 section 7
// example on the test curve, a GOST R 34.10-94 example on the CryptoPro-A
// group, and a Diffie-Hellman agreement on the same group.
#include "crypc_exports.h"
#include "dh.h"
#include "gost3410_2001.h"
#include "gost3410_94.h"
#include "gost3410_common.h"

namespace crypc {
namespace {

bool HexBytes(const char* hex, uint8_t* out, size_t len) {
  auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
  for (size_t i = 0; i < len; ++i) out[i] = uint8_t(nibble(hex[2 * i]) << 4 | nibble(hex[2 * i + 1]));
  return true;
}

bool Test2001() {
  const TCurve& c = TCurve::Test();
  const TNat256 d = ParseHex<4>("7A929ADE789BB9BE10ED359DD39A72C11B60961F49397EEE1D19CE9891EC3B28");
  const TNat256 k = ParseHex<4>("77105C9B20BCD3122823C8CF6FCC7B956DE33814E95B7FE64FED924594DCEAB3");
  uint8_t hash[32];
  HexBytes("e53e042b67e6ec678e2e02b12a0352ce1fc6eee0529cc088119ad872b3c1fb2d", hash, 32);
  TNat256 qx, qy, r, s;
  c.BaseMul(d, qx, qy);
  if (!Equal(qx, ParseHex<4>("7F2B49E270DB6D90D8595BEC458B50C58585BA1D4E9B788F6689DBD8E56FD80B")) ||
      !Equal(qy, ParseHex<4>("26F1B489D6701DD185C8413A977B3CBBAF64D1C593D26627DFFB101A87FF77DA")))
    return false;
  const TNat256 e = HashToScalar(c.Q, hash);
  if (!Gost2001Sign(c, d, e, k, r, s)) return false;
  if (!Equal(r, ParseHex<4>("41AA28D2F1AB148280CD9ED56FEDA41974053554A42767B83AD043FD39DC0493")) ||
      !Equal(s, ParseHex<4>("01456C64BA4642A1653C235A98A60249BCD6D3F746B631DF928014F6C5BF9C40")))
    return false;
  if (!Gost2001Verify(c, qx, qy, e, r, s)) return false;
  TNat256 e1;
  c.Q.AddMod(e1, e, TNat256::FromWord(1));
  return !Gost2001Verify(c, qx, qy, e1, r, s);
}

bool Test94() {
  const TGost94Group& g = TGost94Group::CryptoProA();
  const TNat256 x = ParseHex<4>("1F6D8A5E3C2B4A79D0E1F2031425364758697A8B9CADBECFD0E1F20314253647");
  const TNat256 k = ParseHex<4>("29F6C7A3B8E4D5F60718293A4B5C6D7E8F90A1B2C3D4E5F60718293A4B5C6D7E");
  uint8_t hash[32];
  HexBytes("4477731bb44c0ac6856ab78c76005ae28412bcfeaea06ceee364cb9c04587043", hash, 32);
  const TNat1024 y = g.PowA(x);
  if (!Equal(y, ParseHex<16>("5D3F0ABA0CD819883BAC9DE98629CF262EF388240EF1E5AB38EB27CC4FF7AFAE"
                             "EA1A79832AB5C8F0FD8BD4AC5A6C523779431E36D2AE427BA6915B924CAA4D4B"
                             "1DB064F644A3B48E1DB9F98FDC502A5D3BB47E7525062A2A8D1CC86898408E46"
                             "BDF0E2430D6FD6DCCF98425F91FF5716C6D3351D6A73FE7B67E8F43AAE8EC40B")))
    return false;
  const TNat256 e = HashToScalar(g.Q, hash);
  TNat256 r, s;
  if (!Gost94Sign(g, x, e, k, r, s)) return false;
  if (!Equal(r, ParseHex<4>("1864A01D973326B421C9B30E5F489A0A2931612847E05BFE07B3A0C7E8B39C6B")) ||
      !Equal(s, ParseHex<4>("6A7D1212A7CC7BE6A0FBB61D58D451190DD0298611A4BBF577D78BDBFC987535")))
    return false;
  if (!g.IsSubgroupElement(y) || !Gost94Verify(g, y, e, r, s)) return false;
  TNat256 e1;
  g.Q.AddMod(e1, e, TNat256::FromWord(1));
  return !Gost94Verify(g, y, e1, r, s);
}

bool TestDh() {
  const TGost94Group& g = TGost94Group::CryptoProA();
  const TNat256 xa = ParseHex<4>("3A1F5C7E9B2D4F6081A3C5E7092B4D6F8091A2B3C4D5E6F708192A3B4C5D6E7F");
  const TNat256 xb = ParseHex<4>("5B7D9F1132547698BADCFE1032547698A1B2C3D4E5F60718293A4B5C6D7E8F90");
  const TNat1024 a = DhPublic(g, xa), b = DhPublic(g, xb);
  TNat1024 ka, kb;
  if (!DhShared(g, xa, b, ka) || !DhShared(g, xb, a, kb) || !Equal(ka, kb)) return false;
  return Equal(ka, ParseHex<16>("098E1817883A1EB3D30B1927F16BB5FE14FAAA6D2420952B3D39E6D0BA909CE0"
                                "678E20E32E3AC8978D9ED862C8948E041DECC2913BB37350A640B5A026C64334"
                                "31DECE1EC14BFA8C758CCB41E85A15045CFF39B5478B4731E971A19D2F2309B6"
                                "E4CE2553C96B9EB87F2046F33DD6E7EB4561E1D9B93830C9EDFE64CF38131625"));
}

}  // namespace

int RunSignSelfTest() { return Test2001() && Test94() && TestDh() ? kOk : kSelfTestFailed; }

}  // namespace crypc

extern "C" int CrypC_TestSignFunctions_(void) { return crypc::RunSignSelfTest(); }
