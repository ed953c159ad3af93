#pragma once
// The sweep of stored scripts: every script of a source is parsed, its components created and
// read, and its code compiled and bound, the way a run would, but nothing runs: no function
// component, no form, no item parameter (their IDs must exist). What would have gone wrong is
// listed, one finding per fault, with the script and line (0-based) where it lies.
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <vector>

class TOrvApp;

namespace orvsweep {

struct TFinding {
  // compile, load, read, create, unknown class, unknown property, unknown method, missing
  // script, include cycle, native-name collision
  QString Kind;
  QString Script;
  int Line = 0;
  QString Text;
};

struct TSweepResult {
  std::vector<TFinding> Findings;
  int Scripts = 0;
  int Lines = 0;
  // One "kind<TAB>script<TAB>line<TAB>text" per finding, in the order found.
  QStringList FindingLines() const;
};

// The finer kind of a read, load or create failure, from its text.
QString Classify(const QString& kind, const QString& text);

// Sweeps the sources of the application: the system units together and each alone, then
// every other script. Boxes of the host are silenced meanwhile.
TSweepResult Sweep(TOrvApp* app);

// Times spent in the parts of a sweep's load path, in nanoseconds, summed over scripts.
struct TLoadTimes {
  qint64 Parse = 0;
  qint64 Read = 0;     // creating components and reading their text
  qint64 Compile = 0;  // compiling and binding code
};
// The load path alone over the given scripts (ID, lines), with nothing reported: what the
// benchmark repeats.
void LoadScripts(TOrvApp* app, const std::vector<std::pair<QString, QStringList>>& scripts,
                 TLoadTimes* times, std::vector<TFinding>* findings = nullptr);

}  // namespace orvsweep
