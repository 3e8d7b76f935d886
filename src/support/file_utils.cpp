// File and directory utilities over the platform layer. Enumerations never
// follow symbolic links or junctions, so clearing or scanning a folder cannot
// reach outside it or loop.
#include "file_utils.h"

#include <climits>
#include <new>

#include "platform.h"
#include "secure.h"
#include "text_utils.h"

namespace tzm {
namespace {

using platform::kAttrDirectory;
using platform::kAttrReadOnly;
using platform::kAttrReparsePoint;
using platform::kAttrVolumeLabel;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsBareDrive(std::string_view path) { return path.size() == 2 && path[1] == ':'; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Decimal with an optional sign, the whole text, within int.
bool TryParseInt(std::string_view text, long long& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) return false;
  }
  v = negative ? -v : v;
  if (v > INT_MAX || v < INT_MIN) return false;
  value = v;
  return true;
}

}  // namespace

bool IsDirectory(std::string_view path) {
  const auto attrs = platform::FileAttributes(path);
  return attrs && (*attrs & kAttrDirectory) != 0;
}

std::string AddBackslash(std::string_view text) {
  if (text.empty() || text.back() == '\\') return std::string(text);
  if (text.size() == 1 && IsLetter(text[0])) return std::string(text) + ":\\";
  return std::string(text) + "\\";
}

bool ClearDirectory(std::string_view dir, bool removeDir) {
  if (!IsDirectory(dir)) return false;
  const std::string base = AddBackslash(dir);
  bool result = true;
  platform::TFileFind find;
  for (bool ok = find.First(base + "*.*"); ok; ok = find.Next()) {
    const platform::TFindEntry& entry = find.Entry();
    if (entry.Name.empty() || entry.Name[0] == '.' || entry.Attributes == kAttrVolumeLabel) continue;
    const std::string path = base + entry.Name;
    if ((entry.Attributes & kAttrReparsePoint) != 0) {
      // A link: remove the link itself, never what it points to.
      const bool removed = ((entry.Attributes & kAttrDirectory) != 0 && platform::RemoveEmptyDirectory(path)) ||
                           platform::RemoveFile(path);
      result = removed && result;
    } else if ((entry.Attributes & kAttrDirectory) != 0) {
      result = ClearDirectory(path, true) && result;
    } else if ((entry.Attributes & kAttrVolumeLabel) == 0) {
      if ((entry.Attributes & kAttrReadOnly) != 0) platform::SetAttributes(path, platform::kAttrArchive);
      result = platform::RemoveFile(path) && result;
    }
  }
  find.Close();
  if (removeDir && result && !IsBareDrive(dir)) result = platform::RemoveEmptyDirectory(dir);
  return result;
}

bool CopyFileData(std::string_view source, std::string_view dest) {
  try {
    const auto size = platform::FileSize(source);
    if (!size || *size > SIZE_MAX) return false;
    SecureVector<uint8_t> buffer(static_cast<size_t>(*size));  // key files pass through here
    size_t len = 0;
    if (platform::ReadFileInto(source, buffer, len) != platform::TReadResult::kOk) return false;
    return platform::WriteFileAtomic(dest, std::span<const uint8_t>(buffer.data(), len));
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool ReadFileToBuffer(std::string_view path, std::span<uint8_t> buffer, size_t& size) {
  size_t len = 0;
  if (platform::ReadFileInto(path, buffer, len) != platform::TReadResult::kOk) return false;
  size = len;
  return true;
}

bool WriteBufferToFile(std::string_view path, std::span<const uint8_t> data) {
  return platform::WriteFileAtomic(path, data);
}

int GetNextFileNumber(std::string_view dir, std::string_view mask) {
  const size_t star = mask.find('*');
  if (star == std::string_view::npos || !IsDirectory(dir)) return 0;
  long long largest = 0;
  platform::TFileFind find;
  for (bool ok = find.First(AddBackslash(dir) + std::string(mask)); ok; ok = find.Next()) {
    const platform::TFindEntry& entry = find.Entry();
    if (entry.Name.empty() || entry.Name[0] == '.') continue;
    if ((entry.Attributes & (kAttrVolumeLabel | kAttrDirectory)) != 0) continue;
    const size_t dot = entry.Name.find('.');
    if (dot == std::string::npos || star >= dot) continue;
    long long value = 0;
    // A number that cannot be incremented is ignored rather than overflowing.
    if (TryParseInt(std::string_view(entry.Name).substr(star, dot - star), value) && value < INT_MAX &&
        value > largest) {
      largest = value;
    }
  }
  return static_cast<int>(largest + 1);
}

int SplitBySemicolon(std::string_view text, std::vector<std::string>& list) {
  if (text.empty()) return 0;
  int count = 0;
  size_t pos = 0;
  while (true) {
    const size_t semi = text.find(';', pos);
    list.emplace_back(text.substr(pos, semi == std::string_view::npos ? std::string_view::npos : semi - pos));
    ++count;
    if (semi == std::string_view::npos) break;
    pos = semi + 1;
  }
  return count;
}

void FindFilesByExt(std::string_view dir, std::string_view ext, std::vector<std::string>& list, bool recursive) {
  if (!IsDirectory(dir)) return;
  const std::string base = AddBackslash(dir);
  platform::TFileFind find;
  for (bool ok = find.First(base + "*.*"); ok; ok = find.Next()) {
    const platform::TFindEntry& entry = find.Entry();
    if (entry.Name.empty() || entry.Name[0] == '.' || entry.Attributes == kAttrVolumeLabel) continue;
    if ((entry.Attributes & kAttrDirectory) != 0) {
      if (recursive && (entry.Attributes & kAttrReparsePoint) == 0) {
        FindFilesByExt(base + entry.Name, ext, list, true);
      }
    } else if ((entry.Attributes & kAttrVolumeLabel) == 0) {
      const std::string_view name = entry.Name;
      const std::string_view tail = name.size() > 3 ? name.substr(name.size() - 3) : name;
      if (SameText(tail, ext)) list.push_back(base + entry.Name);
    }
  }
}

bool ForceDirs(std::string_view dir) {
  if (dir.empty()) return false;
  std::string path(dir);
  if (IsSeparator(path.back())) path.pop_back();
  if (path.size() < 3) {
    // A drive "X:" or the root always exists; a short relative name is made.
    if (path.empty() || IsBareDrive(path) || IsDirectory(path)) return true;
    return platform::MakeDirectory(path) || IsDirectory(path);
  }
  if (IsDirectory(path)) return true;
  const size_t cut = path.find_last_of("\\/");
  if (cut != std::string::npos) {
    const std::string parent = path.substr(0, cut + 1);
    if (parent == path) return true;
    if (!ForceDirs(parent)) return false;
  }
  return platform::MakeDirectory(path) || IsDirectory(path);
}

std::string BufferToHex(std::span<const uint8_t> data, size_t groupSize, size_t lineSize) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(data.size() * 3);
  for (size_t i = 0; i < data.size(); ++i) {
    out.push_back(kDigits[data[i] >> 4]);
    out.push_back(kDigits[data[i] & 0x0F]);
    if (groupSize != 0 && (i + 1) % groupSize == 0) out.push_back(' ');
    if (lineSize != 0 && (i + 1) % lineSize == 0) out += "\r\n";
  }
  return out;
}

std::string StripDateSuffix(std::string_view uid) {
  const std::string_view tail = uid.size() > 21 ? uid.substr(uid.size() - 21) : uid;
  if (!tail.empty() && tail.front() == '(' && uid.back() == ')') {
    return uid.size() > 22 ? std::string(uid.substr(0, uid.size() - 22)) : std::string();
  }
  return std::string(uid);
}

std::string ExtractFilePath(std::string_view path) {
  const size_t cut = path.find_last_of("\\/:");
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

std::string ExtractFileName(std::string_view path) {
  const size_t cut = path.find_last_of("\\/:");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

}  // namespace tzm
