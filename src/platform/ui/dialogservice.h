#pragma once
// The one way the program asks the user something modal: message boxes, the Yes/No
// confirmation and the open-file dialog. The screens install the Qt implementation; tests and
// unattended runs use THeadlessDialogs, which records every request and answers from a
// responder.
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>
#include <vector>

// Message box flags: the button set in the low nibble, the icon in the next one.
enum : int {
  mbOK = 0x00,
  mbOKCancel = 0x01,
  mbYesNoCancel = 0x03,
  mbYesNo = 0x04,
  mbIconError = 0x10,
  mbIconQuestion = 0x20,
  mbIconExclamation = 0x30,
  mbIconInformation = 0x40,
};

// The codes of the pressed button.
enum : int { idOK = 1, idCancel = 2, idYes = 6, idNo = 7 };

// Options of the open-file dialog.
enum : int {
  ofHideReadOnly = 0x01,
  ofAllowMultiSelect = 0x02,
  ofEnableSizing = 0x04,
};

enum class TDialogKind { MessageBox, ConfirmYesNo, OpenFile, Login };

// One request as the service received it.
struct TDialogRequest {
  TDialogKind Kind = TDialogKind::MessageBox;
  QString Text;     // message, question, the file filter, or the user name of a login
  QString Caption;  // message boxes only
  int Flags = 0;    // box flags or file-dialog options
};

// The answer to one request: a button code, and the chosen files of a file dialog (none when
// the user cancelled).
struct TDialogAnswer {
  int Button = idOK;
  QStringList Files;
  QString User;  // a login: the user name and password entered
  QString Password;
};

class IDialogService {
 public:
  virtual ~IDialogService() = default;
  // A modal box with the caption (an empty one: the application's title), the text and the buttons and icon of flags; the code of the
  // button pressed (idOK, idCancel, idYes, idNo).
  virtual int MessageBox(const QString& text, const QString& caption, int flags) = 0;
  // The platform's confirmation dialog with Yes and No; true for Yes.
  virtual bool ConfirmYesNo(const QString& question) = 0;
  // An open-file dialog; the chosen files, none when cancelled.
  virtual QStringList OpenFiles(const QString& filter, int options) = 0;
  // The login dialog of a database connection, user name filled in; false when cancelled.
  // A service without a login dialog cancels.
  virtual bool Login(const QString& caption, QString& user, QString& password) {
    (void)caption;
    (void)user;
    (void)password;
    return false;
  }
};

// The default button of a box: OK, or Yes when the box has Yes.
int DefaultButton(int flags);

// Answers without a user: each request is kept in Requests and answered by the responder;
// without one, boxes get their default button, confirmations Yes, file dialogs nothing.
class THeadlessDialogs : public IDialogService {
 public:
  using TResponder = std::function<TDialogAnswer(const TDialogRequest&)>;

  explicit THeadlessDialogs(TResponder responder = nullptr) : responder_(std::move(responder)) {}
  void SetResponder(TResponder responder) { responder_ = std::move(responder); }

  int MessageBox(const QString& text, const QString& caption, int flags) override;
  bool ConfirmYesNo(const QString& question) override;
  QStringList OpenFiles(const QString& filter, int options) override;
  // Without a responder a login is cancelled.
  bool Login(const QString& caption, QString& user, QString& password) override;

  // Every request received, oldest first, while Record is on.
  std::vector<TDialogRequest> Requests;
  bool Record = true;

 private:
  TDialogAnswer Answer(const TDialogRequest& request);
  TResponder responder_;
};

// The installed service; a headless one until the screens install theirs.
IDialogService& DialogService();
// Installs a service (nullptr restores the headless default). The caller keeps ownership.
void SetDialogService(IDialogService* service);

// Installs a service for the lifetime of the scope and restores the previous one afterwards.
class TDialogServiceScope {
 public:
  explicit TDialogServiceScope(IDialogService* service);
  ~TDialogServiceScope();
  TDialogServiceScope(const TDialogServiceScope&) = delete;
  TDialogServiceScope& operator=(const TDialogServiceScope&) = delete;

 private:
  IDialogService* previous_;
};
