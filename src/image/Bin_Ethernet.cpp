#include "image/Bin_Ethernet.h"

#include "project/Models.h"

#include "image/BinBuffer.h"
#include "image/BinParGen.h"
#include "image/KNXTable.h"

namespace {

using F = TParGenField;
using K = TKeyConversion;

// The first byte after the general block.
constexpr uint32_t Extra_Table_Address = 0x68800;
constexpr uint16_t EtherNetIP_Port = 44818;
// 9.0.1, 9.0.160 and 9.0.161.
constexpr int64_t KNXIP_Individual_Address = 36865;
constexpr int64_t KNXIP_Tunnel_Address = 37024;
constexpr int64_t KNXIP_Management_Address = 37025;

void storeConstants(TBin_Par_Gen& pg)
{
    Store_KNX_Table_Addresses(pg);
    pg.Set(F::Table_Address_Extra, Extra_Table_Address);
}

void loadStationName(const TParGenFile& file, TBin_Par_Gen& pg)
{
    QString name;
    if (!file.Text(QStringLiteral("PROFINET_NAME_STA"), name))
        name = QStringLiteral("devicename1");
    pg.SetText(F::Station_Name, Station_Name_Bytes(name));
}

} // namespace

QByteArray Station_Name_Bytes(const QString& name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    for (const QChar c : name)
        bytes.append(char(c.unicode() & 0xFF));
    return bytes;
}

void Load_Par_Gen_PROFINET(TImageBuild& build)
{
    TBin_Par_Gen& pg = build.Bin_Par_Gen;
    storeConstants(pg);
    const TParGenFile file(build);
    if (!file.Exists())
        return;
    Load_Par_Gen_KNX(file, pg, 4552);
    static const TParGenKey delay[] = {
        {"KNX_DELAY_BETWEEN_PACKETS", F::KNX_Packet_Delay, 0, K::Number, 100, 100},
    };
    Load_Keys(file, pg, delay);
    Load_Par_Gen_Ethernet(file, pg, Ethernet_Key_Prefix(build.Model_Code));
    loadStationName(file, pg);
    static const TParGenKey bytes[] = {
        {"PROFINET_NB_IN", F::Input_Bytes, 0, K::Number, 1438, 1438},
        {"PROFINET_NB_OUT", F::Output_Bytes, 0, K::Number, 1438, 1438},
    };
    Load_Keys(file, pg, bytes);
}

void Load_Par_Gen_EtherNetIP(TImageBuild& build)
{
    TBin_Par_Gen& pg = build.Bin_Par_Gen;
    storeConstants(pg);
    const TParGenFile file(build);
    if (!file.Exists())
        return;
    Load_Par_Gen_KNX(file, pg, 4552);
    Load_Par_Gen_Ethernet(file, pg, Ethernet_Key_Prefix(build.Model_Code), 11);
    // EtherNetIP_Port is a fixed value in the dialog; the gateway always
    // listens on the EtherNet/IP port.
    pg.Set(F::Service_Port_Copy, EtherNetIP_Port);
    pg.Set(F::Service_Port, EtherNetIP_Port);
    static const TParGenKey keys[] = {
        {"EtherNetIP_NB_IN", F::Input_Bytes, 0, K::Number, 496, 496},
        {"EtherNetIP_NB_OUT", F::Output_Bytes, 0, K::Number, 500, 500},
    };
    Load_Keys(file, pg, keys);
}

void Load_Par_Gen_KNXIP(TImageBuild& build)
{
    TBin_Par_Gen& pg = build.Bin_Par_Gen;
    pg.Set(F::KNX_Individual_Address, KNXIP_Individual_Address);
    pg.Set(F::KNX_Tunnel_Address, KNXIP_Tunnel_Address);
    pg.Set(F::KNX_Management_Address, KNXIP_Management_Address);
    pg.Set(F::KNX_Control_Port, 50000);
    pg.Set(F::KNX_Tunnel_Port, 50001);
    pg.Set(F::KNX_Management_Port, 50002);
    const TParGenFile file(build);
    if (!file.Exists())
        return;
    static const TParGenKey keys[] = {
        {"KNX_ID_DEV", F::KNX_Individual_Address, 0, K::Individual_Address, 0, KNXIP_Individual_Address},
        {"KNX_ID_TUNNEL", F::KNX_Tunnel_Address, 0, K::Individual_Address, 0, KNXIP_Tunnel_Address},
        {"KNX_ID_MANAGEMENT", F::KNX_Management_Address, 0, K::Individual_Address, 0, KNXIP_Management_Address},
        {"KNX_CONTROL_PORT", F::KNX_Control_Port, 0, K::Number, 50000, 50000},
        {"KNX_TUNNEL_PORT", F::KNX_Tunnel_Port, 0, K::Number, 50001, 50001},
        {"KNX_MANAGEMENT_PORT", F::KNX_Management_Port, 0, K::Number, 50002, 50002},
    };
    Load_Keys(file, pg, keys);
    Load_Par_Gen_Ethernet(file, pg, Ethernet_Key_Prefix(build.Model_Code));
}

void Load_Par_Gen_SNMP(TImageBuild& build)
{
    TBin_Par_Gen& pg = build.Bin_Par_Gen;
    storeConstants(pg);
    const TParGenFile file(build);
    if (!file.Exists())
        return;
    Load_Par_Gen_KNX(file, pg, 4552);
    Load_Par_Gen_Ethernet(file, pg, Ethernet_Key_Prefix(build.Model_Code));
    loadStationName(file, pg);
}

void Build_Bin_PROFINET(TImageBuild& build)
{
    Build_KNX_And_Par_Gen_Image(build, Load_Par_Gen_PROFINET);
}

void Build_Bin_EtherNetIP(TImageBuild& build)
{
    Build_KNX_And_Par_Gen_Image(build, Load_Par_Gen_EtherNetIP);
}

void Build_Bin_SNMP(TImageBuild& build)
{
    Build_KNX_And_Par_Gen_Image(build, Load_Par_Gen_SNMP);
}

void Build_Bin_KNXIP(TImageBuild& build)
{
    // The interface carries no KNX object table.
    build.Bin_Par_Gen.Init_Par_Gen();
    Load_Par_Gen_KNXIP(build);
    build.Bin.Bin_Count = 0;
    build.Bin_Par_Gen.Save_Par_Gen(build.Bin, 0);
    build.Bin.Bin_Count = TBin_Par_Gen::Block_Size;
}
