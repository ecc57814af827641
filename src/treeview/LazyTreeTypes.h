#pragma once
// The lazy tree's plain types: the node record, the flag enumerations and the
// sets over them, the errors. Bit n of every set is the member with ordinal n
// of its enumeration, so the numbers an application or a stream stores are
// the sets' raw bits.
#include "platform/core/Exceptions.h"

#include <QList>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>

// A set over an enumeration, held in an unsigned integer of the width the
// set is declared with.
template <class E, class T>
class TLTSet {
public:
    using Storage = T;
    constexpr TLTSet() = default;
    constexpr TLTSet(std::initializer_list<E> items) {
        for (E e : items) FBits |= Bit(e);
    }
    static constexpr TLTSet FromBits(T bits) {
        TLTSet s;
        s.FBits = bits;
        return s;
    }
    constexpr T Bits() const { return FBits; }
    constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TLTSet& Include(E e) {
        FBits |= Bit(e);
        return *this;
    }
    constexpr TLTSet& Exclude(E e) {
        FBits &= T(~Bit(e));
        return *this;
    }
    constexpr TLTSet& Include(TLTSet s) {
        FBits |= s.FBits;
        return *this;
    }
    constexpr TLTSet& Exclude(TLTSet s) {
        FBits &= T(~s.FBits);
        return *this;
    }
    // Union, difference, intersection, as the class library writes them.
    friend constexpr TLTSet operator+(TLTSet a, TLTSet b) { return FromBits(T(a.FBits | b.FBits)); }
    friend constexpr TLTSet operator-(TLTSet a, TLTSet b) { return FromBits(T(a.FBits & ~b.FBits)); }
    friend constexpr TLTSet operator*(TLTSet a, TLTSet b) { return FromBits(T(a.FBits & b.FBits)); }
    friend constexpr bool operator==(TLTSet a, TLTSet b) { return a.FBits == b.FBits; }
    friend constexpr bool operator!=(TLTSet a, TLTSet b) { return a.FBits != b.FBits; }
    // Every member of s is in this set.
    constexpr bool ContainsAll(TLTSet s) const { return (FBits & s.FBits) == s.FBits; }
    constexpr bool ContainsAny(TLTSet s) const { return (FBits & s.FBits) != 0; }

private:
    static constexpr T Bit(E e) { return T(T(1) << unsigned(e)); }
    T FBits = 0;
};

// ---------------------------------------------------------------------------
// Node states, check boxes, the node record
// ---------------------------------------------------------------------------

enum TLazyNodeState : uint8_t {
    vsInitialized, vsChecking, vsCutOrCopy, vsDisabled, vsDeleting, vsExpanded, vsHasChildren,
    vsVisible, vsSelected, vsOnFreeNodeCallRequired, vsAllChildrenHidden,
    vsReleaseCallOnUserDataRequired, vsMultiline, vsHeightMeasured, vsToggling, vsFiltered,
    vsInitializing,
};
using TLazyNodeStates = TLTSet<TLazyNodeState, uint32_t>;

enum TLazyNodeInitState : uint8_t {
    ivsDisabled, ivsExpanded, ivsHasChildren, ivsMultiline, ivsSelected, ivsFiltered, ivsReInit,
};
using TLazyNodeInitStates = TLTSet<TLazyNodeInitState, uint8_t>;

enum TCheckType : uint8_t { ctNone, ctTriStateCheckBox, ctCheckBox, ctRadioButton, ctButton };

enum TCheckState : uint8_t {
    csUncheckedNormal, csUncheckedPressed, csCheckedNormal, csCheckedPressed, csMixedNormal,
    csMixedPressed, csUncheckedDisabled, csCheckedDisabled, csMixedDisabled,
};

struct TLazyNode;
using PLazyNode = TLazyNode*;
using TNodeArray = QList<PLazyNode>;

// One node. The record is followed in its memory block by the application's
// user data and then by the internal areas of the tree classes, each starting
// on an 8-byte boundary. Applications read Index, Parent, CheckType and
// CheckState directly, so the fields and their order are fixed.
struct TLazyNode {
    uint32_t Index;
    uint32_t ChildCount;
    uint16_t NodeHeight;
    TLazyNodeStates States;
    uint8_t Align;
    TCheckState CheckState;
    TCheckType CheckType;
    uint8_t Dummy;
    uint32_t TotalCount;
    uint32_t TotalHeight;
    // The top-level nodes have the hidden root as parent; the root's own
    // Parent names the tree object and is never followed as a node.
    PLazyNode Parent;
    PLazyNode PrevSibling;
    PLazyNode NextSibling;
    PLazyNode FirstChild;
    PLazyNode LastChild;

    static bool IsAssigned(const TLazyNode* node) { return node != nullptr; }
    // The user data area (right behind the record); marks the node so that
    // its OnFreeNode runs even when it was never initialized.
    void* GetData();
    template <class T>
    T* GetData() {
        return static_cast<T*>(GetData());
    }
    // Stores a pointer in the first bytes of the user data area.
    void SetData(void* value);
    // Stores a new reference to a shared object; the reference is released
    // when the node is freed.
    void SetData(const std::shared_ptr<void>& value);
};

// The record's layout is part of the contract with applications.
static_assert(offsetof(TLazyNode, Index) == 0);
static_assert(offsetof(TLazyNode, ChildCount) == 4);
static_assert(offsetof(TLazyNode, NodeHeight) == 8);
static_assert(offsetof(TLazyNode, States) == 12);
static_assert(offsetof(TLazyNode, Align) == 16);
static_assert(offsetof(TLazyNode, CheckState) == 17);
static_assert(offsetof(TLazyNode, CheckType) == 18);
static_assert(offsetof(TLazyNode, TotalCount) == 20);
static_assert(offsetof(TLazyNode, TotalHeight) == 24);
static_assert(offsetof(TLazyNode, Parent) == 32);
static_assert(offsetof(TLazyNode, LastChild) == 64);
static_assert(sizeof(TLazyNode) % 8 == 0);

// Size of the record in a node block; the user data starts here.
constexpr int LazyNodeRecordSize = int(sizeof(TLazyNode));

// ---------------------------------------------------------------------------
// Tree states
// ---------------------------------------------------------------------------

enum TLazyTreeState : uint8_t {
    tsCancelHintAnimation, tsChangePending, tsCheckPropagation, tsCollapsing,
    tsToggleFocusedSelection, tsClearPending, tsClipboardFlushing, tsCopyPending, tsCutPending,
    tsDrawSelPending, tsDrawSelecting, tsEditing, tsEditPending, tsExpanding, tsNodeHeightTracking,
    tsNodeHeightTrackPending, tsHint, tsInAnimation, tsIncrementalSearching,
    tsIncrementalSearchPending, tsIterating, tsKeyCheckPending, tsLeftButtonDown, tsLeftDblClick,
    tsMouseCheckPending, tsMiddleButtonDown, tsMiddleDblClick, tsNeedRootCountUpdate,
    tsOLEDragging, tsOLEDragPending, tsPainting, tsRightButtonDown, tsRightDblClick,
    tsPopupMenuShown, tsScrolling, tsScrollPending, tsSizing, tsStopValidation,
    tsStructureChangePending, tsSynchMode, tsThumbTracking, tsToggling,
    tsUpdateHiddenChildrenNeeded, tsUpdating, tsUseCache, tsUserDragObject, tsUseThemes,
    tsValidating, tsPreviouslySelectedLocked, tsValidationNeeded, tsVCLDragging,
    tsVCLDragPending, tsVCLDragFinished, tsWheelPanning, tsWheelScrolling, tsWindowCreating,
    tsUseExplorerTheme,
};
static_assert(tsUseExplorerTheme == 56, "57 tree states");
using TLazyTreeStates = TLTSet<TLazyTreeState, uint64_t>;

// ---------------------------------------------------------------------------
// Small enumerations
// ---------------------------------------------------------------------------

enum TChangeReason : uint8_t {
    crIgnore, crAccumulated, crChildAdded, crChildDeleted, crNodeAdded, crNodeCopied, crNodeMoved,
};
enum TLTNodeAttachMode : uint8_t { amNoWhere, amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast };
enum TLTOperationKind : uint8_t { okAutoFitColumns, okGetMaxColumnWidth, okSortNode, okSortTree, okExport, okExpand };
enum TLTUpdateState : uint8_t { usBegin, usBeginSynch, usSynch, usUpdate, usEnd, usEndSynch };
enum TSortDirection : uint8_t { sdAscending, sdDescending };
enum TLTNodeAlignment : uint8_t { naFromBottom, naFromTop, naProportional };
enum TLTExportMode : uint8_t { emAll, emChecked, emUnchecked, emVisibleDueToExpansion, emSelected };

// A column of the header: -1 no column, -2 an invalid column.
using TColumnIndex = int32_t;
constexpr TColumnIndex NoColumn = -1;
constexpr TColumnIndex InvalidColumn = -2;

// ---------------------------------------------------------------------------
// Options
// ---------------------------------------------------------------------------

enum TLTPaintOption : uint8_t {
    toHideFocusRect, toHideSelection, toHotTrack, toPopupMode, toShowBackground, toShowButtons,
    toShowDropmark, toShowHorzGridLines, toShowRoot, toShowTreeLines, toShowVertGridLines,
    toThemeAware, toUseBlendedImages, toGhostedIfUnfocused, toFullVertGridLines,
    toAlwaysHideSelection, toUseBlendedSelection, toStaticBackground, toChildrenAbove,
    toFixedIndent, toUseExplorerTheme, toHideTreeLinesIfThemed, toShowFilteredNodes,
};
using TLTPaintOptions = TLTSet<TLTPaintOption, uint32_t>;

enum TLTAnimationOption : uint8_t { toAnimatedToggle, toAdvancedAnimatedToggle };
using TLTAnimationOptions = TLTSet<TLTAnimationOption, uint8_t>;

enum TLTAutoOption : uint8_t {
    toAutoDropExpand, toAutoExpand, toAutoScroll, toAutoScrollOnExpand, toAutoSort,
    toAutoSpanColumns, toAutoTristateTracking, toAutoHideButtons, toAutoDeleteMovedNodes,
    toDisableAutoscrollOnFocus, toAutoChangeScale, toAutoFreeOnCollapse, toDisableAutoscrollOnEdit,
    toAutoBidiColumnOrdering,
};
using TLTAutoOptions = TLTSet<TLTAutoOption, uint16_t>;

enum TLTSelectionOption : uint8_t {
    toDisableDrawSelection, toExtendedFocus, toFullRowSelect, toLevelSelectConstraint,
    toMiddleClickSelect, toMultiSelect, toRightClickSelect, toSiblingSelectConstraint,
    toCenterScrollIntoView, toSimpleDrawSelection, toAlwaysSelectNode, toRestoreSelection,
};
using TLTSelectionOptions = TLTSet<TLTSelectionOption, uint16_t>;

enum TLTMiscOption : uint8_t {
    toAcceptOLEDrop, toCheckSupport, toEditable, toFullRepaintOnResize, toGridExtensions,
    toInitOnSave, toReportMode, toToggleOnDblClick, toWheelPanning, toReadOnly,
    toVariableNodeHeight, toFullRowDrag, toNodeHeightResize, toNodeHeightDblClickResize,
    toEditOnClick, toEditOnDblClick, toReverseFullExpandHotKey,
};
using TLTMiscOptions = TLTSet<TLTMiscOption, uint32_t>;

enum TLTStringOption : uint8_t { toSaveCaptions, toShowStaticText, toAutoAcceptEditChange };
using TLTStringOptions = TLTSet<TLTStringOption, uint8_t>;

// The single option set of older form descriptions; read only.
enum TOldLTOption : uint8_t {
    voAcceptOLEDrop, voAnimatedToggle, voAutoDropExpand, voAutoExpand, voAutoScroll, voAutoSort,
    voAutoSpanColumns, voAutoTristateTracking, voCheckSupport, voDisableDrawSelection, voEditable,
    voExtendedFocus, voFullRowSelect, voGridExtensions, voHideFocusRect, voHideSelection,
    voHotTrack, voInitOnSave, voLevelSelectConstraint, voMiddleClickSelect, voMultiSelect,
    voRightClickSelect, voPopupMode, voShowBackground, voShowButtons, voShowDropmark,
    voShowHorzGridLines, voShowRoot, voShowTreeLines, voShowVertGridLines,
    voSiblingSelectConstraint, voToggleOnDblClick,
};

// ---------------------------------------------------------------------------
// Errors
// ---------------------------------------------------------------------------

// Errors that data can cause (a broken stream, an impossible move), with the
// help context that names the error.
KAL_DECLARE_EXCEPTION(ELazyTreeError, Exception)

// Help contexts of ELazyTreeError.
enum : int {
    hcTFEditLinkIsNil = 2000,
    hcTFWrongMoveError = 2001,
    hcTFWrongStreamFormat = 2002,
    hcTFWrongStreamVersion = 2003,
    hcTFStreamTooSmall = 2004,
    hcTFCorruptStream1 = 2005,
    hcTFCorruptStream2 = 2006,
    hcTFClipboardFailed = 2007,
};
