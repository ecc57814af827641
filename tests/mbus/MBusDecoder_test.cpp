#include "mbus/MBusDecoder.h"

#include "platform/core/DateTime.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

QByteArray Bytes(std::initializer_list<int> b)
{
    QByteArray a;
    for (int x : b)
        a.append(char(uint8_t(x)));
    return a;
}

// The records of one walk, freed with the fixture.
struct Walk {
    QList<TVariable_MBus*> List;
    TMBusWalkResult Result;
    Walk(const QByteArray& bytes, TMBusType mode = mtWired) { Result = Decode_Data_Records(bytes, mode, List); }
    ~Walk() { qDeleteAll(List); }
};

// A record's fields by name, as text, so one table of cases can check any of them.
std::string Field(const TVariable_MBus& v, const std::string& name)
{
    static const std::map<std::string, std::function<QString(const TVariable_MBus&)>> f = {
        {"descdim", [](auto& v) { return v.descdim; }},
        {"DataFieldStr", [](auto& v) { return v.DataFieldStr; }},
        {"nbyte", [](auto& v) { return QString::number(v.nbyte); }},
        {"Desc_Type_Data", [](auto& v) { return v.Desc_Type_Data; }},
        {"ValueStr", [](auto& v) { return v.ValueStr; }},
        {"type_data", [](auto& v) { return QString::number(v.type_data); }},
        {"Type_Data_Vife", [](auto& v) { return QString::number(v.Type_Data_Vife); }},
        {"DIF", [](auto& v) { return v.DIF; }},
        {"DIFE", [](auto& v) { return v.DIFE; }},
        {"VIFE", [](auto& v) { return v.VIFE; }},
        {"totdati", [](auto& v) { return v.totdati; }},
        {"dato_A", [](auto& v) { return QString::number(v.dato_A); }},
        {"dato_B", [](auto& v) { return QString::number(v.dato_B); }},
        {"vifvalue", [](auto& v) { return QString::number(v.vifvalue); }},
        {"PrinVIFE", [](auto& v) { return QString::number(v.PrinVIFE); }},
        {"casovif", [](auto& v) { return QString::number(v.casovif); }},
        {"FunctionFieldStr", [](auto& v) { return v.FunctionFieldStr; }},
        {"function_fild", [](auto& v) { return QString::number(v.function_fild); }},
        {"storage", [](auto& v) { return QString::number(v.storage_number); }},
        {"tariff", [](auto& v) { return QString::number(v.tarif); }},
        {"subunit", [](auto& v) { return QString::number(v.device); }},
        {"numdife", [](auto& v) { return QString::number(v.numdife); }},
        {"dimension", [](auto& v) { return QString::number(v.dimension); }},
        {"VIF", [](auto& v) { return QString::number(v.VIF); }},
        {"VIF_ASCII", [](auto& v) { return v.VIF_ASCII; }},
        {"errata", [](auto& v) { return QString::number(v.errata); }},
        {"sterror", [](auto& v) { return v.sterror; }},
    };
    auto it = f.find(name);
    if (it == f.end())
        return "<no field " + name + ">";
    return it->second(v).toStdString();
}

struct RecordCase {
    const char* Name;
    QByteArray Bytes;
    std::vector<std::pair<std::string, std::string>> Expect;
};

} // namespace

TEST(MBusDecoder, RecordFields)
{
    const RecordCase cases[] = {
        {"32-bit volume", Bytes({0x04, 0x13, 0x10, 0x27, 0x00, 0x00}),
         {{"descdim", "32 Bit Integer"},
          {"DataFieldStr", "32 Bit Integer"},
          {"nbyte", "4"},
          {"Desc_Type_Data", "Volume m3"},
          {"ValueStr", "10"},
          {"type_data", "2"},
          {"Type_Data_Vife", "0"},
          {"DIF", "$04"},
          {"DIFE", ""},
          {"totdati", "10270000"},
          {"dato_A", "10000"},
          {"dato_B", "0"},
          {"vifvalue", "19"},
          {"casovif", "0"},
          {"storage", "0"},
          {"tariff", "0"},
          {"subunit", "0"},
          {"FunctionFieldStr", "Istantaneous value"}}},
        {"8-digit BCD volume", Bytes({0x0C, 0x13, 0x78, 0x56, 0x34, 0x12}),
         {{"descdim", "8 digit BCD"}, {"DataFieldStr", "8 Digit BCD"}, {"ValueStr", "12345.678"}}},
        {"negative BCD flow temperature", Bytes({0x0A, 0x5A, 0x34, 0xF2}),
         {{"Desc_Type_Data", "Flow Temperature °C"}, {"ValueStr", "-23.4"}, {"type_data", "12"}}},
        {"two DIFEs: storage, tariff", Bytes({0x84, 0x81, 0x10, 0x13, 0x01, 0x00, 0x00, 0x00}),
         {{"storage", "2"}, {"tariff", "4"}, {"subunit", "0"}, {"DIFE", "$81 $10 "}, {"numdife", "2"}}},
        {"DIFE unit bit", Bytes({0x84, 0x40, 0x13, 0x01, 0x00, 0x00, 0x00}), {{"subunit", "1"}, {"storage", "0"}}},
        {"DIF storage bit", Bytes({0x44, 0x13, 0x01, 0x00, 0x00, 0x00}), {{"storage", "1"}}},
        {"DIFE storage shifted past the DIF bit", Bytes({0xC4, 0x01, 0x13, 0x01, 0x00, 0x00, 0x00}),
         {{"storage", "3"}}},
        {"maximum value", Bytes({0x14, 0x13, 0x01, 0x00, 0x00, 0x00}),
         {{"function_fild", "1"}, {"FunctionFieldStr", "Maximum value"}}},
        {"value during error state", Bytes({0x31, 0x13, 0x01}), {{"FunctionFieldStr", "Value during error state"}}},
        {"FDh table: error flags", Bytes({0x01, 0xFD, 0x17, 0x05}),
         {{"Desc_Type_Data", "Error Flag (Binary)"},
          {"type_data", "19"},
          {"Type_Data_Vife", "18"},
          {"casovif", "1"},
          {"vifvalue", "23"},
          {"ValueStr", "5"}}},
        {"FDh table with exponent: volts", Bytes({0x02, 0xFD, 0x48, 0xE8, 0x03}),
         {{"Desc_Type_Data", "Electric Units Volts"}, {"Type_Data_Vife", "38"}, {"ValueStr", "100"}}},
        {"FDh reserved", Bytes({0x01, 0xFD, 0x23, 0x01}), {{"Desc_Type_Data", "Reserved"}, {"Type_Data_Vife", "0"}}},
        {"FBh table: energy MWh", Bytes({0x02, 0xFB, 0x01, 0x0C, 0x00}),
         {{"Desc_Type_Data", "Energy MWh"}, {"Type_Data_Vife", "51"}, {"casovif", "2"}, {"ValueStr", "12"}}},
        {"FBh table, then a combinable VIFE", Bytes({0x01, 0xFB, 0x8D, 0x3B, 0x07}),
         {{"Desc_Type_Data", "Energy MCal - Accumulation Only if Positive Contributions (Forward Flow Contribution)"},
          {"Type_Data_Vife", "139"},
          {"ValueStr", "7"},
          {"VIFE", "$8D $3B "}}},
        {"combinable VIFE after the primary VIF", Bytes({0x04, 0x93, 0x3B, 0x10, 0x27, 0x00, 0x00}),
         {{"Desc_Type_Data",
           "Volume m3 - Accumulation Only if Positive Contributions (Forward Flow Contribution)"},
          {"Type_Data_Vife", "95"},
          {"ValueStr", "10"},
          {"PrinVIFE", "59"}}},
        {"two combinable VIFEs, the first code wins", Bytes({0x01, 0x93, 0xA0, 0x15, 0x00}),
         {{"Desc_Type_Data", "Volume m3 - Per Second - No Data Available (Undefined Value)"},
          {"Type_Data_Vife", "70"}}},
        {"duration VIFE", Bytes({0x01, 0xA2, 0x52, 0x01}),
         {{"Desc_Type_Data", "On Time Hours - Duration 02 of First Lower Limit Exceed"}, {"Type_Data_Vife", "100"}}},
        {"correction factor VIFEs", Bytes({0x01, 0x93, 0xF3, 0x79, 0x01}),
         {{"Desc_Type_Data",
           "Volume m3 - Moltiplicative Correction Factor: 10^(-3) - Additive Correction Constant: 10^(-2) * Unit of VIF"},
          {"Type_Data_Vife", "103"},
          {"ValueStr", "0.001"}}},
        {"phase after 7Ch", Bytes({0x01, 0xA8, 0xFC, 0x02, 0x01}),
         {{"Desc_Type_Data", "Power W - At Phase L2"}, {"Type_Data_Vife", "0"}}},
        {"reserved VIFE", Bytes({0x01, 0x93, 0x08, 0x01}), {{"Desc_Type_Data", "Volume m3 - Reserved"}}},
        {"type G date", Bytes({0x02, 0x6C, 0x21, 0x13}),
         {{"Desc_Type_Data", "Time Point Date (Type G)"}, {"ValueStr", "01/03/09"}, {"type_data", "20"}}},
        {"type F date and time", Bytes({0x04, 0x6D, 0x1E, 0x0C, 0x21, 0x13}),
         {{"Desc_Type_Data", "Time Point Date and Time (Type F)"}, {"ValueStr", "01/03/09 12:30"}}},
        {"type J time", Bytes({0x03, 0x6D, 0x05, 0x1E, 0x0C}),
         {{"Desc_Type_Data", "Time Point Extended Time Point (Type J)"}, {"ValueStr", "12:30:05"}}},
        {"type I date and time", Bytes({0x06, 0x6D, 0x05, 0x1E, 0x4C, 0x21, 0x13, 0x00}),
         {{"Desc_Type_Data", "Time Point Extended Date and Time Point (Type I)"},
          {"ValueStr", "Tuesday 01/03/09 12:30:05"}}},
        {"time point with another data field", Bytes({0x01, 0x6C, 0x07}),
         {{"Desc_Type_Data", ""}, {"ValueStr", "7"}, {"type_data", "20"}}},
        {"date VIFE gives a type G date", Bytes({0x02, 0xA2, 0x6A, 0x21, 0x13}),
         {{"ValueStr", "01/03/09"},
          {"Type_Data_Vife", "102"},
          {"Desc_Type_Data", "On Time Hours - Date(/Time) of Begin of First"}}},
        {"date VIFE with another data field shows the value", Bytes({0x01, 0xA2, 0x6A, 0x21}),
         {{"ValueStr", "33"}}},
        {"variable-length positive BCD", Bytes({0x0D, 0x78, 0xC2, 0x34, 0x12}),
         {{"type_data", "23"},
          {"ValueStr", "1234"},
          {"descdim", "Variable length: Positive BCD number with 2 *2 digits"},
          {"DataFieldStr", "Variable Length - Positive BCD Number with 4 digits"},
          {"nbyte", "2"}}},
        {"variable-length negative BCD", Bytes({0x0D, 0x78, 0xD2, 0x34, 0x12}),
         {{"ValueStr", "-1234"}, {"descdim", "Variable length: Negative BCD number with 2 *2 digits"}}},
        {"variable-length ASCII", Bytes({0x0D, 0x79, 0x03, 0x41, 0x42, 0x43}),
         {{"descdim", "Variable length: ASCII string with 3 characters"},
          {"DataFieldStr", "Variable Length - ASCII String with 3characters"},
          {"ValueStr", "0"},
          {"totdati", "414243"}}},
        {"variable-length reserved is kept with its error", Bytes({0x0D, 0x13, 0xFB}),
         {{"descdim", "Variable length: Reserved"},
          {"DataFieldStr", "Variable Length - Reserved"},
          {"nbyte", "0"},
          {"errata", "1"},
          {"sterror", "Non analizabile"}}},
        {"plain-text unit", Bytes({0x01, 0x7C, 0x03, 0x68, 0x2F, 0x6D, 0x05}),
         {{"casovif", "101"}, {"VIF_ASCII", "m/h"}, {"type_data", "21"}, {"ValueStr", "\x05"}}},
        {"manufacturer-specific VIF", Bytes({0x01, 0xFF, 0x01, 0x09}),
         {{"casovif", "100"}, {"Desc_Type_Data", "Manufacturer Specific"}, {"type_data", "65535"}}},
        {"64-bit maximum", Bytes({0x07, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
         {{"ValueStr", "9.22337203685478E18"}, {"dato_A", "-1"}, {"dato_B", "2147483647"}}},
        {"24-bit sign", Bytes({0x03, 0x2B, 0xFF, 0xFF, 0xFF}), {{"ValueStr", "-1"}}},
        {"48-bit sign", Bytes({0x06, 0x2B, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), {{"ValueStr", "-2"}}},
        {"32-bit real", Bytes({0x05, 0x2E, 0x00, 0x00, 0xC0, 0x3F}),
         {{"descdim", "32 Bit real"}, {"DataFieldStr", "32 Bit Real"}, {"ValueStr", "1500"}}},
        {"no data", Bytes({0x00, 0x13}), {{"descdim", "No data"}, {"nbyte", "0"}, {"ValueStr", "0"}}},
        {"12-digit BCD", Bytes({0x0E, 0x03, 0x01, 0x00, 0x00, 0x00, 0x00, 0x90}), {{"ValueStr", "900000000001"}}},
        {"7Bh without extension bit", Bytes({0x01, 0x7B, 0x05}),
         {{"type_data", "19"}, {"casovif", "0"}, {"vifvalue", "-1"}, {"Desc_Type_Data", ""}}},
    };
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Walk w(c.Bytes);
        ASSERT_EQ(w.List.size(), 1);
        EXPECT_FALSE(w.Result.Stopped) << w.Result.Stop_Reason.toStdString();
        for (const auto& [field, value] : c.Expect)
            EXPECT_EQ(Field(*w.List[0], field), value) << field;
    }
}

TEST(MBusDecoder, RecordsTakeTheMomentOfDecoding)
{
    SetNowHook([] { return EncodeDate(2026, 12, 10) + EncodeTime(15, 4, 5, 0); });
    Walk w(Bytes({0x01, 0x13, 0x01, 0x01, 0x13, 0x02}));
    SetNowHook(nullptr);
    ASSERT_EQ(w.List.size(), 2);
    for (TVariable_MBus* v : w.List) {
        EXPECT_EQ(v->datagiorno, QStringLiteral("10/12/2026"));
        EXPECT_EQ(v->tempo, QStringLiteral("15:04:05"));
        EXPECT_TRUE(v->Real_Wireless_Var);
        EXPECT_TRUE(v->Enable);
    }
}

TEST(MBusDecoder, WalkEndings)
{
    struct Case {
        const char* Name;
        QByteArray Bytes;
        TMBusType Mode;
        bool Complete;
        int Kept;
        int Placeholders;
        bool Stopped;
        const char* Reason;
    };
    const QByteArray rec = Bytes({0x01, 0x13, 0x05});
    const Case cases[] = {
        {"1Fh: more records follow", rec + Bytes({0x1F, 0x01, 0x02}), mtWired, false, 1, 0, false, ""},
        {"0Fh alone", Bytes({0x0F}), mtWired, true, 0, 0, false, ""},
        {"0Fh ends the walk", rec + Bytes({0x0F, 0x01, 0x13, 0x05}), mtWired, true, 1, 0, false, ""},
        {"2Fh in a wired walk", rec + Bytes({0x2F, 0x2F}), mtWired, true, 1, 0, false, ""},
        {"2Fh in a wireless walk", Bytes({0x2F}) + rec + Bytes({0x2F, 0x2F}), mtWireless, true, 4, 3, false, ""},
        {"3Fh", rec + Bytes({0x3F, 0x13, 0x05}) + rec, mtWired, true, 1, 0, true,
         "Errore tipo di dati non analizzabili"},
        {"7Fh", Bytes({0x7F}), mtWired, true, 0, 0, true, "Errore tipo di dati non analizzabili"},
        {"data field 8", rec + Bytes({0x08, 0x13}) + rec, mtWired, true, 1, 0, true, "Non analizabile"},
        {"8Fh goes on after its header", Bytes({0x8F, 0x00, 0x13}) + rec, mtWired, true, 1, 0, false, ""},
        {"any VIF", rec + Bytes({0x01, 0x7E, 0x05}) + rec, mtWired, true, 1, 0, true,
         "The data record at offset 3 asks for any VIF"},
        {"empty", QByteArray(), mtWired, true, 0, 0, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Walk w(c.Bytes, c.Mode);
        EXPECT_EQ(w.Result.Complete, c.Complete);
        EXPECT_EQ(w.List.size(), c.Kept);
        EXPECT_EQ(w.Result.Kept, c.Kept);
        int placeholders = 0;
        for (TVariable_MBus* v : w.List)
            placeholders += v->Real_Wireless_Var ? 0 : 1;
        EXPECT_EQ(placeholders, c.Placeholders);
        EXPECT_EQ(w.Result.Stopped, c.Stopped);
        EXPECT_EQ(w.Result.Stop_Reason.toStdString(), c.Reason);
    }
}

TEST(MBusDecoder, WirelessPlaceholderKeepsOnlyTheHeaderFields)
{
    Walk w(Bytes({0x2F}), mtWireless);
    ASSERT_EQ(w.List.size(), 1);
    EXPECT_FALSE(w.List[0]->Real_Wireless_Var);
    EXPECT_EQ(w.List[0]->DIF, QStringLiteral("$2F"));
    EXPECT_EQ(w.List[0]->DataFieldStr, QStringLiteral("Special Function"));
}

// Malformed records end the walk at their own offset; records before them
// stay, and nothing past the bytes is read (the walk runs under ASan in the
// sanitizer build).
TEST(MBusDecoder, MalformedRecordsEndTheWalk)
{
    QByteArray elevenDifes = Bytes({0x84});
    for (int i = 0; i < 11; ++i)
        elevenDifes.append(char(0x80));
    elevenDifes += Bytes({0x00, 0x13, 0x01, 0x00, 0x00, 0x00});
    QByteArray elevenVifes = Bytes({0x01, 0x93});
    for (int i = 0; i < 11; ++i)
        elevenVifes.append(char(0xA0));
    elevenVifes += Bytes({0x20, 0x01});
    QByteArray longText = Bytes({0x01, 0x7C, 200});
    longText += QByteArray(200, 'a');
    longText += Bytes({0x01});

    struct Case {
        const char* Name;
        QByteArray Bytes;
        const char* Reason;
    };
    const QByteArray rec = Bytes({0x01, 0x13, 0x05});
    const Case cases[] = {
        {"eleven DIFEs", rec + elevenDifes, "has more than ten DIFEs"},
        {"eleven VIFEs", rec + elevenVifes, "has more than ten VIFEs"},
        {"plain-text unit of 200", rec + longText, "has a plain-text unit longer than 192 characters"},
        {"plain text past the end", rec + Bytes({0x01, 0x7C, 0x05, 0x41}), "runs past the end of the data"},
        {"32-bit value with two bytes left", rec + Bytes({0x04, 0x13, 0x01, 0x02}), "runs past the end of the data"},
        {"lone DIF with extension bit", rec + Bytes({0x84}), "runs past the end of the data"},
        {"DIF without VIF", rec + Bytes({0x04}), "runs past the end of the data"},
        {"VIFE cut off", rec + Bytes({0x04, 0x93}), "runs past the end of the data"},
        {"LVAR cut off", rec + Bytes({0x0D, 0x13}), "runs past the end of the data"},
        {"variable length past the end", rec + Bytes({0x0D, 0x13, 0x10, 0x41}), "runs past the end of the data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        // A copy of exactly the bytes, so a read past them is a heap overflow.
        std::unique_ptr<char[]> exact(new char[size_t(c.Bytes.size())]);
        std::memcpy(exact.get(), c.Bytes.constData(), size_t(c.Bytes.size()));
        QList<TVariable_MBus*> list;
        const TMBusWalkResult r = Decode_Data_Records(QByteArrayView(exact.get(), c.Bytes.size()), mtWired, list);
        EXPECT_EQ(list.size(), 1);
        EXPECT_TRUE(r.Stopped);
        EXPECT_EQ(r.Stop_Offset, 3);
        EXPECT_EQ(r.Stop_Reason.toStdString(), std::string("The data record at offset 3 ") + c.Reason);
        qDeleteAll(list);
    }
}

TEST(MBusDecoder, TenExtensionsAreStillARecord)
{
    QByteArray b = Bytes({0x84});
    for (int i = 0; i < 9; ++i)
        b.append(char(0x80));
    b += Bytes({0x01, 0x93});
    for (int i = 0; i < 9; ++i)
        b.append(char(0xA0));
    b += Bytes({0x20, 0x01, 0x00, 0x00, 0x00});
    Walk w(b);
    ASSERT_EQ(w.List.size(), 1);
    EXPECT_EQ(w.List[0]->numdife, 10);
    EXPECT_EQ(w.List[0]->storage_number, int64_t(1) << 37);
    EXPECT_EQ(w.List[0]->Desc_Type_Data.count(QStringLiteral(" - Per Second")), 10);
}

TEST(MBusDecoder, ParseDataRecordsTakesTheBytesUpToLast)
{
    // A wired answer: the engine passes the bytes of the records only.
    const QByteArray bytes = Bytes({0x01, 0x13, 0x05, 0x01, 0x13, 0x06, 0x16});
    QList<TVariable_MBus*> list;
    EXPECT_TRUE(Parse_Data_Records(list, 2, bytes, mtWired));
    EXPECT_EQ(list.size(), 1);
    EXPECT_TRUE(Parse_Data_Records(list, 100, bytes.left(6), mtWired));
    EXPECT_EQ(list.size(), 3);
    EXPECT_TRUE(Parse_Data_Records(list, -1, bytes, mtWired));
    EXPECT_EQ(list.size(), 3);
    EXPECT_FALSE(Parse_Data_Records(list, 0, Bytes({0x1F}), mtWired));
    qDeleteAll(list);
}

TEST(MBusDecoder, TablesAnswerEveryByte)
{
    EXPECT_EQ(Primary_Vif(0x13).Exponent, -3);
    EXPECT_EQ(Primary_Vif(0x93).Text, QStringLiteral("Volume m3"));
    EXPECT_EQ(Primary_Vif(0x6F).Code, MBus_No_Type);
    EXPECT_EQ(Vif_Table_FD(0x5F).Exponent, 3);
    EXPECT_EQ(Vif_Table_FB(0x11).Exponent, 3);
    EXPECT_EQ(Vif_Table_FB(0x40).Text, QStringLiteral("Reserved"));
    EXPECT_EQ(Vif_Table_FB(0x40).Code, 0);
    EXPECT_EQ(Combinable_Vife(0x44).Text, QStringLiteral(" - Reserved"));
    EXPECT_EQ(Combinable_Vife(0x5F).Text, QStringLiteral(" - Duration 03 of Last Upper Limit Exceed"));
    EXPECT_EQ(Combinable_Vife(0x77).Text, QStringLiteral(" - Moltiplicative Correction Factor: 10^(1)"));
    EXPECT_EQ(Value_Exponent(0xFD, 0x40), -9);
    EXPECT_EQ(Value_Exponent(0x2B, 0), 0);
}
