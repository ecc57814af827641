#include "editors/UModbusRules.h"

#include "platform/core/IntConv.h"

namespace ModbusRules {

namespace {

constexpr int Max_Slave = 247;
constexpr int Max_Address = 65535;
constexpr int Max_Time = 100000000;

int Number(const QString& s)
{
    return StrToIntDef(s, -1);
}

bool In(int64_t v, int64_t lo, int64_t hi)
{
    return v >= lo && v <= hi;
}

bool Is(const QString& upper, const char* name)
{
    return upper == QLatin1String(name);
}

} // namespace

bool Type_Ok(const QString& type, bool write)
{
    const QString t = type.trimmed().toUpper();
    if (Is(t, "COIL STATUS") || Is(t, "HOLDING REGISTER"))
        return true;
    return !write && (Is(t, "INPUT STATUS") || Is(t, "INPUT REGISTER"));
}

bool Is_Bit_Request(const QString& type, bool write)
{
    const QString t = type.trimmed().toUpper();
    return Is(t, "COIL STATUS") || (!write && Is(t, "INPUT STATUS"));
}

int Max_Points(bool bit, bool write)
{
    if (write)
        return bit ? 1968 : 123;
    return bit ? 2000 : 125;
}

int64_t Last_Byte(bool bit, int position, int points, int startBit)
{
    if (!bit)
        return int64_t(position) + 2 * int64_t(points) - 1;
    return int64_t(position) + (int64_t(points) + startBit - 1) / 8;
}

int Check_Request(const TRequest& q, bool write, int nByte, const TTexts& t, QString& limit)
{
    if (!In(Number(q.Slave), 1, Max_Slave))
        return t.Slave;
    if (!Type_Ok(q.Type, write))
        return t.Type;
    const bool bit = Is_Bit_Request(q.Type, write);
    if (!In(Number(q.Address), 0, Max_Address))
        return t.Address;
    const int points = Number(q.NPoint);
    const int maxPoints = Max_Points(bit, write);
    if (!In(points, 1, maxPoints)) {
        limit = QString::number(maxPoints);
        return t.NPoint;
    }
    if (!In(Number(q.Poll), write ? 0 : 1, Max_Time))
        return t.Poll;
    if (!In(Number(q.MaxError), 0, Max_Time))
        return t.MaxError;
    const int position = Number(q.Position);
    if (!In(position, 0, nByte - 1)) {
        limit = QString::number(nByte - 1);
        return t.Position;
    }
    if (bit && q.Bit.isEmpty())
        return t.Bit;
    const int startBit = bit ? StrToIntDef(q.Bit, 0) : 0;
    if (Last_Byte(bit, position, points, startBit) >= nByte)
        return t.Span;
    return 0;
}

bool Check_IP_Address(const QString& IP_Address)
{
    if (IP_Address.isEmpty())
        return true;
    int from = 0;
    for (int part = 0; part < 4; ++part) {
        QString text;
        if (from < 0) {
            text.clear();
        } else if (part < 3) {
            const int dot = int(IP_Address.indexOf(QLatin1Char('.'), from));
            text = dot < 0 ? IP_Address.mid(from) : IP_Address.mid(from, dot - from);
            from = dot < 0 ? -1 : dot + 1;
        } else {
            text = IP_Address.mid(from);
        }
        if (!In(Number(text), 0, 255))
            return true;
    }
    return false;
}

} // namespace ModbusRules
