#pragma once
// Reading a project's XML files.
//
// TProjectFile: one loaded project file. It owns its document, so every node
// and row taken from it stays valid for as long as the object lives, whatever
// other file is loaded meanwhile. The root is the document element (a
// declaration or comment before it is skipped); its name is not checked.
// A file that is not well-formed raises EXmlError naming it; a file above
// the loader's size limit is refused the same way (platform/xml/XmlDoc.h).
//
// TRowReader: one row element of a table file, read as the builders read it.
// Attributes read "without a fallback" must be present: their absence raises
// ETableFileError naming the file, the list when there is one, the row
// number (from 1) and the attribute. The others fall back to what the caller
// gives. Check-box columns are read only through Flag(), by the rule stated
// next to the table's columns in project/ProjectFiles.h.
#include "project/TableFlags.h"
#include "platform/core/Exceptions.h"
#include "platform/xml/XmlDoc.h"

#include <QList>
#include <QString>
#include <QVarLengthArray>
#include <cstdint>
#include <memory>
#include <optional>

// A table file that cannot be used: a missing list, a missing or malformed
// attribute read without a fallback, a value out of range, too many rows.
// The message names the file, the row and the attribute.
KAL_DECLARE_EXCEPTION(ETableFileError, Exception)

// Whether a project file is there to be read. False when nothing stands at
// the path: a missing file, for which every reader keeps its defaults. True
// for a file. Something that stands there but cannot be read (a folder, a
// link that leads nowhere, a file without permission to read) is never taken
// for a missing file: it raises ETableFileError naming the file and the
// reason, so no dialog opens and no image is built from defaults over it.
bool Project_File_Present(const QString& path);

class TProjectFile {
public:
    // Loads the file at `path`; `name` is how messages name it (the path
    // when empty).
    explicit TProjectFile(const QString& path, const QString& name = QString());
    TProjectFile(TProjectFile&&) noexcept = default;
    TProjectFile& operator=(TProjectFile&&) noexcept = default;

    const QString& Name() const { return FName; }
    XmlNode Root() const { return FDoc->DocumentElement(); }
    // The root's child element `list`; raises ETableFileError when missing.
    XmlNode Required_List(const QString& list) const;
    // The element children of `parent` (the root when null), refused with an
    // error naming the file when there are more than `maxRows`.
    QList<XmlNode> Rows(const XmlNode& parent, int maxRows, const QString& list = QString()) const;

private:
    std::unique_ptr<XmlDocument> FDoc;
    QString FName;
};

class TRowReader {
public:
    // `list` is named in messages when not empty.
    TRowReader(const XmlNode& row, const QString& fileName, int rowNumber, const QString& list = QString());

    bool Has(const QString& name) const { return Find(name) != nullptr; }
    // Required attribute's text.
    QString Text(const QString& name) const;
    // Optional attribute's text, `missing` when it is absent.
    QString Text_Or(const QString& name, const QString& missing) const;

    // Required attribute as an integer; `def` when it is not one.
    int Number(const QString& name, int def) const;
    // Required attribute as a 64-bit integer; `def` when it is not one.
    int64_t Number64(const QString& name, int64_t def) const;
    // Optional attribute as an integer; `def` when it is not one, `missing`
    // when it is absent.
    int Number_Or(const QString& name, int def, int missing) const;
    int64_t Number64_Or(const QString& name, int64_t def, int64_t missing) const;
    // Required attribute that must hold an integer (no fallback at all).
    int Integer(const QString& name) const;
    int64_t Integer64(const QString& name) const;

    // Whether the attribute is present and reads exactly `text` (plain ASCII),
    // compared on the file's bytes.
    bool Text_Is(const QString& name, QLatin1String text) const;

    // A check-box column by its table's rule.
    bool Flag(const TFlagColumn& column) const;

    int Row_Number() const { return FRowNumber; }
    // An error about one attribute of this row: "<file>[, list "<l>"], row
    // <n>: the attribute "<name>" <what>".
    ETableFileError Error(const QString& name, const QString& what) const;

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
    QVarLengthArray<TAttr, 40> FAttrs; // a network node has 35
    mutable qsizetype FNext = 0; // where the next search starts
    QString FFile;
    QString FList;
    int FRowNumber;
};
