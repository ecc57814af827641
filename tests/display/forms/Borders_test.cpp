// Borders on a real X server: the fixed dialogs tell the window manager
// that their size cannot change and offer no minimise or maximise box; the
// open-project list keeps its sizing border.
#include "display/ScreenReadBack.h"

#include "app/UAbout.h"
#include "app/UBootTCP.h"
#include "app/UComon.h"
#include "app/UKalmetoreFirmWare.h"
#include "app/ULanguage.h"
#include "app/UNew_Project.h"
#include "app/UOpenConf.h"
#include "app/UParGen.h"
#include "app/USoftOptions.h"
#include "image/dialogs/UProfinetFileName.h"
#include "mbus/UMeter_Bus.h"
#include "mbus/UNewIDNode.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/StdCtrls.h"
#include "support/ToolkitApp.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ScreenReadBack;

namespace {

// What the window manager is told of a window.
struct TWmHints {
    QSize Min, Max;        // empty when not given
    bool Maximise = true;  // the maximise box and function are offered
    bool Minimise = true;
};

QSize Hint_Size(const QString& hints, const char* which)
{
    const QRegularExpression re(QStringLiteral("program specified %1 size: (\\d+) by (\\d+)").arg(QLatin1String(which)));
    const auto m = re.match(hints);
    return m.hasMatch() ? QSize(m.captured(1).toInt(), m.captured(2).toInt()) : QSize();
}

// _MOTIF_WM_HINTS: flags, functions, decorations. With the "all" bit set the
// other bits take away; without it they give.
bool Motif_Offers(const QList<unsigned>& v, int field, unsigned bit)
{
    if (v.size() < 3 || !(v[0] & (field == 1 ? 1u : 2u)))
        return true;  // nothing said: the window manager's default, every box
    const unsigned f = v[field];
    return (f & 1u) ? !(f & bit) : (f & bit) != 0;
}

TWmHints Read_Hints(QWidget* w)
{
    TWmHints h;
    const QString normal = XProp(w, QStringLiteral("WM_NORMAL_HINTS"));
    h.Min = Hint_Size(normal, "minimum");
    h.Max = Hint_Size(normal, "maximum");
    QList<unsigned> motif;
    const QString m = XProp(w, QStringLiteral("_MOTIF_WM_HINTS"));
    const int eq = int(m.indexOf(QLatin1Char('=')));
    if (eq >= 0)
        for (const QString& part : m.mid(eq + 1).split(QLatin1Char(','), Qt::SkipEmptyParts))
            motif << part.trimmed().toUInt(nullptr, 0);
    // Functions: minimise 0x8, maximise 0x10; decorations: 0x20, 0x40.
    h.Maximise = Motif_Offers(motif, 1, 0x10) && Motif_Offers(motif, 2, 0x40);
    h.Minimise = Motif_Offers(motif, 1, 0x08) && Motif_Offers(motif, 2, 0x20);
    return h;
}

class Borders : public ::testing::Test {
protected:
    static void SetUpTestSuite() { KalTest::EnsureToolkitApp(); }
    void SetUp() override
    {
        ASSERT_TRUE(Tmp.isValid());
        Model_Code = 9;
        Language = QStringLiteral("English");
        Set_Program_Folders(Tmp.path());
        Force_Program_Folders();
        Set_Program_Start_Folder(Tmp.path());
        Load_Default_Texts();
        Set_Files();
        InstallDialogScript(&Script);
    }
    void TearDown() override
    {
        for (TCustomForm* f : Made) {
            f->Hide();
            delete f;
        }
        FKalmetoreFirmWare = nullptr;
        FNew_Project = nullptr;
        FOpenConf = nullptr;
        FAbout = nullptr;
        FSoftOptions = nullptr;
        FParGen = nullptr;
        FBootTCP = nullptr;
        FProfinetFileName = nullptr;
        FMeter_Bus = nullptr;
        FNewIDNode = nullptr;
        InstallDialogScript(nullptr);
        Set_Program_Start_Folder(QString());
    }
    template <class T> T* Make()
    {
        T* f = new T(nullptr);
        f->AfterConstruction();
        Made.prepend(f);
        return f;
    }

    QTemporaryDir Tmp;
    TDialogScript Script;
    QList<TCustomForm*> Made;
};

} // namespace

TEST_F(Borders, TheFixedDialogsKeepTheirSizeAndOfferNoMaximiseOrMinimiseBox)
{
    Make<TFKalmetoreFirmWare>();
    Make<TFMeter_Bus>();
    const struct {
        const char* Name;
        TCustomForm* Form;
    } forms[] = {
        {"main", FKalmetoreFirmWare},
        {"new_project", Make<TFNew_Project>()},
        {"about", Make<TFAbout>()},
        {"options", Make<TFSoftOptions>()},
        {"general_parameters", Make<TFParGen>()},
        {"update_wizard", Make<TFBootTCP>()},
        {"profinet_file_name", Make<TFProfinetFileName>()},
        {"new_node_id", Make<TFNewIDNode>()},
    };
    for (const auto& f : forms) {
        SCOPED_TRACE(f.Name);
        f.Form->Show();
        QWidget* w = Shown(f.Form);
        ASSERT_TRUE(w);
        EXPECT_TRUE(Keep(Grab(w), QStringLiteral("forms"), QString::fromLatin1(f.Name)));
        const TWmHints h = Read_Hints(w);
        const QSize size(f.Form->ClientWidth(), f.Form->ClientHeight());
        EXPECT_EQ(h.Min, size);
        EXPECT_EQ(h.Max, size) << "the window manager may make it larger";
        EXPECT_FALSE(h.Maximise);
        EXPECT_FALSE(h.Minimise);
        EXPECT_FALSE(w->windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
        EXPECT_TRUE(w->windowFlags() & Qt::WindowCloseButtonHint) << "the system menu's close box stays";
        f.Form->Hide();
    }
}

TEST_F(Borders, TheMainWindowShowsItsLastStepAndItsIconButtonsWhole)
{
    TFKalmetoreFirmWare* main = Make<TFKalmetoreFirmWare>();
    main->Show();
    QWidget* w = Shown(main);
    ASSERT_TRUE(w);
    // A request from the program itself to shrink the window does not take.
    w->resize(400, 300);
    Settle();
    const QImage shown = Grab(w);
    Keep(shown, QStringLiteral("forms"), QStringLiteral("main_after_shrink"));
    EXPECT_EQ(shown.size(), QSize(694, 484));
    EXPECT_EQ(main->ClientWidth(), 694);
    EXPECT_EQ(main->ClientHeight(), 484);
}

TEST_F(Borders, OpenProjectKeepsItsSizingBorder)
{
    TFOpenConf* open = Make<TFOpenConf>();
    open->Show();
    QWidget* w = Shown(open);
    ASSERT_TRUE(w);
    const TWmHints h = Read_Hints(w);
    EXPECT_TRUE(h.Max.isEmpty() || h.Max != h.Min) << "a sizeable window has room to grow";
    EXPECT_TRUE(h.Maximise);
    const int listWidth = open->ListBox1->Width();
    w->resize(open->ClientWidth() + 100, open->ClientHeight() + 50);
    Settle();
    EXPECT_EQ(Grab(w).width(), 377 + 100);
    EXPECT_EQ(open->ClientWidth(), 377 + 100);
    EXPECT_EQ(open->ListBox1->Width(), listWidth + 100) << "the list follows the window's right edge";
    open->Hide();
}
