#include "script/orvformsvc.h"

#include "platform/classes/typinfo.h"
#include "platform/ui/forms.h"
#include "platform/ui/messages.h"

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

bool TUIFormServices::IsForm(const TComponent* component) {
  return component != nullptr && component->InheritsFrom(TCustomForm::StaticClass());
}

bool TUIFormServices::IsMDIChild(const TComponent* form) {
  auto* f = dynamic_cast<const TCustomForm*>(form);
  return f != nullptr && f->FormStyle() == fsMDIChild;
}

bool TUIFormServices::IsFrameClass(TClass cls) {
  return cls != nullptr && cls->InheritsFrom(TCustomFrame::StaticClass());
}

TClass TUIFormServices::ApplicationClass() { return TApplication::StaticClass(); }

TComponent* TUIFormServices::Application() { return ::Application; }

TComponent* TUIFormServices::MainForm() {
  return ::Application != nullptr ? ::Application->MainForm() : nullptr;
}

void TUIFormServices::Show(TComponent* form) {
  if (auto* f = dynamic_cast<TCustomForm*>(form)) f->Show();
}

void TUIFormServices::ShowMaximized(TComponent* form) {
  if (auto* f = dynamic_cast<TCustomForm*>(form)) {
    f->SetWindowState(wsMaximized);
    f->Show();
  }
}

int TUIFormServices::ShowModal(TComponent* form) {
  auto* f = dynamic_cast<TCustomForm*>(form);
  return f != nullptr ? int(f->ShowModal()) : 0;
}

void TUIFormServices::PostToMainForm(int message, qint64 wParam, qint64 lParam) {
  if (TComponent* main = MainForm()) PostMessageTo(main, quint32(message), wParam, lParam);
}

IScriptFormServices& orvformsvc::Forms() {
  static TUIFormServices ui;
  return gInstalled != nullptr ? *gInstalled : ui;
}

void orvformsvc::SetForms(IScriptFormServices* services) { gInstalled = services; }
