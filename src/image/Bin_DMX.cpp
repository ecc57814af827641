#include "image/Bin_DMX.h"

#include "project/Models.h"

#include "project/ProjectFiles.h"
#include "image/BinBuffer.h"
#include "image/BinParGen.h"
#include "image/KNXTable.h"
#include "platform/core/IntConv.h"

namespace {

using F = TParGenField;
using K = TKeyConversion;

// The first byte after the general block, where the channel values lie.
constexpr uint32_t DMX_Table_Address = 0x68800;

} // namespace

void Load_Par_Gen_DMX(TImageBuild& build)
{
    TBin_Par_Gen& pg = build.Bin_Par_Gen;
    Store_KNX_Table_Addresses(pg);
    pg.Set(F::Table_Address_Extra, DMX_Table_Address);
    const TParGenFile file(build);
    if (!file.Exists())
        return;
    Load_Par_Gen_KNX(file, pg, 4552);
    QString text;
    const int direction = file.Text(QStringLiteral("DMX_DMX"), text) ? StrToIntDef(text, 1) : 1;
    const int channels = file.Text(QStringLiteral("DMX_Num_Channels"), text) ? StrToIntDef(text, 512) : 512;
    // Direction 0 is "IN": the gateway receives the channels.
    pg.Set(F::DMX_In_Channels, direction == 0 ? channels : 0);
    pg.Set(F::DMX_Out_Channels, direction == 0 ? 0 : channels);
    Load_Par_Gen_Ethernet(file, pg, Ethernet_Key_Prefix(build.Model_Code));
}

void Load_DMX_Default_Values(TImageBuild& build, TDMX_Channel_Defaults& defaults)
{
    defaults.Value.fill(0);
    if (!build.Has_File(ProjectFiles::DMX_Default_Values))
        return;
    const TProjectFile file = build.Load_File(ProjectFiles::DMX_Default_Values);
    const QList<XmlNode> rows = file.Root().ChildElements();
    const int m = qMin(int(rows.size()), TDMX_Channel_Defaults::Channels);
    for (int i = 0; i < m; ++i) {
        const TRowReader r(rows[i], ProjectFiles::DMX_Default_Values, i + 1);
        defaults.Value[size_t(i)] = uint8_t(r.Number_Or(ProjectFiles::DMXXml::Default_Value, 0, 0));
    }
}

int Save_DMX_Default_Values(const TDMX_Channel_Defaults& defaults, int position, TBinBuffer& buffer)
{
    buffer.PutBytes(position, defaults.Value.data(), TDMX_Channel_Defaults::Channels);
    return position + TDMX_Channel_Defaults::Channels;
}

void Build_Bin_DMX(TImageBuild& build)
{
    build.Bin_Par_Gen.Init_Par_Gen();
    build.KNX_Table.Init_KNX_Table();
    TDMX_Channel_Defaults defaults;
    // The KNX table reads the direction the general parameters set.
    Load_Par_Gen_DMX(build);
    Load_KNX_Table(build);
    Load_DMX_Default_Values(build, defaults);
    build.Bin.Bin_Count = 0;
    Save_KNX_Table_And_Par_Gen(build);
    build.Bin.Bin_Count = Save_DMX_Default_Values(defaults, build.Bin.Bin_Count, build.Bin);
}
