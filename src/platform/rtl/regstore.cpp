#include "regstore.h"

#include "fileutils.h"
#include "streams.h"
#include "stringfuncs.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QMutex>
#include <QtCore/QStringDecoder>

#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// The file, UTF-8 text, one item per line:
//
//   # orv registry 1
//   key "HKEY_CURRENT_USER\Software\Kestrand\Kestrand\DEFAULT"
//   value "Name" sz "text"
//   value "Path" expand "%TEMP%\x"
//   value "Count" dword 16
//   value "Big" qword -5
//   value "Bytes" binary hex:0102ff
//   value "Lines" multi "one" "two"
//   value "Other" type5 hex:00
//
// A key line names a key by its full path; the value lines after it are its values, in
// their order. Quoted texts escape "%", '"' and control characters as %XX. Lines starting
// with "#" and blank lines are ignored; any other line that does not read is damage.

namespace regstore {
namespace {

struct Key {
  QString name;
  QString folded;  // NameKey(name)
  std::vector<Value> values;
  std::vector<std::unique_ptr<Key>> subkeys;

  Key() = default;
  Key(Key&&) = default;
  Key& operator=(Key&& other) {
    Key old(std::move(*this));  // freed by the loop below, however deep
    name = std::move(other.name);
    folded = std::move(other.folded);
    values = std::move(other.values);
    subkeys = std::move(other.subkeys);
    return *this;
  }
  // Keys can nest as deep as a caller asks: free them with a work list, not by recursion.
  ~Key() {
    std::vector<std::unique_ptr<Key>> pending = std::move(subkeys);
    while (!pending.empty()) {
      std::unique_ptr<Key> k = std::move(pending.back());
      pending.pop_back();
      for (auto& sub : k->subkeys) pending.push_back(std::move(sub));
      k->subkeys.clear();
    }
  }

  Key* Sub(const QString& subName) const {
    const QString f = NameKey(subName);
    for (const auto& k : subkeys) {
      if (k->folded == f) return k.get();
    }
    return nullptr;
  }
  Key* AddSub(const QString& subName) {
    if (Key* k = Sub(subName)) return k;
    auto k = std::make_unique<Key>();
    k->name = subName;
    k->folded = NameKey(subName);
    subkeys.push_back(std::move(k));
    return subkeys.back().get();
  }
  Value* FindValue(const QString& valueName) {
    for (Value& v : values) {
      if (AnsiSameText(v.name, valueName)) return &v;
    }
    return nullptr;
  }
};

struct State {
  QString fileName;
  bool loaded = false;
  bool exists = false;
  struct stat identity {};
  Key top;             // its subkeys are the roots
  QString readError;   // the file exists but cannot be read
  QByteArray damaged;  // the bytes of a damaged file, until they are saved aside
};

QMutex& Lock() {
  static QMutex lock;
  return lock;
}

State& StateFor(const QString& fileName) {
  static State* state = new State;  // never destroyed: other statics may use the store
  if (state->fileName != fileName) {
    *state = State();
    state->fileName = fileName;
  }
  return *state;
}

// ---- text of the file ----

QString Quote(const QString& s) {
  QString r;
  r.reserve(s.size() + 2);
  r += QLatin1Char('"');
  for (QChar c : s) {
    const ushort u = c.unicode();
    if (u < 0x20 || u == 0x7F || c == QLatin1Char('%') || c == QLatin1Char('"')) {
      r += QStringLiteral("%%1").arg(u, 2, 16, QLatin1Char('0')).toUpper();
    } else {
      r += c;
    }
  }
  r += QLatin1Char('"');
  return r;
}

enum class Tok { End, Word, Quoted, Bad };

bool IsHexDigit(QChar c) {
  return c.isDigit() || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'));
}

// Reads one token at pos: a quoted text (unescaped) or a bare word.
Tok Token(const QString& line, qsizetype& pos, QString& token) {
  while (pos < line.size() && line[pos] == QLatin1Char(' ')) ++pos;
  if (pos >= line.size()) return Tok::End;
  token.clear();
  if (line[pos] != QLatin1Char('"')) {
    while (pos < line.size() && line[pos] != QLatin1Char(' ')) token += line[pos++];
    return Tok::Word;
  }
  ++pos;
  while (pos < line.size() && line[pos] != QLatin1Char('"')) {
    if (line[pos] == QLatin1Char('%')) {
      if (pos + 2 >= line.size() || !IsHexDigit(line[pos + 1]) || !IsHexDigit(line[pos + 2]))
        return Tok::Bad;
      token += QChar(line.mid(pos + 1, 2).toUShort(nullptr, 16));
      pos += 3;
    } else {
      token += line[pos++];
    }
  }
  if (pos >= line.size()) return Tok::Bad;  // no closing quote
  ++pos;
  return Tok::Quoted;
}

bool ParseHex(const QString& word, QByteArray& bytes) {
  if (!word.startsWith(QLatin1String("hex:"))) return false;
  const QString digits = word.mid(4);
  if (digits.size() % 2 != 0) return false;
  bytes = QByteArray::fromHex(digits.toLatin1());
  return bytes.size() * 2 == digits.size();
}

// The roots always exist, whether or not the file names them.
void AddRoots(Key& top) {
  for (const char* root : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                           "HKEY_USERS", "HKEY_CURRENT_CONFIG"}) {
    top.AddSub(QString::fromLatin1(root));
  }
}

Key* KeyAtPath(Key& top, const QStringList& path, bool create) {
  Key* k = &top;
  for (const QString& part : path) {
    k = create ? k->AddSub(part) : k->Sub(part);
    if (k == nullptr) return nullptr;
  }
  return k;
}

bool ParseValue(const QString& line, qsizetype pos, Value& v) {
  QString typeWord, data;
  if (Token(line, pos, v.name) != Tok::Quoted) return false;
  if (Token(line, pos, typeWord) != Tok::Word) return false;
  bool ok = true;
  if (typeWord == QLatin1String("sz") || typeWord == QLatin1String("expand")) {
    v.type = typeWord == QLatin1String("sz") ? kString : kExpandString;
    ok = Token(line, pos, v.text) == Tok::Quoted;
  } else if (typeWord == QLatin1String("dword")) {
    v.type = kDWord;
    ok = Token(line, pos, data) == Tok::Word;
    v.number = ok ? qint64(data.toUInt(&ok)) : 0;
  } else if (typeWord == QLatin1String("qword")) {
    v.type = kQWord;
    ok = Token(line, pos, data) == Tok::Word;
    v.number = ok ? data.toLongLong(&ok) : 0;
  } else if (typeWord == QLatin1String("multi")) {
    v.type = kMultiString;
    QStringList parts;
    Tok t;
    while ((t = Token(line, pos, data)) == Tok::Quoted) parts << data;
    v.text = parts.join(QLatin1Char('\n'));
    return t == Tok::End;
  } else if (typeWord == QLatin1String("binary") || typeWord.startsWith(QLatin1String("type"))) {
    v.type = kBinary;
    if (typeWord != QLatin1String("binary")) {
      v.type = typeWord.mid(4).toUInt(&ok);
      if (v.type == kString || v.type == kExpandString || v.type == kDWord ||
          v.type == kMultiString || v.type == kQWord) {
        ok = false;
      }
    }
    ok = ok && Token(line, pos, data) == Tok::Word && ParseHex(data, v.bytes);
  } else {
    ok = false;
  }
  return ok && Token(line, pos, data) == Tok::End;  // nothing may follow
}

// Fills top from the file's text; answers whether every line was read.
bool Parse(const QByteArray& bytes, Key& top) {
  QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  const QString text = decoder(bytes);
  bool clean = !decoder.hasError();
  Key* current = nullptr;
  for (QString line : text.split(QLatin1Char('\n'))) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    qsizetype pos = 0;
    QString word, path, extra;
    if (Token(line, pos, word) != Tok::Word) {
      clean = false;
    } else if (word == QLatin1String("key")) {
      const QStringList parts =
          Token(line, pos, path) == Tok::Quoted ? path.split(QLatin1Char('\\')) : QStringList();
      if (parts.isEmpty() || parts.contains(QString()) || Token(line, pos, extra) != Tok::End) {
        clean = false;
        current = nullptr;  // its values cannot be placed
      } else {
        current = KeyAtPath(top, parts, true);
      }
    } else if (word == QLatin1String("value") && current != nullptr) {
      Value v;
      if (!ParseValue(line, pos, v) || current->FindValue(v.name) != nullptr) {
        clean = false;
      } else {
        current->values.push_back(v);
      }
    } else {
      clean = false;
    }
  }
  return clean;
}

void SerializeValues(const Key& key, const QString& path, QString& out) {
  out += QStringLiteral("key ") + Quote(path) + QLatin1Char('\n');
  for (const Value& v : key.values) {
    out += QStringLiteral("value ") + Quote(v.name) + QLatin1Char(' ');
    switch (v.type) {
      case kString: out += QStringLiteral("sz ") + Quote(v.text); break;
      case kExpandString: out += QStringLiteral("expand ") + Quote(v.text); break;
      case kDWord: out += QStringLiteral("dword ") + QString::number(quint32(v.number)); break;
      case kQWord: out += QStringLiteral("qword ") + QString::number(v.number); break;
      case kMultiString: {
        out += QStringLiteral("multi");
        if (!v.text.isEmpty()) {
          for (const QString& part : v.text.split(QLatin1Char('\n')))
            out += QLatin1Char(' ') + Quote(part);
        }
        break;
      }
      default:
        out +=
            (v.type == kBinary ? QStringLiteral("binary") : QStringLiteral("type%1").arg(v.type)) +
            QStringLiteral(" hex:") + QString::fromLatin1(v.bytes.toHex());
    }
    out += QLatin1Char('\n');
  }
}

// A key is written when it has values or no subkeys (so that empty keys persist); a key
// with subkeys only is implied by their lines. Roots are written only for their values.
// Walked with a stack of (key, next subkey): key paths can be deeper than recursion allows,
// and one path text is grown and cut back, so a deep path is not copied at every level.
void Serialize(const Key& top, QString& out) {
  struct Frame {
    const Key* key;
    size_t next;
    qsizetype pathSize;  // of the parent's path
  };
  QString path;
  std::vector<Frame> stack;
  stack.push_back({&top, 0, 0});
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next == f.key->subkeys.size()) {
      path.truncate(f.pathSize);
      stack.pop_back();
      continue;
    }
    const Key& sub = *f.key->subkeys[f.next++];
    const qsizetype parentSize = path.size();
    const bool isRoot = stack.size() == 1;
    if (!isRoot) path += QLatin1Char('\\');
    path += sub.name;
    if (!sub.values.empty() || (!isRoot && sub.subkeys.empty())) SerializeValues(sub, path, out);
    stack.push_back({&sub, 0, parentSize});
  }
}

// ---- the file ----

bool SameIdentity(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Picks up what the file holds now, when it changed since it was last read.
void Refresh(State& s) {
  struct stat st;
  const QByteArray native = QFile::encodeName(s.fileName);
  const bool exists = ::stat(native.constData(), &st) == 0;
  if (s.loaded && exists == s.exists && (!exists || SameIdentity(st, s.identity))) return;
  const QString name = s.fileName;
  s = State();
  s.fileName = name;
  s.loaded = true;
  s.exists = exists;
  AddRoots(s.top);
  if (!exists) return;
  s.identity = st;
  try {
    const QByteArray bytes = ReadFileBytes(name);
    if (!Parse(bytes, s.top)) s.damaged = bytes;
  } catch (const Exception& e) {
    s.top = Key();
    AddRoots(s.top);
    s.readError = e.Message();
  }
}

class FileLock {
 public:
  explicit FileLock(const QString& fileName) {
    const QByteArray name = QFile::encodeName(fileName + QStringLiteral(".lock"));
    fd_ = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {}
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);
  }

 private:
  int fd_ = -1;
};

void EnsureFolder(const QString& fileName) {
  const QString dir = ExtractFileDir(fileName);
  if (dir.isEmpty() || DirectoryExists(dir)) return;
  if (!ForceDirectories(dir)) {
    throw ERegistryException(QStringLiteral("Cannot create the folder \"%1\"").arg(dir));
  }
  ::chmod(QFile::encodeName(dir).constData(), 0700);
}

void SaveDamagedCopy(State& s) {
  if (s.damaged.isEmpty()) return;
  QString backup = s.fileName + QStringLiteral(".damaged");
  for (int n = 2; FileExists(backup) || DirectoryExists(backup); ++n) {
    backup = s.fileName + QStringLiteral(".damaged.%1").arg(n);
  }
  WriteFileAtomically(backup, s.damaged, 0600);
  s.damaged.clear();
}

void Save(State& s) {
  SaveDamagedCopy(s);
  QString text = QStringLiteral("# orv registry 1\n");
  Serialize(s.top, text);
  const QByteArray native = QFile::encodeName(s.fileName);
  struct stat st;
  if (::stat(native.constData(), &st) == 0 && (st.st_mode & 077) != 0)
    ::chmod(native.constData(), 0600);
  WriteFileAtomically(s.fileName, text.toUtf8(), 0600);
  s.exists = ::stat(native.constData(), &s.identity) == 0;
}

template <class Fn>
auto Read(Fn fn) {
  QMutexLocker guard(&Lock());
  State& s = StateFor(FileName());
  Refresh(s);
  return fn(s.top);
}

// Runs a change under the file lock on the current content and writes the result when the
// change answers true.
bool Change(const std::function<bool(Key&)>& fn) {
  QMutexLocker guard(&Lock());
  State& s = StateFor(FileName());
  EnsureFolder(s.fileName);
  FileLock lock(s.fileName);
  Refresh(s);
  if (!s.readError.isEmpty()) {
    throw ERegistryException(
        QStringLiteral("The registry file \"%1\" cannot be read: %2").arg(s.fileName, s.readError));
  }
  if (!fn(s.top)) return false;
  try {
    Save(s);
  } catch (const Exception&) {
    s.loaded = false;  // memory holds a change the file does not: read the file again
    throw;
  }
  return true;
}

}  // namespace

QString FileName() {
  const QString redirected = qEnvironmentVariable("ORV_REGISTRY_FILE");
  if (!redirected.isEmpty()) return redirected;
  QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
  return config + QStringLiteral("/orv/registry");
}

bool KeyExists(const Path& key) {
  return Read([&](Key& top) { return KeyAtPath(top, key, false) != nullptr; });
}

bool CreateKey(const Path& key) {
  if (key.isEmpty()) return false;
  if (KeyExists(key)) return true;
  Change([&](Key& top) {
    if (KeyAtPath(top, key, false) != nullptr) return false;
    KeyAtPath(top, key, true);
    return true;
  });
  return true;
}

bool DeleteKey(const Path& key) {
  if (key.size() < 2) return false;  // roots stay
  return Change([&](Key& top) {
    Key* parent = KeyAtPath(top, key.mid(0, key.size() - 1), false);
    if (parent == nullptr) return false;
    const QString f = NameKey(key.back());
    auto& subs = parent->subkeys;
    for (auto it = subs.begin(); it != subs.end(); ++it) {
      if ((*it)->folded == f) {
        subs.erase(it);
        return true;
      }
    }
    return false;
  });
}

QStringList KeyNames(const Path& key) {
  QStringList names = Read([&](Key& top) {
    QStringList r;
    if (Key* k = KeyAtPath(top, key, false)) {
      for (const auto& sub : k->subkeys) r << sub->name;
    }
    return r;
  });
  std::stable_sort(names.begin(), names.end(),
                   [](const QString& a, const QString& b) { return AnsiCompareText(a, b) < 0; });
  return names;
}

QStringList ValueNames(const Path& key) {
  return Read([&](Key& top) {
    QStringList r;
    if (Key* k = KeyAtPath(top, key, false)) {
      for (const Value& v : k->values) r << v.name;
    }
    return r;
  });
}

bool HasSubKeys(const Path& key) {
  return Read([&](Key& top) {
    Key* k = KeyAtPath(top, key, false);
    return k != nullptr && !k->subkeys.empty();
  });
}

bool GetValue(const Path& key, const QString& name, Value& value) {
  return Read([&](Key& top) {
    Key* k = KeyAtPath(top, key, false);
    Value* v = k != nullptr ? k->FindValue(name) : nullptr;
    if (v != nullptr) value = *v;
    return v != nullptr;
  });
}

bool SetValue(const Path& key, const Value& value) {
  bool keyFound = false;
  Change([&](Key& top) {
    Key* k = KeyAtPath(top, key, false);
    keyFound = k != nullptr;
    if (k == nullptr) return false;
    if (Value* old = k->FindValue(value.name)) {
      const QString spelling = old->name;  // a value keeps its place and its spelling
      if (old->type == value.type && old->text == value.text && old->number == value.number &&
          old->bytes == value.bytes) {
        return false;
      }
      *old = value;
      old->name = spelling;
    } else {
      k->values.push_back(value);
    }
    return true;
  });
  return keyFound;
}

bool DeleteValue(const Path& key, const QString& name) {
  return Change([&](Key& top) {
    Key* k = KeyAtPath(top, key, false);
    if (k == nullptr) return false;
    for (auto it = k->values.begin(); it != k->values.end(); ++it) {
      if (AnsiSameText(it->name, name)) {
        k->values.erase(it);
        return true;
      }
    }
    return false;
  });
}

}  // namespace regstore
