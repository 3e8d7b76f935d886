// Files and directories through the Win32 wide-character API; paths are
// converted from Windows-1251 with the built-in table.
#include <atomic>
#include <memory>
#include <vector>

#include "win32_internal.h"

namespace tzm::platform {
namespace {

std::optional<DWORD> RawAttributes(std::string_view path) {
  if (path.empty()) return std::nullopt;
  const DWORD attrs = ::GetFileAttributesW(Wide(path).c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attrs;
}

bool IsProtected(std::string_view path) {
  const auto attrs = RawAttributes(path);
  return attrs && (*attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0;
}

bool WriteAll(HANDLE file, std::span<const uint8_t> data) {
  size_t done = 0;
  while (done < data.size()) {
    const size_t left = data.size() - done;
    const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!::WriteFile(file, data.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

uint32_t Translate(DWORD attrs) {
  uint32_t out = attrs & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrVolumeLabel | kAttrDirectory |
                          kAttrArchive | kAttrNormal);
  if ((attrs & FILE_ATTRIBUTE_REPARSE_POINT) != 0) out |= kAttrReparsePoint;
  return out;
}

}  // namespace

std::string MapPath(std::string_view path) { return std::string(path); }

std::optional<uint32_t> FileAttributes(std::string_view path) {
  const auto attrs = RawAttributes(path);
  if (!attrs) return std::nullopt;
  return Translate(*attrs);
}

bool SetAttributes(std::string_view path, uint32_t attrs) {
  const auto current = RawAttributes(path);
  if (!current) return false;
  DWORD next = *current & ~static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY);
  next = (attrs & kAttrReadOnly) != 0 ? (next | FILE_ATTRIBUTE_READONLY) : (next & ~FILE_ATTRIBUTE_READONLY);
  next |= attrs & kAttrArchive;
  if (next == 0) next = FILE_ATTRIBUTE_NORMAL;
  return ::SetFileAttributesW(Wide(path).c_str(), next) != 0;
}

bool FileExists(std::string_view path) {
  const auto attrs = RawAttributes(path);
  return attrs && (*attrs & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(std::string_view path) {
  const auto attrs = RawAttributes(path);
  return attrs && (*attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<uint64_t> FileSize(std::string_view path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (path.empty() || !::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TReadResult ReadFileInto(std::string_view path, std::span<uint8_t> out, size_t& outLen) {
  if (path.empty()) return TReadResult::kFailed;
  HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TReadResult::kFailed;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file, &size) || size.QuadPart < 0) {
    ::CloseHandle(file);
    return TReadResult::kFailed;
  }
  if (static_cast<uint64_t>(size.QuadPart) > out.size()) {
    ::CloseHandle(file);
    return TReadResult::kTooLarge;
  }
  const size_t total = static_cast<size_t>(size.QuadPart);
  size_t done = 0;
  while (done < total) {
    const size_t left = total - done;
    const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    DWORD got = 0;
    if (!::ReadFile(file, out.data() + done, chunk, &got, nullptr) || got == 0) break;
    done += got;
  }
  ::CloseHandle(file);
  if (done != total) return TReadResult::kFailed;
  outLen = total;
  return TReadResult::kOk;
}

bool WriteWholeFile(std::string_view path, std::span<const uint8_t> data) {
  if (path.empty() || IsProtected(path)) return false;
  HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = WriteAll(file, data);
  return ::CloseHandle(file) != 0 && ok;
}

bool OverwriteFileWithZeros(std::string_view path) {
  if (path.empty() || IsProtected(path)) return false;
  HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = ::GetFileSizeEx(file, &size) != 0 && size.QuadPart >= 0;
  static constexpr uint8_t kZeros[4096] = {};
  uint64_t left = ok ? static_cast<uint64_t>(size.QuadPart) : 0;
  while (ok && left > 0) {
    const size_t chunk = left < sizeof kZeros ? static_cast<size_t>(left) : sizeof kZeros;
    ok = WriteAll(file, std::span<const uint8_t>(kZeros, chunk));
    left -= chunk;
  }
  ok = ok && ::FlushFileBuffers(file) != 0;
  return ::CloseHandle(file) != 0 && ok;
}

bool WriteFileAtomic(std::string_view path, std::span<const uint8_t> data) {
  static std::atomic<uint32_t> counter{0};
  if (path.empty() || path.back() == '\\' || path.back() == '/' || IsProtected(path)) return false;
  const std::wstring target = Wide(path);
  const std::wstring temp = target + L".~" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                            std::to_wstring(counter.fetch_add(1)) + L".tmp";
  HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(file, data) && ::FlushFileBuffers(file) != 0;
  ok = ::CloseHandle(file) != 0 && ok;
  ok = ok && ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) ::DeleteFileW(temp.c_str());
  return ok;
}

bool RemoveFile(std::string_view path) { return !path.empty() && ::DeleteFileW(Wide(path).c_str()) != 0; }

bool RenameFile(std::string_view from, std::string_view to) {
  if (from.empty() || to.empty() || IsProtected(to)) return false;
  return ::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

bool MakeDirectory(std::string_view path) { return !path.empty() && ::CreateDirectoryW(Wide(path).c_str(), nullptr) != 0; }

bool RemoveEmptyDirectory(std::string_view path) {
  return !path.empty() && ::RemoveDirectoryW(Wide(path).c_str()) != 0;
}

struct TFileFind::TState {
  HANDLE Handle = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW Data{};
  bool Pending = false;  // Data holds an entry not yet returned
};

TFileFind::TFileFind() = default;
TFileFind::~TFileFind() { Close(); }

void TFileFind::Close() {
  if (State != nullptr) {
    if (State->Handle != INVALID_HANDLE_VALUE) ::FindClose(State->Handle);
    delete State;
    State = nullptr;
  }
}

bool TFileFind::First(std::string_view pattern) {
  Close();
  if (pattern.empty()) return false;
  auto state = std::make_unique<TState>();
  state->Handle = ::FindFirstFileW(Wide(pattern).c_str(), &state->Data);
  if (state->Handle == INVALID_HANDLE_VALUE) return false;
  state->Pending = true;
  State = state.release();
  return Next();
}

bool TFileFind::Next() {
  if (State == nullptr) return false;
  while (true) {
    if (!State->Pending && !::FindNextFileW(State->Handle, &State->Data)) return false;
    State->Pending = false;
    const std::wstring_view name = State->Data.cFileName;
    if (name == L"." || name == L"..") continue;
    Current.Name = Narrow(name);
    Current.Attributes = Translate(State->Data.dwFileAttributes);
    return true;
  }
}

}  // namespace tzm::platform
