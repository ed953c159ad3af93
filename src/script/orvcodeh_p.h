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

class TComponent;
class TRootCls;

namespace orvcodeh {

// Symbol changes to what owner owns (the formula cache's entries) concern nobody else and
// start no new generation; nullptr ends that.
void SetPrivateSymbols(const TComponent* owner);

// The registry being made or in use, and nullptr when it goes; lookups ask it about site classes.
void SetLiveRegistry(const TRootCls* root);

// While one lives, symbol changes start no new generation: a formula entry taking its own
// members with it as it is freed.
struct TQuietSymbols {
  TQuietSymbols();
  ~TQuietSymbols();
  TQuietSymbols(const TQuietSymbols&) = delete;
  TQuietSymbols& operator=(const TQuietSymbols&) = delete;
};

// How many lookups have gone on to the names of owned components, which can change without
// the symbols hearing of it: code compiled with such a lookup is not kept.
quint64 TreeLookups();

}  // namespace orvcodeh
