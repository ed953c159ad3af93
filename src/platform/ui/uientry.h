#pragma once
// Every call from Qt into components goes through SafeEntry: an exception never unwinds
// through Qt's event handling; it reaches Application.HandleException instead.
#include "platform/rtl/tobject.h"

#include <utility>

// Handles the exception being caught (call only inside a catch block).
void HandleEntryException(TObject* sender);

template <class F>
void SafeEntry(TObject* sender, F&& f) {
  try {
    std::forward<F>(f)();
  } catch (...) {
    HandleEntryException(sender);
  }
}
