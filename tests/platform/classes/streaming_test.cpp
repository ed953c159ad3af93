#include "fixture.h"

#include "platform/classes/collection.h"
#include "platform/classes/filer.h"
#include "platform/classes/reader.h"
#include "platform/classes/writer.h"
#include "platform/rtl/stringlist.h"

#include <gtest/gtest.h>

namespace {

class TFontish : public TPersistent {
  ORV_CLASS(TFontish, TPersistent)
  QString FontName;
  int Size = 8;
};
ORV_DESCRIBE(TFontish) {
  c.Prop("Name", &TFontish::FontName);
  c.Prop("Size", &TFontish::Size).Default(8);
}

class TLine : public TCollectionItem {
  ORV_CLASS(TLine, TCollectionItem)
  using TCollectionItem::TCollectionItem;
  QString Text;
  TShape Shape = shNone;
};
ORV_DESCRIBE(TLine) {
  c.Prop("Text", &TLine::Text);
  c.Prop("Shape", &TLine::Shape).Default(shNone);
}

// A component that shows other components: they are its children in the text.
class TBox : public TSample {
  ORV_CLASS(TBox, TSample)
  using TSample::TSample;
  TComponent* parent = nullptr;
  TComponent* GetParentComponent() const override { return parent; }
  void SetParentComponent(TComponent* p) override { parent = dynamic_cast<TBox*>(p); }
  bool HasParent() const override { return parent != nullptr; }
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override {
    for (TComponent* c : root->ComponentList()) {
      if (c->GetParentComponent() == this) proc(c);
    }
    if (this == root) TSample::GetChildren(proc, root);
  }
};
ORV_DESCRIBE(TBox) {}

class TStreamForm : public TBox {
  ORV_CLASS(TStreamForm, TBox)
  explicit TStreamForm(TComponent* owner) : TBox(owner), Notes(TLine::StaticClass(), this) {}
  ~TStreamForm() override {
    FreeAndNil(Font);
    FreeAndNil(Lines);
  }
  TFontish* Font = new TFontish;
  TStringList* Lines = new TStringList;
  TCollection Notes;
  QByteArray Data;
  QStringList loadedOrder;
  void Loaded() override {
    TBox::Loaded();
    loadedOrder << Name();
  }
  void DefineProperties(TFiler* filer) override {
    filer->DefineBinaryProperty(
        "Data", [this](const QByteArray& b) { Data = b; }, [this] { return Data; },
        !Data.isEmpty());
  }
};
ORV_DESCRIBE(TStreamForm) {
  c.Prop("Font", [](const TStreamForm* f) { return f->Font; });
  c.Prop("Lines", [](const TStreamForm* f) { return f->Lines; });
  c.Prop("Notes", [](const TStreamForm* f) { return const_cast<TCollection*>(&f->Notes); });
}

TComponent* gGlobal = nullptr;
TComponent* FindGlobal(const QString& name) {
  return gGlobal != nullptr && gGlobal->Name().compare(name, Qt::CaseInsensitive) == 0 ? gGlobal
                                                                                       : nullptr;
}

class Streaming : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClasses({TSample::StaticClass(), TBox::StaticClass(), TStreamForm::StaticClass()});
    global_ = new TComponent(nullptr);
    global_->SetName("Global");
    auto* part = new TSample(global_);
    part->SetName("Part");
    gGlobal = global_;
    RegisterFindGlobalComponentProc(&FindGlobal);
  }
  void TearDown() override {
    UnregisterFindGlobalComponentProc(&FindGlobal);
    gGlobal = nullptr;
    global_->Free();
  }
  TComponent* global_ = nullptr;
};

// Every form of the notation: strings with #nn and + joins, negative and hex numbers,
// floats, enumeration values, Boolean, sets, a forward component reference and a global
// X.Y reference, an event, dotted sub-properties, a string list, a collection, binary
// data, nested objects and an empty value list.
const char* const kFixture = R"(object Form1: TStreamForm
  Caption = 'It''s '#1055#1088#1080#1074#1077#1090 + #13#10'two'
  Count = -5
  Big = $10000000000
  Ratio = 1.25
  When = 45000.5
  Shape = shCircle
  Shapes = [shCircle, shSquare]
  Flag = True
  Letter = 'Z'
  Value = 'text'
  Link = Box1
  OnPing = Ping
  Font.Name = 'Arial'
  Font.Size = 12
  Lines.Strings = (
    'one'
    'two')
  Notes = <
    item
      Text = 'a'
    end
    item
      Text = 'b'
      Shape = shSquare
    end>
  Data = {0A0B0C}
  object Box1: TBox
    Tag = 7
    object Inner: TSample
      Caption = 'in'
      Link = Global.Part
    end
  end
end
)";

TEST_F(Streaming, ReadsEveryFormAndWritesWhatItReads) {
  auto* form = dynamic_cast<TStreamForm*>(ReadComponentText(kFixture, nullptr));
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Name(), "Form1");
  EXPECT_EQ(form->Caption, "It's Привет\r\ntwo");
  EXPECT_EQ(form->Count, -5);
  EXPECT_EQ(form->Big, qint64(1) << 40);
  EXPECT_EQ(form->Ratio, 1.25);
  EXPECT_EQ(form->When, 45000.5);
  EXPECT_EQ(form->Shape, shCircle);
  EXPECT_EQ(form->Shapes, TShapes({shCircle, shSquare}));
  EXPECT_TRUE(form->Flag);
  EXPECT_EQ(form->Letter, QChar('Z'));
  EXPECT_EQ(form->Value.ToString(), "text");
  auto* box = dynamic_cast<TBox*>(form->FindComponent("Box1"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(form->Link, box);
  EXPECT_EQ(box->Tag(), 7);
  auto* inner = dynamic_cast<TSample*>(form->FindComponent("Inner"));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Owner(), form);  // owned by the root, shown by the box
  EXPECT_EQ(inner->GetParentComponent(), nullptr);
  EXPECT_EQ(inner->Link, global_->FindComponent("Part"));
  EXPECT_EQ(form->Font->FontName, "Arial");
  EXPECT_EQ(form->Font->Size, 12);
  EXPECT_EQ(form->Lines->Text(), "one\r\ntwo\r\n");
  ASSERT_EQ(form->Notes.Count(), 2);
  EXPECT_EQ(static_cast<TLine*>(form->Notes.Items(1))->Shape, shSquare);
  EXPECT_EQ(form->Data, QByteArray("\x0A\x0B\x0C"));
  form->OnPing(form);
  EXPECT_EQ(form->Log, "ping:TStreamForm;");
  EXPECT_EQ(form->loadedOrder, QStringList({"Form1"}));
  EXPECT_FALSE(form->ComponentState().Contains(csLoading));

  const QString written = WriteComponentText(form);
  auto* again = dynamic_cast<TStreamForm*>(ReadComponentText(written, nullptr));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(WriteComponentText(again), written);
  EXPECT_EQ(again->Caption, form->Caption);
  EXPECT_EQ(again->FindComponent("Inner")->Owner(), again);
  EXPECT_TRUE(written.contains("Link = Global.Part")) << written.toStdString();
  EXPECT_TRUE(written.contains("OnPing = Ping"));
  again->Free();
  form->Free();
}

TEST_F(Streaming, ReadsIntoAnExistingRoot) {
  TSample root(nullptr);
  root.SetName("Existing");
  auto* keep = new TSample(&root);
  keep->SetName("Keep");
  ReadComponentText(
      "inherited TComponent\n"
      "  Count = 3\n"
      "  inherited Keep: TSample\n"
      "    Caption = 'kept'\n"
      "  end\n"
      "  object Added: TSample\n"
      "    Link = Keep\n"
      "  end\n"
      "end\n",
      &root);
  EXPECT_EQ(root.Name(), "Existing");
  EXPECT_EQ(root.Count, 3);
  EXPECT_EQ(keep->Caption, "kept");
  auto* added = dynamic_cast<TSample*>(root.FindComponent("Added"));
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->Link, keep);
}

TEST_F(Streaming, MethodLookupHookAnswersEveryName) {
  TSample root(nullptr);
  TMethodInfo pending;
  pending.Name = "NotYetBound";
  ReadComponentText("inherited TComponent\n  OnPing = NotYetBound\nend\n", &root,
                    [&](TComponent*, const QString& name) {
                      EXPECT_EQ(name, "NotYetBound");
                      return TMethod{&pending, &root};
                    });
  EXPECT_TRUE(root.OnPing.IsPending());
  root.OnPing(&root);  // never fires
  EXPECT_EQ(root.Log, "");
}

int LineOf(const QString& message) {
  const int at = message.indexOf("line ");
  return at < 0 ? -1 : message.mid(at + 5).toInt();
}

TEST_F(Streaming, ErrorsNameTheLineAndLeaveNothingHalfMade) {
  struct Case {
    const char* text;
    int line;
    const char* mentions;
  };
  const Case cases[] = {
      {"object A: TSample\n  Count = ]\nend\n", 2, "Invalid value"},
      {"object A: TSample\n  Caption = 'open\nend\n", 2, "Unterminated"},
      {"object A: TSample\n  Count = 1\n  object B: TNoSuchClass\n  end\nend\n", 3, "TNoSuchClass"},
      {"object A: TSample\n\n  Colour = 1\nend\n", 3, "Colour"},
      {"object A: TSample\n  Shape = shOval\nend\n", 2, "shOval"},
      {"object A: TSample\n  OnPing = Missing\nend\n", 2, "Missing"},
      {"object A: TSample\n  Count = 'x'\nend\n", 2, "Count"},
      {"object A: TSample\n  object B: TSample\n    Flag = Maybe\n  end\nend\n", 3, "Maybe"},
      {"object A: TSample\n  object B: TSample\n  end\n  object B: TSample\n  end\nend\n", 4, "B"},
      {"object A: TSample\n  Count = 1\n", 3, "end"},
  };
  for (const Case& c : cases) {
    TSample root(nullptr);
    try {
      ReadComponentText(c.text, &root);
      ADD_FAILURE() << c.text;
    } catch (const Exception& e) {
      EXPECT_EQ(LineOf(e.Message()), c.line) << e.Message().toStdString();
      EXPECT_TRUE(e.Message().contains(c.mentions)) << e.Message().toStdString();
    }
    // What the failing block created is gone again.
    if (QString(c.text).contains("TNoSuchClass") || QString(c.text).contains("Maybe")) {
      EXPECT_EQ(root.ComponentCount(), 0) << c.text;
    }
    EXPECT_FALSE(root.ComponentState().Contains(csLoading));
  }
  // A root created by the failed read is freed as well.
  EXPECT_THROW(ReadComponentText("object A: TSample\n  Colour = 1\nend\n", nullptr), EReadError);
}

TEST_F(Streaming, ParserErrorsForBrokenSyntax) {
  for (const char* text : {"objekt A: TSample end", "object A: TSample\n Count = 1 end trailing",
                           "object A: TSample\n  Data = {0A0}\nend"}) {
    EXPECT_THROW(ParseComponentText(text), EParserError) << text;
  }
}

}  // namespace
