// The network dialog driven through its handlers: the tree mirroring the
// list, the byte count and its limit, the checks of the two pages, copy and
// paste, deleting, import, OK and Cancel.
#include "MeterBusKit.h"

#include "platform/controls/Input.h"

namespace {

const QString Wired5 =
    "<Nodo Enable_Node=\"1\" Descrizione=\"meter\" Node_ID_Type=\"0\" ID_Primary=\"5\" ID_Secondary=\"7\" MBus_Type=\"1\">"
    "<Variabile Enable=\"1\" Desc=\"flow\" Type=\"8\" Fun_Field=\"0\" Dim=\"2\"/></Nodo>";
const QString Wireless =
    "<Nodo Enable_Node=\"1\" Descrizione=\"ABB\" MBus_Type=\"0\" ID_Primary=\"1\" wMBus_Add=\"-1842063752\"/>";
const QString Secondary5 =
    "<Nodo Descrizione=\"sec\" Node_ID_Type=\"1\" ID_Primary=\"9\" ID_Secondary=\"5\" MBus_Type=\"1\"/>";

} // namespace

TEST_F(MeterBusTest, TheTreeMirrorsTheFile) {
    WriteNetwork(Wired5 + Wireless + Secondary5);
    Show();
    EXPECT_EQ(TreeTexts(), QStringList({"M-Bus Network", "ID 5 - meter", "VAR - flow",
                                        "wM-Bus Node - Address -1842063752 - ABB", "ID 5 - sec"}));
    ASSERT_EQ(D->Nodi_List.size(), 3u);
    EXPECT_TRUE(D->NODE_ORIG->Expanded());
    EXPECT_EQ(D->IND_NODO, -1);
    EXPECT_EQ(D->IND_VAR, -1);
    EXPECT_FALSE(D->Is_Change);
    // Selecting a variable fills both pages and shows the variables page.
    SelectVar(0, 0);
    EXPECT_EQ(D->IND_NODO, 0);
    EXPECT_EQ(D->IND_VAR, 0);
    EXPECT_EQ(D->E_New_Var_Desc->Text(), "flow");
    EXPECT_EQ(D->CB_Var_ToD->ItemIndex(), 8);
    EXPECT_EQ(D->E_New_Node_ID_Pri->Text(), "5");
    EXPECT_EQ(D->btn_Add_Node->Caption(), Text(763));
    EXPECT_EQ(D->btn_Add_Var->Caption(), Text(782));
    EXPECT_EQ(D->PC_MBus->ActivePage(), D->TS_Variables);
    SelectNode(1);
    EXPECT_EQ(D->btn_Add_Node->Caption(), Text(764));
    EXPECT_EQ(D->btn_Add_Var->Caption(), Text(781));
    EXPECT_EQ(D->PC_MBus->ActivePage(), D->TS_Nodes);
    EXPECT_EQ(D->CB_MBus_Type->ItemIndex(), 0);
    EXPECT_TRUE(D->P_wMBus_Node->Visible());
    EXPECT_FALSE(D->RB_ID_Primary->Visible());
    EXPECT_EQ(D->E_Position->Text(), "1") << "the variable page starts as a new variable";
}

TEST_F(MeterBusTest, SelectingAVariableShowsItsNodesKeyBytes) {
    QString keys;
    for (int k = 1; k <= 16; ++k) keys += QStringLiteral(" wMBus_Key_%1=\"$%2\"").arg(k).arg(k, 2, 16, QChar('0'));
    WriteNetwork("<Nodo MBus_Type=\"0\" wMBus_En_Key=\"1\"" + keys +
                 "><Variabile Desc=\"v\" Type=\"0\" Fun_Field=\"0\" Dim=\"0\"/></Nodo>");
    Show();
    SelectVar(0, 0);
    EXPECT_TRUE(D->CB_wMBus_EnKey->Checked());
    for (int k = 1; k <= 16; ++k)
        EXPECT_EQ(D->E_wMBus_K[k - 1]->Text(), QStringLiteral("$%1").arg(k, 2, 16, QChar('0'))) << k;
    EXPECT_TRUE(D->P_wMBus_Node->Visible());
}

TEST_F(MeterBusTest, TheByteCountTakesTheEnabledPartOnly) {
    struct Case { const char* what; std::function<void(TNodoList&)> build; int bytes; };
    const Case cases[] = {
        {"state and identification, no variables", [](TNodoList& l) { l.push_back(Node(true, 1, 1)); }, 5},
        {"a disabled node counts nothing",
         [](TNodoList& l) {
             auto n = Node(false, 1, 1);
             n->Var_List.push_back(Var(2));
             l.push_back(std::move(n));
         },
         0},
        {"a disabled variable counts nothing",
         [](TNodoList& l) {
             auto n = Node(true, 0, 0);
             n->Var_List.push_back(Var(2, 0, 0, false, false, false, false));
             l.push_back(std::move(n));
         },
         0},
        {"dimensions 0..7 and another code",
         [](TNodoList& l) {
             auto n = Node(true, 0, 0);
             for (int dim : {0, 1, 2, 3, 4, 5, 6, 9}) n->Var_List.push_back(Var(dim));
             n->Var_List.push_back(Var(7, 0, 191));
             l.push_back(std::move(n));
         },
         1 + 2 + 4 + 8 + 3 + 6 + 4 + 2 + 191},
        {"by position: an eight-byte time point whatever its type",
         [](TNodoList& l) {
             auto n = Node(true, 0, 0, 1);
             n->Var_List.push_back(Var(0, 3, 0, true));
             l.push_back(std::move(n));
         },
         8},
        {"by type: only type 20 takes eight bytes",
         [](TNodoList& l) {
             auto n = Node(true, 0, 0, 0);
             n->Var_List.push_back(Var(0, 20, 0, true));
             n->Var_List.push_back(Var(0, 3, 0, true));          // its dimension: 1
             n->Var_List.push_back(Var(0, 3, 0, true, true));    // float: 4
             n->Var_List.push_back(Var(3, 3, 0, false, false, true));  // forced 32-bit: 4
             l.push_back(std::move(n));
         },
         8 + 1 + 4 + 4},
    };
    for (const Case& c : cases) {
        D->Nodi_List.clear();
        c.build(D->Nodi_List);
        EXPECT_EQ(D->Calcola_Byte_Usati(), c.bytes) << c.what;
        D->Aggiorna_Label_Num_Byte();
        EXPECT_EQ(D->L_MBus_NumByte->Caption(), "Bytes Used : " + QString::number(c.bytes)) << c.what;
    }
}

TEST_F(MeterBusTest, OkWritesUpTo1439BytesAndRefuses1440) {
    for (int last : {103, 102}) {
        Show();
        auto n = Node(true, 0, 0);
        for (int i = 0; i < 7; ++i) n->Var_List.push_back(Var(7, 0, 191));
        n->Var_List.push_back(Var(7, 0, last));
        D->Nodi_List.push_back(std::move(n));
        D->SetModalResult(0);
        D->LbButton2Click(nullptr);
        if (last == 103) {
            EXPECT_EQ(Messages(), QStringList({"Error!! Bytes Used for the configuration are more of 1439"}));
            EXPECT_EQ(D->ModalResult(), 0) << "stays open";
            EXPECT_FALSE(FileExists(File_M_Bus)) << "nothing written";
            EXPECT_EQ(D->Nodi_List.size(), 1u);
        } else {
            EXPECT_EQ(D->ModalResult(), mrOk);
            ASSERT_TRUE(FileExists(File_M_Bus));
            const TNodoList back = Read_MBus_Network(File_M_Bus);
            ASSERT_EQ(back.size(), 1u);
            EXPECT_EQ(back[0]->Var_List.size(), 8u);
            EXPECT_TRUE(D->Nodi_List.empty()) << "released after writing";
        }
    }
}

TEST_F(MeterBusTest, VariableChecksRefuseWithTheirTexts) {
    WriteNetwork(Wired5);
    Show();
    SelectNode(0);
    struct Case { const char* sto; const char* tariff; int dim; const char* length; const char* pos; int text; };
    const Case cases[] = {
        {"4294967295", "0", 0, "0", "1", 0},
        {"4294967296", "0", 0, "0", "1", 783},
        {"-1", "0", 0, "0", "1", 783},
        {"1048575", "1048575", 0, "0", "1", 0},
        {"0", "1048576", 0, "0", "1", 784},
        {"0", "0", 7, "191", "1", 0},
        {"0", "0", 7, "192", "1", 785},
        {"0", "0", 2, "192", "1", 0},   // the length counts only for dimension 7
        {"0", "0", 2, "abc", "100", 0},
        {"0", "0", 0, "0", "0", 786},
        {"0", "0", 0, "0", "101", 786},
        {"$FFFFFFFF", "0xFFFFF", 0, "0", "1", 0},
    };
    for (const Case& c : cases) {
        Script.Shown.clear();
        D->E_Sto_Num->SetText(c.sto);
        D->E_Tariff->SetText(c.tariff);
        D->CB_Var_Dim->SetItemIndex(c.dim);
        D->E_Length->SetText(c.length);
        D->E_Position->SetText(c.pos);
        EXPECT_EQ(D->Controllo_Dati_New_Var(), c.text == 0) << c.sto << " " << c.tariff << " " << c.length << " " << c.pos;
        EXPECT_EQ(Messages(), c.text ? QStringList({Text(c.text)}) : QStringList()) << c.sto;
    }
    // Taken: the storage number as unsigned, a non-number length as 0.
    D->E_New_Var_Desc->SetText("energy");
    D->E_Sto_Num->SetText("4294967295");
    D->CB_Var_Dim->SetItemIndex(2);
    D->E_Length->SetText("abc");
    D->E_Position->SetText("100");
    D->btn_Add_VarClick(nullptr);
    ASSERT_EQ(D->Nodi_List[0]->Var_List.size(), 2u);
    const TVariabile& v = *D->Nodi_List[0]->Var_List[1];
    EXPECT_EQ(v.Storage_Number, 4294967295u);
    EXPECT_EQ(v.Length, 0);
    EXPECT_EQ(v.Position, 100);
    EXPECT_EQ(D->NODE_ORIG->Item(0)->Item(1)->Text(), "VAR - energy");
    EXPECT_TRUE(D->Is_Change);
}

// Variables added to a node show at once: the node gets its expand mark
// on the screen without being clicked.
TEST_F(MeterBusTest, AddedVariablesShowTheirNodesExpandMarkAtOnce) {
    WriteNetwork(Secondary5);
    D->Show();
    TTreeView* tw = D->TW;
    TTreeNode* node = D->NODE_ORIG->Item(0);
    ASSERT_FALSE(node->HasChildren());
    // The node's row (the root's is the first) and the column of its button.
    const int h = tw->ItemHeight();
    const int y = h + h / 2;
    int bx = -1;
    auto markShown = [&] {
        D->PaintPending();
        const QImage surface = *D->Surface();
        const TPoint at = D->ScreenToClient(tw->ClientToScreen(Point(0, 0)));
        for (int x = 0; x < tw->ClientWidth() && bx < 0; ++x)
            if (tw->GetHitTestInfoAt(x, y) & htOnButton) bx = x;
        if (bx < 0) return false;
        // The box's frame runs across the row at its top: the pixels left and
        // right of the dotted line are not the window colour there.
        int dark = 0;
        for (int x = bx; x < bx + tw->Indent(); ++x)
            for (int yy = y - h / 2; yy < y + h / 2; ++yy)
                if ((surface.pixel(at.X + x, at.Y + yy) & 0xFFFFFF) == 0) ++dark;
        return dark >= 3;  // the minus or plus sign
    };
    EXPECT_FALSE(markShown());
    SelectNode(0);
    for (const char* desc : {"energy", "volume"}) {
        D->E_New_Var_Desc->SetText(desc);
        D->btn_Add_VarClick(nullptr);
    }
    EXPECT_EQ(TreeTexts(), QStringList({"M-Bus Network", "ID 5 - sec", "VAR - energy", "VAR - volume"}))
        << "each add puts an item under the node";
    ASSERT_EQ(node->Count(), 2);
    EXPECT_TRUE(D->NODE_ORIG->Expanded());
    EXPECT_TRUE(markShown()) << "the node shows it has variables";
    EXPECT_EQ(*D->Surface(), D->RenderClient()) << "what was painted is the dialog as it is";
    D->Hide();
}

TEST_F(MeterBusTest, NodeChecksRefuseWithTheirTexts) {
    WriteNetwork(Secondary5);
    Show();
    SelectNothing();
    struct Case { int type; bool primary; const char* pri; const char* sec; bool key; const char* manid; int keyAt;
                  const char* keyText; int text; };
    const Case cases[] = {
        {1, true, "256", "0", false, "0", -1, "", 787},
        {1, false, "0", "100000000", false, "0", -1, "", 788},
        {1, true, "5", "0", false, "0", -1, "", 789},      // another node's secondary 5
        {1, true, "6", "0", false, "0", -1, "", 0},
        {0, true, "5", "0", false, "65536", -1, "", 829},  // wireless: the manufacturer
        {0, true, "5", "0", false, "65535", -1, "", 0},    // and no address check
        {0, true, "5", "0", true, "1", 0, "0xFF", 0},
        {0, true, "5", "0", true, "1", 3, "$FF", 0},
        {0, true, "5", "0", true, "1", 4, "256", 837},     // key byte 5: 832 + 5
        {0, true, "5", "0", true, "1", 15, "x", 848},
        {0, true, "5", "0", false, "1", 4, "256", 0},      // without Key Enable not checked
    };
    for (const Case& c : cases) {
        Script.Shown.clear();
        D->CB_MBus_Type->SetItemIndex(c.type);
        (c.primary ? D->RB_ID_Primary : D->RB_ID_Secondary)->SetChecked(true);
        D->E_New_Node_ID_Pri->SetText(c.pri);
        D->E_New_Node_ID_Sec->SetText(c.sec);
        D->E_wMBus_ManID->SetText(c.manid);
        D->E_wMBus_Ver->SetText("1");
        D->E_wMBus_DevType->SetText("255");
        D->CB_wMBus_EnKey->SetChecked(c.key);
        for (int k = 0; k < 16; ++k) D->E_wMBus_K[k]->SetText("1");
        if (c.keyAt >= 0) D->E_wMBus_K[c.keyAt]->SetText(c.keyText);
        EXPECT_EQ(D->Controllo_Dati_New_Nodo(), c.text == 0) << c.pri << " " << c.manid << " " << c.keyText;
        EXPECT_EQ(Messages(), c.text ? QStringList({Text(c.text)}) : QStringList()) << c.pri << " " << c.keyText;
    }
    // Pasting compares the kind too: primary 5 is free.
    EXPECT_TRUE(D->Check_Node_ID2(5, 0));
    EXPECT_FALSE(D->Check_Node_ID2(5, 1));
}

TEST_F(MeterBusTest, WirelessNodesDoNotBlockWiredAddresses) {
    // A wireless node carries the placeholder primary address 1.
    WriteNetwork(Wireless);
    Show();
    EXPECT_TRUE(D->Check_Node_ID2(1, 0));
    D->CB_MBus_Type->SetItemIndex(1);
    D->RB_ID_Primary->SetChecked(true);
    D->E_New_Node_ID_Pri->SetText("1");
    D->E_New_Node_Desc->SetText("wired");
    D->btn_Add_NodeClick(nullptr);
    EXPECT_TRUE(Messages().isEmpty());
    ASSERT_EQ(D->Nodi_List.size(), 2u);
    EXPECT_EQ(TreeTexts().last(), "ID 1 - wired");
}

TEST_F(MeterBusTest, ModifyingANodeKeepsItsOwnAddress) {
    WriteNetwork(Wired5);
    Show();
    SelectNode(0);
    D->E_New_Node_Desc->SetText("renamed");
    D->btn_Add_NodeClick(nullptr);
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(D->Nodi_List[0]->Description, "renamed");
    EXPECT_EQ(D->NODE_ORIG->Item(0)->Text(), "ID 5 - renamed");
    // With its variable selected, "ADD NODE" checks against every node.
    SelectVar(0, 0);
    D->btn_Add_NodeClick(nullptr);
    EXPECT_EQ(Messages(), QStringList({Text(789)}));
    EXPECT_EQ(D->Nodi_List.size(), 1u);
}

TEST_F(MeterBusTest, CopyAndPasteNeedASelectionAndSomethingCopied) {
    WriteNetwork(Wired5);
    Show();
    SelectNothing();
    D->CopyVariable1Click(nullptr);
    D->CopyNode1Click(nullptr);
    D->PasteVariable1Click(nullptr);
    SelectNode(0);
    D->CopyVariable1Click(nullptr);
    EXPECT_EQ(Messages(), QStringList({Text(794), Text(795), Text(796), Text(793)}));
    EXPECT_FALSE(D->PasteVariable1->Enabled);
    Script.Shown.clear();
    SelectVar(0, 0);
    D->CopyVariable1Click(nullptr);
    EXPECT_TRUE(D->PasteVariable1->Enabled);
    SelectNothing();
    D->PasteVariable1Click(nullptr);
    EXPECT_EQ(Messages(), QStringList({Text(797)}));
    SelectNode(0);
    D->PasteVariable1Click(nullptr);
    D->PasteVariable1Click(nullptr);
    EXPECT_EQ(D->Nodi_List[0]->Var_List.size(), 3u);
    EXPECT_EQ(TreeTexts(), QStringList({"M-Bus Network", "ID 5 - meter", "VAR - flow", "VAR - flow", "VAR - flow"}));
    EXPECT_TRUE(D->Is_Change);
}

TEST_F(MeterBusTest, ANodePastesAsCopiedAnyNumberOfTimesAlsoInALaterShowing) {
    WriteNetwork(Wired5);
    Show();
    SelectNode(0);
    D->CopyNode1Click(nullptr);
    // Modified after the copy: the copy keeps what it had.
    D->E_New_Node_Desc->SetText("changed");
    D->btn_Add_NodeClick(nullptr);
    int address = 20;
    auto answer = [&] {
        Script.AnswerModal([&address](TCustomForm* f) {
            auto* d = static_cast<TFNewIDNode*>(f);
            EXPECT_EQ(d->E_New_Node_ID_Pri->Text(), "5");
            EXPECT_EQ(d->E_New_Node_ID_Sec->Text(), "7");
            EXPECT_TRUE(d->RB_ID_Primary->Checked());
            d->E_New_Node_ID_Pri->SetText(QString::number(address++));
            d->Btn_OK->Click();
        });
    };
    answer();
    D->PasteNode1Click(nullptr);
    answer();
    D->PasteNode1Click(nullptr);
    ASSERT_EQ(D->Nodi_List.size(), 3u);
    EXPECT_EQ(TreeTexts(), QStringList({"M-Bus Network", "ID 5 - changed", "VAR - flow", "ID 20 - meter",
                                        "VAR - flow", "ID 21 - meter", "VAR - flow"}));
    EXPECT_EQ(D->Nodi_List[2]->Node_ID_Primary, 21);
    EXPECT_EQ(D->Nodi_List[2]->Node_ID_Secondary, 7);
    EXPECT_EQ(D->Nodi_List[2]->Description, "meter");
    // A later showing: the buffer is still there.
    Show();
    EXPECT_TRUE(D->PasteNode1->Enabled);
    answer();
    D->PasteNode1Click(nullptr);
    EXPECT_EQ(TreeTexts().mid(3), QStringList({"ID 22 - meter", "VAR - flow"}));
    // A used address of the same kind is refused by the address dialog.
    Script.AnswerModal([](TCustomForm* f) {
        auto* d = static_cast<TFNewIDNode*>(f);
        d->E_New_Node_ID_Pri->SetText("5");
        d->Btn_OK->Click();
        EXPECT_EQ(f->ModalResult(), 0);
        d->Btn_Cancel->Click();
    });
    Script.Shown.clear();
    D->PasteNode1Click(nullptr);
    EXPECT_EQ(Messages(), QStringList({Text(789)}));
    EXPECT_EQ(D->Nodi_List.size(), 2u);
}

TEST_F(MeterBusTest, CancelAsksOnlyAfterAChange) {
    WriteNetwork(Wired5);
    Show();
    D->SetModalResult(0);
    D->LbButton4Click(nullptr);
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(D->ModalResult(), mrCancel);
    Show();
    D->SetModalResult(0);
    SelectNode(0);
    Script.Answer(mrYes);
    D->btn_Delete_ItemClick(nullptr);
    ASSERT_TRUE(D->Is_Change);
    Script.Shown.clear();
    Script.Answer(mrNo);
    D->LbButton4Click(nullptr);
    EXPECT_EQ(Messages(), QStringList({Text(798)}));
    EXPECT_EQ(D->ModalResult(), 0) << "No keeps the dialog open";
    EXPECT_TRUE(D->Nodi_List.empty()) << "with its changes";
    Script.Answer(mrYes);
    D->LbButton4Click(nullptr);
    EXPECT_EQ(D->ModalResult(), mrCancel);
}

TEST_F(MeterBusTest, DeletingAsksFirstAndKeepsListAndTreeTogether) {
    WriteNetwork(Wired5 + Secondary5);
    Show();
    SelectVar(0, 0);
    Script.Answer(mrNo);
    D->btn_Delete_ItemClick(nullptr);
    EXPECT_EQ(D->Nodi_List[0]->Var_List.size(), 1u);
    Script.Answer(mrYes);
    D->btn_Delete_ItemClick(nullptr);
    EXPECT_EQ(D->Nodi_List[0]->Var_List.size(), 0u);
    SelectNode(0);
    Script.Answer(mrYes);
    D->btn_Delete_ItemClick(nullptr);
    EXPECT_EQ(TreeTexts(), QStringList({"M-Bus Network", "ID 5 - sec"}));
    ASSERT_EQ(D->Nodi_List.size(), 1u);
    EXPECT_EQ(D->Nodi_List[0]->Description, "sec");
    SelectNothing();
    Script.Answer(mrYes);
    D->btn_Delete_ItemClick(nullptr);
    EXPECT_EQ(Messages(), QStringList({Text(792), Text(792), Text(791), Text(790)}));
    EXPECT_EQ(TreeTexts(), QStringList({"M-Bus Network"}));
    EXPECT_TRUE(D->Nodi_List.empty());
    EXPECT_EQ(D->L_MBus_NumByte->Caption(), "Bytes Used : 0");
}

TEST_F(MeterBusTest, ImportReadsTheChosenFileFirst) {
    const QString other = Tmp.path() + "/other.xml";
    // Not a network: refused, the project's file stays.
    WriteNetwork(Wired5);
    WriteFileWhole(other, "<M-Bus_Network><Nodo><Variabile Type=\"1\" Fun_Field=\"0\"/></Nodo></M-Bus_Network>");
    Show();
    Script.AnswerFile(other);
    D->Btn_ImportNetClick(nullptr);
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_EQ(D->Nodi_List.size(), 1u);
    EXPECT_EQ(Read_MBus_Network(File_M_Bus).size(), 1u);
    // A network: asked before overwriting; No keeps everything.
    WriteFileWhole(other, ("<M-Bus_Network>" + Secondary5 + Secondary5 + "</M-Bus_Network>").toUtf8());
    Script.Shown.clear();
    Script.AnswerFile(other);
    Script.Answer(mrNo);
    D->Btn_ImportNetClick(nullptr);
    EXPECT_EQ(Messages(), QStringList({Text(799)}));
    EXPECT_EQ(Read_MBus_Network(File_M_Bus).size(), 1u);
    Script.AnswerFile(other);
    Script.Answer(mrYes);
    D->Btn_ImportNetClick(nullptr);
    EXPECT_EQ(D->Nodi_List.size(), 2u) << "the imported network is shown";
    EXPECT_EQ(ReadFileWhole(File_M_Bus), ReadFileWhole(other));
    EXPECT_FALSE(D->Is_Change);
    // Onto itself: only reloaded, the file kept.
    Script.AnswerFile(File_M_Bus);
    Script.Answer(mrYes);
    D->Btn_ImportNetClick(nullptr);
    EXPECT_EQ(D->Nodi_List.size(), 2u);
    EXPECT_EQ(ReadFileWhole(File_M_Bus), ReadFileWhole(other));
    // Without a network file nobody is asked.
    QFile::remove(File_M_Bus);
    Script.Shown.clear();
    Script.AnswerFile(other);
    D->Btn_ImportNetClick(nullptr);
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_TRUE(FileExists(File_M_Bus));
    // Cancelled: nothing happens.
    Script.AnswerFile(QString());
    D->Btn_ImportNetClick(nullptr);
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(MeterBusTest, AMalformedFileIsKeptBesideWhenOkWrites) {
    const QByteArray bad =
        "<M-Bus_Network><Nodo Descrizione=\"a\"><Variabile Type=\"1\" Fun_Field=\"0\"/></Nodo></M-Bus_Network>";
    WriteFileWhole(File_M_Bus, bad);
    Show();
    ASSERT_EQ(Messages().size(), 1);
    // The conversion error names the node, the variable and the attribute.
    EXPECT_TRUE(Messages()[0].contains("node 1")) << Messages()[0].toStdString();
    EXPECT_TRUE(Messages()[0].contains("row 1")) << Messages()[0].toStdString();
    EXPECT_TRUE(Messages()[0].contains("\"Dim\"")) << Messages()[0].toStdString();
    EXPECT_TRUE(D->Nodi_List.empty());
    D->LbButton2Click(nullptr);
    EXPECT_EQ(D->ModalResult(), mrOk);
    EXPECT_EQ(ReadFileWhole(File_M_Bus + ".bad"), bad);
    EXPECT_TRUE(Read_MBus_Network(File_M_Bus).empty());
}
