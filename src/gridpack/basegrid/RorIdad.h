#pragma once
// The grid pack's utility routines: how a cell text is classified and
// escaped for storage and exchange, how numbers and dates are read out of
// cell texts, and how filter expressions are matched against cell values.
// All are free functions without state. Positions are 1-based and count
// UTF-16 code units; CR is character 13, LF 10, VT 11. Numbers and dates are
// read with the active format settings at the moment of the call. The
// painting routines draw on a canvas the caller owns and leave its pen,
// brush and font as their last step set them.
#include "gridpack/basegrid/ExStyleIF.h"
#include "platform/core/DateTime.h"
#include "platform/grids/Grids.h"

#include <QByteArray>
#include <QChar>
#include <QString>

#include <cstdint>

class TStrings;

// ---------------------------------------------------------------------------
// Cell-text kinds, the wide-text escape and the cell-break escape
// ---------------------------------------------------------------------------

// 0 plain, 1 HTML (only when HTMLEnabled), 2 rich text ("{\"), 3 formula
// ("="), 5 wide-encoded ("|\"; 3 again when the encoded text starts with "="
// followed by a character below 256).
int DetectTextKind(const QString& Text, bool HTMLEnabled);
// "|\" and two characters per UTF-16 code unit, high byte first.
QString EncodeWideText(const QString& WideText);
// Reverses EncodeWideText; a trailing unpaired character is ignored and a
// text without the "|\" lead is returned unchanged.
QString DecodeWideText(const QString& Text);
int FindWideText(const QString& SubText, const QString& Text);
// A text holding a CR gets CR -> 9, LF -> 8, 0 -> 1, so it fits one line.
QString EncodeCellBreaks(const QString& Text);
// Reverses that when the text holds a character 8; without MultiLine only
// the first line is returned.
QString DecodeCellBreaks(const QString& Text, bool MultiLine);
// The part before the first CR. Text keeps what follows the CR (one LF right
// after it dropped) when KeepRest, else becomes empty; without a CR the
// result is the whole text and Text becomes empty.
QString TakeFirstLine(QString& Text, bool KeepRest);
int CountTextLines(const QString& Text, bool MultiLine);

// ---------------------------------------------------------------------------
// Comma-separated values and line ends
// ---------------------------------------------------------------------------

QString DoubleQuoteChars(const QString& Text);
// CR LF pairs become VT, then the text is enclosed in double quotes.
void QuoteMultiLineText(QString& Text);
void VTToCRLF(QString& Text);
void DropCRBeforeLF(QString& Text);
void CRToTilde(QString& Text);
// "~" becomes CR LF; a result of "^" becomes empty.
void TildeToCRLF(QString& Text);
// A Ch directly followed by another Ch is kept once.
QString CollapseDoubledChar(QChar Ch, const QString& Text);
// The quote that closes a quoted field: the last of the first odd-length run
// of Q followed by another character, or the last character when it is Q;
// 0 when none. Position receives the same.
int FindClosingQuote(QChar Q, const QString& Text, int& Position);
int CountClosingQuotes(QChar Q, const QString& Text);
int CountCharOccurrences(QChar Ch, const QString& Text);
QString StripCR(const QString& Text);
QString CRToLF(const QString& Text);
// The text through the OEM code page and back (8-bit OEM text carried in an
// ANSI string).
void TextToOEM(QString& Text);
void OEMToText(QString& Text);

// ---------------------------------------------------------------------------
// Settings files, HTML and links
// ---------------------------------------------------------------------------

// CR -> the two characters "\n", LF dropped; and back.
QString EscapeNewlines(const QString& Text);
QString UnescapeNewlines(const QString& Text);
QString CRToHTMLBreak(const QString& Text);
// The platform's HTML clipboard text around the fragment. The fragment is
// 8-bit text (one byte per character), so the header's offsets count bytes.
void WrapClipboardHTML(QByteArray& Fragment);
bool HasURLScheme(const QString& Text);
void RemoveURLScheme(QString& Text);
// Escapes "<" and ">" and wraps the link starting at the first occurrence
// of Prefix (upper case) in an anchor; false, Result untouched, when the
// text does not hold Prefix.
bool LinkifyText(const QString& Text, const QString& Prefix, QString& Result);

// ---------------------------------------------------------------------------
// Small string operations
// ---------------------------------------------------------------------------

int FindSubText(const QString& SubText, const QString& Text, int& Position);
int PosInUpperCase(const QString& Pattern, const QString& Text);
// Position of Ch, 0 when absent (Position then untouched).
int LocateChar(QChar Ch, const QString& Text, int& Position);
int IndexOfChar(QChar Ch, const QString& Text);
// The part before the first Delimiter; Text loses it and the delimiter's
// first character. Without the delimiter: empty, Text unchanged.
QString CutFirstField(QString& Text, const QString& Delimiter);
QString ConcatLines(const TStrings* Lines);
void FillTextWithChar(QString& Text, QChar Ch);
// "mcdonald" -> "McDonald", "henry iii" -> "Henry III".
QString ToMixedCase(const QString& Text);

// ---------------------------------------------------------------------------
// Locale settings and character classes
// ---------------------------------------------------------------------------

QChar LocaleTimeSeparator();
QChar LocaleDateSeparator();
QChar LocaleThousandSeparator();
QChar LocaleDecimalSeparator();
QString LocaleShortDateFormat();
QString LocaleShortTimeFormat();
QString LocaleLongTimeFormat();

bool IsDigitChar(QChar c);
bool IsDigitOrMinus(QChar c);
bool IsFloatChar(QChar c);
bool IsSciChar(QChar c);
bool IsNumberTextChar(QChar c);

// ---------------------------------------------------------------------------
// Numbers, dates, references, limits
// ---------------------------------------------------------------------------

// 0 integer, 1 float, 2 not a number, 5 scientific notation.
int ClassifyNumberText(const QString& Text);
// A formatted number as plain float text: "(12)" -> "-12", "€ -3,5" -> "-3.5"
// (with "," as the decimal separator), "12 kg" -> "12".
QString NormalizeFloatText(const QString& Text);
// Thousand separators removed, the decimal separator turned into ".".
QString StripNumberSeparators(const QString& Text);
// month/day/year and day/month/year with "/", "." or "-"; 0 when malformed.
// Years 0..25 are taken as 2000..2025 and 26..99 as 1926..1999; larger years
// as written. A field set that forms no date raises EConvertError.
TDateTime ParseDateMDY(const QString& Text);
TDateTime ParseDateDMY(const QString& Text);
// A date in the short date format's field order with an optional time
// "h:n[:s]" after a blank; false for anything else (never raises).
bool ParseDateTimeText(const QString& Text, TDateTime& Value);
bool LooksLikeDate(const QString& Text);
// Exactly one of Years, Months, Days non-zero shifts by it (a month shift
// carries over any number of years); any other combination gives
// Date + Delta. A date that does not exist raises EConvertError.
TDateTime ShiftDate(int16_t Years, int16_t Months, int16_t Days, TDateTime Date, TDateTime Delta);
// "R<row>C<col>" in any case; Cell is (column, row) and untouched on false.
bool ParseRowColRef(const QString& Text, TGridCoord& Cell);
// Min and Max each apply only when above 0; Min = Max leaves Value.
int ClampToLimits(int Value, int Min, int Max);
int LargerOf(int A, int B);
int SmallerOf(int A, int B);
bool CellInRange(const TGridRect& Range, int Column, int Row);

// ---------------------------------------------------------------------------
// Filter expressions
// ---------------------------------------------------------------------------

// Conditions joined by "&" (and) and "|", ";" or "^" (or), strictly left to
// right, with "(...)" groups; a condition compares (">", ">=", "<", "<=":
// numbers, then dates, then text), negates ("!") or matches a wildcard
// pattern ("*", "?"). Double quotes protect operators and blanks.
bool MatchFilterExpression(const QString& Expression, const QString& Value, bool CaseSensitive);
bool MatchFilterCondition(const QString& Condition, const QString& Value, bool CaseSensitive);
bool MatchCondition(const QString& Condition, const QString& Value);
// The first character of Operators outside double quotes, and its position;
// character 0 and position -1 when none.
QChar FindOperatorOutsideQuotes(const QString& Operators, const QString& Text, int& Position);
bool CharInList(QChar Ch, const QString& List);
QString StripBlanksOutsideQuotes(const QString& Text);
// The first ")" where the counts of ")" and "(" so far are equal; 0 when none.
int FindClosingParen(const QString& Text);

// ---------------------------------------------------------------------------
// Colours, gradients and control parts
// ---------------------------------------------------------------------------

// Steps + 1 solid bands from FromColor to ToColor (each pen-outlined, the
// last one exactly ToColor, cut at the rectangle's edge). One end without a
// colour fills solidly with the other; both without one draw nothing.
void FillGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& Rect, bool Horizontal);
// The colour at Position (counted from RangeStart); To without a colour
// gives From unchanged, an empty range its start colour.
TColor InterpolateColor(TColor FromColor, TColor ToColor, int RangeStart, int RangeEnd, int Position);
TColor HalveColor(TColor Color);
// Every channel c becomes (c + Round(c * Percent / 100)) and $FF.
TColor ScaleColorPercent(TColor Color, int Percent);
// Six hexadecimal digits, the low byte (red) first; no system-colour lookup.
QString ColorToHTMLHex(TColor Color);
void FillSolidRect(TCanvas* Canvas, const TRect& Rect, TColor Color);
// Solid, gradient or two-part mirror gradient (split at the middle row when
// Vertical, else the middle column), then a frame or, with SideLinesOnly,
// two vertical lines.
void FillCellBackground(TCanvas* Canvas, const TRect& Rect, TColor Color, TColor ColorTo, TColor MirrorColor,
                        TColor MirrorColorTo, bool Vertical, TColor BorderColor, bool SideLinesOnly, bool Fill);
// The rounded selection frame: Piece 0 a single cell, 1 a row's left end,
// 2 its right end, 3 a middle cell. Lines and pixels of no colour are left
// out.
void PaintSelectionFrame(TCanvas* Canvas, TColor ColorFrom, TColor ColorTo, TColor MirrorFrom, TColor MirrorTo,
                         TColor InnerTopColor, TColor InnerBottomColor, TColor BorderColor, TColor CornerColor,
                         TColor BackgroundColor, const TRect& Rect, uint8_t Piece);
// Style 0 themed (drawn only while visual styles are active), 1 classic,
// 2 flat, 3 the colours of Tones; State 0 normal, 1 hot, 2 down, 3 disabled.
void PaintComboButton(TCanvas* Canvas, std::intptr_t Window, const TRect& Rect, uint8_t Style, uint8_t State,
                      TColorTones Tones);
void PaintPushButton(TCanvas* Canvas, std::intptr_t Window, const TRect& Rect, uint8_t Style, uint8_t State,
                     TColorTones Tones);
void PaintSpinButtons(TCanvas* Canvas, std::intptr_t Window, const TRect& Rect, uint8_t Style, uint8_t State,
                      TColorTones Tones);
void PaintDownTriangle(TCanvas* Canvas, int X, int Y, TColor Color);
// The layered-window calls; true without doing anything where the platform
// has no layered windows.
bool CallUpdateLayeredWindow(std::intptr_t Window, TCanvas* DestDC, const TPoint* DestPos, const TSize* Size,
                             TCanvas* SourceDC, const TPoint* SourcePos, TColor Key, const BLENDFUNCTION* Blend,
                             uint32_t Flags);
bool CallSetLayeredWindowAttributes(std::intptr_t Window, TColor Key, uint8_t Alpha, uint32_t Flags);
