#include "app/USettings.h"

#include "app/UComon.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/xml/XmlDoc.h"

#include <sstream>

namespace {

const QString Root = QStringLiteral("Conf_Settings");

// Where each value lives: group element, then value element.
struct TSettingPath {
    const char* Group;
    const char* Value;
};

const TSettingPath Project_Path = {"lastproj", "projectname"};
const TSettingPath IP_Path = {"lastipadd", "ipaddress"};
const TSettingPath Language_Path = {"lastlang", "language"};
const TSettingPath Internet_Path = {"lastinternet", "enable_internet"};
const TSettingPath Update_Path = {"lastinternet", "enable_update"};

// The value element under the root; a null node when the group or the value
// is missing (the first of several of the same name counts).
XmlNode Find(const XmlNode& root, const TSettingPath& p)
{
    if (root.IsNull())
        return XmlNode();
    const XmlNode group = root.ChildElement(QString::fromLatin1(p.Group));
    if (group.IsNull())
        return XmlNode();
    return group.ChildElement(QString::fromLatin1(p.Value));
}

QString TextOr(const XmlNode& root, const TSettingPath& p, const QString& def)
{
    const XmlNode n = Find(root, p);
    return n.IsNull() ? def : n.Text();
}

uint8_t FlagOf(const XmlNode& root, const TSettingPath& p)
{
    const XmlNode n = Find(root, p);
    return (!n.IsNull() && n.Text() == QLatin1String("1")) ? 1 : 0;
}

void Set_Defaults()
{
    Name_Project.clear();
    Dir_Project.clear();
    Last_IP_Address = Default_IP_Address;
    Language = Default_Language;
    Enable_Internet = 0;
    Enable_Update = 0;
}

void Read_Root(const XmlNode& root)
{
    Set_Defaults();
    Name_Project = TextOr(root, Project_Path, QString());
    // A stored name that would lead outside the projects folder is no project.
    if (!Is_Valid_Project_Name(Name_Project))
        Name_Project.clear();
    Last_IP_Address = TextOr(root, IP_Path, Default_IP_Address);
    Language = TextOr(root, Language_Path, Default_Language);
    Enable_Internet = FlagOf(root, Internet_Path);
    Enable_Update = FlagOf(root, Update_Path);
}

} // namespace

QString Settings_File()
{
    return PathJoin(Dir_Program, Settings_File_Name);
}

void Read_Settings_Bytes(const QByteArray& bytes)
{
    XmlDocument doc;
    try {
        doc.LoadFromBytes(bytes, Settings_File_Name);
    } catch (const Exception&) {
        // A damaged settings file is treated as no settings file.
        Set_Defaults();
        return;
    }
    Read_Root(doc.DocumentElement());
}

void Read_Settings(const QString& path)
{
    Set_Defaults();
    if (!FileExists(path))
        return;
    QByteArray bytes;
    try {
        bytes = ReadFileWhole(path);
    } catch (const Exception&) {
        return;
    }
    Read_Settings_Bytes(bytes);
}

QByteArray Settings_Bytes()
{
    XmlDocument doc;
    XmlNode root = doc.CreateRoot(Root);
    const auto add = [&root](const TSettingPath& p, const QString& text) {
        XmlNode group = root.ChildElement(QString::fromLatin1(p.Group));
        if (group.IsNull())
            group = root.AppendElement(QString::fromLatin1(p.Group));
        group.AppendElement(QString::fromLatin1(p.Value)).SetText(text);
    };
    const auto flag = [](uint8_t v) { return v != 0 ? QStringLiteral("1") : QStringLiteral("0"); };
    add(Project_Path, Name_Project);
    add(IP_Path, Last_IP_Address);
    add(Language_Path, Language);
    add(Internet_Path, flag(Enable_Internet));
    add(Update_Path, flag(Enable_Update));

    // Written on one line, as the file has always been.
    std::ostringstream os;
    doc.Node().Raw().print(os, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    const std::string s = os.str();
    return QByteArray(s.data(), qsizetype(s.size()));
}

void Save_Setting(const QString& path)
{
    WriteFileWhole(path, Settings_Bytes());
}
