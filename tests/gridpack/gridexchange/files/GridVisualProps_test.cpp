// The visual-properties file.
#include "GridData2Fixture.h"

namespace {

class GridVisualPropsTest : public GridData2Test {};

TEST_F(GridVisualPropsTest, SaveAndLoadReproduceTheSettings)
{
    auto* g = NewGrid(3, 3);
    g->SetColor(TColor(0x010203));
    g->HintColor = TColor(0x111111);
    g->SetSelectionColor(clRed);
    g->SetSelectionMirrorColorTo(TColor(0x445566));
    g->URLShow = true;
    g->SetActiveRowShow(true);
    g->Font()->SetSize(13);
    g->Font()->SetStyle(fsBold | fsUnderline);
    g->Font()->SetName("Courier");
    g->ActiveCellFont()->SetColor(clBlue);
    g->Balloon()->Transparency = 40;
    g->Bands()->SetActive(true);
    g->Bands()->SetSecondaryColor(TColor(0x0A0B0C));
    g->SortSettings()->IndexColor = clLime;
    g->ControlLook()->SetCheckSize(17);
    g->ControlLook()->SetControlStyle(csFlat);
    g->ControlLook()->SetFixedGradientFrom(TColor(0x202020));
    g->ControlLook()->SetFixedGradientTo(TColor(0x303030));
    g->ControlLook()->SetProgressXP(true);
    g->Look = glVista;
    g->Grouping()->SummaryLineWidth = 5;
    g->Grouping()->HeaderUnderline = true;
    g->SetGridLineColor(TColor(0x404040));
    g->BackGround()->Display = bdGradientVert;
    g->BackGround()->Top = 7;
    g->SaveVisualProps(Path("v.txt"));

    const QByteArray text = Bytes("v.txt");
    EXPECT_TRUE(text.startsWith("Color="));
    EXPECT_TRUE(text.contains("\r\nFont.Style=fsBold,fsUnderline\r\nFont.Size=13\r\nFont.Name=Courier\r\n"));
    EXPECT_TRUE(text.contains("\r\nLook=glVista\r\n"));
    EXPECT_LT(text.indexOf("Grouping.HeaderColor="), text.indexOf("GridLineColor="));

    auto* h = NewGrid(3, 3);
    h->LoadVisualProps(Path("v.txt"));
    EXPECT_EQ(h->Color(), TColor(0x010203));
    EXPECT_EQ(h->HintColor, TColor(0x111111));
    EXPECT_EQ(h->SelectionColor(), clRed);
    EXPECT_EQ(h->SelectionMirrorColorTo(), TColor(0x445566));
    EXPECT_TRUE(h->URLShow);
    EXPECT_TRUE(h->ActiveRowShow());
    EXPECT_EQ(h->Font()->Size(), 13);
    EXPECT_EQ(h->Font()->Style(), TFontStyles(fsBold | fsUnderline));
    EXPECT_EQ(h->Font()->Name(), "Courier");
    EXPECT_EQ(h->ActiveCellFont()->Color(), clBlue);
    EXPECT_EQ(h->Balloon()->Transparency, 40);
    EXPECT_TRUE(h->Bands()->Active());
    EXPECT_EQ(h->Bands()->SecondaryColor(), TColor(0x0A0B0C));
    EXPECT_EQ(h->SortSettings()->IndexColor, clLime);
    EXPECT_EQ(h->ControlLook()->CheckSize(), 17);
    EXPECT_EQ(h->ControlLook()->ControlStyle(), csFlat);
    EXPECT_EQ(h->ControlLook()->FixedGradientFrom(), TColor(0x202020));
    EXPECT_EQ(h->ControlLook()->FixedGradientTo(), TColor(0x303030));
    EXPECT_TRUE(h->ControlLook()->ProgressXP());
    EXPECT_EQ(h->Look, glVista);
    EXPECT_EQ(h->Grouping()->SummaryLineWidth, 5);
    EXPECT_TRUE(h->Grouping()->HeaderUnderline);
    EXPECT_EQ(h->GridLineColor(), TColor(0x404040));
    EXPECT_EQ(h->BackGround()->Display, bdGradientVert);
    EXPECT_EQ(h->BackGround()->Top, 7);
    // what is neither saved nor changed comes back as written
    EXPECT_EQ(h->GridFixedLineColor(), g->GridFixedLineColor());
}

TEST_F(GridVisualPropsTest, HandWrittenFileAndItsFailures)
{
    auto* g = NewGrid(3, 3);
    g->SaveVisualProps(Path("full.txt"));
    QByteArray text = Bytes("full.txt");
    text.replace("Look=glXP", "look=GLSOFT");
    text.replace("HintColor=", "hintcolor=");
    Put("soft.txt", text);
    auto* h = NewGrid(3, 3);
    h->HintColor = clRed;
    h->LoadVisualProps(Path("soft.txt"));
    EXPECT_EQ(h->Look, glSoft);
    EXPECT_EQ(h->HintColor, g->HintColor);

    // without Font.Size: the keys above it are applied, then the conversion fails
    Put("nosize.txt", "Color=clYellow\r\nURLShow=TRUE\r\nFont.Name=Arial\r\n");
    auto* k = NewGrid(3, 3);
    EXPECT_THROW(k->LoadVisualProps(Path("nosize.txt")), EConvertError);
    EXPECT_EQ(k->Color(), clYellow);
    EXPECT_TRUE(k->URLShow);
    EXPECT_EQ(k->HintColor, clNone); // a missing colour key reads as none

    try {
        k->LoadVisualProps(Path("none.txt"));
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + Path("none.txt"));
    }
}

} // namespace
