#include "app/USoftOptions.h"

#include "app/UComon.h"
#include "app/ULanguage.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"
#include "platform/sys/HttpClient.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

// ---------------------------------------------------------------------------
// Version check

namespace {

const QString Query_Path = QStringLiteral("/home/download/GetversionSW.asp?nomesw=");
const QString Download_Path = QStringLiteral("/Home/download/download.asp#");
const QString No_Version = QStringLiteral("VER. 0.000");
const QByteArray Accept_Value = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";

TUpdateServer Default_Server()
{
    TUpdateServer s;
    s.Host = Company_Label;
    return s;
}

QString Host_And_Port(const TUpdateServer& s)
{
    return s.Port == 80 ? s.Host : s.Host + QLatin1Char(':') + QString::number(s.Port);
}

// Only the plain decimal digits of a version count; a hexadecimal prefix
// that the general number reading would accept is not a version.
bool Is_Decimal_Text(const QString& s)
{
    int i = (s.startsWith(QLatin1Char('-')) || s.startsWith(QLatin1Char('+'))) ? 1 : 0;
    if (i >= s.size())
        return false;
    for (; i < s.size(); ++i)
        if (s.at(i) < QLatin1Char('0') || s.at(i) > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

TUpdateServer& Update_Server()
{
    static TUpdateServer s = Default_Server();
    return s;
}

void Reset_Update_Server()
{
    Update_Server() = Default_Server();
}

QString Version_Query_Url(const QString& queryValue)
{
    return QStringLiteral("http://") + Host_And_Port(Update_Server()) + Query_Path + queryValue;
}

QString Download_Page_Url(int modelCode)
{
    return QStringLiteral("http://") + Company_Label + Download_Path + Get_HW_Code(modelCode);
}

QString Download_Link(int modelCode, const QString& linkText)
{
    return QStringLiteral("<a href=\"") + Download_Page_Url(modelCode) + QStringLiteral("\">") + linkText +
           QStringLiteral("</a>");
}

int Conv_Version(const QString& Ver_str)
{
    const int blank = Ver_str.indexOf(QLatin1Char(' '));
    const QString v = Trim(blank < 0 ? Ver_str : Ver_str.mid(blank + 1));
    if (v.size() < 5)
        return -1;
    // The digit before the point and the three after it.
    const QString digits = QString(v.at(0)) + v.at(2) + v.at(3) + v.at(4);
    int n = -1;
    if (!Is_Decimal_Text(digits) || !TryStrToInt(digits, n))
        return -1;
    return n;
}

bool Is_Newer_Version(const QString& reply, const QString& current)
{
    const QString r = Trim(reply);
    if (r.isEmpty() || UpperCase(r) == No_Version)
        return false;
    const int have = Conv_Version(current);
    const int offered = Conv_Version(r);
    return have != -1 && offered != -1 && offered > have;
}

QString Query_Version(const QString& queryValue)
{
    const TUpdateServer& s = Update_Server();
    const Sys::HttpHeaders headers = {
        {"Accept", Accept_Value},
        {"User-Agent", "Kalmetor-Configurator/" + Get_Version(Model_Code).toLatin1()},
    };
    try {
        const Sys::HttpResponse r = Sys::HttpClient().Get(Version_Query_Url(queryValue), headers, s.TimeoutMs);
        if (r.Status < 200 || r.Status > 299)
            return QString();
        return QString::fromLatin1(r.Body);
    } catch (...) {
        // No answer is no newer version; the check never stops the program.
        return QString();
    }
}

bool Check_Version_Of(int modelCode)
{
    QString query, current;
    if (modelCode >= 1 && modelCode <= 15) {
        query = QString::fromLatin1(Table_SW_Code_Check[modelCode - 1]);
        current = Get_Version(modelCode);
    }
    return Is_Newer_Version(Query_Version(query), current);
}

bool Update_Check_Allowed()
{
    return Enable_Internet == 1 && Enable_Update == 1;
}

// ---------------------------------------------------------------------------
// Language pages

QStringList List_Language_Files(const QString& dirLanguage)
{
    QStringList names;
    QDir dir(dirLanguage);
    if (dirLanguage.isEmpty() || !dir.exists())
        return names;
    const QFileInfoList entries =
        dir.entryInfoList(QStringList{QStringLiteral("*.lng")}, QDir::Files | QDir::Hidden | QDir::System,
                          QDir::Unsorted);
    for (const QFileInfo& fi : entries) {
        // The pattern ignores case; the language is loaded as "<name>.lng".
        if (!fi.fileName().endsWith(QStringLiteral(".lng")) || fi.fileName().size() <= 4)
            continue;
        if (fi.isSymLink() || !fi.isFile())
            continue;
        // A file its owner may not write is a read-only file.
        if (!(fi.permissions() & QFileDevice::WriteOwner))
            continue;
        names << fi.fileName();
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = CompareText(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

int Lang_Page_Count(int count)
{
    return (count + Lang_Slots - 1) / Lang_Slots;
}

QString Lang_Name(const QString& fileName)
{
    return fileName.left(std::max<qsizetype>(0, fileName.size() - 4));
}

QString Flag_Picture(const QString& dirLanguage, const QString& name)
{
    const QString own = PathJoin(dirLanguage, name + QStringLiteral(".bmp"));
    if (FileExists(own))
        return own;
    const QString fallback = PathJoin(dirLanguage, QStringLiteral("DefaultFlag.bmp"));
    if (FileExists(fallback))
        return fallback;
    return QString();
}

int Turn_Lang_Page(int showPage, int pages, bool forward)
{
    if (forward)
        return pages >= showPage + 1 ? showPage + 1 : showPage;
    return showPage > 1 ? showPage - 1 : showPage;
}

int Lang_Slot_Index(int page, int slot)
{
    return Lang_Slots * (page - 1) + slot - 1;
}

TLangPageView Lang_Page_View(const QStringList& files, int page, const QString& dirLanguage)
{
    TLangPageView v;
    const int count = int(files.size());
    const int pages = Lang_Page_Count(count);
    v.Page_Label = Text_Of(43) + QString::number(page) + Text_Of(44) + QString::number(pages);
    v.Prev_Visible = page != 1;
    v.Next_Visible = page != pages;
    const int n = std::clamp(count - Lang_Slots * (page - 1), 0, Lang_Slots);
    for (int k = 1; k <= n; ++k) {
        const QString name = Lang_Name(files.at(Lang_Slot_Index(page, k)));
        v.Slots.append({name, Flag_Picture(dirLanguage, name)});
    }
    return v;
}

void Load_Texts_Of(const QString& language)
{
    const QString kept = Language;
    Language = language;
    Load_Language();
    Language = kept;
}

// ---------------------------------------------------------------------------
// Switches

TSwitchState Switch_State(bool internetTicked, bool updateTicked)
{
    TSwitchState s;
    s.Update_Enabled = internetTicked;
    s.Check_Button_Enabled = internetTicked && updateTicked && s.Update_Enabled;
    return s;
}
