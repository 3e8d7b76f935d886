// Ways to make the file system fail on purpose: folders that cannot be
// written (also for root, by dropping the capabilities that bypass file
// permissions for the calling thread), a full disk (a file size limit), and
// an exact count of the renames and deletions after which the process dies.
#ifndef TZM_TESTS_FAULTS_FAULT_HELPERS_H
#define TZM_TESTS_FAULTS_FAULT_HELPERS_H

#include <linux/capability.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace tzm::test {

// TReadOnlyFolder makes |folder| unwritable for as long as it lives: mode
// 0555, and for root the permission-bypassing capabilities dropped from this
// thread. Works() tells whether a write there really fails.
class TReadOnlyFolder {
 public:
  explicit TReadOnlyFolder(std::filesystem::path folder) : Folder(std::move(folder)) {
    std::filesystem::permissions(Folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                                             std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
                                             std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
    if (::geteuid() == 0) {
      Header.version = _LINUX_CAPABILITY_VERSION_3;
      Header.pid = 0;
      if (::syscall(SYS_capget, &Header, Saved) == 0) {
        __user_cap_data_struct reduced[2] = {Saved[0], Saved[1]};
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
          reduced[0].effective &= ~(1u << cap);
        }
        Dropped = ::syscall(SYS_capset, &Header, reduced) == 0;
      }
    }
  }
  ~TReadOnlyFolder() {
    if (Dropped) ::syscall(SYS_capset, &Header, Saved);
    std::error_code ignored;
    std::filesystem::permissions(Folder, std::filesystem::perms::owner_all, ignored);
  }
  TReadOnlyFolder(const TReadOnlyFolder&) = delete;
  TReadOnlyFolder& operator=(const TReadOnlyFolder&) = delete;

  bool Works() const {
    const std::filesystem::path probe = Folder / ".probe";
    { std::ofstream out(probe); }
    std::error_code ignored;
    const bool written = std::filesystem::exists(probe, ignored);
    if (written) std::filesystem::remove(probe, ignored);
    return !written;
  }

 private:
  std::filesystem::path Folder;
  __user_cap_header_struct Header{};
  __user_cap_data_struct Saved[2]{};
  bool Dropped = false;
};

// TDiskFull limits the size of every file this process writes to |limit|
// bytes for as long as it lives; writes beyond it fail (EFBIG) instead of
// raising SIGXFSZ.
class TDiskFull {
 public:
  explicit TDiskFull(rlim_t limit = 16) {
    OldHandler = ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &Saved);
    rlimit limited = Saved;
    limited.rlim_cur = limit;
    Active = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
  }
  ~TDiskFull() {
    ::setrlimit(RLIMIT_FSIZE, &Saved);
    ::signal(SIGXFSZ, OldHandler);
  }
  TDiskFull(const TDiskFull&) = delete;
  TDiskFull& operator=(const TDiskFull&) = delete;
  bool Works() const { return Active; }

 private:
  rlimit Saved{};
  sighandler_t OldHandler = SIG_DFL;
  bool Active = false;
};

}  // namespace tzm::test

#endif  // TZM_TESTS_FAULTS_FAULT_HELPERS_H
