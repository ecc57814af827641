#pragma once
// INI files: sections of key=value lines. Section and key names compare
// without case; blanks around names and values are dropped; lines starting
// with ";" are comments. Files are read whole and written whole.
#include "platform/core/Objects.h"
#include "platform/core/StringList.h"

#include <QString>

#include <memory>
#include <vector>

class TCustomIniFile : public TObject {
    KAL_CLASS(TCustomIniFile, TObject)
public:
    explicit TCustomIniFile(const QString& fileName) : FFileName(fileName) {}
    const QString& FileName() const { return FFileName; }

    virtual QString ReadString(const QString& section, const QString& ident, const QString& def) const = 0;
    virtual void WriteString(const QString& section, const QString& ident, const QString& value) = 0;
    // Decimal or hexadecimal ("$1F", "0x1F") through the integer conversion;
    // anything else gives the default.
    int ReadInteger(const QString& section, const QString& ident, int def) const;
    void WriteInteger(const QString& section, const QString& ident, int value);
    // A number other than 0 is true.
    bool ReadBool(const QString& section, const QString& ident, bool def) const;
    // Written as "1" or "0".
    void WriteBool(const QString& section, const QString& ident, bool value);
    // In the format settings' decimal notation.
    double ReadFloat(const QString& section, const QString& ident, double def) const;
    void WriteFloat(const QString& section, const QString& ident, double value);

    virtual void ReadSections(TStrings* strings) const = 0;
    // The keys of one section.
    virtual void ReadSection(const QString& section, TStrings* strings) const = 0;
    // The key=value lines of one section.
    virtual void ReadSectionValues(const QString& section, TStrings* strings) const = 0;
    virtual void EraseSection(const QString& section) = 0;
    virtual void DeleteKey(const QString& section, const QString& ident) = 0;
    virtual void UpdateFile() = 0;
    bool SectionExists(const QString& section) const;
    virtual bool ValueExists(const QString& section, const QString& ident) const;

private:
    QString FFileName;
};

// The whole file in memory; UpdateFile writes it back whole.
class TMemIniFile : public TCustomIniFile {
    KAL_CLASS(TMemIniFile, TCustomIniFile)
public:
    // Reads the file when it exists (a missing file is an empty one).
    explicit TMemIniFile(const QString& fileName);

    QString ReadString(const QString& section, const QString& ident, const QString& def) const override;
    void WriteString(const QString& section, const QString& ident, const QString& value) override;
    void ReadSections(TStrings* strings) const override;
    void ReadSection(const QString& section, TStrings* strings) const override;
    void ReadSectionValues(const QString& section, TStrings* strings) const override;
    void EraseSection(const QString& section) override;
    void DeleteKey(const QString& section, const QString& ident) override;
    void UpdateFile() override;
    bool ValueExists(const QString& section, const QString& ident) const override;

    void Clear();
    // The file's lines, and reading lines as a file's.
    void GetStrings(TStrings* lines) const;
    void SetStrings(const TStrings* lines);

private:
    struct Key {
        QString name;
        QString value;
    };
    struct Section {
        QString name;
        std::vector<Key> keys;
    };
    Section* findSection(const QString& name);
    const Section* findSection(const QString& name) const;

    std::vector<Section> FSections;
    // Written back in the encoding it was read in.
    TTextEncoding FEncoding = teDefault;
};

// Every write goes to the file at once, written whole.
class TIniFile : public TMemIniFile {
    KAL_CLASS(TIniFile, TMemIniFile)
public:
    using TMemIniFile::TMemIniFile;
    void WriteString(const QString& section, const QString& ident, const QString& value) override;
    void EraseSection(const QString& section) override;
    void DeleteKey(const QString& section, const QString& ident) override;
};
