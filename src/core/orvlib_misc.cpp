// Variant tests, key texts from the clock, files, dialogs and the cell-text layout.
#include "core/orvlib.h"

#include "platform/ui/dialogservice.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/tobject.h"

#include <cmath>
#include <cstring>

namespace orvlib {

// ---- Variants ----

void ClearVar(Variant& value) { value.Clear(); }

void ClearVars(std::vector<Variant>& values) {
  for (Variant& v : values) v.Clear();
}

bool VarIsEmptyOrNull(const Variant& value) { return value.IsClear() || value.IsNull(); }

bool VarIsEmptyKey(const Variant& value) {
  if (!value.IsArray()) return VarIsEmptyOrNull(value);
  const int low = value.ArrayLowBound();
  for (int i = low; i <= value.ArrayHighBound(); ++i)
    if (!VarIsEmptyOrNull(value.ArrayGet(i))) return false;
  return true;
}

void CheckVarConvertible(const Variant& a, const Variant& b) {
  if (VarIsEmptyOrNull(a))
    (void)VarAsType(a, b.VType());
  else if (VarIsEmptyOrNull(b))
    (void)VarAsType(b, a.VType());
}

int CompareFloat(double a, double b) {
  const double d = a - b;
  if (d < -0.0001) return -1;
  if (d > 0.0001) return 1;
  return 0;
}

double SqrPow(double value, double power) {
  const double r = std::exp(std::log(value) * power);
  if (!std::isfinite(r)) throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
  return r;
}

// ---- key texts ----

QString TimeStampKey(int form) {
  const double now = Now();
  if (form == 0) {
    const QString s = FloatToStrF(now, ffFixed, 18, 10);
    return QString(qMax<qsizetype>(0, 20 - s.size()), QLatin1Char(' ')) + s;
  }
  quint64 bits = 0;
  std::memcpy(&bits, &now, sizeof bits);
  QString key;
  if (form == 16) {
    for (int shift = 60; shift >= 0; shift -= 4) key += DigitChar(int((bits >> shift) & 0xF));
    return key;
  }
  for (int shift = 48; shift >= 0; shift -= 16) {
    const int w = int((bits >> shift) & 0xFFFF);
    key += DigitChar(w / 1681);
    key += DigitChar((w / 41) % 41);
    key += DigitChar(w % 41);
  }
  return key;
}

// ---- files and dialogs ----

QString ProgramFolder() {
  QString name = ProgramFileName();
  while (!name.isEmpty() && !name.endsWith(QLatin1Char('/')) && !name.endsWith(QLatin1Char('\\')))
    name.chop(1);
  return name;
}

QString ExpandAppFileName(const QString& fileName) {
  return FileExists(fileName) ? fileName : ProgramFolder() + fileName;
}

QString OpenFileDialog(const QString& filter, int options) {
  const QStringList files = DialogService().OpenFiles(filter, options);
  if (files.size() == 1) return files.front();
  QString text;
  for (const QString& f : files) text += f + QStringLiteral("\r\n");
  return text;
}

QString SelectFile(const QString& filter) {
  return OpenFileDialog(filter, OpenOptionBits({ofHideReadOnly, ofEnableSizing}));
}

QString SelectFiles(const QString& filter) {
  return OpenFileDialog(filter, OpenOptionBits({ofAllowMultiSelect}));
}

bool DlgYN(const QString& question) { return DialogService().ConfirmYesNo(question); }

// ---- shared bitmap ----

namespace {
struct TSharedBitmap {
  TBitmapFactory Factory;
  TObject* Bitmap = nullptr;
  int Users = 0;
};
TSharedBitmap& Shared() {
  static TSharedBitmap shared;
  return shared;
}
}  // namespace

void SetSharedBitmapFactory(TBitmapFactory factory) { Shared().Factory = std::move(factory); }

void AcquireSharedBitmap() {
  TSharedBitmap& s = Shared();
  if (s.Users == 0 && s.Factory) s.Bitmap = s.Factory();
  ++s.Users;
}

void ReleaseSharedBitmap() {
  TSharedBitmap& s = Shared();
  if (s.Users == 0) return;  // an unbalanced release frees nothing twice
  if (--s.Users == 0 && s.Bitmap != nullptr) {
    TObject* bitmap = s.Bitmap;
    s.Bitmap = nullptr;
    bitmap->Free();
  }
}

TObject* SharedBitmap() { return Shared().Bitmap; }

int SharedBitmapUsers() { return Shared().Users; }

// ---- cell text ----

TRect CellTextRect(TRect r, int textWidth, int textHeight, TAlignment alignment,
                   TTextLayout layout) {
  constexpr int kMargin = 3;  // the grids' cell margin
  r.Right -= kMargin;
  switch (alignment) {
    case taLeftJustify: r.Left += kMargin; break;
    case taRightJustify:
      r.Left = r.Right - textWidth - 1;
      r.Right -= 1;
      break;
    case taCenter: r.Left = r.Left + (r.Right - r.Left) / 2 - textWidth / 2; break;
  }
  switch (layout) {
    case tlTop: r.Top += kMargin; break;
    case tlBottom: r.Bottom -= kMargin; break;
    case tlCenter: r.Top = r.Top + (r.Bottom - r.Top) / 2 - textHeight / 2; break;
  }
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

}  // namespace orvlib
