#pragma once
// Names inside a project folder: the 17 project files and the device image.
// The shell, the image builders and the editors all take them from here.
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
} // namespace J1939SendXml

} // namespace ProjectFiles
