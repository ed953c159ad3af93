// File keys: write texts and variables to files, delete and copy files by masks. The folder
// keys report through LastErrText and never stop the run.
#include "platform/rtl/fileutils.h"
#include "reports/lang/orvReps_KeyBinding.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_RunKeys.h"
#include "reports/run/orvReps_KeyArgs_p.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

namespace {

using orvReps_KeyArgs::Arg;

constexpr int NamedCopyFailures = 3;

// Environment names expanded; both "/" and "\\" separate folders.
QString Expanded(QString s) {
  orvReps_Lib::ExpandEnvVars(s);
  return s.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

void SetLastErr(TRepsRun& run, const QString& text) {
  run.Pars->Defs.SetDef(QStringLiteral("LastErrText"), text, dkSystem, true);
}

// Splits at the first "|": the head, and the trimmed tail or "" when there is no bar.
std::pair<QString, QString> AtBar(const QString& s) {
  const int bar = s.indexOf(QLatin1Char('|'));
  if (bar < 0) return {s, QString()};
  return {s.left(bar), s.mid(bar + 1).trimmed()};
}

void KeySaveToFile(TRepsRun& run) {
  const QString name = Arg(run);
  orvReps_Lib::SaveStrToFile(name, Arg(run));
}

void KeySaveVarToFile(TRepsRun& run) {
  const QString name = Arg(run);
  QString var;
  run.NextRawArg(var);
  const TDef* def = run.Pars->Defs.FindDef(var);
  orvReps_Lib::SaveStrToFile(name, def ? def->Value : QString());
}

void KeyDeleteFiles(TRepsRun& run) {
  const auto [rawFolder, word] = AtBar(Arg(run));
  const QString folder = Expanded(rawFolder);
  const auto [fileMask, folderMask] = AtBar(Arg(run));
  const bool removeFolder = orvReps_Lib::UpperCase(word) == QLatin1String("DEL");
  bool ok = true;
  if (DirectoryExists(folder))
    ok = orvReps_Lib::DeleteFiles(folder, fileMask, folderMask, removeFolder);
  SetLastErr(run, ok ? QString() : QStringLiteral("Были удалены не все файлы или каталоги"));
}

void KeyCopyFiles(TRepsRun& run) {
  SetLastErr(run, QString());
  const QString source = Expanded(Arg(run));
  const QString target = Expanded(Arg(run));
  if (source.isEmpty() || target.isEmpty()) return;
  const QString from = IncludeTrailingPathDelimiter(ExtractFilePath(source));
  const QString to = IncludeTrailingPathDelimiter(target);
  if (!DirectoryExists(from) || !DirectoryExists(to)) {
    SetLastErr(run,
               QStringLiteral("Ошибка копирования. Заданы не существующие исходные или конечные "
                              "каталоги."));
    return;
  }
  const QString mask = ExtractFileName(source);
  QString failedNames;
  int failed = 0;
  const QStringList names =
      QDir(from).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
  for (const QString& name : names) {
    if (!MatchesMask(name, mask)) continue;
    const QString dest = to + name;
    if (QFileInfo(dest).isFile()) QFile::remove(dest);
    if (QFile::copy(from + name, dest)) continue;
    ++failed;
    if (failed <= NamedCopyFailures)
      failedNames += QStringLiteral("\r\nфайл: ") + name;
    else if (failed == NamedCopyFailures + 1)
      failedNames += QStringLiteral("\r\n...");
  }
  if (failed > 0)
    SetLastErr(run, QStringLiteral("Некоторые файлы скопировались некорректно. Количество таких "
                                   "файлов: %1.%2")
                        .arg(failed)
                        .arg(failedNames));
}

const TKeyBinding kBindings[] = {
    {"SAVETOFILE", KeySaveToFile, nullptr},
    {"SAVEVARTOFILE", KeySaveVarToFile, nullptr},
    {"DELETEFILES", KeyDeleteFiles, nullptr},
    {"COPYFILES", KeyCopyFiles, nullptr},
};

}  // namespace

namespace orvReps_KeyProcs {

std::span<const TKeyBinding> FileBindings() { return kBindings; }

}  // namespace orvReps_KeyProcs
