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

} // namespace ProjectFiles
