#pragma once
// Dates and times as the class library keeps them: a double counting days since
// 1899-12-30, the fraction being the time of day. Before that day the whole
// part counts back and the fraction still counts forward (-1.25 is 1899-12-29
// 06:00).
#include <QString>

#include <cstdint>
#include <functional>

using TDateTime = double;

constexpr double HoursPerDay = 24;
constexpr double MinsPerDay = 24 * 60;
constexpr double SecsPerDay = 24 * 60 * 60;
constexpr double MSecsPerDay = 24 * 60 * 60 * 1000.0;

bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);

// Raises EConvertError "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);
// 1 for Sunday .. 7 for Saturday.
int DayOfWeek(TDateTime date);

// The present moment in local time, through a clock tests can replace.
TDateTime Now();
TDateTime Date();
TDateTime Time();
// Test hook: when set, Now answers from it.
void SetNowHook(std::function<TDateTime()> hook);

// Specifiers (letters in any case): c, d dd ddd dddd ddddd dddddd, m mm mmm
// mmmm (minutes right after h or hh), yy yyyy, h hh, n nn, s ss, z zzz, t tt,
// am/pm a/p ampm (12-hour clock for the hours), "/" and ":" as the settings'
// separators, text in single or double quotes as it stands. An empty format
// is "c".
QString FormatDateTime(const QString& format, TDateTime value);
QString DateToStr(TDateTime date);
QString TimeToStr(TDateTime time);
QString DateTimeToStr(TDateTime value);

// Dates in the order of ShortDateFormat with the settings' date separator; a
// missing year is this year, a two-digit year falls in the century window.
// Times h[:n[:s[.z]]] with an optional AM/PM. Raise EConvertError "'<s>' is
// not a valid date", "... time", "... date and time".
TDateTime StrToDate(const QString& s);
TDateTime StrToTime(const QString& s);
TDateTime StrToDateTime(const QString& s);
bool TryStrToDate(const QString& s, TDateTime& value);
bool TryStrToTime(const QString& s, TDateTime& value);
bool TryStrToDateTime(const QString& s, TDateTime& value);

// With the given settings instead of the process's.
struct TFormatSettings;
QString FormatDateTime(const QString& format, TDateTime value, const TFormatSettings& settings);
bool TryStrToDate(const QString& s, TDateTime& value, const TFormatSettings& settings);
bool TryStrToTime(const QString& s, TDateTime& value, const TFormatSettings& settings);
bool TryStrToDateTime(const QString& s, TDateTime& value, const TFormatSettings& settings);
