#include "gridpack/dropdown/ExDropDownUtils.h"

#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/core/FormatSettings.h"
#include "platform/graphics/ImageList.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

void DrawGradientBox(TCanvas* Canvas, const TRect& R, TColor Color, TColor ColorTo, TGradientDirection Direction,
                     int BorderWidth, TColor BorderColor) {
    if (!Canvas) return;
    if (ColorTo != clNone) {
        FillGradientBands(Canvas, Color, ColorTo, 80, R, Direction == gdHorizontal);
    } else if (Color != clNone) {
        Canvas->Brush().SetColor(Color);
        Canvas->FillRect(R);
    }
    // A border of no colour draws nothing.
    if (BorderColor != clNone && BorderWidth > 0) {
        Canvas->Brush().SetStyle(bsClear);
        Canvas->Pen().SetColor(BorderColor);
        Canvas->Pen().SetWidth(BorderWidth);
        Canvas->Rectangle(R);
        Canvas->Pen().SetWidth(1);
    }
}

void DrawImageAndText(TCanvas* Canvas, const TRect& R, const QString& Text, int ImageIndex, TImageList* Images) {
    if (!Canvas) return;
    TRect r = R;
    bool image = false;
    if (Images && ImageIndex >= 0) {
        Images->Draw(Canvas, r.Left + 4, r.Top + (r.Height() - Images->Height()) / 2, ImageIndex);
        r.Left += Images->Width() + 8;
        image = true;
    }
    if (Text.isEmpty()) return;
    unsigned flags = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;
    if (!image) flags |= DT_CENTER;
    Canvas->DrawText(Text, r, flags);
}

void DrawTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, TColor BackColor, const TRect& R) {
    if (!Canvas || !Bitmap || Bitmap->Empty()) return;
    TBitmap work;
    work.SetSize(Bitmap->Width(), Bitmap->Height());
    TCanvas* wc = work.Canvas();
    wc->Brush().SetColor(BackColor);
    wc->FillRect(Rect(0, 0, work.Width(), work.Height()));
    const TColor key = Bitmap->Canvas()->Pixels(0, 0);
    const TRect all = Rect(0, 0, Bitmap->Width(), Bitmap->Height());
    wc->BrushCopy(all, Bitmap, all, key);
    Canvas->CopyRect(R, wc, Rect(0, 0, R.Width(), R.Height()));
}

TSize GetTextExtent(TCanvas* Canvas, const QString& Text) {
    if (!Canvas || Text.isEmpty()) return TSize(0, 0);
    TRect r(0, 0, 1000, 500);
    Canvas->DrawText(Text, r, DT_CALCRECT | DT_SINGLELINE);
    return TSize(r.Right, r.Bottom);
}

QString FitTextToWidth(TCanvas* Canvas, const QString& Text, int MaxWidth, bool Ellipsis) {
    if (!Canvas || GetTextExtent(Canvas, Text).cx <= MaxWidth) return Text;
    const QString tail = Ellipsis ? QStringLiteral("...") : QString();
    for (int i = 0; i < Text.size(); ++i) {
        const QString candidate = Text.left(Text.size() - (i + 1)) + tail;
        if (GetTextExtent(Canvas, candidate).cx < MaxWidth) return candidate;
    }
    return Text;
}

namespace {
// A caption without tags, entities, line breaks or tabs, not ending in a
// blank, is one line of runs that the renderer places side by side.
bool IsPlainCaption(const QString& s) {
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u == u'<' || u == u'>' || u == u'&' || u == u'\r' || u == u'\n' || u == u'\t') return false;
    }
    return !s.endsWith(QLatin1Char(' '));
}

// The renderer's result for a plain caption that fits its line. The
// renderer breaks a line into runs after each blank and places them side by
// side, each measured on its own; the line is as high as the font and
// starts one pixel right of R's left edge; each run is drawn bottom-aligned
// in a band of the font's height with the renderer's text flags, on a clear
// brush. False (nothing done) when the text would wrap, so that the
// renderer itself lays it out.
bool DrawPlainCaption(TCanvas* Canvas, const QString& Text, const TRect& R, TSize& Extent, bool Draw) {
    if (!IsPlainCaption(Text)) return false;
    // The runs: up to and with each blank, then the rest.
    QStringView rest(Text);
    QVarLengthArray<QStringView, 8> runs;
    while (!rest.isEmpty()) {
        const qsizetype blank = rest.indexOf(QLatin1Char(' '));
        const qsizetype n = blank < 0 ? rest.size() : blank + 1;
        runs.append(rest.left(n));
        rest = rest.mid(n);
    }
    QVarLengthArray<int, 8> widths;
    int w = 0;
    for (const QStringView run : runs) {
        widths.append(Canvas->TextWidth(run.toString()));
        w += widths.back();
    }
    // A run reaching the line's width after another would move to the
    // next line.
    if (w >= R.Width() - 1) return false;
    // The font's line height (any text gives it; the last run is measured).
    const int h = Canvas->TextExtent(runs.back().toString()).cy;
    Extent = TSize(w, h);
    Canvas->SetBkMode(TRANSPARENT);
    if (!Draw) return true;
    const TBrush saved(Canvas->Brush());
    Canvas->Brush().SetStyle(bsClear);
    int x = R.Left + 1;
    for (qsizetype i = 0; i < runs.size(); ++i) {
        TRect r(x, R.Top, R.Right, R.Top + h);
        Canvas->DrawText(runs[i].toString(), r, DT_EXTERNALLEADING | DT_EXPANDTABS | DT_SINGLELINE | DT_BOTTOM);
        x += widths[i];
    }
    Canvas->Brush().Assign(saved);
    return true;
}
}  // namespace

void DrawMarkupText(TCanvas* Canvas, const QString& Text, const TRect& R, TSize& Extent, TImageList* Images, bool Draw) {
    Extent = TSize(0, 0);
    if (!Canvas || Text.isEmpty()) return;
    if (DrawPlainCaption(Canvas, Text, R, Extent, Draw)) return;
    THTMLRenderParams p;
    p.Canvas = Canvas;
    p.Text = Text;
    p.Rect = R;
    p.Images = Images;
    p.MeasureOnly = !Draw;
    p.LinkColor = clBlue;
    p.HoverColor = clNone;
    p.HoverFontColor = clNone;
    p.ShadowColor = clGray;
    RenderHTML(p);
    Extent = TSize(p.Width, p.Height);
}

// ---------------------------------------------------------------------------
// Number text
// ---------------------------------------------------------------------------

namespace {
QChar DS() { return ActiveFormatSettings().DecimalSeparator; }
QChar TS() { return ActiveFormatSettings().ThousandSeparator; }
bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
}  // namespace

bool IsRangeSeparator(QChar C) {
    return C == QLatin1Char(',') || C == QLatin1Char('-') || C == QLatin1Char(';');
}

int NumberTextKind(const QString& S) {
    if (S.isEmpty()) return 2;
    const QChar ds = DS(), ts = TS();
    bool isInt = true, isFloat = true, isHex = true;
    int dsCount = 0, minusCount = 0;
    int lastTS = -1;
    for (int p = 1; p <= S.size(); ++p) {
        const QChar c = S[p - 1];
        const bool digit = IsDigit(c);
        const bool minus = c == QLatin1Char('-');
        if (!digit && !minus) isInt = false;
        if (!digit && !minus && c != QLatin1Char(',') && c != QLatin1Char('.')) isFloat = false;
        if (c == ts) {
            // A thousand separator needs three characters after the previous one.
            if (p - lastTS < 3) isFloat = false;
            lastTS = p;
        }
        const bool hexLetter = (c >= QLatin1Char('A') && c <= QLatin1Char('F')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
        if (!digit && !minus && !hexLetter) isHex = false;
        if (c == ds) ++dsCount;
        if (minus) ++minusCount;
    }
    int kind = 2;
    if (isHex && !isInt) kind = 5;
    if (isInt) kind = 0;
    else if (isFloat) kind = 1;
    if (minusCount > 1 || dsCount > 1) kind = 2;
    return kind;
}

QString StripThousandSeparators(const QString& S) {
    QString out = S;
    out.remove(TS());
    return out;
}

int HexDigitValue(QChar C) {
    const char16_t c = C.unicode();
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return 0;
}

int32_t HexToInt(const QString& S) {
    uint32_t sum = 0, weight = 1;
    for (int i = int(S.size()) - 1; i >= 0; --i) {
        sum += uint32_t(HexDigitValue(S[i])) * weight;
        weight *= 16u;
    }
    return int32_t(sum);
}

QString MatchCaseText(const QString& S, bool MatchCase) { return MatchCase ? S : S.toUpper(); }

bool DecimalsFull(const QString& S, int Caret, int PrefixLength, int Precision) {
    const int pos = Caret - PrefixLength;
    if (Precision <= 0 || Precision < S.size() - pos) return false;
    const int ds = int(S.indexOf(DS())) + 1;
    if (ds == 0) return false;
    return pos >= ds && S.size() - ds >= Precision;
}

bool ThousandSeparatorRejected(const QString& S, int Caret, int PrefixLength) {
    const QChar ts = TS();
    if (!S.contains(ts)) return false;
    int pos = Caret - PrefixLength;
    int nearest = int(S.size());
    QString rest = S;
    for (;;) {
        const int q = int(rest.indexOf(ts)) + 1;
        if (q == 0) break;
        const int d = std::abs(q - pos);
        nearest = std::min(nearest, d);
        if (d < 3) return true;
        if (pos > q) pos -= q;
        rest.remove(0, q);
    }
    return nearest > 3;
}

// ---------------------------------------------------------------------------
// Style presets
// ---------------------------------------------------------------------------

namespace {
constexpr TColor N = clNone;
constexpr TColor BtnFace = clBtnFace, Hilite = clHighlight, HiliteText = clHighlightText,
                 InactiveCaption = clInactiveCaption;

// Popup colour, colour-to, whether the border changes and to what; header
// and footer colour, colour-to, font colour and border colour.
constexpr TDropDownStylePreset kDropDownStyles[] = {
    {tsOffice2003Blue, 0xFFFFFF, N, false, 0, 0xFCE1CB, 0xFCE1CB, 0xE0A57D, 0xE0A57D, 0x000000, 0x000000, 0x962D00},
    {tsOffice2003Silver, 0xFFFFFF, N, false, 0, 0xECE2E1, 0xECE2E1, 0xB39698, 0xB39698, 0x000000, 0x947C7C, 0x947C7C},
    {tsOffice2003Olive, 0xFFFFFF, N, true, N, 0xCFF0EA, 0xCFF0EA, 0x8CC0B1, 0x8CC0B1, 0x000000, 0x588060, 0x588060},
    {tsOffice2003Classic, 0xF2F2F2, 0xF2F2F2, true, N, 0x808080, 0x808080, 0x808080, 0x808080, 0xFFFFFF, 0x808080, 0x808080},
    {tsOffice2007Luna, 0xF3E5DA, 0xF0DED0, true, N, 0xFFEFE3, 0xFFEFE3, 0xFFD2AF, 0xFFD2AF, 0x723708, 0xFFD2AF, 0xFFD2AF},
    {tsOffice2007Obsidian, 0xFFFFFF, N, true, N, 0xF2F1F0, 0xF2F1F0, 0xC9C2BD, 0xC9C2BD, 0x433C37, 0x5C534C, 0x5C534C},
    {tsWindowsXP, 0xFFFFFF, N, false, 0, 0xFFFFFF, 0xFFFFFF, BtnFace, BtnFace, 0x000000, 0x808080, 0x808080},
    {tsWhidbey, 0xF5F9FA, 0xF5F9FA, true, N, 0xEBEEEF, 0xEBEEEF, 0x7E9898, 0x7E9898, 0xFFFFFF, 0x962D00, 0x962D00},
    {tsOffice2007Silver, 0xF8F4F1, 0xF0E8E3, true, N, 0xF8F7F6, 0xF8F7F6, 0xE8E0DB, 0xE8E0DB, 0x8B4215, 0x74706F, 0x74706F},
    {tsWindowsVista, 0xFFFFFF, 0xFFFFFF, true, 0x979797, 0xFFFDF9, 0xFFFAF0, 0xFFFAF0, 0xFFFDF9, 0x000000, 0xFCF2DA, 0xFCF2DA},
    {tsWindows7, 0xFFFFFF, 0xFFFFFF, true, 0x979797, 0xFDFBFA, 0xFDFBFA, 0xFDF3EB, 0xFDF3EB, 0x000000, 0xFBD6B8, 0xFBD6B8},
    {tsTerminal, 0xFFFFFF, 0xFFFFFF, true, 0x808080, BtnFace, BtnFace, BtnFace, BtnFace, 0x000000, N, N},
    {tsOffice2010Blue, 0xFFFFFF, 0xF1EFED, true, 0xEDEDEC, 0xFDF6EF, 0xFDF6EF, 0xF0DAC7, 0xF0DAC7, 0x5B391E, 0xC7B29F, 0xC7B29F},
    {tsOffice2010Silver, 0xFFFFFF, 0xF1EFED, true, 0xEDEDEC, 0xFFFFFF, 0xFFFFFF, 0xEDE5E0, 0xEDE5E0, 0x5B391E, 0xD2CDC8, 0xD2CDC8},
    {tsOffice2010Black, 0xFFFFFF, 0xF1EFED, true, 0xEDEDEC, 0xBFBFBF, 0xBFBFBF, 0x919191, 0x919191, 0xD7D7D6, 0x6D6D6D, 0x6D6D6D},
};
static_assert(std::size(kDropDownStyles) == 15, "one row per named style");

// Hot, down, disabled and checked looks shared by the Office 2003 / 2007
// styles and by the Office 2010 styles.
#define OFFICE_STATES 0xEBFDFF, 0xACECFF, 0x99CEDB, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0xF2F2F2, 0xB6B6B6, 0x76AFF1, 0x4190F3, 0x45667B
#define OFFICE2010_STATES 0x8AE3FD, N, 0x58CAF1, 0x6CD0FF, N, 0x308AC2, 0xF2F2F2, 0xB6B6B6, 0x45E1FE, N, 0x4FA0CE

constexpr TButtonStylePreset kButtonStyles[] = {
    {tsOffice2003Blue, 0xFCE1CB, 0xE0A57D, N, OFFICE_STATES},
    {tsOffice2003Silver, 0xECE2E1, 0xB39698, N, OFFICE_STATES},
    {tsOffice2003Olive, 0xCFF0EA, 0x8CC0B1, N, OFFICE_STATES},
    {tsOffice2003Classic, 0xFFFFFF, 0xC9D1D5, N, 0xD2BDB6, 0xD2BDB6, 0x808080, 0xB59285, 0xB59285, 0x808080, 0xD8D5D4,
     0xD8D5D4, 0xD8D5D4, 0xD8D5D4, 0x808080},
    {tsOffice2007Luna, 0xFFEFE3, 0xFFDDC4, N, OFFICE_STATES},
    {tsOffice2007Obsidian, 0xF2F1F0, 0xC9C2BD, N, OFFICE_STATES},
    {tsWindowsXP, 0xFFFFFF, BtnFace, N, 0xEFD3C6, 0xEFD3C6, Hilite, InactiveCaption, InactiveCaption, Hilite, 0xB6B6B6,
     0xB6B6B6, 0xB9D8DC, 0xB9D8DC, 0x000000},
    {tsWhidbey, 0xFFFFFF, 0xDFEDF0, N, OFFICE_STATES},
    {tsOffice2007Silver, 0xF9F8F8, 0xE4E2DF, N, OFFICE_STATES},
    {tsWindowsVista, 0xFFFDF9, 0xFFFAF0, 0xFCF2DA, 0xFEF9F0, 0xFFFAF0, 0xFCF2DA, 0xFEF9F0, 0xFDF0D7, 0xFEDF9A, 0xFFFFFF,
     0xFFFFFF, 0xFEF9F0, 0xFDF0D7, 0xFEDF9A},
    {tsWindows7, 0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFCEBDC, 0xFCDBC1, 0xCEA27D, 0xFFFFFF,
     0xFFFFFF, 0xFEF9F0, 0xFCDBC1, 0xCEA27D},
    {tsTerminal, BtnFace, BtnFace, N, 0xC0C0C0, 0xC0C0C0, 0x808080, Hilite, Hilite, 0x808080, BtnFace, BtnFace, BtnFace,
     BtnFace, Hilite},
    {tsOffice2010Blue, 0xFDF6EF, 0xF0DAC7, 0xC7B29F, OFFICE2010_STATES},
    {tsOffice2010Silver, 0xFFFFFF, 0xEDE5E0, 0xD2CDC8, OFFICE2010_STATES},
    {tsOffice2010Black, 0xBFBFBF, 0x919191, 0xD7D7D6, OFFICE2010_STATES},
};
static_assert(std::size(kButtonStyles) == 15, "one row per named style");
#undef OFFICE_STATES
#undef OFFICE2010_STATES

constexpr TSelectionStylePreset kSelectionStyles[] = {
    {scOffice2007, 0xD7FFFD, 0x58D4FC, {0x58D4FC, 0xB3F1FC, 0xF4FEFF, 0xCAF8FF, 0x8DD7D3, 0xC3D9DF}},
    {scWindowsVista, 0xFDF8F1, 0xFCEFD5, {N, N, 0xFDFBF6, 0xFDF5E7, 0xFDDE99, 0xFCEDCB}},
    {scWindows7, 0xFCEBDC, 0xFCDBC1, {N, N, 0xFDF4EB, 0xFDEADB, 0xCEA27D, 0xE0C5AE}},
};

#define OFFICE_ITEMS 0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0x7AE1FE, 0x42AEFE
#define OFFICE2010_ITEMS 0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x7BEEFF, 0x6CD0FF, 0x6CD0FF, 0x7BEEFF, 0x308AC2
constexpr TItemAppearancePreset kItemStyles[] = {
    {tsOffice2003Blue, OFFICE_ITEMS, N, N, N, clBlack},
    {tsOffice2003Silver, OFFICE_ITEMS, N, N, N, clBlack},
    {tsOffice2003Olive, OFFICE_ITEMS, N, N, N, clBlack},
    {tsWhidbey, OFFICE_ITEMS, N, N, N, clBlack},
    {tsOffice2007Luna, OFFICE_ITEMS, 0xF4FEFF, 0xCAF8FF, 0xC3D9DF, clBlack},
    {tsOffice2007Obsidian, OFFICE_ITEMS, 0xF4FEFF, 0xCAF8FF, 0xC3D9DF, clBlack},
    {tsOffice2007Silver, OFFICE_ITEMS, 0xF4FEFF, 0xCAF8FF, 0xC3D9DF, clBlack},
    {tsOffice2003Classic, 0xD2BDB6, 0xD2BDB6, N, N, 0xB59285, 0xB59285, N, N, 0x808080, N, N, N, clBlack},
    {tsWindowsXP, 0xEFD3C6, 0xEFD3C6, N, N, Hilite, N, N, N, Hilite, N, N, N, HiliteText},
    {tsWindowsVista, 0xFFFDF9, 0xFFFAF0, N, N, 0xFEF9F0, 0xFDF0D7, N, N, 0xFEDF9A, 0xFDFBF6, 0xFDF5E7, 0xFCEDCB, clBlack},
    {tsWindows7, 0xFDFBFA, 0xFDF3EB, N, N, 0xFCEBDC, 0xFCDBC1, N, N, 0xCEA27D, 0xFDF4EB, 0xFDEADB, 0xE0C5AE, clBlack},
    {tsTerminal, 0xC0C0C0, 0xC0C0C0, N, N, Hilite, N, N, N, 0x808080, N, N, N, HiliteText},
    {tsOffice2010Blue, OFFICE2010_ITEMS, N, N, N, clBlack},
    {tsOffice2010Silver, OFFICE2010_ITEMS, N, N, N, clBlack},
    {tsOffice2010Black, OFFICE2010_ITEMS, N, N, N, clBlack},
};
static_assert(std::size(kItemStyles) == 15, "one row per named style");
#undef OFFICE_ITEMS
#undef OFFICE2010_ITEMS

constexpr TColor kBlack = TColor(0);
constexpr TGridStylePreset kGridStyles[] = {
    {tsOffice2003Blue, 0xD68759, 0x933803, scOffice2007, true, 0xFFFFFF, 0x962D00, 0x962D00, seNone},
    {tsOffice2003Silver, 0xBDA4A5, 0x957475, scOffice2007, false, 0, 0x947C7C, 0x947C7C, seNone},
    {tsOffice2003Olive, 0x82C0AF, 0x447A63, scOffice2007, false, 0, 0x588060, 0x588060, seNone},
    {tsOffice2003Classic, 0x808080, 0x808080, scOffice2007, false, 0, 0x808080, 0x808080, seNone},
    {tsOffice2007Luna, 0xFFEFE3, 0xFFD2AF, scOffice2007, true, 0x723708, 0xFFD2AF, 0xFFD2AF, seNone},
    {tsOffice2007Obsidian, 0xF2F1F0, 0xC9C2BD, scOffice2007, true, 0x433C37, 0x5C534C, 0x5C534C, seNone},
    {tsWindowsXP, clBtnFace, clBtnFace, scCustom, true, kBlack, 0xC0C0C0, kBlack, seSystemSelection},
    {tsWhidbey, 0xEBEEEF, 0x7E9898, scOffice2007, true, 0xFFFFFF, 0x962D00, 0x962D00, seNone},
    {tsOffice2007Silver, 0xF8F7F6, 0xE8E0DB, scOffice2007, true, 0x8B4215, 0x74706F, 0x74706F, seNone},
    {tsWindowsVista, 0xFFFDF9, 0xFFFAF0, scWindowsVista, true, kBlack, 0xFCF2DA, 0xFCF2DA, seNone},
    {tsWindows7, 0xFDFBFA, 0xFDF3EB, scWindows7, true, kBlack, 0xFBD6B8, 0xFBD6B8, seNone},
    {tsTerminal, clBtnFace, clBtnFace, scCustom, true, kBlack, 0x808080, 0x808080, seSystemSelection},
    {tsOffice2010Blue, 0xEDDBCD, clNone, scCustom, true, 0x5B391E, 0xEEDDCF, 0xEEDDCF, seOffice2010Selection},
    {tsOffice2010Silver, 0xEDE9E5, clNone, scCustom, true, 0x5B391E, 0xEEDDCF, 0xEEDDCF, seOffice2010Selection},
    {tsOffice2010Black, 0x828282, clNone, scCustom, true, 0xD7D7D6, 0xEEDDCF, 0xEEDDCF, seOffice2010Selection},
};

template <class Row, class Key, std::size_t Count>
const Row* FindRow(const Row (&table)[Count], Key key) {
    for (const Row& r : table)
        if (r.Style == key) return &r;
    return nullptr;
}
}  // namespace

const TDropDownStylePreset* FindDropDownStylePreset(TQORStyle Style) { return FindRow(kDropDownStyles, Style); }
const TButtonStylePreset* FindButtonStylePreset(TQORStyle Style) { return FindRow(kButtonStyles, Style); }
const TGridStylePreset* FindGridStylePreset(TQORStyle Style) { return FindRow(kGridStyles, Style); }
const TSelectionStylePreset* FindSelectionStylePreset(TSelectionColorStyle Style) {
    return FindRow(kSelectionStyles, Style);
}
const TItemAppearancePreset* FindItemAppearancePreset(TQORStyle Style) { return FindRow(kItemStyles, Style); }

int ItemStepTarget(int Index, int Count, TItemStep Step)
{
    if (Count <= 0)
        return -1;
    switch (Step) {
    case TItemStep::First: return 0;
    case TItemStep::Last: return Count - 1;
    case TItemStep::Next: return Index < 0 ? 0 : Index + 1 < Count ? Index + 1 : -1;
    case TItemStep::Previous: return Index < 0 ? 0 : Index > 0 ? Index - 1 : -1;
    }
    return -1;
}

std::vector<int> StretchColumnWidths(const std::vector<int>& Widths, int Available)
{
    int total = 1;
    for (int w : Widths)
        total += w;
    const double factor = double(Available) / double(total);
    std::vector<int> out;
    out.reserve(Widths.size());
    double carry = 0;
    for (int w : Widths) {
        const double exact = w * factor;
        int r = int(std::nearbyint(exact));
        carry += exact - r;
        if (carry > 1.0) {
            ++r;
            carry -= 1.0;
        }
        out.push_back(r);
    }
    return out;
}
