// Helpers shared by the POSIX sources of the platform layer.
#ifndef TZM_PLATFORM_POSIX_INTERNAL_H
#define TZM_PLATFORM_POSIX_INTERNAL_H

#include <string>
#include <string_view>

#include "platform.h"

namespace tzm::platform {

// DrivesRoot is $TZ_MORKA_DRIVES or $HOME/.tz_morka/drives.
std::string DrivesRoot();
// HasDrive is true when |path| starts with a drive "X:".
bool HasDrive(std::string_view path);
// DriveFolder is the native folder that stands for drive |letter|.
std::string DriveFolder(char letter);
// EnsureDriveFolder creates the folder of |path|'s drive when missing.
void EnsureDriveFolder(std::string_view path);

}  // namespace tzm::platform

#endif  // TZM_PLATFORM_POSIX_INTERNAL_H
