// Lists what the script class registry holds after start-up, one member per line:
// name, kind, signature class, result class, setter. Optional argument: a text that the
// names must contain (letter case ignored).
#include "core/orvenv.h"
#include "script/orvcodeh.h"

#include <QtCore/QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
  const QString filter = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  try {
    orvenv::Startup();
  } catch (const Exception& e) {
    std::fprintf(stderr, "start-up failed: %s\n", e.what());
    return 1;
  }
  QTextStream out(stdout);
  for (const QString& line : orvcodeh::RegistryListing(orvcodeh::Registry())) {
    if (filter.isEmpty() ||
        line.section(QLatin1Char('\t'), 0, 0).contains(filter, Qt::CaseInsensitive))
      out << line << '\n';
  }
  return 0;
}
