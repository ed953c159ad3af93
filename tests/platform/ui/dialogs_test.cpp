// Message dialogs, queries and the common dialogs: as forms, through the headless service and
// through the Qt service answered by the modal and dialog drivers.
#include "ui_test.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/qtdialogs.h"

#include <QtWidgets/QColorDialog>
#include <QtWidgets/QDialog>

namespace {

class DialogsTest : public UiTest {
 protected:
  void TearDown() override {
    SetDialogDriver(nullptr);
    UiTest::TearDown();
  }
  static QStringList ButtonNames(TForm* f) {
    QStringList names;
    for (TControl* c : f->ControlList())
      if (auto* b = dynamic_cast<TButton*>(c))
        names << QStringLiteral("%1:%2:%3%4%5")
                     .arg(b->Name(), b->Caption())
                     .arg(b->ModalResult())
                     .arg(b->Default() ? "d" : "", b->Cancel() ? "c" : "");
    return names;
  }
};

TEST_F(DialogsTest, MessageDialogFormsHaveTheirButtonsCaptionsAndKeys) {
  struct Row {
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    const char* caption;
    QStringList expected;
  };
  Application->SetTitle("ORV");
  const Row rows[] = {
      {mtConfirmation, {mbYes, mbNo}, "Подтверждение", {"Yes:Да:6d", "No:Нет:7c"}},
      {mtWarning, {}, "Предупреждение", {"OK:OK:1dc"}},
      {mtError,
       {mbOK, mbCancel, mbHelp},
       "Ошибка",
       {"OK:OK:1d", "Cancel:Отмена:2c", "Help:Справка:0"}},
      {mtInformation,
       {mbAbort, mbRetry, mbIgnore},
       "Информация",
       {"Abort:Прервать:3c", "Retry:Повторить:4d", "Ignore:Пропустить:5"}},
      {mtCustom, {mbYes, mbAll}, "ORV", {"Yes:Да:6dc", "All:Все:8"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.caption);
    TForm* f = CreateMessageDialog("Текст\nвторая строка", r.type, r.buttons);
    EXPECT_FALSE(f->Visible());
    EXPECT_EQ(f->Caption(), r.caption);
    EXPECT_EQ(ButtonNames(f), r.expected);
    EXPECT_EQ(static_cast<TLabel*>(f->FindComponent("Message"))->Caption(), "Текст\nвторая строка");
    EXPECT_EQ(f->FindComponent("Image") != nullptr, r.type != mtCustom);
    f->Free();
  }
}

TEST_F(DialogsTest, MessageDlgGoesThroughTheServiceWithItsPosition) {
  EXPECT_EQ(MessageDlg("Сохранить?", mtConfirmation, {mbYes, mbNo, mbCancel}, 7), mrYes);
  headless_.SetResponder([](const TDialogRequest&) { return TDialogAnswer{mrNo, {}, {}, {}}; });
  EXPECT_EQ(MessageDlgPos("Сохранить?", mtWarning, {mbYes, mbNo}, 0, 10, 20), mrNo);
  ShowMessage("Готово");
  ASSERT_EQ(headless_.Requests.size(), 3u);
  EXPECT_EQ(headless_.Requests[0].Kind, TDialogKind::MessageDialog);
  EXPECT_EQ(headless_.Requests[0].HelpContext, 7);
  EXPECT_EQ(headless_.Requests[1].X, 10);
  EXPECT_EQ(headless_.Requests[1].Y, 20);
  EXPECT_EQ(headless_.Requests[2].Flags, int(TMsgDlgButtons{mbOK}.Ord()));
  EXPECT_EQ(headless_.Requests[2].Type, mtCustom);
}

TEST_F(DialogsTest, TheQtServiceShowsMessageAndQueryFormsModally) {
  TQtDialogs qt;
  TDialogServiceScope scope(&qt);
  Application->SetModalDriver([](TCustomForm* f) {
    if (f->Name() == "MessageDialog") {
      static_cast<TButton*>(f->FindComponent("No"))->Click();
    } else {
      static_cast<TEdit*>(f->FindComponent("Value"))->SetText("новый");
      static_cast<TButton*>(f->FindComponent("OK"))->Click();
    }
  });
  EXPECT_EQ(MessageDlg("Удалить?", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
  QString value = "старый";
  EXPECT_TRUE(InputQuery("Имя", "Введите имя", value));
  EXPECT_EQ(value, "новый");
  Application->SetModalDriver([](TCustomForm* f) {
    static_cast<TEdit*>(f->FindComponent("Value"))->SetText("другой");
    static_cast<TButton*>(f->FindComponent("Cancel"))->Click();
  });
  EXPECT_FALSE(InputQuery("Имя", "Введите имя", value));
  EXPECT_EQ(value, "новый");
  EXPECT_EQ(InputBox("Имя", "Введите имя", "по умолчанию"), "по умолчанию");
}

TEST_F(DialogsTest, InputQueryHeadlessBothWays) {
  QString value = "было";
  headless_.SetResponder([](const TDialogRequest& r) {
    TDialogAnswer a{idCancel, {}, {}, {}};
    if (r.Value == "было") a.Text = "стало", a.Button = idOK;
    return a;
  });
  EXPECT_TRUE(InputQuery("Заголовок", "Вопрос", value));
  EXPECT_EQ(value, "стало");
  EXPECT_FALSE(InputQuery("Заголовок", "Вопрос", value));
  EXPECT_EQ(value, "стало");
  EXPECT_EQ(headless_.Requests[0].Caption, "Заголовок");
  EXPECT_EQ(headless_.Requests[0].Text, "Вопрос");
}

TEST_F(DialogsTest, FileDialogsSetTheirNamesOnlyWhenConfirmed) {
  TSaveDialog save(nullptr);
  save.SetFilter("Отчёты|*.htm;*.html|Все|*.*");
  save.SetDefaultExt("htm");
  save.SetFileName("old.htm");
  EXPECT_FALSE(save.Execute());
  EXPECT_EQ(save.FileName(), "old.htm");
  headless_.SetResponder([](const TDialogRequest& r) {
    TDialogAnswer a{idOK, {"/tmp/report"}, {}, {}};
    a.FilterIndex = r.Kind == TDialogKind::SaveFile ? 2 : 1;
    return a;
  });
  EXPECT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName(), "/tmp/report.htm");
  EXPECT_EQ(save.FilterIndex(), 2);
  EXPECT_EQ(headless_.Requests.back().Kind, TDialogKind::SaveFile);
  EXPECT_EQ(headless_.Requests.back().Text, "Отчёты|*.htm;*.html|Все|*.*");
  TOpenDialog open(nullptr);
  open.SetOptions({ofAllowMultiSelect});
  headless_.SetResponder([](const TDialogRequest&) {
    return TDialogAnswer{idOK, {"/a.txt", "/b.txt"}, {}, {}};
  });
  EXPECT_TRUE(open.Execute());
  EXPECT_EQ(open.Files()->Count(), 2);
  EXPECT_EQ(open.FileName(), "/a.txt");
  EXPECT_EQ(headless_.Requests.back().Flags, OpenOptionBits({ofAllowMultiSelect}));
}

TEST_F(DialogsTest, ColourAndFontDialogs) {
  TColorDialog colour(nullptr);
  colour.SetColor(clRed);
  EXPECT_FALSE(colour.Execute());
  EXPECT_EQ(colour.Color(), clRed);
  headless_.SetResponder([](const TDialogRequest&) {
    TDialogAnswer a{idOK, {}, {}, {}};
    a.Color = clBlue;
    a.FontName = "Arial";
    a.FontSize = 12;
    return a;
  });
  EXPECT_TRUE(colour.Execute());
  EXPECT_EQ(colour.Color(), clBlue);
  TFontDialog font(nullptr);
  EXPECT_TRUE(font.Execute());
  EXPECT_EQ(font.Font()->Name(), "Arial");
  EXPECT_EQ(font.Font()->Size(), 12);
  // The Qt colour dialog, answered by the dialog driver.
  TQtDialogs qt;
  TDialogServiceScope scope(&qt);
  SetDialogDriver([](QDialog* d) {
    auto* c = qobject_cast<QColorDialog*>(d);
    ASSERT_NE(c, nullptr);
    c->setCurrentColor(QColor(0, 128, 0));
    c->accept();
  });
  EXPECT_TRUE(colour.Execute());
  EXPECT_EQ(colour.Color(), clGreen);
}

TEST_F(DialogsTest, FindDialogIsNonModalWithAHandleOnlyWhileShown) {
  TFindDialog find(nullptr);
  TProbe probe;
  find.OnFind.Bind<&TProbe::Notify>(&probe);
  find.SetFindText("иск");
  EXPECT_EQ(find.Handle(), 0u);
  EXPECT_TRUE(find.Execute());
  EXPECT_NE(find.Handle(), 0u);
  auto* edit = static_cast<TEdit*>(find.DialogForm()->FindComponent("FindText"));
  EXPECT_EQ(edit->Text(), "иск");
  edit->SetText("искомое");
  static_cast<TButton*>(find.DialogForm()->FindComponent("FindNext"))->Click();
  EXPECT_EQ(find.FindText(), "искомое");
  EXPECT_EQ(probe.Log, QStringList({"notify "}));
  find.CloseDialog();
  EXPECT_EQ(find.Handle(), 0u);
}

}  // namespace
