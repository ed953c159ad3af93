#pragma once
// The screens' navigator and memos. The navigator refuses insert, delete and edit while its
// data source's rights deny them (every other click, and every allowed one, takes the
// standard path), and answers the same rights itself. The memos have no behaviour of their
// own; they exist so that stored forms can name them.
#include "db/orvdbintf.h"
#include "platform/ui/dbctrls.h"
#include "platform/ui/dbnavigator.h"

class TOrvDBNavigator : public TDBNavigator, public IEditRights {
  ORV_CLASS(TOrvDBNavigator, TDBNavigator)
  ORV_INTERFACES
  explicit TOrvDBNavigator(TComponent* owner) : TDBNavigator(owner) {}
  void BtnClick(int index) override;
  bool CanDelete() override;
  bool CanEdit() override;
  bool CanInsert() override;
};

class TOrvDBMemo : public TDBMemo {
  ORV_CLASS(TOrvDBMemo, TDBMemo)
  explicit TOrvDBMemo(TComponent* owner) : TDBMemo(owner) {}
};

class TSynDBMemo : public TDBMemo {
  ORV_CLASS(TSynDBMemo, TDBMemo)
  explicit TSynDBMemo(TComponent* owner) : TDBMemo(owner) {}
};

// orvdbnavigator::Initialize (controlunits.h), the unit's start, makes the navigator and the
// memos known to component text and scripts.
