// How the two dialogs are made: sizes, texts, the page control's settings,
// the widened drop-down lists opening leftwards, and the page layouts. Both
// dialogs are rendered to PNG files in the build folder for a person to look
// at.
#include "MeterBusKit.h"

#include "platform/controls/Input.h"

#include <QImage>

TEST_F(MeterBusTest, CreationFixesSizesAndTexts) {
    EXPECT_EQ(D->ClientWidth(), 834);
    EXPECT_EQ(D->ClientHeight(), 662);
    EXPECT_EQ(D->Caption(), "M-Bus Network");
    EXPECT_EQ(D->L_SW_Code->Caption(), "CF31A10");
    EXPECT_EQ(D->Btn_ImportNet->Caption(), "Import Network");
    EXPECT_EQ(D->CB_Float->Caption(), "Convert in Float");
    EXPECT_EQ(D->CB_Force_Int32->Caption(), "Force Integer 32");
    EXPECT_EQ(D->L_PostOpe->Caption(), "Post Operation");
    EXPECT_EQ(D->L_wMBus_K[15]->Caption(), Text(823));
    EXPECT_EQ(D->OD_Import_Net->Filter, "XML File (*.xml)|*.xml");
    // The context menu: fixed English texts, the pastes off until a copy.
    QStringList menu;
    for (int i = 0; i < D->PM_CopyPaste->Items()->Count(); ++i) menu << D->PM_CopyPaste->Items()->Items(i)->Caption;
    EXPECT_EQ(menu, QStringList({"Copy Variable", "Paste Variable", "-", "Copy Node", "Paste Node", "-", "Delete Items"}));
    EXPECT_FALSE(D->PasteVariable1->Enabled);
    EXPECT_FALSE(D->PasteNode1->Enabled);

    TExPageControl* pc = D->PC_MBus;
    EXPECT_EQ(D->TS_Nodes->Caption(), "Nodes     ");
    EXPECT_EQ(D->TS_Variables->Caption(), "Variables     ");
    EXPECT_EQ(pc->Tabs()->Strings(0), "Nodes   ") << "the tab text rule on the five blanks";
    EXPECT_EQ(pc->TabPosition(), tpLeft);
    EXPECT_EQ(pc->TabStyle(), tsDotNet);
    EXPECT_TRUE(pc->MultiLine());
    EXPECT_EQ(pc->TabMargin()->TopMargin(), 10);
    EXPECT_EQ(pc->TabMargin()->RightMargin(), 20);
    EXPECT_EQ(pc->TabOverlap(), 0);
    EXPECT_EQ(pc->Color(), 15595512);
    EXPECT_EQ(pc->TabBackGroundColor(), 15595512);
    EXPECT_EQ(pc->ActiveColor(), clSkyBlue);
    EXPECT_EQ(D->TS_Nodes->Color(), 15595512);
    EXPECT_EQ(D->TS_Nodes->TabColor(), 15595512);
    EXPECT_EQ(D->TS_Nodes->ColorTo(), clNone);
    EXPECT_EQ(pc->Font()->Name(), "Verdana");
    EXPECT_EQ(pc->ActiveFont()->Name(), "Verdana");
    EXPECT_EQ(pc->Font()->Height(), -13);
}

TEST_F(MeterBusTest, TheNewNodeDialogStartsWithBothEditsOne) {
    EXPECT_EQ(New->ClientWidth(), 265);
    EXPECT_EQ(New->ClientHeight(), 195);
    EXPECT_EQ(New->E_New_Node_ID_Pri->Text(), "1");
    EXPECT_EQ(New->E_New_Node_ID_Sec->Text(), "1");
    EXPECT_TRUE(New->RB_ID_Primary->Checked());
    EXPECT_FALSE(New->RB_ID_Secondary->Checked());
    EXPECT_EQ(New->Caption(), Text(849));
    EXPECT_EQ(New->RB_ID_Secondary->Caption(), Text(855));
    EXPECT_EQ(New->L_SW_Code->Caption(), "CF31A10");
    // Its own range checks, before the address is looked up.
    struct Case { bool primary; const char* value; int text; };
    const Case cases[] = {{true, "256", 856}, {true, "-1", 856}, {false, "100000000", 857}, {false, "abc", 857}};
    for (const Case& c : cases) {
        Script.Shown.clear();
        New->SetModalResult(0);
        (c.primary ? New->RB_ID_Primary : New->RB_ID_Secondary)->SetChecked(true);
        (c.primary ? New->E_New_Node_ID_Pri : New->E_New_Node_ID_Sec)->SetText(c.value);
        New->LbButton2Click(nullptr);
        EXPECT_EQ(Messages(), QStringList({Text(c.text)})) << c.value;
        EXPECT_EQ(New->ModalResult(), 0);
    }
    New->RB_ID_Secondary->SetChecked(true);
    New->E_New_Node_ID_Sec->SetText("99999999");
    New->LbButton2Click(nullptr);
    EXPECT_EQ(New->ModalResult(), mrOk);
}

TEST_F(MeterBusTest, TheWideListsAreWidenedAndOpenLeftwards) {
    TComboBox* vife = D->CB_VIFE;
    ASSERT_EQ(vife->Items()->Count(), 126);
    ASSERT_GT(vife->Items()->Count(), vife->DropDownCount());
    TCanvas* c = vife->Canvas();
    c->Font().Assign(*vife->Font());
    int widest = 0;
    for (int i = 0; i < vife->Items()->Count(); ++i) widest = std::max(widest, c->TextWidth(vife->Items()->Strings(i)));
    EXPECT_EQ(vife->DroppedWidth(), widest + 12 + 65 + 17);
    ASSERT_GT(vife->DroppedWidth(), vife->Width());

    D->Show();
    D->PC_MBus->SetActivePage(D->TS_Variables);
    for (TComboBox* combo : {D->CB_VIFE, D->CB_Var_ToD}) {
        combo->SetDroppedDown(true);
        ASSERT_TRUE(combo->DroppedDown());
        TComboListWindow* list = combo->ListWindow();
        const int right = combo->ClientToScreen(Point(combo->Width(), 0)).X;
        EXPECT_EQ(list->Left() + list->Width(), right) << "right edges meet";
        EXPECT_EQ(list->Width(), combo->DroppedWidth());
        combo->SetDroppedDown(false);
    }
    D->Hide();
}

TEST_F(MeterBusTest, TheVariablePageFollowsTheNodesListKind) {
    auto shown = [&](std::initializer_list<TControl*> cs) {
        QList<int> tops;
        for (TControl* c : cs) {
            EXPECT_TRUE(c->Visible()) << c->Name().toStdString();
            tops << c->Top();
        }
        return tops;
    };
    D->Sposta_Oggetti_Var(0);
    const QList<int> byType = shown({D->CB_Var_En, D->E_New_Var_Desc, D->CB_Var_ToD, D->E_VIF_ASCII, D->CB_Var_FF,
                                     D->CB_Var_Dim, D->E_Length, D->CB_Var_Unit, D->E_Sto_Num, D->E_Tariff, D->CB_VIFE,
                                     D->CB_BCDtoINT, D->CB_Float, D->CB_TP_MR, D->CB_PostOpe, D->btn_Add_Var});
    for (int i = 1; i + 1 < byType.size(); ++i) EXPECT_EQ(byType[i] - byType[i - 1], 24) << i;
    EXPECT_EQ(D->CB_Force_Int32->Top(), D->CB_Float->Top()) << "side by side";
    EXPECT_FALSE(D->E_Position->Visible());

    D->Sposta_Oggetti_Var(1);
    const QList<int> byPosition = shown({D->CB_Var_En, D->E_New_Var_Desc, D->CB_Var_Dim, D->E_Length, D->CB_BCDtoINT,
                                         D->CB_Float, D->CB_TP_MR, D->CB_PostOpe, D->E_Position, D->btn_Add_Var});
    for (int i = 1; i + 1 < byPosition.size(); ++i) EXPECT_EQ(byPosition[i] - byPosition[i - 1], 24) << i;
    for (TControl* c : {(TControl*)D->CB_Var_ToD, (TControl*)D->E_VIF_ASCII, (TControl*)D->CB_Var_FF,
                        (TControl*)D->CB_Var_Unit, (TControl*)D->E_Sto_Num, (TControl*)D->E_Tariff, (TControl*)D->CB_VIFE})
        EXPECT_FALSE(c->Visible());

    // The extra fields follow their combo's choice.
    D->CB_Var_ToD->SetItemIndex(21);
    D->CB_Var_ToDChange(nullptr);
    EXPECT_TRUE(D->E_VIF_ASCII->Enabled());
    D->CB_Var_ToD->SetItemIndex(20);
    D->CB_Var_ToDChange(nullptr);
    EXPECT_FALSE(D->E_VIF_ASCII->Enabled());
    D->CB_Var_Dim->SetItemIndex(7);
    D->CB_Var_DimChange(nullptr);
    EXPECT_TRUE(D->E_Length->Enabled());
}

TEST_F(MeterBusTest, TheDialogsRenderForAPerson) {
    WriteNetwork("<Nodo Descrizione=\"meter\" ID_Primary=\"5\"><Variabile Enable=\"1\" Desc=\"flow\" Type=\"8\" "
                 "Fun_Field=\"0\" Dim=\"2\"/></Nodo>");
    D->Show();
    SelectNode(0);
    QImage nodes = D->RenderClient();
    EXPECT_EQ(nodes.width(), 834);
    nodes.save(QString(KAL_BUILD_DIR) + "/mbus_network_nodes.png");
    SelectVar(0, 0);
    D->RenderClient().save(QString(KAL_BUILD_DIR) + "/mbus_network_variables.png");
    D->Hide();
    New->RenderClient().save(QString(KAL_BUILD_DIR) + "/mbus_new_node_id.png");
}
