#include "project/OpenProject.h"

#include "project/ProjectFiles.h"
#include "platform/core/Files.h"

QString Dir_Project;

QString File_ParGen;
QString File_KNX_SetAccess;
QString File_ModbusM_SetAccess;
QString File_ModbusTCPM_SetAccess;
QString File_CAN_Rec_Frames;
QString File_CAN_Send_Frames;
QString File_CAN_Rec_Info;
QString File_CAN_Send_Info;
QString File_SDO_Server_CANopen;
QString File_SDO_Client_CANopen;
QString File_PDO_CANopen;
QString File_DNETM_Net;
QString File_DNETM_DefOff;
QString File_J1939_Rec_Frames;
QString File_J1939_Send_Frames;
QString File_M_Bus;
QString File_DMX_Default_Values;

namespace {

struct FileSlot {
    QString* path;
    const QString* name;
};

// The paths in the order the main window sets them.
const FileSlot File_Slots[] = {
    {&File_ParGen, &ProjectFiles::ParGen},
    {&File_KNX_SetAccess, &ProjectFiles::KNX_SetAccess},
    {&File_ModbusM_SetAccess, &ProjectFiles::ModbusM_SetAccess},
    {&File_ModbusTCPM_SetAccess, &ProjectFiles::ModbusTCPM_SetAccess},
    {&File_CAN_Rec_Frames, &ProjectFiles::CAN_Rec_Frames},
    {&File_CAN_Send_Frames, &ProjectFiles::CAN_Send_Frames},
    {&File_CAN_Rec_Info, &ProjectFiles::CAN_Rec_Info},
    {&File_CAN_Send_Info, &ProjectFiles::CAN_Send_Info},
    {&File_SDO_Server_CANopen, &ProjectFiles::SDO_Server_CANopen},
    {&File_SDO_Client_CANopen, &ProjectFiles::SDO_Client_CANopen},
    {&File_PDO_CANopen, &ProjectFiles::PDO_CANopen},
    {&File_DNETM_Net, &ProjectFiles::DNETM_Net},
    {&File_DNETM_DefOff, &ProjectFiles::DNETM_DefOff},
    {&File_J1939_Rec_Frames, &ProjectFiles::J1939_Rec_Frames},
    {&File_J1939_Send_Frames, &ProjectFiles::J1939_Send_Frames},
    {&File_M_Bus, &ProjectFiles::M_Bus},
    {&File_DMX_Default_Values, &ProjectFiles::DMX_Default_Values},
};

} // namespace

void Set_Files()
{
    for (const FileSlot& s : File_Slots)
        *s.path = Dir_Project.isEmpty() ? QString() : PathJoin(Dir_Project, *s.name);
}

bool Is_Valid_Project_Name(const QString& name)
{
    return Is_Plain_File_Name(name);
}

bool Is_Plain_File_Name(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return false;
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool Project_Folder_Exists()
{
    return !Dir_Project.isEmpty() && DirectoryExists(Dir_Project);
}

