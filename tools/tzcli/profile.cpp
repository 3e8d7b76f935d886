// Profile file parsing.
#include "profile.h"

#include "args.h"
#include "files.h"
#include "result.h"
#include "text.h"

namespace tzcli {

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsAbsoluteLike(const std::string& path) {
  return !path.empty() && (path[0] == '/' || path[0] == '\\' || (path.size() >= 2 && path[1] == ':') ||
                           path.rfind("%", 0) == 0);
}

}  // namespace

TProfile ParseProfile(const std::string& raw, const std::string& path) {
  std::string text = raw;
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  if (!IsValidUtf8(text)) text = ToTerminal(text);
  TProfile profile;
  profile.Path = path;
  size_t start = 0;
  int lineNumber = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trim(std::string_view(text).substr(start, end - start));
    start = end + 1;
    ++lineNumber;
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) {
      throw TUsageError(path + ":" + std::to_string(lineNumber) + ": expected \"Name = Value\"");
    }
    TProfileEntry entry;
    entry.Name = Trim(std::string_view(line).substr(0, eq));
    entry.Value = Trim(std::string_view(line).substr(eq + 1));
    entry.Line = lineNumber;
    if (entry.Value.size() >= 2 && entry.Value.front() == '"' && entry.Value.back() == '"') {
      entry.Value = entry.Value.substr(1, entry.Value.size() - 2);
    }
    if (EqualsIgnoringCase(entry.Name, "Root")) {
      profile.Root = IsAbsoluteLike(entry.Value) ? entry.Value : AbsolutePath(FolderOf(path) + entry.Value);
    } else if (EqualsIgnoringCase(entry.Name, "Remote generate path")) {
      profile.RemoteGeneratePath = entry.Value;
    } else {
      profile.Params.push_back(entry);
    }
  }
  return profile;
}

TProfile LoadProfile(const std::string& path) {
  if (FileSizeOf(path) > 1024 * 1024) throw TUsageError("profile " + path + " is too large");
  size_t len = 0;
  std::vector<uint8_t> data;
  try {
    data = ReadInput(path, 0, len);
  } catch (const TToolError& error) {
    throw TUsageError(std::string("profile: ") + error.what());
  }
  return ParseProfile(std::string(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(len)), path);
}

}  // namespace tzcli
