#include "exceptions.h"

Exception::Exception(QString message) : message_(std::move(message)) {}
Exception::~Exception() = default;

void Exception::SetMessage(const QString& message) {
  message_ = message;
  what_.clear();
}

void Exception::AppendMessage(const QString& text) {
  message_ += text;
  what_.clear();
}

const char* Exception::what() const noexcept {
  if (what_.empty()) what_ = message_.toStdString();
  return what_.c_str();
}

void Abort() { throw EAbort(QStringLiteral("Operation aborted")); }
