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
    case TDialogKind::Login: answer.Button = idCancel; break;
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

IDialogService& DialogService() { return gService != nullptr ? *gService : HeadlessDefault(); }

void SetDialogService(IDialogService* service) { gService = service; }

TDialogServiceScope::TDialogServiceScope(IDialogService* service) : previous_(gService) {
  gService = service;
}

TDialogServiceScope::~TDialogServiceScope() { gService = previous_; }
