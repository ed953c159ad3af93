#include "script/orvformsvc.h"

#include "platform/classes/typinfo.h"

namespace {
IScriptFormServices* gInstalled = nullptr;

QString NameOf(const TComponent* c) { return c != nullptr ? c->Name() : QString(); }
}  // namespace

bool orvformsvc::ClassChainHas(TClass cls, const QString& name) {
  for (TClass c = cls; c != nullptr; c = c->ClassParent())
    if (c->ClassName().compare(name, Qt::CaseInsensitive) == 0) return true;
  return false;
}

bool THeadlessFormServices::IsForm(const TComponent* component) {
  if (component == nullptr) return false;
  TClass cls = component->ClassType();
  return orvformsvc::ClassChainHas(cls, QStringLiteral("TCustomForm")) ||
         orvformsvc::ClassChainHas(cls, QStringLiteral("TForm"));
}

bool THeadlessFormServices::IsMDIChild(const TComponent* form) {
  const TPropInfo* prop =
      form != nullptr ? GetPropInfo(form, QStringLiteral("FormStyle")) : nullptr;
  if (prop == nullptr) return false;
  return GetPropValue(form, prop)
             .ToString()
             .compare(QLatin1String("fsMDIChild"), Qt::CaseInsensitive) == 0;
}

bool THeadlessFormServices::IsFrameClass(TClass cls) {
  return orvformsvc::ClassChainHas(cls, QStringLiteral("TCustomFrame")) ||
         orvformsvc::ClassChainHas(cls, QStringLiteral("TFrame"));
}

void THeadlessFormServices::Show(TComponent* form) {
  if (Record) Log << QStringLiteral("show ") + NameOf(form);
}

void THeadlessFormServices::ShowMaximized(TComponent* form) {
  if (Record) Log << QStringLiteral("maximized ") + NameOf(form);
}

int THeadlessFormServices::ShowModal(TComponent* form) {
  if (Record) Log << QStringLiteral("modal ") + NameOf(form);
  return 2;
}

void THeadlessFormServices::PostToMainForm(int message, qint64, qint64) {
  if (Record) Log << QStringLiteral("post $") + QString::number(message, 16).toUpper();
}

IScriptFormServices& orvformsvc::Forms() {
  static THeadlessFormServices headless;
  return gInstalled != nullptr ? *gInstalled : headless;
}

void orvformsvc::SetForms(IScriptFormServices* services) { gInstalled = services; }
