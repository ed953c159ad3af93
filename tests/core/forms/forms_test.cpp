#include "forms_test.h"

#include "core/orvlib_forms.h"
#include "platform/classes/comptext.h"
#include "platform/classes/classregistry.h"
#include "platform/ui/qtdialogs.h"

#include <QtCore/QTimer>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QMessageBox>

ORV_DESCRIBE(TBaseDlg) {
  c.Method("FormCreate", &TBaseDlg::FormCreate);
  c.Method("OkBtnClick", &TBaseDlg::OkBtnClick);
}
ORV_DESCRIBE(TDerivedDlg) {}
ORV_DESCRIBE(TAddrFrame) {}

void RegisterFormTestClasses() {
  RegisterClasses({TBaseDlg::StaticClass(), TDerivedDlg::StaticClass(), TAddrFrame::StaticClass()});
}

void RegisterTestResources();

namespace {

template <class T>
T* Find(TComponent* root, const QString& name) {
  return dynamic_cast<T*>(root->FindComponent(name));
}

TEST_F(FormsTest, ResourceChainWithInheritedInlineAndBoundEvents) {
  auto* dlg =
      dynamic_cast<TDerivedDlg*>(CreateComponentOfClass(TDerivedDlg::StaticClass(), nullptr));
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(dlg->Name(), "DerivedDlg");
  EXPECT_EQ(dlg->Caption(), "Производный");
  EXPECT_EQ(dlg->BorderStyle(), bsDialog);  // from the base text
  auto* ok = Find<TButton>(dlg, "OkBtn");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->Caption(), "Да");
  EXPECT_EQ(ok->Parent()->Name(), "ButtonPanel");
  auto* frame = Find<TAddrFrame>(dlg, "Addr");
  ASSERT_NE(frame, nullptr);
  auto* city = Find<TEdit>(frame, "CityEdit");
  ASSERT_NE(city, nullptr);
  EXPECT_EQ(city->Text(), "Тверь");
  EXPECT_EQ(city->Owner(), frame);
  ok->Click();
  EXPECT_EQ(dlg->Log.join('|'), "create Производный|click Да");
  // CreateNew reads nothing.
  auto* bare = static_cast<TDerivedDlg*>(CreateNewOfClass(TDerivedDlg::StaticClass(), nullptr));
  EXPECT_EQ(bare->ComponentCount(), 0);
  // Two forms of one class under one owner get distinct names.
  auto* again = CreateComponentOfClass(TDerivedDlg::StaticClass(), dlg->Owner());
  EXPECT_NE(again->Name(), "");
}

TEST_F(FormsTest, BadTextRaisesWithLineAndLeavesNothing) {
  const int before = Screen()->FormCount();
  struct TCase {
    const char* text;
    const char* error;
  } cases[] = {
      {"object BadDlg: TBaseDlg\n  Caption = 'x'\n  Colour = clRed\nend\n",
       "Unknown property: \"Colour\" of TBaseDlg at line 3"},
      {"object BadDlg: TBaseDlg\n  object P: TNoSuchPanel\n  end\nend\n",
       "Class TNoSuchPanel not found at line 2"},
      {"object BadDlg: TBaseDlg\n  Color = clNoSuchColour\nend\n",
       "Invalid value \"clNoSuchColour\" for property Color at line 2"},
  };
  for (const TCase& c : cases) {
    RegisterComponentResource(QStringLiteral("TBaseDlg"), QString::fromUtf8(c.text));
    try {
      CreateComponentOfClass(TBaseDlg::StaticClass(), nullptr);
      ADD_FAILURE() << c.text;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), QString::fromUtf8(c.error));
    }
    EXPECT_EQ(Screen()->FormCount(), before);
  }
  RegisterTestResources();  // the compiled-in text back
}

TEST_F(FormsTest, SweepOfCompiledResources) {
  const QStringList names = ComponentResourceNames();
  EXPECT_TRUE(names.contains("TADDRFRAME"));
  for (const QString& name : names) {
    SCOPED_TRACE(name.toStdString());
    TClass cls = GetClass(name);
    if (cls == nullptr) {
      EXPECT_NO_THROW(ParseComponentText(FindComponentResource(name)));
      continue;
    }
    TComponent* c = nullptr;
    EXPECT_NO_THROW(c = CreateComponentOfClass(cls, nullptr));
    if (c != nullptr) c->Free();
  }
}

TEST_F(FormsTest, ShowModalFormRestoresTheActiveFormAndItsControl) {
  auto* main = static_cast<TForm*>(CreateNewOfClass(TForm::StaticClass(), nullptr));
  auto* first = new TEdit(main);
  first->SetParent(main);
  auto* second = new TEdit(main);
  second->SetParent(main);
  main->Show();
  second->SetFocus();
  auto* dlg = static_cast<TForm*>(CreateNewOfClass(TForm::StaticClass(), nullptr));
  bool mainEnabled = true;
  Application->SetModalDriver([&](TCustomForm* f) {
    mainEnabled = main->Enabled();
    f->SetModalResult(mrYes);
  });
  EXPECT_EQ(orvlib::ShowModalForm(dlg), mrYes);
  EXPECT_FALSE(mainEnabled);
  EXPECT_TRUE(main->Enabled());
  EXPECT_EQ(Screen()->ActiveForm(), main);
  EXPECT_EQ(main->ActiveControl(), second);
  // An exception inside the run restores the same way.
  Application->SetModalDriver([](TCustomForm*) { throw EAbort("stop"); });
  EXPECT_THROW(orvlib::ShowModalForm(dlg), EAbort);
  EXPECT_TRUE(main->Enabled());
}

TEST_F(FormsTest, ExecuteFormMakesANewFormWhenTheKeptOneFreedItself) {
  orvlib::TFormVar var;
  int made = 0;
  Application->SetModalDriver([&](TCustomForm* f) {
    ++made;
    f->SetModalResult(mrOk);
  });
  EXPECT_EQ(orvlib::ExecuteForm(TBaseDlg::StaticClass(), var), mrOk);
  TCustomForm* kept = var.Get();
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(orvlib::ExecuteForm(TBaseDlg::StaticClass(), var), mrOk);
  EXPECT_EQ(var.Get(), kept);  // reused
  kept->Release();
  DeliverPendingMessages();
  EXPECT_EQ(var.Get(), nullptr);  // the dead form reads as none
  EXPECT_EQ(orvlib::ExecuteForm(TBaseDlg::StaticClass(), var), mrOk);
  EXPECT_NE(var.Get(), nullptr);
  EXPECT_EQ(made, 3);
}

TEST_F(FormsTest, ExecuteFormOnceFreesOnceEvenWhenTheFormFreedItself) {
  orvlib::TFormVar var;
  qint64 handle = 0;
  Application->SetModalDriver([&](TCustomForm* f) {
    handle = f->ObjectHandle();
    f->SetModalResult(mrCancel);
    f->Release();  // the form goes by itself while it runs
  });
  EXPECT_EQ(orvlib::ExecuteFormOnce(TBaseDlg::StaticClass(), var), mrCancel);
  DeliverPendingMessages();
  EXPECT_FALSE(TObject::IsLiveHandle(handle));
  EXPECT_EQ(var.Get(), nullptr);
  Application->SetModalDriver([&](TCustomForm* f) { f->SetModalResult(mrOk); });
  EXPECT_EQ(orvlib::ExecuteFormOnce(TBaseDlg::StaticClass(), var), mrOk);
  EXPECT_EQ(var.Get(), nullptr);
}

TEST_F(FormsTest, DrawCellTextKeepsTheMarginAndAlignment) {
  struct TCase {
    TRect cell;
    TAlignment alignment;
    TTextLayout layout;
    const char* call;  // "" when nothing is drawn
  } cases[] = {
      {Rect(0, 0, 100, 20), taLeftJustify, tlTop, "TextRect 3,3,97,20 3,3 'abc'"},
      {Rect(0, 0, 100, 20), taRightJustify, tlBottom, "TextRect 75,0,96,17 75,0 'abc'"},
      {Rect(0, 0, 100, 20), taCenter, tlCenter, "TextRect 38,4,97,20 38,4 'abc'"},
      {Rect(10, 10, 12, 40), taLeftJustify, tlTop, ""},
  };
  for (const TCase& c : cases) {
    TRecordingCanvas canvas;
    orvlib::DrawCellText(&canvas, c.cell, QStringLiteral("abc"), c.alignment, c.layout);
    EXPECT_EQ(canvas.Calls.join('|'), QString::fromUtf8(c.call));
  }
  TForm* f = static_cast<TForm*>(CreateNewOfClass(TForm::StaticClass(), nullptr));
  EXPECT_EQ(orvlib::PerformMessage(f, 0x5555, 0, 0), 0);
  EXPECT_EQ(orvlib::PerformMessage(nullptr, 0x5555, 1, 2), 0);
}

TEST_F(FormsTest, QtBoxAnsweredThroughTheDriver) {
  TQtDialogs qt;
  TDialogServiceScope scope(&qt);
  QString title;
  QStringList buttons;
  SetDialogDriver([&](QDialog* d) {
    auto* box = qobject_cast<QMessageBox*>(d);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    for (QAbstractButton* b : box->buttons()) buttons << b->text();
    for (QAbstractButton* b : box->buttons()) {
      if (b->text() == "Нет") b->click();
    }
  });
  EXPECT_EQ(DialogService().MessageBox("Удалить?", "Вопрос", mbYesNoCancel | mbIconQuestion), idNo);
  EXPECT_EQ(title, "Вопрос");
  buttons.sort();
  EXPECT_EQ(buttons.join(','), "Да,Нет,Отмена");
  SetDialogDriver([](QDialog* d) { d->reject(); });
  EXPECT_FALSE(DialogService().ConfirmYesNo("Да?"));
  SetDialogDriver(nullptr);
  EXPECT_EQ(ConvertFileFilter("Тексты|*.txt;*.log|Все|*.*"), "Тексты (*.txt *.log);;Все (*.*)");
}

}  // namespace
