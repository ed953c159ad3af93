#pragma once
// The common dialogs and the message-dialog routines. Every modal question goes through the
// dialog service (dialogservice.h), so tests and unattended runs answer them; the Qt service
// shows real dialogs, the message and query dialogs as forms of this layer.
#include "dialogservice.h"
#include "forms.h"
#include "stdctrls.h"

#include "platform/rtl/stringlist.h"

// ---- Message dialogs and queries --------------------------------------------------------------

// A message dialog as a form, not shown: a label with the text, one button per member of
// the set (OK alone when empty), each closing the form with its modal result; Enter and
// Escape press the default and cancel buttons. The caller shows and frees it.
TForm* CreateMessageDialog(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons);
// Shows a message dialog and answers the modal result of the button pressed.
int MessageDlg(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext);
int MessageDlgPos(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext,
                  int x, int y);
void ShowMessage(const QString& msg);
void ShowMessagePos(const QString& msg, int x, int y);
// The text entered, or the default when cancelled.
QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue);
// True for OK with value the text entered; false leaves value as it was.
bool InputQuery(const QString& caption, const QString& prompt, QString& value);
// The query as a form (the Qt service shows it): a prompt, an edit line named "Value", OK
// and Cancel.
TForm* CreateInputQueryForm(const QString& caption, const QString& prompt, const QString& value);

// ---- Common dialogs -------------------------------------------------------------------------

class TCommonDialog : public TComponent {
  ORV_CLASS(TCommonDialog, TComponent)
  explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int v) { helpContext_ = v; }
  const QString& Title() const { return title_; }
  void SetTitle(const QString& v) { title_ = v; }
  virtual bool Execute() { return false; }

  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

 private:
  int helpContext_ = 0;
  QString title_;
};

class TOpenDialog : public TCommonDialog {
  ORV_CLASS(TOpenDialog, TCommonDialog)
  explicit TOpenDialog(TComponent* owner);
  ~TOpenDialog() override;
  const QString& Filter() const { return filter_; }
  void SetFilter(const QString& v) { filter_ = v; }
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int v) { filterIndex_ = v; }
  const QString& FileName() const { return fileName_; }
  void SetFileName(const QString& v) { fileName_ = v; }
  TStrings* Files() const { return files_.get(); }
  const QString& InitialDir() const { return initialDir_; }
  void SetInitialDir(const QString& v) { initialDir_ = v; }
  const QString& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const QString& v) { defaultExt_ = v; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions v) { options_ = v; }
  TStrings* HistoryList() const { return history_.get(); }
  void SetHistoryList(TStrings* v) { history_->Assign(v); }
  // Asks the service; True with FileName, Files and FilterIndex set, False changes nothing.
  bool Execute() override;

 protected:
  virtual bool IsSave() const { return false; }

 private:
  QString filter_;
  int filterIndex_ = 1;
  QString fileName_;
  std::unique_ptr<TStringList> files_;
  QString initialDir_;
  QString defaultExt_;
  TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
  std::unique_ptr<TStringList> history_;
};

class TSaveDialog : public TOpenDialog {
  ORV_CLASS(TSaveDialog, TOpenDialog)
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

 protected:
  bool IsSave() const override { return true; }
};

class TColorDialog : public TCommonDialog {
  ORV_CLASS(TColorDialog, TCommonDialog)
  explicit TColorDialog(TComponent* owner) : TCommonDialog(owner) {}
  TColor Color() const { return color_; }
  void SetColor(TColor v) { color_ = v; }
  bool Execute() override;

 private:
  TColor color_ = clBlack;
};

class TFontDialog : public TCommonDialog {
  ORV_CLASS(TFontDialog, TCommonDialog)
  explicit TFontDialog(TComponent* owner);
  ~TFontDialog() override;
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* v) { font_->Assign(v); }
  bool Execute() override;

 private:
  std::unique_ptr<TFont> font_;
};

ORV_ENUM(TFindOption, frDown, frFindNext, frHideMatchCase, frHideWholeWord, frHideUpDown,
         frMatchCase, frDisableMatchCase, frDisableUpDown, frDisableWholeWord, frReplace,
         frReplaceAll, frWholeWord, frShowHelp)
ORV_SET(TFindOptions, TFindOption)

// Non-modal: Execute shows a small form and answers True at once; "Найти далее" fires OnFind.
// Handle is 0 unless the form is shown.
class TFindDialog : public TCommonDialog {
  ORV_CLASS(TFindDialog, TCommonDialog)
  explicit TFindDialog(TComponent* owner);
  ~TFindDialog() override;
  const QString& FindText() const { return findText_; }
  void SetFindText(const QString& v);
  TFindOptions Options() const { return options_; }
  void SetOptions(TFindOptions v) { options_ = v; }
  int Left() const { return left_; }
  void SetLeft(int v);
  int Top() const { return top_; }
  void SetTop(int v);
  quint64 Handle() const;
  bool Execute() override;
  void CloseDialog();
  TForm* DialogForm() const { return form_; }
  // The form's button: takes the typed text and fires OnFind (OnReplace for replacing).
  void FindClicked(TObject* sender);
  void ReplaceClicked(TObject* sender);
  void Notification(TComponent* component, TOperation operation) override;

  TNotifyEvent OnFind;

 protected:
  virtual bool IsReplace() const { return false; }
  TEdit* findEdit_ = nullptr;
  TEdit* replaceEdit_ = nullptr;
  QString replaceText_;

 private:
  void BuildForm();
  QString findText_;
  TFindOptions options_{frDown};
  int left_ = -1;
  int top_ = -1;
  TForm* form_ = nullptr;
};

class TReplaceDialog : public TFindDialog {
  ORV_CLASS(TReplaceDialog, TFindDialog)
  explicit TReplaceDialog(TComponent* owner);
  const QString& ReplaceText() const { return replaceText_; }
  void SetReplaceText(const QString& v);

  TNotifyEvent OnReplace;

 protected:
  bool IsReplace() const override { return true; }
};

void RegisterDialogClasses();
