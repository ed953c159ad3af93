#include "db/orvmenus.h"

#include "core/orvcls.h"
#include "platform/ui/forms.h"

const QString TOrvEntryDesc::DefaultCaption = QStringLiteral("&_. По умолчанию");

void TOrvEntryItem::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TOrvEntryItem*>(source)) {
    SetCaption(other->DisplayName());
    ScriptID = other->ScriptID;
    ShortCut = other->ShortCut;
    return;
  }
  TDisplayedObjectDesc::Assign(source);
}

QString TOrvEntryItem::ShortCutText() const { return ShortCutToText(ShortCut); }

void TOrvEntryItem::SetShortCutText(const QString& text) {
  ShortCut = text.isEmpty() ? 0 : TextToShortCut(text);
}

TOrvEntryDesc::TOrvEntryDesc() : entries_(new TOrvEntries(this)) {}

TOrvEntryDesc::~TOrvEntryDesc() { entries_->Free(); }

bool TOrvEntryDesc::IsEntriesStored() const {
  if (entries_->Count() != 1) return true;
  TOrvEntryItem* e = entries_->Item(0);
  return e->ShortCut != 0 || e->DisplayName() != DefaultCaption;
}

QString TOrvEntryDesc::Key() const {
  return entries_->Count() > 0 ? entries_->Item(0)->ScriptID : QString();
}

void TOrvEntryDesc::SetKey(const QString& key) {
  if (key == Key()) return;
  if (entries_->Count() == 0) {
    auto* e = static_cast<TOrvEntryItem*>(entries_->Add());
    e->SetCaption(DefaultCaption);
    e->ScriptID = key;
  } else {
    entries_->Item(0)->ScriptID = key;
  }
}

namespace orvmenus {
void RegisterClasses() { orvcls::RegisterClasses({TOrvMenuItem::StaticClass()}); }
}  // namespace orvmenus

ORV_DESCRIBE(TOrvEntryItem) {
  c.Prop("ScriptID", &TOrvEntryItem::ScriptID);
  c.Prop(
       "ShortCut", [](const TOrvEntryItem* e) { return int(e->ShortCut); },
       [](TOrvEntryItem* e, int v) { e->ShortCut = quint16(v); })
      .Default(0);
  c.Prop("ShortCutText", &TOrvEntryItem::ShortCutText, &TOrvEntryItem::SetShortCutText)
      .Stored(false);
}

ORV_DESCRIBE(TOrvEntries) {}

ORV_DESCRIBE(TOrvEntryDesc) {
  c.Prop("Entries", &TOrvEntryDesc::Entries, &TOrvEntryDesc::SetEntries)
      .StoredWhen(
          [](const TObject* o) { return static_cast<const TOrvEntryDesc*>(o)->IsEntriesStored(); });
  c.Prop("Key", &TOrvEntryDesc::Key, &TOrvEntryDesc::SetKey);
  c.Implements<IEntryDesc>();
}

ORV_DESCRIBE(TOrvMenuItem) {
  c.Prop("ScriptID", &TOrvMenuItem::ScriptID);
  c.Prop("ShortCutText", &TOrvMenuItem::ShortCutText, &TOrvMenuItem::SetShortCutText);
}
