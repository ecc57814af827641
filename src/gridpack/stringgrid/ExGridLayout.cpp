// Where a cell's text and graphic go: the effective text alignment, the size
// a graphic claims, the formatted display text and the measured size of a
// cell's text. Pure geometry and text; the measuring uses the grid canvas's
// font but draws nothing.
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/core/Format.h"
#include "platform/core/MathUtils.h"
#include "platform/core/StrUtils.h"
#include "platform/graphics/ImageList.h"

#include <algorithm>
#include <cmath>

namespace {
bool IsCheckKind(TCellType t)
{
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox ||
           t == ctTriStateCheckBox;
}

// A text whose first character, or first encoded character, is "=".
bool IsFormulaText(const QString& s)
{
    if (s.startsWith(QLatin1Char('=')))
        return true;
    return s.size() > 3 && s.startsWith(QStringLiteral("|\\")) && s.at(3) == QLatin1Char('=');
}
} // namespace

// ---------------------------------------------------------------------------
// Alignment and formatted text
// ---------------------------------------------------------------------------

void TExStringGrid::GetCellAlignment(int ACol, int ARow, TAlignment& HA, TVAlignment& VA)
{
    HA = DefaultAlignment();
    VA = VAlignment();
    bool formula = false;
    if (AutoNumAlign) {
        const QString s = GetCellEx(ACol, ARow);
        // No formula evaluator is part of the grid: a formula keeps its own
        // text, which is never a number.
        formula = IsFormulaText(s);
        const int kind = ClassifyNumberText(Trim(s));
        if (kind == 0 || kind == 1 || kind == 5)
            HA = taRightJustify;
    }
    if (const TCellProperties* p = PropsOf(ACol, ARow); p && !formula)
        HA = p->Alignment;
    GetCellAlign(ACol, ARow, HA, VA);
}

// The conversion letter (lower case) of a format holding exactly one
// conversion ("%%" is none), else the null character.
QChar SingleConversion(const QString& Fmt)
{
    QChar found;
    int count = 0;
    for (qsizetype i = 0; i < Fmt.size(); ++i) {
        if (Fmt[i] != QLatin1Char('%'))
            continue;
        ++i;
        if (i < Fmt.size() && Fmt[i] == QLatin1Char('%'))
            continue;
        while (i < Fmt.size() && !Fmt[i].isLetter())
            ++i;
        if (i >= Fmt.size())
            return QChar();
        found = Fmt[i].toLower();
        ++count;
    }
    return count == 1 ? found : QChar();
}

QString TExStringGrid::GetFormattedCell(int ACol, int ARow)
{
    QString text = GetCellEx(ACol, ARow);
    if (!OnGetFloatFormat)
        return text;
    const int kind = ClassifyNumberText(text);
    if (kind != 0 && kind != 1 && kind != 5)
        return text;
    QString fmt = FloatFormat;
    bool isFloat = true;
    OnGetFloatFormat(this, ACol, ARow, isFloat, fmt);
    if (!isFloat || fmt.isEmpty())
        return text;
    // The format's one conversion decides between the integer and the
    // float value; a format with none or several leaves the text.
    const QChar conv = SingleConversion(fmt);
    try {
        if (conv == QLatin1Char('d') || conv == QLatin1Char('u') || conv == QLatin1Char('x'))
            return Format(fmt, {GetInts(ACol, ARow)});
        if (conv == QLatin1Char('e') || conv == QLatin1Char('f') || conv == QLatin1Char('g') ||
            conv == QLatin1Char('n') || conv == QLatin1Char('m'))
            return Format(fmt, {GetFloats(ACol, ARow)});
    } catch (const Exception&) {
    }
    return text;
}

void TExStringGrid::GetFontProperties(int ACol, int RCol, int ARow, TGridDrawState& AState, TFont* AFont,
                                      TBrush* ABrush, bool)
{
    const bool fixed = IsFixed(ACol, ARow) || ACol < FixedCols() || ARow < FixedRows();
    AFont->Assign(fixed ? *FixedFont() : *Font());
    if (const TCellProperties* p = PropsOf(RCol, ARow)) {
        if (p->FontColor != clNone)
            AFont->SetColor(p->FontColor);
        if (p->FontStyle != 0)
            AFont->SetStyle(p->FontStyle);
        if (p->FontSize != 0)
            AFont->SetSize(p->FontSize);
        if (!p->FontName.isEmpty())
            AFont->SetName(p->FontName);
    }
    GetCellColor(RCol, ARow, AState, ABrush, AFont);
}

// ---------------------------------------------------------------------------
// Graphic sizes
// ---------------------------------------------------------------------------

TExStringGrid::TCellGraphicInfo TExStringGrid::GetCellGraphicInfo(int ACol, int ARow)
{
    TCellGraphicInfo info;
    info.Graphic = GetCellGraphic(ACol, ARow);
    const TCellGraphic* g = info.Graphic;
    if (!g)
        return info;
    info.HAlign = g->CellHAlign;
    info.VAlign = g->CellVAlign;
    const TImageList* list = GetCellImageList(ACol, ARow);
    const int check = FControlLook->CheckSize();
    auto size = [&](int w, int h, bool text) {
        info.Width = w;
        info.Height = h;
        info.TextToo = text;
    };
    switch (g->CellType) {
    case ctBitmap:
        size(g->Bitmap() ? g->Bitmap()->Width() : 0, g->Bitmap() ? g->Bitmap()->Height() : 0, true);
        break;
    case ctIcon:
        size(g->CellIcon() ? g->CellIcon()->Width() : 0, g->CellIcon() ? g->CellIcon()->Height() : 0, true);
        break;
    case ctImageList:
    case ctDataImage:
        size(list ? list->Width() : 0, list ? list->Height() : 0, g->CellType == ctImageList);
        break;
    case ctCheckBox:
    case ctTriStateCheckBox:
        size(check, check, true);
        break;
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
        size(check, check, false);
        break;
    case ctInterface:
        if (auto* d = dynamic_cast<IGridCellDrawer*>(g->Interfaced())) {
            const TPoint s = d->CellDrawSize(ACol, ARow);
            size(s.X, s.Y, true);
        }
        break;
    case ctRotated:
    case ctRadio:
    case ctProgress:
    case ctRangeIndicator:
    case ctXPProgress:
        size(0, 0, false);
        break;
    case ctImages: {
        const int n = g->IntList() ? g->IntList()->Count() : 0;
        const int lw = list ? list->Width() : 0, lh = list ? list->Height() : 0;
        if (g->CellBoolean)
            size(n * lw, lh, true);
        else
            size(lw, n * lh, true);
        break;
    }
    case ctPicture:
    case ctFilePicture: {
        const TPoint cs = CellSize(RemapColToDispl(ACol), ARow);
        const TPoint p = g->GetPictureSize(cs.X, cs.Y, true);
        size(p.X, p.Y, true);
        break;
    }
    case ctButton:
    case ctBitButton:
        size(g->CellIndex & 0xFFFF, int(uint32_t(g->CellIndex) >> 16), true);
        break;
    case ctProgressPie:
        size(20, 20, true);
        break;
    case ctRadioButton:
        size(FControlLook->RadioSize() + 4, FControlLook->RadioSize() + 4, true);
        break;
    case ctShape: {
        const int s = RowHeights(ARow) - 2 * XYOffset().Y;
        size(s, s, true);
        break;
    }
    case ctRating:
        size(g->CellAngle * 18, 16, false);
        break;
    default:
        break;
    }
    return info;
}

TPoint TExStringGrid::CalcCellGraphicSize(int ACol, int ARow, int ReservedHeight)
{
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g)
        return TPoint{0, 0};
    const QString text = GetCellEx(ACol, ARow);
    const bool hasText = !text.isEmpty();
    const bool beside = g->CellHAlign == haBeforeText || g->CellHAlign == haAfterText;
    const bool overUnder = g->CellVAlign == vaUnderText || g->CellVAlign == vaAboveText;
    const int mx = XYOffsetTopLeftOnly ? XYOffset().X : 2 * XYOffset().X;
    const int my = XYOffsetTopLeftOnly ? XYOffset().Y : 2 * XYOffset().Y;
    const TPoint cell = CellSize(RemapColToDispl(ACol), ARow);
    const TImageList* list = GetCellImageList(ACol, ARow);
    TCanvas* c = Canvas();
    c->Font().Assign(*Font());
    bool fromCaption = false;
    TPoint r{0, 0};
    switch (g->CellType) {
    case ctBitmap:
    case ctIcon: {
        const int w = g->CellType == ctBitmap ? (g->Bitmap() ? g->Bitmap()->Width() : 0)
                                              : (g->CellIcon() ? g->CellIcon()->Width() : 0);
        const int h = g->CellType == ctBitmap ? (g->Bitmap() ? g->Bitmap()->Height() : 0)
                                              : (g->CellIcon() ? g->CellIcon()->Height() : 0);
        r.X = beside || !hasText ? w : 0;
        r.Y = g->CellType == ctIcon || overUnder || !hasText ? h : 0;
        break;
    }
    case ctImageList:
    case ctDataImage:
        r.X = list && (beside || !hasText) ? list->Width() : 0;
        r.Y = list && (overUnder || !hasText) ? list->Height() : 0;
        break;
    case ctPicture:
    case ctFilePicture:
        r = g->GetPictureSize(cell.X - mx - 1, cell.Y - my - ReservedHeight - 1, hasText);
        break;
    case ctButton:
    case ctBitButton: {
        const int lo = g->CellIndex & 0xFFFF, hi = int(uint32_t(g->CellIndex) >> 16);
        const int captionW = c->TextWidth(g->CellText) + 4;
        if (hasText) {
            r.X = overUnder ? 0 : g->CellHAlign == haCenter ? 0 : g->CellHAlign == haFull ? captionW : lo;
            r.Y = overUnder ? hi : 0;
        } else {
            r.X = g->CellHAlign == haFull ? captionW : lo;
            r.Y = hi;
            fromCaption = g->CellHAlign == haFull && !g->CellText.isEmpty();
        }
        break;
    }
    case ctInterface: {
        // The object's own size; a zero in either the cell's.
        r = cell;
        if (auto* d = dynamic_cast<IGridCellDrawer*>(g->Interfaced())) {
            const TPoint s = d->CellDrawSize(ACol, ARow);
            if (s.X != 0 && s.Y != 0)
                r = s;
        }
        break;
    }
    case ctProgressPie:
        r = TPoint{20, 20};
        break;
    case ctRadioButton:
        r = TPoint{FControlLook->RadioSize(), FControlLook->RadioSize()};
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
        r = TPoint{FControlLook->CheckSize(), FControlLook->CheckSize()};
        break;
    case ctRadio: {
        const TStrings* items = g->Strings();
        const int n = items ? items->Count() : 0;
        const int th = c->TextHeight(QStringLiteral("gh"));
        if (g->CellBoolean) {
            for (int i = 0; i < n; ++i)
                r.X += c->TextWidth(items->Strings(i)) + 12;
            r.Y = th;
        } else {
            r.X = 12;
            for (int i = 0; i < n; ++i)
                r.X = std::max(r.X, c->TextWidth(items->Strings(i)) + 12);
            r.Y = std::max(16, th) * n;
        }
        break;
    }
    case ctRating:
        r = TPoint{g->CellAngle * 18, 16};
        break;
    case ctImages: {
        const TCellGraphicInfo info = GetCellGraphicInfo(ACol, ARow);
        r = TPoint{info.Width, info.Height};
        break;
    }
    default:
        break;
    }
    if (g->CellVAlign == vaFull)
        r.Y = cell.Y;
    // A rating is placed haFull but claims its stars' width: taking the cell's
    // width would keep auto-sizing from ever making room for the stars.
    if (g->CellHAlign == haFull && !fromCaption && g->CellType != ctRating)
        r.X = cell.X;
    return r;
}

// ---------------------------------------------------------------------------
// Measuring a cell's text
// ---------------------------------------------------------------------------

TSize TExStringGrid::GetCellTextSize(int ACol, int ARow, bool VS, bool SB)
{
    return MeasureCellText(ACol, RemapColToDispl(ACol), ARow, SB, VS);
}

TSize TExStringGrid::MeasureCellText(int ACol, int DCol, int ARow, bool SB, bool VS)
{
    QString text = GetFormattedCell(ACol, ARow);
    const int kind = DetectTextKind(text, EnableHTML);
    TCanvas* c = Canvas();
    TGridDrawState state = 0;
    TFont font;
    TBrush brush;
    GetFontProperties(DCol, ACol, ARow, state, &font, &brush, false);
    if ((ARow < FixedRows() || DCol < FixedCols()) && ActiveCellShow() && (ActiveCellFont()->Style() & fsBold))
        font.SetStyle(font.Style() | fsBold);
    font.SetSize(font.Size() + ZoomFactor());
    c->Font().Assign(font);
    c->Brush().Assign(brush);

    TRect r = CellRect(DCol, ARow);
    const TPoint off = XYOffset();
    if (XYOffsetTopLeftOnly) {
        r.Left += off.X;
        r.Top += off.Y;
    } else {
        r.Left += off.X;
        r.Top += off.Y;
        r.Right -= off.X;
        r.Bottom -= off.Y;
    }
    if (SB)
        r.Right -= 17;

    if (kind == 1) {
        THTMLRenderParams p;
        p.Canvas = c;
        p.Text = text;
        p.Rect = r;
        if (!VS)
            p.Rect.Right = 65535;
        p.Rect.Bottom = 65535;
        p.Images = GetCellImageList(ACol, ARow);
        p.Container = PictureContainer();
        p.PictureCache = ImageCache();
        p.ShadowColor = clGray;
        p.LinkColor = URLColor;
        p.MeasureOnly = true;
        p.WordWrap = true;
        RenderHTML(p);
        return TSize{p.Width + 2, p.Height + 2};
    }

    TSize result{0, 0};
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    const bool rotated = g && g->CellType == ctRotated;
    if (VS) {
        r.Left += 2;
        r.Top += 2;
        r.Right -= 2;
        r.Bottom -= 2;
        const unsigned flags = (rotated ? DT_SINGLELINE : DT_WORDBREAK) | DT_EXPANDTABS | DT_NOPREFIX |
                               DT_EDITCONTROL | DT_CALCRECT;
        TRect m = r;
        result.cy = c->DrawText(text, m, flags);
        result.cx = r.Right - r.Left;
    } else {
        const int lines = CountTextLines(text, Multilinecells);
        QString rest = text;
        int widest = 0;
        for (int i = 0; i < lines; ++i) {
            QString line = TakeFirstLine(rest, true);
            if (URLShow && !URLFull && kind == 0)
                RemoveURLScheme(line);
            widest = std::max(widest, c->TextWidth(line));
        }
        result.cx = widest;
        result.cy = c->TextHeight(QStringLiteral("gh")) * lines;
    }
    if (rotated) {
        const double a = g->CellAngle * M_PI / 180.0;
        const auto rnd = [](double v) { return int(std::llround(std::fabs(v))); };
        const int w = result.cx, h = result.cy;
        result.cx = std::abs(rnd(h * std::sin(a)) - rnd(w * std::cos(a))) + 12;
        result.cy = std::abs(rnd(h * std::cos(a)) - rnd(w * std::sin(a))) + 12;
    }
    return result;
}

// ---------------------------------------------------------------------------
// Check-box hit test
// ---------------------------------------------------------------------------

bool TExStringGrid::IsInCheckBox(int ACol, int ARow, int XPos, int YPos)
{
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || !(IsCheckKind(g->CellType) || g->CellType == ctRadioButton))
        return false;
    if (!FMouseActions->PreciseCheckBoxCheck)
        return true;
    const TRect R = CellRect(RemapColToDispl(ACol), ARow);
    const int S = FControlLook->CheckSize();
    int top = R.Top + 2;
    if (g->CellVAlign == vaBottom)
        top = R.Bottom - S - 2;
    else if (g->CellVAlign == vaCenter)
        top = R.Top + (R.Bottom - R.Top - S) / 2;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    GetCellAlignment(ACol, ARow, ha, va);
    int left = R.Left + 2;
    if (ha == taRightJustify) {
        left = R.Right - S - 2;
        // The box stands before right-aligned text.
        if (!GetCellEx(ACol, ARow).isEmpty())
            left -= GetCellTextSize(ACol, ARow, false, false).cx;
    } else if (ha == taCenter) {
        left = R.Left + (R.Right - R.Left - S) / 2;
    }
    return XPos >= left && XPos < left + S && YPos >= top && YPos < top + S;
}
