// The DMX image: direction and channel count, the KNX table read in the
// direction's light, and the 512 channel values after the general block.
#include "ModelTestUtil.h"

#include "project/Models.h"
#include "project/OpenProject.h"
#include "image/Bin_DMX.h"

using namespace modeltest;

namespace {

constexpr int Block = 20480;
constexpr int Values = 22528;

QString DefaultValues(const QStringList& values)
{
    QString xml = QStringLiteral("<DMX_Default_Values>");
    for (const QString& v : values)
        xml += QStringLiteral("<Row Default_Value=\"%1\" Mnemonic=\"\"/>").arg(v);
    return xml + QStringLiteral("</DMX_Default_Values>");
}

const QString KnxWriteRow = QStringLiteral(
    "<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>"
    "<row Enable=\"Y\" Source_Address=\"1.1.10\" Destination_Address=\"1/2/3\" APCI=\"Write\" Priority=\"Low\" "
    "Format=\"None\" Extended=\"N\" ReTest=\"N\" On_Command=\"Y\" On_Change=\"Y\" On_Timer=\"N\" Poll_Time=\"\" "
    "Position=\"0\" Bit_Mode=\"No\" Length=\"2\"/></KNX_in_Write></BACnet_to_KNX>");

} // namespace

TEST(DMXImage, DirectionGivesTheChannelCountToOneSide)
{
    struct Case {
        QMap<QString, QString> changed;
        QStringList removed;
        uint32_t in;
        uint32_t out;
    } cases[] = {
        {{{"DMX_DMX", "0"}, {"DMX_Num_Channels", "24"}}, {}, 24, 0},
        {{{"DMX_DMX", "1"}, {"DMX_Num_Channels", "24"}}, {}, 0, 24},
        {{{"DMX_Num_Channels", "24"}}, {"DMX_DMX"}, 0, 24},
        {{{"DMX_DMX", "0"}}, {"DMX_Num_Channels"}, 512, 0},
        {{{"DMX_DMX", "0"}, {"DMX_Num_Channels", "many"}}, {}, 512, 0},
    };
    for (const Case& c : cases) {
        TProject p;
        p.WriteParGen(11, c.changed, c.removed);
        const QByteArray b = Build_Image(p.Path(), 11).Bank;
        ASSERT_EQ(b.size(), 23040);
        EXPECT_EQ(LE(b, Block + 476, 2), c.in);
        EXPECT_EQ(LE(b, Block + 478, 2), c.out);
        EXPECT_EQ(LE(b, Block + 480, 4), 0x68800u);
        EXPECT_EQ(LE(b, Block + 2044, 4), ByteSum(b, Block, 2044));
    }
    TProject none;
    const QByteArray b = Build_Image(none.Path(), 1011).Bank;
    EXPECT_EQ(LE(b, Block + 476, 2), 0u);
    EXPECT_EQ(LE(b, Block + 478, 2), 512u);
}

TEST(DMXImage, KnxTableIsReadInTheDirectionSet)
{
    // The "OUT" direction takes every KNX object as read, without command or
    // change flags; "IN" keeps the row's settings.
    for (const char* direction : {"0", "1"}) {
        TProject p;
        p.WriteParGen(11, {{QStringLiteral("DMX_DMX"), QString::fromLatin1(direction)}});
        p.Write(QStringLiteral("KNX_SetAccess.xml"), KnxWriteRow);
        const QByteArray b = Build_Image(p.Path(), 11).Bank;
        const bool out = direction[0] == '1';
        EXPECT_EQ(LE(b, 12, 2), out ? 0u : 128u) << direction;
        EXPECT_EQ(LE(b, 10, 2), out ? 0x20u : 0x29u) << direction;
    }
}

TEST(DMXImage, ChannelValuesFollowTheGeneralBlock)
{
    QStringList values;
    for (int i = 0; i < 600; ++i)
        values << QString::number(i % 7);
    values[1] = QStringLiteral("300");
    values[2] = QStringLiteral("x");
    values[3] = QString();
    values[511] = QStringLiteral("255");
    values[512] = QStringLiteral("99");
    TProject p;
    p.Write(QStringLiteral("DMX_Default_Values.xml"), DefaultValues(values));
    const QByteArray b = Build_Image(p.Path(), 11).Bank;
    ASSERT_EQ(b.size(), 23040);
    EXPECT_EQ(uint8_t(b[Values + 0]), 0);
    EXPECT_EQ(uint8_t(b[Values + 1]), 44) << "300 cut to a byte";
    EXPECT_EQ(uint8_t(b[Values + 2]), 0);
    EXPECT_EQ(uint8_t(b[Values + 3]), 0);
    EXPECT_EQ(uint8_t(b[Values + 4]), 4);
    EXPECT_EQ(uint8_t(b[Values + 511]), 255) << "row 512 is the last one taken";
}

TEST(DMXImage, ValuesOfAnEarlierBuildDoNotLeakIn)
{
    TProject first, second;
    first.Write(QStringLiteral("DMX_Default_Values.xml"), DefaultValues({"1", "2", "3", "4"}));
    second.Write(QStringLiteral("DMX_Default_Values.xml"), DefaultValues({"9"}));
    const int saved = Model_Code;
    Model_Code = 11;
    for (const TProject* p : {&first, &second}) {
        Dir_Project = p->Path();
        Set_Files();
        ASSERT_EQ(Build_Bin(), TBuildStatus::Built);
        ASSERT_TRUE(Write_Bin());
    }
    Model_Code = saved;
    Dir_Project.clear();
    Set_Files();
    const QByteArray b = second.ReadBin(QStringLiteral("bank.bin"));
    ASSERT_EQ(b.size(), 23040);
    EXPECT_EQ(Hex(b.mid(Values, 4)), Hex(TBytes().bytes({9, 0, 0, 0})));
}
