#include "forms.h"

#include "dialogservice.h"
#include "menus.h"
#include "uientry.h"
#include "widgetbridge.h"

#include "platform/classes/filer.h"
#include "platform/classes/reader.h"
#include "platform/classes/classregistry.h"
#include "platform/rtl/stringlist.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QEventLoop>
#include <QtCore/QHash>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QTimer>
#include <QtGui/QCloseEvent>
#include <QtGui/QFontDatabase>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenuBar>

TApplication* Application = nullptr;

// ---- Shortcuts ---------------------------------------------------------------------------

quint16 ShortCut(quint16 key, TShiftState shift) {
  quint16 sc = key & 0x0FFF;
  if (shift.Contains(ssShift)) sc |= scShift;
  if (shift.Contains(ssCtrl)) sc |= scCtrl;
  if (shift.Contains(ssAlt)) sc |= scAlt;
  return sc;
}

void ShortCutToKey(quint16 shortCut, quint16& key, TShiftState& shift) {
  key = shortCut & 0x0FFF;
  shift = TShiftState();
  if (shortCut & scShift) shift.Include(ssShift);
  if (shortCut & scCtrl) shift.Include(ssCtrl);
  if (shortCut & scAlt) shift.Include(ssAlt);
}

namespace {

struct TKeyName {
  quint16 key;
  const char* name;
};
constexpr TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},   {VK_TAB, "Tab"},    {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},    {VK_END, "End"},
    {VK_HOME, "Home"},   {VK_LEFT, "Left"},  {VK_UP, "Up"},        {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},   {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};

QString KeyName(quint16 key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return QString(QChar(key));
  if (key >= VK_F1 && key <= VK_F1 + 23) return QStringLiteral("F%1").arg(key - VK_F1 + 1);
  for (const TKeyName& k : kKeyNames) {
    if (k.key == key) return QLatin1String(k.name);
  }
  return QString();
}

}  // namespace

QString ShortCutToText(quint16 shortCut) {
  const QString name = KeyName(shortCut & 0x0FFF);
  if (name.isEmpty()) return QString();
  QString out;
  if (shortCut & scShift) out += QStringLiteral("Shift+");
  if (shortCut & scCtrl) out += QStringLiteral("Ctrl+");
  if (shortCut & scAlt) out += QStringLiteral("Alt+");
  return out + name;
}

quint16 TextToShortCut(const QString& text) {
  QString rest = text.trimmed();
  if (rest.isEmpty()) return 0;
  quint16 mods = 0;
  for (;;) {
    auto take = [&](const char* prefix, quint16 flag) {
      const QString p = QLatin1String(prefix);
      if (rest.size() > p.size() && rest.startsWith(p, Qt::CaseInsensitive)) {
        rest = rest.mid(p.size());
        mods |= flag;
        return true;
      }
      return false;
    };
    if (!take("Shift+", scShift) && !take("Ctrl+", scCtrl) && !take("Alt+", scAlt)) break;
  }
  for (quint16 key = 1; key < 0x100; ++key) {
    const QString name = KeyName(key);
    if (!name.isEmpty() && name.compare(rest, Qt::CaseInsensitive) == 0) return key | mods;
  }
  return 0;
}

// ---- Resources ---------------------------------------------------------------------------

namespace {
QHash<QString, QString>& Resources() {
  static QHash<QString, QString> resources;
  return resources;
}
TFindMethodHook& FindMethodHook() {
  static TFindMethodHook hook;
  return hook;
}
// Set by CreateNewOfClass for the one object being made.
int gSkipResources = 0;

bool TakeSkipResources() {
  if (gSkipResources == 0) return false;
  gSkipResources = 0;
  return true;
}

// A name not taken among the owner's other components ("Form1", "Form1_1", ...).
QString UniqueName(TComponent* root, const QString& name) {
  TComponent* owner = root->Owner();
  if (owner == nullptr || name.isEmpty()) return name;
  TComponent* same = owner->FindComponent(name);
  if (same == nullptr || same == root) return name;
  for (int i = 1;; ++i) {
    const QString candidate = QStringLiteral("%1_%2").arg(name).arg(i);
    TComponent* c = owner->FindComponent(candidate);
    if (c == nullptr || c == root) return candidate;
  }
}
}  // namespace

void RegisterComponentResource(const QString& className, const QString& text) {
  Resources().insert(className.toUpper(), text);
}

void RegisterComponentResourceText(const QString& text) {
  static const QRegularExpression header(
      QStringLiteral("^\\s*(?:object|inherited|inline)\\s+[A-Za-z_][A-Za-z0-9_]*\\s*:\\s*([A-Za-z_]"
                     "[A-Za-z0-9_]*)"),
      QRegularExpression::CaseInsensitiveOption);
  QString t = text;
  if (t.startsWith(QChar(0xFEFF))) t.remove(0, 1);
  const QRegularExpressionMatch m = header.match(t);
  if (!m.hasMatch())
    throw EParserError(QStringLiteral("Component text without an object header at line 1"));
  RegisterComponentResource(m.captured(1), t);
}

QString FindComponentResource(const QString& className) {
  return Resources().value(className.toUpper());
}

QStringList ComponentResourceNames() {
  QStringList names = Resources().keys();
  names.sort();
  return names;
}

void SetFindMethodHook(TFindMethodHook hook) { FindMethodHook() = std::move(hook); }

bool InitInheritedComponent(TComponent* root, TClass stopAt) {
  std::vector<TClass> chain;
  for (TClass c = root->ClassType(); c != nullptr && c != stopAt; c = c->ClassParent()) {
    chain.push_back(c);
  }
  bool found = false;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const QString text = FindComponentResource((*it)->ClassName());
    if (text.isEmpty()) continue;
    TTextObject parsed = ParseComponentText(text);
    parsed.Name = UniqueName(root, parsed.Name);
    TReader reader;
    if (FindMethodHook()) reader.OnFindMethod = FindMethodHook();
    reader.ReadRootComponent(parsed, root);
    found = true;
  }
  return found;
}

TComponent* CreateComponentOfClass(TClass cls, TComponent* owner) {
  TObject* o = cls->Create(owner);
  auto* c = dynamic_cast<TComponent*>(o);
  if (c == nullptr) {
    o->Free();
    throw EInvalidCast(QStringLiteral("%1 is not a component class").arg(cls->ClassName()));
  }
  return c;
}

TComponent* CreateNewOfClass(TClass cls, TComponent* owner) {
  gSkipResources = 1;
  try {
    TComponent* c = CreateComponentOfClass(cls, owner);
    gSkipResources = 0;
    return c;
  } catch (...) {
    gSkipResources = 0;
    throw;
  }
}

// ---- The form's window -----------------------------------------------------------------

namespace {

class TFormWidget : public TBridge<QWidget> {
 public:
  using TBridge<QWidget>::TBridge;
  bool Syncing = false;

 protected:
  void closeEvent(QCloseEvent* e) override {
    e->ignore();  // the form decides
    if (auto* form = dynamic_cast<TCustomForm*>(ControlOfWidget(this)))
      SafeEntry(form, [form] { form->CloseFromWindow(); });
  }
  void resizeEvent(QResizeEvent* e) override {
    TBridge<QWidget>::resizeEvent(e);
    Sync();
  }
  void moveEvent(QMoveEvent* e) override {
    TBridge<QWidget>::moveEvent(e);
    Sync();
  }
  void changeEvent(QEvent* e) override {
    TBridge<QWidget>::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) {
      if (auto* form = dynamic_cast<TCustomForm*>(ControlOfWidget(this)))
        SafeEntry(form, [form] { form->WindowActivated(); });
    }
  }

 private:
  void Sync() {
    if (Syncing || !isVisible()) return;
    auto* form = dynamic_cast<TCustomForm*>(ControlOfWidget(this));
    if (form == nullptr) return;
    const QRect g = geometry();
    SafeEntry(form, [&] { form->WindowGeometryChanged(g.x(), g.y(), g.width(), g.height()); });
  }
};

}  // namespace

// ---- TCustomForm ---------------------------------------------------------------------------

ORV_DESCRIBE(TCustomForm) {
  c.Prop("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
  c.Prop("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons);
  c.Prop("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle)
      .Default(bsSizeable);
  c.Prop("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
  c.Prop("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(0);
  c.Prop("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
  c.Prop("ModalResult", &TCustomForm::ModalResult, &TCustomForm::SetModalResult).Stored(false);
  c.Prop("Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDefaultPosOnly);
  c.Prop("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState).Default(wsNormal);
  c.Prop("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight);
  c.Prop("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth);
  c.Prop("OnActivate", &TCustomForm::OnActivate);
  c.Prop("OnClose", &TCustomForm::OnClose);
  c.Prop("OnCloseQuery", &TCustomForm::OnCloseQuery);
  c.Prop("OnCreate", &TCustomForm::OnCreate);
  c.Prop("OnDeactivate", &TCustomForm::OnDeactivate);
  c.Prop("OnDestroy", &TCustomForm::OnDestroy);
  c.Prop("OnHide", &TCustomForm::OnHide);
  c.Prop("OnPaint", &TCustomForm::OnPaint);
  c.Prop("OnShortCut", &TCustomForm::OnShortCut);
  c.Prop("OnShow", &TCustomForm::OnShow);
}

ORV_DESCRIBE(TForm) {}

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);
  SetColor(clBtnFace);
  SetParentFont(false);
  SetBounds(0, 0, 320, 240);
  Screen()->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (Screen() != nullptr) Screen()->RemoveForm(this);
}

void TCustomForm::AfterConstruction() {
  TWinControl::AfterConstruction();
  createNew_ = TakeSkipResources();
  try {
    if (!createNew_) InitInheritedComponent(this, TForm::StaticClass());
    created_ = true;
    DoCreate();
  } catch (...) {
    Free();  // nothing half-made stays behind
    throw;
  }
}

void TCustomForm::BeforeDestruction() {
  if (created_) {
    try {
      DoDestroy();
    } catch (...) {
      HandleEntryException(this);
    }
  }
  if (Application != nullptr && Application->mainForm_ == ObjectHandle())
    Application->mainForm_ = 0;
  TWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate() { OnCreate(this); }
void TCustomForm::DoDestroy() { OnDestroy(this); }
void TCustomForm::DoShow() { OnShow(this); }
void TCustomForm::DoHide() { OnHide(this); }
void TCustomForm::DoClose(TCloseAction& action) { OnClose(this, action); }

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  Realign();
}

void TCustomForm::Show() {
  if (Visible()) {
    if (QWidget* w = WidgetIfMade()) {
      w->raise();
      w->activateWindow();
    }
    return;
  }
  SetVisible(true);
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::DefaultHandler(TMessage& message) {
  switch (message.Msg) {
    case CM_VISIBLECHANGED:
      if (message.WParam != 0)
        ShowWindow();
      else
        HideWindow();
      return;
    case CM_RELEASE: Free(); return;
    case WM_CLOSE: Close(); return;
    default: TWinControl::DefaultHandler(message);
  }
}

void TCustomForm::ShowWindow() {
  QWidget* w = Widget();
  if (!placed_) {
    placed_ = true;
    PlaceOnScreen();
  }
  if (modal_) w->setWindowModality(Qt::ApplicationModal);
  auto* fw = static_cast<TFormWidget*>(w);
  fw->Syncing = true;
  if (windowState_ == wsMaximized)
    w->showMaximized();
  else if (windowState_ == wsMinimized)
    w->showMinimized();
  else
    w->show();
  fw->Syncing = false;
  Screen()->SetActiveForm(this);
  DoShow();
  if (FocusedControl() == nullptr) {
    TWinControl* first = ActiveControl();
    if (first == nullptr || !first->CanFocus()) first = FindNextControl(nullptr, true, true, false);
    if (first != nullptr && first->CanFocus()) SetFocusedControl(first);
  }
}

void TCustomForm::HideWindow() {
  if (QWidget* w = WidgetIfMade()) {
    w->hide();
    w->setWindowModality(Qt::NonModal);
  }
  DoHide();
  if (Screen()->ActiveForm() == this) {
    TCustomForm* next = nullptr;
    for (TCustomForm* f : Screen()->forms_) {
      if (f != this && f->Visible()) next = f;
    }
    Screen()->SetActiveForm(next);
  }
}

void TCustomForm::PlaceOnScreen() {
  TCustomForm* main = Application != nullptr ? Application->MainForm() : nullptr;
  auto centreIn = [&](int x, int y, int w, int h) {
    anchorMove_ = true;
    SetBounds(x + (w - Width()) / 2, y + (h - Height()) / 2, Width(), Height());
    anchorMove_ = false;
  };
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter: centreIn(0, 0, Screen()->Width(), Screen()->Height()); break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      auto* owner = dynamic_cast<TCustomForm*>(Owner());
      TCustomForm* ref = position_ == poOwnerFormCenter && owner != nullptr ? owner : main;
      if (ref != nullptr && ref != this)
        centreIn(ref->Left(), ref->Top(), ref->Width(), ref->Height());
      else
        centreIn(0, 0, Screen()->Width(), Screen()->Height());
      break;
    }
    default: break;
  }
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (modal_) {
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    closedByClose_ = true;
    modalResult_ = mrCancel;
    if (action == caFree) Release();
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = formStyle_ == fsMDIChild ? caMinimize : caHide;
  const qint64 self = ObjectHandle();
  DoClose(action);
  if (!TObject::IsLiveHandle(self)) return;
  if (action == caNone) return;
  const bool isMain = Application != nullptr && Application->MainForm() == this;
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize:
      if (QWidget* w = WidgetIfMade()) w->showMinimized();
      break;
    case caFree: Release(); break;
    default: break;
  }
  if (isMain) Application->Terminate();
}

void TCustomForm::CloseFromWindow() { Close(); }

void TCustomForm::CloseModal() {
  try {
    TCloseAction action = caNone;
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
    if (action == caNone)
      modalResult_ = mrNone;
    else if (action == caFree)
      Release();
  } catch (...) {
    modalResult_ = mrNone;
    HandleEntryException(this);
  }
}

void TCustomForm::Release() { PostMessageTo(this, CM_RELEASE); }

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || modal_)
    throw EInvalidOperation(QStringLiteral("Cannot make a visible window modal"));
  if (Application == nullptr)
    throw EInvalidOperation(QStringLiteral("No application runs the modal loop"));
  TApplication* app = Application;
  const qint64 self = ObjectHandle();
  auto alive = [self] { return TObject::IsLiveHandle(self); };
  std::vector<qint64> disabled;
  for (TCustomForm* f : Screen()->forms_) {
    if (f != this && f->Visible() && f->Enabled()) {
      f->SetEnabled(false);
      disabled.push_back(f->ObjectHandle());
    }
  }
  auto restore = [&] {
    for (qint64 h : disabled) {
      if (auto* f = dynamic_cast<TCustomForm*>(TObject::FromHandle(h))) f->SetEnabled(true);
    }
    --app->modalLevel_;
  };
  ++app->modalLevel_;
  modal_ = true;
  modalResult_ = mrNone;
  closedByClose_ = false;
  TModalResult result = mrNone;
  QTimer wake;  // the loop looks at ModalResult and the driver's time-out regularly
  wake.start(20);
  try {
    Show();
    const TApplication::TModalDriver driver = app->ModalDriver();
    if (driver && alive()) driver(this);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
      if (!alive()) break;
      if (modalResult_ != mrNone) {
        if (!closedByClose_) CloseModal();
        if (!alive() || modalResult_ != mrNone) break;
      }
      if (app->Terminated()) {
        modalResult_ = mrCancel;
        break;
      }
      if (driver && clock.elapsed() > app->ModalTimeoutMs) {
        throw EInvalidOperation(
            QStringLiteral("Modal form %1 was left open by the modal driver").arg(Name()));
      }
      app->HandleMessage();
    }
    if (alive()) result = modalResult_;
  } catch (...) {
    if (alive()) {
      modal_ = false;
      Hide();
    }
    restore();
    throw;
  }
  if (alive()) {
    modal_ = false;
    Hide();
  } else if (result == mrNone) {
    result = mrCancel;
  }
  restore();
  return result;
}

bool TCustomForm::Active() const { return Screen()->ActiveForm() == this; }

TWinControl* TCustomForm::ActiveControl() const {
  return dynamic_cast<TWinControl*>(TObject::FromHandle(activeControl_));
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == nullptr) {
    activeControl_ = 0;
    return;
  }
  if (ComponentState().Contains(csLoading)) {
    activeControl_ = control->ObjectHandle();
    return;
  }
  if (control == this || control->ParentForm() != this)
    throw EInvalidOperation(QStringLiteral("Invalid ActiveControl value"));
  if (Visible()) {
    if (!control->CanFocus())
      throw EInvalidOperation(QStringLiteral("Cannot focus a disabled or invisible window"));
    SetFocusedControl(control);
  } else {
    activeControl_ = control->ObjectHandle();
  }
}

TWinControl* TCustomForm::FocusedControl() const {
  return dynamic_cast<TWinControl*>(TObject::FromHandle(focusedControl_));
}

void TCustomForm::FocusControl(TWinControl* control) {
  if (control == nullptr) return;
  if (!Visible()) {
    activeControl_ = control->ObjectHandle();
    return;
  }
  SetFocusedControl(control);
  if (!Active()) Screen()->SetActiveForm(this);
}

void TCustomForm::SetFocus() {
  if (!Visible() || !Enabled())
    throw EInvalidOperation(QStringLiteral("Cannot focus a disabled or invisible window"));
  Screen()->SetActiveForm(this);
  if (QWidget* w = WidgetIfMade()) w->activateWindow();
}

void TCustomForm::SetFocusedControl(TWinControl* control) {
  TWinControl* old = FocusedControl();
  if (old == control) {
    if (control != nullptr) activeControl_ = control->ObjectHandle();
    return;
  }
  // Exits run from the old control up to the common parent, enters from there down.
  std::vector<qint64> oldChain, newChain;
  for (TWinControl* c = old; c != nullptr && c != this; c = c->Parent())
    oldChain.push_back(c->ObjectHandle());
  for (TWinControl* c = control; c != nullptr && c != this; c = c->Parent())
    newChain.push_back(c->ObjectHandle());
  while (!oldChain.empty() && !newChain.empty() && oldChain.back() == newChain.back()) {
    oldChain.pop_back();
    newChain.pop_back();
  }
  focusedControl_ = control != nullptr ? control->ObjectHandle() : 0;
  if (control != nullptr) activeControl_ = focusedControl_;
  for (qint64 h : oldChain) {
    if (auto* c = dynamic_cast<TWinControl*>(TObject::FromHandle(h))) c->DoExit();
  }
  for (auto it = newChain.rbegin(); it != newChain.rend(); ++it) {
    if (auto* c = dynamic_cast<TWinControl*>(TObject::FromHandle(*it))) c->DoEnter();
  }
  if (control != nullptr && TObject::IsLiveHandle(control->ObjectHandle())) {
    if (QWidget* w = control->WidgetIfMade()) {
      if (!w->hasFocus()) w->setFocus(Qt::OtherFocusReason);
    }
  }
  if (Active()) Screen()->SetActiveControl(control);
}

void TCustomForm::ControlDestroying(TControl* control) { ControlHidden(control); }

void TCustomForm::ControlHidden(TControl* control) {
  auto* focused = FocusedControl();
  if (focused != nullptr &&
      (focused == control || (dynamic_cast<TWinControl*>(control) != nullptr &&
                              static_cast<TWinControl*>(control)->ContainsControl(focused)))) {
    focusedControl_ = 0;
  }
  auto* active = ActiveControl();
  if (active != nullptr &&
      (active == control || (dynamic_cast<TWinControl*>(control) != nullptr &&
                             static_cast<TWinControl*>(control)->ContainsControl(active)))) {
    activeControl_ = 0;
  }
}

bool TCustomForm::IsShortCut(quint16 key, TShiftState shift) {
  bool handled = false;
  OnShortCut(this, key, shift, handled);
  if (handled) return true;
  const quint16 sc = ShortCut(key, shift);
  if (sc == 0 || (key >= VK_SHIFT && key <= VK_MENU)) return false;
  if (menu_ != nullptr && menu_->IsShortCut(sc)) return true;
  for (TCustomActionList* list : CollectActionLists()) {
    for (int i = 0; i < list->ActionCount(); ++i) {
      auto* action = dynamic_cast<TCustomAction*>(list->Actions(i));
      if (action != nullptr && action->ShortCut() == sc) {
        action->Execute();
        return true;
      }
    }
  }
  return false;
}

bool TCustomForm::DialogKey(quint16 key) {
  // Buttons answer through their Default and Cancel flags (see stdctrls).
  TMessage m{WM_KEYDOWN, key, 0, 0};
  std::function<bool(TWinControl*)> walk = [&](TWinControl* parent) {
    for (TControl* c : parent->ControlList()) {
      if (!c->Visible() || !c->Enabled()) continue;
      if (c->Perform(CM_DIALOGKEY, key) != 0) return true;
      if (auto* wc = dynamic_cast<TWinControl*>(c)) {
        if (walk(wc)) return true;
      }
    }
    return false;
  };
  (void)m;
  return walk(this);
}

void TCustomForm::AddActionList(TCustomActionList* list) {
  if (std::find(actionLists_.begin(), actionLists_.end(), list) == actionLists_.end()) {
    actionLists_.push_back(list);
    list->FreeNotification(this);
  }
}

void TCustomForm::RemoveActionList(TCustomActionList* list) {
  actionLists_.erase(std::remove(actionLists_.begin(), actionLists_.end(), list),
                     actionLists_.end());
}

std::vector<TCustomActionList*> TCustomForm::CollectActionLists() const {
  std::vector<TCustomActionList*> lists = actionLists_;
  auto add = [&](TCustomActionList* l) {
    if (std::find(lists.begin(), lists.end(), l) == lists.end()) lists.push_back(l);
  };
  for (TComponent* c : ComponentList()) {
    if (auto* l = dynamic_cast<TCustomActionList*>(c)) add(l);
  }
  // Frames on the form lend their lists unless they keep them out.
  std::function<void(const TWinControl*)> walk = [&](const TWinControl* parent) {
    for (TControl* c : parent->ControlList()) {
      auto* frame = dynamic_cast<TCustomFrame*>(c);
      if (frame != nullptr && !frame->KeepActionListsOut) {
        for (TComponent* owned : frame->ComponentList()) {
          if (auto* l = dynamic_cast<TCustomActionList*>(owned)) add(l);
        }
      }
      if (auto* wc = dynamic_cast<TWinControl*>(c)) walk(wc);
    }
  };
  walk(this);
  return lists;
}

void TCustomForm::UpdateActions() {
  for (TCustomActionList* list : CollectActionLists()) {
    for (int i = 0; i < list->ActionCount(); ++i) list->Actions(i)->Update();
  }
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (auto* list = dynamic_cast<TCustomActionList*>(component)) {
    if (operation == opInsert) {
      if (list->Owner() == this) AddActionList(list);
    } else {
      RemoveActionList(list);
    }
  }
  if (operation == opRemove && component == menu_) {
    menu_ = nullptr;
    Realign();
  }
  if (operation == opRemove && component != nullptr && component->ObjectHandle() == activeControl_)
    activeControl_ = 0;
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
  if (v == borderStyle_) return;
  const int cw = ClientWidth(), ch = ClientHeight();
  borderStyle_ = v;
  // The client area keeps its size, as a window whose frame changes.
  anchorMove_ = true;
  SetBounds(Left(), Top(), cw + NonClientWidth(), ch + NonClientHeight() + MenuHeight());
  anchorMove_ = false;
  if (QWidget* w = WidgetIfMade()) {
    Qt::WindowFlags flags = Qt::Window;
    if (v == bsNone) flags |= Qt::FramelessWindowHint;
    if (v == bsDialog) flags |= Qt::Dialog;
    if (v == bsToolWindow || v == bsSizeToolWin) flags |= Qt::Tool;
    const bool shown = w->isVisible();
    w->setWindowFlags(flags);
    if (shown) w->show();
  }
}

void TCustomForm::SetWindowState(TWindowState v) {
  windowState_ = v;
  if (QWidget* w = WidgetIfMade(); w != nullptr && w->isVisible()) {
    if (v == wsMaximized)
      w->showMaximized();
    else if (v == wsMinimized)
      w->showMinimized();
    else
      w->showNormal();
  }
}

void TCustomForm::SetFormStyle(TFormStyle v) { formStyle_ = v; }

void TCustomForm::SetMenu(TMenu* menu) {
  if (menu == menu_) return;
  if (menu_ != nullptr) menu_->RemoveFreeNotification(this);
  const int cw = ClientWidth(), ch = ClientHeight();
  menu_ = menu;
  if (menu != nullptr) menu->FreeNotification(this);
  // The client area keeps its size: the stored ClientHeight is the area under the menu bar.
  anchorMove_ = true;
  SetBounds(Left(), Top(), cw + NonClientWidth(), ch + NonClientHeight() + MenuHeight());
  anchorMove_ = false;
  if (QWidget* w = WidgetIfMade()) {
    if (auto* bar = w->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly)) delete bar;
    if (auto* main = dynamic_cast<TMainMenu*>(menu_)) main->BuildMenuBar(w, ClientWidth());
  }
  UpdateWidget();
}

int TCustomForm::MenuHeight() const {
  auto* main = dynamic_cast<TMainMenu*>(menu_);
  return main != nullptr && main->HasVisibleItems() ? TMainMenu::BarHeight : 0;
}

int TCustomForm::MDIChildCount() const {
  int n = 0;
  for (TCustomForm* f : Screen()->forms_) {
    if (f->FormStyle() == fsMDIChild) ++n;
  }
  return formStyle_ == fsMDIForm ? n : 0;
}

TCustomForm* TCustomForm::MDIChildren(int index) const {
  int n = 0;
  for (TCustomForm* f : Screen()->forms_) {
    if (f->FormStyle() == fsMDIChild && n++ == index) return f;
  }
  throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (formStyle_ != fsMDIForm) return nullptr;
  TCustomForm* active = Screen()->ActiveForm();
  return active != nullptr && active->FormStyle() == fsMDIChild ? active : nullptr;
}

int TCustomForm::FormIndex() const {
  const auto& forms = Screen()->forms_;
  auto it = std::find(forms.begin(), forms.end(), this);
  return it == forms.end() ? -1 : int(it - forms.begin());
}

int TCustomForm::NonClientWidth() const {
  switch (borderStyle_) {
    case bsNone: return 0;
    case bsSizeable:
    case bsSizeToolWin: return 8;
    default: return 6;
  }
}

int TCustomForm::NonClientHeight() const {
  switch (borderStyle_) {
    case bsNone: return 0;
    case bsSizeable: return 8 + 19;
    case bsSizeToolWin: return 8 + 15;
    case bsToolWindow: return 6 + 15;
    default: return 6 + 19;
  }
}

TRect TCustomForm::ClientRect() const {
  return Rect(0, 0, std::max(0, Width() - NonClientWidth()),
              std::max(0, Height() - NonClientHeight() - MenuHeight()));
}

TPoint TCustomForm::ClientOrigin() const { return TPoint{0, MenuHeight()}; }

void TCustomForm::SetClientWidth(int v) { SetWidth(v + NonClientWidth()); }
void TCustomForm::SetClientHeight(int v) { SetHeight(v + NonClientHeight() + MenuHeight()); }

QWidget* TCustomForm::CreateWidget(QWidget* parentWidget) {
  auto* w = new TFormWidget(parentWidget);
  w->setAttribute(Qt::WA_DeleteOnClose, false);
  w->setAutoFillBackground(true);
  w->setWindowTitle(Caption());
  if (auto* main = dynamic_cast<TMainMenu*>(menu_)) main->BuildMenuBar(w, ClientWidth());
  return w;
}

void TCustomForm::UpdateWidgetGeometry() {
  QWidget* w = WidgetIfMade();
  if (w == nullptr) return;
  if (Parent() != nullptr) {
    TWinControl::UpdateWidgetGeometry();
    return;
  }
  auto* fw = static_cast<TFormWidget*>(w);
  fw->Syncing = true;
  const TRect client = ClientRect();
  w->setGeometry(Left(), Top(), client.Width(), client.Height() + MenuHeight());
  if (auto* bar = w->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly))
    bar->setGeometry(0, 0, client.Width(), MenuHeight());
  fw->Syncing = false;
}

void TCustomForm::TextChanged() {
  if (QWidget* w = WidgetIfMade()) w->setWindowTitle(Caption());
}

void TCustomForm::WindowGeometryChanged(int left, int top, int width, int height) {
  SetBounds(left, top, width + NonClientWidth(),
            height - MenuHeight() + NonClientHeight() + MenuHeight());
}

void TCustomForm::WindowActivated() {
  if (Screen()->ActiveForm() != this) Screen()->SetActiveForm(this);
}

void TCustomForm::RenderToPng(const QString& path) {
  QWidget* w = Widget();
  const bool shown = w->isVisible();
  if (!shown) {
    w->setAttribute(Qt::WA_DontShowOnScreen, true);
    w->show();
  }
  QCoreApplication::processEvents();
  const bool ok = w->grab().save(path, "PNG");
  if (!shown) {
    w->hide();
    w->setAttribute(Qt::WA_DontShowOnScreen, false);
  }
  if (!ok) throw EFCreateError(QStringLiteral("Cannot create file \"%1\"").arg(path));
}

// ---- Frames and data modules -------------------------------------------------------------

ORV_DESCRIBE(TCustomFrame) {}
ORV_DESCRIBE(TFrame) {}

TCustomFrame::TCustomFrame(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 320, 240);
  SetTabStop(true);
}

void TCustomFrame::AfterConstruction() {
  TWinControl::AfterConstruction();
  createNew_ = TakeSkipResources();
  if (createNew_) return;
  try {
    InitInheritedComponent(this, TFrame::StaticClass());
  } catch (...) {
    Free();
    throw;
  }
}

void TCustomFrame::ForEachActionList(const std::function<void(TCustomActionList*)>& f) const {
  for (TComponent* c : ComponentList()) {
    if (auto* list = dynamic_cast<TCustomActionList*>(c)) f(list);
  }
}

void TCustomFrame::SetParent(TWinControl* parent) {
  TCustomForm* oldForm = ParentForm();
  TWinControl::SetParent(parent);
  TCustomForm* newForm = ParentForm();
  if (oldForm == newForm) return;
  ForEachActionList([&](TCustomActionList* list) {
    if (oldForm != nullptr) oldForm->RemoveActionList(list);
    if (newForm != nullptr && !KeepActionListsOut) newForm->AddActionList(list);
  });
}

void TCustomFrame::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  auto* list = dynamic_cast<TCustomActionList*>(component);
  if (list == nullptr || list->Owner() != this) return;
  if (TCustomForm* form = ParentForm()) {
    if (operation == opInsert && !KeepActionListsOut)
      form->AddActionList(list);
    else if (operation == opRemove)
      form->RemoveActionList(list);
  }
}

ORV_DESCRIBE(TDataModule) {
  c.Prop("OnCreate", &TDataModule::OnCreate);
  c.Prop("OnDestroy", &TDataModule::OnDestroy);
}

TDataModule::TDataModule(TComponent* owner) : TComponent(owner) {
  Screen()->dataModules_.push_back(this);
}

TDataModule::~TDataModule() {
  auto& list = Screen()->dataModules_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TDataModule::AfterConstruction() {
  TComponent::AfterConstruction();
  createNew_ = TakeSkipResources();
  try {
    if (!createNew_) InitInheritedComponent(this, TDataModule::StaticClass());
    created_ = true;
    OnCreate(this);
  } catch (...) {
    Free();
    throw;
  }
}

void TDataModule::BeforeDestruction() {
  if (created_) {
    try {
      OnDestroy(this);
    } catch (...) {
      HandleEntryException(this);
    }
  }
  TComponent::BeforeDestruction();
}

void TDataModule::DefineProperties(TFiler* filer) {
  static const char* const kIgnored[] = {"Left",
                                         "Top",
                                         "Width",
                                         "Height",
                                         "HorizontalOffset",
                                         "VerticalOffset",
                                         "OldCreateOrder",
                                         "PixelsPerInch",
                                         "TextHeight"};
  if (!filer->IsReader()) return;
  for (const char* name : kIgnored)
    filer->DefineProperty(
        QLatin1String(name), [](const TTextValue&) {}, nullptr, false);
}

// ---- Application ----------------------------------------------------------------------------

namespace {
TApplication::TExceptionShower& DefaultShower() {
  static TApplication::TExceptionShower shower;
  return shower;
}
QString& HelpOpener() {
  static QString opener = QStringLiteral("xdg-open");
  return opener;
}
}  // namespace

ORV_DESCRIBE(TApplication) {
  c.Prop("HelpFile", &TApplication::HelpFile, &TApplication::SetHelpFile);
  c.Prop("Hint", &TApplication::Hint, &TApplication::SetHint);
  c.Prop("ShowHint", &TApplication::ShowHint, &TApplication::SetShowHint);
  c.Prop("Title", &TApplication::Title, &TApplication::SetTitle);
  c.Prop("OnException", &TApplication::OnException);
  c.Prop("OnHint", &TApplication::OnHint);
  c.Prop("OnIdle", &TApplication::OnIdle);
}

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  if (Application == nullptr) Application = this;
}

TApplication::~TApplication() {
  if (Application == this) Application = nullptr;
}

TCustomForm* TApplication::CreateForm(TClass cls) {
  if (cls == nullptr || !cls->InheritsFrom(TCustomForm::StaticClass()))
    throw EInvalidCast(QStringLiteral("Invalid class typecast"));
  auto* form = static_cast<TCustomForm*>(CreateComponentOfClass(cls, this));
  if (mainForm_ == 0 || !TObject::IsLiveHandle(mainForm_)) mainForm_ = form->ObjectHandle();
  return form;
}

TCustomForm* TApplication::MainForm() const {
  return dynamic_cast<TCustomForm*>(TObject::FromHandle(mainForm_));
}

void TApplication::SetMainForm(TCustomForm* form) {
  mainForm_ = form != nullptr ? form->ObjectHandle() : 0;
}

void TApplication::Run() {
  running_ = true;
  terminated_ = false;
  if (TCustomForm* main = MainForm(); main != nullptr && showMainForm_) main->Show();
  while (!terminated_) HandleMessage();
  running_ = false;
}

void TApplication::Terminate() {
  terminated_ = true;
  if (QCoreApplication::instance() != nullptr)
    QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::None));
}

void TApplication::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TApplication::HandleMessage() {
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  Idle();
}

void TApplication::Idle() {
  if (inIdle_) return;
  inIdle_ = true;
  for (TCustomForm* f : std::vector<TCustomForm*>(Screen()->forms_)) {
    const qint64 h = f->ObjectHandle();
    if (!TObject::IsLiveHandle(h) || !f->Visible() || !f->Enabled()) continue;
    SafeEntry(f, [f] { f->UpdateActions(); });
  }
  bool done = true;
  SafeEntry(this, [&] { OnIdle(this, done); });
  inIdle_ = false;
}

void TApplication::HandleException(TObject* sender) {
  if (!std::current_exception()) return;  // called outside a handler: nothing to handle
  std::unique_ptr<Exception> e;
  try {
    throw;
  } catch (const EAbort&) {
    return;
  } catch (const Exception& ex) {
    e = ex.Clone();
  } catch (const std::exception& ex) {
    e = std::make_unique<Exception>(QString::fromUtf8(ex.what()));
  } catch (...) {
    e = std::make_unique<Exception>(QStringLiteral("Unknown exception"));
  }
  try {
    if (OnException.Assigned())
      OnException(sender, e.get());
    else
      ShowException(e.get());
  } catch (...) {
    // A failing handler must not take the event loop down with it.
  }
}

void TApplication::ShowException(Exception* e) {
  if (e == nullptr) return;
  if (DefaultShower()) {
    DefaultShower()(*e);
    return;
  }
  QString message = e->Message();
  if (!message.isEmpty() && !message.endsWith(QLatin1Char('.'))) message += QLatin1Char('.');
  DialogService().MessageBox(message, title_, mbOKOnly | mbIconError);
}

void TApplication::SetDefaultExceptionShower(TExceptionShower shower) {
  DefaultShower() = std::move(shower);
}

int TApplication::MessageBox(const QString& text, const QString& caption, int flags) {
  return DialogService().MessageBox(text, caption.isEmpty() ? title_ : caption, flags);
}

bool TApplication::HelpCommand(quint16 command, qint64 data) {
  bool callHelp = true;
  bool result = false;
  if (OnHelp.Assigned()) result = OnHelp(command, data, callHelp);
  if (!callHelp) return result;
  if (helpFile_.isEmpty() || HelpOpener().isEmpty()) return false;
  return QProcess::startDetached(HelpOpener(), {helpFile_});
}

bool TApplication::HelpContext(int context) { return HelpCommand(1, context); }
bool TApplication::HelpKeyword(const QString&) { return HelpCommand(0x101, 0); }
void TApplication::SetHelpOpener(const QString& program) { HelpOpener() = program; }

void TApplication::SetHint(const QString& v) {
  if (v == hint_) return;
  hint_ = v;
  OnHint(this);
}

bool TApplication::Active() const {
  return QApplication::activeWindow() != nullptr || Screen()->ActiveForm() != nullptr;
}

QString TApplication::ExeName() const {
  return QCoreApplication::instance() != nullptr ? QCoreApplication::applicationFilePath()
                                                 : QString();
}

void TApplication::BringToFront() {
  if (TCustomForm* f = Screen()->ActiveForm()) {
    if (QWidget* w = f->WidgetIfMade()) {
      w->raise();
      w->activateWindow();
    }
  }
}

void HandleEntryException(TObject* sender) {
  if (Application != nullptr) {
    Application->HandleException(sender);
    return;
  }
  try {
    throw;
  } catch (const std::exception& e) {
    qWarning("Unhandled exception: %s", e.what());
  } catch (...) {
    qWarning("Unhandled exception");
  }
}

// ---- Screen ------------------------------------------------------------------------------

ORV_DESCRIBE(TScreen) {
  c.Prop("Cursor", &TScreen::Cursor, &TScreen::SetCursor).Type(TCursorType());
  c.Prop("OnActiveControlChange", &TScreen::OnActiveControlChange);
  c.Prop("OnActiveFormChange", &TScreen::OnActiveFormChange);
}

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}
TScreen::~TScreen() = default;

TScreen* Screen() {
  static TScreen* screen = new TScreen(nullptr);  // process-wide; forms outlive any scope
  return screen;
}

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return forms_[size_t(index)];
}

TDataModule* TScreen::DataModules(int index) const {
  if (index < 0 || index >= DataModuleCount())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return dataModules_[size_t(index)];
}

TCustomForm* TScreen::ActiveForm() const {
  return dynamic_cast<TCustomForm*>(TObject::FromHandle(activeForm_));
}

TWinControl* TScreen::ActiveControl() const {
  return dynamic_cast<TWinControl*>(TObject::FromHandle(activeControl_));
}

void TScreen::SetCursor(int v) {
  if (v == cursor_) return;
  if (QGuiApplication::instance() != nullptr) {
    if (cursor_ != crDefault) QGuiApplication::restoreOverrideCursor();
    if (v != crDefault) QGuiApplication::setOverrideCursor(QCursor(CursorShape(v)));
  }
  cursor_ = v;
}

int TScreen::Width() const {
  QScreen* s = QGuiApplication::instance() != nullptr ? QGuiApplication::primaryScreen() : nullptr;
  return s != nullptr ? s->geometry().width() : 1024;
}

int TScreen::Height() const {
  QScreen* s = QGuiApplication::instance() != nullptr ? QGuiApplication::primaryScreen() : nullptr;
  return s != nullptr ? s->geometry().height() : 768;
}

TStrings* TScreen::Fonts() {
  if (!fonts_) {
    auto list = std::make_unique<TStringList>();
    for (const QString& family : QFontDatabase::families()) list->Add(family);
    fonts_ = std::move(list);
  }
  return fonts_.get();
}

void TScreen::AddForm(TCustomForm* f) { forms_.push_back(f); }

void TScreen::RemoveForm(TCustomForm* f) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
}

void TScreen::SetActiveForm(TCustomForm* f) {
  TCustomForm* old = ActiveForm();
  if (old == f) return;
  activeForm_ = f != nullptr ? f->ObjectHandle() : 0;
  if (old != nullptr) old->OnDeactivate(old);
  if (f != nullptr) {
    f->OnActivate(f);
    SetActiveControl(f->FocusedControl());
  } else {
    SetActiveControl(nullptr);
  }
  OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* c) {
  const qint64 h = c != nullptr ? c->ObjectHandle() : 0;
  if (h == activeControl_) return;
  activeControl_ = h;
  OnActiveControlChange(this);
}

TCustomForm* GetParentForm(TControl* control) {
  return control != nullptr ? control->ParentForm() : nullptr;
}
