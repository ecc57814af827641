#pragma once
// Names inside a project folder: the 17 project files and the device image,
// and what is read of each table file: its root, lists, row elements and
// attributes as the editors write them, and for every check-box column the
// rule it is read by (project/TableFlags.h). The shell, the image builders
// and the editors all take them from here; a name written out anywhere else
// is a name that can drift.
#include "project/TableFlags.h"

#include <QString>

namespace ProjectFiles {

inline const QString ParGen = QStringLiteral("ParGen.xml");
inline const QString KNX_SetAccess = QStringLiteral("KNX_SetAccess.xml");
inline const QString ModbusM_SetAccess = QStringLiteral("ModbusM_SetAccess.xml");
inline const QString ModbusTCPM_SetAccess = QStringLiteral("ModbusTCPM_SetAccess.xml");
inline const QString CAN_Rec_Frames = QStringLiteral("CAN_Rec_Frames.xml");
inline const QString CAN_Send_Frames = QStringLiteral("CAN_Send_Frames.xml");
inline const QString CAN_Rec_Info = QStringLiteral("CAN_Rec_Info.xml");
inline const QString CAN_Send_Info = QStringLiteral("CAN_Send_Info.xml");
inline const QString SDO_Server_CANopen = QStringLiteral("SDO_Server_CANopen.xml");
inline const QString SDO_Client_CANopen = QStringLiteral("SDO_Client_CANopen.xml");
inline const QString PDO_CANopen = QStringLiteral("PDO_CANopen.xml");
inline const QString DNETM_Net = QStringLiteral("DNETM_Net.xml");
inline const QString DNETM_DefOff = QStringLiteral("DNETM_DefOff.xml");
inline const QString J1939_Rec_Frames = QStringLiteral("J1939_Rec_Frames.xml");
inline const QString J1939_Send_Frames = QStringLiteral("J1939_Send_Frames.xml");
inline const QString M_Bus = QStringLiteral("M_Bus.xml");
inline const QString DMX_Default_Values = QStringLiteral("DMX_Default_Values.xml");

// The device image, in the project's "bin" folder.
inline const QString BinFolder = QStringLiteral("bin");
inline const QString Bank = QStringLiteral("bank.bin");
inline const QString Bank1 = QStringLiteral("bank1.bin");
inline const QString Bank2 = QStringLiteral("bank2.bin");

// The version comment written after the root of every project file.
inline const QString VersionComment = QStringLiteral("SW_VERSION = 1.100");

// What is read of the table files: roots, lists, row elements and their
// attributes, named as the editors write them.

// ParGen.xml: one child element per key under the root.
namespace ParGenXml {
inline const QString Root = QStringLiteral("Par_Gen");
} // namespace ParGenXml

// KNX_SetAccess.xml: the rows stand in the list "KNX_in_Write".
namespace KNXAccessXml {
inline const QString Root = QStringLiteral("BACnet_to_KNX");
inline const QString List_Read = QStringLiteral("KNX_in_Read");
inline const QString List_Write = QStringLiteral("KNX_in_Write");
inline const QString Row = QStringLiteral("row");
inline const QString Enable = QStringLiteral("Enable");
inline const QString Source_Address = QStringLiteral("Source_Address");
inline const QString Destination_Address = QStringLiteral("Destination_Address");
inline const QString APCI = QStringLiteral("APCI");
inline const QString Priority = QStringLiteral("Priority");
inline const QString Format = QStringLiteral("Format");
inline const QString Extended = QStringLiteral("Extended");
inline const QString ReTest = QStringLiteral("ReTest");
inline const QString On_Command = QStringLiteral("On_Command");
inline const QString On_Change = QStringLiteral("On_Change");
inline const QString On_Timer = QStringLiteral("On_Timer");
inline const QString Poll_Time = QStringLiteral("Poll_Time");
inline const QString Position = QStringLiteral("Position");
inline const QString Length = QStringLiteral("Length");
inline const QString Bit_Mode = QStringLiteral("Bit_Mode");
inline const QString Mnemonic = QStringLiteral("Mnemonic");
// A row without Enable is used; Extended, ReTest and On_Change are always
// written by the editor, On_Command and On_Timer may be missing.
inline const TFlagColumn Enable_Flag{Enable, TFlagRule::Trim_Upper, TFlagMissing::Set};
inline const TFlagColumn Extended_Flag{Extended, TFlagRule::Upper, TFlagMissing::Error};
inline const TFlagColumn ReTest_Flag{ReTest, TFlagRule::Upper, TFlagMissing::Error};
inline const TFlagColumn On_Change_Flag{On_Change, TFlagRule::Upper, TFlagMissing::Error};
inline const TFlagColumn On_Command_Flag{On_Command, TFlagRule::Upper, TFlagMissing::Clear};
inline const TFlagColumn On_Timer_Flag{On_Timer, TFlagRule::Upper, TFlagMissing::Clear};
// At most this many rows are read.
inline constexpr int Max_Rows = 1024;
} // namespace KNXAccessXml

// J1939_Rec_Frames.xml: "row" elements directly under the root.
namespace J1939RecXml {
inline const QString Root = QStringLiteral("Receive_J1939");
inline const QString Row = QStringLiteral("row");
inline const QString DP = QStringLiteral("DP");
inline const QString PGN = QStringLiteral("PGN");
inline const QString SA = QStringLiteral("SA");
inline const QString TP = QStringLiteral("TP");
inline const QString TP_Start = QStringLiteral("TP_Start");
inline const QString TP_NByte = QStringLiteral("TP_NByte");
inline const QString Delete = QStringLiteral("Delete");
inline const QString OnRequest = QStringLiteral("OnRequest");
inline const QString OnReq_Time = QStringLiteral("OnReq_Time");
inline const QString Mnemonic = QStringLiteral("Mnemonic");
// Delete and TP count only as the exact "Y".
inline const TFlagColumn Delete_Flag{Delete, TFlagRule::Exact, TFlagMissing::Clear};
inline const TFlagColumn TP_Flag{TP, TFlagRule::Exact, TFlagMissing::Clear};
inline const TFlagColumn OnRequest_Flag{OnRequest, TFlagRule::Upper, TFlagMissing::Clear};
} // namespace J1939RecXml

// J1939_Send_Frames.xml: the same root name as the receive file.
namespace J1939SendXml {
inline const QString Root = QStringLiteral("Receive_J1939");
inline const QString Row = QStringLiteral("row");
inline const QString Priority = QStringLiteral("Priority");
inline const QString DP = QStringLiteral("DP");
inline const QString PGN = QStringLiteral("PGN");
inline const QString SA = QStringLiteral("SA");
inline const QString TP_NByte = QStringLiteral("TP_NByte");
inline const QString On_Request = QStringLiteral("On_Request");
inline const QString On_Data_Change = QStringLiteral("On_Data_Change");
inline const QString On_Timer = QStringLiteral("On_Timer");
inline const QString SendTimer = QStringLiteral("SendTimer");
inline const QString Mnemonic = QStringLiteral("Mnemonic");
// Older files: one send condition ("On Data Change", "On Timer") in place of
// the three flags; read by the editor, never written.
inline const QString T_Type = QStringLiteral("T_Type");
inline const TFlagColumn On_Request_Flag{On_Request, TFlagRule::Upper, TFlagMissing::Clear};
inline const TFlagColumn On_Data_Change_Flag{On_Data_Change, TFlagRule::Upper, TFlagMissing::Clear};
inline const TFlagColumn On_Timer_Flag{On_Timer, TFlagRule::Upper, TFlagMissing::Clear};
} // namespace J1939SendXml

// ModbusM_SetAccess.xml and ModbusTCPM_SetAccess.xml: the rows stand in the
// lists "Modbus_Read" and "Modbus_Write"; the TCP file adds IP_Address and
// Port to every row.
namespace ModbusXml {
inline const QString Root_RTU = QStringLiteral("EtherNetIP_to_Modbus");
inline const QString Root_TCP = QStringLiteral("PROFINET_Master_to_Modbus_TCP_Master");
inline const QString List_Read = QStringLiteral("Modbus_Read");
inline const QString List_Write = QStringLiteral("Modbus_Write");
inline const QString Row = QStringLiteral("row");
inline const QString Enable = QStringLiteral("Enable");
inline const QString IP_Address = QStringLiteral("IP_Address");
inline const QString Port = QStringLiteral("Port");
inline const QString Slave_ID = QStringLiteral("Slave_ID");
inline const QString Address = QStringLiteral("Address");
inline const QString NPoint = QStringLiteral("NPoint");
inline const QString Type = QStringLiteral("Type");
inline const QString PollTime = QStringLiteral("PollTime");
inline const QString MaxError = QStringLiteral("MaxError");
inline const QString Position = QStringLiteral("Position");
inline const QString Bit = QStringLiteral("Bit");
inline const QString Swap = QStringLiteral("Swap");
inline const QString OnChange = QStringLiteral("OnChange");
inline const QString OnCMD = QStringLiteral("OnCMD");
inline const QString Mnemonic = QStringLiteral("Mnemonic");
// Enable, OnChange and OnCMD are trimmed; Swap is compared as written, except
// in the TCP master's write list, which upper-cases it.
inline const TFlagColumn Enable_Flag{Enable, TFlagRule::Trim_Upper, TFlagMissing::Set};
inline const TFlagColumn OnChange_Flag{OnChange, TFlagRule::Trim_Upper, TFlagMissing::Error};
inline const TFlagColumn OnCMD_Flag{OnCMD, TFlagRule::Trim_Upper, TFlagMissing::Clear};
inline const TFlagColumn Swap_Flag{Swap, TFlagRule::Exact, TFlagMissing::Clear};
inline const TFlagColumn Swap_TCP_Write_Flag{Swap, TFlagRule::Upper, TFlagMissing::Clear};
// At most this many rows per list.
inline constexpr int Max_Rows = 512;
inline const QString Version_RTU = QStringLiteral("SW_VERSION = 1.202");
inline const QString Version_TCP = QStringLiteral("SW_VERSION = 1.102");
} // namespace ModbusXml

// CAN_Rec_Frames.xml and CAN_Send_Frames.xml: "row" elements directly under
// the root.
namespace CANFramesXml {
inline const QString Root_Rec = QStringLiteral("Receive_Frames");
inline const QString Root_Send = QStringLiteral("Transmit_Frames");
inline const QString Row = QStringLiteral("row");
inline const QString Enable = QStringLiteral("Enable");
inline const QString COBID = QStringLiteral("COBID");
inline const QString CAN_Type = QStringLiteral("CAN_Type");
inline const QString Dim = QStringLiteral("Dim");
inline const QString TimeOut = QStringLiteral("TimeOut");
inline const QString Time = QStringLiteral("Time");
inline const QString OnChange = QStringLiteral("OnChange");
inline const QString OnCMD = QStringLiteral("OnCMD");
inline const QString OnTimer = QStringLiteral("OnTimer");
inline const QString Mnemonic = QStringLiteral("Mnemonic");
// "Byte1" .. "Byte8".
inline const QString Byte_Names[8] = {
    QStringLiteral("Byte1"), QStringLiteral("Byte2"), QStringLiteral("Byte3"), QStringLiteral("Byte4"),
    QStringLiteral("Byte5"), QStringLiteral("Byte6"), QStringLiteral("Byte7"), QStringLiteral("Byte8"),
};
inline const QString& Byte(int k) { return Byte_Names[k - 1]; }
inline const QString Type_11_Bits = QStringLiteral("2.0A (11 bits)");
inline const QString Type_29_Bits = QStringLiteral("2.0B (29 bits)");
// A byte that no position is given for.
inline const QString No_Byte = QStringLiteral("None");
inline const QString Version = QStringLiteral("SW_VERSION = 1.101");
// Only Enable is trimmed.
inline const TFlagColumn Enable_Flag{Enable, TFlagRule::Trim_Upper, TFlagMissing::Set};
inline const TFlagColumn OnChange_Flag{OnChange, TFlagRule::Upper, TFlagMissing::Clear};
inline const TFlagColumn OnCMD_Flag{OnCMD, TFlagRule::Upper, TFlagMissing::Clear};
inline const TFlagColumn OnTimer_Flag{OnTimer, TFlagRule::Upper, TFlagMissing::Clear};
} // namespace CANFramesXml

// The older layout of the same two paths, written only by the frame list
// dialogs, which no step opens: a list element inside the root and no byte
// positions. The image builder never reads it.
namespace CANFrameListXml {
inline const QString Root_Rec = QStringLiteral("PROFINET_to_Receive_CAN");
inline const QString Root_Send = QStringLiteral("PROFINET_to_Send_CAN");
inline const QString List_Rec = QStringLiteral("Receive_Frames");
inline const QString List_Send = QStringLiteral("Send_Frames");
inline const QString Row = QStringLiteral("row");
inline const QString Cob_Id = QStringLiteral("Cob_Id");
inline const QString Type = QStringLiteral("Type");
inline const QString Dimension = QStringLiteral("Dimension");
inline const QString TimeOut = QStringLiteral("TimeOut");
inline const QString Send_Type = QStringLiteral("Send_Type");
inline const QString Timer_Send = QStringLiteral("Timer_Send");
inline const QString Mnemonic = QStringLiteral("Mnemonic");
inline constexpr int Max_Rows = 500;
} // namespace CANFrameListXml

// CAN_Rec_Info.xml and CAN_Send_Info.xml: one "row" per frame of the frame
// list, matched by order, with the positions "B1" .. "B8" (65535: none).
namespace CANInfoXml {
inline const QString Root_Rec = QStringLiteral("Receive_Frames_Info");
inline const QString Root_Send = QStringLiteral("Send_Frames_Info");
inline const QString Row = QStringLiteral("row");
inline const QString B_Names[8] = {
    QStringLiteral("B1"), QStringLiteral("B2"), QStringLiteral("B3"), QStringLiteral("B4"),
    QStringLiteral("B5"), QStringLiteral("B6"), QStringLiteral("B7"), QStringLiteral("B8"),
};
inline constexpr int No_Position = 65535;
} // namespace CANInfoXml

// SDO_Server_CANopen.xml, SDO_Client_CANopen.xml and PDO_CANopen.xml: every
// attribute read is required and an integer.
namespace CANopenXml {
inline const QString Root_SDO_Server = QStringLiteral("SDO_Server_CANopen");
inline const QString Root_SDO_Client = QStringLiteral("SDO_Client_CANopen");
inline const QString Root_PDO = QStringLiteral("PDO_CANopen");
inline const QString List_SDO_Read = QStringLiteral("SDO_Read");
inline const QString List_SDO_Write = QStringLiteral("SDO_Write");
inline const QString List_Receive_PDO = QStringLiteral("Receive_PDO");
inline const QString List_Transmit_PDO = QStringLiteral("Transmit_PDO");
inline const QString Row = QStringLiteral("row");
inline const QString Index = QStringLiteral("Index");
inline const QString SubIndex = QStringLiteral("SubIndex");
inline const QString NByte = QStringLiteral("NByte");
inline const QString Device_ID = QStringLiteral("Device_ID");
inline const QString Poll_Time = QStringLiteral("Poll_Time");
inline const QString COB_ID = QStringLiteral("COB-ID");
inline const QString TimeOut = QStringLiteral("TimeOut");
inline const QString Send_Time = QStringLiteral("Send_Time");
inline const QString Dimension = QStringLiteral("Dimension");
inline const QString On_Change = QStringLiteral("On_Change");
inline const QString Mnemonic = QStringLiteral("Mnemonic");
// "Address_B1" .. "Address_B8".
inline const QString Address_B_Names[8] = {
    QStringLiteral("Address_B1"), QStringLiteral("Address_B2"), QStringLiteral("Address_B3"),
    QStringLiteral("Address_B4"), QStringLiteral("Address_B5"), QStringLiteral("Address_B6"),
    QStringLiteral("Address_B7"), QStringLiteral("Address_B8"),
};
inline const QString& Address_B(int k) { return Address_B_Names[k - 1]; }
inline const TFlagColumn On_Change_Flag{On_Change, TFlagRule::Upper, TFlagMissing::Error};
// Rows per list the editors offer.
inline constexpr int Max_SDO_Rows = 500;
inline constexpr int Max_SDO_Client_Rows = 256;
inline constexpr int Max_PDO_Rows = 30;
inline const QString Version = QStringLiteral("SW_VERSION = 1.000");
} // namespace CANopenXml

// DNETM_Net.xml: one "row" per DeviceNet slave directly under the root.
// DNETM_DefOff.xml: one "Nodo_DNET" per slave, paired with the network's
// rows by position, each holding the lists "ByteIN" and "ByteOUT" of "row"
// elements, one per byte. Only the DeviceNet editors read them.
namespace DNetXml {
inline const QString Root_Net = QStringLiteral("DNET_Net");
inline const QString Root_Offsets = QStringLiteral("Define_Offset");
inline const QString Node = QStringLiteral("Nodo_DNET");
inline const QString List_ByteIN = QStringLiteral("ByteIN");
inline const QString List_ByteOUT = QStringLiteral("ByteOUT");
inline const QString Row = QStringLiteral("row");
inline const QString ID = QStringLiteral("ID");
inline const QString NB_IN = QStringLiteral("NB_IN");
inline const QString NB_OUT = QStringLiteral("NB_OUT");
inline const QString Offset = QStringLiteral("Offset");
inline const QString Mnemonic = QStringLiteral("Mnemonic");
inline const QString Version = QStringLiteral("SW_VERSION = 1.000");
inline constexpr int Max_Slaves = 64;
} // namespace DNetXml

// DMX_Default_Values.xml: one "Row" per channel directly under the root.
namespace DMXXml {
inline const QString Root = QStringLiteral("DMX_Default_Values");
inline const QString Row = QStringLiteral("Row");
inline const QString Default_Value = QStringLiteral("Default_Value");
inline const QString Mnemonic = QStringLiteral("Mnemonic");
inline constexpr int Channels = 512;
inline const QString Version = QStringLiteral("SW_VERSION = 1.104");
} // namespace DMXXml

// M_Bus.xml: nodes under the root, variables under each node; flags are
// "1"/"0" numbers, not "Y"/"N".
namespace MBusXml {
inline const QString Root = QStringLiteral("M-Bus_Network");
inline const QString Node = QStringLiteral("Nodo");
inline const QString Variable = QStringLiteral("Variabile");
// The comment the network dialog writes after the root (the scanner writes none).
inline const QString Version_Comment = QStringLiteral("SW_VERSION = 1.203");
// Node attributes
inline const QString Enable_Node = QStringLiteral("Enable_Node");
inline const QString Descrizione = QStringLiteral("Descrizione");
inline const QString MBus_Type = QStringLiteral("MBus_Type");
inline const QString Node_ID_Type = QStringLiteral("Node_ID_Type");
inline const QString ID = QStringLiteral("ID");
inline const QString ID_Primary = QStringLiteral("ID_Primary");
inline const QString ID_Secondary = QStringLiteral("ID_Secondary");
inline const QString Send_SND_NKE = QStringLiteral("Send_SND_NKE");
inline const QString Reset_App = QStringLiteral("Reset_App");
inline const QString Node_State = QStringLiteral("Node_State");
inline const QString Ident_Num = QStringLiteral("Ident_Num");
inline const QString BCDtoINT_IN = QStringLiteral("BCDtoINT_IN");
inline const QString Swap_IN = QStringLiteral("Swap_IN");
inline const QString Var_List_Type = QStringLiteral("Var_List_Type");
inline const QString Cut_After = QStringLiteral("Cut_After");
inline const QString wMBus_ManID = QStringLiteral("wMBus_ManID");
inline const QString wMBus_Add = QStringLiteral("wMBus_Add");
inline const QString wMBus_Ver = QStringLiteral("wMBus_Ver");
inline const QString wMBus_DevType = QStringLiteral("wMBus_DevType");
inline const QString wMBus_En_Key = QStringLiteral("wMBus_En_Key");
// "wMBus_Key_1" .. "wMBus_Key_16".
inline QString wMBus_Key(int k) { return QStringLiteral("wMBus_Key_%1").arg(k); }
// Variable attributes
inline const QString Enable = QStringLiteral("Enable");
inline const QString Desc = QStringLiteral("Desc");
inline const QString Type = QStringLiteral("Type");
inline const QString Fun_Field = QStringLiteral("Fun_Field");
inline const QString Dim = QStringLiteral("Dim");
inline const QString Unit = QStringLiteral("Unit");
inline const QString StoNumber = QStringLiteral("StoNumber");
inline const QString Tariff = QStringLiteral("Tariff");
inline const QString VIFE = QStringLiteral("VIFE");
inline const QString BCDtoINT = QStringLiteral("BCDtoINT");
inline const QString VIF_ASCII = QStringLiteral("VIF_ASCII");
inline const QString Length = QStringLiteral("Length");
inline const QString Conv_Float = QStringLiteral("Conv_Float");
inline const QString Force_Int32 = QStringLiteral("Force_Int32");
inline const QString TP_Mod_Regs = QStringLiteral("TP_Mod_Regs");
inline const QString Position = QStringLiteral("Position");
inline const QString Post_Operation = QStringLiteral("Post_Operation");
} // namespace MBusXml

} // namespace ProjectFiles
