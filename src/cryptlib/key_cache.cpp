// The public-key cache of a binding: the user's own public key file and every
// "pub" file below the Abonents folder, keyed by UID without regard to letter
// case, with the pairwise key derived for each correspondent. Filled lazily;
// a failed first load still counts as loaded with whatever could be read.
#include <cstring>
#include <new>

#include "cryptoc_dll.h"
#include "key_file_format.h"

namespace tzm {
namespace R = crypt_result;

namespace {

constexpr const char* kPublicKeyExt = "pub";

// IsOwnUID: the cache cannot tell apart two UIDs that differ only in letter
// case (lookups ignore case and the user's own file comes first), so a UID
// equal to the user's own one ignoring case counts as the user's own. This
// keeps an include or removal from deleting the user's own public key file.
bool IsOwnUID(std::string_view uid, std::string_view own) { return !own.empty() && SameText(uid, own); }

}  // namespace

int32_t ReadPublicKeyFile(const std::string& path, TCryptoC_CashNode& node, std::string& uidOut) {
  if (!platform::FileExists(path)) return R::kPublicKeyBad;
  node.Image.fill(0);
  size_t fileLen = 0;
  if (!ReadFileToBuffer(path, std::span<uint8_t>(node.Image).first(kMaxPublicKeyFileLen), fileLen)) {
    return R::kPublicKeyBad;
  }
  node.Path = path;
  node.Size = static_cast<int32_t>(fileLen);
  node.PairKeyValid = false;
  node.PairKey.Wipe();
  // The image is zero-filled past the file (at least one byte, since files
  // hold at most 515 of its 516 bytes), so the UID always ends inside it.
  TByteReader reader(node.Image);
  uidOut.clear();
  if (!reader.ReadZString(kPublicKeyImageLen, uidOut)) return R::kPublicKeyBad;
  uint32_t word = 0;
  node.Algorithm = reader.ReadU32(word) ? static_cast<int32_t>(word) : -1;
  return R::kOk;
}

int32_t TCryptoC_DLL::LoadKeyCache(const std::string& publicKeyPath, const std::string& abonentsDir) {
  if (!KeyCache) KeyCache = std::make_unique<TKeyCache>();
  std::vector<std::string> candidates{publicKeyPath};
  FindFilesByExt(abonentsDir, kPublicKeyExt, candidates, true);
  int32_t result = R::kOk;
  for (const std::string& path : candidates) {
    auto node = std::make_unique<TCryptoC_CashNode>();
    std::string uid;
    if (ReadPublicKeyFile(path, *node, uid) != R::kOk) {
      result = R::kPublicKeyBad;
      continue;
    }
    KeyCache->push_back(TCacheItem{std::move(uid), std::move(node)});
  }
  return result;
}

int32_t TCryptoC_DLL::EnsureKeyCache(const TKeySet& keys) {
  if (KeyCache) return R::kOk;
  return LoadKeyCache(keys.PublicKeyPath, keys.AbonentsDir);
}

TCryptoC_CashNode* TCryptoC_DLL::FindNode(std::string_view uid) {
  if (!KeyCache) return nullptr;
  for (TCacheItem& item : *KeyCache) {
    if (SameText(item.UID, uid)) return item.Node.get();
  }
  return nullptr;
}

int32_t TCryptoC_DLL::FindCachedNode(std::string_view uid, const TKeySet& keys, const TCryptoC_CashNode*& node) {
  node = nullptr;
  const int32_t result = EnsureKeyCache(keys);
  if (result != R::kOk) return result;
  node = FindNode(uid);
  return node != nullptr ? R::kOk : R::kPublicKeyBad;
}

int32_t TCryptoC_DLL::GetPublicKey(std::string_view uid, bool wantExchangeKey,
                                   std::span<uint8_t, kCrypCExchangeKeyLen> out, int32_t& algorithm,
                                   const TKeySet& keys) {
  try {
    platform::TCriticalSectionGuard guard(KeyLock);
    const TCryptoC_CashNode* node = nullptr;
    const int32_t result = FindCachedNode(uid, keys, node);
    if (result != R::kOk) return result;
    algorithm = node->Algorithm;
    // Size rule: the entry must be exactly a public key file of its
    // algorithm for this UID.
    const size_t signingLen = SigningPublicKeyLen(node->Algorithm);
    if (static_cast<size_t>(node->Size) != PublicKeyFileLen(uid.size(), node->Algorithm)) {
      return R::kPublicKeyBad;
    }
    const size_t signingOffset = uid.size() + 5;
    if (wantExchangeKey) {
      std::memcpy(out.data(), node->Image.data() + signingOffset + signingLen, kCrypCExchangeKeyLen);
    } else {
      std::memcpy(out.data(), node->Image.data() + signingOffset, signingLen);
    }
    return R::kOk;
  } catch (const std::bad_alloc&) {
    return R::kOutOfMemory;
  }
}

bool TCryptoC_DLL::FindCachedPairKey(std::string_view uid, std::span<uint8_t, kPairKeyLen> out) {
  platform::TCriticalSectionGuard guard(KeyLock);
  const TCryptoC_CashNode* node = FindNode(uid);
  if (out.data() == nullptr || node == nullptr || !node->PairKeyValid) return false;
  std::memcpy(out.data(), node->PairKey.data(), kPairKeyLen);
  return true;
}

void TCryptoC_DLL::StoreCachedPairKey(std::string_view uid, std::span<const uint8_t, kPairKeyLen> key) {
  platform::TCriticalSectionGuard guard(KeyLock);
  TCryptoC_CashNode* node = FindNode(uid);
  if (key.data() == nullptr || node == nullptr || node->PairKeyValid) return;  // never overwritten
  std::memcpy(node->PairKey.data(), key.data(), kPairKeyLen);
  node->PairKeyValid = true;
}

int32_t TCryptoC_DLL::IncludePublicKey(std::span<const uint8_t> keyFile, const TKeySet& keys) {
  try {
    // The image must fit the cache node and name a usable UID; a longer
    // image than any public key file is refused like a malformed one.
    TPublicKeyHead head;
    if (keyFile.size() > kMaxPublicKeyFileLen || !ParsePublicKeyHead(keyFile, head)) return R::kPublicKeyBad;
    std::string own;
    const int32_t ownResult = GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, own);
    if (ownResult != R::kOk) return ownResult;
    if (IsOwnUID(head.UID, own)) return R::kIncludeOwnKey;

    platform::TCriticalSectionGuard guard(KeyLock);
    const int32_t loadResult = EnsureKeyCache(keys);
    if (loadResult != R::kOk) return loadResult;

    // The new file is written before the entries it replaces are deleted,
    // so that a failed write (a full disk) keeps the key already known. The
    // file of an entry being replaced counts as free for the naming rule,
    // exactly as it would be once deleted: it is overwritten in place.
    const auto replacedEntryFile = [&](const std::string& path) {
      const std::string native = platform::MapPath(path);
      for (const TCacheItem& item : *KeyCache) {
        if (SameText(item.UID, head.UID) && platform::MapPath(item.Node->Path) == native) return true;
      }
      return false;
    };

    // UID.pub, unless that name is taken or the UID is no plain file name
    // (a UID comes from another party and must not steer the path).
    const auto numberedName = [&] {
      return keys.AbonentsDir + "pk" + std::to_string(GetNextFileNumber(keys.AbonentsDir, "pk*.pub")) + ".pub";
    };
    std::string fileName = keys.AbonentsDir + head.UID + ".pub";
    const bool uidName =
        IsPlainFileName(head.UID) && (!platform::FileExists(fileName) || replacedEntryFile(fileName));
    if (!uidName) fileName = numberedName();
    if (!WriteBufferToFile(fileName, keyFile)) {
      // A long UID can exceed the file system's name limit once converted
      // from 8-bit text (a Cyrillic letter takes two bytes in UTF-8): such a
      // key still gets the numbered name rather than being refused.
      if (!uidName) return R::kPublicKeyFileWrite;
      fileName = numberedName();
      if (!WriteBufferToFile(fileName, keyFile)) return R::kPublicKeyFileWrite;
    }

    // Now the entries of this UID go, with their files (except the one just
    // written); a file that cannot be deleted keeps its entry, as before.
    const std::string writtenNative = platform::MapPath(fileName);
    for (auto it = KeyCache->begin(); it != KeyCache->end();) {
      if (!SameText(it->UID, head.UID)) {
        ++it;
        continue;
      }
      const std::string& path = it->Node->Path;
      if (platform::MapPath(path) != writtenNative && platform::FileExists(path) && !platform::RemoveFile(path)) break;
      it = KeyCache->erase(it);
    }

    auto node = std::make_unique<TCryptoC_CashNode>();
    node->Path = fileName;
    node->Size = static_cast<int32_t>(keyFile.size());
    node->Algorithm = head.HasAlgorithm ? head.Algorithm : -1;
    std::memcpy(node->Image.data(), keyFile.data(), keyFile.size());
    KeyCache->push_back(TCacheItem{head.UID, std::move(node)});
    return R::kOk;
  } catch (const std::bad_alloc&) {
    return R::kOutOfMemory;
  }
}

int32_t TCryptoC_DLL::DeleteCachedKey(std::string_view uid) {
  if (!KeyCache) return R::kOk;
  bool found = false;
  for (auto it = KeyCache->begin(); it != KeyCache->end();) {
    if (!SameText(it->UID, uid)) {
      ++it;
      continue;
    }
    found = true;
    // A file already gone counts as deleted; otherwise a stale entry could
    // never be removed and would shadow a newly included key.
    const std::string& path = it->Node->Path;
    if (platform::FileExists(path) && !platform::RemoveFile(path)) return R::kPublicKeyFileDelete;
    it = KeyCache->erase(it);
  }
  return found ? R::kOk : R::kPublicKeyBad;
}

int32_t TCryptoC_DLL::RemovePublicKey(std::string_view uid, const TKeySet& keys) {
  try {
    platform::TCriticalSectionGuard guard(KeyLock);
    std::string own;
    if (OwnUID(keys.PublicKeyPath, own) != R::kOk) own.clear();  // unreadable: no own key to protect
    if (IsOwnUID(uid, own)) return R::kRemoveOwnKey;
    const int32_t loadResult = EnsureKeyCache(keys);
    if (loadResult != R::kOk) return loadResult;
    return DeleteCachedKey(uid);
  } catch (const std::bad_alloc&) {
    return R::kOutOfMemory;
  }
}

int32_t TCryptoC_DLL::UpdatePublicKey(std::string_view uid, const TKeySet& keys) {
  try {
    platform::TCriticalSectionGuard guard(KeyLock);
    if (KeyCache) {
      TCryptoC_CashNode* node = FindNode(uid);
      if (node != nullptr) {
        // Re-read the entry's own file; the fresh node has no pairwise key,
        // so it is derived anew on next use.
        TCryptoC_CashNode scratch;
        std::string fileUID;
        if (ReadPublicKeyFile(node->Path, scratch, fileUID) == R::kOk && fileUID == uid) {
          *node = scratch;
          return R::kOk;
        }
      } else {
        // Not cached: the file named after the UID, then every "pub" file.
        auto node = std::make_unique<TCryptoC_CashNode>();
        std::string fileUID;
        const std::string uidText(uid);
        bool found = IsPlainFileName(uidText) &&
                     ReadPublicKeyFile(keys.AbonentsDir + uidText + ".pub", *node, fileUID) == R::kOk &&
                     fileUID == uid;
        if (!found) {
          std::vector<std::string> files;
          FindFilesByExt(keys.AbonentsDir, kPublicKeyExt, files, true);
          for (const std::string& path : files) {
            if (ReadPublicKeyFile(path, *node, fileUID) == R::kOk && fileUID == uid) {
              found = true;
              break;
            }
          }
        }
        if (!found) return R::kPublicKeyBad;
        KeyCache->push_back(TCacheItem{uidText, std::move(node)});
        return R::kOk;
      }
    }
    // Full reload.
    if (!IsDirectory(keys.AbonentsDir)) return R::kPublicKeyBad;
    ClearKeyCache();
    const int32_t loadResult = LoadKeyCache(keys.PublicKeyPath, keys.AbonentsDir);
    if (loadResult != R::kOk) return loadResult;
    return FindNode(uid) != nullptr ? R::kOk : R::kPublicKeyBad;
  } catch (const std::bad_alloc&) {
    return R::kOutOfMemory;
  }
}

int32_t TCryptoC_DLL::GetPublicKeyBlob(std::string_view uid, std::span<uint8_t> out, int32_t& outLen,
                                       const TKeySet& keys) {
  outLen = 0;
  try {
    platform::TCriticalSectionGuard guard(KeyLock);
    const TCryptoC_CashNode* node = nullptr;
    const int32_t result = FindCachedNode(uid, keys, node);
    if (result != R::kOk) return result;
    const size_t size = static_cast<size_t>(node->Size);
    if (out.size() < size) return R::kBadArgument;
    std::memcpy(out.data(), node->Image.data(), size);
    outLen = node->Size;
    return R::kOk;
  } catch (const std::bad_alloc&) {
    return R::kOutOfMemory;
  }
}

void TCryptoC_DLL::ClearKeyCache() { KeyCache.reset(); }

void TCryptoC_DLL::ClearKeys() {
  platform::TCriticalSectionGuard guard(KeyLock);
  ClearKeyCache();
  ForgetSecretKey();
}

bool TCryptoC_DLL::HasKeyCache() {
  platform::TCriticalSectionGuard guard(KeyLock);
  return KeyCache != nullptr;
}

size_t TCryptoC_DLL::CachedEntryCount() {
  platform::TCriticalSectionGuard guard(KeyLock);
  return KeyCache ? KeyCache->size() : 0;
}

}  // namespace tzm
