// Cell graphics beyond images and check boxes: push buttons, bit buttons
// and expand corners, progress bars and pies, range bars, level progress,
// comment marks, shapes, star ratings, pictures, image strips, rotated text
// and node boxes; and the check glyphs of the picture styles (csQOR,
// csGlyph) and of csBorland.
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/ExObj.h"
#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/RorIdadGraphics.h"
#include "platform/core/MathUtils.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Resources.h"

#include <algorithm>
#include <cmath>

namespace {
TRect Shrunk(const TRect& r, int dx, int dy) { return TRect{r.Left + dx, r.Top + dy, r.Right - dx, r.Bottom - dy}; }
} // namespace

// ---------------------------------------------------------------------------
// Check glyphs of the picture styles and of csBorland
// ---------------------------------------------------------------------------

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

// ---------------------------------------------------------------------------
// Radio items
// ---------------------------------------------------------------------------


// ---------------------------------------------------------------------------
// Rotated text
// ---------------------------------------------------------------------------

void TExStringGrid::PlaceRotatedText(TRect& R, int Angle, TVAlignment VA, TAlignment HA, const QString& Text)
{
    TCanvas* c = Canvas();
    TFont kept;
    kept.Assign(c->Font());
    c->Font().Assign(*Font());
    const TSize ext = c->TextExtent(Text + QStringLiteral("w"));
    c->Font().Assign(kept);
    R = Shrunk(R, 2, 2);
    // The corners of the turned text about its origin (screen Y downwards,
    // turning counter-clockwise); the box they span is placed in R.
    const double a = Angle * M_PI / 180.0;
    const double ca = std::cos(a), sa = std::sin(a);
    const double xs[4] = {0, ext.cx * ca, ext.cy * sa, ext.cx * ca + ext.cy * sa};
    const double ys[4] = {0, -ext.cx * sa, ext.cy * ca, -ext.cx * sa + ext.cy * ca};
    const int minX = int(std::lround(*std::min_element(xs, xs + 4)));
    const int maxX = int(std::lround(*std::max_element(xs, xs + 4)));
    const int minY = int(std::lround(*std::min_element(ys, ys + 4)));
    const int maxY = int(std::lround(*std::max_element(ys, ys + 4)));
    const int bw = maxX - minX, bh = maxY - minY;
    int left = R.Left, top = R.Top;
    if (HA == taCenter)
        left = R.Left + (R.Right - R.Left - bw) / 2;
    else if (HA == taRightJustify)
        left = R.Right - bw;
    if (VA == vtaCenter)
        top = R.Top + (R.Bottom - R.Top - bh) / 2;
    else if (VA == vtaBottom)
        top = R.Bottom - bh;
    R.Left = left - minX;
    R.Top = top - minY;
}

void TExStringGrid::PaintRotatedCell(TCanvas* Canvas, int C, int ARow, const TRect& Cell, int Angle, TVAlignment VA,
                                     TAlignment HA)
{
    const QString text = GetFormattedCell(C, ARow);
    TRect clip = Shrunk(Cell, 2, 2);
    TRect at = Cell;
    PlaceRotatedText(at, Angle, VA, HA, text);
    TRegion keptRgn;
    const bool hadClip = Canvas->GetClipRgn(keptRgn) != 0;
    Canvas->IntersectClipRect(clip.Left, clip.Top, clip.Right, clip.Bottom);
    const int keptOrientation = Canvas->Font().Orientation();
    Canvas->Font().SetOrientation(Angle * 10);
    const TBrushStyle keptStyle = Canvas->Brush().Style();
    Canvas->Brush().SetStyle(bsClear);
    Canvas->TextOut(at.Left, at.Top, text);
    Canvas->Brush().SetStyle(keptStyle);
    Canvas->Font().SetOrientation(keptOrientation);
    Canvas->SelectClipRgn(hadClip ? &keptRgn : nullptr);
    // The sort glyph of a sorted header stays in the corner.
    if (FixedRows() > 0 && ShowsSortGlyph(C, ARow))
        DrawSortGlyph(Canvas, C, Cell.Top + 8, Cell.Right - 10);
}
