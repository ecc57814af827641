#pragma once
// The CANopen gateway's electronic data sheet (EDS, format 4.0): the PDO table
// and the SDO server table of the project become a text file that the user's
// CANopen tools import. The program never reads the file back.
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// A table file that the data sheet cannot be built from (a missing list, too
// many PDOs, a value outside its field); the message names the file.
KAL_DECLARE_EXCEPTION(EEdsError, Exception)

// The PDO editor offers no more rows than this per list.
inline constexpr int Max_PDO = 30;
// Each SDO server list fills one table of the device image of this many
// records; a longer list is refused whole.
inline constexpr int Max_SDO_Rows = 512;

struct PDO_Entry {
    int32_t COB_ID = 0;
    int32_t Dimension = 0; // number of mapped bytes
};

// Index 0: receive PDOs, index 1: transmit PDOs; entries in file order.
inline constexpr int RPDO_Table = 0;
inline constexpr int TPDO_Table = 1;
extern PDO_Entry PDO_List[2][Max_PDO];
extern int32_t Num_RPDO;
extern int32_t Num_TPDO;

struct SDO_Sub_Type {
    uint8_t Sub = 0;
    uint8_t Quantity = 0; // bytes: 1, 2 or 4
    bool Readonly = false;
    QString Mnemonic; // kept empty, never written
};

struct SDO_Index {
    uint16_t Index = 0;
    QList<SDO_Sub_Type> Sub_Indexs;
};

// Object indexes of the SDO server table in order of first appearance.
extern QList<SDO_Index> SDO_List;

// Name prefixes of the variables mapped into PDO n of each direction.
extern const char* const RPDO_Var_Prefix[Max_PDO];
extern const char* const TPDO_Var_Prefix[Max_PDO];

// Fixed texts of the data sheet.
extern const QString EDS_File_Name;      // written inside the file, whatever the path
extern const QString EDS_Product_Name;   // description and product name
extern const QString EDS_Order_Code;
extern const QString EDS_Product_Number; // three decimal digits

// Fills PDO_List, Num_RPDO and Num_TPDO from File_PDO_CANopen; no file gives
// no PDOs.
void EDS_Load_PDO();
// Adds File_SDO_Server_CANopen's objects to SDO_List; no file gives none. A
// list of more than Max_SDO_Rows rows raises EEdsError naming the file, and
// each row is placed by one hash look-up.
void EDS_Load_SDO_Server();
// Position of the object index in SDO_List, or -1.
int EDS_Find_SDO_Index(int index);
// Sorts every index's sub-entries by sub-index, keeping the order of equals
// (a stable n log n sort).
void EDS_Sort_Sub_Indexs();

// "03-07-2018" for 7 March 2018.
QString EDS_Date_Text(TDateTime date);
// 12-hour clock with the suffix right after the minutes: "03:30PM";
// 12:05 is "12:05PM" and 0:05 is "12:05AM".
QString EDS_Time_Text(TDateTime time);

// The lines of the data sheet from the loaded lists, stamped with `now`.
QStringList EDS_Lines(TDateTime now);

// Loads both tables, builds the text stamped with Now() and writes it whole
// to `path`, each line ended by CR LF. Any failure raises before the file is
// touched.
void Write_EDS_File(const QString& path);

// The model's step: asks for the file name through `choose` (opened in the
// project folder, filter "Electronic Data Sheet (*.eds)|*.eds") and writes the
// data sheet to the chosen path; a cancelled choice writes nothing.
// `choose` gets the initial folder, the filter and the default extension and
// returns false on cancel, else true with the chosen path in `fileName`.
using TEdsChooseFile = std::function<bool(const QString& initialDir, const QString& filter,
                                          const QString& defaultExt, QString& fileName)>;
void Build_EDS_File(const TEdsChooseFile& choose);
