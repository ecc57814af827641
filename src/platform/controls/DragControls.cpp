// Dragging of controls: the drag runs while its source holds the mouse; a
// procedure put in front of the source's own takes the mouse and keys until
// the drag ends.
#include "platform/controls/DragControls.h"

#include "platform/controls/Forms.h"

#include <cstdlib>

TCursor TDragObject::GetDragCursor(bool Accepted, int, int) { return Accepted ? crDrag : crNoDrop; }

TCursor TDragControlObject::GetDragCursor(bool Accepted, int, int) {
    return Accepted ? Control->DragCursor() : crNoDrop;
}

TControl* FindDragTarget(TPoint screenPos, bool AllowDisabled) {
    for (int i = Screen()->FormCount() - 1; i >= 0; --i) {
        TCustomForm* f = Screen()->Forms(i);
        if (!f->Showing()) continue;
        const TPoint p = f->ScreenToClient(screenPos);
        if (!f->ClientRect().Contains(p)) continue;
        TControl* c = f->ControlAtPos(p, AllowDisabled);
        if (!AllowDisabled && c && !c->Enabled()) continue;
        return c;
    }
    return nullptr;
}

namespace {
// Hears a source or target of the running drag going away.
class TDragWatch : public TComponent {
public:
    TDragWatch() : TComponent(nullptr) {}
    std::function<void(TComponent*)> Gone;

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == opRemove && Gone) Gone(c);
    }
};
}  // namespace

struct TDragManager {
    TControl* Source = nullptr;
    TDragObject* Object = nullptr;
    bool OwnsObject = false;
    bool Pending = false;
    int Threshold = DefaultDragThreshold;
    TPoint Start;
    TControl* Target = nullptr;
    bool Accepted = false;
    TWndMethod SavedProc;
    // The keys go to the focused window: Escape there cancels the drag.
    TWinControl* KeyWindow = nullptr;
    TWndMethod SavedKeyProc;

    TDragWatch* Watch = nullptr;

    static TDragManager& Get() {
        static TDragManager m;
        return m;
    }

    // A source that goes away ends the drag without a word to it; a target
    // that goes away is simply no longer under the mouse.
    void Watching(TControl* c) {
        if (!Watch) {
            Watch = new TDragWatch;
            Watch->Gone = [this](TComponent* gone) {
                if (gone == Target) {
                    Target = nullptr;
                    Accepted = false;
                }
                if (gone == Source) Abandon();
            };
        }
        if (c) c->FreeNotification(Watch);
    }

    void Abandon() {
        ReleaseKeys();
        if (OwnsObject) delete Object;
        Source = nullptr;
        Object = nullptr;
        Target = nullptr;
        Pending = false;
        SavedProc = nullptr;
        Screen()->SetCursor(crDefault);
    }

    static TObject* SourceFor(TDragObject* o) {
        if (auto* c = dynamic_cast<TDragControlObject*>(o)) return c->Control;
        return o;
    }

    bool Ask(TControl* t, TPoint screen, TDragState state) {
        const TPoint p = t->ScreenToClient(screen);
        bool accept = false;
        t->DragOver(SourceFor(Object), p.X, p.Y, state, accept);
        return accept;
    }

    void Begin(TControl* src, bool immediate, int threshold) {
        Source = src;
        Pending = !immediate;
        Threshold = threshold < 0 ? DefaultDragThreshold : threshold;
        Start = GetCursorPos();
        Target = nullptr;
        Accepted = false;
        // The source may hand a drag object of its own.
        TDragObject* obj = nullptr;
        src->DoStartDrag(obj);
        OwnsObject = obj == nullptr;
        Object = obj ? obj : new TDragControlObject(src);
        SavedProc = src->WindowProc;
        src->WindowProc = [](TMessage& m) { Get().Track(m); };
        Watching(src);
        TWinControl* keys = FocusedControl();
        if (!keys) keys = Screen()->ActiveForm();
        if (keys && keys != src) {
            KeyWindow = keys;
            Watching(keys);
            SavedKeyProc = keys->WindowProc;
            keys->WindowProc = [](TMessage& m) { Get().TrackKeys(m); };
        }
        SetCaptureControl(src);
        if (immediate) MoveTo(Start);
    }

    void Track(TMessage& m) {
        switch (m.Msg) {
        case WM_MOUSEMOVE: MoveTo(Source->ClientToScreen(Point(GetXLParam(m.LParam), GetYLParam(m.LParam)))); return;
        case WM_LBUTTONUP: {
            // A release where the mouse moved last drops without another move.
            const TPoint at = Source->ClientToScreen(Point(GetXLParam(m.LParam), GetYLParam(m.LParam)));
            if (Pending || !(at == Object->DragPos)) MoveTo(at);
            Finish(true);
            return;
        }
        case WM_RBUTTONDOWN: Finish(false); return;
        case WM_KEYDOWN:
            if (m.WParam == VK_ESCAPE) Finish(false);
            return;
        case WM_CAPTURECHANGED:
            if (GetCaptureControl() != Source) Finish(false);
            return;
        case WM_KEYUP: case WM_CHAR: case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: return;
        default: SavedProc(m); return;
        }
    }

    void TrackKeys(TMessage& m) {
        if (m.Msg == CM_WANTSPECIALKEY && m.WParam == VK_ESCAPE) {
            m.Result = 1;
            return;
        }
        if (m.Msg == WM_KEYDOWN && m.WParam == VK_ESCAPE) {
            Finish(false);
            return;
        }
        SavedKeyProc(m);
    }

    void ReleaseKeys() {
        if (!KeyWindow) return;
        KeyWindow->WindowProc = SavedKeyProc;
        if (Watch) KeyWindow->RemoveFreeNotification(Watch);
        KeyWindow = nullptr;
        SavedKeyProc = nullptr;
    }

    void MoveTo(TPoint screen) {
        if (Pending) {
            if (std::abs(screen.X - Start.X) < Threshold && std::abs(screen.Y - Start.Y) < Threshold) return;
            Pending = false;
        }
        Object->DragPos = screen;
        TControl* t = FindDragTarget(screen, false);
        if (t != Target) {
            if (Target) Ask(Target, screen, dsDragLeave);
            Target = t;
            Watching(Target);
            Accepted = Target && Ask(Target, screen, dsDragEnter);
        } else if (Target) {
            Accepted = Ask(Target, screen, dsDragMove);
        }
        Object->DragTarget = Target;
        const TPoint p = Target ? Target->ScreenToClient(screen) : screen;
        Screen()->SetCursor(Object->GetDragCursor(Accepted, p.X, p.Y));
    }

    void Finish(bool drop) {
        if (!Source) return;
        TControl* src = Source;
        TDragObject* obj = Object;
        const bool owns = OwnsObject;
        const bool started = !Pending;
        TControl* target = Target;
        const bool accepted = drop && started && Accepted && target;
        const TPoint screen = obj->DragPos;
        // The drag is over before any handler runs: a handler may start another.
        if (Watch) {
            src->RemoveFreeNotification(Watch);
            if (target) target->RemoveFreeNotification(Watch);
        }
        src->WindowProc = SavedProc;
        SavedProc = nullptr;
        ReleaseKeys();
        Source = nullptr;
        Object = nullptr;
        Target = nullptr;
        Pending = false;
        Screen()->SetCursor(crDefault);
        if (GetCaptureControl() == src) SetCaptureControl(nullptr);
        struct FreeObject {
            TDragObject* o;
            bool owns;
            ~FreeObject() { if (owns) delete o; }
        } freeObject{obj, owns};
        if (target && started) {
            const TPoint p = target->ScreenToClient(screen);
            bool ignored = false;
            target->DragOver(SourceFor(obj), p.X, p.Y, dsDragLeave, ignored);
            if (accepted) target->DragDrop(SourceFor(obj), p.X, p.Y);
        }
        if (!accepted) src->DragCanceled();
        const TPoint at = accepted ? target->ScreenToClient(screen) : Point(0, 0);
        src->DoEndDrag(accepted ? target : nullptr, at.X, at.Y);
    }
};

TDragObject* ActiveDragObject() { return TDragManager::Get().Object; }
TControl* ActiveDragSource() { return TDragManager::Get().Source; }

void TControl::BeginDrag(bool Immediate, int Threshold) {
    if (TDragManager::Get().Source) return;
    TDragManager::Get().Begin(this, Immediate, Threshold);
}

bool TControl::Dragging() const { return TDragManager::Get().Source == this; }

void TControl::EndDrag(bool Drop) {
    if (Dragging()) TDragManager::Get().Finish(Drop);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = false;
    if (OnDragOver) {
        Accept = true;
        OnDragOver(this, Source, X, Y, State, Accept);
    }
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
    if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::DoStartDrag(TDragObject*& DragObject) {
    if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
    if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}
