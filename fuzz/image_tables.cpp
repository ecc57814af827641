// Arbitrary bytes as the table files of every model with tables of its own
// (M-Bus network, Modbus, CAN, CANopen, DMX, the KNX access table and both
// J1939 frame files of model 9) and as ParGen.xml. A build may refuse the
// input with an error; it must never crash or write past a table.
#include "project/ProjectFiles.h"
#include "image/USaveBincc.h"
#include "platform/core/Files.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {

// The M-Bus keys that let the network's nodes in, so the bytes reach the
// node and variable readers.
const QByteArray MBus_ParGen =
    "<Par_Gen><MBus_Options_Wire_Present>1</MBus_Options_Wire_Present>"
    "<MBus_Options_Wireless_Present>1</MBus_Options_Wireless_Present>"
    "<Modbus_TCP_Slave_IP1>1</Modbus_TCP_Slave_IP1><Modbus_TCP_Slave_IP2>2</Modbus_TCP_Slave_IP2>"
    "<Modbus_TCP_Slave_IP3>3</Modbus_TCP_Slave_IP3><Modbus_TCP_Slave_IP4>4</Modbus_TCP_Slave_IP4>"
    "<Modbus_TCP_Slave_SM1>1</Modbus_TCP_Slave_SM1><Modbus_TCP_Slave_SM2>2</Modbus_TCP_Slave_SM2>"
    "<Modbus_TCP_Slave_SM3>3</Modbus_TCP_Slave_SM3><Modbus_TCP_Slave_SM4>4</Modbus_TCP_Slave_SM4>"
    "<Modbus_TCP_Slave_GAT1>1</Modbus_TCP_Slave_GAT1><Modbus_TCP_Slave_GAT2>2</Modbus_TCP_Slave_GAT2>"
    "<Modbus_TCP_Slave_GAT3>3</Modbus_TCP_Slave_GAT3><Modbus_TCP_Slave_GAT4>4</Modbus_TCP_Slave_GAT4>"
    "<Modbus_TCP_Slave_EN_GAT>1</Modbus_TCP_Slave_EN_GAT><Meter_Baud>1</Meter_Baud><Meter_Par>1</Meter_Par>"
    "<Meter_Req_Delay>5</Meter_Req_Delay></Par_Gen>";

void build(const QString& dir, int model)
{
    try {
        (void)Build_Image(dir, model);
    } catch (const Exception&) {
        // A file the builder cannot use is refused with a message.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTemporaryDir dir;
    if (!dir.isValid())
        return 0;
    const QString tables[] = {ProjectFiles::M_Bus, ProjectFiles::ModbusM_SetAccess,
                              ProjectFiles::ModbusTCPM_SetAccess, ProjectFiles::CAN_Rec_Frames,
                              ProjectFiles::CAN_Send_Frames, ProjectFiles::SDO_Server_CANopen,
                              ProjectFiles::SDO_Client_CANopen, ProjectFiles::PDO_CANopen,
                              ProjectFiles::DMX_Default_Values, ProjectFiles::KNX_SetAccess,
                              ProjectFiles::J1939_Rec_Frames, ProjectFiles::J1939_Send_Frames};
    for (const QString& name : tables)
        WriteFileWhole(PathJoin(dir.path(), name), bytes);
    WriteFileWhole(PathJoin(dir.path(), ProjectFiles::ParGen), MBus_ParGen);
    for (int model : {1, 3, 5, 6, 9, 10, 11})
        build(dir.path(), model);

    // The same bytes as the general parameters of every model.
    WriteFileWhole(PathJoin(dir.path(), ProjectFiles::ParGen), bytes);
    for (int model : {1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14, 15})
        build(dir.path(), model);
    return 0;
}
