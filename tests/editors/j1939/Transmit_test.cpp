// The transmit frames editor: its file as written and read back (older rows
// with T_Type included) and its checks with their messages.
#include "J1939Kit.h"

TEST_F(J1939Test, TransmitWritesTheThreeFlagsInTheirOrder)
{
    Send->FormShow(nullptr);
    Fill(Send, 1, {"3", "0", "0x1FFFF", "255", "8", "Y", "N", "Y", "100", "lamp"});
    Fill(Send, 2, {"7", "1", "0", "0", "1", "N", "Y", "N", "", ""});
    Fill(Send, 3, {"6", "1", "", "0", "1"}); // a Priority without a PGN ends the table
    Fill(Send, 4, {"6", "1", "1", "0", "1", "N", "N", "N", "", ""});
    ASSERT_TRUE(Ok(Send)) << LastMessage().toStdString();
    EXPECT_EQ(Read(File_J1939_Send_Frames),
              QByteArray("<Receive_J1939>\n"
                         "\t<row Priority=\"3\" DP=\"0\" PGN=\"0x1FFFF\" SA=\"255\" TP_NByte=\"8\" On_Request=\"Y\" "
                         "On_Data_Change=\"N\" On_Timer=\"Y\" SendTimer=\"100\" Mnemonic=\"lamp\" />\n"
                         "\t<row Priority=\"7\" DP=\"1\" PGN=\"0\" SA=\"0\" TP_NByte=\"1\" On_Request=\"N\" "
                         "On_Data_Change=\"Y\" On_Timer=\"N\" SendTimer=\"\" Mnemonic=\"\" />\n"
                         "</Receive_J1939>\n"
                         "<!--SW_VERSION = 1.100-->\n"));
}

TEST_F(J1939Test, TransmitLoadsDefaultsAndOlderSendTypes)
{
    WriteSend("<row Priority=\"3\" DP=\"0\" PGN=\"100\" SA=\"1\"/>"
              "<row PGN=\"101\" TP_NByte=\"\" On_Request=\"Y\"/>"
              "<row PGN=\"102\" TP_NByte=\"4\" T_Type=\"on timer\" On_Request=\"Y\" On_Data_Change=\"Y\" On_Timer=\"N\"/>"
              "<row PGN=\"103\" T_Type=\"On Data Change\" On_Timer=\"Y\"/>"
              "<row PGN=\"104\" T_Type=\"cyclic\" On_Request=\"Y\" SendTimer=\"50\"/>"
              "<row PGN=\"105\" On_Data_Change=\"Y\" On_Timer=\"Y\" Mnemonic=\"m\"/>");
    Send->FormShow(nullptr);
    EXPECT_TRUE(Script.Shown.isEmpty());
    EXPECT_EQ(RowOf(Send, 1), QStringList({"3", "0", "100", "1", "8", "N", "N", "N", "", ""}));
    EXPECT_EQ(RowOf(Send, 2), QStringList({"", "", "101", "", "8", "Y", "N", "N", "", ""}));
    EXPECT_EQ(RowOf(Send, 3), QStringList({"", "", "102", "", "4", "N", "N", "Y", "", ""}));
    EXPECT_EQ(RowOf(Send, 4), QStringList({"", "", "103", "", "8", "N", "Y", "N", "", ""}));
    EXPECT_EQ(RowOf(Send, 5), QStringList({"", "", "104", "", "8", "N", "N", "N", "50", ""}));
    EXPECT_EQ(RowOf(Send, 6), QStringList({"", "", "105", "", "8", "N", "Y", "Y", "", "m"}));
    EXPECT_EQ(RowOf(Send, 7), QStringList(10, QString()));

    // The first save converts the older rows: three flags, never T_Type.
    for (int r = 1; r <= 6; ++r) {
        Send->Set_Cell(TJ_Priority, r, "1");
        Send->Set_Cell(TJ_DP, r, "0");
        Send->Set_Cell(TJ_SA, r, "1");
        Send->Set_Cell(TJ_SendTimer, r, "50");
    }
    ASSERT_TRUE(Ok(Send)) << LastMessage().toStdString();
    const QByteArray saved = Read(File_J1939_Send_Frames);
    EXPECT_FALSE(saved.contains("T_Type"));
    EXPECT_TRUE(saved.contains("PGN=\"102\" SA=\"1\" TP_NByte=\"4\" On_Request=\"N\" On_Data_Change=\"N\" On_Timer=\"Y\""));
}

namespace {

struct TSendCase {
    const char* name;
    QList<QStringList> rows;
    QString message;
};

QString RowError(int row, const QString& rule)
{
    return QStringLiteral("Error in row %1%2").arg(row).arg(rule);
}

QStringList Row(const char* pgn, const char* bytes = "8", const char* timer = "N", const char* time = "",
                const char* priority = "6", const char* dp = "0", const char* sa = "0")
{
    return {priority, dp, pgn, sa, bytes, "N", "N", timer, time, ""};
}

} // namespace

TEST_F(J1939Test, TransmitChecksStopAtTheFirstFailingRule)
{
    const QString tooMany = QStringLiteral("Error!! Too many bytes of data, the max number is 512");
    const TSendCase cases[] = {
        {"pgn 131071", {Row("131071")}, ""},
        {"pgn 0x1FFFF", {Row("0x1FFFF")}, ""},
        {"pgn $1FFFF", {Row("$1FFFF")}, ""},
        {"pgn 131072", {Row("131072")}, "Error in row 1!! PGN must be between 0x00000 and 0x1FFFF"},
        {"priority 8", {Row("1", "8", "N", "", "8")}, RowError(1, "!! Priority must be between 0 and 7")},
        {"priority empty", {Row("1", "8", "N", "", "")}, RowError(1, "!! Priority must be between 0 and 7")},
        {"no data page", {Row("1", "8", "N", "", "0", "")}, RowError(1, "!! Data Page must be 0 or 1")},
        {"source 256", {Row("1", "8", "N", "", "0", "0", "256")}, RowError(1, "!! Source Address must be between 0 and 255")},
        {"num byte 0", {Row("1", "0")}, "Error in row 1!! Num Byte must be between 1 and512"},
        {"num byte 513", {Row("1", "513")}, "Error in row 1!! Num Byte must be between 1 and512"},
        {"num byte 512", {Row("1", "512")}, ""},
        {"256 and 257", {Row("1", "256"), Row("2", "257")}, tooMany},
        {"256 and 256", {Row("1", "256"), Row("2", "256")}, ""},
        {"timer 0 unticked", {Row("1", "8", "N", "0")}, ""},
        {"timer 0 ticked", {Row("1", "8", "Y", "0")}, RowError(1, "!! Send Timer must be between 1 and 65535 ms")},
        {"timer 65536 ticked", {Row("1", "8", "Y", "65536")}, RowError(1, "!! Send Timer must be between 1 and 65535 ms")},
        {"timer 65535 ticked", {Row("1", "8", "Y", "65535")}, ""},
        {"priority but no pgn ends the table", {Row("1"), Row("", "0", "Y", "0", "9"), Row("2", "0")}, ""},
        {"second row fails", {Row("1"), Row("2", "8", "N", "", "0", "0", "-1")}, RowError(2, "!! Source Address must be between 0 and 255")},
    };
    for (const TSendCase& c : cases) {
        Send->FormShow(nullptr);
        for (int i = 0; i < c.rows.size(); ++i)
            Fill(Send, i + 1, c.rows[i]);
        Script.Shown.clear();
        const bool ok = Send->Controllo_Dati();
        EXPECT_EQ(ok, c.message.isEmpty()) << c.name;
        EXPECT_EQ(LastMessage(), c.message) << c.name;
        EXPECT_LE(Script.Shown.size(), 1) << c.name;
    }
}
