#pragma once
// Shared pieces of the data-aware control tests: a form with a data source over an
// in-memory table, typing through real key events, and the recording dialog service.
#include "platform/data/datasource.h"
#include "platform/data/fields.h"
#include "platform/data/memdataset.h"
#include "platform/ui/dialogservice.h"
#include "platform/ui/forms.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// Sends a key to the control's widget as the user's keyboard would.
inline void SendKey(TWinControl* c, int qtKey, const QString& text = QString(),
                    Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
  QApplication::sendEvent(c->Widget(), &press);
  QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
  QApplication::sendEvent(c->Widget(), &release);
}

inline void Type(TWinControl* c, const QString& text) {
  for (QChar ch : text) {
    const int key =
        ch.unicode() < 128 && ch.isLetterOrNumber() ? ch.toUpper().unicode() : int(Qt::Key_unknown);
    SendKey(c, key, QString(ch));
  }
}

class DBFormTest : public ::testing::Test {
 public:
  void SetUp() override {
    dialogs_ = std::make_unique<TDialogServiceScope>(&headless_);
    form_ = static_cast<TForm*>(CreateNewOfClass(TForm::StaticClass(), nullptr));
    form_->SetName("DataForm");
    form_->SetBounds(0, 0, 420, 300);
    ds_ = new TMemDataSet(form_);
    ds_->SetName("Table");
    ds_->FieldDefs().Add("ID", ftInteger);
    ds_->FieldDefs().Add("NAME", ftString, 20);
    ds_->FieldDefs().Add("AMOUNT", ftFloat);
    ds_->FieldDefs().Add("D", ftDate);
    ds_->FieldDefs().Add("NOTE", ftMemo);
    ds_->FieldDefs().Add("FLAG", ftBoolean);
    ds_->FieldDefs().Add("KIND", ftString, 10);
    ds_->CreateDataSet();
    static_cast<TFloatField*>(ds_->FieldByName("AMOUNT"))->SetDisplayFormat("0.00");
    ds_->AppendRecord({1, "Иван", 10.5, Variant::Null(), "строка 1\r\nстрока 2", true, "A"});
    ds_->AppendRecord({2, "Пётр", 20, Variant::Null(), Variant::Null(), Variant::Null(), "B"});
    ds_->AppendRecord({3, "Анна", 5, Variant::Null(), "", false, "Z"});
    ds_->First();
    source_ = new TDataSource(form_);
    source_->SetName("Source");
    source_->SetDataSet(ds_);
  }
  void TearDown() override {
    Application->SetModalDriver(nullptr);
    form_->Free();
    DeliverPendingMessages();
  }
  template <class C>
  C* Make(const QString& name, int top = 0) {
    auto* c = new C(form_);
    c->SetName(name);
    c->SetParent(form_);
    c->SetTop(top);
    return c;
  }
  void Show() {
    form_->Show();
    QCoreApplication::processEvents();
  }
  TField* F(const char* name) { return ds_->FieldByName(name); }

  THeadlessDialogs headless_;
  std::unique_ptr<TDialogServiceScope> dialogs_;
  TForm* form_ = nullptr;
  TMemDataSet* ds_ = nullptr;
  TDataSource* source_ = nullptr;
};
