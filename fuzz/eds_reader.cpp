// Arbitrary bytes as the PDO and SDO server table files the EDS writer reads.
// The writer may refuse the input with an error; it must never crash, hang
// or write a data sheet from a table it refused.
#include "image/UEds.h"
#include "project/OpenProject.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

#include <QByteArray>
#include <QFile>
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
    const QString out = PathJoin(dir.path(), QStringLiteral("out.eds"));
    // Each file alone, then both, so each reader sees the bytes with the
    // other table empty and full.
    for (int round = 0; round < 3; ++round) {
        QFile::remove(File_PDO_CANopen);
        QFile::remove(File_SDO_Server_CANopen);
        if (round != 1)
            WriteFileWhole(File_PDO_CANopen, bytes);
        if (round != 0)
            WriteFileWhole(File_SDO_Server_CANopen, bytes);
        try {
            Write_EDS_File(out);
        } catch (const Exception&) {
            // Refused with a message naming the file.
        }
    }
    Dir_Project.clear();
    Set_Files();
    return 0;
}
