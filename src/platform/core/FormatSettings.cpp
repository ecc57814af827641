#include "platform/core/FormatSettings.h"

TFormatSettings TFormatSettings::Defaults()
{
    TFormatSettings f;
    f.DecimalSeparator = QLatin1Char('.');
    f.ThousandSeparator = QLatin1Char(',');
    f.DateSeparator = QLatin1Char('/');
    f.TimeSeparator = QLatin1Char(':');
    f.ListSeparator = QLatin1Char(',');
    f.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    f.LongDateFormat = QStringLiteral("dd mmmm yyyy");
    f.ShortTimeFormat = QStringLiteral("hh:nn");
    f.LongTimeFormat = QStringLiteral("hh:nn:ss");
    f.TimeAMString = QStringLiteral("AM");
    f.TimePMString = QStringLiteral("PM");
    f.CurrencyString = QStringLiteral("$");
    f.CurrencyFormat = 0;
    f.NegCurrFormat = 0;
    f.CurrencyDecimals = 2;
    f.TwoDigitYearCenturyWindow = 50;
    static const char* const shortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char* const longMonths[12] = {"January", "February", "March",     "April",
                                               "May",     "June",     "July",      "August",
                                               "September", "October", "November", "December"};
    static const char* const shortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const longDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    for (int i = 0; i < 12; ++i) {
        f.ShortMonthNames[i] = QString::fromLatin1(shortMonths[i]);
        f.LongMonthNames[i] = QString::fromLatin1(longMonths[i]);
    }
    for (int i = 0; i < 7; ++i) {
        f.ShortDayNames[i] = QString::fromLatin1(shortDays[i]);
        f.LongDayNames[i] = QString::fromLatin1(longDays[i]);
    }
    return f;
}

TFormatSettings FormatSettings = TFormatSettings::Defaults();

namespace {
thread_local const TFormatSettings* activeSettings = nullptr;
} // namespace

const TFormatSettings& ActiveFormatSettings()
{
    return activeSettings ? *activeSettings : FormatSettings;
}

TFormatSettingsScope::TFormatSettingsScope(const TFormatSettings& settings) : FPrevious(activeSettings)
{
    activeSettings = &settings;
}

TFormatSettingsScope::~TFormatSettingsScope()
{
    activeSettings = FPrevious;
}
