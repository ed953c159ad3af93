#pragma once
// Menu entries of a list: named commands that run a script. A list's entry descriptor holds
// them; its Key is the script id of the first entry, and setting a key on an empty
// descriptor makes the default entry "&_. По умолчанию".
#include "core/orvclasses.h"
#include "platform/ui/forms.h"
#include "platform/ui/menus.h"

class IEntryDesc : public IInterface {
 public:
  ORV_INTERFACE_ID(IEntryDesc, "{735EFFDC-2FCE-4FCF-8442-4210405DDFDD}")
  virtual QString GetKey() = 0;
};

class TOrvEntryItem : public TDisplayedObjectDesc {
  ORV_CLASS(TOrvEntryItem, TDisplayedObjectDesc)
  using TCreateArg = TCollection;
  explicit TOrvEntryItem(TCollection* collection) : TDisplayedObjectDesc(collection) {}
  void Assign(TPersistent* source) override;

  QString ScriptID;
  quint16 ShortCut = 0;
  QString ShortCutText() const;
  // A text that names no key combination gives 0.
  void SetShortCutText(const QString& text);
};

class TOrvEntries : public TObjectDescList {
  ORV_CLASS(TOrvEntries, TObjectDescList)
  explicit TOrvEntries(TPersistent* owner = nullptr)
      : TObjectDescList(TOrvEntryItem::StaticClass(), owner) {}
  TOrvEntryItem* Item(int index) const { return static_cast<TOrvEntryItem*>(Items(index)); }
};

class TOrvEntryDesc : public TCoPersistent, public IEntryDesc {
  ORV_CLASS(TOrvEntryDesc, TCoPersistent)
  TOrvEntryDesc();
  ~TOrvEntryDesc() override;

  TOrvEntries* Entries() const { return entries_; }
  void SetEntries(TOrvEntries* entries) { entries_->Assign(entries); }
  // Written only when it holds more than the default entry alone.
  bool IsEntriesStored() const;
  QString Key() const;
  void SetKey(const QString& key);
  QString GetKey() override { return Key(); }
  IInterface* QueryInterface(const TGUID& iid) override {
    return TCoPersistent::QueryInterface(iid);
  }

  static const QString DefaultCaption;

 private:
  TOrvEntries* entries_;
};

// A menu item that runs a script.
class TOrvMenuItem : public TMenuItem {
  ORV_CLASS(TOrvMenuItem, TMenuItem)
  using TCreateArg = TComponent;
  explicit TOrvMenuItem(TComponent* owner) : TMenuItem(owner) {}
  QString ScriptID;
  QString ShortCutText() const { return ShortCutToText(ShortCut()); }
  void SetShortCutText(const QString& text) { SetShortCut(TextToShortCut(text)); }
};

namespace orvmenus {
// Start-up: TOrvMenuItem for component text and scripts.
void RegisterClasses();
}  // namespace orvmenus
