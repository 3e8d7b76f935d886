// TRWCriticalSection: many readers or one writer, both re-entrant per thread;
// a reader may become the writer, and the writer may read.
#ifndef TZM_SUPPORT_RW_LOCK_H
#define TZM_SUPPORT_RW_LOCK_H

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform.h"

namespace tzm {

// TRWCriticalSection: every BeginRead is matched by EndRead and every
// BeginWrite by EndWrite on the same thread. BeginWrite waits until no thread
// other than the caller reads; reads and writes of the writing thread during
// its write are not counted and its earlier reads are restored after the last
// EndWrite. A thread that reads must not ask to write while another thread
// waits to write (each would wait for the other forever); in particular two
// readers must not both ask to write. EndRead without a matching
// BeginRead raises EAssertionFailed "Assertion failure". The destructor waits
// for readers to leave.
class TRWCriticalSection {
 public:
  TRWCriticalSection();
  ~TRWCriticalSection();
  TRWCriticalSection(const TRWCriticalSection&) = delete;
  TRWCriticalSection& operator=(const TRWCriticalSection&) = delete;

  void BeginRead();
  void EndRead();
  void BeginWrite();
  void EndWrite();

  // Diagnostics (consistent snapshots): ReadCount is the read acquisitions
  // in force, or the write depth while writing; ReaderSlots the size of the
  // per-thread reader table (starts at 3, grows by 2, never shrinks);
  // ReaderRecords the number of slots in use; IsWriting whether a write holds;
  // HasWaitingWriter whether a thread waits in BeginWrite for readers.
  int32_t ReadCount() const;
  size_t ReaderSlots() const;
  size_t ReaderRecords() const;
  bool IsWriting() const;
  bool HasWaitingWriter() const;

 private:
  struct TReaderRecord {
    uint32_t ThreadID = 0;  // 0 = free slot
    int32_t RecursionCount = 0;
  };
  TReaderRecord* FindRecord(uint32_t threadId);
  bool OnlyWriterReads() const;

  std::recursive_mutex WriteLock;     // held by the writer for its whole write
  mutable std::mutex StateLock;       // guards every field below
  std::condition_variable ReadersGone;  // waited on by a writer for readers to leave
  int32_t Count = 0;
  int32_t SavedReadCount = 0;
  std::vector<TReaderRecord> ActiveThreads;
  uint32_t WriteRequestor = 0;
  bool Writing = false;
};

// TReadGuard / TWriteGuard hold read or write access for their lifetime.
class TReadGuard {
 public:
  explicit TReadGuard(TRWCriticalSection& lock) : Lock(lock) { Lock.BeginRead(); }
  ~TReadGuard() { Lock.EndRead(); }
  TReadGuard(const TReadGuard&) = delete;
  TReadGuard& operator=(const TReadGuard&) = delete;

 private:
  TRWCriticalSection& Lock;
};

class TWriteGuard {
 public:
  explicit TWriteGuard(TRWCriticalSection& lock) : Lock(lock) { Lock.BeginWrite(); }
  ~TWriteGuard() { Lock.EndWrite(); }
  TWriteGuard(const TWriteGuard&) = delete;
  TWriteGuard& operator=(const TWriteGuard&) = delete;

 private:
  TRWCriticalSection& Lock;
};

}  // namespace tzm

#endif  // TZM_SUPPORT_RW_LOCK_H
