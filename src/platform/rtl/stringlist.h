#pragma once
// TStrings, the runtime's abstract list of texts with an object per line, and TStringList,
// its in-memory implementation (optionally sorted).
//
// Names and values: a line "name=value" has the name before its first separator; lines
// without one have no name. Name lookups and IndexOf ignore case (Cyrillic folded too)
// unless a TStringList is CaseSensitive.
// Text joins lines with CR LF, each line followed by one; setting it splits at CR LF, LF and
// CR. Files are code page 1251 (see textfile.h for marked UTF-8 and UTF-16).
#include "textfile.h"
#include "tobject.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>
#include <vector>

class TStream;

enum TDuplicates { dupIgnore = 0, dupAccept = 1, dupError = 2 };

class TStrings : public TPersistent {
 public:
  QString ClassName() const override { return QStringLiteral("TStrings"); }

  // The primitives a concrete list implements.
  virtual int Count() const = 0;
  virtual QString Get(int index) const = 0;
  virtual void Put(int index, const QString& s);  // keeps the line's object
  virtual TObject* GetObject(int index) const;    // nullptr unless the list keeps objects
  virtual void PutObject(int index, TObject* object);
  virtual void Insert(int index, const QString& s) = 0;
  virtual void InsertObject(int index, const QString& s, TObject* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual int Add(const QString& s);  // answers the new line's index
  virtual int AddObject(const QString& s, TObject* object);
  virtual void Exchange(int index1, int index2);
  virtual void Move(int curIndex, int newIndex);
  virtual int IndexOf(const QString& s) const;
  // Negative, zero or positive: how IndexOf, IndexOfName and sorting compare.
  virtual int CompareStrings(const QString& a, const QString& b) const;

  // The property names scripts use.
  QString Strings(int index) const { return Get(index); }
  void SetStrings(int index, const QString& s) { Put(index, s); }
  TObject* Objects(int index) const { return GetObject(index); }
  void SetObjects(int index, TObject* object) { PutObject(index, object); }

  void Append(const QString& s) { Add(s); }
  virtual void AddStrings(const TStrings* strings);
  void AddStrings(const QStringList& strings);
  // Copies the lines and objects of another TStrings; other sources raise the assignment error.
  void Assign(TPersistent* source) override;
  bool Equals(const TStrings* other) const;  // same lines, letter case counting
  int IndexOfName(const QString& name) const;
  int IndexOfObject(const TObject* object) const;

  // Changes between BeginUpdate and the last EndUpdate notify once, at the end.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  QString Names(int index) const;  // "" for a line without separator
  QString Values(const QString& name) const;
  // Replaces the value of the first line with that name or adds a line; "" deletes the line.
  void SetValues(const QString& name, const QString& value);
  QString ValueFromIndex(int index) const;  // "" for a line without separator
  void SetValueFromIndex(int index, const QString& value);

  QChar NameValueSeparator() const { return nameValueSeparator_; }
  void SetNameValueSeparator(QChar c) { nameValueSeparator_ = c; }
  QChar Delimiter() const { return delimiter_; }
  void SetDelimiter(QChar c) { delimiter_ = c; }
  QChar QuoteChar() const { return quoteChar_; }
  void SetQuoteChar(QChar c) { quoteChar_ = c; }
  // Off: blanks and control characters separate items too, and surround them unseen.
  bool StrictDelimiter() const { return strictDelimiter_; }
  void SetStrictDelimiter(bool value) { strictDelimiter_ = value; }
  const QString& LineBreak() const { return lineBreak_; }
  void SetLineBreak(const QString& value) { lineBreak_ = value; }

  // Items joined by Delimiter; an item holding the delimiter, the quote, or (unless strict) a
  // blank or control character is quoted with its quotes doubled. One empty line is "".
  QString DelimitedText() const;
  void SetDelimitedText(const QString& text);
  // DelimitedText with "," and '"', never strict.
  QString CommaText() const;
  void SetCommaText(const QString& text);
  virtual QString Text() const;
  virtual void SetText(const QString& text);

  // The encoding of the last file read; written files use it (1251 by default).
  TTextFileEncoding Encoding() const { return encoding_; }
  void SetEncoding(TTextFileEncoding encoding) { encoding_ = encoding; }
  void LoadFromFile(const QString& fileName);
  void LoadFromStream(TStream* stream);      // from the stream's position to its end
  void SaveToFile(const QString& fileName);  // replaces the file atomically
  void SaveToStream(TStream* stream);

  QStringList ToStringList() const;

 protected:
  // BeginUpdate's first call passes true, EndUpdate's last false.
  virtual void SetUpdateState(bool updating) { (void)updating; }
  [[noreturn]] static void ListIndexError(int index);
  void CheckIndex(int index) const;

 private:
  QString DelimitedTextWith(QChar delimiter, QChar quote, bool strict) const;
  void SetDelimitedTextWith(const QString& text, QChar delimiter, QChar quote, bool strict);

  int updateCount_ = 0;
  QChar nameValueSeparator_ = QLatin1Char('=');
  QChar delimiter_ = QLatin1Char(',');
  QChar quoteChar_ = QLatin1Char('"');
  bool strictDelimiter_ = false;
  QString lineBreak_ = QStringLiteral("\r\n");
  TTextFileEncoding encoding_ = TTextFileEncoding::Ansi;
};

// One line of a TStringList. Relocatable, so inserting into a long list moves memory
// in one block instead of element by element.
struct TStringItem {
  QString text;
  TObject* object = nullptr;
};
Q_DECLARE_TYPEINFO(TStringItem, Q_RELOCATABLE_TYPE);

class TStringList;
// Compares the lines at two indexes of the list, for CustomSort.
using TStringListSortCompare = std::function<int(TStringList* list, int index1, int index2)>;

class TStringList : public TStrings {
 public:
  TStringList() = default;
  ~TStringList() override;
  QString ClassName() const override { return QStringLiteral("TStringList"); }

  int Count() const override { return int(items_.size()); }
  QString Get(int index) const override;
  void Put(int index, const QString& s) override;  // not on a sorted list
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, const QString& s) override;  // not on a sorted list
  void InsertObject(int index, const QString& s, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  // Sorted lists put the line in its place and apply Duplicates.
  int Add(const QString& s) override;
  int AddObject(const QString& s, TObject* object) override;
  void Exchange(int index1, int index2) override;
  void Move(int curIndex, int newIndex) override;
  int IndexOf(const QString& s) const override;  // binary search on sorted lists
  int CompareStrings(const QString& a, const QString& b) const override;

  // Binary search of a sorted list: true when found; index is then the first line equal
  // to s, else the place where s would go.
  bool Find(const QString& s, int& index) const;
  // Stable sorts: lines that compare equal keep their order.
  virtual void Sort();
  virtual void CustomSort(const TStringListSortCompare& compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value);

 protected:
  // Around every change made outside BeginUpdate/EndUpdate, and once at the last EndUpdate.
  virtual void Changing() {}
  virtual void Changed() {}
  void SetUpdateState(bool updating) override;

 private:
  void NotifyChanging() {
    if (UpdateCount() == 0) Changing();
  }
  void NotifyChanged() {
    if (UpdateCount() == 0) Changed();
  }
  void InsertItem(int index, const QString& s, TObject* object);
  void CheckNotSorted() const;
  void SortItems(const std::function<bool(int, int)>& less);

  QList<TStringItem> items_;
  TDuplicates duplicates_ = dupIgnore;
  bool sorted_ = false;
  bool caseSensitive_ = false;
};
