#pragma once
// The one set of number and date format settings every conversion reads at the
// moment it runs. The defaults are fixed, never taken from the machine's
// locale; code may change a field at run time and the next conversion sees it.
#include <QChar>
#include <QString>

struct TFormatSettings {
    QChar DecimalSeparator;
    QChar ThousandSeparator;
    QChar DateSeparator;
    QChar TimeSeparator;
    QChar ListSeparator;
    QString ShortDateFormat;
    QString LongDateFormat;
    QString ShortTimeFormat;
    QString LongTimeFormat;
    QString TimeAMString;
    QString TimePMString;
    QString CurrencyString;
    int CurrencyFormat;    // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    int NegCurrFormat;     // 0 "($1)" .. 15 "(1 $)"
    int CurrencyDecimals;
    int TwoDigitYearCenturyWindow;
    QString ShortMonthNames[12];
    QString LongMonthNames[12];
    QString ShortDayNames[7]; // Sunday first
    QString LongDayNames[7];

    // The fixed defaults.
    static TFormatSettings Defaults();
};

// The process's settings.
extern TFormatSettings FormatSettings;

// The settings a conversion reads: those handed to the conversion running on
// this thread (the overloads taking a TFormatSettings), else the process's.
const TFormatSettings& ActiveFormatSettings();

// Makes the given settings the active ones on this thread for its lifetime.
class TFormatSettingsScope {
public:
    explicit TFormatSettingsScope(const TFormatSettings& settings);
    ~TFormatSettingsScope();
    TFormatSettingsScope(const TFormatSettingsScope&) = delete;
    TFormatSettingsScope& operator=(const TFormatSettingsScope&) = delete;

private:
    const TFormatSettings* FPrevious;
};
