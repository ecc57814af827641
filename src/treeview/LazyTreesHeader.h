#pragma once
// The tree's header: its columns (TLazyTreeColumn in the collection
// TLazyTreeColumns) and the header object TLTHeader with its layout rules.
//
// A column index is a signed number (-1 no column, -2 an invalid one); a
// column position is its place from left to right. The collection keeps the
// position array (entry p = index of the column shown at p) and every
// column's left edge. The header lies in the tree window's non-client area
// above the client area; its rectangle (the tree's FHeaderRect) is kept in
// window coordinates.
#include "platform/controls/Controls.h"
#include "platform/core/Collections.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImageList.h"
#include "treeview/LazyTreeTypes.h"
#include "treeview/LazyTreesDragImage.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

#include <memory>

class TBaseLazyTree;
class TLazyTreeColumns;
class TLTHeader;
class TCustomForm;

enum TBiDiMode : uint8_t { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TLazyTreeColumnStyle : uint8_t { vsText, vsOwnerDraw };
enum TLTHeaderColumnLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

enum TLTColumnOption : uint8_t {
    coAllowClick, coDraggable, coEnabled, coParentBidiMode, coParentColor, coResizable, coShowDropMark, coVisible,
    coAutoSpring, coFixed, coSmartResize, coAllowFocus, coDisableAnimatedResize, coWrapCaption,
    coUseCaptionAlignment, coEditable,
};
using TLTColumnOptions = TLTSet<TLTColumnOption, uint16_t>;
constexpr TLTColumnOptions DefaultColumnOptions = TLTColumnOptions::FromBits(0x88FF);

enum TLTHeaderOption : uint8_t {
    hoAutoResize, hoColumnResize, hoDblClickResize, hoDrag, hoHotTrack, hoOwnerDraw, hoRestrictDrag, hoShowHint,
    hoShowImages, hoShowSortGlyphs, hoVisible, hoAutoSpring, hoFullRepaintOnResize, hoDisableAnimatedResize,
    hoHeightResize, hoHeightDblClickResize, hoHeaderClickAutoSort, hoAutoColumnPopupMenu,
};
using TLTHeaderOptions = TLTSet<TLTHeaderOption, uint32_t>;
constexpr TLTHeaderOptions DefaultHeaderOptions = TLTHeaderOptions::FromBits(0x20A);

enum THeaderState : uint8_t {
    hsAutoSizing, hsDragging, hsDragPending, hsLoading, hsColumnWidthTracking, hsColumnWidthTrackPending,
    hsHeightTracking, hsHeightTrackPending, hsResizing, hsScaling, hsNeedScaling,
};
using THeaderStates = TLTSet<THeaderState, uint16_t>;
enum TLTHeaderStyle : uint8_t { hsThickButtons, hsFlatButtons, hsPlates };

// Which nodes auto-fit measures: those in view for every column, all visible
// ones for every column, or by each column's coSmartResize.
enum TSmartAutoFitType : uint8_t { smaAllColumns, smaNoColumn, smaUseColumnOption };

// The drop mark a column shows while another column is dragged over it.
enum TLTDropMarkMode : uint8_t { dmmNone, dmmLeft, dmmRight };
// The parts of a header cell an application may draw itself.
enum THeaderPaintElement : uint8_t { hpeBackground, hpeDropMark, hpeHeaderGlyph, hpeSortGlyph, hpeText };
using THeaderPaintElements = TLTSet<THeaderPaintElement, uint8_t>;

// What the header's owner-draw events get about the cell being painted.
struct THeaderPaintInfo {
    TCanvas* TargetCanvas = nullptr;
    class TLazyTreeColumn* Column = nullptr;
    TRect PaintRectangle;
    TRect TextRectangle;
    bool IsHoverIndex = false;
    bool IsDownIndex = false;
    bool IsEnabled = false;
    bool ShowHeaderGlyph = false;
    bool ShowSortGlyph = false;
    bool ShowRightBorder = false;
    TLTDropMarkMode DropMark = dmmNone;
    TPoint GlyphPos;
    TPoint SortGlyphPos;
};

// The DrawEdge edge and flags of a header cell by the header style: pressed,
// hot (plates only) or normal; normal and hot cells get BF_RIGHT when they
// show their right border.
struct THeaderEdge {
    unsigned Edge = 0;
    unsigned Flags = 0;
};
THeaderEdge HeaderCellEdge(enum TLTHeaderStyle Style, bool Pressed, bool Hot, bool RightBorder);

// What a click in the header hit.
enum TLTHeaderHitPosition : uint8_t { hhiNoWhere, hhiOnColumn, hhiOnIcon, hhiOnCheckbox };
using TLTHeaderHitPositions = TLTSet<TLTHeaderHitPosition, uint8_t>;
struct TLTHeaderHitInfo {
    int X = 0, Y = 0;  // the header point: client x, client y plus the header height
    TMouseButton Button = mbLeft;
    TShiftState Shift = 0;
    TColumnIndex Column = NoColumn;
    TLTHeaderHitPositions HitPosition;
};

// Form properties as name/value pairs, in the order they are written.
using TLTPropertyList = QList<QPair<QString, QVariant>>;

using TColumnPosition = uint32_t;
using TIndexArray = QList<TColumnIndex>;
using TColumnsArray = QList<class TLazyTreeColumn*>;

// ---------------------------------------------------------------------------
// One column
// ---------------------------------------------------------------------------

class TLazyTreeColumn : public TCollectionItem {
    KAL_CLASS(TLazyTreeColumn, TCollectionItem)
public:
    explicit TLazyTreeColumn(TCollection* Collection);
    void AfterConstruction() override;
    // The removal bookkeeping runs here, while the collection still holds it.
    void BeforeDestruction() override;

    TLazyTreeColumns* Owner() const;
    TLTHeader* Header() const;
    TBaseLazyTree* Tree() const;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment V);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode V);
    TAlignment CaptionAlignment() const {
        return FOptions.Contains(coUseCaptionAlignment) ? FCaptionAlignment : FAlignment;
    }
    void SetCaptionAlignment(TAlignment V);
    QString CaptionText() const { return FCaptionText; }
    TColor Color() const { return FColor; }
    void SetColor(TColor V);
    bool CheckBox() const { return FCheckBox; }
    void SetCheckBox(bool V);
    TCheckState CheckState() const { return FCheckState; }
    void SetCheckState(TCheckState V);
    TCheckType CheckType() const { return FCheckType; }
    void SetCheckType(TCheckType V);
    TSortDirection DefaultSortDirection = sdAscending;
    QString Hint;
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int V);
    TLTHeaderColumnLayout Layout() const { return FLayout; }
    void SetLayout(TLTHeaderColumnLayout V);
    int Margin() const { return FMargin; }
    void SetMargin(int V);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int V);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int V);
    TLTColumnOptions Options() const { return FOptions; }
    void SetOptions(TLTColumnOptions V);
    TColumnPosition Position() const { return FPosition; }
    void SetPosition(TColumnPosition V);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int V);
    TLazyTreeColumnStyle Style() const { return FStyle; }
    void SetStyle(TLazyTreeColumnStyle V);
    intptr_t Tag = 0;
    virtual QString Text() const { return FText; }
    virtual void SetText(const QString& V);
    int Width() const { return FWidth; }
    void SetWidth(int V);
    // Scroll-adjusted left edge (a visible fixed column does not scroll).
    int Left() const;
    int LastWidth() const { return FLastWidth; }
    bool BonusPixel = false;
    float SpringRest = 0;

    virtual void GetRect(TRect& R) const;
    void UnscrolledBounds(int& ALeft, int& ARight) const {
        ALeft = FLeft;
        ARight = FLeft + FWidth;
    }
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    void ParentBiDiModeChanged();
    void ParentColorChanged();
    void RestoreLastWidth();
    QString GetDisplayName() const override;
    void Assign(const TPersistent* Source) override;
    bool Equals(const TLazyTreeColumn* Other) const;
    // Places the image or check box, the sort glyph and the caption in the
    // cell's client rectangle (LazyTreesHeaderPaint.cpp).
    void PlaceHeaderCellContent(TCanvas* DC, const TRect& Client, bool UseHeaderGlyph, bool UseSortGlyph,
                                TPoint& HeaderGlyphPos, TPoint& SortGlyphPos, TSize& SortGlyphSize,
                                TRect& TextBounds, unsigned DrawFormat);
    bool HasImage() const { return FHasImage; }
    TRect ImageRect() const { return FImageRect; }
    // The column's own form properties: "WideText" and "WideHint", each only
    // when not empty (LazyTreesHeaderStream.cpp).
    TLTPropertyList DefinedProperties() const;
    // False for a name the column does not define.
    bool ReadDefinedProperty(const QString& Name, const QVariant& Value);
    // The published properties that differ from a new column's, then the
    // defined ones: one item of the "Columns" collection value.
    TLTPropertyList StoredProperties() const;
    // Sets one property of an item of "Columns" through its writer; false
    // for an unknown name.
    bool ReadStoredProperty(const QString& Name, const QVariant& Value);
    // The column record of the header stream (LazyTreesHeaderStream.cpp).
    virtual void SaveToStream(TStream* Stream);
    virtual void LoadFromStream(TStream* Stream, int Version);

protected:
    friend class TLazyTreeColumns;
    friend class TLTHeader;
    // The item changed: the collection runs its change handling for it.
    void NotifyChanged() { Changed(false); }

    QString FText;
    int FLeft = 0;
    int FWidth = 50;
    TColumnPosition FPosition = 0;
    int FMinWidth = 10;
    int FMaxWidth = 10000;
    TLazyTreeColumnStyle FStyle = vsText;
    int FImageIndex = -1;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TLTHeaderColumnLayout FLayout = blGlyphLeft;
    int FMargin = 4;
    int FSpacing = 3;
    TLTColumnOptions FOptions = DefaultColumnOptions;
    TAlignment FAlignment = taLeftJustify;
    TAlignment FCaptionAlignment = taLeftJustify;
    int FLastWidth = 50;
    TColor FColor = clWindow;
    QString FCaptionText;
    QString FCaptionTextSource;  // the text FCaptionText was wrapped from
    bool FCheckBox = false;
    TCheckType FCheckType = ctCheckBox;
    TCheckState FCheckState = csUncheckedNormal;
    TRect FImageRect;
    bool FHasImage = false;
};

// ---------------------------------------------------------------------------
// The column collection
// ---------------------------------------------------------------------------

class TLazyTreeColumns : public TCollection {
    KAL_CLASS(TLazyTreeColumns, TCollection)
public:
    explicit TLazyTreeColumns(TLTHeader* AOwner);
    ~TLazyTreeColumns() override;
    TPersistent* GetOwner() const override;
    TLTHeader* Header() const { return FHeader; }

    virtual TLazyTreeColumn* Add();
    virtual void ClearColumns();
    TLazyTreeColumn* Items(int Index) const { return static_cast<TLazyTreeColumn*>(TCollection::Items(Index)); }
    void SetItem(int Index, TLazyTreeColumn* Value) { Items(Index)->Assign(Value); }
    bool IsValidColumn(TColumnIndex Column) const { return Column >= 0 && Column < Count(); }

    virtual TColumnIndex ColumnFromPosition(TPoint P, bool Relative = true) const;
    virtual TColumnIndex ColumnFromPosition(TColumnPosition PositionIndex) const;
    void GetColumnBounds(TColumnIndex Column, int& ALeft, int& ARight) const;
    TColumnIndex GetFirstColumn() const;
    TColumnIndex GetNextColumn(TColumnIndex Column) const;
    TColumnIndex GetPreviousColumn(TColumnIndex Column) const;
    TColumnIndex GetFirstVisibleColumn(bool ConsiderAllowFocus = false) const;
    TColumnIndex GetLastVisibleColumn(bool ConsiderAllowFocus = false) const;
    TColumnIndex GetNextVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus = false) const;
    TColumnIndex GetPreviousVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus = false) const;
    TColumnsArray GetVisibleColumns() const;
    int GetVisibleFixedWidth() const;
    int GetScrollWidth() const;
    int TotalWidth() const;
    // Sets the width at once (the header has no painting of its own yet).
    void AnimatedResize(TColumnIndex Column, int NewWidth);
    void Assign(const TPersistent* Source) override;
    bool Equals(const TLazyTreeColumns* Other) const;
    // Paints the header area R (window coordinates) onto DC through the
    // header bitmap; HOffset is the negated horizontal scroll offset.
    virtual void PaintHeader(TCanvas* DC, const TRect& R, int HOffset);
    // Paints the part R of the column strip (x from the first column's left)
    // onto TargetCanvas with R's top-left at Target.
    virtual void PaintHeader(TCanvas* TargetCanvas, TRect R, TPoint Target, int RTLOffset = 0);
    // One caption: shortened to "..." unless wrapped, embossed when disabled.
    void DrawHeaderCaption(TCanvas* DC, const QString& Caption, TRect Bounds, bool Enabled, bool Hot,
                           unsigned DrawFormat, bool WrapCaption);
    // The header bitmap the device-context form paints into.
    TBitmap* HeaderBitmap() const { return FHeaderBitmap.get(); }
    // The column block of the header stream.
    virtual void SaveToStream(TStream* Stream);
    virtual void LoadFromStream(TStream* Stream, int Version);

    int DefaultWidth = 50;
    TColumnIndex HoverIndex() const { return FHoverIndex; }
    // The hot and the pressed column as the header's mouse handling sets
    // them; a change repaints the header.
    void SetHoverIndex(TColumnIndex Value);
    // The column under the client point becomes the hot one; true when it changed.
    bool UpdateHoverIndex(TPoint P);
    // The column under the client point becomes the pressed one when it
    // may be clicked; answers the column under the point.
    TColumnIndex UpdateDownIndex(TPoint P);
    bool CanSplitterResize(TPoint P, TColumnIndex Column);
    // A click or double click at the client point with the button.
    void EvaluateHeaderClick(TPoint P, TMouseButton Button, bool Force, bool DblClick);
    TColumnIndex DropTarget() const { return FDropTarget; }
    bool DropBefore() const { return FDropBefore; }
    TColumnIndex DragIndex() const { return FDragIndex; }
    void SetDownIndex(TColumnIndex Value, bool OnCheckBox = false);
    TColumnIndex DownIndex() const { return FDownIndex; }
    TColumnIndex TrackIndex() const { return FTrackIndex; }
    TColumnIndex ClickIndex() const { return FClickIndex; }
    const TIndexArray& PositionToIndex() const { return FPositionToIndex; }

    // Position array maintenance.
    void RecalcColumnLefts(bool Force);
    void RebuildPositionArray();
    void ResetPositions(bool Reversed);
    void SyncPositionArrayLength();
    void MovePosition(TLazyTreeColumn* Column, TColumnPosition NewPosition);
    void RemoveIndexFromPositions(TColumnIndex Index);
    void FitAutoSizeColumn(TColumnIndex ChangedColumn, bool Force);
    TColumnIndex ColumnBoundsAt(TPoint P, int& ALeft, bool Relative, int& ARight) const;
    bool NeedPositionsFix() const { return FNeedPositionsFix; }
    // The automatic column menu of a right click at P (client coordinates
    // of the tree): made anew each time, freed with the collection
    // (LazyTreesHeaderPopup.cpp).
    void PopupColumnMenu(TPoint P);
    TPopupMenu* ColumnPopupMenu() const { return FColumnPopupMenu; }

protected:
    friend class TLazyTreeColumn;
    friend class TLTHeader;
    friend class TBaseLazyTree;
    void Update(TCollectionItem* Item) override;
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;
    TBaseLazyTree* Tree() const;

    TLTHeader* FHeader;
    TColumnIndex FHoverIndex = NoColumn, FDownIndex = NoColumn, FTrackIndex = NoColumn, FClickIndex = NoColumn;
    bool FCheckBoxHit = false;
    TIndexArray FPositionToIndex;
    bool FNeedPositionsFix = false;
    bool FClearing = false;
    bool FFreeing = false;
    TColumnIndex FDragIndex = 0;
    TColumnIndex FDropTarget = NoColumn;
    bool FDropBefore = false;
    TPopupMenu* FColumnPopupMenu = nullptr;
    std::unique_ptr<TBitmap> FHeaderBitmap;

private:
    void PaintColumnHeader(THeaderPaintInfo& PaintInfo, bool AdvancedOwnerDraw, bool PlainOwnerDraw);
};

// ---------------------------------------------------------------------------
// Fixed-area constraints and the header
// ---------------------------------------------------------------------------

class TLTFixedAreaConstraints : public TPersistent {
    KAL_CLASS(TLTFixedAreaConstraints, TPersistent)
public:
    explicit TLTFixedAreaConstraints(TLTHeader* AOwner) : FHeader(AOwner) {}
    int MaxHeightPercent() const { return FMaxHeightPercent; }
    int MaxWidthPercent() const { return FMaxWidthPercent; }
    int MinHeightPercent() const { return FMinHeightPercent; }
    int MinWidthPercent() const { return FMinWidthPercent; }
    void SetMaxHeightPercent(int V);
    void SetMaxWidthPercent(int V);
    void SetMinHeightPercent(int V);
    void SetMinWidthPercent(int V);
    void Assign(const TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    friend class TLTHeader;
    void Change();
    TLTHeader* FHeader;
    uint8_t FMaxHeightPercent = 0, FMaxWidthPercent = 0, FMinHeightPercent = 0, FMinWidthPercent = 0;
};

class TLTHeader : public TPersistent {
    KAL_CLASS(TLTHeader, TPersistent)
public:
    explicit TLTHeader(TBaseLazyTree* AOwner);
    ~TLTHeader() override;
    TPersistent* GetOwner() const override;
    TBaseLazyTree* Treeview() const { return FOwner; }

    TLazyTreeColumns* Columns() const { return FColumns.get(); }
    void SetColumns(const TLazyTreeColumns* Value) { FColumns->Assign(Value); }
    bool UseColumns() const { return FColumns->Count() > 0; }
    bool AllowFocus(TColumnIndex ColumnIndex) const;

    TColumnIndex AutoSizeIndex() const { return FAutoSizeIndex; }
    void SetAutoSizeIndex(TColumnIndex V);
    TColor Background() const { return FBackgroundColor; }
    void SetBackground(TColor V);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int V);
    TFont* Font() { return &FFont; }
    void SetFont(const TFont& V);
    int Height() const { return FHeight; }
    void SetHeight(int V);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* V);
    TColumnIndex MainColumn() const { return FColumns->Count() == 0 ? NoColumn : FMainColumn; }
    void SetMainColumn(TColumnIndex V);
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int V);
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int V);
    TLTHeaderOptions Options() const { return FOptions; }
    void SetOptions(TLTHeaderOptions V);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool V);
    TColumnIndex SortColumn() const { return FSortColumn; }
    void SetSortColumn(TColumnIndex V);
    TSortDirection SortDirection() const { return FSortDirection; }
    void SetSortDirection(TSortDirection V);
    TLTHeaderStyle Style() const { return FStyle; }
    void SetStyle(TLTHeaderStyle V);
    TPopupMenu* PopupMenu = nullptr;
    int SplitterHitTolerance = 8;
    TLTFixedAreaConstraints* FixedAreaConstraints() const { return FFixedAreaConstraints.get(); }
    THeaderStates States() const { return FStates; }
    void SetStates(THeaderStates V) { FStates = V; }

    void Assign(const TPersistent* Source) override;
    virtual bool InHeader(TPoint P) const;
    virtual bool InHeaderSplitterArea(TPoint P) const;
    void Invalidate(TLazyTreeColumn* Column, bool ExpandToBorder = false);
    virtual void ApplySortColumn(TColumnIndex Value);
    virtual void ScaleHeader(int M, int D);
    virtual void RefreshHeaderFrame();
    void ReapplyHeaderLimits();
    void DistributeSpringWidth();
    void ClampMainColumn();
    // Spreads Delta pixels over the columns from Start to Stop that carry all
    // the options (widening or narrowing each within its limits).
    int ResizeColumns(int Delta, TColumnIndex Start, TColumnIndex Stop, TLTColumnOptions Options);
    // Gives the resizable, visible columns at the display positions from
    // RangeStartCol to RangeEndCol (negative start: 0; negative or too large
    // end: the last) the width of their widest content.
    virtual void AutoFitColumns(bool Animated = true, TSmartAutoFitType SmartAutoFitType = smaUseColumnOption,
                                int RangeStartCol = NoColumn, int RangeEndCol = NoColumn);
    // Every resizable, visible column goes back to its previous width.
    void RestoreColumns();
    // ----- mouse and keyboard (LazyTreesHeaderMouse.cpp)
    // Handles a message of the tree's window first; true: the tree leaves it.
    virtual bool HandleHeaderMessage(TMessage& Message);
    // Finds the column splitter under the client point P (sets the
    // collection's TrackIndex and the track point to the column's edge).
    virtual bool FindSplitterColumn(TPoint P);
    bool IsInColumnSplitter(TPoint P);
    bool CanResizeHeight(TPoint P);
    TPoint TrackPoint() const { return FTrackPoint; }
    // The column drag's picture and where it is shown (screen coordinates).
    TBitmap* DragImage() const { return FDragImage.get(); }
    TPoint DragImagePosition() const { return FDragImagePosition; }
    // The window that shows the picture while a column is dragged: a layered
    // pop-up (no frame, never active, the mouse passes through) whose
    // per-pixel alpha comes from the drag image; nil when no drag runs.
    TCustomForm* DragWindow() const { return FDragWindow; }
    TBitmap* DragWindowImage() const { return FDragWindowImage.get(); }
    TLTDragImage* ColumnDragImage() const { return FColumnDragImage.get(); }
    // The tree's form property "Columns": one property list per column, in
    // index order; written when the columns are stored and differ from the
    // ancestor's (nil: no ancestor).
    bool ColumnsAreStored() const { return FColumns->Count() > 0; }
    bool StoreColumnsProperty(QList<TLTPropertyList>& Items, const TLTHeader* Ancestor = nullptr) const;
    void LoadColumnsProperty(const QList<TLTPropertyList>& Items);
    // The header stream: always written as version 6, read in every layout.
    virtual void SaveToStream(TStream* Stream);
    virtual void LoadFromStream(TStream* Stream);
    int LastWidth() const { return FLastWidth; }
    void SetLastWidth(int V) { FLastWidth = V; }

protected:
    friend class TLazyTreeColumns;
    friend class TLazyTreeColumn;
    virtual std::unique_ptr<TLazyTreeColumns> ColumnsClass();
    void HeaderFontChanged();
    void ImagesChanged();
    void ConstraintsChanged();
    bool FireBeforeAutoFitColumn(TColumnIndex Column, TSmartAutoFitType SmartAutoFitType);
    void FireAfterAutoFitColumn(TColumnIndex Column);
    // The height rules applied to V; false when nothing changed.
    bool ApplyHeight(int V);

    TBaseLazyTree* FOwner;
    std::unique_ptr<TLazyTreeColumns> FColumns;
    int FHeight = 19;
    TFont FFont;
    bool FParentFont = false;
    TLTHeaderOptions FOptions = DefaultHeaderOptions;
    TLTHeaderStyle FStyle = hsThickButtons;
    TColor FBackgroundColor = clBtnFace;
    TColumnIndex FAutoSizeIndex = 0;
    TColumnIndex FMainColumn = NoColumn;
    int FMaxHeight = 10000;
    int FMinHeight = 10;
    int FDefaultHeight = 19;
    std::unique_ptr<TLTFixedAreaConstraints> FFixedAreaConstraints;
    TCustomImageList* FImages = nullptr;
    TColumnIndex FSortColumn = NoColumn;
    TSortDirection FSortDirection = sdAscending;
    int FLastWidth = 0;
    THeaderStates FStates;
    TPoint FDragStart, FTrackStart, FTrackPoint;
    std::unique_ptr<TBitmap> FDragImage;
    TPoint FDragImagePosition, FDragHotSpot;
    std::unique_ptr<TLTDragImage> FColumnDragImage;
    std::unique_ptr<TBitmap> FDragWindowImage;
    TCustomForm* FDragWindow = nullptr;

private:
    bool TrackHeaderMouseMove(TMessage& Message);
    void StartColumnDrag(TPoint P, TPoint Start);
    void MoveColumnDrag(TPoint P);
    void EndDragImage();
    void ShowDragWindow();
    bool HeaderButtonDown(TMessage& Message, TPoint P);
    bool HeaderButtonUp(TMessage& Message, TPoint P);
    bool HeaderDoubleClick(TMessage& Message, TPoint P);
    bool HeaderCancel(TMessage& Message);
    bool HeaderRightButtonUp(TMessage& Message, TPoint P);
    void LeaveTrackingStates();
};
