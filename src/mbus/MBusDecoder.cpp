#include "mbus/MBusDecoder.h"

#include "platform/core/DateTime.h"
#include "platform/core/FloatConv.h"

#include <array>
#include <cmath>
#include <cstring>
#include <iterator>

namespace {

// ---------------------------------------------------------------------------
// Data field codes

struct TDataFieldRow {
    uint8_t Length;        // data bytes (13: from the LVAR byte)
    const char* FieldText; // DataFieldStr
    const char* DescDim;   // descdim
};

constexpr uint8_t Df_Selection_For_Readout = 8;
constexpr uint8_t Df_Variable_Length = 13;
constexpr uint8_t Df_Special = 15;
constexpr uint8_t Df_Real = 5;

constexpr TDataFieldRow Data_Fields[16] = {
    {0, "", "No data"},
    {1, "8 Bit Integer", "8 Bit Integer"},
    {2, "16 Bit Integer", "16 Bit Integer"},
    {3, "24 Bit Integer", "24 Bit Integer"},
    {4, "32 Bit Integer", "32 Bit Integer"},
    {4, "32 Bit Real", "32 Bit real"},
    {6, "48 Bit Integer", "48 Bit Integer"},
    {8, "64 Bit Integer", "64 Bit Integer"},
    {0, "", "Selection for Readout"},
    {1, "2 Digit BCD", "2 digit BCD"},
    {2, "4 Digit BCD", "4 digit BCD"},
    {3, "6 Digit BCD", "6 digit BCD"},
    {4, "8 Digit BCD", "8 digit BCD"},
    {0, "", ""}, // variable length: see Lvar_Ranges
    {6, "12 Digit BCD", "12 digit BCD"},
    {0, "Special Function", ""},
};

// The LVAR byte of a variable-length record: its byte count is LVAR - First;
// the texts put the count (DataFieldStr: times FieldFactor) between prefix and
// suffix.
struct TLvarRange {
    uint8_t First;
    uint8_t Last;
    bool Reserved;
    const char* FieldPrefix;
    int FieldFactor;
    const char* FieldSuffix;
    const char* DescPrefix;
    const char* DescSuffix;
};

constexpr TLvarRange Lvar_Ranges[] = {
    {0x00, 0xBF, false, "Variable Length - ASCII String with ", 1, "characters", "Variable length: ASCII string with ",
     " characters"},
    {0xC0, 0xCF, false, "Variable Length - Positive BCD Number with ", 2, " digits",
     "Variable length: Positive BCD number with ", " *2 digits"},
    {0xD0, 0xDF, false, "Variable Length - Negative BCD Number with ", 2, " digits",
     "Variable length: Negative BCD number with ", " *2 digits"},
    {0xE0, 0xEF, false, "Variable Length - Binary Number with ", 1, " Bytes", "Variable length: Binary number with ",
     " bytes"},
    {0xF0, 0xFA, false, "Variable Length - Floating Point Number with ", 1, " Bytes",
     "Variable length: Floating Point number with ", " bytes"},
    {0xFB, 0xFF, true, "Variable Length - Reserved", 0, "", "Variable length: Reserved", ""},
};

const TLvarRange& lvarRange(uint8_t lvar)
{
    for (const TLvarRange& r : Lvar_Ranges)
        if (lvar >= r.First && lvar <= r.Last)
            return r;
    return Lvar_Ranges[std::size(Lvar_Ranges) - 1];
}

int lvarLength(uint8_t lvar)
{
    const TLvarRange& r = lvarRange(lvar);
    return r.Reserved ? 0 : lvar - r.First;
}

const char* const Function_Texts[4] = {"Istantaneous value", "Maximum value", "Minimum value",
                                       "Value during error state"};

const char* const Weekday_Texts[8] = {"", "Monday ", "Tuesday ", "Wednesday ", "Thursday ", "Friday ", "Saturday ",
                                      "Sunday "};

const QString Errore_Tipo_Dati = QStringLiteral("Errore tipo di dati non analizzabili");
const QString Non_Analizabile = QStringLiteral("Non analizabile");

// Texts made once: the walk hands out shared copies.
struct TWalkTexts {
    std::array<QString, 16> FieldText;
    std::array<QString, 16> DescDim;
    std::array<QString, 4> Function;
    std::array<QString, 256> Hex; // "hh"
    TWalkTexts()
    {
        for (int i = 0; i < 16; ++i) {
            FieldText[size_t(i)] = QString::fromLatin1(Data_Fields[i].FieldText);
            DescDim[size_t(i)] = QString::fromLatin1(Data_Fields[i].DescDim);
        }
        for (int i = 0; i < 4; ++i)
            Function[size_t(i)] = QString::fromLatin1(Function_Texts[i]);
        static const char digits[] = "0123456789ABCDEF";
        for (int b = 0; b < 256; ++b)
            Hex[size_t(b)] = QString(QChar(digits[b >> 4])) + QChar(digits[b & 15]);
    }
};

const TWalkTexts& texts()
{
    static const TWalkTexts t;
    return t;
}

// ---------------------------------------------------------------------------
// Values

int64_t littleEndian(const uint8_t* d, int n)
{
    uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | d[i];
    return int64_t(v);
}

// Sign-extends an n-byte value from the top bit of its last byte.
int64_t signedLittleEndian(const uint8_t* d, int n)
{
    const uint64_t v = uint64_t(littleEndian(d, n));
    if (n >= 8)
        return int64_t(v);
    const uint64_t sign = uint64_t(1) << (8 * n - 1);
    return int64_t((v ^ sign) - sign);
}

QString timePointText(uint8_t dataField)
{
    switch (dataField) {
    case 2: return QStringLiteral("Time Point Date (Type G)");
    case 4: return QStringLiteral("Time Point Date and Time (Type F)");
    case 3: return QStringLiteral("Time Point Extended Time Point (Type J)");
    case 6: return QStringLiteral("Time Point Extended Date and Time Point (Type I)");
    default: return QString();
    }
}

int yearOf(uint8_t lo, uint8_t hi)
{
    return (lo >> 5) | ((hi >> 1) & 0x78);
}

// Type G (data field 2) and F (4); with `timeTypes` also J (3) and I (6).
// Empty for any other data field.
QString dateText(uint8_t dataField, const uint8_t* b, bool timeTypes)
{
    const QString ds = QStringLiteral("/");
    const QString ts = QStringLiteral(":");
    switch (dataField) {
    case 2:
        return Two_Digits(b[0] & 0x1F) + ds + Two_Digits(b[1] & 0x0F) + ds + Two_Digits(yearOf(b[0], b[1]));
    case 4:
        return Two_Digits(b[2] & 0x1F) + ds + Two_Digits(b[3] & 0x0F) + ds + Two_Digits(yearOf(b[2], b[3])) +
               QLatin1Char(' ') + Two_Digits(b[1] & 0x1F) + ts + Two_Digits(b[0] & 0x3F);
    case 3:
        if (!timeTypes)
            return QString();
        return Two_Digits(b[2] & 0x1F) + ts + Two_Digits(b[1] & 0x3F) + ts + Two_Digits(b[0] & 0x3F);
    case 6:
        if (!timeTypes)
            return QString();
        return QString::fromLatin1(Weekday_Texts[b[2] >> 5]) + Two_Digits(b[3] & 0x1F) + ds +
               Two_Digits(b[4] & 0x0F) + ds + Two_Digits(yearOf(b[3], b[4])) + QLatin1Char(' ') +
               Two_Digits(b[2] & 0x1F) + ts + Two_Digits(b[1] & 0x3F) + ts + Two_Digits(b[0] & 0x3F);
    default:
        return QString();
    }
}

// ---------------------------------------------------------------------------
// The walk

constexpr int Max_Extensions = 10;
constexpr int Max_Text = 192;

// What one record's header and data hold while it is read.
struct TRecordReading {
    uint8_t DIF = 0;
    uint8_t Dife[Max_Extensions] = {};
    int NDife = 0;
    uint8_t VIF = 0;
    int NVife = 0;
    uint8_t Text[Max_Text] = {};
    int NText = 0;
    uint8_t Lvar = 0;
    int Length = 0;
};

// The read position over the received bytes; never past them.
class TCursor {
public:
    TCursor(const uint8_t* bytes, int size) : FBytes(bytes), FSize(size) {}
    int Pos = 0;
    bool AtEnd() const { return Pos >= FSize; }
    uint8_t Current() const { return FBytes[Pos]; }
    // Moves to the next byte; false (and stays) when there is none.
    bool Next(uint8_t& b)
    {
        if (Pos + 1 >= FSize)
            return false;
        b = FBytes[++Pos];
        return true;
    }

private:
    const uint8_t* FBytes;
    int FSize;
};

enum class TReadOutcome { Ok, CutOff, TooManyDifes, TooManyVifes, TextTooLong };

// Reads DIFEs, VIF, plain-text unit and VIFEs (the DIF is under the cursor).
TReadOutcome readHeader(TCursor& c, TRecordReading& r, TMBusRecordBytes& buf)
{
    uint8_t b = r.DIF;
    if (r.DIF & 0x80) {
        do {
            if (r.NDife == Max_Extensions)
                return TReadOutcome::TooManyDifes;
            if (!c.Next(b))
                return TReadOutcome::CutOff;
            r.Dife[r.NDife++] = b;
        } while (b & 0x80);
    }
    if (!c.Next(r.VIF))
        return TReadOutcome::CutOff;
    if ((r.VIF & 0x7F) == 0x7C) {
        uint8_t len;
        if (!c.Next(len))
            return TReadOutcome::CutOff;
        if (len > Max_Text)
            return TReadOutcome::TextTooLong;
        for (int i = 0; i < len; ++i) {
            if (!c.Next(r.Text[i]))
                return TReadOutcome::CutOff;
        }
        r.NText = len;
    }
    if (r.VIF & 0x80) {
        do {
            if (r.NVife == Max_Extensions)
                return TReadOutcome::TooManyVifes;
            if (!c.Next(b))
                return TReadOutcome::CutOff;
            buf.App_Vife_Val[r.NVife++] = b;
        } while (b & 0x80);
    }
    return TReadOutcome::Ok;
}

// LVAR (for a variable-length record) and the data bytes.
TReadOutcome readData(TCursor& c, TRecordReading& r, TMBusRecordBytes& buf)
{
    const uint8_t df = r.DIF & 0x0F;
    if (df == Df_Variable_Length) {
        if (!c.Next(r.Lvar))
            return TReadOutcome::CutOff;
        r.Length = lvarLength(r.Lvar);
    } else {
        r.Length = Data_Fields[df].Length;
    }
    for (int i = 0; i < r.Length; ++i) {
        if (!c.Next(buf.App_Data_Val[i]))
            return TReadOutcome::CutOff;
    }
    return TReadOutcome::Ok;
}

QString malformedText(TReadOutcome o, int offset)
{
    const char* what = "";
    switch (o) {
    case TReadOutcome::CutOff: what = "runs past the end of the data"; break;
    case TReadOutcome::TooManyDifes: what = "has more than ten DIFEs"; break;
    case TReadOutcome::TooManyVifes: what = "has more than ten VIFEs"; break;
    case TReadOutcome::TextTooLong: what = "has a plain-text unit longer than 192 characters"; break;
    case TReadOutcome::Ok: break;
    }
    return QStringLiteral("The data record at offset %1 %2").arg(offset).arg(QString::fromLatin1(what));
}

// The moment of decoding, taken once per walk.
class TWalkClock {
public:
    const QString& Date()
    {
        take();
        return FDate;
    }
    const QString& Time()
    {
        take();
        return FTime;
    }

private:
    void take()
    {
        if (FTaken)
            return;
        const TDateTime now = Now();
        FDate = DateToStr(now);
        FTime = TimeToStr(now);
        FTaken = true;
    }
    bool FTaken = false;
    QString FDate, FTime;
};

TVariable_MBus* newRecord(uint8_t dif, const QString& fieldText, TWalkClock& clock)
{
    auto* rec = new TVariable_MBus;
    rec->DataFieldStr = fieldText;
    rec->datagiorno = clock.Date();
    rec->tempo = clock.Time();
    rec->Real_Wireless_Var = true;
    rec->DIF = QLatin1Char('$') + texts().Hex[dif];
    return rec;
}

QString hexList(const uint8_t* bytes, int n)
{
    QString s;
    s.reserve(n * 4);
    for (int i = 0; i < n; ++i)
        s += QLatin1Char('$') + texts().Hex[bytes[i]] + QLatin1Char(' ');
    return s;
}

// Fills and keeps a record whose header and data were read in full.
TVariable_MBus* buildRecord(const TRecordReading& r, const TMBusRecordBytes& buf, TWalkClock& clock)
{
    const TWalkTexts& t = texts();
    const uint8_t df = r.DIF & 0x0F;
    const int fn = (r.DIF >> 4) & 3;
    QString fieldText = t.FieldText[df];
    QString descDim = t.DescDim[df];
    int nbyte = Data_Fields[df].Length;
    bool reserved = false;
    if (df == Df_Variable_Length) {
        const TLvarRange& lr = lvarRange(r.Lvar);
        reserved = lr.Reserved;
        const int n = r.Lvar - lr.First;
        if (reserved) {
            fieldText = QString::fromLatin1(lr.FieldPrefix);
            descDim = QString::fromLatin1(lr.DescPrefix);
            nbyte = 0;
        } else {
            fieldText = QString::fromLatin1(lr.FieldPrefix) + QString::number(n * lr.FieldFactor) +
                        QString::fromLatin1(lr.FieldSuffix);
            descDim = QString::fromLatin1(lr.DescPrefix) + QString::number(n) + QString::fromLatin1(lr.DescSuffix);
            nbyte = n;
        }
    }

    TVariable_MBus* rec = newRecord(r.DIF, fieldText, clock);
    rec->dimension = df;
    rec->descdim = descDim;
    rec->nbyte = nbyte;
    if (reserved) {
        rec->errata = true;
        rec->sterror = Non_Analizabile;
    }

    rec->function_fild = uint16_t(fn);
    rec->storage_number = (r.DIF >> 6) & 1;
    if (r.NDife > 0) {
        // The DIFEs extend the DIF's fields, the last DIFE holding the most
        // significant bits.
        uint64_t subunit = 0, tariff = 0, storage = 0;
        for (int i = r.NDife - 1; i >= 0; --i) {
            const uint8_t d = r.Dife[i];
            subunit = subunit * 2 + ((d >> 6) & 1);
            tariff = tariff * 4 + ((d >> 4) & 3);
            storage = storage * 16 + (d & 0x0F);
        }
        storage = storage * 2 + ((r.DIF >> 6) & 1);
        rec->DIFE = hexList(r.Dife, r.NDife);
        rec->numdife = r.NDife;
        rec->storage_number = int64_t(storage);
        rec->tarif = uint16_t(tariff);
        rec->device = uint16_t(subunit);
    }

    rec->VIF = r.VIF;
    if ((r.VIF & 0x7F) == 0x7C) {
        rec->casovif = 101;
        QString unit;
        unit.reserve(r.NText);
        for (int i = r.NText - 1; i >= 0; --i)
            unit += QChar(r.Text[i]);
        rec->VIF_ASCII = unit;
    } else if (r.VIF < 0x7B || (r.VIF >= 0x80 && r.VIF <= 0xFA)) {
        rec->vifvalue = r.VIF;
        rec->casovif = 0;
    } else if (r.VIF == 0xFB) {
        rec->casovif = 2;
        rec->vifvalue = buf.App_Vife_Val[0];
    } else if (r.VIF == 0xFD) {
        rec->casovif = 1;
        rec->vifvalue = buf.App_Vife_Val[0];
    } else if ((r.VIF & 0x7F) == 0x7F) {
        rec->casovif = 100;
    }
    rec->VIFE = hexList(buf.App_Vife_Val, r.NVife);
    rec->PrinVIFE = buf.App_Vife_Val[0];

    QString hex;
    hex.reserve(r.Length * 2);
    for (int i = 0; i < r.Length; ++i)
        hex += t.Hex[buf.App_Data_Val[i]];
    rec->totdati = hex;
    uint32_t a = 0, b = 0;
    for (int i = std::min(r.Length, 4) - 1; i >= 0; --i)
        a = a << 8 | buf.App_Data_Val[i];
    for (int i = std::min(r.Length, 8) - 1; i >= 4; --i)
        b = b << 8 | buf.App_Data_Val[i];
    rec->dato_A = int32_t(a);
    rec->dato_B = int32_t(b);

    Decode_Record_Value(r.VIF, buf.App_Vife_Val[0], *rec, nbyte, r.Lvar, df, buf);
    rec->FunctionFieldStr = t.Function[size_t(fn)];
    return rec;
}

} // namespace

// ---------------------------------------------------------------------------

long double Raw_Record_Value(uint8_t dataField, uint8_t lvar, const uint8_t* d)
{
    switch (dataField) {
    case 1: return (long double)signedLittleEndian(d, 1);
    case 2: return (long double)signedLittleEndian(d, 2);
    case 3: return (long double)signedLittleEndian(d, 3);
    case 4: return (long double)signedLittleEndian(d, 4);
    case Df_Real: {
        const uint32_t bits = uint32_t(littleEndian(d, 4));
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    case 6: return (long double)signedLittleEndian(d, 6);
    case 7: return (long double)signedLittleEndian(d, 8);
    case 9: return (long double)Bcd_Value(d, 1);
    case 10: return (long double)Bcd_Value(d, 2);
    case 11: return (long double)Bcd_Value(d, 3);
    case 12: return (long double)Bcd_Value(d, 4);
    case 14: return (long double)Bcd_Value(d, 6);
    case Df_Variable_Length:
        if (lvar >= 0xC0 && lvar <= 0xC9)
            return (long double)Bcd_Value(d, lvar - 0xC0);
        if (lvar >= 0xD0 && lvar <= 0xD9)
            return -(long double)Bcd_Value(d, lvar - 0xD0);
        return 0;
    default:
        return 0;
    }
}

long double Scale_Value(long double value, int exponent)
{
    // Dividing by an exact power keeps 10000 x 10^-3 at exactly 10.
    static const std::array<long double, 20> powers = [] {
        std::array<long double, 20> p{};
        long double v = 1;
        for (long double& x : p) {
            x = v;
            v *= 10;
        }
        return p;
    }();
    const int n = exponent < 0 ? -exponent : exponent;
    const long double p = n < int(powers.size()) ? powers[size_t(n)] : std::pow(10.0L, (long double)n);
    return exponent < 0 ? value / p : value * p;
}

int Value_Exponent(uint8_t vif, uint8_t firstVife)
{
    if (vif == 0xFD)
        return Vif_Table_FD(firstVife).Exponent;
    if (vif == 0xFB)
        return Vif_Table_FB(firstVife).Exponent;
    return Primary_Vif(vif).Exponent;
}

void Decode_Record_Value(uint8_t vif, uint8_t firstVife, TVariable_MBus& record, int nbyte, uint8_t lvar,
                         uint8_t dataField, const TMBusRecordBytes& bytes)
{
    const uint8_t* data = bytes.App_Data_Val;
    const uint8_t v7 = vif & 0x7F;
    const TVifEntry& primary = Primary_Vif(vif);
    int code = 0;
    int exponent;
    QString desc;
    int vifeStart = -1; // the first combinable VIFE, if any

    if (vif == 0xFD || vif == 0xFB) {
        const TVifEntry& x = vif == 0xFD ? Vif_Table_FD(firstVife) : Vif_Table_FB(firstVife);
        desc = x.Text;
        code = x.Code;
        exponent = x.Exponent;
        if (firstVife & 0x80)
            vifeStart = 1;
    } else {
        desc = (v7 == 0x6C || v7 == 0x6D) ? timePointText(dataField) : primary.Text;
        exponent = primary.Exponent;
        if ((vif & 0x80) && vif != 0xFE && vif != 0xFF)
            vifeStart = 0;
    }

    bool dateVife = false;
    if (vifeStart >= 0) {
        int i = vifeStart;
        while (i < Max_Extensions) {
            uint8_t ve = bytes.App_Vife_Val[i];
            const TVifeEntry& e = Combinable_Vife(ve);
            if (e.Phase) {
                if (i + 1 < Max_Extensions) {
                    ++i;
                    ve = bytes.App_Vife_Val[i];
                    desc += Phase_Text(ve);
                }
            } else {
                desc += e.Text;
                if (code == 0 && e.Code != 0)
                    code = e.Code;
                dateVife = dateVife || e.Date;
            }
            if (!(ve & 0x80))
                break;
            ++i;
        }
    }

    QString valueText;
    if (v7 == 0x7C) {
        // The data bytes are the value's characters, in received order.
        valueText.reserve(nbyte);
        for (int i = 0; i < nbyte && i < int(sizeof bytes.App_Data_Val); ++i)
            valueText += QChar(data[i]);
    } else {
        if (v7 == 0x6C || v7 == 0x6D)
            valueText = dateText(dataField, data, true);
        else if (dateVife)
            valueText = dateText(dataField, data, false);
        if (valueText.isEmpty())
            valueText = FloatToStr(double(Scale_Value(Raw_Record_Value(dataField, lvar, data), exponent)));
    }

    record.type_data = primary.Code;
    record.Type_Data_Vife = code;
    record.Desc_Type_Data = desc;
    record.ValueStr = valueText;
}

TMBusWalkResult Decode_Data_Records(QByteArrayView bytes, TMBusType mode, QList<TVariable_MBus*>& list)
{
    TMBusWalkResult result;
    TCursor c(reinterpret_cast<const uint8_t*>(bytes.data()), int(bytes.size()));
    TWalkClock clock;
    TMBusRecordBytes buf;

    auto stop = [&](int offset, const QString& reason) {
        result.Stopped = true;
        result.Stop_Offset = offset;
        result.Stop_Reason = reason;
    };

    for (; !c.AtEnd(); ++c.Pos) {
        const int start = c.Pos;
        TRecordReading r;
        buf = TMBusRecordBytes{};
        r.DIF = c.Current();
        const uint8_t df = r.DIF & 0x0F;

        // Special functions without a header.
        if (r.DIF == 0x0F)
            return result; // manufacturer-specific data up to the end
        if (r.DIF == 0x1F) {
            result.Complete = false; // the same, and more records follow
            return result;
        }
        if (r.DIF == 0x2F) {
            // Idle filler: a wireless walk keeps a placeholder for it.
            if (mode == mtWireless) {
                TVariable_MBus* rec = newRecord(r.DIF, texts().FieldText[Df_Special], clock);
                rec->Real_Wireless_Var = false;
                list.append(rec);
                ++result.Kept;
            }
            continue;
        }
        if (df == Df_Special && !(r.DIF & 0x80)) {
            // 3Fh..7Fh: nothing after them can be read.
            stop(start, Errore_Tipo_Dati);
            return result;
        }

        TReadOutcome o = readHeader(c, r, buf);
        if (o == TReadOutcome::Ok)
            o = readData(c, r, buf);
        if (o != TReadOutcome::Ok) {
            stop(start, malformedText(o, start));
            return result;
        }

        if (df == Df_Special)
            continue; // 8Fh..FFh: not kept, the walk goes on after the header
        if (df == Df_Selection_For_Readout) {
            stop(start, Non_Analizabile);
            return result;
        }
        if (r.VIF == 0x7E || r.VIF == 0xFE) {
            stop(start, QStringLiteral("The data record at offset %1 asks for any VIF").arg(start));
            return result;
        }

        list.append(buildRecord(r, buf, clock));
        ++result.Kept;
    }
    return result;
}

bool Parse_Data_Records(QList<TVariable_MBus*>& list, int last, QByteArrayView source, TMBusType mode)
{
    if (last < 0)
        return true;
    const qsizetype n = std::min<qsizetype>(qsizetype(last) + 1, source.size());
    return Decode_Data_Records(source.first(n), mode, list).Complete;
}
