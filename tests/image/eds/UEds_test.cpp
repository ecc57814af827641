#include "image/UEds.h"

#include "project/Models.h"
#include "project/OpenProject.h"
#include "platform/core/Files.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Fixture_Dir = QStringLiteral(KAL_TEST_DIR);

// A fixture file with LF line ends, as the CR LF bytes the writer produces.
QByteArray Expected(const QString& name)
{
    QByteArray b = ReadFileWhole(PathJoin(Fixture_Dir, name));
    b.replace("\n", "\r\n");
    return b;
}

// A project folder with its paths set, the clock at 7 March 2018 15:30, and
// helpers to write the two table files.
class EdsProject : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        Dir_Project = FDir.path();
        Set_Files();
        SetNowHook([] { return EncodeDate(2018, 3, 7) + EncodeTime(15, 30, 12, 0); });
        Out = PathJoin(FDir.path(), QStringLiteral("out.eds"));
    }
    void TearDown() override
    {
        SetNowHook(nullptr);
        Dir_Project.clear();
        Set_Files();
    }

    static void Write(const QString& path, const QByteArray& text) { WriteFileWhole(path, text); }
    void Pdo(const QByteArray& receiveRows, const QByteArray& transmitRows)
    {
        Write(File_PDO_CANopen, "<PDO_CANopen><Receive_PDO>" + receiveRows + "</Receive_PDO><Transmit_PDO>" +
                                    transmitRows + "</Transmit_PDO></PDO_CANopen><!--SW_VERSION = 1.000-->");
    }
    void Sdo(const QByteArray& readRows, const QByteArray& writeRows)
    {
        Write(File_SDO_Server_CANopen, "<SDO_Server_CANopen><SDO_Read>" + readRows + "</SDO_Read><SDO_Write>" +
                                           writeRows + "</SDO_Write></SDO_Server_CANopen>");
    }
    QByteArray Written()
    {
        Write_EDS_File(Out);
        return ReadFileWhole(Out);
    }

    QTemporaryDir FDir;
    QString Out;
};

// The lines of one section, from its header to the line before the blank.
QList<QByteArray> Section(const QByteArray& eds, const QByteArray& header)
{
    const QList<QByteArray> lines = eds.split('\n');
    QList<QByteArray> out;
    bool in = false;
    for (QByteArray l : lines) {
        l.chop(l.endsWith('\r') ? 1 : 0);
        if (!in && l == header)
            in = true;
        else if (in && (l.isEmpty() || l.startsWith('[')))
            break;
        if (in)
            out.append(l);
    }
    return out;
}

QList<QByteArray> Headers(const QByteArray& eds)
{
    QList<QByteArray> out;
    for (const QByteArray& l : eds.split('\n'))
        if (l.startsWith('['))
            out.append(l.trimmed());
    return out;
}

QByteArray Row(int cob, int dim)
{
    return "<row COB-ID=\"" + QByteArray::number(cob) + "\" TimeOut=\"0\" Dimension=\"" + QByteArray::number(dim) +
           "\" Address_B1=\"0\"/>";
}

} // namespace

TEST_F(EdsProject, WithoutTableFilesTheFixedSheetEndsWithTheClientSdoObject)
{
    EXPECT_EQ(Written(), Expected(QStringLiteral("empty_project.eds")));
}

TEST_F(EdsProject, OneReceivePdoAddsItsThreeObjectsRightAfterTheFixedOnes)
{
    Pdo(Row(513, 2), "");
    const QByteArray eds = Written();

    const QByteArray fixed = Expected(QStringLiteral("empty_project.eds"));
    QByteArray fixedPart = fixed.left(fixed.size() - 2); // without the final empty line
    fixedPart.replace("NrOfRXPDO=0", "NrOfRXPDO=1");
    fixedPart.replace("SupportedObjects=8\r\n1=0x1005\r\n2=0x1006\r\n3=0x1008\r\n4=0x1014\r\n5=0x1016\r\n"
                      "6=0x1017\r\n7=0x1029\r\n8=0x1280\r\n",
                      "SupportedObjects=11\r\n1=0x1005\r\n2=0x1006\r\n3=0x1008\r\n4=0x1014\r\n5=0x1016\r\n"
                      "6=0x1017\r\n7=0x1029\r\n8=0x1280\r\n9=0x1400\r\n10=0x1600\r\n11=0x7000\r\n");
    EXPECT_EQ(eds, fixedPart + Expected(QStringLiteral("one_rpdo_tail.eds")));
}

TEST_F(EdsProject, TransmitPdosTakeTheirOwnIndexesNamesAndVariables)
{
    // A hexadecimal COB-ID is read as such; a missing dimension counts 8.
    Pdo(Row(513, 1),
        "<row COB-ID=\"0x181\" Send_Time=\"0\" Dimension=\"2\"/>"
        "<row COB-ID=\"386\" Send_Time=\"0\"/>");
    const QByteArray eds = Written();

    EXPECT_EQ(Section(eds, "[DeviceInfo]").mid(21),
              (QList<QByteArray>{"NrOfRXPDO=1", "NrOfTXPDO=2"}));
    EXPECT_TRUE(eds.contains("\r\n17=0x7051\r\n\r\n[ManufacturerObjects]")) << eds.constData();
    EXPECT_TRUE(Section(eds, "[OptionalObjects]").contains("SupportedObjects=17"));

    // Group order: receive communication and mapping, transmit communication
    // and mapping, then the data objects of each direction.
    QList<QByteArray> pdoHeaders;
    for (const QByteArray& h : Headers(eds))
        if (!h.contains("sub") && (h.startsWith("[1") || h.startsWith("[7")) && h > "[1280]")
            pdoHeaders.append(h);
    EXPECT_EQ(pdoHeaders, (QList<QByteArray>{"[1400]", "[1600]", "[1800]", "[1801]", "[1A00]", "[1A01]",
                                             "[7000]", "[7050]", "[7051]"}));

    EXPECT_EQ(Section(eds, "[1801]"), (QList<QByteArray>{"[1801]", "SubNumber=4",
                                                         "ParameterName=Transmit PDO Communication Parameter 2",
                                                         "ObjectType=0x09"}));
    EXPECT_TRUE(Section(eds, "[1800sub1]").contains("DefaultValue=0x00000181"));
    EXPECT_TRUE(Section(eds, "[1801sub1]").contains("DefaultValue=0x00000182"));
    EXPECT_EQ(Section(eds, "[1A01]"), (QList<QByteArray>{"[1A01]", "SubNumber=9",
                                                         "ParameterName=Transmit PDO Mapping Parameter 2",
                                                         "ObjectType=0x09"}));
    EXPECT_TRUE(Section(eds, "[1A01sub0]").contains("DefaultValue=0x08"));
    EXPECT_TRUE(Section(eds, "[1A01sub8]").contains("DefaultValue=0x70510808"));
    EXPECT_TRUE(Section(eds, "[1A00sub2]").contains("DefaultValue=0x70500208"));

    EXPECT_EQ(Section(eds, "[7050sub0]"),
              (QList<QByteArray>{"[7050sub0]", "ParameterName=Number of Entries", "ObjectType=0x07",
                                 "DataType=0x0005", "AccessType=rw", "DefaultValue=0x02", "PDOMapping=0"}));
    EXPECT_EQ(Section(eds, "[7050sub2]"),
              (QList<QByteArray>{"[7050sub2]", "ParameterName=l2", "ObjectType=0x07", "DataType=0x0005",
                                 "AccessType=rwr", "DefaultValue=0x00", "PDOMapping=1"}));
    EXPECT_TRUE(Section(eds, "[7051]").contains("ParameterName=TPDO2"));
    EXPECT_TRUE(Section(eds, "[7051sub8]").contains("ParameterName=m8"));
    EXPECT_FALSE(eds.contains("[7051sub9]"));
}

TEST_F(EdsProject, PdoValuesThatAreNoNumbersFallBack)
{
    Pdo("<row COB-ID=\"abc\" Dimension=\"x\"/><row/>", "");
    Write_EDS_File(Out);
    ASSERT_EQ(Num_RPDO, 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(PDO_List[RPDO_Table][i].COB_ID, 0);
        EXPECT_EQ(PDO_List[RPDO_Table][i].Dimension, 8);
    }
}

TEST_F(EdsProject, SdoIndexesBecomeRecordsWithSortedSubEntries)
{
    Sdo("<row Index=\"8192\" SubIndex=\"3\" NByte=\"2\"/>"
        "<row Index=\"0x2001\" SubIndex=\"10\" NByte=\"1\"/>",
        "<row Index=\"0x2000\" SubIndex=\"1\" NByte=\"4\"/>"
        "<row Index=\"0x2001\" SubIndex=\"0\" NByte=\"3\"/>");
    const QByteArray eds = Written();

    EXPECT_EQ(Section(eds, "[ManufacturerObjects]"),
              (QList<QByteArray>{"[ManufacturerObjects]", "SupportedObjects=2", "1=0x2000", "2=0x2001"}));

    const QList<QByteArray> headers = Headers(eds);
    const QList<QByteArray> tail = headers.mid(headers.indexOf("[2000]"));
    EXPECT_EQ(tail, (QList<QByteArray>{"[2000]", "[2000sub0]", "[2000sub1]", "[2000sub3]", "[2001]",
                                       "[2001sub0]", "[2001subA]"}));
    EXPECT_TRUE(eds.contains("PDOMapping=0\r\n[2000]\r\n")) << "the fixed objects run into the first record";

    EXPECT_EQ(Section(eds, "[2000]"),
              (QList<QByteArray>{"[2000]", "SubNumber=3", "ParameterName=App Vars", "ObjectType=0x9"}));
    EXPECT_EQ(Section(eds, "[2000sub0]"),
              (QList<QByteArray>{"[2000sub0]", "ParameterName=Largest Sub-Index supported", "ObjectType=0x7",
                                 "DataType=0x0005", "AccessType=ro", "DefaultValue=0x03", "PDOMapping=0"}));
    EXPECT_EQ(Section(eds, "[2000sub1]"),
              (QList<QByteArray>{"[2000sub1]", "ParameterName=Application Variable", "ObjectType=0x7",
                                 "DataType=0x0007", "LowLimit=0x00000000", "HighLimit=0xFFFFFFFF",
                                 "DefaultValue=0x00000000", "AccessType=rw", "PDOMapping=0"}));
    EXPECT_EQ(Section(eds, "[2000sub3]"),
              (QList<QByteArray>{"[2000sub3]", "ParameterName=Application Variable", "ObjectType=0x7",
                                 "DataType=0x0006", "LowLimit=0x0000", "HighLimit=0xFFFF",
                                 "DefaultValue=0x0000", "AccessType=ro", "PDOMapping=0"}));

    // With a sub-index 0 of its own no "largest" entry is added.
    EXPECT_TRUE(Section(eds, "[2001]").contains("SubNumber=2"));
    EXPECT_TRUE(Section(eds, "[2001sub0]").contains("ParameterName=Application Variable"));
    EXPECT_TRUE(Section(eds, "[2001sub0]").contains("DataType=0x0007")); // any size but 1 and 2
    EXPECT_EQ(Section(eds, "[2001subA]").mid(3, 4),
              (QList<QByteArray>{"DataType=0x0005", "LowLimit=0x00", "HighLimit=0xFF", "DefaultValue=0x00"}));

    // The last section's empty line, then the closing one; CR LF throughout.
    EXPECT_TRUE(eds.endsWith("PDOMapping=0\r\n\r\n\r\n"));
    EXPECT_FALSE(QByteArray(eds).replace("\r\n", "").contains('\n'));
    EXPECT_FALSE(QByteArray(eds).replace("\r\n", "").contains('\r'));
}

TEST(EdsSort, EqualSubIndexesKeepTheirOrder)
{
    SDO_List.clear();
    SDO_Index idx;
    idx.Index = 0x3000;
    const int subs[] = {5, 2, 5, 0, 2};
    for (int i = 0; i < 5; ++i) {
        SDO_Sub_Type s;
        s.Sub = uint8_t(subs[i]);
        s.Quantity = uint8_t(i); // marks the original position
        idx.Sub_Indexs.append(s);
    }
    SDO_List.append(idx);
    EDS_Sort_Sub_Indexs();
    QList<int> order;
    for (const SDO_Sub_Type& s : SDO_List[0].Sub_Indexs)
        order.append(s.Quantity);
    EXPECT_EQ(order, (QList<int>{3, 1, 4, 0, 2}));
    EXPECT_EQ(EDS_Find_SDO_Index(0x3000), 0);
    EXPECT_EQ(EDS_Find_SDO_Index(0x3001), -1);
    SDO_List.clear();
}

TEST(EdsStamp, DateAndTwelveHourTime)
{
    EXPECT_EQ(EDS_Date_Text(EncodeDate(2018, 3, 7)), "03-07-2018");
    EXPECT_EQ(EDS_Date_Text(EncodeDate(2021, 12, 31) + EncodeTime(23, 59, 59, 999)), "12-31-2021");
    const struct {
        int h, m;
        const char* text;
    } cases[] = {
        {15, 30, "03:30PM"}, {9, 5, "09:05AM"}, {23, 59, "11:59PM"}, {1, 0, "01:00AM"},
        {11, 59, "11:59AM"}, {13, 0, "01:00PM"}, {12, 0, "12:00PM"}, {12, 45, "12:45PM"},
        {0, 0, "12:00AM"},   {0, 7, "12:07AM"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EDS_Time_Text(EncodeDate(2018, 3, 7) + EncodeTime(c.h, c.m, 59, 999)), QString::fromLatin1(c.text))
            << c.h << ":" << c.m;
}

// Faulty table files stop the writing with a message naming the file, and
// leave an earlier file at the target untouched.
TEST_F(EdsProject, FaultyTableFilesWriteNothing)
{
    QByteArray many;
    for (int i = 0; i < 31; ++i)
        many += Row(0x200 + i, 1);
    QByteArray sdoRows;
    for (int i = 0; i < Max_SDO_Rows + 1; ++i)
        sdoRows += "<row Index=\"" + QByteArray::number(8192 + i % 7) + "\" SubIndex=\"" + QByteArray::number(i % 256)
                   + "\" NByte=\"1\"/>";
    const struct {
        const char* what;
        bool pdoFile;
        QByteArray text;
        const char* inMessage;
    } cases[] = {
        {"no receive list", true, "<PDO_CANopen><Transmit_PDO/></PDO_CANopen>", "Receive_PDO"},
        {"no transmit list", true, "<PDO_CANopen><Receive_PDO/></PDO_CANopen>", "Transmit_PDO"},
        {"31 receive PDOs", true, "<PDO_CANopen><Receive_PDO>" + many + "</Receive_PDO><Transmit_PDO/></PDO_CANopen>",
         "31"},
        {"31 transmit PDOs", true, "<PDO_CANopen><Receive_PDO/><Transmit_PDO>" + many + "</Transmit_PDO></PDO_CANopen>",
         "31"},
        {"dimension 9", true, "<PDO_CANopen><Receive_PDO>" + Row(1, 9) + "</Receive_PDO><Transmit_PDO/></PDO_CANopen>",
         "dimension 9"},
        {"negative dimension", true,
         "<PDO_CANopen><Receive_PDO/><Transmit_PDO>" + Row(1, -1) + "</Transmit_PDO></PDO_CANopen>", "dimension -1"},
        {"no read list", false, "<SDO_Server_CANopen><SDO_Write/></SDO_Server_CANopen>", "SDO_Read"},
        {"no write list", false, "<SDO_Server_CANopen><SDO_Read/></SDO_Server_CANopen>", "SDO_Write"},
        {"index not a number", false,
         "<SDO_Server_CANopen><SDO_Read><row Index=\"abc\" SubIndex=\"1\" NByte=\"1\"/></SDO_Read><SDO_Write/>"
         "</SDO_Server_CANopen>",
         "'abc'"},
        {"sub-index missing", false,
         "<SDO_Server_CANopen><SDO_Read/><SDO_Write><row Index=\"8192\" NByte=\"1\"/></SDO_Write>"
         "</SDO_Server_CANopen>",
         "SubIndex"},
        {"byte count with a trailing blank", false,
         "<SDO_Server_CANopen><SDO_Read><row Index=\"8192\" SubIndex=\"1\" NByte=\"1 \"/></SDO_Read><SDO_Write/>"
         "</SDO_Server_CANopen>",
         "NByte"},
        {"sub-index beyond 255", false,
         "<SDO_Server_CANopen><SDO_Read><row Index=\"8192\" SubIndex=\"256\" NByte=\"1\"/></SDO_Read><SDO_Write/>"
         "</SDO_Server_CANopen>",
         "256"},
        {"index beyond 16 bits", false,
         "<SDO_Server_CANopen><SDO_Read><row Index=\"0x12000\" SubIndex=\"1\" NByte=\"1\"/></SDO_Read><SDO_Write/>"
         "</SDO_Server_CANopen>",
         "73728"},
        {"not well-formed", true, "<PDO_CANopen><Receive_PDO>", "line"},
        {"513 SDO read rows", false,
         "<SDO_Server_CANopen><SDO_Read>" + sdoRows + "</SDO_Read><SDO_Write/></SDO_Server_CANopen>",
         "more than 512 rows"},
        {"513 SDO write rows", false,
         "<SDO_Server_CANopen><SDO_Read/><SDO_Write>" + sdoRows + "</SDO_Write></SDO_Server_CANopen>",
         "more than 512 rows"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(File_PDO_CANopen);
        QFile::remove(File_SDO_Server_CANopen);
        Write(c.pdoFile ? File_PDO_CANopen : File_SDO_Server_CANopen, c.text);
        Write(Out, "earlier");
        const QString file = c.pdoFile ? File_PDO_CANopen : File_SDO_Server_CANopen;
        try {
            Write_EDS_File(Out);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Message().contains(file)) << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains(QString::fromLatin1(c.inMessage))) << e.Message().toStdString();
        }
        EXPECT_EQ(ReadFileWhole(Out), QByteArray("earlier"));
    }
}

TEST_F(EdsProject, FullSdoListsAreReadAndSortedByIndexAndSubIndex)
{
    // 512 rows per list, sub-indexes arriving in falling order over 64
    // object indexes: each object lists its sub-entries rising.
    QByteArray reads, writes;
    for (int i = 0; i < Max_SDO_Rows; ++i) {
        const QByteArray index = QByteArray::number(8192 + i % 64);
        reads += "<row Index=\"" + index + "\" SubIndex=\"" + QByteArray::number(255 - i / 64) + "\" NByte=\"2\"/>";
        writes += "<row Index=\"" + index + "\" SubIndex=\"" + QByteArray::number(i / 64) + "\" NByte=\"4\"/>";
    }
    Write(File_SDO_Server_CANopen,
          "<SDO_Server_CANopen><SDO_Read>" + reads + "</SDO_Read><SDO_Write>" + writes + "</SDO_Write></SDO_Server_CANopen>");
    SDO_List.clear();
    EDS_Load_SDO_Server();
    EDS_Sort_Sub_Indexs();
    ASSERT_EQ(SDO_List.size(), 64);
    for (const SDO_Index& e : SDO_List) {
        ASSERT_EQ(e.Sub_Indexs.size(), 16);
        for (int k = 1; k < e.Sub_Indexs.size(); ++k)
            EXPECT_LT(e.Sub_Indexs[k - 1].Sub, e.Sub_Indexs[k].Sub);
    }
    EXPECT_EQ(EDS_Find_SDO_Index(8192 + 63), 63);
}

TEST_F(EdsProject, APathThatCannotBeWrittenRaises)
{
    const QString blocked = PathJoin(FDir.path(), QStringLiteral("no/such/folder/x.eds"));
    EXPECT_THROW(Write_EDS_File(blocked), EFCreateError);
}

TEST_F(EdsProject, TheStepAsksInTheProjectFolderAndWritesTheChosenPath)
{
    QString dir, filter, ext;
    const auto chooser = [&](bool confirm) {
        return [&, confirm](const QString& d, const QString& f, const QString& e, QString& name) {
            dir = d;
            filter = f;
            ext = e;
            name = Out;
            return confirm;
        };
    };
    Build_EDS_File(chooser(false));
    EXPECT_EQ(dir, FDir.path());
    EXPECT_EQ(filter, "Electronic Data Sheet (*.eds)|*.eds");
    EXPECT_EQ(ext, "*.eds");
    EXPECT_FALSE(FileExists(Out)) << "cancel writes nothing";

    Build_EDS_File(chooser(true));
    EXPECT_EQ(ReadFileWhole(Out), Expected(QStringLiteral("empty_project.eds")));

    EXPECT_THROW(Build_EDS_File(nullptr), EInvalidOperation);
}
