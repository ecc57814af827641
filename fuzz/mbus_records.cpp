// Feeds arbitrary bytes to the M-Bus data record walk, wired and wireless.
// The walk must end, never read past the bytes (the input is copied into a
// buffer of exactly its size, so a read past it is a heap overflow), and
// keep only records it could read whole.
#include "mbus/MBusDecoder.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

void walk(const uint8_t* bytes, size_t size, TMBusType mode)
{
    QList<TVariable_MBus*> list;
    const TMBusWalkResult r =
        Decode_Data_Records(QByteArrayView(reinterpret_cast<const char*>(bytes), qsizetype(size)), mode, list);
    if (r.Kept != list.size())
        std::abort();
    for (const TVariable_MBus* v : list)
        if (v->nbyte < 0 || v->nbyte > 191 || v->numdife > 10)
            std::abort();
    qDeleteAll(list);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::unique_ptr<uint8_t[]> exact(new uint8_t[size ? size : 1]);
    if (size)
        std::memcpy(exact.get(), data, size);
    walk(exact.get(), size, mtWired);
    walk(exact.get(), size, mtWireless);
    // The engine's form with a `last` inside the bytes.
    if (size > 1) {
        QList<TVariable_MBus*> list;
        Parse_Data_Records(list, int(exact[0]) % int(size), QByteArrayView(reinterpret_cast<const char*>(exact.get()) + 1,
                                                                           qsizetype(size - 1)),
                           mtWireless);
        qDeleteAll(list);
    }
    return 0;
}
