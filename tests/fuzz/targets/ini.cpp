// INI files: any file reads; a value written to it reads back, the file written reads again
// with the same sections and values.
#include "fuzz.h"

#include "platform/rtl/fileutils.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/stringlist.h"

namespace {

QString Dump(TMemIniFile& ini) {
  QString out;
  TStringList sections, lines;
  ini.ReadSections(&sections);
  for (int i = 0; i < sections.Count(); ++i) {
    ini.ReadSectionValues(sections.Strings(i), &lines);
    out += u'[' + sections.Strings(i) + QStringLiteral("]\n") + lines.Text();
  }
  return out;
}

}  // namespace

ORV_FUZZ_TARGET(ini) {
  const QString name = orvfuzz::TempFolder() + QStringLiteral("/fuzz.ini");
  WriteFileAtomically(name, orvfuzz::Bytes(data, size));
  QString before;
  try {
    TMemIniFile ini(name);
    before = Dump(ini);
    ini.ReadInteger(QStringLiteral("a"), QStringLiteral("b"), 0);
    ini.ReadFloat(QStringLiteral("a"), QStringLiteral("b"), 0);
    ini.WriteString(QStringLiteral("Fuzz"), QStringLiteral("Key"), QStringLiteral("v;al=ue"));
    before = Dump(ini);
    ini.UpdateFile();
  } catch (const EIniFileException&) {
    return;
  }
  TMemIniFile again(name);
  if (again.ReadString(QStringLiteral("fuzz"), QStringLiteral("KEY"), QString()) !=
      QStringLiteral("v;al=ue"))
    orvfuzz::Fail("written value lost");
  if (Dump(again) != before) orvfuzz::Fail("file read back differs", before);
}
