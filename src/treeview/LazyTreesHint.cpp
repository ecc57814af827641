// The lazy tree's hint window.
#include "treeview/LazyTreesHint.h"

#include <algorithm>

namespace {
bool gHintWindowDestroying = false;
}  // namespace

bool TLazyTreeHintWindow::HintWindowDestroying() { return gHintWindowDestroying; }
void TLazyTreeHintWindow::SetHintWindowDestroying(bool Value) { gHintWindowDestroying = Value; }

TLazyTreeHintWindow::TLazyTreeHintWindow(TComponent* AOwner)
    : THintWindow(AOwner), FDrawBuffer(std::make_unique<TBitmap>()) {
    gHintWindowDestroying = false;
}

TLazyTreeHintWindow::~TLazyTreeHintWindow() = default;

TRect TLazyTreeHintWindow::CalcHintRect(int MaxWidth, const QString&, void* AData) {
    if (!AData) return TRect();
    FHintData = *static_cast<const TLTHintData*>(AData);
    TBaseLazyTree* tree = FHintData.Tree;
    if (!tree) return TRect();
    PLazyNode node = FHintData.Node;
    if (node && !FHintData.HintRect.IsEmpty()) return FHintData.HintRect;

    // Alignment and reading order from the column (the tree's without one).
    TLazyTreeColumns* columns = tree->Header()->Columns();
    if (columns->IsValidColumn(FHintData.Column)) {
        FHintData.BidiMode = columns->Items(FHintData.Column)->BiDiMode();
        FHintData.Alignment = columns->Items(FHintData.Column)->Alignment();
    } else {
        FHintData.BidiMode = tree->BiDiMode();
        FHintData.Alignment = tree->Alignment();
    }
    if (FHintData.BidiMode != bdLeftToRight) {
        if (FHintData.Alignment == taLeftJustify) FHintData.Alignment = taRightJustify;
        else if (FHintData.Alignment == taRightJustify) FHintData.Alignment = taLeftJustify;
    }
    const bool tooltip = node && tree->HintMode == hmTooltip;
    TCanvas* c = Canvas();
    c->Font().Assign(tooltip ? *tree->Font() : *Screen()->HintFont());
    FTextHeight = c->TextHeight(QStringLiteral("Tg"));

    FHintData.LineBreakStyle = hlbDefault;
    if (!FHintData.DefaultHint.isEmpty()) FHintData.HintText = FHintData.DefaultHint;
    else if (tooltip) FHintData.HintText = tree->NodeTooltip(node, FHintData.Column, FHintData.LineBreakStyle);
    else if (node) FHintData.HintText = tree->NodeHint(node, FHintData.Column, FHintData.LineBreakStyle);
    else FHintData.HintText.clear();
    if (FHintData.HintText.isEmpty()) return TRect();

    TRect r;
    if (!tooltip) {
        r = Rect(0, 0, MaxWidth, FTextHeight);
        c->DrawText(FHintData.HintText, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        r.Bottom += 6;
        r.Right += tree->TextMargin() + FTextHeight;
        return r;
    }
    if (FHintData.LineBreakStyle == hlbDefault)
        FHintData.LineBreakStyle = tree->GetMultiline(node) ? hlbForceMultiLine : hlbForceSingleLine;
    if (FHintData.LineBreakStyle == hlbForceMultiLine) {
        r = tree->GetDisplayRect(node, FHintData.Column, true);
        TRect m = r;
        c->DrawText(FHintData.HintText, m, DT_CALCRECT | DT_WORDBREAK);
        if (FHintData.BidiMode != bdLeftToRight) r.Left = m.Left - tree->TextMargin() + 1;
        else r.Right = m.Right + tree->TextMargin();
        r.Bottom = m.Bottom;
        r.Right += 1;
        if (columns->Count() > 0 && columns->IsValidColumn(FHintData.Column)) {
            const int colWidth = columns->Items(FHintData.Column)->Width();
            const bool fits = int(tree->GetNodeHeight(node)) + 2 >= r.Height() && colWidth + 2 >= r.Width() &&
                              r.Right <= tree->ClientWidth() + 3 && r.Bottom <= tree->ClientHeight() + 3;
            if (fits) return TRect();
        }
    } else {
        r = tree->LastHintRect();
        if (tree->TreeOptions()->PaintOptions().Contains(toShowHorzGridLines)) r.Bottom -= 1;
    }
    InflateRect(r, 1, 1);
    OffsetRect(r, -1 - r.Left, -1 - r.Top);
    return r;
}

void TLazyTreeHintWindow::ActivateHint(TRect R, const QString& AHint) {
    TBaseLazyTree* tree = FHintData.Tree;
    const TPoint cursor = tree ? tree->ScreenToClient(GetCursorPos()) : TPoint();
    if (R.IsEmpty() || !tree || !tree->LastHintRect().Contains(cursor)) {
        Application()->CancelHint();
        return;
    }
    // Keep the hint inside the work area.
    const TRect wa = ScreenWorkArea();
    if (R.Bottom > wa.Bottom) OffsetRect(R, 0, wa.Bottom - R.Bottom);
    if (R.Right > wa.Right) OffsetRect(R, wa.Right - R.Right, 0);
    if (R.Top < wa.Top) OffsetRect(R, 0, wa.Top - R.Top);
    if (R.Left < wa.Left) OffsetRect(R, wa.Left - R.Left, 0);
    FDrawBuffer->SetSize(R.Width(), R.Height());
    ComposeBuffer();
    THintWindow::ActivateHint(R, AHint);
}

void TLazyTreeHintWindow::ComposeBuffer() {
    TBaseLazyTree* tree = FHintData.Tree;
    if (!tree || FDrawBuffer->Width() <= 0) return;
    TCanvas* c = FDrawBuffer->Canvas();
    const TRect all = Rect(0, 0, FDrawBuffer->Width(), FDrawBuffer->Height());
    TLTHintKind kind = vhkText;
    if (FHintData.Node) tree->HintKindOf(FHintData.Node, FHintData.Column, kind);
    if (kind == vhkOwnerDraw) {
        tree->FireDrawHint(c, FHintData.Node, all, FHintData.Column);
        return;
    }
    const bool tooltip = FHintData.Node && tree->HintMode == hmTooltip;
    c->Font().Assign(tooltip ? *tree->Font() : *Screen()->HintFont());
    c->Font().SetColor(clInfoText);
    c->Pen().SetColor(clBlack);
    c->Brush().SetColor(clInfoBk);
    c->Rectangle(all.Left, all.Top, all.Right, all.Bottom);
    int top = 2;
    if (tooltip) top = FHintData.LineBreakStyle == hlbForceMultiLine ? 1 : (all.Height() - FTextHeight) / 2;
    TRect text = all;
    InflateRect(text, -1, -1);
    text.Left += 3;
    text.Top = top;
    unsigned flags = DT_NOPREFIX;
    if (tooltip && FHintData.LineBreakStyle == hlbForceMultiLine) flags |= DT_WORDBREAK;
    c->Brush().SetStyle(bsClear);
    c->DrawText(FHintData.HintText, text, flags);
}

void TLazyTreeHintWindow::Paint() {
    // The buffer was composed when the hint was shown.
    if (FDrawBuffer->Width() > 0) Canvas()->Draw(0, 0, FDrawBuffer.get());
    else THintWindow::Paint();
}
