#include "dialogservice.h"

namespace {

IDialogService* gService = nullptr;

THeadlessDialogs& HeadlessDefault() {
  static THeadlessDialogs headless = [] {
    THeadlessDialogs h;
    h.Record = false;  // an unattended run keeps nothing
    return h;
  }();
  return headless;
}

}  // namespace

int ModalResultOfButton(TMsgDlgBtn button) {
  static const int results[kMsgDlgButtonCount] = {6, 7, 1, 2, 3, 4, 5, 8, 9, 10, 0};
  return results[button];
}

QString ButtonCaption(TMsgDlgBtn button) {
  static const char* const captions[kMsgDlgButtonCount] = {
      "Да",         "Нет", "OK",           "Отмена",      "Прервать", "Повторить",
      "Пропустить", "Все", "Нет для всех", "Да для всех", "Справка"};
  return QString::fromUtf8(captions[button]);
}

QString DialogTypeCaption(TMsgDlgType type) {
  static const char* const captions[] = {"Предупреждение", "Ошибка", "Информация", "Подтверждение"};
  if (type == mtCustom) return QString();  // the application's title
  return QString::fromUtf8(captions[type]);
}

std::vector<TMsgDlgBtn> DialogButtons(TMsgDlgButtons buttons) {
  std::vector<TMsgDlgBtn> list;
  for (int i = 0; i < kMsgDlgButtonCount; ++i)
    if (buttons.Contains(TMsgDlgBtn(i))) list.push_back(TMsgDlgBtn(i));
  if (list.empty()) list.push_back(mbOK);
  return list;
}

TMsgDlgBtn DefaultDialogButton(TMsgDlgButtons buttons) {
  for (TMsgDlgBtn b : {mbOK, mbYes, mbRetry, mbAbort, mbIgnore, mbAll, mbCancel, mbNo})
    if (buttons.Contains(b)) return b;
  return DialogButtons(buttons).front();
}

TMsgDlgBtn CancelDialogButton(TMsgDlgButtons buttons) {
  for (TMsgDlgBtn b : {mbCancel, mbNo, mbAbort, mbIgnore})
    if (buttons.Contains(b)) return b;
  return DefaultDialogButton(buttons);
}

int DefaultButton(int flags) {
  switch (flags & 0x0F) {
    case mbYesNo:
    case mbYesNoCancel: return idYes;
    default: return idOK;
  }
}

TDialogAnswer THeadlessDialogs::Answer(const TDialogRequest& request) {
  if (Record) Requests.push_back(request);
  if (responder_) return responder_(request);
  TDialogAnswer answer;
  switch (request.Kind) {
    case TDialogKind::MessageBox: answer.Button = DefaultButton(request.Flags); break;
    case TDialogKind::ConfirmYesNo: answer.Button = idYes; break;
    case TDialogKind::OpenFile:
    case TDialogKind::SaveFile:
    case TDialogKind::Color:
    case TDialogKind::Font:
    case TDialogKind::Login: answer.Button = idCancel; break;
    case TDialogKind::MessageDialog:
      answer.Button =
          ModalResultOfButton(DefaultDialogButton(TMsgDlgButtons::FromOrd(quint64(request.Flags))));
      break;
    case TDialogKind::InputQuery: answer.Button = idOK; break;
  }
  return answer;
}

int THeadlessDialogs::MessageBox(const QString& text, const QString& caption, int flags) {
  return Answer({TDialogKind::MessageBox, text, caption, flags}).Button;
}

bool THeadlessDialogs::ConfirmYesNo(const QString& question) {
  return Answer({TDialogKind::ConfirmYesNo, question, QString(), mbYesNo}).Button == idYes;
}

QStringList THeadlessDialogs::OpenFiles(const QString& filter, int options) {
  return Answer({TDialogKind::OpenFile, filter, QString(), options}).Files;
}

bool THeadlessDialogs::Login(const QString& caption, QString& user, QString& password) {
  const TDialogAnswer a = Answer({TDialogKind::Login, user, caption, mbOKCancel});
  if (a.Button != idOK) return false;
  if (!a.User.isEmpty()) user = a.User;
  password = a.Password;
  return true;
}

int THeadlessDialogs::MessageDialog(const TMessageDialogSpec& spec) {
  TDialogRequest r{TDialogKind::MessageDialog, spec.Text, spec.Caption, int(spec.Buttons.Ord())};
  r.HelpContext = spec.HelpContext;
  r.X = spec.X;
  r.Y = spec.Y;
  r.Type = spec.Type;
  return Answer(r).Button;
}

bool THeadlessDialogs::InputQuery(const QString& caption, const QString& prompt, QString& value) {
  TDialogRequest r{TDialogKind::InputQuery, prompt, caption, mbOKCancel};
  r.Value = value;
  const TDialogAnswer a = Answer(r);
  if (a.Button != idOK) return false;
  if (!a.Text.isNull()) value = a.Text;
  return true;
}

bool THeadlessDialogs::FileDialog(TFileDialogSpec& spec) {
  TDialogRequest r{spec.Save ? TDialogKind::SaveFile : TDialogKind::OpenFile, spec.Filter,
                   spec.Title, spec.Options};
  r.Value = spec.FileName;
  const TDialogAnswer a = Answer(r);
  if (a.Button == idCancel || a.Files.isEmpty()) return false;
  spec.Files = a.Files;
  spec.FileName = a.Files.front();
  if (a.FilterIndex > 0) spec.FilterIndex = a.FilterIndex;
  return true;
}

bool THeadlessDialogs::ColorDialog(qint32& color) {
  TDialogRequest r{TDialogKind::Color, QString(), QString(), 0};
  r.Value = QString::number(color);
  const TDialogAnswer a = Answer(r);
  if (a.Button == idCancel) return false;
  if (a.Color != kKeepColor) color = a.Color;
  return true;
}

bool THeadlessDialogs::FontDialog(TFontSpec& font) {
  TDialogRequest r{TDialogKind::Font, QString(), QString(), 0};
  r.Value = font.Name;
  const TDialogAnswer a = Answer(r);
  if (a.Button == idCancel) return false;
  if (!a.FontName.isEmpty()) font.Name = a.FontName;
  if (a.FontSize > 0) font.Size = a.FontSize;
  return true;
}

IDialogService& DialogService() { return gService != nullptr ? *gService : HeadlessDefault(); }

void SetDialogService(IDialogService* service) { gService = service; }

TDialogServiceScope::TDialogServiceScope(IDialogService* service) : previous_(gService) {
  gService = service;
}

TDialogServiceScope::~TDialogServiceScope() { gService = previous_; }
