#pragma once
// The open project: its folder and the paths of its 17 files, and the rule
// for the names a project folder or a written file may take. The shell sets
// them when a project is opened or closed; the image builders, the EDS and
// GSDML writers and the editors read them. While no project is open every
// path is empty, so nothing can be read or written beside the program.
//
// A step that reads or writes the open project first asks
// Project_Folder_Exists: a folder deleted or renamed meanwhile is never
// recreated.
#include <QString>

extern QString Dir_Project; // folder of the open project; empty = none open

// The 17 project file paths, set by Set_Files.
extern QString File_ParGen;
extern QString File_KNX_SetAccess;
extern QString File_ModbusM_SetAccess;
extern QString File_ModbusTCPM_SetAccess;
extern QString File_CAN_Rec_Frames;
extern QString File_CAN_Send_Frames;
extern QString File_CAN_Rec_Info;
extern QString File_CAN_Send_Info;
extern QString File_SDO_Server_CANopen;
extern QString File_SDO_Client_CANopen;
extern QString File_PDO_CANopen;
extern QString File_DNETM_Net;
extern QString File_DNETM_DefOff;
extern QString File_J1939_Rec_Frames;
extern QString File_J1939_Send_Frames;
extern QString File_M_Bus;
extern QString File_DMX_Default_Values;

// Sets the 17 project file paths inside Dir_Project; all empty while no
// project is open.
void Set_Files();
// True while a project is open and its folder still exists.
bool Project_Folder_Exists();

// A plain file or folder name: not empty, not "." or "..", no "/", "\" or
// control characters.
bool Is_Plain_File_Name(const QString& name);
// A project name must be a plain folder name.
bool Is_Valid_Project_Name(const QString& name);
