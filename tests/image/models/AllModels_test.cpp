// Every model code built from an empty project through the program's entry
// points: the files each model writes, their sizes and the checksum of the
// general block of the defaults.
#include "ModelTestUtil.h"

#include "project/Models.h"
#include "project/OpenProject.h"

using namespace modeltest;

namespace {

// Runs Build_Bin and Write_Bin for the code on the project, as the "Update
// Device" step does, and puts the shell's state back afterwards.
class TModelRun {
public:
    TModelRun(int code, const TProject& p) : FSaved(Model_Code)
    {
        Model_Code = code;
        Dir_Project = p.Path();
        Set_Files();
    }
    ~TModelRun()
    {
        Model_Code = FSaved;
        Dir_Project.clear();
        Set_Files();
    }

private:
    int FSaved;
};

// Sum of the defaults of the general block (4316) plus what each model's
// loader stores without ParGen.xml: KNX table addresses 0x63000 (54 + 54),
// the model's own table addresses, and the KNX IP addresses.
constexpr uint32_t Defaults_Sum = 4316;
constexpr uint32_t Knx_Addresses = 2 * (0x30 + 0x06);
constexpr uint32_t Address_5B000 = 0xB0 + 0x05;
constexpr uint32_t Address_5F000 = 0xF0 + 0x05;
constexpr uint32_t Address_68800 = 0x88 + 0x06;
constexpr uint32_t CANopen_Addresses = (0x50 + 0x05) + (0x90 + 0x05) + (0xD0 + 0x05) + (0xF0 + 0x05) + (0x10 + 0x06)
                                       + (0x20 + 0x06);
constexpr uint32_t KNXIP_Addresses = (0x01 + 0x90) + (0xA0 + 0x90) + (0xA1 + 0x90);

} // namespace

TEST(AllModels, EmptyProjectGivesEachModelItsFilesAndSizes)
{
    struct Case {
        int code;
        int bank;      // bank.bin size, -1 for none
        int bank1;     // bank1.bin size, -1 for none
        int block;     // offset of the general block in bank.bin
        uint32_t checksum;
    } cases[] = {
        {1, 55296, -1, 53248, Defaults_Sum + Knx_Addresses + Address_5B000},
        {1001, 55296, -1, 53248, Defaults_Sum + Knx_Addresses + Address_5B000},
        {2, 22528, -1, 20480, Defaults_Sum + Knx_Addresses},
        {3, 55296, -1, 53248, Defaults_Sum + Knx_Addresses + Address_5B000},
        {1003, 55296, -1, 53248, Defaults_Sum + Knx_Addresses + Address_5B000},
        {4, 22528, -1, 20480, Defaults_Sum + Knx_Addresses},
        {5, 55296, -1, 53248, Defaults_Sum + Knx_Addresses + Address_5B000},
        {6, 79872, -1, 77824, Defaults_Sum + Knx_Addresses + CANopen_Addresses},
        {7, -1, -1, 0, 0},
        {8, -1, -1, 0, 0},
        {9, 55296, -1, 53248, Defaults_Sum + Knx_Addresses + Address_5B000 + Address_5F000},
        {10, -1, 23552, 0, 0},
        {1010, -1, 23552, 0, 0},
        {11, 23040, -1, 20480, Defaults_Sum + Knx_Addresses + Address_68800},
        {1011, 23040, -1, 20480, Defaults_Sum + Knx_Addresses + Address_68800},
        {12, 22528, -1, 20480, Defaults_Sum + Knx_Addresses + Address_68800},
        {1012, 22528, -1, 20480, Defaults_Sum + Knx_Addresses + Address_68800},
        {13, 22528, -1, 20480, Defaults_Sum + Knx_Addresses + Address_68800},
        {14, 2048, -1, 0, Defaults_Sum + KNXIP_Addresses},
        {1014, 2048, -1, 0, Defaults_Sum + KNXIP_Addresses},
        {15, 22528, -1, 20480, Defaults_Sum + Knx_Addresses + Address_68800},
    };
    // The figures the models are known by.
    static_assert(Defaults_Sum + Knx_Addresses == 4424);
    static_assert(Defaults_Sum + Knx_Addresses + Address_5B000 == 4605);
    static_assert(Defaults_Sum + Knx_Addresses + Address_68800 == 4566);
    static_assert(Defaults_Sum + Knx_Addresses + CANopen_Addresses == 5176);
    static_assert(Defaults_Sum + KNXIP_Addresses == 5070);

    for (const Case& c : cases) {
        TProject p;
        const TModelRun run(c.code, p);
        const TBuildStatus status = Build_Bin();
        const bool wrote = Write_Bin();
        const bool builds = c.bank > 0 || c.bank1 > 0;
        EXPECT_EQ(status, builds ? TBuildStatus::Built : TBuildStatus::No_Image) << c.code;
        EXPECT_EQ(wrote, builds) << c.code;
        EXPECT_EQ(p.HasBin(QStringLiteral("bank.bin")), c.bank > 0) << c.code;
        EXPECT_EQ(p.HasBin(QStringLiteral("bank1.bin")), c.bank1 > 0) << c.code;
        EXPECT_EQ(p.HasBin(QStringLiteral("bank2.bin")), c.bank1 > 0) << c.code;
        if (c.bank > 0) {
            const QByteArray b = p.ReadBin(QStringLiteral("bank.bin"));
            ASSERT_EQ(b.size(), c.bank) << c.code;
            EXPECT_EQ(LE(b, c.block + 2044, 4), c.checksum) << c.code;
            EXPECT_EQ(ByteSum(b, c.block, 2044), c.checksum) << c.code;
        }
        if (c.bank1 > 0) {
            EXPECT_EQ(p.ReadBin(QStringLiteral("bank1.bin")).size(), c.bank1) << c.code;
            EXPECT_EQ(p.ReadBin(QStringLiteral("bank2.bin")).size(), 13) << c.code;
        }
    }
}

TEST(AllModels, BuildingTwiceGivesTheSameBytes)
{
    const int codes[] = {1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 14, 15};
    for (int code : codes) {
        TProject p;
        p.WriteParGen(code);
        const TImageResult a = Build_Image(p.Path(), code);
        const TImageResult b = Build_Image(p.Path(), code);
        EXPECT_EQ(a.Bank, b.Bank) << code;
        EXPECT_EQ(a.Bank2, b.Bank2) << code;
    }
}
