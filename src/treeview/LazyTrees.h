#pragma once
// The lazy tree control: a tree of fixed-layout node records whose content
// the application supplies through events only when a node is needed.
//
// This unit holds the node store (creating, linking, unlinking and freeing
// node blocks with their counters), lazy initialization, visibility and
// heights, check boxes, the walking operations, update batching and change
// notification, expanding and collapsing, the selection and focus model, the
// tree stream, sorting, copying and moving, and the option sets. Painting,
// scrolling, the header, editing and the clipboard hook in through the
// protected virtual steps marked "hook" below; in this unit they do nothing.
//
// Misuse of the interface raises EAssertionFailed with an English text; data
// errors raise ELazyTreeError with a help context. Handlers receive nil in
// place of the hidden root.
#include "platform/controls/Controls.h"
#include "platform/controls/DragDrop.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Streams.h"
#include "treeview/LazyTreeTypes.h"
#include "treeview/LazyTrees.StyleHooks.h"
#include "treeview/LazyTreesHeader.h"
#include "treeview/LazyTreesPaintTypes.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <new>
#include <type_traits>
#include <unordered_map>

class TBaseLazyTree;

// ---------------------------------------------------------------------------
// Events
// ---------------------------------------------------------------------------

using TLTInitNodeEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode ParentNode, PLazyNode Node, TLazyNodeInitStates& InitialStates)>;
using TLTInitChildrenEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, uint32_t& ChildCount)>;
using TLTFreeNodeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTGetNodeDataSizeEvent = std::function<void(TBaseLazyTree* Sender, int& NodeDataSize)>;
using TLTChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTChangingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, bool& Allowed)>;
using TLTStructureChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TChangeReason Reason)>;
using TLTUpdatingEvent = std::function<void(TBaseLazyTree* Sender, TLTUpdateState State)>;
using TLTStateChangeEvent = std::function<void(TBaseLazyTree* Sender, TLazyTreeStates Enter, TLazyTreeStates Leave)>;
using TLTOperationEvent = std::function<void(TBaseLazyTree* Sender, TLTOperationKind OperationKind)>;
using TLTCheckChangingEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TCheckState& NewState, bool& Allowed)>;
using TLTSaveNodeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TStream* Stream)>;
using TLTSaveTreeEvent = std::function<void(TBaseLazyTree* Sender, TStream* Stream)>;
using TLTNodeCopiedEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTCompareEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node1, PLazyNode Node2, TColumnIndex Column, int& Result)>;
using TLTNodeCopyingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, PLazyNode Target, bool& Allowed)>;
using TLTNodeMovingEvent = TLTNodeCopyingEvent;
using TLTNodeMovedEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTAddToSelectionEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTRemoveFromSelectionEvent = TLTAddToSelectionEvent;
using TLTFocusChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column)>;
using TLTFocusChangingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode OldNode, PLazyNode NewNode,
                                                 TColumnIndex OldColumn, TColumnIndex NewColumn, bool& Allowed)>;
using TLTHotNodeChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode OldNode, PLazyNode NewNode)>;
using TLTGetCursorEvent = std::function<void(TBaseLazyTree* Sender, TCursor& Cursor)>;
using TLTCanSplitterResizeNodeEvent =
    std::function<void(TBaseLazyTree* Sender, TPoint P, PLazyNode Node, TColumnIndex Column, bool& Allowed)>;
using TLTGetCellIsEmptyEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, bool& IsEmpty)>;
struct THitInfo;
using TLTNodeClickEvent = std::function<void(TBaseLazyTree* Sender, const THitInfo& HitInfo)>;
using TLTNodeHeightTrackingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column,
                                                      TShiftState Shift, TPoint& TrackPoint, TPoint P, bool& Allowed)>;
using TLTNodeHeightDblClickResizeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column,
                                                            TShiftState Shift, TPoint P, bool& Allowed)>;
using TLTPopupEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, TPoint P,
                                         bool& AskParent, TPopupMenu*& PopupMenu)>;
using TLTKeyActionEvent =
    std::function<void(TBaseLazyTree* Sender, uint16_t& CharCode, TShiftState& Shift, bool& DoDefault)>;
using TLTIncrementalSearchEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, const QString& SearchText, int& Result)>;
using TLTHelpContextEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, int& HelpContext)>;
using TLTDragAllowedEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, bool& Allowed)>;
using TLTColumnClickEvent = std::function<void(TBaseLazyTree* Sender, TColumnIndex Column, TShiftState Shift)>;
using TLTEditChangingEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, bool& Allowed)>;
using TLTEditChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column)>;
using TLTEditCancelEvent = std::function<void(TBaseLazyTree* Sender, TColumnIndex Column)>;
class ILTEditLink;
using TLTCreateEditorEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column,
                                                std::shared_ptr<ILTEditLink>& EditLink)>;
enum TLTHintKind : uint8_t;
using TLTHintKindEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, TLTHintKind& Kind)>;
using TLTGetHintSizeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, TRect& R)>;
using TLTDrawHintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* HintCanvas, PLazyNode Node,
                                            const TRect& R, TColumnIndex Column)>;
enum TLTImageKind : uint8_t;
using TLTGetImageEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TLTImageKind Kind,
                                            TColumnIndex Column, bool& Ghosted, int& ImageIndex)>;
using TLTGetImageExEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TLTImageKind Kind, TColumnIndex Column, bool& Ghosted,
                       int& ImageIndex, TCustomImageList*& ImageList)>;
class TLazyTreeColumn;
class TClipboardFormats;
using TFormatEtcArray = QList<FORMATETC>;
using TLTCreateDataObjectEvent = std::function<void(TBaseLazyTree* Sender, std::shared_ptr<IDataObject>& Obj)>;
using TLTGetUserClipboardFormatsEvent = std::function<void(TBaseLazyTree* Sender, TFormatEtcArray& Formats)>;
using TLTRenderOLEDataEvent = std::function<void(TBaseLazyTree* Sender, const FORMATETC& FormatEtcIn,
                                                 STGMEDIUM& Medium, bool ForClipboard, HRESULT& Result)>;
enum TDropMode : uint8_t;
using TLTDragOverEvent =
    std::function<void(TBaseLazyTree* Sender, TObject* Source, TShiftState Shift, TDragState State, TPoint Pt,
                       TDropMode Mode, uint32_t& Effect, bool& Accept)>;
using TLTDragDropEvent =
    std::function<void(TBaseLazyTree* Sender, TObject* Source, IDataObject* DataObject,
                       const QList<TClipFormat>& Formats, TShiftState Shift, TPoint Pt, uint32_t& Effect,
                       TDropMode Mode)>;
using TLTTreeExportEvent = std::function<void(TBaseLazyTree* Sender, TLTExportType aExportType)>;
using TLTColumnExportEvent =
    std::function<void(TBaseLazyTree* Sender, TLTExportType aExportType, TLazyTreeColumn* Column)>;
using TLTNodeExportEvent = std::function<bool(TBaseLazyTree* Sender, TLTExportType aExportType, PLazyNode Node)>;
// The subtree iterator's callback.
using TLTGetNodeProc = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, void* Data, bool& Abort)>;

// ---------------------------------------------------------------------------
// Options
// ---------------------------------------------------------------------------

class TCustomLazyTreeOptions : public TPersistent {
    KAL_CLASS(TCustomLazyTreeOptions, TPersistent)
public:
    explicit TCustomLazyTreeOptions(TBaseLazyTree* AOwner);

    TLTPaintOptions PaintOptions() const { return FPaintOptions; }
    TLTAnimationOptions AnimationOptions() const { return FAnimationOptions; }
    TLTAutoOptions AutoOptions() const { return FAutoOptions; }
    TLTSelectionOptions SelectionOptions() const { return FSelectionOptions; }
    TLTMiscOptions MiscOptions() const { return FMiscOptions; }
    void SetPaintOptions(TLTPaintOptions Value);
    void SetAnimationOptions(TLTAnimationOptions Value);
    void SetAutoOptions(TLTAutoOptions Value);
    void SetSelectionOptions(TLTSelectionOptions Value);
    void SetMiscOptions(TLTMiscOptions Value);
    TLTExportMode ExportMode = emAll;
    TBaseLazyTree* Owner() const { return FOwner; }
    TPersistent* GetOwner() const override;

    // The defaults of a new tree.
    static constexpr TLTPaintOptions DefaultPaintOptions = TLTPaintOptions::FromBits(0x1B60);
    static constexpr TLTAutoOptions DefaultAutoOptions = TLTAutoOptions::FromBits(0x0559);
    static constexpr TLTMiscOptions DefaultMiscOptions = TLTMiscOptions::FromBits(0x41A9);

protected:
    friend class TBaseLazyTree;
    void AssignTo(TPersistent* Dest) const override;

    TBaseLazyTree* FOwner;
    TLTPaintOptions FPaintOptions = DefaultPaintOptions;
    TLTAnimationOptions FAnimationOptions;
    TLTAutoOptions FAutoOptions = DefaultAutoOptions;
    TLTSelectionOptions FSelectionOptions;
    TLTMiscOptions FMiscOptions = DefaultMiscOptions;
};

class TLazyTreeOptions : public TCustomLazyTreeOptions {
    KAL_CLASS(TLazyTreeOptions, TCustomLazyTreeOptions)
public:
    using TCustomLazyTreeOptions::TCustomLazyTreeOptions;
};

class TCustomStringTreeOptions : public TCustomLazyTreeOptions {
    KAL_CLASS(TCustomStringTreeOptions, TCustomLazyTreeOptions)
public:
    explicit TCustomStringTreeOptions(TBaseLazyTree* AOwner);
    TLTStringOptions StringOptions() const { return FStringOptions; }
    void SetStringOptions(TLTStringOptions Value);

protected:
    void AssignTo(TPersistent* Dest) const override;
    TLTStringOptions FStringOptions = {toSaveCaptions, toAutoAcceptEditChange};
};

class TStringTreeOptions : public TCustomStringTreeOptions {
    KAL_CLASS(TStringTreeOptions, TCustomStringTreeOptions)
public:
    using TCustomStringTreeOptions::TCustomStringTreeOptions;
};

// ---------------------------------------------------------------------------
// Enumerations over nodes, for range-for loops
// ---------------------------------------------------------------------------

enum TVZLazyNodeEnumerationMode : uint8_t {
    vneAll, vneChecked, vneChild, vneCutCopy, vneInitialized, vneLeaf, vneLevel, vneNoInit,
    vneSelected, vneVisible, vneVisibleChild, vneVisibleNoInitChild, vneVisibleNoInit,
};

struct TLTLazyNodeEnumeration;

struct TLTLazyNodeEnumerator {
    PLazyNode FNode = nullptr;
    bool FCanModeNext = true;
    const TLTLazyNodeEnumeration* FEnumeration = nullptr;
    bool MoveNext();
    PLazyNode Current() const { return FNode; }

    // The range-for protocol: begin() has already moved to the first node.
    PLazyNode operator*() const { return FNode; }
    TLTLazyNodeEnumerator& operator++() {
        MoveNext();
        return *this;
    }
    bool operator!=(std::nullptr_t) const { return FNode != nullptr; }
};

struct TLTLazyNodeEnumeration {
    TVZLazyNodeEnumerationMode FMode = vneAll;
    TBaseLazyTree* FTree = nullptr;
    bool FConsiderChildrenAbove = false;
    PLazyNode FNode = nullptr;
    uint32_t FNodeLevel = 0;
    TCheckState FState = csCheckedNormal;
    bool FIncludeFiltered = false;

    TLTLazyNodeEnumerator GetEnumerator() const;
    TLTLazyNodeEnumerator begin() const {
        TLTLazyNodeEnumerator e = GetEnumerator();
        e.MoveNext();
        return e;
    }
    std::nullptr_t end() const { return nullptr; }
};

// ---------------------------------------------------------------------------
// Expand and collapse animation bands
// ---------------------------------------------------------------------------

// How an area of the client moves while a node opens or closes.
enum TLTToggleMode : uint8_t { tmUp, tmDown, tmStill };

struct TLTToggleRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TLTToggleRect&, const TLTToggleRect&) = default;
};

// The measures a toggle band is computed from: R the node's row before the
// toggle, CH the client height, NH the node's height, OffsetY (0 or below)
// and RangeY (content height) before the toggle, and the height that
// appears (Delta, expanding) or disappears (Shown, collapsing).
struct TLTToggleMeasures {
    TLTToggleRect R;
    int CH = 0;
    int NH = 0;
    int OffsetY = 0;
    int RangeY = 0;
    int ShownOrDelta = 0;
    bool ChildrenAbove = false;
    bool AdvancedAnimatedToggle = false;
    bool AutoScrollOnExpand = false;
};

struct TLTToggleBand {
    // False when no animation runs for these measures.
    bool Animate = true;
    TLTToggleRect FirstArea, SecondArea;
    TLTToggleMode FirstMode = tmStill, SecondMode = tmStill;
    int D1 = 0, D2 = 0;
    // The whole tree is repainted after the toggle (advanced collapse band).
    bool RepaintAll = false;
};

// The band of a collapse and of an expand.
TLTToggleBand CollapseBand(const TLTToggleMeasures& m);
TLTToggleBand ExpandBand(const TLTToggleMeasures& m);
// The flags an expand decides its scrolling with.
struct TLTExpandFits {
    bool Fits = false, Tall = false, Room = false, RowIn = false;
};
TLTExpandFits ExpandFits(const TLTToggleMeasures& m);

// ---------------------------------------------------------------------------
// The control's look and view types
// ---------------------------------------------------------------------------

enum TCheckImageKind : uint8_t {
    ckLightCheck, ckDarkCheck, ckLightTick, ckDarkTick, ckFlat, ckXP, ckCustom, ckSystemFlat, ckSystemDefault,
};
enum TLTIncrementalSearch : uint8_t { isAll, isNone, isInitializedOnly, isVisibleOnly };
enum TLTSearchStart : uint8_t { ssAlwaysStartOver, ssLastHit, ssFocusedNode };
enum TLTLineStyle : uint8_t { lsCustomStyle, lsDotted, lsSolid };
enum TLTLineMode : uint8_t { lmNormal, lmBands };
enum TLTButtonStyle : uint8_t { bsRectangle, bsTriangle };
enum TLTButtonFillMode : uint8_t { fmTreeColor, fmWindowColor, fmShaded, fmTransparent };
enum TLTDragImageKind : uint8_t { diComplete, diMainColumnOnly, diNoImage };
enum THintAnimationType : uint8_t { hatNone, hatFade, hatSlide, hatSystemDefault };
enum TLTDragType : uint8_t { dtOLE, dtVCL };
enum TDropMode : uint8_t { dmNowhere, dmAbove, dmOnNode, dmBelow };
enum TLTDragOperation : uint8_t { doCopy, doMove, doLink };
using TLTDragOperations = TLTSet<TLTDragOperation, uint8_t>;
enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelKind : uint8_t { bkNone, bkTile, bkSoft, bkFlat };
enum TBevelEdge : uint8_t { beLeft, beTop, beRight, beBottom };
using TBevelEdges = TLTSet<TBevelEdge, uint8_t>;
enum TScrollBarStyle : uint8_t { sbmRegular, sbm3D };
enum TScrollDirection : uint8_t { sdLeft, sdUp, sdRight, sdDown };
using TScrollDirections = TLTSet<TScrollDirection, uint8_t>;
enum TLTCellContentMarginType : uint8_t { ccmtAllSides, ccmtTopLeftOnly, ccmtBottomRightOnly };
enum TLTCellPaintMode : uint8_t { cpmPaint, cpmGetContentMargin };
// The flags ApplyScrollOffsets takes.
enum TScrollUpdateOption : uint8_t { suoRepaintHeader, suoRepaintScrollBars, suoScrollClientArea, suoUpdateNCArea };
using TScrollUpdateOptions = TLTSet<TScrollUpdateOption, uint8_t>;
constexpr TScrollUpdateOptions AllScrollUpdateOptions = TScrollUpdateOptions::FromBits(0xF);

enum THitPosition : uint8_t {
    hiAbove, hiBelow, hiNowhere, hiOnItem, hiOnItemButton, hiOnItemButtonExact, hiOnItemCheckbox, hiOnItemIndent,
    hiOnItemLabel, hiOnItemLeft, hiOnItemRight, hiOnNormalIcon, hiOnStateIcon, hiToLeft, hiToRight,
    hiUpperSplitter, hiLowerSplitter,
};
using THitPositions = TLTSet<THitPosition, uint32_t>;
// Where a point lies on the tree.
struct THitInfo {
    PLazyNode HitNode = nullptr;
    THitPositions HitPositions;
    TColumnIndex HitColumn = NoColumn;
    TPoint HitPoint;
};

// The kinds of image a node names per column.
enum TLTImageKind : uint8_t { ikNormal, ikSelected, ikState, ikOverlay };
enum TLTSearchDirection : uint8_t { sdForward, sdBackward };
enum TLTHintMode : uint8_t { hmDefault, hmHint, hmHintAndDefault, hmTooltip };
enum TLTHintKind : uint8_t { vhkText, vhkOwnerDraw };
enum TLTTooltipLineBreakStyle : uint8_t { hlbDefault, hlbForceSingleLine, hlbForceMultiLine };

// What the tree hands its hint window for one hint.
struct TLTHintData {
    TBaseLazyTree* Tree = nullptr;
    PLazyNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    TRect HintRect;
    QString DefaultHint;
    QString HintText;
    TBiDiMode BidiMode = bdLeftToRight;
    TAlignment Alignment = taLeftJustify;
    TLTTooltipLineBreakStyle LineBreakStyle = hlbDefault;
};

// The editor of one cell, exchangeable; the tree holds it through a counted
// reference while the edit runs.
class ILTEditLink {
public:
    virtual ~ILTEditLink() = default;
    // Shows the editor and gives it the focus; false: the edit does not start.
    virtual bool BeginEdit() = 0;
    // Drops the editor without storing; false: refused, the edit goes on.
    virtual bool CancelEdit() = 0;
    // Stores the new value and drops the editor; false: refused (bad input).
    virtual bool EndEdit() = 0;
    // Binds to the cell and reads its value; false: the edit does not start.
    virtual bool PrepareEdit(TBaseLazyTree* Tree, PLazyNode Node, TColumnIndex Column) = 0;
    virtual TRect GetBounds() = 0;
    virtual void ProcessMessage(TMessage& Message) = 0;
    // Places the editor (client coordinates of the tree).
    virtual void SetBounds(TRect R) = 0;
};
using ILTEditLinkRef = std::shared_ptr<ILTEditLink>;

// One entry of the position cache: a visible node and its top in pixels from
// the start of the content.
struct TCacheEntry {
    PLazyNode Node = nullptr;
    uint32_t AbsoluteTop = 0;
};
using TCache = QList<TCacheEntry>;

// The tree's seventeen colours, addressed by index.
class TLTColors : public TPersistent {
    KAL_CLASS(TLTColors, TPersistent)
public:
    enum : int {
        DisabledColor, DropMarkColor, DropTargetColor, FocusedSelectionColor, GridLineColor, TreeLineColor,
        UnfocusedSelectionColor, BorderColor, HotColor, FocusedSelectionBorderColor, UnfocusedSelectionBorderColor,
        DropTargetBorderColor, SelectionRectangleBlendColor, SelectionRectangleBorderColor, HeaderHotColor,
        SelectionTextColor, UnfocusedColor, Count,
    };
    explicit TLTColors(TBaseLazyTree* AOwner);
    // No visual styles on this platform: the stored value.
    TColor GetColor(int Index) const { return FColors[Index]; }
    void SetColor(int Index, TColor Value);
    TColor BackGroundColor() const;
    TColor HeaderFontColor() const;
    TColor NodeFontColor() const;
    void Assign(const TPersistent* Source) override;
    TPersistent* GetOwner() const override;

private:
    TBaseLazyTree* FOwner;
    TColor FColors[Count];
};

class TScrollBarOptions : public TPersistent {
    KAL_CLASS(TScrollBarOptions, TPersistent)
public:
    explicit TScrollBarOptions(TBaseLazyTree* AOwner) : FOwner(AOwner) {}
    bool AlwaysVisible() const { return FAlwaysVisible; }
    void SetAlwaysVisible(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TScrollBarStyle ScrollBarStyle = sbmRegular;
    int HorizontalIncrement() const { return FIncrementX; }
    void SetHorizontalIncrement(int Value) { FIncrementX = uint16_t(std::clamp(Value, 1, 10000)); }
    int VerticalIncrement() const { return FIncrementY; }
    void SetVerticalIncrement(int Value) { FIncrementY = uint16_t(std::clamp(Value, 1, 10000)); }
    void Assign(const TPersistent* Source) override;
    TPersistent* GetOwner() const override;

private:
    TBaseLazyTree* FOwner;
    bool FAlwaysVisible = false;
    TScrollStyle FScrollBars = ssBoth;
    uint16_t FIncrementX = 20, FIncrementY = 20;
};

using TLTScrollEvent = std::function<void(TBaseLazyTree* Sender, int DeltaX, int DeltaY)>;
using TLTScrollBarShowEvent = std::function<void(TBaseLazyTree* Sender, int Bar, bool Show)>;
using TLTMeasureItemEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node, int& NodeHeight)>;
using TLTHeaderNotifyEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column)>;
using TLTHeaderEvent = std::function<void(TLTHeader* Sender)>;
using TLTHeaderClickEvent = std::function<void(TLTHeader* Sender, TLTHeaderHitInfo& HitInfo)>;
using TLTHeaderMouseEvent =
    std::function<void(TLTHeader* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TLTHeaderMouseMoveEvent = std::function<void(TLTHeader* Sender, TShiftState Shift, int X, int Y)>;
using TLTHeaderDraggingEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, bool& Allowed)>;
using TLTHeaderDraggedEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, int OldPosition)>;
using TLTHeaderDraggedOutEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, TPoint DropPosition)>;
using TLTBeforeColumnWidthTrackingEvent =
    std::function<void(TLTHeader* Sender, TColumnIndex Column, TShiftState Shift)>;
using TLTColumnWidthTrackingEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, TShiftState Shift,
                                                       TPoint& TrackPoint, TPoint P, bool& Allowed)>;
using TLTBeforeHeaderHeightTrackingEvent = std::function<void(TLTHeader* Sender, TShiftState Shift)>;
using TLTHeaderHeightTrackingEvent =
    std::function<void(TLTHeader* Sender, TPoint& P, TShiftState Shift, bool& Allowed)>;
using TLTColumnWidthDblClickResizeEvent =
    std::function<void(TLTHeader* Sender, TColumnIndex Column, TShiftState Shift, TPoint P, bool& Allowed)>;
using TLTCanSplitterResizeColumnEvent =
    std::function<void(TLTHeader* Sender, TPoint P, TColumnIndex Column, bool& Allowed)>;
using TLTCanSplitterResizeHeaderEvent = std::function<void(TLTHeader* Sender, TPoint P, bool& Allowed)>;
using TLTGetHeaderCursorEvent = std::function<void(TLTHeader* Sender, TCursor& Cursor)>;
using TLTHeaderPaintEvent =
    std::function<void(TLTHeader* Sender, TCanvas* HeaderCanvas, TLazyTreeColumn* Column, const TRect& R, bool Hover,
                       bool Pressed, TLTDropMarkMode DropMark)>;
using TLTHeaderPaintQueryElementsEvent =
    std::function<void(TLTHeader* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements)>;
using TLTAdvancedHeaderPaintEvent =
    std::function<void(TLTHeader* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements)>;
using TLTColumnVisibilityChangedEvent =
    std::function<void(TBaseLazyTree* Sender, TColumnIndex Column, bool Visible)>;
using TLTBeforeAutoFitColumnsEvent = std::function<void(TLTHeader* Sender, TSmartAutoFitType& SmartAutoFitType)>;
using TLTBeforeAutoFitColumnEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column,
                                                       TSmartAutoFitType& SmartAutoFitType, bool& Allowed)>;
using TLTBeforeGetMaxColumnWidthEvent =
    std::function<void(TLTHeader* Sender, TColumnIndex Column, bool& UseSmartColumnWidth)>;
using TLTAfterGetMaxColumnWidthEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, int& MaxWidth)>;
using TLTBeforeCellPaintEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node, TColumnIndex Column,
                       TLTCellPaintMode CellPaintMode, TRect CellRect, TRect& ContentRect)>;
// The step of a timed animation: false stops it.
using TLTAnimationCallback = std::function<bool(int Step, int StepSize, void* Data)>;

// What the expand and collapse step scrolls (client coordinates).
struct TToggleAnimationData {
    TBaseLazyTree* Window = nullptr;
    TColor Brush = clWindow;
    TRect FirstArea, SecondArea;
    TLTToggleMode FirstMode = tmStill, SecondMode = tmStill;
    double ScaleFactor = 0;
    double MissedSteps = 0;
};

// ---------------------------------------------------------------------------
// The tree
// ---------------------------------------------------------------------------

class TBaseLazyTree : public TCustomControl {
    KAL_CLASS(TBaseLazyTree, TCustomControl)
public:
    explicit TBaseLazyTree(TComponent* AOwner);
    ~TBaseLazyTree() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    // ----- node store (structure)
    PLazyNode RootNode() const { return FRoot; }
    virtual PLazyNode AddChild(PLazyNode Parent, void* UserData = nullptr);
    PLazyNode AddChild(PLazyNode Parent, const std::shared_ptr<void>& UserData);
    PLazyNode AddChild(PLazyNode Parent, TObject* UserData) { return AddChild(Parent, static_cast<void*>(UserData)); }
    PLazyNode AddChild(PLazyNode Parent, std::nullptr_t) { return AddChild(Parent, static_cast<void*>(nullptr)); }
    PLazyNode InsertNode(PLazyNode Node, TLTNodeAttachMode Mode, void* UserData = nullptr);
    void DeleteNode(PLazyNode Node);
    void DeleteChildren(PLazyNode Node, bool ResetHasChildren = false);
    virtual void DeleteSelectedNodes();
    virtual void Clear();
    virtual void SetChildCount(PLazyNode Node, uint32_t NewChildCount);
    uint32_t GetChildCount(PLazyNode Node) const;
    uint32_t RootNodeCount() const { return FRoot->ChildCount; }
    void SetRootNodeCount(uint32_t Value);
    int NodeDataSize() const { return FNodeDataSize; }
    void SetNodeDataSize(int Value);
    void* GetNodeData(PLazyNode Node);
    void SetNodeData(PLazyNode Node, void* UserData);
    void SetNodeData(PLazyNode Node, const std::shared_ptr<void>& UserData);
    // The record of type T that lives in the node's user data area: made on
    // first use (so a record holding a string is never read from raw zero
    // bytes) and destroyed right after the node's OnFreeNode. A tree keeps
    // one record type; NodeDataSize must hold it.
    template <class T>
    T* GetNodeRecord(PLazyNode Node);
    // The shared object a node holds (stored through the shared-object forms).
    std::shared_ptr<void> GetNodeShared(PLazyNode Node);
    uint32_t GetNodeLevel(PLazyNode Node) const;
    uint32_t AbsoluteIndex(PLazyNode Node);
    uint32_t TotalCount();
    uint32_t VisibleCount() const { return FVisibleCount; }
    uint32_t DefaultNodeHeight() const { return FDefaultNodeHeight; }
    void SetDefaultNodeHeight(uint32_t Value);
    // The tree that holds a node.
    static TBaseLazyTree* OwnerTreeOf(PLazyNode Node);

    // ----- initialization, visibility, heights
    void ValidateNode(PLazyNode Node, bool Recursive);
    void ValidateChildren(PLazyNode Node, bool Recursive);
    void InitRecursive(PLazyNode Node, uint32_t Levels = UINT32_MAX, bool VisibleOnly = true);
    virtual void ReinitNode(PLazyNode Node, bool Recursive);
    virtual void ReinitChildren(PLazyNode Node, bool Recursive);
    virtual void ResetNode(PLazyNode Node);
    bool GetChildrenInitialized(PLazyNode Node) const;
    bool GetDisabled(PLazyNode Node) const;
    void SetDisabled(PLazyNode Node, bool Value);
    bool GetExpanded(PLazyNode Node) const;
    void SetExpanded(PLazyNode Node, bool Value);
    bool GetFiltered(PLazyNode Node) const;
    void SetFiltered(PLazyNode Node, bool Value);
    bool GetFullyVisible(PLazyNode Node) const;
    void SetFullyVisible(PLazyNode Node, bool Value);
    bool GetHasChildren(PLazyNode Node) const;
    void SetHasChildren(PLazyNode Node, bool Value);
    bool GetMultiline(PLazyNode Node) const;
    void SetMultiline(PLazyNode Node, bool Value);
    uint32_t GetNodeHeight(PLazyNode Node);
    void SetNodeHeight(PLazyNode Node, uint32_t Value);
    PLazyNode GetNodeParent(PLazyNode Node) const;
    void SetNodeParent(PLazyNode Node, PLazyNode Value);
    bool GetSelected(PLazyNode Node) const;
    uint8_t GetVerticalAlignment(PLazyNode Node) const;
    void SetVerticalAlignment(PLazyNode Node, uint8_t Value);
    bool GetVisible(PLazyNode Node);
    void SetVisible(PLazyNode Node, bool Value);
    bool GetVisiblePath(PLazyNode Node) const;
    void SetVisiblePath(PLazyNode Node, bool Value);
    bool GetEffectivelyFiltered(PLazyNode Node) const;
    bool GetEffectivelyVisible(PLazyNode Node) const;
    TLTNodeAlignment NodeAlignment() const { return FNodeAlignment; }
    void SetNodeAlignment(TLTNodeAlignment Value);
    // The centre line of a node's images and the top of its button, for a
    // node of the given height (the painter supplies the image heights: 0
    // when the node has no such image).
    struct TNodeVerticalPosition {
        int VAlign;
        int ButtonTop;
    };
    TNodeVerticalPosition VerticalPosition(PLazyNode Node, int NodeHeight, int NormalImageHeight,
                                           int StateImageHeight, int ButtonHeight) const;

    // ----- check boxes
    TCheckState GetCheckState(PLazyNode Node) const { return Node ? Node->CheckState : csUncheckedNormal; }
    TCheckType GetCheckType(PLazyNode Node) const { return Node ? Node->CheckType : ctNone; }
    void SetCheckState(PLazyNode Node, TCheckState Value);
    void SetCheckType(PLazyNode Node, TCheckType Value);
    void SetCheckStateForAll(TCheckState aCheckState, bool pSelectedOnly, bool pExcludeDisabled = true);
    void ClearChecked();
    uint32_t CheckedCount();
    static TCheckState PressedCheckState(TCheckState s);
    static TCheckState ReleasedCheckState(TCheckState s);
    static TCheckState EnabledCheckState(TCheckState s);
    static TCheckState ToggledCheckState(TCheckState s);
    static bool IsCheckStateDisabled(TCheckState s);
    static bool IsCheckStateChecked(TCheckState s);
    // Pressing and releasing a check box by mouse or key (the input steps
    // call these): press over the node's box, release on the node or not.
    bool PressCheckBox(PLazyNode Node, bool ByKey);
    void ReleaseCheckBox(bool OnSameNode);
    PLazyNode CheckNode() const { return FCheckNode; }
    TCheckState PendingCheckState() const { return FPendingCheckState; }

    // ----- walking
    PLazyNode GetFirst(bool ConsiderChildrenAbove = false);
    PLazyNode GetFirstNoInit(bool ConsiderChildrenAbove = false) const;
    PLazyNode GetNext(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetNextNoInit(PLazyNode Node, bool ConsiderChildrenAbove = false) const;
    PLazyNode GetPrevious(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetPreviousNoInit(PLazyNode Node, bool ConsiderChildrenAbove = false) const;
    PLazyNode GetLast(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = false);
    PLazyNode GetLastNoInit(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = false) const;
    PLazyNode GetFirstChild(PLazyNode Node);
    PLazyNode GetFirstChildNoInit(PLazyNode Node) const;
    PLazyNode GetLastChild(PLazyNode Node);
    PLazyNode GetLastChildNoInit(PLazyNode Node) const;
    PLazyNode GetNextSibling(PLazyNode Node);
    PLazyNode GetNextSiblingNoInit(PLazyNode Node) const;
    PLazyNode GetPreviousSibling(PLazyNode Node);
    PLazyNode GetPreviousSiblingNoInit(PLazyNode Node) const;
    PLazyNode GetFirstVisible(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
    PLazyNode GetFirstVisibleNoInit(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true,
                                    bool IncludeFiltered = false) const;
    PLazyNode GetNextVisible(PLazyNode Node, bool ConsiderChildrenAbove = true);
    PLazyNode GetNextVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove = true) const;
    PLazyNode GetPreviousVisible(PLazyNode Node, bool ConsiderChildrenAbove = true);
    PLazyNode GetPreviousVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove = true) const;
    PLazyNode GetLastVisible(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
    PLazyNode GetLastVisibleNoInit(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true,
                                   bool IncludeFiltered = false) const;
    PLazyNode GetFirstVisibleChild(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetFirstVisibleChildNoInit(PLazyNode Node, bool IncludeFiltered = false) const;
    PLazyNode GetLastVisibleChild(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetLastVisibleChildNoInit(PLazyNode Node, bool IncludeFiltered = false) const;
    PLazyNode GetNextVisibleSibling(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetNextVisibleSiblingNoInit(PLazyNode Node, bool IncludeFiltered = false) const;
    PLazyNode GetPreviousVisibleSibling(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetPreviousVisibleSiblingNoInit(PLazyNode Node, bool IncludeFiltered = false) const;
    PLazyNode GetFirstInitialized(bool ConsiderChildrenAbove = false) const;
    PLazyNode GetNextInitialized(PLazyNode Node, bool ConsiderChildrenAbove = false) const;
    PLazyNode GetPreviousInitialized(PLazyNode Node, bool ConsiderChildrenAbove = false) const;
    PLazyNode GetLastInitialized(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = false) const;
    PLazyNode GetFirstLeaf();
    PLazyNode GetNextLeaf(PLazyNode Node);
    PLazyNode GetPreviousLeaf(PLazyNode Node);
    PLazyNode GetFirstLevel(uint32_t NodeLevel);
    PLazyNode GetNextLevel(PLazyNode Node, uint32_t NodeLevel);
    PLazyNode GetPreviousLevel(PLazyNode Node, uint32_t NodeLevel);
    PLazyNode GetFirstChecked(TCheckState State = csCheckedNormal, bool ConsiderChildrenAbove = false);
    PLazyNode GetNextChecked(PLazyNode Node, TCheckState State = csCheckedNormal, bool ConsiderChildrenAbove = false);
    PLazyNode GetNextChecked(PLazyNode Node, bool ConsiderChildrenAbove);
    PLazyNode GetPreviousChecked(PLazyNode Node, TCheckState State = csCheckedNormal, bool ConsiderChildrenAbove = false);
    PLazyNode GetFirstSelected(bool ConsiderChildrenAbove = false) const;
    PLazyNode GetNextSelected(PLazyNode Node, bool ConsiderChildrenAbove = false) const;
    PLazyNode GetPreviousSelected(PLazyNode Node, bool ConsiderChildrenAbove = false) const;
    PLazyNode GetFirstCutCopy(bool ConsiderChildrenAbove = false) const;
    PLazyNode GetNextCutCopy(PLazyNode Node, bool ConsiderChildrenAbove = false) const;
    PLazyNode GetPreviousCutCopy(PLazyNode Node, bool ConsiderChildrenAbove = false) const;
    PLazyNode GetVisibleParent(PLazyNode Node, bool IncludeFiltered = false) const;
    bool HasAsParent(PLazyNode Node, PLazyNode PotentialParent) const;
    TNodeArray GetSortedSelection(bool Resolve) const;
    TNodeArray GetSortedCutCopySet(bool Resolve) const;
    PLazyNode IterateSubtree(PLazyNode Node, const TLTGetNodeProc& Callback, void* Data,
                             TLazyNodeStates Filter = {}, bool DoInit = false, bool ChildNodesOnly = false);
    uint32_t CutCopyCount() const;
    // The font, rectangle and text of a node's cell; the base tree has no
    // text: an empty rectangle and text, and the tree's font.
    virtual void GetTextInfo(PLazyNode Node, TColumnIndex Column, TFont* AFont, TRect& R, QString& Text);

    TLTLazyNodeEnumeration Nodes(bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration CheckedNodes(TCheckState State = csCheckedNormal, bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration ChildNodes(PLazyNode Node);
    TLTLazyNodeEnumeration CutCopyNodes(bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration InitializedNodes(bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration LeafNodes();
    TLTLazyNodeEnumeration LevelNodes(uint32_t NodeLevel);
    TLTLazyNodeEnumeration NoInitNodes(bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration SelectedNodes(bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration VisibleNodes(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true,
                                        bool IncludeFiltered = false);
    TLTLazyNodeEnumeration VisibleChildNodes(PLazyNode Node, bool IncludeFiltered = false);
    TLTLazyNodeEnumeration VisibleChildNoInitNodes(PLazyNode Node, bool IncludeFiltered = false);
    TLTLazyNodeEnumeration VisibleNoInitNodes(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true,
                                              bool IncludeFiltered = false);

    // ----- expanding and collapsing
    void ToggleNode(PLazyNode Node);
    virtual void FullExpand(PLazyNode Node = nullptr);
    virtual void FullCollapse(PLazyNode Node = nullptr);

    // ----- update batching, notification, tree states
    virtual void BeginUpdate();
    virtual void EndUpdate();
    void BeginSynch();
    void EndSynch();
    uint32_t UpdateCount() const { return FUpdateCount; }
    TLazyTreeStates TreeStates() const { return FStates; }
    uint32_t ChangeDelay = 0;
    void OpenOperation(TLTOperationKind Kind);
    void CloseOperation(TLTOperationKind Kind);
    void CancelOperation();
    bool OperationCanceled() const { return FOperationCanceled && FOperationCount > 0; }
    uint32_t OperationCount() const { return FOperationCount; }
    // The tree's own redraw switch: while off, the tree adds nothing to its
    // form's update region.
    bool RedrawSuppressed() const { return FRedrawSuppressed; }
    // Adds nothing to the form's update region while the redraw switch is off.
    void Invalidate() override;
    // Window timers of the tree.
    static constexpr unsigned ExpandTimer = 1, EditTimer = 2, HeaderTimer = 3, ScrollTimer = 4,
                              ChangeTimer = 5, StructureChangeTimer = 6, SearchTimer = 7, ThemeChangedTimer = 8;

    // ----- selection and focus
    void ClearSelection() { DropSelection(true); }
    void InvertSelection(bool VisibleOnly);
    void SelectAll(bool VisibleOnly);
    virtual void EnsureNodeSelected();
    void SetSelected(PLazyNode Node, bool Value);
    int SelectedCount() const { return FSelectionCount; }
    bool SelectionLocked = false;
    // A rubber band is pending or being drawn.
    bool IsMouseSelecting() const { return FStates.ContainsAny({tsDrawSelPending, tsDrawSelecting}); }
    PLazyNode FocusedNode() const { return FFocusedNode; }
    void SetFocusedNode(PLazyNode Value);
    TColumnIndex FocusedColumn() const { return FFocusedColumn; }
    void SetFocusedColumn(TColumnIndex Value);
    PLazyNode HotNode() const { return FCurrentHotNode; }
    PLazyNode DropTargetNode() const { return FDropTargetNode; }
    PLazyNode RangeAnchor() const { return FRangeAnchor; }
    PLazyNode NextNodeToSelect() const { return FNextNodeToSelect; }
    int CompareNodeOrder(PLazyNode Node1, PLazyNode Node2, bool ConsiderChildrenAbove) const;
    // The raw selection array (ascending addresses, possibly with marked
    // entries until it is packed); for tests and the painting steps.
    const TNodeArray& SelectionArray() const { return FSelection; }

    // ----- stream
    virtual void SaveToStream(TStream* Stream, PLazyNode Node = nullptr);
    void SaveToFile(const QString& FileName);
    virtual void LoadFromStream(TStream* Stream);
    virtual void LoadFromFile(const QString& FileName);
    void AddFromStream(TStream* Stream, PLazyNode TargetNode);

    // ----- sorting, copying, moving
    virtual void Sort(PLazyNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit = true);
    virtual void SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit = true);
    PLazyNode CopyTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode, bool ChildrenOnly);
    PLazyNode CopyTo(PLazyNode Source, TBaseLazyTree* Tree, TLTNodeAttachMode Mode, bool ChildrenOnly);
    void MoveTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode, bool ChildrenOnly);
    void MoveTo(PLazyNode Source, TBaseLazyTree* Tree, TLTNodeAttachMode Mode, bool ChildrenOnly);
    // Whether node blocks of this tree and of Other have one layout (the same
    // class, user data and internal areas), so a record can change trees.
    bool SameNodeLayout(const TBaseLazyTree* Other) const;
    // Moves Source with its subtree, the records themselves, to Target of
    // another tree of the same layout (a cut paste or move drop between trees
    // of the program). The source tree forgets the nodes; OnNodeMoving and
    // OnNodeMoved fire on it as for MoveTo. False when refused or not possible.
    bool MoveNodeRecords(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode);
    // The header's sort column and direction (the header keeps them once it
    // exists; until then the tree does).
    TColumnIndex SortColumn() const { return FHeader->SortColumn(); }
    void SetSortColumn(TColumnIndex Value) { FHeader->SetSortColumn(Value); }
    TSortDirection SortDirection() const { return FHeader->SortDirection(); }
    void SetSortDirection(TSortDirection Value) { FHeader->SetSortDirection(Value); }

    // ----- options
    TCustomLazyTreeOptions* TreeOptions() const { return FOptions.get(); }
    void SetTreeOptions(const TCustomLazyTreeOptions* Value) { FOptions->Assign(Value); }
    // Reads the old single "Options" set of a form description, given as its
    // element names (ending at the first empty name).
    void ReadOldOptions(const QStringList& Names);
    // While true the tree is being loaded from a form description.
    bool IsLoading() const { return InState(csLoading); }

    // ----- the control: properties (LazyTreesControl.cpp)
    uint32_t Indent() const { return FIndent; }
    void SetIndent(uint32_t Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int TextMargin() const { return FTextMargin; }
    void SetTextMargin(int Value);
    TLTLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TLTLineStyle Value);
    TLTLineMode LineMode() const { return FLineMode; }
    void SetLineMode(TLTLineMode Value);
    QString EmptyListMessage() const { return FEmptyListMessage; }
    void SetEmptyListMessage(const QString& Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TCustomImageList* Value);
    TCustomImageList* CustomCheckImages() const { return FCustomCheckImages; }
    void SetCustomCheckImages(TCustomImageList* Value);
    TCheckImageKind CheckImageKind() const { return FCheckImageKind; }
    void SetCheckImageKind(TCheckImageKind Value);
    // The check image list in use for the check image kind.
    TImageList* CheckImages() const;
    TLTHeader* Header() const { return FHeader.get(); }
    void SetHeader(const TLTHeader* Value) { FHeader->Assign(Value); }
    TLTColors* Colors() const { return FColors.get(); }
    void SetColors(const TLTColors* Value) { FColors->Assign(Value); }
    TScrollBarOptions* ScrollBarOptions() const { return FScrollBarOptions.get(); }
    void SetScrollBarOptions(const TScrollBarOptions* Value) { FScrollBarOptions->Assign(Value); }
    uint32_t AnimationDuration() const { return FAnimationDuration; }
    void SetAnimationDuration(uint32_t Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TBevelKind BevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelEdges BevelEdges() const { return FBevelEdges; }
    void SetBevelEdges(TBevelEdges Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    // Reads True whatever was written.
    bool DoubleBuffered() const { return true; }
    void SetDoubleBuffered(bool) {}
    TLTIncrementalSearch IncrementalSearch = isNone;
    TLTSearchStart IncrementalSearchStart = ssFocusedNode;
    uint32_t IncrementalSearchTimeout = 1000;
    int DragWidth = 200;
    int DragHeight = 350;
    uint32_t AutoExpandDelay = 1000;
    uint32_t AutoScrollDelay = 1000;
    uint32_t AutoScrollInterval() const { return FAutoScrollInterval; }
    void SetAutoScrollInterval(uint32_t Value) { FAutoScrollInterval = std::clamp<uint32_t>(Value, 1, 1000); }
    uint32_t EditDelay = 1000;
    uint8_t SelectionBlendFactor = 128;
    int SelectionCurveRadius = 0;
    TLTNodeAttachMode DefaultPasteMode = amAddChildLast;
    TLTDragOperations DragOperations = {doCopy, doMove};
    TLTDragImageKind DragImageKind = diComplete;
    THintAnimationType HintAnimation = hatSystemDefault;
    TLTDragType DragType = dtOLE;
    TCursor HotCursor = crDefault;
    TLTButtonStyle ButtonStyle = bsRectangle;
    TLTButtonFillMode ButtonFillMode = fmTreeColor;
    // No visual styles here: false, and the stored colours apply.
    bool VclStyleEnabled() const { return FVclStyleEnabled; }
    // Styled scroll bars: a hook that sees the tree's messages first and
    // paints its bars in windows laid over the plain ones. Off by default.
    void SetStyledScrollBars(bool Value);
    bool StyledScrollBars() const { return FStyleScrollBarsHook != nullptr; }
    void SetStyleScrollBarsHook(std::unique_ptr<TVclStyleScrollBarsHook> Hook);
    TVclStyleScrollBarsHook* StyleScrollBarsHook() const { return FStyleScrollBarsHook.get(); }
    // The tree's own processing of a message, passing by the hook.
    void StyleHookDefault(TMessage& M);
    // The font-change hook's flag: a paint handler changed the font.
    bool FontChanged() const { return FFontChanged; }
    void SetFontChanged(bool Value) { FFontChanged = Value; }
    virtual void AutoScaleNodeHeight();
    void ChangeScale(int M, int D);
    void Assign(const TPersistent* Source) override;
    virtual TDropMode DropModeAtPoint(TPoint P, const THitInfo& HitInfo, const TRect& NodeRect);
    virtual void MarkSelectedForClipboard();
    void BeginDrag(bool Immediate, int Threshold = -1) override;
    int DragThreshold() const { return FDragThreshold; }
    void RepaintNode(PLazyNode Node);
    [[noreturn]] void RaiseTreeError(const QString& Msg, int HelpContext);
    virtual std::function<TCollectionItem*(TCollection*)> ColumnClass();
    // The border the window frame takes on each side (negative values).
    virtual TPoint BorderDimensions();
    void KillTreeTimer(unsigned ID);
    // The process-wide registry of live trees: a number that outlives the
    // tree, for calls queued to the UI thread that must find it (or not).
    uint32_t TreeId() const { return FTreeId; }
    static TBaseLazyTree* FindTree(uint32_t Id);
    // The process's check image lists, 1 to 9 (nullptr before the first tree).
    static TImageList* InternalImageList(int Number);
    // The worker thread, while a tree exists.
    static bool WorkerRunning();

    // The header's main column, whether it has columns, and whether a column
    // takes the focus.
    TColumnIndex MainColumn() const { return FHeader->MainColumn(); }
    bool HeaderUsesColumns() const { return FHeader->UseColumns(); }
    bool ColumnAllowsFocus(TColumnIndex Column) const { return !HeaderUsesColumns() || FHeader->AllowFocus(Column); }
    bool IsValidColumn(TColumnIndex Column) const { return FHeader->Columns()->IsValidColumn(Column); }

    // ----- geometry and invalidation (LazyTreesView.cpp)
    TRect GetDisplayRect(PLazyNode Node, TColumnIndex Column, bool TextOnly, bool Unclipped = false,
                         bool ApplyCellContentMargin = false);
    virtual TRect InvalidateNode(PLazyNode Node);
    void InvalidateChildren(PLazyNode Node, bool Recursive);
    void InvalidateColumn(TColumnIndex Column);
    virtual void InvalidateToBottom(PLazyNode Node);
    virtual void InvalidateTree() { Invalidate(); }
    virtual void MeasureItemHeight(TCanvas* Canvas, PLazyNode Node);
    void MeasureItemHeight(PLazyNode Node) { MeasureItemHeight(nullptr, Node); }
    virtual TPoint CellContentMargin(PLazyNode Node, TColumnIndex Column, TLTCellContentMarginType Type,
                                     TCanvas* Canvas = nullptr);
    virtual int NodeWidth(PLazyNode, TColumnIndex, TCanvas*) { return 0; }
    virtual int NodeExtraWidth(PLazyNode, TColumnIndex, TCanvas*) { return 0; }
    uint32_t BottomSpace() const { return FBottomSpace; }
    void SetBottomSpace(uint32_t Value);
    bool IsEmpty() const { return FRoot->ChildCount == 0; }
    int LevelDifference(PLazyNode Node1, PLazyNode Node2) const;
    // The area an animation or a scroll moved is painted at once.
    void RepaintArea(const TRect& R);
    // Where a node's text area starts in its row (content coordinates).
    int TextAreaOffset(PLazyNode Node, TColumnIndex Column) const;
    void InvalidateHeaderArea(const TRect& ClientArea);

    // ----- position cache queries (LazyTreesCache.cpp)
    PLazyNode GetNodeAt(int X, int Y, bool Relative, int& NodeTop);
    PLazyNode GetNodeAt(int X, int Y);
    PLazyNode GetNodeAt(TPoint P) { return GetNodeAt(P.X, P.Y); }
    PLazyNode TopNode();
    void SetTopNode(PLazyNode Value);
    PLazyNode BottomNode();
    void SetBottomNode(PLazyNode Value);
    uint32_t CacheEntryCount() const;
    const TCache& PositionCache() const { return FPositionCache; }
    PLazyNode FindCacheEntryByNode(PLazyNode Node, uint32_t& Top) const;
    PLazyNode FindCacheEntryByPosition(uint32_t Position, uint32_t& Top) const;
    // Waits (for tests and measurements) until no cache build for this tree
    // is queued or running, delivering what the worker handed to the UI.
    void WaitForCache();
    // A build of this tree's cache is queued or running.
    bool CacheBuildPending() const;

    // ----- scrolling (LazyTreesView.cpp)
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    TPoint OffsetXY() const { return Point(FOffsetX, FOffsetY); }
    // Sleeps while an animation waits for its next step (tests hand in one
    // that moves their clock instead).
    static void SetAnimationSleep(std::function<void(uint32_t)> Sleeper);
    void SetOffsetX(int Value);
    void SetOffsetY(int Value);
    void SetOffsetXY(TPoint Value);
    int EffectiveOffsetX() const { return FEffectiveOffsetX; }
    uint32_t RangeX();
    // The content height; a range left stale by an update is measured here.
    uint32_t RangeY();
    const TRect& HeaderRect() const { return FHeaderRect; }
    virtual bool ApplyScrollOffsets(TPoint Value, TScrollUpdateOptions Options, const TRect* ClipRect = nullptr);
    virtual void UpdateScrollBars(bool DoRepaint);
    void UpdateHorizontalScrollBar(bool DoRepaint);
    void UpdateVerticalScrollBar(bool DoRepaint);
    virtual void UpdateRanges();
    void UpdateHorizontalRange();
    void UpdateVerticalRange();
    virtual bool ScrollIntoView(PLazyNode Node, bool Center, bool Horizontally = false);
    bool ScrollIntoView(TColumnIndex Column, bool Center);
    virtual int RightToLeftColumnShift(bool ExcludeVScroll);
    void RecalcHeaderRect();
    TScrollDirections ScrollDirections() const { return FScrollDirections; }

    // ----- timed animation (LazyTreesView.cpp)
    virtual void RunAnimation(uint32_t Steps, uint32_t Duration, const TLTAnimationCallback& Callback, void* Data);
    bool ToggleAnimationStep(int Step, int StepSize, void* Data);
    // What each step of the toggle animations moved: the area and by how
    // much (negative: up), for tests.
    struct TAnimationMove {
        TRect Area;
        int DY = 0;
    };
    QList<TAnimationMove> AnimationMoves;

    // ----- hit testing, hot tracking and the cursor (LazyTreesHitTest.cpp)
    // Classifies a client point (tree coordinates when Relative is false).
    virtual void GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo& HitInfo);
    // The width of the plus-button picture the hit test and the button
    // painting share (9 pixels without visual styles).
    virtual int PlusButtonWidth() const { return 9; }
    // The image list and index a node names for a kind and column (the
    // application's image events).
    virtual TCustomImageList* FireGetImageIndex(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column,
                                                bool& Ghosted, int& Index);
    // The size of the normal images; (0, 0) without an image list.
    virtual TPoint NodeImageSize(PLazyNode Node);
    TCursor HotCursorValue() const { return HotCursor; }
    TColumnIndex HotColumn() const { return FCurrentHotColumn; }
    bool HotNodeButtonHit() const { return FHotNodeButtonHit; }

    // ----- mouse, keyboard, editing and window answers
    bool WantTabs = false;
    TLTSearchDirection IncrementalSearchDirection = sdForward;
    QString SearchBuffer() const { return FSearchBuffer; }
    PLazyNode LastSearchNode() const { return FLastSearchNode; }
    PLazyNode HeightTrackNode() const { return FHeightTrackNode; }
    TLTHintMode HintMode = hmDefault;
    const TLTHintData& HintData() const { return FHintData; }
    const TRect& LastHintRect() const { return FLastHintRect; }
    void SetIncrementalSearch(TLTIncrementalSearch Value);
    virtual bool EditNode(PLazyNode Node, TColumnIndex Column);
    virtual bool EndEditNode();
    virtual bool CancelEditNode();
    bool IsEditing() const { return FStates.Contains(tsEditing); }
    virtual bool CanEdit(PLazyNode Node, TColumnIndex Column);
    ILTEditLinkRef EditLink() const { return FEditLink; }
    TColumnIndex EditColumn() const { return FEditColumn; }
    bool CanFocus() const override;
    TRect NewSelRect() const { return FNewSelRect; }
    // The hint hooks.
    void HintKindOf(PLazyNode Node, TColumnIndex Column, TLTHintKind& Kind);
    virtual TLTHintKind DefaultHintKind() const { return vhkText; }
    virtual void FireGetHintSize(PLazyNode Node, TColumnIndex Column, TRect& R);
    void FireDrawHint(TCanvas* HintCanvas, PLazyNode Node, TRect R, TColumnIndex Column);
    virtual QString NodeHint(PLazyNode Node, TColumnIndex Column, TLTTooltipLineBreakStyle& LineBreakStyle);
    virtual QString NodeTooltip(PLazyNode Node, TColumnIndex Column, TLTTooltipLineBreakStyle& LineBreakStyle);
    // The hint window the tree shows its hints in.
    virtual THintWindowClass HintWindowClass();
    virtual THintAnimationType EffectiveHintAnimation() const;
    // Whether a panning marker is shown (its window, for tests).
    TPopupForm* PanningWindow() const { return FPanningWindow; }
    QString PanningCursorName() const { return FPanningCursorName; }

    // ----- the input events
    TLTHotNodeChangeEvent OnHotChange;
    TLTGetCursorEvent OnGetCursor;
    TLTCanSplitterResizeNodeEvent OnCanSplitterResizeNode;
    TLTGetCellIsEmptyEvent OnGetCellIsEmpty;
    TLTNodeClickEvent OnNodeClick, OnNodeDblClick;
    TLTNodeHeightTrackingEvent OnNodeHeightTracking;
    TLTNodeHeightDblClickResizeEvent OnNodeHeightDblClickResize;
    TLTPopupEvent OnGetPopupMenu;
    TLTKeyActionEvent OnKeyAction;
    TLTIncrementalSearchEvent OnIncrementalSearch;
    TLTHelpContextEvent OnGetHelpContext;
    TLTColumnClickEvent OnColumnClick, OnColumnDblClick;
    TLTDragAllowedEvent OnDragAllowed;
    TLTEditChangingEvent OnEditing;
    TLTEditChangeEvent OnEdited;
    TLTEditCancelEvent OnEditCancelled;
    TLTCreateEditorEvent OnCreateEditor;
    TLTHintKindEvent OnGetHintKind;
    TLTGetHintSizeEvent OnGetHintSize;
    TLTDrawHintEvent OnDrawHint;
    TLTGetImageEvent OnGetImageIndex;
    TLTGetImageExEvent OnGetImageIndexEx;

    // ----- header notifications the tree answers
    virtual void FireColumnResize(TColumnIndex Column);
    // The width the column's widest content needs: over the nodes in view
    // (UseSmartColumnWidth) or over every visible node.
    virtual int GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth = false);
    virtual void FireColumnVisibilityChanged(TColumnIndex Column, bool Visible);
    TLTColumnVisibilityChangedEvent OnColumnVisibilityChanged;
    TLTHeaderPaintEvent OnHeaderDraw;
    TLTHeaderClickEvent OnHeaderClick, OnHeaderDblClick;
    TLTHeaderMouseEvent OnHeaderMouseDown, OnHeaderMouseUp;
    TLTHeaderMouseMoveEvent OnHeaderMouseMove;
    TLTHeaderDraggingEvent OnHeaderDragging;
    TLTHeaderDraggedEvent OnHeaderDragged;
    TLTHeaderDraggedOutEvent OnHeaderDraggedOut;
    TLTBeforeColumnWidthTrackingEvent OnBeforeColumnWidthTracking;
    TLTColumnWidthTrackingEvent OnColumnWidthTracking;
    TLTHeaderNotifyEvent OnAfterColumnWidthTracking;
    TLTBeforeHeaderHeightTrackingEvent OnBeforeHeaderHeightTracking;
    TLTHeaderHeightTrackingEvent OnHeaderHeightTracking, OnHeaderHeightDblClickResize;
    TLTHeaderEvent OnAfterHeaderHeightTracking;
    TLTColumnWidthDblClickResizeEvent OnColumnWidthDblClickResize;
    TLTCanSplitterResizeColumnEvent OnCanSplitterResizeColumn;
    TLTCanSplitterResizeHeaderEvent OnCanSplitterResizeHeader;
    TLTGetHeaderCursorEvent OnGetHeaderCursor;
    // The column's check box goes to the state a click leads to.
    virtual void ToggleColumnCheckState(TColumnIndex Column);
    TLTHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;
    TLTAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
    TLTBeforeAutoFitColumnsEvent OnBeforeAutoFitColumns;
    TLTBeforeAutoFitColumnEvent OnBeforeAutoFitColumn;
    TLTHeaderNotifyEvent OnAfterAutoFitColumn;
    TLTHeaderEvent OnAfterAutoFitColumns;
    TLTBeforeGetMaxColumnWidthEvent OnBeforeGetMaxColumnWidth;
    TLTAfterGetMaxColumnWidthEvent OnAfterGetMaxColumnWidth;
    virtual void AfterMainColumnChange();

    // ----- painting (LazyTreesPaint.cpp, LazyTreesElements.cpp,
    // LazyTreesImages.cpp). PaintTree paints the part Window of the tree
    // (tree coordinates) so that its top-left corner lands on Target.
    virtual void PaintTree(TCanvas* TargetCanvas, const TRect& Window, TPoint Target,
                           TLTInternalPaintOptions PaintOptions, TPixelFormat PixelFormat = pfDevice);
    TLTDrawSelectionMode DrawSelectionMode = smDottedRectangle;
    TPicture* Background() { return &FBackground; }
    void SetBackground(const TPicture* Value);
    int BackgroundOffsetX() const { return FBackgroundOffsetX; }
    int BackgroundOffsetY() const { return FBackgroundOffsetY; }
    // Index 0 writes the horizontal offset, 1 the vertical one.
    void SetBackgroundOffset(int Index, int Value);
    TDropMode LastDropMode() const { return FLastDropMode; }
    void SetLastDropMode(TDropMode Value) { FLastDropMode = Value; }
    void SetDropTargetNode(PLazyNode Value) { FDropTargetNode = Value; }
    void SetHotNode(PLazyNode Node, TColumnIndex Column = NoColumn, bool OnButton = false);
    // The rubber band of a mouse selection, in tree coordinates.
    void SetNewSelRect(const TRect& Value) { FNewSelRect = Value; }
    void SetButtonStyle(TLTButtonStyle Value);
    void SetButtonFillMode(TLTButtonFillMode Value);
    // The six expand button pictures (plus, minus, each also hot and hot
    // while selected), made by BuildButtonBitmaps.
    TBitmap* PlusBitmap() const { return FPlusBM.get(); }
    TBitmap* MinusBitmap() const { return FMinusBM.get(); }
    TBitmap* HotPlusBitmap() const { return FHotPlusBM.get(); }
    TBitmap* HotMinusBitmap() const { return FHotMinusBM.get(); }
    TBitmap* SelectedHotPlusBitmap() const { return FSelectedHotPlusBM.get(); }
    TBitmap* SelectedHotMinusBitmap() const { return FSelectedHotMinusBM.get(); }
    void BuildButtonBitmaps(bool NeedButtons, bool NeedLines);
    // The current line pattern (eight rows; the low byte of each is used).
    const uint16_t* LinePattern() const { return FLinePattern; }
    virtual int BuildLineImages(PLazyNode Node, TLineImage& LineImage);
    virtual int CheckImageIndex(PLazyNode Node, TCheckType ImgCheckType, TCheckState ImgCheckState,
                                bool ImgEnabled);
    virtual TImageList* CheckImageListFor(TCheckImageKind Kind) const;
    virtual void FireGetImageText(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column, QString& ImageText);
    // The next column a cell's painting goes on with (the string tree lets a
    // text span empty neighbours).
    virtual void NextPaintColumn(TLTPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty);

    TLTPaintEvent OnBeforePaint, OnAfterPaint;
    TLTBeforeItemPaintEvent OnBeforeItemPaint;
    TLTAfterItemPaintEvent OnAfterItemPaint;
    TLTBeforeItemEraseEvent OnBeforeItemErase;
    TLTAfterItemEraseEvent OnAfterItemErase;
    TLTAfterCellPaintEvent OnAfterCellPaint;
    TLTBackgroundPaintEvent OnPaintBackground;
    TLTGetImageTextEvent OnGetImageText;
    TLTBeforeDrawLineImageEvent OnBeforeDrawTreeLine;
    TLTGetLineStyleEvent OnGetLineStyle;
    TLTPrepareButtonImagesEvent OnPrepareButtonBitmaps;

    // ----- events
    TLTScrollEvent OnScroll;
    TLTScrollBarShowEvent OnShowScrollBar;
    TLTMeasureItemEvent OnMeasureItem;
    TLTHeaderNotifyEvent OnColumnResize;
    TLTBeforeCellPaintEvent OnBeforeCellPaint;
    TLTInitNodeEvent OnInitNode;
    TLTInitChildrenEvent OnInitChildren;
    TLTFreeNodeEvent OnFreeNode;
    TLTGetNodeDataSizeEvent OnGetNodeDataSize;
    TLTChangeEvent OnResetNode;
    TLTCheckChangingEvent OnChecking;
    TLTChangeEvent OnChecked;
    TLTChangingEvent OnExpanding, OnCollapsing;
    TLTChangeEvent OnExpanded, OnCollapsed;
    TLTChangeEvent OnChange;
    TLTStructureChangeEvent OnStructureChange;
    TLTUpdatingEvent OnUpdating;
    TLTStateChangeEvent OnStateChange;
    TLTOperationEvent OnStartOperation, OnEndOperation;
    TLTSaveNodeEvent OnSaveNode, OnLoadNode;
    TLTSaveTreeEvent OnSaveTree, OnLoadTree;
    TLTNodeCopiedEvent OnNodeCopied;
    TLTCompareEvent OnCompareNodes;
    TLTNodeCopyingEvent OnNodeCopying;
    TLTNodeMovingEvent OnNodeMoving;
    TLTNodeMovedEvent OnNodeMoved;
    TLTAddToSelectionEvent OnAddToSelection;
    TLTRemoveFromSelectionEvent OnRemoveFromSelection;
    TLTFocusChangeEvent OnFocusChanged;
    TLTFocusChangingEvent OnFocusChanging;

    // ----- exchange: clipboard formats and the export events
    // (LazyTreesClipboard.cpp, LazyTreesExport.cpp)
    TClipboardFormats* ClipboardFormats();
    // Keeps the names the registry knows and this tree can render.
    void SetClipboardFormats(const QStringList& Value);
    TLTTreeExportEvent OnBeforeTreeExport, OnAfterTreeExport;
    TLTTreeExportEvent OnBeforeHeaderExport, OnAfterHeaderExport;
    TLTColumnExportEvent OnBeforeColumnExport, OnColumnExport, OnAfterColumnExport;
    TLTNodeExportEvent OnBeforeNodeExport, OnNodeExport, OnAfterNodeExport;
    // Whether a node passes the tree's export filter (ExportMode).
    bool PassesExportMode(PLazyNode Node);
    // Clipboard and data import (LazyTreesClipboardOps.cpp). The platform's
    // clipboard takes every format at once: the cut/copy marks are set
    // before rendering, and a later change of the clipboard's content
    // cancels them.
    virtual void CopyToClipboard();
    virtual void CutToClipboard();
    virtual bool PasteFromClipboard();
    void FlushClipboard() {}
    void CancelCutOrCopy();
    void FinishCutOrCopy();
    bool ProcessOLEData(TBaseLazyTree* Source, IDataObject* DataObject, PLazyNode TargetNode,
                        TLTNodeAttachMode Mode, bool Optimized);
    bool ProcessDrop(IDataObject* DataObject, PLazyNode TargetNode, uint32_t& Effect, TLTNodeAttachMode Mode);
    // The tree of this process the data came from, nil for any other.
    TBaseLazyTree* SourceTreeOf(IDataObject* DataObject);
    // This tree's id among the live trees of the process, and back.
    uint32_t ExchangeId();
    static TBaseLazyTree* TreeOfExchangeId(uint32_t Id);
    // The formats a data object of this tree offers.
    TFormatEtcArray CollectNativeFormats();
    virtual HRESULT RenderDataFormat(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard);
    // Drag and drop (LazyTreesDragDrop.cpp).
    std::shared_ptr<class TLTDragManager> DragManager();
    class TLTDragImage* DragImage();
    // Prints the whole tree page by page, at its size on screen (LazyTreesPrint.cpp).
    void Print(class TLTPrinter* Printer, bool PrintHeader);
    // Makes the drag image of the selected nodes around the hot spot (client):
    // with a data object the platform's drag picture shows it.
    virtual void PrepareDragImage(TPoint HotSpot, IDataObject* DataObject);
    // Repaints TreeRect (client coordinates) of this tree while the drag
    // image SourceTree draws itself lies over it: the part under the image is
    // painted into the image's saved screen contents (never on the screen),
    // the rest is redrawn at once; UpdateNCArea redraws the frame too.
    virtual void RepaintAroundDragImage(TBaseLazyTree* SourceTree, TRect TreeRect, bool UpdateNCArea,
                                        bool ReshowDragImage);
    uint32_t LastDragEffect();
    bool Dragging() const override {
        return FStates.ContainsAny({tsOLEDragging, tsOLEDragPending}) || TCustomControl::Dragging();
    }
    // The class library's drags (another control's, or this tree's with
    // DragType dtVCL): tracked like drags of data, with no data object.
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DragDrop(TObject* Source, int X, int Y) override;
    // A class-library drag from this tree was cancelled: the press ends.
    virtual void FinishDrag();
    // The drag of the selection from this tree; P is the hot spot (client).
    virtual void RunOLEDragDrop(TPoint P);
    virtual uint32_t ProposeDropEffect(TObject* Source, TShiftState Shift, TPoint Pt, uint32_t AllowedEffects);
    virtual HRESULT HandleDragEnter(uint32_t KeyState, TPoint Pt, uint32_t& Effect);
    virtual HRESULT HandleDragOver(TObject* Source, uint32_t KeyState, TDragState State, TPoint Pt,
                                   uint32_t& Effect);
    virtual void HandleDragLeave();
    virtual HRESULT HandleDrop(IDataObject* DataObject, uint32_t KeyState, TPoint Pt, uint32_t& Effect);
    virtual void ExpandDropTarget();
    TLTDragOverEvent OnDragOver;
    TLTDragDropEvent OnDragDrop;
    TLTCreateDataObjectEvent OnCreateDataObject;
    TLTGetUserClipboardFormatsEvent OnGetUserClipboardFormats;
    TLTRenderOLEDataEvent OnRenderOLEData;

    // The states flip only through here.
    virtual void SwitchStates(TLazyTreeStates Enter, TLazyTreeStates Leave);
    void DoStateChange(TLazyTreeStates Enter, TLazyTreeStates Leave = {}) { SwitchStates(Enter, Leave); }

    // Hands out internal data areas to tree classes; before any node exists.
    virtual uint32_t ReserveInternalData(uint32_t Size);
    // Sorts node handles by address (for selections and cut/copy sets).
    static void SortNodePointers(TNodeArray& Nodes, int Low, int High);
    // Moves the unmarked entries to the front; -1 for an empty array.
    static int CompactSelection(int Count, TNodeArray& Nodes);

protected:
    // The options class a tree class makes.
    virtual std::unique_ptr<TCustomLazyTreeOptions> MakeOptions();
    // Loading from a form description ended: a top-level count read meanwhile
    // now creates its nodes.
    void Loaded() override;
    void WMTimer(TMessage& M) override;

    // ----- node store internals
    PLazyNode AllocateNode();
    void CreateRootNode(uint32_t OldSize);
    virtual uint32_t VisibleDescendantCount(PLazyNode Node) const;
    virtual void RefreshAllChildrenHidden(PLazyNode Node);
    virtual void RefreshAllChildrenHiddenAll();
    virtual void FireFreeNode(PLazyNode Node);
    virtual bool FireInitChildren(PLazyNode Node, uint32_t& ChildCount);
    virtual void FireInitNode(PLazyNode ParentNode, PLazyNode Node, TLazyNodeInitStates& InitialStates);
    virtual void InitializeChildren(PLazyNode Node);
    virtual void InitializeNode(PLazyNode Node);
    void InitializeNodeNow(PLazyNode Node);
    virtual void LinkNode(PLazyNode Node, PLazyNode Destination, TLTNodeAttachMode Mode, TBaseLazyTree* Target);
    virtual void UnlinkNode(PLazyNode Node, bool KeepFocus, bool ParentClearing, bool Reindex);
    virtual void FireGetNodeDataSize(int& NodeDataSize);
    void DetachAndFreeNode(PLazyNode Node, bool Reindex, bool ParentClearing);
    void ShiftTotalCount(PLazyNode Node, int64_t Value, bool Relative);
    void ShiftTotalHeight(PLazyNode Node, int64_t Value, bool Relative);
    void RecountTotals(PLazyNode Node);
    void RecomputeTotalHeights(PLazyNode Node);
    bool IsLeadingVisibleChild(PLazyNode Parent, PLazyNode Node) const;
    bool IsTrailingVisibleChild(PLazyNode Parent, PLazyNode Node) const;
    bool IsReadOnly() const { return FOptions->MiscOptions().Contains(toReadOnly); }
    bool IsDestroying() const { return InState(csDestroying) || FDestroying; }
    // The start of a node's user data area and of an internal area.
    static char* UserDataOf(PLazyNode Node) { return reinterpret_cast<char*>(Node) + LazyNodeRecordSize; }
    char* InternalDataOf(PLazyNode Node, uint32_t Offset) const;
    // Every tree field that names this node lets go of it (the node is being
    // freed). Tree classes extend it for their own fields.
    virtual void ForgetNode(PLazyNode Node);

    // ----- change notification
    virtual void AdviseChange(bool StructureChange, PLazyNode Node, TChangeReason Reason);
    virtual void RequestChange(PLazyNode Node);
    virtual void RequestStructureChange(PLazyNode Node, TChangeReason Reason);
    virtual void FireChange(PLazyNode Node);
    virtual void FireStructureChange(PLazyNode Node, TChangeReason Reason);
    virtual void FireUpdating(TLTUpdateState State);
    virtual void FireStartOperation(TLTOperationKind Kind);
    virtual void FireEndOperation(TLTOperationKind Kind);
    void ToggleWindowRedraw(bool Updating);

    // ----- position cache (LazyTreesCache.cpp). The process-wide worker
    // builds the cache of a tree with more than 2000 visible nodes; every
    // change of what it reads comes after StopCacheValidation.
    virtual void InvalidatePositionCache();
    virtual void StopCacheValidation();
    virtual void StartCacheValidation();
    // Builds the cache on the calling (UI) thread at once.
    virtual bool BuildPositionCache();
    void SendStateChange(unsigned EnterMask, unsigned LeaveMask);
    virtual void WMChangeState(TMessage& M);

    // ----- check boxes
    virtual bool DeriveParentCheckState(PLazyNode Node, TCheckState NewState);
    virtual TCheckState CheckStateAfterClick(TCheckType Type, TCheckState State) const;
    virtual void CommitCheckState(PLazyNode Node, TCheckState Value);
    virtual void FireChecked(PLazyNode Node);
    virtual bool FireChecking(PLazyNode Node, TCheckState& NewState);
    bool ApplyCheckState(PLazyNode Node, TCheckState Value);

    // ----- toggling
    virtual bool FireExpanding(PLazyNode Node);
    virtual bool FireCollapsing(PLazyNode Node);
    virtual void FireExpanded(PLazyNode Node);
    virtual void FireCollapsed(PLazyNode Node);

    // ----- selection
    virtual void AddToSelection(PLazyNode Node);
    virtual void IncludeNodesInSelection(TNodeArray& Nodes, int Count, bool ForceInsert);
    virtual void DropSelection(bool NotifyChange);
    virtual void ResetTempCache();
    virtual void FireRemoveFromSelection(PLazyNode Node);
    virtual bool LocateInSelection(PLazyNode Node, int& Index, int LowBound = -1, int HighBound = -1) const;
    virtual void StageForSelection(PLazyNode Node);
    virtual void DropAllSelected();
    virtual bool DetachFromSelection(PLazyNode Node);
    virtual void RemoveFromSelection(PLazyNode Node);
    virtual void RememberNextToSelect(PLazyNode Node);
    virtual void ResetAnchor();
    virtual void SelectVisibleRange(PLazyNode StartNode, PLazyNode EndNode, bool AddOnly);
    virtual void ToggleRange(PLazyNode StartNode, PLazyNode EndNode);
    virtual void DeselectRange(PLazyNode StartNode, PLazyNode EndNode);
    bool MergeIntoSelection(TNodeArray& NewItems, int NewLength, bool ForceInsert);
    void IncludeOne(PLazyNode Node, bool ForceInsert);
    void FireAddToSelection(PLazyNode Node);

    // ----- focus
    virtual void MoveFocus(PLazyNode Node, bool Ask = true);
    virtual void FireFocusChanged(PLazyNode Node, TColumnIndex Column);
    virtual bool FireFocusChanging(PLazyNode OldNode, PLazyNode NewNode, TColumnIndex OldColumn, TColumnIndex NewColumn);
    virtual void FocusNodeAndColumn(PLazyNode Node, TColumnIndex Column);
    virtual void AssureFocusedNode();
    // Whether the focus may rest on a node; true without a header.
    virtual bool FocusedNodeAllowed() const { return true; }

    // ----- stream
    virtual void WriteStreamNode(TStream* Stream, PLazyNode Node);
    virtual void WriteStreamChunks(TStream* Stream, PLazyNode Node);
    virtual void CloseChunk(TStream* Stream, int64_t StartPos, int64_t EndPos);
    virtual void ReadStreamNode(TStream* Stream, int Version, PLazyNode Node);
    virtual bool ReadStreamChunk(TStream* Stream, int Version, int32_t ChunkSize, int32_t ChunkType, PLazyNode Node);
    virtual void ReadSubtree(TStream* Stream, int Version, PLazyNode Node);
    virtual void FireSaveNode(PLazyNode Node, TStream* Stream);
    virtual void FireLoadNode(PLazyNode Node, TStream* Stream);
    virtual void FireNodeCopied(PLazyNode Node);
    // Reads the top-level node chunks of a stream behind a checked header.
    void ReadNodeChunks(TStream* Stream, int Version, PLazyNode Target, int64_t Count);

    // ----- sorting and moving
    virtual int FireCompareNodes(PLazyNode Node1, PLazyNode Node2, TColumnIndex Column);
    virtual bool FireNodeCopying(PLazyNode Node, PLazyNode Target);
    virtual bool FireNodeMoving(PLazyNode Node, PLazyNode Target);
    virtual void FireNodeMoved(PLazyNode Node);
    // Automatic sorting acts only when someone can compare nodes.
    bool AutoSortActive() const;

    // ----- hooks of the painting, editing and clipboard steps; each does
    // nothing in this unit
    virtual void CancelEditPending();
    virtual void CancelNodeHint();
    virtual void EmptyClipboard() {}
    virtual void PlaceEditor();
    virtual void ResetIncrementalSearch();
    virtual void NotifyAccessibleStateChange() {}

    // ----- hit testing (LazyTreesHitTest.cpp)
    virtual void ClassifyHitLeftToRight(THitInfo& HitInfo, int X, TAlignment Alignment, int Width);
    virtual void ClassifyHitRightToLeft(THitInfo& HitInfo, int X, TAlignment Alignment, int Width);
    virtual void TrackHotNode(int X, int Y);
    virtual void FireHotChange(PLazyNode OldNode, PLazyNode NewNode);
    virtual void FireGetCursor(TCursor& Cursor);
    virtual bool NodeHasImage(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column);
    bool SplitterMayResizeNode(TPoint P, PLazyNode Node, TColumnIndex Column);
    virtual bool FireCanSplitterResizeNode(TPoint P, PLazyNode Node, TColumnIndex Column);
    virtual bool FireGetCellIsEmpty(PLazyNode Node, TColumnIndex Column);
    virtual int MeasureContentExtent();
    void WMSetCursor(TMessage& M) override;
    // The indent of a node in a column (only the main column has one).
    int HitIndent(PLazyNode Node, TColumnIndex Column) const;

    // ----- mouse (LazyTreesMouse.cpp)
    virtual void MouseDoubleClicked(TMessage& Message, THitInfo& HitInfo);
    virtual void MouseButtonPressed(TMessage& Message, THitInfo& HitInfo);
    virtual void MouseButtonReleased(TMessage& Message, THitInfo& HitInfo);
    virtual void FireNodeClick(const THitInfo& HitInfo);
    virtual void FireNodeDblClick(const THitInfo& HitInfo);
    virtual bool FireNodeHeightTracking(PLazyNode Node, TColumnIndex Column, TShiftState Shift, TPoint& TrackPoint,
                                        TPoint P);
    virtual bool FireNodeHeightDblClickResize(PLazyNode Node, TColumnIndex Column, TShiftState Shift, TPoint P);
    virtual TPopupMenu* FireGetPopupMenu(PLazyNode Node, TColumnIndex Column, TPoint P);
    virtual void ShowNodePopup(PLazyNode Node, TColumnIndex Column, TPoint P);
    virtual bool NodeHasPopup(PLazyNode Node, TColumnIndex Column, TPoint P);
    virtual void FireColumnClick(TColumnIndex Column, TShiftState Shift);
    virtual void FireColumnDblClick(TColumnIndex Column, TShiftState Shift);
    virtual bool FireDragAllowed(PLazyNode Node, TColumnIndex Column);
    void ApplyClickSelection(PLazyNode LastFocused, PLazyNode NewNode, bool AutoDrag, TShiftState ShiftState);
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void WMLButtonDown(TMessage& M) override;
    void WMLButtonUp(TMessage& M) override;
    void WMLButtonDblClk(TMessage& M) override;
    void WMMButtonDown(TMessage& M) override;
    void WMMButtonUp(TMessage& M) override;
    void WMRButtonDown(TMessage& M) override;
    void WMRButtonUp(TMessage& M) override;
    void WMMButtonDblClk(TMessage& M);
    void WMRButtonDblClk(TMessage& M);
    void WMContextMenu(TMessage& M) override;
    // The rubber band.
    bool TrackSelectionRect(int X, int Y);
    bool UpdateRubberBandSelection();

    // ----- keyboard and incremental search (LazyTreesKeys.cpp)
    virtual bool FireKeyAction(uint16_t& CharCode, TShiftState& Shift);
    virtual int FireIncrementalSearch(PLazyNode Node, const QString& Text);
    virtual void SearchKeyTyped(uint16_t CharCode);
    void WMKeyDown(TMessage& M) override;
    void WMKeyUp(TMessage& M) override;
    void WMChar(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    void NavigationKey(uint16_t CharCode, TShiftState Shift);
    void ShowHelpForFocused();

    // ----- wheel panning (LazyTreesPanning.cpp)
    virtual void BeginWheelPanning(TPoint Position);
    virtual void EndWheelPanning();
    virtual void ChoosePanningCursor(int X, int Y);

    // ----- editing (LazyTreesEdit.cpp)
    virtual bool AbortEditing();
    virtual void FireEditing(PLazyNode Node, TColumnIndex Column, bool& Allowed);
    virtual void BeginEditing();
    virtual bool FinishEditing();
    virtual void FireCreateEditor(PLazyNode Node, TColumnIndex Column, ILTEditLinkRef& EditLink);
    // Cancels the running edit; an editor that refuses still loses its cell.
    void DropEdit();

    // ----- window answers (LazyTreesWndProc.cpp)
    void WMSetFocus(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;
    void CMEnter(TMessage& M) override;
    void CMMouseEnter(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;
    void CMHintShow(TMessage& M) override;
    void CMFontChanged(TMessage& M) override;
    void WMNCHitTest(TMessage& M) override;
    void WMCancelMode(TMessage& M);
    void WMThemeChanged(TMessage& M);
    void CMHintShowPause(TMessage& M);
    void WMGetObject(TMessage& M);
    void TVMGetItem(TMessage& M);
    void TVMGetItemRect(TMessage& M);
    void TVMGetNextItem(TMessage& M);
    virtual void FireMouseEnter();
    virtual void FireMouseLeave();
    // Answers the input and window messages of this step; false when the
    // message is not one of them.
    bool InputWndProc(TMessage& M);
    void InputTimer(unsigned ID);

    // ----- the control (LazyTreesControl.cpp)
    virtual std::unique_ptr<TLTHeader> HeaderClass();
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void WMNCCalcSize(TMessage& M) override;
    void WMNCPaint(TMessage& M) override;
    void WMSize(TMessage& M) override;
    void CMColorChanged(TMessage& M) override;
    virtual void PaintControlBorder(TCanvas* DC);
    virtual void HookFontChange(TCanvas* Canvas);
    virtual void FontChangeHandler(TObject* Sender);
    virtual void RefreshStyleEnabled() { FVclStyleEnabled = false; }
    void ApplyWindowTheme(const QString& Name);
    void ChangeLinkChanged();
    // Process resources, made by the first tree.
    static void InitializeProcessResources();

    // ----- view (LazyTreesView.cpp)
    virtual void FireScroll(int DeltaX, int DeltaY);
    // Moves the nodes already drawn by the offsets' change; only what they
    // uncover is painted again.
    void ScrollClientArea(int DeltaX, int DeltaY, const TRect* ClipRect);
    virtual void SetScrollBarVisible(int Bar, bool Show);
    virtual bool AutoScrollAllowed() const;
    virtual TScrollDirections ComputeAutoScrollDirections(int X, int Y);
    virtual void ArmAutoScroll(int X, int Y);
    // The class library's drag start and cancel: a drag object of the
    // application's own is remembered; a cancelled drag finishes the press.
    void DoStartDrag(TDragObject*& DragObject) override;
    void DragCanceled() override;
    virtual void ScrollTimerTick();
    virtual void FireMeasureItem(TCanvas* Canvas, PLazyNode Node, int& NodeHeight);
    void WMVScroll(TMessage& M);
    void WMHScroll(TMessage& M);
    void CMMouseWheel(TMessage& M);
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    // Runs the band of a toggle (the rows that slide while a node opens or
    // closes) as a timed animation.
    void RunToggleBand(const TLTToggleBand& Band);

    // ----- painting
    void Paint() override;
    void WMPrintClient(TMessage& M);
    virtual void FireBeforePaint(TCanvas* Canvas);
    virtual void FireAfterPaint(TCanvas* Canvas);
    virtual bool FireBeforeItemPaint(TCanvas* Canvas, PLazyNode Node, const TRect& ItemRect);
    virtual void FireAfterItemPaint(TCanvas* Canvas, PLazyNode Node, const TRect& ItemRect);
    virtual void FireBeforeItemErase(TCanvas* Canvas, PLazyNode Node, const TRect& ItemRect, TColor& Color,
                                     TItemEraseAction& EraseAction);
    virtual void FireAfterItemErase(TCanvas* Canvas, PLazyNode Node, const TRect& ItemRect);
    virtual void FireBeforeCellPaint(TCanvas* Canvas, PLazyNode Node, TColumnIndex Column, TLTCellPaintMode Mode,
                                     const TRect& CellRect, TRect& ContentRect);
    virtual void FireAfterCellPaint(TCanvas* Canvas, PLazyNode Node, TColumnIndex Column, const TRect& CellRect);
    virtual bool FirePaintBackground(TCanvas* Canvas, const TRect& R);
    virtual void FireBeforeDrawTreeLine(PLazyNode Node, int Level, int& PosX);
    virtual void FireGetLineStyle(const uint16_t*& Bits);
    // The element painters; every one draws in node-row coordinates.
    virtual void EraseNodeBackground(TLTPaintInfo& PaintInfo, bool UseBackground, TRect R);
    virtual void PaintCellBackground(TLTPaintInfo& PaintInfo, int WindowOrgX, int MaxWidth);
    virtual void DrawRubberBandRect(TCanvas* Canvas, int WindowOrgX, TRect SelectionRect, TRect TargetRect);
    virtual void PaintDropMark(TCanvas* Canvas, PLazyNode Node, const TRect& R);
    void PaintStaticBackground(TBitmap* Picture, TCanvas* Canvas, const TRect& R, TPoint Offset);
    void PaintTiledBackground(TBitmap* Picture, TCanvas* Canvas, const TRect& R, TPoint Offset);
    virtual void DrawNodeLines(TLTPaintInfo& PaintInfo, int VAlign, int IndentSize, const TLineImage& LineImage);
    void DrawLineSegment(TLTPaintInfo& PaintInfo, int X, int Y, int H, int VAlign, TLTLineType Style, bool Reverse);
    virtual void DrawDottedHorzLine(TLTPaintInfo& PaintInfo, int Left, int Right, int Top);
    virtual void DrawDottedVertLine(TLTPaintInfo& PaintInfo, int Top, int Bottom, int Left,
                                    bool UseSelectedBkColor = false);
    virtual void PaintExpandButton(TCanvas* Canvas, PLazyNode Node, TColumnIndex Column, const TRect& R,
                                   int ButtonX, int ButtonY, TBiDiMode BidiMode);
    virtual void QueryImageIndex(TLTPaintInfo& PaintInfo, TLTImageKind Kind, TLTImageInfoIndex InfoIndex,
                                 TImageList* DefaultImages);
    virtual void PaintNodeImage(TLTPaintInfo& PaintInfo, TLTImageInfoIndex ImageInfoIndex, bool DoOverlay);
    virtual void DrawCheckImage(TCanvas* Canvas, const TLTImageInfo& ImageInfo, bool Selected);
    // Places an image at the leading edge of the content rectangle and takes
    // its width (plus 2) from the rectangle.
    virtual void PlaceImage(TImageList* ImageList, bool RightToLeft, TLTImageInfo& ImageInfo, TRect& R, int VAlign);
    // The cell content; the string tree paints its texts here.
    virtual void PaintNodeContent(TLTPaintInfo&) {}
    // The selection colour and its border for the current focus.
    TColor SelectionColor() const;
    TColor SelectionBorderColor() const;
    bool HasPaintFocus() const;

    // ----- fields
    PLazyNode FRoot = nullptr;
    int FNodeDataSize = -1;
    uint32_t FTotalInternalDataSize = 0;
    uint32_t FDefaultNodeHeight = 18;
    uint32_t FVisibleCount = 0;
    uint32_t FUpdateCount = 0;
    uint32_t FSynchUpdateCount = 0;
    TLazyTreeStates FStates;
    TNodeArray FSelection;
    int FSelectionCount = 0;
    TNodeArray FSingletonNodeArray;
    TNodeArray FTempNodeCache;
    uint32_t FTempNodeCount = 0;
    int FLastSelectionLevel = -1;
    PLazyNode FLastChangedNode = nullptr;
    PLazyNode FLastStructureChangeNode = nullptr;
    TChangeReason FLastStructureChangeReason = crIgnore;
    PLazyNode FFocusedNode = nullptr;
    PLazyNode FLastSelected = nullptr;
    PLazyNode FCurrentHotNode = nullptr;
    PLazyNode FDropTargetNode = nullptr;
    PLazyNode FRangeAnchor = nullptr;
    PLazyNode FCheckNode = nullptr;
    PLazyNode FLastVCLDragTarget = nullptr;
    uint32_t FVCLDragEffect = 0;
    PLazyNode FLastSearchNode = nullptr;
    PLazyNode FNextNodeToSelect = nullptr;
    PLazyNode FHeightTrackNode = nullptr;
    TCheckState FPendingCheckState = csUncheckedNormal;
    uint32_t FCheckPropagationCount = 0;
    TColumnIndex FFocusedColumn = NoColumn;
    uint32_t FOperationCount = 0;
    bool FOperationCanceled = false;
    int FOffsetX = 0;
    int FOffsetY = 0;
    int FEffectiveOffsetX = 0;
    uint32_t FRangeX = 0;
    uint32_t FRangeY = 0;
    uint32_t FBottomSpace = 0;
    // A range left stale by an update; measured when it is next read.
    bool FRangeXDirty = false, FRangeYDirty = false;
    TRect FHeaderRect;
    TScrollDirections FScrollDirections;
    uint32_t FDragScrollStart = 0;
    TPoint FLastClickPos;
    uint32_t FIndent = 18;
    int FMargin = 4;
    int FTextMargin = 4;
    TLTLineStyle FLineStyle = lsDotted;
    TLTLineMode FLineMode = lmNormal;
    TLTNodeAlignment FNodeAlignment = naProportional;
    QString FEmptyListMessage;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FStateImages = nullptr;
    TCustomImageList* FCustomCheckImages = nullptr;
    TCheckImageKind FCheckImageKind = ckSystemDefault;
    TChangeLink FImageChangeLink, FStateChangeLink, FCustomCheckChangeLink;
    uint32_t FAnimationDuration = 200;
    TAlignment FAlignment = taLeftJustify;
    TBorderStyle FBorderStyle = bsSingle;
    int FBorderWidth = 0;
    TBevelKind FBevelKind = bkNone;
    TBevelCut FBevelInner = bvRaised;
    TBevelCut FBevelOuter = bvLowered;
    TBevelEdges FBevelEdges = {beLeft, beTop, beRight, beBottom};
    int FBevelWidth = 1;
    bool FCtl3D = true;
    TBiDiMode FBiDiMode = bdLeftToRight;
    uint32_t FAutoScrollInterval = 1;
    int FDragThreshold = 5;
    bool FVclStyleEnabled = false;
    std::unique_ptr<TVclStyleScrollBarsHook> FStyleScrollBarsHook;
    bool FInStyleHookDefault = false;
    bool FFontChanged = false;
    bool FChangingTheme = false;
    TGraphicsChange FOldFontChange;
    bool FFontHooked = false;
    std::unique_ptr<TLTColors> FColors;
    std::unique_ptr<TScrollBarOptions> FScrollBarOptions;
    std::unique_ptr<TLTHeader> FHeader;
    // The position cache and the state of its build.
    TCache FPositionCache;
    uint32_t FStartIndex = 0;
    // Bumped by every InvalidatePositionCache: a cache built before the last
    // bump is never taken.
    uint64_t FCacheGeneration = 0;
    // The last node whose top the cache branch of GetDisplayRect found, for
    // the cache generation it holds for.
    PLazyNode FTopMemoNode = nullptr;
    int64_t FTopMemoTop = 0;
    uint64_t FTopMemoGeneration = 0;
    // The generation a slice build on the UI thread runs for (variable
    // heights), and how far it got.
    struct TSliceBuild {
        bool Running = false;
        uint64_t Generation = 0;
        PLazyNode Node = nullptr;
        uint64_t Top = 0;
        uint32_t Visited = 0;
        TCache Entries;
    } FSliceBuild;
    void RunCacheSlice();
    void TakeWorkerCache(uint64_t Generation, TCache Cache, bool Complete);
    void ConstructControl();
    void ReleaseControl();
    bool FControlReleased = false;
    // A measured node's height is being stored (a running slice build goes
    // on with it).
    bool FSettingMeasuredHeight = false;
    // While above 0 (a toggle runs) a validation start waits for its end.
    uint32_t FHoldValidation = 0;
    bool FValidationHeld = false;
    void RegisterTree();
    void UnregisterTree();
    void AcquireWorker();
    void ReleaseWorker();
    uint32_t FTreeId = 0;
    bool FWorkerAcquired = false;
    // Read by the worker while it builds this tree's cache.
    std::atomic<bool> FStopValidationFlag{false};
    bool FRedrawSuppressed = false;
    bool FDestroying = false;
    // While a stream is read: where the enclosing chunk (or the stream) ends.
    int64_t FReadLimit = 0;
    // How deep the node being read lies below the first one read.
    uint32_t FReadDepth = 0;
    // Input, editing and hints.
    TColumnIndex FCurrentHotColumn = NoColumn;
    bool FHotNodeButtonHit = false;
    TColumnIndex FHeightTrackColumn = NoColumn;
    TPoint FHeightTrackPoint;
    TShiftState FDrawSelShiftState = 0;
    TRect FNewSelRect, FLastSelRect;
    TColumnIndex FEditColumn = NoColumn;
    ILTEditLinkRef FEditLink;
    QString FSearchBuffer;
    TLTHintData FHintData;
    TRect FLastHintRect;
    TPopupForm* FPanningWindow = nullptr;
    QString FPanningCursorName;
    // The pending edit was armed by a double click (its release keeps it).
    bool FEditFromDblClick = false;
    std::unique_ptr<TCustomLazyTreeOptions> FOptions;
    std::shared_ptr<TClipboardFormats> FClipboardFormats;  // made when first asked for
    // The exchange's own state (tree id, clipboard watch), made when first needed.
    std::shared_ptr<struct TLTExchangeState> FExchange;
    virtual void FireRenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard,
                                   HRESULT& Result);
    virtual std::shared_ptr<IDataObject> FireCreateDataObject();
    virtual void FireGetUserClipboardFormats(TFormatEtcArray& Formats);
    TLTExchangeState& Exchange();
    virtual bool FireDragOver(TObject* Source, TShiftState Shift, TDragState State, TPoint Pt, TDropMode Mode,
                              uint32_t& Effect);
    virtual void FireDragDrop(TObject* Source, IDataObject* DataObject, const QList<TClipFormat>& Formats,
                              TShiftState Shift, TPoint Pt, uint32_t& Effect, TDropMode Mode);
    // The shift state of a drag's key state, with the buttons the tree saw go down.
    TShiftState DragShiftState(uint32_t KeyState);
    // The selected nodes around the hot spot (client), DragWidth x DragHeight.
    std::unique_ptr<TBitmap> DragPicture(TPoint HotSpot);
    friend class TLTDragManager;
    // The clipboard's content as a data object (a test may fail it).
    virtual HRESULT OpenClipboardData(std::shared_ptr<IDataObject>& Data);
    // Painting state.
    TRect FUpdateRect;
    TDropMode FLastDropMode = dmNowhere;
    TPicture FBackground;
    int FBackgroundOffsetX = 0, FBackgroundOffsetY = 0;
    std::unique_ptr<TBitmap> FPlusBM, FMinusBM, FHotPlusBM, FHotMinusBM, FSelectedHotPlusBM, FSelectedHotMinusBM;
    bool FButtonsBuilt = false;
    // What the buttons and the line pattern were last made from.
    QList<uint64_t> FButtonKey;
    QList<uint64_t> ButtonBitmapKey() const;
    // The row bitmap PaintTree composes in (nil when painting unbuffered).
    TBitmap* FPaintBitmap = nullptr;
    uint16_t FLinePattern[8] = {};
    // The pattern brush of the dotted lines, made for one pair of colours.
    std::unique_ptr<TBitmap> FDottedBrush;
    TColor FDottedFore = clNone, FDottedBack = clNone;

    friend class TCustomLazyTreeOptions;
    friend struct TLazyNode;
    friend class TLTHeader;
    friend class TLazyTreeColumns;
    friend class TLazyTreeColumn;
    friend class TLTColors;
    friend class TScrollBarOptions;
    friend class TLTWorkerThread;
    friend class TStringEditLink;
    friend class TLTEdit;

private:
    void ExpandOrCollapse(PLazyNode Node);
    TLTToggleMeasures ToggleMeasures(PLazyNode Node, int ShownOrDelta);
    int TextAreaExtra(PLazyNode Node, bool MainColumnHit) const;
    void CopyNodes(PLazyNode Source, PLazyNode Target, TBaseLazyTree* TargetTree, TLTNodeAttachMode Mode,
                   bool ChildrenOnly, bool Move, PLazyNode& LastNode);
    PLazyNode MergeSortChildren(PLazyNode List, uint32_t Count, TColumnIndex Column, TSortDirection Direction);
    PLazyNode MergeSiblingLists(PLazyNode A, PLazyNode B, TColumnIndex Column, TSortDirection Direction);
    void SortSubtreeRecursive(PLazyNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit);
    void ApplyShowFilteredNodes(bool Added);
    void FilteredNodesChanged(bool Added);
    PLazyNode NextOutsideSubtree(PLazyNode Node) const;

    // Typed user data records: which nodes hold a made record, and how the
    // record type is destroyed.
    std::unordered_map<PLazyNode, bool> FRecordNodes;
    void (*FRecordDestroy)(void*) = nullptr;
    const void* FRecordType = nullptr;
    void DestroyNodeRecord(PLazyNode Node);
    [[noreturn]] void RecordTypeMismatch() const;
};

template <class T>
T* TBaseLazyTree::GetNodeRecord(PLazyNode Node) {
    static_assert(alignof(T) <= 8, "node records are 8-byte aligned");
    static const char typeTag = 0;
    void* p = GetNodeData(Node);
    if (!p) return nullptr;
    if (FNodeDataSize < int(sizeof(T))) RecordTypeMismatch();
    if (FRecordType && FRecordType != &typeTag) RecordTypeMismatch();
    FRecordType = &typeTag;
    FRecordDestroy = [](void* q) { static_cast<T*>(q)->~T(); };
    auto it = FRecordNodes.find(Node);
    if (it == FRecordNodes.end()) {
        // Zero bytes are not a record: construct it over the area first.
        new (p) T();
        FRecordNodes.emplace(Node, true);
    }
    return std::launder(static_cast<T*>(p));
}

// Raises EAssertionFailed with the text when the condition fails.
void LTAssert(bool condition, const QString& text);

// The string tree (its own header, which stands on this one).
#include "treeview/LazyStringTree.h"

// ---------------------------------------------------------------------------
// The draw tree
// ---------------------------------------------------------------------------

// The tree whose cells the application draws: it measures and places cell
// content only through its events.
using TLTGetCellContentMarginEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* HintCanvas, PLazyNode Node, TColumnIndex Column,
                       TLTCellContentMarginType CellContentMarginType, TPoint& CellContentMargin)>;
using TLTGetNodeWidthEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* HintCanvas, PLazyNode Node,
                                                TColumnIndex Column, int& NodeWidth)>;

class TCustomLazyDrawTree : public TBaseLazyTree {
    KAL_CLASS(TCustomLazyDrawTree, TBaseLazyTree)
public:
    using TBaseLazyTree::TBaseLazyTree;
    TPoint CellContentMargin(PLazyNode Node, TColumnIndex Column, TLTCellContentMarginType CellContentMarginType,
                             TCanvas* Canvas = nullptr) override;
    int NodeWidth(PLazyNode Node, TColumnIndex Column, TCanvas* Canvas) override;
    TLTHintKind DefaultHintKind() const override { return vhkOwnerDraw; }
    TLTGetCellContentMarginEvent OnGetCellContentMargin;
    TLTGetNodeWidthEvent OnGetNodeWidth;
};

class TLazyDrawTree : public TCustomLazyDrawTree {
    KAL_CLASS(TLazyDrawTree, TCustomLazyDrawTree)
public:
    explicit TLazyDrawTree(TComponent* AOwner);
    TLazyTreeOptions* TreeOptions() const { return static_cast<TLazyTreeOptions*>(FOptions.get()); }
    void SetTreeOptions(const TLazyTreeOptions* Value) { FOptions->Assign(Value); }

protected:
    std::unique_ptr<TCustomLazyTreeOptions> MakeOptions() override;
};
