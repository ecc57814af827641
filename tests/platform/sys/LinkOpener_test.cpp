#include "platform/core/Files.h"
#include "platform/sys/LinkOpener.h"
#include "platform/sys/Processes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace Sys;

namespace {

// The real opener over the fake process service: what would be started is
// recorded, nothing is opened.
class LinkOpenerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto p = std::make_unique<FakeProcesses>();
        Procs = p.get();
        SetProcesses(std::move(p));
    }
    void TearDown() override { SetProcesses(nullptr); }
    // The address handed to xdg-open, or empty when nothing was started.
    QString Opened(const QString& target)
    {
        const qsizetype before = Procs->Starts.size();
        const bool ok = Opener.OpenLink(target);
        if (Procs->Starts.size() == before) {
            EXPECT_FALSE(ok) << target.toStdString();
            return QString();
        }
        EXPECT_TRUE(ok);
        const auto& s = Procs->Starts.last();
        EXPECT_EQ(s.Program, QStringLiteral("xdg-open"));
        EXPECT_EQ(s.Args.size(), 1);
        EXPECT_TRUE(Procs->Detached.contains(s.Id)); // not waited for, but reaped
        return s.Args.value(0);
    }
    FakeProcesses* Procs = nullptr;
    RealLinkOpener Opener;
};

} // namespace

TEST_F(LinkOpenerTest, WebAndMailAddressesOpenAndEverythingElseIsRefused)
{
    struct Case {
        const char* target;
        const char* opened; // nullptr: refused
    } cases[] = {
        {"www.x.example", "http://www.x.example"},
        {"http://www.x.example/Home/download/download.asp#GW31A06",
         "http://www.x.example/Home/download/download.asp#GW31A06"},
        {"HTTPS://a.example/HOME/default.asp?frompg=CF31A06", "https://a.example/HOME/default.asp?frompg=CF31A06"},
        {"mailto:info@x.example", "mailto:info@x.example"},
        {"javascript:x", nullptr},
        {"file:///etc/passwd", nullptr},
        {"/etc/passwd", nullptr},
        {"ftp://x.example/", nullptr},
        {"http://", nullptr},
        {"mailto:", nullptr},
        {"x.example", nullptr},
        {"-e http://x.example", nullptr},
        {"http://x.example/\nrm -rf", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Opened(QString::fromLatin1(c.target)), c.opened ? QString::fromLatin1(c.opened) : QString())
            << c.target;
}

TEST_F(LinkOpenerTest, OnlyFilesTheProgramWroteOpen)
{
    QTemporaryDir root;
    const QString proj = PathJoin(root.path(), QStringLiteral("PROJECTS"));
    ASSERT_TRUE(ForceDirectories(PathJoin(proj, QStringLiteral("P1"))));
    const auto make = [](const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    };
    const QString inside = PathJoin(proj, QStringLiteral("P1/table.html"));
    const QString outside = PathJoin(root.path(), QStringLiteral("secret.txt"));
    const QString exported = PathJoin(root.path(), QStringLiteral("export.csv"));
    make(inside);
    make(outside);
    make(exported);
    ASSERT_TRUE(QFile::link(outside, PathJoin(proj, QStringLiteral("P1/link.txt"))));

    Opener.AddAllowedFolder(proj);
    Opener.RegisterOwnFile(exported);
    const QString url = QUrl::fromLocalFile(QFileInfo(inside).canonicalFilePath()).toString();
    EXPECT_EQ(Opened(inside), url);
    EXPECT_EQ(Opened(QUrl::fromLocalFile(inside).toString()), url);
    EXPECT_FALSE(Opened(exported).isEmpty());

    EXPECT_TRUE(Opened(outside).isEmpty());
    // Climbing out of the folder, by ".." or by a link inside it.
    EXPECT_TRUE(Opened(PathJoin(proj, QStringLiteral("P1/../../secret.txt"))).isEmpty());
    EXPECT_TRUE(Opened(PathJoin(proj, QStringLiteral("P1/link.txt"))).isEmpty());
    // A folder is no file, and a missing file is not opened.
    EXPECT_TRUE(Opened(PathJoin(proj, QStringLiteral("P1"))).isEmpty());
    EXPECT_TRUE(Opened(PathJoin(proj, QStringLiteral("P1/missing.html"))).isEmpty());
}

TEST_F(LinkOpenerTest, AnOpenerThatCannotStartIsReportedAsFalse)
{
    Procs->FailStartWith = QStringLiteral("xdg-open not found");
    EXPECT_FALSE(Opener.OpenLink(QStringLiteral("www.x.example")));
}
