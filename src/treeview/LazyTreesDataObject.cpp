// The tree's data object, its format enumerator, the reference block and the
// read-only memory stream.
#include "treeview/LazyTrees.h"
#include "treeview/LazyTreesClipboard.h"

#include "platform/core/Exceptions.h"

#include <QCoreApplication>
#include <QHash>

#include <cstring>

namespace {
void PutLE32(char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = char((v >> (8 * i)) & 0xFF);
}
uint32_t GetLE32(const char* p) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(p[i])) << (8 * i);
    return v;
}
uint32_t ProcessId() { return uint32_t(QCoreApplication::applicationPid()); }
}  // namespace

QByteArray MakeTreeReference(uint32_t TreeId) {
    QByteArray b(8, '\0');
    PutLE32(b.data(), ProcessId());
    PutLE32(b.data() + 4, TreeId);
    return b;
}

TBaseLazyTree* TreeOfReference(const QByteArray& Block) {
    if (Block.size() < 8 || GetLE32(Block.constData()) != ProcessId()) return nullptr;
    return TBaseLazyTree::TreeOfExchangeId(GetLE32(Block.constData() + 4));
}

// ---------------------------------------------------------------------------

HRESULT TLTEnumFormatEtc::Next(std::uint32_t celt, FORMATETC* rgelt, std::uint32_t* pceltFetched) {
    const int64_t remaining = int64_t(FFormatEtcArray.size()) - FCurrentIndex;
    const int64_t n = std::min<int64_t>(celt, remaining);
    if (n > 0) {
        for (int64_t i = 0; i < n; ++i) rgelt[i] = FFormatEtcArray[FCurrentIndex + int(i)];
        FCurrentIndex += int(n);
    }
    if (pceltFetched) *pceltFetched = uint32_t(std::max<int64_t>(n, 0));
    return n > 0 ? S_OK : S_FALSE;
}

HRESULT TLTEnumFormatEtc::Skip(std::uint32_t celt) {
    if (int64_t(FCurrentIndex) + celt <= int64_t(FFormatEtcArray.size())) {
        FCurrentIndex += int(celt);
        return S_OK;
    }
    return S_FALSE;
}

HRESULT TLTEnumFormatEtc::Reset() {
    FCurrentIndex = 0;
    return S_OK;
}

HRESULT TLTEnumFormatEtc::Clone(std::shared_ptr<IEnumFORMATETC>& out) {
    out = std::make_shared<TLTEnumFormatEtc>(FFormatEtcArray, FCurrentIndex);
    return S_OK;
}

// ---------------------------------------------------------------------------

TLTDataObject::TLTDataObject(TBaseLazyTree* AOwner, bool ForClipboard)
    : FOwnerId(AOwner->ExchangeId()), FForClipboard(ForClipboard), FFormatEtcArray(AOwner->CollectNativeFormats()) {}

TBaseLazyTree* TLTDataObject::Owner() const { return TBaseLazyTree::TreeOfExchangeId(FOwnerId); }

bool TLTDataObject::SameFormat(const FORMATETC& A, const FORMATETC& B) {
    return A.cfFormat == B.cfFormat && A.ptd == B.ptd && A.dwAspect == B.dwAspect && A.lindex == B.lindex &&
           (A.tymed & B.tymed) != 0;
}

int TLTDataObject::IndexOfFormat(const FORMATETC& F, const TFormatEtcArray& Array) {
    for (int i = 0; i < Array.size(); ++i)
        if (SameFormat(F, Array[i])) return i;
    return -1;
}

HRESULT TLTDataObject::QueryGetData(const FORMATETC& F) {
    HRESULT result = DV_E_CLIPFORMAT;
    for (const FORMATETC& e : FFormatEtcArray) {
        if (e.cfFormat != F.cfFormat) continue;
        if (!(e.tymed & F.tymed))
            result = DV_E_TYMED;
        else if (e.dwAspect != F.dwAspect)
            result = DV_E_DVASPECT;
        else if (e.lindex != F.lindex)
            result = DV_E_LINDEX;
        else
            return S_OK;
    }
    return result;
}

HRESULT TLTDataObject::GetData(const FORMATETC& F, STGMEDIUM& Medium) {
    Medium = STGMEDIUM();
    try {
        TBaseLazyTree* owner = Owner();
        if (F.cfFormat != 0 && F.cfFormat == TreeClipboardFormats().TreeReference) {
            if (!owner || owner->TreeStates().Contains(tsClipboardFlushing)) return E_FAIL;
            Medium.tymed = TYMED_HGLOBAL;
            Medium.hGlobal = MakeTreeReference(FOwnerId);
            return S_OK;
        }
        const HRESULT q = QueryGetData(F);
        if (q != S_OK) return q;
        const int i = IndexOfFormat(F, FFormatEtcArray);
        for (const auto& stored : FInternalStgMediumArray)
            if (stored.first == F.cfFormat) {
                Medium = stored.second;
                return S_OK;
            }
        if (i < 0 || !owner) return E_FAIL;
        return owner->RenderDataFormat(F, Medium, FForClipboard);
    } catch (...) {
        Medium = STGMEDIUM();
        return E_FAIL;
    }
}

HRESULT TLTDataObject::GetDataHere(const FORMATETC&, STGMEDIUM&) { return E_NOTIMPL; }

HRESULT TLTDataObject::GetCanonicalFormatEtc(const FORMATETC& in, FORMATETC& out) {
    out = in;
    return DATA_S_SAMEFORMATETC;
}

HRESULT TLTDataObject::SetData(const FORMATETC& F, const STGMEDIUM& Medium, bool) {
    // Only global-memory media exist here; the bytes are shared copy-on-write,
    // so the object always holds its own copy whatever the caller does next.
    if (Medium.tymed != TYMED_HGLOBAL) return DV_E_TYMED;
    if (IndexOfFormat(F, FFormatEtcArray) < 0) FFormatEtcArray.append(F);
    for (auto& stored : FInternalStgMediumArray)
        if (stored.first == F.cfFormat) {
            stored.second = Medium;
            return S_OK;
        }
    FInternalStgMediumArray.append({F.cfFormat, Medium});
    return S_OK;
}

HRESULT TLTDataObject::EnumFormatEtc(std::uint32_t direction, std::shared_ptr<IEnumFORMATETC>& out) {
    out.reset();
    if (direction != DATADIR_GET) return OLE_S_USEREG;
    out = std::make_shared<TLTEnumFormatEtc>(FFormatEtcArray);
    return S_OK;
}

// ---------------------------------------------------------------------------

TOLEMemoryStream::TOLEMemoryStream(const char* Data, int64_t Size) {
    FData = QByteArray::fromRawData(Data, qsizetype(std::max<int64_t>(Size, 0)));
}

int64_t TOLEMemoryStream::Write(const void*, int64_t) {
    throw EStreamError(QStringLiteral("Can't write to a read-only resource stream"));
}
