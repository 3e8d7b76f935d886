// TRWCriticalSection from standard primitives. All bookkeeping (the count,
// the reader table, the writer flags) sits under one short internal mutex,
// and a writer waits on a condition over that state, so a reader leaving and
// another arriving can never leave a stale "readers gone" signal behind.
#include "rw_lock.h"

#include "exceptions.h"

namespace tzm {
namespace {

constexpr size_t kInitialSlots = 3;
constexpr size_t kGrowSlots = 2;

}  // namespace

TRWCriticalSection::TRWCriticalSection() : ActiveThreads(kInitialSlots) {}

TRWCriticalSection::~TRWCriticalSection() {
  // Wait for readers still inside, then give the lock up for destruction.
  BeginWrite();
  EndWrite();
}

TRWCriticalSection::TReaderRecord* TRWCriticalSection::FindRecord(uint32_t threadId) {
  for (TReaderRecord& record : ActiveThreads) {
    if (record.ThreadID == threadId) return &record;
  }
  return nullptr;
}

bool TRWCriticalSection::OnlyWriterReads() const {
  if (WriteRequestor == 0) return false;
  for (const TReaderRecord& record : ActiveThreads) {
    if (record.ThreadID != 0 && record.ThreadID != WriteRequestor) return false;
  }
  return true;
}

void TRWCriticalSection::BeginRead() {
  const uint32_t me = platform::CurrentThreadId();
  {
    std::lock_guard<std::mutex> state(StateLock);
    if (TReaderRecord* record = FindRecord(me)) {
      // A thread that already reads goes on without waiting, even while a
      // writer waits for it; during its own write this is a no-op.
      if (!Writing) {
        ++Count;
        ++record->RecursionCount;
      }
      return;
    }
  }
  // A first read waits here while another thread writes.
  std::lock_guard<std::recursive_mutex> write(WriteLock);
  std::lock_guard<std::mutex> state(StateLock);
  if (Writing) return;  // the writer itself reading: not counted
  ++Count;
  TReaderRecord* slot = FindRecord(me);
  if (slot == nullptr) slot = FindRecord(0);
  if (slot == nullptr) {
    ActiveThreads.resize(ActiveThreads.size() + kGrowSlots);
    slot = &ActiveThreads[ActiveThreads.size() - kGrowSlots];
  }
  slot->ThreadID = me;
  ++slot->RecursionCount;
}

void TRWCriticalSection::EndRead() {
  const uint32_t me = platform::CurrentThreadId();
  std::lock_guard<std::mutex> state(StateLock);
  if (Writing) return;
  TReaderRecord* record = FindRecord(me);
  if (record == nullptr) throw EAssertionFailed("Assertion failure");
  if (--record->RecursionCount == 0) record->ThreadID = 0;
  --Count;
  if (Count == 0 || OnlyWriterReads()) ReadersGone.notify_all();
}

void TRWCriticalSection::BeginWrite() {
  WriteLock.lock();
  std::unique_lock<std::mutex> state(StateLock);
  if (!Writing) {
    WriteRequestor = platform::CurrentThreadId();
    ReadersGone.wait(state, [this] { return Count == 0 || OnlyWriterReads(); });
    SavedReadCount = Count;
    Count = 0;
    WriteRequestor = 0;
    Writing = true;
  }
  ++Count;
}

void TRWCriticalSection::EndWrite() {
  {
    std::lock_guard<std::mutex> state(StateLock);
    if (--Count == 0) {
      Count = SavedReadCount;
      SavedReadCount = 0;
      Writing = false;
    }
  }
  WriteLock.unlock();
}

int32_t TRWCriticalSection::ReadCount() const {
  std::lock_guard<std::mutex> state(StateLock);
  return Count;
}

size_t TRWCriticalSection::ReaderSlots() const {
  std::lock_guard<std::mutex> state(StateLock);
  return ActiveThreads.size();
}

size_t TRWCriticalSection::ReaderRecords() const {
  std::lock_guard<std::mutex> state(StateLock);
  size_t used = 0;
  for (const TReaderRecord& record : ActiveThreads) used += record.ThreadID != 0 ? 1 : 0;
  return used;
}

bool TRWCriticalSection::IsWriting() const {
  std::lock_guard<std::mutex> state(StateLock);
  return Writing;
}

bool TRWCriticalSection::HasWaitingWriter() const {
  std::lock_guard<std::mutex> state(StateLock);
  return WriteRequestor != 0;
}

}  // namespace tzm
