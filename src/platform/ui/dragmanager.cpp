#include "dragmanager.h"

#include "forms.h"

namespace dragmanager {

namespace {

constexpr int kDefaultThreshold = 5;

struct TDragState_ {
  qint64 source = 0;
  qint64 target = 0;
  bool pending = false;
  bool active = false;
  bool accepted = false;
  TPoint down;
  int threshold = kDefaultThreshold;
  TObject* dragObject = nullptr;
  TPoint at;  // the mouse in the target's client coordinates, as the last move saw it
};

TDragState_& S() {
  static TDragState_ state;
  return state;
}

TControl* Live(qint64 handle) { return dynamic_cast<TControl*>(TObject::FromHandle(handle)); }

// The deepest child of parent (client coordinates) under the point, or parent itself.
TControl* Deepest(TWinControl* parent, TPoint p) {
  const std::vector<TControl*>& list = parent->ControlList();
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    TControl* c = *it;
    if (!c->Visible() || !c->BoundsRect().Contains(p)) continue;
    if (auto* wc = dynamic_cast<TWinControl*>(c)) {
      const TPoint origin = wc->ClientOrigin();
      return Deepest(wc, TPoint{p.X - c->Left() - origin.X, p.Y - c->Top() - origin.Y});
    }
    return c;
  }
  return parent;
}

TPoint ClientPoint(TControl* c, TPoint screen) { return c->ScreenToClient(screen); }

void Reset() { S() = TDragState_{}; }

void Start() {
  TDragState_& s = S();
  s.pending = false;
  s.active = true;
  if (TControl* source = Live(s.source)) source->DoStartDrag(s.dragObject);
}

}  // namespace

void NoteMouseDown(TPoint screen) {
  if (!S().active && !S().pending) S().down = screen;
}

void Begin(TControl* source, bool immediate, int threshold) {
  TDragState_& s = S();
  if (s.active || s.pending || source == nullptr) return;
  const TPoint down = s.down;
  Reset();
  s.down = down;
  s.source = source->ObjectHandle();
  s.threshold = threshold < 0 ? kDefaultThreshold : threshold;
  s.pending = true;
  if (immediate) Start();
}

TControl* Source() {
  TDragState_& s = S();
  if (!s.active && !s.pending) return nullptr;
  TControl* c = Live(s.source);
  if (c == nullptr) Reset();  // the source went away: the drag with it
  return c;
}

bool Active() { return Source() != nullptr && S().active; }
TControl* Target() { return Active() ? Live(S().target) : nullptr; }

int Cursor() {
  TControl* source = Source();
  if (source == nullptr || !S().active) return crDefault;
  return S().accepted && Live(S().target) != nullptr ? source->DragCursor() : int(crNoDrop);
}

TControl* FindDragTarget(TPoint screen) {
  for (int i = 0; i < Screen()->FormCount(); ++i) {
    TCustomForm* f = Screen()->Forms(i);
    if (!f->Visible()) continue;
    const TPoint p = f->ScreenToClient(screen);
    if (p.X < 0 || p.Y < 0 || p.X >= f->ClientWidth() || p.Y >= f->ClientHeight()) continue;
    return Deepest(f, p);
  }
  return nullptr;
}

bool MouseMove(TPoint screen) {
  TControl* source = Source();
  if (source == nullptr) return false;
  TDragState_& s = S();
  if (s.pending) {
    if (std::abs(screen.X - s.down.X) < s.threshold && std::abs(screen.Y - s.down.Y) < s.threshold)
      return false;
    Start();
    if (Source() == nullptr) return true;
  }
  TControl* target = FindDragTarget(screen);
  TControl* old = Live(s.target);
  const qint64 sourceHandle = s.source;
  if (old != nullptr && old != target) {
    bool ignored = false;
    const TPoint p = ClientPoint(old, screen);
    old->DragOver(source, p.X, p.Y, dsDragLeave, ignored);
  }
  if (!TObject::IsLiveHandle(sourceHandle)) return true;
  s.target = target != nullptr ? target->ObjectHandle() : 0;
  s.accepted = false;
  if (target != nullptr) {
    const TPoint p = ClientPoint(target, screen);
    bool accept = false;
    S().at = p;
    target->DragOver(source, p.X, p.Y, old == target ? dsDragMove : dsDragEnter, accept);
    S().accepted = accept;
  }
  return true;
}

bool MouseUp(TPoint screen) {
  TControl* source = Source();
  if (source == nullptr) return false;
  if (S().pending) {
    Reset();  // the mouse never moved far enough: a plain click
    return false;
  }
  MouseMove(screen);
  End(true);
  return true;
}

void End(bool drop) {
  const TDragState_ s = S();
  Reset();
  TControl* source = Live(s.source);
  if (source == nullptr || !s.active) return;
  TControl* target = Live(s.target);
  const bool dropped = drop && s.accepted && target != nullptr;
  if (dropped) target->DragDrop(source, s.at.X, s.at.Y);
  if (TObject::IsLiveHandle(s.source) && (target == nullptr || TObject::IsLiveHandle(s.target)))
    source->DoEndDrag(dropped ? target : nullptr, dropped ? s.at.X : 0, dropped ? s.at.Y : 0);
  else if (TObject::IsLiveHandle(s.source))
    source->DoEndDrag(nullptr, 0, 0);
}

}  // namespace dragmanager
