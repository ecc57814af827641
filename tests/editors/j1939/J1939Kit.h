#pragma once
// The two J1939 editors on a project folder of their own, with the default
// texts and scripted message boxes.
#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "editors/UReceiveJ1939.h"
#include "editors/UTransmitJ1939.h"
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

class J1939Test : public ::testing::Test {
protected:
    static void SetUpTestSuite() { KalTest::EnsureToolkitApp(); }
    void SetUp() override
    {
        ASSERT_TRUE(Tmp.isValid());
        Load_Default_Texts();
        Saved_Dir = Dir_Project;
        Saved_Rec = File_J1939_Rec_Frames;
        Saved_Send = File_J1939_Send_Frames;
        Saved_Code = SW_Code;
        Dir_Project = Tmp.path();
        File_J1939_Rec_Frames = PathJoin(Tmp.path(), QStringLiteral("J1939_Rec_Frames.xml"));
        File_J1939_Send_Frames = PathJoin(Tmp.path(), QStringLiteral("J1939_Send_Frames.xml"));
        SW_Code = QStringLiteral("CF31A06");
        InstallDialogScript(&Script);
        Rec = new TFReceiveJ1939(nullptr);
        Rec->AfterConstruction();
        Send = new TFTransmitJ1939(nullptr);
        Send->AfterConstruction();
    }
    void TearDown() override
    {
        delete Send;
        delete Rec;
        InstallDialogScript(nullptr);
        SetFocusedWindowQuietly(nullptr);
        Dir_Project = Saved_Dir;
        File_J1939_Rec_Frames = Saved_Rec;
        File_J1939_Send_Frames = Saved_Send;
        SW_Code = Saved_Code;
    }

    // -- files
    static void Write(const QString& path, const QByteArray& bytes) { WriteFileWhole(path, bytes); }
    static QByteArray Read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void WriteRec(const QByteArray& rows)
    {
        Write(File_J1939_Rec_Frames, "<Receive_J1939>" + rows + "</Receive_J1939>");
    }
    void WriteSend(const QByteArray& rows)
    {
        Write(File_J1939_Send_Frames, "<Receive_J1939>" + rows + "</Receive_J1939>");
    }

    // -- cells
    // Fills row r from column 1 on; the rest of the row stays.
    static void Fill(TFMapEditor* f, int r, const QStringList& cells)
    {
        for (int c = 0; c < cells.size(); ++c)
            f->Set_Cell(c + 1, r, cells[c]);
    }
    static QStringList RowOf(TFMapEditor* f, int r)
    {
        QStringList l;
        for (int c = 1; c < int(f->Info().Columns.size()); ++c)
            l << f->Cell(c, r);
        return l;
    }

    // -- OK: the validator, the file and the modal result
    bool Ok(TFMapEditor* f)
    {
        f->SetModalResult(mrNone);
        f->Btn_OKClick(nullptr);
        return f->ModalResult() == mrOk;
    }
    QStringList Messages() const { return MessageBoxTexts(Script); }
    QString LastMessage() const { return Messages().isEmpty() ? QString() : Messages().last(); }

    QTemporaryDir Tmp;
    TDialogScript Script;
    TFReceiveJ1939* Rec = nullptr;
    TFTransmitJ1939* Send = nullptr;
    QString Saved_Dir, Saved_Rec, Saved_Send, Saved_Code;
};
