// File and directory utilities for key files and key folders. Paths are
// Windows-form 8-bit text; none of these functions throws except
// std::bad_alloc: failures are false or 0 results.
#ifndef TZM_SUPPORT_FILE_UTILS_H
#define TZM_SUPPORT_FILE_UTILS_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tzm {

// IsDirectory is true when |path| exists and is a directory.
bool IsDirectory(std::string_view path);

// AddBackslash: empty text stays empty; text ending in "\" is unchanged; a
// single letter A-Z/a-z gets ":\" (a drive root); any other text gets "\".
std::string AddBackslash(std::string_view text);

// ClearDirectory deletes every entry of |dir| recursively (read-only files
// included; names beginning with "." are skipped and kept). With |removeDir|
// it then removes |dir| itself when everything went and |dir| is not a bare
// drive "X:". True when every deletion succeeded; false when |dir| is not a
// directory.
bool ClearDirectory(std::string_view dir, bool removeDir);

// CopyFileData copies the file |source| to |dest| (replacing it atomically).
// False, with |dest| untouched, when |source| cannot be read. An empty source
// gives an empty |dest|.
bool CopyFileData(std::string_view source, std::string_view dest);

// ReadFileToBuffer reads the whole file |path| into |buffer| when it is no
// longer than buffer.size(); then |size| is the file size and the result
// true. A longer file or any failure gives false with |size| unchanged.
[[nodiscard]] bool ReadFileToBuffer(std::string_view path, std::span<uint8_t> buffer, size_t& size);

// WriteBufferToFile replaces the file |path| with |data|: the bytes go to a
// temporary file in the same folder which is then renamed over |path|, so a
// failed write keeps the old content. False on any failure, including a
// read-only |path|.
[[nodiscard]] bool WriteBufferToFile(std::string_view path, std::span<const uint8_t> data);

// GetNextFileNumber returns 1 + the largest number N among the files of |dir|
// matching |mask|, where N is the part of the name from the position of the
// mask's first "*" up to the name's first "." ("pk3.pub", "pk12.pub" with
// "pk*.pub" give 13); 1 when none matches; 0 when |mask| has no "*" or |dir|
// is not a directory.
int GetNextFileNumber(std::string_view dir, std::string_view mask);

// SplitBySemicolon appends to |list| every ";"-separated part of |text|
// (empty parts included) and returns their number; empty text adds nothing.
int SplitBySemicolon(std::string_view text, std::vector<std::string>& list);

// FindFilesByExt appends to |list| AddBackslash(dir) + name for every file
// of |dir| whose name ends in |ext| (last three characters, case ignored,
// no dot needed), searching subfolders when |recursive|. Names beginning
// with "." are skipped.
void FindFilesByExt(std::string_view dir, std::string_view ext, std::vector<std::string>& list, bool recursive);

// ForceDirs creates |dir| and its missing parents. True when |dir| exists
// afterwards (a drive "X:" or root counts as existing); false for empty text.
bool ForceDirs(std::string_view dir);

// BufferToHex writes each byte as two uppercase hex digits, a space after
// every |groupSize| bytes and CR LF after every |lineSize| bytes (after the
// space when both fall on one byte). A size of 0 disables that separator.
std::string BufferToHex(std::span<const uint8_t> data, size_t groupSize, size_t lineSize);

// StripDateSuffix removes the " (dd-mm-yyyy hh-nn-ss)" suffix that remote key
// generation appends to a UID: when the last 21 characters (or the whole
// text if shorter) begin with "(" and the text ends in ")", the last 22
// characters are removed; otherwise |uid| is returned unchanged.
std::string StripDateSuffix(std::string_view uid);

// ExtractFilePath returns |path| up to and including its last "\" or "/"
// (empty when there is none); ExtractFileName the part after it.
std::string ExtractFilePath(std::string_view path);
std::string ExtractFileName(std::string_view path);

}  // namespace tzm

#endif  // TZM_SUPPORT_FILE_UTILS_H
