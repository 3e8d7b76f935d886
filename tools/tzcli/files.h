// The tool's own file input and output. Paths arrive as UTF-8 from the
// terminal and go to the platform layer as Windows-1251; "-" stands for
// standard input or output. Data files are read into one buffer with room
// for what the library adds, so an in-place operation needs no second copy.
#ifndef TZCLI_FILES_H
#define TZCLI_FILES_H

#include <cstdint>
#include <string>
#include <vector>

namespace tzcli {

// kMaxBufferLen is the largest buffer the library's 32-bit lengths describe.
inline constexpr size_t kMaxBufferLen = 0x7FFFFFFF;

// ReadInput reads the whole file |path| into a buffer of its size plus
// |room| spare bytes and stores the file size in dataLen. Raises TToolError
// when the file cannot be read or would not fit in kMaxBufferLen.
std::vector<uint8_t> ReadInput(const std::string& path, size_t room, size_t& dataLen);

// WriteOutput replaces the file |path| with len bytes of data (written to a
// temporary file first, then renamed). Raises TToolError on failure.
void WriteOutput(const std::string& path, const uint8_t* data, size_t len);

// ReadTransferText reads a transfer text file and strips the blanks and
// line breaks around it (at most 64 KiB).
std::string ReadTransferText(const std::string& path);

// WriteTransferText writes a transfer text and a line break.
void WriteTransferText(const std::string& path, const std::string& text);

// PathExists reports whether a file or folder |path| exists.
bool PathExists(const std::string& path);

// FileSizeOf answers the size of the file |path| (0 when unknown).
uint64_t FileSizeOf(const std::string& path);

// CopyFile copies the file |from| to |to|; raises TToolError on failure.
void CopyFile(const std::string& from, const std::string& to);

// RemovePath deletes the file |path|; failures are ignored.
void RemovePath(const std::string& path);

// MakeFolders creates |path| and its missing parents; raises TToolError.
void MakeFolders(const std::string& path);

// FolderIsEmptyOrMissing reports whether |path| does not exist or is an
// empty folder.
bool FolderIsEmptyOrMissing(const std::string& path);

// AbsolutePath answers |path| made absolute against the current folder
// (Windows drive paths and absolute paths are left alone).
std::string AbsolutePath(const std::string& path);

// JoinPath appends name to folder with one separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// TempFolder answers the system's folder for temporary files.
std::string TempFolder();

}  // namespace tzcli

#endif
