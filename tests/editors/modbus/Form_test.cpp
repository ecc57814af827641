// Both Modbus master editors as forms: creation, showing, the file as written
// and read back, and the row commands on the active page.
#include "ModbusKit.h"

TEST_F(ModbusTest, CreationFixesSizesTextsPagesAndColumns)
{
    EXPECT_EQ(Rtu->ClientWidth(), 956);
    EXPECT_EQ(Rtu->ClientHeight(), 337);
    EXPECT_EQ(Tcp->ClientWidth(), 1007);
    EXPECT_EQ(Tcp->ClientHeight(), 337);
    EXPECT_EQ(Rtu->Caption(), "Set Modbus Access");
    EXPECT_EQ(Tcp->Caption(), "Set Modbus TCP Master Access");
    EXPECT_EQ(Tcp->Ind_Lang, 281);
    EXPECT_EQ(Rtu->L_SW_Code->Caption(), "CF31A06");
    for (TFMapListEditor* f : {static_cast<TFMapListEditor*>(Rtu), static_cast<TFMapListEditor*>(Tcp)}) {
        EXPECT_EQ(f->Sheet[0]->Caption(), "Modbus Read");
        EXPECT_EQ(f->Sheet[1]->Caption(), "Modbus Write");
        EXPECT_EQ(f->Btn_CopyRow->Caption(), "Copy Row");
        EXPECT_EQ(f->Btn_PasteRow->Caption(), "Paste Row");
        EXPECT_EQ(f->Grid(0)->RowCount(), 513);
        EXPECT_EQ(f->Grid(1)->RowCount(), 513);
        EXPECT_EQ(f->Grid(0)->Parent(), f->Sheet[0]);
        EXPECT_EQ(f->Grid(1)->Parent(), f->Sheet[1]);
    }
    EXPECT_EQ(Rtu->ACG_Modbus_Read->ColCount(), 12);
    EXPECT_EQ(Rtu->ACG_Modbus_Write->ColCount(), 14);
    EXPECT_EQ(Tcp->ACG_Modbus_Read->ColCount(), 14);
    EXPECT_EQ(Tcp->ACG_Modbus_Write->ColCount(), 16);
    EXPECT_EQ(Rtu->ACG_Modbus_Write->Name(), "ACG_Modbus_Write");
    EXPECT_EQ(Rtu->Cell(1, MW_OnCMD, 0), "On CMD");
    EXPECT_EQ(Tcp->Cell(0, TR_IP_Address, 0), "Slave IP Address");
    EXPECT_EQ(Tcp->Cell(1, TW_Swap, 0), "Swap");
    auto* type = Rtu->ACG_Modbus_Write->Columns()->Items(MW_Type);
    EXPECT_EQ(type->Editor(), edComboList);
    EXPECT_EQ(type->ComboItems()->Count(), 2);
    EXPECT_EQ(Tcp->ACG_Modbus_Read->Columns()->Items(TR_Type)->ComboItems()->Count(), 4);
    EXPECT_EQ(Rtu->ACG_Modbus_Read->Columns()->Items(MR_Enable)->Color(), TColor(RGB(0xFF, 0xD8, 0xB0)));
    EXPECT_EQ(Tcp->ACG_Modbus_Write->Columns()->Items(TW_OnChange)->Editor(), edDataCheckBox);
    EXPECT_EQ(Rtu->ACG_Modbus_Read->ColWidths(MR_Mnemonic), 240);
    EXPECT_EQ(Tcp->ACG_Modbus_Write->ColWidths(TW_IP_Address), 101);
}

TEST_F(ModbusTest, ShowingTicksEveryRowFillsPositionsAndOkWritesBothEmptyLists)
{
    Rtu->Set_Active_Page(1);
    Rtu->Set_Cell(1, MW_Mnemonic, 7, "left over");
    Rtu->FormShow(nullptr);
    EXPECT_EQ(Rtu->Active_Page(), 0);
    for (int p = 0; p < 2; ++p)
        for (int r : {1, 7, 512}) {
            EXPECT_EQ(Rtu->Cell(p, 0, r), QString::number(r));
            EXPECT_EQ(Rtu->Cell(p, 1, r), "Y");
            EXPECT_EQ(Rtu->Cell(p, 2, r), "");
        }
    EXPECT_EQ(Rtu->Cell(1, MW_Mnemonic, 7), "");
    TStrings* items = Rtu->ACG_Modbus_Write->Columns()->Items(MW_Position)->ComboItems();
    ASSERT_EQ(items->Count(), 1439);
    EXPECT_EQ(items->Strings(1438), "1438");
    EXPECT_EQ(Tcp->ACG_Modbus_Read->Columns()->Items(TR_Position)->ComboItems()->Count(), 0);
    Tcp->FormShow(nullptr);
    EXPECT_EQ(Tcp->ACG_Modbus_Read->Columns()->Items(TR_Position)->ComboItems()->Count(), 1439);

    ASSERT_TRUE(Ok(Rtu));
    EXPECT_EQ(Read(File_ModbusM_SetAccess),
              QByteArray("<EtherNetIP_to_Modbus>\n\t<Modbus_Read />\n\t<Modbus_Write />\n</EtherNetIP_to_Modbus>\n"
                         "<!--SW_VERSION = 1.202-->\n"));
}

TEST_F(ModbusTest, RowsAreWrittenAsTheGridHoldsThemUpToTheFirstBlankKey)
{
    Rtu->FormShow(nullptr);
    FillPage(Rtu, 0, 1, {"Y", " 1", "Holding Register", "100", "10", "1000", "3", "20", "", "N", "temp"});
    // Disabled and invalid: passes the check and is written unchanged.
    FillPage(Rtu, 0, 2, {"N", "999", "", "x", "", "", "", "", "", "Y", ""});
    FillPage(Rtu, 0, 3, {"Y", " ", "Coil Status"}); // a blank Slave ID ends the table
    FillPage(Rtu, 0, 4, RtuRead("Coil Status", "1", "0"));
    FillPage(Rtu, 1, 1, {"Y", "2", "Coil Status", "0", "1", "0", "Y", "Y", "0", "30", "3", "Y", ""});
    ASSERT_TRUE(Ok(Rtu)) << LastMessage().toStdString();
    EXPECT_EQ(Read(File_ModbusM_SetAccess),
              QByteArray("<EtherNetIP_to_Modbus>\n"
                         "\t<Modbus_Read>\n"
                         "\t\t<row Enable=\"Y\" Slave_ID=\" 1\" Type=\"Holding Register\" Address=\"100\" NPoint=\"10\" "
                         "PollTime=\"1000\" MaxError=\"3\" Position=\"20\" Bit=\"\" Swap=\"N\" Mnemonic=\"temp\" />\n"
                         "\t\t<row Enable=\"N\" Slave_ID=\"999\" Type=\"\" Address=\"x\" NPoint=\"\" PollTime=\"\" "
                         "MaxError=\"\" Position=\"\" Bit=\"\" Swap=\"Y\" Mnemonic=\"\" />\n"
                         "\t</Modbus_Read>\n"
                         "\t<Modbus_Write>\n"
                         "\t\t<row Enable=\"Y\" Slave_ID=\"2\" Type=\"Coil Status\" Address=\"0\" NPoint=\"1\" "
                         "PollTime=\"0\" OnChange=\"Y\" OnCMD=\"Y\" MaxError=\"0\" Position=\"30\" Bit=\"3\" Swap=\"Y\" "
                         "Mnemonic=\"\" />\n"
                         "\t</Modbus_Write>\n"
                         "</EtherNetIP_to_Modbus>\n"
                         "<!--SW_VERSION = 1.202-->\n"));
}

TEST_F(ModbusTest, TheTcpTableEndsAtABlankAddressAndWritesItsCommentOnlyForItsModels)
{
    Model_Code = 3;
    Tcp->FormShow(nullptr);
    FillPage(Tcp, 0, 1, TcpRead("10.0.0.1", "Input Register", "2", "0"));
    FillPage(Tcp, 0, 2, {"Y", "  "});
    FillPage(Tcp, 0, 3, TcpRead("bad", "x", "0", "0")); // below the end: not checked, not written
    ASSERT_TRUE(Ok(Tcp)) << LastMessage().toStdString();
    QByteArray file = Read(File_ModbusTCPM_SetAccess);
    EXPECT_TRUE(file.startsWith("<PROFINET_Master_to_Modbus_TCP_Master>\n\t<Modbus_Read>\n\t\t<row Enable=\"Y\" "
                                "IP_Address=\"10.0.0.1\" Port=\"502\" Slave_ID=\"1\" Type=\"Input Register\""));
    EXPECT_EQ(file.count("<row "), 1);
    EXPECT_TRUE(file.endsWith("<!--SW_VERSION = 1.102-->\n"));
    Model_Code = 1;
    ASSERT_TRUE(Ok(Tcp));
    file = Read(File_ModbusTCPM_SetAccess);
    EXPECT_FALSE(file.contains("SW_VERSION"));
    EXPECT_TRUE(file.endsWith("</PROFINET_Master_to_Modbus_TCP_Master>\n"));
}

TEST_F(ModbusTest, OlderFilesLoadWithTheirDefaultsAndByName)
{
    Write(File_ModbusM_SetAccess,
          "<EtherNetIP_to_Modbus><Modbus_Write>"
          "<row Mnemonic=\"m\" Slave_ID=\"2\" Type=\"Coil Status\" Address=\"0\" NPoint=\"1\" PollTime=\"0\" "
          "OnChange=\"Y\" MaxError=\"0\" Position=\"30\" Bit=\"3\"/>"
          "</Modbus_Write><Modbus_Read>"
          "<row Slave_ID=\"1\" Type=\"Input Status\" Address=\"5\" NPoint=\"8\" PollTime=\"100\" MaxError=\"1\" "
          "Position=\"0\" Bit=\"0\" Mnemonic=\"\" Extra=\"x\"/>"
          "</Modbus_Read></EtherNetIP_to_Modbus>");
    Rtu->FormShow(nullptr);
    EXPECT_TRUE(Script.Shown.isEmpty()) << LastMessage().toStdString();
    EXPECT_EQ(PageRow(Rtu, 0, 1), QStringList({"Y", "1", "Input Status", "5", "8", "100", "1", "0", "0", "N", ""}));
    EXPECT_EQ(PageRow(Rtu, 1, 1),
              QStringList({"Y", "2", "Coil Status", "0", "1", "0", "Y", "N", "0", "30", "3", "N", "m"}));
    EXPECT_EQ(Rtu->Cell(0, 1, 2), "Y");
}

TEST_F(ModbusTest, AMissingAttributeOrListStopsTheLoadAndKeepsWhatWasRead)
{
    const char* row = "<row Slave_ID=\"1\" Type=\"Coil Status\" Address=\"0\" NPoint=\"1\" PollTime=\"1\" MaxError=\"0\" "
                      "Position=\"0\" Bit=\"0\" Mnemonic=\"\"/>";
    // The second read row has no Address; the write list is never reached.
    Write(File_ModbusM_SetAccess, QByteArray("<EtherNetIP_to_Modbus><Modbus_Read>") + row +
                                      "<row Slave_ID=\"7\"/>" + row +
                                      "</Modbus_Read><Modbus_Write>" + row + "</Modbus_Write></EtherNetIP_to_Modbus>");
    Rtu->FormShow(nullptr);
    ASSERT_EQ(Script.Shown.size(), 1);
    EXPECT_EQ(Script.Last().Type, mtError);
    EXPECT_TRUE(LastMessage().contains("Type")) << LastMessage().toStdString();
    EXPECT_EQ(Rtu->Cell(0, MR_Slave_ID, 1), "1");
    EXPECT_EQ(Rtu->Cell(0, MR_Slave_ID, 2), "7");
    EXPECT_EQ(Rtu->Cell(0, MR_Slave_ID, 3), "");
    EXPECT_EQ(Rtu->Cell(1, MW_Slave_ID, 1), "");

    Script.Shown.clear();
    Write(File_ModbusTCPM_SetAccess, "<R><Modbus_Read><row IP_Address=\"1.2.3.4\" Port=\"1\" Slave_ID=\"1\" "
                                     "Type=\"Coil Status\" Address=\"0\" NPoint=\"1\" PollTime=\"1\" MaxError=\"0\" "
                                     "Position=\"0\" Bit=\"0\" Mnemonic=\"\"/></Modbus_Read></R>");
    Tcp->FormShow(nullptr);
    ASSERT_EQ(Script.Shown.size(), 1);
    EXPECT_TRUE(LastMessage().contains("Modbus_Write")) << LastMessage().toStdString();
    EXPECT_EQ(Tcp->Cell(0, TR_IP_Address, 1), "1.2.3.4");
}

TEST_F(ModbusTest, RowsBeyondTheGridAreSaidAtLoadAndDroppedOnSaving)
{
    QByteArray rows;
    for (int i = 0; i < 520; ++i)
        rows += "<row Slave_ID=\"" + QByteArray::number(i % 247 + 1) +
                "\" Type=\"Coil Status\" Address=\"0\" NPoint=\"1\" PollTime=\"1\" MaxError=\"0\" Position=\"0\" "
                "Bit=\"0\" Mnemonic=\"\"/>";
    Write(File_ModbusM_SetAccess, "<EtherNetIP_to_Modbus><Modbus_Read>" + rows +
                                      "</Modbus_Read><Modbus_Write/></EtherNetIP_to_Modbus>");
    Rtu->FormShow(nullptr);
    ASSERT_EQ(Script.Shown.size(), 1);
    EXPECT_EQ(Script.Last().Type, mtWarning);
    EXPECT_TRUE(Script.Last().Text.contains("list \"Modbus_Read\": the file holds 520 rows; this table keeps 512"))
        << Script.Last().Text.toStdString();
    ASSERT_TRUE(Ok(Rtu)) << LastMessage().toStdString();
    EXPECT_EQ(Read(File_ModbusM_SetAccess).count("<row "), 512);
}

TEST_F(ModbusTest, RowButtonsActOnTheActivePagesGrid)
{
    Rtu->FormShow(nullptr);
    FillPage(Rtu, 0, 1, {"Y", "1"});
    FillPage(Rtu, 0, 2, {"Y", "2"});
    FillPage(Rtu, 1, 1, {"Y", "11"});
    FillPage(Rtu, 1, 2, {"Y", "12"});
    Rtu->Set_Active_Page(1);
    EXPECT_EQ(Rtu->Active_Grid(), Rtu->ACG_Modbus_Write);
    Rtu->ACG_Modbus_Write->SetRow(1);
    Rtu->Btn_InsertRowClick(nullptr);
    // The inserted row is empty, Enable included: it counts as disabled.
    EXPECT_EQ(PageRow(Rtu, 1, 1), QStringList(13, QString()));
    EXPECT_EQ(Rtu->Cell(1, MW_Slave_ID, 3), "12");
    EXPECT_EQ(Rtu->Cell(0, MR_Slave_ID, 2), "2");

    Script.Answer(mrYes);
    Rtu->ACG_Modbus_Write->SetRow(2);
    Rtu->Btn_DelRowClick(nullptr);
    EXPECT_EQ(LastMessage(), "Are you sure to delete the Row number 2");
    EXPECT_EQ(Rtu->Cell(1, MW_Slave_ID, 2), "12");
    Script.Answer(mrNo);
    Tcp->FormShow(nullptr);
    Tcp->Btn_DelRowClick(nullptr);
    EXPECT_EQ(LastMessage(), "Are you sure to delete the Row number 1");
}

TEST_F(ModbusTest, ACopyIsPastedOnlyOnItsOwnPageAndOnlyInItsShowing)
{
    Rtu->FormShow(nullptr);
    FillPage(Rtu, 0, 1, RtuRead("Holding Register", "1", "5"));
    Rtu->ACG_Modbus_Read->SetRow(1);
    Rtu->Btn_CopyRowClick(nullptr);
    EXPECT_TRUE(Rtu->Do_Copy_In_Read);
    Rtu->Set_Active_Page(1);
    Rtu->ACG_Modbus_Write->SetRow(3);
    Rtu->Btn_PasteRowClick(nullptr);
    EXPECT_EQ(Messages(), QStringList({"Error!!! Copy a valid row before Paste it"}));
    EXPECT_EQ(Rtu->Cell(1, MW_Slave_ID, 3), "");

    // On the read page it pastes; a copy on the write page clears the read flag.
    Rtu->Set_Active_Page(0);
    Rtu->ACG_Modbus_Read->SetRow(4);
    Rtu->Btn_PasteRowClick(nullptr);
    EXPECT_EQ(PageRow(Rtu, 0, 4), PageRow(Rtu, 0, 1));
    Rtu->Set_Active_Page(1);
    Rtu->Btn_CopyRowClick(nullptr);
    EXPECT_FALSE(Rtu->Do_Copy_In_Read);
    EXPECT_TRUE(Rtu->Do_Copy_In_Write);

    // The next showing forgets both copies.
    Rtu->FormShow(nullptr);
    EXPECT_FALSE(Rtu->Do_Copy_In_Write);
    Script.Shown.clear();
    Rtu->Btn_PasteRowClick(nullptr);
    EXPECT_EQ(Messages(), QStringList({"Error!!! Copy a valid row before Paste it"}));
}

TEST_F(ModbusTest, ANumberClickSelectsThatRowOfTheGridClicked)
{
    Tcp->FormShow(nullptr);
    Tcp->ClickCell(Tcp->ACG_Modbus_Write, 5, 0);
    EXPECT_EQ(Tcp->ACG_Modbus_Write->Selection().Top, 5);
    EXPECT_EQ(Tcp->ACG_Modbus_Write->Selection().Bottom, 5);
    const TGridRect before = Tcp->ACG_Modbus_Read->Selection();
    Tcp->ClickCell(Tcp->ACG_Modbus_Read, 7, 2);
    EXPECT_EQ(Tcp->ACG_Modbus_Read->Selection().Top, before.Top);
    // Both grids hand their cell clicks to it.
    for (TExColumnGrid* g : {Tcp->ACG_Modbus_Read, Tcp->ACG_Modbus_Write}) {
        ASSERT_TRUE(bool(g->OnClickCell));
        g->OnClickCell(g, 3, 0);
        EXPECT_EQ(g->Selection().Top, 3);
        EXPECT_EQ(g->Selection().Bottom, 3);
        EXPECT_EQ(g->Selection().Right, g->ColCount() - 1);
    }
}
