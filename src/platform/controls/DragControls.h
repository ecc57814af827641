#pragma once
// The class library's dragging of controls inside the program: a control
// starts a drag (BeginDrag, or a press with DragMode dmAutomatic), the mouse
// carries it over other controls, which say whether they take it
// (DragOver, OnDragOver), and a release drops it (DragDrop, OnDragDrop);
// the source hears the start and the end (OnStartDrag, OnEndDrag). Escape, a
// right click or losing the mouse cancels the drag.
#include "platform/controls/Controls.h"

// What is dragged. OnStartDrag may hand one of its own; otherwise the source
// control is carried in a TDragControlObject, and the targets see the
// control itself as the Source.
class TDragObject : public TObject {
    KAL_CLASS(TDragObject, TObject)
public:
    ~TDragObject() override = default;
    // Where the mouse is (screen) and the control under it.
    TPoint DragPos;
    TControl* DragTarget = nullptr;
    // The cursor shown over a target: its drag cursor when it accepts.
    virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
};

class TDragControlObject : public TDragObject {
    KAL_CLASS(TDragControlObject, TDragObject)
public:
    explicit TDragControlObject(TControl* control) : Control(control) {}
    TControl* Control;
    TCursor GetDragCursor(bool Accepted, int X, int Y) override;
};

// The control under a screen point, on the shown forms, the topmost form
// first; nullptr when none.
TControl* FindDragTarget(TPoint screenPos, bool AllowDisabled);
// The drag running now (nullptr when none) and its source.
TDragObject* ActiveDragObject();
TControl* ActiveDragSource();
// The platform's distance in pixels before a pending drag starts.
constexpr int DefaultDragThreshold = 5;
