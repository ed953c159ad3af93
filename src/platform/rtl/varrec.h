#pragma once
// TVarRec: one entry of an open argument list ("array of const"), as Format and the
// program's error helpers take them. Each entry keeps the kind it was built from, because
// Format's %d accepts integers only and the error texts format each kind in its own way.
#include "currency.h"
#include "variant.h"

#include <QtCore/QString>

#include <initializer_list>
#include <vector>

class TObject;

struct TVarRec {
  enum Kind {
    vtInteger,
    vtBoolean,
    vtChar,
    vtExtended,
    vtString,
    vtPointer,
    vtObject,
    vtClass,
    vtWideChar,
    vtCurrency,
    vtVariant,
    vtInt64,
    vtQWord
  };

  Kind VType = vtInteger;
  qint64 VInt = 0;                   // vtInteger, vtInt64, vtBoolean (0/1)
  quint64 VQWord = 0;                // vtQWord
  double VExtended = 0;              // vtExtended
  Currency VCurrency;                // vtCurrency
  QString VString;                   // vtString, vtChar, vtWideChar, vtClass (the class name)
  const void* VPointer = nullptr;    // vtPointer
  const TObject* VObject = nullptr;  // vtObject
  Variant VVariant;                  // vtVariant

  TVarRec(int v) : VType(vtInteger), VInt(v) {}
  TVarRec(long v) : VType(vtInt64), VInt(v) {}
  TVarRec(qint64 v) : VType(vtInt64), VInt(v) {}
  TVarRec(unsigned v) : VType(vtInt64), VInt(v) {}
  TVarRec(quint64 v) : VType(vtQWord), VQWord(v) {}
  TVarRec(unsigned long v) : VType(vtQWord), VQWord(v) {}
  TVarRec(bool v) : VType(vtBoolean), VInt(v ? 1 : 0) {}
  TVarRec(double v) : VType(vtExtended), VExtended(v) {}
  TVarRec(Currency v) : VType(vtCurrency), VCurrency(v) {}
  TVarRec(QChar v) : VType(vtWideChar), VString(v) {}
  TVarRec(const QString& v) : VType(vtString), VString(v) {}
  TVarRec(const char* utf8) : VType(vtString), VString(QString::fromUtf8(utf8)) {}
  TVarRec(const TObject* v) : VType(vtObject), VObject(v) {}
  TVarRec(const Variant& v) : VType(vtVariant), VVariant(v) {}

  static TVarRec Pointer(const void* p) {
    TVarRec r(0);
    r.VType = vtPointer;
    r.VPointer = p;
    return r;
  }
  static TVarRec Class(const QString& className) {
    TVarRec r(className);
    r.VType = vtClass;
    return r;
  }
};

using TVarRecs = std::vector<TVarRec>;

// The argument list packed in a Variant array as the bindings pass it: element 0 holds the
// count N, elements 1..N the values; the result holds N Variant entries copied from them.
// A count beyond the array raises EVariantBadIndexError; a count below 1 gives no entries.
TVarRecs VarArrayToArgs(const Variant& array);
