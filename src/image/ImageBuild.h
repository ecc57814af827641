#pragma once
// One build of a device image: the project it reads, the model it builds for,
// the buffer it lays the image out in, and the records every model shares
// (the general block and the KNX object table). Builders are plain functions
// over this context; nothing here touches the shell's globals.
#include "image/BinBuffer.h"
#include "image/BinParGen.h"
#include "image/KNXTable.h"
#include "platform/core/Exceptions.h"
#include "platform/xml/XmlDoc.h"

#include <QByteArray>
#include <QVarLengthArray>
#include <QString>
#include <memory>

// A project file the builder cannot use, a table that overflows, a bank file
// that cannot be written: the message names the file, the row or the table.
KAL_DECLARE_EXCEPTION(EImageError, Exception)

class TImageBuild {
public:
    TImageBuild(const QString& projectDir, int modelCode, TBinBuffer& buffer);

    const QString Dir_Project;
    const int Model_Code;
    TBinBuffer& Bin;          // Bin_Buffer and Bin_Count
    TBin_Par_Gen Bin_Par_Gen; // the general block
    TKNX_Table KNX_Table;     // the KNX object table
    // The second bank file's bytes (M-Bus models only; empty for the others).
    QByteArray Bank2;

    // The path of a project file (a name of app/ProjectFiles.h).
    QString File(const QString& name) const;
    bool Has_File(const QString& name) const;
    // Loads a project file into the build's one document and returns its
    // document element. A file that is not well-formed raises with its name.
    XmlNode Load_File(const QString& name);

private:
    XmlDocument FXML1;
};

// One row element of a table file, read as the builders read it. Attributes
// read "without a fallback" must be present: their absence is an error naming
// the file and the row. The others fall back to the value the caller gives.
class TRowReader {
public:
    TRowReader(const XmlNode& row, const QString& fileName, int rowNumber);

    bool Has(const QString& name) const { return bool(Find(name)); }
    // Required attribute's text.
    QString Text(const QString& name) const;
    // Optional attribute's text, `missing` when it is absent.
    QString Text_Or(const QString& name, const QString& missing) const;

    // Required attribute as an integer; `def` when it is not one.
    int Number(const QString& name, int def) const;
    // Optional attribute as an integer; `def` when it is not one, `missing`
    // when it is absent.
    int Number_Or(const QString& name, int def, int missing) const;
    int64_t Number64_Or(const QString& name, int64_t def, int64_t missing) const;

    // Required flag: the text upper-cased equals "Y".
    bool Yes(const QString& name) const;
    // Optional flag: absent counts as not set.
    bool Yes_Or_No(const QString& name) const;
    // Optional flag compared unchanged with "Y".
    bool Exactly_Y(const QString& name) const;

    int Row_Number() const { return FRowNumber; }

private:
    // The attribute's value by name, or nullptr. A table of a thousand rows
    // is read attribute by attribute: the row's attributes are gathered once
    // and names are compared in place, never converted.
    const char* Find(const QString& name) const;
    // The value of an attribute read without a fallback; raises when absent.
    const char* Required(const QString& name) const;

    struct TAttr {
        const char* Name;
        const char* Value;
    };
    QVarLengthArray<TAttr, 24> FAttrs;
    QString FFile;
    int FRowNumber;
};
