#pragma once
// Forms, frames, data modules, the application and the screen.
//
// Creation: a form, frame or data module made through its class (TClass::Create, or
// CreateComponentOfClass) reads the component text of its class chain top down, the
// resource of the oldest ancestor first ("inherited" blocks of the descendants read into what
// the ancestors made), then runs OnCreate. CreateNew reads nothing. A text that fails to read
// frees the half-made object and raises.
//
// Modal run (ShowModal): the other enabled forms are disabled, the form shows, the modal
// driver (tests) is called once, and the loop runs until ModalResult is non-zero. A non-zero
// ModalResult runs CloseQuery and OnClose; caNone resumes the loop. Close (or the window's
// close button) on a modal form runs CloseQuery and OnClose with ModalResult still 0 and,
// accepted, ends the run with mrCancel. After the run the other forms are enabled again.
#include "controls.h"

#include <QtCore/QStringList>

#include <functional>

class TMenu;
class TCustomActionList;
class TApplication;
class TScreen;
class TStrings;

ORV_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize)
ORV_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
ORV_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
         poDesktopCenter, poMainFormCenter, poOwnerFormCenter)
ORV_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
ORV_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
ORV_SET(TBorderIcons, TBorderIcon)

ORV_EVENT(TCloseEvent, void(TObject*, TCloseAction&),
          "procedure(Sender: TObject; var Action: TCloseAction)")
ORV_EVENT(TCloseQueryEvent, void(TObject*, bool&),
          "procedure(Sender: TObject; var CanClose: Boolean)")
ORV_EVENT(TShortCutEvent, void(TObject*, quint16, TShiftState, bool&),
          "procedure(var Msg: TWMKey; var Handled: Boolean)")

using TModalResult = int;
enum : TModalResult {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
  mrAll = 8,
};

// ShortCut values: the key with scShift, scCtrl, scAlt.
enum : quint16 { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };
quint16 ShortCut(quint16 key, TShiftState shift);
void ShortCutToKey(quint16 shortCut, quint16& key, TShiftState& shift);
QString ShortCutToText(quint16 shortCut);
// "Ctrl+B", "Alt+Home", "F11", "" (none); an unknown text gives 0.
quint16 TextToShortCut(const QString& text);

// ---- Component-text resources --------------------------------------------------------------

// Registers the component text of a class (compiled-in resources call this at start-up).
void RegisterComponentResource(const QString& className, const QString& text);
// Registers a text under the class its root block names; raises EParserError for a text
// without one.
void RegisterComponentResourceText(const QString& text);
// The text registered for the class name, or an empty string.
QString FindComponentResource(const QString& className);
QStringList ComponentResourceNames();
// Reads the resources of root's class chain, oldest first; false when none was found.
// Errors of the text raise EReadError naming the line.
bool InitInheritedComponent(TComponent* root, TClass stopAt);
// The hook component text uses to bind event names ("OnClick = ButtonClick"): the script
// host resolves script routines; nullptr restores the published-method lookup.
using TFindMethodHook = std::function<TMethod(TComponent* root, const QString& name)>;
void SetFindMethodHook(TFindMethodHook hook);

// Makes a component of the class with the owner; forms and data modules read their resources.
TComponent* CreateComponentOfClass(TClass cls, TComponent* owner);
// The same without resources (CreateNew).
TComponent* CreateNewOfClass(TClass cls, TComponent* owner);

// ---- Forms ---------------------------------------------------------------------------

class TCustomForm : public TWinControl {
  ORV_CLASS(TCustomForm, TWinControl)
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // ---- Showing
  void Show();
  void Hide() override;
  void Close();
  bool CloseQuery();
  TModalResult ShowModal();
  // Frees the form once the current event handler has returned.
  void Release();
  bool Modal() const { return modal_; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }
  bool Active() const;
  bool Showing() const override { return Visible(); }

  // ---- Focus
  TWinControl* ActiveControl() const;
  void SetActiveControl(TWinControl* control);
  TWinControl* FocusedControl() const;
  void FocusControl(TWinControl* control);
  // Moves focus, running OnExit of what leaves and OnEnter of what gains it.
  void SetFocusedControl(TWinControl* control);
  void SetFocus() override;
  void ControlDestroying(TControl* control);
  void ControlHidden(TControl* control);
  void Next() { SelectNext(FocusedControl(), true, true); }
  void Previous() { SelectNext(FocusedControl(), false, true); }

  // ---- Keys
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }
  // OnShortCut, the menu, then the action lists of the form and its frames.
  virtual bool IsShortCut(quint16 key, TShiftState shift);
  // Enter clicks the default button, Escape the cancel button.
  virtual bool DialogKey(quint16 key);
  // The action lists the form dispatches shortcuts to (kept through Notification).
  const std::vector<TCustomActionList*>& ActionLists() const { return actionLists_; }
  void AddActionList(TCustomActionList* list);
  void RemoveActionList(TCustomActionList* list);
  // Explicit lists, the form's own lists and those of its frames, in that order.
  std::vector<TCustomActionList*> CollectActionLists() const;
  // The idle update: every action of the form's lists updates itself.
  virtual void UpdateActions();

  // ---- Window
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons v) { borderIcons_ = v; }
  TPosition Position() const { return position_; }
  void SetPosition(TPosition v) { position_ = v; }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState v);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle v);
  TMenu* Menu() const { return menu_; }
  void SetMenu(TMenu* menu);
  bool ShowInTaskBar() const { return true; }
  int MDIChildCount() const;
  TCustomForm* MDIChildren(int index) const;
  TCustomForm* ActiveMDIChild() const;
  void Cascade() {}
  void Tile() {}
  int FormIndex() const;  // position in Screen.Forms

  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;
  void SetClientWidth(int v) override;
  void SetClientHeight(int v) override;
  // Frame sizes around the client area for the border style.
  int NonClientWidth() const;
  int NonClientHeight() const;

  // The form rendered offscreen to a PNG file (made and laid out first).
  void RenderToPng(const QString& path);

  void Notification(TComponent* component, TOperation operation) override;
  void DefaultHandler(TMessage& message) override;
  void Loaded() override;
  // Called by the window when its close button is pressed.
  void CloseFromWindow();
  // The window moved or was resized by the user.
  void WindowGeometryChanged(int left, int top, int width, int height);
  void WindowActivated();

  TNotifyEvent OnActivate;
  TNotifyEvent OnCreate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnHide;
  TNotifyEvent OnShow;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TShortCutEvent OnShortCut;

 protected:
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void UpdateWidgetGeometry() override;
  void TextChanged() override;
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  void CloseModal();
  void PlaceOnScreen();

 private:
  friend class TApplication;
  friend TComponent* CreateNewOfClass(TClass cls, TComponent* owner);
  void ShowWindow();
  void HideWindow();
  int MenuHeight() const;

  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  bool closedByClose_ = false;
  bool keyPreview_ = false;
  bool createNew_ = false;
  bool created_ = false;
  bool placed_ = false;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = poDefaultPosOnly;
  TWindowState windowState_ = wsNormal;
  TFormStyle formStyle_ = fsNormal;
  TMenu* menu_ = nullptr;
  qint64 activeControl_ = 0;
  qint64 focusedControl_ = 0;
  std::vector<TCustomActionList*> actionLists_;
};

class TForm : public TCustomForm {
  ORV_CLASS(TForm, TCustomForm)
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// A form part placed on other forms; its action lists serve the form's shortcuts unless
// KeepActionListsOut is set.
class TCustomFrame : public TWinControl {
  ORV_CLASS(TCustomFrame, TWinControl)
  explicit TCustomFrame(TComponent* owner);
  void AfterConstruction() override;
  void SetParent(TWinControl* parent) override;
  void Notification(TComponent* component, TOperation operation) override;
  bool KeepActionListsOut = false;

 private:
  friend TComponent* CreateNewOfClass(TClass cls, TComponent* owner);
  void ForEachActionList(const std::function<void(TCustomActionList*)>& f) const;
  bool createNew_ = false;
};

class TFrame : public TCustomFrame {
  ORV_CLASS(TFrame, TCustomFrame)
  explicit TFrame(TComponent* owner) : TCustomFrame(owner) {}
};

// A container of non-visual components, made from its resource.
class TDataModule : public TComponent {
  ORV_CLASS(TDataModule, TComponent)
  explicit TDataModule(TComponent* owner);
  ~TDataModule() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  void DefineProperties(TFiler* filer) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;

 private:
  friend TComponent* CreateNewOfClass(TClass cls, TComponent* owner);
  bool createNew_ = false;
  bool created_ = false;
};

// ---- Application ------------------------------------------------------------------------

ORV_EVENT(TExceptionEvent, void(TObject*, Exception*), "procedure(Sender: TObject; E: Exception)")
ORV_EVENT(THelpEvent, bool(quint16, qint64, bool&),
          "function(Command: Word; Data: Longint; var CallHelp: Boolean): Boolean")
ORV_EVENT(TIdleEvent, void(TObject*, bool&), "procedure(Sender: TObject; var Done: Boolean)")

class TApplication : public TComponent {
  ORV_CLASS(TApplication, TComponent)
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // Makes a form of the class (reading its resources); the first becomes MainForm.
  TCustomForm* CreateForm(TClass cls);
  template <class T>
  T* CreateForm() {
    return static_cast<T*>(CreateForm(T::StaticClass()));
  }
  TCustomForm* MainForm() const;
  void SetMainForm(TCustomForm* form);
  // Shows the main form and runs the loop until Terminate (or the main form closes).
  void Run();
  virtual void Terminate();
  bool Terminated() const { return terminated_; }
  // Handles the waiting events, re-entrantly; then one idle pass when nothing waits.
  void ProcessMessages();
  // Waits for one event and handles it (then idle when nothing more waits).
  void HandleMessage();
  // The idle pass: UpdateActions of every visible form, then OnIdle.
  void Idle();

  // The exception being caught goes to OnException, else to the default shower; EAbort is
  // silent. Call only inside a catch block.
  void HandleException(TObject* sender);
  // The exception given shown the same way.
  void ShowException(Exception* e);
  using TExceptionShower = std::function<void(const Exception& e)>;
  // Replaces the default shower (the core installs its logged message box).
  static void SetDefaultExceptionShower(TExceptionShower shower);

  // A message box through the dialog service.
  int MessageBox(const QString& text, const QString& caption, int flags);

  // Help: the configured opener shows HelpFile; answers whether it was asked.
  bool HelpCommand(quint16 command, qint64 data);
  bool HelpContext(int context);
  bool HelpKeyword(const QString& keyword);
  const QString& HelpFile() const { return helpFile_; }
  void SetHelpFile(const QString& v) { helpFile_ = v; }
  // The program used to open help files (default xdg-open); empty: help does nothing.
  static void SetHelpOpener(const QString& program);

  const QString& Title() const { return title_; }
  void SetTitle(const QString& v) { title_ = v; }
  const QString& Hint() const { return hint_; }
  void SetHint(const QString& v);
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor v) { hintColor_ = v; }
  int HintPause() const { return hintPause_; }
  void SetHintPause(int v) { hintPause_ = v; }
  int HintShortPause() const { return hintShortPause_; }
  void SetHintShortPause(int v) { hintShortPause_ = v; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int v) { hintHidePause_ = v; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v) { showHint_ = v; }
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool v) { showMainForm_ = v; }
  bool UpdateFormatSettings() const { return updateFormatSettings_; }
  void SetUpdateFormatSettings(bool v) { updateFormatSettings_ = v; }
  bool Active() const;
  QString ExeName() const;
  void BringToFront();
  void Initialize() {}

  // ---- The modal driver: called once in each modal loop after the form shows. Tests press
  // buttons there; a loop the driver leaves open ends with EInvalidOperation after
  // ModalTimeoutMs.
  using TModalDriver = std::function<void(TCustomForm* form)>;
  void SetModalDriver(TModalDriver driver) { modalDriver_ = std::move(driver); }
  const TModalDriver& ModalDriver() const { return modalDriver_; }
  int ModalTimeoutMs = 5000;
  int ModalLevel() const { return modalLevel_; }

  TExceptionEvent OnException;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnHint;
  TIdleEvent OnIdle;
  THelpEvent OnHelp;

 private:
  friend class TCustomForm;
  qint64 mainForm_ = 0;
  bool terminated_ = false;
  bool running_ = false;
  bool inIdle_ = false;
  int modalLevel_ = 0;
  QString title_;
  QString hint_;
  QString helpFile_;
  TColor hintColor_ = clInfoBk;
  int hintPause_ = 500;
  int hintShortPause_ = 50;
  int hintHidePause_ = 2500;
  bool showHint_ = true;
  bool showMainForm_ = true;
  bool updateFormatSettings_ = true;
  TModalDriver modalDriver_;
  void* loop_ = nullptr;
};

// The application object (nullptr until one is made); made by the program or a test.
extern TApplication* Application;

class TScreen : public TComponent {
  ORV_CLASS(TScreen, TComponent)
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  int FormCount() const { return int(forms_.size()); }
  TCustomForm* Forms(int index) const;
  int DataModuleCount() const { return int(dataModules_.size()); }
  TDataModule* DataModules(int index) const;
  TCustomForm* ActiveForm() const;
  TWinControl* ActiveControl() const;
  int Cursor() const { return cursor_; }
  void SetCursor(int v);
  int PixelsPerInch() const { return 96; }
  int Width() const;
  int Height() const;
  TStrings* Fonts();

  TNotifyEvent OnActiveFormChange;
  TNotifyEvent OnActiveControlChange;

 private:
  friend class TCustomForm;
  friend class TDataModule;
  friend class TApplication;
  void AddForm(TCustomForm* f);
  void RemoveForm(TCustomForm* f);
  void SetActiveForm(TCustomForm* f);
  void SetActiveControl(TWinControl* c);
  std::vector<TCustomForm*> forms_;
  std::vector<TDataModule*> dataModules_;
  qint64 activeForm_ = 0;
  qint64 activeControl_ = 0;
  int cursor_ = crDefault;
  std::unique_ptr<TStrings> fonts_;
};

// The screen object (made on first use).
TScreen* Screen();

// The form a component belongs to: itself, or the nearest owner that is a form.
TCustomForm* GetParentForm(TControl* control);
