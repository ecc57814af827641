#pragma once
// The two Modbus master editors on a project folder of their own, with the
// default texts and scripted message boxes.
#include "editors/MapEditorKit.h"
#include "editors/UModbus_TCP_Master_Set_Access.h"
#include "editors/USetAccess.h"
#include "platform/controls/TabControls.h"

class ModbusTest : public MapEditorTest {
protected:
    void SetUp() override
    {
        MapEditorTest::SetUp();
        Saved_RTU = File_ModbusM_SetAccess;
        Saved_TCP = File_ModbusTCPM_SetAccess;
        Saved_Model = Model_Code;
        Model_Code = 1;
        File_ModbusM_SetAccess = PathJoin(Tmp.path(), QStringLiteral("ModbusM_SetAccess.xml"));
        File_ModbusTCPM_SetAccess = PathJoin(Tmp.path(), QStringLiteral("ModbusTCPM_SetAccess.xml"));
        Rtu = new TFSetAccess(nullptr);
        Rtu->AfterConstruction();
        Tcp = new TFModbus_TCP_Master_Set_Access(nullptr);
        Tcp->AfterConstruction();
    }
    void TearDown() override
    {
        delete Tcp;
        delete Rtu;
        Row_Clipboard.clear();
        File_ModbusM_SetAccess = Saved_RTU;
        File_ModbusTCPM_SetAccess = Saved_TCP;
        Model_Code = Saved_Model;
        MapEditorTest::TearDown();
    }

    // Fills row r of a page from column 1 on.
    static void FillPage(TFMapListEditor* f, int page, int r, const QStringList& cells)
    {
        for (int c = 0; c < cells.size(); ++c)
            f->Set_Cell(page, c + 1, r, cells[c]);
    }
    static QStringList PageRow(TFMapListEditor* f, int page, int r)
    {
        QStringList l;
        for (int c = 1; c < int(f->List_Info().Pages[page].Columns.size()); ++c)
            l << f->Cell(page, c, r);
        return l;
    }
    // Runs the validator on the rows given, from row 1 of each page.
    QString Check(TFMapListEditor* f, const QList<QStringList>& read, const QList<QStringList>& write)
    {
        f->FormShow(nullptr);
        for (int i = 0; i < read.size(); ++i)
            FillPage(f, 0, i + 1, read[i]);
        for (int i = 0; i < write.size(); ++i)
            FillPage(f, 1, i + 1, write[i]);
        Script.Shown.clear();
        const bool ok = f->Controllo_Dati();
        const QString msg = LastMessage();
        EXPECT_EQ(ok, msg.isEmpty()) << msg.toStdString();
        return msg;
    }

    TFSetAccess* Rtu = nullptr;
    TFModbus_TCP_Master_Set_Access* Tcp = nullptr;
    QString Saved_RTU, Saved_TCP;
    int Saved_Model = 9;
};

// RTU rows: Enable, Slave, Type, Address, NPoint, Poll, MaxError, Position,
// Start Bit, Swap, Mnemonic (write: On Change and On CMD after Poll).
inline QStringList RtuRead(const char* type, const char* npoint, const char* position, const char* bit = "0",
                           const char* poll = "1000")
{
    return {"Y", "1", type, "0", npoint, poll, "3", position, bit, "N", ""};
}
inline QStringList RtuWrite(const char* type, const char* npoint, const char* position, const char* bit = "0",
                            const char* poll = "0")
{
    return {"Y", "1", type, "0", npoint, poll, "N", "N", "3", position, bit, "N", ""};
}
// TCP rows: Enable, IP, Port, then as the RTU rows.
inline QStringList TcpRead(const char* ip, const char* type, const char* npoint, const char* position,
                           const char* bit = "0", const char* poll = "1000")
{
    return {"Y", ip, "502", "1", type, "0", npoint, poll, "3", position, bit, "N", ""};
}
inline QStringList TcpWrite(const char* ip, const char* type, const char* npoint, const char* position,
                            const char* bit = "0", const char* poll = "0")
{
    return {"Y", ip, "502", "1", type, "0", npoint, poll, "N", "N", "3", position, bit, "N", ""};
}
