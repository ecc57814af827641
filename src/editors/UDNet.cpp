#include "editors/UDNet.h"

#include "app/UComon.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/core/IntConv.h"
#include "project/ProjectFiles.h"

namespace {

namespace X = ProjectFiles::DNetXml;
using D = TMapDefault;

constexpr std::span<const char* const> No_Items;
constexpr TColor Address = RGB(0xCE, 0xFF, 0xCE);
constexpr TColor Count = RGB(0xFF, 0xFF, 0xD5);
constexpr int Max_ID = 63;
constexpr int Max_Bytes = 65535;

bool In(const QString& cell, int lo, int hi)
{
    const int v = StrToIntDef(cell, -1);
    return v >= lo && v <= hi;
}

} // namespace

extern constexpr TMapColumn DNet_Columns[DN_Count] = {
    {631, edNormal, No_Items, 45,  clWindow, nullptr,      D::Required, "", false},
    {632, edNormal, No_Items, 85,  Address,  &X::ID,       D::Required, "", true},
    {633, edNormal, No_Items, 85,  Count,    &X::NB_IN,    D::Required, "", false},
    {634, edNormal, No_Items, 85,  Count,    &X::NB_OUT,   D::Required, "", false},
    {635, edNormal, No_Items, 255, clWindow, &X::Mnemonic, D::Required, "", false},
};

const TMapEditorInfo DNet_Info = {
    "FDNet", DNet_Columns, X::Max_Slaves, 609, 337,
    625, 626, 627, 628, 629, 630, 636, 640,
    &X::Root_Net, &X::Row, &X::Version, &File_DNETM_Net,
};

TFDNet* FDNet = nullptr;

TFDNet::TFDNet(TComponent* AOwner) : TFMapEditor(AOwner, DNet_Info)
{
    SG = sga;
    sga->SetName(QStringLiteral("SG"));
}

TFDNet::~TFDNet()
{
    if (FDNet == this)
        FDNet = nullptr;
}

void TFDNet::AfterConstruction()
{
    FDNet = this;
    TFMapEditor::AfterConstruction();
}

bool TFDNet::Writes_Version() const
{
    return Model_Code == 7;
}

bool TFDNet::controllo_dati()
{
    const int end = Table_End();
    for (int r = 1; r < end; ++r) {
        int rule = 0;
        if (!In(Cell(DN_ID, r), 0, Max_ID))
            rule = 637;
        else if (!In(Cell(DN_NB_IN, r), 0, Max_Bytes))
            rule = 638;
        else if (!In(Cell(DN_NB_OUT, r), 0, Max_Bytes))
            rule = 639;
        if (rule) {
            Show_Row_Error(r, rule);
            return false;
        }
    }
    return true;
}
