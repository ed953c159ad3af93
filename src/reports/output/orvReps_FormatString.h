#pragma once
// Compiled format strings: bracketed constructs ("[L10;[=NAME]]") compiled once into a list
// of commands and run for any page, table and column width without parsing again. A
// command reads literal arguments and the results of earlier commands, by index.
#include "reports/output/orvReps_Output.h"

#include <QtCore/QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class TCol;
struct TDef;

enum TComTypes : quint8 {
  ctNone,
  ctFrame,
  ctLoad,
  ctTrimL,
  ctTrimR,
  ctTrimA,
  ctIfEmpty,
  ctIsNull,
  ctCutRight,
  ctCutMid,
  ctConv,
  ctCap,
  ctTrunc,
  ctLeft,
  ctCenter,
  ctRight,
  ctM,
  ctLower,
  ctUpper,
  ctDot,
  ctStar,
  ctFormula,
  ctExpStr,
  ctA,
  ctW,
  ctV,
  ctWVAnd,
  ctFont,
  ctPar,
  ctVar,
};

struct TComWord {
  const char* Word;
  quint8 ArgCount;
  bool WidthFirst;
};
// Matched in this order: the first word that matches wins, no delimiter needed after it.
inline constexpr std::array<TComWord, 30> ComWords = {{
    {"", 0, false},      {"FRAME", 2, false}, {"LOAD", 1, false},    {"TRIML", 1, false},
    {"TRIMR", 1, false}, {"TRIMA", 1, false}, {"IFEMPTY", 3, false}, {"ISNULL", 2, false},
    {"RIGHT", 2, false}, {"MID", 3, false},   {"CONV", 2, false},    {"CAP", 1, false},
    {"T", 2, true},      {"L", 2, true},      {"C", 2, true},        {"R", 2, true},
    {"M", 2, true},      {"-", 1, false},     {"+", 1, false},       {".", 1, false},
    {"*", 1, false},     {"?", 1, false},     {"E", 3, true},        {"A", 4, true},
    {"W", 5, true},      {"V", 5, true},      {"&", 2, true},        {"F", 2, false},
    {"P", 1, false},     {"=", 1, false},
}};

class TFormatCommands;

class TFormatCommand {
 public:
  using THandler = void (*)(TFormatCommands&, TFormatCommand&);
  enum TOp : quint8 { opCommand, opLiteral, opConcat, opAddText, opRtfWrap };

  THandler Handler = nullptr;
  TComTypes Kind = ctNone;
  TOp Op = opCommand;
  bool WantInt = false;
  bool Constant = false;  // computed at compile time; the handler does nothing
  bool Preparable = false;
  bool IsWrap = false;
  bool WordWrap = false;
  bool RepairEntity = false;
  bool Before = false;
  QString ResultText;
  qint32 IntResult = 0;
  // Literal arguments 1..6 (slot 0 unused); a nested argument leaves its text empty.
  std::array<QString, 7> Args;
  std::array<qint32, 6> ArgSources{-1, -1, -1, -1, -1, -1};  // earlier command, -1 literal
  qint32 Width = 0;                                          // -1 P, -2 T, -3 C
  qint32 WidthSource = -1;  // earlier command whose IntResult is the width
  QString SavedText;
  QString Remaining;  // W and V: the text still to print in this run
  qint32 WrapIndex = -1;
  QString Open, Close;  // F with a literal spec
  // Joined texts: each part is an earlier command's result (index) or a literal (-1).
  struct TPart {
    qint32 Source;
    QString Literal;
  };
  std::vector<TPart> Parts;
  // ? : copies share the compiled formula, so none runs without it.
  std::shared_ptr<TCompileCode> Formula;
  // = : the variable, once bound.
  TDef* BoundDef = nullptr;
  // * and CAP: binding state for the data layer.
  bool Resolved = false, FieldBound = false, ColumnBound = false, OtherData = false;
  void* DataSet = nullptr;
  void* BoundField = nullptr;
  void* BoundKeyField = nullptr;
  void* BoundColumn = nullptr;
};

class TFormatStringReestrs;

class TFormatCommands {
 public:
  TFormatCommands(TRepsOutput& out, bool markup, bool richFragment, bool utf8Case);
  ~TFormatCommands();
  TFormatCommands(const TFormatCommands&) = delete;
  TFormatCommands& operator=(const TFormatCommands&) = delete;

  TRepsOutput& Out;
  bool Markup;
  bool RichFragment;
  bool Utf8Case;
  bool HasRuns = false;
  bool RtfRunWrap = false;
  bool Prepared = false;
  bool Bound = false;
  qint32 PageWidth = 10, TableWidth = 10, ColWidth = 10;
  bool RowContext = false;
  TCol* Column = nullptr;
  qint32 Level = -1;
  QString LineBreakTag;
  bool NbspBlanks = false;
  bool EscapeLiterals = false;
  TRepColors Colors;
  QStringList FontNames{QString()};

  int Count() const { return static_cast<int>(items_.size()); }
  TFormatCommand& GetItem(int i) { return items_.at(i); }
  const TFormatCommand& GetItem(int i) const { return items_.at(i); }

  void Execute(QString& result, qint32 pageWidth, qint32 tableWidth, qint32 colWidth,
               bool rowContext, TCol* column, qint32 level);
  void Prepare(bool rowContext, TCol* column, qint32 level);
  void ExecuteUnprepared(QString& result, qint32 pageWidth, qint32 tableWidth, qint32 colWidth);
  void AddText(const QString& text, bool before);
  qint32 ResolveWidth(qint32 code) const {
    return code == -1 ? PageWidth : code == -2 ? TableWidth : code == -3 ? ColWidth : code;
  }
  void RtfHeader(QString& text) const;
  void EscapeText(QString& text) const;
  void BindReferences();
  void Assign(const TFormatCommands& source);
  void AddRtfFont(const QString& name) { FontNames.append(name); }
  TFormatStringReestrs* Registry() const { return registry_; }
  // A new last command; it may refer only to commands before it.
  TFormatCommand& Append() { return items_.emplace_back(); }
  // Applies f to the literal texts of the commands before upTo (-1: all) and refreshes the
  // results computed from them.
  void RewriteLiterals(int upTo, const std::function<void(QString&)>& f);

  // The text of argument n of a command: its literal or the result it refers to.
  const QString& ArgText(const TFormatCommand& c, int n) const {
    return c.ArgSources[n] >= 0 ? items_[c.ArgSources[n]].ResultText : c.Args[n];
  }
  // The width a command lays its text out in; a report error past kMaxWidth.
  qint32 CommandWidth(const TFormatCommand& c) const;
  // A command fills or pads its text to its width: without a bound one short text
  // ("[M2000000000;x]") takes all memory.
  static constexpr qsizetype kMaxWidth = 1 << 18;

 private:
  friend class TInterpretComs;
  friend class TFormatStringReestrs;
  void RunAll(bool skipPreparable, bool onlyPreparable);
  std::vector<TFormatCommand> items_;
  TFormatStringReestrs* registry_ = nullptr;
};

// The run's live compiled strings: a non-owning list; owners free their strings.
class TFormatStringReestrs {
 public:
  TFormatStringReestrs() = default;
  ~TFormatStringReestrs();
  TFormatStringReestrs(const TFormatStringReestrs&) = delete;
  TFormatStringReestrs& operator=(const TFormatStringReestrs&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  TFormatCommands* GetItem(int i) const { return items_.at(i); }
  void Add(TFormatCommands* format);
  void Remove(TFormatCommands* format);
  void BindAll();

 private:
  std::vector<TFormatCommands*> items_;
};

namespace orvReps_FormatString {

// Empty text gives none. Errors of commands go through RaiseRepsError; a bad literal width
// raises EConvertError.
std::unique_ptr<TFormatCommands> CompileFormatString(const QString& text, TRepsOutput& out,
                                                     bool markup, bool richFragment,
                                                     bool caretEscape, bool wrapRtf, bool utf8Case);
void FormatText(QString& result, const QString& text, TRepsOutput& out, bool rowContext,
                int pageIndex, qint32 colWidth, qint32 level, bool markup, bool richFragment);
// AddText on format, or the compilation of text when there is none.
void AddFormatText(std::unique_ptr<TFormatCommands>& format, const QString& text, TRepsOutput& out,
                   bool before);
void RegisterFormat(TFormatCommands* format);
void UnregisterFormat(TFormatCommands* format);

}  // namespace orvReps_FormatString
