// The screens' navigator refuses what its data source's rights deny.
#include "controls/orvdbnavigator.h"

#include "db/orvdatasource.h"
#include "platform/classes/actions.h"
#include "platform/data/field.h"
#include "platform/data/memdataset.h"

#include <gtest/gtest.h>

namespace {

TEST(OrvDBNavigator, VetoesDeniedButtonsAndAnswersTheRights) {
  TComponent owner(nullptr);
  auto* ds = new TMemDataSet(&owner);
  ds->FieldDefs().Add("ID", ftInteger);
  ds->CreateDataSet();
  for (int id : {1, 2, 3}) ds->AppendRecord({Variant(id)});
  ds->First();
  auto* src = new TOrvDataSource(&owner);
  src->SetDataSet(ds);
  auto* deny = new TAction(&owner);
  deny->SetEnabled(false);
  src->SetDeleteAction(deny);
  auto* nav = new TOrvDBNavigator(&owner);
  nav->SetConfirmDelete(false);
  nav->SetDataSource(src);
  EXPECT_FALSE(nav->CanDelete());
  EXPECT_TRUE(nav->CanEdit() && nav->CanInsert());
  nav->BtnClick(nbDelete);
  EXPECT_EQ(ds->RecordCount(), 3) << "deletion denied";
  nav->BtnClick(nbNext);
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 2) << "the other buttons still work";
  nav->BtnClick(nbEdit);
  EXPECT_EQ(ds->State(), dsEdit);
  nav->BtnClick(nbCancel);
  src->SetEditAction(deny);
  nav->BtnClick(nbEdit);
  EXPECT_EQ(ds->State(), dsBrowse);
  deny->SetEnabled(true);
  nav->BtnClick(nbDelete);
  EXPECT_EQ(ds->RecordCount(), 2);
  IEditRights* rights = dynamic_cast<IEditRights*>(nav->QueryInterface(IEditRights::IID));
  ASSERT_NE(rights, nullptr);
  EXPECT_TRUE(rights->CanDelete());
}

}  // namespace
