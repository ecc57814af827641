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
