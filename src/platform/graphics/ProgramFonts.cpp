#include "platform/graphics/ProgramFonts.h"

#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

namespace {

// The files of the metric-compatible Tahoma, regular and bold.
const char* const kTahomaFiles[] = {"tahoma.ttf", "tahomabd.ttf"};

// Each name the forms use, with the faces whose widths come closest to it, in
// order of preference. Verdana is a wide face: the Vera design (DejaVu Sans)
// was drawn to the same proportions, Tahoma is its narrow sister. Segoe UI
// sets close to Tahoma.
struct TFaceMapping {
    const char* Name;
    std::initializer_list<const char*> Closest;
};
const TFaceMapping kMappings[] = {
    {"Verdana", {"DejaVu Sans", "Bitstream Vera Sans", "Tahoma"}},
    {"Segoe UI", {"Tahoma", "Liberation Sans", "Arimo", "DejaVu Sans"}},
    {"Tahoma", {"DejaVu Sans"}},
};

bool FamilyInstalled(const QString& family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

} // namespace

QStringList DefaultProgramFontFolders()
{
    return {QStringLiteral("/usr/share/wine/fonts")};
}

TProgramFonts::TProgramFonts(const QStringList& folders)
{
    for (const QString& folder : folders) {
        for (const char* name : kTahomaFiles) {
            const QString path = folder + QLatin1Char('/') + QString::fromLatin1(name);
            if (!QFileInfo(path).isFile())
                continue;
            const int id = QFontDatabase::addApplicationFont(path);
            if (id < 0)
                continue;
            FIds.append(id);
            FFiles.append(path);
        }
    }
    // A name the machine has needs no mapping; the others get the installed
    // faces of their list (the toolkit takes the first it finds).
    for (const TFaceMapping& m : kMappings) {
        const QString name = QString::fromLatin1(m.Name);
        if (FamilyInstalled(name))
            continue;
        QStringList faces;
        for (const char* face : m.Closest)
            if (FamilyInstalled(QString::fromLatin1(face)))
                faces.append(QString::fromLatin1(face));
        if (faces.isEmpty())
            continue;
        QFont::insertSubstitutions(name, faces);
        FMapped.append(name);
    }
}

TProgramFonts::~TProgramFonts()
{
    for (const QString& name : FMapped)
        QFont::removeSubstitutions(name);
    for (int id : FIds)
        QFontDatabase::removeApplicationFont(id);
}

bool TProgramFonts::TahomaAvailable()
{
    return FamilyInstalled(QStringLiteral("Tahoma"));
}

QString TProgramFonts::ResolvedFamily(const QString& name)
{
    return QFontInfo(QFont(name)).family();
}

void RegisterProgramFonts()
{
    static TProgramFonts* fonts = new TProgramFonts();
    (void)fonts;
}
