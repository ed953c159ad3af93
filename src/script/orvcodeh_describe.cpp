// What the classes of the symbol model publish: scripts see these members on symbols, and
// mirroring the model's classes makes the event-type classes of its notification types
// ("TGetValueNotify" is the signature formulas are compiled on).
#include "orvcodeh.h"

namespace {

// Event types of the model, as reflection reports them. The model keeps its notifications
// as plain callables; these properties only describe them (they read as unassigned).
#define ORV_MODEL_EVENT(CppName, ReflName, Sig, Declaration)                           \
  struct CppName : TEvent<Sig> {                                                       \
    static const TTypeInfo* StaticTypeInfo() {                                         \
      static const TTypeInfo* info = MakeMethodTypeInfo(                               \
          QStringLiteral(ReflName), QStringLiteral(Declaration), SignatureTag<Sig>()); \
      return info;                                                                     \
    }                                                                                  \
  };

ORV_MODEL_EVENT(EvGetValue, "TGetValueNotify", Variant(TObject*), "function(Slf: TObject): Variant")
ORV_MODEL_EVENT(EvSetValue, "TSetValueNotify", void(TObject*, Variant),
                "procedure(Slf: TObject; Value: Variant)")
ORV_MODEL_EVENT(EvGetStored, "TGetStoredNotify", bool(TObject*), "function(Slf: TObject): Boolean")
ORV_MODEL_EVENT(EvGetArrayValue, "TGetArrayValueNotify", Variant(TObject*, const VariantArgs&),
                "function(Slf: TObject; Indexes: array of Variant): Variant")
ORV_MODEL_EVENT(EvCall, "TCallNotify", Variant(TObject*, VariantArgs&),
                "function(Slf: TObject; var S: array of Variant): Variant")
ORV_MODEL_EVENT(EvGetMethod, "TGetMethodNotify", bool(TObject*, QString, TMethod*),
                "function(Root: TObject; const AName: string; var Method: Pointer): Boolean")

template <class E, class C>
auto None() {
  return [](const C*) { return E(); };
}

}  // namespace

// References between the model's own classes are published as TComponent: a class-typed
// property names its class when the class's description is built, and these classes refer
// to each other.
template <class C>
TComponent* AsComponent(C* object) {
  return object;
}

ORV_DESCRIBE(TCompItem) {
  c.Prop("Caption", &TCompItem::Caption);
  c.Prop(
      "Cls", [](const TCompItem* i) { return AsComponent(i->Cls()); },
      [](TCompItem* i, TComponent* v) { i->SetCls(orvcodeh::As<TCls>(v)); });
  c.Prop(
      "Master", [](const TCompItem* i) { return AsComponent(i->Master()); },
      [](TCompItem* i, TComponent* v) { i->SetMaster(orvcodeh::As<TComp>(v)); });
  c.Prop("ClsName", &TCompItem::ClsName, &TCompItem::SetClsName);
}

ORV_DESCRIBE(TComp) {
  c.Prop("CompItemCount", &TComp::CompItemCount);
  c.Prop("ItemCount", [](const TComp* comp) { return comp->ItemCount(); });
}

ORV_DESCRIBE(TCls) {
  c.Prop(
      "ClsParent", [](const TCls* cls) { return AsComponent(cls->ClsParent()); },
      [](TCls* cls, TComponent* parent) { cls->SetClsParent(orvcodeh::As<TCls>(parent)); });
}

ORV_DESCRIBE(TInstanceCls) {}
ORV_DESCRIBE(TSiteInstanceCls) {}

ORV_DESCRIBE(TEntryCls) { c.Prop("OnGetMethod", None<EvGetMethod, TEntryCls>()); }

ORV_DESCRIBE(TUnitCls) {}
ORV_DESCRIBE(TProgramCls) {}
ORV_DESCRIBE(TProcedureCls) {}
ORV_DESCRIBE(TSafeProcedureCls) {}

ORV_DESCRIBE(TFunctionCls) {
  c.Prop(
      "ResultCls", [](const TFunctionCls* f) { return AsComponent(f->ResultCls); },
      [](TFunctionCls* f, TComponent* v) {
        f->ResultCls = orvcodeh::As<TCls>(v);
        orvcodeh::SymbolsChanged(f);
      });
  c.Prop("ResultClsName", &TFunctionCls::ResultClsName, &TFunctionCls::SetResultClsName);
}

ORV_DESCRIBE(TSafeFunctionCls) {}
ORV_DESCRIBE(TDataItem) {}

ORV_DESCRIBE(TConstItem) {
  c.Prop("OnGetValue", None<EvGetValue, TConstItem>());
  c.Prop("OnGetValueCall", None<EvCall, TConstItem>());
}

ORV_DESCRIBE(TValueItem) {
  c.Prop("OnSetValue", None<EvSetValue, TValueItem>());
  c.Prop("OnSetValueCall", None<EvCall, TValueItem>());
}

ORV_DESCRIBE(TFrameItem) {}
ORV_DESCRIBE(TVarItem) {}
ORV_DESCRIBE(TFieldItem) {}
ORV_DESCRIBE(TParamItem) {
  c.Prop(
      "Flags", [](const TParamItem* p) { return p->Flags; },
      [](TParamItem* p, int flags) {
        p->Flags = flags;
        orvcodeh::SymbolsChanged(p);  // calls compile differently
      });
}

ORV_DESCRIBE(TPropItem) {
  c.Prop("OnGetStored", None<EvGetStored, TPropItem>());
  c.Prop("OnGetStoredCall", None<EvCall, TPropItem>());
}

ORV_DESCRIBE(TReservedConstItem) {
  c.Prop("Value", [](const TReservedConstItem* item) { return item->Value; });
}

ORV_DESCRIBE(TComponentFieldItem) { c.Prop("Component", &TComponentFieldItem::Component); }

ORV_DESCRIBE(TConstArrayItem) {
  c.Prop(
      "DimCount", [](const TConstArrayItem* a) { return a->DimCount; },
      [](TConstArrayItem* a, int count) {
        a->DimCount = count;
        orvcodeh::SymbolsChanged(a);
      });
  c.Prop("OnGetValue", None<EvGetArrayValue, TConstArrayItem>());
  c.Prop("OnGetValueCall", None<EvCall, TConstArrayItem>());
}

ORV_DESCRIBE(TArrayItem) { c.Prop("OnSetValueCall", None<EvCall, TArrayItem>()); }
ORV_DESCRIBE(TArrayPropItem) {}

ORV_DESCRIBE(TEntryItem) { c.Prop("OnCall", None<EvCall, TEntryItem>()); }
ORV_DESCRIBE(TEventItem) {}
ORV_DESCRIBE(TEventPackage) {}

ORV_DESCRIBE(TSysPropItem) {}
ORV_DESCRIBE(TOrdSysPropItem) {}
ORV_DESCRIBE(TFloatSysPropItem) {}
ORV_DESCRIBE(TStrSysPropItem) {}
ORV_DESCRIBE(TVariantSysPropItem) {}
ORV_DESCRIBE(TIntfSysPropItem) {}
ORV_DESCRIBE(TInt64SysPropItem) {}
ORV_DESCRIBE(TMethodSysPropItem) {}
ORV_DESCRIBE(TClassSysPropItem) {}
ORV_DESCRIBE(TSysFieldItem) {}
ORV_DESCRIBE(TRootCls) {}
