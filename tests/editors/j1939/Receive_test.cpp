// The receive frames editor: its file as written and read back, and its
// checks with their messages.
#include "J1939Kit.h"

namespace {

const QStringList Frame = {"0", "61444", "0", "N", "", "", "N", "N", "1000", ""};

} // namespace

TEST_F(J1939Test, ReceiveWritesRootCommentAndRowsUpToTheFirstEmptyPgn)
{
    Rec->FormShow(nullptr);
    Fill(Rec, 1, {"0", "0xF004", "0", "N", "1", "7", "N", "Y", "250", "engine speed"});
    Fill(Rec, 2, {"1", "65535", " 3", "Y", "10", "20", "Y", "N", "1000", ""});
    Fill(Rec, 4, Frame); // after the gap: neither checked nor written
    ASSERT_TRUE(Ok(Rec)) << LastMessage().toStdString();
    EXPECT_TRUE(Script.Shown.isEmpty());
    EXPECT_EQ(Read(File_J1939_Rec_Frames),
              QByteArray("<Receive_J1939>\n"
                         "\t<row DP=\"0\" PGN=\"0xF004\" SA=\"0\" TP=\"N\" TP_Start=\"1\" TP_NByte=\"7\" Delete=\"N\" "
                         "OnRequest=\"Y\" OnReq_Time=\"250\" Mnemonic=\"engine speed\" />\n"
                         "\t<row DP=\"1\" PGN=\"65535\" SA=\" 3\" TP=\"Y\" TP_Start=\"10\" TP_NByte=\"20\" Delete=\"Y\" "
                         "OnRequest=\"N\" OnReq_Time=\"1000\" Mnemonic=\"\" />\n"
                         "</Receive_J1939>\n"
                         "<!--SW_VERSION = 1.100-->\n"));
}

TEST_F(J1939Test, ReceiveLoadsByNameWithEveryDefault)
{
    WriteRec("<row Mnemonic=\"m\" PGN=\"61444\" DP=\"1\" SA=\"5\" Extra=\"x\" TP_Start=\" 2\"/>"
             "<row OnRequest=\"Y\" OnReq_Time=\"\" TP=\"Y\"/>"
             "<other/>");
    Rec->FormShow(nullptr);
    // Rows 2 and 3 have no PGN: the table ends at row 2, and the load says so.
    ASSERT_EQ(Script.Shown.size(), 1);
    EXPECT_EQ(Script.Last().Type, mtWarning);
    EXPECT_TRUE(Script.Last().Text.contains("row 2 has no PGN, so the table ends there: OK does not save rows 2 to 3"))
        << Script.Last().Text.toStdString();
    EXPECT_EQ(RowOf(Rec, 1), QStringList({"1", "61444", "5", "N", " 2", "", "N", "N", "1000", "m"}));
    EXPECT_EQ(RowOf(Rec, 2), QStringList({"", "", "", "Y", "", "", "N", "Y", "", ""}));
    EXPECT_EQ(RowOf(Rec, 3), QStringList({"", "", "", "N", "", "", "N", "N", "1000", ""}));
    EXPECT_EQ(RowOf(Rec, 4), QStringList(10, QString()));
    EXPECT_EQ(Rec->Cell(0, 4), "4");
}

TEST_F(J1939Test, AFileThatStartsWithADeclarationOrCommentLoadsItsRows)
{
    Write(File_J1939_Rec_Frames, "<?xml version=\"1.0\"?>\n<!-- saved by hand -->\n"
                                 "<Receive_J1939><row DP=\"0\" PGN=\"100\"/></Receive_J1939>\n"
                                 "<!--SW_VERSION = 1.100-->");
    Rec->FormShow(nullptr);
    EXPECT_EQ(Rec->Cell(RJ_PGN, 1), "100");
    EXPECT_EQ(Rec->Cell(RJ_OnReq_Time, 1), "1000");
}

TEST_F(J1939Test, RowsBeyondTheGridAreSaidAtLoadAndNeitherShownNorWritten)
{
    QByteArray rows;
    for (int i = 0; i < 100000; ++i)
        rows += "<row DP=\"0\" PGN=\"" + QByteArray::number(i) + "\" SA=\"1\" TP=\"Y\" TP_Start=\"0\" TP_NByte=\"1\"/>";
    WriteRec(rows);
    Rec->FormShow(nullptr);
    // Said before anything is lost, so the user can cancel.
    ASSERT_EQ(Script.Shown.size(), 1);
    EXPECT_EQ(Script.Last().Type, mtWarning);
    EXPECT_EQ(Script.Last().Text,
              File_J1939_Rec_Frames + ": the file holds 100000 rows; this table keeps 62. The rows after row 62 are "
                                      "not shown, and OK saves only the rows shown. Press Cancel to keep the file as "
                                      "it is.");
    EXPECT_EQ(Rec->Cell(RJ_PGN, 62), "61");
    ASSERT_TRUE(Ok(Rec)) << LastMessage().toStdString();
    EXPECT_EQ(Read(File_J1939_Rec_Frames).count("<row "), 62);
}

namespace {

struct TRecCase {
    const char* name;
    QList<QStringList> rows; // from row 1
    QString message;         // empty: passes
};

QString RowError(int row, const QString& rule)
{
    return QStringLiteral("Error in row %1%2").arg(row).arg(rule);
}

} // namespace

TEST_F(J1939Test, ReceiveChecksStopAtTheFirstFailingRule)
{
    auto row = [](const char* dp, const char* pgn, const char* sa, const char* tp, const char* start,
                  const char* count, const char* req = "N", const char* time = "1000") {
        return QStringList({dp, pgn, sa, tp, start, count, "N", req, time, ""});
    };
    const TRecCase cases[] = {
        {"pgn 65535 passes", {row("0", "65535", "239", "N", "", "")}, ""},
        {"pgn 65536", {row("0", "65536", "0", "N", "", "")}, "Error in row 1!! PGN must be between 0x0000 and 0xFFFF"},
        {"pgn of one blank is a row", {row("0", " ", "0", "N", "", "")}, RowError(1, "!! PGN must be between 0x0000 and 0xFFFF")},
        {"pgn in hexadecimal", {row("0", "$FFFF", "0", "N", "", ""), row("1", "0x1F", "0", "N", "", "")}, ""},
        {"pgn followed by a blank", {row("0", "31 ", "0", "N", "", "")}, RowError(1, "!! PGN must be between 0x0000 and 0xFFFF")},
        {"no data page", {row("", "1", "0", "N", "", "")}, RowError(1, "!! Data Page must be 0 or 1")},
        {"source 240", {row("0", "1", "240", "N", "", "")}, RowError(1, "!! Source Address must be between 0 and 239")},
        {"start 0 without tp", {row("0", "1", "0", "N", "0", "1")}, RowError(1, "!! The Start Byte must be between 1 and 8")},
        {"start 4 with 5", {row("0", "1", "0", "N", "4", "5")}, RowError(1, "!! The Number Bytes plus Start Byte must be minor of 9")},
        {"count 9", {row("0", "1", "0", "N", "1", "9")}, RowError(1, "!! The Number Bytes must be between 1 and 8")},
        {"only start", {row("0", "1", "0", "N", "1", " ")}, RowError(1, "!! Start Byte and Number Bytes must be both compiled")},
        {"tp start 1786", {row("0", "1", "0", "Y", "1786", "0")}, RowError(1, "!! Start Byte must be between 0 and 1785")},
        {"tp 1785 and 0", {row("0", "1", "0", "Y", "1785", "0")}, ""},
        {"tp 1785 and 1", {row("0", "1", "0", "Y", "1785", "1")}, RowError(1, "!! Start Byte plus Number Bytes must be between 0 and 1785")},
        {"tp count -1", {row("0", "1", "0", "Y", "0", "-1")}, RowError(1, "!! Start Byte plus Number Bytes must be between 0 and 1785")},
        {"tp 513 bytes", {row("0", "1", "0", "Y", "0", "513")}, "Error!! Too many bytes of data, the max number is 512"},
        {"tp 512 bytes", {row("0", "1", "0", "Y", "0", "512")}, ""},
        {"tp ticked is exactly Y", {row("0", "1", "0", "y", "0", "512")}, RowError(1, "!! The Start Byte must be between 1 and 8")},
        {"second row over the total", {row("0", "1", "0", "Y", "0", "505"), row("0", "2", "0", "N", "", "")},
         "Error!! Too many bytes of data, the max number is 512"},
        {"second row fails", {row("0", "1", "0", "N", "", ""), row("0", "2", "0", "N", "2", "")}, RowError(2, "!! Start Byte and Number Bytes must be both compiled")},
        {"request time 1", {row("0", "1", "0", "N", "", "", "Y", "1")}, RowError(1, "!! Time(ms) must be between 0 and 10000000")},
        {"request time 2", {row("0", "1", "0", "N", "", "", "Y", "2")}, ""},
        {"request time 10000000", {row("0", "1", "0", "N", "", "", "Y", "10000000")}, ""},
        {"request time 10000001", {row("0", "1", "0", "N", "", "", "Y", "10000001")}, RowError(1, "!! Time(ms) must be between 0 and 10000000")},
        {"time unchecked without request", {row("0", "1", "0", "N", "", "", "N", "x")}, ""},
        {"total before time", {row("0", "1", "0", "Y", "0", "513", "Y", "0")}, "Error!! Too many bytes of data, the max number is 512"},
    };
    for (const TRecCase& c : cases) {
        Rec->FormShow(nullptr);
        for (int i = 0; i < c.rows.size(); ++i)
            Fill(Rec, i + 1, c.rows[i]);
        Script.Shown.clear();
        const bool ok = Rec->Controllo_Dati();
        EXPECT_EQ(ok, c.message.isEmpty()) << c.name;
        EXPECT_EQ(LastMessage(), c.message) << c.name;
        EXPECT_LE(Script.Shown.size(), 1) << c.name;
        if (!Script.Shown.isEmpty()) {
            EXPECT_EQ(Script.Last().Type, mtError) << c.name;
        }
    }
}

TEST_F(J1939Test, SixtyTwoWholeFramesPassAtFourHundredNinetySixBytes)
{
    Rec->FormShow(nullptr);
    for (int r = 1; r <= 62; ++r)
        Fill(Rec, r, {"0", QString::number(r), "0", "N", "", "", "N", "N", "1000", ""});
    EXPECT_TRUE(Rec->Controllo_Dati()) << LastMessage().toStdString();
    // Under a limit of 500 the 62 whole frames still fit; a last row of 13
    // bytes under the transport protocol (488 + 13) does not.
    Rec->NUM_BYTE_IN = 500;
    EXPECT_TRUE(Rec->Controllo_Dati());
    Fill(Rec, 62, {"0", "62", "0", "Y", "0", "13"});
    EXPECT_FALSE(Rec->Controllo_Dati());
    EXPECT_EQ(LastMessage(), "Error!! Too many bytes of data, the max number is 500");
    // Every showing sets the limit back to 512.
    Rec->FormShow(nullptr);
    EXPECT_EQ(Rec->NUM_BYTE_IN, 512);
}

TEST_F(J1939Test, AFailingOkWritesNothingAndKeepsTheCells)
{
    Rec->FormShow(nullptr);
    Fill(Rec, 1, {"0", "65536", "0", "N", "", ""});
    EXPECT_FALSE(Ok(Rec));
    EXPECT_FALSE(FileExists(File_J1939_Rec_Frames));
    EXPECT_EQ(Rec->Cell(RJ_PGN, 1), "65536");
    EXPECT_EQ(Messages(), QStringList({"Error in row 1!! PGN must be between 0x0000 and 0xFFFF"}));
}
