#pragma once
// The edit-mask language of stored forms and fields: "mask;save-literals;blank".
//
//   L l  letter (required / optional)        0 9  digit (required / optional)
//   A a  letter or digit                      #    digit or sign, optional
//   C c  any character                        : /  the time and date separators
//   >    upper case from here (until <)       <    lower case from here (until >); "<>" ends both
//   \    the next character is a literal      !    optional characters blank at the start
//   _    a blank literal                      anything else is a literal
//
// The second section is "0" when the literals are not part of the text (default "1"), the
// third the character that shows an empty position (default "_"). The edit text holds one
// character per position of the mask; the text is what the value gets: the characters typed,
// with or without the literals, blanks trimmed; an edit text with nothing typed gives "".
#include <QtCore/QString>

#include <vector>

class TEditMask {
 public:
  TEditMask() = default;
  explicit TEditMask(const QString& mask);

  bool IsEmpty() const { return slots_.empty(); }
  int Length() const { return int(slots_.size()); }
  bool SaveLiterals() const { return saveLiterals_; }
  QChar Blank() const { return blank_; }

  bool IsLiteral(int pos) const;
  // The character as position pos takes it (case applied), or a null QChar when it refuses it.
  QChar Accept(int pos, QChar c) const;
  // The first position at or after pos (before, when backward) that takes typing; -1: none.
  int NextInput(int pos, bool backward = false) const;

  QString EmptyEditText() const;
  QString EditTextFromText(const QString& text) const;
  QString TextFromEditText(const QString& editText) const;
  // The first required position left blank, or -1 when the edit text is complete (an edit
  // text with nothing typed counts as complete: the value is empty).
  int FirstMissing(const QString& editText) const;
  bool HasInput(const QString& editText) const;

 private:
  enum class Kind { Literal, Input };
  enum class Case { None, Upper, Lower };
  struct Slot {
    Kind kind = Kind::Literal;
    QChar ch;  // the literal, or the input code (L l A a C c 0 9 #)
    Case letterCase = Case::None;
  };
  static bool Required(QChar code) {
    return code == QLatin1Char('L') || code == QLatin1Char('A') || code == QLatin1Char('C') ||
           code == QLatin1Char('0');
  }
  std::vector<Slot> slots_;
  bool saveLiterals_ = true;
  bool leadingBlanks_ = false;
  QChar blank_ = QLatin1Char('_');
};
