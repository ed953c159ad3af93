#pragma once
// TWriter: writes components as component text that TReader reads back.
//
// A component's block holds its stored published properties (those whose value differs
// from the default; empty texts, zero numbers and nil references are left out), the data
// its DefineProperties stores, and the blocks of its children (GetChildren). References to
// components write the component's name (Owner.Name for one outside the root), events the
// name of their method, collections their items, persistent sub-objects their properties
// as dotted names.
#include "comptext.h"
#include "component.h"

class TWriter {
 public:
  TTextObject WriteRoot(TComponent* root);

 private:
  class Filer;
  TTextObject WriteComponent(TComponent* component, bool asRoot);
  void WriteProperties(TPersistent* instance, const QString& prefix,
                       std::vector<TTextProperty>& out, int depth);
  bool ValueOf(TPersistent* instance, const TPropInfo* prop, const QString& name,
               std::vector<TTextProperty>& out, int depth);
  QString ReferenceName(TComponent* component) const;

  TComponent* root_ = nullptr;
};

QString WriteComponentText(TComponent* root);
