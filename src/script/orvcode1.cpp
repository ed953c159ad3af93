// Declarations, statements and expressions of the compiler.
#include "orvcode1.h"

#include "platform/rtl/codepage.h"
#include "script/orvcodec.h"
#include "script/orvcodeh.h"
#include "script/orvcodei.h"
#include "script/orvcodeops.h"

using namespace orvcodec;

namespace {

QString TokenValueText(const TToken& t) { return t.HasText() ? t.Text : QStringLiteral("0"); }

// The binary operators: token (and a second token for two-sign ones), operation and priority.
struct TBinaryOperator {
  qint32 Token;
  qint32 Second;
  TTwoOperation Op;
  int Priority;
};

enum { kRelational = 1, kAdditive, kMultiplicative };

const TBinaryOperator kBinaryOperators[] = {
    {'=', 0, orvcodeops::OpEqual, kRelational},
    {'<', 0, orvcodeops::OpLess, kRelational},
    {'<', '=', orvcodeops::OpLessOrEqual, kRelational},
    {'<', '>', orvcodeops::OpNotEqual, kRelational},
    {'>', 0, orvcodeops::OpGreater, kRelational},
    {'>', '=', orvcodeops::OpGreaterOrEqual, kRelational},
    {'+', 0, orvcodeops::OpAdd, kAdditive},
    {'-', 0, orvcodeops::OpSubtract, kAdditive},
    {kwOr, 0, orvcodeops::OpOr, kAdditive},
    {kwXor, 0, orvcodeops::OpXor, kAdditive},
    {'*', 0, orvcodeops::OpMultiply, kMultiplicative},
    {'/', 0, orvcodeops::OpDivide, kMultiplicative},
    {kwAnd, 0, orvcodeops::OpAnd, kMultiplicative},
    {kwShl, 0, orvcodeops::OpShiftLeft, kMultiplicative},
    {kwShr, 0, orvcodeops::OpShiftRight, kMultiplicative},
    {kwDiv, 0, orvcodeops::OpIntDivide, kMultiplicative},
    {kwMod, 0, orvcodeops::OpModulus, kMultiplicative},
};

bool IsDirective(qint32 code) {
  return code == kwVirtual || code == kwOverride || code == kwDynamic || code == kwAbstract ||
         code == kwStdcall;
}

}  // namespace

// ---- Token helpers ---------------------------------------------------------------------------

void TPrimCompiler::Expect(qint32 code, QLatin1String message) {
  Next();
  if (Token.Code != code) SyntaxError(message);
}

void TPrimCompiler::ExpectSemicolon() { Expect(';', delimeter_expected); }
void TPrimCompiler::ExpectColon() { Expect(':', p2_exp); }
void TPrimCompiler::ExpectOpenParen() { Expect('(', need_opbr); }
void TPrimCompiler::ExpectCloseParen() { Expect(')', need_clbr); }
void TPrimCompiler::ExpectOpenBracket() { Expect('[', need_opsqbr); }
void TPrimCompiler::ExpectCloseBracket() { Expect(']', need_clsqbr); }
void TPrimCompiler::ExpectComma() { Expect(',', comma_expected); }

void TPrimCompiler::ExpectIdentifier() {
  Next();
  if (Token.Code != tkIdent)
    SyntaxError(QString(id_expected) + QStringLiteral(" (") + TokenValueText(Token) +
                QLatin1Char(')'));
}

TPrimCompiler::TNesting::TNesting(TPrimCompiler& compiler) : compiler_(compiler) {
  if (compiler_.nesting_ >= kMaxNesting)
    compiler_.SyntaxError(Fmt(too_deep, QString::number(kMaxNesting)));
  ++compiler_.nesting_;
}

// ---- Declarations ----------------------------------------------------------------------------

// Function = Statement
void TOperCompiler::CompileFunction(TEntryItem* entry) {
  entry_ = entry;
  auto* code = new TCodeItem(entry);
  Statement(code);
}

template <class Item>
int TPrimCompiler::ItemGroup(TComp* container) {
  const int first = container->ComponentCount();
  for (;;) {
    Next();
    if (Token.Code != tkIdent) SyntaxError(Fmt(bad_itemblock, QString()));
    const QString name = Token.Text;
    TCompItem* existing = container->FindOwnItem(name);
    if (existing != nullptr && existing->ClassType() == Item::StaticClass())
      SyntaxError(Fmt(item_already, name));
    auto* item = new Item(container);
    item->ChangeName(name);
    Next();
    if (Token.Code == ',') continue;
    if (Token.Code == ':') break;
    SyntaxError(bad_itemblock);
  }
  Next();
  const QString type = Token.Value().ToString();
  for (int i = first; i < container->ComponentCount(); ++i)
    if (auto* item = orvcodeh::As<TCompItem>(container->Components(i))) item->SetClsName(type);
  return first;
}

// DeclarationPart = {label LabelSection | var {ItemGroup ";"} | type TypeSection
//                    | uses Ident {"," Ident} ";" | interface | implementation
//                    | (procedure | function) RoutineDeclaration}
void TPrimCompiler::DeclarationPart(TCodeItem* code) {
  for (;;) {
    const qint32 t = Peek().Code;
    switch (t) {
      case kwLabel:
        Next();
        LabelSection(code);
        break;
      case kwVar:
        Next();
        do {
          ItemGroup<TVarItem>(code->GetVars());
          ExpectSemicolon();
        } while (!IsKeyword(Peek().Code));
        break;
      case kwType: {
        Next();
        TEntryItem* entry = code->EntryItem;
        TCls* sig = entry != nullptr ? entry->Cls() : nullptr;
        if (sig == nullptr || (sig != orvcodeh::FindCls(QStringLiteral("TProgramCls")) &&
                               sig != orvcodeh::FindCls(QStringLiteral("TUnitCls"))))
          SyntaxError(types_only.toString());
        TypeSection();
        break;
      }
      case kwUses:
        Next();
        for (;;) {
          ExpectIdentifier();
          if (!PeekIs(',')) break;
          Next();
        }
        Next();  // normally ";"
        break;
      case kwInterface:
      case kwImplementation: Next(); break;
      case kwProcedure:
      case kwFunction:
        Next();
        RoutineDeclaration(t == kwFunction);
        break;
      case kwBegin:
      case kwEnd: return;
      default: SyntaxError(err_declpart);
    }
  }
}

// LabelSection = Ident {"," Ident} ";"
void TPrimCompiler::LabelSection(TCodeItem* code) {
  for (;;) {
    Next();
    if (Token.Code != tkIdent) SyntaxError(labname_exp);
    if (code->FindLabel(Token.Text) >= 0) SyntaxError(Fmt(label_already, Token.Text));
    code->AddLabel(Token.Text);
    Next();
    if (Token.Code == ';') return;
    if (Token.Code != ',') SyntaxError(delim_or_coma);
  }
}

// TypeSection = {Ident "=" class ClassBody}
void TPrimCompiler::TypeSection() {
  while (PeekIs(tkIdent)) {
    Next();
    const QString name = Token.Text;
    Next();
    if (Token.Code != '=') SyntaxError(Fmt(err_decl, name));
    Next();
    if (Token.Code != kwClass) SyntaxError(only_class);
    ClassBody(name);
  }
}

// ClassBody = ["(" Ident ")"] (";" | {Visibility | FieldGroup ";" | Heading | property
//             PropertyDeclaration} end ";")
void TPrimCompiler::ClassBody(const QString& name) {
  QString parentName = QStringLiteral("TObject");
  if (PeekIs('(')) {
    Next();
    Next();
    if (Token.Code != tkIdent) SyntaxError(need_par);
    parentName = Token.Text;
    ExpectCloseParen();
  }
  auto* cls = orvcodeh::As<TInstanceCls>(orvcodeh::FindCls(name));
  if (cls == nullptr || orvcodeh::As<TEntryCls>(cls) != nullptr) {
    TCls* parent = orvcodeh::FindCls(parentName);
    cls = new TInstanceCls(parent);
    if (parent == nullptr) orvcodeh::Registry()->KeepOwnerless(cls);
    cls->ChangeName(name);
  }
  for (;;) {
    const qint32 t = Peek().Code;
    if (t == ';') {
      Next();
      return;
    }
    if (t == kwEnd) {
      Next();
      ExpectSemicolon();
      return;
    }
    if (t == kwPrivate || t == kwPublic || t == kwProtected || t == kwPublished) {
      Next();
    } else if (t == tkIdent) {
      do {
        ItemGroup<TFieldItem>(cls);
        ExpectSemicolon();
      } while (PeekIs(tkIdent));
    } else if (t == kwProcedure || t == kwFunction) {
      Next();
      ExpectIdentifier();
      Signature(EntryIn(cls, Token.Text), t == kwFunction);
    } else if (t == kwProperty) {
      Next();
      PropertyDeclaration(cls);
    } else {
      Next();
      SyntaxError(err_declpart);
    }
  }
}

TEntryItem* TPrimCompiler::EntryIn(TCls* cls, const QString& name) {
  TCompItem* existing = cls->FindOwnItem(name);
  if (existing == nullptr) {
    auto* entry = new TEntryItem(cls);
    entry->ChangeName(name);
    return entry;
  }
  auto* entry = orvcodeh::As<TEntryItem>(existing);
  // An entry with code, or one served natively, is defined already.
  if (entry == nullptr || entry->OnCall || entry->Handler != nullptr)
    SyntaxError(Fmt(method_already, name));
  return entry;
}

// Signature = ["(" [[var | const] ItemGroup {";" [var | const] ItemGroup}] ")"]
//             [":" Ident] ";" [Directive ";"]
void TPrimCompiler::Signature(TEntryItem* entry, bool function) {
  TCls* previous = entry->Cls();
  TEntryCls* sig = function ? static_cast<TEntryCls*>(new TFunctionCls(entry))
                            : static_cast<TEntryCls*>(new TProcedureCls(entry));
  if (previous == nullptr || orvcodeh::As<TEntryCls>(previous) == nullptr) {
    sig->SetClsParent(orvcodeh::FindCls(function ? QStringLiteral("TFunctionCls")
                                                 : QStringLiteral("TProcedureCls")));
  } else if ((orvcodeh::As<TFunctionCls>(previous) != nullptr) == function) {
    sig->SetClsParent(previous);
  } else {
    sig->Free();
    SyntaxError(Fmt(bad_entry, entry->Name()));
  }
  entry->SetCls(sig);
  if (TComp* master = entry->Master())
    master->RegisterItem(entry->Name() + QLatin1Char('_') + QString::number(sig->ObjectHandle()),
                         sig);

  if (PeekIs('(')) {
    Next();
    for (;;) {
      const qint32 t = Peek().Code;
      if (t == ')') {
        Next();
        break;
      }
      if (t == kwVar || t == kwConst) {
        Next();
      } else if (t != tkIdent) {
        Next();
        SyntaxError(bad_methparam);
      }
      ItemGroup<TParamItem>(sig);
      if (!PeekIs(')')) ExpectSemicolon();
    }
  }
  if (function) {
    ExpectColon();
    ExpectIdentifier();
    static_cast<TFunctionCls*>(sig)->SetResultClsName(Token.Text);
  }
  ExpectSemicolon();
  if (IsDirective(Peek().Code)) {
    Next();
    ExpectSemicolon();
  }
}

// RoutineDeclaration = Ident ["." Ident] Signature (forward ";" | DeclarationPart Block ";")
void TPrimCompiler::RoutineDeclaration(bool function) {
  TNesting nesting(*this);
  ExpectIdentifier();
  QString name = Token.Text;
  TCls* target = nullptr;
  if (PeekIs('.')) {
    target = orvcodeh::FindCls(name);
    if (target == nullptr) target = orvcodeh::FindCls(QStringLiteral("T"));
    if (target == nullptr) SyntaxError(class_notfound);
    Next();
    ExpectIdentifier();
    name = Token.Text;
  } else {
    target = orvcodeh::FindCls(QString());
  }
  if (target == nullptr) SyntaxError(class_notfound);
  TEntryItem* entry = EntryIn(target, name);
  Signature(entry, function);
  if (PeekIs(kwForward)) {
    Next();
    ExpectSemicolon();
    return;
  }
  auto* code = new TCodeItem(entry);
  DeclarationPart(code);
  Block(code);
  ExpectSemicolon();
  if (!code->Linked()) SyntaxError(linker_error);
}

// PropertyDeclaration = Ident ":" Ident [read Ident] [write Ident] ";"
void TPrimCompiler::PropertyDeclaration(TCls* cls) {
  ExpectIdentifier();
  const QString name = Token.Text;
  if (TCompItem* existing = cls->FindItem(name)) {
    if (orvcodeh::As<TPropItem>(existing) != nullptr && existing->Master() != cls) {
      ExpectSemicolon();
      return;
    }
    SyntaxError(Fmt(prop_already, name));
  }
  auto* prop = new TPropItem(cls);
  prop->ChangeName(name);
  ExpectColon();
  ExpectIdentifier();
  prop->SetClsName(Token.Text);
  if (PeekIs(kwRead)) {
    Next();
    ExpectIdentifier();
    const QString message = Fmt(prop_noread, name);
    TCompItem* source = cls->FindItem(Token.Text);
    if (source == nullptr) SyntaxError(message);
    if (auto* value = orvcodeh::As<TConstItem>(source)) {
      prop->OnGetValue = [value](TObject* slf) { return value->GetValue(slf); };
    } else if (auto* entry = orvcodeh::As<TEntryItem>(source);
               entry != nullptr && orvcodeh::As<TFunctionCls>(entry->Cls()) != nullptr) {
      // The entry is called late: its body may be compiled after the property.
      prop->OnGetValue = [entry](TObject* slf) {
        VariantArgs none;
        return entry->Call(slf, none);
      };
    } else {
      SyntaxError(message);
    }
  }
  if (PeekIs(kwWrite)) {
    Next();
    ExpectIdentifier();
    TCompItem* target = cls->FindItem(Token.Text);
    if (target == nullptr) SyntaxError(Fmt(prop_nowrite, name));
    if (auto* value = orvcodeh::As<TValueItem>(target)) {
      prop->OnSetValue = [value](TObject* slf, const Variant& v) { value->SetValue(slf, v); };
    } else if (auto* entry = orvcodeh::As<TEntryItem>(target);
               entry != nullptr && orvcodeh::As<TProcedureCls>(entry->Cls()) != nullptr) {
      prop->OnSetValue = [entry](TObject* slf, const Variant& v) {
        VariantArgs args{v};
        entry->Call(slf, args);
      };
    } else {
      SyntaxError(Fmt(prop_noproc, name));
    }
  }
  ExpectSemicolon();
}

// ---- Statements ------------------------------------------------------------------------------

// Program = [(program | unit) Ident ";"] DeclarationPart Block "."
void TOperCompiler::CompileProgram(TEntryItem* entry) {
  entry_ = entry;
  auto* code = new TCodeItem(entry);
  const qint32 head = Peek().Code;
  if (head == kwProgram || head == kwUnit) {
    Next();
    if (head == kwProgram && entry->Cls() != orvcodeh::FindCls(QStringLiteral("TProgramCls")))
      SyntaxError(unit_required);
    if (head == kwUnit && entry->Cls() != orvcodeh::FindCls(QStringLiteral("TUnitCls")))
      SyntaxError(program_required);
    Next();
    if (Token.Code != tkIdent) SyntaxError(progname_exp);
    entry->ChangeName(Token.Text);
    ExpectSemicolon();
  }
  DeclarationPart(code);
  Block(code);
  Next();  // the final point, not examined
  if (!code->Linked()) SyntaxError(linker_error);
}

// Block = begin {Statement} end   (a bare end is an empty block)
void TOperCompiler::Block(TCodeItem* code) {
  Next();
  if (Token.Code == kwEnd) return;
  if (Token.Code != kwBegin) SyntaxError(begin_expected);
  for (;;) {
    const qint32 t = Peek().Code;
    if (t == kwEnd || t == tkEOF) break;
    Statement(code);
  }
  Next();
  if (Token.Code != kwEnd) SyntaxError(end_expected);
}

// Statement = CompileStatement Separator
void TOperCompiler::Statement(TCodeItem* code) {
  CompileStatement(code);
  Separator();
}

// Separator = ";" | nothing before end or until, or after a label
void TOperCompiler::Separator() {
  const qint32 t = Peek().Code;
  if (t == ';') {
    Next();
    return;
  }
  if (Token.Code == ':' || t == kwEnd || t == kwUntil) return;
  ExpectSemicolon();
}

TComp* TOperCompiler::InheritedScope(TCodeItem* code) const {
  TEntryItem* entry = code->EntryItem != nullptr ? code->EntryItem : entry_;
  return entry != nullptr && entry->Master() != nullptr ? entry->Master() : orvcodeh::Registry();
}

// CompileStatement = Label ":" | SimpleStatement | goto Ident | Block | IfStatement
//                    | WhileStatement | RepeatStatement | ForStatement | inherited Ident ...
void TOperCompiler::CompileStatement(TCodeItem* code) {
  TNesting nesting(*this);
  const TToken& peek = Peek();
  switch (peek.Code) {
    case tkIdent: {
      Next();
      const int label = code->FindLabel(Token.Text);
      if (label >= 0) {
        ExpectColon();
        code->PlaceLabel(label);
        return;
      }
      CompileSimpleStatement(code, code->GetVars());
      return;
    }
    case kwGoto: GotoStatement(code); return;
    case kwBegin: Block(code); return;
    case kwIf: IfStatement(code); return;
    case kwWhile: WhileStatement(code); return;
    case kwRepeat: RepeatStatement(code); return;
    case kwFor: ForStatement(code); return;
    case kwInherited:
      Next();
      ExpectIdentifier();
      CompileSimpleStatement(code, InheritedScope(code));
      return;
    default: {
      Next();
      SyntaxError(Fmt(unkn_id, TokenValueText(Token)));
    }
  }
}

// GotoStatement = goto Ident
void TOperCompiler::GotoStatement(TCodeItem* code) {
  Next();
  Next();
  if (Token.Code != tkIdent) SyntaxError(labname_exp);
  const int label = code->FindLabel(Token.Text);
  if (label < 0) SyntaxError(Fmt(lab_notdef, Token.Text));
  code->UseLabel(label);
  code->EmitGoto(label);
}

// IfStatement = if Expression then Statement [else Statement]
void TOperCompiler::IfStatement(TCodeItem* code) {
  Next();
  const int elseLabel = code->NewJumpLabel();
  CompileExpression(code);
  code->EmitIf(elseLabel);
  Next();
  if (Token.Code != kwThen) SyntaxError(then_exp);
  CompileStatement(code);
  const qint32 t = Peek().Code;
  if (t == ';' || t == kwEnd) {
    code->PlaceLabel(elseLabel);
    return;
  }
  Next();
  if (Token.Code != kwElse) SyntaxError(else_exp);
  const int endLabel = code->NewJumpLabel();
  code->EmitGoto(endLabel);
  code->PlaceLabel(elseLabel);
  CompileStatement(code);
  code->PlaceLabel(endLabel);
}

// WhileStatement = while Expression do Statement
void TOperCompiler::WhileStatement(TCodeItem* code) {
  Next();
  const int top = code->NewJumpLabel();
  code->PlaceLabel(top);
  const int end = code->NewJumpLabel();
  CompileExpression(code);
  code->EmitIf(end);
  Next();
  if (Token.Code != kwDo) SyntaxError(do_exp);
  CompileStatement(code);
  code->EmitGoto(top);
  code->PlaceLabel(end);
}

// RepeatStatement = repeat {Statement} until Expression
void TOperCompiler::RepeatStatement(TCodeItem* code) {
  Next();
  const int top = code->NewJumpLabel();
  code->PlaceLabel(top);
  for (;;) {
    const qint32 t = Peek().Code;
    if (t == kwUntil || t == tkEOF) break;
    Statement(code);
  }
  Next();
  if (Token.Code != kwUntil) SyntaxError(until_exp);
  CompileExpression(code);
  code->EmitIf(top);
}

// ForStatement = for Ident ":" "=" Expression (to | downto) Expression do Statement
void TOperCompiler::ForStatement(TCodeItem* code) {
  Next();
  Next();
  if (Token.Code != tkIdent) SyntaxError(varname_exp);
  TCompItem* item = code->GetVars()->FindOwnItem(Token.Text);
  if (item == nullptr) SyntaxError(Fmt(var_notdef, Token.Text));
  auto* var = orvcodeh::As<TVarItem>(item);
  if (var == nullptr) SyntaxError(Fmt(var_notsimple, Token.Text));
  const int slot = var->ComponentIndex();
  ExpectColon();
  Next();
  if (Token.Code != '=') SyntaxError(eq_exp);
  CompileExpression(code);
  code->EmitSetVar(slot);
  Next();
  const qint32 direction = Token.Code;
  const int top = code->NewJumpLabel();
  const int end = code->NewJumpLabel();
  code->PlaceLabel(top);
  code->EmitGetVar(slot);
  CompileExpression(code);
  Next();
  if (Token.Code != kwDo) SyntaxError(do_exp);
  TTwoOperation test = nullptr;
  TOneOperation step = nullptr;
  if (direction == kwTo) {
    test = orvcodeops::OpLessOrEqual;
    step = orvcodeops::OpIncrement;
  } else if (direction == kwDownTo) {
    test = orvcodeops::OpGreaterOrEqual;
    step = orvcodeops::OpDecrement;
  } else {
    SyntaxError(down_to_exp);
  }
  code->EmitTwo(test);
  code->EmitIf(end);
  CompileStatement(code);
  code->EmitGetVar(slot);
  code->EmitOne(step);
  code->EmitSetVar(slot);
  code->EmitGoto(top);
  code->PlaceLabel(end);
}

// ---- Expressions -----------------------------------------------------------------------------

// Expression = SimpleExpression [RelOp SimpleExpression]   (comparisons do not chain)
void TExprCompiler::CompileExpression(TCodeItem* code) {
  SimpleExpression(code);
  if (TTwoOperation op = TakeOperator(kRelational)) {
    SimpleExpression(code);
    code->EmitTwo(op);
  }
}

// SimpleExpression = Term {("+" | "-" | or | xor) Term}
void TExprCompiler::SimpleExpression(TCodeItem* code) {
  Term(code);
  while (TTwoOperation op = TakeOperator(kAdditive)) {
    Term(code);
    code->EmitTwo(op);
  }
}

// Term = Factor {("*" | "/" | and | shl | shr | div | mod) Factor}
void TExprCompiler::Term(TCodeItem* code) {
  Factor(code);
  while (TTwoOperation op = TakeOperator(kMultiplicative)) {
    Factor(code);
    code->EmitTwo(op);
  }
}

TTwoOperation TExprCompiler::TakeOperator(int priority) {
  const qint32 t = Peek().Code;
  const TBinaryOperator* single = nullptr;
  for (const TBinaryOperator& b : kBinaryOperators)
    if (b.Token == t && b.Priority == priority && b.Second == 0) single = &b;
  if (single == nullptr) return nullptr;
  Next();
  for (const TBinaryOperator& b : kBinaryOperators) {
    if (b.Token == t && b.Second != 0 && PeekIs(b.Second)) {
      Next();
      return b.Op;
    }
  }
  return single->Op;
}

// StringConstant = String {String | "#" Number}
void TExprCompiler::StringConstant(TCodeItem* code) {
  QString text = Token.Text;
  for (;;) {
    const qint32 t = Peek().Code;
    if (t == tkString) {
      Next();
      text += Token.Text;
    } else if (t == '#') {
      Next();
      Next();
      if (Token.Code != tkNumber) SyntaxError(bad_charconst);
      text += Chr(int(Token.Text.toLongLong() % 256));
    } else {
      break;
    }
  }
  code->EmitValue(Variant(std::move(text)));
}

// Factor = "(" Expression ")" | ("+" | "-" | not) Factor | "[" [Expression {"," Expression}] "]"
//          | Designator | inherited Designator | StringConstant | Number ["." Number]
//          | "$" Number | Hex | "#" Number | True | False | Nil
void TExprCompiler::Factor(TCodeItem* code) {
  TNesting nesting(*this);
  Next();
  switch (Token.Code) {
    case '(':
      CompileExpression(code);
      ExpectCloseParen();
      return;
    case '+': Factor(code); return;
    case '-':
      Factor(code);
      code->EmitOne(orvcodeops::OpNegate);
      return;
    case kwNot:
      Factor(code);
      code->EmitOne(orvcodeops::OpNot);
      return;
    case '[': {
      int count = 0;
      while (!PeekIs(']')) {
        if (count > 0) ExpectComma();
        CompileExpression(code);
        ++count;
      }
      code->EmitArray(count);
      ExpectCloseBracket();
      return;
    }
    case tkIdent: CompileValue(code, code->GetVars()); return;
    case kwInherited:
      Next();
      CompileValue(code, InheritedScope(code));
      return;
    case tkString: StringConstant(code); return;
    case tkNumber: {
      const QString digits = Token.Text;
      if (PeekIs('.')) {
        Next();
        Next();
        if (Token.Code != tkNumber) SyntaxError(bad_realconst);
        code->EmitValue(Variant((digits + QLatin1Char('.') + Token.Text).toDouble()));
        return;
      }
      // Most literals are a few decimal digits: read those here, the rest as the runtime does.
      qint64 value = 0;
      bool ok = digits.size() <= 18;
      for (qsizetype i = 0; ok && i < digits.size(); ++i) {
        const char16_t ch = digits[i].unicode();
        ok = ch >= u'0' && ch <= u'9';
        value = value * 10 + (ch - u'0');
      }
      if (!ok) value = digits.toLongLong(&ok);
      code->EmitValue(ok ? Variant::FromWholeNumber(value) : Variant(digits.toDouble()));
      return;
    }
    case '$':
      Next();
      if (Token.Code != tkNumber) SyntaxError(bad_hex);
      code->EmitValue(Variant(orvcoder::HexToInt(Token.Text)));
      return;
    case tkHex: code->EmitValue(Variant(orvcoder::HexToInt(Token.Text))); return;
    case '#':
      Next();
      if (Token.Code != tkNumber) SyntaxError(bad_charconst);
      code->EmitValue(Variant(QString(Chr(int(Token.Text.toLongLong() % 256)))));
      return;
    case kwTrue: code->EmitValue(Variant(true)); return;
    case kwFalse: code->EmitValue(Variant(false)); return;
    case kwNil: code->EmitValue(Variant(0)); return;
    default: return;  // consumed, nothing emitted
  }
}
