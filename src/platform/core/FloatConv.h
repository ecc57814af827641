#pragma once
// Floating-point text conversions with the class library's rules: decimal
// digits rounded half up from an 18-digit expansion of the value, separators
// from FormatSettings at the moment of the call.
#include "platform/core/FormatSettings.h"

#include <QByteArray>
#include <QString>

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// A value as decimal digits: 0.Digits x 10^Exponent. Digits holds '0'..'9'
// without trailing zeros and is empty for zero; Exponent is 0x7FFF for an
// infinity and 0x8000 for not-a-number.
struct TFloatRec {
    int Exponent = 0;
    bool Negative = false;
    QByteArray Digits;
};

// At most `precision` significant digits (1..18) and at most `decimals`
// digits after the decimal point, rounded half away from zero.
void FloatToDecimal(TFloatRec& result, double value, int precision, int decimals);

// ffGeneral: shortest of fixed and scientific with `precision` significant
// digits (scientific when the integer part has more digits than that or the
// value is below 0.0001; the exponent has at least `digits` digits).
// ffExponent: "d.dddE+ddd" with `precision` digits and at least `digits`
// exponent digits. ffFixed / ffNumber: `digits` decimals (ffNumber adds
// thousand separators). ffCurrency: as ffNumber inside the currency pattern.
QString FloatToStrF(double value, TFloatFormat format, int precision, int digits);
// General format with 15 significant digits.
QString FloatToStr(double value);
// Pattern formatting: "0" and "#" digit places, the first "." the decimal
// point, "," thousand separators, "E+0"/"E-0" scientific, quoted literals,
// and up to three sections "positive;negative;zero". An empty pattern gives
// FloatToStr's text.
QString FormatFloat(const QString& pattern, double value);

// Blanks around, optional sign, digits with the settings' decimal separator,
// optional exponent. Raises EConvertError "'<s>' is not a valid floating point
// value".
double StrToFloat(const QString& s);
bool TryStrToFloat(const QString& s, double& value);
double StrToFloatDef(const QString& s, double def);

// The same with the given settings instead of the process's (safe from any
// thread, and how a fixed "." notation is read or written).
QString FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings);
QString FloatToStr(double value, const TFormatSettings& settings);
QString FormatFloat(const QString& pattern, double value, const TFormatSettings& settings);
double StrToFloat(const QString& s, const TFormatSettings& settings);
bool TryStrToFloat(const QString& s, double& value, const TFormatSettings& settings);
double StrToFloatDef(const QString& s, double def, const TFormatSettings& settings);
