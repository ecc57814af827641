#include "platform/controls/DragDrop.h"

#include "platform/controls/Clipboard.h"
#include "platform/controls/FormHost.h"
#include "platform/controls/Forms.h"

#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QEventLoop>
#include <QHash>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

// ---------------------------------------------------------------------------
// TEnumFormatEtc
// ---------------------------------------------------------------------------

HRESULT TEnumFormatEtc::Next(std::uint32_t celt, FORMATETC* rgelt, std::uint32_t* pceltFetched) {
    std::uint32_t n = 0;
    while (n < celt && FIndex < FFormats.size()) rgelt[n++] = FFormats[FIndex++];
    if (pceltFetched) *pceltFetched = n;
    return n == celt ? S_OK : S_FALSE;
}

HRESULT TEnumFormatEtc::Skip(std::uint32_t celt) {
    const qsizetype target = FIndex + qsizetype(celt);
    FIndex = int(std::min<qsizetype>(target, FFormats.size()));
    return target <= FFormats.size() ? S_OK : S_FALSE;
}

HRESULT TEnumFormatEtc::Reset() {
    FIndex = 0;
    return S_OK;
}

HRESULT TEnumFormatEtc::Clone(std::shared_ptr<IEnumFORMATETC>& out) {
    out = std::make_shared<TEnumFormatEtc>(FFormats, FIndex);
    return S_OK;
}

// ---------------------------------------------------------------------------
// TDataObject
// ---------------------------------------------------------------------------

void TDataObject::SetFormat(TClipFormat format, const QByteArray& bytes) {
    for (auto& item : FItems)
        if (item.first == format) {
            item.second = bytes;
            return;
        }
    FItems.append({format, bytes});
}

void TDataObject::SetText(const QString& text) {
    SetFormat(CF_UNICODETEXT, TextToClipboardBytes(CF_UNICODETEXT, text));
    SetFormat(CF_TEXT, TextToClipboardBytes(CF_TEXT, text));
}

bool TDataObject::HasFormat(TClipFormat format) const {
    for (const auto& item : FItems)
        if (item.first == format) return true;
    return false;
}

QByteArray TDataObject::Bytes(TClipFormat format) const {
    for (const auto& item : FItems)
        if (item.first == format) return item.second;
    return QByteArray();
}

QList<TClipFormat> TDataObject::FormatList() const {
    QList<TClipFormat> list;
    for (const auto& item : FItems) list << item.first;
    return list;
}

HRESULT TDataObject::QueryGetData(const FORMATETC& format) {
    if (format.dwAspect != DVASPECT_CONTENT || !(format.tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    return HasFormat(format.cfFormat) ? S_OK : DV_E_FORMATETC;
}

HRESULT TDataObject::GetData(const FORMATETC& format, STGMEDIUM& medium) {
    medium = STGMEDIUM();
    const HRESULT hr = QueryGetData(format);
    if (FAILED(hr)) return hr;
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = Bytes(format.cfFormat);
    return S_OK;
}

HRESULT TDataObject::GetDataHere(const FORMATETC&, STGMEDIUM&) { return DV_E_FORMATETC; }

HRESULT TDataObject::GetCanonicalFormatEtc(const FORMATETC& in, FORMATETC& out) {
    out = in;
    out.ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT TDataObject::SetData(const FORMATETC& format, const STGMEDIUM& medium, bool) {
    if (medium.tymed != TYMED_HGLOBAL) return DV_E_FORMATETC;
    SetFormat(format.cfFormat, medium.hGlobal);
    return S_OK;
}

HRESULT TDataObject::EnumFormatEtc(std::uint32_t direction, std::shared_ptr<IEnumFORMATETC>& out) {
    out.reset();
    if (direction != DATADIR_GET) return E_NOTIMPL;
    QList<FORMATETC> list;
    for (const auto& item : FItems) list << FORMATETC{item.first, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    out = std::make_shared<TEnumFormatEtc>(list);
    return S_OK;
}

bool GetDataBytes(IDataObject* data, TClipFormat format, QByteArray& bytes) {
    if (!data) return false;
    const FORMATETC f{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM m;
    if (data->GetData(f, m) != S_OK || m.tymed != TYMED_HGLOBAL) return false;
    bytes = m.hGlobal;
    return true;
}

// ---------------------------------------------------------------------------
// Clipboard bridge
// ---------------------------------------------------------------------------

HRESULT OleSetClipboard(IDataObject* data) {
    TClipboard* cb = Clipboard();
    if (!data) {
        cb->Clear();
        return S_OK;
    }
    std::shared_ptr<IEnumFORMATETC> e;
    if (FAILED(data->EnumFormatEtc(DATADIR_GET, e)) || !e) return E_FAIL;
    cb->Open();
    cb->Clear();
    FORMATETC f;
    std::uint32_t got = 0;
    e->Reset();
    while (e->Next(1, &f, &got) == S_OK && got == 1) {
        QByteArray bytes;
        if (f.tymed & TYMED_HGLOBAL && GetDataBytes(data, f.cfFormat, bytes)) cb->SetAsBytes(f.cfFormat, bytes);
    }
    cb->Close();
    return S_OK;
}

HRESULT OleGetClipboard(std::shared_ptr<IDataObject>& out) {
    auto obj = std::make_shared<TDataObject>();
    TClipboard* cb = Clipboard();
    for (TClipFormat f : cb->Formats()) obj->SetFormat(f, cb->GetAsBytes(f));
    out = obj;
    return S_OK;
}

// ---------------------------------------------------------------------------
// Registration
// ---------------------------------------------------------------------------

namespace {
QHash<HWND, std::shared_ptr<IDropTarget>>& Targets() {
    static QHash<HWND, std::shared_ptr<IDropTarget>> targets;
    return targets;
}

struct DragImageState {
    IDataObject* Data = nullptr;
    TDragImageInfo Info;
};
DragImageState& PendingImage() {
    static DragImageState s;
    return s;
}
const TDragImageInfo* gRunningImage = nullptr;
bool gDragRunning = false;
TDragInputSource gInputSource;
}  // namespace

HRESULT RegisterDragDrop(TWinControl* window, std::shared_ptr<IDropTarget> target) {
    if (!window) return DRAGDROP_E_INVALIDHWND;
    if (!target) return E_INVALIDARG;
    // Targets of windows that went without revoking are let go.
    for (auto it = Targets().begin(); it != Targets().end();)
        it = FindControl(it.key()) ? std::next(it) : Targets().erase(it);
    const HWND h = window->Handle();
    if (Targets().contains(h)) return DRAGDROP_E_ALREADYREGISTERED;
    Targets().insert(h, std::move(target));
    return S_OK;
}

HRESULT RevokeDragDrop(TWinControl* window) {
    if (!window || !window->HandleAllocated()) return DRAGDROP_E_NOTREGISTERED;
    return Targets().remove(window->Handle()) ? S_OK : DRAGDROP_E_NOTREGISTERED;
}

std::shared_ptr<IDropTarget> DropTargetOf(TWinControl* window) {
    if (!window || !window->HandleAllocated()) return nullptr;
    return Targets().value(window->Handle());
}

TWinControl* DropWindowAt(TPoint screen) {
    // Forms later in the list lie above earlier ones; the active form lies
    // above all.
    QList<TCustomForm*> forms;
    for (int i = 0; i < Screen()->FormCount(); ++i) forms << Screen()->Forms(i);
    if (TCustomForm* active = Screen()->ActiveForm(); active && forms.removeAll(active)) forms << active;
    for (int i = int(forms.size()) - 1; i >= 0; --i) {
        TCustomForm* f = forms[i];
        // A window the mouse passes through (the drag picture) is no target.
        if (!f->Showing() || f->ClickThrough()) continue;
        const TPoint p = f->ScreenToClient(screen);
        if (!f->ClientRect().Contains(p)) continue;
        TControl* c = f->ControlAtPos(p);
        // The deepest control first, then up through its parents.
        for (TControl* w = c; w; w = w->Parent())
            if (auto* win = dynamic_cast<TWinControl*>(w); win && DropTargetOf(win)) return win;
        return nullptr;
    }
    return nullptr;
}

bool InitializeDragImage(IDataObject* data, const QImage& image, TPoint hotSpot, TColor colorKey) {
    if (!data || image.isNull()) return false;
    DragImageState& s = PendingImage();
    s.Data = data;
    s.Info = TDragImageInfo{image, hotSpot, colorKey, TPoint(), false};
    return true;
}

const TDragImageInfo* CurrentDragImage() { return gRunningImage; }

void SetDragInputSource(TDragInputSource source) { gInputSource = std::move(source); }

void ScriptDrag(QList<TDragInput> steps) {
    auto queue = std::make_shared<QList<TDragInput>>(std::move(steps));
    SetDragInputSource([queue](TDragInput& next) {
        if (queue->isEmpty()) return false;
        next = queue->takeFirst();
        return true;
    });
}

bool DragRunning() { return gDragRunning; }

// ---------------------------------------------------------------------------
// The drag run
// ---------------------------------------------------------------------------

namespace {
// Reads a person's input while a drag runs: each mouse move, button or key
// change ends the wait with the new state.
class PersonInput : public QObject {
public:
    bool Next(TDragInput& in) {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || !FormHostsEnabled()) return false;
        QEventLoop loop;
        FLoop = &loop;
        qApp->installEventFilter(this);
        loop.exec();
        qApp->removeEventFilter(this);
        FLoop = nullptr;
        in.Screen = Point(QCursor::pos().x(), QCursor::pos().y());
        const Qt::MouseButtons b = QGuiApplication::mouseButtons();
        const Qt::KeyboardModifiers k = QGuiApplication::keyboardModifiers();
        auto bit = [](bool on, std::uint32_t mk) { return on ? mk : 0u; };
        in.KeyState = bit(b & Qt::LeftButton, MK_LBUTTON) | bit(b & Qt::RightButton, MK_RBUTTON) |
                      bit(b & Qt::MiddleButton, MK_MBUTTON) | bit(k & Qt::ShiftModifier, MK_SHIFT) |
                      bit(k & Qt::ControlModifier, MK_CONTROL) | bit(k & Qt::AltModifier, MK_ALT);
        in.Escape = FEscape;
        FEscape = false;
        return true;
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        switch (e->type()) {
        case QEvent::MouseMove: case QEvent::MouseButtonRelease: case QEvent::MouseButtonPress:
        case QEvent::KeyRelease:
            if (FLoop) FLoop->quit();
            return true;  // the drag has the input to itself
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) FEscape = true;
            if (FLoop) FLoop->quit();
            return true;
        default: return false;
        }
    }

private:
    QEventLoop* FLoop = nullptr;
    bool FEscape = false;
};

// The drag picture's pixels: its own alpha shows what lies below
// (per-pixel alpha) and the colour key is a hole.
QImage KeyedDragPicture(const TDragImageInfo& info) {
    QImage img = info.Image.convertToFormat(QImage::Format_ARGB32);
    if (info.ColorKey != clNone) {
        const QRgb key = ColorToQColor(info.ColorKey).rgb() & 0xFFFFFF;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if ((img.pixel(x, y) & 0xFFFFFF) == key) img.setPixel(x, y, 0);
    }
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
// The whole picture is three quarters opaque.
constexpr int kDragPictureAlpha = 191;

// The picture that follows the mouse: a pop-up window of the platform (no
// frame, above the forms, never active) that lets the mouse through to the
// drop targets below, three quarters opaque, its colour key a hole.
class DragPictureWindow : public TPopupForm {
public:
    explicit DragPictureWindow(const TDragImageInfo& info) : TPopupForm(nullptr), FImage(info.Image) {
        SetClickThrough(true);
        SetBounds(0, 0, std::max(1, FImage.width()), std::max(1, FImage.height()));
        SetLayeredImage(KeyedDragPicture(info));
        SetLayeredWindowAttributes(this, clBlack, kDragPictureAlpha, LWA_ALPHA);
    }

protected:
    void PaintWindow(const TPaintTarget& t) override {
        QPainter p(t.Surface);
        p.setClipRegion(t.Clip.translated(t.Origin.X, t.Origin.Y));
        p.drawImage(t.Origin.X, t.Origin.Y, FImage);
    }

public:
    void MoveTo(TPoint at) {
        SetBounds(at.X, at.Y, Width(), Height());
        if (FHost) FHost->SyncGeometry();
    }

private:
    QImage FImage;
};

class DragPicture {
public:
    ~DragPicture() { delete FWindow; }
    void Show(const TDragImageInfo& info) {
        if (!FWindow) {
            FWindow = new DragPictureWindow(info);
            FWindow->AfterConstruction();
        }
        FWindow->MoveTo(info.Position);
        ShowWindow(FWindow, SW_SHOWNOACTIVATE);
    }
    void Hide() {
        delete FWindow;
        FWindow = nullptr;
    }
    TCustomForm* Window() const { return FWindow; }

private:
    DragPictureWindow* FWindow = nullptr;
};
}  // namespace

// ---------------------------------------------------------------------------
// The toolkit's drag between programs
// ---------------------------------------------------------------------------

QMimeData* DragMimeDataOf(IDataObject* data) {
    auto* mime = new QMimeData;
    std::shared_ptr<IEnumFORMATETC> e;
    if (!data || FAILED(data->EnumFormatEtc(DATADIR_GET, e)) || !e) return mime;
    e->Reset();
    FORMATETC f;
    std::uint32_t got = 0;
    while (e->Next(1, &f, &got) == S_OK && got == 1) {
        QByteArray bytes;
        if (f.tymed & TYMED_HGLOBAL && GetDataBytes(data, f.cfFormat, bytes))
            AddFormatToDragMimeData(mime, f.cfFormat, bytes);
    }
    return mime;
}

Qt::DropAction DropActionOfEffect(std::uint32_t effect) {
    if (effect & DROPEFFECT_COPY) return Qt::CopyAction;
    if (effect & DROPEFFECT_MOVE) return Qt::MoveAction;
    if (effect & DROPEFFECT_LINK) return Qt::LinkAction;
    return Qt::IgnoreAction;
}

std::uint32_t EffectOfDropAction(Qt::DropAction action) {
    switch (action) {
    case Qt::CopyAction: return DROPEFFECT_COPY;
    case Qt::MoveAction: case Qt::TargetMoveAction: return DROPEFFECT_MOVE;
    case Qt::LinkAction: return DROPEFFECT_LINK;
    default: return DROPEFFECT_NONE;
    }
}

namespace {
struct ToolkitDragState {
    IDataObject* Data = nullptr;
    std::uint32_t OkEffects = DROPEFFECT_NONE;
};
ToolkitDragState gToolkitDrag;

std::uint32_t ToolkitKeyState() {
    const Qt::MouseButtons b = QGuiApplication::mouseButtons();
    const Qt::KeyboardModifiers k = QGuiApplication::keyboardModifiers();
    auto bit = [](bool on, std::uint32_t mk) { return on ? mk : 0u; };
    return bit(b & Qt::LeftButton, MK_LBUTTON) | bit(b & Qt::RightButton, MK_RBUTTON) |
           bit(b & Qt::MiddleButton, MK_MBUTTON) | bit(k & Qt::ShiftModifier, MK_SHIFT) |
           bit(k & Qt::ControlModifier, MK_CONTROL) | bit(k & Qt::AltModifier, MK_ALT);
}

// Whether a person's mouse at a screen point is over one of the program's
// own windows. The toolkit names the topmost window there when it is ours
// (other programs' windows above ours hide them); under a window the mouse
// passes through (the drag picture) our forms' places decide.
bool OverOwnWindow(TPoint screen) {
    const QPoint p(screen.X, screen.Y);
    QWindow* top = QGuiApplication::topLevelAt(p);
    if (!top) return false;
    bool seeThrough = false;
    for (int i = 0; i < Screen()->FormCount(); ++i) {
        TCustomForm* f = Screen()->Forms(i);
        QWidget* w = f->HostWidget();
        if (!w || w->window()->windowHandle() != top) continue;
        if (!f->ClickThrough()) return true;
        seeThrough = true;
    }
    if (!seeThrough) return true;  // a toolkit window of the program's own
    for (int i = 0; i < Screen()->FormCount(); ++i) {
        TCustomForm* f = Screen()->Forms(i);
        QWidget* w = f->HostWidget();
        if (f->ClickThrough() || !w || !w->isVisible()) continue;
        if (w->window()->frameGeometry().contains(p)) return true;
    }
    return false;
}

// The rest of a drag, run as the toolkit's drag once the mouse left the
// program's windows. Every format is rendered now: the other program may
// ask for them after the drag has ended here.
HRESULT RunToolkitDrag(IDataObject* data, IDropSource* source, std::uint32_t okEffects, std::uint32_t& effect,
                       const TDragImageInfo* image) {
    effect = DROPEFFECT_NONE;
    // The toolkit deletes the drag (and its data) when the other program
    // has finished with it.
    QPointer<QDrag> drag = new QDrag(qApp);
    drag->setMimeData(DragMimeDataOf(data));
    if (image) {
        QImage picture(image->Image.size(), QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setOpacity(kDragPictureAlpha / 255.0);
        p.drawImage(0, 0, KeyedDragPicture(*image));
        p.end();
        drag->setPixmap(QPixmap::fromImage(picture));
        drag->setHotSpot(QPoint(image->HotSpot.X, image->HotSpot.Y));
    }
    QObject::connect(drag.data(), &QDrag::actionChanged, [source](Qt::DropAction a) {
        Application()->Guard([&] { source->GiveFeedback(EffectOfDropAction(a)); });
    });
    // The source hears each step while a button is held (and may cancel);
    // the end is the toolkit's.
    QTimer steps;
    steps.setInterval(25);
    QObject::connect(&steps, &QTimer::timeout, [source] {
        const std::uint32_t keys = ToolkitKeyState();
        if (!(keys & (MK_LBUTTON | MK_RBUTTON))) return;
        HRESULT go = S_OK;
        Application()->Guard([&] { go = source->QueryContinueDrag(false, keys); });
        if (go == DRAGDROP_S_CANCEL) QDrag::cancel();
    });
    Qt::DropActions actions;
    if (okEffects & DROPEFFECT_COPY) actions |= Qt::CopyAction;
    if (okEffects & DROPEFFECT_MOVE) actions |= Qt::MoveAction;
    if (okEffects & DROPEFFECT_LINK) actions |= Qt::LinkAction;
    // Without keys a drag proposes a move where it may, as the program's
    // own targets do.
    const Qt::DropAction proposed = (okEffects & DROPEFFECT_MOVE) ? Qt::MoveAction : DropActionOfEffect(okEffects);
    gToolkitDrag = ToolkitDragState{data, okEffects};
    struct End {
        ~End() { gToolkitDrag = ToolkitDragState(); }
    } end;
    steps.start();
    const Qt::DropAction done = drag->exec(actions, proposed);
    steps.stop();
    effect = EffectOfDropAction(done) & okEffects;
    // Nothing taken and a button still held: Escape (or the source) cancelled.
    const bool cancelled =
        effect == DROPEFFECT_NONE && (QGuiApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton));
    source->QueryContinueDrag(cancelled, cancelled ? std::uint32_t(MK_LBUTTON) : 0u);
    source->GiveFeedback(effect);
    return cancelled ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
}
}  // namespace

IDataObject* ToolkitDragData(std::uint32_t* okEffects) {
    if (okEffects) *okEffects = gToolkitDrag.OkEffects;
    return gToolkitDrag.Data;
}

HRESULT DoDragDrop(IDataObject* data, IDropSource* source, std::uint32_t okEffects, std::uint32_t& effect) {
    effect = DROPEFFECT_NONE;
    if (!data || !source) return E_INVALIDARG;
    if (gDragRunning) return E_FAIL;  // one drag at a time

    TDragImageInfo image;
    const bool hasImage = PendingImage().Data == data;
    if (hasImage) image = PendingImage().Info;
    PendingImage() = DragImageState();
    DragPicture picture;
    PersonInput person;

    gDragRunning = true;
    gRunningImage = hasImage ? &image : nullptr;
    TWinControl* window = nullptr;
    std::shared_ptr<IDropTarget> target;  // kept alive while it is talked to
    std::uint32_t current = DROPEFFECT_NONE;
    HRESULT result = DRAGDROP_S_CANCEL;

    struct End {
        ~End() {
            gDragRunning = false;
            gRunningImage = nullptr;
        }
    } end;

    for (;;) {
        TDragInput in;
        const bool got = gInputSource ? gInputSource(in) : person.Next(in);
        // No more input at all ends the drag as Escape would.
        if (!got) in = TDragInput{in.Screen, 0, true};
        const HRESULT go = source->QueryContinueDrag(in.Escape, in.KeyState);
        if (go == DRAGDROP_S_DROP) {
            if (target && current != DROPEFFECT_NONE) {
                std::uint32_t e = okEffects;
                target->Drop(data, in.KeyState, in.Screen, e);
                effect = e & okEffects;
            } else if (target) {
                target->DragLeave();
            }
            result = DRAGDROP_S_DROP;
            break;
        }
        if (go != S_OK) {
            if (target) target->DragLeave();
            result = DRAGDROP_S_CANCEL;
            break;
        }
        // A person's mouse that leaves the program's windows takes the drag
        // to other programs.
        if (!gInputSource && PersonCanSee() && !OverOwnWindow(in.Screen)) {
            if (target) target->DragLeave();
            target.reset();
            picture.Hide();
            image.Shown = false;
            return RunToolkitDrag(data, source, okEffects, effect, hasImage ? &image : nullptr);
        }
        // The picture moves first, so a target that looks sees it where
        // the mouse is.
        if (hasImage) {
            image.Position = Point(in.Screen.X - image.HotSpot.X, in.Screen.Y - image.HotSpot.Y);
            image.Shown = true;
            picture.Show(image);
        }
        // The window under the mouse: leave the old one, enter the new one,
        // or move over the same one.
        TWinControl* under = DropWindowAt(in.Screen);
        std::uint32_t e = okEffects;
        if (under != window || DropTargetOf(under) != target) {
            if (target) target->DragLeave();
            window = under;
            target = DropTargetOf(under);
            if (target) target->DragEnter(data, in.KeyState, in.Screen, e);
        } else if (target) {
            target->DragOver(in.KeyState, in.Screen, e);
        }
        current = target ? (e & (okEffects | DROPEFFECT_SCROLL)) : DROPEFFECT_NONE;
        current &= ~DROPEFFECT_SCROLL;
        source->GiveFeedback(current);
    }
    return result;
}
