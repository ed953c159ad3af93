// The parser: classifies words as keys, sub-keys and arguments and follows PARAMFILE includes.
#include "reports/lang/orvReps_Keys.h"

#include "reports/lang/orvReps_Errs.h"
#include "reports/lang/orvReps_Lib.h"

#include <QtCore/QFileInfo>

void TRepsPars::Classify(TRepsPar& item, const QString& text) {
  if (remainingArgs_ > 0) {
    item.State = rpsArgument;
    --remainingArgs_;
    return;
  }
  int key = -1;
  for (;;) {
    const int parent = keyStack_.empty() ? -1 : keyStack_.back();
    key = FindKey(text, parent);
    if (key >= 0 || parent < 0) break;
    keyStack_.pop_back();
  }
  lastFoundKey_ = key;
  if (key < 0) {
    item.State = rpsUnknown;
    keyStack_.clear();
    remainingArgs_ = 0;
    return;
  }
  keyStack_.push_back(key);
  item.Key = key;
  remainingArgs_ = qMax<int>(KeyDefs[key].ArgCount, 0);
  const int depth = static_cast<int>(keyStack_.size());
  item.State = static_cast<qint8>(depth == 1 ? 0 : depth - 1);
}

bool TRepsPars::ParseText(const QString& fileName, const QString& sourceName, const QString& text) {
  return ParseFile(fileName, sourceName, text, !fileName.isEmpty());
}

bool TRepsPars::ParseFile(const QString& fileName, const QString& sourceName, const QString& text,
                          bool fromFile) {
  QString body = text;
  QString canonical;
  if (fromFile) {
    // An include loop or more texts than an item can tell apart is refused like a missing file.
    canonical = QFileInfo(fileName).absoluteFilePath();
    if (Files.Count() >= MaxFiles || includeChain_.contains(canonical)) return false;
    if (!orvReps_Lib::LoadFileToStr(body, fileName)) return false;
  } else if (Files.Count() >= MaxFiles) {
    return false;
  }
  const int fileIndex = Files.Count();
  TRepsFile& file = Files.AddFile(fromFile ? fileName : sourceName);
  file.Text = body;
  if (body.isEmpty()) return true;

  keyStack_.clear();
  remainingArgs_ = 0;
  lastFoundKey_ = -1;
  if (fromFile) includeChain_.append(canonical);
  struct ChainPop {
    QStringList& chain;
    bool active;
    ~ChainPop() {
      if (active) chain.removeLast();
    }
  } chainPop{includeChain_, fromFile};

  const QString& src = Files.Item(fileIndex).Text;
  int pos = 0;
  Token tok;
  while (NextToken(src, pos, tok)) {
    TRepsPar item;
    item.FileIndex = static_cast<quint8>(fileIndex);
    item.Start = tok.start;
    item.End = tok.end;
    item.HasEscapes = tok.escapes;
    item.HasVars = tok.vars;
    item.Quoted = tok.quoted;
    Classify(item, TokenText(fileIndex, tok));
    items_.push_back(item);
    if (item.State != rpsKey || item.Key != keyParamFile) continue;

    Token nameTok;
    if (!NextToken(src, pos, nameTok)) return true;  // a PARAMFILE without a name does nothing
    items_.pop_back();
    const QString name = src.mid(nameTok.start - 1, nameTok.end - nameTok.start + 1);
    const int errsBefore = Errs.Count();
    if (!ParseFile(name, QString(), QString(), true)) {
      // A failure deeper down has already named its own file.
      if (Errs.Count() == errsBefore)
        Errs.AddErr(Count(), recNoFile, FormatRepsErr(recNoFile, {name}));
      return false;
    }
  }
  return true;
}

bool orvReps_Keys::ParseReps(const QString& text, std::unique_ptr<TRepsPars>& pars,
                             const QString& sourceName) {
  if (!pars)
    pars = std::make_unique<TRepsPars>();
  else
    pars->Errs.Clear();
  return pars->ParseText(QString(), sourceName, text);
}
