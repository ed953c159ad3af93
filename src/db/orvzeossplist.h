#pragma once
// TOrvZeosSPList: the dataset behind every list a screen shows and edits. A list procedure's
// call (TOrvZeosSelectProc) that
// - prepares each open: commented alternative statement lines, the FILTER and ORDER
//   parameters, the Oracle two-step read and the list's current search, traced with the time
//   the preparation took;
// - writes changes through the list description's numbered insert, modify and delete
//   statements, each save in a transaction of its own level on the alias's connection
//   description, committed right after the write. A failed write or commit rolls back
//   exactly what the save began, raises the server's text again and leaves the record as it
//   was (in edit or insert with its typed values; a failed delete keeps the record). A
//   failed re-read after the commit is reported as such: the record is saved;
// - finds and keeps records by the list's unique key, sets several parameters at once,
//   holds refreshes during batch updates and sorts locally.
#include "db/orvzeos.h"

class ITransactionControl;
class TDBListDesc;
class TOrvZeosSPList;

class IBatchUpdate : public IDataSetRefresh {
 public:
  ORV_INTERFACE_ID(IBatchUpdate, "{3B4AE39B-E577-41C3-AB85-0C342D8C2916}")
  virtual bool InBatchUpdate() = 0;
  virtual void SetBatchUpdate(bool on) = 0;
  virtual void SetAfterBatchUpdate(const TDataSetNotifyEvent& event) = 0;
  virtual bool Reserved9() { return false; }
};

class IIndexFieldNames : public IInterface {
 public:
  ORV_INTERFACE_ID(IIndexFieldNames, "{C7FE0693-8A01-4671-BC2A-B9F104751680}")
  virtual QString GetIndexFieldNames() = 0;
  virtual void SetIndexFieldNames(const QString& names) = 0;
};

class IParamValues : public IInterface {
 public:
  ORV_INTERFACE_ID(IParamValues, "{D3FECFFB-8E5E-45FF-AD37-F5B5309B51ED}")
  // Applies values to the leading names; both come back holding what was not consumed.
  virtual void SetParamValues(QString& names, Variant& values) = 0;
};

// The transaction of one save: started before the write, committed right after it.
class TListSave {
 public:
  // A level on the connection description (nothing without one).
  void Start(ITransactionControl* control);
  // Runs the write and commits. Either failing rolls back what Start began and raises the
  // error again.
  template <typename Write>
  void WriteAndCommit(Write write) {
    ITransactionControl* control = Take();
    try {
      write();
      Commit(control);
    } catch (...) {
      Undo(control);
      throw;
    }
  }
  // Rolls back a start that no write followed (a check between them failed).
  void Abandon() noexcept;
  bool Pending() const { return pending_; }

 private:
  ITransactionControl* Take();
  static void Commit(ITransactionControl* control);
  static void Undo(ITransactionControl* control) noexcept;
  ITransactionControl* control_ = nullptr;
  bool pending_ = false;
};

class TOrvZeosSPList : public TOrvZeosSelectProc,
                       public IListKeys,
                       public IBatchUpdate,
                       public IIndexFieldNames,
                       public IParamValues {
  ORV_CLASS(TOrvZeosSPList, TOrvZeosSelectProc)
  using TCreateArg = TComponent;
  explicit TOrvZeosSPList(TComponent* owner);
  ~TOrvZeosSPList() override;

  TDBListDesc* ListDesc() const;
  // The connection description's transactions, nullptr without an alias.
  ITransactionControl* Transactions() const;

  TOrvZeosSPList* MasterDataSetUpdate = nullptr;
  QString GroupByColumns;
  TDataSetNotifyEvent AfterBatchUpdate;
  const QString& UniqueKeyFields() const { return uniqueKeyFields_; }
  // Stores the text, then KeyFieldNames (an empty text so becomes the default).
  void SetUniqueKeyFields(const QString& names);
  TParams* Parameters() const { return const_cast<TParams*>(&Params()); }
  void SetParameters(TParams* params) { Params().Assign(params); }
  const Variant& AppliedParamValues() const { return appliedParamValues_; }
  const Variant& LastKeyValues() const { return lastKeyValues_; }
  bool UpdatesPrepared() const { return updatesPrepared_; }
  // The FILTER and ORDER texts of the last open.
  const QString& FilterText() const { return filterText_; }
  const QString& OrderText() const { return orderText_; }

  bool Locate(const QString& keyFields, const Variant& keyValues, TLocateOptions options) override;
  void ListEvent(quint32 event, TObject* info) override;
  bool HasListDesc() const;
  // A list id of the registry binds that list with its call and its alias's connection;
  // any other text binds the alias of that name.
  void SetListIDText(const QString& text) override;

  // IListKeys, IBatchUpdate, IIndexFieldNames, IParamValues.
  QString KeyFieldNames() override;
  Variant KeyValues() override;
  void Reload() override;
  void ReopenWithoutMaster() override;
  void ClearCache() override {}
  bool InBatchUpdate() override { return inBatchUpdate_; }
  void SetBatchUpdate(bool on) override;
  void SetAfterBatchUpdate(const TDataSetNotifyEvent& event) override { AfterBatchUpdate = event; }
  QString GetIndexFieldNames() override { return IndexFieldNames(); }
  void SetIndexFieldNames(const QString& names) override { TDataSet::SetIndexFieldNames(names); }
  void SetParamValues(QString& names, Variant& values) override;
  void ResetFieldViews() override;

  // IDataSetRefresh once for the three interfaces that begin with it.
  TDataSet* GetDataSet() override { return this; }
  void RefreshCurrentRows() override { TInterfacedZQuery::RefreshCurrentRows(); }
  void Refresh() override { TInterfacedZQuery::Refresh(); }
  void ClearCaches() override { TInterfacedZQuery::ClearCaches(); }
  IInterface* QueryInterface(const TGUID& iid) override {
    return TOrvZeosSelectProc::QueryInterface(iid);
  }

 protected:
  void CreateFields() override;
  void DoBeforeOpen() override;
  void DoBeforeEdit() override;
  void DoBeforeInsert() override;
  void DoBeforePost() override;
  void DoBeforeDelete() override;
  void DoBeforeScroll() override;
  void DoOnNewRecord() override;
  void DoOnCalcFields() override;
  void InternalOpen() override;
  void InternalInitFieldDefs() override;
  void InternalPost() override;
  void InternalDelete() override;
  void InternalRefresh() override;
  // Takes over the list description's update statements once (until the next list event).
  void PrepareUpdates();

 private:
  void PrepareStatementLines();
  void TakeFilterAndOrder();
  void OracleTwoStepRead();
  void ApplySearch();
  void ReadAgainAt(const Variant& keys);
  bool LocateByKeyScan(const Variant& keys);
  void StartSave();

  QString uniqueKeyFields_;
  Variant appliedParamValues_;
  Variant lastKeyValues_;
  bool inBatchUpdate_ = false;
  bool updatesPrepared_ = false;
  QString filterText_;
  QString orderText_;
  TParam* filterParam_ = nullptr;
  TParam* orderParam_ = nullptr;
  TListSave save_;
};
