#pragma once
// Component text ("object Name: TClass ... end"): its parsed form, the parser and the
// formatter. Reading the parsed form into components is TReader's job (reader.h), writing
// components into it TWriter's (writer.h). Errors name the line: "... at line N".
#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <vector>

struct TTextProperty;

// One value: a number, a text, an identifier (enumeration value, True/False, component
// reference, method name), a set, a list, a collection or binary data.
struct TTextValue {
  enum Kind { vaInt, vaFloat, vaString, vaIdent, vaSet, vaList, vaCollection, vaBinary };
  // A collection item: "item ... end", with an optional index ("item [3]").
  struct Item {
    int Line = 0;
    int Index = -1;
    std::vector<TTextProperty> Props;
  };

  Kind kind = vaInt;
  int Line = 0;
  qint64 Int = 0;
  double Float = 0;
  QChar FloatSuffix;  // 's', 'c', 'd' or none
  QString Str;        // vaString, vaIdent
  QStringList Set;    // vaSet
  std::vector<TTextValue> List;
  std::vector<Item> Items;  // vaCollection
  QByteArray Binary;

  // Out of line: building a value here would need TTextProperty complete.
  static TTextValue MakeInt(qint64 v);
  static TTextValue MakeFloat(double v);
  static TTextValue MakeString(QString v);
  static TTextValue MakeIdent(QString v);
};

struct TTextProperty {
  QString Name;  // may be dotted: "Font.Name"
  TTextValue Value;
  int Line = 0;
};

struct TTextObject {
  enum Kind { Object, Inherited, Inline };
  Kind kind = Object;
  QString Name;
  QString ClassName;
  int Line = 0;
  std::vector<TTextProperty> Props;
  std::vector<TTextObject> Children;
};

// Parses one complete object block. Raises EParserError "... at line N".
TTextObject ParseComponentText(const QString& text);
// The text of an object block, indented by two blanks per level, lines ended by CR LF.
QString FormatComponentText(const TTextObject& object);
// A text value as component text writes it ('it''s'#13#10'x').
QString QuoteComponentString(const QString& text);
