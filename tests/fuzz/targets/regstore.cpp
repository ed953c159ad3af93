// The registry store's file: any file reads (damage is read as far as it goes), a change is
// written with the damaged bytes kept aside, and what was read reads back from the new file.
#include "fuzz.h"

#include "platform/rtl/fileutils.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/regstore.h"

#include <QtCore/QDir>

#include <cstdlib>

namespace {

// Keys and values in a walk with a stack: the store's paths can be deep.
QString Dump() {
  QString out;
  std::vector<regstore::Path> todo{{QStringLiteral("HKEY_CURRENT_USER")},
                                   {QStringLiteral("HKEY_LOCAL_MACHINE")}};
  int keys = 0;
  while (!todo.empty() && ++keys < 300) {  // each call walks the whole path
    const regstore::Path path = todo.back();
    todo.pop_back();
    out += path.join(u'\\') + u'\n';
    for (const QString& name : regstore::ValueNames(path)) {
      regstore::Value v;
      if (!regstore::GetValue(path, name, v)) orvfuzz::Fail("listed value not found", name);
      out += QStringLiteral(" %1 %2 %3 %4 %5\n")
                 .arg(name)
                 .arg(v.type)
                 .arg(v.text)
                 .arg(v.number)
                 .arg(QString::fromLatin1(v.bytes.toHex()));
    }
    const QStringList subs = regstore::KeyNames(path);
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) todo.push_back(path + QStringList{*it});
  }
  return out;
}

}  // namespace

ORV_FUZZ_TARGET(regstore) {
  const QString folder = orvfuzz::TempFolder() + QStringLiteral("/reg");
  QDir(folder).removeRecursively();
  ForceDirectories(folder);
  const QString file = folder + QStringLiteral("/registry");
  qputenv("ORV_REGISTRY_FILE", QFile::encodeName(file));
  WriteFileAtomically(file, orvfuzz::Bytes(data, size));
  const QString before = Dump();
  regstore::Value v;
  v.name = QStringLiteral("Fuzz");
  v.type = regstore::kString;
  v.text = QStringLiteral("x\ny%\"");
  try {
    if (!regstore::SetValue({QStringLiteral("HKEY_CURRENT_USER")}, v))
      orvfuzz::Fail("root key missing");
  } catch (const ERegistryException&) {
    return;  // a file that cannot be read is never written
  }
  const QString after = Dump();
  // Read from the new file by a fresh state: same keys and values, the new one added.
  WriteFileAtomically(file, ReadFileBytes(file) + "\n");
  if (Dump() != after) orvfuzz::Fail("written file reads back differently", after);
  regstore::Value back;
  if (!regstore::GetValue({QStringLiteral("HKEY_CURRENT_USER")}, QStringLiteral("fuzz"), back) ||
      back.text != v.text)
    orvfuzz::Fail("written value lost");
  (void)before;
}
