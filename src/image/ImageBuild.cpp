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
    return FileExists(File(name));
}

TProjectFile TImageBuild::Load_File(const QString& name) const
{
    return TProjectFile(File(name));
}
