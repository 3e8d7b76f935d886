// Windows-form paths on POSIX: separators, drive letters and the
// case-insensitive lookup of existing components (see MapPath in platform.h).
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "posix_internal.h"

namespace tzm::platform {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Cp1251Upper(a[i]) != Cp1251Upper(b[i])) return false;
  }
  return true;
}

bool NativeExists(const std::string& native) {
  struct stat st;
  return ::lstat(native.c_str(), &st) == 0;
}

std::string Join(const std::string& base, const std::string& name) {
  if (base.empty()) return name;
  if (base.back() == '/') return base + name;
  return base + "/" + name;
}

// Finds the entry of |folder| (native) whose name equals |wanted| (CP1251)
// ignoring case; the smallest such name wins so the choice is stable.
bool FindIgnoringCase(const std::string& folder, std::string_view wanted, std::string& found) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return false;
  bool any = false;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (SameName(Utf8ToCp1251(name), wanted) && (!any || name < found)) {
      found = name;
      any = true;
    }
  }
  ::closedir(dir);
  return any;
}

}  // namespace

std::string DrivesRoot() {
  if (const char* drives = std::getenv("TZ_MORKA_DRIVES"); drives != nullptr && *drives != '\0') {
    return drives;
  }
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr && *home != '\0' ? home : "/tmp") + "/.tz_morka/drives";
}

bool HasDrive(std::string_view path) { return path.size() >= 2 && path[1] == ':' && IsDriveLetter(path[0]); }

std::string DriveFolder(char letter) {
  const std::string root = DrivesRoot();
  const std::string upper(1, Cp1251Upper(letter));
  const std::string lower(1, Cp1251Lower(letter));
  if (!NativeExists(Join(root, upper)) && NativeExists(Join(root, lower))) return Join(root, lower);
  return Join(root, upper);
}

std::string MapPath(std::string_view path) {
  if (path.empty()) return {};
  std::string base;
  size_t pos = 0;
  if (HasDrive(path)) {
    base = DriveFolder(path[0]);
    pos = 2;
  } else if (IsSeparator(path[0])) {
    base = "/";
  }
  bool lookUp = true;  // stop looking once a component exists under no spelling
  while (pos < path.size()) {
    while (pos < path.size() && IsSeparator(path[pos])) ++pos;
    size_t end = pos;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (end == pos) break;
    const std::string_view component = path.substr(pos, end - pos);
    pos = end;
    std::string name = Cp1251ToUtf8(component);
    if (lookUp && component != "." && component != ".." && !NativeExists(Join(base, name))) {
      std::string found;
      if (FindIgnoringCase(base, component, found)) {
        name = found;
      } else {
        lookUp = false;
      }
    }
    base = Join(base, name);
  }
  return base;
}

void EnsureDriveFolder(std::string_view path) {
  if (!HasDrive(path)) return;
  const std::string folder = DriveFolder(path[0]);
  if (NativeExists(folder)) return;
  // Create the drives root and the letter folder, parents included.
  std::string partial;
  size_t pos = 0;
  while (pos <= folder.size()) {
    size_t next = folder.find('/', pos);
    if (next == std::string::npos) next = folder.size();
    partial = folder.substr(0, next);
    if (!partial.empty()) ::mkdir(partial.c_str(), 0777);
    pos = next + 1;
  }
}

}  // namespace tzm::platform
