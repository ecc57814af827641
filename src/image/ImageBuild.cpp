#include "image/ImageBuild.h"

#include "platform/core/Files.h"
#include "platform/core/IntConv.h"

TImageBuild::TImageBuild(const QString& projectDir, int modelCode, TBinBuffer& buffer)
    : Dir_Project(projectDir), Model_Code(modelCode), Bin(buffer)
{
}

QString TImageBuild::File(const QString& name) const
{
    return PathJoin(Dir_Project, name);
}

bool TImageBuild::Has_File(const QString& name) const
{
    return FileExists(File(name));
}

XmlNode TImageBuild::Load_File(const QString& name)
{
    // The document's parse error already carries the path.
    FXML1.LoadFromFile(File(name));
    return FXML1.DocumentElement();
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

TRowReader::TRowReader(const XmlNode& row, const QString& fileName, int rowNumber)
    : FFile(fileName), FRowNumber(rowNumber)
{
    for (pugi::xml_attribute a = row.Raw().first_attribute(); a; a = a.next_attribute())
        FAttrs.append({a.name(), a.value()});
}

const char* TRowReader::Find(const QString& name) const
{
    for (const TAttr& a : FAttrs)
        if (sameName(name, a.Name))
            return a.Value;
    return nullptr;
}

const char* TRowReader::Required(const QString& name) const
{
    const char* v = Find(name);
    if (!v)
        throw EImageError(QStringLiteral("%1, row %2: the attribute \"%3\" is missing")
                              .arg(FFile)
                              .arg(FRowNumber)
                              .arg(name));
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

int TRowReader::Number(const QString& name, int def) const
{
    return StrToIntDef(Text(name), def);
}

int TRowReader::Number_Or(const QString& name, int def, int missing) const
{
    const char* v = Find(name);
    return v ? StrToIntDef(QString::fromUtf8(v), def) : missing;
}

int64_t TRowReader::Number64_Or(const QString& name, int64_t def, int64_t missing) const
{
    const char* v = Find(name);
    return v ? StrToInt64Def(QString::fromUtf8(v), def) : missing;
}

namespace {

// The text upper-cased is "Y": only "Y" and "y" are.
bool isY(const char* v)
{
    return v && (v[0] == 'Y' || v[0] == 'y') && v[1] == 0;
}

} // namespace

bool TRowReader::Yes(const QString& name) const
{
    return isY(Required(name));
}

bool TRowReader::Yes_Or_No(const QString& name) const
{
    return isY(Find(name));
}

bool TRowReader::Exactly_Y(const QString& name) const
{
    const char* v = Find(name);
    return v && v[0] == 'Y' && v[1] == 0;
}
