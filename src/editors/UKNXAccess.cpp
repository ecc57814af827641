#include "editors/UKNXAccess.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/xml/XmlDoc.h"
#include "project/ProjectFiles.h"
#include "project/TableFile.h"

namespace {

namespace X = ProjectFiles::KNXAccessXml;
using D = TMapDefault;

constexpr const char* APCI_Items[] = {"Read", "Write"};
constexpr const char* Priority_Items[] = {"System", "Urgent", "Normal", "Low"};
constexpr const char* Format_Items[] = {
    "None", "Swap16", "Swap32", "Swap All", "Int to Float", "Float to Int", "Float16 to Float32", "Float16 to Int",
    "Float16 to Int * 10", "Float16 to Int * 100",
};
constexpr const char* Bit_Mode_Items[] = {"No", "0", "1", "2", "3", "4", "5", "6", "7"};
constexpr std::span<const char* const> No_Items;

constexpr TColor Enabling = RGB(0xFF, 0xD8, 0xB0);
constexpr TColor Addressing = RGB(0xE0, 0xFA, 0xFE);
constexpr TColor Converting = RGB(0xFF, 0xFF, 0xA8);
constexpr TColor Sending = RGB(0xA8, 0xFF, 0xA8);
constexpr TColor Placing = RGB(0xFC, 0xD6, 0xF4);

// The layout of every model but the DMX ones in DMX OUT mode, and of those.
constexpr int Client_Width = 1141;
constexpr int DMX_Out_Client_Width = 1062;
constexpr int Mnemonic_Width = 96;
constexpr int DMX_Out_Mnemonic_Width = 200;
constexpr int Client_Height = 337;

// The byte array of most models, and of the models that differ.
constexpr int Byte_Array = 1439;
constexpr int Byte_Array_Model_8 = 455;
constexpr int Byte_Array_PROFINET = 1438;
constexpr int Byte_Array_EtherNetIP = 496;
constexpr int DMX_Channels = 512;

constexpr int Max_APCI = 1023;
constexpr int Max_Poll_Time = 100000000;
constexpr int Max_Start_Bit = 7;

} // namespace

extern constexpr TMapColumn KNX_Access_Columns[KA_Count] = {
    {191, edNormal,       No_Items,       40,  clWindow,   nullptr,                D::Missing,  "",       false},
    {339, edDataCheckBox, No_Items,       50,  Enabling,   &X::Enable,             D::Missing,  "Y",      false},
    {192, edNormal,       No_Items,       70,  Addressing, &X::Source_Address,     D::Required, "",       true},
    {193, edNormal,       No_Items,       80,  Addressing, &X::Destination_Address, D::Required, "",      false},
    {194, edComboEdit,    APCI_Items,     60,  Addressing, &X::APCI,               D::Required, "",       false},
    {195, edComboList,    Priority_Items, 75,  Addressing, &X::Priority,           D::Missing,  "Normal", false},
    {196, edComboList,    Format_Items,   110, Converting, &X::Format,             D::Missing,  "None",   false},
    {197, edDataCheckBox, No_Items,       68,  Converting, &X::Extended,           D::Required, "",       false},
    {199, edDataCheckBox, No_Items,       50,  Converting, &X::ReTest,             D::Required, "",       false},
    {719, edDataCheckBox, No_Items,       52,  Sending,    &X::On_Command,         D::Missing,  "N",      false},
    {200, edDataCheckBox, No_Items,       71,  Sending,    &X::On_Change,          D::Required, "",       false},
    {201, edDataCheckBox, No_Items,       62,  Sending,    &X::On_Timer,           D::Missing,  "N",      false},
    {202, edNormal,       No_Items,       67,  Sending,    &X::Poll_Time,          D::Required, "",       false},
    {203, edComboList,    No_Items,       55,  Placing,    &X::Position,           D::Required, "",       false},
    {204, edComboList,    Bit_Mode_Items, 55,  Placing,    &X::Bit_Mode,           D::Required, "",       false},
    {205, edNormal,       No_Items,       55,  Placing,    &X::Length,             D::Required, "",       false},
    {206, edNormal,       No_Items,       96,  clWindow,   &X::Mnemonic,           D::Required, "",       false},
};
// A row left out would leave a zero column at the end; the key is Source Add.
static_assert(KNX_Access_Columns[KA_Mnemonic].Header == 206 && KNX_Access_Columns[KA_Mnemonic].Width == 96);
static_assert(KNX_Access_Columns[KA_Source].Key);

// The version comment written is the model's (KNX_Access_Version); the
// family's one stands here for completeness only.
const TMapEditorInfo KNX_Access_Info = {
    "FKNXAccess", KNX_Access_Columns, 1024, Client_Width, Client_Height,
    168, 169, 170, 171, 172, 173, 207, 227,
    &X::Root, &X::Row, &ProjectFiles::VersionComment, &File_KNX_SetAccess,
};

QString KNX_Access_Version(int modelCode)
{
    const char* version = "1.100";
    switch (modelCode) {
    case 1: case 1001: version = "1.202"; break;
    case 2: case 4: version = "1.200"; break;
    case 3: case 1003: version = "1.102"; break;
    case 5: version = "1.101"; break;
    case 6: case 7: case 8: version = "1.000"; break;
    case 10: case 1010: version = "1.203"; break;
    case 11: case 1011: version = "1.104"; break;
    case 13: case 15: version = "1.002"; break;
    default: break; // 9, 12, 1012
    }
    return QStringLiteral("SW_VERSION = ") + QLatin1String(version);
}

namespace {

bool Is_DMX_Model(int code)
{
    return code == 11 || code == 1011;
}

bool Is_PROFINET_Model(int code)
{
    return code == 12 || code == 1012;
}

bool Has_Direction_Limits(int code)
{
    return Is_PROFINET_Model(code) || code == 13;
}

int Number(const QString& s)
{
    return StrToIntDef(s, -1);
}

bool In(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

bool Is_Text(const QString& cell, QLatin1String text)
{
    return cell.toUpper() == text;
}

} // namespace

// ---------------------------------------------------------------------------
// Row rules

namespace KNXAccessRules {

int Check_Addresses(const QString& source, const QString& dest)
{
    if (Check_KNX_Address(source.trimmed(), false, true) != 0)
        return 218;
    const QString d = dest.trimmed();
    const bool group = No_Decimal_Point(d);
    if (Check_KNX_Address(d, group, true) != 0)
        return group ? 229 : 219;
    return 0;
}

bool APCI_Ok(const QString& apci)
{
    if (Is_Text(apci, QLatin1String("READ")) || Is_Text(apci, QLatin1String("WRITE")))
        return true;
    return In(Number(apci), 0, Max_APCI);
}

bool Priority_Ok(const QString& priority)
{
    for (const char* p : Priority_Items)
        if (priority == QLatin1String(p))
            return true;
    return false;
}

int Length_Limit(bool bitMode, bool extended)
{
    if (bitMode)
        return extended ? 2040 : 112;
    return extended ? 255 : 14;
}

int Span_Bytes(bool bitMode, int startBit, int length)
{
    return bitMode ? (startBit + length + 7) / 8 : length;
}

} // namespace KNXAccessRules

// ---------------------------------------------------------------------------
// Construction

TFKNXAccess* FKNXAccess = nullptr;

TFKNXAccess::TFKNXAccess(TComponent* AOwner) : TFMapEditor(AOwner, KNX_Access_Info)
{
    ACG_KNX_in_Write = sga;
    sga->SetName(QStringLiteral("ACG_KNX_in_Write"));
    sga->OnClickCell = [this](TObject* Sender, int ARow, int ACol) { ACG_KNX_in_WriteClickCell(Sender, ARow, ACol); };
    Btn_CopyRow = Make_Button(this, P_Button, Map_Button_Left[4], 6, Map_Button_Width, Map_Button_Height);
    Btn_CopyRow->OnClick = [this](TObject* Sender) { Btn_CopyRowClick(Sender); };
    Btn_PasteRow = Make_Button(this, P_Button, Map_Button_Left[5], 6, Map_Button_Width, Map_Button_Height);
    Btn_PasteRow->OnClick = [this](TObject* Sender) { Btn_PasteRowClick(Sender); };
    for (TLbButton* b : {Btn_CopyRow, Btn_PasteRow})
        b->SetColor(Dialog_Color);
}

TFKNXAccess::~TFKNXAccess()
{
    if (FKNXAccess == this)
        FKNXAccess = nullptr;
}

void TFKNXAccess::AfterConstruction()
{
    FKNXAccess = this;
    TForm::AfterConstruction();
    FormCreate();
}

void TFKNXAccess::FormCreate()
{
    TFMapEditor::FormCreate();
    Apply_Layout(Is_DMX_Model(Model_Code));
    Set_Lang();
}

void TFKNXAccess::Set_Lang()
{
    TFMapEditor::Set_Lang();
    Btn_CopyRow->SetCaption(Text_Of(877));
    Btn_PasteRow->SetCaption(Text_Of(878));
}

void TFKNXAccess::Apply_Layout(bool dmxOut)
{
    for (int c : {KA_APCI, KA_On_Command, KA_On_Change}) {
        if (dmxOut)
            sga->HideColumn(c);
        else
            sga->UnHideColumn(c);
    }
    SetClientSize(dmxOut ? DMX_Out_Client_Width : Client_Width, Client_Height);
    sga->Columns()->Items(KA_Mnemonic)->SetWidth(dmxOut ? DMX_Out_Mnemonic_Width : Mnemonic_Width);
}

bool TFKNXAccess::DMX_Out_Mode() const
{
    return Is_DMX_Model(Model_Code) && DMX_Type == 1;
}

// ---------------------------------------------------------------------------
// Showing and loading

void TFKNXAccess::Reset_Limits()
{
    // The family's reset leaves every cell empty; a new row is enabled.
    for (int r = 1; r < sga->RowCount(); ++r)
        Set_Cell(KA_Enable, r, QStringLiteral("Y"));

    const int model = Model_Code;
    Max_Num_Byte = model == 8 ? Byte_Array_Model_8 : Is_PROFINET_Model(model) ? Byte_Array_PROFINET : Byte_Array;
    if (Is_DMX_Model(model)) {
        Max_Num_Byte = DMX_Channels;
        DMX_Type = 1;
    }
    // The direction limits start at their defaults whether or not ParGen.xml
    // is there, so a project without one still checks against the array.
    if (Is_PROFINET_Model(model))
        Num_Byte_Read_InPROFI = Num_Byte_Write_OutPROFI = Byte_Array_PROFINET;
    else if (model == 13)
        Num_Byte_Read_InPROFI = Num_Byte_Write_OutPROFI = Byte_Array_EtherNetIP;
    Read_ParGen_Limits();
    if (Is_DMX_Model(model))
        Apply_Layout(DMX_Type == 1);
    Fill_Positions();
}

void TFKNXAccess::Read_ParGen_Limits()
{
    const int model = Model_Code;
    if (!Is_DMX_Model(model) && !Has_Direction_Limits(model))
        return;
    const QString path = File_ParGen;
    if (path.isEmpty() || !FileExists(path))
        return;
    try {
        const TProjectFile file(path);
        const XmlNode root = file.Root();
        auto value = [&root](const char* name, int def) {
            const XmlNode e = root.ChildElement(QString::fromLatin1(name));
            return e ? StrToIntDef(e.Text(), def) : def;
        };
        if (Is_DMX_Model(model)) {
            DMX_Type = value("DMX_DMX", 1);
            // A channel count the byte array cannot hold (a hand-edited
            // file) is taken as the default, so the Position list stays
            // within the array.
            const int channels = value("DMX_Num_Channels", DMX_Channels);
            Max_Num_Byte = In(channels, 1, Byte_Array) ? channels : DMX_Channels;
        } else if (Is_PROFINET_Model(model)) {
            Num_Byte_Write_OutPROFI = value("PROFINET_NB_IN", Byte_Array_PROFINET);
            Num_Byte_Read_InPROFI = value("PROFINET_NB_OUT", Byte_Array_PROFINET);
        } else {
            Num_Byte_Read_InPROFI = value("EtherNetIP_NB_IN", Byte_Array_EtherNetIP);
            Num_Byte_Write_OutPROFI = value("EtherNetIP_NB_OUT", Byte_Array_EtherNetIP);
        }
    } catch (const Exception&) {
        // A ParGen.xml that cannot be read leaves the defaults, silently:
        // the general-parameters dialog is where that file is reported.
    }
}

void TFKNXAccess::Fill_Positions()
{
    TStrings* items = sga->Columns()->Items(KA_Position)->ComboItems();
    items->BeginUpdate();
    items->Clear();
    for (int i = 0; i < Max_Num_Byte; ++i)
        items->Add(QString::number(i));
    items->EndUpdate();
}

void TFKNXAccess::Load_Row(const TRowReader& reader, int row)
{
    TFMapEditor::Load_Row(reader, row);
    if (!KNXAccessRules::Priority_Ok(Cell(KA_Priority, row)))
        Set_Cell(KA_Priority, row, QStringLiteral("Normal"));
}

void TFKNXAccess::Load_File()
{
    const QString path = File_KNX_SetAccess;
    sga->BeginUpdate();
    int loaded = 0;
    try {
        if (Begin_Load(path)) {
            const TProjectFile file(path);
            const XmlNode list = file.Required_List(X::List_Write);
            Note_Rows(list.ChildNodeCount(), sga, X::List_Write);
            int row = 1;
            for (XmlNode n = list.FirstChild(); n && row < sga->RowCount(); n = n.NextSibling(), ++row) {
                Load_Row(TRowReader(n, file.Name(), row, X::List_Write), row);
                loaded = row;
            }
        }
    } catch (const Exception& e) {
        // The rows read so far stay; the rest of the file is not loaded.
        Load_Failed(e);
    }
    // The table ends at the first Source Add that is empty once trimmed.
    Note_Table_End(sga, KNX_Access_Columns, loaded, true, X::List_Write);
    sga->EndUpdate();
    End_Load();
    Do_Copy_In_Read = false;
    Do_Copy_In_Write = false;
}

// ---------------------------------------------------------------------------
// Writing

int TFKNXAccess::KNX_Table_End() const
{
    int r = 1;
    while (r < sga->RowCount() && !Cell(KA_Source, r).trimmed().isEmpty())
        ++r;
    return r;
}

void TFKNXAccess::Write_File()
{
    XmlDocument doc;
    XmlNode root = doc.CreateRoot(X::Root);
    doc.AppendComment(KNX_Access_Version(Model_Code));
    root.AppendElement(X::List_Read);
    XmlNode list = root.AppendElement(X::List_Write);
    const bool dmxOut = DMX_Out_Mode();
    const int end = KNX_Table_End();
    for (int r = 1; r < end; ++r) {
        XmlNode row = list.AppendElement(X::Row);
        for (int c = 1; c < KA_Count; ++c) {
            QString text = Cell(c, r);
            // The hidden columns of DMX OUT mode keep their cells, but the
            // device reads these values for them.
            if (dmxOut && c == KA_APCI)
                text = QStringLiteral("Read");
            else if (dmxOut && (c == KA_On_Command || c == KA_On_Change))
                text = QStringLiteral("N");
            row.AppendAttribute(*KNX_Access_Columns[c].Attribute, text);
        }
    }
    doc.SaveToFile(File_KNX_SetAccess);
}

// ---------------------------------------------------------------------------
// Checks

int TFKNXAccess::Check_Row(int r, QString& limit) const
{
    using namespace KNXAccessRules;
    if (const int rule = Check_Addresses(Cell(KA_Source, r), Cell(KA_Dest, r)))
        return rule;
    const QString apci = Cell(KA_APCI, r);
    if (!DMX_Out_Mode() && !APCI_Ok(apci))
        return 220;
    if (!Priority_Ok(Cell(KA_Priority, r)))
        return 221;
    if (Cell(KA_Format, r).trimmed().isEmpty())
        return 350;
    if (Is_Text(Cell(KA_On_Timer, r), QLatin1String("Y")) && !In(Number(Cell(KA_Poll_Time, r)), 1, Max_Poll_Time))
        return 222;
    const int position = Number(Cell(KA_Position, r));
    if (!In(position, 0, Max_Num_Byte - 1)) {
        limit = QString::number(Max_Num_Byte - 1);
        return 223;
    }
    if (Has_Direction_Limits(Model_Code)) {
        if (Is_Text(apci, QLatin1String("READ")) && position >= Num_Byte_Read_InPROFI) {
            limit = QString::number(Num_Byte_Read_InPROFI - 1);
            return 223;
        }
        if (Is_Text(apci, QLatin1String("WRITE")) && position >= Num_Byte_Write_OutPROFI) {
            limit = QString::number(Num_Byte_Write_OutPROFI - 1);
            return 223;
        }
    }
    const QString bit = Cell(KA_Bit_Mode, r);
    const bool bitMode = !Is_Text(bit, QLatin1String("NO"));
    const int startBit = bitMode ? Number(bit) : 0;
    if (bitMode && !In(startBit, 0, Max_Start_Bit))
        return 224;
    const int maxLength = Length_Limit(bitMode, Is_Text(Cell(KA_Extended, r), QLatin1String("Y")));
    const int length = Number(Cell(KA_Length, r));
    if (!In(length, 1, maxLength)) {
        limit = QString::number(maxLength);
        return 225;
    }
    if (position + Span_Bytes(bitMode, startBit, length) > Max_Num_Byte) {
        limit = QString::number(Max_Num_Byte);
        return 226;
    }
    return 0;
}

bool TFKNXAccess::Controllo_dati()
{
    const int end = KNX_Table_End();
    for (int r = 1; r < end; ++r) {
        // A disabled row is kept as it is, unchecked.
        if (Cell(KA_Enable, r).trimmed() != QLatin1String("Y"))
            continue;
        QString limit;
        if (const int rule = Check_Row(r, limit)) {
            Show_Row_Error(r, rule, limit);
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Row commands

void TFKNXAccess::Btn_CopyRowClick(TObject*)
{
    Grid_Copy_Row(sga, sga->Row());
    Do_Copy_In_Write = true;
    Do_Copy_In_Read = false;
}

void TFKNXAccess::Btn_PasteRowClick(TObject*)
{
    Grid_Paste_Row(sga, sga->Row(), Do_Copy_In_Write);
}

void TFKNXAccess::ACG_KNX_in_WriteClickCell(TObject*, int ARow, int ACol)
{
    if (ACol == 0 && ARow >= 1 && ARow < sga->RowCount())
        sga->SelectRows(ARow, 1);
}
