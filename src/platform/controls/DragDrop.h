#pragma once
// Drag and drop between windows, after the platform's OLE contracts: a data
// object offers formats (each a block of bytes), a drop source decides when a
// drag ends, and a drop target registered for a window hears the drag enter,
// move over, leave and drop, proposing an effect (copy, move, link or none).
// DoDragDrop runs the drag: it follows the mouse, finds the registered window
// under it and talks to its target, and answers how the drag ended.
//
// Objects are shared: whoever holds a shared_ptr keeps the object alive, as a
// reference count does on the platform.
#include "platform/controls/Clipboard.h"
#include "platform/controls/Messages.h"
#include "platform/graphics/Graphics.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <cstdint>
#include <functional>
#include <memory>

class QMimeData;
class TWinControl;

using HRESULT = std::int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000Eu);
constexpr HRESULT DV_E_FORMATETC = HRESULT(0x80040064u);
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = HRESULT(0x80040003u);
constexpr HRESULT DRAGDROP_E_NOTREGISTERED = HRESULT(0x80040100u);
constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = HRESULT(0x80040101u);
constexpr HRESULT DRAGDROP_E_INVALIDHWND = HRESULT(0x80040102u);
constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// Drop effects.
enum : std::uint32_t {
    DROPEFFECT_NONE = 0, DROPEFFECT_COPY = 1, DROPEFFECT_MOVE = 2, DROPEFFECT_LINK = 4,
    DROPEFFECT_SCROLL = 0x80000000u,
};
// Key-state bits of a drag (MK_LBUTTON ... MK_MBUTTON of the mouse messages
// and the Alt key).
enum : std::uint32_t { MK_ALT = 0x0020 };
enum : std::uint32_t { DVASPECT_CONTENT = 1, DVASPECT_THUMBNAIL = 2, DVASPECT_ICON = 4, DVASPECT_DOCPRINT = 8 };
enum : std::uint32_t { TYMED_NULL = 0, TYMED_HGLOBAL = 1, TYMED_FILE = 2, TYMED_ISTREAM = 4, TYMED_ISTORAGE = 8 };
enum : std::uint32_t { DATADIR_GET = 1, DATADIR_SET = 2 };

struct FORMATETC {
    TClipFormat cfFormat = 0;
    void* ptd = nullptr;
    std::uint32_t dwAspect = DVASPECT_CONTENT;
    std::int32_t lindex = -1;
    std::uint32_t tymed = TYMED_HGLOBAL;
    friend bool operator==(const FORMATETC&, const FORMATETC&) = default;
};

// A medium: the block of bytes of a global-memory medium.
struct STGMEDIUM {
    std::uint32_t tymed = TYMED_NULL;
    QByteArray hGlobal;
};

class IEnumFORMATETC {
public:
    virtual ~IEnumFORMATETC() = default;
    // Fills up to celt entries; S_FALSE when fewer were left.
    virtual HRESULT Next(std::uint32_t celt, FORMATETC* rgelt, std::uint32_t* pceltFetched) = 0;
    virtual HRESULT Skip(std::uint32_t celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& out) = 0;
};

class IDataObject {
public:
    virtual ~IDataObject() = default;
    virtual HRESULT GetData(const FORMATETC& format, STGMEDIUM& medium) = 0;
    virtual HRESULT GetDataHere(const FORMATETC& format, STGMEDIUM& medium) = 0;
    virtual HRESULT QueryGetData(const FORMATETC& format) = 0;
    virtual HRESULT GetCanonicalFormatEtc(const FORMATETC& in, FORMATETC& out) = 0;
    virtual HRESULT SetData(const FORMATETC& format, const STGMEDIUM& medium, bool release) = 0;
    virtual HRESULT EnumFormatEtc(std::uint32_t direction, std::shared_ptr<IEnumFORMATETC>& out) = 0;
    virtual HRESULT DAdvise(const FORMATETC& format, std::uint32_t advf, void* sink, std::uint32_t& connection) = 0;
    virtual HRESULT DUnadvise(std::uint32_t connection) = 0;
    virtual HRESULT EnumDAdvise(void*& out) = 0;
};

// Points are screen coordinates.
class IDropTarget {
public:
    virtual ~IDropTarget() = default;
    virtual HRESULT DragEnter(IDataObject* data, std::uint32_t keyState, TPoint pt, std::uint32_t& effect) = 0;
    virtual HRESULT DragOver(std::uint32_t keyState, TPoint pt, std::uint32_t& effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(IDataObject* data, std::uint32_t keyState, TPoint pt, std::uint32_t& effect) = 0;
};

class IDropSource {
public:
    virtual ~IDropSource() = default;
    // S_OK to go on, DRAGDROP_S_DROP or DRAGDROP_S_CANCEL to end.
    virtual HRESULT QueryContinueDrag(bool escapePressed, std::uint32_t keyState) = 0;
    // DRAGDROP_S_USEDEFAULTCURSORS lets the platform show its cursor.
    virtual HRESULT GiveFeedback(std::uint32_t effect) = 0;
};

// ---------------------------------------------------------------------------
// Ready-made parts
// ---------------------------------------------------------------------------

// Walks a fixed list of formats.
class TEnumFormatEtc : public IEnumFORMATETC {
public:
    explicit TEnumFormatEtc(QList<FORMATETC> formats, int index = 0) : FFormats(std::move(formats)), FIndex(index) {}
    HRESULT Next(std::uint32_t celt, FORMATETC* rgelt, std::uint32_t* pceltFetched) override;
    HRESULT Skip(std::uint32_t celt) override;
    HRESULT Reset() override;
    HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& out) override;

private:
    QList<FORMATETC> FFormats;
    int FIndex;
};

// A data object that holds its formats as bytes, in the order they were set.
class TDataObject : public IDataObject {
public:
    void SetFormat(TClipFormat format, const QByteArray& bytes);
    void SetText(const QString& text);  // CF_UNICODETEXT and CF_TEXT
    bool HasFormat(TClipFormat format) const;
    QByteArray Bytes(TClipFormat format) const;
    QList<TClipFormat> FormatList() const;

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

private:
    QList<QPair<TClipFormat, QByteArray>> FItems;
};

// Reads one format of any data object through its global-memory medium;
// false when the object does not give it.
bool GetDataBytes(IDataObject* data, TClipFormat format, QByteArray& bytes);

// The clipboard as a data object: OleSetClipboard renders every format the
// object lists onto the clipboard; OleGetClipboard gives what the clipboard
// holds.
HRESULT OleSetClipboard(IDataObject* data);
HRESULT OleGetClipboard(std::shared_ptr<IDataObject>& out);

// ---------------------------------------------------------------------------
// Registration and the drag run
// ---------------------------------------------------------------------------

HRESULT RegisterDragDrop(TWinControl* window, std::shared_ptr<IDropTarget> target);
HRESULT RevokeDragDrop(TWinControl* window);
// The registered target of a window (nullptr when none).
std::shared_ptr<IDropTarget> DropTargetOf(TWinControl* window);
// The registered window under a screen point, searching from the deepest
// control up through its parents; nullptr when none.
TWinControl* DropWindowAt(TPoint screen);

// The picture that follows the mouse during a drag of `data` (what the
// system's drag helper draws); the hot spot is the picture's point under
// the mouse. Kept until that drag ends.
bool InitializeDragImage(IDataObject* data, const QImage& image, TPoint hotSpot, TColor colorKey = clNone);
struct TDragImageInfo {
    QImage Image;
    TPoint HotSpot;
    TColor ColorKey = clNone;
    TPoint Position;  // screen position of the picture's top-left corner
    bool Shown = false;
};
// The picture of the drag running now; nullptr outside a drag or without one.
const TDragImageInfo* CurrentDragImage();

// Runs a drag of `data`: returns DRAGDROP_S_DROP (with the effect the target
// answered, none when it refused) or DRAGDROP_S_CANCEL (effect none).
//
// While the mouse is over the program's own windows the drag talks to the
// registered targets itself. When a person's mouse leaves them, the drag
// goes on as the toolkit's drag between programs (XDND on X11), carrying
// the data object's formats as MIME types (AddFormatToDragMimeData); the
// effect the other program answers (copy, move or none) is the drag's
// effect, and a drop the other program refuses ends with none. Over the
// program's windows again, that drag reaches the registered targets
// through the inbound path with its own data object (InboundDrag.h). A
// drag run from scripted input never leaves the program.
HRESULT DoDragDrop(IDataObject* data, IDropSource* source, std::uint32_t okEffects, std::uint32_t& effect);

// The toolkit's data for a drag of `data`: every format the object lists
// and gives, as AddFormatToDragMimeData offers it. The caller owns it.
QMimeData* DragMimeDataOf(IDataObject* data);
// While a drag of this program runs as the toolkit's drag, its data object
// and the effects it allows; nullptr otherwise.
IDataObject* ToolkitDragData(std::uint32_t* okEffects = nullptr);
// The toolkit's drop action of an effect (copy before move before link;
// none gives IgnoreAction), and the effect of an action.
Qt::DropAction DropActionOfEffect(std::uint32_t effect);
std::uint32_t EffectOfDropAction(Qt::DropAction action);

// One step of input during a drag: where the mouse is, which buttons and
// keys are down (MK_ bits) and whether Escape was pressed.
struct TDragInput {
    TPoint Screen;
    std::uint32_t KeyState = MK_LBUTTON;
    bool Escape = false;
};
// Where a drag's input comes from: a person through the toolkit, or a test
// that hands the steps (answering false when it has no more: the drag is
// cancelled).
using TDragInputSource = std::function<bool(TDragInput& next)>;
void SetDragInputSource(TDragInputSource source);
// A drag run by a test from a list of steps.
void ScriptDrag(QList<TDragInput> steps);
// Whether a drag is running now.
bool DragRunning();
