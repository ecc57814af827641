// The window's real wireless grid: the rows telegrams write and the cleared
// grid.
#include "ScanWindowKit.h"

#include "gridpack/stringgrid/ExGrid.h"

TControl* Wireless_Grid(TFScanDecode* w)
{
    return dynamic_cast<TControl*>(w->FindComponent(QStringLiteral("SG_Wireless")));
}

TPoint Wireless_Cell_Centre(TFScanDecode* w, int col, int row)
{
    auto* g = dynamic_cast<TExStringGrid*>(Wireless_Grid(w));
    const TRect r = g->CellRect(col, row);
    return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

namespace {

class RealGridTest : public ScanWindowTest {
protected:
    void SetUp() override
    {
        Recording_View = false;
        ScanWindowTest::SetUp();
        G = dynamic_cast<TExStringGrid*>(Wireless_Grid(W));
        ASSERT_NE(G, nullptr);
    }
    static TWirelessSlaveRow Device(bool cripted)
    {
        TWirelessSlaveRow d;
        d.Message_Type = 0x44;
        d.LLA_Manufacturer = 0x0442;
        d.LLA_Manu_str = QStringLiteral("ABB");
        d.LLA_Address = 0x12345678;
        d.LLA_Version = 1;
        d.LLA_DeviceType = 7;
        d.ALA_Manufacturer = 0x0442;
        d.ALA_Manu_str = QStringLiteral("ABB");
        d.ALA_Address = 0x12345678;
        d.ALA_Version = 1;
        d.ALA_DeviceType = 7;
        d.RSSI = -82;
        d.Cripted = cripted;
        return d;
    }
    int Image(int row)
    {
        int idx = -1;
        return G->GetImageIdx(12, row, idx) ? idx : -1;
    }
    TExStringGrid* G = nullptr;
};

TEST_F(RealGridTest, ARowPerDeviceInItsColoursWithItsImage)
{
    ASSERT_EQ(G->ColCount(), 13);
    EXPECT_EQ(G->GetCellEx(0, 0), QStringLiteral("N"));
    EXPECT_EQ(G->GetCellEx(12, 0), QStringLiteral("Cripted"));
    EXPECT_EQ(G->ColWidths(3), 120);

    W->Wireless_Slave_Updated(0, Device(false));
    EXPECT_EQ(G->RowCount(), 2);
    EXPECT_EQ(G->GetCellEx(3, 1), QStringLiteral("ABB(0442)"));
    EXPECT_EQ(G->GetCellEx(11, 1), QStringLiteral("-82"));
    for (int c = 0; c < 13; ++c)
        EXPECT_EQ(G->GetColors(c, 1), Wireless_Readable_Color) << c;
    EXPECT_EQ(Image(1), 1);

    // Device 4 heard first: the grid grows to its row; the rows between stay.
    W->Wireless_Slave_Updated(4, Device(true));
    EXPECT_EQ(G->RowCount(), 6);
    EXPECT_EQ(G->GetCellEx(0, 5), QStringLiteral("5"));
    EXPECT_EQ(G->GetColors(7, 5), Wireless_Cripted_Color);
    EXPECT_EQ(Image(5), 0);
    EXPECT_EQ(G->GetCellEx(0, 1), QStringLiteral("1"));

    // An encrypted telegram of device 0 turns its row; the count stays.
    W->Wireless_Slave_Updated(0, Device(true));
    EXPECT_EQ(G->RowCount(), 6);
    EXPECT_EQ(G->GetColors(0, 1), Wireless_Cripted_Color);
    EXPECT_EQ(Image(1), 0);

    W->Cancel_Grid_Wireless();
    EXPECT_EQ(G->RowCount(), 2);
    EXPECT_TRUE(G->GetCellEx(3, 1).isEmpty());
    EXPECT_EQ(G->GetColors(3, 1), clWhite);
    EXPECT_EQ(Image(1), -1);
    EXPECT_EQ(G->GetCellEx(0, 0), QStringLiteral("N"));
}

} // namespace
