#include "app/UComon.h"

#include "project/ProjectFiles.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"
#include "platform/sys/SerialPort.h"

#include <QDir>

#include <algorithm>

// ---------------------------------------------------------------------------

QString Name_Project;
QString Dir_Projects;
QString Dir_Program;
QString Dir_Master;
QString Dir_Language;
QString Program_Title;
QString SW_Code;
QString SW_Desc;
QString Last_IP_Address;
QString Language;
uint8_t Enable_Internet = 0;
uint8_t Enable_Update = 0;


QStringList Texts;
int Texts_Count = 0;
QStringList Row_Clipboard;

QString Text_Of(int n)
{
    return (n >= 0 && n < Texts.size()) ? Texts.at(n) : QString();
}

void Set_Model_Texts()
{
    Program_Title = Get_Program_Title(Model_Code);
    SW_Code = Get_SW_Code(Model_Code);
    SW_Desc = Get_SW_Desc(Model_Code);
}

void Set_Program_Folders(const QString& dirProgram)
{
    Dir_Program = dirProgram;
    while (Dir_Program.size() > 1 && Dir_Program.endsWith(QLatin1Char('/')))
        Dir_Program.chop(1);
    Dir_Master = PathJoin(Dir_Program, QStringLiteral("MASTER"));
    Dir_Projects = PathJoin(Dir_Program, QStringLiteral("PROJECTS"));
    Dir_Language = PathJoin(Dir_Program, QStringLiteral("LANGUAGE"));
}

void Force_Program_Folders()
{
    for (const QString* dir : {&Dir_Master, &Dir_Projects, &Dir_Language})
        if (!dir->isEmpty() && !DirectoryExists(*dir))
            QDir().mkdir(*dir);
}

bool Open_Stored_Project()
{
    Dir_Project.clear();
    if (Is_Valid_Project_Name(Name_Project) && !Dir_Projects.isEmpty()) {
        const QString dir = PathJoin(Dir_Projects, Name_Project);
        if (DirectoryExists(dir))
            Dir_Project = dir;
    }
    Set_Files();
    return !Dir_Project.isEmpty();
}

// ---------------------------------------------------------------------------
// Model queries

int MBus_XML_Code_Dev()
{
    return Is_MBus_Model() ? 15 : 0;
}

int Is_MBus_Model()
{
    const TModelFacts* f = Find_Model_Facts(Model_Code);
    return f && f->MBus ? 1 : 0;
}

int BACnet_No_Units()
{
    return 95;
}

// ---------------------------------------------------------------------------
// Serial ports
//
// The platform lists serial devices by path (/dev/ttyS0, /dev/ttyUSB0 ...) in
// natural order. Port n is the n-th device of that list, so that "COM" + n
// stays one name per device whatever mix of device kinds is present.

namespace {

constexpr int Max_COM_Port = 256;

} // namespace

QStringList List_COM_Ports_From(const QStringList& deviceNames)
{
    QStringList result;
    const int count = std::min<int>(int(deviceNames.size()), Max_COM_Port);
    for (int n = 1; n <= count; ++n)
        result.append(QString::number(n));
    return result;
}

QStringList List_COM_Ports()
{
    return List_COM_Ports_From(Sys::SerialPorts().List());
}

QString COM_Port_Device(int n)
{
    const QStringList devices = Sys::SerialPorts().List();
    if (n < 1 || n > std::min<int>(int(devices.size()), Max_COM_Port))
        return QString();
    return devices.at(n - 1);
}
