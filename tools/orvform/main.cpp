// orvform FILE [--png OUT]: reads a component-text file into a live form offscreen, lists
// every component with its class and bounds after alignment, and writes the form as a PNG.
// Event names in the text are accepted without being bound, so any stored form opens.
#include "platform/classes/comptext.h"
#include "platform/classes/reader.h"
#include "platform/classes/rtlclasses.h"
#include "platform/data/datatypeinfo.h"
#include "platform/rtl/exceptions.h"
#include "platform/ui/forms.h"
#include "platform/ui/uiclasses.h"

#include <QtCore/QFile>
#include <QtCore/QHash>
#include <QtWidgets/QApplication>

#include <cstdio>

namespace {

TMethod Unbound(TComponent* root, const QString& name) {
  static QHash<QString, TMethodInfo*> pending;
  TMethodInfo*& info = pending[name.toUpper()];
  if (info == nullptr) {
    info = new TMethodInfo;
    info->Name = name;
  }
  return TMethod{info, root};
}

void List(TComponent* c, int depth) {
  QString line = QString(depth * 2, QLatin1Char(' ')) + c->Name() + QStringLiteral(": ") +
                 c->ClassName();
  if (auto* control = dynamic_cast<TControl*>(c)) {
    line += QStringLiteral(" %1,%2 %3x%4")
                .arg(control->Left())
                .arg(control->Top())
                .arg(control->Width())
                .arg(control->Height());
    if (!control->Visible()) line += QStringLiteral(" hidden");
  }
  std::puts(line.toUtf8().constData());
  if (auto* wc = dynamic_cast<TWinControl*>(c)) {
    for (TControl* child : wc->ControlList()) List(child, depth + 1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt(argc, argv);
  const QStringList args = qt.arguments();
  if (args.size() < 2 || (args.size() != 2 && (args.size() != 4 || args[2] != "--png"))) {
    std::fputs("usage: orvform FILE [--png OUT]\n", stderr);
    return 2;
  }
  DescribeRuntimeClasses();
  RegisterDataClasses();
  RegisterUIClasses();
  TApplication app(nullptr);
  try {
    QFile file(args[1]);
    if (!file.open(QIODevice::ReadOnly))
      throw EFOpenError(QStringLiteral("Cannot open file \"%1\"").arg(args[1]));
    const QString text = QString::fromUtf8(file.readAll());
    TTextObject parsed = ParseComponentText(text);
    // The root becomes a plain form of the layer whatever the stored class is.
    auto* form = static_cast<TCustomForm*>(CreateNewOfClass(TForm::StaticClass(), &app));
    TReader reader;
    reader.OnFindMethod = &Unbound;
    reader.ReadRootComponent(parsed, form);
    form->Widget();
    List(form, 0);
    for (TComponent* c : form->ComponentList()) {
      if (dynamic_cast<TControl*>(c) == nullptr) std::printf("%s: %s\n", qPrintable(c->Name()), qPrintable(c->ClassName()));
    }
    if (args.size() == 4) form->RenderToPng(args[3]);
  } catch (const Exception& e) {
    std::fprintf(stderr, "orvform: %s\n", e.Message().toUtf8().constData());
    return 1;
  }
  return 0;
}
