#pragma once
// One build of a device image: the project it reads, the model it builds for,
// the buffer it lays the image out in, and the records every model shares
// (the general block and the KNX object table). Builders are plain functions
// over this context; nothing here touches the shell's globals.
#include "image/BinBuffer.h"
#include "image/BinParGen.h"
#include "image/KNXTable.h"
#include "project/TableFile.h"
#include "platform/core/Exceptions.h"
#include "platform/xml/XmlDoc.h"

#include <QByteArray>
#include <QString>

// A project file the builder cannot use, a table that overflows, a bank file
// that cannot be written: the message names the file, the row or the table.
// The row reader's ETableFileError reaches the caller of Build_Image as this.
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

    // The path of a project file (a name of project/ProjectFiles.h).
    QString File(const QString& name) const;
    // Whether the file is there; a missing one gives the builder's defaults,
    // one that cannot be read (a folder, a link to nothing) raises with its
    // name and the reason.
    bool Has_File(const QString& name) const;
    // Loads a project file; the result owns its document, so its rows stay
    // valid while it lives. A file that is not well-formed raises with its
    // name. Messages name the file by its path.
    TProjectFile Load_File(const QString& name) const;
};
