#pragma once
// What the script host needs of forms, frames and the application object. By default the
// component layer's own forms serve it (TUIFormServices); a test or a tool installs services
// of its own, for example the headless ones, which show nothing.
#include "platform/classes/component.h"
#include "platform/classes/intf.h"

// The plug-in interface of client forms and panels: a created component that answers it
// stops the run of the created components and stays alive.
class IXOrvClientForm : public IInterface {
 public:
  ORV_INTERFACE_ID(IXOrvClientForm, "{BCB72143-DAEE-4841-9492-5F129475F8B7}")
  // The id of the item the form shows; the access registry takes it as the form's access id.
  virtual int GetItemID() = 0;
};

class IScriptFormServices {
 public:
  virtual ~IScriptFormServices() = default;
  // A form: shown, modal or not; an MDI child stops a run and lives on.
  virtual bool IsForm(const TComponent* component) = 0;
  virtual bool IsMDIChild(const TComponent* form) = 0;
  // Frames are created inline.
  virtual bool IsFrameClass(TClass cls) = 0;
  // The component library's application class and object (nullptr headless).
  virtual TClass ApplicationClass() = 0;
  virtual TComponent* Application() = 0;
  virtual TComponent* MainForm() = 0;
  virtual void Show(TComponent* form) = 0;
  virtual void ShowMaximized(TComponent* form) = 0;
  virtual int ShowModal(TComponent* form) = 0;
  // Posts a message of the program to the main form; nothing without one.
  virtual void PostToMainForm(int message, qint64 wParam, qint64 lParam) = 0;
};

// Headless: a form is a component whose class chain has "TCustomForm" or "TForm"; an MDI
// child one whose published FormStyle reads "fsMDIChild"; a frame class one whose chain has
// "TCustomFrame" or "TFrame". Nothing is shown: a modal show answers mrCancel (2). With
// Record on, each request is kept in Log.
class THeadlessFormServices : public IScriptFormServices {
 public:
  bool IsForm(const TComponent* component) override;
  bool IsMDIChild(const TComponent* form) override;
  bool IsFrameClass(TClass cls) override;
  TClass ApplicationClass() override { return nullptr; }
  TComponent* Application() override { return nullptr; }
  TComponent* MainForm() override { return nullptr; }
  void Show(TComponent* form) override;
  void ShowMaximized(TComponent* form) override;
  int ShowModal(TComponent* form) override;
  void PostToMainForm(int message, qint64 wParam, qint64 lParam) override;

  // "show Name", "maximized Name", "modal Name", "post $5770", oldest first.
  QStringList Log;
  bool Record = false;
};

// The component layer's forms: TCustomForm, its FormStyle and WindowState, TCustomFrame,
// the Application object and its MainForm, and the message bus for posts.
class TUIFormServices : public IScriptFormServices {
 public:
  bool IsForm(const TComponent* component) override;
  bool IsMDIChild(const TComponent* form) override;
  bool IsFrameClass(TClass cls) override;
  TClass ApplicationClass() override;
  TComponent* Application() override;
  TComponent* MainForm() override;
  void Show(TComponent* form) override;
  void ShowMaximized(TComponent* form) override;
  int ShowModal(TComponent* form) override;
  void PostToMainForm(int message, qint64 wParam, qint64 lParam) override;
};

namespace orvformsvc {
// The installed services; the component layer's until others are installed (nullptr
// restores them). The caller keeps ownership.
IScriptFormServices& Forms();
void SetForms(IScriptFormServices* services);
// True when the class or one of its ancestors is named like that (letter case ignored).
bool ClassChainHas(TClass cls, const QString& name);
}  // namespace orvformsvc
