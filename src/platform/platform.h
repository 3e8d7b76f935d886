// Platform layer: the only code of tz_morka that calls Win32 or POSIX.
//
// Owns: files and directories, find-first/find-next enumeration, run-time
// loaded modules, environment variables, a re-entrant critical section, a
// manual-reset event, atomics, thread ids, the local clock and the Windows-1251
// code page tables. Called by support/ and every folder above it; calls only
// the operating system and the C++ standard library. Takes no lock of its own
// except inside TCriticalSection/TEvent themselves.
//
// Conventions: (1) every path and name is 8-bit Windows-1251 text in Windows
// form ("C:\Keys\user.pub"); the POSIX side maps it (see MapPath). (2) nothing
// here throws except std::bad_alloc; failures are false/empty results.
// (3) attribute words use the Windows bit values (kAttr... below).
#ifndef TZM_PLATFORM_PLATFORM_H
#define TZM_PLATFORM_PLATFORM_H

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Clang thread-safety annotations (-Wthread-safety); empty for other compilers.
#if defined(__clang__)
#define TZM_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define TZM_THREAD_ANNOTATION(x)
#endif
#define TZM_CAPABILITY(x) TZM_THREAD_ANNOTATION(capability(x))
#define TZM_SCOPED_CAPABILITY TZM_THREAD_ANNOTATION(scoped_lockable)
#define TZM_GUARDED_BY(x) TZM_THREAD_ANNOTATION(guarded_by(x))
#define TZM_PT_GUARDED_BY(x) TZM_THREAD_ANNOTATION(pt_guarded_by(x))
#define TZM_ACQUIRED_BEFORE(...) TZM_THREAD_ANNOTATION(acquired_before(__VA_ARGS__))
#define TZM_ACQUIRED_AFTER(...) TZM_THREAD_ANNOTATION(acquired_after(__VA_ARGS__))
#define TZM_REQUIRES(...) TZM_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define TZM_ACQUIRE(...) TZM_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define TZM_RELEASE(...) TZM_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define TZM_TRY_ACQUIRE(...) TZM_THREAD_ANNOTATION(try_acquire_capability(__VA_ARGS__))
#define TZM_EXCLUDES(...) TZM_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define TZM_NO_THREAD_SAFETY_ANALYSIS TZM_THREAD_ANNOTATION(no_thread_safety_analysis)

namespace tzm::platform {

// ---------------------------------------------------------------------------
// Files and directories
// ---------------------------------------------------------------------------

// Attribute bits, with the values Windows gives them.
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrVolumeLabel = 0x08;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
inline constexpr uint32_t kAttrNormal = 0x80;
// Set by the enumeration on symbolic links and junctions (with the bits of
// what they point to); utilities never descend into such entries.
inline constexpr uint32_t kAttrReparsePoint = 0x400;

// MapPath returns the native path for a Windows-form path. On Windows it is
// the path itself. On POSIX: "\" and "/" both separate components; a leading
// drive "X:" maps to $TZ_MORKA_DRIVES/X (default $HOME/.tz_morka/drives/X, the
// letter upper-cased); every component that does not exist under its exact
// name is looked up ignoring letter case (ASCII and Cyrillic); components that
// exist under no spelling keep the name as given; the result is UTF-8.
std::string MapPath(std::string_view path);

// FileAttributes returns the attribute word of |path| (file or directory), or
// nothing when it does not exist. On POSIX a file without owner write
// permission is read-only; regular files carry kAttrArchive.
std::optional<uint32_t> FileAttributes(std::string_view path);

// SetFileAttributes-like: SetAttributes applies the read-only bit of |attrs|
// (other bits are kept as the system allows). Returns false on failure.
bool SetAttributes(std::string_view path, uint32_t attrs);

// FileExists is true when |path| names an existing file that is not a directory.
bool FileExists(std::string_view path);

// DirectoryExists is true when |path| names an existing directory.
bool DirectoryExists(std::string_view path);

// FileSize returns the size in bytes of the file |path|, or nothing.
std::optional<uint64_t> FileSize(std::string_view path);

enum class TReadResult { kOk, kFailed, kTooLarge };

// ReadFileInto reads the whole file |path| into |out|. kTooLarge (nothing read)
// when the file is longer than |out|; kFailed when it cannot be opened or read.
// On kOk |outLen| is the file size; otherwise it is left unchanged.
[[nodiscard]] TReadResult ReadFileInto(std::string_view path, std::span<uint8_t> out, size_t& outLen);

// ReadWholeFile returns the contents of |path|, or nothing when it cannot be
// read or is longer than |maxLen|. For data that is not secret (the returned
// vector does not wipe itself); secret files go through ReadFileInto.
std::optional<std::vector<uint8_t>> ReadWholeFile(std::string_view path, size_t maxLen = SIZE_MAX);

// WriteWholeFile creates |path| (replacing an existing file in place) and
// writes |data|. Not atomic: see WriteFileAtomic. Returns false on any failure.
[[nodiscard]] bool WriteWholeFile(std::string_view path, std::span<const uint8_t> data);

// WriteFileAtomic writes |data| to a new temporary file in the folder of
// |path|, flushes it to disk and renames it over |path|, so that |path| holds
// either its old content or all of |data|. Fails (old content kept) when
// |path| is read-only or a directory. The temporary file is removed on failure.
[[nodiscard]] bool WriteFileAtomic(std::string_view path, std::span<const uint8_t> data);

// OverwriteFileWithZeros writes zeros over every byte of the existing file
// |path| in place (opened without truncation, so the blocks that held the data
// are the ones overwritten) and flushes it to disk. False when the file does
// not exist, is read-only or a directory, or cannot be written.
[[nodiscard]] bool OverwriteFileWithZeros(std::string_view path);

// RemoveFile deletes the file |path|. Like Windows, refuses a read-only file
// and a directory.
bool RemoveFile(std::string_view path);

// RenameFile moves |from| to |to|, replacing an existing file |to| unless it
// is read-only or a directory.
bool RenameFile(std::string_view from, std::string_view to);

// MakeDirectory creates one directory (its parent must exist). On POSIX a
// missing drive folder under TZ_MORKA_DRIVES is created first.
bool MakeDirectory(std::string_view path);

// RemoveEmptyDirectory removes the directory |path|, which must be empty.
bool RemoveEmptyDirectory(std::string_view path);

// One entry of a directory enumeration: the name (no folder) and attributes.
struct TFindEntry {
  std::string Name;
  uint32_t Attributes = 0;
};

// TFileFind enumerates a directory like FindFirstFile/FindNextFile. The
// pattern is a folder plus a mask in its last component ("C:\Keys\*.pub",
// "dir\*.*", "dir\pk*.pub"); "*" and "?" match as on Windows, ignoring case,
// and a mask ending in ".*" also matches names without a dot. "." and ".."
// are never returned. Usage:
//   TFileFind find;
//   for (bool ok = find.First(pattern); ok; ok = find.Next()) use(find.Entry());
class TFileFind {
 public:
  TFileFind();
  ~TFileFind();
  TFileFind(const TFileFind&) = delete;
  TFileFind& operator=(const TFileFind&) = delete;

  // First starts an enumeration; false when the folder cannot be read or no
  // entry matches.
  bool First(std::string_view pattern);
  // Next moves to the next matching entry; false at the end.
  bool Next();
  // Entry is the current entry; valid after First or Next returned true.
  const TFindEntry& Entry() const { return Current; }
  // Close ends the enumeration (also done by the destructor).
  void Close();

 private:
  struct TState;
  TState* State = nullptr;
  TFindEntry Current;
};

// MatchMask reports whether |name| matches the Windows-style |mask| ("*", "?",
// letter case ignored). Exposed for the POSIX enumeration and for tests.
bool MatchMask(std::string_view mask, std::string_view name);

// ---------------------------------------------------------------------------
// Modules
// ---------------------------------------------------------------------------

// TModule owns one run-time loaded library: loaded by Open, released by the
// destructor or Release. Move-only.
class TModule {
 public:
  TModule() = default;
  ~TModule();
  TModule(TModule&& other) noexcept;
  TModule& operator=(TModule&& other) noexcept;
  TModule(const TModule&) = delete;
  TModule& operator=(const TModule&) = delete;

  // Open loads |path|. A path with a folder is loaded as is (mapped on POSIX).
  // A bare name is searched as the system loader does, but never in the
  // current folder: on Windows the executable's folder, the system and Windows
  // folders, then the absolute folders of the ";"-separated environment
  // variable "Path"; on POSIX the folders of "Path" first, then the dynamic
  // linker's own search. Returns an empty module on failure.
  static TModule Open(std::string_view path);

  // IsLoaded is true while a library is held.
  bool IsLoaded() const { return Handle != nullptr; }
  // Resolve returns the address of the exported |name|, or nullptr.
  void* Resolve(const char* name) const;
  // FilePath returns the file the library was loaded from (empty when not loaded).
  std::string FilePath() const;
  // Release unloads the library now; the object becomes empty.
  void Release();

 private:
  void* Handle = nullptr;
};

// HostExecutablePath returns the full file name of the running executable
// (on Linux that of /proc/self/exe), or an empty text when unknown.
std::string HostExecutablePath();

// LoadedModulePath returns the full file name of the library loaded in the
// process whose file name equals |baseName| ignoring case ("CryptLib.dll");
// when no such library is loaded, the host executable's file name, as Windows
// answers.
std::string LoadedModulePath(std::string_view baseName);

// ---------------------------------------------------------------------------
// Environment
// ---------------------------------------------------------------------------

// GetEnv returns the value of the process environment variable |name|, or
// nothing when it is not set. Names are case-sensitive on POSIX only.
std::optional<std::string> GetEnv(std::string_view name);

// SetEnv sets |name| to |value| for this process. Returns false on failure.
bool SetEnv(std::string_view name, std::string_view value);

// UnsetEnv removes |name| from the process environment.
bool UnsetEnv(std::string_view name);

// ---------------------------------------------------------------------------
// Synchronisation and threads
// ---------------------------------------------------------------------------

// TCriticalSection is a re-entrant lock: the owning thread may enter it again;
// it is free after as many Leave calls as Enter calls. Also satisfies the
// standard Lockable requirements (lock/unlock/try_lock).
class TZM_CAPABILITY("mutex") TCriticalSection {
 public:
  TCriticalSection() = default;
  TCriticalSection(const TCriticalSection&) = delete;
  TCriticalSection& operator=(const TCriticalSection&) = delete;

  void Enter() TZM_ACQUIRE() { Mutex.lock(); }
  void Leave() TZM_RELEASE() { Mutex.unlock(); }
  bool TryEnter() TZM_TRY_ACQUIRE(true) { return Mutex.try_lock(); }

  void lock() TZM_ACQUIRE() { Mutex.lock(); }
  void unlock() TZM_RELEASE() { Mutex.unlock(); }
  bool try_lock() TZM_TRY_ACQUIRE(true) { return Mutex.try_lock(); }

 private:
  std::recursive_mutex Mutex;
};

// TCriticalSectionGuard holds a TCriticalSection for its lifetime.
class TZM_SCOPED_CAPABILITY TCriticalSectionGuard {
 public:
  explicit TCriticalSectionGuard(TCriticalSection& section) TZM_ACQUIRE(section) : Section(section) {
    Section.Enter();
  }
  ~TCriticalSectionGuard() TZM_RELEASE() { Section.Leave(); }
  TCriticalSectionGuard(const TCriticalSectionGuard&) = delete;
  TCriticalSectionGuard& operator=(const TCriticalSectionGuard&) = delete;

 private:
  TCriticalSection& Section;
};

// TEvent is a manual-reset event: Set releases every waiter and stays set
// until Reset.
class TEvent {
 public:
  explicit TEvent(bool initiallySet) : Signalled(initiallySet) {}
  TEvent(const TEvent&) = delete;
  TEvent& operator=(const TEvent&) = delete;

  void Set();
  void Reset();
  // Wait blocks until the event is set (no time limit).
  void Wait();
  // IsSet reports the current state.
  bool IsSet();

 private:
  std::mutex Mutex;
  std::condition_variable Changed;
  bool Signalled;
};

// AtomicIncrement / AtomicDecrement return the new value.
inline int32_t AtomicIncrement(std::atomic<int32_t>& value) { return value.fetch_add(1) + 1; }
inline int32_t AtomicDecrement(std::atomic<int32_t>& value) { return value.fetch_sub(1) - 1; }
// AtomicExchange stores |newValue| and returns the previous value.
inline uint32_t AtomicExchange(std::atomic<uint32_t>& value, uint32_t newValue) {
  return value.exchange(newValue);
}

// CurrentThreadId returns the calling thread's id, never 0.
uint32_t CurrentThreadId();

// YieldThread gives up the rest of the time slice.
void YieldThread();

// ---------------------------------------------------------------------------
// Clock
// ---------------------------------------------------------------------------

// Local calendar date and time.
struct TLocalDateTime {
  int Year = 1899;  // four digits
  int Month = 12;   // 1..12
  int Day = 30;     // 1..31
  int Hour = 0;     // 0..23
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
};

// LocalDateTime returns the current local date and time.
TLocalDateTime LocalDateTime();

// ToDayFraction returns |t| as a day count since 1899-12-30 plus the fraction
// of the day (the double time value Windows hosts keep).
double ToDayFraction(const TLocalDateTime& t);

// NowDayFraction is ToDayFraction(LocalDateTime()).
double NowDayFraction();

// ---------------------------------------------------------------------------
// Windows-1251 text
// ---------------------------------------------------------------------------

// Cp1251ToUtf16 converts 8-bit Windows-1251 text with a built-in table
// (independent of the machine's locale).
std::u16string Cp1251ToUtf16(std::string_view text);

// Utf16ToCp1251 converts UTF-16 text; characters outside the code page become '?'.
std::string Utf16ToCp1251(std::u16string_view text);

// Cp1251ToUtf8 converts Windows-1251 text to UTF-8 (built-in table).
std::string Cp1251ToUtf8(std::string_view text);

// Utf8ToCp1251 converts UTF-8 text; characters outside the code page and
// malformed sequences become '?'.
std::string Utf8ToCp1251(std::string_view text);

// Cp1251Upper / Cp1251Lower change the letter case of one Windows-1251
// character (Latin and Cyrillic letters); other bytes are returned unchanged.
char Cp1251Upper(char c);
char Cp1251Lower(char c);

}  // namespace tzm::platform

#endif  // TZM_PLATFORM_PLATFORM_H
