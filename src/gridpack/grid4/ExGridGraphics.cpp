// Cell graphics beyond images and check boxes: push buttons, bit buttons
// and expand corners, progress bars and pies, range bars, level progress,
// comment marks, shapes, star ratings, pictures, image strips, rotated text
// and node boxes; and the check glyphs of the picture styles (csQOR,
// csGlyph) and of csBorland.
#include "gridpack/grid4/ExGrid.h"

#include "gridpack/grid3/ExObj.h"
#include "gridpack/grid3/RorIdad.h"
#include "gridpack/grid3/RorIdadGraphics.h"
#include "platform/core/MathUtils.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Resources.h"

#include <algorithm>
#include <cmath>

namespace {
void Line(TCanvas* c, int x1, int y1, int x2, int y2)
{
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

// A named resource picture at (x, y), its bottom-left pixel transparent.
void DrawResourceGlyph(TCanvas* Canvas, int x, int y, const QString& Name)
{
    TBitmap bmp;
    bmp.Assign(ResourceImage(Name));
    if (bmp.Empty())
        return;
    bmp.SetTransparentMode(tmAuto);
    bmp.SetTransparent(true);
    Canvas->Draw(x, y, &bmp);
}

void DrawGlyph(TCanvas* Canvas, int x, int y, const TBitmap* Glyph)
{
    if (!Glyph || Glyph->Empty())
        return;
    TBitmap bmp;
    bmp.Assign(Glyph);
    bmp.SetTransparentMode(tmAuto);
    bmp.SetTransparent(true);
    Canvas->Draw(x, y, &bmp);
}

TRect Shrunk(const TRect& r, int dx, int dy) { return TRect{r.Left + dx, r.Top + dy, r.Right - dx, r.Bottom - dy}; }
} // namespace

// ---------------------------------------------------------------------------
// Check glyphs of the picture styles and of csBorland
// ---------------------------------------------------------------------------

bool TExStringGrid::DrawStyledCheckGlyph(TCanvas* Canvas, const TRect& G, TCheckBoxState State, bool Active)
{
    const bool checked = State == cbChecked;
    switch (FControlLook->ControlStyle()) {
    case csQOR: {
        static const QString names[4] = {QStringLiteral("SGCHK01"), QStringLiteral("SGCHK02"),
                                         QStringLiteral("SGCHK03"), QStringLiteral("SGCHK04")};
        DrawResourceGlyph(Canvas, G.Left, G.Top, names[(Active ? 0 : 2) + (checked ? 0 : 1)]);
        return true;
    }
    case csGlyph:
        DrawGlyph(Canvas, G.Left, G.Top, checked ? FControlLook->CheckedGlyph() : FControlLook->UnCheckedGlyph());
        return true;
    case csBorland: {
        Canvas->Pen().SetWidth(1);
        Canvas->Pen().SetStyle(psSolid);
        Canvas->Brush().SetStyle(bsSolid);
        Canvas->Brush().SetColor(Active ? clBtnFace : clBtnShadow);
        Canvas->Pen().SetColor(clBtnFace);
        Canvas->Rectangle(G);
        Canvas->Pen().SetColor(clBtnHighlight);
        Line(Canvas, G.Left, G.Bottom - 1, G.Left, G.Top);
        Canvas->LineTo(G.Right - 1, G.Top);
        Canvas->Pen().SetColor(clBtnShadow);
        Line(Canvas, G.Right - 1, G.Top, G.Right - 1, G.Bottom - 1);
        Canvas->LineTo(G.Left, G.Bottom - 1);
        if (checked) {
            // The tick: two strokes of two lines, inside the box's frame.
            const int top = G.Top + 1, bottom = G.Bottom - 1, size = FControlLook->CheckSize();
            Canvas->Pen().SetColor(Active ? FControlLook->Color() : TColor(0x808080));
            Line(Canvas, G.Left + 2, top - 1 + size / 2, G.Left + 2, bottom - 2);
            Line(Canvas, G.Left + 3, top - 1 + size / 2, G.Left + 3, bottom - 3);
            Line(Canvas, G.Left + 2, bottom - 2, G.Right - 2, top + 2);
            Line(Canvas, G.Left + 3, bottom - 2, G.Right - 1, top + 2);
        }
        return true;
    }
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// The other kinds
// ---------------------------------------------------------------------------

void TExStringGrid::PaintCellGraphicKind(TCanvas* Canvas, int C, int ARow, const TRect& R, const TRect& G0,
                                         const TCellGraphicInfo& info)
{
    TCellGraphic* g = info.Graphic;
    TRect G = G0;
    const int D = RemapColToDispl(C);
    const auto enabled = [&] {
        bool canEdit = true;
        QueryCellEdit(C, ARow, canEdit);
        return canEdit;
    };
    const auto floatValue = [&] {
        try {
            return GetFloats(C, ARow);
        } catch (const Exception&) {
            return 0.0;
        }
    };
    const auto intValue = [&] {
        try {
            return GetInts(C, ARow);
        } catch (const Exception&) {
            return 0;
        }
    };
    const int mx = FControlLook->ProgressMarginX(), my = FControlLook->ProgressMarginY();

    switch (g->CellType) {
    case ctImages: {
        TImageList* list = GetCellImageList(C, ARow);
        TIntList* idx = g->IntList();
        if (!list || !idx)
            break;
        for (int i = 0; i < idx->Count(); ++i) {
            const int n = idx->GetInteger(i);
            if (n >= 0 && n < list->Count())
                list->Draw(Canvas, G.Left, G.Top, n);
            if (g->CellBoolean)
                G.Left += list->Width();
            else
                G.Top += list->Height();
        }
        break;
    }
    case ctPicture:
        if (TPicture* p = g->Picture(); p && p->Graphic()) {
            if (g->CellAngle != 0)
                Canvas->StretchDraw(G, p->Graphic());
            else
                Canvas->Draw(G.Left, G.Top, p->Graphic());
        }
        break;
    case ctFilePicture:
        if (TFilePicture* p = g->FilePicture())
            p->DrawPicture(Canvas, G);
        break;
    case ctNode:
        PaintNodeBox(Canvas, ARow, R, g);
        break;
    case ctRadioButton: {
        // One item without text, RadioSize square, moved in by the text offset.
        const int rs = FControlLook->RadioSize();
        const TRect b{G.Left + XYOffset().X, G.Top, G.Left + XYOffset().X + rs, G.Top + rs};
        PaintRadioItems(Canvas, b, 1.0, ARow, false, nullptr, !enabled(), false, g->CellBoolean ? 0 : -1, 1,
                        QString());
        break;
    }
    case ctRadio: {
        TStrings* items = g->Strings();
        const bool selected = IsCellSelected(D, ARow);
        PaintRadioItems(Canvas, G, 1.0, ARow, selected, items, !enabled(), g->CellBoolean, g->CellIndex,
                        items ? items->Count() : 0, GetCellEx(C, ARow));
        break;
    }
    case ctProgress:
        PaintProgressBar(Canvas, Shrunk(R, 2, 2), g->BitmapColor, TColor(g->CellIndex), g->IconColor,
                         TColor(g->CellAngle), floatValue(), mx, my, g->CellErrFrom, g->CellErrLen, g->CellText,
                         FControlLook->ProgressBorderColor, false);
        break;
    case ctComment:
        if (FControlLook->CommentColor() != clNone) {
            const TColor c = TColor(g->CellIndex) != clNone ? TColor(g->CellIndex) : FControlLook->CommentColor();
            Canvas->Brush().SetStyle(bsSolid);
            Canvas->Brush().SetColor(c);
            Canvas->Pen().SetColor(c);
            Canvas->Pen().SetWidth(1);
            const TPoint tri[3] = {{R.Right - 7, R.Top}, {R.Right - 2, R.Top}, {R.Right - 2, R.Top + 5}};
            Canvas->Polygon(tri, 3);
        }
        break;
    case ctButton:
    case ctBitButton:
    case ctExpand:
        PaintCellButton(Canvas, D, ARow, R, G, g, enabled);
        break;
    case ctProgressPie:
        PaintProgressPie(Canvas, TRect{G.Left, G.Top, G.Left + 20, G.Top + 20}, g->BitmapColor, g->CellAngle, false);
        break;
    case ctRangeIndicator:
        PaintRangeBar(Canvas, Shrunk(R, mx, my), intValue(), g->CellIndex, g->CellBoolean, g->BitmapColor,
                      g->IconColor);
        break;
    case ctXPProgress: {
        LevelProgressSettings s;
        s.Stacked = FProgressAppearance->Stacked;
        s.ShowPercentage = FProgressAppearance->ShowPercentage;
        s.ShowBorder = FProgressAppearance->ShowBorder;
        s.Font.Assign(*Font());
        s.FontColor = FProgressAppearance->TextColor;
        s.BackgroundColor = Canvas->Brush().Color();
        const int span = g->CellErrLen - g->CellErrFrom;
        const int pct = span == 0 ? 0 : int(Round(std::abs(double(intValue() - g->CellErrFrom)) / span * 100.0));
        TRect r = Shrunk(R, mx, my);
        r.Right -= 1;
        r.Bottom -= 1;
        PaintLevelProgress(Canvas, r, pct, s);
        break;
    }
    case ctShape:
        PaintCellShape(Canvas, G.Left, G.Top, G.Width() - 1, G.Height() - 1, g->CellAngle, TColor(g->CellIndex),
                       g->BitmapColor);
        break;
    case ctRating: {
        // Half stars: 3.3 shows as 3.5.
        const double v = Round(floatValue() * 2) / 2.0;
        int x = G.Left;
        for (int i = 0; i < g->CellAngle; ++i) {
            if (i + 1 > v) {
                PaintCellShape(Canvas, x, G.Top, 16, 16, csStar, g->BitmapColor, g->BitmapColor);
                if (i < v)
                    PaintCellShape(Canvas, x, G.Top, 16, 16, csHalfStar, TColor(g->CellIndex), TColor(g->CellIndex));
            } else {
                PaintCellShape(Canvas, x, G.Top, 16, 16, csStar, TColor(g->CellIndex), TColor(g->CellIndex));
            }
            x += 18;
        }
        break;
    }
    default:
        break;
    }
}

void TExStringGrid::PaintCellButton(TCanvas* Canvas, int D, int ARow, const TRect& R, TRect G,
                                    TCellGraphic* g, const std::function<bool()>& Enabled)
{
    // 5. the expand corner is a 13 x 13 square at the top right
    if (g->CellType == ctExpand)
        G = TRect{R.Right - 13, R.Top, R.Right, R.Top + 13};

    // 1. the button's offset in its cell, for GetCellButtonRect and the mouse
    const TRect cell = TBaseGrid::CellRect(D, ARow);
    const uint32_t dy = uint32_t(G.Top - cell.Top) & 0xFFFF, dx = uint32_t(G.Left - cell.Left) & 0xFFFF;
    g->CellValue = double((dy << 16) | dx);

    // 3, 4. enabled, style and state
    const bool enabled = !FControlLook->NoDisabledButtonLook() ? Enabled() : true;
    // The themed button (0) needs visual styles; without them the classic
    // one (1) stands in.
    uint8_t style = FControlLook->FlatButton() ? 2 : (FIsWinXP && IsThemedComCtl6() ? 0 : 1);
    if (Flat() && FTones.Background.BrushColor != clNone)
        style = 3;
    uint8_t state = g->CellBoolean ? 2 : (FHoverButtonCell.X == D && FHoverButtonCell.Y == ARow ? 1 : 0);
    if (!enabled && g->CellType != ctExpand)
        state = 3;

    // 6. the button
    PaintPushButton(Canvas, 0, G, style, state, FTones);
    TRect content = G;
    if (state == 2)
        content = TRect{G.Left + 1, G.Top + 1, G.Right + 1, G.Bottom + 1};

    // 9. the expand corner's chevron
    if (g->CellType == ctExpand) {
        Canvas->Pen().SetColor(clBlack);
        Canvas->Pen().SetWidth(1);
        const bool expanded = g->CellVar.toBool();
        const int y1 = expanded ? 8 : 5, y2 = expanded ? 5 : 8, y3 = expanded ? 9 : 4;
        Canvas->MoveTo(R.Right - 10, R.Top + y1);
        Canvas->LineTo(R.Right - 7, R.Top + y2);
        Canvas->LineTo(R.Right - 3, R.Top + y3);
        return;
    }

    // 7. the bit button's glyph
    if (g->CellType == ctBitButton) {
        if (TBitmap* b = g->Bitmap(); b && !b->Empty()) {
            const int fx = content.Width() - b->Width();
            int fy = content.Height() - b->Height();
            fy = fy < 1 ? 3 : fy / 2;
            TBitmap glyph;
            glyph.Assign(b);
            glyph.SetTransparentMode(tmAuto);
            glyph.SetTransparent(true);
            if (!g->CellText.isEmpty() || fx < 1) {
                Canvas->Draw(content.Left + 3, content.Top + fy, &glyph);
                content.Left += b->Width() + 4;
            } else {
                Canvas->Draw(content.Left + fx / 2, content.Top + fy, &glyph);
                content.Left += fx / b->Width() + 4;
            }
        }
    }

    // 8. the caption
    if (g->CellText.isEmpty())
        return;
    const TColor keptFont = Canvas->Font().Color();
    if (style == 3) {
        const TColorTone& t = state == 1   ? FTones.Hover
                              : state == 2 ? FTones.Selected
                              : state == 3 ? FTones.Disabled
                                           : FTones.Background;
        Canvas->Font().SetColor(t.TextColor);
    }
    unsigned flags = DT_CENTER | DT_END_ELLIPSIS;
    flags |= g->CellText.contains(QLatin1Char('\r')) ? DT_WORDBREAK : (DT_SINGLELINE | DT_VCENTER);
    Canvas->Brush().SetStyle(bsClear);
    TRect t{content.Left + 1, content.Top, content.Right, content.Bottom};
    Canvas->DrawText(g->CellText, t, flags);
    Canvas->Brush().SetStyle(bsSolid);
    Canvas->Font().SetColor(keptFont);
}

void TExStringGrid::PaintNodeBox(TCanvas* Canvas, int ARow, const TRect& R, TCellGraphic* g)
{
    const TCellNode* n = FCellNode;
    const int x = R.Left + GetRowNodeIndent(ARow) - n->NodeIndent() / 2 - 4;
    const bool collapsed = g->CellBoolean;
    switch (n->NodeType()) {
    case cnLeaf:
        DrawResourceGlyph(Canvas, x, R.Top + (R.Height() - 12) / 2,
                          collapsed ? QStringLiteral("SGLEAFCLOSE") : QStringLiteral("SGLEAFOPEN"));
        return;
    case cnXP:
        DrawResourceGlyph(Canvas, x + 4, R.Top + (R.Height() - 10) / 2,
                          collapsed ? QStringLiteral("XPNODEC") : QStringLiteral("XPNODEO"));
        return;
    case cnGlyph:
        if (!n->ContractGlyph()->Empty() && !n->ExpandGlyph()->Empty()) {
            const TBitmap* b = collapsed ? n->ContractGlyph() : n->ExpandGlyph();
            DrawGlyph(Canvas, x, R.Top + (R.Height() - b->Height()) / 2, b);
            return;
        }
        break;
    default:
        break;
    }
    const int y = R.Top + (R.Height() - 8) / 2;
    Canvas->Pen().SetWidth(1);
    Canvas->Brush().SetStyle(bsSolid);
    Canvas->Brush().SetColor(n->Color);
    if (n->NodeType() == cn3D) {
        TRect b{x + 4, y, x + 12, y + 8};
        Canvas->FillRect(b);
        Canvas->DrawEdge(b, collapsed ? BDR_RAISEDINNER : BDR_SUNKENINNER, BF_RECT | BF_SOFT);
        return;
    }
    Canvas->Pen().SetColor(n->NodeColor);
    Canvas->Rectangle(x + 4, y, x + 13, y + 9);
    Line(Canvas, x + 6, y + 4, x + 11, y + 4);
    if (collapsed)
        Line(Canvas, x + 8, y + 2, x + 8, y + 7);
}

// ---------------------------------------------------------------------------
// Radio items
// ---------------------------------------------------------------------------

void TExStringGrid::PaintRadioItems(TCanvas* Canvas, const TRect& R, double Scale, int ARow, bool Selected,
                                    TStrings* Items, bool Disabled, bool Horizontal, int Index, int Count,
                                    const QString& CellText)
{
    (void)ARow;
    const TControlStyle style = FControlLook->ControlStyle();
    // Without visual styles the themed look is the classic one.
    const bool classic = style == csClassic || style == csFlat || style == csTheme;
    const bool active = !Disabled || FControlLook->NoDisabledCheckRadioLook() || FControlLook->RadioAlwaysActive;
    const int glyph = classic ? int(Round(FControlLook->RadioSize() * Scale)) + (style == csFlat ? 2 : 0) : 16;
    const int lineH = std::max(classic ? glyph : 16, Canvas->TextHeight(QStringLiteral("gh")));
    const int textGap = classic ? 18 : 20;

    const TColor keptFont = Canvas->Font().Color();
    if (Selected && SelectionTextColor() != clNone)
        Canvas->Font().SetColor(SelectionTextColor());
    Canvas->Brush().SetStyle(bsClear);
    int x = R.Left, y = R.Top;
    for (int i = 1; i <= Count; ++i) {
        const QString text = Items && i - 1 < Items->Count() ? Items->Strings(i - 1) : QString();
        const bool on = Index == -1 ? (Items && text == CellText) : i == Index + 1;
        PaintRadioGlyph(Canvas, TRect{x, y, x + glyph, y + glyph}, style, on, active);
        if (!text.isEmpty()) {
            const int tx = Horizontal ? x + glyph + 1 : x + textGap;
            Canvas->Brush().SetStyle(bsClear);
            Canvas->TextOut(tx, y + (glyph - Canvas->TextHeight(text)) / 2, text);
        }
        if (Horizontal)
            x += glyph + Canvas->TextWidth(text);
        else
            y += lineH;
    }
    Canvas->Brush().SetStyle(bsSolid);
    Canvas->Font().SetColor(keptFont);
}

void TExStringGrid::PaintRadioGlyph(TCanvas* Canvas, const TRect& G, TControlStyle Style, bool On, bool Active)
{
    switch (Style) {
    case csWinXP: {
        static const QString names[4] = {QStringLiteral("SGRAD05"), QStringLiteral("SGRAD06"),
                                         QStringLiteral("SGRAD07"), QStringLiteral("SGRAD08")};
        DrawResourceGlyph(Canvas, G.Left, G.Top, names[(Active ? 0 : 2) + (On ? 0 : 1)]);
        return;
    }
    case csQOR: {
        static const QString names[4] = {QStringLiteral("SGRAD01"), QStringLiteral("SGRAD02"),
                                         QStringLiteral("SGRAD03"), QStringLiteral("SGRAD04")};
        DrawResourceGlyph(Canvas, G.Left, G.Top, names[(Active ? 0 : 2) + (On ? 0 : 1)]);
        return;
    }
    case csGlyph:
        DrawGlyph(Canvas, G.Left, G.Top, On ? FControlLook->RadioOnGlyph() : FControlLook->RadioOffGlyph());
        return;
    case csBorland:
        // A grey ring with a white inside; the dot when on.
        Canvas->Pen().SetWidth(1);
        Canvas->Pen().SetColor(TColor(0x808080));
        Canvas->Brush().SetStyle(bsSolid);
        Canvas->Brush().SetColor(Active ? clWhite : clBtnFace);
        Canvas->Ellipse(G.Left + 1, G.Top + 1, G.Right - 1, G.Bottom - 1);
        if (On) {
            Canvas->Brush().SetColor(Active ? FControlLook->Color() : TColor(0x808080));
            Canvas->Pen().SetColor(Canvas->Brush().Color());
            Canvas->Ellipse(G.Left + 5, G.Top + 5, G.Right - 5, G.Bottom - 5);
        }
        return;
    default: {
        TRect b = G;
        unsigned st = DFCS_BUTTONRADIO;
        if (On)
            st |= DFCS_CHECKED;
        if (!Active)
            st |= DFCS_INACTIVE;
        if (Style == csFlat)
            st |= DFCS_FLAT;
        Canvas->DrawFrameControl(b, DFC_BUTTON, st);
        return;
    }
    }
}
