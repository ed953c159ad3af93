#include "dialogs.h"

#include "extctrls.h"

#include "platform/classes/classregistry.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>

namespace {

const char* const kButtonNames[kMsgDlgButtonCount] = {
    "Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll", "YesToAll", "Help"};

TForm* NewDialogForm(const QString& name, const QString& caption) {
  auto* f = static_cast<TForm*>(CreateNewOfClass(TForm::StaticClass(), nullptr));
  f->SetName(name);
  f->SetCaption(caption);
  f->SetBorderStyle(bsDialog);
  f->SetPosition(poScreenCenter);
  return f;
}

QString TitleOr(const QString& caption) {
  if (!caption.isEmpty()) return caption;
  return Application != nullptr ? Application->Title() : QString();
}

void PutIcon(TForm* form, TMsgDlgType type, int x, int y) {
  QStyle::StandardPixmap which;
  switch (type) {
    case mtWarning: which = QStyle::SP_MessageBoxWarning; break;
    case mtError: which = QStyle::SP_MessageBoxCritical; break;
    case mtInformation: which = QStyle::SP_MessageBoxInformation; break;
    case mtConfirmation: which = QStyle::SP_MessageBoxQuestion; break;
    default: return;
  }
  auto* image = new TImage(form);
  image->SetName(QStringLiteral("Image"));
  image->SetParent(form);
  image->SetBounds(x, y, 32, 32);
  if (QApplication::style() != nullptr)
    image->Picture()->SetImage(QApplication::style()->standardIcon(which).pixmap(32).toImage());
}

}  // namespace

TForm* CreateMessageDialog(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons) {
  constexpr int kMargin = 8, kButtonWidth = 75, kButtonHeight = 25, kGap = 6;
  TForm* f = NewDialogForm(QStringLiteral("MessageDialog"), TitleOr(DialogTypeCaption(type)));
  const bool icon = type != mtCustom;
  const int textLeft = kMargin + (icon ? 32 + 10 : 0);
  auto* label = new TLabel(f);
  label->SetName(QStringLiteral("Message"));
  label->SetParent(f);
  label->SetCaption(msg);
  label->SetLeft(textLeft);
  label->SetTop(kMargin + 2);
  int textWidth = 0;
  const QStringList lines = msg.split(QLatin1Char('\n'));
  for (const QString& l : lines) textWidth = std::max(textWidth, FontTextWidth(*f->Font(), l));
  const int textHeight = int(lines.size()) * FontLineHeight(*f->Font());
  label->SetBounds(textLeft, kMargin + 2, textWidth + 4, textHeight);
  if (icon) PutIcon(f, type, kMargin, kMargin);
  const std::vector<TMsgDlgBtn> list = DialogButtons(buttons);
  const int n = int(list.size());
  const int buttonsWidth = n * kButtonWidth + (n - 1) * kGap;
  const int clientWidth = std::max(textLeft + textWidth + kMargin + 4, buttonsWidth + 2 * kMargin);
  const int buttonsTop = std::max(textHeight, icon ? 32 : 0) + 2 * kMargin + 4;
  f->SetClientWidth(clientWidth);
  f->SetClientHeight(buttonsTop + kButtonHeight + kMargin);
  const TMsgDlgBtn def = DefaultDialogButton(buttons), cancel = CancelDialogButton(buttons);
  int x = (clientWidth - buttonsWidth) / 2;
  for (TMsgDlgBtn b : list) {
    auto* button = new TButton(f);
    button->SetName(QString::fromLatin1(kButtonNames[b]));
    button->SetParent(f);
    button->SetCaption(ButtonCaption(b));
    button->SetModalResult(ModalResultOfButton(b));
    button->SetDefault(b == def);
    button->SetCancel(b == cancel);
    button->SetBounds(x, buttonsTop, kButtonWidth, kButtonHeight);
    if (b == def) f->SetActiveControl(button);
    x += kButtonWidth + kGap;
  }
  return f;
}

int MessageDlgPos(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext,
                  int x, int y) {
  TMessageDialogSpec spec;
  spec.Text = msg;
  spec.Type = type;
  spec.Buttons = buttons;
  spec.HelpContext = helpContext;
  spec.X = x;
  spec.Y = y;
  return DialogService().MessageDialog(spec);
}

int MessageDlg(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) {
  return MessageDlgPos(msg, type, buttons, helpContext, -1, -1);
}

void ShowMessage(const QString& msg) { MessageDlgPos(msg, mtCustom, {mbOK}, 0, -1, -1); }
void ShowMessagePos(const QString& msg, int x, int y) {
  MessageDlgPos(msg, mtCustom, {mbOK}, 0, x, y);
}

bool InputQuery(const QString& caption, const QString& prompt, QString& value) {
  return DialogService().InputQuery(caption, prompt, value);
}

QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue) {
  QString value = defaultValue;
  return InputQuery(caption, prompt, value) ? value : defaultValue;
}

TForm* CreateInputQueryForm(const QString& caption, const QString& prompt, const QString& value) {
  TForm* f = NewDialogForm(QStringLiteral("InputQuery"), caption);
  f->SetClientWidth(280);
  f->SetClientHeight(98);
  auto* label = new TLabel(f);
  label->SetName(QStringLiteral("Prompt"));
  label->SetParent(f);
  label->SetCaption(prompt);
  label->SetBounds(8, 8, 264, 16);
  auto* edit = new TEdit(f);
  edit->SetName(QStringLiteral("Value"));
  edit->SetParent(f);
  edit->SetBounds(8, 28, 264, 21);
  edit->SetText(value);
  edit->SelectAll();
  f->SetActiveControl(edit);
  struct {
    const char* name;
    const char* caption;
    int result;
    int left;
  } const buttons[] = {{"OK", "OK", mrOk, 116}, {"Cancel", "Отмена", mrCancel, 197}};
  for (const auto& b : buttons) {
    auto* button = new TButton(f);
    button->SetName(QString::fromLatin1(b.name));
    button->SetParent(f);
    button->SetCaption(QString::fromUtf8(b.caption));
    button->SetModalResult(b.result);
    button->SetDefault(b.result == mrOk);
    button->SetCancel(b.result == mrCancel);
    button->SetBounds(b.left, 64, 75, 25);
  }
  return f;
}

// ---- Common dialogs ---------------------------------------------------------------------------

ORV_DESCRIBE(TCommonDialog) {
  c.Prop("HelpContext", &TCommonDialog::HelpContext, &TCommonDialog::SetHelpContext).Default(0);
  c.Prop("OnShow", &TCommonDialog::OnShow);
  c.Prop("OnClose", &TCommonDialog::OnClose);
}

ORV_DESCRIBE(TOpenDialog) {
  c.Prop("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
  c.Prop("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
  c.Prop("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
  c.Prop("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
  c.Prop("HistoryList", &TOpenDialog::HistoryList, &TOpenDialog::SetHistoryList);
  c.Prop("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
  c.Prop("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions)
      .Default(qint64(TOpenOptions{ofHideReadOnly, ofEnableSizing}.Ord()));
  c.Prop("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
  c.Prop("Files", &TOpenDialog::Files).Stored(false);
}
ORV_DESCRIBE(TSaveDialog) {}

TOpenDialog::TOpenDialog(TComponent* owner)
    : TCommonDialog(owner),
      files_(std::make_unique<TStringList>()),
      history_(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() {
  TFileDialogSpec spec;
  spec.Save = IsSave();
  spec.Title = Title();
  spec.Filter = filter_;
  spec.FilterIndex = filterIndex_;
  spec.InitialDir = initialDir_;
  spec.FileName = fileName_;
  spec.DefaultExt = defaultExt_;
  spec.Options = OpenOptionBits(options_);
  OnShow(this);
  const bool ok = DialogService().FileDialog(spec);
  OnClose(this);
  if (!ok) return false;
  // A name without an extension gets the default one.
  for (QString& f : spec.Files) {
    const int slash = int(f.lastIndexOf(QLatin1Char('/')));
    if (!defaultExt_.isEmpty() && f.indexOf(QLatin1Char('.'), slash + 1) < 0)
      f += QLatin1Char('.') + defaultExt_;
  }
  files_->Clear();
  for (const QString& f : spec.Files) files_->Add(f);
  fileName_ = spec.Files.value(0);
  filterIndex_ = spec.FilterIndex;
  return true;
}

ORV_DESCRIBE(TColorDialog) {
  c.Prop("Color", &TColorDialog::Color, &TColorDialog::SetColor)
      .Type(TColorType())
      .Default(clBlack);
}

bool TColorDialog::Execute() {
  TColor c = color_;
  if (!DialogService().ColorDialog(c)) return false;
  color_ = c;
  return true;
}

ORV_DESCRIBE(TFontDialog) { c.Prop("Font", &TFontDialog::Font, &TFontDialog::SetFont); }

TFontDialog::TFontDialog(TComponent* owner)
    : TCommonDialog(owner), font_(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute() {
  TFontSpec spec{font_->Name(), font_->Size(), int(font_->Style().Ord()), font_->Color()};
  if (!DialogService().FontDialog(spec)) return false;
  font_->SetName(spec.Name);
  font_->SetSize(spec.Size);
  font_->SetStyle(TFontStyles::FromOrd(quint64(spec.Style)));
  font_->SetColor(spec.Color);
  return true;
}

// ---- Find and replace -------------------------------------------------------------------------

ORV_DESCRIBE(TFindDialog) {
  c.Prop("FindText", &TFindDialog::FindText, &TFindDialog::SetFindText);
  c.Prop("Options", &TFindDialog::Options, &TFindDialog::SetOptions)
      .Default(qint64(TFindOptions{frDown}.Ord()));
  c.Prop("OnFind", &TFindDialog::OnFind);
  c.Method("FindClicked", &TFindDialog::FindClicked);
  c.Method("ReplaceClicked", &TFindDialog::ReplaceClicked);
}

TFindDialog::TFindDialog(TComponent* owner) : TCommonDialog(owner) {}

TFindDialog::~TFindDialog() {
  if (form_ != nullptr) form_->Free();
}

void TFindDialog::Notification(TComponent* component, TOperation operation) {
  TCommonDialog::Notification(component, operation);
  if (operation == opRemove && component == form_) {
    form_ = nullptr;
    findEdit_ = replaceEdit_ = nullptr;
  }
}

void TFindDialog::SetFindText(const QString& v) {
  findText_ = v;
  if (findEdit_ != nullptr) findEdit_->SetText(v);
}
void TFindDialog::SetLeft(int v) {
  left_ = v;
  if (form_ != nullptr) form_->SetLeft(v);
}
void TFindDialog::SetTop(int v) {
  top_ = v;
  if (form_ != nullptr) form_->SetTop(v);
}

quint64 TFindDialog::Handle() const {
  return form_ != nullptr && form_->Visible() ? quint64(form_->Handle()) : 0;
}

void TFindDialog::BuildForm() {
  form_ = static_cast<TForm*>(CreateNewOfClass(TForm::StaticClass(), nullptr));
  form_->FreeNotification(this);
  form_->SetName(IsReplace() ? QStringLiteral("ReplaceDialog") : QStringLiteral("FindDialog"));
  form_->SetCaption(IsReplace() ? QStringLiteral("Замена") : QStringLiteral("Поиск"));
  form_->SetBorderStyle(bsDialog);
  form_->SetClientWidth(360);
  form_->SetClientHeight(IsReplace() ? 96 : 64);
  auto addEdit = [&](const QString& name, const QString& label, int top) {
    auto* l = new TLabel(form_);
    l->SetParent(form_);
    l->SetCaption(label);
    l->SetBounds(8, top + 3, 70, 16);
    auto* e = new TEdit(form_);
    e->SetName(name);
    e->SetParent(form_);
    e->SetBounds(80, top, 180, 21);
    return e;
  };
  findEdit_ = addEdit(QStringLiteral("FindText"), QStringLiteral("Что:"), 8);
  findEdit_->SetText(findText_);
  auto* find = new TButton(form_);
  find->SetName(QStringLiteral("FindNext"));
  find->SetParent(form_);
  find->SetCaption(QStringLiteral("Найти далее"));
  find->SetBounds(272, 8, 80, 25);
  find->SetDefault(true);
  find->OnClick.Bind<&TFindDialog::FindClicked>(this);
  if (IsReplace()) {
    replaceEdit_ = addEdit(QStringLiteral("ReplaceText"), QStringLiteral("Чем:"), 38);
    replaceEdit_->SetText(replaceText_);
    auto* replace = new TButton(form_);
    replace->SetName(QStringLiteral("Replace"));
    replace->SetParent(form_);
    replace->SetCaption(QStringLiteral("Заменить"));
    replace->SetBounds(272, 38, 80, 25);
    replace->OnClick.Bind<&TFindDialog::ReplaceClicked>(this);
  }
}

bool TFindDialog::Execute() {
  if (form_ == nullptr) BuildForm();
  if (left_ >= 0) form_->SetLeft(left_);
  if (top_ >= 0) form_->SetTop(top_);
  OnShow(this);
  form_->Show();
  return true;
}

void TFindDialog::CloseDialog() {
  if (form_ == nullptr || !form_->Visible()) return;
  form_->Hide();
  OnClose(this);
}

void TFindDialog::FindClicked(TObject*) {
  if (findEdit_ != nullptr) findText_ = findEdit_->Text();
  options_.Include(frFindNext);
  OnFind(this);
}

void TFindDialog::ReplaceClicked(TObject*) {
  if (findEdit_ != nullptr) findText_ = findEdit_->Text();
  if (replaceEdit_ != nullptr) replaceText_ = replaceEdit_->Text();
  options_.Include(frReplace);
  if (auto* r = dynamic_cast<TReplaceDialog*>(this)) r->OnReplace(this);
}

ORV_DESCRIBE(TReplaceDialog) {
  c.Prop("ReplaceText", &TReplaceDialog::ReplaceText, &TReplaceDialog::SetReplaceText);
  c.Prop("OnReplace", &TReplaceDialog::OnReplace);
}

TReplaceDialog::TReplaceDialog(TComponent* owner) : TFindDialog(owner) {}

void TReplaceDialog::SetReplaceText(const QString& v) {
  replaceText_ = v;
  if (replaceEdit_ != nullptr) replaceEdit_->SetText(v);
}

void RegisterDialogClasses() {
  RegisterClasses({TCommonDialog::StaticClass(), TOpenDialog::StaticClass(),
                   TSaveDialog::StaticClass(), TColorDialog::StaticClass(),
                   TFontDialog::StaticClass(), TFindDialog::StaticClass(),
                   TReplaceDialog::StaticClass()});
}
