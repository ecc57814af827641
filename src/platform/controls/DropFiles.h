#pragma once
// The dropped-files block (the file-list clipboard and drag format): a
// 20-byte header (the offset of the list, the drop point, a non-client flag,
// a wide-text flag), then the names, each ending with a zero, the list ended
// by an empty name. Names are UTF-16 (wide) here; an older block with
// one-byte names is read too. The toolkit carries the same list as URIs.
#include "platform/graphics/GraphicsTypes.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QUrl>

constexpr int kDropFilesHeaderSize = 20;

// The block for `names`, dropped at `pt`.
QByteArray BuildDropFiles(const QStringList& names, TPoint pt = TPoint(), bool nonClient = false);
// The names in a block; false (and no names) when the block is too short,
// its offset points outside it, or a name runs past its end.
bool ReadDropFiles(const QByteArray& block, QStringList& names, TPoint* pt = nullptr);
// The platform's query: the count when index is 0xFFFFFFFF, else the
// index-th name (empty past the end).
unsigned DragQueryFileCount(const QByteArray& block);
QString DragQueryFile(const QByteArray& block, unsigned index);

// To and from the toolkit's URI list (local files only).
QByteArray DropFilesFromUrls(const QList<QUrl>& urls, TPoint pt = TPoint());
QList<QUrl> UrlsFromDropFiles(const QByteArray& block);
