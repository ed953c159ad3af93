// Replays the kept fuzz corpus through every target: replay CORPUS_DIR [TARGET...].
// Each registered target needs its folder CORPUS_DIR/<name>; every file in it is one input.
#include "fuzz.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>

#include <cstdio>
#include <exception>
#include <map>
#include <string>

namespace orvfuzz {

namespace {
std::map<std::string, Entry>& Targets() {
  static std::map<std::string, Entry> targets;
  return targets;
}
}  // namespace

bool Register(const char* name, Entry entry) {
  Targets()[name] = entry;
  return true;
}

}  // namespace orvfuzz

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR [TARGET...]\n", argv[0]);
    return 2;
  }
  // Absolute: a target may change the current folder.
  const QDir root(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
  std::map<std::string, orvfuzz::Entry> chosen;
  for (int i = 2; i < argc; ++i) {
    const auto it = orvfuzz::Targets().find(argv[i]);
    if (it == orvfuzz::Targets().end()) {
      std::fprintf(stderr, "unknown target %s\n", argv[i]);
      return 2;
    }
    chosen.insert(*it);
  }
  if (chosen.empty()) chosen = orvfuzz::Targets();

  int failures = 0;
  qlonglong inputs = 0;
  for (const auto& [name, entry] : chosen) {
    const QDir dir(root.filePath(QString::fromStdString(name)));
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    if (files.isEmpty()) {
      std::fprintf(stderr, "%s: no corpus in %s\n", name.c_str(), qPrintable(dir.path()));
      ++failures;
      continue;
    }
    QElapsedTimer timer;
    timer.start();
    for (const QString& file : files) {
      QFile f(dir.filePath(file));
      if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: cannot read %s\n", name.c_str(), qPrintable(file));
        ++failures;
        continue;
      }
      const QByteArray input = f.readAll();
      ++inputs;
      try {
        entry(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size()));
      } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s: exception escaped: %s\n", name.c_str(), qPrintable(file),
                     e.what());
        ++failures;
      } catch (...) {
        std::fprintf(stderr, "%s: %s: exception escaped\n", name.c_str(), qPrintable(file));
        ++failures;
      }
    }
    std::printf("%-12s %4lld inputs  %6lld ms\n", name.c_str(), qlonglong(files.size()),
                qlonglong(timer.elapsed()));
  }
  std::printf("replayed %lld inputs: %d failure(s)\n", inputs, failures);
  return failures == 0 ? 0 : 1;
}
