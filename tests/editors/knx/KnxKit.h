#pragma once
// The KNX access editor on a project folder of its own, for a chosen model,
// with the default texts and scripted message boxes.
#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "editors/UKNXAccess.h"
#include "gridpack/grid4/ExCGrid.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/core/Files.h"
#include "support/ToolkitApp.h"
#include "support/ToolkitTest.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class KnxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { KalTest::EnsureToolkitApp(); }
    void SetUp() override
    {
        ASSERT_TRUE(Tmp.isValid());
        Load_Default_Texts();
        Saved_Dir = Dir_Project;
        Saved_Knx = File_KNX_SetAccess;
        Saved_ParGen = File_ParGen;
        Saved_Code = SW_Code;
        Saved_Model = Model_Code;
        Dir_Project = Tmp.path();
        File_KNX_SetAccess = PathJoin(Tmp.path(), QStringLiteral("KNX_SetAccess.xml"));
        File_ParGen = PathJoin(Tmp.path(), QStringLiteral("ParGen.xml"));
        SW_Code = QStringLiteral("CF31A06");
        InstallDialogScript(&Script);
        Make(9);
    }
    void TearDown() override
    {
        delete Knx;
        InstallDialogScript(nullptr);
        SetFocusedWindowQuietly(nullptr);
        Row_Clipboard.clear();
        Dir_Project = Saved_Dir;
        File_KNX_SetAccess = Saved_Knx;
        File_ParGen = Saved_ParGen;
        SW_Code = Saved_Code;
        Model_Code = Saved_Model;
    }
    // The dialog as the main block of `model` creates it.
    void Make(int model)
    {
        delete Knx;
        Model_Code = model;
        Knx = new TFKNXAccess(nullptr);
        Knx->AfterConstruction();
    }

    // -- files
    static void Write(const QString& path, const QByteArray& bytes) { WriteFileWhole(path, bytes); }
    static QByteArray Read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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

    // -- cells
    // Fills row r from column 1 on; the rest of the row stays.
    void Fill(int r, const QStringList& cells)
    {
        for (int c = 0; c < cells.size(); ++c)
            Knx->Set_Cell(c + 1, r, cells[c]);
    }
    QStringList RowOf(int r) const
    {
        QStringList l;
        for (int c = 1; c < KA_Count; ++c)
            l << Knx->Cell(c, r);
        return l;
    }

    // -- OK: the validator, the file and the modal result
    bool Ok()
    {
        Knx->SetModalResult(mrNone);
        Knx->Btn_OKClick(nullptr);
        return Knx->ModalResult() == mrOk;
    }
    QStringList Messages() const { return MessageBoxTexts(Script); }
    QString LastMessage() const { return Messages().isEmpty() ? QString() : Messages().last(); }

    QTemporaryDir Tmp;
    TDialogScript Script;
    TFKNXAccess* Knx = nullptr;
    QString Saved_Dir, Saved_Knx, Saved_ParGen, Saved_Code;
    int Saved_Model = 9;
};

// A row that passes every check: enabled, 1.1.1 to 1/2/3, Write, byte mode,
// two bytes at position 0.
inline QStringList Good_Row()
{
    return {"Y", "1.1.1", "1/2/3", "Write", "Normal", "None", "N", "N", "N", "Y", "N", "1000", "0", "No", "2", "temp"};
}
