// The edit link of edCustom cells, the rich-text editor with the cell
// conversions, and the header-cell editors.
#include "gridpack/stringgrid/inplace/EditTestKit.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/core/CodePages.h"

namespace {
// A link that edits through a plain edit; without a control when asked.
class TTestLink : public TEditLink {
public:
    explicit TTestLink(TComponent* AOwner) : TEditLink(AOwner) {}
    bool NoControl = false;
    TEdit* Ed = nullptr;
    QStringList Calls;
    void CreateEditor(TWinControl* AParent) override
    {
        Calls << "CreateEditor";
        if (NoControl)
            return;
        if (!Ed) {
            Ed = new TEdit(this);
            Ed->OnKeyDown = [this](TObject* s, unsigned& k, TShiftState sh) { EditKeyDown(s, k, sh); };
        }
        Ed->SetParent(AParent);
    }
    TWinControl* GetEditControl() override { return NoControl ? nullptr : Ed; }
    QString GetEditorValue() override { return Ed ? Ed->Text() : QString(); }
    void SetEditorValue(const QString& S) override
    {
        Calls << "SetEditorValue";
        if (Ed)
            Ed->SetText(S);
    }
    void SetProperties() override { Calls << "SetProperties"; }
};

// Column 1 edCustom with the link, column 2 edRichEdit.
class EditLinkTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 600, 400);
        CGrid = NewObject<TExColumnGrid>(Form);
        CGrid->SetParent(Form);
        CGrid->SetBounds(0, 0, 550, 300);
        CGrid->SetOptions(CGrid->Options() | goEditing);
        Link = NewObject<TTestLink>(Form);
        CGrid->Columns()->Items(1)->SetEditor(edCustom);
        CGrid->Columns()->Items(1)->SetEditLink(Link);
        CGrid->Columns()->Items(2)->SetEditor(edRichEdit);
        Grid = CGrid;
        for (int r = 1; r < Grid->RowCount(); ++r)
            Grid->SetCells(1, r, QString("v%1").arg(r));
        Form->Show();
        Grid->SetFocus();
        DrainPostedMessages();
    }
    void Open(int c, int r)
    {
        Grid->SetRow(r);
        Grid->SetCol(c);
        Grid->StoreOldCell(c, r);
        Key(VK_F2);
    }
    TExColumnGrid* CGrid = nullptr;
    TTestLink* Link = nullptr;
};
} // namespace

TEST_F(EditLinkTest, TheLinkOpensInItsOrderAndCommitsItsValue)
{
    Open(1, 3);
    ASSERT_TRUE(Link->Ed && Link->Ed->Visible());
    EXPECT_EQ(Grid->EditLink(), Link);
    EXPECT_EQ(Link->Grid(), Grid);
    EXPECT_EQ(Link->EditCell(), Point(1, 3));
    EXPECT_EQ(Link->Calls, (QStringList{"CreateEditor", "SetProperties", "SetEditorValue"}));
    EXPECT_EQ(Link->Ed->Text(), "v3");
    EXPECT_TRUE(Link->Ed->Focused());
    const TRect R = Grid->CellRect(1, 3);
    EXPECT_EQ(Link->Ed->Left(), R.Left);
    EXPECT_EQ(Link->Ed->Width(), R.Right - R.Left - Grid->GridLineWidth());
    Link->Ed->SetText("new");
    Key(VK_RETURN);
    EXPECT_FALSE(Link->Ed->Visible());
    EXPECT_EQ(Grid->Cells(1, 3), "new");
    EXPECT_FALSE(Grid->EditMode);
}

TEST_F(EditLinkTest, UpAndDownStayInTheLinkOnlyWhenItWantsThem)
{
    Link->WantKeyUpDown = true;
    Open(1, 3);
    ASSERT_TRUE(Link->Ed->Visible());
    Key(VK_DOWN);
    EXPECT_TRUE(Link->Ed->Visible());
    EXPECT_EQ(Grid->Row(), 3);
    Link->Ed->SetText("kept");
    Link->WantKeyUpDown = false;
    Key(VK_DOWN);
    EXPECT_FALSE(Link->Ed->Visible());
    EXPECT_EQ(Grid->Row(), 4);
    EXPECT_EQ(Grid->Cells(1, 3), "kept");
    EXPECT_TRUE(Grid->Focused());
}

TEST_F(EditLinkTest, EscapeRestoresTheTextFromBeforeTheEdit)
{
    Open(1, 2);
    ASSERT_TRUE(Link->Ed->Visible());
    Link->Ed->SetText("typed");
    Key(VK_ESCAPE);
    EXPECT_FALSE(Link->Ed->Visible());
    EXPECT_EQ(Grid->Cells(1, 2), "v2");
    EXPECT_EQ(Grid->Row(), 2);
}

TEST_F(EditLinkTest, WithGoTabsTheControlWantsArrowsTabAndCharacters)
{
    Grid->SetOptions(Grid->Options() | goTabs);
    Open(1, 2);
    ASSERT_TRUE(Link->Ed->Visible());
    TMessage m{WM_GETDLGCODE, 0, 0, 0};
    Link->Ed->WindowProc(m);
    EXPECT_EQ(m.Result & 0x83, 0x83);
    Key(VK_ESCAPE);
    // The control's own procedure is back after closing.
    TMessage m2{WM_GETDLGCODE, 0, 0, 0};
    Link->Ed->WindowProc(m2);
    EXPECT_NE(m2.Result & DLGC_WANTTAB, DLGC_WANTTAB);
}

TEST_F(EditLinkTest, APopupLinkOpensWhereItIsToldOrAtTheCell)
{
    Link->EditStyle = esPopup;
    Link->PopupWidth = 120;
    Link->PopupHeight = 80;
    Link->PopupLeft = 100;
    Link->PopupTop = 200;
    Open(1, 2);
    ASSERT_TRUE(Link->PopupForm());
    EXPECT_EQ(Link->PopupForm()->Name(), "gridform");
    EXPECT_EQ(Link->PopupForm()->Left(), 100);
    EXPECT_EQ(Link->PopupForm()->Top(), 200);
    EXPECT_EQ(Link->PopupForm()->Width(), 120);
    EXPECT_EQ(Link->Ed->Parent(), Link->PopupForm());
    EXPECT_EQ(Link->Ed->Width(), 120 - Grid->GridLineWidth());
    Link->Ed->SetText("popped");
    Key(VK_RETURN);
    EXPECT_EQ(Grid->Cells(1, 2), "popped");
    EXPECT_FALSE(Link->PopupForm()->Visible());
    // -1 puts it at the cell.
    Link->PopupLeft = -1;
    Open(1, 4);
    const TRect R = Grid->CellRect(1, 4);
    const TPoint at = Grid->ClientToScreen(Point(R.Left, R.Top));
    EXPECT_EQ(Link->PopupForm()->Left(), at.X);
    EXPECT_EQ(Link->PopupForm()->Top(), at.Y);
    Key(VK_ESCAPE);
}

TEST_F(EditLinkTest, ALinkWithoutAControlShowsNothingAndKeepsTheFocus)
{
    Link->NoControl = true;
    Open(1, 2);
    EXPECT_TRUE(Grid->Focused());
    EXPECT_TRUE(Grid->EditMode);
    EXPECT_EQ(Grid->EditCtrl, nullptr);
    Grid->HideInplaceEdit();
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_EQ(Grid->Cells(1, 2), "");  // the link's value, empty
}

// ---------------------------------------------------------------------------
// Rich text
// ---------------------------------------------------------------------------

TEST_F(EditLinkTest, SuperscriptAndSubscriptMarksOfTheSelection)
{
    TExRichEdit* re = Grid->RichEdit();
    re->SetPlainTextIn("abc");
    re->SetSelStart(1);
    re->SetSelLength(1);
    EXPECT_TRUE(re->IsSelNormal());
    re->SelSuperscript();
    EXPECT_TRUE(re->IsSelSuperscript());
    EXPECT_FALSE(re->IsSelNormal());
    EXPECT_FALSE(re->IsSelSubscript());
    re->SelSubscript();
    EXPECT_TRUE(re->IsSelSubscript());
    re->SelNormal();
    EXPECT_TRUE(re->IsSelNormal());
}

TEST_F(EditLinkTest, CellToRichAndBackThroughWindows1252)
{
    TExRichEdit* re = Grid->RichEdit();
    re->SetPlainTextIn("left over");
    Grid->SetCells(2, 1, "");
    Grid->CellToRich(2, 1, re);
    EXPECT_EQ(re->PlainTextOut(), "");
    // Stored back, the empty editor keeps the rich-text format.
    Grid->RichToCell(2, 1, re);
    EXPECT_TRUE(Grid->Cells(2, 1).startsWith("{\\rtf"));
    // Text beyond Latin-1 round-trips through the code page both ways.
    re->SetPlainTextIn(QString::fromUtf8("price 5\u20AC \u201Cok\u201D"));
    const QString stored = Grid->RichToString(re);
    EXPECT_EQ(stored, DecodeAnsi(re->SaveToBytes()));
    Grid->SetCells(2, 2, stored);
    TExRichEdit* other = Grid->InplaceRichEdit();
    Grid->CellToRich(2, 2, other);
    EXPECT_EQ(other->PlainTextOut(), QString::fromUtf8("price 5\u20AC \u201Cok\u201D"));
}

TEST_F(EditLinkTest, ARichTextCellOpensAndCommitsRichText)
{
    TExRichEdit* re = Grid->RichEdit();
    re->SetPlainTextIn("bold text");
    Grid->RichToCell(2, 3, re);
    Open(2, 3);
    TExRichEdit* ed = Grid->InplaceRichEdit();
    ASSERT_TRUE(ed->Visible());
    EXPECT_EQ(ed->PlainTextOut(), "bold text");
    ed->SetSelStart(0);
    ed->SetSelLength(4);
    ed->SelSuperscript();
    Grid->HideInplaceEdit();
    EXPECT_FALSE(ed->Visible());
    re->Clear();
    Grid->CellToRich(2, 3, re);
    re->SetSelStart(1);
    re->SetSelLength(1);
    EXPECT_TRUE(re->IsSelSuperscript());
    EXPECT_EQ(re->PlainTextOut(), "bold text");
}

// ---------------------------------------------------------------------------
// Header-cell editors
// ---------------------------------------------------------------------------

TEST_F(EditLinkTest, AHeaderEditorWhoseValidationRefusesStaysOpen)
{
    TGridTransEdit* te = Grid->EditTrans;
    bool refuse = true;
    int done = 0;
    Grid->OnCellValidate = [&](TObject*, int, int, QString& v, bool& valid) {
        valid = !refuse;
        v = v.toUpper();
    };
    Grid->OnEditingDone = [&](TObject*) { ++done; };
    te->Col = 2;
    te->Row = 0;
    te->SetBounds(10, 1, 60, 18);
    te->SetText("head");
    te->SetVisible(true);
    te->SetFocus();
    DrainPostedMessages();
    Key(VK_RETURN);  // Enter does nothing
    EXPECT_TRUE(te->Visible());
    EXPECT_TRUE(te->Focused());
    EXPECT_FALSE(te->StopEdit());
    EXPECT_TRUE(te->Visible());
    EXPECT_EQ(Grid->Cells(2, 0), "");
    EXPECT_EQ(done, 0);
    refuse = false;
    EXPECT_TRUE(te->StopEdit());
    EXPECT_FALSE(te->Visible());
    EXPECT_EQ(Grid->Cells(2, 0), "HEAD");
    EXPECT_EQ(done, 1);
}

TEST_F(EditLinkTest, SizeRequestsMeasureAndGrowTheRowWhileTyping)
{
    // The measuring editor keeps what the control asked for.
    TExRichEdit* re = Grid->RichEdit();
    re->SetPlainTextIn("one\ntwo");
    EXPECT_GT(re->ReqHeight(), 0);
    // The in-place editor grows the row with SizeWhileTyping.Height.
    Grid->SizeWhileTyping()->Height = true;
    int ended = -1;
    Grid->OnEndRowSize = [&](TObject*, int r) { ended = r; };
    Open(2, 3);
    TExRichEdit* ed = Grid->InplaceRichEdit();
    ASSERT_TRUE(ed->Visible());
    const int before = Grid->RowHeights(3);
    ed->SetSelText("a\nb\nc\nd\ne");
    EXPECT_GT(Grid->RowHeights(3), before);
    EXPECT_EQ(ed->Height(), Grid->RowHeights(3) - 1);
    EXPECT_EQ(ended, 3);
    Grid->HideInplaceEdit();
    // Without it the row keeps its height.
    Grid->SizeWhileTyping()->Height = false;
    Open(2, 4);
    const int h4 = Grid->RowHeights(4);
    ed->SetSelText("a\nb\nc\nd\ne");
    EXPECT_EQ(Grid->RowHeights(4), h4);
    Grid->HideInplaceEdit();
}
