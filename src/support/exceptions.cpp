// Naming of caught exceptions for the last-error text.
#include "exceptions.h"

#include <new>

namespace tzm {

const char* ExceptionClassName(const std::exception* e) noexcept {
  if (e == nullptr) return "Exception";
  if (const auto* own = dynamic_cast<const EException*>(e)) return own->ClassName();
  if (dynamic_cast<const std::bad_alloc*>(e) != nullptr) return "EOutOfMemory";
  return "Exception";
}

std::string ExceptionMessage(const std::exception* e) {
  if (e == nullptr) return "Unknown exception";
  if (const auto* own = dynamic_cast<const EException*>(e)) return own->GetMessage();
  if (dynamic_cast<const std::bad_alloc*>(e) != nullptr) return "Out of memory";
  return e->what();
}

std::string DescribeException(const std::exception* e) {
  return std::string(ExceptionClassName(e)) + ": " + ExceptionMessage(e);
}

}  // namespace tzm
