#pragma once
// Helpers shared by the sources of the symbol model.
#include <QtCore/QString>

#include <initializer_list>

namespace orvcodeh {

// The program's error text from texts: ' ... "a" ... "b"'.
QString ErrorText(std::initializer_list<QString> texts);

// Raises the error of a member used on no object, naming the member.
[[noreturn]] void RaiseNilObject(const QString& member);

}  // namespace orvcodeh
