#pragma once
// Helpers the grid's file writers and readers share: line splitting and
// joining, lenient numbers, whole-file text output and the progress counter
// that fires only when the rounded percentage changes.
#include "platform/core/CodePages.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <vector>

class TObject;

namespace GridExchange {

// The most rows a file or stream may declare in its header: a count is
// taken before any row is read, and a damaged header must not make the
// grid allocate without bound.
constexpr int MaxDeclaredRows = 1 << 24;

// Lines ended by CR LF, CR or LF; a final line break adds no empty line.
QStringList SplitLines(const QString& Text);
// The same lines as views into Text (which must outlive them): a reader of a
// large file copies each field once instead of each line and then its fields.
std::vector<QStringView> SplitLineViews(const QString& Text);
// Every line followed by CR LF.
QString JoinLines(const QStringList& Lines);
// Leading blanks skipped, an optional sign, the leading digits; reading stops
// at any other character; no digits give 0. Saturates instead of overflowing.
int LenientInt(QStringView Text);
// The text in the encoding (UTF encodings with their byte-order mark) written
// whole through the platform.
void WriteTextWhole(const QString& FileName, const QString& Text, TTextEncoding Encoding);
// Backslash escapes that keep a text on one line and every character in it:
// "\\" for the backslash, "\r", "\n", "\t" and "\0" for CR, LF, tab and
// NUL. Unescaping leaves a backslash before any other character as it is.
QString EscapeControls(const QString& Text);
QString UnescapeControls(QStringView Text);

// The text of a grid text cell line. A text without line breaks and without
// character 8 is written as it is. A text with an LF and none of the
// characters 9, 8 and 1 takes the classic break escape (CR to 9, LF to 8,
// NUL to 1), which every reader of the format undoes. Any other text (a lone
// CR, a tab or character 8 or 1 beside a line break, a character 8 alone)
// cannot pass that escape whole: it is written with EscapeControls and
// Escaped is set, and the writer marks the line by an "e" behind the row
// number. Readers that take the row number leniently still read the line at
// its cell.
QString EncodeCellLineText(const QString& Text, bool& Escaped);
// The reverse; with MultiLine off only the first line (up to a CR) is kept.
QString DecodeCellLineText(const QString& Text, bool Escaped, bool MultiLine);
// The mark behind the row number of an escaped cell line.
constexpr char16_t EscapedCellMark = u'e';

// round(Value / Range * 100) with halves to even; Range below 1 counts as 1.
int Percent(double Value, double Range);

// Fires the handler when the percentage differs from the last one fired.
class TProgress {
public:
    TProgress(TObject* Sender, const std::function<void(TObject*, int16_t)>& Handler)
        : FSender(Sender), FHandler(Handler) {}
    bool Active() const { return bool(FHandler); }
    void Report(int P)
    {
        if (!FHandler || P == FLast)
            return;
        FLast = P;
        FHandler(FSender, int16_t(P));
    }

private:
    TObject* FSender;
    const std::function<void(TObject*, int16_t)>& FHandler;
    int FLast = -1;
};

} // namespace GridExchange
