#pragma once
// The dialog service on Qt: message boxes with the flags' buttons ("Да", "Нет", "OK",
// "Отмена") and icon, the Yes/No confirmation, and the open-file dialog (Qt's own, not the
// desktop's) with filters given as "text|mask;mask|...".
//
// A dialog driver, when the application has one, is called once each dialog shows (tests
// press its buttons there); a dialog it leaves open fails after the modal time-out.
#include "dialogservice.h"

#include <functional>

class QDialog;

class TQtDialogs : public IDialogService {
 public:
  int MessageBox(const QString& text, const QString& caption, int flags) override;
  bool ConfirmYesNo(const QString& question) override;
  QStringList OpenFiles(const QString& filter, int options) override;
  // The message and query dialogs are forms of this layer, shown modally (a test's modal
  // driver answers them); file, colour and font dialogs are Qt's own, run by RunDialog.
  int MessageDialog(const TMessageDialogSpec& spec) override;
  bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
  bool FileDialog(TFileDialogSpec& spec) override;
  bool ColorDialog(qint32& color) override;
  bool FontDialog(TFontSpec& font) override;
};

// "Text files|*.txt;*.log|All|*.*" as Qt's "Text files (*.txt *.log);;All (*.*)".
QString ConvertFileFilter(const QString& filter);

using TDialogDriver = std::function<void(QDialog* dialog)>;
void SetDialogDriver(TDialogDriver driver);
// Runs a dialog modally (through the driver when there is one); answers QDialog's result.
int RunDialog(QDialog& dialog);

// Installs the Qt service when there is a display and ORV_UNATTENDED is not set.
void InstallQtDialogsWhenShown();
