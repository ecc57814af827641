#pragma once
// The class library's Format: "%" [index ":"] ["-"] [width] ["." precision]
// type, with width, precision and index also given as "*" (taken from the
// arguments), "%%" for a percent sign, and the types
//   d  integer (precision: at least that many digits)
//   u  unsigned integer
//   x  hexadecimal in capitals (precision: at least that many digits)
//   e  scientific, precision significant digits (default 15)
//   f  fixed, precision decimals (default 2)
//   g  general, precision significant digits (default 15)
//   n  fixed with thousand separators (default 2 decimals)
//   m  money in the settings' currency pattern
//   p  pointer, 8 hexadecimal digits
//   s  text (precision: at most that many characters); a character too.
// A type that does not fit its argument raises EConvertError "Format '<fmt>'
// invalid or incompatible with argument"; a missing argument raises
// EConvertError "No argument for format '<fmt>'".
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <type_traits>
#include <vector>

// One argument of Format.
class TVarRec {
public:
    enum TVarType { vtInteger, vtInt64, vtExtended, vtString, vtChar, vtPointer };

    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                                            !std::is_same_v<T, char>, int> = 0>
    TVarRec(T v) : FType(sizeof(T) <= 4 ? vtInteger : vtInt64), FUnsigned(std::is_unsigned_v<T>)
    {
        FInt = int64_t(v);
    }
    TVarRec(bool v) : FType(vtInteger) { FInt = v ? 1 : 0; }
    TVarRec(double v) : FType(vtExtended), FFloat(v) {}
    TVarRec(float v) : FType(vtExtended), FFloat(v) {}
    TVarRec(const QString& v) : FType(vtString), FString(v) {}
    TVarRec(const char* v) : FType(vtString), FString(QString::fromUtf8(v)) {}
    TVarRec(QChar v) : FType(vtChar), FString(v) {}
    TVarRec(char v) : FType(vtChar), FString(QChar(QLatin1Char(v))) {}
    TVarRec(const void* v) : FType(vtPointer) { FInt = int64_t(reinterpret_cast<uintptr_t>(v)); }

    TVarType VType() const { return FType; }
    bool IsUnsigned() const { return FUnsigned; }
    int64_t AsInt64() const { return FInt; }
    double AsFloat() const { return FFloat; }
    const QString& AsString() const { return FString; }

private:
    TVarType FType;
    bool FUnsigned = false;
    int64_t FInt = 0;
    double FFloat = 0;
    QString FString;
};

QString Format(const QString& fmt, std::initializer_list<TVarRec> args);
QString Format(const QString& fmt, const std::vector<TVarRec>& args);
// With the given settings instead of the process's.
struct TFormatSettings;
QString Format(const QString& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings);
