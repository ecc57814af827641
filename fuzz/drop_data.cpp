// Arbitrary bytes as every block a drop may carry: the readers never read
// past a block, and a whole drop of such blocks never crashes the target;
// nor does another program's drag data made of them.
#include "gridpack/basegrid/sgdd.h"
#include "platform/controls/InboundDrag.h"

#include <QByteArray>
#include <QMimeData>

#include <cstdint>
#include <cstdlib>

namespace {
struct QuietTarget : TSGDropTarget {};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    int col = 0;
    (void)ReadColumnBlock(bytes, col);
    QByteArray stream;
    if (ReadCellsBlock(bytes, stream) && stream.size() + 8 > bytes.size())
        std::abort();
    QStringList files;
    (void)ReadFileListBlock(bytes, files);
    if (ReadUnicodeTextBlock(bytes).size() > bytes.size() / 2)
        std::abort();
    (void)ReadAnsiTextBlock(bytes);

    RegisterGridClipFormats();
    TDataObject d;
    d.SetFormat(CF_UNICODETEXT, bytes);
    d.SetFormat(CF_HDROP, bytes);
    d.SetFormat(CellsClipFormat, bytes);
    d.SetFormat(ColumnClipFormat, bytes);
    d.SetFormat(RTFClipFormat, bytes);
    QuietTarget t;
    t.AcceptCols = size % 2 == 0;
    std::uint32_t e = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    t.DragEnter(&d, 0, TPoint(), e);
    e = DROPEFFECT_COPY;
    t.Drop(&d, 0, TPoint(), e);

    QMimeData m;
    for (const char* type : {"text/plain;charset=utf-8", "text/rtf", "text/csv", "text/uri-list",
                             "application/x-kalmetor-texstringgrid-cells", "application/x-kalmetor-grid-column"})
        m.setData(QString::fromLatin1(type), bytes);
    if (const auto in = InboundDataObject(&m)) {
        e = DROPEFFECT_COPY;
        t.DragEnter(in.get(), 0, TPoint(), e);
        e = DROPEFFECT_COPY;
        t.Drop(in.get(), 0, TPoint(), e);
    }
    return 0;
}
