#pragma once
// The PROFINET gateway's GSDML file: the XML device description that
// engineering tools import. Its name is composed from two fixed parts and the
// user's part; the file itself is a fixed template in which only the vendor
// name (by model) and the cyclic input and output lengths (from ParGen.xml)
// vary.
#include "platform/core/DateTime.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// The placeholders the description carries for the maker's PROFINET vendor
// identifier and the gateway's device identifier ("0x" and four hex digits).
extern const QString GSDML_Vendor_ID;
extern const QString GSDML_Device_ID;

// ---------------------------------------------------------------------------
// File name

// "GSDML-V2.31-Tavlon-GW31A12", or the partner brand's for model 1012.
QString GSDML_Fix_Part_1(int modelCode);
// "-" yyyymmdd ".xml": "-20180528.xml" for 28 May 2018.
QString GSDML_Fix_Part_2(TDateTime date);
// An empty (or blank) user part gives fix1 + fix2; a part that begins with
// "_" goes in as typed; any other part is joined with "_". The part is not
// trimmed otherwise.
QString Compose_GSDML_File_Name(const QString& fix1, const QString& userPart, const QString& fix2);

// What the file-name dialog holds: both fixed parts are fixed when it is
// created (at program start) and the user part persists between showings.
struct TProfinetFileNameParts {
    QString Fix_Part_1;
    QString Fix_Part_2;
    QString User_Part;
    QString Name_File_XML; // valid after Compose

    // Fixed parts for `modelCode` and the date of `today`.
    static TProfinetFileNameParts Create(int modelCode, TDateTime today);
    // The dialog's creation: Model_Code and today's date (Date()).
    static TProfinetFileNameParts Create();
    // The dialog's OK: composes Name_File_XML from the three parts.
    const QString& Compose();
};

// ---------------------------------------------------------------------------
// Saving

// The questions the step asks; the main window connects its dialogs here.
struct TGSDMLDialogs {
    // Save dialog: opens in `initialDir` with `filter`, proposing
    // `proposedName`; false on cancel, else true with the chosen path.
    std::function<bool(const QString& initialDir, const QString& filter, const QString& proposedName,
                       QString& fileName)>
        ChooseFile;
    // A Yes/No question; true for Yes.
    std::function<bool(const QString& text)> AskYesNo;
};
extern TGSDMLDialogs GSDML_Dialogs;

// The lengths read by Read_PROFINET_Sizes.
extern int32_t PROFINET_Size_In;  // key PROFINET_NB_IN
extern int32_t PROFINET_Size_Out; // key PROFINET_NB_OUT

// Asks for the folder (only the folder of the chosen file counts: the file is
// `name` in it), asks `overwriteQuestion` (the step passes text 919) before
// overwriting and, for models 12 and 1012, writes the file. Cancel or No
// writes nothing.
void Save_GSDML_File(const QString& name, const QString& overwriteQuestion);
// Reads the two lengths and writes the template to `path`, replacing any
// earlier file: ASCII bytes, no byte-order mark, each line ended by CR LF.
void Write_GSDML_File(const QString& path);
// PROFINET_Size_In/Out from File_ParGen; a missing file, key or number gives
// 1438.
void Read_PROFINET_Sizes();

// The template's lines for a model and the two lengths.
QStringList GSDML_Lines(int modelCode, int32_t sizeIn, int32_t sizeOut);
