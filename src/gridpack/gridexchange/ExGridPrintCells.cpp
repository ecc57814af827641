// Printed cells drawn by the grid's own painters: mark-up cells and titles
// through the mark-up renderer, rich-text cells through the rich editor's
// layout, and cell graphics through the screen's graphic painting. Each is
// drawn in an upright space of screen pixels scaled to 0.1 mm, so what the
// screen shows comes out at its printed size.
#include "gridpack/gridexchange/ExGridPrint.h"

#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/RichEdit.h"

#include <algorithm>
#include <cmath>

namespace {

// Canvas state and the upright space, undone when the drawing ends.
class TPixelSpace {
public:
    TPixelSpace(TCanvas* C, TPoint Origin, double Scale) : FC(C)
    {
        FC->SaveState();
        FC->BeginUprightSpace(Origin, Scale);
    }
    ~TPixelSpace()
    {
        FC->EndUprightSpace();
        FC->RestoreState();
    }
    TPixelSpace(const TPixelSpace&) = delete;
    TPixelSpace& operator=(const TPixelSpace&) = delete;

private:
    TCanvas* FC;
};

int ToPixels(int Units, double Scale) { return int(std::lround(Units / Scale)); }
int ToUnits(int Pixels, double Scale) { return int(std::ceil(Pixels * Scale)); }

bool IsCheck(TCellType t)
{
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox ||
           t == ctTriStateCheckBox;
}

} // namespace

double TGridPrinter::PixelScale() const { return 254.0 / FScreenDpi * G->Fontscalefactor; }

TSize TGridPrinter::HtmlExtent(int ACol, int ARow, const QString& Html, const TFont& Font, int WrapWidth,
                               double Scale)
{
    TPixelSpace space(C, TPoint(0, 0), Scale);
    C->Font().Assign(Font);
    THTMLRenderParams p;
    p.Canvas = C;
    p.Text = Html;
    const int w = WrapWidth > 0 ? std::max(1, ToPixels(WrapWidth, Scale)) : 100000;
    p.Rect = TRect(0, 0, w, 100000);
    p.Images = ACol >= 0 ? G->GetCellImageList(G->RemapColToReal(ACol), ARow) : nullptr;
    p.Container = G->PictureContainer();
    p.PictureCache = G->ImageCache();
    p.MeasureOnly = true;
    p.Printing = true;
    p.LinkColor = G->URLColor;
    RenderHTML(p);
    return TSize(ToUnits(p.Width, Scale), ToUnits(p.Height, Scale));
}

TSize TGridPrinter::DrawHtml(int ACol, int ARow, const QString& Html, const TFont& Font, const TRect& R, int HA,
                             int VA, double Scale)
{
    const int w = ToPixels(R.Right - R.Left, Scale);
    const int h = ToPixels(R.Top - R.Bottom, Scale);
    if (w <= 0 || h <= 0)
        return TSize();
    // Measured first: the renderer lays its lines out from the top left.
    const TSize need = HtmlExtent(ACol, ARow, Html, Font, R.Right - R.Left, Scale);
    const int nw = ToPixels(need.cx, Scale), nh = ToPixels(need.cy, Scale);
    int x = 0, y = 0;
    if (HA == taRightJustify)
        x = std::max(0, w - nw);
    else if (HA == taCenter)
        x = std::max(0, (w - nw) / 2);
    if (VA == vtaBottom)
        y = std::max(0, h - nh);
    else if (VA == vtaCenter)
        y = std::max(0, (h - nh) / 2);
    TPixelSpace space(C, TPoint(R.Left, R.Top), Scale);
    C->IntersectClipRect(0, 0, w, h);
    C->Font().Assign(Font);
    C->Brush().SetStyle(bsClear);
    C->SetBkMode(TRANSPARENT);
    THTMLRenderParams p;
    p.Canvas = C;
    p.Text = Html;
    p.Rect = TRect(x, y, w, h);
    p.Images = ACol >= 0 ? G->GetCellImageList(G->RemapColToReal(ACol), ARow) : nullptr;
    p.Container = G->PictureContainer();
    p.PictureCache = G->ImageCache();
    p.Printing = true;
    p.LinkColor = G->URLColor;
    p.ShadowColor = clGray;
    RenderHTML(p);
    return need;
}

void TGridPrinter::DrawRich(int ACol, int ARow, const TRect& R)
{
    const double k = PixelScale();
    const int w = ToPixels(R.Right - R.Left, k);
    const int h = ToPixels(R.Top - R.Bottom, k);
    if (w <= 0 || h <= 0)
        return;
    TRichEdit* rich = G->CellRichEdit();
    G->CellToRich(G->RemapColToReal(ACol), ARow, rich);
    rich->SetTransparent(true);
    TPixelSpace space(C, TPoint(R.Left, R.Top), k);
    rich->DrawTo(C, TRect(0, 0, w, h));
}

TPoint TGridPrinter::GraphicExtent(int ACol, int ARow)
{
    const int rc = G->RemapColToReal(ACol);
    const TCellGraphic* g = G->GetCellGraphic(rc, ARow);
    if (!g || g->CellType == ctRotated)
        return TPoint(0, 0);
    const TPoint px = G->CalcCellGraphicFit(rc, ARow, G->ColWidths(ACol), G->RowHeights(ARow), 1.0);
    const double k = PixelScale();
    return TPoint(ToUnits(std::max(0, px.X), k), ToUnits(std::max(0, px.Y), k));
}

TRect TGridPrinter::TextBesideGraphic(int ACol, int ARow, const TRect& R)
{
    const int rc = G->RemapColToReal(ACol);
    const TExStringGrid::TCellGraphicInfo info = G->GetCellGraphicInfo(rc, ARow);
    TRect t = R;
    if (!info.Graphic || !info.TextToo)
        return t;
    const double k = PixelScale();
    if (info.HAlign == haBeforeText)
        t.Left += ToUnits(info.Width, k);
    else if (info.HAlign == haAfterText)
        t.Right -= ToUnits(info.Width, k);
    if (info.VAlign == vaAboveText)
        t.Top -= ToUnits(info.Height, k);
    else if (info.VAlign == vaUnderText)
        t.Bottom += ToUnits(info.Height, k);
    return t;
}

void TGridPrinter::DrawGraphic(int ACol, int ARow, const TRect& R, int Back, int HA, int VA, int TextWidth,
                               bool BehindText)
{
    const int rc = G->RemapColToReal(ACol);
    const TExStringGrid::TCellGraphicInfo info = G->GetCellGraphicInfo(rc, ARow);
    TCellGraphic* g = info.Graphic;
    if (!g || g->CellType == ctRotated || g->CellType == ctNode)
        return;
    auto* drawer = g->CellType == ctInterface ? dynamic_cast<IGridCellDrawer*>(g->Interfaced()) : nullptr;
    const bool behind = drawer && drawer->CellDrawBehindText();
    if (behind != BehindText)
        return;
    const double k = PixelScale();
    const TRect cell(0, 0, ToPixels(R.Right - R.Left, k), ToPixels(R.Top - R.Bottom, k));
    if (cell.IsEmpty())
        return;
    TPixelSpace space(C, TPoint(R.Left, R.Top), k);
    C->IntersectClipRect(cell.Left, cell.Top, cell.Right, cell.Bottom);
    C->Brush().SetStyle(bsSolid);
    C->Brush().SetColor(Back == clNone ? clWhite : Back);
    C->Pen().SetColor(clBlack);
    C->Pen().SetWidth(1);
    C->Font().Assign(*G->Font());
    if (behind) {
        drawer->CellDraw(C, cell, G, false, rc, ARow);
        return;
    }
    const TAlignment ha = TAlignment(HA);
    const TVAlignment va = TVAlignment(VA);
    if (IsCheck(g->CellType)) {
        // Check boxes print as the classic frame control, ticked by state.
        TCheckBoxState state = cbUnchecked;
        if (g->CellType == ctRowCheckBox)
            state = TExStringGrid::BoolToCheckBoxState(g->CellBoolean);
        else
            G->GetCheckBoxState(rc, G->RealRowIndex(ARow), state);
        TRect box = G->GraphicRect(cell, info, ha, va, TextWidth > 0 ? TextWidth + 2 : 0);
        unsigned flags = DFCS_BUTTONCHECK | DFCS_FLAT;
        if (state == cbChecked)
            flags |= DFCS_CHECKED;
        else if (state == cbGrayed)
            flags = DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_FLAT;
        C->DrawFrameControl(box, DFC_BUTTON, flags);
        return;
    }
    G->FDrawnTextWidth = TextWidth > 0 ? TextWidth + 2 : 0;
    G->PaintCellGraphic(C, rc, ARow, cell, info, ha, va);
    G->FDrawnTextWidth = 0;
}

QString TGridPrinter::HtmlTitle() const
{
    TPrintSettings* ps = G->PrintSettings();
    if (ps->Title == ppNone || !ps->TitleText.isEmpty() || ps->TitleLines()->Count() == 0)
        return QString();
    const QString t = ps->TitleLines()->Text();
    return DetectTextKind(t, true) == 1 ? t : QString();
}

int TGridPrinter::HtmlTitleHeight()
{
    const QString t = HtmlTitle();
    if (t.isEmpty())
        return 0;
    TPrintSettings* ps = G->PrintSettings();
    const bool top = int(ps->Title) - 1 < 3;
    return HtmlExtent(-1, -1, t, top ? ps->HeaderFont : ps->FooterFont, 0, 254.0 / FScreenDpi).cy;
}

void TGridPrinter::DrawHtmlTitle(int Slot, int Y)
{
    TPrintSettings* ps = G->PrintSettings();
    const QString t = HtmlTitle();
    const bool top = Slot < 3;
    const TFont& font = top ? ps->HeaderFont : ps->FooterFont;
    const double k = 254.0 / FScreenDpi;
    const TSize need = HtmlExtent(-1, -1, t, font, 0, k);
    int x = ps->LeftSize;
    if (Slot == 1 || Slot == 4)
        x = FPageW - need.cx - ps->RightSize - 20;
    else if (Slot == 2 || Slot == 5)
        x = (FPageW - need.cx) / 2;
    // A bottom title grows upwards from its first line, as plain title
    // lines do.
    const int lh = top ? FHeaderH : FFooterH;
    const int yTop = top ? Y : Y + std::max(0, need.cy - lh);
    DrawHtml(-1, -1, t, font, TRect(x, yTop, x + need.cx + 1, yTop - need.cy - 1), taLeftJustify, vtaTop, k);
}
