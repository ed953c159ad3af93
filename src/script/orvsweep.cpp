#include "script/orvsweep.h"

#include "platform/ui/dialogservice.h"
#include "core/orvenv.h"
#include "core/orvmsg.h"
#include "platform/classes/classregistry.h"
#include "script/lib/orvopf.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"
#include "script/orvlib99.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QRegularExpression>

namespace {

// The host's own sinks go to the sweep while it runs, and back afterwards.
class TSilence {
 public:
  explicit TSilence(orvsweep::TSweepResult& result) : dialogs_(), scope_(&dialogs_) {
    dialogs_.Record = false;
    TOrvCustomScript::SetFindingSink(
        [&result](const QString& kind, const QString& id, int line, const QString& text) {
          result.Findings.push_back({orvsweep::Classify(kind, text), id, line, text});
        });
    orvcodeh::SetMessageSink([&result](orvcodeh::TBoxKind, const QString& text) {
      const orvcodes::THostState& state = orvcodes::HostState();
      result.Findings.push_back(
          {QStringLiteral("unknown method"), state.CurrentScript, state.CurrentLine, text});
    });
  }
  ~TSilence() {
    TOrvCustomScript::SetFindingSink(nullptr);
    orvmsg::ConnectScriptBoxes();
  }

 private:
  THeadlessDialogs dialogs_;
  TDialogServiceScope scope_;
};

// "Syntax error in  (N): ...": N, 0 without it.
int CompileLine(const QString& text) {
  static const QRegularExpression line(QStringLiteral("^Syntax error in .*?\\((\\d+)\\)"));
  const QRegularExpressionMatch m = line.match(text);
  return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QString OneLine(QString text) {
  text.replace(QLatin1String("\r\n"), QLatin1String(" "));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  text.replace(QLatin1Char('\r'), QLatin1Char(' '));
  return text;
}

struct TUnit {
  QString Id;
  QStringList Lines;
  int First = 0;  // its first line in the text of all units (1-based)
};

QString CollisionKind(const QString& text) {
  return text.contains(QStringLiteral("Такой метод уже определен"))
             ? QStringLiteral("native-name collision")
             : QStringLiteral("compile");
}

// A unit compiled in an environment of its own: the registry and library as at start-up.
QString CompileAlone(const TUnit& unit) {
  TRootEnvScope scope;
  TRootCls* root = orvcodeh::CreateRegistry();
  orvcode2::InstallCompiler(root);
  orvopf::RegisterRuntimeLibrary();
  const QString error =
      root->Compile(unit.Lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n end."));
  root->Free();
  return error;
}

}  // namespace

QStringList orvsweep::TSweepResult::FindingLines() const {
  QStringList out;
  for (const TFinding& f : Findings)
    out << f.Kind + QLatin1Char('\t') + f.Script + QLatin1Char('\t') + QString::number(f.Line) +
               QLatin1Char('\t') + OneLine(f.Text);
  return out;
}

QString orvsweep::Classify(const QString& kind, const QString& text) {
  if (kind != QLatin1String("read") && kind != QLatin1String("load") &&
      kind != QLatin1String("create"))
    return kind;
  static const QRegularExpression unknownClass(QStringLiteral("Class \\S+ not found"));
  if (text.contains(unknownClass) || text.contains(QLatin1String("\"CreateComponent\"")))
    return QStringLiteral("unknown class");
  if (text.contains(QLatin1String("Unknown property"))) return QStringLiteral("unknown property");
  static const QRegularExpression unknownMethod(QStringLiteral("Method \".*\" not found"));
  if (text.contains(unknownMethod)) return QStringLiteral("unknown method");
  return kind;
}

orvsweep::TSweepResult orvsweep::Sweep(TOrvApp* app) {
  TSweepResult result;
  TSilence silence(result);

  // The system units, in the order the application compiles them.
  std::vector<TUnit> units;
  std::vector<std::pair<QString, QStringList>> scripts;
  int line = 1;
  for (int i = 0; i < app->SourceCount(); ++i) {
    TScriptDataSet* source = app->Source(i);
    source->Load();
    for (const auto& [key, entry] : source->Cache()) {
      result.Scripts++;
      result.Lines += int(entry.Lines.size());
      if (!entry.LoadError.isEmpty())
        result.Findings.push_back({QStringLiteral("load"), entry.Id, 0, entry.LoadError});
      if (entry.Id.startsWith(QLatin1Char(':'))) {
        units.push_back({entry.Id, entry.Lines, line});
        line += int(entry.Lines.size());
      } else {
        scripts.emplace_back(entry.Id, entry.Lines);
      }
    }
  }
  bool togetherFailed = false;
  QString togetherUnit;
  int togetherLine = -1;
  if (!units.empty()) {
    IClsRoot* reg = orvcls::RootEnv().ClsRoot;
    const QString error = reg != nullptr ? reg->Compile(app->SystemUnitsText()) : QString();
    if (!error.isEmpty()) {
      togetherFailed = true;
      const int at = CompileLine(error);
      const TUnit* in = &units.front();
      for (const TUnit& u : units)
        if (at >= u.First) in = &u;
      togetherUnit = in->Id;
      togetherLine = qMax(0, at - in->First);
      result.Findings.push_back({CollisionKind(error), togetherUnit, togetherLine, error});
    }
    for (const TUnit& u : units) {
      const QString alone = CompileAlone(u);
      if (alone.isEmpty()) continue;
      const int at = qMax(0, CompileLine(alone) - 1);
      if (u.Id == togetherUnit && at == togetherLine) continue;  // found together already
      const QString kind = CollisionKind(alone);
      // Alone, a unit misses what the others declare: only what cannot be that counts.
      if (kind == QLatin1String("compile") && !togetherFailed) continue;
      result.Findings.push_back({kind, u.Id, at, alone});
    }
    // A script class named like a native one hides the native class from scripts.
    if (TRootCls* root = orvcodeh::Registry()) {
      for (TCls* cls : root->TableClasses()) {
        if (cls->NativeClass != nullptr || orvcodeh::As<TSiteInstanceCls>(cls) != nullptr) continue;
        if (GetClass(cls->Name()) == nullptr) continue;
        const QRegularExpression decl(
            QStringLiteral("\\b%1\\s*=\\s*class\\b").arg(QRegularExpression::escape(cls->Name())),
            QRegularExpression::CaseInsensitiveOption);
        for (const TUnit& u : units) {
          for (int k = 0; k < u.Lines.size(); ++k) {
            if (!u.Lines.at(k).contains(decl)) continue;
            result.Findings.push_back(
                {QStringLiteral("native-name collision"), u.Id, k,
                 QStringLiteral("Класс скрипта закрывает класс программы: ") + cls->Name()});
          }
        }
      }
    }
  }
  LoadScripts(app, scripts, nullptr, &result.Findings);
  return result;
}

void orvsweep::LoadScripts(TOrvApp* app,
                           const std::vector<std::pair<QString, QStringList>>& scripts,
                           TLoadTimes* times, std::vector<TFinding>* findings) {
  for (const auto& [id, lines] : scripts) {
    auto* owner = new TComponent(nullptr);
    try {
      TOrvScript script(app, id);
      script.NoRun = true;
      script.Lenient = times == nullptr;
      orvcodes::THostTimes parts;
      script.Times = times != nullptr ? &parts : nullptr;
      QElapsedTimer clock;
      clock.start();
      script.LoadLines(lines);
      const qint64 parsed = clock.nsecsElapsed();
      clock.restart();
      script.Execute(owner, nullptr);
      const qint64 executed = clock.nsecsElapsed();
      if (times != nullptr) {
        times->Parse += parsed + parts.Parse;
        times->Compile += parts.Compile;
        times->Read += executed - parts.Parse - parts.Compile;
      }
    } catch (const std::exception& e) {
      // Nothing the host lets through should stop the sweep: it is a finding of its own.
      const orvcodes::THostState& state = orvcodes::HostState();
      if (findings != nullptr)
        findings->push_back(
            {QStringLiteral("load"), id, state.CurrentLine, QString::fromUtf8(e.what())});
    }
    owner->Free();
  }
}
