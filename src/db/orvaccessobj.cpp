#include "db/orvaccessobj.h"

#include "db/orvaccessutils.h"
#include "platform/classes/component.h"
#include "script/orvformsvc.h"

#include <QtCore/QHash>
#include <QtCore/QSet>

ORV_DESCRIBE(TOrvAccessEntry) {}
ORV_DESCRIBE(TOrvAccessObjects) { c.Implements<IAccessObjects>(); }

namespace orvaccessobj {

bool OwningFormID(TComponent* control, int& formID) {
  for (TComponent* o = control != nullptr ? control->Owner() : nullptr; o != nullptr;
       o = o->Owner()) {
    if (auto* form = Supports<IXOrvClientForm>(o)) {
      formID = form->GetItemID();
      return true;
    }
  }
  return false;
}

int ObjectIDOf(TComponent* control) {
  auto* object = Supports<IAccessObject>(control);
  return object != nullptr ? object->GetAccessID() : 0;
}

}  // namespace orvaccessobj

TOrvAccessObjects::~TOrvAccessObjects() { ClearEntries(); }

TOrvAccessEntry* TOrvAccessObjects::AddEntry(int formID, int operation, bool allowed, int entryID,
                                             int parentID, int objectID, const QString& name) {
  auto* e = new TOrvAccessEntry;
  e->FormID = formID;
  e->Operation = operation;
  e->Allowed = allowed;
  e->EntryID = entryID;
  e->ParentID = parentID;
  e->ObjectID = objectID;
  e->Name = name;
  Add(e);
  return e;
}

void TOrvAccessObjects::ClearEntries() {
  for (int i = Count() - 1; i >= 0; --i) {
    TOrvAccessEntry* e = Entry(i);
    Delete(i);
    delete e;
  }
}

TOrvAccessEntry* TOrvAccessObjects::FindEntry(TComponent* control, const QString& name,
                                              int operation) {
  int formID = 0;
  if (!orvaccessobj::OwningFormID(control, formID)) return nullptr;
  const int objectID = orvaccessobj::ObjectIDOf(control);
  for (int i = 0; i < Count(); ++i) {
    TOrvAccessEntry* e = Entry(i);
    if (e->FormID == formID && e->ObjectID == objectID && e->Operation == operation &&
        e->MatchesName(name))
      return e;
  }
  return nullptr;
}

bool TOrvAccessObjects::IsAllowed(TComponent* control, const QString& name, int operation) {
  const TOrvAccessEntry* e = FindEntry(control, name, operation);
  return e == nullptr || e->Allowed;
}

TOrvAccessEntry* TOrvAccessObjects::FindChildEntry(TOrvAccessEntry* entry, const QString& name,
                                                   int operation) {
  if (entry == nullptr) return nullptr;
  for (int i = 0; i < Count(); ++i) {
    TOrvAccessEntry* e = Entry(i);
    if (e->ParentID == entry->EntryID && e->Operation == operation && e->MatchesName(name))
      return e;
  }
  return nullptr;
}

bool TOrvAccessObjects::IsAllowedBelow(TComponent* control, const QString& name, int operation) {
  int formID = 0;
  if (!orvaccessobj::OwningFormID(control, formID)) return true;
  auto* asControl = dynamic_cast<TControl*>(control);
  const QString path =
      asControl != nullptr ? orvaccessutils::GetControlCaption(asControl) : QString();
  if (path.isEmpty()) return true;
  const int objectID = orvaccessobj::ObjectIDOf(control);
  for (int i = 0; i < Count(); ++i) {
    const TOrvAccessEntry* base = Entry(i);
    if (base->FormID == formID && base->ObjectID == objectID && base->MatchesName(path)) {
      const TOrvAccessEntry* e = FindBelow(base, name, operation, &formID);
      return e == nullptr || e->Allowed;
    }
  }
  return true;
}

bool TOrvAccessObjects::IsAllowedByName(const QString& formName, const QString& name,
                                        int formObjectID, int operation) {
  if (formName.isEmpty()) return true;
  for (int i = 0; i < Count(); ++i) {
    const TOrvAccessEntry* base = Entry(i);
    if (base->ObjectID == formObjectID && base->MatchesName(formName)) {
      const TOrvAccessEntry* e = FindBelow(base, name, operation, nullptr);
      return e == nullptr || e->Allowed;
    }
  }
  return true;
}

namespace {

// The entry ids whose children lie below base: base's own id and, transitively, the ids of
// those children. Each id is taken once, so a cycle in the stored parent ids ends here.
QSet<int> ParentsBelow(const TOrvAccessObjects& list, const TOrvAccessEntry* base) {
  QMultiHash<int, int> children;
  for (int i = 0; i < list.Count(); ++i)
    children.insert(list.Entry(i)->ParentID, list.Entry(i)->EntryID);
  QSet<int> reached{base->EntryID};
  QList<int> todo{base->EntryID};
  while (!todo.isEmpty()) {
    const int id = todo.takeLast();
    for (auto it = children.constFind(id); it != children.cend() && it.key() == id; ++it) {
      if (!reached.contains(it.value())) {
        reached.insert(it.value());
        todo.append(it.value());
      }
    }
  }
  return reached;
}

}  // namespace

bool TOrvAccessObjects::LiesBelow(const TOrvAccessEntry* entry, const TOrvAccessEntry* base) const {
  if (entry == nullptr || base == nullptr) return false;
  return ParentsBelow(*this, base).contains(entry->ParentID);
}

TOrvAccessEntry* TOrvAccessObjects::FindBelow(const TOrvAccessEntry* base, const QString& name,
                                              int operation, const int* formID) const {
  const QSet<int> parents = ParentsBelow(*this, base);
  for (int i = 0; i < Count(); ++i) {
    TOrvAccessEntry* e = Entry(i);
    if (e->Operation == operation && (formID == nullptr || e->FormID == *formID) &&
        e->MatchesName(name) && parents.contains(e->ParentID))
      return e;
  }
  return nullptr;
}
