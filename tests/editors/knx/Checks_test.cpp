// The row checks at OK: addresses, APCI, priority, format, poll time,
// position, bit mode, length and span, each with its message, on the cells
// of the grid.
#include "KnxKit.h"

namespace {

// Good_Row() with some cells changed: {column, text}.
using TEdit = QList<QPair<int, QString>>;

struct TCheckCase {
    const char* name;
    TEdit edits;
    QString message; // empty: passes
};

QString Row1(const QString& rule, const QString& limit = QString())
{
    return QStringLiteral("Error row 1") + rule + limit;
}

const QString Source = QStringLiteral("!! [KNX in Write] Source Address must be a valid KNX Individual Address (Ex. 15.15.255)");
const QString Dest_Group = QStringLiteral("!! [KNX in Write] Destination Address must be a valid KNX Group Address (Ex. 31/2047 or 31/7/255)");
const QString Dest_Individual = QStringLiteral("!! [KNX in Write] Destination Address must be a valid KNX Individual Address (Ex. 15.15.255)");
const QString APCI = QStringLiteral("!! [KNX in Write] APCI must be between 0 and 1023 or use the value Read or Write");
const QString Priority = QStringLiteral("!! [KNX in Write] Priority must be System or Urgent or Normal or Low");
const QString Format = QStringLiteral("!! [KNX in Write] Format is not correct");
const QString Poll = QStringLiteral("!! [KNX in Write] Poll Time must be between 1 and 100000000");
const QString Position = QStringLiteral("!! [KNX in Write] Position must be between 0 and ");
const QString Bit_Mode = QStringLiteral("!! [KNX in Write] Bit Mode must be \"No\" or between 0 and 7");
const QString Length = QStringLiteral("!! [KNX in Write] Length must be between 1 and ");
const QString Span = QStringLiteral("!! [KNX in Write] Position plus Length must be minor or equal to ");

} // namespace

class KnxChecks : public KnxTest {
protected:
    void Run(const TCheckCase* begin, const TCheckCase* end)
    {
        for (const TCheckCase* c = begin; c != end; ++c) {
            Knx->FormShow(nullptr);
            Fill(1, Good_Row());
            for (const auto& [col, text] : c->edits)
                Knx->Set_Cell(col, 1, text);
            Script.Shown.clear();
            const bool ok = Knx->Controllo_dati();
            EXPECT_EQ(ok, c->message.isEmpty()) << c->name;
            EXPECT_EQ(LastMessage(), c->message) << c->name;
            EXPECT_LE(Script.Shown.size(), 1) << c->name;
            if (!Script.Shown.isEmpty()) {
                EXPECT_EQ(Script.Last().Type, mtError) << c->name;
            }
        }
    }
};

TEST_F(KnxChecks, Addresses)
{
    const TCheckCase cases[] = {
        {"source 0.0.0", {{KA_Source, "0.0.0"}}, ""},
        {"source 15.15.255 with blanks", {{KA_Source, " 15.15.255 "}}, ""},
        {"source 1.2", {{KA_Source, "1.2"}}, Row1(Source)},
        {"source 16.0.1", {{KA_Source, "16.0.1"}}, Row1(Source)},
        {"source group", {{KA_Source, "1/2/3"}}, Row1(Source)},
        {"source 1", {{KA_Source, "1"}}, ""},
        {"source 65535", {{KA_Source, "65535"}}, ""},
        {"source 0", {{KA_Source, "0"}}, Row1(Source)},
        {"source 65536", {{KA_Source, "65536"}}, Row1(Source)},
        {"dest 0/0", {{KA_Dest, "0/0"}}, Row1(Dest_Group)},
        {"dest 0/0/0", {{KA_Dest, "0/0/0"}}, Row1(Dest_Group)},
        {"dest 31/2047", {{KA_Dest, "31/2047"}}, ""},
        {"dest 31/7/255", {{KA_Dest, "31/7/255"}}, ""},
        {"dest 32/0", {{KA_Dest, "32/0"}}, Row1(Dest_Group)},
        {"dest 1/2/3/4", {{KA_Dest, "1/2/3/4"}}, Row1(Dest_Group)},
        {"dest 1.2.3 individual", {{KA_Dest, "1.2.3"}}, ""},
        {"dest 1.2.300 individual", {{KA_Dest, "1.2.300"}}, Row1(Dest_Individual)},
        {"dest 0.0.0 individual", {{KA_Dest, "0.0.0"}}, ""},
        {"dest 1/2.3", {{KA_Dest, "1/2.3"}}, Row1(Dest_Individual)},
        {"dest 1", {{KA_Dest, "1"}}, ""},
        {"dest 65535", {{KA_Dest, "65535"}}, ""},
        {"dest 0", {{KA_Dest, "0"}}, Row1(Dest_Group)},
        {"dest 65536", {{KA_Dest, "65536"}}, Row1(Dest_Group)},
        {"dest empty", {{KA_Dest, ""}}, Row1(Dest_Group)},
        {"source before dest", {{KA_Source, "1.2"}, {KA_Dest, "0/0"}}, Row1(Source)},
    };
    Run(std::begin(cases), std::end(cases));
}

TEST_F(KnxChecks, ApciPriorityFormatAndPollTime)
{
    const TCheckCase cases[] = {
        {"apci read", {{KA_APCI, "read"}}, ""},
        {"apci READ", {{KA_APCI, "READ"}}, ""},
        {"apci Write", {{KA_APCI, "Write"}}, ""},
        {"apci 0", {{KA_APCI, "0"}}, ""},
        {"apci 1023", {{KA_APCI, "1023"}}, ""},
        {"apci 0x3FF", {{KA_APCI, "0x3FF"}}, ""},
        {"apci 1024", {{KA_APCI, "1024"}}, Row1(APCI)},
        {"apci -1", {{KA_APCI, "-1"}}, Row1(APCI)},
        {"apci empty", {{KA_APCI, ""}}, Row1(APCI)},
        {"apci with a blank", {{KA_APCI, "Read "}}, Row1(APCI)},
        {"priority normal", {{KA_Priority, "normal"}}, Row1(Priority)},
        {"priority Low", {{KA_Priority, "Low"}}, ""},
        {"priority System", {{KA_Priority, "System"}}, ""},
        {"priority empty", {{KA_Priority, ""}}, Row1(Priority)},
        {"format blank", {{KA_Format, " "}}, Row1(Format)},
        {"format any text", {{KA_Format, "Swap All"}}, ""},
        {"poll unchecked without timer", {{KA_Poll_Time, "x"}}, ""},
        {"poll 0", {{KA_On_Timer, "Y"}, {KA_Poll_Time, "0"}}, Row1(Poll)},
        {"poll 1", {{KA_On_Timer, "Y"}, {KA_Poll_Time, "1"}}, ""},
        {"poll 100000000", {{KA_On_Timer, "y"}, {KA_Poll_Time, "100000000"}}, ""},
        {"poll 100000001", {{KA_On_Timer, "y"}, {KA_Poll_Time, "100000001"}}, Row1(Poll)},
        {"apci before priority", {{KA_APCI, "1024"}, {KA_Priority, "x"}}, Row1(APCI)},
    };
    Run(std::begin(cases), std::end(cases));
}

TEST_F(KnxChecks, PositionBitModeLengthAndSpan)
{
    const TCheckCase cases[] = {
        {"position 1438", {{KA_Position, "1438"}, {KA_Length, "1"}}, ""},
        {"position 1439", {{KA_Position, "1439"}, {KA_Length, "1"}}, Row1(Position, "1438")},
        {"position -1", {{KA_Position, "-1"}}, Row1(Position, "1438")},
        {"position empty", {{KA_Position, ""}}, Row1(Position, "1438")},
        {"bit mode 8", {{KA_Bit_Mode, "8"}}, Row1(Bit_Mode)},
        {"bit mode empty", {{KA_Bit_Mode, ""}}, Row1(Bit_Mode)},
        {"bit mode no", {{KA_Bit_Mode, "no"}}, ""},
        {"byte 14", {{KA_Length, "14"}}, ""},
        {"byte 15", {{KA_Length, "15"}}, Row1(Length, "14")},
        {"byte 0", {{KA_Length, "0"}}, Row1(Length, "14")},
        {"byte extended 255", {{KA_Extended, "Y"}, {KA_Length, "255"}}, ""},
        {"byte extended 256", {{KA_Extended, "y"}, {KA_Length, "256"}}, Row1(Length, "255")},
        {"bit 112", {{KA_Bit_Mode, "0"}, {KA_Length, "112"}}, ""},
        {"bit 113", {{KA_Bit_Mode, "0"}, {KA_Length, "113"}}, Row1(Length, "112")},
        {"bit extended 2040", {{KA_Bit_Mode, "0"}, {KA_Extended, "Y"}, {KA_Length, "2040"}}, ""},
        {"bit extended 2041", {{KA_Bit_Mode, "0"}, {KA_Extended, "Y"}, {KA_Length, "2041"}}, Row1(Length, "2040")},
        {"bit 7 length 2 at 1437", {{KA_Bit_Mode, "7"}, {KA_Length, "2"}, {KA_Position, "1437"}}, ""},
        {"bit 7 length 2 at 1438", {{KA_Bit_Mode, "7"}, {KA_Length, "2"}, {KA_Position, "1438"}}, Row1(Span, "1439")},
        {"bit 0 length 8 at 1438", {{KA_Bit_Mode, "0"}, {KA_Length, "8"}, {KA_Position, "1438"}}, ""},
        {"byte 1 at 1438", {{KA_Position, "1438"}, {KA_Length, "1"}}, ""},
        {"byte 2 at 1438", {{KA_Position, "1438"}, {KA_Length, "2"}},
         "Error row 1!! [KNX in Write] Position plus Length must be minor or equal to 1439"},
        {"byte 14 at 1425", {{KA_Position, "1425"}, {KA_Length, "14"}}, ""},
        {"position before bit mode", {{KA_Position, "1439"}, {KA_Bit_Mode, "9"}}, Row1(Position, "1438")},
    };
    Run(std::begin(cases), std::end(cases));
}

TEST_F(KnxChecks, DisabledRowsAreSkippedAndTheTableEndsAtTheFirstBlankSource)
{
    Knx->FormShow(nullptr);
    QStringList bad = Good_Row();
    bad[1] = "16.0.1";
    bad[14] = "999";
    for (const char* disabled : {"N", "", "y", "no"}) {
        bad[0] = disabled;
        Fill(1, bad);
        EXPECT_TRUE(Knx->Controllo_dati()) << disabled;
    }
    bad[0] = " Y ";
    Fill(1, bad);
    EXPECT_FALSE(Knx->Controllo_dati());
    EXPECT_EQ(LastMessage(), Row1(Source));

    // Row 2 fails, but a blank source in row 1 ends the table before it.
    Fill(1, Good_Row());
    Knx->Set_Cell(KA_Source, 1, " ");
    bad[0] = "Y";
    Fill(2, bad);
    Script.Shown.clear();
    EXPECT_TRUE(Knx->Controllo_dati());
    Knx->Set_Cell(KA_Source, 1, "1.1.1");
    EXPECT_FALSE(Knx->Controllo_dati());
    EXPECT_EQ(LastMessage(), QStringLiteral("Error row 2") + Source);
}

TEST_F(KnxChecks, AFailingOkWritesNothingAndKeepsTheCells)
{
    Knx->FormShow(nullptr);
    Fill(1, Good_Row());
    Knx->Set_Cell(KA_Priority, 1, "normal");
    EXPECT_FALSE(Ok());
    EXPECT_FALSE(FileExists(File_KNX_SetAccess));
    EXPECT_EQ(Knx->Cell(KA_Priority, 1), "normal");
    EXPECT_EQ(Messages(), QStringList({Row1(Priority)}));
}

TEST_F(KnxChecks, TheProfinetAndEtherNetIpModelsLimitReadAndWriteRows)
{
    struct TDir {
        int model;
        QByteArray parGen;
        const char* apci;
        const char* position;
        QString message;
    };
    const TDir cases[] = {
        {12, "<PROFINET_NB_IN>10</PROFINET_NB_IN><PROFINET_NB_OUT>20</PROFINET_NB_OUT>", "Write", "9", ""},
        {12, "<PROFINET_NB_IN>10</PROFINET_NB_IN><PROFINET_NB_OUT>20</PROFINET_NB_OUT>", "write", "10", Row1(Position, "9")},
        {12, "<PROFINET_NB_IN>10</PROFINET_NB_IN><PROFINET_NB_OUT>20</PROFINET_NB_OUT>", "Read", "19", ""},
        {12, "<PROFINET_NB_IN>10</PROFINET_NB_IN><PROFINET_NB_OUT>20</PROFINET_NB_OUT>", "READ", "20", Row1(Position, "19")},
        {12, "<PROFINET_NB_IN>10</PROFINET_NB_IN>", "5", "1000", ""}, // a numeric APCI has no such limit
        {12, "", "Read", "1438", Row1(Position, "1437")},
        {12, "", "Read", "1436", ""},
        {13, "<EtherNetIP_NB_IN>30</EtherNetIP_NB_IN><EtherNetIP_NB_OUT>40</EtherNetIP_NB_OUT>", "Read", "30", Row1(Position, "29")},
        {13, "<EtherNetIP_NB_IN>30</EtherNetIP_NB_IN><EtherNetIP_NB_OUT>40</EtherNetIP_NB_OUT>", "Write", "39", ""},
        {13, "", "Write", "496", Row1(Position, "495")},
        {9, "", "Write", "1000", ""},
    };
    for (const TDir& c : cases) {
        QFile::remove(File_ParGen);
        if (!c.parGen.isEmpty())
            WriteParGen(c.parGen);
        Make(c.model);
        Knx->FormShow(nullptr);
        Fill(1, Good_Row());
        Knx->Set_Cell(KA_APCI, 1, c.apci);
        Knx->Set_Cell(KA_Position, 1, c.position);
        Script.Shown.clear();
        EXPECT_EQ(Knx->Controllo_dati(), c.message.isEmpty()) << c.model << ' ' << c.apci << ' ' << c.position;
        EXPECT_EQ(LastMessage(), c.message) << c.model << ' ' << c.apci << ' ' << c.position;
    }
}

TEST(KnxRules, LengthLimitsAndSpans)
{
    using namespace KNXAccessRules;
    EXPECT_EQ(Length_Limit(false, false), 14);
    EXPECT_EQ(Length_Limit(false, true), 255);
    EXPECT_EQ(Length_Limit(true, false), 112);
    EXPECT_EQ(Length_Limit(true, true), 2040);
    EXPECT_EQ(Span_Bytes(true, 7, 2), 2);
    EXPECT_EQ(Span_Bytes(true, 0, 8), 1);
    EXPECT_EQ(Span_Bytes(true, 1, 8), 2);
    EXPECT_EQ(Span_Bytes(true, 7, 2040), 256);
    EXPECT_EQ(Span_Bytes(false, 0, 14), 14);
}
