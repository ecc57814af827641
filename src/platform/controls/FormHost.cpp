#include "platform/controls/FormHost.h"

#include "platform/controls/InboundDrag.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"

#include <QApplication>
#include <QBackingStore>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <cstring>
#include <optional>

bool PersonCanSee() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr &&
           QGuiApplication::platformName() != QLatin1String("offscreen");
}

namespace {
std::optional<bool> gHostsEnabled;

class HostWidget : public QWidget {
public:
    explicit HostWidget(TCustomForm* form) : FForm(form) {
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_DeleteOnClose, false);
        // What other programs drag (and the program's own drags that went
        // out and come back) reach the drop target under the mouse.
        setAcceptDrops(true);
        // Every paint draws the form's surface over all it repaints, so the
        // toolkit neither clears the area first nor keeps it from moving the
        // pixels already shown when a control scrolls.
        setAttribute(Qt::WA_OpaquePaintEvent, true);
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::Close) {
            // The close box closes the form the form's way (Cancel when modal).
            e->ignore();
            Application()->Guard([this] { FForm->Close(); });
            return true;
        }
        // Tab must reach the form's dialog keyboard, not the toolkit's.
        if (Input::TranslateQtEvent(FForm, e)) return true;
        return QWidget::event(e);
    }
    void dragEnterEvent(QDragEnterEvent* e) override { Inbound(TInboundDragStep::Enter, e, e->mimeData(), e->position()); }
    void dragMoveEvent(QDragMoveEvent* e) override { Inbound(TInboundDragStep::Move, e, e->mimeData(), e->position()); }
    void dragLeaveEvent(QDragLeaveEvent* e) override {
        Application()->Guard([] { DeliverInboundDrag(TInboundDragStep::Leave, nullptr, TPoint(), 0); });
        e->accept();
    }
    void dropEvent(QDropEvent* e) override { Inbound(TInboundDragStep::Drop, e, e->mimeData(), e->position()); }
    void Inbound(TInboundDragStep step, QDropEvent* e, const QMimeData* mime, QPointF pos) {
        const QPoint g = mapToGlobal(pos.toPoint());
        std::uint32_t keys = 0;
        if (e->buttons() & Qt::LeftButton) keys |= MK_LBUTTON;
        if (e->modifiers() & Qt::ControlModifier) keys |= MK_CONTROL;
        if (e->modifiers() & Qt::ShiftModifier) keys |= MK_SHIFT;
        std::uint32_t effect = DROPEFFECT_NONE;
        Application()->Guard([&] { effect = DeliverInboundDrag(step, mime, TPoint(g.x(), g.y()), keys); });
        if (effect == DROPEFFECT_NONE) {
            // The drag stays with the window while it carries something the
            // program takes: another control may accept it further on.
            if (step == TInboundDragStep::Enter && (ToolkitDragData() || InboundDataObject(mime)))
                e->acceptProposedAction();
            else e->ignore();
            return;
        }
        e->setDropAction(DropActionOfEffect(effect));
        e->accept();
    }
    void paintEvent(QPaintEvent* e) override {
        // Only the form's update region is painted; the toolkit asks for the
        // part of the window it needs and gets it from the form's surface,
        // brought up to date there first.
        const QRegion asked = e->region();
        QImage* img = nullptr;
        Application()->Guard([&] {
            FForm->PaintPending();
            img = FForm->SurfaceFor(asked);
        });
        if (!img) return;
        const QImage& layered = FForm->LayeredImage();
        if (!layered.isNull()) {
            // The window has no alpha channel: the picture's colours show
            // opaque, and its transparent pixels are outside the window's
            // shape.
            QPainter p(this);
            p.setClipRegion(asked);
            p.drawImage(0, 0, layered.convertToFormat(QImage::Format_ARGB32).convertToFormat(QImage::Format_RGB32));
            return;
        }
        if (!CopyRows(*img, asked)) {
            // Only the rectangles asked for are copied: a whole-window draw
            // cut by a clip still walks the whole picture.
            QPainter p(this);
            p.setClipRegion(asked);
            for (const QRect& r : asked) p.drawImage(r.topLeft(), *img, r);
        }
        // A colour key's holes follow what was painted.
        FForm->ApplyShownShape();
    }
    // Copies the rectangles of `area` from the surface straight into the
    // window's backing store when both hold the same opaque 32-bit pixels
    // at one device pixel per pixel: row copies, where a painter would hand
    // a small strip to helper threads. False when they differ.
    bool CopyRows(const QImage& from, const QRegion& area) {
        if (!isWindow() || from.format() != QImage::Format_RGB32 || devicePixelRatio() != 1.0) return false;
        QBackingStore* store = backingStore();
        auto* to = store ? dynamic_cast<QImage*>(store->paintDevice()) : nullptr;
        // An opaque RGB32 pixel is the same bytes in premultiplied ARGB32.
        if (!to || to->devicePixelRatio() != 1.0 ||
            (to->format() != QImage::Format_RGB32 && to->format() != QImage::Format_ARGB32_Premultiplied))
            return false;
        const QRect bounds = to->rect() & from.rect();
        uchar* bits = to->bits();
        const qsizetype toStride = to->bytesPerLine();
        for (const QRect& asked : area) {
            const QRect r = asked & bounds;
            if (r.isEmpty()) continue;
            const std::size_t bytes = std::size_t(r.width()) * 4;
            for (int y = r.top(); y <= r.bottom(); ++y)
                std::memcpy(bits + y * toStride + r.left() * 4, from.constScanLine(y) + r.left() * 4, bytes);
        }
        return true;
    }
    void resizeEvent(QResizeEvent*) override {
        const TRect cr = FForm->WindowAreaRect();
        if (cr.Width() != width() || cr.Height() != height())
            Application()->Guard([this] { FForm->SetClientSize(width(), height()); });
    }

private:
    TCustomForm* FForm;
};
}  // namespace

struct TFormHost::Impl {
    TCustomForm* Form;
    // A popup's window is a child window of its owner form's, so a modal
    // owner does not block it; the owner's window may free it first.
    QPointer<HostWidget> Widget;
    ~Impl() { delete Widget.data(); }
};

TFormHost::TFormHost(TCustomForm* form) : FImpl(std::make_unique<Impl>()) {
    FImpl->Form = form;
    FImpl->Widget = new HostWidget(form);
    if (dynamic_cast<TPopupForm*>(form))
        if (TCustomForm* owner = GetOwnerForm(form->Owner()))
            if (QWidget* parent = owner->HostWidget()) FImpl->Widget->setParent(parent);
}

TFormHost::~TFormHost() = default;

QWidget* TFormHost::Widget() const { return FImpl->Widget.data(); }

namespace {
Qt::WindowFlags WindowFlags(const TCreateParams& p) {
    Qt::WindowFlags flags = Qt::Window;
    if (p.Style & WS_POPUP && !(p.Style & WS_CAPTION)) flags |= Qt::FramelessWindowHint;
    if (p.ExStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
    if (p.ExStyle & WS_EX_TOOLWINDOW) flags |= Qt::Tool;
    if (p.Style & WS_CAPTION) {
        // The caption shows exactly the boxes the form's style names.
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (p.Style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (p.Style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
        if (p.Style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
        if (!(p.Style & WS_THICKFRAME)) flags |= Qt::MSWindowsFixedSizeDialogHint;
    }
    return flags;
}

bool FixedSize(const TCreateParams& p) {
    return (p.Style & WS_CAPTION) && !(p.Style & WS_THICKFRAME) && !(p.Style & WS_MAXIMIZEBOX);
}
}  // namespace

void TFormHost::SyncGeometry() {
    TCustomForm* f = FImpl->Form;
    const TPoint o = f->ClientOrigin();
    const TRect cr = f->WindowAreaRect();
    const QSize size(std::max(1, cr.Width()), std::max(1, cr.Height()));
    QWidget* w = FImpl->Widget.data();
    // A window without a sizing border tells the window manager that its
    // smallest and largest sizes are its size: nobody can drag it larger or
    // smaller, and only the program changes it.
    if (FixedSize(f->Params())) w->setFixedSize(size);
    else if (w->minimumSize() == w->maximumSize()) {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    w->setGeometry(o.X, o.Y, size.width(), size.height());
}

void TFormHost::Show(bool activate) {
    TCustomForm* f = FImpl->Form;
    QWidget* w = FImpl->Widget.data();
    if (!w) return;
    w->setWindowFlags(WindowFlags(f->Params()));
    // A modal form keeps the input from the other windows while it shows.
    w->setWindowModality(f->IsModal() ? Qt::ApplicationModal : Qt::NonModal);
    w->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    w->setWindowTitle(f->Caption());
    SyncGeometry();
    f->ApplyShownShape();
    w->show();
    if (activate) {
        w->raise();
        w->activateWindow();
    }
}

void TFormHost::Hide() {
    if (FImpl->Widget) FImpl->Widget->hide();
}

void TFormHost::Update() {
    if (!FImpl->Widget) return;
    FImpl->Widget->setWindowTitle(FImpl->Form->Caption());
    FImpl->Widget->update();
}

void TFormHost::UpdateArea(const QRect& r) {
    if (FImpl->Widget) FImpl->Widget->update(r);
}

bool TFormHost::ScrollArea(int dx, int dy, const QRect& r) {
    QWidget* w = FImpl->Widget.data();
    if (!w || !w->isVisible()) return false;
    // Pop-ups are windows of their own: the window system keeps what they
    // cover. A widget drawn inside this window over the area would have its
    // pixels carried along by the toolkit's move, so the area is shown again
    // from the surface instead.
    for (QObject* o : w->children()) {
        auto* child = qobject_cast<QWidget*>(o);
        if (child && !child->isWindow() && child->isVisible() && child->geometry().intersects(r)) return false;
    }
    w->scroll(dx, dy, r);
    return true;
}

bool FormHostsEnabled() { return gHostsEnabled.value_or(PersonCanSee()); }
void SetFormHostsEnabled(bool enabled) { gHostsEnabled = enabled; }

void ApplyScreenCursor(int cursor) {
    if (!PersonCanSee()) return;
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    if (cursor != crDefault) QGuiApplication::setOverrideCursor(CursorFor(cursor));
}

namespace {
void AddItems(QMenu* menu, TMenuItem* parent, QHash<QAction*, TMenuItem*>& map) {
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Visible) continue;
        if (item->Caption == QLatin1String("-")) {
            menu->addSeparator();
            continue;
        }
        if (item->Count() > 0) {
            QMenu* sub = menu->addMenu(item->Caption);
            AddItems(sub, item, map);
            continue;
        }
        QAction* a = menu->addAction(item->Caption);
        a->setEnabled(item->Enabled);
        a->setCheckable(item->Checked);
        a->setChecked(item->Checked);
        map.insert(a, item);
    }
}
}  // namespace

TMenuItem* PopupMenuOnScreen(TPopupMenu* menu, TPoint at) {
    if (!PersonCanSee()) return nullptr;
    QMenu qm;
    QHash<QAction*, TMenuItem*> map;
    AddItems(&qm, menu->Items(), map);
    QAction* chosen = qm.exec(QPoint(at.X, at.Y));
    return chosen ? map.value(chosen, nullptr) : nullptr;
}
