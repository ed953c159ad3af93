#pragma once
// The one-pass compiler: declarations (TPrimCompiler), statements (TOperCompiler) and
// expressions (TExprCompiler). Names are resolved while code is emitted; designators, calls
// and assignments are TCodeCompiler's (orvcode2).
#include "script/clscompiler.h"
#include "script/orvcode.h"
#include "script/orvcoder.h"

class TCls;
class TComp;
class TCodeItem;
class TCompItem;
class TEntryItem;

class TPrimCompiler : public TCodeReader, public TClsCompiler {
 public:
  explicit TPrimCompiler(QString source) : TCodeReader(std::move(source)) {}

 protected:
  virtual void CompileStatement(TCodeItem* code) = 0;
  virtual void Block(TCodeItem* code) = 0;

  // Reads the next token into Token.
  void Next() { NextToken(Token); }
  const TToken& Peek() {
    PeekToken(peek_);
    return peek_;
  }
  bool PeekIs(qint32 code) { return Peek().Code == code; }
  void Expect(qint32 code, QLatin1String message);
  void ExpectSemicolon();
  void ExpectColon();
  void ExpectOpenParen();
  void ExpectCloseParen();
  void ExpectOpenBracket();
  void ExpectCloseBracket();
  void ExpectComma();
  void ExpectIdentifier();

  void DeclarationPart(TCodeItem* code);
  // Names of one group into container as items made by make; returns the first new index.
  template <class Item>
  int ItemGroup(TComp* container);
  void LabelSection(TCodeItem* code);
  void TypeSection();
  void ClassBody(const QString& name);
  void RoutineDeclaration(bool function);
  TEntryItem* EntryIn(TCls* cls, const QString& name);
  void Signature(TEntryItem* entry, bool function);
  void PropertyDeclaration(TCls* cls);

  TEntryItem* entry_ = nullptr;  // the entry of the whole text

  // How deep statements, expressions and routine declarations may nest: far below what the
  // native stack holds of the compiler's recursion, far above what scripts write.
  static constexpr int kMaxNesting = 256;
  // One level of nesting while it lives; one level too many is a syntax error on its line.
  class TNesting {
   public:
    explicit TNesting(TPrimCompiler& compiler);
    ~TNesting() { --compiler_.nesting_; }
    TNesting(const TNesting&) = delete;
    TNesting& operator=(const TNesting&) = delete;

   private:
    TPrimCompiler& compiler_;
  };

 private:
  TToken peek_;
  int nesting_ = 0;
};

class TOperCompiler : public TPrimCompiler {
 public:
  using TPrimCompiler::TPrimCompiler;
  void CompileProgram(TEntryItem* entry) override;
  void CompileFunction(TEntryItem* entry) override;

 protected:
  void CompileStatement(TCodeItem* code) override;
  void Block(TCodeItem* code) override;
  void Statement(TCodeItem* code);
  void Separator();
  virtual void CompileSimpleStatement(TCodeItem* code, TComp* scope) = 0;
  virtual void CompileExpression(TCodeItem* code) = 0;

  void IfStatement(TCodeItem* code);
  void WhileStatement(TCodeItem* code);
  void RepeatStatement(TCodeItem* code);
  void ForStatement(TCodeItem* code);
  void GotoStatement(TCodeItem* code);
  // The class that holds the routine's entry: where "inherited" looks names up.
  TComp* InheritedScope(TCodeItem* code) const;
};

class TExprCompiler : public TOperCompiler {
 public:
  using TOperCompiler::TOperCompiler;

 protected:
  void CompileExpression(TCodeItem* code) override;
  virtual void CompileValue(TCodeItem* code, TComp* scope) = 0;
  void SimpleExpression(TCodeItem* code);
  void Term(TCodeItem* code);
  void Factor(TCodeItem* code);
  // Reads a binary operator of the priority (1 relational, 2 additive, 3 multiplicative)
  // when one comes next; its operation, or nullptr with nothing read.
  TTwoOperation TakeOperator(int priority);
  void StringConstant(TCodeItem* code);
};
