#pragma once
// The class library's string routines over QString. Positions are 1-based and
// count UTF-16 code units, as the callers count them.
#include <QString>

// Blanks and control characters (everything up to ' ') are cut.
QString Trim(const QString& s);
QString TrimLeft(const QString& s);
QString TrimRight(const QString& s);

// ASCII letters only; other characters stay as they are.
QString UpperCase(const QString& s);
QString LowerCase(const QString& s);
// Every letter.
QString AnsiUpperCase(const QString& s);
QString AnsiLowerCase(const QString& s);

// Ordinal comparisons; negative, zero or positive. CompareText ignores the
// case of ASCII letters only.
int CompareStr(const QString& a, const QString& b);
int CompareText(const QString& a, const QString& b);
bool SameText(const QString& a, const QString& b);
// Comparisons in dictionary order: letters compare without case first, and
// only texts equal but for case are then ordered, lower case first.
int AnsiCompareStr(const QString& a, const QString& b);
int AnsiCompareText(const QString& a, const QString& b);
bool AnsiSameText(const QString& a, const QString& b);

// 1-based position of the first occurrence of sub in s, 0 when absent (and for
// an empty sub).
int Pos(const QString& sub, const QString& s);
// Count characters from the 1-based index; an index below 1 counts as 1.
QString Copy(const QString& s, int index, int count);
// Removes count characters from the 1-based index; an index outside the text
// leaves it unchanged.
void Delete(QString& s, int index, int count);
// Inserts sub before the 1-based index, clamped to the text.
void Insert(const QString& sub, QString& s, int index);

enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = int;
QString StringReplace(const QString& s, const QString& oldPattern, const QString& newPattern,
                      TReplaceFlags flags);

QString StringOfChar(QChar ch, int count);
// Encloses in single quotes, doubling those inside.
QString QuotedStr(const QString& s);
QString AnsiQuotedStr(const QString& s, QChar quote);
// Reads a quoted text at `pos` (0-based) of `text`: doubled quotes become one,
// reading stops after the closing quote or at the end. `pos` is left after what
// was read. When text[pos] is not the quote, the result is empty and `pos`
// does not move.
QString AnsiExtractQuotedStr(const QString& text, int& pos, QChar quote);
// The same, consuming what was read from the front of src.
QString AnsiExtractQuotedStr(QString& src, QChar quote);
// The unquoted text when s is quoted, otherwise s itself.
QString AnsiDequotedStr(const QString& s, QChar quote);

// A valid Pascal-style identifier: letter or "_" first, then letters, digits or "_".
bool IsValidIdent(const QString& s);
