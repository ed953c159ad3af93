#include "orvpanels.h"

#include "orvgroupbox.h"
#include "orvsplitter.h"
#include "panelgrad.h"

#include "core/orvcls.h"
#include "core/orvsys.h"
#include "platform/classes/classregistry.h"

#include <algorithm>

ORV_DESCRIBE(TOrvxForm) {}

ORV_DESCRIBE(TOrvPanelList) { c.Implements<IOrvPanelList>(); }

void TOrvPanelList::Add(TOrvPanel* panel) {
  if (panel != nullptr) panels_.push_back(panel);
}

void TOrvPanelList::Remove(TOrvPanel* panel) {
  auto it = std::find(panels_.begin(), panels_.end(), panel);
  if (it != panels_.end()) panels_.erase(it);
}

TOrvPanel* TOrvPanelList::Get(int index) {
  if (index < 0 || index >= Count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return panels_[size_t(index)];
}

ORV_DESCRIBE(TOrvPanel) {
  c.Prop("ActiveClassID", &TOrvPanel::ActiveClassID, &TOrvPanel::SetActiveClassID);
  c.Prop("ActiveEventIID", &TOrvPanel::ActiveEventIID, &TOrvPanel::SetActiveEventIID);
  c.Prop("ActivePanel", &TOrvPanel::ActivePanel).Stored(false);
  c.Prop("Gradient", &TOrvPanel::Gradient, &TOrvPanel::SetGradient).Default(0);
  c.Prop("Transparent", &TOrvPanel::Transparent, &TOrvPanel::SetTransparent).Default(0);
  c.Prop("ScriptID", &TOrvPanel::ScriptID, &TOrvPanel::SetScriptID).Stored(false);
}

TOrvPanel::~TOrvPanel() { LeavePanelList(); }

void TOrvPanel::LeavePanelList() {
  IInterface* intf = nullptr;
  if (orvsys::FindOwnerIntf(this, IOrvPanelList::IID, intf))
    if (auto* list = dynamic_cast<IOrvPanelList*>(intf)) list->Remove(this);
}

void TOrvPanel::SetActivePanel(TOrvxForm* v) {
  if (v == activePanel_) return;
  if (activePanel_ != nullptr) activePanel_->RemoveFreeNotification(this);
  activePanel_ = v;
  if (v != nullptr) v->FreeNotification(this);
}

void TOrvPanel::SetScriptID(const QString& v) {
  // Nothing to do without a script application; the script host brings the rest.
  (void)v;
}

void TOrvPanel::Notification(TComponent* component, TOperation operation) {
  TPanel::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == activePanel_) {
    activePanel_ = nullptr;
    LeavePanelList();
  }
}

ORV_DESCRIBE(TAlignedBitBtn) {
  c.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
}
ORV_DESCRIBE(TAlignedSpeedButton) {
  c.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
}

void RegisterPanelClasses() {
  RegisterClasses({TOrvPanel::StaticClass(), TOrvxForm::StaticClass(),
                   TAlignedBitBtn::StaticClass(), TAlignedSpeedButton::StaticClass(),
                   TOrvGroupBox::StaticClass(), TOrvFilterGroupBox::StaticClass(),
                   TOrvSplitter::StaticClass(), TSplitterPanel::StaticClass(),
                   TPanelGrad::StaticClass()});
  orvcls::RegisterClasses({TOrvFilterGroupBox::StaticClass(), TOrvGroupBox::StaticClass(),
                           TOrvPanel::StaticClass(), TSplitterPanel::StaticClass()});
}
