#pragma once
// The dataset factory and the lookup datasets.
// - TDataSetFactory (IrDataSets): a dataset of one of the program's classes by kind 0..5;
//   any other kind, and every request in application-server mode, answers nullptr. Asked on
//   behalf of a list description's component, it answers that list's lookup dataset.
// - TOrvLookup: the holder that owns the lookup datasets (the first one made is current).
// - TOrvLookupZeos: a read-only list dataset named "LU_" + the serial number of its list
//   description, looking values up through the procedure's parameters, then its rows.
#include "db/orvzeossplist.h"

class TListDesc;

class ILookupDataSet : public IInterface {
 public:
  ORV_INTERFACE_ID(ILookupDataSet, "{CE9FCDFC-447A-406D-875F-E739FA97FADC}")
  virtual void SetParamValues(QString& names, Variant& values) = 0;
  virtual Variant Lookup(const QString& keyFields, const Variant& keyValues,
                         const QString& resultFields) = 0;
  virtual void AddLookupValue(const QString& keyFields, const Variant& keyValues,
                              const Variant& value) = 0;
  virtual void SetLookupListID(const QString& listId) = 0;
};

// Tells a list control that the dataset is a lookup dataset.
class ILookupMark : public ILookupDataSet {
 public:
  ORV_INTERFACE_ID(ILookupMark, "{50197DAB-02B9-44CD-823F-6828FE772C3E}")
};

class ILookupControl : public IInterface {
 public:
  ORV_INTERFACE_ID(ILookupControl, "{C7FCE721-40C4-4E3D-A2AF-D54F6DAB826F}")
  virtual TDataSet* LookupDataSetOf() = 0;
  virtual void ApplyUpdates() = 0;
  virtual void Refresh() = 0;
  virtual void ResetFieldViews() = 0;
  virtual void ClearCaches() = 0;
  // Refreshes only a dataset that has parameters.
  virtual void RefreshWhenParams() = 0;
};

class TDataSetFactory : public IrDataSets {
 public:
  // nullptr for a kind outside 0..5 and in application-server mode.
  TDataSet* CreateDataSet(int kind, TComponent* owner) override;
};

class TOrvLookup : public TComponent {
  ORV_CLASS(TOrvLookup, TComponent)
  using TCreateArg = TComponent;
  explicit TOrvLookup(TComponent* owner);
  ~TOrvLookup() override;
  static TOrvLookup* Current();
  // The lookup dataset of the list (the link list's when it has one); nullptr in
  // application-server mode.
  TDataSet* LookupDataSet(TListDesc* list);
};

class TOrvLookupZeos : public TOrvZeosSPList, public ILookupMark, public ILookupControl {
  ORV_CLASS(TOrvLookupZeos, TOrvZeosSPList)
  using TCreateArg = TComponent;
  // Keeps the fields as the result gives them (no titles, order or visibility).
  explicit TOrvLookupZeos(TComponent* owner) : TOrvZeosSPList(owner) {
    ListControl()->AssignTitles = false;
  }

  // Binds the list: its call and parameters, its alias's connection, read-only, and the
  // statement built at once.
  void SetLookupListID(const QString& listId) override;
  // Null for an empty key; else parameters from the leading key fields, then the current
  // row or the rows.
  Variant Lookup(const QString& keyFields, const Variant& keyValues,
                 const QString& resultFields) override;
  void AddLookupValue(const QString&, const Variant&, const Variant&) override {}
  void SetParamValues(QString& names, Variant& values) override {
    TOrvZeosSPList::SetParamValues(names, values);
  }

  TDataSet* LookupDataSetOf() override { return this; }
  void ApplyUpdates() override {}
  void Refresh() override { TOrvZeosSPList::Refresh(); }
  void ResetFieldViews() override { TOrvZeosSPList::ResetFieldViews(); }
  void ClearCaches() override { TOrvZeosSPList::ClearCaches(); }
  void RefreshWhenParams() override;
  IInterface* QueryInterface(const TGUID& iid) override {
    return TOrvZeosSPList::QueryInterface(iid);
  }

 protected:
  // A dataset that lost its list binds again to the list its name gives.
  void DoBeforeOpen() override;
};

namespace orvlookup {

// The serial number of a list description, given on first request; nullptr for a number
// that names no live description.
int SerialOf(TListDesc* list);
TListDesc* ListOfSerial(int serial);
// Publishes the factory in the root environment (unit start-up).
void Initialize();
// Takes the factory out of the root environment when it is there.
void Finalize();
TDataSetFactory& Factory();
// The application-server rewrite of a stored-procedure dataset's statement.
void PrepareAppServerSQL(TDataSet* dataSet);

}  // namespace orvlookup
