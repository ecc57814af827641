#pragma once
// The editors of the other models on a project folder of their own: every
// table path points into it, the model code is the test's to set, and each
// test makes the dialogs it needs.
#include "editors/MapEditorKit.h"
#include "editors/UMapListEditor.h"
#include "platform/core/IntConv.h"

#include <memory>
#include <vector>

class OthersTest : public MapEditorTest {
protected:
    void SetUp() override
    {
        MapEditorTest::SetUp();
        Saved_Model = Model_Code;
        for (auto& [path, name] : Paths()) {
            Saved_Paths.push_back(*path);
            *path = PathJoin(Tmp.path(), QString::fromLatin1(name));
        }
    }
    void TearDown() override
    {
        for (auto it = Forms.rbegin(); it != Forms.rend(); ++it)
            delete *it;
        Forms.clear();
        Row_Clipboard.clear();
        int i = 0;
        for (auto& [path, name] : Paths())
            *path = Saved_Paths[size_t(i++)];
        Model_Code = Saved_Model;
        MapEditorTest::TearDown();
    }

    // A dialog as the main block creates it, freed by the fixture.
    template <class T>
    T* Make()
    {
        auto* f = new T(nullptr);
        f->AfterConstruction();
        Forms.push_back(f);
        return f;
    }

    static void FillPage(TFMapListEditor* f, int page, int r, const QStringList& cells)
    {
        for (int c = 0; c < cells.size(); ++c)
            f->Set_Cell(page, c + 1, r, cells[c]);
    }
    // The validator's message on freshly shown rows (empty when it passes).
    QString Check(TFMapListEditor* f, const QList<QStringList>& first, const QList<QStringList>& second)
    {
        f->FormShow(nullptr);
        for (int i = 0; i < first.size(); ++i)
            FillPage(f, 0, i + 1, first[i]);
        for (int i = 0; i < second.size(); ++i)
            FillPage(f, 1, i + 1, second[i]);
        return Run_Check(f);
    }
    QString Check(TFMapEditor* f, const QList<QStringList>& rows)
    {
        f->FormShow(nullptr);
        for (int i = 0; i < rows.size(); ++i)
            Fill(f, i + 1, rows[i]);
        return Run_Check(f);
    }
    QString Run_Check(TFMapEditor* f)
    {
        Script.Shown.clear();
        const bool ok = f->Controllo_Dati();
        const QString msg = LastMessage();
        EXPECT_EQ(ok, msg.isEmpty()) << msg.toStdString();
        EXPECT_LE(Script.Shown.size(), 1);
        return msg;
    }
    static QByteArray Hex(const char* spaced) { return QByteArray::fromHex(QByteArray(spaced).replace(' ', "")); }
    void WriteParGen(const QByteArray& elements) { Write(File_ParGen, "<Par_Gen>" + elements + "</Par_Gen>"); }

    std::vector<TCustomForm*> Forms;
    int Saved_Model = 9;

private:
    static std::vector<std::pair<QString*, const char*>> Paths()
    {
        return {{&File_ParGen, "ParGen.xml"},
                {&File_DMX_Default_Values, "DMX_Default_Values.xml"},
                {&File_CAN_Rec_Frames, "CAN_Rec_Frames.xml"},
                {&File_CAN_Send_Frames, "CAN_Send_Frames.xml"},
                {&File_CAN_Rec_Info, "CAN_Rec_Info.xml"},
                {&File_CAN_Send_Info, "CAN_Send_Info.xml"},
                {&File_SDO_Server_CANopen, "SDO_Server_CANopen.xml"},
                {&File_SDO_Client_CANopen, "SDO_Client_CANopen.xml"},
                {&File_PDO_CANopen, "PDO_CANopen.xml"},
                {&File_DNETM_Net, "DNETM_Net.xml"},
                {&File_DNETM_DefOff, "DNETM_DefOff.xml"}};
    }
    std::vector<QString> Saved_Paths;
};
