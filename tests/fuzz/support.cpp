#include "fuzz.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace orvfuzz {

void Split(const QByteArray& input, QByteArray& first, QByteArray& second) {
  static const QByteArray marker("\n====\n");
  const qsizetype at = input.indexOf(marker);
  if (at < 0) {
    first = input;
    second.clear();
  } else {
    first = input.left(at);
    second = input.mid(at + marker.size());
  }
}

QString TempFolder() {
  static std::unique_ptr<QTemporaryDir> dir = [] {
    auto d = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/orv-fuzz-XXXXXX"));
    if (!d->isValid()) Fail("cannot create a temporary folder");
    return d;
  }();
  return dir->path();
}

void Fail(const char* what, const QString& detail) {
  std::fprintf(stderr, "FUZZ FINDING: %s\n%s\n", what, detail.left(2000).toLocal8Bit().constData());
  std::fflush(stderr);
  std::abort();
}

}  // namespace orvfuzz
