// Arbitrary bytes as the ParGen.xml the GSDML writer reads its two lengths
// from. The writer may refuse the input with an error; it must never crash.
#include "image/UProfinetXML.h"
#include "project/Models.h"
#include "project/OpenProject.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTemporaryDir dir;
    if (!dir.isValid())
        return 0;
    Dir_Project = dir.path();
    Set_Files();
    WriteFileWhole(File_ParGen, bytes);
    const int saved = Model_Code;
    for (int model : {12, 1012}) {
        Model_Code = model;
        try {
            Write_GSDML_File(PathJoin(dir.path(), QStringLiteral("out.xml")));
        } catch (const Exception&) {
            // A ParGen.xml that cannot be parsed is refused with its name.
        }
    }
    Model_Code = saved;
    Dir_Project.clear();
    Set_Files();
    return 0;
}
