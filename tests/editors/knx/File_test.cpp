// KNX_SetAccess.xml as written and read back: the two lists, the version
// comment of each model, the defaults of the later attributes, the rows that
// end the load, and the values DMX OUT mode writes.
#include "KnxKit.h"

namespace {

const QByteArray Full_Row =
    "<row Enable=\"Y\" Source_Address=\"1.1.1\" Destination_Address=\"1/2/3\" APCI=\"Write\" Priority=\"Urgent\" "
    "Format=\"Swap16\" Extended=\"Y\" ReTest=\"N\" On_Command=\"Y\" On_Change=\"N\" On_Timer=\"Y\" Poll_Time=\"500\" "
    "Position=\"10\" Bit_Mode=\"3\" Length=\"4\" Mnemonic=\"lamp\"/>";

} // namespace

TEST_F(KnxTest, OkWritesTheRootTheEmptyReadListAndTheRowsToTheFirstEmptySource)
{
    Knx->FormShow(nullptr);
    Fill(1, Good_Row());
    QStringList second = Good_Row();
    second[0] = "N"; // disabled and invalid: kept as it is
    second[1] = " 99.1";
    second[4] = "normal";
    second[15] = "";
    Fill(2, second);
    Knx->Set_Cell(KA_Source, 3, "  "); // a blank source ends the table
    Fill(4, Good_Row());
    ASSERT_TRUE(Ok()) << LastMessage().toStdString();
    EXPECT_TRUE(Script.Shown.isEmpty());
    EXPECT_EQ(Read(File_KNX_SetAccess),
              QByteArray("<BACnet_to_KNX>\n"
                         "\t<KNX_in_Read />\n"
                         "\t<KNX_in_Write>\n"
                         "\t\t<row Enable=\"Y\" Source_Address=\"1.1.1\" Destination_Address=\"1/2/3\" APCI=\"Write\" "
                         "Priority=\"Normal\" Format=\"None\" Extended=\"N\" ReTest=\"N\" On_Command=\"N\" "
                         "On_Change=\"Y\" On_Timer=\"N\" Poll_Time=\"1000\" Position=\"0\" Bit_Mode=\"No\" "
                         "Length=\"2\" Mnemonic=\"temp\" />\n"
                         "\t\t<row Enable=\"N\" Source_Address=\" 99.1\" Destination_Address=\"1/2/3\" APCI=\"Write\" "
                         "Priority=\"normal\" Format=\"None\" Extended=\"N\" ReTest=\"N\" On_Command=\"N\" "
                         "On_Change=\"Y\" On_Timer=\"N\" Poll_Time=\"1000\" Position=\"0\" Bit_Mode=\"No\" "
                         "Length=\"2\" Mnemonic=\"\" />\n"
                         "\t</KNX_in_Write>\n"
                         "</BACnet_to_KNX>\n"
                         "<!--SW_VERSION = 1.100-->\n"));
}

TEST_F(KnxTest, AnEmptyTableStillWritesBothLists)
{
    Knx->FormShow(nullptr);
    ASSERT_TRUE(Ok());
    EXPECT_EQ(Read(File_KNX_SetAccess), QByteArray("<BACnet_to_KNX>\n\t<KNX_in_Read />\n\t<KNX_in_Write />\n"
                                                   "</BACnet_to_KNX>\n<!--SW_VERSION = 1.100-->\n"));
}

TEST_F(KnxTest, TheVersionCommentOfEveryModel)
{
    const struct {
        int model;
        const char* version;
    } cases[] = {
        {1, "1.202"}, {1001, "1.202"}, {2, "1.200"}, {4, "1.200"}, {3, "1.102"}, {1003, "1.102"}, {5, "1.101"},
        {6, "1.000"}, {7, "1.000"}, {8, "1.000"}, {9, "1.100"}, {12, "1.100"}, {1012, "1.100"}, {10, "1.203"},
        {1010, "1.203"}, {11, "1.104"}, {1011, "1.104"}, {13, "1.002"}, {15, "1.002"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KNX_Access_Version(c.model), QStringLiteral("SW_VERSION = ") + QLatin1String(c.version)) << c.model;
    }
    Make(13);
    Knx->FormShow(nullptr);
    ASSERT_TRUE(Ok());
    EXPECT_TRUE(Read(File_KNX_SetAccess).endsWith("</BACnet_to_KNX>\n<!--SW_VERSION = 1.002-->\n"));
}

TEST_F(KnxTest, LoadingFillsByNameAndGivesTheLaterAttributesTheirDefaults)
{
    WriteKnx(Full_Row +
             // no Enable, Priority, Format, On_Command or On_Timer; the
             // attributes in another order and one the table does not know
             "<row Mnemonic=\"m\" Length=\"1\" Bit_Mode=\"No\" Position=\"5\" Poll_Time=\"\" On_Change=\"Y\" "
             "ReTest=\"Y\" Extended=\"N\" APCI=\"read\" Destination_Address=\"2/3\" Source_Address=\" 1.2.3 \" "
             "Extra=\"x\"/>"
             "<row Enable=\"N\" Source_Address=\"s\" Destination_Address=\"d\" APCI=\"a\" Priority=\"normal\" "
             "Format=\"\" Extended=\"N\" ReTest=\"N\" On_Change=\"N\" Poll_Time=\"p\" Position=\"q\" "
             "Bit_Mode=\"b\" Length=\"l\" Mnemonic=\"\"/>"
             "<row Source_Address=\"s\" Destination_Address=\"d\" APCI=\"a\" Priority=\"Bogus\" Extended=\"N\" "
             "ReTest=\"N\" On_Change=\"N\" Poll_Time=\"p\" Position=\"q\" Bit_Mode=\"b\" Length=\"l\" "
             "Mnemonic=\"\"/>");
    Knx->FormShow(nullptr);
    EXPECT_TRUE(Script.Shown.isEmpty()) << LastMessage().toStdString();
    EXPECT_EQ(RowOf(1), QStringList({"Y", "1.1.1", "1/2/3", "Write", "Urgent", "Swap16", "Y", "N", "Y", "N", "Y",
                                     "500", "10", "3", "4", "lamp"}));
    EXPECT_EQ(RowOf(2), QStringList({"Y", " 1.2.3 ", "2/3", "read", "Normal", "None", "N", "Y", "N", "Y", "N", "",
                                     "5", "No", "1", "m"}));
    // A priority that is not exactly one of the four reads as "Normal"; an
    // empty Format stays empty.
    EXPECT_EQ(RowOf(3), QStringList({"N", "s", "d", "a", "Normal", "", "N", "N", "N", "N", "N", "p", "q", "b",
                                     "l", ""}));
    EXPECT_EQ(Knx->Cell(KA_Priority, 4), "Normal");
    EXPECT_EQ(RowOf(5)[0], "Y");
    EXPECT_EQ(RowOf(5)[1], "");
}

TEST_F(KnxTest, ARowWithoutASourceStopsTheLoadAndKeepsTheRowsBefore)
{
    WriteKnx(Full_Row + "<row Enable=\"Y\" Destination_Address=\"1/2/3\"/>" + Full_Row);
    Knx->FormShow(nullptr);
    ASSERT_EQ(Script.Shown.size(), 1);
    EXPECT_EQ(Script.Last().Type, mtError);
    EXPECT_TRUE(Script.Last().Text.contains("Source_Address")) << Script.Last().Text.toStdString();
    EXPECT_EQ(Knx->Cell(KA_Mnemonic, 1), "lamp");
    EXPECT_EQ(Knx->Cell(KA_Source, 3), "");
    EXPECT_EQ(Knx->Cell(KA_Source, 2), "");
    // OK writes the one row read; the file with the rows not read is kept.
    const QByteArray before = Read(File_KNX_SetAccess);
    EXPECT_TRUE(Script.Last().Text.contains(File_KNX_SetAccess + ".damaged")) << Script.Last().Text.toStdString();
    ASSERT_TRUE(Ok()) << LastMessage().toStdString();
    EXPECT_EQ(Read(File_KNX_SetAccess).count("<row "), 1);
    EXPECT_EQ(Read(File_KNX_SetAccess + ".damaged"), before);
}

TEST_F(KnxTest, AFileWithoutTheWriteListLeavesTheTableReset)
{
    for (const QByteArray& file : {QByteArray("<BACnet_to_KNX><KNX_in_Read/></BACnet_to_KNX>"),
                                   "<BACnet_to_KNX>" + Full_Row + "</BACnet_to_KNX>"}) {
        Write(File_KNX_SetAccess, file);
        Knx->Set_Cell(KA_Source, 1, "left over");
        Script.Shown.clear();
        Knx->FormShow(nullptr);
        ASSERT_EQ(Script.Shown.size(), 1);
        EXPECT_TRUE(Script.Last().Text.contains("KNX_in_Write")) << Script.Last().Text.toStdString();
        EXPECT_EQ(Knx->Cell(KA_Source, 1), "");
        EXPECT_EQ(Knx->Cell(KA_Enable, 1), "Y");
    }
}

TEST_F(KnxTest, AMalformedFileIsReportedAndOkKeepsItBesideTheTableItWrites)
{
    const QByteArray damaged = "<BACnet_to_KNX><KNX_in_Write>" + Full_Row;
    Write(File_KNX_SetAccess, damaged);
    Knx->FormShow(nullptr);
    ASSERT_EQ(Script.Shown.size(), 1);
    EXPECT_EQ(Script.Last().Type, mtError);
    EXPECT_TRUE(Script.Last().Text.endsWith("keeps the file as it is now as \"" + File_KNX_SetAccess + ".damaged\"."))
        << Script.Last().Text.toStdString();
    EXPECT_EQ(Knx->Cell(KA_Source, 1), "");
    Fill(1, Good_Row());
    ASSERT_TRUE(Ok());
    EXPECT_TRUE(Read(File_KNX_SetAccess).contains("Source_Address=\"1.1.1\""));
    EXPECT_EQ(Read(File_KNX_SetAccess + ".damaged"), damaged);
}

TEST_F(KnxTest, RowsBeyondTheTableAreNeitherShownNorWritten)
{
    QByteArray rows;
    for (int i = 0; i < 1030; ++i)
        rows += Full_Row;
    WriteKnx(rows);
    Knx->FormShow(nullptr);
    EXPECT_EQ(Knx->Cell(KA_Mnemonic, 1024), "lamp");
    ASSERT_TRUE(Ok()) << LastMessage().toStdString();
    EXPECT_EQ(Read(File_KNX_SetAccess).count("<row "), 1024);
}

TEST_F(KnxTest, DmxOutModeWritesReadAndNoForTheHiddenColumnsAndKeepsTheirCells)
{
    Make(11);
    Knx->FormShow(nullptr);
    ASSERT_TRUE(Knx->DMX_Out_Mode());
    QStringList row = Good_Row();
    row[3] = "not checked"; // the APCI is not checked in DMX OUT mode
    row[8] = "Y";
    row[9] = "Y";
    Fill(1, row);
    Fill(2, Good_Row());
    // The hidden cells move with their rows.
    Knx->Insert_Row(1, Knx->sga);
    EXPECT_EQ(Knx->Cell(KA_APCI, 2), "not checked");
    EXPECT_EQ(Knx->Cell(KA_On_Command, 2), "Y");
    Knx->Delete_Row(1);
    EXPECT_EQ(Knx->Cell(KA_APCI, 1), "not checked");
    ASSERT_TRUE(Ok()) << LastMessage().toStdString();
    const QByteArray file = Read(File_KNX_SetAccess);
    EXPECT_EQ(file.count("APCI=\"Read\" "), 2);
    EXPECT_EQ(file.count("On_Command=\"N\" On_Change=\"N\""), 2);
    EXPECT_TRUE(file.endsWith("<!--SW_VERSION = 1.104-->\n"));
    EXPECT_EQ(Knx->Cell(KA_APCI, 1), "not checked");
    EXPECT_EQ(Knx->Cell(KA_On_Change, 1), "Y");

    // In DMX IN mode the cells are written as they are.
    WriteParGen("<DMX_DMX>0</DMX_DMX>");
    Knx->FormShow(nullptr);
    EXPECT_EQ(Knx->Cell(KA_APCI, 1), "Read");
    Fill(1, Good_Row());
    ASSERT_TRUE(Ok());
    EXPECT_TRUE(Read(File_KNX_SetAccess).contains("APCI=\"Write\" "));
}
