// The PROFINET file-name dialog and the device-description steps, driven
// through the scripted dialog service in a project folder of their own.
#include "image/dialogs/UProfinetFileName.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UKalmetoreFirmWare.h"
#include "app/ULanguage.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/DateTime.h"
#include "platform/core/Files.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace {

const QString Tavlon_Name = QStringLiteral("GSDML-V2.31-Tavlon-GW31A12-20180528.xml");
const QString Tavlon_Lab = QStringLiteral("GSDML-V2.31-Tavlon-GW31A12_lab-20180528.xml");

class ProfinetFileName : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Tmp.isValid());
        Project = PathJoin(Tmp.path(), QStringLiteral("PROJECTS/P1"));
        Other = PathJoin(Tmp.path(), QStringLiteral("elsewhere"));
        ASSERT_TRUE(ForceDirectories(Project));
        ASSERT_TRUE(ForceDirectories(Other));
        Dir_Project = Project;
        Set_Files();
        Load_Default_Texts();
        // The program was started on 28 May 2018.
        SetNowHook([] { return EncodeDate(2018, 5, 28) + EncodeTime(9, 15, 0, 0); });
        InstallDialogScript(&Script);
        Create_Form(12);
    }
    void TearDown() override
    {
        delete Form;
        FProfinetFileName = nullptr;
        InstallDialogScript(nullptr);
        GSDML_Dialogs = TGSDMLDialogs();
        SetNowHook(nullptr);
        Dir_Project.clear();
        Set_Files();
        Model_Code = 9;
        Set_Model_Texts();
    }

    // The dialog as the program's start creates it for `model`.
    void Create_Form(int model)
    {
        delete Form;
        Model_Code = model;
        Set_Model_Texts();
        Form = new TFProfinetFileName(nullptr);
        Form->AfterConstruction();
    }
    // The next showing of the dialog: the user types `user` and clicks OK.
    void Answer_Name(const QString& user)
    {
        Script.AnswerModal([this, user](TCustomForm*) {
            Form->E_XML_User->SetText(user);
            Form->Btn_OK->Click();
        });
    }
    void Answer_Cancel()
    {
        Script.AnswerModal([this](TCustomForm*) { Form->Btn_Cancel->Click(); });
    }
    void ParGen(const QByteArray& keys)
    {
        WriteFileWhole(File_ParGen, "<Par_Gen>" + keys + "</Par_Gen><!--SW_VERSION = 1.100-->");
    }
    QList<TDialogRecord> Shown(TDialogKind kind) const
    {
        QList<TDialogRecord> r;
        for (const TDialogRecord& d : Script.Shown)
            if (d.Kind == kind)
                r.append(d);
        return r;
    }

    QTemporaryDir Tmp;
    QString Project, Other;
    TDialogScript Script;
    TFProfinetFileName* Form = nullptr;
};

// ---------------------------------------------------------------------------
// The dialog

TEST_F(ProfinetFileName, CreationSetsTheLookTheTextsAndBothFixedParts)
{
    EXPECT_EQ(FProfinetFileName, Form);
    EXPECT_EQ(Form->ClientWidth(), 540);
    EXPECT_EQ(Form->ClientHeight(), 205);
    EXPECT_EQ(Form->BorderStyle(), bsSingle);
    EXPECT_EQ(Form->Position(), poScreenCenter);
    EXPECT_EQ(Form->Color(), TColor(15595512));
    EXPECT_EQ(Form->Font()->Name(), "Verdana");
    EXPECT_EQ(Form->Font()->Height(), -11);
    EXPECT_EQ(Form->L_SW_Code->Caption(), "CF31A12");
    EXPECT_EQ(Form->L_XML_Fix1->Caption(), "GSDML-V2.31-Tavlon-GW31A12");
    EXPECT_EQ(Form->L_XML_Fix2->Caption(), "-20180528.xml");
    EXPECT_TRUE(Form->E_XML_User->Text().isEmpty());
    EXPECT_EQ(Form->Btn_OK->Style(), bsEncarta);
    EXPECT_EQ(Form->Btn_Cancel->Style(), bsEncarta);

    const struct {
        QString shown;
        const char* text;
    } texts[] = {
        {Form->Caption(), "PROFINET XML File Name"},
        {Form->L_SW_Desc->Caption(), "Create the PROFINET XML GSD File"},
        {Form->L_Select_Name->Caption(), "Select the PROFINET XML File Name"},
        {Form->L_FixPart_1->Caption(), "Fixed Part"},
        {Form->L_UsedPart->Caption(), "User Part"},
        {Form->L_FixPart_2->Caption(), "Fixed Part"},
        {Form->Btn_OK->Caption(), "OK"},
        {Form->Btn_Cancel->Caption(), "Cancel"},
    };
    for (const auto& t : texts)
        EXPECT_EQ(t.shown, QString::fromLatin1(t.text));

    // The partner edition has its own brand in the first part.
    Create_Form(1012);
    EXPECT_EQ(Form->L_XML_Fix1->Caption(), "GSDML-V2.31-Brimel-GW31A12");
}

TEST_F(ProfinetFileName, TheThreeColumnsStandSideBySideInsideTheDialog)
{
    for (int model : {12, 1012}) {
        SCOPED_TRACE(model);
        Create_Form(model);
        const auto right = [](const TControl* c) { return c->Left() + c->Width(); };
        // Each caption over its part, and the parts left to right without touching.
        EXPECT_EQ(Form->L_FixPart_1->Left(), Form->L_XML_Fix1->Left());
        EXPECT_EQ(Form->L_UsedPart->Left(), Form->E_XML_User->Left());
        EXPECT_EQ(Form->L_FixPart_2->Left(), Form->L_XML_Fix2->Left());
        EXPECT_LT(Form->L_FixPart_1->Top() + Form->L_FixPart_1->Height(), Form->E_XML_User->Top());
        EXPECT_GT(Form->L_XML_Fix1->Width(), 0);
        EXPECT_LT(right(Form->L_XML_Fix1), Form->E_XML_User->Left());
        EXPECT_LT(right(Form->E_XML_User), Form->L_XML_Fix2->Left());
        EXPECT_LE(right(Form->L_XML_Fix2), Form->ClientWidth());
        // Between the title band and the button band.
        EXPECT_GE(Form->L_Select_Name->Top(), Form->P_Title->Height());
        EXPECT_LE(Form->E_XML_User->Top() + Form->E_XML_User->Height(), Form->P_Button->Top());
        EXPECT_LE(right(Form->Btn_Cancel), Form->P_Button->Width());
    }
}

TEST_F(ProfinetFileName, OkComposesTheNameFromTheUserPart)
{
    const struct {
        const char* user;
        QString name;
    } cases[] = {
        {"", Tavlon_Name},
        {"   ", Tavlon_Name},
        {"lab", Tavlon_Lab},
        {"_lab", Tavlon_Lab},
        {" lab", QStringLiteral("GSDML-V2.31-Tavlon-GW31A12_ lab-20180528.xml")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user);
        Answer_Name(QString::fromLatin1(c.user));
        EXPECT_EQ(Form->ShowModal(), mrOk);
        EXPECT_EQ(Form->Name_File_XML, c.name);
    }
}

TEST_F(ProfinetFileName, TheUserPartPersistsAndCancelKeepsTheLastName)
{
    Answer_Name(QStringLiteral("lab"));
    ASSERT_EQ(Form->ShowModal(), mrOk);

    QString shownNext;
    Script.AnswerModal([&](TCustomForm*) {
        shownNext = Form->E_XML_User->Text();
        Form->E_XML_User->SetText(QStringLiteral("other"));
        Form->Btn_Cancel->Click();
    });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_EQ(shownNext, "lab");
    EXPECT_EQ(Form->Name_File_XML, Tavlon_Lab);

    // The date stays that of the dialog's creation after midnight.
    SetNowHook([] { return EncodeDate(2018, 5, 29) + EncodeTime(0, 5, 0, 0); });
    Script.AnswerModal([this](TCustomForm*) { Form->Btn_OK->Click(); });
    ASSERT_EQ(Form->ShowModal(), mrOk);
    EXPECT_EQ(Form->Name_File_XML, "GSDML-V2.31-Tavlon-GW31A12_other-20180528.xml");
}

TEST_F(ProfinetFileName, RendersToPng)
{
    Form->E_XML_User->SetText(QStringLiteral("lab"));
    const QString path = QString(KAL_BUILD_DIR) + "/profinet_file_name.png";
    RenderFormToPng(Form, path);
    const QImage img(path);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), 540);
    EXPECT_EQ(img.height(), 205);
    // The dialog's own colour beside the columns, the white title band.
    EXPECT_EQ(img.pixelColor(4, 100), QColor(248, 247, 237));
    EXPECT_EQ(img.pixelColor(530, 60), QColor(Qt::white));
    // The first fixed part is drawn in dark type over the dialog colour.
    int dark = 0;
    const TControl* l = Form->L_XML_Fix1;
    for (int y = l->Top(); y < l->Top() + l->Height(); ++y)
        for (int x = l->Left(); x < l->Left() + l->Width(); ++x)
            if (qGray(img.pixel(x, y)) < 100)
                ++dark;
    EXPECT_GT(dark, 50);
}

// ---------------------------------------------------------------------------
// The PROFINET XML step

TEST_F(ProfinetFileName, StepWritesTheComposedNameIntoTheChosenFolder)
{
    Connect_Device_Description_Dialogs();
    ParGen("<PROFINET_NB_IN>20</PROFINET_NB_IN><PROFINET_NB_OUT>10</PROFINET_NB_OUT>");
    Answer_Name(QStringLiteral("lab"));
    // The user browses elsewhere and types a name of his own.
    Script.AnswerFile(PathJoin(Other, QStringLiteral("mine.xml")));
    PROFINET_XML_Step();

    const QList<TDialogRecord> saves = Shown(TDialogKind::SaveFile);
    ASSERT_EQ(saves.size(), 1);
    EXPECT_EQ(saves[0].InitialDir, Project);
    EXPECT_EQ(saves[0].Filter, "PROFINET XML (*.xml)|" + Tavlon_Lab);
    EXPECT_TRUE(Shown(TDialogKind::MessageBox).isEmpty());

    EXPECT_FALSE(FileExists(PathJoin(Other, QStringLiteral("mine.xml"))));
    const QByteArray file = ReadFileWhole(PathJoin(Other, Tavlon_Lab));
    EXPECT_TRUE(file.startsWith("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"));
    // Input carries the gateway's output length and Output its input length.
    EXPECT_TRUE(file.contains("DataType=\"OctetString\" Length=\"10\" TextId=\"IDT_Input_1\""));
    EXPECT_TRUE(file.contains("DataType=\"OctetString\" Length=\"20\" TextId=\"IDT_Output_1\""));
}

TEST_F(ProfinetFileName, StepAsksBeforeReplacingAnExistingFile)
{
    Connect_Device_Description_Dialogs();
    const QString path = PathJoin(Project, Tavlon_Name);
    WriteFileWhole(path, "kept");

    const struct {
        int answer;
        bool replaced;
    } cases[] = {{mrNo, false}, {mrYes, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        Script.Shown.clear();
        Answer_Name(QString());
        Script.AnswerFile(path);
        Script.Answer(c.answer);
        PROFINET_XML_Step();
        const QList<TDialogRecord> boxes = Shown(TDialogKind::MessageBox);
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0].Text, "File already exists! Do you want to overwrite the file?");
        EXPECT_EQ(boxes[0].Type, mtConfirmation);
        EXPECT_EQ(boxes[0].Buttons, (QList<int>{mrYes, mrNo}));
        EXPECT_EQ(ReadFileWhole(path) == "kept", !c.replaced);
    }
    EXPECT_TRUE(ReadFileWhole(path).contains("<VendorName Value="));
}

TEST_F(ProfinetFileName, CancelAtEitherQuestionWritesNothing)
{
    Connect_Device_Description_Dialogs();
    Answer_Cancel();
    PROFINET_XML_Step();
    EXPECT_EQ(Script.Count(TDialogKind::SaveFile), 0);

    Answer_Name(QString());
    Script.AnswerFile(QString()); // the save dialog is cancelled
    PROFINET_XML_Step();
    EXPECT_EQ(Script.Count(TDialogKind::SaveFile), 1);
    EXPECT_EQ(Script.Count(TDialogKind::MessageBox), 0);
    EXPECT_TRUE(QDir(Project).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(Other).entryList(QDir::Files).isEmpty());
}

TEST_F(ProfinetFileName, StepOfThePartnerEditionAndWithoutParameters)
{
    Create_Form(1012);
    Connect_Device_Description_Dialogs();
    Answer_Name(QStringLiteral("_x"));
    Script.AnswerFile(PathJoin(Project, QStringLiteral("any.xml")));
    PROFINET_XML_Step();
    const QByteArray file =
        ReadFileWhole(PathJoin(Project, QStringLiteral("GSDML-V2.31-Brimel-GW31A12_x-20180528.xml")));
    EXPECT_TRUE(file.contains("<VendorName Value=\"Brimel\""));
    // No ParGen.xml in the project: both lengths are 1438.
    EXPECT_EQ(file.count("Length=\"1438\""), 2);
}

TEST_F(ProfinetFileName, StepFailuresReachTheCaller)
{
    Connect_Device_Description_Dialogs();
    // A user part that names a folder cannot become a file in the chosen one.
    Answer_Name(QStringLiteral("a/b"));
    Script.AnswerFile(PathJoin(Other, QStringLiteral("x.xml")));
    EXPECT_THROW(PROFINET_XML_Step(), EFCreateError);
    EXPECT_TRUE(QDir(Other).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

    delete Form;
    Form = nullptr;
    FProfinetFileName = nullptr;
    EXPECT_THROW(PROFINET_XML_Step(), EInvalidOperation);
}

// ---------------------------------------------------------------------------
// The EDS step

TEST_F(ProfinetFileName, EdsStepWritesThroughTheSaveDialog)
{
    Model_Code = 6;
    Set_Model_Texts();
    SetNowHook([] { return EncodeDate(2018, 3, 7) + EncodeTime(15, 30, 12, 0); });
    const struct {
        const char* typed;
        const char* written;
    } cases[] = {
        {"sheet", "sheet.eds"},        // no extension: the data sheet's own
        {"gw.eds", "gw.eds"},
        {"gw.txt", "gw.txt"},          // an extension of the user's own is kept
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Script.Shown.clear();
        Script.AnswerFile(PathJoin(Other, QString::fromLatin1(c.typed)));
        Build_EDS_File_Step();
        ASSERT_EQ(Script.Shown.size(), 1);
        EXPECT_EQ(Script.Last().Kind, TDialogKind::SaveFile);
        EXPECT_EQ(Script.Last().InitialDir, Project);
        EXPECT_EQ(Script.Last().Filter, "Electronic Data Sheet (*.eds)|*.eds");
        const QByteArray file = ReadFileWhole(PathJoin(Other, QString::fromLatin1(c.written)));
        EXPECT_TRUE(file.startsWith("[FileInfo]\r\nFileName=CANopen_KNX.eds\r\n"));
        EXPECT_TRUE(file.contains("\r\nCreationTime=03:30PM\r\nCreationDate=03-07-2018\r\n"));
    }
    EXPECT_EQ(QDir(Other).entryList(QDir::Files).size(), 3);

    Script.AnswerFile(QString());
    Build_EDS_File_Step();
    EXPECT_EQ(QDir(Other).entryList(QDir::Files).size(), 3);
    EXPECT_TRUE(QDir(Project).entryList(QDir::Files).isEmpty());
}

} // namespace
