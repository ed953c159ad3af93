#include "orvgroupbox.h"

#include "core/orvsys.h"
#include "db/orvdbintf.h"
#include "platform/data/dataset.h"

ORV_DESCRIBE(TOrvGroupBox) {
  c.Prop("BorderWidth", &TOrvGroupBox::BorderWidth, &TOrvGroupBox::SetBorderWidth).Default(1);
}

TOrvGroupBox::TOrvGroupBox(TComponent* owner) : TGroupBox(owner) { SetBorderWidth(1); }

void TFilterGroupBoxDataLink::ActiveChanged() { box_->UpdateCaption(); }
void TFilterGroupBoxDataLink::DataSetChanged() { box_->UpdateCaption(); }

ORV_DESCRIBE(TOrvFilterGroupBox) {
  c.Prop("Caption", &TOrvFilterGroupBox::PlainCaption, &TOrvFilterGroupBox::SetText);
  c.Prop("DataSource", &TOrvFilterGroupBox::DataSource, &TOrvFilterGroupBox::SetDataSource);
  c.Prop("FilterVisible", &TOrvFilterGroupBox::FilterVisible, &TOrvFilterGroupBox::SetFilterVisible)
      .Default(1);
  c.Prop("RecCountVisible", &TOrvFilterGroupBox::RecCountVisible,
         &TOrvFilterGroupBox::SetRecCountVisible)
      .Default(1);
}

TOrvFilterGroupBox::TOrvFilterGroupBox(TComponent* owner)
    : TOrvGroupBox(owner), link_(std::make_unique<TFilterGroupBoxDataLink>(this)) {}

TOrvFilterGroupBox::~TOrvFilterGroupBox() { link_->SetDataSource(nullptr); }

void TOrvFilterGroupBox::SetText(const QString& v) {
  plainCaption_ = v;
  UpdateCaption();
}

void TOrvFilterGroupBox::SetDataSource(TDataSource* v) {
  if (v == DataSource()) return;
  link_->SetDataSource(v);
  if (v != nullptr) v->FreeNotification(this);
  UpdateCaption();
}

void TOrvFilterGroupBox::SetFilterVisible(bool v) {
  filterVisible_ = v;
  UpdateCaption();
}

void TOrvFilterGroupBox::SetRecCountVisible(bool v) {
  recCountVisible_ = v;
  UpdateCaption();
}

void TOrvFilterGroupBox::UpdateCaption() {
  const QString current = TOrvGroupBox::GetText();
  QString text;
  if (current != QLatin1String("&") && plainCaption_ != QLatin1String("&")) {
    text = plainCaption_;
    TDataSet* ds = link_->DataSet();
    if (ds != nullptr && ds->Active()) {
      if (recCountVisible_) text += QStringLiteral(" [%1]").arg(ds->RecordCount());
      IInterface* intf = nullptr;
      if (filterVisible_ && orvsys::GetIntf(ds, IListFilter::IID, intf))
        if (auto* filter = dynamic_cast<IListFilter*>(intf))
          text += QStringLiteral("  ") + filter->GetFilterText();
    }
  }
  if (text != current) TOrvGroupBox::SetText(text);
}

void TOrvFilterGroupBox::Notification(TComponent* component, TOperation operation) {
  TOrvGroupBox::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == DataSource())
    link_->SetDataSource(nullptr);
}
