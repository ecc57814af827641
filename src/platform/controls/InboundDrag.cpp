#include "platform/controls/InboundDrag.h"

#include "platform/controls/Controls.h"
#include "platform/controls/DropFiles.h"

#include <QMimeData>
#include <QUrl>
#include <algorithm>

// ---------------------------------------------------------------------------
// Drags from other programs
// ---------------------------------------------------------------------------

namespace {
struct InboundState {
    std::shared_ptr<TDataObject> Data;
    HWND Window = 0;
    std::shared_ptr<IDropTarget> Target;
};
InboundState& Inbound() {
    static InboundState s;
    return s;
}
void LeaveInbound() {
    InboundState& s = Inbound();
    if (s.Target && FindControl(s.Window)) s.Target->DragLeave();
    s.Target.reset();
    s.Window = 0;
}
}  // namespace

std::shared_ptr<TDataObject> InboundDataObject(const QMimeData* mime) {
    if (!mime) return nullptr;
    auto data = std::make_shared<TDataObject>();
    bool any = false;
    if (mime->hasUrls()) {
        // Files travel as their list only (the toolkit also offers their
        // names as text); a single one is taken.
        const QList<QUrl> urls = mime->urls();
        const bool files = std::all_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); });
        if (files) {
            if (urls.size() != 1) return nullptr;
            data->SetFormat(CF_HDROP, DropFilesFromUrls(urls));
            return data;
        }
    }
    if (mime->hasText() && !mime->text().isEmpty()) {
        data->SetText(mime->text());
        any = true;
    }
    return any ? data : nullptr;
}

std::uint32_t DeliverInboundDrag(TInboundDragStep step, const QMimeData* mime, TPoint screen, std::uint32_t keyState) {
    InboundState& s = Inbound();
    if (step == TInboundDragStep::Leave) {
        LeaveInbound();
        s.Data.reset();
        return DROPEFFECT_NONE;
    }
    if (step == TInboundDragStep::Enter || !s.Data) {
        LeaveInbound();
        s.Data = InboundDataObject(mime);
    }
    if (!s.Data) return DROPEFFECT_NONE;
    TWinControl* w = DropWindowAt(screen);
    std::uint32_t effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    if (!w || w->Handle() != s.Window || !s.Target) {
        LeaveInbound();
        if (w) {
            s.Window = w->Handle();
            s.Target = DropTargetOf(w);
            if (s.Target) s.Target->DragEnter(s.Data.get(), keyState, screen, effect);
        }
    }
    if (!s.Target) {
        if (step == TInboundDragStep::Drop) s.Data.reset();
        return DROPEFFECT_NONE;
    }
    // Another program's data is only ever copied.
    effect = DROPEFFECT_COPY;
    if (step == TInboundDragStep::Drop) {
        std::shared_ptr<IDropTarget> t = s.Target;
        std::shared_ptr<TDataObject> d = s.Data;
        s.Target.reset();
        s.Window = 0;
        s.Data.reset();
        t->Drop(d.get(), keyState, screen, effect);
        return effect;
    }
    s.Target->DragOver(keyState, screen, effect);
    return effect;
}
