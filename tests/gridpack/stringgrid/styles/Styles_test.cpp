// The look writer, the grid styles, the XP schemes, the component styles
// with the Office theme mapping, colour tones and the formatted cell text.
#include "StylesKit.h"

#include "gridpack/basegrid/RorIdad.h"
#include "platform/graphics/Resources.h"

namespace {
class LookTest : public StylesTest {};

// Counts the styles applied, to see ApplyOfficeTheme apply once.
class TCountingGrid : public TExStringGrid {
public:
    using TExStringGrid::TExStringGrid;
    void SetStyle(TExGridStyle AStyle) override
    {
        ++Applied;
        TExStringGrid::SetStyle(AStyle);
    }
    int Applied = 0;
};

bool SameImage(const TBitmap* b, const QString& resource)
{
    return b->Image().convertToFormat(QImage::Format_RGB32) ==
           ResourceImage(resource).convertToFormat(QImage::Format_RGB32);
}
} // namespace

// --- Look ------------------------------------------------------------------

TEST_F(LookTest, XPOnALoadedGridSetsItsSelectionColours)
{
    NewGrid();
    Grid->Look = glStandard;
    Grid->SetSelectionColor(TColor(0x123456));
    Grid->SetSelectionTextColor(clWhite);
    Grid->SetLook(glXP);
    EXPECT_EQ(Grid->SelectionColor(), TColor(0xEACAB6));
    EXPECT_EQ(Grid->SelectionTextColor(), TColor(0));
    EXPECT_EQ(Grid->SelectionStyle(), ssDefault);
    EXPECT_EQ(Grid->ControlLook()->FixedGradientFrom(), clWhite);
    EXPECT_EQ(Grid->ControlLook()->FixedGradientTo(), clBtnFace);
    EXPECT_EQ(Grid->GridFixedLineColor(), clGray);
    EXPECT_EQ(Grid->ActiveCellColor(), TColor(0xEACAB6));
}

TEST_F(LookTest, WhileLoadingOnlyTheSelectionStyleChanges)
{
    NewGrid();
    Grid->Look = glVista;
    Grid->SetSelectionStyle(ssVista);
    Grid->SetSelectionColor(TColor(0x123456));
    Grid->SetGridLineColor(TColor(0x010203));
    Grid->BeginLoading();
    Grid->SetLook(glXP);
    EXPECT_EQ(Grid->SelectionColor(), TColor(0x123456));
    EXPECT_EQ(Grid->GridLineColor(), TColor(0x010203));
    EXPECT_EQ(Grid->SelectionStyle(), ssDefault);
    EXPECT_EQ(Grid->Look, glXP);
}

TEST_F(LookTest, CustomKeepsColoursButSetsScrollAndBorder)
{
    NewGrid();
    Grid->SetSelectionColor(TColor(0x123456));
    Grid->SetGridLineColor(TColor(0x010203));
    Grid->SetQORGradientFrom(TColor(0x445566));
    Grid->SetScrollType(ssFlat);
    Grid->SetBorderColor(TColor(0x111111));
    Grid->SetLook(glCustom);
    EXPECT_EQ(Grid->SelectionColor(), TColor(0x123456));
    EXPECT_EQ(Grid->GridLineColor(), TColor(0x010203));
    EXPECT_EQ(Grid->QORGradientFrom(), TColor(0x445566));
    EXPECT_EQ(Grid->ScrollType(), ssNormal);
    EXPECT_EQ(Grid->BorderStyle(), bsSingle);
    EXPECT_EQ(Grid->BorderColor(), TColor(0xB99D7F));
}

TEST_F(LookTest, TheCurrentLookAgainChangesNothing)
{
    NewGrid();
    Grid->SetBorderColor(TColor(0x111111));
    Grid->SetSelectionColor(TColor(0x123456));
    Grid->SetLook(glXP);
    EXPECT_EQ(Grid->BorderColor(), TColor(0x111111));
    EXPECT_EQ(Grid->SelectionColor(), TColor(0x123456));
}

TEST_F(LookTest, QORAndXPSetTheHoverAndDownGradients)
{
    for (TGridLook l : {glQOR, glXP}) {
        NewGrid();
        Grid->Look = glStandard;
        Grid->SetLook(l);
        const TControlLook* c = Grid->ControlLook();
        EXPECT_EQ(c->FixedGradientHoverFrom(), TColor(0xCFD0D1)) << l;
        EXPECT_EQ(c->FixedGradientHoverTo(), TColor(0xBEC6C8)) << l;
        EXPECT_EQ(c->FixedGradientHoverMirrorFrom(), TColor(0xBEC6C8)) << l;
        EXPECT_EQ(c->FixedGradientHoverMirrorTo(), TColor(0xABBCBF)) << l;
        EXPECT_EQ(c->FixedGradientDownFrom(), TColor(0x868788)) << l;
        EXPECT_EQ(c->FixedGradientDownTo(), TColor(0x737C7E)) << l;
        EXPECT_EQ(c->FixedGradientDownMirrorFrom(), TColor(0x737C7E)) << l;
        EXPECT_EQ(c->FixedGradientDownMirrorTo(), TColor(0x627376)) << l;
        // The grid paints from its own copies.
        EXPECT_EQ(Grid->QORGradientHoverFrom, TColor(0xCFD0D1)) << l;
        EXPECT_EQ(Grid->QORGradientDownMirrorTo, TColor(0x627376)) << l;
    }
}

TEST_F(LookTest, PresetsOfThePlainLooks)
{
    struct Case {
        TGridLook Look;
        TColor Selection, SelectionText, Active, FooterColor;
    };
    const Case cases[] = {
        {glStandard, clHighlight, clHighlightText, clGray, clBtnFace},
        {glSoft, clHighlight, clHighlightText, clGray, clBtnFace},
        {glClassic, clHighlight, clHighlightText, clGray, clBtnFace},
        {glListView, clHighlight, clHighlightText, clGray, clBtnFace},
        {glQOR, TColor(0xEACAB6), clBlack, TColor(0xEACAB6), clNone},
    };
    for (const Case& c : cases) {
        NewGrid();
        Grid->Look = glCustom;
        Grid->SetLook(c.Look);
        EXPECT_EQ(Grid->SelectionColor(), c.Selection) << c.Look;
        EXPECT_EQ(Grid->SelectionTextColor(), c.SelectionText) << c.Look;
        EXPECT_EQ(Grid->ActiveCellColor(), c.Active) << c.Look;
        EXPECT_EQ(Grid->SearchFooter()->Color(), c.FooterColor) << c.Look;
        EXPECT_EQ(Grid->GridLineColor(), clSilver) << c.Look;
        EXPECT_EQ(Grid->QORGradientMirrorFrom(), clNone) << c.Look;
    }
}

TEST_F(LookTest, GradientLooksApplyTheirStyle)
{
    struct Case {
        TGridLook Look;
        TExGridStyle Style;
        TGridSelectionStyle Selection;
    };
    for (const Case& c : {Case{glVista, gsWindowsVista, ssVista}, Case{glWin7, gsWindows7, ssWin7},
                          Case{glOffice2007, gsOffice2007Luna, ssOffice2007}}) {
        NewGrid();
        Grid->SetLook(c.Look);
        EXPECT_EQ(Grid->Look, c.Look);
        EXPECT_EQ(Grid->GridStyle(), c.Style);
        EXPECT_EQ(Grid->SelectionStyle(), c.Selection);
    }
}

TEST(LookNames, NamesAndCaptions)
{
    QString s = QStringLiteral("kept");
    GetLookName(glCustom, s);
    EXPECT_EQ(s, "kept");
    GetLookCaption(glCustom, s);
    EXPECT_EQ(s, "kept");
    GetLookCaption(glXP, s);
    EXPECT_EQ(s, "Windows XP");
    GetLookName(glListView, s);
    EXPECT_EQ(s, "glListView");
    GetLookName(glQOR, s);
    EXPECT_EQ(s, "glQOR");
    GetLookCaption(glOffice2007, s);
    EXPECT_EQ(s, "Office2007");
}

// --- SetStyle ----------------------------------------------------------------

TEST_F(LookTest, VistaStyleAndALaterSelectionColour)
{
    NewGrid();
    Grid->SetStyle(gsWindowsVista);
    EXPECT_EQ(Grid->Look, glVista);
    EXPECT_EQ(Grid->SelectionStyle(), ssVista);
    EXPECT_EQ(Grid->GridLineColor(), TColor(0xECECF0));
    EXPECT_EQ(Grid->GridFixedLineColor(), TColor(0xD4D2D1));
    EXPECT_EQ(Grid->SelectionColor(), TColor(0xEACAB6));
    EXPECT_EQ(Grid->SelectionTextColor(), clBlack);
    // The header is white to white with its mirror; ControlLook keeps only
    // the mirror colours.
    EXPECT_EQ(Grid->QORGradientFrom(), TColor(0xFFFFFF));
    EXPECT_EQ(Grid->QORGradientMirrorFrom(), TColor(0xFAF8F7));
    EXPECT_EQ(Grid->ControlLook()->FixedGradientFrom(), clNone);
    EXPECT_EQ(Grid->ControlLook()->FixedGradientMirrorTo(), TColor(0xF4F2F1));
    EXPECT_EQ(Grid->ControlLook()->FixedGradientHoverBorder(), TColor(0xE3C993));
    EXPECT_EQ(Grid->SortSettings()->HeaderMirrorColorTo, TColor(0xF6ECD8));
    Grid->SetSelectionColor(TColor(0xFF0000));
    EXPECT_EQ(Grid->SelectionColor(), TColor(0xFF0000));
}

TEST_F(LookTest, CustomStyleStillResetsSelectionAndControlLook)
{
    NewGrid();
    Grid->SetSelectionColor(TColor(0x123456));
    Grid->SetSelectionTextColor(TColor(0x654321));
    Grid->ControlLook()->SetFixedGradientHoverFrom(TColor(0x999999));
    Grid->ControlLook()->SetFixedGradientMirrorFrom(TColor(0x777777));
    Grid->SetStyle(gsCustom);
    EXPECT_EQ(Grid->SelectionColor(), clHighlight);
    EXPECT_EQ(Grid->SelectionTextColor(), clHighlightText);
    EXPECT_EQ(Grid->ControlLook()->FixedGradientHoverFrom(), clGray);
    EXPECT_EQ(Grid->ControlLook()->FixedGradientMirrorFrom(), clNone);
    EXPECT_EQ(Grid->Look, glXP);
}

TEST_F(LookTest, EveryStyleRow)
{
    struct Case {
        TExGridStyle Style;
        TGridLook Look;
        TColor HeaderFrom, HeaderTo, GridLine, FixedLine, Selection;
        TGridSelectionStyle SelectionStyle;
    };
    const Case cases[] = {
        {gsOffice2003Blue, glXP, TColor(0xFCE1CB), TColor(0xE0A57D), TColor(0xC0C0C0), TColor(0x808080),
         TColor(0x94E6FB), ssDefault},
        {gsOffice2003Silver, glXP, TColor(0xECE2E1), TColor(0xB39698), TColor(0xC0C0C0), TColor(0x808080),
         TColor(0x94E6FB), ssDefault},
        {gsOffice2003Olive, glXP, TColor(0xCFF0EA), TColor(0x8CC0B1), TColor(0xC0C0C0), TColor(0x808080),
         TColor(0x94E6FB), ssDefault},
        {gsOffice2007Luna, glOffice2007, TColor(0xFBF9F6), TColor(0xE8DBD2), TColor(0xF1EDEB), TColor(0xD1BBA4),
         TColor(0x5EC1F1), ssOffice2007},
        {gsWindowsXP, glXP, clBtnFace, clBtnFace, TColor(0xC0C0C0), TColor(0x808080), clHighlight, ssDefault},
        {gsWindowsVista, glVista, TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xECECF0), TColor(0xD4D2D1),
         TColor(0xEACAB6), ssVista},
        {gsOffice2010Blue, glOffice2007, TColor(0xF5E7DA), TColor(0xF5E7DA), TColor(0xC0C0C0), TColor(0xC7B0A0),
         TColor(0xFFDBB7), ssDefault},
        {gsOffice2010Silver, glOffice2007, TColor(0xE8E3DF), TColor(0xE8E3DF), TColor(0xC0C0C0), TColor(0xBAB5B1),
         TColor(0xFFDBB7), ssDefault},
        {gsOffice2010Black, glOffice2007, TColor(0x6A6A6A), TColor(0x6A6A6A), TColor(0xC0C0C0), TColor(0x444444),
         TColor(0xFFDBB7), ssDefault},
    };
    for (const Case& c : cases) {
        NewGrid();
        Grid->SetStyle(c.Style);
        EXPECT_EQ(Grid->Look, c.Look) << c.Style;
        EXPECT_EQ(Grid->QORGradientFrom(), ColorToRGB(c.HeaderFrom)) << c.Style;
        // The grid keeps its header colours as RGB values.
        EXPECT_EQ(Grid->QORGradientTo(), ColorToRGB(c.HeaderTo)) << c.Style;
        EXPECT_EQ(Grid->GridLineColor(), c.GridLine) << c.Style;
        EXPECT_EQ(Grid->GridFixedLineColor(), c.FixedLine) << c.Style;
        EXPECT_EQ(Grid->SelectionColor(), c.Selection) << c.Style;
        EXPECT_EQ(Grid->SelectionStyle(), c.SelectionStyle) << c.Style;
    }
    // The Office 2010 rows' sorted header and the XP row's empty ControlLook.
    NewGrid();
    Grid->SetStyle(gsOffice2010Black);
    EXPECT_EQ(Grid->SortSettings()->HeaderColor, TColor(0xBABABA));
    EXPECT_EQ(Grid->ControlLook()->FixedGradientTo(), clNone);
    Grid->SetStyle(gsWindowsXP);
    EXPECT_EQ(Grid->ControlLook()->FixedGradientFrom(), clNone);
    EXPECT_EQ(Grid->ActiveCellColor(), clBtnFace);
    Grid->SetStyle(gsTerminal);
    EXPECT_EQ(Grid->Look, glStandard);
}

TEST_F(LookTest, XPColourSchemes)
{
    struct Case {
        TXPColorScheme Scheme;
        TColor From, To, Footer, Active;
    };
    const Case cases[] = {
        {xpBlue, TColor(0xFCE1CB), TColor(0xE0A57D), TColor(0xFCE1CB), TColor(0x94E6FB)},
        {xpGreen, TColor(0xCFF0EA), TColor(0x8CC0B1), TColor(0xCFF0EA), TColor(0x94E6FB)},
        {xpGray, TColor(0xECE2E1), TColor(0xB39698), TColor(0xECE2E1), TColor(0x94E6FB)},
        {vistaAero, TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xECE2E1), TColor(0x94E6FB)},
        {xpNone, TColor(0xFFFFFF), clBtnFace, TColor(0xFFFFFF), TColor(0xFFFFFF)},
    };
    for (const Case& c : cases) {
        NewGrid();
        Grid->SetTheme(c.Scheme);
        EXPECT_EQ(Grid->QORGradientFrom(), c.From) << c.Scheme;
        EXPECT_EQ(Grid->QORGradientTo(), ColorToRGB(c.To)) << c.Scheme;
        EXPECT_EQ(Grid->SearchFooter()->Color(), c.Footer) << c.Scheme;
        EXPECT_EQ(Grid->ActiveCellColor(), c.Active) << c.Scheme;
        EXPECT_EQ(Grid->ControlLook()->FixedGradientFrom(), c.Scheme == xpNone ? clNone : c.From) << c.Scheme;
    }
    NewGrid();
    Grid->SetTheme(vistaAero);
    EXPECT_EQ(Grid->QORGradientMirrorTo(), TColor(0xF4F2F1));
}

// --- component styles and Office themes ---------------------------------------

TEST_F(LookTest, ComponentStyleLeavesMetroOnlyForCustom)
{
    NewGrid();
    Grid->SetScrollType(ssMetro);
    Grid->SetComponentStyle(tsCustom);
    EXPECT_EQ(Grid->ScrollType(), ssMetro);
    EXPECT_EQ(Grid->ComponentStyle(), tsCustom);
    Grid->SetComponentStyle(tsOffice2007Luna);
    EXPECT_EQ(Grid->ScrollType(), ssNormal);
    EXPECT_EQ(Grid->Look, glOffice2007);
    EXPECT_EQ(Grid->ComponentStyle(), tsOffice2007Luna);
}

TEST_F(LookTest, OfficeThemeAppliedOncePerChange)
{
    auto* g = NewGrid<TCountingGrid>();
    g->ApplyOfficeTheme();
    const int first = g->Applied;
    EXPECT_EQ(g->OldOfficeTheme(), DetectOfficeTheme());
    g->ApplyOfficeTheme();
    EXPECT_EQ(g->Applied, first);
    // Without a known theme nothing is applied at all.
    EXPECT_EQ(first, DetectOfficeTheme() != otUnknown ? 1 : 0);
}

TEST_F(LookTest, ColourTonesMakeAFlatMetroLook)
{
    NewGrid();
    TColorTones t;
    t.Background = {TColor(0xFAFAFA), TColor(0x101010), TColor(0x202020)};
    t.Foreground = {TColor(0x64C896), TColor(0x303030), TColor(0x404040)};
    t.Selected = {TColor(0xC08040), TColor(0x505050), TColor(0xFFFFFF)};
    t.Hover = {TColor(0xA0A0A0), TColor(0x606060), TColor(0x707070)};
    t.Disabled = {TColor(0xCCCCCC), TColor(0x808080), TColor(0x909090)};
    Grid->SetColorTones(t);
    EXPECT_EQ(Grid->Look, glClassic);
    EXPECT_TRUE(Grid->Flat());
    EXPECT_EQ(Grid->ScrollType(), ssMetro);
    EXPECT_EQ(Grid->GridLineColor(), TColor(0xE6E6E6));
    // Each channel of 0x64C896 20 per cent darker: 0x50, 0xA0, 0x78.
    EXPECT_EQ(Grid->GridFixedLineColor(), TColor(0x50A078));
    EXPECT_EQ(Grid->BorderStyle(), bsNone);
    EXPECT_EQ(Grid->FixedColor(), TColor(0x64C896));
    EXPECT_EQ(Grid->FixedFont()->Color(), TColor(0x404040));
    EXPECT_EQ(Grid->Color(), TColor(0xFAFAFA));
    EXPECT_EQ(Grid->SelectionColor(), TColor(0xC08040));
    EXPECT_EQ(Grid->SelectionTextColor(), TColor(0xFFFFFF));
    EXPECT_EQ(Grid->ControlLook()->ControlStyle(), csGlyph);
    EXPECT_TRUE(SameImage(Grid->ControlLook()->CheckedGlyph(), "METROCHECKON"));
    EXPECT_TRUE(SameImage(Grid->ControlLook()->UnCheckedGlyph(), "METROCHECKOFF"));
    EXPECT_TRUE(Grid->ControlLook()->FlatButton());
    EXPECT_EQ(Grid->CellNode()->NodeType(), cnFlat);
    EXPECT_EQ(Grid->SearchFooter()->ColorTo(), TColor(0x64C896));
    EXPECT_EQ(Grid->Tones().Hover.BrushColor, TColor(0xA0A0A0));
}

// --- the formatted cell --------------------------------------------------------

TEST_F(LookTest, FormattedCellTakesTheConversionOfItsFormat)
{
    NewGrid();
    QString format;
    Grid->OnGetFloatFormat = [&](TObject*, int, int, bool&, QString& f) { f = format; };
    struct Case {
        const char* Format;
        const char* Text;
        const char* Shown;
    };
    const Case cases[] = {
        {"%.2f", "3.14159", "3.14"},
        {"%d", "12", "12"},
        {"%d%%", "12", "12%"},
        // A "d" outside the conversion no longer asks for an integer.
        {"%.0f done", "3.6", "4 done"},
        {"%d and %d", "12", "12"},
        {"plain", "12", "12"},
        {"%.2f", "abc", "abc"},
    };
    for (const Case& c : cases) {
        format = QString::fromLatin1(c.Format);
        Grid->SetCellEx(1, 1, QString::fromLatin1(c.Text));
        EXPECT_EQ(Grid->GetFormattedCell(1, 1), QString::fromLatin1(c.Shown)) << c.Format;
    }
    Grid->OnGetFloatFormat = nullptr;
    Grid->SetCellEx(1, 1, "3.14159");
    EXPECT_EQ(Grid->GetFormattedCell(1, 1), "3.14159");
    EXPECT_EQ(SingleConversion("%5.1e"), QChar('e'));
    EXPECT_TRUE(SingleConversion("100%%").isNull());
}
