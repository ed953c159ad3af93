#pragma once
// Panels that scripts fill on client forms: TOrvPanel with the content window it hosts
// (TOrvxForm), the list of panels a base form keeps (IOrvPanelList, not owning them), and two
// button classes that publish Align so that component text and scripts can set it.
//
// ScriptID is write-only. Until the script host is there, writing it does nothing (as without
// a script application); the plug-in loading of "script@library" comes with the script host.
#include "platform/ui/extctrls.h"
#include "platform/ui/stdctrls.h"

#include <vector>

class TOrvPanel;

// The windowed host of a panel's active content; its window text carries a script text.
class TOrvxForm : public TWinControl {
  ORV_CLASS(TOrvxForm, TWinControl)
  explicit TOrvxForm(TComponent* owner) : TWinControl(owner) {}
};

class IOrvPanelList : public IInterface {
 public:
  ORV_INTERFACE_ID(IOrvPanelList, "{6C1E0B52-93F4-4B1E-A3D1-5E2B7C0F9A41}")
  virtual void Add(TOrvPanel* panel) = 0;
  virtual void Remove(TOrvPanel* panel) = 0;
  virtual TOrvPanel* Get(int index) = 0;
  virtual int Count() = 0;
};

// The panels of a form, in the order added; the list does not own them.
class TOrvPanelList : public TObject, public IOrvPanelList {
  ORV_CLASS(TOrvPanelList, TObject)
  ORV_INTERFACES
  void Add(TOrvPanel* panel) override;
  void Remove(TOrvPanel* panel) override;
  TOrvPanel* Get(int index) override;
  int Count() override { return int(panels_.size()); }

 private:
  std::vector<TOrvPanel*> panels_;
};

class TOrvPanel : public TPanel {
  ORV_CLASS(TOrvPanel, TPanel)
  explicit TOrvPanel(TComponent* owner) : TPanel(owner) {}
  ~TOrvPanel() override;

  const QString& ActiveClassID() const { return activeClassId_; }
  void SetActiveClassID(const QString& v) { activeClassId_ = v; }
  const QString& ActiveEventIID() const { return activeEventIid_; }
  void SetActiveEventIID(const QString& v) { activeEventIid_ = v; }
  TOrvxForm* ActivePanel() const { return activePanel_; }
  // Nothing of the program sets it; a host of content does (removal-notified).
  void SetActivePanel(TOrvxForm* v);
  bool Gradient() const { return gradient_; }
  void SetGradient(bool v) { gradient_ = v; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v; }
  QString ScriptID() const { return QString(); }
  void SetScriptID(const QString& v);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  // Leaves the panel list of the first owner upward that keeps one.
  void LeavePanelList();

  QString activeClassId_;
  QString activeEventIid_;
  TOrvxForm* activePanel_ = nullptr;
  bool gradient_ = false;
  bool transparent_ = false;
};

class TAlignedBitBtn : public TBitBtn {
  ORV_CLASS(TAlignedBitBtn, TBitBtn)
  explicit TAlignedBitBtn(TComponent* owner) : TBitBtn(owner) {}
};

class TAlignedSpeedButton : public TSpeedButton {
  ORV_CLASS(TAlignedSpeedButton, TSpeedButton)
  explicit TAlignedSpeedButton(TComponent* owner) : TSpeedButton(owner) {}
};

// Makes the panel, group-box, splitter and button classes known to component text, and the
// group boxes and panels to scripts.
void RegisterPanelClasses();
