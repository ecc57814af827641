// A language change on a real X server: New project, General parameters and
// the KNX editor, each shown once before, show the new language's texts the
// next time they are shown, without being resized; their pixels are read back
// from the server.
#include "display/ScreenReadBack.h"

#include "app/UComon.h"
#include "app/UKalmetoreFirmWare.h"
#include "app/ULanguage.h"
#include "app/UNew_Project.h"
#include "app/UParGen.h"
#include "editors/UKNXAccess.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Files.h"
#include "support/ToolkitApp.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ScreenReadBack;

namespace {

// A text caret's column of pixels, which blinks between two grabs.
constexpr int Caret_Pixels = 40;

class LanguageOnScreen : public ::testing::Test {
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
        InstallDialogScript(&Script);
        Main = Make<TFKalmetoreFirmWare>();
        Dir_Project = PathJoin(Dir_Projects, QStringLiteral("p"));
        ASSERT_TRUE(ForceDirectories(Dir_Project));
        Set_Files();
        New = Make<TFNew_Project>();
        ParGen = Make<TFParGen>();
        Knx = Make<TFKNXAccess>();
        Register_Language_Listener([this] { New->Set_Lang(); });
        Register_Language_Listener([this] { ParGen->Set_Lang(); });
        Register_Language_Listener([this] { Knx->Set_Lang(); });
    }
    void TearDown() override
    {
        Clear_Language_Listeners();
        for (TCustomForm* f : Made) {
            f->Hide();
            delete f;
        }
        FKalmetoreFirmWare = nullptr;
        FNew_Project = nullptr;
        FParGen = nullptr;
        FKNXAccess = nullptr;
        InstallDialogScript(nullptr);
        Set_Program_Start_Folder(QString());
        Dir_Project.clear();
        Load_Default_Texts();
    }
    template <class T> T* Make()
    {
        T* f = new T(nullptr);
        f->AfterConstruction();
        Made.prepend(f);
        return f;
    }
    // A language file that gives every text of the table another spelling:
    // the English text in capitals after a mark.
    void Write_Language(const QString& name)
    {
        QByteArray body = "\xEF\xBB\xBF";
        for (int n = 0; n < Texts_Size; ++n) {
            const QString t = Text_Of(n).trimmed();
            if (!t.isEmpty())
                body += QStringLiteral("STR %1 = \u00BB%2\r\n").arg(n).arg(t.toUpper()).toUtf8();
        }
        WriteFileWhole(PathJoin(Dir_Language, name + QStringLiteral(".lng")), body);
    }

    QTemporaryDir Tmp;
    TDialogScript Script;
    QList<TCustomForm*> Made;
    TFKalmetoreFirmWare* Main = nullptr;
    TFNew_Project* New = nullptr;
    TFParGen* ParGen = nullptr;
    TFKNXAccess* Knx = nullptr;
};

} // namespace

TEST_F(LanguageOnScreen, DialogsShownBeforeShowTheNewTextsWithoutAResize)
{
    const struct {
        const char* Name;
        TCustomForm* Form;
    } forms[] = {{"new_project", New}, {"general_parameters", ParGen}, {"knx_editor", Knx}};
    QList<QImage> before;
    QStringList captions;
    for (const auto& f : forms) {
        f.Form->Show();
        QWidget* w = Shown(f.Form);
        ASSERT_TRUE(w) << f.Name;
        before << Grab(w);
        captions << f.Form->Caption();
        Keep(before.last(), QStringLiteral("language"), QString::fromLatin1(f.Name) + QStringLiteral("_english"));
        f.Form->Hide();  // as a modal dialog ends
    }

    // Options, a language chosen and confirmed: the texts are loaded and
    // every dialog is re-texted.
    Write_Language(QStringLiteral("Majuscule"));
    Language = QStringLiteral("Majuscule");
    Load_Language();
    ASSERT_EQ(Language, QStringLiteral("Majuscule"));
    Main->Change_Language();

    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(forms[i].Name);
        TCustomForm* f = forms[i].Form;
        EXPECT_NE(f->Caption(), captions[i]);
        f->Show();
        QWidget* w = Shown(f);
        ASSERT_TRUE(w);
        const QImage after = Grab(w);
        Keep(after, QStringLiteral("language"), QString::fromLatin1(forms[i].Name) + QStringLiteral("_changed"));
        ASSERT_EQ(after.size(), before[i].size()) << "nothing was resized";
        EXPECT_GT(Differing(before[i], after), 200) << "the server still shows the old texts";
        // What the server shows is the dialog as it now is, drawn whole (a
        // blinking caret may differ).
        const QImage whole = f->RenderClient().convertToFormat(QImage::Format_RGB32);
        Keep(whole, QStringLiteral("language"), QString::fromLatin1(forms[i].Name) + QStringLiteral("_expected"));
        EXPECT_LE(Differing(after, whole), Caret_Pixels);
        EXPECT_TRUE(XProp(w, QStringLiteral("_NET_WM_NAME")).contains(f->Caption()))
            << XProp(w, QStringLiteral("_NET_WM_NAME")).toStdString();
        f->Hide();
    }
}

// A dialog on the screen while the language changes (the options dialog
// itself is) repaints what changed at once.
TEST_F(LanguageOnScreen, ADialogOnTheScreenRepaintsItsNewTextsAtOnce)
{
    ParGen->Show();
    QWidget* w = Shown(ParGen);
    ASSERT_TRUE(w);
    const QImage before = Grab(w);
    Write_Language(QStringLiteral("Majuscule"));
    Language = QStringLiteral("Majuscule");
    Load_Language();
    Main->Change_Language();
    Settle(300);
    const QImage after = Grab(w);
    Keep(after, QStringLiteral("language"), QStringLiteral("general_parameters_while_shown"));
    EXPECT_GT(Differing(before, after), 200);
    EXPECT_LE(Differing(after, ParGen->RenderClient().convertToFormat(QImage::Format_RGB32)), Caret_Pixels);
    ParGen->Hide();
}
