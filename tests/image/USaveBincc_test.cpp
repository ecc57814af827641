// The model-9 image as a whole, the dispatch by model code and the bank files.
#include "ImageTestUtil.h"

#include "project/Models.h"
#include "project/OpenProject.h"
#include "project/ParGen.h"
#include "image/USaveBincc.h"
#include "platform/xml/XmlDoc.h"

#include <QFileInfo>

namespace {

const QByteArray Empty_J1939_Record = Hex("ffffffff ffffffff ffffffff 0000 0000 0000 0000 ffffffff 00000000 0000 00 00");

// The general block of a model-9 project without ParGen.xml, written out from
// the layout's defaults and the model's constants.
QByteArray ExpectedEmptyBlock9()
{
    QByteArray b(2048, '\0');
    PutLE(b, 0, 125000, 4);
    PutLE(b, 12, 9600, 4);
    PutLE(b, 16, 8, 2);
    b.replace(40, 4, Hex("c0a802cd"));
    b.replace(44, 4, Hex("ffffff00"));
    b.replace(48, 4, Hex("ffffffff"));
    PutLE(b, 52, 10000, 2);
    PutLE(b, 54, 10001, 2);
    PutLE(b, 56, 10001, 2);
    PutLE(b, 60, 9600, 4);
    PutLE(b, 64, 8, 2);
    PutLE(b, 204, 0x5B000, 4);
    PutLE(b, 208, 0x5F000, 4);
    PutLE(b, 404, 38400, 4);
    b[431] = 1;
    b[436] = 8;
    for (int i = 437; i < 444; ++i)
        b[i] = 8;
    PutLE(b, 444, 0x63000, 4);
    PutLE(b, 448, 0x63000, 4);
    PutLE(b, 460, 3671, 2);
    PutLE(b, 468, 50000, 2);
    PutLE(b, 470, 50001, 2);
    PutLE(b, 472, 50002, 2);
    PutLE(b, 478, 512, 2);
    PutLE(b, 2044, 4850, 4);
    return b;
}

QByteArray ReadBank(const TTestProject& p, const QString& name = QStringLiteral("bank.bin"))
{
    return ReadFileWhole(p.Path(QStringLiteral("bin/") + name));
}

// Runs the program's entry points on a project, as the "Update Device" step does.
class EntryPoints : public ::testing::Test {
protected:
    void SetUp() override
    {
        FModel = Model_Code;
        FDir = Dir_Project;
        Model_Code = 9;
        Dir_Project = P.Dir();
    }
    void TearDown() override
    {
        Model_Code = FModel;
        Dir_Project = FDir;
        SetWriteFaultHook(nullptr);
    }
    TTestProject P;

private:
    int FModel = 0;
    QString FDir;
};

} // namespace

TEST(J1939Image, EmptyProjectIsTheDefaultImage)
{
    TTestProject p; // no bin folder and no project file
    const TImageResult r = Build_Image(p.Dir(), 9);
    ASSERT_EQ(r.Status, TBuildStatus::Built);
    Write_Image(p.Dir(), r);
    const QByteArray bank = ReadBank(p);
    ASSERT_EQ(bank.size(), 55296);

    for (int rec = 0; rec < 1024; ++rec)
        ASSERT_EQ(bank.mid(rec * 32, 32), Empty_J1939_Record) << "J1939 record " << rec;
    EXPECT_EQ(bank.mid(32768, 20480), QByteArray(20480, '\0'));
    EXPECT_EQ(bank.mid(53248, 2048), ExpectedEmptyBlock9());
    EXPECT_EQ(ReadLE(bank, 55292, 4), ByteSum(bank, 53248, 55292));
}

TEST(J1939Image, DefaultParGenOfTheDialog)
{
    TTestProject p;
    p.Write(QStringLiteral("ParGen.xml"), DefaultParGen9());
    const QByteArray bank = Build_Image(p.Dir(), 9).Bank;
    ASSERT_EQ(bank.size(), 55296);
    const QByteArray block = bank.mid(53248);

    QByteArray expected = ExpectedEmptyBlock9();
    PutLE(expected, 0, 250000, 4);
    expected.replace(40, 4, Hex("c0a80005"));
    expected.replace(462, 2, Hex("c811")); // 1.1.200 = 4552
    PutLE(expected, 2044, 4915, 4);
    EXPECT_EQ(block, expected);
    EXPECT_EQ(ReadLE(block, 2044, 4), ByteSum(block, 0, 2044));
}

TEST(J1939Image, TheFileTheParametersDialogWritesIsTheFileTheBuilderReads)
{
    // The dialog's own writer, not a hand-written file: both sides must agree
    // on names and encodings.
    TTestProject p;
    TParGenValues(9).Write_File(p.Path(QStringLiteral("ParGen.xml")));
    const QByteArray block = Build_Image(p.Dir(), 9).Bank.mid(53248);
    ASSERT_EQ(block.size(), 2048);
    EXPECT_EQ(ReadLE(block, 0, 4), 250000u);
    EXPECT_EQ(block.mid(40, 4), Hex("c0a80005"));
    EXPECT_EQ(block.mid(462, 2), Hex("c811"));
    EXPECT_EQ(ReadLE(block, 2044, 4), 4915u);

    // Values changed in the dialog reach the block: 1000K, peer-to-peer,
    // device ID 0x10 typed in hexadecimal, a time-out of 3 s, the gateway on.
    TParGenValues v(9);
    v.Set_Index(QStringLiteral("J1939_BAUDRATE"), 8);
    v.Set_Flag(QStringLiteral("J1939_PEER_TO_PEER"), true);
    v.Set_Value(QStringLiteral("J1939_Device_ID"), QStringLiteral("0x10"));
    v.Set_Value(QStringLiteral("J1939_TIMEOUT"), QStringLiteral("3"));
    v.Set_Flag(QStringLiteral("Modbus_TCP_Slave_EN_GAT"), true);
    v.Write_File(p.Path(QStringLiteral("ParGen.xml")));
    p.Write(QStringLiteral("J1939_Rec_Frames.xml"),
            QStringLiteral("<Receive_J1939><row DP=\"0\" PGN=\"65262\" SA=\"5\" Delete=\"Y\"/></Receive_J1939>"));
    const QByteArray bank = Build_Image(p.Dir(), 9).Bank;
    const QByteArray changed = bank.mid(53248);
    EXPECT_EQ(ReadLE(changed, 0, 4), 1000000u);
    EXPECT_EQ(ReadLE(changed, 28, 4), 16u);
    EXPECT_EQ(ReadLE(changed, 152, 4), 1u);
    EXPECT_EQ(changed.mid(48, 4), Hex("c0a80001"));
    // Peer-to-peer drops the source address; the delete time is in ms.
    EXPECT_EQ(ReadLE(bank, 0, 4), 0x00FEEE00u);
    EXPECT_EQ(ReadLE(bank, 8, 4), 3000u);
}

TEST(J1939Image, TablesLandAtTheirOffsetsWithTheirCounts)
{
    TTestProject p;
    p.Write(QStringLiteral("J1939_Rec_Frames.xml"),
            QStringLiteral("<Receive_J1939>"
                           "<row DP=\"0\" PGN=\"65262\" SA=\"0\" TP=\"N\" TP_Start=\"\" TP_NByte=\"\" Delete=\"N\""
                           " OnRequest=\"N\" OnReq_Time=\"1000\" Mnemonic=\"Engine temperature\"/>"
                           "</Receive_J1939><!--SW_VERSION = 1.100-->"));
    p.Write(QStringLiteral("J1939_Send_Frames.xml"),
            QStringLiteral("<Receive_J1939>"
                           "<row Priority=\"6\" DP=\"0\" PGN=\"61444\" SA=\"0\" TP_NByte=\"8\" On_Request=\"N\""
                           " On_Data_Change=\"N\" On_Timer=\"Y\" SendTimer=\"100\" Mnemonic=\"\"/>"
                           "<row Priority=\"3\" DP=\"1\" PGN=\"256\" SA=\"7\" TP_NByte=\"4\" On_Request=\"N\""
                           " On_Data_Change=\"N\" On_Timer=\"N\" SendTimer=\"\" Mnemonic=\"\"/>"
                           "</Receive_J1939>"));
    p.Write(QStringLiteral("KNX_SetAccess.xml"),
            QStringLiteral("<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>"
                           "<row Enable=\"Y\" Source_Address=\"1.1.10\" Destination_Address=\"1/2/3\" APCI=\"Write\""
                           " Priority=\"Low\" Format=\"None\" Extended=\"N\" ReTest=\"N\" On_Command=\"N\""
                           " On_Change=\"Y\" On_Timer=\"N\" Poll_Time=\"\" Position=\"0\" Bit_Mode=\"No\" Length=\"2\"/>"
                           "</KNX_in_Write></BACnet_to_KNX>"));
    const QByteArray bank = Build_Image(p.Dir(), 9).Bank;
    ASSERT_EQ(bank.size(), 55296);

    EXPECT_EQ(bank.mid(0, 32), Hex("00eefe00 00000000 00000000 0000 0000 0800 0000 e8030000 00000000 0000 00 00"));
    EXPECT_EQ(bank.mid(32, 32), Empty_J1939_Record);
    EXPECT_EQ(bank.mid(16384, 32), Hex("0004f018 64000000 ffffffff 0000 0000 0800 0000 ffffffff 00000000 0000 11 00"));
    // 3 × 2^26 + 1 × 2^24 + 256 × 2^8 + 7, its data after the first row's 8 bytes.
    EXPECT_EQ(bank.mid(16416, 32), Hex("0700010d 00000000 ffffffff 0800 0000 0400 0000 ffffffff 00000000 0000 01 00"));
    EXPECT_EQ(bank.mid(16448, 32), Empty_J1939_Record);
    EXPECT_EQ(bank.mid(32768, 20), Hex("00000000 00000000 03 02 2100 8000 0a11 030a 0000"));
    EXPECT_EQ(bank.mid(32788, 20), QByteArray(20, '\0'));

    const QByteArray block = bank.mid(53248);
    EXPECT_EQ(ReadLE(block, 144, 4), 1u); // receive rows
    EXPECT_EQ(ReadLE(block, 148, 4), 2u); // send rows
    EXPECT_EQ(ReadLE(block, 452, 4), 0u); // KNX read count
    EXPECT_EQ(ReadLE(block, 456, 4), 1u); // KNX objects
    EXPECT_EQ(ReadLE(block, 2044, 4), ByteSum(block, 0, 2044));
}

TEST(J1939Image, ASecondBuildInTheSameBufferKeepsNothingOfTheFirst)
{
    TTestProject full, empty;
    full.Write(QStringLiteral("ParGen.xml"), ParGenXml(QStringLiteral("<J1939_TIMEOUT>7</J1939_TIMEOUT>")));
    full.Write(QStringLiteral("J1939_Rec_Frames.xml"),
               QStringLiteral("<Receive_J1939><row DP=\"1\" PGN=\"1\" SA=\"1\" Delete=\"Y\"/></Receive_J1939>"));
    full.Write(QStringLiteral("KNX_SetAccess.xml"),
               QStringLiteral("<r><KNX_in_Write><row Source_Address=\"1.1.1\" Destination_Address=\"1/1\" APCI=\"Read\""
                              " Priority=\"Low\" Extended=\"Y\" ReTest=\"Y\" On_Change=\"Y\" Bit_Mode=\"No\""
                              " Position=\"3\" Length=\"4\"/></KNX_in_Write></r>"));
    TBinBuffer buffer;
    const TImageResult first = Build_Image(full.Dir(), 9, buffer);
    const TImageResult second = Build_Image(empty.Dir(), 9, buffer);
    EXPECT_NE(first.Bank, second.Bank);
    EXPECT_EQ(second.Bank, Build_Image(empty.Dir(), 9).Bank);
    EXPECT_EQ(first.Bank, Build_Image(full.Dir(), 9, buffer).Bank);
}

TEST(ImageDispatch, ModelsWithoutAnImageOrWithoutTheirBuilderWriteNothing)
{
    const int codes[] = {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 1001, 1003, 1010, 1011, 1012, 1014, 0, 16, 1009};
    for (int code : codes) {
        TTestProject p;
        const TModelImage* model = Find_Model_Image(code);
        if (model && model->Build)
            continue; // built and tested with its own model
        const TImageResult r = Build_Image(p.Dir(), code);
        if (code == 7 || code == 8 || code == 0 || code == 16 || code == 1009) {
            EXPECT_EQ(model, nullptr) << code;
            EXPECT_EQ(r.Status, TBuildStatus::No_Image) << code;
        } else {
            ASSERT_NE(model, nullptr) << code;
            EXPECT_EQ(r.Status, TBuildStatus::Not_Built_Yet) << code;
            EXPECT_TRUE(r.Note.contains(QLatin1String(model->Builder))) << code;
        }
        Write_Image(p.Dir(), r);
        EXPECT_FALSE(DirectoryExists(p.Path(QStringLiteral("bin")))) << code;
    }
}

TEST(ImageDispatch, ModelTableGivesEachModelItsFilesAndLength)
{
    struct Case {
        int Code;
        TBankFiles Files;
        int Length;
    } const cases[] = {
        {1, TBankFiles::Bank, 55296},          {1001, TBankFiles::Bank, 55296}, {2, TBankFiles::Bank, 22528},
        {3, TBankFiles::Bank, 55296},          {1003, TBankFiles::Bank, 55296}, {4, TBankFiles::Bank, 22528},
        {5, TBankFiles::Bank, 55296},          {6, TBankFiles::Bank, 79872},    {9, TBankFiles::Bank, 55296},
        {10, TBankFiles::Bank1_Bank2, 23552},  {1010, TBankFiles::Bank1_Bank2, 23552},
        {11, TBankFiles::Bank, 23040},         {1011, TBankFiles::Bank, 23040}, {12, TBankFiles::Bank, 22528},
        {1012, TBankFiles::Bank, 22528},       {13, TBankFiles::Bank, 22528},   {14, TBankFiles::Bank, 2048},
        {1014, TBankFiles::Bank, 2048},        {15, TBankFiles::Bank, 22528},
    };
    for (const Case& c : cases) {
        const TModelImage* m = Find_Model_Image(c.Code);
        ASSERT_NE(m, nullptr) << c.Code;
        EXPECT_EQ(m->Files, c.Files) << c.Code;
        EXPECT_EQ(m->Length, c.Length) << c.Code;
    }
}

TEST(BankWriter, TheMBusPairIsWrittenAndBankBinIsLeftAlone)
{
    TTestProject p;
    TImageResult r;
    r.Status = TBuildStatus::Built;
    r.Files = TBankFiles::Bank1_Bank2;
    r.Bank = QByteArray(23552, '\x11');
    r.Bank2 = QByteArray(40, '\x22');
    Write_Image(p.Dir(), r);
    EXPECT_EQ(ReadBank(p, QStringLiteral("bank1.bin")), r.Bank);
    EXPECT_EQ(ReadBank(p, QStringLiteral("bank2.bin")), r.Bank2);
    EXPECT_FALSE(FileExists(p.Path(QStringLiteral("bin/bank.bin"))));
}

TEST(BankWriter, AFailedBank2LeavesNoMixedPair)
{
    const auto pair = [](char fill1, char fill2) {
        TImageResult r;
        r.Status = TBuildStatus::Built;
        r.Files = TBankFiles::Bank1_Bank2;
        r.Bank = QByteArray(23552, fill1);
        r.Bank2 = QByteArray(40, fill2);
        return r;
    };
    const auto failBank2 = [](const QString& path) { return path.endsWith(QLatin1String("/bank2.bin")); };

    // An earlier pair stays as it was, both files.
    TTestProject p;
    const TImageResult old = pair('\x11', '\x22');
    Write_Image(p.Dir(), old);
    SetWriteFaultHook(failBank2);
    EXPECT_THROW(Write_Image(p.Dir(), pair('\x33', '\x44')), EWriteError);
    SetWriteFaultHook(nullptr);
    EXPECT_EQ(ReadBank(p, QStringLiteral("bank1.bin")), old.Bank);
    EXPECT_EQ(ReadBank(p, QStringLiteral("bank2.bin")), old.Bank2);

    // With no earlier pair, no lone bank1.bin is left behind.
    TTestProject fresh;
    SetWriteFaultHook(failBank2);
    EXPECT_THROW(Write_Image(fresh.Dir(), pair('\x33', '\x44')), EWriteError);
    SetWriteFaultHook(nullptr);
    EXPECT_FALSE(FileExists(fresh.Path(QStringLiteral("bin/bank1.bin"))));
    EXPECT_FALSE(FileExists(fresh.Path(QStringLiteral("bin/bank2.bin"))));
}

TEST(BankWriter, AFileInPlaceOfTheBinFolderIsAnError)
{
    TTestProject p;
    p.Write(QStringLiteral("bin"), QStringLiteral("not a folder"));
    const TImageResult r = Build_Image(p.Dir(), 9);
    EXPECT_THROW(Write_Image(p.Dir(), r), Exception);
}

TEST_F(EntryPoints, BuildThenWriteGivesTheBankFile)
{
    EXPECT_EQ(Build_Bin(), TBuildStatus::Built);
    EXPECT_EQ(Bin_Buffer.Bin_Count, 55296);
    EXPECT_TRUE(Write_Bin());
    EXPECT_EQ(ReadBank(P), Build_Image(P.Dir(), 9).Bank);
}

TEST_F(EntryPoints, AMalformedFrameFileStopsTheBuildAndKeepsTheOldBank)
{
    ASSERT_EQ(Build_Bin(), TBuildStatus::Built);
    ASSERT_TRUE(Write_Bin());
    const QByteArray before = ReadBank(P);

    P.Write(QStringLiteral("ParGen.xml"), DefaultParGen9());
    P.Write(QStringLiteral("J1939_Rec_Frames.xml"), QStringLiteral("<Receive_J1939><row DP=\"0\"</Receive_J1939>"));
    try {
        Build_Bin();
        FAIL() << "the build went on";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QLatin1String("J1939_Rec_Frames.xml"))) << e.what();
    }
    // Nothing of the failed build can be written afterwards.
    EXPECT_FALSE(Write_Bin());
    EXPECT_EQ(ReadBank(P), before);
}

// A project file that stands there but cannot be read is no missing file:
// no image is built from the defaults in its place.
TEST_F(EntryPoints, AFileThatCannotBeReadStopsTheBuildWithItsNameAndReason)
{
    ASSERT_EQ(Build_Bin(), TBuildStatus::Built);
    ASSERT_TRUE(Write_Bin());
    const QByteArray before = ReadBank(P);
    for (const char* name : {"ParGen.xml", "KNX_SetAccess.xml", "J1939_Rec_Frames.xml", "J1939_Send_Frames.xml"}) {
        const QString path = P.Path(QString::fromLatin1(name));
        ASSERT_TRUE(QDir().mkdir(path));
        try {
            Build_Bin();
            ADD_FAILURE() << name << ": the build went on";
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Message().contains(path)) << e.what();
            EXPECT_TRUE(e.Message().contains(QLatin1String("it is a folder"))) << e.what();
        }
        EXPECT_FALSE(Write_Bin()) << name;
        EXPECT_EQ(ReadBank(P), before) << name;
        ASSERT_TRUE(QDir().rmdir(path));
    }
}

TEST_F(EntryPoints, AFailedWriteIsReportedAndLeavesTheOldFile)
{
    ASSERT_EQ(Build_Bin(), TBuildStatus::Built);
    ASSERT_TRUE(Write_Bin());
    const QByteArray before = ReadBank(P);
    P.Write(QStringLiteral("ParGen.xml"), DefaultParGen9());
    ASSERT_EQ(Build_Bin(), TBuildStatus::Built);
    SetWriteFaultHook([](const QString& path) { return path.contains(QLatin1String("bank.bin")); });
    EXPECT_THROW(Write_Bin(), Exception);
    SetWriteFaultHook(nullptr);
    EXPECT_EQ(ReadBank(P), before);
}

TEST(BankWriter, AProjectFolderThatWentAwayIsNotRecreated)
{
    QString dir;
    TImageResult r;
    {
        TTestProject p;
        dir = p.Dir();
        r = Build_Image(dir, 9);
    }
    ASSERT_FALSE(QFileInfo::exists(dir));
    EXPECT_THROW(Write_Image(dir, r), EImageError);
    EXPECT_FALSE(QFileInfo::exists(dir));
}

TEST_F(EntryPoints, NoProjectOpenBuildsNothing)
{
    Dir_Project.clear();
    EXPECT_THROW(Build_Bin(), Exception);
    EXPECT_FALSE(Write_Bin());
}

TEST_F(EntryPoints, DeviceNetModelsNeitherBuildNorReplaceTheBank)
{
    ASSERT_EQ(Build_Bin(), TBuildStatus::Built);
    ASSERT_TRUE(Write_Bin());
    const QByteArray before = ReadBank(P);
    for (int code : {7, 8}) {
        Model_Code = code;
        EXPECT_EQ(Build_Bin(), TBuildStatus::No_Image) << code;
        EXPECT_EQ(Bin_Buffer.Bin_Count, 55296) << code; // the length of the last image stays
        EXPECT_FALSE(Write_Bin()) << code;
        EXPECT_EQ(ReadBank(P), before) << code;
    }
}
