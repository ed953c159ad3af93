#include "registry.h"

#include "stringfuncs.h"
#include "stringlist.h"

#include <QtCore/QtEndian>

#include <cstring>

namespace {

struct RootName {
  HKEY key;
  const char* name;
};

constexpr RootName kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},     {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},   {HKEY_USERS, "HKEY_USERS"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
};

QString NameOfRoot(HKEY key) {
  for (const RootName& r : kRoots) {
    if (r.key == key) return QString::fromLatin1(r.name);
  }
  return QString();
}

[[noreturn]] void DataError(const char* text, const QString& name,
                            const QString& reason = QString()) {
  QString message = QString::fromLatin1(text).arg(name);
  if (!reason.isEmpty()) message += QStringLiteral(". ") + reason;
  throw ERegistryException(message);
}

bool IsPrefix(const regstore::Path& prefix, const regstore::Path& path) {
  if (prefix.size() > path.size()) return false;
  for (qsizetype i = 0; i < prefix.size(); ++i) {
    if (NameKey(prefix[i]) != NameKey(path[i])) return false;
  }
  return true;
}

QByteArray RawBytes(const regstore::Value& v) {
  switch (v.type) {
    case regstore::kDWord: {
      const quint32 n = qToLittleEndian(quint32(v.number));
      return QByteArray(reinterpret_cast<const char*>(&n), 4);
    }
    case regstore::kQWord: {
      const qint64 n = qToLittleEndian(v.number);
      return QByteArray(reinterpret_cast<const char*>(&n), 8);
    }
    case regstore::kString:
    case regstore::kExpandString:
    case regstore::kMultiString: {
      QString text = v.text;
      if (v.type == regstore::kMultiString) text.replace(QLatin1Char('\n'), QChar(0));
      text += QChar(0);
      if (v.type == regstore::kMultiString) text += QChar(0);
      QByteArray bytes;
      for (QChar c : text) bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
      return bytes;
    }
    default: return v.bytes;
  }
}

}  // namespace

bool RootKeyFromName(const QString& name, HKEY& key) {
  for (const RootName& r : kRoots) {
    if (name.compare(QLatin1String(r.name), Qt::CaseInsensitive) == 0) {
      key = r.key;
      return true;
    }
  }
  return false;
}

void TRegistry::SetRootKey(HKEY key) {
  if (NameOfRoot(key).isEmpty()) {
    throw ERegistryException(
        QStringLiteral("Unknown root key 0x%1").arg(key, 8, 16, QLatin1Char('0')));
  }
  CloseKey();
  rootKey_ = key;
}

bool TRegistry::Resolve(const QString& key, regstore::Path& path) const {
  QString rest = key;
  const bool absolute = rest.startsWith(QLatin1Char('\\'));
  if (absolute) rest.remove(0, 1);
  if (rest.endsWith(QLatin1Char('\\'))) rest.chop(1);
  path = regstore::Path{NameOfRoot(rootKey_)};
  if (!absolute && open_) path += path_;
  if (rest.isEmpty()) return true;
  const QStringList parts = rest.split(QLatin1Char('\\'));
  if (parts.contains(QString())) return false;
  path += parts;
  return true;
}

regstore::Path TRegistry::CurrentFullPath() const {
  return regstore::Path{NameOfRoot(rootKey_)} + path_;
}

bool TRegistry::OpenKey(const QString& key, bool canCreate) {
  regstore::Path full;
  if (!Resolve(key, full)) return false;
  try {
    if (!(canCreate ? regstore::CreateKey(full) : regstore::KeyExists(full))) return false;
  } catch (const Exception&) {
    return false;  // as the system's call, a failure is an answer, not an error
  }
  path_ = full.mid(1);
  open_ = true;
  readOnly_ = false;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const QString& key) {
  if (!OpenKey(key, false)) return false;
  readOnly_ = true;
  return true;
}

void TRegistry::CloseKey() {
  path_.clear();
  open_ = false;
  readOnly_ = false;
}

bool TRegistry::CreateKey(const QString& key) {
  regstore::Path full;
  if (!Resolve(key, full) || full.size() < 2) DataError("Failed to create key %1", key);
  try {
    regstore::CreateKey(full);
  } catch (const Exception& e) {
    DataError("Failed to create key %1", key, e.Message());
  }
  return true;
}

bool TRegistry::DeleteKey(const QString& key) {
  regstore::Path full;
  if (!Resolve(key, full) || full.size() < 2) return false;
  bool deleted = false;
  try {
    deleted = regstore::DeleteKey(full);
  } catch (const Exception&) {
    return false;
  }
  if (deleted && open_ && IsPrefix(full, CurrentFullPath())) CloseKey();
  return deleted;
}

bool TRegistry::KeyExists(const QString& key) {
  regstore::Path full;
  return Resolve(key, full) && regstore::KeyExists(full);
}

bool TRegistry::HasSubKeys() { return regstore::HasSubKeys(CurrentFullPath()); }

QStringList TRegistry::KeyNames() { return regstore::KeyNames(CurrentFullPath()); }

QStringList TRegistry::ValueNames() { return regstore::ValueNames(CurrentFullPath()); }

void TRegistry::GetKeyNames(TStrings* strings) {
  strings->BeginUpdate();
  strings->Clear();
  strings->AddStrings(KeyNames());
  strings->EndUpdate();
}

void TRegistry::GetValueNames(TStrings* strings) {
  strings->BeginUpdate();
  strings->Clear();
  strings->AddStrings(ValueNames());
  strings->EndUpdate();
}

bool TRegistry::GetValue(const QString& name, regstore::Value& value) {
  return regstore::GetValue(CurrentFullPath(), name, value);
}

void TRegistry::PutValue(const regstore::Value& value) {
  if (readOnly_)
    DataError("Failed to set data for '%1'", value.name,
              QStringLiteral("The key is open for reading only"));
  bool stored = false;
  try {
    stored = regstore::SetValue(CurrentFullPath(), value);
  } catch (const Exception& e) {
    DataError("Failed to set data for '%1'", value.name, e.Message());
  }
  if (!stored)
    DataError("Failed to set data for '%1'", value.name, QStringLiteral("The key does not exist"));
}

bool TRegistry::ValueExists(const QString& name) {
  regstore::Value v;
  return GetValue(name, v);
}

bool TRegistry::DeleteValue(const QString& name) {
  if (readOnly_) return false;
  try {
    return regstore::DeleteValue(CurrentFullPath(), name);
  } catch (const Exception&) {
    return false;
  }
}

TRegDataType TRegistry::GetDataType(const QString& name) {
  regstore::Value v;
  if (!GetValue(name, v)) return rdUnknown;
  switch (v.type) {
    case regstore::kString: return rdString;
    case regstore::kExpandString: return rdExpandString;
    case regstore::kDWord: return rdInteger;
    case regstore::kBinary: return rdBinary;
    default: return rdUnknown;
  }
}

int TRegistry::GetDataSize(const QString& name) {
  regstore::Value v;
  return GetValue(name, v) ? int(RawBytes(v).size()) : -1;
}

QString TRegistry::ReadString(const QString& name) {
  regstore::Value v;
  if (!GetValue(name, v)) return QString();
  if (v.type != regstore::kString && v.type != regstore::kExpandString) {
    DataError("Invalid data type for '%1'", name);
  }
  return v.text;
}

void TRegistry::WriteString(const QString& name, const QString& value) {
  regstore::Value v;
  v.name = name;
  v.type = regstore::kString;
  v.text = value;
  PutValue(v);
}

void TRegistry::WriteExpandString(const QString& name, const QString& value) {
  regstore::Value v;
  v.name = name;
  v.type = regstore::kExpandString;
  v.text = value;
  PutValue(v);
}

int TRegistry::ReadInteger(const QString& name) {
  regstore::Value v;
  if (!GetValue(name, v)) DataError("Failed to get data for '%1'", name);
  if (v.type != regstore::kDWord) DataError("Invalid data type for '%1'", name);
  return int(quint32(v.number));
}

void TRegistry::WriteInteger(const QString& name, int value) {
  regstore::Value v;
  v.name = name;
  v.type = regstore::kDWord;
  v.number = qint64(quint32(value));
  PutValue(v);
}

double TRegistry::ReadFloat(const QString& name) {
  regstore::Value v;
  if (!GetValue(name, v)) DataError("Failed to get data for '%1'", name);
  if (v.type != regstore::kBinary || v.bytes.size() != 8)
    DataError("Invalid data type for '%1'", name);
  quint64 raw = 0;
  std::memcpy(&raw, v.bytes.constData(), 8);
  raw = qFromLittleEndian(raw);
  double value = 0;
  std::memcpy(&value, &raw, 8);
  return value;
}

void TRegistry::WriteFloat(const QString& name, double value) {
  quint64 raw = 0;
  std::memcpy(&raw, &value, 8);
  raw = qToLittleEndian(raw);
  WriteBinaryData(name, QByteArray(reinterpret_cast<const char*>(&raw), 8));
}

QByteArray TRegistry::ReadBinaryData(const QString& name) {
  regstore::Value v;
  if (!GetValue(name, v)) return QByteArray();
  if (v.type == regstore::kString || v.type == regstore::kExpandString ||
      v.type == regstore::kDWord) {
    DataError("Invalid data type for '%1'", name);
  }
  return RawBytes(v);
}

int TRegistry::ReadBinaryData(const QString& name, void* buffer, int bufferSize) {
  if (!ValueExists(name)) return 0;
  const QByteArray data = ReadBinaryData(name);
  if (data.size() > bufferSize) DataError("Failed to get data for '%1'", name);
  if (!data.isEmpty()) std::memcpy(buffer, data.constData(), size_t(data.size()));
  return int(data.size());
}

void TRegistry::WriteBinaryData(const QString& name, const QByteArray& data) {
  regstore::Value v;
  v.name = name;
  v.type = regstore::kBinary;
  v.bytes = data;
  PutValue(v);
}
