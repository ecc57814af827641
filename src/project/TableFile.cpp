#include "project/TableFile.h"

#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"

#include <cstring>

bool Flag_Text_Is_Set(const QString& text, TFlagRule rule)
{
    switch (rule) {
    case TFlagRule::Exact:
        return text == QLatin1String("Y");
    case TFlagRule::Upper:
        return UpperCase(text) == QLatin1String("Y");
    case TFlagRule::Trim_Upper:
        return UpperCase(Trim(text)) == QLatin1String("Y");
    }
    return false;
}

// ---------------------------------------------------------------------------

bool Project_File_Present(const QString& path)
{
    QString reason;
    switch (ProbeFile(path, &reason)) {
    case TFilePresence::Missing: return false;
    case TFilePresence::File: return true;
    case TFilePresence::Unreadable: break;
    }
    throw ETableFileError(QStringLiteral("Cannot read file \"%1\": %2.").arg(path, reason));
}

TProjectFile::TProjectFile(const QString& path, const QString& name)
    : FDoc(std::make_unique<XmlDocument>()), FName(name.isEmpty() ? path : name)
{
    // The document's parse error already carries the path.
    FDoc->LoadFromFile(path);
}

XmlNode TProjectFile::Required_List(const QString& list) const
{
    const XmlNode node = Root().ChildElement(list);
    if (node.IsNull())
        throw ETableFileError(QStringLiteral("%1: the list \"%2\" is missing").arg(FName, list));
    return node;
}

QList<XmlNode> TProjectFile::Rows(const XmlNode& parent, int maxRows, const QString& list) const
{
    // Counted before anything is gathered: a hostile file of a million rows
    // is refused without building a list of them.
    const XmlNode p = parent.IsNull() ? Root() : parent;
    int count = 0;
    for (XmlNode n = p.FirstChildElement(); !n.IsNull(); n = n.NextSiblingElement()) {
        if (++count > maxRows) {
            const QString where = list.isEmpty() ? FName : QStringLiteral("%1, list \"%2\"").arg(FName, list);
            throw ETableFileError(QStringLiteral("%1: more than %2 rows").arg(where).arg(maxRows));
        }
    }
    return p.ChildElements();
}

// ---------------------------------------------------------------------------

namespace {

// Attribute names are plain ASCII: compared code unit by byte.
bool sameName(const QString& name, const char* s)
{
    const QChar* p = name.constData();
    const qsizetype n = name.size();
    for (qsizetype i = 0; i < n; ++i)
        if (s[i] == 0 || p[i].unicode() != uchar(s[i]))
            return false;
    return s[n] == 0;
}

} // namespace

TRowReader::TRowReader(const XmlNode& row, const QString& fileName, int rowNumber, const QString& list)
    : FFile(fileName), FList(list), FRowNumber(rowNumber)
{
    for (pugi::xml_attribute a = row.Raw().first_attribute(); a; a = a.next_attribute())
        FAttrs.append({a.name(), a.value()});
}

ETableFileError TRowReader::Error(const QString& name, const QString& what) const
{
    const QString where = FList.isEmpty() ? FFile : QStringLiteral("%1, list \"%2\"").arg(FFile, FList);
    return ETableFileError(
        QStringLiteral("%1, row %2: the attribute \"%3\" %4").arg(where).arg(FRowNumber).arg(name, what));
}

const char* TRowReader::Find(const QString& name) const
{
    // Readers mostly ask in the order the attributes were written: the search
    // starts after the last one found, so such a row is read in one pass.
    const qsizetype n = FAttrs.size();
    for (qsizetype k = 0; k < n; ++k) {
        qsizetype i = FNext + k;
        if (i >= n)
            i -= n;
        if (sameName(name, FAttrs[i].Name)) {
            FNext = i + 1 < n ? i + 1 : 0;
            return FAttrs[i].Value;
        }
    }
    return nullptr;
}

const char* TRowReader::Required(const QString& name) const
{
    const char* v = Find(name);
    if (!v)
        throw Error(name, QStringLiteral("is missing"));
    return v;
}

QString TRowReader::Text(const QString& name) const
{
    return QString::fromUtf8(Required(name));
}

QString TRowReader::Text_Or(const QString& name, const QString& missing) const
{
    const char* v = Find(name);
    return v ? QString::fromUtf8(v) : missing;
}

// Numbers are converted from the file's bytes: a QString per number would
// cost more than the rest of the reading.
int TRowReader::Number(const QString& name, int def) const
{
    int v;
    return TryUtf8ToInt(Required(name), v) ? v : def;
}

int64_t TRowReader::Number64(const QString& name, int64_t def) const
{
    int64_t v;
    return TryUtf8ToInt64(Required(name), v) ? v : def;
}

int TRowReader::Number_Or(const QString& name, int def, int missing) const
{
    const char* s = Find(name);
    if (!s)
        return missing;
    int v;
    return TryUtf8ToInt(s, v) ? v : def;
}

int64_t TRowReader::Number64_Or(const QString& name, int64_t def, int64_t missing) const
{
    const char* s = Find(name);
    if (!s)
        return missing;
    int64_t v;
    return TryUtf8ToInt64(s, v) ? v : def;
}

int TRowReader::Integer(const QString& name) const
{
    int v = 0;
    if (!TryUtf8ToInt(Required(name), v))
        throw Error(name, QStringLiteral("is not an integer"));
    return v;
}

int64_t TRowReader::Integer64(const QString& name) const
{
    int64_t v = 0;
    if (!TryUtf8ToInt64(Required(name), v))
        throw Error(name, QStringLiteral("is not an integer"));
    return v;
}

bool TRowReader::Text_Is(const QString& name, QLatin1String text) const
{
    const char* v = Find(name);
    return v && std::strlen(v) == size_t(text.size()) && std::memcmp(v, text.data(), size_t(text.size())) == 0;
}

bool TRowReader::Flag(const TFlagColumn& column) const
{
    const char* v = Find(column.Name);
    if (!v) {
        switch (column.Missing) {
        case TFlagMissing::Error: throw Error(column.Name, QStringLiteral("is missing"));
        case TFlagMissing::Clear: return false;
        case TFlagMissing::Set: return true;
        }
    }
    return Flag_Text_Is_Set(QString::fromUtf8(v), column.Rule);
}
