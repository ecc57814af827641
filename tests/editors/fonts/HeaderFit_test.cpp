// The headers of the three model-9 editors against the faces the machine
// has: with the metric-compatible Tahoma each header's text fits its
// column's width on one line; without it the header row shows every line of
// the wrapped texts rather than the first line of each. Widths and heights
// are measured with the column's header font through the canvas.
#include "editors/MapEditorKit.h"

#include "editors/UKNXAccess.h"
#include "editors/UReceiveJ1939.h"
#include "editors/UTransmitJ1939.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ProgramFonts.h"

#include <memory>
#include <vector>

namespace {

class HeaderFit : public MapEditorTest {
protected:
    void SetUp() override
    {
        MapEditorTest::SetUp();
        Saved_Model = Model_Code;
        Model_Code = 9;
    }
    void TearDown() override
    {
        Editors.clear();
        Model_Code = Saved_Model;
        MapEditorTest::TearDown();
    }
    // The three editors as the main block of model 9 makes them, after the
    // faces were set up.
    void Make_Editors()
    {
        Editors.emplace_back(new TFKNXAccess(nullptr));
        Editors.emplace_back(new TFReceiveJ1939(nullptr));
        Editors.emplace_back(new TFTransmitJ1939(nullptr));
        for (auto& e : Editors)
            e->AfterConstruction();
    }
    struct TMeasure {
        TBitmap Bmp;
        TMeasure() { Bmp.SetSize(1, 1); }
        TCanvas* Canvas(TFont* font)
        {
            Bmp.Canvas()->Font().Assign(*font);
            return Bmp.Canvas();
        }
    };
    // The width the grid leaves a header's text inside its column.
    static int Text_Width(TExColumnGrid* g, int c)
    {
        return g->ColWidths(c) - g->GridLineWidth() - 2 * g->XYOffset().X;
    }

    std::vector<std::unique_ptr<TFMapEditor>> Editors;
    int Saved_Model = 9;
};

TEST_F(HeaderFit, WithTheCompatibleTahomaEveryHeaderFitsItsColumn)
{
    TProgramFonts fonts;
    if (!TProgramFonts::TahomaAvailable())
        GTEST_SKIP() << "no metric-compatible Tahoma on this machine (Debian: fonts-wine)";
    Make_Editors();
    TMeasure m;
    int checked = 0;
    for (auto& e : Editors) {
        TExColumnGrid* g = e->sga;
        for (int c = 0; c < g->ColCount(); ++c) {
            TGridColumnItem* col = g->Columns()->Items(c);
            TCanvas* canvas = m.Canvas(col->HeaderFont());
            EXPECT_EQ(TProgramFonts::ResolvedFamily(canvas->Font().Name()), QStringLiteral("Tahoma"));
            EXPECT_LE(canvas->TextWidth(col->Header()), Text_Width(g, c))
                << qPrintable(e->Caption()) << ": \"" << qPrintable(col->Header()) << "\" in " << g->ColWidths(c);
            ++checked;
        }
        // One line each: the header row keeps the height it was made with.
        EXPECT_EQ(g->RowHeights(0), g->DefaultRowHeight()) << qPrintable(e->Caption());
    }
    EXPECT_EQ(checked, 17 + 11 + 11);
}

// A list cell shows the chosen item's text: with the compatible Tahoma each
// item of every list column fits the column in the column's own font, so
// "Float16 to Int * 100" is not cut to what "* 10" shows.
TEST_F(HeaderFit, WithTheCompatibleTahomaEveryListItemFitsItsColumn)
{
    TProgramFonts fonts;
    if (!TProgramFonts::TahomaAvailable())
        GTEST_SKIP() << "no metric-compatible Tahoma on this machine (Debian: fonts-wine)";
    Make_Editors();
    TMeasure m;
    int items = 0;
    for (auto& e : Editors) {
        TExColumnGrid* g = e->sga;
        for (int c = 0; c < g->ColCount(); ++c) {
            TGridColumnItem* col = g->Columns()->Items(c);
            TCanvas* canvas = m.Canvas(col->Font());
            for (int i = 0; i < col->ComboItems()->Count(); ++i) {
                const QString item = col->ComboItems()->Strings(i);
                EXPECT_LE(canvas->TextWidth(item), Text_Width(g, c))
                    << qPrintable(e->Caption()) << ": \"" << qPrintable(item) << "\" in " << g->ColWidths(c);
                ++items;
            }
        }
    }
    EXPECT_GT(items, 0);
}

TEST_F(HeaderFit, WithoutItTheHeaderRowShowsEveryLineOfTheWrappedTexts)
{
    TProgramFonts fonts(QStringList{}); // no folder searched: the names fall back
    if (TProgramFonts::TahomaAvailable())
        GTEST_SKIP() << "Tahoma is installed on this machine";
    Make_Editors();
    TMeasure m;
    int wrapped = 0;
    for (auto& e : Editors) {
        TExColumnGrid* g = e->sga;
        for (int c = 0; c < g->ColCount(); ++c) {
            TGridColumnItem* col = g->Columns()->Items(c);
            TCanvas* canvas = m.Canvas(col->HeaderFont());
            TRect one = Rect(0, 0, Text_Width(g, c), 0);
            canvas->DrawText(col->Header(), one, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
            TRect all = Rect(0, 0, Text_Width(g, c), 0);
            canvas->DrawText(col->Header(), all, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
            if (all.Height() > one.Height())
                ++wrapped;
            EXPECT_LE(all.Height() + 2 * g->XYOffset().Y + g->GridLineWidth(), g->RowHeights(0))
                << qPrintable(e->Caption()) << ": \"" << qPrintable(col->Header()) << "\"";
        }
    }
    // The fallback face is wider: some headers do need a second line.
    EXPECT_GT(wrapped, 0);
}

} // namespace
