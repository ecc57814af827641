#pragma once
// Shared state of the program and the small helpers every subsystem calls:
// the model table, the program folders and the open project's file paths,
// the settings values, the text table, the row clipboard, and the KNX code
// and address helpers.
//
// Everything that depends on the gateway model reads `Model_Code`. The build
// fixes its starting value; tests set it to run another model's path.
#include <QString>
#include <QStringList>
#include <cstdint>

// ---------------------------------------------------------------------------
// Model code and model table

// The gateway model this program configures (KAL_MODEL_CODE at build time).
extern int Model_Code;

// The company label at the start of the maker's own window titles, and the
// host of its links and device descriptions.
inline const QString Company_Label = QStringLiteral("www.tavlon.example");
// The company label of the partner editions' titles.
inline const QString Partner_Company_Label = QStringLiteral("Brimel");
// Download anchor of codes that have no hardware code of their own.
inline const QString Default_HW_Code = QStringLiteral("GW31A08");

struct TModelInfo {
    int Code;
    const char* SW_Code;       // software code (L_SW_Code, version check)
    const char* SW_Desc;       // one-line description
    const char* Protocol_Pair; // part of the window title after the code
    const char* Version;       // program version for the model ("1.100")
    const char* Doc_Code;      // document code shown in the about box
    const char* HW_Code;       // anchor of the download link
};

// The 21 rows: models 1 to 15 in code order, then the partner editions 1001,
// 1003, 1010, 1011, 1012, 1014.
inline constexpr int Model_Count = 21;
extern const TModelInfo Model_Table[Model_Count];

// The row of a code; nullptr for a code that is not a model.
const TModelInfo* Find_Model(int code);
// True for 1001, 1003, 1010, 1011, 1012, 1014.
bool Is_Partner_Model(int code);
// The model a code behaves as: the base code of a partner edition, else the code.
int Base_Model_Code(int code);

// Per-code answers (empty texts for a code that is not a model, apart from
// Get_HW_Code, which falls back to GW31A08 outside 1..15).
QString Get_SW_Code(int code);
QString Get_SW_Desc(int code);
QString Get_Version(int code);
QString Get_Doc_Code(int code);
QString Get_HW_Code(int code);
// "<company> - Configurator <code> - <pair> " (company "Brimel" for partners).
QString Get_Program_Title(int code);
// The version comment of the model's ParGen.xml, "SW_VERSION = <version>".
QString Get_SW_Version_Comment(int code);

// The version-check query values, models 1 to 15 (entry n-1 is model n).
extern const char* const Table_SW_Code_Check[15];

// ---------------------------------------------------------------------------
// Global state (texts empty at program start)

extern QString Name_Project;  // last opened or created project; empty = none
extern QString Dir_Project;   // folder of the open project; empty = none open
extern QString Dir_Projects;  // Dir_Program/PROJECTS
extern QString Dir_Program;   // folder of the program file
extern QString Dir_Master;    // Dir_Program/MASTER
extern QString Dir_Language;  // Dir_Program/LANGUAGE
extern QString Program_Title; // main window caption
extern QString SW_Code;
extern QString SW_Desc;
extern QString Last_IP_Address;
extern QString Language;      // name of the language file without ".lng"
extern uint8_t Enable_Internet;
extern uint8_t Enable_Update;

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

// The text table (filled by ULanguage) and its size.
extern QStringList Texts;
extern int Texts_Count;
// Reads entry n of the text table; an empty text for a number outside it.
QString Text_Of(int n);

// One copied grid row, shared by every editor's copy and paste.
extern QStringList Row_Clipboard;

// Sets Program_Title, SW_Code and SW_Desc from the model table for Model_Code.
void Set_Model_Texts();
// Sets Dir_Program and its MASTER, PROJECTS and LANGUAGE folders (not created).
void Set_Program_Folders(const QString& dirProgram);
// Creates MASTER, PROJECTS and LANGUAGE (one level) where missing; a folder
// that cannot be created is left for the steps that need it to fail on.
void Force_Program_Folders();
// Sets the 17 project file paths inside Dir_Project; all empty while no
// project is open, so nothing can be read or written beside the root.
void Set_Files();
// A plain file or folder name: not empty, not "." or "..", no "/", "\" or
// control characters.
bool Is_Plain_File_Name(const QString& name);
// A project name must be a plain folder name.
bool Is_Valid_Project_Name(const QString& name);
// Makes Name_Project the open project when its folder exists under
// Dir_Projects (Dir_Project set), else leaves none open (Dir_Project empty);
// then Set_Files. Answers whether a project is open.
bool Open_Stored_Project();

// ---------------------------------------------------------------------------
// KNX codes and address check

// "WRITE" 128, "READ" 0 (any case); other texts as a decimal integer, else 0.
int Get_RW_Flag(const QString& text);
// "SYSTEM" 0, "NORMAL" 1, "URGENT" 2, "LOW" 3 (any case); anything else 1.
int Get_Priority(const QString& text);
// Data-conversion code (bits 12..15): "NONE" 0 ... "FLOAT16 TO INT * 100" 0x9000.
int Get_Conversion(const QString& text);
// True when the text holds no "." (a group address or a plain number).
bool No_Decimal_Point(const QString& text);
// 0 when the text is a valid KNX group (Group true) or individual address,
// 1 when it is not. Zero_Allowed admits 0.0.0 in the individual dotted form.
int Check_KNX_Address(const QString& text, bool Group, bool Zero_Allowed);

// ---------------------------------------------------------------------------
// Model queries for the M-Bus scan window

// 15 for the M-Bus models (10, 1010), else 0.
int MBus_XML_Code_Dev();
// 1 for the M-Bus models, else 0.
int Is_MBus_Model();
// The BACnet engineering-unit code written for every scanned M-Bus value.
int BACnet_No_Units();

// ---------------------------------------------------------------------------
// Serial ports

// Port numbers ("1", "2", ...) of the serial ports present (those in use by
// another program included), as decimal texts without "COM". Port n is the
// n-th serial device of the platform's port list; at most 256 ports.
QStringList List_COM_Ports();
// The same numbering for a given list of serial device paths.
QStringList List_COM_Ports_From(const QStringList& deviceNames);
// The device path behind port n of List_COM_Ports; empty when there is none.
QString COM_Port_Device(int n);
