// The key, start register and per-device start address dialogs.
#include "ScanWindowKit.h"

#include "app/LbButton.h"

#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/controls/Input.h"

namespace {

using SideDialogTest = ScanWindowTest;

TEST_F(SideDialogTest, KeyDialogChecksLengthThenCharacters)
{
    struct Case {
        QString Key;
        int Message; // 0: accepted
    };
    const QString good = QStringLiteral("000102030405060708090A0B0C0D0E0F");
    const Case cases[] = {
        {good.left(31), 1404},
        {QString(), 1404},
        {good.left(31) + "G", 1403},
        {good.left(30) + " F", 1403},
        {good, 0},
        {QStringLiteral("FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Key.toStdString());
        Script.Shown.clear();
        Key->SetModalResult(0);
        Key->E_Key->SetText(c.Key);
        Key->Btn_OKClick(nullptr);
        if (c.Message) {
            EXPECT_EQ(Messages(), QStringList{Text(c.Message)});
            EXPECT_EQ(Key->ModalResult(), 0);
        } else {
            EXPECT_TRUE(Messages().isEmpty());
            EXPECT_EQ(Key->ModalResult(), mrOk);
        }
    }
}

TEST_F(SideDialogTest, KeyTypedInLowerCaseIsUpperCasedAndAccepted)
{
    Key->E_Key->SetText(QString());
    Script.AnswerModal([](TCustomForm* f) {
        auto* k = static_cast<TFInsertKeyWireless*>(f);
        SetFocusedWindow(k->E_Key);
        for (QChar ch : QStringLiteral("00112233445566778899aabbccddeeff"))
            Input::Char(ch);
        k->Btn_OKClick(nullptr);
    });
    EXPECT_EQ(Key->ShowModal(), mrOk);
    EXPECT_EQ(Key->E_Key->Text(), QStringLiteral("00112233445566778899AABBCCDDEEFF"));
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(SideDialogTest, StartRegisterIsHeldTo1Through65535)
{
    struct Case {
        const char* Text;
        int Accepted; // 0: refused
    };
    const Case cases[] = {{"0", 0}, {"65536", 0}, {"", 0}, {"abc", 0}, {"-1", 0},
                          {"1", 1}, {"65535", 65535}, {"$10", 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        Script.Shown.clear();
        Start->SetModalResult(0);
        Start->StartModAdd = -7;
        Start->E_StartModAdd->SetText(QString::fromLatin1(c.Text));
        Start->Btn_OKClick(nullptr);
        if (c.Accepted) {
            EXPECT_TRUE(Messages().isEmpty());
            EXPECT_EQ(Start->ModalResult(), mrOk);
            EXPECT_EQ(Start->StartModAdd, c.Accepted);
        } else {
            EXPECT_EQ(Messages(), QStringList{Text(1306)});
            EXPECT_EQ(Start->ModalResult(), 0);
            EXPECT_EQ(Start->StartModAdd, -7);
        }
    }
}

TEST_F(SideDialogTest, PerDeviceAddressesStopAtTheFirstBadRow)
{
    struct Case {
        QStringList Values; // rows 1..n
        QString Message;    // empty: accepted
    };
    const QString empty = QStringLiteral("!! Modbus Start Address cannot be empty");
    const QString range = QStringLiteral("!! Modbus Start Address must be between 1 and 59999");
    const Case cases[] = {
        {{"1", "60000"}, "Error row 2" + range},
        {{"", "60000"}, "Error row 1" + empty},
        {{"0"}, "Error row 1" + range},
        {{"1", "59999", "x"}, "Error row 3" + range},
        {{"1", "59999", "300"}, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Values.join(',').toStdString());
        Script.Shown.clear();
        PerNode->SetModalResult(0);
        PerNode->sga->SetRowCount(int(c.Values.size()) + 1);
        for (int r = 0; r < c.Values.size(); ++r)
            PerNode->sga->SetCellEx(1, r + 1, c.Values[r]);
        PerNode->Btn_OKClick(nullptr);
        if (c.Message.isEmpty()) {
            EXPECT_TRUE(Messages().isEmpty());
            EXPECT_EQ(PerNode->ModalResult(), mrOk);
        } else {
            EXPECT_EQ(Messages(), QStringList{c.Message});
            EXPECT_EQ(PerNode->ModalResult(), 0);
        }
    }
}

} // namespace
