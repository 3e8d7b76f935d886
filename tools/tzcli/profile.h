// Profile files: the engine settings a host keeps between runs, one
// "Name = Value" line per parameter, by the engine's parameter names.
#ifndef TZCLI_PROFILE_H
#define TZCLI_PROFILE_H

#include <optional>
#include <string>
#include <vector>

namespace tzcli {

// TProfileEntry is one parameter line (name and value UTF-8).
struct TProfileEntry {
  std::string Name;
  std::string Value;
  int Line = 0;
};

// TProfile is a parsed profile file.
struct TProfile {
  std::string Path;
  std::vector<TProfileEntry> Params;
  // "Root = DIR" (SetRootPath) and "Remote generate path = DIR"
  // (SetRemoteGeneratePath); a relative root counts from the profile's folder.
  std::optional<std::string> Root;
  std::optional<std::string> RemoteGeneratePath;
};

// ParseProfile reads profile text. Lines are "Name = Value"; blanks around
// both are dropped, a value in double quotes keeps its inner blanks; empty
// lines and lines starting with '#' or ';' are comments. The text is UTF-8
// (a leading byte-order mark is skipped); text that is not valid UTF-8 is
// taken as Windows-1251, as a Windows host may have saved it. Raises
// TUsageError naming the line for a line without '='.
TProfile ParseProfile(const std::string& text, const std::string& path);

// LoadProfile reads and parses the profile file |path| (UTF-8 path).
TProfile LoadProfile(const std::string& path);

}  // namespace tzcli

#endif
