// The paint pass around the cells: the client area beyond the last column
// and row (background gradient or picture), and the texts of the grid's
// balloon tooltip.
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/GradientBands.h"
#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLE.h"

#include <algorithm>

namespace {
constexpr int kSearchFooterHeight = 32;
constexpr int kMaxBalloonText = 2048;
constexpr int kMaxBalloonTitle = 100;
} // namespace

// ---------------------------------------------------------------------------
// Beyond the cells
// ---------------------------------------------------------------------------

TRect TExStringGrid::GridBackgroundRect()
{
    TRect client = ClientRect();
    if (FSearchFooter->Visible())
        client.Bottom -= kSearchFooterHeight;
    if (FFloatingFooter->Visible && FFooterPanel)
        client.Bottom -= FFooterPanel->Height();
    return client;
}

void TExStringGrid::PaintGridBackground()
{
    const bool gradient = FBackGround->Display == bdGradientHorz || FBackGround->Display == bdGradientVert;
    const bool rowsBelow = TopRow() + VisibleRowCount() < RowCount();
    const bool colsRight = LeftCol() + VisibleColCount() < ColCount();
    if ((rowsBelow && colsRight) || (gradient && FBackGround->ColorTo == clNone))
        return;

    // The strips right of the last column and below the last row.
    const TRect client = GridBackgroundRect();
    TRegion area = CreateRectRgn(0, 0, 0, 0);
    if (!colsRight && ColCount() > 0) {
        const TRect last = TBaseGrid::CellRect(ColCount() - 1, std::max(0, TopRow()));
        const int right = last.IsEmpty() ? -1 : last.Right;
        if (right >= 0 && right < client.Right)
            CombineRgn(area, area, CreateRectRgn(right, client.Top, client.Right, client.Bottom), RGN_OR);
    }
    if (!rowsBelow && RowCount() > 0) {
        const TRect last = TBaseGrid::CellRect(std::max(0, LeftCol()), RowCount() - 1);
        const int bottom = last.IsEmpty() ? -1 : last.Bottom;
        if (bottom >= 0 && bottom < client.Bottom)
            CombineRgn(area, area, CreateRectRgn(client.Left, bottom, client.Right, client.Bottom), RGN_OR);
    }
    if (area.IsEmpty())
        return;

    TCanvas* c = Canvas();
    c->SaveState();
    c->SelectClipRgn(&area);
    TBitmap* pic = FBackGround->Bitmap();
    if (pic->Empty()) {
        if (gradient)
            FillGradientBands(c, FBackGround->Color, FBackGround->ColorTo, 128, ClientRect(),
                              FBackGround->Display == bdGradientHorz);
    } else if (FBackGround->Display != bdTile) {
        PaintGridPicture(ClientRect());
    } else if (FBackGround->Cells != bcFixed) {
        TRect r = ClientRect();
        if (FBackGround->Cells == bcNormal) {
            // The tiles start at the first normal cell.
            const TRect first = TBaseGrid::CellRect(FixedCols(), FixedRows());
            r.Left = first.Left;
            r.Top = first.Top;
        }
        r.Left += XYOffset().X;
        r.Top += XYOffset().Y;
        TileGridPicture(r);
    }
    c->RestoreState();
}

void TExStringGrid::PaintGridPicture(const TRect& R)
{
    TBitmap* pic = FBackGround->Bitmap();
    const TRect at{FBackGround->Left, FBackGround->Top, FBackGround->Left + pic->Width(),
                   FBackGround->Top + pic->Height()};
    TRect part;
    if (!IntersectRect(part, at, R))
        return;
    Canvas()->CopyRect(part, pic->Canvas(),
                       TRect{part.Left - at.Left, part.Top - at.Top, part.Right - at.Left, part.Bottom - at.Top});
}

void TExStringGrid::TileGridPicture(const TRect& R)
{
    TBitmap* pic = FBackGround->Bitmap();
    const int w = pic->Width(), h = pic->Height();
    if (w <= 0 || h <= 0)
        return;
    const TRect client = ClientRect();
    for (int y = R.Top - 1; y < client.Bottom; y += h)
        for (int x = R.Left - 1; x < client.Right; x += w)
            Canvas()->Draw(x, y, pic);
}

// ---------------------------------------------------------------------------
// Balloon texts
// ---------------------------------------------------------------------------

void TExStringGrid::BalloonTexts(int ACol, int ARow, QString& Title, QString& Text, TBalloonIcon& Icon)
{
    const TPoint b = BaseCell(ACol, ARow);
    const int C = RemapColToReal(b.X);
    QString s = GetCellEx(C, b.Y);
    switch (DetectTextKind(s, EnableHTML)) {
    case 1:
        s = StripMarkup(s);
        break;
    case 5:
        s = DecodeWideText(s);
        break;
    default:
        break;
    }
    qsizetype lead = 0;
    while (lead < s.size() && (s[lead] == QLatin1Char('\t') || s[lead] == QLatin1Char('\n') ||
                               s[lead] == QLatin1Char('\r')))
        ++lead;
    s.remove(0, lead);
    s.replace(QLatin1Char('\t'), QLatin1Char(' '));
    if (s.size() > kMaxBalloonText)
        s = s.left(kMaxBalloonText - 3) + QStringLiteral("...");

    QString title = QStringLiteral(" ");
    QString balloonTitle, balloonText;
    Icon = biNone;
    if (IsBalloon(C, b.Y, balloonTitle, balloonText, Icon))
        title = balloonTitle;
    if (OnCellBalloon)
        OnCellBalloon(this, b.X, b.Y, title, s, Icon);
    FLastBalloonPos = b;
    if (title.size() > kMaxBalloonTitle)
        title = title.left(kMaxBalloonTitle - 3) + QStringLiteral("...");
    Title = title;
    Text = s;
}
