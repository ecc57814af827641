// The drop-down edit as constructed: defaults and the colour preset, layout,
// the attached label, Assign and the colour tones.
#include "DropDownKit.h"

#include "platform/core/Exceptions.h"

using DropDownEditTest = DropDownTest;

TEST_F(DropDownEditTest, ANewEditCarriesTheLunaPresetAndItsDefaults) {
    auto* e = NewObject<TExCustomDropDown>(Form);
    EXPECT_EQ(e->Version(), QStringLiteral("1.2.1.4"));
    e->SetVersion("9.9.9.9");
    EXPECT_EQ(e->Version(), QStringLiteral("1.2.1.4"));
    EXPECT_EQ(e->Width(), 200);
    EXPECT_EQ(e->Height(), 21);
    EXPECT_EQ(e->DropDownButtonWidth(), 17);
    EXPECT_EQ(e->Button()->ButtonWidth(), 17);
    EXPECT_EQ(e->DropDownBorderWidth(), 1);
    EXPECT_EQ(e->UserDropDownWidth(), -1);
    EXPECT_EQ(e->UserDropDownHeight(), -1);
    EXPECT_EQ(e->EditType(), etString);
    EXPECT_EQ(e->DropPosition(), dpAuto);
    EXPECT_TRUE(e->DropDownSizeable());
    EXPECT_TRUE(e->DropDownShadow());
    EXPECT_TRUE(e->DropDownForm()->Shadow());
    EXPECT_TRUE(e->DropDownForm()->CancelOnDeActivate());
    EXPECT_FALSE(e->DropDownForm()->IsShownOnScreen());
    EXPECT_EQ(e->GetComponentStyle(), tsOffice2007Luna);
    EXPECT_EQ(e->DropDownColor(), TColor(0xF3E5DA));
    EXPECT_EQ(e->DropDownColorTo(), TColor(0xF0DED0));
    EXPECT_EQ(e->DropDownBorderColor(), clNone);
    for (TColor c : {e->DropDownHeader()->Color(), e->DropDownFooter()->Color()}) EXPECT_EQ(c, TColor(0xFFEFE3));
    for (TColor c : {e->DropDownHeader()->ColorTo(), e->DropDownFooter()->ColorTo()}) EXPECT_EQ(c, TColor(0xFFD2AF));
    EXPECT_EQ(e->DropDownHeader()->Font()->Color(), TColor(0x723708));
    EXPECT_EQ(e->DropDownFooter()->BorderColor(), TColor(0xFFD2AF));
    TExButtonAppearance* a = e->ButtonAppearance();
    const TColor expected[][2] = {
        {a->Color(), 0xFFEFE3}, {a->ColorTo(), 0xFFDDC4}, {a->BorderColor(), clNone},
        {a->ColorHot(), 0xEBFDFF}, {a->ColorHotTo(), 0xACECFF}, {a->BorderColorHot(), 0x99CEDB},
        {a->ColorDown(), 0xAAD9FF}, {a->ColorDownTo(), 0x6EBBFF}, {a->BorderColorDown(), 0x42AEFE},
        {a->ColorChecked(), 0x76AFF1}, {a->ColorCheckedTo(), 0x4190F3}, {a->BorderColorChecked(), 0x45667B},
        {a->ColorDisabled(), 0xF2F2F2}, {a->ColorDisabledTo(), 0xB6B6B6},
    };
    for (const auto& p : expected) EXPECT_EQ(p[0], p[1]);
    EXPECT_EQ(e->SelectionColor(), TColor(0xD7FFFD));
    EXPECT_EQ(e->SelectionColorTo(), TColor(0x58D4FC));
    // tsCustom is remembered and changes nothing.
    e->SetComponentStyle(tsCustom);
    EXPECT_EQ(e->GetComponentStyle(), tsCustom);
    EXPECT_EQ(e->DropDownColor(), TColor(0xF3E5DA));
    EXPECT_EQ(a->ColorHot(), TColor(0xEBFDFF));
    EXPECT_EQ(e->DropDownHeader()->Color(), TColor(0xFFEFE3));
    // Another style loads its rows; Office 2003 blue leaves the popup border.
    e->SetDropDownBorderColor(0x00FF00);
    e->SetComponentStyle(tsOffice2003Blue);
    EXPECT_EQ(e->DropDownBorderColor(), TColor(0x00FF00));
    EXPECT_EQ(e->DropDownHeader()->BorderColor(), TColor(0x000000));
    EXPECT_EQ(e->DropDownFooter()->BorderColor(), TColor(0x962D00));
    EXPECT_EQ(a->Color(), TColor(0xFCE1CB));
    e->Free();
}

namespace {
// A leaf that records the style its override saw during construction.
class StyledLeaf : public TExCustomDropDown {
public:
    explicit StyledLeaf(TComponent* o) : TExCustomDropDown(o) {}
    QList<TQORStyle> Seen;
    void SetComponentStyle(TQORStyle s) override {
        Seen << s;
        TExCustomDropDown::SetComponentStyle(s);
    }
};
}  // namespace

TEST_F(DropDownEditTest, TheLeafsStyleOverrideSeesTheConstructionPreset) {
    auto* leaf = NewObject<StyledLeaf>(Form);
    EXPECT_EQ(leaf->Seen, QList<TQORStyle>({tsOffice2007Luna}));
    leaf->Free();
}

TEST_F(DropDownEditTest, BareButtonAppearanceDefaults) {
    TExButtonAppearance a;
    EXPECT_EQ(a.ColorHot(), TColor(0xF5F0E1));
    EXPECT_EQ(a.ColorHotTo(), TColor(0xF9D2B2));
    EXPECT_EQ(a.ColorDown(), TColor(0xF5D8CA));
    EXPECT_EQ(a.ColorDownTo(), TColor(0xF9BDA0));
    EXPECT_EQ(a.ColorChecked(), TColor(0xF5D8CA));
    EXPECT_EQ(a.ColorCheckedTo(), TColor(0xF9BDA0));
    EXPECT_EQ(a.ColorDisabled(), TColor(0xF2F2F2));
    EXPECT_EQ(a.ColorDisabledTo(), clNone);
    EXPECT_EQ(a.BorderColorHot(), TColor(0x808080));
    EXPECT_EQ(a.BorderColorDisabled(), TColor(0x808080));
    EXPECT_EQ(a.BorderColorDown(), TColor(0x800000));
    EXPECT_EQ(a.BorderColorChecked(), TColor(0xFF0000));
    EXPECT_EQ(a.Color(), clNone);
    EXPECT_EQ(a.BorderColor(), clNone);
    EXPECT_EQ(a.Gradient(), gdVertical);
    EXPECT_EQ(a.Font()->Name(), QStringLiteral("Tahoma"));
    int changes = 0;
    a.OnChange = [&](TObject*) { ++changes; };
    a.SetColorHot(0xF5F0E1);
    EXPECT_EQ(changes, 0);
    a.SetColorHot(1);
    a.SetGradient(gdHorizontal);
    EXPECT_EQ(changes, 2);
    TExButtonAppearance b;
    b.Font()->SetName("Arial");
    b.Assign(&a);
    EXPECT_EQ(b.ColorHot(), 1);
    EXPECT_EQ(b.Gradient(), gdHorizontal);
    EXPECT_EQ(b.Font()->Name(), QStringLiteral("Arial"));  // the font is not copied
}

TEST_F(DropDownEditTest, AControlLowerThanItsFontGrowsToTheMinimumHeight) {
    Edit->Font()->SetHeight(13);
    Edit->SetHeight(10);
    EXPECT_EQ(Edit->Height(), 16);  // 13 + min(13, 16) div 4
    Edit->SetHeight(30);
    EXPECT_EQ(Edit->Height(), 30);
    // The button sits at the right edge, the formatting rectangle left of it.
    EXPECT_EQ(Edit->Button()->Left(), 200 - 17 - 4);
    EXPECT_EQ(Edit->Button()->Height(), 30 - 4);
    TRect r;
    Edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.Right, Edit->ClientWidth() - 17 - 3);
    EXPECT_EQ(r.Left, 1);
    Edit->SetDropDownButtonWidth(25);
    EXPECT_EQ(Edit->Button()->Width(), 25);
    EXPECT_EQ(Edit->Button()->Left(), 200 - 25 - 4);
}

TEST_F(DropDownEditTest, TheLabelStandsWhereItsPositionSays) {
    Edit->SetBounds(100, 80, 200, 21);
    Edit->SetLabelMargin(4);
    Edit->SetLabelCaption(QStringLiteral("Value:"));
    TLabel* l = Edit->Label();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->Parent(), Form);
    // The width the edit measures the caption with.
    TBitmap bmp(10, 10);
    bmp.Canvas()->Font().Assign(*Edit->LabelFont());
    TRect m(0, 0, 1000, 255);
    bmp.Canvas()->DrawText(QStringLiteral("Value:"), m, DT_CALCRECT | DT_HIDEPREFIX);
    const int w = m.Width(), lw = l->Width(), lh = l->Height();
    struct Case { TLabelPosition pos; int left, top; };
    const Case cases[] = {
        {lpLeftTop, 100 - w - 4, 80},
        {lpLeftCenter, 100 - w - 4, 80 + (21 - lh) / 2},
        {lpTopLeft, 100, 80 - lh - 4},
        {lpBottomCenter, 100 + (200 - lw) / 2, 80 + 21 + 4},
        {lpRighBottom, 100 + 200 + 4, 80 + 21 - lh},
        {lpBottomRight, 100 + 200 - lw, 80 + 21 + 4},
    };
    for (const Case& c : cases) {
        Edit->SetLabelPosition(c.pos);
        EXPECT_EQ(l->Left(), c.left) << c.pos;
        EXPECT_EQ(l->Top(), c.top) << c.pos;
    }
    // Moving the edit moves the label.
    Edit->SetLabelPosition(lpLeftCenter);
    Edit->SetBounds(150, 80, 200, 21);
    EXPECT_EQ(l->Left(), 150 - w - 4);
    int clicks = 0;
    Edit->OnLabelClick = [&](TObject*) { ++clicks; };
    l->Click();
    EXPECT_EQ(clicks, 1);
}

TEST_F(DropDownEditTest, AssignCopiesTheSettingsButNotTheValue) {
    auto* src = NewObject<TExCustomDropDown>(Form);
    src->SetEditType(etFloat);
    src->SetPrecision(3);
    src->Prefix = QStringLiteral("$");
    src->Suffix = QStringLiteral("!");
    src->Signed = true;
    src->SetDropDownWidth(123);
    src->SetDropDownColor(0x010203);
    src->SetFlat(true);
    src->SetEditorEnabled(false);
    src->DropDownHeader()->SetCaption("head");
    src->ButtonAppearance()->SetColorHot(0x111111);
    src->SetText("2.5");
    Edit->SetText("keep");
    Edit->Assign(src);
    EXPECT_EQ(Edit->EditType(), etFloat);
    EXPECT_EQ(Edit->Precision(), 3);
    EXPECT_EQ(Edit->Prefix, QStringLiteral("$"));
    EXPECT_TRUE(Edit->Signed);
    EXPECT_EQ(Edit->DropDownWidth(), 123);
    EXPECT_EQ(Edit->DropDownColor(), TColor(0x010203));
    EXPECT_TRUE(Edit->Flat());
    EXPECT_FALSE(Edit->EditorEnabled());
    EXPECT_EQ(Edit->DropDownHeader()->Caption(), QStringLiteral("head"));
    EXPECT_EQ(Edit->ButtonAppearance()->ColorHot(), TColor(0x111111));
    EXPECT_NE(Edit->Text(), QStringLiteral("2.500"));
    // Anything else leaves the edit as it is.
    THeaderAppearance other(nullptr);
    Edit->Assign(&other);
    EXPECT_EQ(Edit->DropDownWidth(), 123);
    src->Free();
}

TEST_F(DropDownEditTest, ColorTonesColourTheButtonAndTheBorder) {
    TColorTones t;
    t.Background.BrushColor = 0x111111;
    t.Background.BorderColor = 0x222222;
    t.Hover.BrushColor = 0x333333;
    t.Selected.BrushColor = 0x444444;
    Edit->SetColorTones(t);
    EXPECT_EQ(Edit->Button()->ButtonColor(), 0x111111);
    EXPECT_EQ(Edit->Button()->ButtonColorHot(), 0x333333);
    EXPECT_EQ(Edit->Button()->ButtonColorDown(), 0x444444);
    EXPECT_EQ(Edit->Button()->ButtonBorderColor(), 0x222222);
    EXPECT_EQ(Edit->BorderColor(), 0x222222);
    // The button then paints in its own colour with a border line down its left.
    Form->Show();
    QImage img = Form->RenderClient();
    TDropDownEditButton* b = Edit->Button();
    const QRgb face = img.pixel(Edit->Left() + b->Left() + b->Width() / 2, Edit->Top() + b->Top() + 2);
    EXPECT_EQ(RGB(qRed(face), qGreen(face), qBlue(face)), 0x111111);
    const QRgb line = img.pixel(Edit->Left() + b->Left(), Edit->Top() + b->Top() + 2);
    EXPECT_EQ(RGB(qRed(line), qGreen(line), qBlue(line)), 0x222222);
}

TEST_F(DropDownEditTest, DbgListNamesTheDirectionOfABadIndex) {
    TDbgList list;
    int a = 1, b = 2;
    list.Add(&a);
    list.Add(&b);
    EXPECT_EQ(list.GetItemsEx(1), &b);
    for (int index : {2, -1, 100}) {
        try {
            list.GetItemsEx(index);
            ADD_FAILURE() << index;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Index out of bounds in list read access"));
        }
        try {
            list.SetItemsEx(index, &a);
            ADD_FAILURE() << index;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Index out of bounds in list write access"));
        }
    }
    TDbgList copy;
    copy.Add(&b);
    copy.AssignList(&list);
    EXPECT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.Items(0), &a);
}
