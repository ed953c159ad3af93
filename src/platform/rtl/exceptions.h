#pragma once
// The runtime's exception classes. Every error of the program is an Exception;
// the script engine and the message boxes show Message and ClassName.
#include <QtCore/QString>

#include <exception>
#include <memory>

class Exception : public std::exception {
 public:
  explicit Exception(QString message = QString());
  ~Exception() override;

  const QString& Message() const { return message_; }
  void SetMessage(const QString& message);
  // The run loop of the script engine appends its trail and re-raises the same object.
  void AppendMessage(const QString& text);

  virtual QString ClassName() const { return QStringLiteral("Exception"); }
  // A heap copy of the exact class, so a caught exception can be kept and raised again.
  virtual std::unique_ptr<Exception> Clone() const { return std::make_unique<Exception>(*this); }
  [[noreturn]] virtual void Raise() const { throw *this; }

  const char* what() const noexcept override;

 private:
  QString message_;
  mutable std::string what_;
};

// Declares an exception class with the runtime's name; its constructors are its base's.
#define ORV_DECLARE_EXCEPTION(Name, Base)                                                       \
  class Name : public Base {                                                                    \
   public:                                                                                      \
    using Base::Base;                                                                           \
    QString ClassName() const override { return QStringLiteral(#Name); }                        \
    std::unique_ptr<Exception> Clone() const override { return std::make_unique<Name>(*this); } \
    [[noreturn]] void Raise() const override { throw *this; }                                   \
  };

// A silent exception: handlers end the current operation without showing anything.
ORV_DECLARE_EXCEPTION(EAbort, Exception)
ORV_DECLARE_EXCEPTION(EConvertError, Exception)
ORV_DECLARE_EXCEPTION(EVariantError, Exception)
ORV_DECLARE_EXCEPTION(EVariantTypeCastError, EVariantError)
ORV_DECLARE_EXCEPTION(EVariantBadIndexError, EVariantError)
ORV_DECLARE_EXCEPTION(EVariantOverflowError, EVariantError)
ORV_DECLARE_EXCEPTION(EVariantInvalidOpError, EVariantError)
ORV_DECLARE_EXCEPTION(EListError, Exception)
ORV_DECLARE_EXCEPTION(EStringListError, EListError)
ORV_DECLARE_EXCEPTION(EDatabaseError, Exception)
ORV_DECLARE_EXCEPTION(EIntError, Exception)
ORV_DECLARE_EXCEPTION(EDivByZero, EIntError)
ORV_DECLARE_EXCEPTION(ERangeError, EIntError)
ORV_DECLARE_EXCEPTION(EIntOverflow, EIntError)
ORV_DECLARE_EXCEPTION(EMathError, Exception)
ORV_DECLARE_EXCEPTION(EZeroDivide, EMathError)
ORV_DECLARE_EXCEPTION(EOverflow, EMathError)
ORV_DECLARE_EXCEPTION(EInvalidOp, EMathError)
ORV_DECLARE_EXCEPTION(EInvalidCast, Exception)
ORV_DECLARE_EXCEPTION(EInvalidPointer, Exception)
ORV_DECLARE_EXCEPTION(EAccessViolation, Exception)
ORV_DECLARE_EXCEPTION(EArgumentException, Exception)
ORV_DECLARE_EXCEPTION(EArgumentOutOfRangeException, EArgumentException)
ORV_DECLARE_EXCEPTION(ENotImplemented, Exception)
ORV_DECLARE_EXCEPTION(EStreamError, Exception)
ORV_DECLARE_EXCEPTION(EFCreateError, EStreamError)
ORV_DECLARE_EXCEPTION(EFOpenError, EStreamError)
ORV_DECLARE_EXCEPTION(EReadError, EStreamError)
ORV_DECLARE_EXCEPTION(EWriteError, EStreamError)
ORV_DECLARE_EXCEPTION(EComponentError, Exception)
ORV_DECLARE_EXCEPTION(EClassNotFound, Exception)
ORV_DECLARE_EXCEPTION(EParserError, Exception)

// File and I/O errors carry the operating system's error code.
class EInOutError : public Exception {
 public:
  explicit EInOutError(QString message = QString(), int errorCode = 0)
      : Exception(std::move(message)), ErrorCode(errorCode) {}
  QString ClassName() const override { return QStringLiteral("EInOutError"); }
  std::unique_ptr<Exception> Clone() const override { return std::make_unique<EInOutError>(*this); }
  [[noreturn]] void Raise() const override { throw *this; }
  int ErrorCode;
};

// Ends the current operation silently (raises EAbort).
[[noreturn]] void Abort();
