#pragma once
// The gateway models: the model this program configures, the model table
// (codes, software and hardware codes, titles, versions) and the facts that
// depend on the model, each keyed by the base model code (a partner edition
// 1001, 1003, 1010, 1011, 1012 or 1014 behaves as its base model 1..15).
//
// Every table here and in the layers above that has one row per model
// covers the same base codes, Base_Model_Codes; a test walks them all.
#include <QList>
#include <QString>

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
// Per-model facts, keyed by the base model code

// The base model codes, 1 to 15.
inline constexpr int Base_Model_Codes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
// Every model code: the base codes, then the partner editions.
QList<int> All_Model_Codes();

struct TModelFacts {
    int Base_Code;
    // The prefix of the ParGen.xml keys that hold the gateway's own IPv4
    // address, mask and gateway ("<prefix>IP1" .. "<prefix>EN_GAT").
    const char* Ethernet_Prefix;
    // The M-Bus masters scan a network and keep it in M_Bus.xml.
    bool MBus;
};

// The facts of a code (partner editions answer their base model's row);
// nullptr for a code that is not a model.
const TModelFacts* Find_Model_Facts(int modelCode);
// The base codes the facts table has rows for, in its order.
QList<int> Model_Facts_Codes();
// The Ethernet key prefix of a model; empty for a code that is not a model.
QString Ethernet_Key_Prefix(int modelCode);
