// The item selector: layout, selection, look-up, colours and the item's
// inner layout.
#include "DropDownKit.h"
#include "gridpack/dropdown/ExItemSelector.h"

class ItemSelectorTest : public DropDownTest {
protected:
    void SetUp() override {
        DropDownTest::SetUp();
        Sel = NewObject<TExCustomItemSelector>(Form);
        Sel->SetParent(Form);
        Sel->SetBounds(10, 40, 200, 120);
        Sel->OnItemSelect = [this](TObject*) { ++Selects; };
    }
    void AddItems(int n) {
        Sel->Items()->BeginUpdate();
        for (int i = 0; i < n; ++i) Sel->Items()->Add()->SetCaption(QStringLiteral("Item %1").arg(i));
        Sel->Items()->EndUpdate();
        Sel->UpdateSelectorPanel();
    }
    TCustomItemSelector* Panel() const { return Sel->SelectorPanel(); }
    TExCustomItemSelector* Sel = nullptr;
    int Selects = 0;
};

TEST_F(ItemSelectorTest, EmptySelector) {
    TSize s;
    Sel->GetSelectorPanelSize(s);
    EXPECT_EQ(s.cx, 100);
    EXPECT_EQ(s.cy, 50);
    EXPECT_EQ(Sel->GetVisibleItemCount(), 0);
    Sel->SelectNext();
    Sel->SelectPrevious();
    EXPECT_EQ(Sel->ItemIndex(), -1);
    EXPECT_FALSE(Sel->LookupItem("A"));
    // The panel belongs to an outer selector only.
    EXPECT_THROW({ TCustomItemSelector bad(Form); }, Exception);
}

TEST_F(ItemSelectorTest, ColumnsMakeRows) {
    AddItems(10);
    Sel->SetColumns(3);
    TRect first, last;
    Panel()->GetItemRect(0, first);
    Panel()->GetItemRect(9, last);
    const int w = first.Width(), h = first.Height();
    EXPECT_EQ(first.Left, 2);
    EXPECT_EQ(first.Top, 2);
    EXPECT_EQ(last, Rect(2, 2 + 3 * h, 2 + w, 2 + 4 * h)) << "four rows, the last holding one item";
    EXPECT_EQ(Panel()->Width(), 3 * w + 4);
    EXPECT_EQ(Panel()->Height(), 4 * h + 4);
    Sel->SetColumns(0);
    EXPECT_EQ(Sel->Columns(), 3) << "0 is ignored";
    Sel->SetColumns(-2);
    EXPECT_EQ(Sel->Columns(), 3);
    EXPECT_EQ(Sel->GetVisibleItemCount(), Sel->Height() / h * 3);
    // An item size of 0 (from the event) answers 0 instead of dividing by it.
    Sel->OnItemSize = [](TObject*, TSize& s) { s = TSize(30, 0); };
    Sel->UpdateSelectorPanel();
    EXPECT_EQ(Sel->GetVisibleItemCount(), 0);
}

TEST_F(ItemSelectorTest, SelectionStopsAtEndsAndDisabledItems) {
    AddItems(4);
    Sel->Items()->Item(2)->FEnabled = false;
    Sel->SelectNext();
    EXPECT_EQ(Sel->ItemIndex(), 0);
    Sel->SelectNext();
    Sel->SelectNext();
    EXPECT_EQ(Sel->ItemIndex(), 1) << "stops before the disabled item";
    Sel->SetItemIndex(3);
    Sel->SelectNext();
    EXPECT_EQ(Sel->ItemIndex(), 3);
    Sel->SelectFirst();
    Sel->SelectPrevious();
    EXPECT_EQ(Sel->ItemIndex(), 0);
    Selects = 0;
    Sel->SetItemIndex(0);
    EXPECT_EQ(Selects, 1) << "selecting the selected item fires again";
    Sel->HotNext();
    EXPECT_EQ(Sel->ItemHot(), 0);
    Sel->HotNext();
    EXPECT_EQ(Sel->ItemHot(), 1);
    Sel->HotNext();
    EXPECT_EQ(Sel->ItemHot(), 1) << "the disabled item is never hot";
}

TEST_F(ItemSelectorTest, LookupStripsMarkupAndBlanks) {
    Sel->Items()->Add()->SetCaption("Green");
    Sel->Items()->Add()->SetCaption("<b>Red</b>  ");
    EXPECT_TRUE(Sel->LookupItem("RE"));
    EXPECT_EQ(Sel->ItemIndex(), 1);
    Sel->SetItemIndex(0);
    EXPECT_FALSE(Sel->LookupItem("re")) << "the text is not upper-cased";
    EXPECT_EQ(Sel->ItemIndex(), 0);
    EXPECT_FALSE(Sel->LookupItem(""));
}

TEST_F(ItemSelectorTest, HotAndSelectedColours) {
    AddItems(3);
    Sel->SetItemIndex(1);
    Panel()->SetItemHot(1);
    TItemColors c = Panel()->GetItemColors(1);
    EXPECT_EQ(c.Color, TColor(0xA6FFFB)) << "hot and selected: the selected colours";
    EXPECT_EQ(c.ColorTo, TColor(0x04B9F4));
    Panel()->SetItemHot(2);
    c = Panel()->GetItemColors(2);
    EXPECT_EQ(c.Color, TColor(0xD7FFFD));
    EXPECT_EQ(c.Top, TColor(0xF4FEFF));
    // A hot border replaces the frame colours: the gradient box is drawn.
    Sel->ItemAppearance()->BorderColorHot = 0x0000FF;
    c = Panel()->GetItemColors(2);
    EXPECT_EQ(c.Border, TColor(0x0000FF));
    EXPECT_EQ(c.Top, clNone);
    EXPECT_FALSE(Panel()->GetItemColors(0).Filled);
    // Painting the states runs through both painters.
    Form->Show();
    const QImage img = Form->RenderClient();
    EXPECT_FALSE(img.isNull());
}

TEST_F(ItemSelectorTest, CaptionBelowThePicture) {
    Sel->SetItemLayout(ilCaptionBottom);
    TSelectorItem* it = Sel->Items()->Add();
    QImage pic(32, 16, QImage::Format_RGB32);
    pic.fill(Qt::red);
    auto bmp = std::make_unique<TBitmap>();
    bmp->Assign(pic);
    it->Image()->SetGraphic(std::move(bmp));
    it->SetCaption("Caption");
    Sel->UpdateSelectorPanel();
    TRect content, caption;
    ASSERT_TRUE(Panel()->GetItemLayout(0, content, caption));
    EXPECT_EQ(content.Width(), 32);
    EXPECT_EQ(content.Height(), 16);
    EXPECT_EQ(caption.Top - content.Top, 16 + 4);
    TRect r;
    Panel()->GetItemRect(0, r);
    EXPECT_EQ(content.Top, r.Top + 4) << "a captioned picture starts at the top";
    EXPECT_FALSE(Panel()->GetItemLayout(5, content, caption));
}

TEST_F(ItemSelectorTest, AppearanceAssignKeepsTheCustomStyle) {
    TItemAppearance custom;
    custom.SetColorStyle(scCustom);
    custom.ColorHot = 0x010203;
    custom.ColorSelected = 0x040506;
    TItemAppearance office;
    ASSERT_EQ(office.ColorStyle(), scOffice2007);
    office.Assign(&custom);
    EXPECT_EQ(office.ColorHot, TColor(0x010203));
    EXPECT_EQ(office.ColorSelected, TColor(0x040506));
    EXPECT_EQ(office.ColorStyle(), scCustom);
    // The reverse loads the preset over the copied colours.
    custom.Assign(&office);
    TItemAppearance fresh;
    custom.Assign(&fresh);
    EXPECT_EQ(custom.ColorHot, TColor(0xD7FFFD));
    EXPECT_EQ(custom.ColorStyle(), scOffice2007);
    custom.SetColorStyle(scWindows7);
    EXPECT_EQ(custom.ColorSelected, TColor(0xF9D8B9));
    EXPECT_EQ(custom.ColorMirrorHot, clNone);
}

TEST_F(ItemSelectorTest, MouseMakesHotAndSelects) {
    AddItems(3);
    Form->Show();
    TRect r;
    Panel()->GetItemRect(1, r);
    Panel()->Perform(WM_MOUSEMOVE, 0, MakeLParam(r.Left + 2, r.Top + 2));
    EXPECT_EQ(Sel->ItemHot(), 1);
    Panel()->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(r.Left + 2, r.Top + 2));
    Panel()->Perform(WM_LBUTTONUP, 0, MakeLParam(r.Left + 2, r.Top + 2));
    EXPECT_EQ(Sel->ItemIndex(), 1);
    EXPECT_EQ(Selects, 1);
    Panel()->Perform(WM_MOUSEMOVE, 0, MakeLParam(Panel()->Width() - 1, Panel()->Height() - 1));
    EXPECT_EQ(Sel->ItemHot(), -1);
}

TEST_F(ItemSelectorTest, CaptionChangesInAnUpdateLayOutOnceAtItsEnd) {
    Sel->Items()->BeginUpdate();
    for (int i = 0; i < 3; ++i) Sel->Items()->Add()->SetCaption(QStringLiteral("Item %1").arg(i));
    TSize s;
    Sel->GetSelectorPanelSize(s);
    EXPECT_EQ(s.cx, 100) << "held back";
    Sel->Items()->EndUpdate();
    TRect last;
    Panel()->GetItemRect(2, last);
    EXPECT_GT(last.Top, 2) << "laid out at the end";
    // Outside an update a caption change lays out at once.
    Sel->Items()->Item(0)->SetCaption(QStringLiteral("A much longer caption than before"));
    TRect first;
    Panel()->GetItemRect(0, first);
    EXPECT_GT(first.Width(), last.Width() - 1);
    EXPECT_EQ(Panel()->Width(), first.Width() + 4);
}
