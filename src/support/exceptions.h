// Exception classes of the library. Each names itself through ClassName, as
// the last-error text shows it: "<ClassName>: <message>".
#ifndef TZM_SUPPORT_EXCEPTIONS_H
#define TZM_SUPPORT_EXCEPTIONS_H

#include <exception>
#include <string>

namespace tzm {

// EException is the base of every exception the library raises. It carries
// an 8-bit (Windows-1251) message. ClassName answers "Exception".
class EException : public std::exception {
 public:
  explicit EException(std::string message) : Message(std::move(message)) {}
  const char* what() const noexcept override { return Message.c_str(); }
  virtual const char* ClassName() const noexcept { return "Exception"; }
  const std::string& GetMessage() const noexcept { return Message; }

 private:
  std::string Message;
};

#define TZM_DECLARE_EXCEPTION(Name, Base)                                  \
  class Name : public Base {                                               \
   public:                                                                 \
    using Base::Base;                                                      \
    const char* ClassName() const noexcept override { return #Name; }      \
  }

// EMimeException: the Base64 codec's failures.
TZM_DECLARE_EXCEPTION(EMimeException, EException);
// EAssertionFailed: a broken internal invariant; message "Assertion failure".
TZM_DECLARE_EXCEPTION(EAssertionFailed, EException);
// EOutOfMemory: an allocation failed; message "Out of memory".
TZM_DECLARE_EXCEPTION(EOutOfMemory, EException);
// EInOutError: a file or directory operation failed.
TZM_DECLARE_EXCEPTION(EInOutError, EException);
// EConvertError: text that does not convert to the expected value.
TZM_DECLARE_EXCEPTION(EConvertError, EException);

// ExceptionClassName / ExceptionMessage describe any caught exception:
// EException keeps its own name and message; std::bad_alloc is reported as
// EOutOfMemory / "Out of memory"; other std::exception as "Exception" with
// what(); |e| null (an unknown exception) as "Exception" / "Unknown exception".
const char* ExceptionClassName(const std::exception* e) noexcept;
std::string ExceptionMessage(const std::exception* e);

// DescribeException returns "<ClassName>: <message>" for |e|.
std::string DescribeException(const std::exception* e);

}  // namespace tzm

#endif  // TZM_SUPPORT_EXCEPTIONS_H
