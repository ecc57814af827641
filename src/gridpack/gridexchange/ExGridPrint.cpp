// Printing and print preview of the string grid: the page engine and the
// print, preview and draw entry points.
#include "gridpack/gridexchange/ExGridPrint.h"

#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Printers.h"
#include "platform/controls/RichText.h"
#include "platform/core/DateTime.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <tuple>

namespace {

std::vector<TPrintedPageTexts> gPageTexts;

bool IsTop(TPrintPosition p) { return p == ppTopLeft || p == ppTopRight || p == ppTopCenter; }
bool IsBottom(TPrintPosition p) { return p == ppBottomLeft || p == ppBottomRight || p == ppBottomCenter; }

// Slot index of a position: top-left, top-right, top-centre, bottom-left,
// bottom-right, bottom-centre.
int SlotOf(TPrintPosition p) { return int(p) - 1; }

void JoinSlot(std::array<QString, 6>& frame, TPrintPosition p, const QString& item)
{
    if (p == ppNone)
        return;
    QString& s = frame[size_t(SlotOf(p))];
    if (s.isEmpty())
        s = item;
    else if (p == ppTopLeft || p == ppBottomLeft)
        s = item + QLatin1Char(' ') + s;
    else
        s = s + QLatin1Char(' ') + item;
}

// The text a printed cell shows, by its kind; Kind: 1 for mark-up (Markup
// then holds it), 2 for rich text, 0 otherwise.
QString PrintedText(TExStringGrid* g, int ACol, int ARow, int* Kind = nullptr, QString* Markup = nullptr)
{
    if (Kind)
        *Kind = 0;
    switch (g->GetCellType(ACol, ARow)) {
    case ctDataCheckBox:
    case ctDataImage:
    case ctVirtCheckBox:
    case ctRowCheckBox:
        return QString();
    default:
        break;
    }
    QString t = g->GetFormattedCell(ACol, ARow);
    switch (DetectTextKind(t, g->EnableHTML)) {
    case 1:
        if (Kind)
            *Kind = 1;
        if (Markup)
            *Markup = t;
        return StripMarkup(t);
    case 2:
        if (Kind)
            *Kind = 2;
        return ReadRtf(t.toLatin1()).Text();
    case 3:
        g->GetCalcCellText(ACol, ARow, t);
        return t;
    case 5:
        return DecodeWideText(t);
    default:
        return t;
    }
}

QStringList PrintedLines(TExStringGrid* g, const QString& text)
{
    QStringList lines;
    if (g->Multilinecells && text.contains(QLatin1Char('\n'))) {
        QString t = text;
        t.remove(QLatin1Char('\r'));
        lines = t.split(QLatin1Char('\n'));
    } else {
        lines << text;
    }
    if (g->URLShow && !g->URLFull)
        for (QString& l : lines) {
            const qsizetype i = l.indexOf(QLatin1String("://"));
            if (i >= 0)
                l = l.mid(i + 3);
            else if (l.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
                l = l.mid(7);
        }
    return lines;
}

} // namespace

TGridPrinter::TGridPrinter(TExStringGrid* Grid, TCanvas* Canvas, TMode Mode, bool SelectedOnly,
                           std::shared_ptr<TSizeCache> Cache)
    : FCache(std::move(Cache)), G(Grid), C(Canvas), FMode(Mode), FSelectedOnly(SelectedOnly)
{
}

TGridPrinter::~TGridPrinter() = default;

void TGridPrinter::AddLine(int X1, int Y1, int X2, int Y2, const TPen& Pen)
{
    if (X1 > X2)
        std::swap(X1, X2);
    if (Y1 > Y2)
        std::swap(Y1, Y2);
    FSegs.push_back(TSeg{X1, Y1, X2, Y2, unsigned(Pen.Color()), Pen.Width(), int(Pen.Style())});
}

void TGridPrinter::FlushLines()
{
    // Horizontal lines by pen, y and start; vertical ones by pen, x and
    // start; each run of touching segments becomes one line.
    auto key = [](const TSeg& a) { return std::make_tuple(a.Color, a.Width, a.Style); };
    std::vector<TSeg> h, v, other;
    for (const TSeg& g : FSegs)
        (g.Y1 == g.Y2 ? h : g.X1 == g.X2 ? v : other).push_back(g);
    std::sort(h.begin(), h.end(), [&](const TSeg& a, const TSeg& b) {
        return std::make_tuple(key(a), a.Y1, a.X1) < std::make_tuple(key(b), b.Y1, b.X1);
    });
    std::sort(v.begin(), v.end(), [&](const TSeg& a, const TSeg& b) {
        return std::make_tuple(key(a), a.X1, a.Y1) < std::make_tuple(key(b), b.X1, b.Y1);
    });
    auto draw = [&](const TSeg& g) {
        C->Pen().SetColor(TColor(g.Color));
        C->Pen().SetWidth(g.Width);
        C->Pen().SetStyle(TPenStyle(g.Style));
        C->MoveTo(g.X1, g.Y1);
        C->LineTo(g.X2, g.Y2);
    };
    auto merge = [&](std::vector<TSeg>& list, bool horizontal) {
        size_t i = 0;
        while (i < list.size()) {
            TSeg run = list[i];
            size_t j = i + 1;
            for (; j < list.size(); ++j) {
                const TSeg& n = list[j];
                if (key(n) != key(run))
                    break;
                if (horizontal ? (n.Y1 != run.Y1 || n.X1 > run.X2) : (n.X1 != run.X1 || n.Y1 > run.Y2))
                    break;
                if (horizontal)
                    run.X2 = std::max(run.X2, n.X2);
                else
                    run.Y2 = std::max(run.Y2, n.Y2);
            }
            draw(run);
            i = j;
        }
    };
    merge(h, true);
    merge(v, false);
    for (const TSeg& g : other)
        draw(g);
    FSegs.clear();
    C->Pen().SetStyle(psSolid);
    C->Pen().SetWidth(1);
}

const std::vector<TPrintedPageTexts>& TGridPrinter::LastPageTexts() { return gPageTexts; }

bool TGridPrinter::RowPrinted(int ARow)
{
    if (!FSelectedOnly)
        return true;
    TMouseActions* ma = G->MouseActions();
    if (ARow < G->FixedRows() && G->PrintSettings()->FixedCellsAlways)
        return true;
    if (ma->DisjunctRowSelect())
        return G->GetRowSelect(ma->RowSelectPersistent ? G->RealRowIndex(ARow) : ARow);
    const TGridRect s = G->Selection();
    return ARow >= s.Top && ARow <= s.Bottom;
}

bool TGridPrinter::ColPrinted(int ACol)
{
    if (!FSelectedOnly)
        return true;
    TMouseActions* ma = G->MouseActions();
    if (ma->DisjunctRowSelect())
        return true;
    if (ACol < G->FixedCols() && G->PrintSettings()->FixedCellsAlways)
        return true;
    if (ma->DisjunctColSelect())
        return G->GetColSelect(ACol);
    const TGridRect s = G->Selection();
    return ACol >= s.Left && ACol <= s.Right;
}

int TGridPrinter::SetFont(const TFont& Source)
{
    // The same font again, at the same scale, is left as it is: the canvas
    // would measure it anew.
    if (FLastFont && FLastFactor == G->Fontscalefactor && FLastFont->SameAs(Source) && FCurLineH > 0 &&
        C->Font().Version() == FLastCanvasVersion)
        return FCurLineH;
    if (!FLastFont)
        FLastFont = std::make_unique<TFont>();
    FLastFont->Assign(Source);
    FLastFactor = G->Fontscalefactor;
    TFont f(Source);
    f.SetHeight(G->MapFontHeight(Source.Size()));
    if (!C->Font().SameAs(f))
        C->Font().Assign(f);
    FLastCanvasVersion = C->Font().Version();
    FCurLineH = C->TextHeight(QStringLiteral("gh"));
    const TFont& cf = C->Font();
    const QString key = cf.Name() + QLatin1Char('|') + QString::number(cf.Height()) + QLatin1Char('|') +
                        QString::number(cf.Style()) + QLatin1Char('|') + QString::number(cf.Orientation());
    auto [it, fresh] = FMemos.try_emplace(key.toStdU16String());
    FMemo = &it->second;
    if (fresh) {
        const int w0 = C->TextWidth(QString(10, QLatin1Char('0')));
        bool same = true;
        for (char d = '1'; d <= '9' && same; ++d)
            same = C->TextWidth(QString(10, QLatin1Char(d))) == w0;
        FMemo->TabularDigits = same;
    }
    return FCurLineH;
}

int TGridPrinter::MeasureWidth(const QString& Text)
{
    if (!FMemo || !FMemo->TabularDigits || FMemo->Widths.size() > 100000)
        return C->TextWidth(Text);
    std::u16string k(reinterpret_cast<const char16_t*>(Text.utf16()), size_t(Text.size()));
    for (char16_t& ch : k)
        if (ch >= u'1' && ch <= u'9')
            ch = u'0';
    auto it = FMemo->Widths.find(k);
    if (it != FMemo->Widths.end())
        return it->second;
    const int w = C->TextWidth(Text);
    FMemo->Widths.emplace(std::move(k), w);
    return w;
}

QStringList TGridPrinter::WrapLines(const QStringList& Lines, int Width)
{
    QStringList out;
    for (const QString& line : Lines) {
        QString current;
        for (const QString& word : line.split(QLatin1Char(' '))) {
            const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
            if (!current.isEmpty() && MeasureWidth(candidate) > Width) {
                out << current;
                current = word;
            } else {
                current = candidate;
            }
        }
        out << current;
    }
    return out;
}

QString TGridPrinter::EndEllipsis(const QString& Text, int Width)
{
    if (C->TextWidth(Text) <= Width)
        return Text;
    const QString dots = QStringLiteral("...");
    QString t = Text;
    while (!t.isEmpty() && C->TextWidth(t + dots) > Width)
        t.chop(1);
    return t + dots;
}

int TGridPrinter::WrapWidth(int ACol, bool WordWrap) const
{
    if (!WordWrap || !G->PrintSettings()->NoAutoSize || ACol < 0 || size_t(ACol) >= FWidths.size())
        return 0;
    return FWidths[size_t(ACol)];
}

namespace {
struct TCellLook {
    TBrush Brush;
    TFont Font;
    TAlignment HA = taLeftJustify;
    TVAlignment VA = vtaTop;
    bool WW = false;
};

void LookOf(TExStringGrid* g, int ACol, int ARow, TCellLook& l)
{
    TGridDrawState state = (ACol < g->FixedCols() || ARow < g->FixedRows()) ? TGridDrawState(gdFixed) : 0;
    TColor to = clNone, mirror = clNone, mirrorTo = clNone;
    TCellGradientDirection gd{};
    l.HA = taLeftJustify;
    l.VA = vtaTop;
    l.WW = false;
    g->GetVisualProperties(ACol, ARow, state, true, false, true, &l.Brush, to, mirror, mirrorTo, &l.Font, l.HA, l.VA,
                           l.WW, gd);
}
} // namespace

void TGridPrinter::CellSize(int ACol, int ARow, int& W, int& H)
{
    int* cw = nullptr;
    int* ch = nullptr;
    if (FCache && G->Fontscalefactor == 1.0) {
        TSizeCache& k = *FCache;
        const int c = ACol - k.Left, r = ARow - k.Top;
        if (c >= 0 && r >= 0 && c < k.Cols && r < k.Rows) {
            const size_t i = size_t(r) * size_t(k.Cols) + size_t(c);
            cw = &k.W[i];
            ch = &k.H[i];
            if (*cw >= 0) {
                W = *cw;
                H = *ch;
                return;
            }
        }
    }
    // One look object for every cell: building fonts and brushes costs.
    // (Made once and never freed: fonts must not outlive the application.)
    static thread_local TCellLook* kept = new TCellLook;
    TCellLook& look = *kept;
    LookOf(G, ACol, ARow, look);
    const int lh = SetFont(look.Font);
    int kind = 0;
    QString markup;
    const QString text = PrintedText(G, ACol, ARow, &kind, &markup);
    int widest = 0;
    int lineCount = 1;
    if (kind == 1) {
        const TSize need = HtmlExtent(ACol, ARow, markup, look.Font, WrapWidth(ACol, look.WW), PixelScale());
        widest = need.cx;
        W = widest;
        H = need.cy > 0 ? need.cy : lh;
    } else {
        if (!text.isEmpty()) {
            QStringList lines = PrintedLines(G, text);
            if (const int ww = WrapWidth(ACol, look.WW); ww > 0)
                lines = WrapLines(lines, ww);
            lineCount = int(lines.size());
            for (const QString& l : lines)
                widest = std::max(widest, MeasureWidth(l));
        }
        W = widest;
        H = lh * lineCount;
    }
    int angle = 0;
    if (G->IsRotated(ACol, ARow, angle) && angle % 360 != 0) {
        const double a = angle * M_PI / 180.0;
        const double w = std::abs(W * std::cos(a)) + std::abs(H * std::sin(a));
        const double h = std::abs(W * std::sin(a)) + std::abs(H * std::cos(a));
        W = int(std::lround(w));
        H = int(std::lround(h));
    }
    if (G->PrintSettings()->PrintGraphics) {
        // The graphic beside the text widens the cell; either way the cell
        // holds the whole graphic.
        const TPoint g = GraphicExtent(ACol, ARow);
        if (g.X > 0 || g.Y > 0) {
            const TRect beside = TextBesideGraphic(ACol, ARow, TRect(0, 0, 0, 0));
            W = std::max(W + beside.Left - beside.Right, g.X);
            H = std::max(H + beside.Bottom - beside.Top, g.Y);
        }
    }
    if (cw) {
        *cw = W;
        *ch = H;
    }
}

int TGridPrinter::RowHeight(int ARow)
{
    TPrintSettings* ps = G->PrintSettings();
    if (ps->NoAutoSizeRow)
        return int(std::lround(G->RowHeights(ARow) * FScale)) - 4;
    if (ARow == FLastRow)
        return FLastRowHeight;
    int h = 0;
    if (ps->UseFixedHeight) {
        h = ps->FixedHeight;
    } else {
        int lastH = 0;
        bool any = false;
        G->Fontscalefactor = FFit;
        for (int c = G->FPrintRect.Left; c <= G->FPrintRect.Right; ++c) {
            int cw = 0, ch = 0;
            if (G->CellSpan(c, ARow).Y > 0 || !G->IsBaseCell(c, ARow)) {
                if (c == G->FPrintRect.Right && !any) {
                    CellSize(c, ARow, cw, ch);
                    lastH = ch;
                }
                continue;
            }
            CellSize(c, ARow, cw, ch);
            h = std::max(h, ch);
            any = true;
        }
        G->Fontscalefactor = 1.0;
        if (!any)
            h = lastH;
        h += h / 8;
        if (G->OnPrintSetRowHeight)
            G->OnPrintSetRowHeight(G, ARow, h);
    }
    FLastRow = ARow;
    FLastRowHeight = h;
    return h;
}

QString TGridPrinter::PageNumberText(TExStringGrid* Grid, int Page, int PageInBand, int Band, int Bands, int Total)
{
    TPrintSettings* ps = Grid->PrintSettings();
    QString num;
    if (Bands > 1) {
        num = QString::number(PageInBand + 1) + QLatin1Char('-') + QString::number(Band + 1);
    } else {
        num = QString::number(Page + ps->PageNumberOffset + 1);
        if (!ps->PageNumSep.isEmpty() && Total != INT_MAX && Total > 1)
            num += ps->PageNumSep + QString::number(Total + ps->MaxPagesOffset);
    }
    Grid->PrintGetPageNum(Page + 1, Band + 1, num);
    return ps->PagePrefix + QLatin1Char(' ') + num + QLatin1Char(' ') + ps->PageSuffix;
}

void TGridPrinter::FrameTexts(int Page, int PageInBand, int Band, int Bands)
{
    TPrintSettings* ps = G->PrintSettings();
    std::array<QString, 6> frame;
    const TDateTime now = Now();
    JoinSlot(frame, ps->Time, FormatDateTime(QStringLiteral("hh:nn"), now));
    JoinSlot(frame, ps->Date, FormatDateTime(ps->DateFormat, now));
    if (ps->PageNr != ppNone)
        JoinSlot(frame, ps->PageNr, PageNumberText(G, Page, PageInBand, Band, Bands, G->FPrintPageNum));
    QStringList titleLines;
    // A mark-up title is rendered as one block after the slot texts.
    const bool htmlTitle = !HtmlTitle().isEmpty();
    std::array<QString, 6> recorded = frame;
    if (ps->Title != ppNone) {
        if (!ps->TitleText.isEmpty()) {
            titleLines << ps->TitleText;
        } else {
            for (int i = 0; i < ps->TitleLines()->Count(); ++i)
                titleLines << StripMarkup(ps->TitleLines()->Strings(i));
        }
        if (!titleLines.isEmpty()) {
            JoinSlot(recorded, ps->Title, titleLines.first());
            if (!htmlTitle)
                JoinSlot(frame, ps->Title, titleLines.first());
        }
        if (htmlTitle)
            titleLines.clear();
    }
    {
        TPrintedPageTexts t;
        t.Page = Page + 1;
        t.Slots = recorded;
        gPageTexts.push_back(t);
    }

    C->SetBkMode(TRANSPARENT);
    for (int i = 0; i < 6; ++i) {
        const bool top = i < 3;
        SetFont(top ? ps->HeaderFont : ps->FooterFont);
        const int lh = top ? FHeaderH : FFooterH;
        QStringList texts;
        texts << frame[size_t(i)];
        if (SlotOf(ps->Title) == i)
            texts << titleLines.mid(1);
        int y = top ? -ps->HeaderSize : FPageBottom + ps->FooterSize + lh + FGap;
        for (const QString& t : texts) {
            if (!t.isEmpty()) {
                const int tw = C->TextWidth(t);
                int x = ps->LeftSize;
                if (i == 1 || i == 4)
                    x = FPageW - tw - ps->RightSize - 20;
                else if (i == 2 || i == 5)
                    x = (FPageW - tw) / 2;
                C->TextOut(x, y, t);
            }
            y += top ? -lh : lh;
        }
    }
    if (htmlTitle) {
        const int slot = SlotOf(ps->Title);
        DrawHtmlTitle(slot, slot < 3 ? -ps->HeaderSize : FPageBottom + ps->FooterSize + FFooterH + FGap);
    }
}

void TGridPrinter::PrintCell(int ACol, int ARow, int Left, int Right, int Top, int Bottom, bool Cut)
{
    TPrintSettings* ps = G->PrintSettings();
    TCellLook look;
    LookOf(G, ACol, ARow, look);
    if (look.Brush.Color() != clNone && look.Brush.Color() != clWhite) {
        C->Brush().SetColor(look.Brush.Color());
        C->FillRect(TRect(Left, Top, Right, Bottom));
    }
    // Lines.
    TCellBorders sides = 0;
    const TCellBorders all = CellBorderBit(cbTop) | CellBorderBit(cbLeft) | CellBorderBit(cbRight) |
                             CellBorderBit(cbBottom);
    switch (ps->Borders) {
    case pbSingle:
    case pbDouble: sides = all; break;
    case pbHorizontal:
    case pbAroundHorizontal: sides = CellBorderBit(cbTop) | CellBorderBit(cbBottom); break;
    case pbVertical:
    case pbAroundVertical: sides = CellBorderBit(cbLeft) | CellBorderBit(cbRight); break;
    default: break;
    }
    TPen pen;
    pen.SetColor(ps->BorderColor);
    pen.SetWidth(1);
    G->GetCellPrintBorder(ACol, ARow, &pen, sides);
    if (Cut)
        sides &= ~CellBorderBit(cbBottom);
    if (sides & CellBorderBit(cbTop))
        AddLine(Left, Top, Right, Top, pen);
    if (sides & CellBorderBit(cbBottom))
        AddLine(Left, Bottom, Right, Bottom, pen);
    if (sides & CellBorderBit(cbLeft))
        AddLine(Left, Top, Left, Bottom, pen);
    if (sides & CellBorderBit(cbRight))
        AddLine(Right, Top, Right, Bottom, pen);
    // Text, beside a printed graphic.
    const bool graphics = ps->PrintGraphics;
    const int back = look.Brush.Color();
    if (graphics)
        DrawGraphic(ACol, ARow, TRect(Left, Top, Right, Bottom), back, look.HA, look.VA, 0, true);
    const TRect outer(Left, Top, Right, Bottom);
    const TRect tr = graphics ? TextBesideGraphic(ACol, ARow, outer) : outer;
    Left = tr.Left;
    Right = tr.Right;
    Top = tr.Top;
    Bottom = tr.Bottom;
    int kind = 0;
    QString markup;
    const QString text = PrintedText(G, ACol, ARow, &kind, &markup);
    int textWidth = 0; // screen pixels, for a graphic placed after the text
    if (kind == 1) {
        const double k = PixelScale();
        const TSize drawn = DrawHtml(ACol, ARow, markup, look.Font,
                                     TRect(Left + FHalfG, Top - FGap, Right - FHalfG, Bottom + FGap), look.HA, look.VA, k);
        textWidth = int(std::lround(drawn.cx / k));
    } else if (kind == 2) {
        DrawRich(ACol, ARow, TRect(Left + FHalfG, Top - FGap, Right - FHalfG, Bottom + FGap));
    } else if (!text.isEmpty()) {
        SetFont(look.Font);
        C->SetBkMode(TRANSPARENT);
        int angle = 0;
        if (G->IsRotated(ACol, ARow, angle) && angle % 360 != 0) {
            // Placed in the upright (y down) form of the cell.
            const TRect up(Left, -Top, Right, -Bottom);
            const TPoint o = G->PlaceRotatedText(C, up, text, angle, look.HA, look.VA);
            C->Font().SetOrientation(angle * 10);
            C->TextOut(o.X, -o.Y, text);
            C->Font().SetOrientation(0);
        } else {
            QStringList lines = PrintedLines(G, text);
            if (const int ww = WrapWidth(ACol, look.WW); ww > 0)
                lines = WrapLines(lines, ww);
            else if (ps->NoAutoSize && G->EnhTextSize)
                for (QString& l : lines)
                    l = EndEllipsis(l, Right - Left - 2 * FHalfG);
            const int lh = C->TextHeight(QStringLiteral("gh"));
            const int blockH = lh * int(lines.size());
            int y = Top - FGap;
            if (look.VA == vtaCenter)
                y = Top - (Top - Bottom - blockH) / 2;
            else if (look.VA == vtaBottom)
                y = Bottom + FGap + blockH;
            for (const QString& l : lines) {
                if (y - lh < Bottom && l != lines.first())
                    break;
                int x = Left + FHalfG;
                if (look.HA == taRightJustify || look.HA == taCenter) {
                    const int tw = C->TextWidth(l);
                    x = look.HA == taRightJustify ? Right - FHalfG - tw : Left + (Right - Left - tw) / 2;
                }
                C->TextOut(x, y, l);
                if (graphics)
                    textWidth = std::max(textWidth, C->TextWidth(l));
                y -= lh;
            }
            textWidth = int(std::lround(textWidth / PixelScale()));
        }
    }
    if (graphics)
        DrawGraphic(ACol, ARow, outer, back, look.HA, look.VA, textWidth, false);
    if (G->OnCustomCellDraw) {
        TGridDrawState st = (ACol < G->FixedCols() || ARow < G->FixedRows()) ? TGridDrawState(gdFixed) : 0;
        SetFont(ps->Font);
        G->OnCustomCellDraw(G, C, ACol, ARow, st, outer, true);
    }
}

void TGridPrinter::PrintRow(int ARow, int Y, const TBand& Band, const std::vector<int>& Pos, bool InRange)
{
    if (!InRange || !Drawing())
        return;
    const int h = PrintedRowHeight(ARow);
    G->Fontscalefactor = FFit;
    auto cellsOf = [&](int first, int last, const std::vector<int>& pos) {
        for (int c = first; c <= last; ++c) {
            if (!ColPrinted(c) || !G->IsBaseCell(c, ARow))
                continue;
            const TPoint span = G->CellSpan(c, ARow);
            int right = pos[size_t(c)] + FWidths[size_t(c)] + FSpacing;
            for (int k = 1; k <= span.X && c + k < int(FWidths.size()); ++k)
                right += FWidths[size_t(c + k)] + FSpacing;
            int bottom = Y - h;
            for (int k = 1; k <= span.Y && ARow + k < G->RowCount(); ++k) {
                const int sh = int(std::lround(G->RowHeights(ARow + k) * 254.0 / FScreenDpi));
                bottom -= sh + sh / 8 + 2 * FGap + FRowSpacing;
            }
            bool cut = false;
            if (bottom < FPageBottom + FFooterZone) {
                bottom = FPageBottom + FFooterZone;
                cut = true;
            }
            PrintCell(c, ARow, pos[size_t(c)], right, Y, bottom, cut);
        }
    };
    if (Band.FixedWidth > 0)
        cellsOf(0, G->FixedCols() - 1, FFixedPos);
    cellsOf(Band.First, Band.Last, Pos);
    G->Fontscalefactor = 1.0;
}

void TGridPrinter::PageLines(const TBand& Band, const std::vector<int>& FixedPos, int Bottom)
{
    TPrintSettings* ps = G->PrintSettings();
    const TPrintBorders b = ps->Borders;
    const int top = -FHeaderZone - ps->TitleSpacing;
    const int left = Band.FixedWidth > 0 ? FixedPos[0] : FIndents[size_t(Band.First)];
    const int right = FIndents[size_t(Band.Last + 1)];
    C->Pen().SetColor(clBlack);
    C->Pen().SetStyle(ps->BorderStyle);
    C->Pen().SetWidth(b == pbDouble ? 10 : 2);
    const int bottom = Bottom - FGap / 2;
    if (b == pbAround || b == pbAroundVertical || b == pbAroundHorizontal) {
        C->MoveTo(left, top);
        C->LineTo(right, top);
        C->LineTo(right, bottom);
        C->LineTo(left, bottom);
        C->LineTo(left, top);
    }
    if (b == pbDouble || b == pbHorizontal || b == pbAroundHorizontal) {
        C->MoveTo(left, Bottom);
        C->LineTo(right, Bottom);
    }
    if ((b == pbDouble || b == pbVertical || b == pbAroundVertical) && Band.FixedWidth > 0) {
        for (int c = 0; c < G->FixedCols(); ++c) {
            C->MoveTo(FixedPos[size_t(c)], top);
            C->LineTo(FixedPos[size_t(c)], Bottom);
        }
    }
    C->Pen().SetStyle(psSolid);
    C->Pen().SetWidth(1);
}

int TGridPrinter::Run()
{
    TPrintSettings* ps = G->PrintSettings();
    const TGridRect pr = G->FPrintRect;
    if (FMode == pmPreview || FMode == pmPrint)
        gPageTexts.clear();

    // 1. Scale and units.
    FScreenDpi = Screen() ? Screen()->PixelsPerInch() : 96;
    if (FScreenDpi <= 0)
        FScreenDpi = 96;
    const int oldMode = C->SetMapMode(MM_LOMETRIC);
    const int dpi10 = C->LPtoDP(TPoint(2540, 0)).X - C->LPtoDP(TPoint(0, 0)).X;
    FScale = dpi10 > 0 ? dpi10 / 10.0 / FScreenDpi : 1.0;
    G->Fontscalefactor = 1.0;
    struct TRestore {
        TCanvas* C;
        int Mode;
        TExStringGrid* G;
        ~TRestore()
        {
            C->SetMapMode(Mode ? Mode : MM_TEXT);
            G->Fontscalefactor = 1.0;
        }
    } restore{C, oldMode, G};

    // 2. Line heights.
    SetFont(ps->HeaderFont);
    FHeaderH = C->TextHeight(QStringLiteral("gh"));
    SetFont(ps->FooterFont);
    FFooterH = C->TextHeight(QStringLiteral("gh"));
    SetFont(ps->Font);
    FLineH = C->TextHeight(QStringLiteral("gh"));
    FGap = FLineH / 8;
    FHalfG = C->TextWidth(QStringLiteral("g")) / 2;

    // 3. Page.
    if (FHasPage) {
        FPageW = FPage.Width();
        FPageBottom = -FPage.Height();
    } else if (FMode == pmPrint) {
        const TRect cr = C->ClipRect();
        FPageW = cr.Right - cr.Left;
        FPageBottom = cr.Bottom;
    } else if (FMode == pmCountPrint) {
        FPageW = G->PrevRect.Width();
        FPageBottom = -G->PrevRect.Height();
    } else {
        const TPoint a = C->DPtoLP(TPoint(G->PrevRect.Left, G->PrevRect.Top));
        const TPoint z = C->DPtoLP(TPoint(G->PrevRect.Right, G->PrevRect.Bottom));
        FPageW = z.X - a.X;
        FPageBottom = z.Y - a.Y;
    }
    G->FPrintPageRect = TRect(0, 0, FPageW, FPageBottom);

    // 4, 5. Column widths.
    FSpacing = ps->UseFixedWidth ? 0 : ps->ColumnSpacing + 20;
    FRowSpacing = ps->RowSpacing;
    const int cols = std::max(G->ColCount(), pr.Right + 1);
    FWidths.assign(size_t(cols) + 1, 0);
    FIndents.assign(size_t(cols) + 1, 0);
    FFixedPos.assign(size_t(cols) + 1, 0);
    for (int c = pr.Left; c <= pr.Right; ++c) {
        if (!ColPrinted(c))
            continue;
        int w = 0;
        if (ps->UseFixedWidth) {
            w = ps->FixedWidth;
        } else if (ps->NoAutoSize) {
            w = int(std::lround(G->ColWidths(c) * 254.0 / FScreenDpi));
        } else {
            auto measure = [&](int r) {
                if (!RowPrinted(r) || G->CellSpan(c, r).X > 0 || !G->IsBaseCell(c, r))
                    return;
                int cw = 0, ch = 0;
                CellSize(c, r, cw, ch);
                w = std::max(w, cw);
            };
            for (int r = pr.Top; r <= pr.Bottom; ++r)
                measure(r);
            if (ps->RepeatFixedRows)
                for (int r = 0; r < std::min(G->FixedRows(), pr.Top); ++r)
                    measure(r);
        }
        FWidths[size_t(c)] = w;
    }
    if (ps->RepeatFixedCols)
        for (int c = 0; c < std::min(G->FixedCols(), pr.Left); ++c) {
            int w = 0;
            if (ps->UseFixedWidth)
                w = ps->FixedWidth;
            else if (ps->NoAutoSize)
                w = int(std::lround(G->ColWidths(c) * 254.0 / FScreenDpi));
            else
                for (int r = pr.Top; r <= pr.Bottom; ++r) {
                    int cw = 0, ch = 0;
                    CellSize(c, r, cw, ch);
                    w = std::max(w, cw);
                }
            FWidths[size_t(c)] = w;
        }

    // 6. Fit to page.
    FFit = 1.0;
    if (ps->FitToPage != fpNever) {
        const int v = (pr.Right - pr.Left + 1) * FSpacing;
        int sum = 0;
        for (int c = pr.Left; c <= pr.Right; ++c)
            if (ColPrinted(c))
                sum += FWidths[size_t(c)] + FSpacing;
        if (sum != v) {
            double f = double(FPageW - ps->RightSize - ps->LeftSize - v) / double(sum - v);
            if ((f > 1 && ps->FitToPage == fpShrink) || (f < 1 && ps->FitToPage == fpGrow))
                f = 1;
            if (ps->FitToPage == fpCustom) {
                bool allow = true;
                if (G->OnFitToPage)
                    G->OnFitToPage(G, f, allow);
                if (!allow)
                    f = 1;
            }
            // A factor of nothing or less would lay every column on top of
            // the other.
            if (!(f > 0))
                f = 1;
            if (f != 1) {
                for (int& w : FWidths)
                    w = int(std::lround(w * f));
                FFit = f;
            }
        }
    }

    // 7.
    if (G->OnPrintSetColumnWidth)
        for (int c = pr.Left; c <= pr.Right; ++c)
            G->OnPrintSetColumnWidth(G, c, FWidths[size_t(c)]);

    // Header and footer zones.
    const bool anyTop = IsTop(ps->Time) || IsTop(ps->Date) || IsTop(ps->PageNr) || IsTop(ps->Title);
    const bool anyBottom =
        IsBottom(ps->Time) || IsBottom(ps->Date) || IsBottom(ps->PageNr) || IsBottom(ps->Title);
    const int titleExtra = ps->TitleText.isEmpty() && ps->TitleLines()->Count() > 1 ? ps->TitleLines()->Count() - 1 : 0;
    FHtmlTitleH = IsTop(ps->Title) ? HtmlTitleHeight() : 0;
    const int topTitle = FHtmlTitleH > 0 ? FHtmlTitleH + ps->HeaderSize : titleExtra * FHeaderH;
    FHeaderZone = anyTop ? FGap + FHeaderH + ps->HeaderSize + (IsTop(ps->Title) ? topTitle : 0) : ps->HeaderSize;
    FFooterZone = anyBottom ? 2 * FGap + 2 * FFooterH + ps->FooterSize + (IsBottom(ps->Title) ? titleExtra * FFooterH : 0)
                            : FGap + FFooterH + ps->FooterSize;

    // 8. Column bands.
    std::vector<TBand> bands;
    {
        int col = pr.Left;
        int fixedW = 0;
        if (ps->RepeatFixedCols)
            for (int c = 0; c < G->FixedCols(); ++c)
                if (ColPrinted(c))
                    fixedW += FWidths[size_t(c)] + FSpacing;
        while (col <= pr.Right) {
            TBand b;
            b.First = col;
            b.FixedWidth = (ps->RepeatFixedCols && G->FixedCols() > 0 && !(bands.empty() && pr.Left <= G->FixedCols()))
                               ? fixedW
                               : 0;
            int used = b.FixedWidth;
            int c = col;
            while (c <= pr.Right) {
                const int add = ColPrinted(c) ? FWidths[size_t(c)] + FSpacing : 0;
                if (c > col && used + add > FPageW - ps->RightSize)
                    break;
                used += add;
                ++c;
            }
            b.Last = c - 1;
            b.UsedWidth = used;
            bands.push_back(b);
            col = c;
        }
    }

    const bool printing = FMode == pmPrint;
    TPrinter* prn = Printer();
    int page = 0; // pages laid out so far
    bool printedAny = false;
    bool cancelled = false;
    bool stop = false;
    int dataRows = 0;
    for (int r = pr.Top; r <= pr.Bottom; ++r)
        if (r >= G->FixedRows())
            ++dataRows;
    const int notify = dataRows < G->RowCount() - G->FixedRows() ? 3 : 1;

    for (size_t bi = 0; bi < bands.size() && !cancelled && !stop; ++bi) {
        const TBand& band = bands[bi];
        G->FPrintPageWidth = band.UsedWidth;
        G->FPrintColStart = band.First;
        G->FPrintColEnd = band.Last;
        // Left positions.
        int pos = ps->Centered ? 0 : ps->LeftSize;
        for (int c = band.First; c <= band.Last; ++c) {
            FIndents[size_t(c)] = pos;
            if (ColPrinted(c))
                pos += FWidths[size_t(c)] + FSpacing;
        }
        FIndents[size_t(band.Last) + 1] = pos;
        int fpos = ps->Centered ? 0 : ps->LeftSize;
        if (band.FixedWidth > 0)
            for (int c = 0; c < G->FixedCols(); ++c) {
                FFixedPos[size_t(c)] = fpos;
                fpos += FWidths[size_t(c)] + FSpacing;
            }
        const int shift = ps->Centered && band.UsedWidth < FPageW ? (FPageW - band.UsedWidth) / 2 : 0;
        for (int c = band.First; c <= band.Last + 1; ++c)
            FIndents[size_t(c)] += shift + band.FixedWidth;
        if (band.FixedWidth > 0)
            for (int c = 0; c < G->FixedCols(); ++c)
                FFixedPos[size_t(c)] += shift;
        for (int c = band.First; c <= band.Last + 1 && c < int(FIndents.size()); ++c) {
            if (size_t(c) >= G->FPrintColOffset.size()) {
                G->FPrintColOffset.resize(size_t(c) + 1, 0);
                G->FPrintColWidth.resize(size_t(c) + 1, 0);
            }
            G->FPrintColOffset[size_t(c)] = FIndents[size_t(c)];
            G->FPrintColWidth[size_t(c)] = FWidths[size_t(c)];
        }

        int row = pr.Top;
        int pageInBand = 0;
        while (!cancelled && !stop) {
            const bool inRange = page + 1 >= G->FPrintPageFrom && page + 1 <= G->FPrintPageTo;
            if (Drawing() && inRange) {
                if (printing && printedAny && !FHasPage) {
                    prn->NewPage();
                    C = prn->Canvas();
                    C->SetMapMode(MM_LOMETRIC);
                    restore.C = C;
                }
                printedAny = true;
            }
            if (Drawing() && G->OnPrintPage)
                G->OnPrintPage(G, C, page + 1, FPageW, FPageBottom);
            if (Drawing() && inRange)
                FrameTexts(page, pageInBand, int(bi), int(bands.size()));
            int y = -FHeaderZone - ps->TitleSpacing - FHtmlTitleH;
            if (ps->RepeatFixedRows && G->FixedRows() > 0 && !(pageInBand == 0 && row < G->FixedRows()))
                for (int fr = 0; fr < G->FixedRows(); ++fr) {
                    if (!RowPrinted(fr))
                        continue;
                    PrintRow(fr, y, band, FIndents, inRange);
                    y -= PrintedRowHeight(fr);
                }
            int rowsOnPage = 0;
            int lastRow = row;
            while (row <= pr.Bottom) {
                if (!RowPrinted(row) || (ps->RepeatFixedRows && pageInBand > 0 && row < G->FixedRows())) {
                    ++row;
                    continue;
                }
                const int h = PrintedRowHeight(row);
                // A row taller than a whole page goes on a page of its own,
                // cut at the footer zone.
                if (!(y - h > FPageBottom + FFooterZone) && rowsOnPage > 0)
                    break;
                PrintRow(row, y, band, FIndents, inRange);
                if (printing)
                    G->ExportNotification(notify, row);
                y -= h;
                lastRow = row;
                ++row;
                ++rowsOnPage;
                bool np = false;
                if (G->OnPrintNewPage)
                    G->OnPrintNewPage(G, row, np);
                if (np)
                    break;
            }
            if (Drawing() && inRange) {
                FlushLines();
                PageLines(band, FFixedPos, std::max(y, FPageBottom + FFooterZone));
            }
            if (Drawing()) {
                if (G->OnPrintPageDone)
                    G->OnPrintPageDone(G, C, lastRow, y, page + 1, FPageW, FPageBottom);
                bool cancel = false;
                if (G->OnPrintCancel)
                    G->OnPrintCancel(G, page + 1, cancel);
                if (cancel)
                    cancelled = true;
            }
            ++page;
            ++pageInBand;
            if (G->FastPrint && page >= G->FPrintPageTo)
                stop = true;
            if (row > pr.Bottom)
                break;
        }
    }
    G->Fontscalefactor = 1.0;
    return page;
}

// ---------------------------------------------------------------------------
// Entry points
// ---------------------------------------------------------------------------

namespace {

struct TExportFrame {
    explicit TExportFrame(TExStringGrid* g) : G(g) { G->ExportNotification(0, -1); }
    ~TExportFrame() { G->ExportNotification(2, -1); }
    TExStringGrid* G;
};

TGridRect AllCells(TExStringGrid* g) { return TGridRect{0, 0, g->ColCount() - 1, g->RowCount() - 1}; }

// A size cache for the cells of r, unless there are too many of them.
std::shared_ptr<TGridPrinter::TSizeCache> NewSizeCache(const TGridRect& r)
{
    const long long cols = r.Right - r.Left + 1, rows = r.Bottom - r.Top + 1;
    if (cols <= 0 || rows <= 0 || cols * rows > 4000000)
        return nullptr;
    auto k = std::make_shared<TGridPrinter::TSizeCache>();
    k->Left = r.Left;
    k->Top = r.Top;
    k->Cols = int(cols);
    k->Rows = int(rows);
    k->W.assign(size_t(cols * rows), -1);
    k->H.assign(size_t(cols * rows), -1);
    return k;
}

} // namespace

namespace GridPrinting {

void DoPrint(TExStringGrid* g, const TGridRect& r, bool selectedOnly)
{
    TPrintSettings* ps = g->PrintSettings();
    TPrinter* prn = Printer();
    TExportFrame frame(g);
    g->FPrintRect = r;
    if (!ps->UseDefaultOrientation)
        prn->SetOrientation(ps->Orientation == poLandscape ? pokLandscape : pokPortrait);
    g->PrevRect = TRect(0, 0, int(std::lround(prn->PageWidth() * 254.0 / prn->PixelsPerInchX())),
                        int(std::lround(prn->PageHeight() * 254.0 / prn->PixelsPerInchY())));
    prn->Title = ps->JobName;
    prn->BeginDoc();
    struct TEnd {
        TPrinter* P;
        ~TEnd()
        {
            if (P->Printing())
                P->EndDoc();
        }
    } end{prn};
    int n = INT_MAX;
    g->SetPrintPageRange(1, INT_MAX);
    const auto cache = NewSizeCache(r);
    if (!g->FastPrint) {
        TGridPrinter counter(g, prn->Canvas(), TGridPrinter::pmCountPrint, selectedOnly, cache);
        n = counter.Run();
    }
    int from = 1, to = n;
    g->SetPrintPageRange(from, to, n);
    if (g->OnPrintStart) {
        prn->Abort();
        g->OnPrintStart(g, n, from, to);
        if (from == 0 || to == 0 || to < from)
            return;
        g->SetPrintPageRange(from, to, to);
        prn->BeginDoc();
    }
    TGridPrinter printer(g, prn->Canvas(), TGridPrinter::pmPrint, selectedOnly, cache);
    const int printed = printer.Run();
    // Without the counting pass the count is known only now.
    if (g->PrintNrOfPages() == INT_MAX)
        g->SetPrintPageRange(g->PrintPageFrom(), g->PrintPageTo(), printed);
}

void DoPreview(TExStringGrid* g, TCanvas* c, const TRect& display, const TGridRect& r, bool selectedOnly)
{
    TExportFrame frame(g);
    g->FPrintRect = r;
    const int oldMode = c->SetMapMode(MM_LOMETRIC);
    g->PrevRect = display;
    int pages = 1;
    const auto cache = NewSizeCache(r);
    if (!g->FastPrint) {
        TGridPrinter counter(g, c, TGridPrinter::pmCountPreview, selectedOnly, cache);
        pages = counter.Run();
    }
    g->IsPrintPreview = true;
    int from = 1, to = pages;
    if (g->OnPrintStart)
        g->OnPrintStart(g, pages, from, to);
    const bool draw = from > 0 && to > 0 && to >= from;
    g->SetPrintPageRange(g->PrintPageFrom(), g->PrintPageTo(), pages);
    if (draw) {
        // The page drawn at the display rectangle's top-left corner.
        const TPoint org = c->WindowOrg();
        c->SetMapMode(MM_LOMETRIC);
        const TPoint lp = c->DPtoLP(TPoint(display.Left, display.Top));
        c->SetWindowOrg(org.X - (lp.X - org.X), org.Y - (lp.Y - org.Y));
        g->PrevRect = TRect(0, 0, display.Width(), display.Height());
        TGridPrinter printer(g, c, TGridPrinter::pmPreview, selectedOnly, cache);
        printer.Run();
        c->SetWindowOrg(org.X, org.Y);
        g->PrevRect = display;
    }
    c->SetMapMode(oldMode ? oldMode : MM_TEXT);
    g->IsPrintPreview = false;
}

} // namespace GridPrinting

void TExStringGrid::SetPrintPageRange(int From, int To, int Pages)
{
    FPrintPageFrom = From;
    FPrintPageTo = To;
    if (Pages >= 0)
        FPrintPageNum = Pages;
}

void TExStringGrid::Print() { GridPrinting::DoPrint(this, AllCells(this), false); }
void TExStringGrid::PrintRect(const TGridRect& Gridrect) { GridPrinting::DoPrint(this, Gridrect, false); }
void TExStringGrid::PrintSelection() { GridPrinting::DoPrint(this, Selection(), false); }
void TExStringGrid::PrintSelectedRows() { GridPrinting::DoPrint(this, AllCells(this), true); }
void TExStringGrid::PrintSelectedCols() { GridPrinting::DoPrint(this, AllCells(this), true); }

void TExStringGrid::PrintPreview(TCanvas* Canvas, const TRect& Displayrect)
{
    GridPrinting::DoPreview(this, Canvas, Displayrect, AllCells(this), false);
}

void TExStringGrid::PrintPreviewRect(TCanvas* Canvas, const TRect& Displayrect, const TGridRect& Gridrect)
{
    GridPrinting::DoPreview(this, Canvas, Displayrect, Gridrect, false);
}

void TExStringGrid::PrintPreviewSelection(TCanvas* Canvas, const TRect& Displayrect)
{
    GridPrinting::DoPreview(this, Canvas, Displayrect, Selection(), false);
}

void TExStringGrid::PrintPreviewSelectedRows(TCanvas* Canvas, const TRect& Displayrect)
{
    GridPrinting::DoPreview(this, Canvas, Displayrect, AllCells(this), true);
}

void TExStringGrid::PrintPreviewSelectedCols(TCanvas* Canvas, const TRect& Displayrect)
{
    GridPrinting::DoPreview(this, Canvas, Displayrect, AllCells(this), true);
}

void TExStringGrid::SetPreviewPage(int Value) { SetPrintPageRange(Value, Value, -1); }

void TExStringGrid::PrintDraw(TCanvas* Canvas, const TRect& DrawRect)
{
    PrintDrawRect(Canvas, DrawRect, AllCells(this));
}

void TExStringGrid::PrintDrawRect(TCanvas* Canvas, const TRect& DrawRect, const TGridRect& Gridrect)
{
    FPrintRect = Gridrect;
    SetPrintPageRange(1, 1, -1);
    const int oldMode = Canvas->SetMapMode(MM_LOMETRIC);
    const TPoint a = Canvas->DPtoLP(TPoint(DrawRect.Left, DrawRect.Top));
    const TPoint z = Canvas->DPtoLP(TPoint(DrawRect.Right, DrawRect.Bottom));
    PrevRect = TRect(0, 0, z.X - a.X, a.Y - z.Y);
    const TPoint org = Canvas->WindowOrg();
    Canvas->SetWindowOrg(org.X - (a.X - org.X), org.Y - (a.Y - org.Y));
    // Drawn as printed, onto the given canvas and without a printer document.
    TGridPrinter draw(this, Canvas, TGridPrinter::pmPrint, false);
    draw.UsePage(PrevRect);
    draw.Run();
    Canvas->SetWindowOrg(org.X, org.Y);
    Canvas->SetMapMode(oldMode ? oldMode : MM_TEXT);
}

TPoint TExStringGrid::PlaceRotatedText(TCanvas* Canvas, const TRect& R, const QString& Text, int Angle,
                                       TAlignment HA, TVAlignment VA)
{
    const TSize ext = Canvas->TextExtent(Text);
    const double a = Angle * M_PI / 180.0;
    const double ca = std::cos(a), sa = std::sin(a);
    // Corners of the text block turned counter-clockwise about its origin
    // (y pointing down).
    const double xs[4] = {0, ext.cx * ca, ext.cy * sa, ext.cx * ca + ext.cy * sa};
    const double ys[4] = {0, -ext.cx * sa, ext.cy * ca, -ext.cx * sa + ext.cy * ca};
    const double minX = *std::min_element(xs, xs + 4), maxX = *std::max_element(xs, xs + 4);
    const double minY = *std::min_element(ys, ys + 4), maxY = *std::max_element(ys, ys + 4);
    const int bw = int(std::lround(maxX - minX)), bh = int(std::lround(maxY - minY));
    const TRect r(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
    int left = r.Left, top = r.Top;
    if (HA == taRightJustify)
        left = r.Right - bw;
    else if (HA == taCenter)
        left = r.Left + (r.Width() - bw) / 2;
    if (VA == vtaBottom)
        top = r.Bottom - bh;
    else if (VA == vtaCenter)
        top = r.Top + (r.Height() - bh) / 2;
    return TPoint(left - int(std::lround(minX)), top - int(std::lround(minY)));
}
