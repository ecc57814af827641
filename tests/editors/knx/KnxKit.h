#pragma once
// The KNX access editor on a project folder of its own, for a chosen model,
// with the default texts and scripted message boxes.
#include "editors/MapEditorKit.h"
#include "editors/UKNXAccess.h"

class KnxTest : public MapEditorTest {
protected:
    void SetUp() override
    {
        MapEditorTest::SetUp();
        Saved_Knx = File_KNX_SetAccess;
        Saved_ParGen = File_ParGen;
        Saved_Model = Model_Code;
        File_KNX_SetAccess = PathJoin(Tmp.path(), QStringLiteral("KNX_SetAccess.xml"));
        File_ParGen = PathJoin(Tmp.path(), QStringLiteral("ParGen.xml"));
        Make(9);
    }
    void TearDown() override
    {
        delete Knx;
        Row_Clipboard.clear();
        File_KNX_SetAccess = Saved_Knx;
        File_ParGen = Saved_ParGen;
        Model_Code = Saved_Model;
        MapEditorTest::TearDown();
    }
    // The dialog as the main block of `model` creates it.
    void Make(int model)
    {
        delete Knx;
        Model_Code = model;
        Knx = new TFKNXAccess(nullptr);
        Knx->AfterConstruction();
    }

    void WriteKnx(const QByteArray& rows)
    {
        Write(File_KNX_SetAccess,
              "<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>" + rows + "</KNX_in_Write></BACnet_to_KNX>");
    }
    void WriteParGen(const QByteArray& elements)
    {
        Write(File_ParGen, "<Par_Gen>" + elements + "</Par_Gen>");
    }

    // -- cells of the dialog's table
    void Fill(int r, const QStringList& cells) { MapEditorTest::Fill(Knx, r, cells); }
    QStringList RowOf(int r) const
    {
        QStringList l;
        for (int c = 1; c < KA_Count; ++c)
            l << Knx->Cell(c, r);
        return l;
    }
    bool Ok() { return MapEditorTest::Ok(Knx); }

    TFKNXAccess* Knx = nullptr;
    QString Saved_Knx, Saved_ParGen;
    int Saved_Model = 9;
};

// A row that passes every check: enabled, 1.1.1 to 1/2/3, Write, byte mode,
// two bytes at position 0.
inline QStringList Good_Row()
{
    return {"Y", "1.1.1", "1/2/3", "Write", "Normal", "None", "N", "N", "N", "Y", "N", "1000", "0", "No", "2", "temp"};
}
