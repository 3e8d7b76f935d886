// Remote key generation: the shared start step and the UID a new key gets
// when the host names none. Internal to gost/.
#ifndef TZM_GOST_REMOTE_GEN_H
#define TZM_GOST_REMOTE_GEN_H

#include <cstdint>
#include <string>
#include <string_view>

#include "TCryptoCEngine.h"
#include "platform.h"

namespace tzm {

// File names inside the remote-generation directory.
inline constexpr std::string_view kRemoteGenNewPublic = "new.pub";
inline constexpr std::string_view kRemoteGenNewSecret = "new.sec";
inline constexpr std::string_view kRemoteGenSealedSecret = "sec.dat";

// KeyGenState values of the Ex operations.
inline constexpr int32_t kKeyGenCheckFiles = 0;   // in: check the key files first
inline constexpr int32_t kKeyGenDone = 1;         // out: the step succeeded
inline constexpr int32_t kKeyGenNoKeyFiles = 2;   // out: a current key file is missing

// DatedUID is uid without an earlier date suffix, followed by
// " (dd-mm-yyyy hh-nn-ss)" for when.
std::string DatedUID(std::string_view uid, const platform::TLocalDateTime& when);

// DiscardPlainSecret overwrites the file at path with zeros in place and
// removes it. True when the file is gone (or was never there).
bool DiscardPlainSecret(const std::string& path);

// RemoteGenBaseDir is the folder of the engine's secret key file (ending in
// a backslash), under which the remote-generation directory lies.
std::string RemoteGenBaseDir(const TCryptoCEngine& engine);

// InternalRemoteGenerateStart generates a key pair for newUID in the
// remote-generation directory, keeps its secret key there only encrypted for
// the current user ("sec.dat"), and writes the transfer of the new public
// key, signed with the current key, into outText. Results: 0; -4 for a nil
// outText; -25 directory not usable; -5 unknown "Key gen - GOST"; -18 the
// plain secret key file cannot be read or removed; -31 "sec.dat" not
// written; codes of the steps it uses unchanged; -3 on an exception.
[[nodiscard]] int32_t InternalRemoteGenerateStart(TCryptoCEngine& engine, char* outText, const std::string& newUID);

}  // namespace tzm

#endif  // TZM_GOST_REMOTE_GEN_H
