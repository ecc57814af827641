#pragma once
// The M-Bus network dialog and the new-node-address dialog on a project
// folder of their own, with the default texts and scripted message boxes.
#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "gridpack/pagecontrol/ExPageControl.h"
#include "mbus/UMeter_Bus.h"
#include "mbus/UNewIDNode.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/TreeView.h"
#include "platform/core/Files.h"
#include "support/ToolkitApp.h"
#include "support/ToolkitTest.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

class MeterBusTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { KalTest::EnsureToolkitApp(); }
    void SetUp() override {
        ASSERT_TRUE(Tmp.isValid());
        Load_Default_Texts();
        Saved_Dir = Dir_Project;
        Saved_File = File_M_Bus;
        Saved_Code = SW_Code;
        Dir_Project = Tmp.path();
        File_M_Bus = Tmp.path() + "/M_Bus.xml";
        SW_Code = "CF31A10";
        InstallDialogScript(&Script);
        New = new TFNewIDNode(nullptr);
        New->AfterConstruction();
        D = new TFMeter_Bus(nullptr);
        D->AfterConstruction();
    }
    void TearDown() override {
        delete D;
        delete New;
        FMeter_Bus = nullptr;
        FNewIDNode = nullptr;
        InstallDialogScript(nullptr);
        SetFocusedWindowQuietly(nullptr);
        Dir_Project = Saved_Dir;
        File_M_Bus = Saved_File;
        SW_Code = Saved_Code;
    }

    // -- the network file
    void WriteNetwork(const QString& body) {
        WriteFileWhole(File_M_Bus, ("<M-Bus_Network>" + body + "</M-Bus_Network>").toUtf8());
    }
    // Shown again: the file is read into the list and the tree.
    void Show() { D->FormShow(nullptr); }

    // -- the tree
    QStringList TreeTexts() const {
        QStringList l;
        for (TTreeNode* n = D->TW->Items()->GetFirstNode(); n; n = n->GetNext()) l << n->Text();
        return l;
    }
    void SelectNode(int i) { D->TW->SetSelected(D->NODE_ORIG->Item(i)); }
    void SelectVar(int i, int j) { D->TW->SetSelected(D->NODE_ORIG->Item(i)->Item(j)); }
    void SelectNothing() { D->TW->SetSelected(nullptr); }

    QStringList Messages() const { return MessageBoxTexts(Script); }
    QString Text(int n) const { return Text_Of(n); }

    // A node or variable of the list, built in the test.
    static std::unique_ptr<TNodo> Node(bool enable, uint8_t state, uint8_t ident, uint8_t listType = 0) {
        auto n = std::make_unique<TNodo>();
        n->Enable = enable;
        n->Node_State = state;
        n->Ident_Num = ident;
        n->Var_List_Type = listType;
        n->MBus_Type = 1;
        return n;
    }
    static std::unique_ptr<TVariabile> Var(int dim, int type = 0, int length = 0, bool tp = false,
                                           bool flt = false, bool i32 = false, bool enable = true) {
        auto v = std::make_unique<TVariabile>();
        v->Enable = enable;
        v->Dimension = dim;
        v->Type_Of_Data = type;
        v->Length = length;
        v->TP_Mod_Regs = tp;
        v->Conv_Float = flt;
        v->Force_Int32 = i32;
        v->Position = 1;
        return v;
    }

    QTemporaryDir Tmp;
    TDialogScript Script;
    TFMeter_Bus* D = nullptr;
    TFNewIDNode* New = nullptr;
    QString Saved_Dir, Saved_File, Saved_Code;
};
