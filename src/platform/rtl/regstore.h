#pragma once
// The per-user store that stands in for the system registry: a tree of keys with typed
// values, kept in one text file (see regstore.cpp for its format) and shared by every
// process of the user. Every change is written at once, atomically, under a lock file;
// every read first picks up changes other processes wrote.
//
// Key names and value names compare ignoring case (Cyrillic folded too) and keep the
// spelling they were created with. Values keep the order in which they were created;
// subkeys are listed by name, as the system lists them.
//
// A file that is damaged is read as far as it can be read. Before it is first written
// again its bytes are copied to "<file>.damaged" ("<file>.damaged.2", ... when taken), so
// nothing it held is lost. A file that cannot be read at all is never written.
#include "exceptions.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>

ORV_DECLARE_EXCEPTION(ERegistryException, Exception)

namespace regstore {

// Value types with the system's numbers.
enum : quint32 {
  kNone = 0,
  kString = 1,
  kExpandString = 2,
  kBinary = 3,
  kDWord = 4,
  kMultiString = 7,
  kQWord = 11,
};

struct Value {
  QString name;
  quint32 type = kNone;
  QString text;       // kString, kExpandString; kMultiString as lines joined by '\n'
  qint64 number = 0;  // kDWord (as unsigned 32 bits), kQWord
  QByteArray bytes;   // kBinary and types without a meaning here
};

// A key path: the root's name ("HKEY_CURRENT_USER") and the key names below it.
using Path = QStringList;

// The store's file: $ORV_REGISTRY_FILE, else $XDG_CONFIG_HOME/orv/registry, else
// ~/.config/orv/registry.
QString FileName();

bool KeyExists(const Path& key);
// Creates the key and its missing parents; true when it exists afterwards.
bool CreateKey(const Path& key);
// Deletes the key with all its subkeys; false when it did not exist.
bool DeleteKey(const Path& key);
QStringList KeyNames(const Path& key);    // by name
QStringList ValueNames(const Path& key);  // in creation order
bool HasSubKeys(const Path& key);
// False when the key or the value does not exist.
bool GetValue(const Path& key, const QString& name, Value& value);
// Sets (creates or replaces) a value of an existing key; false when the key is missing.
bool SetValue(const Path& key, const Value& value);
bool DeleteValue(const Path& key, const QString& name);

}  // namespace regstore
