// Column widths and order in a store, and the column state text.
#include "GridData2Fixture.h"

#include "platform/core/IniFiles.h"
#include "platform/core/RegistryIni.h"

namespace {

class GridSettingsTest : public GridData2Test {
protected:
    void SetUp() override
    {
        GridData2Test::SetUp();
        OldConfig = qEnvironmentVariable("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", Dir.path().toUtf8());
    }
    void TearDown() override
    {
        qputenv("XDG_CONFIG_HOME", OldConfig.toUtf8());
        GridData2Test::TearDown();
    }
    QString OldConfig;
};

TEST_F(GridSettingsTest, WidthsGoToAnIniFileAndBack)
{
    auto* g = NewGrid(3, 2);
    const int w[] = {64, 50, 80};
    for (int c = 0; c < 3; ++c)
        g->SetColWidths(c, w[c]);
    g->ColumnSize()->Location = clIniFile;
    g->ColumnSize()->Key = Path("cols.ini");
    g->ColumnSize()->Section = "G";
    g->SaveColSizes();
    // the INI writer ends a section with an empty line
    EXPECT_EQ(Bytes("cols.ini"), QByteArray("[G]\r\nCol0=64\r\nCol1=50\r\nCol2=80\r\n\r\n"));

    auto* h = NewGrid(3, 2);
    h->ColumnSize()->Assign(g->ColumnSize());
    h->LoadColSizes();
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(h->ColWidths(c), w[c]);
}

TEST_F(GridSettingsTest, RegistryStoreLivesUnderTheConfigFolder)
{
    auto* g = NewGrid(2, 2);
    g->SetColWidths(1, 77);
    g->ColumnSize()->Key = "Software\\Firm\\Grid";
    g->ColumnSize()->Section = "Main";
    g->SaveColSizes();
    const QString path = RegistryIniPath("Software\\Firm\\Grid");
    EXPECT_TRUE(path.startsWith(Dir.path() + "/"));
    EXPECT_TRUE(path.endsWith("/registry/Software/Firm/Grid.ini"));
    EXPECT_EQ(TMemIniFile(path).ReadInteger("Main", "Col1", 0), 77);

    for (const char* key : {"..\\x", "Software\\..\\..\\x", "\\abs", "/abs", "C:\\x", "a\\\\b", ""})
        EXPECT_THROW(RegistryIniPath(key), EIniFileException) << key;
}

TEST_F(GridSettingsTest, EmptyKeyOrSectionStoresNothing)
{
    auto* g = NewGrid(2, 2);
    g->ColumnSize()->Location = clIniFile;
    g->ColumnSize()->Key = Path("n.ini");
    g->SaveColSizes();
    g->SaveColPositions();
    EXPECT_FALSE(FileExists(Path("n.ini")));
}

TEST_F(GridSettingsTest, ColumnPositionsRestoreTheOrder)
{
    auto* g = NewGrid(4, 2, 0, 1);
    for (int c = 0; c < 4; ++c)
        g->SetCellEx(c, 0, QString("h%1").arg(c));
    g->ColumnSize()->Location = clIniFile;
    g->ColumnSize()->Key = Path("pos.ini");
    g->ColumnSize()->Section = "G";

    // no Pos0: nothing changes
    g->LoadColPositions();
    EXPECT_EQ(g->GetCellEx(0, 0), "h0");

    TMemIniFile ini(Path("pos.ini"));
    const int order[] = {2, 0, 3, 1};
    for (int n = 0; n < 4; ++n)
        ini.WriteInteger("G", QString("Pos%1").arg(n), order[n]);
    ini.UpdateFile();
    g->LoadColPositions();
    for (int n = 0; n < 4; ++n)
        EXPECT_EQ(g->GetCellEx(n, 0), QString("h%1").arg(order[n])) << n;
    EXPECT_EQ(g->ColumnOrder()->StrValue(), "2,0,3,1");

    // an order that is not a permutation is ignored
    auto* h = NewGrid(4, 2, 0, 1);
    h->SetCellEx(0, 0, "first");
    h->ColumnSize()->Assign(g->ColumnSize());
    ini.WriteInteger("G", "Pos2", 0);
    ini.UpdateFile();
    h->LoadColPositions();
    EXPECT_EQ(h->GetCellEx(0, 0), "first");
}

TEST_F(GridSettingsTest, ColumnStatesTravelInOneLine)
{
    auto* g = NewGrid(5, 2, 0, 1);
    const int w[] = {40, 50, 60, 70, 80};
    for (int c = 0; c < 5; ++c) {
        g->SetColWidths(c, w[c]);
        g->SetCellEx(c, 0, QString("h%1").arg(c));
    }
    g->HideColumn(1);
    const QString text = g->ColumnStatesToString();
    EXPECT_EQ(text, "5#40,50,60,70,80#0,1,2,3,4#1,0,1,1,1");

    auto* h = NewGrid(2, 2, 0, 1);
    for (int c = 0; c < 5; ++c)
        h->SetCellEx(c, 0, QString("h%1").arg(c));
    h->StringToColumnStates(text);
    EXPECT_EQ(h->AllColCount(), 5);
    EXPECT_EQ(h->ColCount(), 4);
    EXPECT_TRUE(h->IsHiddenColumn(1));
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(h->AllColWidths(c), w[c]) << c;
    EXPECT_EQ(h->ColumnStatesToString(), text);
}

TEST_F(GridSettingsTest, BadColumnStatesChangeNothing)
{
    const char* bad[] = {"x#1#0#1", "0#1#0#1", "600#1#0#1", "3#1,2,3#0,0,1#1,1,1", "3#1,a,3#0,1,2#1,1,1",
                         "3#1,2,3#0,1,5#1,1,1"};
    for (const char* t : bad) {
        auto* g = NewGrid(2, 2);
        g->SetColWidths(1, 33);
        EXPECT_ANY_THROW(g->StringToColumnStates(t)) << t;
        EXPECT_EQ(g->ColCount(), 2) << t;
        EXPECT_EQ(g->ColWidths(1), 33) << t;
    }
    auto* g = NewGrid(2, 2);
    g->StringToColumnStates("no fields");
    EXPECT_EQ(g->ColCount(), 2);
}

} // namespace
