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

// ---- Declarations ----------------------------------------------------------------------------

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
    if (auto* item = dynamic_cast<TCompItem*>(container->Components(i))) item->SetClsName(type);
  return first;
}

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
        } while (Peek().Code < 1000);
        break;
      case kwType: {
        Next();
        TEntryItem* entry = code->EntryItem;
        TCls* sig = entry != nullptr ? entry->Cls() : nullptr;
        if (sig == nullptr || (sig != orvcodeh::FindCls(QStringLiteral("TProgramCls")) &&
                               sig != orvcodeh::FindCls(QStringLiteral("TUnitCls"))))
          SyntaxError(QStringLiteral("Типы определяются только в модулях и программах"));
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

void TPrimCompiler::ClassBody(const QString& name) {
  QString parentName = QStringLiteral("TObject");
  if (PeekIs('(')) {
    Next();
    Next();
    if (Token.Code != tkIdent) SyntaxError(need_par);
    parentName = Token.Text;
    ExpectCloseParen();
  }
  auto* cls = dynamic_cast<TInstanceCls*>(orvcodeh::FindCls(name));
  if (cls == nullptr || dynamic_cast<TEntryCls*>(cls) != nullptr) {
    cls = new TInstanceCls(orvcodeh::FindCls(parentName));
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
  auto* entry = dynamic_cast<TEntryItem*>(existing);
  // An entry with code, or one served natively, is defined already.
  if (entry == nullptr || entry->OnCall || entry->Handler != nullptr)
    SyntaxError(QStringLiteral("Такой метод уже определен (") + name + QLatin1Char(')'));
  return entry;
}

void TPrimCompiler::Signature(TEntryItem* entry, bool function) {
  TCls* previous = entry->Cls();
  TEntryCls* sig = function ? static_cast<TEntryCls*>(new TFunctionCls(entry))
                            : static_cast<TEntryCls*>(new TProcedureCls(entry));
  if (previous == nullptr || dynamic_cast<TEntryCls*>(previous) == nullptr) {
    sig->SetClsParent(orvcodeh::FindCls(function ? QStringLiteral("TFunctionCls")
                                                 : QStringLiteral("TProcedureCls")));
  } else if ((dynamic_cast<TFunctionCls*>(previous) != nullptr) == function) {
    sig->SetClsParent(previous);
  } else {
    sig->Free();
    SyntaxError(QStringLiteral("Bad entry <") + entry->Name() + QStringLiteral("> definition"));
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

void TPrimCompiler::RoutineDeclaration(bool function) {
  ExpectIdentifier();
  QString name = Token.Text;
  TCls* target = nullptr;
  if (PeekIs('.')) {
    target = orvcodeh::FindCls(name);
    if (target == nullptr) target = orvcodeh::FindCls(QStringLiteral("T"));
    if (target == nullptr) SyntaxError(QStringLiteral("Class Not Found"));
    Next();
    ExpectIdentifier();
    name = Token.Text;
  } else {
    target = orvcodeh::FindCls(QString());
  }
  if (target == nullptr) SyntaxError(QStringLiteral("Class Not Found"));
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

void TPrimCompiler::PropertyDeclaration(TCls* cls) {
  ExpectIdentifier();
  const QString name = Token.Text;
  if (TCompItem* existing = cls->FindItem(name)) {
    if (dynamic_cast<TPropItem*>(existing) != nullptr && existing->Master() != cls) {
      ExpectSemicolon();
      return;
    }
    SyntaxError(QStringLiteral("Такое свойство уже определено (") + name + QLatin1Char(')'));
  }
  auto* prop = new TPropItem(cls);
  prop->ChangeName(name);
  ExpectColon();
  ExpectIdentifier();
  prop->SetClsName(Token.Text);
  if (PeekIs(kwRead)) {
    Next();
    ExpectIdentifier();
    const QString message =
        QStringLiteral("Field or Function not found for property (") + name + QLatin1Char(')');
    TCompItem* source = cls->FindItem(Token.Text);
    if (source == nullptr) SyntaxError(message);
    if (auto* value = dynamic_cast<TConstItem*>(source)) {
      prop->OnGetValue = [value](TObject* slf) { return value->GetValue(slf); };
    } else if (auto* entry = dynamic_cast<TEntryItem*>(source);
               entry != nullptr && dynamic_cast<TFunctionCls*>(entry->Cls()) != nullptr) {
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
    if (target == nullptr)
      SyntaxError(QStringLiteral("Field or Procedure not found for property (") + name +
                  QLatin1Char(')'));
    if (auto* value = dynamic_cast<TValueItem*>(target)) {
      prop->OnSetValue = [value](TObject* slf, const Variant& v) { value->SetValue(slf, v); };
    } else if (auto* entry = dynamic_cast<TEntryItem*>(target);
               entry != nullptr && dynamic_cast<TProcedureCls*>(entry->Cls()) != nullptr) {
      prop->OnSetValue = [entry](TObject* slf, const Variant& v) {
        VariantArgs args{v};
        entry->Call(slf, args);
      };
    } else {
      SyntaxError(QStringLiteral("Procedure not found for property (") + name + QLatin1Char(')'));
    }
  }
  ExpectSemicolon();
}

// ---- Statements ------------------------------------------------------------------------------

void TOperCompiler::CompileProgram(TEntryItem* entry) {
  entry_ = entry;
  auto* code = new TCodeItem(entry);
  const qint32 head = Peek().Code;
  if (head == kwProgram || head == kwUnit) {
    Next();
    if (head == kwProgram && entry->Cls() != orvcodeh::FindCls(QStringLiteral("TProgramCls")))
      SyntaxError(QStringLiteral("UNIT keyword required"));
    if (head == kwUnit && entry->Cls() != orvcodeh::FindCls(QStringLiteral("TUnitCls")))
      SyntaxError(QStringLiteral("PROGRAM keyword required"));
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

void TOperCompiler::Statement(TCodeItem* code) {
  CompileStatement(code);
  Separator();
}

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

void TOperCompiler::CompileStatement(TCodeItem* code) {
  const TToken& peek = Peek();
  switch (peek.Code) {
    case tkIdent: {
      Next();
      const int label = code->FindLabel(Token.Text);
      if (label >= 0) {
        ExpectColon();
        code->Code.PlaceLabel(label);
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

void TOperCompiler::GotoStatement(TCodeItem* code) {
  Next();
  Next();
  if (Token.Code != tkIdent) SyntaxError(labname_exp);
  const int label = code->FindLabel(Token.Text);
  if (label < 0) SyntaxError(Fmt(lab_notdef, Token.Text));
  code->Code.Labels[size_t(label)].Referenced = true;
  code->EmitGoto(label);
}

void TOperCompiler::IfStatement(TCodeItem* code) {
  Next();
  const int elseLabel = code->NewLabel();
  code->Code.Labels[size_t(elseLabel)].Referenced = true;
  CompileExpression(code);
  code->EmitIf(elseLabel);
  Next();
  if (Token.Code != kwThen) SyntaxError(then_exp);
  CompileStatement(code);
  const qint32 t = Peek().Code;
  if (t == ';' || t == kwEnd) {
    code->Code.PlaceLabel(elseLabel);
    return;
  }
  Next();
  if (Token.Code != kwElse) SyntaxError(else_exp);
  const int endLabel = code->NewLabel();
  code->Code.Labels[size_t(endLabel)].Referenced = true;
  code->EmitGoto(endLabel);
  code->Code.PlaceLabel(elseLabel);
  CompileStatement(code);
  code->Code.PlaceLabel(endLabel);
}

void TOperCompiler::WhileStatement(TCodeItem* code) {
  Next();
  const int top = code->NewLabel();
  code->Code.Labels[size_t(top)].Referenced = true;
  code->Code.PlaceLabel(top);
  const int end = code->NewLabel();
  code->Code.Labels[size_t(end)].Referenced = true;
  CompileExpression(code);
  code->EmitIf(end);
  Next();
  if (Token.Code != kwDo) SyntaxError(do_exp);
  CompileStatement(code);
  code->EmitGoto(top);
  code->Code.PlaceLabel(end);
}

void TOperCompiler::RepeatStatement(TCodeItem* code) {
  Next();
  const int top = code->NewLabel();
  code->Code.Labels[size_t(top)].Referenced = true;
  code->Code.PlaceLabel(top);
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

void TOperCompiler::ForStatement(TCodeItem* code) {
  Next();
  Next();
  if (Token.Code != tkIdent) SyntaxError(varname_exp);
  TCompItem* item = code->GetVars()->FindOwnItem(Token.Text);
  if (item == nullptr) SyntaxError(Fmt(var_notdef, Token.Text));
  auto* var = dynamic_cast<TVarItem*>(item);
  if (var == nullptr) SyntaxError(Fmt(var_notsimple, Token.Text));
  const int slot = var->ComponentIndex();
  ExpectColon();
  Next();
  if (Token.Code != '=') SyntaxError(eq_exp);
  CompileExpression(code);
  code->EmitSetVar(slot);
  Next();
  const qint32 direction = Token.Code;
  const int top = code->NewLabel();
  const int end = code->NewLabel();
  code->Code.Labels[size_t(top)].Referenced = true;
  code->Code.Labels[size_t(end)].Referenced = true;
  code->Code.PlaceLabel(top);
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
  code->Code.PlaceLabel(end);
}

// ---- Expressions -----------------------------------------------------------------------------

void TExprCompiler::CompileExpression(TCodeItem* code) {
  SimpleExpression(code);
  const qint32 t = Peek().Code;
  TTwoOperation op = nullptr;
  if (t == '=') {
    Next();
    op = orvcodeops::OpEqual;
  } else if (t == '<') {
    Next();
    const qint32 u = Peek().Code;
    if (u == '=') {
      Next();
      op = orvcodeops::OpLessOrEqual;
    } else if (u == '>') {
      Next();
      op = orvcodeops::OpNotEqual;
    } else {
      op = orvcodeops::OpLess;
    }
  } else if (t == '>') {
    Next();
    if (PeekIs('=')) {
      Next();
      op = orvcodeops::OpGreaterOrEqual;
    } else {
      op = orvcodeops::OpGreater;
    }
  }
  if (op == nullptr) return;
  SimpleExpression(code);
  code->EmitTwo(op);
}

void TExprCompiler::SimpleExpression(TCodeItem* code) {
  Term(code);
  for (;;) {
    const qint32 t = Peek().Code;
    TTwoOperation op = nullptr;
    if (t == '+')
      op = orvcodeops::OpAdd;
    else if (t == '-')
      op = orvcodeops::OpSubtract;
    else if (t == kwOr)
      op = orvcodeops::OpOr;
    else if (t == kwXor)
      op = orvcodeops::OpXor;
    if (op == nullptr) break;
    Next();
    Term(code);
    code->EmitTwo(op);
  }
}

void TExprCompiler::Term(TCodeItem* code) {
  Factor(code);
  for (;;) {
    const qint32 t = Peek().Code;
    TTwoOperation op = nullptr;
    if (t == '*')
      op = orvcodeops::OpMultiply;
    else if (t == '/')
      op = orvcodeops::OpDivide;
    else if (t == kwAnd)
      op = orvcodeops::OpAnd;
    else if (t == kwShl)
      op = orvcodeops::OpShiftLeft;
    else if (t == kwShr)
      op = orvcodeops::OpShiftRight;
    else if (t == kwDiv)
      op = orvcodeops::OpIntDivide;
    else if (t == kwMod)
      op = orvcodeops::OpModulus;
    if (op == nullptr) return;
    Next();
    Factor(code);
    code->EmitTwo(op);
  }
}

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

void TExprCompiler::Factor(TCodeItem* code) {
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
