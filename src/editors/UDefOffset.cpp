#include "editors/UDefOffset.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/TabControls.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/xml/XmlDoc.h"
#include "project/ProjectFiles.h"
#include "project/TableFile.h"

namespace {

namespace X = ProjectFiles::DNetXml;
using D = TMapDefault;

constexpr std::span<const char* const> No_Items;
constexpr TColor Address = RGB(0xCE, 0xFF, 0xCE);
constexpr TColor Count = RGB(0xFF, 0xFF, 0xD5);
constexpr int Max_ID = 255;
constexpr int Max_Bytes = 65535;

constexpr TMapColumn Byte_Columns_IN[DB_Count] = {
    {654, edNormal,    No_Items, 60,  clWindow, nullptr, D::Missing, "", false},
    {655, edComboList, No_Items, 90,  clWindow, nullptr, D::Missing, "", false},
    {656, edNormal,    No_Items, 300, clWindow, nullptr, D::Missing, "", false},
};
constexpr TMapColumn Byte_Columns_OUT[DB_Count] = {
    {657, edNormal,    No_Items, 60,  clWindow, nullptr, D::Missing, "", false},
    {658, edComboList, No_Items, 90,  clWindow, nullptr, D::Missing, "", false},
    {659, edNormal,    No_Items, 300, clWindow, nullptr, D::Missing, "", false},
};

// A grid whose header row stays while it has no data rows.
TExColumnGrid* Make_Grid(TFDefOffset* form, TWinControl* parent, const char* name, std::span<const TMapColumn> cols)
{
    auto* g = new TExColumnGrid(form);
    g->SetName(QString::fromLatin1(name));
    g->SetParent(parent);
    g->SetAlign(alClient);
    g->FixedRowAlways = true;
    TFMapEditor::Build_Grid(g, cols, 1);
    return g;
}

// A whole number within its field, or the family's load error.
int Ranged(const TRowReader& r, const QString& name, int hi)
{
    const int v = r.Integer(name);
    if (v < 0 || v > hi)
        throw r.Error(name, QStringLiteral("is %1, outside 0 to %2").arg(v).arg(hi));
    return v;
}

} // namespace

extern constexpr TMapColumn DN_Slave_Columns[DS_Count] = {
    {650, edNormal, No_Items, 60,  Address,  &X::ID,       D::Required, "", true},
    {651, edNormal, No_Items, 90,  Count,    &X::NB_IN,    D::Required, "", false},
    {652, edNormal, No_Items, 90,  Count,    &X::NB_OUT,   D::Required, "", false},
    {653, edNormal, No_Items, 220, clWindow, &X::Mnemonic, D::Required, "", false},
};

const TMapEditorInfo Def_Offset_Info = {
    "FDefOffset", DN_Slave_Columns, 1, 482, 610,
    641, 642, 643, 644, 0, 0, 636, 0,
    &X::Root_Offsets, &X::Row, &X::Version, &File_DNETM_DefOff,
};

TFDefOffset* FDefOffset = nullptr;

TFDefOffset::TFDefOffset(TComponent* AOwner) : TFMapEditor(AOwner, Def_Offset_Info)
{
    Btn_DelRow->SetVisible(false);
    Btn_InsRow->SetVisible(false);

    Panel1 = Make_Band(this, alTop, 162, Dialog_Color);
    Panel1->SetName(QStringLiteral("Panel1"));
    Label1 = Make_Label(this, Panel1, 8, 4);
    Style_Grey_Bold(Label1);
    // The slave list: no number column, every column read-only.
    ACG_DN_Slaves = sga;
    sga->SetName(QStringLiteral("ACG_DN_Slaves"));
    sga->SetParent(Panel1);
    sga->SetAlign(alBottom);
    sga->SetHeight(162 - 24);
    sga->FixedRowAlways = true;
    sga->SetFixedCols(0);
    for (int c = 0; c < DS_Count; ++c)
        sga->Columns()->Items(c)->ReadOnly = true;
    sga->OnClick = [this](TObject* Sender) { ACG_DN_SlavesClick(Sender); };

    Splitter1 = new TSplitter(this);
    Splitter1->SetName(QStringLiteral("Splitter1"));
    Splitter1->SetParent(this);
    Splitter1->SetAlign(alTop);
    Splitter1->SetHeight(3);

    Panel3 = Make_Band(this, alClient, 0, Dialog_Color);
    Panel3->SetName(QStringLiteral("Panel3"));
    Label2 = Make_Label(this, Panel3, 8, 4);
    Label3 = Make_Label(this, Panel3, 8, 20);
    PageControl1 = new TPageControl(this);
    PageControl1->SetName(QStringLiteral("PageControl1"));
    PageControl1->SetParent(Panel3);
    PageControl1->SetAlign(alBottom);
    PageControl1->SetHeight(610 - 69 - 40 - 162 - 3 - 40);
    TabSheet1 = new TTabSheet(this);
    TabSheet1->SetName(QStringLiteral("TabSheet1"));
    TabSheet1->SetPageControl(PageControl1);
    TabSheet2 = new TTabSheet(this);
    TabSheet2->SetName(QStringLiteral("TabSheet2"));
    TabSheet2->SetPageControl(PageControl1);
    ACG_ByteIN = Make_Grid(this, TabSheet1, "ACG_ByteIN", Byte_Columns_IN);
    ACG_ByteOUT = Make_Grid(this, TabSheet2, "ACG_ByteOUT", Byte_Columns_OUT);
    PageControl1->SetActivePage(TabSheet1);
}

TFDefOffset::~TFDefOffset()
{
    if (FDefOffset == this)
        FDefOffset = nullptr;
}

void TFDefOffset::AfterConstruction()
{
    FDefOffset = this;
    TFMapEditor::AfterConstruction();
}

bool TFDefOffset::Writes_Version() const
{
    return Model_Code == 7;
}

void TFDefOffset::Set_Lang()
{
    TFMapEditor::Set_Lang();
    TabSheet1->SetCaption(Text_Of(645));
    TabSheet2->SetCaption(Text_Of(646));
    Label1->SetCaption(Text_Of(647));
    Label2->SetCaption(Text_Of(648));
    Label3->SetCaption(Text_Of(649));
    Set_Headers(ACG_ByteIN, Byte_Columns_IN);
    Set_Headers(ACG_ByteOUT, Byte_Columns_OUT);
}

// ---------------------------------------------------------------------------
// Showing and loading

void TFDefOffset::Reset_Rows()
{
    List_Slaves_DN.clear();
    MAX_BYTE_IN = 1439;
    MAX_BYTE_OUT = 1439;
    Fill_Positions(ACG_ByteIN, DB_Offset, MAX_BYTE_IN, true);
    Fill_Positions(ACG_ByteOUT, DB_Offset, MAX_BYTE_OUT, true);
    Slave_Before_Select = -1;
}

void TFDefOffset::Load_File()
{
    Load_Slave_DN();
    Load_Offset_Slave_DN();
    Select_First();
}

void TFDefOffset::Load_Slave_DN()
{
    sga->SetRowCount(1);
    const QString path = File_DNETM_Net;
    try {
        if (path.isEmpty() || !Project_File_Present(path))
            return;
        const TProjectFile file(path);
        const XmlNode root = file.Root();
        int children = 0;
        for (XmlNode n = root.FirstChild(); n; n = n.NextSibling())
            ++children;
        sga->SetRowCount(children + 1);
        int row = 1;
        for (XmlNode n = root.FirstChild(); n; n = n.NextSibling(), ++row) {
            const TRowReader r(n, file.Name(), row);
            // The list has no number column: the ID stands in column 0.
            sga->SetCellEx(DS_ID, row, r.Text(X::ID));
            Fill_Row(sga, DN_Slave_Columns, r, row);
            auto slave = std::make_unique<TSlave_DN>();
            slave->ID = uint8_t(Ranged(r, X::ID, Max_ID));
            slave->ByteIN = uint16_t(Ranged(r, X::NB_IN, Max_Bytes));
            slave->ByteOUT = uint16_t(Ranged(r, X::NB_OUT, Max_Bytes));
            for (int j = 0; j < slave->ByteIN; ++j) {
                slave->SL_ByteIN.append(QStringLiteral("None"));
                slave->SL_ByteIN_M.append(QString());
            }
            for (int j = 0; j < slave->ByteOUT; ++j) {
                slave->SL_ByteOUT.append(QStringLiteral("None"));
                slave->SL_ByteOUT_M.append(QString());
            }
            List_Slaves_DN.push_back(std::move(slave));
        }
    } catch (const Exception& e) {
        // The slaves read so far stay; the list shows only those.
        sga->SetRowCount(int(List_Slaves_DN.size()) + 1);
        MessageDlg(e.Message(), mtError, MsgDlgButtons({mbOK}));
    }
}

void TFDefOffset::Load_Offset_Slave_DN()
{
    const QString path = File_DNETM_DefOff;
    try {
        if (!Begin_Load(path))
            return;
        const TProjectFile file(path);
        size_t i = 0;
        for (XmlNode node = file.Root().FirstChild(); node && i < List_Slaves_DN.size();
             node = node.NextSibling(), ++i) {
            TSlave_DN& slave = *List_Slaves_DN[i];
            auto read = [&](const QString& listName, int count, QStringList& offsets, QStringList& mnemonics) {
                const XmlNode list = node.ChildElement(listName);
                if (!list)
                    throw ETableFileError(QStringLiteral("%1: slave %2 has no list \"%3\"")
                                              .arg(file.Name())
                                              .arg(i + 1)
                                              .arg(listName));
                int j = 0;
                for (XmlNode n = list.FirstChild(); n && j < count; n = n.NextSibling(), ++j) {
                    const TRowReader r(n, file.Name(), j + 1, listName);
                    offsets[j] = r.Text(X::Offset);
                    mnemonics[j] = r.Text(X::Mnemonic);
                }
            };
            read(X::List_ByteIN, slave.ByteIN, slave.SL_ByteIN, slave.SL_ByteIN_M);
            read(X::List_ByteOUT, slave.ByteOUT, slave.SL_ByteOUT, slave.SL_ByteOUT_M);
        }
    } catch (const Exception& e) {
        // OK rewrites this file: it is kept beside itself first.
        Load_Failed(e);
    }
    End_Load();
}

void TFDefOffset::Select_First()
{
    if (sga->RowCount() <= 1) {
        Update_Slave_DN();
        return;
    }
    if (sga->Row() != 1)
        sga->SetRow(1); // the list's click event shows the slave
    else
        ACG_DN_SlavesClick(sga);
}

// ---------------------------------------------------------------------------
// Choosing a slave

void TFDefOffset::ACG_DN_SlavesClick(TObject*)
{
    if (Slave_Before_Select != -1)
        Save_Data_ByteIN_ByteOUT();
    const int row = sga->Row();
    if (sga->RowCount() > 1 && row >= 1) {
        sga->SelectRows(row, 1);
        Slave_Before_Select = row - 1;
    }
    Update_Slave_DN();
}

void TFDefOffset::Fill_Byte_Grid(TExColumnGrid* grid, const QStringList& offsets, const QStringList& mnemonics)
{
    grid->BeginUpdate();
    grid->SetRowCount(int(offsets.size()) + 1);
    for (int k = 0; k < offsets.size(); ++k) {
        grid->SetCellEx(DB_Byte, k + 1, QString::number(k));
        grid->SetCellEx(DB_Offset, k + 1, offsets.at(k));
        grid->SetCellEx(DB_Mnemonic, k + 1, mnemonics.at(k));
    }
    grid->EndUpdate();
}

void TFDefOffset::Update_Slave_DN()
{
    const int index = sga->Row() - 1;
    if (sga->RowCount() <= 1 || index < 0 || index >= int(List_Slaves_DN.size())) {
        ACG_ByteIN->SetRowCount(1);
        ACG_ByteOUT->SetRowCount(1);
        return;
    }
    const TSlave_DN& slave = *List_Slaves_DN[size_t(index)];
    Fill_Byte_Grid(ACG_ByteIN, slave.SL_ByteIN, slave.SL_ByteIN_M);
    Fill_Byte_Grid(ACG_ByteOUT, slave.SL_ByteOUT, slave.SL_ByteOUT_M);
}

void TFDefOffset::Store_Byte_Grid(TExColumnGrid* grid, QStringList& offsets, QStringList& mnemonics)
{
    for (int r = 1; r < grid->RowCount() && r - 1 < offsets.size(); ++r) {
        offsets[r - 1] = grid->GetCellEx(DB_Offset, r);
        mnemonics[r - 1] = grid->GetCellEx(DB_Mnemonic, r);
    }
}

bool TFDefOffset::Save_Data_ByteIN_ByteOUT()
{
    if (Slave_Before_Select < 0 || Slave_Before_Select >= int(List_Slaves_DN.size()))
        return true;
    TSlave_DN& slave = *List_Slaves_DN[size_t(Slave_Before_Select)];
    Store_Byte_Grid(ACG_ByteIN, slave.SL_ByteIN, slave.SL_ByteIN_M);
    Store_Byte_Grid(ACG_ByteOUT, slave.SL_ByteOUT, slave.SL_ByteOUT_M);
    return true;
}

// ---------------------------------------------------------------------------
// The check and the file

void TFDefOffset::Reset_Array_Check()
{
    for (TByteUser& u : Check_Byte_Offset)
        u = TByteUser{};
}

bool TFDefOffset::Check_Data()
{
    Reset_Array_Check();
    const int positions = std::min<int>(MAX_BYTE_OUT, int(std::size(Check_Byte_Offset)));
    for (const auto& slave : List_Slaves_DN) {
        for (int j = 0; j < slave->ByteOUT; ++j) {
            const int pos = StrToIntDef(slave->SL_ByteOUT.at(j), -1);
            // "None", other texts and positions outside the array (a
            // hand-edited file) take no position.
            if (pos < 0 || pos >= positions)
                continue;
            TByteUser& user = Check_Byte_Offset[pos];
            if (user.ID != -1 || user.Byte != -1) {
                Show_Error(Text_Of(660) + QStringLiteral("\n\r( ") + Text_Of(661) + QString::number(user.ID) +
                           Text_Of(662) + QString::number(user.Byte) + Text_Of(663) + QString::number(slave->ID) +
                           Text_Of(664) + QString::number(j) + QStringLiteral(")"));
                return false;
            }
            user = TByteUser{slave->ID, j};
        }
    }
    return true;
}

void TFDefOffset::Save_Offset_Slave_DN()
{
    XmlDocument doc;
    XmlNode root = doc.CreateRoot(X::Root_Offsets);
    if (Writes_Version())
        doc.AppendComment(X::Version);
    for (const auto& slave : List_Slaves_DN) {
        XmlNode node = root.AppendElement(X::Node);
        auto write = [&node](const QString& listName, const QStringList& offsets, const QStringList& mnemonics) {
            XmlNode list = node.AppendElement(listName);
            for (int j = 0; j < offsets.size(); ++j) {
                XmlNode row = list.AppendElement(X::Row);
                row.AppendAttribute(X::Offset, offsets.at(j));
                row.AppendAttribute(X::Mnemonic, mnemonics.at(j));
            }
        };
        write(X::List_ByteIN, slave->SL_ByteIN, slave->SL_ByteIN_M);
        write(X::List_ByteOUT, slave->SL_ByteOUT, slave->SL_ByteOUT_M);
    }
    doc.SaveToFile(File_DNETM_DefOff);
}
