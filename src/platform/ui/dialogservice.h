#pragma once
// The one way the program asks the user something modal: message boxes, the Yes/No
// confirmation, message dialogs, the line-of-text query, and the file, colour and font
// dialogs. The screens install the Qt implementation; tests and unattended runs use
// THeadlessDialogs, which records every request and answers from a responder.
#include "platform/classes/typinfo.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>
#include <vector>

// Message box flags: the button set in the low nibble, the icon in the next one.
enum : int {
  mbOKOnly = 0x00,
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

// Options of the file dialogs; the service takes them as a bit mask (OpenOptionBits).
ORV_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp,
         ofNoValidate, ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist,
         ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton,
         ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify,
         ofEnableSizing, ofDontAddToRecent, ofForceShowHidden, ofViewDetail, ofAutoPreview)
ORV_SET(TOpenOptions, TOpenOption)
inline int OpenOptionBits(TOpenOptions options) { return int(options.Ord()); }

// Message dialogs: the type gives the icon and the caption, the buttons are ordinals.
ORV_ENUM(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
ORV_ENUM(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll,
         mbYesToAll, mbHelp)
ORV_SET(TMsgDlgButtons, TMsgDlgBtn)
inline constexpr int kMsgDlgButtonCount = 11;

enum class TDialogKind {
  MessageBox,
  ConfirmYesNo,
  OpenFile,
  Login,
  MessageDialog,
  InputQuery,
  SaveFile,
  Color,
  Font
};

// A message dialog as asked: the buttons in display order, the modal result of each, and
// which one Enter and Escape press.
struct TMessageDialogSpec {
  QString Text;
  QString Caption;  // empty: the caption of the type
  TMsgDlgType Type = mtInformation;
  TMsgDlgButtons Buttons;
  int HelpContext = 0;
  int X = -1, Y = -1;  // the top-left corner; -1: centred
};

// A file dialog: what it starts with, and (answered) what the user chose.
struct TFileDialogSpec {
  bool Save = false;
  QString Title;
  QString Filter;  // "text|mask;mask|..."
  int FilterIndex = 1;
  QString InitialDir;
  QString FileName;
  QString DefaultExt;
  int Options = 0;  // OpenOptionBits
  QStringList Files;
};

// Colours here are TColor values (graphics.h); kKeepColor is clNone.
inline constexpr qint32 kKeepColor = 0x1FFFFFFF;

struct TFontSpec {
  QString Name;
  int Size = 8;
  int Style = 0;  // TFontStyles bits
  qint32 Color = 0;
};

// One request as the service received it.
struct TDialogRequest {
  TDialogKind Kind = TDialogKind::MessageBox;
  QString Text;     // message, question, prompt, the file filter, or the user name of a login
  QString Caption;  // message boxes, message dialogs, queries and file dialogs
  int Flags = 0;    // box flags, file-dialog options, or a message dialog's button set
  QString Value;    // the text of a query, the file name of a file dialog
  int HelpContext = 0;
  int X = -1, Y = -1;
  int Type = 0;  // a message dialog's type
};

// The answer to one request: a button code (a modal result for message dialogs), and the
// chosen files of a file dialog (none when the user cancelled).
struct TDialogAnswer {
  int Button = idOK;
  QStringList Files;
  QString User;  // a login: the user name and password entered
  QString Password;
  QString Text;  // a query: the text entered (kept as it was when null)
  int FilterIndex = 0;
  qint32 Color = kKeepColor;  // a colour dialog: kKeepColor keeps the colour
  QString FontName;       // a font dialog: empty keeps the font
  int FontSize = 0;
};

// The modal result of a message-dialog button, its caption, and the caption of a type.
int ModalResultOfButton(TMsgDlgBtn button);
QString ButtonCaption(TMsgDlgBtn button);
QString DialogTypeCaption(TMsgDlgType type);
// The buttons a message dialog shows (OK alone for an empty set), in display order.
std::vector<TMsgDlgBtn> DialogButtons(TMsgDlgButtons buttons);
// The buttons Enter and Escape press.
TMsgDlgBtn DefaultDialogButton(TMsgDlgButtons buttons);
TMsgDlgBtn CancelDialogButton(TMsgDlgButtons buttons);

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
  // A message dialog; the modal result of the button pressed (mrYes, mrOk, ...).
  virtual int MessageDialog(const TMessageDialogSpec& spec) = 0;
  // A line of text; true for OK (value then holds the text), false with value unchanged.
  virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value) = 0;
  // An open or save dialog; true with spec.Files (and FileName, FilterIndex) set.
  virtual bool FileDialog(TFileDialogSpec& spec) = 0;
  virtual bool ColorDialog(qint32& color) = 0;
  virtual bool FontDialog(TFontSpec& font) = 0;
};

// The default button of a box: OK, or Yes when the box has Yes.
int DefaultButton(int flags);

// Answers without a user: each request is kept in Requests and answered by the responder;
// without one, boxes and message dialogs get their default button, confirmations Yes, queries
// OK with the text unchanged, file, colour and font dialogs Cancel.
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
  int MessageDialog(const TMessageDialogSpec& spec) override;
  bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
  bool FileDialog(TFileDialogSpec& spec) override;
  bool ColorDialog(qint32& color) override;
  bool FontDialog(TFontSpec& font) override;

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
