#include "orvdbnavigator.h"

#include "controlunits.h"

#include "core/orvcls.h"
#include "platform/classes/classregistry.h"
#include "platform/data/dataset.h"
#include "platform/data/datasource.h"

ORV_DESCRIBE(TOrvDBNavigator) { c.Implements<IEditRights>(); }
ORV_DESCRIBE(TOrvDBMemo) {}
ORV_DESCRIBE(TSynDBMemo) {}

void TOrvDBNavigator::BtnClick(int index) {
  TDataSource* source = DataSource();
  if (source != nullptr && source->DataSet() != nullptr && source->DataSet()->Active()) {
    if (index == nbInsert && !orvdbintf::CanInsert(source)) return;
    if (index == nbDelete && !orvdbintf::CanDelete(source)) return;
    if (index == nbEdit && !orvdbintf::CanEdit(source)) return;
  }
  TDBNavigator::BtnClick(index);
}

bool TOrvDBNavigator::CanDelete() { return orvdbintf::CanDelete(DataSource()); }
bool TOrvDBNavigator::CanEdit() { return orvdbintf::CanEdit(DataSource()); }
bool TOrvDBNavigator::CanInsert() { return orvdbintf::CanInsert(DataSource()); }

namespace orvdbnavigator {
void Initialize() {
  RegisterClasses(
      {TOrvDBNavigator::StaticClass(), TOrvDBMemo::StaticClass(), TSynDBMemo::StaticClass()});
  orvcls::RegisterClasses(
      {TOrvDBNavigator::StaticClass(), TOrvDBMemo::StaticClass(), TSynDBMemo::StaticClass()});
}
}  // namespace orvdbnavigator
