// The calculator drop-down: its engine through the keypad and the keyboard,
// and the keypad's layout.
#include "DropDownKit.h"
#include "gridpack/dropdown/ExCalculator.h"

#include <QDir>

class CalculatorTest : public DropDownTest {
protected:
    void SetUp() override {
        DropDownTest::SetUp();
        Calc = NewObject<TExCalculatorDropdown>(Form);
        Calc->SetParent(Form);
        Calc->SetBounds(10, 40, 200, 21);
        Calc->SetText("0");
    }
    int IndexOf(const QString& caption) {
        TButtonItems* b = Calc->ButtonPanel()->Buttons();
        for (int i = 0; i < b->Count(); ++i)
            if (b->Item(i)->Caption == caption) return i;
        ADD_FAILURE() << caption.toStdString();
        return -1;
    }
    // Presses keypad buttons by caption, separated by blanks; answers what
    // the edit showed after each.
    QStringList Press(const QString& keys) {
        QStringList shown;
        for (const QString& k : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            Calc->ButtonPanelClick(Calc->ButtonPanel(), IndexOf(k));
            shown << Calc->WholeText();
        }
        return shown;
    }
    QString Shown() const { return Calc->WholeText(); }
    TExCalculatorDropdown* Calc = nullptr;
};

TEST_F(CalculatorTest, ChainsRunLeftToRight) {
    EXPECT_EQ(Press("1 2 + 3 ="), QStringList({"1.00", "12.00", "12.00", "3.00", "15.00"}));
    Press("C 1 / 3 * 3 =");
    EXPECT_EQ(Shown(), "1.00") << "the chain keeps full precision";
    Press("C 1 / 3 = * 3 =");
    EXPECT_EQ(Shown(), "0.99") << "after = the chain goes on from the shown 0.33";
    Press("C 2 0 0 + 1 0 % =");
    EXPECT_EQ(Shown(), "220.00");
}

TEST_F(CalculatorTest, ErrorsShowAndCountAsZero) {
    Press("5 / 0 =");
    EXPECT_EQ(Shown(), "Error");
    Press("7");
    EXPECT_EQ(Shown(), "7.00") << "a digit starts a new number";
    Press("C 5 / 0 = + 4 =");
    EXPECT_EQ(Shown(), "4.00") << "+ on Error goes on from 0";
    Calc->SetText("-4");
    Press("sqrt");
    EXPECT_EQ(Shown(), "Error");
    Calc->SetText("0");
    Press("1/x");
    EXPECT_EQ(Shown(), "Error");
    Calc->SetText("4");
    Press("1/x");
    EXPECT_EQ(Shown(), "0.25");
    // An overflowing product gives 0.
    Calc->SetPrecision(-1);
    Calc->SetText("1e300");
    Press("* 1 =");
    Calc->SetText("1e300");
    Press("* =");
    EXPECT_EQ(Shown(), "0");
}

TEST_F(CalculatorTest, SignBackAndDecimals) {
    Press("1 5");
    Press("+/-");
    EXPECT_EQ(Shown(), "-15.00");
    Press("+/-");
    EXPECT_EQ(Shown(), "15.00");
    // A '-' inside the text (an exponent) is no sign: one goes in front.
    Calc->SetPrecision(-1);
    Calc->SetText("1e-5");
    Press("+/-");
    EXPECT_EQ(Shown(), "-1e-5");
    Calc->SetPrecision(2);
    Calc->SetText("12.34");
    Press("Back");
    EXPECT_EQ(Shown(), "12.30");
    Press("+ Back");
    EXPECT_EQ(Shown(), "12.30") << "nothing while an operation is pending";
    Press("C 3 . 2 5 4");
    EXPECT_EQ(Shown(), "3.25") << "digits past the precision do not show";
}

TEST_F(CalculatorTest, MemoryKeys) {
    Press("4 2 MS C MR");
    EXPECT_EQ(Shown(), "42.00");
    Press("C 8 M+ MR");
    EXPECT_EQ(Shown(), "50.00");
    Press("MC MR");
    EXPECT_EQ(Shown(), "0.00");
}

TEST_F(CalculatorTest, MaxLengthStopsDigitsSignsAndSeparators) {
    Calc->SetText("1");
    Calc->SetMaxLength(4);
    Press("5 +/- .");
    EXPECT_EQ(Shown(), "1.00");
    Press("+ 2 =");
    EXPECT_EQ(Shown(), "2.00") << "operators still work, digits even for a new number do not";
}

TEST_F(CalculatorTest, ThousandSeparatorsAreReadBack) {
    Calc->SetShowThousandSeparator(true);
    Calc->SetText("1234.5");
    EXPECT_EQ(Shown(), "1,234.50");
    Press("+ 1 =");
    EXPECT_EQ(Shown(), "1,235.50");
    Press("MS C MR");
    EXPECT_EQ(Shown(), "1,235.50");
}

TEST_F(CalculatorTest, OperatorsTypedInTheClosedEdit) {
    Form->Show();
    Calc->SetFocus();
    Type("12+");
    EXPECT_EQ(Shown(), "12.00") << "+ applies, inserts nothing";
    EXPECT_EQ(Calc->PendingOperation(), 0);
    Type("3");
    EXPECT_EQ(Shown(), "3.00");
    Type("=");
    EXPECT_EQ(Shown(), "15.00");
    Type("c");
    EXPECT_EQ(Shown(), "0.00");
    Type("x");
    EXPECT_EQ(Shown(), "0.00") << "a letter is dropped";
    // A text that is no number makes an operator fail before anything
    // changes.
    Calc->SetRawText("-");
    EXPECT_ANY_THROW(Calc->DoAdd());
    EXPECT_EQ(Calc->Value(), 0);
}

TEST_F(CalculatorTest, PopupKeysAndOpening) {
    Form->Show();
    Calc->SetFocus();
    Press("2 +");
    Calc->ShowDropDown();
    ASSERT_TRUE(Calc->DroppedDown());
    EXPECT_EQ(Calc->PendingOperation(), 0) << "the pending operation carries over";
    EXPECT_FALSE(Calc->DropDownForm()->CancelOnDeActivate());
    EXPECT_EQ(Calc->DropDownForm()->Width(), 230);
    EXPECT_EQ(Calc->DropDownForm()->Height(), 152) << "the keypad's 150 and the border";
    EXPECT_EQ(Calc->ButtonPanel()->Height(), 150);
    EXPECT_EQ(Calc->ButtonPanel()->Color(), TColor(0xFFFFFF));
    QChar k('5');
    Calc->DropDownKeyPress(k);
    EXPECT_EQ(Shown(), "5.00");
    QChar enter(char16_t(13));
    Calc->DropDownKeyPress(enter);
    EXPECT_EQ(Shown(), "7.00");
    EXPECT_FALSE(Calc->DroppedDown());
}

TEST_F(CalculatorTest, NewControlCopiesTheLunaButtonColours) {
    TButtonAppearance* a = Calc->CalcButtonAppearance();
    const TExButtonAppearance* b = Calc->ButtonAppearance();
    EXPECT_EQ(a->Color(), TColor(0xFFEFE3));
    EXPECT_EQ(a->ColorTo(), b->ColorTo());
    EXPECT_EQ(a->ColorHot(), TColor(0xEBFDFF));
    EXPECT_EQ(a->ColorHotTo(), TColor(0xACECFF));
    EXPECT_EQ(a->ColorDown(), TColor(0xAAD9FF));
    EXPECT_EQ(a->ColorDownTo(), TColor(0x6EBBFF));
    EXPECT_EQ(a->BorderColorHot(), TColor(0x99CEDB));
    EXPECT_EQ(a->BorderColorDown(), TColor(0x42AEFE));
    EXPECT_EQ(a->GlowColorHot(), TColor(0x6EBBFF));
    EXPECT_EQ(a->GlowColorDown(), TColor(0xD5C244));
    EXPECT_EQ(Calc->Precision(), 2);
    EXPECT_EQ(Calc->DropDownWidth(), 230);
}

TEST_F(CalculatorTest, KeypadLayout) {
    auto* p = NewObject<TCustomButtonPanel>(Form);
    p->SetParent(Form);
    p->SetBounds(0, 0, 230, 150);
    p->CreateButtons();
    ASSERT_EQ(p->Buttons()->Count(), 28);
    auto at = [&](const char* caption) -> TButtonItem* {
        for (int i = 0; i < 28; ++i)
            if (p->Buttons()->Item(i)->Caption == QLatin1String(caption)) return p->Buttons()->Item(i);
        return nullptr;
    };
    struct Case { const char* caption; int x, y, w, h; };
    const Case cases[] = {
        {"MC", 8, 38, 34, 26},   {"7", 46, 38, 34, 26},  {"8", 79, 38, 34, 26},   {"9", 112, 38, 34, 26},
        {"/", 150, 38, 34, 26},  {"sqrt", 183, 38, 34, 26}, {"MR", 8, 63, 34, 26}, {"M+", 8, 113, 34, 26},
        {"=", 183, 113, 34, 26}, {"Back", 46, 8, 54, 26}, {"CE", 104, 8, 54, 26}, {"C", 162, 8, 55, 26},
        {"", 8, 8, 34, 26},
    };
    for (const Case& c : cases) {
        TButtonItem* b = at(c.caption);
        ASSERT_TRUE(b) << c.caption;
        EXPECT_EQ(b->BoundsRect(), Rect(c.x, c.y, c.x + c.w, c.y + c.h)) << c.caption;
    }
    for (int i = 0; i < 28; ++i) {
        TButtonItem* b = p->Buttons()->Item(i);
        const bool op = (i >= 1 && i <= 7) || (i >= 20 && i <= 24) || i == 27;
        EXPECT_EQ(b->CaptionColor, op ? TColor(0x000080) : TColor(0xFFFFFF)) << i;
    }
    // A click is a press and a release over the same enabled button.
    int clicked = -1;
    p->OnButtonClick = [&](TObject*, int i) { clicked = i; };
    Form->Show();
    p->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(190, 120));
    p->Perform(WM_LBUTTONUP, 0, MakeLParam(10, 10));
    EXPECT_EQ(clicked, -1) << "released elsewhere";
    p->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(190, 120));
    p->Perform(WM_LBUTTONUP, 0, MakeLParam(190, 120));
    EXPECT_EQ(p->Buttons()->Item(clicked)->Caption, QStringLiteral("="));
    p->Buttons()->Item(24)->FEnabled = false;
    clicked = -1;
    p->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(190, 120));
    p->Perform(WM_LBUTTONUP, 0, MakeLParam(190, 120));
    EXPECT_EQ(clicked, -1) << "a disabled button";
}

TEST_F(CalculatorTest, PopupRenderedForReview) {
    Form->Show();
    Calc->ShowDropDown();
    TDropDownForm* f = Calc->DropDownForm();
    const QImage img = f->RenderClient();
    ASSERT_FALSE(img.isNull());
    const QString dir = QStringLiteral(KAL_BUILD_DIR) + "/review/dropdown";
    QDir().mkpath(dir);
    EXPECT_TRUE(img.save(dir + "/calculator.png"));
}
