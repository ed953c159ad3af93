#pragma once
// The access registry: the rights of the logged-in user as a list of entries that controls
// ask whether they may be seen or changed. An entry rules a form (by its access id), a
// control inside it (by the control's access id, 0 for none), an operation and a name
// prefix; entries form a tree through ParentID -> EntryID.
//
// Every query allows when nothing rules: no owning form, no caption path, no base entry or
// no matching entry answers True (or nil for the entry searches). The tree is walked with a
// set of the entry ids already reached, so a cycle in stored entries ends the search.
#include "core/orvco.h"

#include <QtCore/QString>

class TComponent;

// Operations the controls ask about.
namespace orvaccess {
constexpr int opView = -9997521;
constexpr int opEdit = -9997526;
}  // namespace orvaccess

class TOrvAccessEntry : public TObject {
  ORV_CLASS(TOrvAccessEntry, TObject)
  int FormID = 0;
  int Operation = 0;
  bool Allowed = true;
  int EntryID = 0;
  int ParentID = 0;
  int ObjectID = 0;
  // Matches every requested name that begins with it (letter case counts).
  QString Name;

  bool MatchesName(const QString& requested) const { return requested.startsWith(Name); }
};

class IAccessObjects : public IInterface {
 public:
  ORV_INTERFACE_ID(IAccessObjects, "{853AAE6B-7983-4889-9520-B3BCCF5D9ED8}")
  // The first entry of the control's owning form and access id with that operation whose
  // name begins the requested one; nullptr without an owning form or such entry.
  virtual TOrvAccessEntry* FindEntry(TComponent* control, const QString& name, int operation) = 0;
  virtual bool IsAllowed(TComponent* control, const QString& name, int operation) = 0;
  // The first direct child of entry with that operation and a matching name.
  virtual TOrvAccessEntry* FindChildEntry(TOrvAccessEntry* entry, const QString& name,
                                          int operation) = 0;
  // Below the control's own entry (found by its caption path): the first entry of the form
  // with that operation and a matching name.
  virtual bool IsAllowedBelow(TComponent* control, const QString& name, int operation) = 0;
  // Below the entry of formName and formObjectID: the first entry with that operation and a
  // matching name, of any form.
  virtual bool IsAllowedByName(const QString& formName, const QString& name, int formObjectID,
                               int operation) = 0;
};

class TOrvAccessObjects : public TCoList, public IAccessObjects {
  ORV_CLASS(TOrvAccessObjects, TCoList)
  TOrvAccessObjects() = default;
  ~TOrvAccessObjects() override;
  IInterface* QueryInterface(const TGUID& iid) override { return GetInterface(iid); }

  // Appends an entry the registry then owns.
  TOrvAccessEntry* AddEntry(int formID, int operation, bool allowed, int entryID, int parentID,
                            int objectID, const QString& name);
  TOrvAccessEntry* Entry(int index) const { return static_cast<TOrvAccessEntry*>(Items(index)); }
  // Frees every entry.
  void ClearEntries();

  TOrvAccessEntry* FindEntry(TComponent* control, const QString& name, int operation) override;
  bool IsAllowed(TComponent* control, const QString& name, int operation) override;
  TOrvAccessEntry* FindChildEntry(TOrvAccessEntry* entry, const QString& name,
                                  int operation) override;
  bool IsAllowedBelow(TComponent* control, const QString& name, int operation) override;
  bool IsAllowedByName(const QString& formName, const QString& name, int formObjectID,
                       int operation) override;

  // Whether entry lies below base: its parent is base or, recursively, a child of base.
  bool LiesBelow(const TOrvAccessEntry* entry, const TOrvAccessEntry* base) const;

 private:
  // The first entry below base with that operation (and form, when formID is set) whose name
  // matches; nullptr when none.
  TOrvAccessEntry* FindBelow(const TOrvAccessEntry* base, const QString& name, int operation,
                             const int* formID) const;
};

namespace orvaccessobj {
// The access id of the control's owning form: the nearest owner, walking owners upward,
// that answers IXOrvClientForm. False without one.
bool OwningFormID(TComponent* control, int& formID);
// The control's IAccessObject id, 0 when it has none.
int ObjectIDOf(TComponent* control);
}  // namespace orvaccessobj
