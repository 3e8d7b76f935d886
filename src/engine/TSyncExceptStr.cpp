// The last-failure holder: whole-text reads and writes under TRWCriticalSection.
#include "TSyncExceptStr.h"

#include "support.h"

namespace tzm {

TSyncExceptStr::TSyncExceptStr() : Lock(std::make_unique<TRWCriticalSection>()) {}

TSyncExceptStr::~TSyncExceptStr() = default;

std::string TSyncExceptStr::ReadText() const {
  try {
    TReadGuard guard(*Lock);
    return Text;
  } catch (...) {
    return std::string();
  }
}

void TSyncExceptStr::WriteText(const std::string& newText) {
  try {
    std::string copy = newText;  // may fail before the lock is taken
    TWriteGuard guard(*Lock);
    Text.swap(copy);
  } catch (...) {
    // A failed write keeps the previous text.
  }
}

}  // namespace tzm
