// A form with every control of this group, rendered to a PNG in the build
// folder for a person to look at. The test checks only that the picture is
// written and not blank.
#include "Std2Kit.h"
#include "platform/controls/TabControls.h"
#include "platform/controls/DateTimePicker.h"
#include "platform/controls/RichEdit.h"
#include "platform/controls/TreeView.h"

#include <QFileInfo>
#include <QImage>

TEST_F(Std2Test, ReviewFormRendersEveryControl) {
    Form->SetBounds(0, 0, 760, 520);
    Form->SetCaption("Standard controls, part 2");

    auto* pc = new TPageControl(Form);
    pc->SetParent(Form);
    pc->SetBounds(10, 10, 360, 220);
    for (const char* c : {"Language", "Connection Options", "Third"}) {
        auto* s = new TTabSheet(Form);
        s->SetCaption(c);
        s->SetPageControl(pc);
    }
    pc->SetActivePageIndex(1);

    auto* left = new TPageControl(Form);
    left->SetParent(Form);
    left->SetBounds(380, 10, 370, 220);
    left->SetTabPosition(tpLeft);
    left->SetMultiLine(true);
    for (const char* c : {"Nodes", "Variables", "Extra one", "Fourth tab", "Fifth tab", "Sixth"}) {
        auto* s = new TTabSheet(Form);
        s->SetCaption(c);
        s->SetPageControl(left);
    }
    left->SetActivePageIndex(0);

    auto* tv = new TTreeView(Form);
    tv->SetParent(Form);
    tv->SetBounds(10, 240, 240, 270);
    TTreeNode* root = tv->Items()->Add(nullptr, "M-Bus Network");
    for (int i = 1; i <= 3; ++i) {
        TTreeNode* n = tv->Items()->AddChild(root, QString("ID %1 - Meter").arg(i));
        for (int j = 1; j <= 2; ++j) tv->Items()->AddChild(n, QString("VAR - Value %1").arg(j));
    }
    root->Expand(false);
    root->Item(1)->Expand(false);
    tv->SetSelected(root->Item(1)->Item(0));
    tv->SetHideSelection(false);

    auto* re = new TRichEdit(Form);
    re->SetParent(Form);
    re->SetBounds(260, 240, 240, 120);
    TRichText rt;
    TCharFormat f;
    rt.Append("Water is H", f);
    f.Offset = -40;
    rt.Append("2", f);
    f.Offset = 0;
    rt.Append("O, energy is mc", f);
    f.Offset = 40;
    rt.Append("2", f);
    f.Offset = 0;
    f.Style = fsBold;
    rt.Append("\nBold ", f);
    f.Style = fsItalic;
    f.Color = clRed;
    rt.Append("red italic ", f);
    f = TCharFormat();
    f.Name = "Verdana";
    f.Size = 12;
    f.Style = fsUnderline;
    rt.Append("big underlined text that wraps", f);
    re->SetRichText(rt);

    auto* date = new TDateTimePicker(Form);
    date->SetParent(Form);
    date->SetBounds(260, 370, 160, 22);
    date->SetDateTime(EncodeDate(2026, 12, 10));
    auto* unchecked = new TDateTimePicker(Form);
    unchecked->SetParent(Form);
    unchecked->SetBounds(260, 400, 160, 22);
    unchecked->SetShowCheckbox(true);
    unchecked->SetChecked(false);
    auto* time = new TDateTimePicker(Form);
    time->SetParent(Form);
    time->SetBounds(260, 430, 160, 22);
    time->SetKind(dtkTime);
    time->SetDateTime(EncodeTime(14, 5, 30, 0));
    auto* cal = new TMonthCalendar(Form);
    cal->SetParent(Form);
    cal->SetWeekNumbers(true);
    cal->SetShowTodayCircle(false);
    cal->SetDate(EncodeDate(2026, 12, 10));
    const TRect need = cal->GetMinReqRect();
    cal->SetBounds(510, 240, need.Width(), need.Height());

    Form->Show();
    const QString path = QString(KAL_BUILD_DIR) + "/common_review_form.png";
    RenderFormToPng(Form, path);
    QImage img(path);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), Form->ClientWidth());
    // Something besides the background was drawn.
    const QRgb bg = img.pixel(Form->ClientWidth() - 2, Form->ClientHeight() - 2);
    int other = 0;
    for (int y = 0; y < img.height(); y += 3)
        for (int x = 0; x < img.width(); x += 3) other += img.pixel(x, y) != bg;
    EXPECT_GT(other, 1000);
}
