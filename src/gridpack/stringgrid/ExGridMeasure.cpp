// The displayed text of a cell (links, group counts) and the size a cell
// graphic claims when printed.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/basegrid/RorIdad.h"
#include "platform/core/Format.h"
#include "platform/graphics/ImageList.h"

#include <cmath>

void TExStringGrid::GetDisplayText(int ACol, int ARow, QString& Value)
{
    TBaseGrid::GetDisplayText(ACol, ARow, Value);
    if (URLShowInText) {
        // The prefixes are tried in this order; the first one found is linked.
        static const char* const prefixes[] = {"HTTP://", "WWW.",    "MAILTO:", "HTTPS://",
                                               "NNTP://", "FILE://", "FTP://"};
        for (const char* p : prefixes) {
            QString linked;
            if (LinkifyText(Value, QLatin1String(p), linked)) {
                Value = linked;
                break;
            }
        }
    }
    if (FGrouping->ShowGroupCount && ACol == 1 && IsNode(ARow)) {
        const int n = GetNodeSpan(ARow) - GetSubNodeCount(ARow) - 1;
        if (!FGrouping->GroupCountFormat.isEmpty())
            Value += Format(FGrouping->GroupCountFormat, {n});
        else
            Value += QStringLiteral(" (%1)").arg(n);
    }
}

TPoint TExStringGrid::CalcCellGraphicFit(int ACol, int ARow, int W, int H, double Scale)
{
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g)
        return TPoint{0, 0};
    const bool hasText = !GetCellEx(ACol, ARow).isEmpty();
    const bool beside = g->CellHAlign == haBeforeText || g->CellHAlign == haAfterText;
    const TImageList* list = GetCellImageList(ACol, ARow);
    const int d = RemapColToDispl(ACol);
    switch (g->CellType) {
    case ctBitmap:
        return g->Bitmap() ? TPoint{g->Bitmap()->Width(), g->Bitmap()->Height()} : TPoint{0, 0};
    case ctIcon:
        return g->CellIcon() ? TPoint{g->CellIcon()->Width(), g->CellIcon()->Height()} : TPoint{0, 0};
    case ctImageList:
        return list ? TPoint{beside || !hasText ? list->Width() : 0, list->Height()} : TPoint{0, 0};
    case ctDataImage:
        return list ? TPoint{list->Width(), list->Height()} : TPoint{0, 0};
    case ctNode:
    case ctProgressPie:
        return TPoint{20, 20};
    case ctPicture:
    case ctFilePicture: {
        const TPoint p = g->GetPictureSize(W, H, hasText);
        const double s = Scale == 0 ? 1.0 : Scale;
        return TPoint{int(std::lround(p.X / s)), int(std::lround(p.Y / s))};
    }
    case ctProgress:
    case ctXPProgress:
        return TPoint{ColWidths(d), RowHeights(ARow)};
    case ctShape: {
        const int s = RowHeights(ARow) - 2 * XYOffset().Y;
        return TPoint{s, s};
    }
    case ctRating:
        return TPoint{0, 0};
    case ctRadio:
        if (!g->CellBoolean) {
            TCanvas* c = Canvas();
            c->Font().Assign(*Font());
            const TStrings* items = g->Strings();
            const int n = items ? items->Count() : 0;
            int w = 12;
            for (int i = 0; i < n; ++i)
                w = std::max(w, c->TextWidth(items->Strings(i)) + 12);
            return TPoint{w, c->TextHeight(QStringLiteral("gh")) * n};
        }
        break;
    default:
        break;
    }
    // The other kinds claim what they claim on screen, without the cell
    // filling of haFull and vaFull.
    TPoint r = CalcCellGraphicSize(ACol, ARow, 0);
    const TPoint cell = CellSize(d, ARow);
    if (g->CellVAlign == vaFull && r.Y == cell.Y)
        r.Y = 0;
    if (g->CellHAlign == haFull && r.X == cell.X)
        r.X = 0;
    return r;
}
