#include "platform/controls/ToolTips.h"

#include <algorithm>

namespace {
constexpr int kStem = 14;      // the stem's height
constexpr int kRound = 10;     // the balloon's corner
constexpr int kIcon = 16;      // the icon's size
constexpr int kMargin = 6;
constexpr int kStemOffset = 16;  // the stem's distance from the body's left edge
}  // namespace

TToolTipWindow::TToolTipWindow(TComponent* AOwner, TToolTip* tip) : TPopupForm(AOwner), FTip(tip) {}

TRect TToolTipWindow::BodyRect() const {
    const int stem = FTip->Balloon ? kStem : 0;
    return FStemDown ? Rect(0, 0, Width(), Height() - stem) : Rect(0, stem, Width(), Height());
}

void TToolTipWindow::Place(TPoint pointer) {
    FPointer = pointer;
    // The body's size: the title (bold) and icon line, then the text.
    QImage scratch(1, 1, QImage::Format_RGB32);
    TCanvas canvas(&scratch);
    TCanvas* c = &canvas;
    TFont bold(*Font());
    bold.SetStyle(fsBold);
    c->Font().Assign(bold);
    const TSize title = FTip->Title.isEmpty() ? TSize() : c->TextExtent(FTip->Title);
    c->Font().Assign(*Font());
    TRect tr(0, 0, 300, 0);
    c->DrawText(FTip->Text, tr, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    const int iconW = FTip->Icon != TTI_NONE ? kIcon + kMargin : 0;
    const int headH = std::max(title.cy, FTip->Icon != TTI_NONE ? kIcon : 0);
    const int w = std::max(iconW + title.cx, tr.Width()) + 2 * kMargin;
    const int h = headH + (headH > 0 ? kMargin / 2 : 0) + tr.Height() + 2 * kMargin;
    const int stem = FTip->Balloon ? kStem : 0;
    // Below the point when it fits on the screen, else above it.
    const TRect work = ScreenWorkArea();
    FStemDown = pointer.Y + stem + h > work.Bottom;
    int left = pointer.X - kStemOffset;
    left = std::clamp(left, work.Left, std::max(work.Left, work.Right - w));
    const int top = FStemDown ? pointer.Y - stem - h : pointer.Y;
    SetBounds(left, top, w, h + stem);
    if (!FTip->Balloon) {
        SetWindowRgn(this, nullptr, true);
        return;
    }
    // The balloon: a rounded body and the stem, as one region.
    const TRect body = BodyRect();
    TRegion shape = CreateRoundRectRgn(body.Left, body.Top, body.Right + 1, body.Bottom + 1, kRound, kRound);
    const int px = pointer.X - left;
    const int base = std::clamp(px, kRound, std::max(kRound, w - kRound - 8));
    const std::vector<TPoint> stemPts =
        FStemDown ? std::vector<TPoint>{{base, body.Bottom - 1}, {base + 8, body.Bottom - 1}, {px, h + stem}}
                  : std::vector<TPoint>{{base, body.Top + 1}, {base + 8, body.Top + 1}, {px, 0}};
    TRegion stemRgn = CreatePolygonRgn(stemPts, WINDING);
    TRegion both;
    CombineRgn(both, shape, stemRgn, RGN_OR);
    SetWindowRgn(this, &both, true);
}

void TToolTipWindow::PaintWindow(const TPaintTarget& target) {
    TCanvas c;
    target.AttachCanvas(c);
    c.Brush().SetColor(FTip->Color);
    c.FillRect(Rect(0, 0, Width(), Height()));
    const TRect body = BodyRect();
    c.Brush().SetColor(clInfoText);
    c.FrameRect(body);
    int x = body.Left + kMargin, y = body.Top + kMargin;
    if (FTip->Icon != TTI_NONE) {
        // The icon: a disc in the kind's colour with its sign.
        const TColor colour = FTip->Icon == TTI_INFO ? TColor(RGB(0, 102, 204))
                              : FTip->Icon == TTI_WARNING ? TColor(RGB(230, 170, 0))
                                                          : TColor(RGB(200, 0, 0));
        c.Brush().SetColor(colour);
        c.Pen().SetColor(colour);
        c.Ellipse(x, y, x + kIcon, y + kIcon);
        c.Font().Assign(*Font());
        c.Font().SetColor(clWhite);
        c.Font().SetStyle(fsBold);
        c.SetBkMode(TRANSPARENT);
        const QString sign = FTip->Icon == TTI_INFO ? QStringLiteral("i") : FTip->Icon == TTI_WARNING ? QStringLiteral("!") : QStringLiteral("x");
        c.DrawText(sign, Rect(x, y, x + kIcon, y + kIcon), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        x += kIcon + kMargin;
    }
    c.SetBkMode(TRANSPARENT);
    int headH = FTip->Icon != TTI_NONE ? kIcon : 0;
    if (!FTip->Title.isEmpty()) {
        c.Font().Assign(*Font());
        c.Font().SetStyle(fsBold);
        c.Font().SetColor(clInfoText);
        c.TextOut(x, y, FTip->Title);
        headH = std::max(headH, c.TextHeight(FTip->Title));
    }
    c.Font().Assign(*Font());
    c.Font().SetColor(clInfoText);
    const int textTop = y + headH + (headH > 0 ? kMargin / 2 : 0);
    c.DrawText(FTip->Text, Rect(body.Left + kMargin, textTop, body.Right - kMargin, body.Bottom - kMargin),
               DT_WORDBREAK | DT_NOPREFIX);
}

TToolTip::TToolTip(TComponent* AOwner) : TComponent(AOwner) {
    FShowTimer = std::make_unique<TTimer>(nullptr);
    FShowTimer->SetEnabled(false);
    FShowTimer->OnTimer = [this](TObject*) {
        FShowTimer->SetEnabled(false);
        ShowNow();
    };
    FHideTimer = std::make_unique<TTimer>(nullptr);
    FHideTimer->SetEnabled(false);
    FHideTimer->OnTimer = [this](TObject*) {
        FHideTimer->SetEnabled(false);
        Hide();
    };
}

TToolTip::~TToolTip() {
    FShowTimer.reset();
    FHideTimer.reset();
    delete FWindow;
}

bool TToolTip::Showing() const { return FWindow && FWindow->IsShownOnScreen(); }

void TToolTip::Activate(TPoint pointer) {
    FPointer = pointer;
    if (FTracking) return;
    // Coming from a tip that just hid: the short wait.
    const bool recent = FLastHidden >= 0 && std::int64_t(TickCount()) - FLastHidden <= std::int64_t(ReshowDelay);
    const unsigned wait = Showing() || recent ? ReshowDelay : InitialDelay;
    if (wait == 0) {
        ShowNow();
        return;
    }
    FShowTimer->SetEnabled(false);
    FShowTimer->SetInterval(wait);
    FShowTimer->SetEnabled(true);
}

void TToolTip::Deactivate() {
    FShowTimer->SetEnabled(false);
    Hide();
}

void TToolTip::TrackActivate(bool on) {
    FTracking = on;
    FShowTimer->SetEnabled(false);
    FHideTimer->SetEnabled(false);
    if (on) ShowNow();
    else Hide();
}

void TToolTip::TrackPosition(TPoint pointer) {
    FPointer = pointer;
    if (FTracking && FWindow) FWindow->Place(pointer);
}

void TToolTip::ShowNow() {
    if (!FWindow) {
        FWindow = new TToolTipWindow(nullptr, this);
        FWindow->SetColor(Color);
    }
    FWindow->Place(FPointer);
    ShowWindow(FWindow, SW_SHOWNOACTIVATE);
    FWindow->RequestRepaint();
    if (!FTracking && AutoPopDelay > 0) {
        FHideTimer->SetEnabled(false);
        FHideTimer->SetInterval(AutoPopDelay);
        FHideTimer->SetEnabled(true);
    }
}

void TToolTip::Hide() {
    FHideTimer->SetEnabled(false);
    if (!Showing()) return;
    FWindow->Hide();
    FLastHidden = TickCount();
}
