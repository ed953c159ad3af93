// A form of about 400 widgets (panels, labels, edits, combo boxes, buttons, a page control)
// built from component text by our reader and from the equivalent .ui file by QUiLoader,
// side by side in one run: each build is followed by showing offscreen and painting the
// whole window. Prints both medians and the ratio (ours / QUiLoader's).
#include "platform/classes/reader.h"
#include "platform/classes/rtlclasses.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/uiclasses.h"

#include <QtCore/QBuffer>
#include <QtUiTools/QUiLoader>
#include <QtGui/QPixmap>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSheets = 2;
constexpr int kPanelsPerSheet = 40;  // 5 widgets each: 400 with the page control

QString ComponentText(bool lists) {
  QString t = QStringLiteral(
      "object BenchForm: TForm\n  Caption = 'Bench'\n  ClientHeight = 700\n  ClientWidth = "
      "600\n  object Pages: TPageControl\n    Align = alClient\n");
  int n = 0;
  for (int s = 0; s < kSheets; ++s) {
    t += QStringLiteral("    object Sheet%1: TTabSheet\n      Caption = 'Page %1'\n").arg(s);
    for (int p = 0; p < kPanelsPerSheet; ++p, ++n) {
      t += QStringLiteral(
               "      object Panel%1: TPanel\n        Left = 0\n        Top = %2\n        Width = "
               "580\n        Height = 16\n        Align = alTop\n        BevelOuter = bvNone\n"
               "        object Label%1: TLabel\n          Left = 4\n          Top = 2\n          "
               "Caption = 'Field %1'\n        end\n"
               "        object Edit%1: TEdit\n          Left = 80\n          Top = 0\n          "
               "Width = 150\n          Height = 16\n          Text = 'value %1'\n        end\n"
               "        object Combo%1: TComboBox\n          Left = 240\n          Top = 0\n    "
               "      Width = 120\n          Height = 16\n%3          Items.Strings = (\n       "
               "     'one'\n            'two'\n            'three')\n        end\n"
               "        object Button%1: TButton\n          Left = 370\n          Top = 0\n     "
               "     Width = 75\n          Height = 16\n          Caption = 'Go %1'\n        end\n"
               "      end\n")
               .arg(n)
               .arg(p * 16)
               .arg(lists ? QStringLiteral("          Style = csDropDownList\n") : QString());
    }
    t += QStringLiteral("    end\n");
  }
  t += QStringLiteral("  end\nend\n");
  return t;
}

QString UiText(bool lists) {
  QString t = QStringLiteral(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ui version=\"4.0\">\n<class>BenchForm</class>\n"
      "<widget class=\"QWidget\" name=\"BenchForm\">\n<property name=\"geometry\"><rect><x>0</x>"
      "<y>0</y><width>600</width><height>700</height></rect></property>\n"
      "<property name=\"windowTitle\"><string>Bench</string></property>\n"
      "<layout class=\"QVBoxLayout\" name=\"rootLayout\"><property name=\"spacing\"><number>0"
      "</number></property><item>\n<widget class=\"QTabWidget\" name=\"Pages\">\n");
  int n = 0;
  for (int s = 0; s < kSheets; ++s) {
    t += QStringLiteral(
             "<widget class=\"QWidget\" name=\"Sheet%1\"><attribute name=\"title\"><string>Page "
             "%1</string></attribute>\n<layout class=\"QVBoxLayout\" name=\"sheetLayout%1\">"
             "<property name=\"spacing\"><number>0</number></property>\n")
             .arg(s);
    for (int p = 0; p < kPanelsPerSheet; ++p, ++n) {
      t += QStringLiteral(
               "<item><widget class=\"QFrame\" name=\"Panel%1\"><property name=\"minimumSize\">"
               "<size><width>580</width><height>16</height></size></property>\n"
               "<widget class=\"QLabel\" name=\"Label%1\"><property name=\"geometry\"><rect><x>4"
               "</x><y>2</y><width>60</width><height>13</height></rect></property><property "
               "name=\"text\"><string>Field %1</string></property></widget>\n"
               "<widget class=\"QLineEdit\" name=\"Edit%1\"><property name=\"geometry\"><rect><x>"
               "80</x><y>0</y><width>150</width><height>16</height></rect></property><property "
               "name=\"text\"><string>value %1</string></property></widget>\n"
               "<widget class=\"QComboBox\" name=\"Combo%1\"><property name=\"geometry\"><rect>"
               "<x>240</x><y>0</y><width>120</width><height>16</height></rect></property>"
               "<property name=\"editable\"><bool>%2</bool></property><item><property "
               "name=\"text\"><string>one</string></property></item><item>"
               "<property name=\"text\"><string>two</string></property></item><item><property "
               "name=\"text\"><string>three</string></property></item></widget>\n"
               "<widget class=\"QPushButton\" name=\"Button%1\"><property name=\"geometry\"><rect>"
               "<x>370</x><y>0</y><width>75</width><height>16</height></rect></property>"
               "<property name=\"text\"><string>Go %1</string></property></widget>\n"
               "</widget></item>\n")
               .arg(n)
               .arg(lists ? QStringLiteral("false") : QStringLiteral("true"));
    }
    t += QStringLiteral("</layout></widget>\n");
  }
  t += QStringLiteral("</widget>\n</item></layout></widget>\n</ui>\n");
  return t;
}

// Shows the window offscreen and paints all of it once.
void ShowAndPaint(QWidget* w) {
  w->setAttribute(Qt::WA_DontShowOnScreen, true);
  w->show();
  QCoreApplication::processEvents();
  const QPixmap p = w->grab();
  if (p.isNull()) std::fputs("empty paint\n", stderr);
}

double Ours(const QString& text) {
  const auto t0 = std::chrono::steady_clock::now();
  auto* form = static_cast<TCustomForm*>(CreateNewOfClass(TForm::StaticClass(), nullptr));
  ReadComponentText(text, form);
  ShowAndPaint(form->Widget());
  form->Free();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double Loader(const QByteArray& ui) {
  const auto t0 = std::chrono::steady_clock::now();
  QUiLoader loader;
  QBuffer buffer;
  buffer.setData(ui);
  buffer.open(QIODevice::ReadOnly);
  QWidget* w = loader.load(&buffer);
  if (w == nullptr) std::fputs("QUiLoader failed\n", stderr);
  ShowAndPaint(w);
  delete w;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  DescribeRuntimeClasses();
  RegisterUIClasses();
  int rounds = 21;
  if (argc > 1) rounds = std::max(1, std::atoi(argv[1]));
  // Editable combo boxes (the component's default style), then drop-down lists.
  for (bool lists : {false, true}) {
    const QString text = ComponentText(lists);
    const QByteArray ui = UiText(lists).toUtf8();
    Ours(text);  // warm-up: fonts, styles and class tables
    Loader(ui);
    std::vector<double> ours, loader;
    for (int i = 0; i < rounds; ++i) {
      ours.push_back(Ours(text));
      loader.push_back(Loader(ui));
    }
    const double a = Median(ours), b = Median(loader);
    std::printf(
        "%s, %d widgets, %d rounds\n  ours (component text): median %.2f ms\n"
        "  QUiLoader (.ui): median %.2f ms\n  ratio ours/QUiLoader: %.2f\n",
        lists ? "drop-down lists" : "editable combo boxes", kSheets * kPanelsPerSheet * 5 + 1,
        rounds, a, b, a / b);
  }
  return 0;
}
