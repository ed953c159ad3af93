#pragma once
// INI files as Windows programs read and write them.
//
// - Section and key names compare ignoring case (Cyrillic folded too); blanks around names
//   and values are dropped, and a value quoted at both ends ('...' or "...") loses the quotes.
// - The first section of a name is the section; lines before the first section, comments
//   (";"), blank and odd lines are kept as they are when the file is written.
// - Files are code page 1251, UTF-8 (with or without a mark) or UTF-16 with a mark; line
//   ends CR LF or LF. Writing keeps the file's encoding and line ends; a new file is 1251
//   with CR LF. Files are replaced atomically.
// - A name or value that would break the file's lines (a line break, a "=" in a key, a "]"
//   in a section) raises EIniFileException, and so does a file that cannot be written.
//
// TMemIniFile reads the file once and writes it on UpdateFile. TIniFile writes through at
// every change and reads the file again when it changed on disk, as the system's INI
// routines did.
#include "exceptions.h"
#include "tobject.h"

#include <QtCore/QString>

#include <memory>

class TStrings;
struct IniData;

ORV_DECLARE_EXCEPTION(EIniFileException, Exception)

class TMemIniFile : public TObject {
 public:
  explicit TMemIniFile(const QString& fileName);
  ~TMemIniFile() override;
  QString ClassName() const override { return QStringLiteral("TMemIniFile"); }
  const QString& FileName() const { return fileName_; }

  QString ReadString(const QString& section, const QString& ident, const QString& defaultValue);
  // Decimal or hexadecimal ("$1F", "0x1F"); the default for anything else.
  int ReadInteger(const QString& section, const QString& ident, int defaultValue);
  bool ReadBool(const QString& section, const QString& ident, bool defaultValue);  // integer <> 0
  double ReadFloat(const QString& section, const QString& ident, double defaultValue);
  void WriteString(const QString& section, const QString& ident, const QString& value);
  void WriteInteger(const QString& section, const QString& ident, int value);
  void WriteBool(const QString& section, const QString& ident, bool value);  // "1" / "0"
  void WriteFloat(const QString& section, const QString& ident, double value);

  void ReadSection(const QString& section, TStrings* idents);  // key names, in file order
  void ReadSections(TStrings* sections);
  void ReadSectionValues(const QString& section, TStrings* lines);  // "key=value" lines
  bool SectionExists(const QString& section);
  bool ValueExists(const QString& section, const QString& ident);
  void EraseSection(const QString& section);
  void DeleteKey(const QString& section, const QString& ident);
  // Writes the changes to the file (only when there are any).
  virtual void UpdateFile();

 protected:
  // Before every read and change; TIniFile reads a changed file again.
  virtual void Refresh() {}
  // After every change; TIniFile writes it through.
  virtual void Modified() {}
  void Load();
  bool ChangedOnDisk() const;

  QString fileName_;
  std::unique_ptr<IniData> data_;
};

class TIniFile : public TMemIniFile {
 public:
  explicit TIniFile(const QString& fileName) : TMemIniFile(fileName) {}
  QString ClassName() const override { return QStringLiteral("TIniFile"); }

 protected:
  void Refresh() override;
  void Modified() override { UpdateFile(); }
};
