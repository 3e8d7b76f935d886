// File input and output of tzcli through the platform layer (the same path
// mapping the library applies), plus a few folder helpers.
#include "files.h"

#include <cstdio>
#include <filesystem>
#include <span>
#include <system_error>

#include "platform.h"
#include "result.h"
#include "text.h"

namespace tzcli {

namespace fs = std::filesystem;

namespace {

fs::path NativePath(const std::string& utf8) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8Of(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

std::vector<uint8_t> ReadStandardInput(size_t room, size_t& dataLen) {
  std::vector<uint8_t> data;
  uint8_t chunk[65536];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) {
    if (data.size() + got + room > kMaxBufferLen) throw TToolError("standard input is too large for one buffer");
    data.insert(data.end(), chunk, chunk + got);
  }
  dataLen = data.size();
  data.resize(dataLen + room);
  return data;
}

}  // namespace

std::vector<uint8_t> ReadInput(const std::string& path, size_t room, size_t& dataLen) {
  if (path == "-") return ReadStandardInput(room, dataLen);
  const std::string local = FromTerminal(path);
  if (tzm::platform::DirectoryExists(local)) throw TToolError(path + " is a folder");
  const std::optional<uint64_t> size = tzm::platform::FileSize(local);
  if (!size.has_value()) throw TToolError("cannot read " + path + ": no such file");
  if (*size > kMaxBufferLen - room) {
    throw TToolError(path + " is too large: " + std::to_string(*size) + " bytes; one buffer of the library holds at most " +
                     std::to_string(kMaxBufferLen - room) + " bytes here");
  }
  std::vector<uint8_t> data(static_cast<size_t>(*size) + room);
  size_t readLen = 0;
  switch (tzm::platform::ReadFileInto(local, std::span<uint8_t>(data.data(), static_cast<size_t>(*size)), readLen)) {
    case tzm::platform::TReadResult::kOk: break;
    case tzm::platform::TReadResult::kTooLarge: throw TToolError("cannot read " + path + ": it grew while being read");
    case tzm::platform::TReadResult::kFailed: throw TToolError("cannot read " + path);
  }
  dataLen = readLen;
  return data;
}

void WriteOutput(const std::string& path, const uint8_t* data, size_t len) {
  if (path == "-") {
    if (len != 0 && std::fwrite(data, 1, len, stdout) != len) throw TToolError("cannot write to standard output");
    std::fflush(stdout);
    return;
  }
  if (!tzm::platform::WriteFileAtomic(FromTerminal(path), std::span<const uint8_t>(data, len))) {
    throw TToolError("cannot write " + path);
  }
}

std::string ReadTransferText(const std::string& path) {
  size_t len = 0;
  if (path != "-" && FileSizeOf(path) > 65536) throw TToolError(path + " is too large for a transfer text");
  std::vector<uint8_t> data = ReadInput(path, 0, len);
  return Trim(std::string(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(len)));
}

void WriteTransferText(const std::string& path, const std::string& text) {
  const std::string line = text + "\n";
  WriteOutput(path, reinterpret_cast<const uint8_t*>(line.data()), line.size());
}

bool PathExists(const std::string& path) { return tzm::platform::FileAttributes(FromTerminal(path)).has_value(); }

uint64_t FileSizeOf(const std::string& path) { return tzm::platform::FileSize(FromTerminal(path)).value_or(0); }

void CopyFile(const std::string& from, const std::string& to) {
  size_t len = 0;
  std::vector<uint8_t> data = ReadInput(from, 0, len);
  WriteOutput(to, data.data(), len);
}

void RemovePath(const std::string& path) { tzm::platform::RemoveFile(FromTerminal(path)); }

void MakeFolders(const std::string& path) {
  std::error_code error;
  fs::create_directories(NativePath(path), error);
  if (error || !tzm::platform::DirectoryExists(FromTerminal(path))) throw TToolError("cannot create folder " + path);
}

bool FolderIsEmptyOrMissing(const std::string& path) {
  std::error_code error;
  const fs::path native = NativePath(path);
  if (!fs::exists(native, error)) return true;
  return fs::is_directory(native, error) && fs::is_empty(native, error);
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty() || path[0] == '/' || path[0] == '\\' || (path.size() >= 2 && path[1] == ':')) return path;
  std::error_code error;
  const fs::path absolute = fs::absolute(NativePath(path), error);
  return error ? path : Utf8Of(absolute.lexically_normal());
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  return (last == '/' || last == '\\') ? folder + name : folder + "/" + name;
}

std::string TempFolder() {
  std::error_code error;
  const fs::path temp = fs::temp_directory_path(error);
  return error ? std::string("/tmp") : Utf8Of(temp);
}

}  // namespace tzcli
