// The analog clock: geometry, clicks, keys, the hand animation and the looks.
#include "DropDownKit.h"
#include "gridpack/dropdown/ExWatch.h"

#include <QDir>
#include <cmath>

class WatchTest : public DropDownTest {
protected:
    void SetUp() override {
        DropDownTest::SetUp();
        Watch = NewObject<TExWatch>(Form);
        Watch->SetParent(Form);
        Watch->SetBounds(0, 0, 180, 180);
        Form->Show();
    }
    void Click(int x, int y) {
        Watch->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(x, y));
        Watch->Perform(WM_LBUTTONUP, 0, MakeLParam(x, y));
    }
    int Hour() const {
        int h, m, s, ms;
        DecodeTime(Watch->Time(), h, m, s, ms);
        return h;
    }
    int Minute() const {
        int h, m, s, ms;
        DecodeTime(Watch->Time(), h, m, s, ms);
        return m;
    }
    TExWatch* Watch = nullptr;
};

TEST_F(WatchTest, FaceGeometry) {
    EXPECT_EQ(Watch->GetFaceRect(), Rect(10, 10, 170, 170));
    EXPECT_EQ(Watch->GetRadius(), 80);
    EXPECT_EQ(Watch->GetCenter(), Point(90, 90));
    Watch->SetBounds(0, 0, 170, 170);
    EXPECT_EQ(Watch->GetFaceRect().Width(), 150);
    Watch->Appearance()->SetSize(100);
    EXPECT_EQ(Watch->GetFaceRect(), Rect(35, 35, 135, 135));
}

TEST_F(WatchTest, ClicksSetMinutesOutsideAndHoursInside) {
    Watch->SetAnimation(false);
    Watch->SetTime(EncodeTime(10, 30, 0, 0));
    struct Case { int x, y, minute; };
    const Case outside[] = {{178, 90, 15}, {90, 2, 0}, {175, 5, 7}, {90, 178, 30}, {2, 90, 45}};
    for (const Case& c : outside) {
        Click(c.x, c.y);
        EXPECT_EQ(Minute(), c.minute) << c.x << "," << c.y;
    }
    // Near 12 inside the face: minute angle 58 and 1.
    const TPoint ce = Watch->GetCenter();
    auto at = [&](double minute) {
        const double a = minute * 6 * 3.14159265358979 / 180;
        return Point(int(std::lround(ce.X + 50 * std::sin(a))), int(std::lround(ce.Y - 50 * std::cos(a))));
    };
    Watch->SetTime(EncodeTime(3, 0, 0, 0));
    ASSERT_TRUE(Watch->AM());
    TPoint p = at(58);
    Click(p.X, p.Y);
    EXPECT_EQ(Hour(), 12);
    Watch->SetTime(EncodeTime(3, 0, 0, 0));
    p = at(1);
    Click(p.X, p.Y);
    EXPECT_EQ(Hour(), 0);
    // Without the AM flag: 0 and 12 the other way round.
    Watch->SetTime(EncodeTime(15, 0, 0, 0));
    ASSERT_FALSE(Watch->AM());
    p = at(58);
    Click(p.X, p.Y);
    EXPECT_EQ(Hour(), 0);
    Watch->SetTime(EncodeTime(15, 0, 0, 0));
    p = at(1);
    Click(p.X, p.Y);
    EXPECT_EQ(Hour(), 12);
    // The AM/PM box swaps the half of the day at once.
    Watch->SetTime(EncodeTime(9, 0, 0, 0));
    const TRect box = Watch->GetAMPMRect();
    ASSERT_FALSE(box.IsEmpty());
    Click((box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2);
    EXPECT_EQ(Hour(), 21);
    EXPECT_FALSE(Watch->AM());
}

TEST_F(WatchTest, KeysStepTheHands) {
    Watch->SetAnimation(false);
    struct Case { int h, m; unsigned key; int toH, toM; };
    const Case cases[] = {
        {10, 59, VK_RIGHT, 11, 0}, {10, 0, VK_LEFT, 9, 59}, {0, 0, VK_LEFT, 23, 59}, {23, 15, VK_PRIOR, 0, 15},
        {0, 15, VK_NEXT, 23, 15},  {7, 20, VK_HOME, 12, 20}, {7, 20, VK_END, 7, 0},  {15, 5, 'A', 3, 5},
        {3, 5, 'P', 15, 5},        {23, 59, VK_RIGHT, 0, 0},
    };
    for (const Case& c : cases) {
        Watch->SetTime(EncodeTime(c.h, c.m, 0, 0));
        Watch->DoWatchKey(c.key);
        EXPECT_EQ(Hour(), c.toH) << c.h << ":" << c.m << " key " << c.key;
        EXPECT_EQ(Minute(), c.toM) << c.h << ":" << c.m << " key " << c.key;
    }
    // Auto mode ignores keys and clicks.
    Watch->SetTime(EncodeTime(7, 20, 0, 0));
    Watch->Settings()->SetAuto(true);
    EXPECT_TRUE(Watch->WatchTimer()->Enabled());
    const TDateTime t = Watch->Time();
    Watch->DoWatchKey(VK_HOME);
    EXPECT_EQ(Watch->Time(), t);
}

TEST_F(WatchTest, AnimationCoversATenthOfTheRestEachStep) {
    int changes = 0;
    Watch->OnChange = [&](TObject*) { ++changes; };
    Watch->SetTime(EncodeTime(10, 0, 0, 0));
    EXPECT_EQ(changes, 0) << "Time writes never fire OnChange";
    Watch->SetMinute(30);
    EXPECT_EQ(Minute(), 0) << "the animation moves it";
    ASSERT_TRUE(Watch->AnimationTimer()->Enabled());
    QList<int> steps;
    int last = 0;
    for (int i = 0; i < 100 && Watch->AnimationTimer()->Enabled(); ++i) {
        Watch->AnimationTimer()->Timer();
        if (Minute() != last) steps << Minute() - last;
        last = Minute();
    }
    EXPECT_EQ(steps.mid(0, 8), QList<int>({3, 3, 2, 2, 2, 2, 2, 1}));
    EXPECT_EQ(Minute(), 30);
    EXPECT_EQ(changes, 1) << "once, at the end";
    // From 45 to 0 forwards through 59, the hour moves on.
    Watch->SetTime(EncodeTime(10, 45, 0, 0));
    Watch->SetMinute(0);
    for (int i = 0; i < 100 && Watch->AnimationTimer()->Enabled(); ++i) Watch->AnimationTimer()->Timer();
    EXPECT_EQ(Hour(), 11);
    EXPECT_EQ(Minute(), 0);
    EXPECT_EQ(changes, 2);
    // A factor of 0 or less moves the hand at once.
    Watch->SetAnimationFactor(0);
    Watch->SetMinute(20);
    EXPECT_EQ(Minute(), 20);
    Watch->SetHour(4);
    EXPECT_EQ(Hour(), 4);
    EXPECT_FALSE(Watch->AnimationTimer()->Enabled());
}

TEST_F(WatchTest, HourAnimation) {
    Watch->SetTime(EncodeTime(2, 0, 0, 0));
    Watch->SetHour(22);
    for (int i = 0; i < 100 && Watch->AnimationTimer()->Enabled(); ++i) Watch->AnimationTimer()->Timer();
    EXPECT_EQ(Hour(), 22);
    EXPECT_THROW(Watch->SetMinute(60), Exception);
    try {
        Watch->SetMinute(60);
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid time"));
    }
}

TEST_F(WatchTest, NumbersFollowTheTickMarks) {
    Watch->Appearance()->SetTickMarks(tmQuartHours);
    EXPECT_EQ(Watch->NumbersShown(), QList<int>({3, 6, 9, 12}));
    Watch->Appearance()->SetTickMarks(tmHours);
    EXPECT_TRUE(Watch->NumbersShown().isEmpty());
    Watch->Appearance()->SetTickMarks(tmAll);
    EXPECT_EQ(Watch->NumbersShown().size(), 12);
    Watch->SetShowNumbers(false);
    EXPECT_TRUE(Watch->NumbersShown().isEmpty());
}

TEST_F(WatchTest, StylesAndComponentStyles) {
    // Classic is the start: setting it changes nothing.
    const TColor before = Watch->Appearance()->BorderColor();
    Watch->SetStyle(wsClassic);
    EXPECT_EQ(Watch->Appearance()->HourPointerSize(), 4);
    EXPECT_EQ(Watch->Appearance()->BorderColor(), before);
    Watch->SetStyle(wsGray);
    EXPECT_EQ(Watch->Appearance()->BackgroundColor(), TColor(0xD1D1D1));
    EXPECT_EQ(Watch->Appearance()->HourPointerShadow(), clNone);
    EXPECT_EQ(Watch->Appearance()->SecondPointer(), TColor(0x0000FF));
    Watch->SetStyle(wsTower);
    EXPECT_EQ(Watch->Appearance()->HourPointerShadow(), clBtnShadow) << "defaults first";
    EXPECT_EQ(Watch->Appearance()->Shape(), wsRect);
    Watch->SetComponentStyle(tsOffice2007Luna);
    EXPECT_EQ(Watch->Appearance()->BackgroundColor(), TColor(0xFFEFE3));
    EXPECT_EQ(Watch->Appearance()->HourPointer(), TColor(0x723708));
    EXPECT_EQ(Watch->Appearance()->CenterPointOuterBorderColor(), clBlack);
    Watch->SetComponentStyle(tsOffice2010Silver);
    EXPECT_EQ(Watch->Appearance()->HourPointerShadow(), TColor(0xC0C0C0));
}

TEST_F(WatchTest, EachStyleRenderedForReview) {
    Watch->SetTime(EncodeTime(10, 10, 0, 0));
    const QString dir = QStringLiteral(KAL_BUILD_DIR) + "/review/dropdown";
    QDir().mkpath(dir);
    for (int s = wsClassic; s <= wsSmooth; ++s) {
        Watch->SetStyle(TWatchStyle(s));
        Form->Invalidate();
        const QImage img = Form->RenderClient().copy(0, 0, 180, 180);
        ASSERT_FALSE(img.isNull());
        EXPECT_TRUE(img.save(dir + QStringLiteral("/watch-%1.png").arg(s)));
    }
}
