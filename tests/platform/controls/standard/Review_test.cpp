// A form with every standard control, rendered to a PNG in the build folder
// for a person to look at.
#include "StdKit.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Mask.h"
#include "platform/core/Files.h"

namespace {

using ReviewTest = StdTest;

TEST_F(ReviewTest, EveryControlOnOneFormRendersToPng) {
    Form->SetClientSize(620, 420);
    Form->SetCaption("Standard controls");

    auto* title = Place<TPanel>(0, 0, 620, 40);
    title->SetAlign(alTop);
    title->SetCaption("TPanel with a raised bevel");
    title->SetColor(clWhite);

    auto* label = Place<TLabel>(10, 50);
    label->SetCaption("&Name (TLabel, FocusControl)");
    auto* edit = Place<TEdit>(10, 68, 150, 21);
    edit->SetText("Edit text");
    label->SetFocusControl(edit);
    auto* password = Place<TEdit>(10, 96, 150, 21);
    password->SetPasswordChar('*');
    password->SetText("secret");
    auto* mask = Place<TMaskEdit>(10, 124, 150, 21);
    mask->SetEditMask("000.000.000.000;1;_");
    mask->SetText("192.168.  2.205");

    auto* group = Place<TGroupBox>(180, 50, 200, 120);
    group->SetCaption(" Serial (TGroupBox) ");
    auto* combo = new TComboBox(Form);
    combo->SetParent(group);
    combo->SetBounds(10, 22, 180, 21);
    combo->SetStyle(csDropDownList);
    for (const char* s : {"RS232", "RS485"}) combo->Items()->Add(s);
    combo->SetItemIndex(1);
    auto* check = new TCheckBox(Form);
    check->SetParent(group);
    check->SetBounds(10, 52, 180, 17);
    check->SetCaption("Diagnostic (TCheckBox)");
    check->SetChecked(true);
    auto* r1 = new TRadioButton(Form);
    r1->SetParent(group);
    r1->SetBounds(10, 74, 90, 17);
    r1->SetCaption("Radio one");
    r1->SetChecked(true);
    auto* r2 = new TRadioButton(Form);
    r2->SetParent(group);
    r2->SetBounds(100, 74, 90, 17);
    r2->SetCaption("Radio two");
    auto* grayed = new TCheckBox(Form);
    grayed->SetParent(group);
    grayed->SetBounds(10, 96, 180, 17);
    grayed->SetAllowGrayed(true);
    grayed->SetState(cbGrayed);
    grayed->SetCaption("Grayed");

    auto* list = Place<TListBox>(400, 50, 200, 120);
    for (const char* s : {"Project A", "Project B", "Project C"}) list->Items()->Add(s);
    list->SetItemIndex(1);

    auto* memo = Place<TMemo>(10, 180, 200, 80);
    memo->Lines()->Add("TMemo line one");
    memo->Lines()->Add("a second line that is long enough to wrap");
    memo->SetScrollBars(ssVertical);

    auto* link = Place<TLinkLabel>(230, 185);
    link->SetCaption("Download: <a href=\"https://www.tavlon.example/x\">newer version</a>");
    auto* bevel = Place<TBevel>(230, 210, 160, 2);
    bevel->SetShape(bsTopLine);
    auto* shape = Place<TShape>(230, 220, 40, 30);
    shape->SetShape(stRoundRect);
    shape->Brush()->SetColor(clSkyBlue);
    auto* image = Place<TImage>(280, 220, 32, 32);
    auto bmp = std::make_unique<TBitmap>(32, 32);
    bmp->Canvas()->Brush().SetColor(clTeal);
    bmp->Canvas()->Ellipse(2, 2, 30, 30);
    image->Picture()->SetGraphic(std::move(bmp));

    auto* sb1 = Place<TSpeedButton>(330, 220, 40, 25);
    sb1->SetCaption("B1");
    sb1->SetGroupIndex(1);
    sb1->SetDown(true);
    auto* sb2 = Place<TSpeedButton>(372, 220, 40, 25);
    sb2->SetCaption("B2");
    sb2->SetGroupIndex(1);

    auto* track = Place<TTrackBar>(400, 180, 200, 45);
    track->SetPosition(4);
    auto* upEdit = Place<TEdit>(420, 230, 80, 21);
    auto* updown = Place<TUpDown>(0, 0);
    updown->SetMax(5000);
    updown->SetAssociate(upEdit);
    updown->SetPosition(1200);
    auto* scroll = Place<TScrollBar>(10, 270, 200, 17);
    scroll->SetPosition(30);

    auto* ok = Place<TButton>(430, 380, 80, 25);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    auto* cancel = Place<TButton>(520, 380, 80, 25);
    cancel->SetCaption("Cancel");
    edit->SetFocus();

    const QString path = PathJoin(QStringLiteral(KAL_BUILD_DIR), QStringLiteral("review/std_controls.png"));
    ForceDirectories(PathJoin(QStringLiteral(KAL_BUILD_DIR), QStringLiteral("review")));
    RenderFormToPng(Form, path);
    QImage back(path);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), QSize(620, 420));
    // The panel's raised bevel lies at the top-left, in the light colour.
    EXPECT_EQ(back.pixel(0, 0), Rgb(clBtnHighlight));
}

}  // namespace
