// Files and directories on POSIX with Windows semantics where the system
// relies on them: read-only files cannot be written, deleted or replaced.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "posix_internal.h"

namespace tzm::platform {
namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

bool StatNative(const std::string& native, struct stat& st) {
  return !native.empty() && ::stat(native.c_str(), &st) == 0;
}

uint32_t AttributesOf(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return kAttrDirectory;
  uint32_t attrs = kAttrArchive;
  if ((st.st_mode & S_IWUSR) == 0) attrs |= kAttrReadOnly;
  return attrs;
}

// A target that Windows would refuse to overwrite or delete.
bool IsProtected(const std::string& native) {
  struct stat st;
  if (!StatNative(native, st)) return false;
  return S_ISDIR(st.st_mode) || (st.st_mode & S_IWUSR) == 0;
}

bool WriteAll(int fd, std::span<const uint8_t> data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string NativeFolderOf(const std::string& native) {
  const size_t slash = native.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return native.substr(0, slash);
}

}  // namespace

std::optional<uint32_t> FileAttributes(std::string_view path) {
  struct stat st;
  if (!StatNative(MapPath(path), st)) return std::nullopt;
  return AttributesOf(st);
}

bool SetAttributes(std::string_view path, uint32_t attrs) {
  const std::string native = MapPath(path);
  struct stat st;
  if (!StatNative(native, st)) return false;
  if (S_ISDIR(st.st_mode)) return true;  // read-only means nothing for folders
  mode_t mode = st.st_mode & 07777;
  mode = (attrs & kAttrReadOnly) != 0 ? (mode & ~kWriteBits) : (mode | S_IWUSR);
  return ::chmod(native.c_str(), mode) == 0;
}

bool FileExists(std::string_view path) {
  struct stat st;
  return StatNative(MapPath(path), st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view path) {
  struct stat st;
  return StatNative(MapPath(path), st) && S_ISDIR(st.st_mode);
}

std::optional<uint64_t> FileSize(std::string_view path) {
  struct stat st;
  if (!StatNative(MapPath(path), st) || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<uint64_t>(st.st_size);
}

TReadResult ReadFileInto(std::string_view path, std::span<uint8_t> out, size_t& outLen) {
  const std::string native = MapPath(path);
  if (native.empty()) return TReadResult::kFailed;
  const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return TReadResult::kFailed;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return TReadResult::kFailed;
  }
  if (static_cast<uint64_t>(st.st_size) > out.size()) {
    ::close(fd);
    return TReadResult::kTooLarge;
  }
  const size_t size = static_cast<size_t>(st.st_size);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, out.data() + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  if (done != size) return TReadResult::kFailed;  // the file changed under us
  outLen = size;
  return TReadResult::kOk;
}

bool WriteWholeFile(std::string_view path, std::span<const uint8_t> data) {
  EnsureDriveFolder(path);
  const std::string native = MapPath(path);
  if (native.empty() || IsProtected(native)) return false;
  const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const bool ok = WriteAll(fd, data);
  return (::close(fd) == 0) && ok;
}

bool OverwriteFileWithZeros(std::string_view path) {
  const std::string native = MapPath(path);
  if (native.empty() || IsProtected(native)) return false;
  const int fd = ::open(native.c_str(), O_WRONLY | O_CLOEXEC);  // no O_CREAT, no O_TRUNC
  if (fd < 0) return false;
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  static constexpr uint8_t kZeros[4096] = {};
  uint64_t left = ok ? static_cast<uint64_t>(st.st_size) : 0;
  while (ok && left > 0) {
    const size_t chunk = left < sizeof kZeros ? static_cast<size_t>(left) : sizeof kZeros;
    ok = WriteAll(fd, std::span<const uint8_t>(kZeros, chunk));
    left -= chunk;
  }
  ok = ok && ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

bool WriteFileAtomic(std::string_view path, std::span<const uint8_t> data) {
  static std::atomic<uint32_t> counter{0};
  EnsureDriveFolder(path);
  const std::string native = MapPath(path);
  if (native.empty() || native.back() == '/' || IsProtected(native)) return false;
  const std::string temp = native + ".~" + std::to_string(::getpid()) + "-" +
                           std::to_string(counter.fetch_add(1)) + ".tmp";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  // The replacement keeps the permissions of the file it replaces, so a key
  // file that only its owner may read does not become readable by others.
  struct stat old;
  bool ok = !StatNative(native, old) || ::fchmod(fd, old.st_mode & 07777) == 0;
  ok = ok && WriteAll(fd, data) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), native.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable; a failure here does not undo the write.
  const int dirFd = ::open(NativeFolderOf(native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

bool RemoveFile(std::string_view path) {
  const std::string native = MapPath(path);
  struct stat st;
  if (native.empty() || ::lstat(native.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return false;
  if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) return false;
  return ::unlink(native.c_str()) == 0;
}

bool RenameFile(std::string_view from, std::string_view to) {
  const std::string nativeFrom = MapPath(from);
  EnsureDriveFolder(to);
  const std::string nativeTo = MapPath(to);
  struct stat st;
  if (nativeFrom.empty() || nativeTo.empty() || ::lstat(nativeFrom.c_str(), &st) != 0) return false;
  if (nativeFrom != nativeTo && IsProtected(nativeTo)) return false;
  return ::rename(nativeFrom.c_str(), nativeTo.c_str()) == 0;
}

bool MakeDirectory(std::string_view path) {
  EnsureDriveFolder(path);
  const std::string native = MapPath(path);
  return !native.empty() && ::mkdir(native.c_str(), 0777) == 0;
}

bool RemoveEmptyDirectory(std::string_view path) {
  // Like Windows, a drive root cannot be removed.
  std::string_view rest = path;
  while (!rest.empty() && (rest.back() == '\\' || rest.back() == '/')) rest.remove_suffix(1);
  if (rest.empty() || (HasDrive(rest) && rest.size() == 2)) return false;
  const std::string native = MapPath(path);
  return !native.empty() && ::rmdir(native.c_str()) == 0;
}

// The enumeration reads the matching names at First, sorted, so that the
// result does not depend on directory order and no handle stays open.
struct TFileFind::TState {
  std::vector<TFindEntry> Entries;
  size_t Next = 0;
};

TFileFind::TFileFind() = default;
TFileFind::~TFileFind() { Close(); }

void TFileFind::Close() {
  delete State;
  State = nullptr;
}

bool TFileFind::First(std::string_view pattern) {
  Close();
  size_t cut = pattern.find_last_of("\\/");
  const std::string_view mask = cut == std::string_view::npos ? pattern : pattern.substr(cut + 1);
  if (mask.empty()) return false;
  std::string folder;
  if (cut == std::string_view::npos) {
    folder = ".";
  } else if (cut == 0) {
    folder = "/";
  } else {
    folder = MapPath(pattern.substr(0, cut + 1));
  }
  if (HasDrive(pattern) && cut == std::string_view::npos) return false;  // "C:*.*" is not supported
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return false;
  auto state = std::make_unique<TState>();
  while (const dirent* entry = ::readdir(dir)) {
    const std::string native = entry->d_name;
    if (native == "." || native == "..") continue;
    std::string name = Utf8ToCp1251(native);
    if (!MatchMask(mask, name)) continue;
    struct stat st;
    if (::fstatat(::dirfd(dir), native.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    uint32_t attrs = 0;
    if (S_ISLNK(st.st_mode)) {
      // Report what the link points to, marked as a link; a dangling link is a file.
      struct stat target;
      attrs = (::fstatat(::dirfd(dir), native.c_str(), &target, 0) == 0 ? AttributesOf(target) : kAttrArchive) |
              kAttrReparsePoint;
    } else {
      attrs = AttributesOf(st);
    }
    state->Entries.push_back(TFindEntry{std::move(name), attrs});
  }
  ::closedir(dir);
  std::sort(state->Entries.begin(), state->Entries.end(),
            [](const TFindEntry& a, const TFindEntry& b) { return a.Name < b.Name; });
  State = state.release();
  return Next();
}

bool TFileFind::Next() {
  if (State == nullptr || State->Next >= State->Entries.size()) return false;
  Current = State->Entries[State->Next++];
  return true;
}

}  // namespace tzm::platform
