#include "PaintKit.h"

#include "platform/controls/Input.h"

#include <QDir>

TEST(PaintColours, BlendColorsRoundsHalvesToEven)
{
    EXPECT_EQ(BlendColors(TColor(0xFF0000), TColor(0x0000FF), 50), TColor(0x800080));
    EXPECT_EQ(BlendColors(TColor(0xFF0000), TColor(0x0000FF), 100), TColor(0xFF0000));
    EXPECT_EQ(BlendColors(TColor(0xFF0000), TColor(0x0000FF), 0), TColor(0x0000FF));
    EXPECT_EQ(BlendColors(clNone, TColor(0x0000FF), 50), TColor(0x0000FF));
    EXPECT_EQ(BlendColors(TColor(0xFF0000), clNone, 50), TColor(0xFF0000));
    EXPECT_EQ(MixSelectionColor(TColor(0xFF0000), TColor(0x0000FF), false, 50), TColor(0xFF0000));
}

TEST_F(PaintTest, HeaderCellHasTheXPGradientAndEdges)
{
    NewGrid();
    Grid->SetCellEx(1, 0, "Head");
    const QImage img = Render();
    const TRect c = Grid->CellRect(1, 0);
    // Near the top almost white, near the bottom almost clBtnFace.
    const TColor top = At(img, c.Left + 40, c.Top + 3);
    const TColor low = At(img, c.Left + 40, c.Bottom - 4);
    for (int s : {0, 8, 16}) {
        EXPECT_GE(Channel(top, s), 0xF8) << s;
        EXPECT_LE(Channel(low, s), 0xF4) << s;
        EXPECT_GE(Channel(low, s), 0xF0) << s;
    }
    // A bottom line in half the fixed colour, white top and left lines.
    EXPECT_EQ(At(img, c.Left + 40, c.Bottom - 1), TColor(0x787878));
    EXPECT_EQ(At(img, c.Left + 40, c.Top), clWhite);
    EXPECT_EQ(At(img, c.Left, c.Top + 10), clWhite);

    // The text in the bold fixed font: more ink than the same text plain.
    ASSERT_TRUE(Grid->FixedFont()->Style() & fsBold);
    const auto ink = [&](const QImage& in) {
        int n = 0;
        for (int y = c.Top + 2; y < c.Bottom - 2; ++y)
            for (int x = c.Left + 2; x < c.Right - 2; ++x)
                n += Channel(At(in, x, y), 8) < 0x80;
        return n;
    };
    const int bold = ink(img);
    Grid->FixedFont()->SetStyle(0);
    const int plain = ink(Render());
    EXPECT_GT(plain, 0);
    EXPECT_GT(bold, plain);
}

TEST_F(PaintTest, SelectedCellsTakeTheSelectionColour)
{
    NewGrid();
    Grid->SetOptions(Grid->Options() | goRangeSelect);
    Grid->SetSelection(TGridRect{2, 2, 3, 3});
    QImage img = Render();
    const TRect c = Grid->CellRect(3, 3);
    EXPECT_EQ(At(img, c.Left + 30, c.Top + 5), TColor(0xEACAB6));
    const TRect n = Grid->CellRect(1, 5);
    EXPECT_EQ(At(img, n.Left + 30, n.Top + 5), ColorToRGB(Grid->Color()));

    // Black text and no frame: the rim inside the grid lines of a selected
    // cell that is not the current one is all selection colour, the
    // text's darkest pixels black.
    const TPoint sc = Grid->Col() == 2 && Grid->Row() == 2 ? TPoint{3, 3} : TPoint{2, 2};
    const TRect s = Grid->CellRect(sc.X, sc.Y);
    Grid->SetCellEx(sc.X, sc.Y, "HHH");
    img = Render();
    for (int x = s.Left; x < s.Right - 1; ++x) {
        EXPECT_EQ(At(img, x, s.Top), TColor(0xEACAB6)) << x;
        EXPECT_EQ(At(img, x, s.Bottom - 2), TColor(0xEACAB6)) << x;
    }
    for (int y = s.Top; y < s.Bottom - 1; ++y) {
        EXPECT_EQ(At(img, s.Left, y), TColor(0xEACAB6)) << y;
        EXPECT_EQ(At(img, s.Right - 2, y), TColor(0xEACAB6)) << y;
    }
    int black = 0;
    for (int y = s.Top; y < s.Bottom; ++y)
        for (int x = s.Left; x < s.Right; ++x)
            black += At(img, x, y) == TColor(0);
    EXPECT_GT(black, 5);

    // Mixed into a cell's own colour.
    Grid->SetSelectionColor(TColor(0xFF0000));
    Grid->SetSelectionColorMixer(true);
    Grid->SetColors(3, 3, TColor(0x0000FF));
    img = Render();
    EXPECT_EQ(At(img, c.Left + 30, c.Top + 5), TColor(0x800080));
}

TEST_F(PaintTest, CheckBoxCentredInItsColumn)
{
    NewGrid();
    Grid->SetColWidths(2, 75);
    Grid->SetColWidths(3, 75);
    Grid->SetRowHeights(2, 24);
    Grid->AddCheckBox(2, 2, true, true);
    Grid->AddCheckBox(3, 2, true, true);
    Grid->SetAlignments(2, 2, taCenter);
    const QImage img = Render();
    const auto firstMark = [&](int col) {
        const TRect c = Grid->CellRect(col, 2);
        const int y = c.Top + 1 + 1 + 1 + 7; // content top, graphic margin, box middle
        const TColor bg = At(img, c.Left + 1, y);
        for (int x = c.Left + 1; x < c.Right - 2; ++x)
            if (At(img, x, y) != bg)
                return x - (c.Left + 1);
        return -1;
    };
    // The graphic's rectangle is the cell less 1 pixel of text margin on
    // each side (73 pixels): centred the box starts 29 pixels into it,
    // left-aligned 1 pixel.
    EXPECT_EQ(firstMark(2), 29);
    EXPECT_EQ(firstMark(3), 1);
}

TEST_F(PaintTest, PasswordCellShowsMaskCharacters)
{
    NewGrid();
    Grid->SetCellEx(2, 3, "abc");
    Grid->SetCellEx(3, 3, "***");
    Grid->OnIsPasswordCell = [](TObject*, int, int c, bool& p) { p = c == 2; };
    const QImage img = Render();
    const TRect a = Grid->CellRect(2, 3), b = Grid->CellRect(3, 3);
    for (int y = a.Top + 1; y < a.Bottom - 1; ++y)
        for (int x = 1; x < a.Right - a.Left - 1; ++x)
            ASSERT_EQ(At(img, a.Left + x, y), At(img, b.Left + x, y)) << x << "," << y;
}

TEST_F(PaintTest, FocusRectangleOnlyOnTheFocusedCurrentCell)
{
    NewGrid();
    Grid->SetCol(2);
    Grid->SetRow(2);
    const TRect c = Grid->CellRect(2, 2);
    const auto marks = [&](const QImage& img) {
        int n = 0;
        for (int x = c.Left + 5; x < c.Right - 5; ++x)
            n += At(img, x, c.Top) != At(img, c.Left + 30, c.Top + 8);
        return n;
    };
    Grid->SetFocus();
    ASSERT_TRUE(Grid->Focused());
    EXPECT_GT(marks(Render()), 0);
    Grid->HideFocusRect = true;
    EXPECT_EQ(marks(Render()), 0);
    Grid->HideFocusRect = false;
    Grid->SetOptions(Grid->Options() | goRowSelect);
    EXPECT_EQ(marks(Render()), 0);
}

TEST_F(PaintTest, NoSelectionColourPaintsAnUnfocusedSelectionInHighlight)
{
    NewGrid();
    Grid->SetSelectionColor(clNone);
    Grid->SetOptions(Grid->Options() | goRangeSelect);
    Grid->SetSelection(TGridRect{2, 2, 3, 3});
    const QImage img = Render();
    // A selected cell other than the current one.
    const int col = Grid->Col() == 2 ? 3 : 2;
    const TRect c = Grid->CellRect(col, 3);
    EXPECT_EQ(At(img, c.Left + 30, c.Top + 5), ColorToRGB(clHighlight));
}

TEST_F(PaintTest, XPCheckBoxesUseTheGridsOwnPictures)
{
    NewGrid();
    Grid->ControlLook()->SetControlStyle(csWinXP);
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->SetColWidths(2, 75);
    Grid->AddCheckBox(2, 2, true, true);
    Grid->AddCheckBox(2, 3, false, true);
    Grid->SetAlignments(2, 2, taCenter);
    Grid->SetAlignments(2, 3, taCenter);
    const QImage img = Render();
    ASSERT_TRUE(HasResourceImage("SGCHK05"));
    const QImage on = ResourceImage("SGCHK05"), off = ResourceImage("SGCHK06");
    EXPECT_EQ(on.width(), 16);
    EXPECT_EQ(on.height(), 16);
    // Centred, its top 2 pixels below the cell's top; the picture's own
    // ground colour is left out.
    for (int row : {2, 3}) {
        const QImage& pic = row == 2 ? on : off;
        const TRect c = Grid->CellRect(2, row);
        const int x0 = c.Left + 1 + 29, y0 = c.Top + 2;
        const QRgb ground = pic.pixel(0, 15);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                if (pic.pixel(x, y) != ground) {
                    ASSERT_EQ(img.pixel(x0 + x, y0 + y) & 0xFFFFFF, pic.pixel(x, y) & 0xFFFFFF)
                        << row << ":" << x << "," << y;
                }
            }
    }
    // A cell that may not be edited shows the disabled picture.
    Grid->SetReadOnly(2, 2, true);
    const QImage ro = Render();
    const QImage dis = ResourceImage("SGCHK07");
    const TRect c = Grid->CellRect(2, 2);
    EXPECT_EQ(ro.pixel(c.Left + 30 + 1, c.Top + 2 + 1) & 0xFFFFFF, dis.pixel(1, 1) & 0xFFFFFF);
}

TEST_F(PaintTest, LookBorderFramesTheWindow)
{
    NewGrid();
    Grid->SetBorderStyle(bsSingle);
    Grid->SetBounds(10, 10, 300, 200);
    QImage img = Render();
    const TColor border = TColor(0xB99D7F);
    // With FitCellsInGrid (the default) the frame lies one pixel in and the
    // outer ring takes the parent's colour.
    const TColor parent = ColorToRGB(Form->Color());
    EXPECT_EQ(At(img, 11, 11), border);
    EXPECT_EQ(At(img, 10 + 298, 10 + 198), border);
    EXPECT_EQ(At(img, 10 + 150, 11), border);
    EXPECT_EQ(At(img, 10, 10), parent);
    EXPECT_EQ(At(img, 10 + 150, 10), parent);
    EXPECT_NE(At(img, 12, 12), border);
    // Without it the outer ring is the frame.
    Grid->FitCellsInGrid = false;
    img = Render();
    EXPECT_EQ(At(img, 10, 10), border);
    EXPECT_EQ(At(img, 10 + 299, 10 + 199), border);
    Grid->FitCellsInGrid = true;
    Grid->SetFlat(true);
    img = Render();
    EXPECT_NE(At(img, 11, 11), border);
    Grid->SetFlat(false);
    for (TGridLook l : {glStandard, glClassic, glCustom}) {
        Grid->Look = l;
        img = Render();
        EXPECT_NE(At(img, 11, 11), border) << l;
    }
    Grid->Look = glSoft;
    EXPECT_EQ(At(Render(), 11, 11), border);
    Grid->Look = glXP;
    Grid->SetBorderColor(clNone);
    EXPECT_NE(At(Render(), 11, 11), border);

    // A new colour asks for a repaint; nothing is drawn while updates are
    // locked, and unlocking paints it.
    Grid->SetBorderColor(TColor(0x0000FF));
    const int asked = Grid->InvalidateCount();
    Grid->SetBorderColor(TColor(0x00FF00));
    EXPECT_GT(Grid->InvalidateCount(), asked);
    Grid->BeginUpdate();
    EXPECT_NE(At(Render(), 11, 11), TColor(0x00FF00));
    Grid->EndUpdate();
    EXPECT_EQ(At(Render(), 11, 11), TColor(0x00FF00));
}

TEST_F(PaintTest, ColumnGridForReview)
{
    Form = NewObject<TForm>(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 420, 200);
    auto* g = NewObject<TExColumnGrid>(Form);
    g->SetParent(Form);
    g->SetBounds(4, 4, 410, 190);
    g->SetColCount(5);
    g->SetRowCount(6);
    const char* heads[] = {"", "Name", "Kind", "On", "Hidden"};
    const TEditorType kinds[] = {edNormal, edNormal, edComboList, edDataCheckBox, edNormal};
    for (int c = 0; c < 5; ++c) {
        g->Columns()->Items(c)->SetHeader(heads[c]);
        g->Columns()->Items(c)->SetEditor(kinds[c]);
        // The forms give their headers a bold font.
        g->Columns()->Items(c)->HeaderFont()->SetStyle(fsBold);
    }
    g->Columns()->Items(2)->SetAlignment(taCenter);
    g->Columns()->Items(3)->SetAlignment(taCenter);
    g->ControlLook()->SetControlStyle(csWinXP);
    for (int r = 1; r < 6; ++r) {
        g->SetCellEx(0, r, QString::number(r));
        g->SetCellEx(1, r, QString("Row %1").arg(r));
        g->SetCellEx(2, r, r % 2 ? "Read" : "Write");
        g->SetCellEx(3, r, r % 2 ? "Y" : "N");
        g->SetCellEx(4, r, "secret");
    }
    g->HideColumn(4);
    g->SetOptions(g->Options() | goRangeSelect | goEditing);
    g->SetSelection(TGridRect{1, 2, 2, 3});
    Form->Show();
    const QString dir = QStringLiteral(KAL_BUILD_DIR) + "/review/stringgrid_paint";
    QDir().mkpath(dir);
    EXPECT_TRUE(Form->RenderClient().save(dir + "/columngrid.png"));
}

TEST_F(PaintTest, ClickRemembersTheCurrentCellForTheNextEdit)
{
    NewGrid();
    Grid->SetCellEx(2, 3, "abc");
    int clicks = 0;
    Grid->OnClick = [&](TObject*) { ++clicks; };
    Grid->FEntered = true;
    const TRect c = Grid->CellRect(2, 3);
    Input::Click(Grid, c.Left + 5, c.Top + 5);
    DrainPostedMessages();
    EXPECT_GE(clicks, 1);
    EXPECT_FALSE(Grid->FEntered);
    EXPECT_EQ(Grid->FOldCol, 2);
    EXPECT_EQ(Grid->FOldRow, 3);
    EXPECT_EQ(Grid->FOldCellText, "abc");
}
