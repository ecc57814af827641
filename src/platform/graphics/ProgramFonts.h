#pragma once
// The faces the program's texts were laid out for. Its forms name "Tahoma",
// "Verdana" and "Segoe UI"; their widths were made for those faces' metrics,
// and a machine of this platform rarely has them. At start-up the program
// registers the metric-compatible Tahoma that a machine may keep outside the
// font folders (Debian's fonts-wine puts tahoma.ttf and tahomabd.ttf in
// /usr/share/wine/fonts) and maps the other names to the installed faces
// whose metrics come closest. Nothing of this is required: without the files
// the names fall back as before and the program starts all the same.
#include <QList>
#include <QString>
#include <QStringList>

// The folders searched for the faces by default.
QStringList DefaultProgramFontFolders();

class TProgramFonts {
public:
    // Registers the faces found in `folders` (the files tahoma.ttf and
    // tahomabd.ttf) and sets the name mappings; a missing folder or file is
    // skipped.
    explicit TProgramFonts(const QStringList& folders = DefaultProgramFontFolders());
    // Takes the registered faces and the mappings back.
    ~TProgramFonts();
    TProgramFonts(const TProgramFonts&) = delete;
    TProgramFonts& operator=(const TProgramFonts&) = delete;

    // The files registered, in the order found.
    const QStringList& RegisteredFiles() const { return FFiles; }
    // "Tahoma" is a real face now (installed or registered), not a fallback.
    static bool TahomaAvailable();
    // The face a name is drawn with, after the mappings.
    static QString ResolvedFamily(const QString& name);

private:
    QList<int> FIds;
    QStringList FFiles;
    QStringList FMapped;
};

// The program's own registration, made once by the toolkit's start-up and
// kept to the end of the process.
void RegisterProgramFonts();
