#pragma once
// What a scan found, saved: the wired or wireless devices of a scan written
// as nodes of the network file (new, or appended to the existing one) with
// the Modbus registers the gateway publishes each variable in, and the scan
// reports the engine writes at the end of a scan when asked to.
//
// Registers. A counter starts at the first register and takes the Dim code's
// register count per variable (a variable-length value of n bytes takes
// (n + 1) / 2 rounded half to even); in per-node mode each device starts at
// its own register, and a record left unticked there takes none.
//
// Ticks. A device or record with no tree node, or whose node cannot be read,
// counts as ticked.
//
// Failures. The writers take the device list's lock for the whole walk.
// An empty list writes nothing and returns false. A file to append to that
// cannot be loaded or has no root raises before anything is written; the
// file is written whole, never half.
#include "mbus/MBusRecords.h"
#include "platform/xml/XmlDoc.h"

#include <QList>
#include <QString>

#include <cstdint>

struct TSaveConfXML {
    int32_t Append = 0;          // 1: add to the existing file
    int32_t XML_Code_Dev = 15;   // the gateway family's device code
    int32_t Mod_Start = 1;       // first Modbus register
    int32_t Index_Baud = 0;
    int32_t Index_Par = 0;
    int32_t Node_ID_Type = 0;    // 0 primary, 1 secondary address
    int32_t SND_NKE = 0;
    int32_t Reset_App = 0;
    int32_t Cut_After = 3;       // answer frames per node, 1..250
    int32_t StartModnode = 0;    // 1: each device starts at SMN_Array[i]
    QList<int32_t> SMN_Array;
    bool En_NodeState = false;
    bool En_IdeNum = false;
    QString File_Name;
};

// The Dim code of a data field code and the registers a value of it takes
// (`bytes`: the length of a variable-length value).
struct TMBusRegisterUse {
    int Dim = 255;
    int Registers = 0;
};
TMBusRegisterUse MBus_Register_Use(int dataField, int bytes);

// The network file's nodes for the wired devices of `list`. The counter's
// value after the last variable goes to *nextRegister when given.
bool Save_XML_Conf_Wired(const TSaveConfXML& DataIn, TMBusSlaveList<TSlave_MBus>& list,
                         int32_t* nextRegister = nullptr);
bool Save_XML_Conf_Wireless(const TSaveConfXML& DataIn, TMBusSlaveList<TSlave_wMBus>& list,
                            int32_t* nextRegister = nullptr);

// The scan reports ("SCAN_M-Bus_Wired", "SCAN_M-Bus_Wireless"), written
// whole to `path`.
void Save_Wired_Scan_Report(const QString& path, TMBusSlaveList<TSlave_MBus>& list);
void Save_Wireless_Scan_Report(const QString& path, TMBusSlaveList<TSlave_wMBus>& list);
