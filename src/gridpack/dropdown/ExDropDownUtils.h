#pragma once
// The drop-down controls' free helpers: drawing (gradient box, image and
// text, mark-up captions, text measuring and shortening, a transparent
// bitmap copy), the number-text rules behind the drop-down edit's typed
// input, and the colour presets of the component styles, kept as tables and
// applied by code that walks them.
//
// DS and TS are the decimal and thousand separators of the active format
// settings, read afresh on every call. Positions are 1-based and count UTF-16
// code units, as the edit's selection does.
#include "gridpack/basegrid/ExStyleIF.h"
#include "gridpack/basegrid/GradientBands.h"
#include "platform/graphics/Graphics.h"

#include <QString>

#include <cstdint>
#include <vector>

class TImageList;
class TBitmap;

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

// 80 bands from Color to ColorTo when ColorTo is set, else a plain fill in
// Color when it is set; then a frame of BorderWidth in BorderColor (when set
// and the width is above 0). A null canvas draws nothing.
void DrawGradientBox(TCanvas* Canvas, const TRect& R, TColor Color, TColor ColorTo, TGradientDirection Direction,
                     int BorderWidth, TColor BorderColor);
// The image (when Images and ImageIndex >= 0) 4 pixels in and vertically
// centred, then the text single-line, vertically centred, with an end
// ellipsis; centred horizontally when no image was drawn.
void DrawImageAndText(TCanvas* Canvas, const TRect& R, const QString& Text, int ImageIndex, TImageList* Images);
// Bitmap copied into R over BackColor, its top-left pixel's colour replaced
// by the brush.
void DrawTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, TColor BackColor, const TRect& R);
// The single-line extent of Text in the canvas's font; (0, 0) for no text.
TSize GetTextExtent(TCanvas* Canvas, const QString& Text);
// The whole text when it fits below MaxWidth (or when nothing shorter does);
// else the longest head, with "..." after it when Ellipsis, whose width is
// below MaxWidth.
QString FitTextToWidth(TCanvas* Canvas, const QString& Text, int MaxWidth, bool Ellipsis);
// Draws (Draw) or only measures a mark-up caption in R: links in blue, a
// grey shadow, no hover colours, inline images from Images. Extent receives
// the size the mark-up needs; (0, 0) and nothing drawn for an empty text.
void DrawMarkupText(TCanvas* Canvas, const QString& Text, const TRect& R, TSize& Extent, TImageList* Images, bool Draw);

// ---------------------------------------------------------------------------
// Number text
// ---------------------------------------------------------------------------

// ',', '-' and ';'.
bool IsRangeSeparator(QChar C);
// 0 integer, 1 float, 2 not a number, 5 hexadecimal (see the edit's rules):
// an empty text is 2; more than one '-' or more than one DS is 2; where a
// '-' stands is not checked.
int NumberTextKind(const QString& S);
QString StripThousandSeparators(const QString& S);
// '0'-'9', 'A'-'F', 'a'-'f'; anything else 0.
int HexDigitValue(QChar C);
// The digits' values summed from the last with weights 1, 16, 256 ... with
// no validation; the sum wraps modulo 2^32 (carried unsigned, so a long
// text never overflows a signed integer).
int32_t HexToInt(const QString& S);
// S itself with MatchCase, else upper-cased.
QString MatchCaseText(const QString& S, bool MatchCase);
// The fraction of S already holds Precision digits and the caret stands
// after DS (Caret counts the whole text, PrefixLength characters of prefix
// before the value).
bool DecimalsFull(const QString& S, int Caret, int PrefixLength, int Precision);
// A separator typed at Caret would stand other than exactly three characters
// from the nearest thousand separator already in S.
bool ThousandSeparatorRejected(const QString& S, int Caret, int PrefixLength);

// ---------------------------------------------------------------------------
// Stepping through items
// ---------------------------------------------------------------------------

// A step of the item drop-downs through Count items from Index (-1: none
// chosen; Next and Previous then choose the first): the index to choose, or
// -1 when the step chooses nothing (no items, or already at that end).
enum class TItemStep { First, Last, Next, Previous };
int ItemStepTarget(int Index, int Count, TItemStep Step);

// ---------------------------------------------------------------------------
// Style presets
// ---------------------------------------------------------------------------

enum TSelectionColorStyle { scCustom, scOffice2007, scWindowsVista, scWindows7 };
// Where a caption stands beside an item's picture (keypad buttons, item
// selector items).
enum TItemLayout { ilCaptionLeft, ilCaptionRight, ilCaptionTop, ilCaptionBottom };

// The popup, header and footer colours of one component style.
struct TDropDownStylePreset {
    TQORStyle Style;
    TColor PopupColor, PopupColorTo;
    bool SetPopupBorder;  // false: the popup border keeps its colour
    TColor PopupBorder;
    TColor HeaderColor, FooterColor, HeaderColorTo, FooterColorTo, FontColor, HeaderBorder, FooterBorder;
};

// The look of the header and footer buttons of one component style.
struct TButtonStylePreset {
    TQORStyle Style;
    TColor Color, ColorTo, BorderColor;
    TColor ColorHot, ColorHotTo, BorderColorHot;
    TColor ColorDown, ColorDownTo, BorderColorDown;
    TColor ColorDisabled, ColorDisabledTo;
    TColor ColorChecked, ColorCheckedTo, BorderColorChecked;
};

struct TSelectionStylePreset {
    TSelectionColorStyle Style;
    TColor Color, ColorTo;
    // The six frame colours DrawSelection hands the selection frame, in its
    // argument order.
    TColor Frame[6];
};

// The hot and selected colours of an item selector's appearance.
struct TItemAppearancePreset {
    TQORStyle Style;
    TColor ColorHot, ColorHotTo, ColorMirrorHot, ColorMirrorHotTo;
    TColor ColorSelected, ColorSelectedTo, ColorMirrorSelected, ColorMirrorSelectedTo;
    TColor BorderColor, BorderColorTop, BorderColorBottom, EdgeColor;
    TColor ColorSelectedText;
};

// The header, line and selection colours of a grid-like drop-down (the
// multi-column and the grid drop-down) in one component style.
enum TGridStyleExtra { seNone, seSystemSelection, seOffice2010Selection };
struct TGridStylePreset {
    TQORStyle Style;
    TColor HeaderColor, HeaderColorTo;
    TSelectionColorStyle Selection;
    bool SetFont; // false: the header font keeps its colour
    TColor FontColor, LineColor, FixedLineColor;
    TGridStyleExtra Extra; // the selection colours the style sets besides
};

// The row of a style; nullptr for tsCustom (which changes nothing).
const TDropDownStylePreset* FindDropDownStylePreset(TQORStyle Style);
const TGridStylePreset* FindGridStylePreset(TQORStyle Style);
const TButtonStylePreset* FindButtonStylePreset(TQORStyle Style);
const TSelectionStylePreset* FindSelectionStylePreset(TSelectionColorStyle Style);
// Column widths scaled together to fill Available pixels (one more than
// their sum counts as the whole): each is rounded, and the rounding carried
// over gives a column one pixel more once it passes a whole pixel.
std::vector<int> StretchColumnWidths(const std::vector<int>& Widths, int Available);

// The grid lines a popup grid takes with a selection colour style: both
// colours set for the Office 2007, Vista and Windows 7 styles, nothing
// changed for scCustom.
inline void SelectionStyleGridLines(TSelectionColorStyle Style, TColor& Line, TColor& FixedLine)
{
    switch (Style) {
    case scOffice2007:
        Line = TColor(0xF1EDEB);
        FixedLine = TColor(0xD1BBA4);
        break;
    case scWindowsVista:
    case scWindows7:
        Line = TColor(0xECECF0);
        FixedLine = TColor(0xD4D2D1);
        break;
    default: break;
    }
}
const TItemAppearancePreset* FindItemAppearancePreset(TQORStyle Style);

// Loads the hot and selected colours of an item selector appearance for a
// style, straight into its fields (no change notice). Nothing without an
// appearance or for tsCustom. A takes the public colour fields the item
// appearance publishes.
template <class A>
void ApplyItemAppearanceStyle(A* Appearance, TQORStyle Style) {
    if (!Appearance) return;
    const TItemAppearancePreset* p = FindItemAppearancePreset(Style);
    if (!p) return;
    Appearance->BorderColorHot = clNone;
    Appearance->BorderColorSelected = clNone;
    Appearance->ColorHotText = clBlack;
    Appearance->ColorSelectedText = p->ColorSelectedText;
    Appearance->ColorHot = p->ColorHot;
    Appearance->ColorHotTo = p->ColorHotTo;
    Appearance->ColorMirrorHot = p->ColorMirrorHot;
    Appearance->ColorMirrorHotTo = p->ColorMirrorHotTo;
    Appearance->ColorSelected = p->ColorSelected;
    Appearance->ColorSelectedTo = p->ColorSelectedTo;
    Appearance->ColorMirrorSelected = p->ColorMirrorSelected;
    Appearance->ColorMirrorSelectedTo = p->ColorMirrorSelectedTo;
    Appearance->BorderColor = p->BorderColor;
    Appearance->BorderColorTop = p->BorderColorTop;
    Appearance->BorderColorBottom = p->BorderColorBottom;
    Appearance->EdgeColor = p->EdgeColor;
}
