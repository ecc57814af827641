#include "platform/core/IniFiles.h"

#include "platform/core/FloatConv.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"

#include <algorithm>

int TCustomIniFile::ReadInteger(const QString& section, const QString& ident, int def) const
{
    return StrToIntDef(ReadString(section, ident, QString()), def);
}

void TCustomIniFile::WriteInteger(const QString& section, const QString& ident, int value)
{
    WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const QString& section, const QString& ident, bool def) const
{
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const QString& section, const QString& ident, bool value)
{
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

double TCustomIniFile::ReadFloat(const QString& section, const QString& ident, double def) const
{
    return StrToFloatDef(ReadString(section, ident, QString()), def);
}

void TCustomIniFile::WriteFloat(const QString& section, const QString& ident, double value)
{
    WriteString(section, ident, FloatToStr(value));
}

bool TCustomIniFile::SectionExists(const QString& section) const
{
    TStringList keys;
    ReadSection(section, &keys);
    return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const QString& section, const QString& ident) const
{
    TStringList keys;
    ReadSection(section, &keys);
    return keys.IndexOf(ident) >= 0;
}

// --- TMemIniFile ------------------------------------------------------------

TMemIniFile::TMemIniFile(const QString& fileName) : TCustomIniFile(fileName)
{
    if (FileExists(fileName)) {
        TStringList lines;
        lines.LoadFromFile(fileName);
        FEncoding = lines.Encoding();
        SetStrings(&lines);
    }
}

TMemIniFile::Section* TMemIniFile::findSection(const QString& name)
{
    for (Section& s : FSections)
        if (AnsiSameText(s.name, name))
            return &s;
    return nullptr;
}

const TMemIniFile::Section* TMemIniFile::findSection(const QString& name) const
{
    return const_cast<TMemIniFile*>(this)->findSection(name);
}

QString TMemIniFile::ReadString(const QString& section, const QString& ident, const QString& def) const
{
    if (const Section* s = findSection(section))
        for (const Key& k : s->keys)
            if (AnsiSameText(k.name, ident))
                return k.value;
    return def;
}

void TMemIniFile::WriteString(const QString& section, const QString& ident, const QString& value)
{
    Section* s = findSection(section);
    if (!s) {
        FSections.push_back(Section{section, {}});
        s = &FSections.back();
    }
    for (Key& k : s->keys) {
        if (AnsiSameText(k.name, ident)) {
            k.value = value;
            return;
        }
    }
    s->keys.push_back(Key{ident, value});
}

bool TMemIniFile::ValueExists(const QString& section, const QString& ident) const
{
    if (const Section* s = findSection(section))
        for (const Key& k : s->keys)
            if (AnsiSameText(k.name, ident))
                return true;
    return false;
}

void TMemIniFile::ReadSections(TStrings* strings) const
{
    strings->BeginUpdate();
    strings->Clear();
    for (const Section& s : FSections)
        strings->Add(s.name);
    strings->EndUpdate();
}

void TMemIniFile::ReadSection(const QString& section, TStrings* strings) const
{
    strings->BeginUpdate();
    strings->Clear();
    if (const Section* s = findSection(section))
        for (const Key& k : s->keys)
            strings->Add(k.name);
    strings->EndUpdate();
}

void TMemIniFile::ReadSectionValues(const QString& section, TStrings* strings) const
{
    strings->BeginUpdate();
    strings->Clear();
    if (const Section* s = findSection(section))
        for (const Key& k : s->keys)
            strings->Add(k.name + QLatin1Char('=') + k.value);
    strings->EndUpdate();
}

void TMemIniFile::EraseSection(const QString& section)
{
    FSections.erase(std::remove_if(FSections.begin(), FSections.end(),
                                   [&](const Section& s) { return AnsiSameText(s.name, section); }),
                    FSections.end());
}

void TMemIniFile::DeleteKey(const QString& section, const QString& ident)
{
    if (Section* s = findSection(section))
        s->keys.erase(std::remove_if(s->keys.begin(), s->keys.end(),
                                     [&](const Key& k) { return AnsiSameText(k.name, ident); }),
                      s->keys.end());
}

void TMemIniFile::Clear()
{
    FSections.clear();
}

void TMemIniFile::GetStrings(TStrings* lines) const
{
    lines->BeginUpdate();
    lines->Clear();
    for (const Section& s : FSections) {
        lines->Add(QLatin1Char('[') + s.name + QLatin1Char(']'));
        for (const Key& k : s.keys)
            lines->Add(k.name + QLatin1Char('=') + k.value);
        lines->Add(QString());
    }
    lines->EndUpdate();
}

void TMemIniFile::SetStrings(const TStrings* lines)
{
    Clear();
    Section* cur = nullptr;
    for (int i = 0; i < lines->Count(); ++i) {
        const QString line = Trim(lines->Get(i));
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString name = Trim(line.mid(1, line.size() - 2));
            cur = findSection(name);
            if (!cur) {
                FSections.push_back(Section{name, {}});
                cur = &FSections.back();
            }
            continue;
        }
        // Lines before the first section have nowhere to go.
        if (!cur)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0)
            cur->keys.push_back(Key{Trim(line.left(eq)), Trim(line.mid(eq + 1))});
        else
            cur->keys.push_back(Key{line, QString()});
    }
}

void TMemIniFile::UpdateFile()
{
    TStringList lines;
    GetStrings(&lines);
    lines.SaveToFile(FileName(), FEncoding);
}

// --- TIniFile -----------------------------------------------------------------

void TIniFile::WriteString(const QString& section, const QString& ident, const QString& value)
{
    TMemIniFile::WriteString(section, ident, value);
    UpdateFile();
}

void TIniFile::EraseSection(const QString& section)
{
    TMemIniFile::EraseSection(section);
    UpdateFile();
}

void TIniFile::DeleteKey(const QString& section, const QString& ident)
{
    TMemIniFile::DeleteKey(section, ident);
    UpdateFile();
}
