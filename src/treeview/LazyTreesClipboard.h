#pragma once
// The clipboard formats trees exchange data in: one process-wide list of
// formats, each with the least derived tree class that can render it and a
// priority (lower values are offered first), and the per-tree list of the
// format names a tree offers (ClipboardFormats).
//
// Tree classes are named by their class names; a tree can render a format
// when it inherits from the entry's class.
#include "platform/controls/DragDrop.h"
#include "platform/core/Streams.h"
#include "platform/core/StringList.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

class TBaseLazyTree;

using TFormatEtcArray = QList<FORMATETC>;

struct TClipboardFormatListEntry {
    QString Description;
    QString TreeClass;  // class name of the least derived tree that renders it
    uint32_t Priority = 0;
    FORMATETC FormatEtc;
};

// The process-wide registry, kept sorted by priority.
class TClipboardFormatList {
public:
    static void Add(const QString& FormatString, const QString& AClass, uint32_t Priority,
                    const FORMATETC& AFormatEtc);
    static void Clear();
    static int Count();
    static const TClipboardFormatListEntry* Entry(int Index);
    // The formats of every entry a tree of class Tree can render (Tree is
    // the tree itself, so its ancestry decides), in list order; with Allowed
    // only those whose description is in it.
    static void EnumerateFormats(const TBaseLazyTree* Tree, TFormatEtcArray& Formats,
                                 const TStrings* AllowedFormats = nullptr);
    static void EnumerateFormats(const TBaseLazyTree* Tree, TStrings* Formats);
    // The entry by description (compared without case, last entry first).
    static const TClipboardFormatListEntry* FindFormat(const QString& FormatString);
    // The entry's tree class (empty when none) and its format number.
    static QString FindFormat(const QString& FormatString, TClipFormat& Fmt);
    // The tree class of the entry with that number (empty when none) and its
    // description.
    static QString FindFormat(TClipFormat Fmt, QString& Description);
};

// The description of a predefined format 1..17; empty for any other.
QString PredefinedFormatDescription(TClipFormat Format);

TClipFormat RegisterTreeFormat(const QString& Description, const QString& TreeClass, uint32_t Priority,
                               uint32_t tymed = TYMED_HGLOBAL, void* ptd = nullptr,
                               uint32_t dwAspect = DVASPECT_CONTENT, int32_t lindex = -1);
void RegisterStandardFormat(TClipFormat Format, const QString& TreeClass, uint32_t Priority);

// The formats the tree units register, done once by the first tree.
void RegisterTreeClipboardFormats();

// The numbers of the tree units' named formats (0 until registered).
struct TTreeClipboardFormats {
    TClipFormat TreeData = 0;       // "Lazy Tree Data"
    TClipFormat TreeReference = 0;  // "Lazy Tree Reference", never listed
    TClipFormat HTML = 0;
    TClipFormat RTF = 0;
    TClipFormat RTFNoObjs = 0;
    TClipFormat CSV = 0;
};
const TTreeClipboardFormats& TreeClipboardFormats();

// The formats one tree offers: sorted, without case, duplicates ignored;
// only names the registry knows and the owner tree can render get in.
class TClipboardFormats : public TStringList {
    KAL_CLASS(TClipboardFormats, TStringList)
public:
    explicit TClipboardFormats(TBaseLazyTree* AOwner);
    // The index, or -1 when the name was refused.
    int Add(const QString& S) override;
    void Insert(int Index, const QString& S) override;
    TBaseLazyTree* Owner() const { return FOwner; }

private:
    bool Accepts(const QString& S) const;
    TBaseLazyTree* FOwner;
};

// ---------------------------------------------------------------------------
// The data object a tree hands to the clipboard and to drag and drop

// Answers the platform's contracts lack.
constexpr HRESULT DV_E_LINDEX = HRESULT(0x80040068u);
constexpr HRESULT DV_E_TYMED = HRESULT(0x80040069u);
constexpr HRESULT DV_E_CLIPFORMAT = HRESULT(0x8004006Au);
constexpr HRESULT DV_E_DVASPECT = HRESULT(0x8004006Bu);
constexpr HRESULT DATA_S_SAMEFORMATETC = 0x00040130;
constexpr HRESULT OLE_S_USEREG = 0x00040000;
constexpr HRESULT E_UNEXPECTED = HRESULT(0x8000FFFFu);

// The reference block: the process id and the tree's id among the live
// trees of that process, 4 bytes each, little-endian.
QByteArray MakeTreeReference(uint32_t TreeId);
// The live tree a reference block names; nil for another process, a tree
// that is gone or a block of the wrong size.
TBaseLazyTree* TreeOfReference(const QByteArray& Block);

// Walks a copy of a list of formats.
class TLTEnumFormatEtc : public IEnumFORMATETC {
public:
    explicit TLTEnumFormatEtc(TFormatEtcArray Formats, int Index = 0)
        : FFormatEtcArray(std::move(Formats)), FCurrentIndex(Index) {}
    HRESULT Next(std::uint32_t celt, FORMATETC* rgelt, std::uint32_t* pceltFetched) override;
    HRESULT Skip(std::uint32_t celt) override;
    HRESULT Reset() override;
    HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& out) override;
    int CurrentIndex() const { return FCurrentIndex; }

private:
    TFormatEtcArray FFormatEtcArray;
    int FCurrentIndex;
};

// Lists the formats its tree can render and renders each when asked; keeps
// what a consumer sets into it. It names its tree by id, so a tree that is
// gone renders nothing rather than being reached.
class TLTDataObject : public IDataObject {
public:
    TLTDataObject(TBaseLazyTree* AOwner, bool ForClipboard);
    HRESULT GetData(const FORMATETC& format, STGMEDIUM& medium) override;
    HRESULT GetDataHere(const FORMATETC& format, STGMEDIUM& medium) override;
    HRESULT QueryGetData(const FORMATETC& format) override;
    HRESULT GetCanonicalFormatEtc(const FORMATETC& in, FORMATETC& out) override;
    HRESULT SetData(const FORMATETC& format, const STGMEDIUM& medium, bool release) override;
    HRESULT EnumFormatEtc(std::uint32_t direction, std::shared_ptr<IEnumFORMATETC>& out) override;
    HRESULT DAdvise(const FORMATETC&, std::uint32_t, void*, std::uint32_t&) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT DUnadvise(std::uint32_t) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT EnumDAdvise(void*& out) override {
        out = nullptr;
        return OLE_E_ADVISENOTSUPPORTED;
    }
    static bool SameFormat(const FORMATETC& A, const FORMATETC& B);
    static int IndexOfFormat(const FORMATETC& F, const TFormatEtcArray& Array);
    const TFormatEtcArray& Formats() const { return FFormatEtcArray; }
    // The owner, nil once it is gone.
    TBaseLazyTree* Owner() const;
    bool ForClipboard() const { return FForClipboard; }

private:
    uint32_t FOwnerId;
    bool FForClipboard;
    TFormatEtcArray FFormatEtcArray;
    QList<QPair<TClipFormat, STGMEDIUM>> FInternalStgMediumArray;
};

// Reads a block of memory it does not own; writing raises the stream error.
class TOLEMemoryStream : public TCustomMemoryStream {
    KAL_CLASS(TOLEMemoryStream, TCustomMemoryStream)
public:
    TOLEMemoryStream(const char* Data, int64_t Size);
    int64_t Write(const void* buffer, int64_t count) override;
};
