#pragma once
// The in-application drag manager: one drag at a time, from a source control to whatever
// control lies under the mouse on a shown form. The mouse entries of the widgets feed it
// (any button: trees drag with the right one); nothing goes through the system's drag and
// drop.
//
// A drag begins pending until the mouse moves the threshold away from where the button went
// down (or at once). While it moves, the control under the mouse hears DragOver with
// dsDragEnter, dsDragMove and dsDragLeave and answers Accept; the button's release drops on
// an accepting target (DragDrop) and the source hears DoEndDrag with the target, or nil.
#include "controls.h"

namespace dragmanager {

// Where a mouse button went down last, in screen coordinates (the bridge tells).
void NoteMouseDown(TPoint screen);
void Begin(TControl* source, bool immediate, int threshold);
// Mouse moves and the button's release; true when a drag took them.
bool MouseMove(TPoint screen);
bool MouseUp(TPoint screen);
void End(bool drop);
// The source of the drag under way (pending or started), or nullptr.
TControl* Source();
bool Active();
TControl* Target();
// The cursor the drag shows now: the source's DragCursor over an accepting target, crNoDrop
// elsewhere.
int Cursor();
// The deepest visible control under a screen point on a shown form; nullptr when none.
TControl* FindDragTarget(TPoint screen);

}  // namespace dragmanager
