// The process-wide root directory (the client's installation folder), the
// library search list built from it, and the loader that uses that list.
#ifndef TZM_SUPPORT_ROOT_DIR_H
#define TZM_SUPPORT_ROOT_DIR_H

#include <string>
#include <string_view>
#include <vector>

#include "platform.h"

namespace tzm {

// KVLRoot returns the root directory, ending in "\", or empty while unset.
std::string KVLRoot();

// LibrarySearchList returns the folders searched for libraries: root +
// "EXE\", "SYSTEM\", "USER\" and the root itself; empty while unset.
std::vector<std::string> LibrarySearchList();

// SetKVLRoot fixes the root for the rest of the process. The first call sets
// it (a "\" appended when missing), builds the search list and adds its four
// folders to the environment variable "Path" (each only when not already
// there). A later call with the same folder (byte for byte once both end in
// "\") changes nothing; a different one raises EException
// "Could not set KVLRoot to '<path>'. Already set to '<root>'.".
void SetKVLRoot(std::string_view path);

// ResetKVLRoot clears the root and the search list (library unload; tests).
// The change made to "Path" stays.
void ResetKVLRoot();

// ResolveLibraryPath returns the file to load for |name|: |name| itself when
// it has a folder part; otherwise the first existing file among the host
// executable's folder + name and each search-list folder + name; otherwise
// |name| for the system's own search.
std::string ResolveLibraryPath(std::string_view name);

// LoadLibraryByName loads ResolveLibraryPath(name); an empty module on failure.
platform::TModule LoadLibraryByName(std::string_view name);

}  // namespace tzm

#endif  // TZM_SUPPORT_ROOT_DIR_H
