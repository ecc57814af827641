#pragma once
// The spreadsheet addresses the office exchange reads and writes: used-range
// addresses in A1 notation ("$B$3:$D$7", "1:10", "$A$1", "A1"), the range
// rebuilt for reading, and the end column of a written block.
#include <QString>

namespace GridOffice {

// The bounds of a used-range address, 1-based; a bound that does not parse
// is -1. Whole rows ("1:10") span columns 1 to 256.
struct TXLSRange {
    int FirstCol = -1, FirstRow = -1, LastCol = -1, LastRow = -1;
    bool Valid() const { return FirstCol >= 0 && FirstRow >= 0 && LastCol >= 0 && LastRow >= 0; }
};
TXLSRange ParseXLSAddress(const QString& Address);

// The column number of one or two letters (A = 1 .. Z = 26, then first * 26
// + second); -1 for anything else.
int XLSColumnNumber(const QString& Letters);

// The address the read takes its values from: first column and row, ":",
// the last column (one letter while ColCount is below 27, else two letters
// made from LastCol - FirstCol) and the last row.
QString RebuildXLSRange(const TXLSRange& r, int ColCount);

// The letters of the last column of a block of n columns starting at A.
QString XLSEndColumn(int n);

} // namespace GridOffice
