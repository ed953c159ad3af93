#pragma once
// A fresh root environment and registry with the runtime library registered, and calls of
// registered names through the registry's native call path.
#include "script/lib/orvopf.h"
#include "script/orvcodeh.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

class LibTest : public ::testing::Test {
 public:
  template <class F>
  static QString ErrorOf(F&& f) {
    try {
      f();
    } catch (const Exception& e) {
      return e.ClassName() + QStringLiteral(": ") + e.Message();
    }
    return QStringLiteral("no error");
  }

 protected:
  LibTest() : root(orvcodeh::CreateRegistry()) { orvopf::RegisterRuntimeLibrary(); }
  ~LibTest() override { root->Free(); }

  // The entry of a global name, or of "Class.Member".
  TCompItem* Item(const QString& name) const {
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot < 0) return root->FindOwnItem(name);
    TCls* cls = orvcodeh::FindCls(name.left(dot));
    return cls != nullptr ? cls->FindOwnItem(name.mid(dot + 1)) : nullptr;
  }
  Variant Call(const QString& name, VariantArgs args = {}, TObject* slf = nullptr) {
    auto* entry = dynamic_cast<TEntryItem*>(Item(name));
    if (entry == nullptr) throw std::runtime_error("no entry " + name.toStdString());
    return entry->Call(slf, args);
  }
  // The arguments after the call, for var parameters.
  VariantArgs CallArgs(const QString& name, VariantArgs args, TObject* slf = nullptr) {
    auto* entry = dynamic_cast<TEntryItem*>(Item(name));
    if (entry == nullptr) throw std::runtime_error("no entry " + name.toStdString());
    entry->Call(slf, args);
    return args;
  }
  Variant Get(const QString& name, TObject* slf) {
    auto* prop = dynamic_cast<TConstItem*>(Item(name));
    if (prop == nullptr) throw std::runtime_error("no property " + name.toStdString());
    return prop->GetValue(slf);
  }
  void Set(const QString& name, TObject* slf, const Variant& value) {
    auto* prop = dynamic_cast<TValueItem*>(Item(name));
    if (prop == nullptr) throw std::runtime_error("no property " + name.toStdString());
    prop->SetValue(slf, value);
  }
  TRootEnvScope env;
  TRootCls* root;
};
