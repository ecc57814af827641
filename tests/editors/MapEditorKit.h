#pragma once
// What every mapping-editor test shares: a project folder of its own, the
// default texts, scripted message boxes, file helpers and the OK button.
#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UKalmetoreFirmWare.h"
#include "app/ULanguage.h"
#include "editors/UMapEditor.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/core/Files.h"
#include "platform/sys/LinkOpener.h"
#include "support/ToolkitApp.h"
#include "support/ToolkitTest.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class MapEditorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { KalTest::EnsureToolkitApp(); }
    // Points the project at the test's folder; the editors are made by the
    // test fixture after it.
    void SetUp() override
    {
        ASSERT_TRUE(Tmp.isValid());
        Load_Default_Texts();
        Saved_Dir = Dir_Project;
        Saved_Code = SW_Code;
        Dir_Project = Tmp.path();
        SW_Code = QStringLiteral("CF31A06");
        InstallDialogScript(&Script);
    }
    // Runs after the fixture has freed its editors.
    void TearDown() override
    {
        InstallDialogScript(nullptr);
        SetFocusedWindowQuietly(nullptr);
        Dir_Project = Saved_Dir;
        SW_Code = Saved_Code;
    }

    // -- files
    static void Write(const QString& path, const QByteArray& bytes) { WriteFileWhole(path, bytes); }
    static QByteArray Read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
    static bool Ok(TFMapEditor* f)
    {
        f->SetModalResult(mrNone);
        f->Btn_OKClick(nullptr);
        return f->ModalResult() == mrOk;
    }
    QStringList Messages() const { return MessageBoxTexts(Script); }
    QString LastMessage() const { return Messages().isEmpty() ? QString() : Messages().last(); }

    QTemporaryDir Tmp;
    TDialogScript Script;
    QString Saved_Dir, Saved_Code;
};

// The program of model 9, in English, started from a folder of its own with
// no internet and no update check: what the main window's steps expect.
inline void Start_Model9_Program_In(const QString& folder)
{
    Model_Code = 9;
    Name_Project.clear();
    Dir_Project.clear();
    Language = QStringLiteral("English");
    Enable_Internet = 0;
    Enable_Update = 0;
    Set_Program_Folders(folder);
    Force_Program_Folders();
    Set_Files();
    Sys::SetLinks(std::make_unique<Sys::FakeLinkOpener>());
    Set_Program_Start_Folder(folder);
}
