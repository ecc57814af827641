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

#include "project/KNXCodes.h"
#include "project/Models.h"
#include "project/OpenProject.h"
#include "project/ProjectFiles.h"

// ---------------------------------------------------------------------------
// Global state (texts empty at program start)

extern QString Name_Project;  // last opened or created project; empty = none
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


// The text table (filled by ULanguage) and its size.
extern QStringList Texts;
extern int Texts_Count;
// Reads entry n of the text table; an empty text for a number outside it.
QString Text_Of(int n);

// One copied grid row, shared by every editor's copy and paste.
extern QStringList Row_Clipboard;

// ---------------------------------------------------------------------------
// Row commands of the mapping editors' grids (UComon_Rows.cpp). They work on
// every column from 1 to the last, hidden ones included (the grid's ColCount
// counts only the shown ones); column 0, the row number, never moves. A row
// outside 1 .. RowCount - 1 changes nothing.

class TExColumnGrid;
class TExStringGrid;

// Moves rows `row` .. last - 1 one row down and empties `row`; the last row's
// content is dropped without a question.
void Grid_Insert_Row(int row, TExStringGrid* grid);
// Moves the rows below `row` one row up and empties the last row.
void Grid_Delete_Row(int row, TExStringGrid* grid);
// Empties Row_Clipboard and fills it with the texts of the row's columns.
void Grid_Copy_Row(TExStringGrid* grid, int row);
// Pastes Row_Clipboard into the row: refused with text 348 unless `copied`
// (a row was copied from this grid in this showing), with text 347 when the
// clipboard does not hold one text per column; a row with text in any column
// but the check boxes is overwritten only after a Yes to text 346.
void Grid_Paste_Row(TExColumnGrid* grid, int row, bool copied);

// Sets Program_Title, SW_Code and SW_Desc from the model table for Model_Code.
void Set_Model_Texts();
// Sets Dir_Program and its MASTER, PROJECTS and LANGUAGE folders (not created).
void Set_Program_Folders(const QString& dirProgram);
// Creates MASTER, PROJECTS and LANGUAGE (one level) where missing; a folder
// that cannot be created is left for the steps that need it to fail on.
void Force_Program_Folders();
// Makes Name_Project the open project when its folder exists under
// Dir_Projects (Dir_Project set), else leaves none open (Dir_Project empty);
// then Set_Files. Answers whether a project is open.
bool Open_Stored_Project();

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
