#include "qtdialogs.h"

#include "dialogs.h"
#include "forms.h"
#include "stdctrls.h"

#include "platform/rtl/scopeexit.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QEventLoop>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <QtWidgets/QColorDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QFontDialog>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

namespace {
TDialogDriver& Driver() {
  static TDialogDriver driver;
  return driver;
}
}  // namespace

void SetDialogDriver(TDialogDriver driver) { Driver() = std::move(driver); }

int RunDialog(QDialog& dialog) {
  if (!Driver()) return dialog.exec();
  dialog.setModal(true);
  dialog.open();
  const TDialogDriver driver = Driver();
  driver(&dialog);
  QElapsedTimer clock;
  clock.start();
  const int timeout = Application != nullptr ? Application->ModalTimeoutMs : 5000;
  while (dialog.isVisible()) {
    if (clock.elapsed() > timeout) {
      dialog.reject();
      throw EInvalidOperation(QStringLiteral("Dialog \"%1\" was left open by the dialog driver")
                                  .arg(dialog.windowTitle()));
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return dialog.result();
}

int TQtDialogs::MessageBox(const QString& text, const QString& caption, int flags) {
  QMessageBox box;
  box.setWindowTitle(!caption.isEmpty()       ? caption
                     : Application != nullptr ? Application->Title()
                                              : QString());
  box.setText(text);
  switch (flags & 0xF0) {
    case mbIconError: box.setIcon(QMessageBox::Critical); break;
    case mbIconQuestion: box.setIcon(QMessageBox::Question); break;
    case mbIconExclamation: box.setIcon(QMessageBox::Warning); break;
    case mbIconInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  struct TButton {
    const char* text;
    int id;
    QMessageBox::ButtonRole role;
  };
  std::vector<TButton> buttons;
  switch (flags & 0x0F) {
    case mbOKCancel:
      buttons = {{"OK", idOK, QMessageBox::AcceptRole},
                 {"Отмена", idCancel, QMessageBox::RejectRole}};
      break;
    case mbYesNoCancel:
      buttons = {{"Да", idYes, QMessageBox::YesRole},
                 {"Нет", idNo, QMessageBox::NoRole},
                 {"Отмена", idCancel, QMessageBox::RejectRole}};
      break;
    case mbYesNo:
      buttons = {{"Да", idYes, QMessageBox::YesRole}, {"Нет", idNo, QMessageBox::NoRole}};
      break;
    default: buttons = {{"OK", idOK, QMessageBox::AcceptRole}}; break;
  }
  std::vector<std::pair<QAbstractButton*, int>> ids;
  for (const TButton& b : buttons) {
    QPushButton* pb = box.addButton(QString::fromUtf8(b.text), b.role);
    ids.emplace_back(pb, b.id);
    if (b.id == DefaultButton(flags)) box.setDefaultButton(pb);
  }
  box.setEscapeButton(ids.back().first);
  RunDialog(box);
  QAbstractButton* clicked = box.clickedButton();
  for (const auto& [button, id] : ids) {
    if (button == clicked) return id;
  }
  // Closed without a button: the escape answer (Cancel, or No, or OK).
  return ids.back().second;
}

bool TQtDialogs::ConfirmYesNo(const QString& question) {
  return MessageBox(question, QString(), mbYesNo | mbIconQuestion) == idYes;
}

QString ConvertFileFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QStringList masks = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& m : masks) m = m.trimmed();
    out << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), masks.join(QLatin1Char(' ')));
  }
  if (out.isEmpty() && !filter.trimmed().isEmpty()) out << filter.trimmed();
  return out.join(QStringLiteral(";;"));
}

QStringList TQtDialogs::OpenFiles(const QString& filter, int options) {
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode((options & OpenOptionBits({ofAllowMultiSelect})) ? QFileDialog::ExistingFiles
                                                                      : QFileDialog::ExistingFile);
  const QString qtFilter = ConvertFileFilter(filter);
  if (!qtFilter.isEmpty()) dialog.setNameFilter(qtFilter);
  if (RunDialog(dialog) != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

int TQtDialogs::MessageDialog(const TMessageDialogSpec& spec) {
  TForm* f = CreateMessageDialog(spec.Text, spec.Type, spec.Buttons);
  ScopeExit done([f] { f->Free(); });
  if (!spec.Caption.isEmpty()) f->SetCaption(spec.Caption);
  f->SetHelpContext(spec.HelpContext);
  if (spec.X >= 0 && spec.Y >= 0) {
    f->SetPosition(poDesigned);
    f->SetLeft(spec.X);
    f->SetTop(spec.Y);
  }
  return f->ShowModal();
}

bool TQtDialogs::InputQuery(const QString& caption, const QString& prompt, QString& value) {
  TForm* f = CreateInputQueryForm(caption, prompt, value);
  ScopeExit done([f] { f->Free(); });
  if (f->ShowModal() != mrOk) return false;
  value = static_cast<TEdit*>(f->FindComponent(QStringLiteral("Value")))->Text();
  return true;
}

bool TQtDialogs::FileDialog(TFileDialogSpec& spec) {
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(spec.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (!spec.Save)
    dialog.setFileMode((spec.Options & OpenOptionBits({ofAllowMultiSelect}))
                           ? QFileDialog::ExistingFiles
                           : QFileDialog::ExistingFile);
  if (!spec.Title.isEmpty()) dialog.setWindowTitle(spec.Title);
  if (!spec.InitialDir.isEmpty()) dialog.setDirectory(spec.InitialDir);
  if (!spec.DefaultExt.isEmpty()) dialog.setDefaultSuffix(spec.DefaultExt);
  const QString qtFilter = ConvertFileFilter(spec.Filter);
  const QStringList filters = qtFilter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(std::max(0, spec.FilterIndex - 1)));
  }
  if (!spec.FileName.isEmpty()) dialog.selectFile(spec.FileName);
  if (RunDialog(dialog) != QDialog::Accepted) return false;
  spec.Files = dialog.selectedFiles();
  if (spec.Files.isEmpty()) return false;
  spec.FileName = spec.Files.front();
  const int index = int(filters.indexOf(dialog.selectedNameFilter()));
  if (index >= 0) spec.FilterIndex = index + 1;
  return true;
}

bool TQtDialogs::ColorDialog(qint32& color) {
  QColorDialog dialog(ToQColor(color));
  dialog.setOption(QColorDialog::DontUseNativeDialog, true);
  if (RunDialog(dialog) != QDialog::Accepted) return false;
  color = FromQColor(dialog.selectedColor());
  return true;
}

bool TQtDialogs::FontDialog(TFontSpec& spec) {
  TFont font;
  font.SetName(spec.Name);
  font.SetSize(spec.Size);
  font.SetStyle(TFontStyles::FromOrd(quint64(spec.Style)));
  QFontDialog dialog(font.ToQFont());
  dialog.setOption(QFontDialog::DontUseNativeDialog, true);
  if (RunDialog(dialog) != QDialog::Accepted) return false;
  const QFont chosen = dialog.selectedFont();
  spec.Name = chosen.family();
  spec.Size = chosen.pointSize() > 0 ? chosen.pointSize() : spec.Size;
  TFontStyles style;
  if (chosen.bold()) style.Include(fsBold);
  if (chosen.italic()) style.Include(fsItalic);
  if (chosen.underline()) style.Include(fsUnderline);
  if (chosen.strikeOut()) style.Include(fsStrikeOut);
  spec.Style = int(style.Ord());
  return true;
}

void InstallQtDialogsWhenShown() {
  if (QGuiApplication::instance() == nullptr || !qEnvironmentVariableIsEmpty("ORV_UNATTENDED"))
    return;
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
  static TQtDialogs dialogs;
  SetDialogService(&dialogs);
}
