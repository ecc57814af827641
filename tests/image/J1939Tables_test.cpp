// The J1939 receive and send tables filled from the two frame files.
#include "ImageTestUtil.h"

#include "image/ImageBuild.h"
#include "image/J1939Tables.h"

#include <functional>

namespace {

QString Frames(const QString& rows)
{
    return QStringLiteral("<Receive_J1939>%1</Receive_J1939><!--SW_VERSION = 1.100-->").arg(rows);
}

QString RecRow(const QString& attrs)
{
    return QStringLiteral("<row %1/>").arg(attrs);
}

struct Loaded {
    Loaded(const QString& rec, const QString& send, const QString& parGen = QString())
        : Build(P.Dir(), 9, Buffer)
    {
        if (!rec.isNull())
            P.Write(QStringLiteral("J1939_Rec_Frames.xml"), Frames(rec));
        if (!send.isNull())
            P.Write(QStringLiteral("J1939_Send_Frames.xml"), Frames(send));
        if (!parGen.isNull())
            P.Write(QStringLiteral("ParGen.xml"), ParGenXml(parGen));
        Build.Bin_Par_Gen.Init_Par_Gen();
        Load_Par_Gen_J1939(Build);
        Load_J1939_Frames(Build, Tables);
    }
    const TJ1939_Record& Rec(int i) const { return Tables.J1939_Rec_Table[size_t(i)]; }
    const TJ1939_Record& Send(int i) const { return Tables.J1939_Send_Table[size_t(i)]; }
    TTestProject P;
    TBinBuffer Buffer;
    TImageBuild Build;
    TJ1939_Tables Tables;
};

} // namespace

TEST(J1939Receive, IdentifiersWithAndWithoutPeerToPeer)
{
    struct Case {
        const char* Attrs;
        bool PeerToPeer;
        uint32_t Id;
    } const cases[] = {
        {"DP=\"0\" PGN=\"65262\" SA=\"0\"", false, 0x00FEEE00},
        {"DP=\"0\" PGN=\"65262\" SA=\"0\"", true, 0x00FEEE00},
        {"DP=\"0\" PGN=\"65262\" SA=\"5\"", false, 0x00FEEE05},
        {"DP=\"0\" PGN=\"65262\" SA=\"5\"", true, 0x00FEEE00},
        {"DP=\"1\" PGN=\"0xFEEE\" SA=\"$0A\"", false, 0x01FEEE0A},
        {"DP=\"1\" SA=\"3\"", false, 0x01000003},         // a missing PGN only shifts
        {"DP=\"1\" PGN=\"256\" SA=\"x\"", false, 0x01010000}, // so does an SA that is not a number
    };
    for (const Case& c : cases) {
        const Loaded l(RecRow(QString::fromLatin1(c.Attrs)), QString(),
                       c.PeerToPeer ? QStringLiteral("<J1939_PEER_TO_PEER>1</J1939_PEER_TO_PEER>") : QString());
        EXPECT_EQ(l.Rec(0).Identifier, c.Id) << c.Attrs << " peer " << c.PeerToPeer;
    }
}

TEST(J1939Receive, DataOffsetsFollowTheByteCounts)
{
    const Loaded l(RecRow(QStringLiteral("PGN=\"1\" TP_NByte=\"8\"")) + RecRow(QStringLiteral("PGN=\"2\" TP_NByte=\"20\""))
                       + RecRow(QStringLiteral("PGN=\"3\" TP_NByte=\"4\"")) + RecRow(QStringLiteral("PGN=\"4\"")),
                   QString());
    const uint16_t offsets[] = {0, 8, 28, 32}, counts[] = {8, 20, 4, 8};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(l.Rec(i).Data_Offset, offsets[i]) << i;
        EXPECT_EQ(l.Rec(i).Byte_Count, counts[i]) << i;
    }
    EXPECT_EQ(l.Tables.J1939_Rec_Count, 4);
    EXPECT_EQ(l.Build.Bin_Par_Gen.Get(TParGenField::J1939_Rec_Count), 4u);
}

TEST(J1939Receive, DeleteTransportAndRequestFlags)
{
    struct Case {
        const char* Attrs;
        const char* ParGen;
        uint32_t Delete;
        uint16_t TP;
        uint8_t Flags;
        uint32_t ReqTime;
    } const cases[] = {
        {"Delete=\"Y\"", "<J1939_TIMEOUT>3</J1939_TIMEOUT>", 3000, 0, 0, 0},
        {"Delete=\"Y\"", nullptr, 0, 0, 0, 0},
        {"Delete=\"y\"", "<J1939_TIMEOUT>3</J1939_TIMEOUT>", 0, 0, 0, 0}, // compared unchanged
        {"TP=\"Y\" TP_NByte=\"4\"", nullptr, 0, 1, 0, 0},              // the flag comes from TP only
        {"TP=\"y\" TP_NByte=\"20\"", nullptr, 0, 0, 0, 0},
        {"OnRequest=\"y\" OnReq_Time=\"4294967297\"", nullptr, 0, 0, 0x80, 1}, // low 32 bits
        {"OnReq_Time=\"-1\"", nullptr, 0, 0, 0, 0xFFFFFFFF},
        {"OnReq_Time=\"soon\" TP_Start=\"3\"", nullptr, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const Loaded l(RecRow(QStringLiteral("PGN=\"1\" ") + QLatin1String(c.Attrs)), QString(),
                       c.ParGen ? QString::fromLatin1(c.ParGen) : QString());
        const TJ1939_Record& r = l.Rec(0);
        EXPECT_EQ(r.Time_8, c.Delete) << c.Attrs;
        EXPECT_EQ(r.TP_Flag, c.TP) << c.Attrs;
        EXPECT_EQ(r.Flags, c.Flags) << c.Attrs;
        EXPECT_EQ(r.Time_20, c.ReqTime) << c.Attrs;
        EXPECT_EQ(r.Time_4, 0u) << c.Attrs;
    }
    EXPECT_EQ(Loaded(RecRow(QStringLiteral("TP_Start=\"3\"")), QString()).Rec(0).Start_Byte, 3);
}

TEST(J1939Send, RecordsOfTheSendTable)
{
    struct Case {
        const char* Attrs;
        uint32_t Id;
        uint32_t Period;
        uint16_t Count;
        uint16_t TP;
        uint8_t Flags;
    } const cases[] = {
        {"Priority=\"6\" DP=\"0\" PGN=\"61444\" SA=\"0\" TP_NByte=\"8\" On_Timer=\"Y\" SendTimer=\"100\"", 0x18F00400, 100,
         8, 0, 0x11},
        {"Priority=\"6\" PGN=\"61444\" TP_NByte=\"9\" On_Request=\"y\" On_Data_Change=\"Y\" SendTimer=\"100\"",
         0x18F00400, 0, 9, 1, 0x61},
        {"Priority=\"x\" DP=\"1\" PGN=\"1\" SA=\"2\" On_Timer=\"Y\" SendTimer=\"\"", 0x01000102, 0, 8, 0, 0x11},
        {"Priority=\"7\" DP=\"1\" PGN=\"65535\" SA=\"255\" TP_NByte=\"1785\"", 0x1DFFFFFF, 0, 1785, 1, 0x01},
    };
    for (const Case& c : cases) {
        const Loaded l(QString(), RecRow(QString::fromLatin1(c.Attrs)));
        const TJ1939_Record& r = l.Send(0);
        EXPECT_EQ(r.Identifier, c.Id) << c.Attrs;
        EXPECT_EQ(r.Time_4, c.Period) << c.Attrs;
        EXPECT_EQ(r.Byte_Count, c.Count) << c.Attrs;
        EXPECT_EQ(r.TP_Flag, c.TP) << c.Attrs;
        EXPECT_EQ(r.Flags, c.Flags) << c.Attrs;
        EXPECT_EQ(r.Time_8, 0xFFFFFFFFu) << c.Attrs;
        EXPECT_EQ(r.Time_20, 0xFFFFFFFFu) << c.Attrs;
    }
}

TEST(J1939Send, DataOffsetsStartAgainInTheSendTable)
{
    const Loaded l(RecRow(QStringLiteral("TP_NByte=\"16\"")),
                   RecRow(QStringLiteral("TP_NByte=\"3\"")) + RecRow(QStringLiteral("TP_NByte=\"5\"")));
    EXPECT_EQ(l.Send(0).Data_Offset, 0);
    EXPECT_EQ(l.Send(1).Data_Offset, 3);
    EXPECT_EQ(l.Tables.J1939_Send_Count, 2);
    EXPECT_EQ(l.Build.Bin_Par_Gen.Get(TParGenField::J1939_Send_Count), 2u);
}

TEST(J1939Tables, EmptyAndMissingFilesLeaveEmptyTables)
{
    const Loaded none{QString(), QString()};
    const Loaded empty(QStringLiteral(""), QStringLiteral("<!-- no rows -->"));
    for (const Loaded* l : {&none, &empty}) {
        EXPECT_EQ(l->Tables.J1939_Rec_Count, 0);
        EXPECT_EQ(l->Tables.J1939_Send_Count, 0);
        TBinBuffer buffer;
        EXPECT_EQ(Save_J1939_Tables(l->Tables, 64, buffer), 64 + 32768);
        const QByteArray bytes(reinterpret_cast<const char*>(buffer.Data()) + 64, 32768);
        const QByteArray empty = Hex("ffffffff ffffffff ffffffff 0000 0000 0000 0000 ffffffff 00000000 0000 00 00");
        for (int i = 0; i < 1024; ++i)
            ASSERT_EQ(bytes.mid(32 * i, 32), empty) << i;
    }
}

TEST(J1939Tables, NoMoreFramesThanATableHolds)
{
    QString rows;
    for (int i = 0; i < 512; ++i)
        rows += RecRow(QStringLiteral("PGN=\"%1\" TP_NByte=\"1\"").arg(i));
    const Loaded full(rows, rows);
    EXPECT_EQ(full.Tables.J1939_Rec_Count, 512);
    EXPECT_EQ(full.Rec(511).Data_Offset, 511);
    EXPECT_EQ(full.Send(511).Identifier, 511u << 8);

    const QString over = rows + RecRow(QStringLiteral("PGN=\"1\""));
    const QString recMsg = Message([&] { Loaded l(over, QString()); });
    EXPECT_TRUE(recMsg.contains(QLatin1String("receive")) && recMsg.contains(QLatin1String("J1939_Rec_Frames.xml")))
        << recMsg.toStdString();
    const QString sendMsg = Message([&] { Loaded l(QString(), over); });
    EXPECT_TRUE(sendMsg.contains(QLatin1String("send")) && sendMsg.contains(QLatin1String("J1939_Send_Frames.xml")))
        << sendMsg.toStdString();
}
