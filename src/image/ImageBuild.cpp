#include "image/ImageBuild.h"

#include "platform/core/Files.h"

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
    // Raises for a file that stands there but cannot be read: the image is
    // never built from defaults in its place.
    return Project_File_Present(File(name));
}

TProjectFile TImageBuild::Load_File(const QString& name) const
{
    return TProjectFile(File(name));
}
