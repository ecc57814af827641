#include "app/UNew_Project.h"

#include "app/ProjectFiles.h"
#include "app/UComon.h"
#include "platform/core/Files.h"
#include "platform/core/StrUtils.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Texts of the refusals.
constexpr int Text_Name_Empty = 32;
constexpr int Text_Name_Exists = 31;
constexpr int Text_Name_Invalid = 30;

// Only a plain folder name keeps the project inside PROJECTS; a name of
// blanks alone would make a folder nobody can tell apart in the list.
bool Is_Usable_Name(const QString& name)
{
    return Is_Valid_Project_Name(name) && !Trim(name).isEmpty();
}

} // namespace

int Create_Project_Folder(const QString& name)
{
    if (name.isEmpty())
        return Text_Name_Empty;
    if (!Is_Usable_Name(name) || Dir_Projects.isEmpty())
        return Text_Name_Invalid;
    const QString dir = PathJoin(Dir_Projects, name);
    // A file of that name blocks the folder just as a folder does.
    if (QFileInfo::exists(dir) || QFileInfo(dir).isSymLink())
        return Text_Name_Exists;
    if (!QDir().mkdir(dir))
        return Text_Name_Invalid;
    // A missing bin folder is made again when the device image is written.
    ForceDirectories(PathJoin(dir, ProjectFiles::BinFolder));
    Name_Project = name;
    Dir_Project = dir;
    Set_Files();
    return 0;
}
