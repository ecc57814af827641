#include "mbus/MBusRecords.h"

#include <iterator>

TMBusSlaveList<TSlave_MBus> List_Slaves_MBus;
TMBusSlaveList<TSlave_wMBus> List_Slaves_wMBus;

namespace {

void freeRecords(QList<TVariable_MBus*>& list)
{
    for (qsizetype i = list.size() - 1; i >= 0; --i)
        delete list[i];
    list.clear();
}

// Medium texts by code 0..25; codes past the table are "Other".
const char* const Medium_Texts[] = {
    "Other",                       // 0
    "Oil",                         // 1
    "Electricity",                 // 2
    "Gas",                         // 3
    "Heat (outlet)",               // 4
    "Steam",                       // 5
    "Hot Water",                   // 6
    "Water",                       // 7
    "Heat Cost Allocator.",        // 8
    "Compressed Air",              // 9
    "Cooling load meter (outlet)", // 10
    "Cooling load meter (inlet)",  // 11
    "Heat (inlet) ",               // 12
    "Heat/Cooling load meter",     // 13
    "Bus/System",                  // 14
    "Unknown Medium",              // 15
    "Other",                       // 16
    "Other",                       // 17
    "Other",                       // 18
    "Other",                       // 19
    "Other",                       // 20
    "Other",                       // 21
    "Cold Water",                  // 22
    "Dual Water",                  // 23
    "Pressure",                    // 24
    "A/D Converter",               // 25
};
static_assert(std::size(Medium_Texts) == 26);

} // namespace

TSlave_MBus::~TSlave_MBus()
{
    freeRecords(List_Var);
}

void TSlave_MBus::Destry()
{
    freeRecords(List_Var);
    delete this;
}

TSlave_wMBus::~TSlave_wMBus()
{
    freeRecords(List_Var);
}

void TSlave_wMBus::Cancel_Var()
{
    freeRecords(List_Var);
}

void TSlave_wMBus::Destry()
{
    Cancel_Var();
    delete this;
}

QString Medium_Text(int code)
{
    if (code < 0 || code >= int(std::size(Medium_Texts)))
        return QStringLiteral("Other");
    return QString::fromLatin1(Medium_Texts[code]);
}

QString Manufacturer_Letter(int code)
{
    return code >= 'A' && code <= 'Z' ? QString(QChar(code)) : QStringLiteral("?");
}

QString Manufacturer_Text(uint16_t field)
{
    return Manufacturer_Letter(64 + ((field >> 10) & 0x1F)) + Manufacturer_Letter(64 + ((field >> 5) & 0x1F)) +
           Manufacturer_Letter(64 + (field & 0x1F));
}

int64_t Power_Of_Ten(int n)
{
    uint64_t v = 1;
    for (int i = 0; i < n; ++i)
        v *= 10;
    return int64_t(v);
}

int64_t Bcd_Value(const uint8_t* data, int n)
{
    // Unsigned sums: nibbles above 9 on a long run must not overflow into
    // undefined behaviour; the digits of a real BCD value never come near it.
    uint64_t sum = 0;
    uint64_t weight = 1;
    for (int i = 0; i < n; ++i) {
        const uint8_t b = data[i];
        sum += (b & 0x0F) * weight;
        weight *= 10;
        if (i == n - 1 && (b >> 4) == 0x0F)
            return int64_t(uint64_t(0) - sum);
        sum += (b >> 4) * weight;
        weight *= 10;
    }
    return int64_t(sum);
}

QString Two_Digits(int value)
{
    const QString s = QString::number(value);
    return s.size() == 1 ? QLatin1Char('0') + s : s;
}
