#pragma once
// The M-Bus network file (M_Bus.xml) as the network dialog holds it: a list
// of nodes (meters, wired or wireless), each with the list of variables (data
// records) the gateway takes from it; one attribute of the file per field.
//
// Reading takes the document element as the network (a declaration or
// comment before it is skipped), every child element as a node and every
// child of a node as a variable, whatever their names. A missing or
// malformed attribute takes its default, except Type, Fun_Field and Dim of a
// variable: without an integer there the file is malformed and reading stops
// with ETableFileError naming the node and the variable. A missing file is an
// empty network.
//
// Writing replaces the file whole: root "M-Bus_Network", the comment
// "SW_VERSION = 1.203" after it, one "Nodo" per node and one "Variabile" per
// variable, every attribute always written, in a fixed order. Attributes the
// dialog does not know (the scanner's ModReg, ModScale, SWAP...) are dropped.
#include "platform/xml/XmlDoc.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class TVariabile {
public:
    bool Enable = false;
    QString Description;
    int32_t Type_Of_Data = 0;   // Type_Texts
    int32_t Function_Field = 0; // Function_Texts
    int32_t Dimension = 0;      // Dimension_Texts
    int32_t Unita = 0;          // subunit, 0..10
    uint32_t Storage_Number = 0;
    int32_t Tariff = 0;
    uint8_t VIFE = 0;           // VIFE_Texts (the scanner goes up to 151)
    bool BCDtoINT = false;
    int32_t Length = 0;         // bytes of a variable-length value (Dimension 7)
    QString VIF_ASCII;          // unit text of type 21
    bool Conv_Float = false;
    bool Force_Int32 = false;
    bool TP_Mod_Regs = false;   // eight bytes for a time point
    uint8_t Position = 0;       // 1..100, for a node read "By Position"
    uint8_t Post_Operation = 0; // Post_Operation_Texts
};

class TNodo {
public:
    bool Enable = false;
    QString Description;
    int32_t Node_ID_Primary = 0;
    int32_t Node_ID_Secondary = 0;
    uint8_t Send_SNK = 0;
    uint8_t Reset_App = 0;
    std::vector<std::unique_ptr<TVariabile>> Var_List; // owned, in order
    uint8_t Node_State = 0;
    uint8_t Ident_Num = 0;
    uint8_t BCDtoINT_IN = 0;
    int32_t Swap_Ident = 0;    // 0 "None", 1 "Type 1"
    uint8_t Node_ID_Type = 0;  // 0 primary, 1 secondary address
    uint8_t Var_List_Type = 0; // 0 "By Type", 1 "By Position"
    uint8_t Cut_After = 0;     // answer frames to read, minus one
    uint8_t MBus_Type = 0;     // 0 wireless, 1 wired
    QString wMBus_ManID;       // the wireless identity as typed
    QString wMBus_Add;
    QString wMBus_Ver;
    QString wMBus_DevType;
    uint8_t wMBus_En_Key = 0;
    std::array<QString, 16> wMBus_Key; // key bytes 1..16 as typed
};

using TNodoList = std::vector<std::unique_ptr<TNodo>>;

// Reads the network file; an absent file gives an empty list.
TNodoList Read_MBus_Network(const QString& path);
// Reads the nodes under `root`; `fileName` names the file in messages.
TNodoList Read_MBus_Nodes(const XmlNode& root, const QString& fileName);

// The document the network dialog writes for `nodes`.
QByteArray MBus_Network_Document(const TNodoList& nodes);
// Writes the network file whole, replacing it.
void Write_MBus_Network(const QString& path, const TNodoList& nodes);

// The scanner's writers build their own nodes (with the Modbus registers the
// dialog does not keep) into a document opened here and saved here, so the
// network file has one place that opens and replaces it.
// Opens `doc` for a scan's nodes and returns the network element: with
// `append`, the file at `path` is loaded and its document element is the
// network (raises EFOpenError / EXmlError when it cannot be loaded and
// ETableFileError when it has no element); otherwise a new root
// "M-Bus_Network" (no version comment).
XmlNode Open_MBus_Network_Document(XmlDocument& doc, const QString& path, bool append);
// Writes the document whole to `path` (temporary file, then rename).
void Save_MBus_Network_Document(const XmlDocument& doc, const QString& path);

// The order in which the attributes are written.
const QStringList& MBus_Node_Attributes();
const QStringList& MBus_Variable_Attributes();

// ---------------------------------------------------------------------------
// The codes of the file and the texts the network dialog shows for them.

// Type_Of_Data 0..25.
extern const std::array<const char*, 26> Type_Texts;
// Function_Field 0..3 and the DIF function field each stands for.
struct TFunctionCode {
    const char* Text;
    uint8_t Data_Field;
};
extern const std::array<TFunctionCode, 4> Function_Codes;
// Dimension 0..7 (the DIF data field and bytes of each: project/MBusCodes.h).
extern const std::array<const char*, 8> Dimension_Texts;
// Post_Operation 0..12: none, divide by 10^1..10^6, multiply by 10^1..10^6.
extern const std::array<const char*, 13> Post_Operation_Texts;
// VIFE 0..125: the FDh extension table (1..50), the FBh table (51..69), the
// combinable VIFEs (70..107) and the record errors (108..125).
extern const std::array<const char*, 126> VIFE_Texts;
// A table's text as a QString (texts hold "°" and "³").
QString Code_Text(const char* text);
