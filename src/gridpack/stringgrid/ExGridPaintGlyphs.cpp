// The string grid's glyphs: its own check-box and radio pictures, the check
// and radio glyphs of each control style, the sort glyph of header cells and
// the expand box and tree lines of node rows.
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/RorIdad.h"
#include "platform/graphics/Resources.h"

#include <algorithm>

namespace {

// Every picture below has this ground colour in its bottom-left pixel, so
// automatic transparency leaves the ground out.
constexpr TColor kGround = TColor(0xFF00FF);

TBitmap* NewGlyph(TBitmap& b, int size)
{
    b.SetSize(size, size);
    b.SetPixelFormat(pf24bit);
    b.Canvas()->Brush().SetColor(kGround);
    b.Canvas()->FillRect(TRect{0, 0, size, size});
    b.Canvas()->Pen().SetWidth(1);
    return &b;
}

// The XP look, 16 x 16: a 13 x 13 box with a light gradient, a green tick.
void DrawXPCheck(TCanvas* c, bool checked, bool active)
{
    c->Pen().SetColor(active ? TColor(0x80511C) : TColor(0xC9C9B9));
    c->Brush().SetColor(active ? TColor(0xF5F5F4) : TColor(0xFFFFFF));
    c->Rectangle(1, 1, 14, 14);
    if (active) {
        for (int i = 0; i < 11; ++i) {
            const int v = 0xDC + i * 2;
            c->Pen().SetColor(RGB(v, v, v - 4));
            c->MoveTo(2, 2 + i);
            c->LineTo(13, 2 + i);
        }
    }
    if (!checked)
        return;
    c->Pen().SetColor(active ? TColor(0x21A121) : TColor(0xB0C0C0));
    for (int d = 0; d < 3; ++d) {
        c->MoveTo(4, 6 + d);
        c->LineTo(6, 8 + d);
        c->LineTo(11, 3 + d);
    }
}

// The QOR look, 20 x 20: a rounded blue-framed box, a dark blue tick.
void DrawQORCheck(TCanvas* c, bool checked, bool active)
{
    c->Pen().SetColor(active ? TColor(0x9C6B3A) : TColor(0xB0B0B0));
    c->Brush().SetColor(active ? TColor(0xFFF4E8) : TColor(0xF0F0F0));
    c->RoundRect(3, 3, 17, 17, 4, 4);
    if (!checked)
        return;
    c->Pen().SetColor(active ? TColor(0x800000) : TColor(0x909090));
    for (int d = 0; d < 2; ++d) {
        c->MoveTo(6, 9 + d);
        c->LineTo(9, 12 + d);
        c->LineTo(14, 7 + d);
    }
}

// The radio pictures, 16 x 16: a circle, the XP look with a green dot, the
// QOR look with a dark blue one.
void DrawRadio(TCanvas* c, bool on, bool active, bool xp)
{
    const TColor frame = !active ? TColor(0xB0B0B0) : xp ? TColor(0x80511C) : TColor(0x9C6B3A);
    c->Pen().SetColor(frame);
    c->Brush().SetColor(active ? (xp ? TColor(0xF2F2F0) : TColor(0xFFF4E8)) : TColor(0xF4F4F4));
    c->Ellipse(2, 2, 15, 15);
    if (!on)
        return;
    const TColor dot = !active ? TColor(0xA0A0A0) : xp ? TColor(0x21A121) : TColor(0x800000);
    c->Pen().SetColor(dot);
    c->Brush().SetColor(dot);
    c->Ellipse(5, 5, 12, 12);
}

QString GlyphName(const char* base, int n) { return QString::fromLatin1(base) + QStringLiteral("0%1").arg(n); }

// 1 on (checked), 2 off, 3 and 4 the same inactive.
int GlyphIndex(bool on, bool active) { return (active ? 1 : 3) + (on ? 0 : 1); }

} // namespace

void RegisterGridGlyphs()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    for (int i = 0; i < 4; ++i) {
        const bool on = (i % 2) == 0, active = i < 2;
        TBitmap qc, xc, qr, xr;
        DrawQORCheck(NewGlyph(qc, 20)->Canvas(), on, active);
        DrawXPCheck(NewGlyph(xc, 16)->Canvas(), on, active);
        DrawRadio(NewGlyph(qr, 16)->Canvas(), on, active, false);
        DrawRadio(NewGlyph(xr, 16)->Canvas(), on, active, true);
        RegisterResourceImage(GlyphName("SGCHK", i + 1), qc.Image());
        RegisterResourceImage(GlyphName("SGCHK", i + 5), xc.Image());
        RegisterResourceImage(GlyphName("SGRAD", i + 1), qr.Image());
        RegisterResourceImage(GlyphName("SGRAD", i + 5), xr.Image());
    }
}

namespace {
// A registered picture at (x, y), its ground left out.
void DrawResourceGlyph(TCanvas* Canvas, const QString& name, int x, int y)
{
    RegisterGridGlyphs();
    TBitmap bmp;
    bmp.Assign(ResourceImage(name));
    bmp.SetTransparentMode(tmAuto);
    bmp.SetTransparent(true);
    Canvas->Draw(x, y, &bmp);
}

void DrawOwnGlyph(TCanvas* Canvas, TBitmap* b, int x, int y)
{
    if (!b || b->Empty())
        return;
    b->SetTransparentMode(tmAuto);
    b->SetTransparent(true);
    Canvas->Draw(x, y, b);
}
} // namespace

// ---------------------------------------------------------------------------
// Check boxes
// ---------------------------------------------------------------------------

void TExStringGrid::DrawCheckGlyph(TCanvas* Canvas, const TRect& G, TCheckBoxState State, bool Active, bool Flat)
{
    const bool active = Active || FControlLook->NoDisabledCheckRadioLook() || FControlLook->CheckAlwaysActive;
    const bool checked = State == cbChecked;
    TControlStyle style = FControlLook->ControlStyle();
    // Visual styles are never active here: the themed style draws the
    // classic box.
    if (style == csTheme)
        style = csClassic;
    // The XP box shows the mixed state as the empty box with a filled
    // square in the tick's colour; the other pictures have no mixed state
    // and take the classic box.
    if (State == cbGrayed && style == csWinXP) {
        DrawResourceGlyph(Canvas, GlyphName("SGCHK", 4 + GlyphIndex(false, active)), G.Left, G.Top);
        const TColor mark = active ? TColor(0x21A121) : TColor(0xB0C0C0);
        Canvas->Brush().SetStyle(bsSolid);
        Canvas->Brush().SetColor(mark);
        Canvas->FillRect(TRect{G.Left + 4, G.Top + 4, G.Left + 12, G.Top + 12});
        return;
    }
    if (State == cbGrayed && (style == csQOR || style == csGlyph))
        style = csClassic;
    switch (style) {
    case csWinXP:
        DrawResourceGlyph(Canvas, GlyphName("SGCHK", 4 + GlyphIndex(checked, active)), G.Left, G.Top);
        return;
    case csQOR:
        DrawResourceGlyph(Canvas, GlyphName("SGCHK", GlyphIndex(checked, active)), G.Left, G.Top);
        return;
    case csGlyph:
        DrawOwnGlyph(Canvas, checked ? FControlLook->CheckedGlyph() : FControlLook->UnCheckedGlyph(), G.Left, G.Top);
        return;
    case csBorland: {
        const int S = FControlLook->CheckSize();
        const TRect r{G.Left, G.Top, G.Left + S, G.Top + S};
        Canvas->Pen().SetWidth(1);
        Canvas->Brush().SetColor(active ? clBtnFace : clBtnShadow);
        Canvas->Pen().SetColor(clBtnFace);
        Canvas->Rectangle(r);
        Canvas->Pen().SetColor(clBtnHighlight);
        Canvas->MoveTo(r.Left, r.Bottom - 1);
        Canvas->LineTo(r.Left, r.Top);
        Canvas->LineTo(r.Right - 1, r.Top);
        Canvas->Pen().SetColor(clBtnShadow);
        Canvas->LineTo(r.Right - 1, r.Bottom - 1);
        Canvas->LineTo(r.Left, r.Bottom - 1);
        if (checked) {
            Canvas->Pen().SetColor(active ? FControlLook->Color() : TColor(0x808080));
            const int top = r.Top + 1, bottom = r.Bottom - 1;
            Canvas->MoveTo(r.Left + 2, top - 1 + S / 2);
            Canvas->LineTo(r.Left + 2, bottom - 2);
            Canvas->MoveTo(r.Left + 3, top - 1 + S / 2);
            Canvas->LineTo(r.Left + 3, bottom - 3);
            Canvas->MoveTo(r.Left + 2, bottom - 2);
            Canvas->LineTo(r.Right - 2, top + 2);
            Canvas->MoveTo(r.Left + 3, bottom - 2);
            Canvas->LineTo(r.Right - 1, top + 2);
        }
        return;
    }
    default:
        break;
    }
    // Classic and flat: a CheckSize square centred in the rectangle.
    const int S = FControlLook->CheckSize();
    TRect box{G.Left + (G.Right - G.Left - S) / 2, G.Top + (G.Bottom - G.Top - S) / 2, 0, 0};
    box.Right = box.Left + S;
    box.Bottom = box.Top + S;
    unsigned st = DFCS_BUTTONCHECK;
    if (State == cbChecked)
        st |= DFCS_CHECKED;
    else if (State == cbGrayed)
        st |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (!active)
        st |= DFCS_INACTIVE;
    if (Flat || style == csFlat)
        st |= DFCS_FLAT;
    Canvas->DrawFrameControl(box, DFC_BUTTON, st);
}

// ---------------------------------------------------------------------------
// Radio buttons
// ---------------------------------------------------------------------------

void TExStringGrid::DrawRadioGlyph(TCanvas* Canvas, const TRect& R, double Scale, int ACol, int ARow, bool Selected,
                                   TStrings* Items, bool Disabled, bool Horizontal, int Index, int Count)
{
    TControlStyle style = FControlLook->ControlStyle();
    if (style == csTheme)
        style = csClassic;
    const bool classic = style == csClassic || style == csFlat;
    const bool active = !Disabled || FControlLook->NoDisabledCheckRadioLook() || FControlLook->RadioAlwaysActive;
    const int size = classic ? int(FControlLook->RadioSize() * Scale) + (style == csFlat ? 2 : 0) : 16;
    const int lineH = classic ? int(FControlLook->RadioSize() * Scale) : std::max(16, Canvas->TextHeight("gh"));
    const int textGap = classic ? 18 : 20;
    const QString cellText = (ACol >= 0 && ARow >= 0) ? GetCellEx(ACol, ARow) : QString();
    if (Selected && SelectionTextColor() != clNone)
        Canvas->Font().SetColor(SelectionTextColor());

    int x = R.Left, y = R.Top;
    for (int i = 1; i <= Count; ++i) {
        const QString text = (Items && i - 1 < Items->Count()) ? Items->Strings(i - 1) : QString();
        const bool on = Index == -1 ? (Items && text == cellText) : i == Index + 1;
        switch (style) {
        case csWinXP:
            DrawResourceGlyph(Canvas, GlyphName("SGRAD", 4 + GlyphIndex(on, active)), x, y);
            break;
        case csQOR:
            DrawResourceGlyph(Canvas, GlyphName("SGRAD", GlyphIndex(on, active)), x, y);
            break;
        case csGlyph:
            DrawOwnGlyph(Canvas, on ? FControlLook->RadioOnGlyph() : FControlLook->RadioOffGlyph(), x, y);
            break;
        case csBorland:
            Canvas->Pen().SetWidth(1);
            Canvas->Pen().SetColor(clGray);
            Canvas->Brush().SetColor(active ? clWhite : clBtnFace);
            Canvas->Ellipse(x + 2, y + 2, x + 14, y + 14);
            if (on) {
                Canvas->Brush().SetColor(active ? clGray : clSilver);
                Canvas->Ellipse(x + 5, y + 5, x + 11, y + 11);
            }
            break;
        default: {
            TRect box{x, y, x + size, y + size};
            unsigned st = DFCS_BUTTONRADIO;
            if (on)
                st |= DFCS_CHECKED;
            if (!active)
                st |= DFCS_INACTIVE;
            if (style == csFlat)
                st |= DFCS_FLAT;
            Canvas->DrawFrameControl(box, DFC_BUTTON, st);
            break;
        }
        }
        if (!text.isEmpty()) {
            Canvas->Brush().SetStyle(bsClear);
            Canvas->TextOut(x + textGap, y + (lineH - Canvas->TextHeight(text)) / 2, text);
            Canvas->Brush().SetStyle(bsSolid);
        }
        if (Horizontal)
            x += textGap + (text.isEmpty() ? 0 : Canvas->TextWidth(text) + 4);
        else
            y += lineH;
    }
}

// ---------------------------------------------------------------------------
// The sort glyph
// ---------------------------------------------------------------------------

void TExStringGrid::DrawSortGlyph(TCanvas* Canvas, int ACol, int Y, int X)
{
    const TPen keptPen = Canvas->Pen();
    const TBrush keptBrush = Canvas->Brush();
    Canvas->Pen().SetWidth(1);
    if (FSortSettings->IndexShow) {
        const int p = FSortIndexes->FindIndex(ACol);
        if (p < 0)
            return;
        const bool descending = !FSortIndexes->GetSortDirections(p);
        Canvas->Brush().SetColor(FSortSettings->IndexColor);
        Canvas->Pen().SetColor(clGray);
        if (descending)
            Canvas->Polygon({TPoint{X - 7, Y - 5}, TPoint{X + 7, Y - 5}, TPoint{X, Y + 8}});
        else
            Canvas->Polygon({TPoint{X - 6, Y + 8}, TPoint{X + 6, Y + 8}, TPoint{X, Y - 4}});
        const TFont keptFont = Canvas->Font();
        Canvas->Font().SetColor(clBlack);
        Canvas->Font().SetSize(6);
        Canvas->Brush().SetStyle(bsClear);
        Canvas->TextOut(X - 2, descending ? Y - 4 : Y - 2, QString::number(p + 1));
        Canvas->Font().Assign(keptFont);
    } else if (FSortSettings->Direction == sdDescending) {
        Canvas->Pen().SetColor(clWhite);
        Canvas->MoveTo(X + 4, Y - 4);
        Canvas->LineTo(X, Y + 4);
        Canvas->Pen().SetColor(TColor(0x808080));
        Canvas->LineTo(X - 4, Y - 4);
        Canvas->LineTo(X + 4, Y - 4);
    } else {
        Canvas->Pen().SetColor(clWhite);
        Canvas->MoveTo(X - 4, Y + 4);
        Canvas->LineTo(X + 4, Y + 4);
        Canvas->LineTo(X, Y - 4);
        Canvas->Pen().SetColor(TColor(0x808080));
        Canvas->LineTo(X - 4, Y + 4);
    }
    Canvas->Pen().Assign(keptPen);
    Canvas->Brush().Assign(keptBrush);
}

bool TExStringGrid::ShowsSortGlyph(int C, int ARow)
{
    if (!IsSortIndicatorRow(C, ARow) || FixedRows() < 1)
        return false;
    if (C < FixedCols() && !FSortSettings->FixedCols)
        return false;
    const int p = FSortIndexes->FindIndex(C);
    if (C != FSortSettings->Column && p < 0)
        return false;
    return p < 1 || FSortSettings->IndexShow;
}

// ---------------------------------------------------------------------------
// Node rows
// ---------------------------------------------------------------------------

void TExStringGrid::PaintNodeBox(TCanvas* Canvas, int ARow, const TRect& R, const TCellGraphic* g, bool Selected)
{
    const bool contracted = g->CellBoolean;
    const int I = FCellNode->NodeIndent();
    const int x = R.Left + GetRowNodeIndent(ARow) - I / 2 - 4;
    const int h = R.Bottom - R.Top;
    TColor ground = Canvas->Brush().Color();
    if (ground == clNone)
        ground = IsFixed(0, ARow) ? FixedColor() : Color();
    if (Selected)
        ground = SelectionColor();
    Canvas->Brush().SetColor(ground);
    switch (FCellNode->NodeType()) {
    case cnLeaf:
        DrawResourceGlyph(Canvas, contracted ? QStringLiteral("SGLEAFCLOSE") : QStringLiteral("SGLEAFOPEN"), x,
                          R.Top + (h - 12) / 2 - 2);
        return;
    case cnXP:
        DrawResourceGlyph(Canvas, contracted ? QStringLiteral("XPNODEC") : QStringLiteral("XPNODEO"), x + 4,
                          R.Top + (h - 10) / 2);
        return;
    case cnGlyph: {
        TBitmap* e = FCellNode->ExpandGlyph();
        TBitmap* c = FCellNode->ContractGlyph();
        if (e && c && !e->Empty() && !c->Empty()) {
            TBitmap* b = contracted ? c : e;
            DrawOwnGlyph(Canvas, b, x, R.Top + (h - b->Height()) / 2);
            return;
        }
        break;
    }
    default:
        break;
    }
    const int y = R.Top + (h - 8) / 2;
    if (FCellNode->NodeType() == cnFlat) {
        Canvas->Pen().SetWidth(1);
        Canvas->Pen().SetColor(FCellNode->NodeColor);
        Canvas->Brush().SetColor(FCellNode->Color);
        Canvas->Rectangle(x + 4, y, x + 13, y + 9);
        Canvas->MoveTo(x + 6, y + 4);
        Canvas->LineTo(x + 11, y + 4);
        if (contracted) {
            Canvas->MoveTo(x + 8, y + 2);
            Canvas->LineTo(x + 8, y + 7);
        }
    } else {
        TRect box{x + 4, y, x + 12, y + 8};
        Canvas->Brush().SetColor(FCellNode->Color);
        Canvas->FillRect(box);
        Canvas->DrawEdge(box, contracted ? BDR_RAISEDINNER : BDR_SUNKENINNER, BF_RECT | BF_SOFT);
    }
    Canvas->Brush().SetColor(ground);
}

void TExStringGrid::PaintNodeTree(TCanvas* Canvas, int ARow, const TRect& R)
{
    const int I = FCellNode->NodeIndent();
    const int lvl = RowLevel(ARow);
    const int x = R.Left + GetRowNodeIndent(ARow) + I / 2 - I + 2;
    const int mid = (R.Top + R.Bottom) / 2;
    const TPen kept = Canvas->Pen();
    Canvas->Pen().SetWidth(1);
    Canvas->Pen().SetColor(FCellNode->TreeColor());
    const bool node = IsNode(ARow);
    if (lvl > 0 && !node) {
        Canvas->MoveTo(x, mid);
        Canvas->LineTo(FCellNode->ShowTreeFull() ? R.Right : R.Left + GetRowNodeIndent(ARow) + 4, mid);
    }
    if (!node && lvl > 0) {
        // Up from the previous row, on to the next row while it is a child
        // of the same node.
        Canvas->MoveTo(x, R.Top);
        Canvas->LineTo(x, GetNodeSpanType(ARow) == 1 ? mid : R.Bottom + 4);
    }
    for (int i = 1; i < lvl; ++i) {
        const int ax = x - I * i;
        if (ARow + 1 < RowCount() && RowLevel(ARow + 1) > i && !IsNode(ARow + 1)) {
            Canvas->MoveTo(ax, R.Top);
            Canvas->LineTo(ax, R.Bottom + 4);
        }
    }
    Canvas->Pen().Assign(kept);
}
