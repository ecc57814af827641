#pragma once
// Helpers the mark-up unit's parts share; not for use outside the unit.
#include <QString>

namespace SgHTMLE {

// Every code unit upper-cased on its own, so positions stay where they were.
QString UpperKeep(const QString& s);
// Every ASCII letter and every other code unit lower-cased on its own.
QString LowerKeep(const QString& s);
// The decimal digits at the start of s read as a number (0 when there are
// none); reading stops at the first other character.
int LeadingNumber(const QString& s, bool* hadDigit = nullptr);
// The text between the first double quote at or after the 0-based `from`
// and the next double quote; empty without both quotes.
QString QuotedAfter(const QString& s, qsizetype from);
// The quoted value after the first occurrence of name in upper (an
// upper-cased copy of s), taken from s; empty when the name is absent.
QString AttrValue(const QString& s, const QString& upper, const QString& name);
// Replaces every occurrence of what (ASCII letters compared without case).
QString ReplaceAllNoCase(const QString& s, const QString& what, const QString& with);

} // namespace SgHTMLE
