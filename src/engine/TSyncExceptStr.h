// The engine's last-failure text behind a reader/writer lock, so that any
// thread may read it while an operation on another thread replaces it.
#ifndef TZM_ENGINE_TSYNCEXCEPTSTR_H
#define TZM_ENGINE_TSYNCEXCEPTSTR_H

#include <memory>
#include <string>

namespace tzm {

class TRWCriticalSection;

class TSyncExceptStr {
 public:
  // TSyncExceptStr starts with an empty text and its own lock.
  TSyncExceptStr();
  ~TSyncExceptStr();
  TSyncExceptStr(const TSyncExceptStr&) = delete;
  TSyncExceptStr& operator=(const TSyncExceptStr&) = delete;

  // ReadText returns a copy of the text, taken under shared access. Never throws
  // to its caller: a failed copy answers the empty text.
  std::string ReadText() const;

  // WriteText replaces the whole text under exclusive access. A failed
  // assignment leaves the previous text; the lock is always released.
  void WriteText(const std::string& newText);

 private:
  std::unique_ptr<TRWCriticalSection> Lock;
  std::string Text;
};

}  // namespace tzm

#endif
