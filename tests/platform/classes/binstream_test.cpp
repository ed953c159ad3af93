// The binary component stream against the same component written as text: every value kind,
// nesting, collections, 8-bit and wide texts, resource headers, and streams cut short or
// forged.
#include "platform/classes/binstream.h"
#include "platform/rtl/codepage.h"
#include "platform/rtl/exceptions.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A small writer of the stream, enough to build the fixtures.
class Bin {
 public:
  Bin& Raw(const QByteArray& b) {
    out += b;
    return *this;
  }
  Bin& U8(int v) {
    out += char(quint8(v));
    return *this;
  }
  template <class T>
  Bin& Le(T v) {
    char buf[sizeof(T)];
    std::memcpy(buf, &v, sizeof(T));
    out.append(buf, sizeof(T));
    return *this;
  }
  Bin& Short(const QString& s) {
    const QByteArray b = ToAnsi(s);
    return U8(int(b.size())).Raw(b);
  }
  Bin& Prop(const char* name) { return Short(QString::fromLatin1(name)); }
  QByteArray out;
};

QByteArray Sample() {
  Bin b;
  b.Raw("TPF0").Short("TForm").Short("Form1");
  b.Prop("Caption").U8(6).Short("Привет");
  b.Prop("Left").U8(2).U8(quint8(-5));
  b.Prop("Width").U8(3).Le<qint16>(1200);
  b.Prop("Big").U8(4).Le<qint32>(100000);
  b.Prop("Huge").U8(19).Le<qint64>(Q_INT64_C(5000000000));
  b.Prop("Ratio").U8(5).Le<quint64>(Q_UINT64_C(0xC000000000000000)).Le<quint16>(0x3FFF);  // 1.5
  b.Prop("Visible").U8(8);
  b.Prop("Enabled").U8(9);
  b.Prop("Align").U8(7).Short("alClient");
  b.Prop("Anchors").U8(11).Short("akLeft").Short("akTop").U8(0);
  b.Prop("Lines.Strings").U8(1).U8(6).Short("один").U8(12).Le<qint32>(3).Raw(ToAnsi("два")).U8(0);
  b.Prop("Hint").U8(18).Le<qint32>(2).Le<quint16>(0x263A).Le<quint16>(0x0416);
  b.Prop("Note").U8(20).Le<qint32>(4).Raw("\xC3\xA9\x7A\x7A");
  b.Prop("Money").U8(16).Le<qint64>(123456);
  b.Prop("Data").U8(10).Le<qint32>(3).Raw("\x01\x02\xFF");
  b.Prop("Columns")
      .U8(14)
      .U8(1)
      .Prop("Width")
      .U8(2)
      .U8(10)
      .U8(0)
      .U8(2)
      .U8(4)
      .U8(1)
      .Prop("Width")
      .U8(2)
      .U8(20)
      .U8(0)
      .U8(0);
  b.Prop("PopupMenu").U8(13);
  b.U8(0);
  b.Short("TButton").Short("OK").Prop("OnClick").U8(7).Short("OKClick").U8(0).U8(0);
  b.U8(0xF1).Short("TPanel").Short("P").U8(0).U8(0);
  b.U8(0);
  return b.out;
}

const char* const kSampleText =
    "object Form1: TForm\n"
    "  Caption = 'Привет'\n"
    "  Left = -5\n"
    "  Width = 1200\n"
    "  Big = 100000\n"
    "  Huge = 5000000000\n"
    "  Ratio = 1.5\n"
    "  Visible = False\n"
    "  Enabled = True\n"
    "  Align = alClient\n"
    "  Anchors = [akLeft, akTop]\n"
    "  Lines.Strings = ('один' 'два')\n"
    "  Hint = '☺Ж'\n"
    "  Note = 'ézz'\n"
    "  Money = 12.3456c\n"
    "  Data = {0102FF}\n"
    "  Columns = <item Width = 10 end item [4] Width = 20 end>\n"
    "  PopupMenu = nil\n"
    "  object OK: TButton\n"
    "    OnClick = OKClick\n"
    "  end\n"
    "  inherited P: TPanel\n"
    "  end\n"
    "end\n";

TEST(BinaryComponentStream, ReadsLikeTheSameComponentWrittenAsText) {
  const TTextObject fromBinary = binstream::ReadComponentStream(Sample());
  const TTextObject fromText = ParseComponentText(QString::fromUtf8(kSampleText));
  EXPECT_EQ(FormatComponentText(fromBinary), FormatComponentText(fromText));
  // Lines are those of its formatted text, so read errors can name one.
  EXPECT_EQ(fromBinary.Children.at(0).Line,
            ParseComponentText(FormatComponentText(fromText)).Children.at(0).Line);
}

TEST(BinaryComponentStream, FormFilesWithAndWithoutResourceHeaderOrAsText) {
  Bin header;
  header.U8(0xFF).U8(0x0A).U8(0).Raw("TFORM1").U8(0).Le<quint16>(0x1030).Le<quint32>(
      quint32(Sample().size()));
  const QString expected = FormatComponentText(binstream::ReadComponentStream(Sample()));
  EXPECT_EQ(FormatComponentText(binstream::ReadFormFile(header.out + Sample())), expected);
  EXPECT_EQ(FormatComponentText(binstream::ReadFormFile(Sample())), expected);
  EXPECT_EQ(FormatComponentText(binstream::ReadFormFile("\xEF\xBB\xBF" + QByteArray(kSampleText))),
            expected);
  const QString cyrillic = QStringLiteral("object F: TForm\n  Caption = 'Привет'\nend\n");
  EXPECT_EQ(binstream::ReadFormFile(ToAnsi(cyrillic)).Props.at(0).Value.Str, "Привет");
  EXPECT_THROW(binstream::ReadFormFile(QByteArray("\xFF\x0A\x00NAME", 7)), EReadError);
  EXPECT_THROW(binstream::ReadFormFile(QByteArray("\xFF\x01\x00", 3)), EReadError);
}

TEST(BinaryComponentStream, EveryCutOrForgedStreamFailsCleanly) {
  const QByteArray full = Sample();
  for (qsizetype n = 0; n < full.size(); ++n)
    EXPECT_THROW(binstream::ReadComponentStream(full.left(n)), EReadError) << n;
  // A length far beyond the buffer, an unknown value type, a bad collection item.
  const QByteArray forged[] = {
      Bin().Raw("TPF0").Short("T").Short("").Prop("S").U8(12).Le<qint32>(0x7FFFFFFF).out,
      Bin().Raw("TPF0").Short("T").Short("").Prop("S").U8(18).Le<qint32>(-1).out,
      Bin().Raw("TPF0").Short("T").Short("").Prop("S").U8(99).out,
      Bin().Raw("TPF0").Short("T").Short("").Prop("C").U8(14).U8(7).out,
      // Extended values past the range of a double, either sign.
      Bin()
          .Raw("TPF0")
          .Short("T")
          .Short("")
          .Prop("F")
          .U8(5)
          .Le<quint64>(1)
          .Le<quint16>(0x7FFE)
          .U8(0)
          .U8(0)
          .out,
      Bin()
          .Raw("TPF0")
          .Short("T")
          .Short("")
          .Prop("F")
          .U8(5)
          .Le<quint64>(~0ull)
          .Le<quint16>(0xC701)
          .U8(0)
          .U8(0)
          .out,
  };
  for (const QByteArray& f : forged) EXPECT_THROW(binstream::ReadComponentStream(f), EReadError);
}

TEST(BinaryComponentStream, NamesTheTextFormCannotWriteAreRefused) {
  // Each stream reads to a form whose text would not parse again; a clean one does.
  auto object = [](const QString& cls, const QString& name) {
    return Bin().Raw("TPF0").Short(cls).Short(name);
  };
  struct Case {
    const char* shape;
    QByteArray stream;
    const char* message;
  };
  const Case cases[] = {
      {"empty class", object("", "").U8(0).U8(0).out, "class name expected"},
      {"class with a blank", object("T X", "").U8(0).U8(0).out, "class name expected"},
      {"name with a dash", object("T", "a-b").U8(0).U8(0).out, "component name expected"},
      {"property named end", object("T", "").Short("End").U8(2).U8(1).U8(0).U8(0).out,
       "property name expected"},
      {"identifier with a blank", object("T", "").Short("P").U8(7).Short("a b").U8(0).U8(0).out,
       "identifier expected"},
      {"set element", object("T", "").Short("P").U8(11).Short("1a").Short("").U8(0).U8(0).out,
       "set element expected"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    try {
      binstream::ReadComponentStream(c.stream);
      ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
      EXPECT_TRUE(e.Message().contains(QLatin1String(c.message))) << e.Message().toStdString();
    }
  }
  const TTextObject ok = binstream::ReadComponentStream(object("TForm", "")
                                                            .Short("Font.Name")
                                                            .U8(7)
                                                            .Short("Owner.Box_1")
                                                            .Short("S")
                                                            .U8(11)
                                                            .Short("fsBold")
                                                            .Short("")
                                                            .U8(0)
                                                            .U8(0)
                                                            .out);
  EXPECT_EQ(ok.Props.at(0).Value.Str, "Owner.Box_1");
  EXPECT_EQ(ok.Props.at(1).Value.Set, QStringList{"fsBold"});
}

TEST(BinaryComponentStream, DeepNestingIsRefusedNotRecursedInto) {
  Bin b;
  b.Raw("TPF0").Short("T").Short("").Prop("L");
  for (int i = 0; i < 100000; ++i) b.U8(1);
  EXPECT_THROW(binstream::ReadComponentStream(b.out), EReadError);
  Bin c;
  c.Raw("TPF0");
  for (int i = 0; i < 100000; ++i) c.Short("T").Short("").U8(0);
  EXPECT_THROW(binstream::ReadComponentStream(c.out), EReadError);
}

}  // namespace
