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

QString TRowReader::Text(const QString& name) const
{
    const XmlValue v = FRow.Attribute(name);
    if (v.IsNull())
        throw EImageError(QStringLiteral("%1, row %2: the attribute \"%3\" is missing")
                              .arg(FFile)
                              .arg(FRowNumber)
                              .arg(name));
    return v.TextOr(QString());
}

QString TRowReader::Text_Or(const QString& name, const QString& missing) const
{
    return FRow.Attribute(name).TextOr(missing);
}

int TRowReader::Number(const QString& name, int def) const
{
    return StrToIntDef(Text(name), def);
}

int TRowReader::Number_Or(const QString& name, int def, int missing) const
{
    const XmlValue v = FRow.Attribute(name);
    return v.IsNull() ? missing : StrToIntDef(v.TextOr(QString()), def);
}

int64_t TRowReader::Number64_Or(const QString& name, int64_t def, int64_t missing) const
{
    const XmlValue v = FRow.Attribute(name);
    return v.IsNull() ? missing : StrToInt64Def(v.TextOr(QString()), def);
}

bool TRowReader::Yes(const QString& name) const
{
    return Text(name).toUpper() == QLatin1String("Y");
}

bool TRowReader::Yes_Or_No(const QString& name) const
{
    return Text_Or(name, QString()).toUpper() == QLatin1String("Y");
}

bool TRowReader::Exactly_Y(const QString& name) const
{
    return Text_Or(name, QString()) == QLatin1String("Y");
}
