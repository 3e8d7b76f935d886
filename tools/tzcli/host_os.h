// The operating-system calls of the host: loading a library by path,
// resolving a name, releasing it, the folder of the running program, the
// command line as UTF-8 and a terminal that shows UTF-8.
#ifndef TZCLI_HOST_OS_H
#define TZCLI_HOST_OS_H

#include <string>
#include <vector>

namespace tzcli {

// kLibraryFileName is the file name of tz_morka on this platform.
extern const char* const kLibraryFileName;

// kProviderFileName is the file name of the outside GOST library.
extern const char* const kProviderFileName;

// kPathSeparator separates folders in the paths the tool shows.
extern const char kPathSeparator;

// OpenModule loads the library at path (UTF-8); nullptr on failure with the
// system's reason in error.
void* OpenModule(const std::string& path, std::string& error);

// FindSymbol returns the address of the export name, or nullptr.
void* FindSymbol(void* module, const char* name);

// CloseModule releases a library opened by OpenModule.
void CloseModule(void* module);

// ProgramDirectory returns the folder of the running executable (UTF-8) with
// a trailing separator, or an empty text when unknown.
std::string ProgramDirectory();

// CommandLineUtf8 returns the program's arguments after the program name as
// UTF-8 text (on Windows taken from the wide command line).
std::vector<std::string> CommandLineUtf8(int argc, char** argv);

// EnvironmentUtf8 answers the environment variable |name| as UTF-8 text,
// empty when it is not set.
std::string EnvironmentUtf8(const char* name);

// PrepareTerminal makes the console show UTF-8 output (Windows only).
void PrepareTerminal();

// ProcessId returns the id of this process (for unique scratch names).
unsigned long ProcessId();

}  // namespace tzcli

#endif
