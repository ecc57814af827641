// The files both editors save, read by the device-image builder of their
// models.
#include "ModbusKit.h"

#include "image/USaveBincc.h"

namespace {

QByteArray Hex(const char* spaced)
{
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

} // namespace

TEST_F(ModbusTest, AnRtuTableSavedByTheDialogBuildsItsRecords)
{
    Rtu->FormShow(nullptr);
    FillPage(Rtu, 0, 1, {"Y", "1", "Holding Register", "100", "10", "1000", "3", "20", "0", "N", "r"});
    FillPage(Rtu, 1, 1, {"Y", "2", "Coil Status", "0", "1", "0", "Y", "Y", "0", "30", "3", "Y", "w"});
    ASSERT_TRUE(Ok(Rtu)) << LastMessage().toStdString();
    const TImageResult image = Build_Image(Tmp.path(), 1);
    ASSERT_EQ(image.Status, TBuildStatus::Built) << image.Note.toStdString();
    ASSERT_EQ(image.Bank.size(), 55296);
    EXPECT_EQ(image.Bank.mid(0, 32).toHex(' '),
              Hex("1400 0000 e8030000 01 03 6400 0a00 0000 00000000 00000000 03000000 0000 14 00").toHex(' '));
    EXPECT_EQ(image.Bank.mid(32, 32).toHex(' '),
              Hex("1e00 0300 00000000 02 05 0000 0100 0000 00000000 00000000 00000000 0000 01 15").toHex(' '));
    EXPECT_EQ(image.Bank.mid(53320, 2), Hex("0200"));
}

TEST_F(ModbusTest, ATcpTableSavedByTheDialogBuildsItsRecords)
{
    Model_Code = 3;
    Tcp->FormShow(nullptr);
    // Only stored in the image: nothing is sent anywhere.
    FillPage(Tcp, 0, 1, {"Y", "192.168.0.20", "502", "1", "Input Register", "0", "2", "500", "0", "0", "0", "N", ""});
    // A disabled row stays out of the image.
    FillPage(Tcp, 0, 2, {"N", "127.0.0.21", "502", "1", "Input Register", "0", "2", "500", "0", "0", "0", "N", ""});
    ASSERT_TRUE(Ok(Tcp)) << LastMessage().toStdString();
    const TImageResult image = Build_Image(Tmp.path(), 3);
    ASSERT_EQ(image.Status, TBuildStatus::Built) << image.Note.toStdString();
    EXPECT_EQ(image.Bank.mid(0, 32).toHex(' '),
              Hex("0000 0000 f4010000 01 04 0000 0200 f601 1400a8c0 00000000 00000000 0000 04 00").toHex(' '));
    EXPECT_EQ(image.Bank.mid(32, 32), QByteArray(32, '\0'));
}
