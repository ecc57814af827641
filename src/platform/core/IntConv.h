#pragma once
// The one integer conversion for every number typed by the user or read from a
// file: leading blanks skipped, an optional sign, hexadecimal after "$", "x",
// "X", "0x" or "0X"; anything else (a trailing blank included) fails.
#include <QString>
#include <cstdint>

bool TryStrToInt(const QString& s, int& value);
bool TryStrToInt64(const QString& s, int64_t& value);
int StrToIntDef(const QString& s, int def);
int64_t StrToInt64Def(const QString& s, int64_t def);
// The same conversion over a value still in a file's UTF-8 bytes (NUL
// ended), for readers that would otherwise make a QString of every number.
bool TryUtf8ToInt(const char* s, int& value);
bool TryUtf8ToInt64(const char* s, int64_t& value);
// Raises EConvertError "'<s>' is not a valid integer value".
int StrToInt(const QString& s);
int64_t StrToInt64(const QString& s);

QString IntToStr(int64_t v);
// Upper-case hexadecimal, at least `digits` digits.
QString IntToHex(int64_t v, int digits);
