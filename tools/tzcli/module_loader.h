// The operating-system calls of the host: loading a library by path,
// resolving a name, releasing it, and the folder of the running program.
#ifndef TZCLI_MODULE_LOADER_H
#define TZCLI_MODULE_LOADER_H

#include <string>

namespace tzcli {

// kLibraryFileName is the file name of the library on this platform.
extern const char* const kLibraryFileName;

// OpenModule loads the library at path; nullptr on failure with the system's
// reason in error.
void* OpenModule(const std::string& path, std::string& error);

// FindSymbol returns the address of the export name, or nullptr.
void* FindSymbol(void* module, const char* name);

// CloseModule releases a library opened by OpenModule.
void CloseModule(void* module);

// ProgramDirectory returns the folder of the running executable with a
// trailing separator, or an empty text when unknown.
std::string ProgramDirectory();

}  // namespace tzcli

#endif
