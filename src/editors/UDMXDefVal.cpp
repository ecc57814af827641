#include "editors/UDMXDefVal.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/xml/XmlDoc.h"
#include "project/ProjectFiles.h"
#include "project/TableFile.h"

namespace {

namespace X = ProjectFiles::DMXXml;
using D = TMapDefault;

constexpr std::span<const char* const> No_Items;
constexpr TColor Value = RGB(0xE0, 0xFA, 0xFE);
constexpr int Max_Value = 255;

} // namespace

extern constexpr TMapColumn DMX_Def_Val_Columns[DV_Count] = {
    {883, edNormal, No_Items, 100, clWindow, nullptr,           D::Missing, "",  false},
    {884, edNormal, No_Items, 100, Value,    &X::Default_Value, D::Missing, "0", false},
    {885, edNormal, No_Items, 250, clWindow, &X::Mnemonic,      D::Missing, "",  false},
};

const TMapEditorInfo DMX_Def_Val_Info = {
    "FDMXDefVal", DMX_Def_Val_Columns, X::Channels, 475, 337,
    879, 880, 881, 882, 0, 0, 886, 0,
    &X::Root, &X::Row, &X::Version, &File_DMX_Default_Values,
};

TFDMXDefVal* FDMXDefVal = nullptr;

TFDMXDefVal::TFDMXDefVal(TComponent* AOwner) : TFMapEditor(AOwner, DMX_Def_Val_Info)
{
    ACG_DMX_Def_Val = sga;
    sga->SetName(QStringLiteral("ACG_DMX_Def_Val"));
    // Every channel is a row: there is nothing to insert or delete.
    Btn_DelRow->SetVisible(false);
    Btn_InsRow->SetVisible(false);
}

TFDMXDefVal::~TFDMXDefVal()
{
    if (FDMXDefVal == this)
        FDMXDefVal = nullptr;
}

void TFDMXDefVal::AfterConstruction()
{
    FDMXDefVal = this;
    TFMapEditor::AfterConstruction();
}

int TFDMXDefVal::Channel_Count()
{
    const QString path = File_ParGen;
    int channels = X::Channels;
    if (!path.isEmpty() && FileExists(path)) {
        try {
            const TProjectFile file(path);
            const XmlNode e = file.Root().ChildElement(QStringLiteral("DMX_Num_Channels"));
            if (e)
                channels = StrToIntDef(e.Text(), X::Channels);
        } catch (const Exception&) {
            // A ParGen.xml that cannot be read gives the default silently:
            // the general-parameters dialog is where that file is reported.
        }
    }
    return channels >= 1 && channels <= X::Channels ? channels : X::Channels;
}

void TFDMXDefVal::Reset_Rows()
{
    sga->SetRowCount(Channel_Count() + 1);
    sga->BeginUpdate();
    for (int r = 1; r < sga->RowCount(); ++r) {
        Set_Cell(DV_Channel, r, QString::number(r));
        Set_Cell(DV_Default_Value, r, QStringLiteral("0"));
        Set_Cell(DV_Mnemonic, r, QString());
    }
    sga->EndUpdate();
}

void TFDMXDefVal::Write_File()
{
    XmlDocument doc;
    XmlNode root = doc.CreateRoot(X::Root);
    doc.AppendComment(X::Version);
    for (int r = 1; r < sga->RowCount(); ++r)
        Write_Row(root, X::Row, sga, DMX_Def_Val_Columns, r);
    doc.SaveToFile(File_DMX_Default_Values);
}

bool TFDMXDefVal::Controllo_dati()
{
    for (int r = 1; r < sga->RowCount(); ++r) {
        const int v = StrToIntDef(Cell(DV_Default_Value, r), -1);
        if (v < 0 || v > Max_Value) {
            Show_Row_Error(r, 887);
            return false;
        }
    }
    return true;
}
