#pragma once
// The grid's drag and drop: a drop target that sees what is dragged over it
// and hands dropped text, rich text, a cell stream, a column index, file
// names or a link to overridable operations; a drop source; a data object
// that offers a selection as text, rich text and a cell stream, or a column
// index; and the two routines that start such drags. Dropped data comes from
// other programs and is not trusted: a block too short for what it claims
// makes the drop malformed, and a malformed drop is refused.
#include "platform/controls/DragDrop.h"
#include "platform/core/Collections.h"
#include "platform/core/Streams.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

// The registered formats; 0 until RegisterGridClipFormats ran.
extern TClipFormat RTFClipFormat;    // "Rich Text Format"
extern TClipFormat ColumnClipFormat; // "Grid Column"
extern TClipFormat CellsClipFormat;  // "TExStringGrid Cells"
extern TClipFormat URLClipFormat;    // "UniformResourceLocator"
void RegisterGridClipFormats();
// Whether rich text is offered and accepted (off at start-up).
extern bool RTFDragDropEnabled;
void SetRTFDragDrop(bool Enabled);

enum TDropFormat { dfText, dfFile, dfCol, dfRTF, dfURL, dfGridCells };
using TDropFormats = unsigned; // bit (1 << TDropFormat) per format
constexpr TDropFormats DropFormatBit(TDropFormat f) { return 1u << unsigned(f); }

// Copy with Ctrl held (MK_CONTROL in KeyState), else move when allowed,
// else copy.
std::uint32_t DropEffectFor(std::uint32_t KeyState, std::uint32_t Allowed);

// --- readers of the dropped blocks (each false for a malformed block) ------

// A 32-bit column index: false under 4 bytes.
bool ReadColumnBlock(const QByteArray& Block, int& Column);
// Size (32-bit), 4 zero bytes, Size bytes: false when shorter than 8 + Size
// or Size is negative.
bool ReadCellsBlock(const QByteArray& Block, QByteArray& Stream);
// The dropped-files structure (offset of the names, wide flag at 16, names
// ending with an empty one), or a URI list text; false when the offset lies
// past the block, a name is not terminated or a URI is not one. An empty
// list is well formed.
bool ReadFileListBlock(const QByteArray& Block, QStringList& Files);
// UTF-16 / 8-bit text up to its terminator or the block's end.
QString ReadUnicodeTextBlock(const QByteArray& Block);
QString ReadAnsiTextBlock(const QByteArray& Block);

// --- format walker -----------------------------------------------------------------

class TEnumFormats {
public:
    // Raises EAssertionFailed "Cannot get the format enumerator" when the
    // data object gives no enumerator.
    explicit TEnumFormats(IDataObject* DataObject);
    bool HasFormat(TClipFormat Id);
    // The block of the current format; false when it cannot be had.
    bool CurrentBlock(QByteArray& Block);
    bool Valid() const { return FValid; }
    int Count() const { return FCount; }
    const FORMATETC& FormatEtc() const { return FFormatEtc; }
    IDataObject* DataObject() const { return FDataObject; }

private:
    IDataObject* FDataObject;
    std::shared_ptr<IEnumFORMATETC> FEnumerator;
    FORMATETC FFormatEtc;
    bool FValid = false;
    int FCount = 0;
};

// --- drop target --------------------------------------------------------------------------

class TSGDropTarget : public IDropTarget {
public:
    HRESULT DragEnter(IDataObject* data, std::uint32_t keyState, TPoint pt, std::uint32_t& effect) override;
    HRESULT DragOver(std::uint32_t keyState, TPoint pt, std::uint32_t& effect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(IDataObject* data, std::uint32_t keyState, TPoint pt, std::uint32_t& effect) override;

    bool AcceptText = true, AcceptFiles = true, AcceptCols = false, AcceptURLs = true;
    TDropFormats DropFormats() const { return FDropFormats; }

    virtual void DropText(TPoint, const QString&) {}
    // The stream is the receiver's.
    virtual void DropStream(TPoint, std::unique_ptr<TMemoryStream>) {}
    virtual void DropCol(TPoint, int) {}
    virtual void DropRTF(TPoint, const QString&) {}
    virtual void DropFiles(TPoint, const QStringList&) {}
    virtual void DropURL(TPoint, const QString&) {}
    virtual void DragMouseMove(TPoint, bool&, TDropFormats) {}
    virtual void DragMouseEnter() {}
    virtual void DragMouseLeave() {}

private:
    bool FOk = false;
    TDropFormats FDropFormats = 0;
};

// --- drop source ---------------------------------------------------------------------------

class TSGDropSource : public IDropSource {
public:
    HRESULT QueryContinueDrag(bool escapePressed, std::uint32_t keyState) override;
    HRESULT GiveFeedback(std::uint32_t effect) override;
    bool NoAccept() const { return FNoAccept; }

    virtual void DragEnded() {}
    virtual void CurrentEffect(std::uint32_t) {}
    virtual void QueryDrag() {}

private:
    bool FNoAccept = false;
};

// --- data object and its formats -------------------------------------------------------------

class TSourceEnumFormatEtc : public IEnumFORMATETC {
public:
    TSourceEnumFormatEtc(bool HasCol, bool HasGridCells, int Index = 0);
    HRESULT Next(std::uint32_t celt, FORMATETC* rgelt, std::uint32_t* pceltFetched) override;
    HRESULT Skip(std::uint32_t celt) override;
    HRESULT Reset() override;
    HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& out) override;
    int EntryCount() const;
    TClipFormat Entry(int i) const;

private:
    int FIndex;
    bool FHasCol, FHasGridCells;
};

class TSourceDataObject : public IDataObject {
public:
    // Stream is not owned and must outlive the drag.
    TSourceDataObject(const QString& Text, const QString& RichText, int Column, TMemoryStream* Stream);
    HRESULT GetData(const FORMATETC& format, STGMEDIUM& medium) override;
    HRESULT GetDataHere(const FORMATETC& format, STGMEDIUM& medium) override;
    HRESULT QueryGetData(const FORMATETC& format) override;
    HRESULT GetCanonicalFormatEtc(const FORMATETC& in, FORMATETC& out) override;
    HRESULT SetData(const FORMATETC& format, const STGMEDIUM& medium, bool release) override;
    HRESULT EnumFormatEtc(std::uint32_t direction, std::shared_ptr<IEnumFORMATETC>& out) override;
    HRESULT DAdvise(const FORMATETC&, std::uint32_t, void*, std::uint32_t&) override;
    HRESULT DUnadvise(std::uint32_t) override;
    HRESULT EnumDAdvise(void*& out) override;

private:
    QString textdata, rtfdata;
    int scolidx;
    TMemoryStream* memstr;
};

HRESULT BeginTextDrag(TSGDropSource* Source, const QString& Text, const QString& RichText, TMemoryStream* Stream,
                      std::uint32_t OkEffects, std::uint32_t& Effect);
HRESULT BeginColumnDrag(TSGDropSource* Source, int Column, std::uint32_t OkEffects, std::uint32_t& Effect);
