// The process-wide root directory, its library search list and the "Path"
// update. The state is set once, early, by the host; a private mutex keeps a
// late reader (the library loader on another thread) from seeing it half set.
#include "root_dir.h"

#include <mutex>

#include "exceptions.h"
#include "file_utils.h"
#include "text_utils.h"

namespace tzm {
namespace {

struct TRootState {
  std::mutex Mutex;
  std::string Root;
  std::vector<std::string> SearchList;
};

TRootState& State() {
  static TRootState state;
  return state;
}

std::string WithBackslash(std::string_view path) {
  std::string out(path);
  if (out.empty() || out.back() != '\\') out.push_back('\\');
  return out;
}

// Adds each folder to "Path" unless the value as read already holds it
// (ignoring case) followed by ";" or at its end; writes back only on change.
// Every occurrence is checked: the root is a prefix of its own EXE folder, so
// its first occurrence is usually inside another entry.
void AddFoldersToPath(const std::vector<std::string>& folders) {
  const std::string original = platform::GetEnv("Path").value_or(std::string());
  const std::string reference = AnsiLowerCase(original);
  std::string working = original;
  for (const std::string& folder : folders) {
    if (working.empty()) {
      working = folder;
      continue;
    }
    const std::string wanted = AnsiLowerCase(folder);
    bool present = false;
    for (size_t at = reference.find(wanted); at != std::string::npos && !present; at = reference.find(wanted, at + 1)) {
      const size_t end = at + wanted.size();
      present = end == working.size() || (end < working.size() && working[end] == ';');
    }
    if (present) continue;
    working += ";";
    working += folder;
  }
  if (AnsiLowerCase(working) != reference) platform::SetEnv("Path", working);
}

}  // namespace

std::string KVLRoot() {
  std::lock_guard<std::mutex> hold(State().Mutex);
  return State().Root;
}

std::vector<std::string> LibrarySearchList() {
  std::lock_guard<std::mutex> hold(State().Mutex);
  return State().SearchList;
}

void SetKVLRoot(std::string_view path) {
  TRootState& state = State();
  std::lock_guard<std::mutex> hold(state.Mutex);
  const std::string root = WithBackslash(path);
  if (!state.Root.empty()) {
    if (state.Root == root) return;
    throw EException("Could not set KVLRoot to '" + std::string(path) + "'. Already set to '" + state.Root + "'.");
  }
  std::vector<std::string> list = {root + "EXE\\", root + "SYSTEM\\", root + "USER\\", root};
  state.Root = root;
  state.SearchList = list;
  AddFoldersToPath(list);
}

void ResetKVLRoot() {
  std::lock_guard<std::mutex> hold(State().Mutex);
  State().Root.clear();
  State().SearchList.clear();
}

std::string ResolveLibraryPath(std::string_view name) {
  if (name.find_first_of("\\/:") != std::string_view::npos) return std::string(name);
  const std::string exeDir = ExtractFilePath(platform::HostExecutablePath());
  if (!exeDir.empty() && platform::FileExists(exeDir + std::string(name))) return exeDir + std::string(name);
  for (const std::string& folder : LibrarySearchList()) {
    if (platform::FileExists(folder + std::string(name))) return folder + std::string(name);
  }
  return std::string(name);
}

platform::TModule LoadLibraryByName(std::string_view name) {
  return platform::TModule::Open(ResolveLibraryPath(name));
}

}  // namespace tzm
