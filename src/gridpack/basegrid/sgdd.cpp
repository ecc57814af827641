// The grid's drag and drop.
#include "gridpack/basegrid/sgdd.h"

#include "platform/controls/Clipboard.h"
#include "platform/core/Exceptions.h"

#include <QUrl>
#include <QtEndian>

#include <cstring>

TClipFormat RTFClipFormat = 0;
TClipFormat ColumnClipFormat = 0;
TClipFormat CellsClipFormat = 0;
TClipFormat URLClipFormat = 0;
bool RTFDragDropEnabled = false;

void RegisterGridClipFormats()
{
    RTFClipFormat = RegisterClipboardFormat(QStringLiteral("Rich Text Format"));
    ColumnClipFormat = RegisterClipboardFormat(QStringLiteral("Grid Column"));
    CellsClipFormat = RegisterClipboardFormat(QStringLiteral("TExStringGrid Cells"));
    URLClipFormat = RegisterClipboardFormat(QStringLiteral("UniformResourceLocator"));
}

void SetRTFDragDrop(bool Enabled) { RTFDragDropEnabled = Enabled; }

std::uint32_t DropEffectFor(std::uint32_t KeyState, std::uint32_t Allowed)
{
    if (KeyState & MK_CONTROL)
        return DROPEFFECT_COPY;
    if (Allowed & DROPEFFECT_MOVE)
        return DROPEFFECT_MOVE;
    return DROPEFFECT_COPY;
}

// --- readers ---------------------------------------------------------------------------------

namespace {
qint32 I32(const QByteArray& b, int at) { return qFromLittleEndian<qint32>(b.constData() + at); }
} // namespace

bool ReadColumnBlock(const QByteArray& Block, int& Column)
{
    if (Block.size() < 4)
        return false;
    Column = I32(Block, 0);
    return true;
}

bool ReadCellsBlock(const QByteArray& Block, QByteArray& Stream)
{
    if (Block.size() < 8)
        return false;
    const qint64 size = I32(Block, 0);
    if (size < 0 || Block.size() < 8 + size)
        return false;
    Stream = Block.mid(8, int(size));
    return true;
}

namespace {
// The URI list the toolkit hands for dropped files: one URL a line, "#"
// lines are comments.
bool ReadUriList(const QByteArray& Block, QStringList& Files)
{
    const QString text = QString::fromUtf8(Block.left(Block.indexOf('\0') < 0 ? Block.size() : Block.indexOf('\0')));
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QUrl url(line, QUrl::StrictMode);
        if (!url.isValid() || url.scheme().isEmpty())
            return false;
        Files << (url.isLocalFile() ? url.toLocalFile() : url.toString());
    }
    return true;
}
} // namespace

bool ReadFileListBlock(const QByteArray& Block, QStringList& Files)
{
    Files.clear();
    // A URI list starts with a scheme or a comment; the structure starts
    // with the offset of its names (20 or more, low byte not a letter for
    // any block the platform builds).
    const char first = Block.isEmpty() ? '\0' : Block[0];
    if ((first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z') || first == '#')
        return ReadUriList(Block, Files);
    if (Block.size() < 20 || I32(Block, 0) < 20)
        return false;
    qint64 at = I32(Block, 0) & ~1;
    const bool wide = I32(Block, 16) != 0;
    if (at > Block.size())
        return false;
    for (;;) {
        QString name;
        if (wide) {
            qint64 end = at;
            while (end + 1 < Block.size() && (Block[int(end)] != 0 || Block[int(end + 1)] != 0))
                end += 2;
            if (end + 1 >= Block.size())
                return false; // no terminator before the block's end
            name = QString::fromUtf16(reinterpret_cast<const char16_t*>(Block.constData() + at), (end - at) / 2);
            at = end + 2;
        } else {
            const int end = Block.indexOf('\0', int(at));
            if (end < 0)
                return false;
            name = ClipboardBytesToText(CF_TEXT, Block.mid(int(at), end - int(at)) + '\0');
            at = end + 1;
        }
        if (name.isEmpty())
            break;
        Files << name;
    }
    return true;
}

QString ReadUnicodeTextBlock(const QByteArray& Block)
{
    const qsizetype units = Block.size() / 2;
    const auto* p = reinterpret_cast<const char16_t*>(Block.constData());
    qsizetype n = 0;
    while (n < units && p[n] != 0)
        ++n;
    QByteArray copy = Block.left(n * 2); // aligned copy
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(copy.constData()), n);
}

QString ReadAnsiTextBlock(const QByteArray& Block)
{
    const int end = Block.indexOf('\0');
    return ClipboardBytesToText(CF_TEXT, (end < 0 ? Block : Block.left(end)) + '\0');
}

// --- format walker ------------------------------------------------------------------------------

TEnumFormats::TEnumFormats(IDataObject* DataObject) : FDataObject(DataObject)
{
    RegisterGridClipFormats();
    if (!DataObject || FAILED(DataObject->EnumFormatEtc(DATADIR_GET, FEnumerator)) || !FEnumerator)
        throw EAssertionFailed(QStringLiteral("Cannot get the format enumerator"));
    FEnumerator->Reset();
}

bool TEnumFormats::HasFormat(TClipFormat Id)
{
    if (Id == 0)
        return false;
    FEnumerator->Reset();
    FCount = 0;
    for (;;) {
        std::uint32_t got = 0;
        FValid = FEnumerator->Next(1, &FFormatEtc, &got) == S_OK && got == 1;
        if (!FValid)
            return false;
        ++FCount;
        if (FFormatEtc.cfFormat == Id)
            return true;
    }
}

bool TEnumFormats::CurrentBlock(QByteArray& Block)
{
    if (!FValid || !(FFormatEtc.tymed & TYMED_HGLOBAL))
        return false;
    FORMATETC f = FFormatEtc;
    f.tymed = TYMED_HGLOBAL;
    STGMEDIUM m;
    if (FAILED(FDataObject->GetData(f, m)) || m.tymed != TYMED_HGLOBAL)
        return false;
    Block = m.hGlobal;
    return true;
}

// --- drop target -------------------------------------------------------------------------------------

namespace {
// What a dragged object carries, read once per DragEnter or Drop.
struct Carried {
    TDropFormats Formats = 0;
    bool Malformed = false;
    int Column = -1;
    QByteArray Cells;
    QString Text, Rtf;
    QStringList Files;
};

Carried Inspect(IDataObject* data, bool readAll)
{
    Carried c;
    TEnumFormats w(data);
    QByteArray block;
    auto has = [&](TClipFormat id, TDropFormat f) {
        if (!w.HasFormat(id))
            return false;
        c.Formats |= DropFormatBit(f);
        return true;
    };
    const bool text = has(CF_UNICODETEXT, dfText) | has(CF_TEXT, dfText);
    if (has(CF_HDROP, dfFile) && readAll)
        c.Malformed |= !w.CurrentBlock(block) || !ReadFileListBlock(block, c.Files);
    if (has(RTFClipFormat, dfRTF) && readAll && w.CurrentBlock(block))
        c.Rtf = ReadAnsiTextBlock(block);
    if (has(ColumnClipFormat, dfCol) && readAll)
        c.Malformed |= !w.CurrentBlock(block) || !ReadColumnBlock(block, c.Column);
    has(URLClipFormat, dfURL);
    if (has(CellsClipFormat, dfGridCells) && readAll)
        c.Malformed |= !w.CurrentBlock(block) || !ReadCellsBlock(block, c.Cells);
    if (text && readAll) {
        if (w.HasFormat(CF_UNICODETEXT) && w.CurrentBlock(block))
            c.Text = ReadUnicodeTextBlock(block);
        else if (w.HasFormat(CF_TEXT) && w.CurrentBlock(block))
            c.Text = ReadAnsiTextBlock(block);
    }
    return c;
}

bool Has(TDropFormats s, TDropFormat f) { return s & DropFormatBit(f); }
} // namespace

HRESULT TSGDropTarget::DragEnter(IDataObject* data, std::uint32_t keyState, TPoint, std::uint32_t& effect)
{
    FOk = false;
    FDropFormats = 0;
    try {
        const Carried c = Inspect(data, false);
        const TDropFormats f = c.Formats;
        FDropFormats = f;
        FOk = (Has(f, dfText) && AcceptText) || (Has(f, dfFile) && AcceptFiles) ||
              (Has(f, dfRTF) && RTFDragDropEnabled && AcceptText) || (Has(f, dfCol) && AcceptCols) ||
              (Has(f, dfURL) && AcceptURLs) || Has(f, dfGridCells);
    } catch (const Exception&) {
        // An object without a format list offers nothing that can be taken.
    }
    effect = FOk ? DropEffectFor(keyState, effect) : DROPEFFECT_NONE;
    DragMouseEnter();
    return S_OK;
}

HRESULT TSGDropTarget::DragOver(std::uint32_t keyState, TPoint pt, std::uint32_t& effect)
{
    effect = FOk ? DropEffectFor(keyState, effect) : DROPEFFECT_NONE;
    bool allow = effect != DROPEFFECT_NONE;
    DragMouseMove(pt, allow, FDropFormats);
    if (!allow)
        effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT TSGDropTarget::DragLeave()
{
    DragMouseLeave();
    return S_OK;
}

HRESULT TSGDropTarget::Drop(IDataObject* data, std::uint32_t keyState, TPoint pt, std::uint32_t& effect)
{
    if (!FOk) {
        effect = DROPEFFECT_NONE;
        return S_OK;
    }
    Carried c;
    try {
        c = Inspect(data, true);
    } catch (const Exception&) {
        c.Malformed = true;
    }
    if (c.Malformed) {
        effect = DROPEFFECT_NONE;
        return S_OK;
    }
    const TDropFormats f = c.Formats;
    if (Has(f, dfCol)) {
        DropCol(pt, c.Column);
    } else {
        if (Has(f, dfGridCells)) {
            auto s = std::make_unique<TMemoryStream>();
            s->Write(c.Cells.constData(), c.Cells.size());
            s->SetPosition(0);
            DropStream(pt, std::move(s));
        } else if (Has(f, dfRTF) && RTFDragDropEnabled) {
            DropRTF(pt, c.Rtf);
        } else if (Has(f, dfText)) {
            DropText(pt, c.Text);
        }
        if (Has(f, dfFile))
            DropFiles(pt, c.Files);
        if (Has(f, dfURL))
            DropURL(pt, c.Text);
    }
    effect = DropEffectFor(keyState, effect);
    return S_OK;
}

// --- drop source ------------------------------------------------------------------------------------

HRESULT TSGDropSource::QueryContinueDrag(bool escapePressed, std::uint32_t keyState)
{
    HRESULT r = S_OK;
    if (escapePressed) {
        DragEnded();
        r = DRAGDROP_S_CANCEL;
    } else if (!(keyState & MK_LBUTTON)) {
        DragEnded();
        r = DRAGDROP_S_DROP;
    }
    QueryDrag();
    return r;
}

HRESULT TSGDropSource::GiveFeedback(std::uint32_t effect)
{
    FNoAccept = effect == DROPEFFECT_NONE;
    CurrentEffect(effect);
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

// --- format enumerator -------------------------------------------------------------------------------

TSourceEnumFormatEtc::TSourceEnumFormatEtc(bool HasCol, bool HasGridCells, int Index)
    : FIndex(Index), FHasCol(HasCol), FHasGridCells(HasGridCells)
{
}

int TSourceEnumFormatEtc::EntryCount() const { return 5 - (FHasCol ? 0 : 1) - (FHasGridCells ? 0 : 1); }

TClipFormat TSourceEnumFormatEtc::Entry(int i) const
{
    const int n = EntryCount();
    if (FHasGridCells && i == n - 1)
        return CellsClipFormat;
    switch (i) {
    case 0: return CF_TEXT;
    case 1: return CF_UNICODETEXT;
    case 2: return RTFClipFormat;
    default: return ColumnClipFormat;
    }
}

HRESULT TSourceEnumFormatEtc::Next(std::uint32_t celt, FORMATETC* rgelt, std::uint32_t* pceltFetched)
{
    std::uint32_t got = 0;
    const int n = EntryCount();
    while (got < celt && FIndex < n) {
        FORMATETC f;
        f.cfFormat = Entry(FIndex);
        f.ptd = nullptr;
        f.dwAspect = DVASPECT_CONTENT;
        f.lindex = -1;
        f.tymed = TYMED_HGLOBAL;
        rgelt[got++] = f;
        ++FIndex;
    }
    if (pceltFetched)
        *pceltFetched = got;
    return got == celt ? S_OK : S_FALSE;
}

HRESULT TSourceEnumFormatEtc::Skip(std::uint32_t celt)
{
    const int n = EntryCount();
    if (qint64(FIndex) + celt > n) {
        FIndex = n;
        return S_FALSE;
    }
    FIndex += int(celt);
    return S_OK;
}

HRESULT TSourceEnumFormatEtc::Reset()
{
    FIndex = 0;
    return S_OK;
}

HRESULT TSourceEnumFormatEtc::Clone(std::shared_ptr<IEnumFORMATETC>& out)
{
    out = std::make_shared<TSourceEnumFormatEtc>(FHasCol, FHasGridCells, FIndex);
    return S_OK;
}

// --- data object ------------------------------------------------------------------------------------

TSourceDataObject::TSourceDataObject(const QString& Text, const QString& RichText, int Column, TMemoryStream* Stream)
    : textdata(Text), rtfdata(RichText), scolidx(Column), memstr(Stream)
{
}

HRESULT TSourceDataObject::QueryGetData(const FORMATETC& f)
{
    if (f.dwAspect != DVASPECT_CONTENT || f.tymed != TYMED_HGLOBAL || f.cfFormat == 0)
        return DV_E_FORMATETC;
    if ((f.cfFormat == CF_TEXT || f.cfFormat == CF_UNICODETEXT) && !textdata.isEmpty())
        return S_OK;
    if (f.cfFormat == RTFClipFormat && !textdata.isEmpty() && RTFDragDropEnabled)
        return S_OK;
    if (f.cfFormat == CellsClipFormat && memstr)
        return S_OK;
    if (f.cfFormat == ColumnClipFormat && scolidx != -1)
        return S_OK;
    return DV_E_FORMATETC;
}

HRESULT TSourceDataObject::GetData(const FORMATETC& f, STGMEDIUM& medium)
{
    medium = STGMEDIUM();
    if (QueryGetData(f) != S_OK)
        return DV_E_FORMATETC;
    QByteArray b;
    if (f.cfFormat == CF_TEXT || f.cfFormat == CF_UNICODETEXT) {
        b = TextToClipboardBytes(f.cfFormat, textdata);
    } else if (f.cfFormat == RTFClipFormat) {
        // An empty rich text still gets its terminator.
        b = TextToClipboardBytes(CF_TEXT, rtfdata);
        if (b.isEmpty())
            b = QByteArray(1, '\0');
    } else if (f.cfFormat == CellsClipFormat) {
        const QByteArray data(memstr->Memory(), int(memstr->Size()));
        b = QByteArray(8, '\0');
        qToLittleEndian<qint32>(qint32(data.size()), b.data());
        b += data;
    } else {
        b = QByteArray(4, '\0');
        qToLittleEndian<qint32>(scolidx, b.data());
    }
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = b;
    return S_OK;
}

HRESULT TSourceDataObject::GetDataHere(const FORMATETC&, STGMEDIUM&) { return DV_E_FORMATETC; }
HRESULT TSourceDataObject::SetData(const FORMATETC&, const STGMEDIUM&, bool) { return DV_E_FORMATETC; }

HRESULT TSourceDataObject::GetCanonicalFormatEtc(const FORMATETC&, FORMATETC& out)
{
    out.ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT TSourceDataObject::EnumFormatEtc(std::uint32_t direction, std::shared_ptr<IEnumFORMATETC>& out)
{
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    out = std::make_shared<TSourceEnumFormatEtc>(scolidx != -1, memstr != nullptr);
    return S_OK;
}

HRESULT TSourceDataObject::DAdvise(const FORMATETC&, std::uint32_t, void*, std::uint32_t&) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT TSourceDataObject::DUnadvise(std::uint32_t) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT TSourceDataObject::EnumDAdvise(void*& out)
{
    out = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

// --- starting a drag -----------------------------------------------------------------------------------

namespace {
HRESULT RunDrag(TSGDropSource* Source, const std::shared_ptr<TSourceDataObject>& data, std::uint32_t OkEffects,
                std::uint32_t& Effect)
{
    const HRESULT r = DoDragDrop(data.get(), Source, OkEffects, Effect);
    return Source->NoAccept() ? DRAGDROP_S_CANCEL : r;
}
} // namespace

HRESULT BeginTextDrag(TSGDropSource* Source, const QString& Text, const QString& RichText, TMemoryStream* Stream,
                      std::uint32_t OkEffects, std::uint32_t& Effect)
{
    return RunDrag(Source, std::make_shared<TSourceDataObject>(Text, RichText, -1, Stream), OkEffects, Effect);
}

HRESULT BeginColumnDrag(TSGDropSource* Source, int Column, std::uint32_t OkEffects, std::uint32_t& Effect)
{
    return RunDrag(Source, std::make_shared<TSourceDataObject>(QString(), QString(), Column, nullptr), OkEffects,
                   Effect);
}
