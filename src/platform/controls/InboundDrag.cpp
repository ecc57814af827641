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
    std::shared_ptr<IDataObject> Data;
    // A drag of this program that went out and came back: its own data
    // object and effects, not the toolkit's copy of them.
    bool Own = false;
    std::uint32_t OkEffects = DROPEFFECT_COPY;
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
    for (const auto& [format, bytes] : FormatsOfDragMimeData(mime)) data->SetFormat(format, bytes);
    return data->FormatList().isEmpty() ? nullptr : data;
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
        std::uint32_t ok = 0;
        if (IDataObject* own = ToolkitDragData(&ok)) {
            // Not owned here: the drag that runs keeps it.
            s.Data = std::shared_ptr<IDataObject>(std::shared_ptr<void>(), own);
            s.Own = true;
            s.OkEffects = ok;
        } else {
            s.Data = InboundDataObject(mime);
            s.Own = false;
            s.OkEffects = DROPEFFECT_COPY;
        }
    }
    if (!s.Data) return DROPEFFECT_NONE;
    TWinControl* w = DropWindowAt(screen);
    std::uint32_t effect = s.Own ? s.OkEffects : DROPEFFECT_COPY | DROPEFFECT_MOVE;
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
    // Another program's data is only ever copied; this program's own drag
    // keeps the effects it allows.
    const std::uint32_t ok = s.OkEffects;
    effect = ok;
    if (step == TInboundDragStep::Drop) {
        std::shared_ptr<IDropTarget> t = s.Target;
        std::shared_ptr<IDataObject> d = s.Data;
        s.Target.reset();
        s.Window = 0;
        s.Data.reset();
        t->Drop(d.get(), keyState, screen, effect);
        return effect & ok;
    }
    s.Target->DragOver(keyState, screen, effect);
    return effect & ok;
}
