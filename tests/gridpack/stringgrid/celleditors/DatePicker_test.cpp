// The flat date picker on its own, then the grid's date and time editors.
#include "gridpack/stringgrid/inplace/EditTestKit.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "gridpack/stringgrid/SgDateTimePicker.h"
#include "platform/core/MathUtils.h"

namespace {
QImage Render(TControl* c)
{
    QImage img(c->Width(), c->Height(), QImage::Format_ARGB32);
    img.fill(Qt::white);
    c->PaintTo(img, Point(0, 0));
    return img;
}

TColor PixelAt(const QImage& img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return TColor(qRed(p) | (qGreen(p) << 8) | (qBlue(p) << 16));
}

class SgPickerTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 400, 300);
        Plain = NewObject<TDateTimePicker>(Form);
        Flat = NewObject<TSgDateTimePicker>(Form);
        for (TDateTimePicker* p : {Plain, static_cast<TDateTimePicker*>(Flat)}) {
            p->SetParent(Form);
            p->SetBounds(10, p == Plain ? 10 : 50, 140, 22);
            p->SetDateTime(EncodeDate(2026, 3, 15));
        }
        Form->Show();
        DrainPostedMessages();
    }
    TDateTimePicker* Plain = nullptr;
    TSgDateTimePicker* Flat = nullptr;
};
} // namespace

TEST_F(SgPickerTest, WithoutTheMetroLookItPaintsAsTheLibrarysPicker)
{
    ASSERT_FALSE(Flat->MetroStyle());
    ASSERT_TRUE(Flat->Ctl3D());
    Flat->SetBorderColor(TColor(0x0000FF));  // no part in painting without the look
    Flat->ButtonColor = TColor(0x00FF00);
    EXPECT_EQ(Render(Flat), Render(Plain));
    Flat->SetKind(dtkTime);
    Plain->SetKind(dtkTime);
    EXPECT_EQ(Render(Flat), Render(Plain));
}

TEST_F(SgPickerTest, TheMetroLookDrawsBordersAndItsButtonButNoButtonForTimes)
{
    Flat->SetMetroStyle(true);
    Flat->SetBorderColor(TColor(0x0000FF));
    Flat->ButtonColor = TColor(0x00FF00);
    QImage img = Render(Flat);
    EXPECT_EQ(PixelAt(img, 0, 0), TColor(0x0000FF));
    EXPECT_EQ(PixelAt(img, Flat->Width() - 1, Flat->Height() / 2), TColor(0x0000FF));
    // The own button fills the right end.
    EXPECT_EQ(PixelAt(img, Flat->Width() - 4, 4), TColor(0x00FF00));
    // A time picker gets the border but not the button.
    Flat->SetKind(dtkTime);
    Plain->SetKind(dtkTime);
    img = Render(Flat);
    EXPECT_EQ(PixelAt(img, 0, 0), TColor(0x0000FF));
    EXPECT_NE(PixelAt(img, Flat->Width() - 4, 4), TColor(0x00FF00));
    EXPECT_EQ(PixelAt(img, Flat->Width() - 4, 4), PixelAt(Render(Plain), Plain->Width() - 4, 4));
}

TEST_F(SgPickerTest, VersionReadsOneZeroZeroZeroAndIgnoresWrites)
{
    EXPECT_EQ(Flat->Version(), "1.0.0.0");
    Flat->SetVersion("9.9.9.9");
    EXPECT_EQ(Flat->Version(), "1.0.0.0");
    EXPECT_EQ(Flat->ButtonWidth, GetSystemMetrics(SM_CXVSCROLL) + 2);
}

// ---------------------------------------------------------------------------
// The grid's date editor
// ---------------------------------------------------------------------------

namespace {
// Column 1 edDateEdit, 2 edDateEditUpDown, 3 edTimeEdit.
class GridDateTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        SetNowHook([] { return EncodeDate(2026, 12, 10) + EncodeTime(15, 4, 5, 0); });
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 600, 400);
        CGrid = NewObject<TExColumnGrid>(Form);
        CGrid->SetParent(Form);
        CGrid->SetBounds(0, 0, 550, 300);
        CGrid->SetOptions(CGrid->Options() | goEditing);
        const TEditorType kinds[] = {edDateEdit, edDateEditUpDown, edTimeEdit};
        for (int i = 0; i < 3; ++i)
            CGrid->Columns()->Items(i + 1)->SetEditor(kinds[i]);
        Grid = CGrid;
        Form->Show();
        Grid->SetFocus();
        DrainPostedMessages();
        Picker()->OnKeyDown = [this](TObject*, unsigned& k, TShiftState) {
            if (k == VK_RIGHT)
                ++Rights;
        };
    }
    void TearDown() override
    {
        SetNowHook(nullptr);
        EditingTest::TearDown();
    }
    void Open(int c, int r)
    {
        Grid->SetRow(r);
        Grid->SetCol(c);
        Grid->StoreOldCell(c, r);
        Key(VK_F2);
        ASSERT_TRUE(Picker()->Visible());
    }
    TGridDatePicker* Picker() { return Grid->DateTimePicker(); }
    // Types each character and lets the picker's posted messages (the
    // field check, the Right key it posts) run.
    void TypeDigits(const QString& s)
    {
        for (QChar ch : s) {
            Input::Char(ch);
            while (DrainPostedMessages() > 0) {
            }
        }
    }
    TExColumnGrid* CGrid = nullptr;
    int Rights = 0;
};
} // namespace

TEST_F(GridDateTest, ADigitThatChangesTheDayMovesOnAndOneThatChangesTheYearDoesNot)
{
    Picker()->SetFormat("dd/MM/yyyy");
    Grid->SetCells(1, 2, "15/03/2026");
    Open(1, 2);
    EXPECT_EQ(Picker()->Kind(), dtkDate);
    EXPECT_EQ(Picker()->DateMode(), dmComboBox);
    EXPECT_EQ(Picker()->DateTime(), EncodeDate(2026, 3, 15));
    EXPECT_TRUE(Picker()->Focused());
    Picker()->SetSelectedField(0);
    TypeDigits("2");
    EXPECT_EQ(Picker()->DateTime(), EncodeDate(2026, 3, 2));
    EXPECT_EQ(Rights, 1);
    EXPECT_EQ(Picker()->SelectedField(), 1);
    // The year is the format's last part: no move after it changes.
    Picker()->SetSelectedField(2);
    TypeDigits("2027");
    EXPECT_EQ(Picker()->DateTime(), EncodeDate(2027, 3, 2));
    EXPECT_EQ(Rights, 1);
    Key(VK_RETURN);
    EXPECT_FALSE(Picker()->Visible());
    EXPECT_EQ(Grid->Cells(1, 2), "02/03/2027");
}

TEST_F(GridDateTest, EscapeOverATextThatIsNoDateShowsNow)
{
    Grid->SetCells(1, 3, "someday");
    Open(1, 3);
    EXPECT_EQ(Picker()->DateTime(), Now());  // opened on now
    Picker()->SetDateTime(EncodeDate(2020, 1, 1));
    Key(VK_ESCAPE);
    EXPECT_FALSE(Picker()->Visible());
    EXPECT_EQ(Picker()->DateTime(), Now());
}

TEST_F(GridDateTest, UpDownModeLimitsAndTimes)
{
    // A date later than MaxDate opens on the day before it.
    Picker()->SetDateTime(EncodeDate(2026, 1, 1));
    Picker()->SetMaxDate(EncodeDate(2026, 6, 30));
    Grid->SetCells(2, 1, "01/01/2030");
    Open(2, 1);
    EXPECT_EQ(Picker()->DateMode(), dmUpDown);
    EXPECT_EQ(Picker()->DateTime(), EncodeDate(2026, 6, 29));
    Key(VK_ESCAPE);
    Picker()->SetMaxDate(0);
    // A time cell: the hour typed moves on to the minutes.
    Grid->SetCells(3, 1, "10:20:30");
    Open(3, 1);
    EXPECT_EQ(Picker()->Kind(), dtkTime);
    Picker()->SetSelectedField(0);
    Rights = 0;
    TypeDigits("9");
    EXPECT_EQ(Rights, 1);
    EXPECT_EQ(Picker()->SelectedField(), 1);
    Key(VK_RETURN);
    EXPECT_FALSE(Picker()->Visible());
    EXPECT_EQ(Grid->Cells(3, 1), "09:20:30");
    // An empty time cell opens at now.
    Grid->SetCells(3, 2, "");
    Open(3, 2);
    EXPECT_EQ(Picker()->Time(), Frac(Now()));
}

TEST_F(GridDateTest, ThePickersDateChangesReachOnDateTimeChangeWithTheCurrentCell)
{
    QList<std::tuple<int, int, TDateTime>> seen;
    Grid->OnDateTimeChange = [&](TObject*, int c, int r, TDateTime d) { seen.append({c, r, d}); };
    Picker()->SetFormat("dd/MM/yyyy");
    Grid->SetCells(1, 2, "15/03/2026");
    Open(1, 2);
    Picker()->SetSelectedField(0);
    TypeDigits("2");
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.last(), std::make_tuple(1, 2, EncodeDate(2026, 3, 2)));

    // A notice without a whole date reports 0.
    seen.clear();
    NMDATETIMECHANGE n;
    n.nmhdr.code = DTN_DATETIMECHANGE;
    n.st.wYear = 2026;
    n.st.wMonth = 3;
    Grid->Perform(WM_NOTIFY, 0, LPARAM(&n));
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(std::get<2>(seen[0]), TDateTime(0));
}
