// Scripts reaching the DBCtrls, Dialogs, ExtCtrls and StdCtrls groups: a script of each group,
// the message-dialog button lists as a table, INPUTQUERY both ways, and the class checks.
#include "fixture.h"

#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/data/memdataset.h"
#include "platform/ui/dbchoice.h"
#include "platform/ui/dblookup.h"
#include "platform/ui/dbnavigator.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/notebook.h"
#include "script/orvcode2.h"

namespace {

class UiGroupsTest : public LibTest {
 protected:
  UiGroupsTest() { orvcode2::InstallCompiler(root); }
  ~UiGroupsTest() override {
    Application->SetModalDriver(nullptr);
    for (int i = Screen()->FormCount() - 1; i >= 0; --i) Screen()->Forms(i)->Free();
    DeliverPendingMessages();
  }
  QString Run(const QString& program, const QString& formula) {
    const QString error = root->Compile(program);
    if (!error.isEmpty()) return QStringLiteral("compile: ") + error;
    try {
      return root->CalcFormula(formula).ToString();
    } catch (const Exception& e) {
      return QStringLiteral("error ") + e.Message();
    }
  }
  Variant Indexed(const char* name, TObject* slf, int index) {
    return dynamic_cast<TArrayItem*>(Item(QString::fromLatin1(name)))->GetValue(slf, {index});
  }
  void SetIndexed(const char* name, TObject* slf, int index, const QString& v) {
    dynamic_cast<TArrayItem*>(Item(QString::fromLatin1(name)))->SetValue(slf, {index}, v);
  }
  static Variant Buttons(const VariantArgs& values, int count) {
    VariantArgs all{count};
    all.insert(all.end(), values.begin(), values.end());
    return VarArrayOf(all);
  }
  THeadlessDialogs dialogs;
  TDialogServiceScope scope{&dialogs};
};

TEST_F(UiGroupsTest, DBCtrlsScriptDrivesANavigatorAndReadsFields) {
  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add("ID", ftInteger);
  ds.FieldDefs().Add("KIND", ftString, 5);
  ds.CreateDataSet();
  ds.AppendRecord({1, "A"});
  ds.AppendRecord({2, "B"});
  ds.First();
  TDataSource source(nullptr);
  source.SetDataSet(&ds);
  auto* nav = static_cast<TDBNavigator*>(orvcls::VarToObj(Call("TDBNAVIGATOR.CREATE", {0})));
  nav->SetDataSource(&source);
  Call("TDBNAVIGATOR.BTNCLICK", {qint64(2)}, nav);  // nbNext
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 2);
  Call("TDBNAVIGATOR.BTNCLICK", {qint64(6)}, nav);  // nbEdit
  ds.FieldByName("KIND")->SetAsString("Z");
  Call("TDBNAVIGATOR.BTNCLICK", {Get("nbPost", nullptr)}, nav);
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(ErrorOf([&] { Call("TDBNAVIGATOR.BTNCLICK", {qint64(10)}, nav); }).section(':', 0, 0),
            "ERangeError");
  EXPECT_EQ(Indexed("TDBNAVIGATOR.HINTS", nav, 5).ToString(), "Удалить запись");
  SetIndexed("TDBNAVIGATOR.HINTS", nav, 5, "Стереть");
  EXPECT_EQ(nav->Buttons(nbDelete)->Hint(), "Стереть");
  EXPECT_TRUE(
      ErrorOf([&] { Indexed("TDBNAVIGATOR.HINTS", nav, 10); }).startsWith("EStringListError"));

  auto* group = static_cast<TDBRadioGroup*>(orvcls::VarToObj(Call("TDBRADIOGROUP.CREATE", {0})));
  group->Items()->SetText("Альфа\r\nЗета");
  group->Values()->SetText("A\r\nZ");
  group->SetDataSource(&source);
  Set("TDBRADIOGROUP.DATAFIELD", group, "KIND");
  EXPECT_EQ(Get("TDBRADIOGROUP.ITEMINDEX", group).ToInt(), 1);
  EXPECT_EQ(Get("TDBRADIOGROUP.VALUE", group).ToString(), "Z");
  EXPECT_EQ(Indexed("TDBRADIOGROUP.ITEMS", group, 1).ToString(), "Зета");
  EXPECT_EQ(Indexed("TDBRADIOGROUP.VALUES", group, 1).ToString(), "Z");
  EXPECT_EQ(orvcls::VarToObj(Get("TDBRADIOGROUP.FIELD", group)), ds.FieldByName("KIND"));

  // A script creates a data-aware edit of its own.
  EXPECT_EQ(Run("function T: string;\n"
                "var E: TDBEdit;\n"
                "begin\n"
                "  E := E.Create(nil);\n"
                "  if E.Field = nil then Result := 'no field' else Result := 'field';\n"
                "  E.Free;\n"
                "end;\n"
                "begin end.",
                "T"),
            "no field");
  group->Free();
  nav->Free();
}

TEST_F(UiGroupsTest, EveryMemberEntryChecksItsClass) {
  TEdit edit(nullptr);
  for (const char* name :
       {"TDBCHECKBOX.CHECKED", "TDBEDIT.FIELD", "TOPENDIALOG.FILES", "TFINDDIALOG.HANDLE",
        "TPAINTBOX.CANVAS", "TLABEL.WORDWRAP", "TSCROLLBAR.POSITION", "TMEMO.WANTTABS"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(ErrorOf([&] { Get(QString::fromLatin1(name), &edit); }).contains("is not"));
    EXPECT_TRUE(ErrorOf([&] { Get(QString::fromLatin1(name), nullptr); }).contains("nil"));
  }
  EXPECT_TRUE(ErrorOf([&] { Call("TBUTTON.CLICK", {}, &edit); }).contains("is not"));
  EXPECT_TRUE(ErrorOf([&] { Call("TSHAPE.STYLECHANGED", {0}, &edit); }).contains("is not"));
  // Creation entries take nil, and refuse an unrelated Self.
  TObject* made = orvcls::VarToObj(Call("TDBEDIT.CREATE", {0}));
  EXPECT_EQ(made->ClassName(), "TDBEdit");
  made->Free();
  EXPECT_TRUE(ErrorOf([&] { Call("TDBEDIT.CREATE", {0}, &edit); }).contains("is not"));
  // The global dialog routines ignore Self.
  EXPECT_EQ(Call("MESSAGEDLG", {"x", qint64(2), Buttons({}, 0), 0}, &edit).ToInt(), mrOk);
}

TEST_F(UiGroupsTest, MessageDialogButtonListsAsATable) {
  struct Row {
    const char* what;
    VariantArgs values;
    int count;
    qint64 shown;       // the button set asked for, or -1 for an error
    const char* error;  // part of the error text
  };
  const Row rows[] = {
      {"yes and no", {qint64(0), qint64(1)}, 2, 0b11, ""},
      {"OK twice", {qint64(2), qint64(2)}, 2, 0b100, ""},
      {"count 0", {qint64(0), qint64(1)}, 0, 0, ""},
      {"count without values", {}, 0, 0, ""},
      {"help and out of range", {qint64(10), qint64(11), qint64(-1)}, 3, 1 << 10, ""},
      {"count beyond the elements", {qint64(2)}, 3, -1, "MESSAGEDLG"},
      {"more than 51", VariantArgs(52, qint64(2)), 52, -1, "51"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    dialogs.Requests.clear();
    const QString error = ErrorOf([&] {
      Call("MESSAGEDLG", {"Текст", qint64(3), Buttons(r.values, r.count), 0});
    });
    if (r.shown < 0) {
      EXPECT_TRUE(error.startsWith("TOrvError")) << error.toStdString();
      EXPECT_TRUE(error.contains(r.error)) << error.toStdString();
      EXPECT_TRUE(dialogs.Requests.empty());
    } else {
      ASSERT_EQ(dialogs.Requests.size(), 1u);
      EXPECT_EQ(dialogs.Requests[0].Flags, r.shown);
      EXPECT_EQ(dialogs.Requests[0].Type, mtConfirmation);
    }
  }
  dialogs.SetResponder([](const TDialogRequest&) { return TDialogAnswer{mrNo, {}, {}, {}}; });
  EXPECT_EQ(Call("MESSAGEDLG", {"Да?", qint64(3), Buttons({qint64(0), qint64(1)}, 2), 0}).ToInt(),
            mrNo);
  // CREATEMESSAGEDIALOG answers a form that is not shown.
  auto* f = dynamic_cast<TForm*>(
      orvcls::VarToObj(Call("CREATEMESSAGEDIALOG", {"?", qint64(3), Buttons({qint64(0)}, 1)})));
  ASSERT_NE(f, nullptr);
  EXPECT_FALSE(f->Visible());
  f->Free();
}

TEST_F(UiGroupsTest, InputQueryWritesTheTextBackBothWays) {
  dialogs.SetResponder([](const TDialogRequest& r) {
    TDialogAnswer a{r.Value == "старое" ? idOK : idCancel, {}, {}, {}};
    a.Text = "новое";
    return a;
  });
  VariantArgs args = CallArgs("INPUTQUERY", {"Заголовок", "Вопрос", "старое"});
  EXPECT_EQ(args[2].ToString(), "новое");
  args = CallArgs("INPUTQUERY", {"Заголовок", "Вопрос", "другое"});
  EXPECT_EQ(args[2].ToString(), "другое");
  EXPECT_EQ(args[2].VType(), varString);
  EXPECT_EQ(Call("INPUTBOX", {"З", "В", "старое"}).ToString(), "новое");
  EXPECT_EQ(Call("INPUTBOX", {"З", "В", "иное"}).ToString(), "иное");
}

TEST_F(UiGroupsTest, StdCtrlsAndExtCtrlsScripts) {
  EXPECT_EQ(Run("function T: string;\n"
                "var S: TScrollBar; N: TNotebook; P: TPage;\n"
                "begin\n"
                "  S := S.Create(nil);\n"
                "  S.LargeChange := 7;\n"
                "  Result := IntToStr(S.LargeChange);\n"
                "  N := N.Create(nil);\n"
                "  P := P.Create(N);\n"
                "  P.Parent := N;\n"
                "  Result := Result + ' ' + IntToStr(N.ControlCount);\n"
                "  S.Free; N.Free;\n"
                "end;\nbegin end.",
                "T"),
            "7 1");
  TEdit edit(nullptr);
  Set("TEDIT.PASSWORDCHAR", &edit, "*#");
  EXPECT_EQ(Get("TEDIT.PASSWORDCHAR", &edit).ToString(), "*");
  Set("TEDIT.PASSWORDCHAR", &edit, "");
  EXPECT_EQ(Get("TEDIT.PASSWORDCHAR", &edit).ToString(), QString(QChar(0)));
  EXPECT_EQ(edit.PasswordChar(), "");
  TScrollBar bar(nullptr);
  EXPECT_EQ(Get("TSCROLLBAR.LARGECHANGE", &bar).VType(), varWord);
  EXPECT_EQ(Get("TSCROLLBAR.POSITION", &bar).VType(), varInteger);
  TListBox list(nullptr);
  TObject* items = orvcls::VarToObj(Get("TCUSTOMLISTBOX.ITEMS", &list));
  ASSERT_TRUE(items->InheritsFrom(TStrings::StaticClass())) << items->ClassName().toStdString();
  Call("TSTRINGS.ADD", {"строка"}, items);
  EXPECT_EQ(list.Items()->Count(), 1);
  EXPECT_EQ(Get("taCenter", nullptr).ToInt(), 2);
  EXPECT_EQ(Get("stCircle", nullptr).ToInt(), 5);
  EXPECT_EQ(Get("mbHelp", nullptr).ToInt(), 10);
  EXPECT_EQ(Get("clGreen", nullptr).VType(), varInteger);
  TShape shape(nullptr);
  Call("TSHAPE.STYLECHANGED", {0}, &shape);
  TPaintBox box(nullptr);
  EXPECT_EQ(orvcls::VarToObj(Get("TPAINTBOX.CANVAS", &box)), box.Canvas());
}

}  // namespace
