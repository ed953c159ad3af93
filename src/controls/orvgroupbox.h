#pragma once
// Group boxes of the screens. The filter group box shows after its plain caption the record
// count (" [n]") and the display text of the applied filter (two blanks, then the text, when
// the dataset offers IListFilter) of the dataset it watches; a caption "&" shows nothing.
#include "platform/data/datasource.h"
#include "platform/ui/stdctrls.h"

#include <memory>

class TOrvFilterGroupBox;

class TOrvGroupBox : public TGroupBox {
  ORV_CLASS(TOrvGroupBox, TGroupBox)
  explicit TOrvGroupBox(TComponent* owner);
};

// Rebuilds the box's caption when the dataset opens, closes or changes.
class TFilterGroupBoxDataLink : public TDataLink {
 public:
  explicit TFilterGroupBoxDataLink(TOrvFilterGroupBox* box) : box_(box) {}

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override;

 private:
  TOrvFilterGroupBox* box_;
};

class TOrvFilterGroupBox : public TOrvGroupBox {
  ORV_CLASS(TOrvFilterGroupBox, TOrvGroupBox)
  explicit TOrvFilterGroupBox(TComponent* owner);
  ~TOrvFilterGroupBox() override;

  // The plain caption (Caption/Text give the displayed one).
  const QString& PlainCaption() const { return plainCaption_; }
  void SetText(const QString& v) override;
  TDataSource* DataSource() const { return link_->DataSource(); }
  void SetDataSource(TDataSource* v);
  bool FilterVisible() const { return filterVisible_; }
  void SetFilterVisible(bool v);
  bool RecCountVisible() const { return recCountVisible_; }
  void SetRecCountVisible(bool v);
  // Builds the displayed caption again from the plain one and the dataset.
  void UpdateCaption();
  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::unique_ptr<TFilterGroupBoxDataLink> link_;
  QString plainCaption_;
  bool filterVisible_ = true;
  bool recCountVisible_ = true;
};
