#pragma once
// TRegistry: the runtime's access object to the registry, over the per-user store of
// regstore.h. Every root key (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, ...) is a tree of that
// one store: this program keeps machine-wide settings per user as well.
//
// Key paths use "\" between names. A path starting with "\" counts from the root key;
// any other path counts from the open key when there is one, else from the root key.
// Names ignore letter case (Cyrillic folded too). GetValueNames lists values in the order
// they were created; GetKeyNames lists subkeys by name, as the system did.
//
// Errors raise ERegistryException with the texts scripts may test for: "Failed to create
// key %s", "Failed to get data for '%s'", "Failed to set data for '%s'" and "Invalid data
// type for '%s'"; a store that cannot be written adds the reason.
#include "regstore.h"
#include "tobject.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QStringList>

class TStrings;

using HKEY = quint32;
enum : HKEY {
  HKEY_CLASSES_ROOT = 0x80000000u,
  HKEY_CURRENT_USER = 0x80000001u,
  HKEY_LOCAL_MACHINE = 0x80000002u,
  HKEY_USERS = 0x80000003u,
  HKEY_CURRENT_CONFIG = 0x80000005u,
};
// The root key with that name ("HKEY_CURRENT_USER", case ignored); false for other names.
bool RootKeyFromName(const QString& name, HKEY& key);

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry : public TObject {
 public:
  TRegistry() = default;
  QString ClassName() const override { return QStringLiteral("TRegistry"); }

  HKEY RootKey() const { return rootKey_; }
  // Closes the open key. An unknown root raises ERegistryException.
  void SetRootKey(HKEY key);
  // The open key's path below the root ("" when none is open).
  QString CurrentPath() const { return path_.join(QLatin1Char('\\')); }
  bool HasCurrentKey() const { return open_; }

  // Opens the key, creating it (and its parents) when canCreate. False when it is missing
  // or the path is not valid (an empty name between two "\").
  bool OpenKey(const QString& key, bool canCreate);
  bool OpenKeyReadOnly(const QString& key);
  void CloseKey();
  bool CreateKey(const QString& key);  // raises when the key cannot be created
  bool DeleteKey(const QString& key);  // with all its subkeys; false when missing
  bool KeyExists(const QString& key);
  bool HasSubKeys();
  void GetKeyNames(TStrings* strings);
  void GetValueNames(TStrings* strings);
  QStringList KeyNames();
  QStringList ValueNames();

  bool ValueExists(const QString& name);
  bool DeleteValue(const QString& name);
  TRegDataType GetDataType(const QString& name);  // rdUnknown when missing
  int GetDataSize(const QString& name);           // -1 when missing

  // Missing: "". Other types raise the data type error.
  QString ReadString(const QString& name);
  void WriteString(const QString& name, const QString& value);
  void WriteExpandString(const QString& name, const QString& value);
  // Missing values raise the get-data error, other types the data type error.
  int ReadInteger(const QString& name);
  void WriteInteger(const QString& name, int value);
  bool ReadBool(const QString& name) { return ReadInteger(name) != 0; }
  void WriteBool(const QString& name, bool value) { WriteInteger(name, value ? 1 : 0); }
  // A float is 8 bytes of binary data.
  double ReadFloat(const QString& name);
  void WriteFloat(const QString& name, double value);
  // Missing: empty. Strings and integers raise the data type error.
  QByteArray ReadBinaryData(const QString& name);
  // The data size; raises when the buffer is smaller; 0 when missing.
  int ReadBinaryData(const QString& name, void* buffer, int bufferSize);
  void WriteBinaryData(const QString& name, const QByteArray& data);

 private:
  // The full path of a key argument, root name first; false when it is not valid.
  bool Resolve(const QString& key, regstore::Path& path) const;
  regstore::Path CurrentFullPath() const;
  bool GetValue(const QString& name, regstore::Value& value);
  void PutValue(const regstore::Value& value);

  HKEY rootKey_ = HKEY_CURRENT_USER;
  QStringList path_;
  bool open_ = false;
  bool readOnly_ = false;
};
