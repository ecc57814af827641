// The version check: version texts, the newer-or-not decision, and the query
// against a server on the loopback address.
#include "LoopbackHttp.h"
#include "ProgramFolder.h"

#include <QElapsedTimer>

TEST(ConvVersion, DigitBeforeThePointAndThreeAfter)
{
    const struct {
        const char* Text;
        int Value;
    } cases[] = {
        {"VER. 1.300", 1300}, {"1.100", 1100},     {"VER. 1.101", 1101}, {"VER.   2.005  ", 2005},
        {"VER. 1.1019", 1101}, // characters after the fifth are ignored
        {"12.345", -1},       {"VER.1.101", -1},   {"VER. 1.10", -1},    {"", -1},
        {"VER. ", -1},        {"VER. x.1F3", -1},  {"VER. $.123", -1},
        {"VER. 1. 00", -1},   {"VER. 0.000", 0},   {"A B 1.234", -1},
        {"VER. 1,100", 1100}, // the separator itself is not looked at
    };
    for (const auto& c : cases)
        EXPECT_EQ(Conv_Version(QString::fromLatin1(c.Text)), c.Value) << c.Text;
}

TEST(ConvVersion, NewerOnlyWhenBothAreVersionsAndTheOfferIsAbove)
{
    const struct {
        const char* Reply;
        bool Newer;
    } cases[] = {
        {"VER. 1.101", true},  {"  VER. 1.101\r\n", true}, {"ver. 2.000", true},
        {"VER. 1.100", false}, {"VER. 1.099", false},      {"VER. 0.000", false},
        {"ver. 0.000", false}, {"VER.1.101", false},       {"", false},
        {"\r\n", false},       {"<html>Not here</html>", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Is_Newer_Version(QString::fromLatin1(c.Reply), QStringLiteral("1.100")), c.Newer) << c.Reply;
    // A model without a version text never has a newer one.
    EXPECT_FALSE(Is_Newer_Version(QStringLiteral("VER. 9.999"), QString()));
}

namespace {

class UpdateCheck : public ProgramFolder {
protected:
    void Serve(LoopbackHttp& server)
    {
        ASSERT_NE(server.Port(), 0);
        Update_Server().Host = QStringLiteral("127.0.0.1");
        Update_Server().Port = server.Port();
        Update_Server().TimeoutMs = 2000;
    }
};

QByteArray Reply(const QByteArray& body, const QByteArray& status = "200 OK")
{
    return "HTTP/1.0 " + status + "\r\nContent-Type: text/html\r\n\r\n" + body;
}

} // namespace

TEST_F(UpdateCheck, TheQueryAsksTheServerWithTheSoftwareCode)
{
    EXPECT_EQ(Version_Query_Url(QStringLiteral("CF31A06")),
              QStringLiteral("http://www.tavlon.example/home/download/GetversionSW.asp?nomesw=CF31A06"));
    LoopbackHttp server(Reply("VER. 1.101"));
    Serve(server);
    EXPECT_TRUE(Check_Version_Of(9));
    const QList<QByteArray> reqs = server.Requests();
    ASSERT_EQ(reqs.size(), 1);
    EXPECT_TRUE(reqs[0].startsWith("GET /home/download/GetversionSW.asp?nomesw=CF31A06 HTTP/1.0\r\n"))
        << reqs[0].toStdString();
    EXPECT_TRUE(reqs[0].contains(
        "\r\nAccept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"));
    EXPECT_TRUE(reqs[0].contains("\r\nUser-Agent: "));
    EXPECT_FALSE(reqs[0].contains("Cookie"));
}

TEST_F(UpdateCheck, RepliesThatOfferNothingNewer)
{
    const struct {
        QByteArray Raw;
        bool Newer;
    } cases[] = {
        {Reply("VER. 1.101"), true},
        {Reply("VER. 1.100"), false},
        {Reply("VER. 0.000"), false},
        {Reply("VER.1.101"), false},
        {Reply(""), false},
        {Reply("VER. 1.101", "404 Not Found"), false},
        {Reply("VER. 1.101", "500 Internal Server Error"), false},
        {"garbage", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Raw.toStdString());
        LoopbackHttp server(c.Raw);
        Serve(server);
        EXPECT_EQ(Check_Version_Of(9), c.Newer);
    }
}

TEST_F(UpdateCheck, ModelsOutsideTheMakersRangeAskWithNothing)
{
    LoopbackHttp server(Reply("VER. 1.101"));
    Serve(server);
    EXPECT_FALSE(Check_Version_Of(1012));
    const QList<QByteArray> reqs = server.Requests();
    ASSERT_EQ(reqs.size(), 1);
    EXPECT_TRUE(reqs[0].startsWith("GET /home/download/GetversionSW.asp?nomesw= HTTP/1.0\r\n"));
}

TEST_F(UpdateCheck, AServerThatDoesNotAnswerCostsOnlyTheTimeOut)
{
    LoopbackHttp server(QByteArray(), true);
    Serve(server);
    Update_Server().TimeoutMs = 300;
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(Check_Version_Of(9));
    EXPECT_LT(t.elapsed(), 3000);
}

TEST_F(UpdateCheck, NoServerAtAllIsNoNewerVersion)
{
    int port = 0;
    {
        LoopbackHttp gone{QByteArray()};
        port = gone.Port();
    }
    Update_Server().Host = QStringLiteral("127.0.0.1");
    Update_Server().Port = port;
    EXPECT_FALSE(Check_Version_Of(9));
    EXPECT_TRUE(Query_Version(QStringLiteral("CF31A06")).isEmpty());
}

TEST_F(UpdateCheck, TheCheckRunsOnlyWithBothSwitchesOn)
{
    const struct {
        uint8_t Internet, Update;
        bool Allowed;
    } cases[] = {{0, 0, false}, {1, 0, false}, {0, 1, false}, {1, 1, true}};
    for (const auto& c : cases) {
        Enable_Internet = c.Internet;
        Enable_Update = c.Update;
        EXPECT_EQ(Update_Check_Allowed(), c.Allowed) << int(c.Internet) << int(c.Update);
    }
    EXPECT_EQ(First_Update_Check_Ms, 60000u);
    EXPECT_EQ(Next_Update_Check_Ms, 7200000u);
}

TEST_F(UpdateCheck, TheDownloadLinkNamesTheHardwareCode)
{
    EXPECT_EQ(Download_Link(9, Text_Of(19)),
              QStringLiteral("<a href=\"http://www.tavlon.example/Home/download/download.asp#GW31A06\">"
                             "New Version Available. Click Here for more Details</a>"));
}
