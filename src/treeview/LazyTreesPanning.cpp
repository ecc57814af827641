// The lazy tree's wheel panning: a middle-button press shows a small marker
// at the press point and the content scrolls toward the mouse, faster the
// further the mouse is from the marker (the scroll itself is the scroll
// timer's).
#include "treeview/LazyTrees.h"

#include "platform/graphics/Resources.h"

#include <QImage>

namespace {

// The panning cursors by name, numbered after the tree's two split cursors.
constexpr const char* kPanCursors[] = {"LT_MOVEALL", "LT_MOVEEW", "LT_MOVENS", "LT_MOVEN",  "LT_MOVES", "LT_MOVEE",
                                       "LT_MOVEW",   "LT_MOVENE", "LT_MOVENW", "LT_MOVESE", "LT_MOVESW"};
constexpr TCursor kFirstPanCursor = 64;

TCursor PanCursorNumber(const QString& name) {
    static const bool registered = [] {
        for (int i = 0; i < int(std::size(kPanCursors)); ++i)
            RegisterNamedCursor(kFirstPanCursor + i, QString::fromLatin1(kPanCursors[i]));
        return true;
    }();
    (void)registered;
    for (int i = 0; i < int(std::size(kPanCursors)); ++i)
        if (name == QLatin1String(kPanCursors[i])) return kFirstPanCursor + i;
    return crDefault;
}

// The marker: a frameless pop-up that takes neither the activation nor the
// focus and paints its picture.
class TPanningMarker : public TPopupForm {
public:
    TPanningMarker(TComponent* AOwner, const QImage& image) : TPopupForm(AOwner), FImage(image) {}

protected:
    void PaintWindow(const TPaintTarget& Target) override {
        TCanvas c;
        Target.AttachCanvas(c);
        TBitmap bmp;
        bmp.Assign(FImage);
        c.Draw(0, 0, &bmp);
    }

private:
    QImage FImage;
};

}  // namespace

// The region of every pixel that is not the transparent fuchsia, one row at
// a time in runs.
TRegion PanningRegion(const QImage& image) {
    LTAssert(!image.isNull() && image.width() > 0 && image.height() > 0,
             QStringLiteral("Invalid wheel panning image."));
    QRegion region;
    const QRgb transparent = qRgb(0xFF, 0x00, 0xFF);
    for (int y = 0; y < image.height(); ++y) {
        int x = 0;
        while (x < image.width()) {
            while (x < image.width() && (image.pixel(x, y) & 0xFFFFFF) == (transparent & 0xFFFFFF)) ++x;
            if (x >= image.width()) break;
            const int start = x;
            while (x < image.width() && (image.pixel(x, y) & 0xFFFFFF) != (transparent & 0xFFFFFF)) ++x;
            region += QRect(start, y, x - start, 1);
        }
    }
    return TRegion(region);
}

void TBaseLazyTree::BeginWheelPanning(TPoint Position) {
    KillTreeTimer(ScrollTimer);
    SwitchStates({tsWheelPanning, tsWheelScrolling}, {});
    const bool wide = int64_t(RangeX()) > ClientWidth(), high = int64_t(RangeY()) > ClientHeight();
    const QString name = wide && high ? QStringLiteral("LT_MOVEALL")
                                      : wide ? QStringLiteral("LT_MOVEEW") : QStringLiteral("LT_MOVENS");
    const QImage image = ResourceImage(name);
    const TRegion region = PanningRegion(image);
    auto* marker = new TPanningMarker(nullptr, image);
    marker->AfterConstruction();
    const TPoint s = ClientToScreen(Position);
    marker->SetBounds(s.X - 16, s.Y - 16, 32, 32);
    SetWindowRgn(marker, &region, false);
    FPanningWindow = marker;
    ShowWindow(marker, SW_SHOWNOACTIVATE);
    if (CanFocus() && !Focused()) SetFocus();
    SetMouseCapture(true);
    SetTimer(this, ScrollTimer, 20);
}

void TBaseLazyTree::EndWheelPanning() {
    if (!FStates.ContainsAny({tsWheelPanning, tsWheelScrolling})) return;
    KillTreeTimer(ScrollTimer);
    if (GetCaptureControl() == this) SetMouseCapture(false);
    SwitchStates({}, {tsWheelPanning, tsWheelScrolling});
    if (FPanningWindow) {
        TPopupForm* w = FPanningWindow;
        FPanningWindow = nullptr;
        w->Free();
    }
    FPanningCursorName.clear();
    ::SetCursor(Cursor() == crDefault ? crArrow : Cursor());
}

void TBaseLazyTree::ChoosePanningCursor(int X, int Y) {
    const bool h = ClientWidth() < int64_t(RangeX()), v = ClientHeight() < int64_t(RangeY());
    const int dx = X - FLastClickPos.X, dy = Y - FLastClickPos.Y;
    QString name;
    if (std::abs(dx) <= 7 && std::abs(dy) <= 7) {
        name = h && v ? QStringLiteral("LT_MOVEALL") : h ? QStringLiteral("LT_MOVEEW") : QStringLiteral("LT_MOVENS");
    } else if (h && v) {
        if (dx < -8) name = dy < -8 ? QStringLiteral("LT_MOVENW") : dy > 8 ? QStringLiteral("LT_MOVESW") : QStringLiteral("LT_MOVEW");
        else if (dx > 8) name = dy < -8 ? QStringLiteral("LT_MOVENE") : dy > 8 ? QStringLiteral("LT_MOVESE") : QStringLiteral("LT_MOVEE");
        else name = Y < FLastClickPos.Y ? QStringLiteral("LT_MOVEN") : QStringLiteral("LT_MOVES");
    } else if (h) {
        name = X < FLastClickPos.X ? QStringLiteral("LT_MOVEW") : QStringLiteral("LT_MOVEE");
    } else {
        name = Y < FLastClickPos.Y ? QStringLiteral("LT_MOVEN") : QStringLiteral("LT_MOVES");
    }
    if (name == FPanningCursorName) return;
    FPanningCursorName = name;
    ::SetCursor(PanCursorNumber(name));
}
