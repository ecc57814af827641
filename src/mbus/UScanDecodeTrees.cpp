// The scan window's trees: nodes with their text in the node record, check
// boxes with tristate tracking (a meter's tick and its records' ticks follow
// each other), and the wireless tree's ticks carried back to the window.
#include "mbus/UScanDecodeTrees.h"

#include "platform/controls/ImgList.h"
#include "platform/graphics/Graphics.h"
#include "treeview/LazyTrees.h"

#include <vector>

namespace {

// One node's place handed to the window and the writers: whether it is
// ticked is read from the tree itself.
class TLazyNodePlace : public TMBusTreeNode {
public:
    TLazyNodePlace(TLazyStringTree* tree, PLazyNode node) : Tree(tree), Node(node) {}
    bool Checked() const override
    {
        const TCheckState s = Tree->GetCheckState(Node);
        // A device with some of its records ticked is kept.
        return TBaseLazyTree::IsCheckStateChecked(s) || s == csMixedNormal || s == csMixedPressed;
    }
    TLazyStringTree* Tree;
    PLazyNode Node;
};

// The images of the tree levels: a meter (0), a record (1), a detail (2).
void Add_Level_Images(TCustomImageList* list)
{
    const TColor colors[] = {TColor(0x00A05000), TColor(0x00308030), TColor(0x00808080)};
    for (int level = 0; level < 3; ++level) {
        TBitmap b;
        b.SetSize(16, 16);
        TCanvas* c = b.Canvas();
        c->Brush().SetColor(clFuchsia);
        c->FillRect(Rect(0, 0, 16, 16));
        c->Brush().SetColor(colors[level]);
        c->Pen().SetColor(colors[level]);
        if (level == 0)
            c->Rectangle(2, 3, 14, 13);
        else if (level == 1)
            c->Ellipse(3, 3, 13, 13);
        else
            c->Ellipse(5, 5, 11, 11);
        list->AddMasked(&b, clFuchsia);
    }
}

class TScanTrees : public IScanTrees {
public:
    explicit TScanTrees(TFScanDecode* w) : FWindow(w)
    {
        IL_Tree1 = new TCustomImageList(w, 16, 16);
        IL_Tree1->SetName(QStringLiteral("IL_Tree1"));
        Add_Level_Images(IL_Tree1);
        VST = Make_Tree(w->Tree_Parent(TScanTree::Wired), QStringLiteral("VST"));
        VST->SetBounds(16, 30, 880, 340);
        static_cast<TControl*>(VST)->SetVisible(false);
        VST_Wireless = Make_Tree(w->Tree_Parent(TScanTree::Wireless), QStringLiteral("VST_Wireless"));
        VST_Wireless->SetAlign(alClient);
        VST_Wireless->OnChecked = [this](TBaseLazyTree*, PLazyNode) { Wireless_Checks_Changed(); };
        // Every tick and untick of a meter or record is the user's to make.
        VST_Wireless->OnChecking = [](TBaseLazyTree*, PLazyNode, TCheckState&, bool& Allowed) { Allowed = true; };
    }

    ~TScanTrees() override
    {
        VST_Wireless->OnChecked = nullptr;
    }

    void Show_Tree(TScanTree tree, bool visible) override { static_cast<TControl*>(Tree(tree))->SetVisible(visible); }

    void Clear_Tree(TScanTree tree) override
    {
        FPlaces[Slot(tree)].clear();
        Tree(tree)->Clear();
    }

    TMBusTreeNode* Add_Node(TScanTree tree, TMBusTreeNode* parent, const QString& text, bool checkBox,
                            bool checked) override
    {
        TLazyStringTree* t = Tree(tree);
        PLazyNode under = parent ? static_cast<TLazyNodePlace*>(parent)->Node : nullptr;
        PLazyNode n = t->AddChild(under);
        t->GetNodeRecord<TMyRec>(n)->Caption = text;
        if (checkBox) {
            // A meter's box is three-state: it follows its records (mixed
            // when only some are ticked) and its tick carries to them. A
            // record's box follows the meter's when it is made and then
            // takes its own state, which the meter follows again.
            FFilling = true;
            t->SetCheckType(n, parent ? ctCheckBox : ctTriStateCheckBox);
            t->SetCheckState(n, checked ? csCheckedNormal : csUncheckedNormal);
            FFilling = false;
        }
        FPlaces[Slot(tree)].push_back(std::make_unique<TLazyNodePlace>(t, n));
        return FPlaces[Slot(tree)].back().get();
    }

    QString Node_Text(TMBusTreeNode* node) override
    {
        auto* p = static_cast<TLazyNodePlace*>(node);
        return p->Tree->GetNodeRecord<TMyRec>(p->Node)->Caption;
    }

    TLazyStringTree* VST = nullptr;
    TLazyStringTree* VST_Wireless = nullptr;
    TCustomImageList* IL_Tree1 = nullptr;

private:
    static int Slot(TScanTree tree) { return tree == TScanTree::Wired ? 0 : 1; }
    TLazyStringTree* Tree(TScanTree tree) const { return tree == TScanTree::Wired ? VST : VST_Wireless; }

    TLazyStringTree* Make_Tree(TWinControl* parent, const QString& name)
    {
        auto* t = new TLazyStringTree(FWindow);
        t->SetName(name);
        t->SetParent(parent);
        t->SetNodeDataSize(int(sizeof(TMyRec)));
        t->SetImages(IL_Tree1);
        // The text a node shows is its record's caption.
        t->OnGetText = [](TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex, TVSTTextType, QString& CellText) {
            if (const TMyRec* r = Node ? Sender->GetNodeRecord<TMyRec>(Node) : nullptr)
                CellText = r->Caption;
        };
        // A node's image is its level, normal and selected.
        t->OnGetImageIndexEx = [](TBaseLazyTree* Sender, PLazyNode Node, TLTImageKind Kind, TColumnIndex, bool&,
                                  int& ImageIndex, TCustomImageList*&) {
            if (Node && (Kind == ikNormal || Kind == ikSelected))
                ImageIndex = int(Sender->GetNodeLevel(Node));
        };
        TCustomLazyTreeOptions* o = t->TreeOptions();
        o->SetMiscOptions(o->MiscOptions() + TLTMiscOptions{toCheckSupport, toToggleOnDblClick, toWheelPanning});
        o->SetAutoOptions(o->AutoOptions() + TLTAutoOptions{toAutoTristateTracking});
        o->SetPaintOptions(o->PaintOptions() + TLTPaintOptions{toShowButtons, toShowRoot, toShowTreeLines});
        o->SetSelectionOptions(o->SelectionOptions() + TLTSelectionOptions{toMultiSelect});
        return t;
    }

    // Tristate tracking may carry one click to a whole branch: every node's
    // state goes back to the device list.
    void Wireless_Checks_Changed()
    {
        if (FFilling)
            return;
        for (const auto& p : FPlaces[1])
            if (VST_Wireless->GetCheckType(p->Node) != ctNone)
                FWindow->VST_WirelessChecked(p.get(), p->Checked());
    }

    TFScanDecode* FWindow;
    std::vector<std::unique_ptr<TLazyNodePlace>> FPlaces[2];
    bool FFilling = false;
};

} // namespace

std::unique_ptr<IScanTrees> Make_Scan_Trees(TFScanDecode* window)
{
    return std::make_unique<TScanTrees>(window);
}
