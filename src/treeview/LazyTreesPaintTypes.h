#pragma once
// What the tree's painting steps pass around: the per-cell paint record with
// its image slots, the option set PaintTree is called with, the line image of
// a row, and the small enumerations of the element painters and the string
// tree's text events.
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImageList.h"
#include "treeview/LazyTreeTypes.h"
#include "treeview/LazyTreesHeader.h"

#include <QList>
#include <QString>

// The options a caller hands to PaintTree (bit order as listed).
enum TLTInternalPaintOption : uint8_t {
    poBackground, poColumnColor, poDrawFocusRect, poDrawSelection, poDrawDropMark, poGridLines, poMainOnly,
    poSelectedOnly, poUnbuffered,
};
using TLTInternalPaintOptions = TLTSet<TLTInternalPaintOption, uint16_t>;

// Window painting asks for everything up to the grid lines.
constexpr TLTInternalPaintOptions WindowPaintOptions = {poBackground,    poColumnColor,   poDrawFocusRect,
                                                        poDrawSelection, poDrawDropMark, poGridLines};
// WM_PRINTCLIENT: the same without the column colours.
constexpr TLTInternalPaintOptions PrintClientPaintOptions = {poBackground, poDrawFocusRect, poDrawSelection,
                                                             poDrawDropMark, poGridLines};
// Printing: the grid lines alone.
constexpr TLTInternalPaintOptions PrintPaintOptions = {poGridLines};
// The drag image: the selected rows only (poMainOnly is added when only the
// main column is dragged).
constexpr TLTInternalPaintOptions DragImagePaintOptions = {poDrawSelection, poSelectedOnly};

// Defined with the tree (LazyTrees.h).
enum TLTImageKind : uint8_t;
enum TLTImageInfoIndex : uint8_t { iiNormal, iiState, iiCheck, iiOverlay };

struct TLTImageInfo {
    int ImageIndex = -1;
    int XPos = 0;
    int YPos = 0;
    bool Ghosted = false;
    TImageList* Images = nullptr;
};

// One cell being painted. CellRect and ContentRect are in node-row
// coordinates: x in tree coordinates, y from 0 at the top of the node.
struct TLTPaintInfo {
    TCanvas* Canvas = nullptr;
    TLTInternalPaintOptions PaintOptions;
    PLazyNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    TColumnPosition Position = 0;
    TRect CellRect;
    TRect ContentRect;
    int NodeWidth = 0;
    TAlignment Alignment = taLeftJustify;
    TAlignment CaptionAlignment = taLeftJustify;
    TBiDiMode BidiMode = bdLeftToRight;
    TPoint BrushOrigin;
    TLTImageInfo ImageInfo[4];
};

// One entry per indent column of a row, the node's own column last.
enum TLTLineType : uint8_t {
    ltNone, ltBottomRight, ltTopDown, ltTopDownRight, ltRight, ltTopRight, ltLeft, ltLeftBottom,
};
using TLineImage = QList<TLTLineType>;

enum TItemEraseAction : uint8_t { eaColor, eaDefault, eaNone };
enum TLTDrawSelectionMode : uint8_t { smDottedRectangle, smBlendedRectangle };

// The string tree's texts.
enum TVSTTextType : uint8_t { ttNormal, ttStatic };
enum TLTExportType : uint8_t { etNone, etRTF, etHTML, etText, etExcel, etWord, etCustom };
enum TVSTTextSourceType : uint8_t { tstAll, tstInitialized, tstSelected, tstCutCopySet, tstVisible, tstChecked };

// ---------------------------------------------------------------------------
// Painting events
// ---------------------------------------------------------------------------

#include <functional>

class TBaseLazyTree;
class TCustomImageList;

using TLTPaintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas)>;
using TLTBeforeItemPaintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node,
                                                   const TRect& ItemRect, bool& CustomDraw)>;
using TLTAfterItemPaintEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node, const TRect& ItemRect)>;
using TLTBeforeItemEraseEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node,
                                                   const TRect& ItemRect, TColor& ItemColor,
                                                   TItemEraseAction& EraseAction)>;
using TLTAfterItemEraseEvent = TLTAfterItemPaintEvent;
using TLTAfterCellPaintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node,
                                                  TColumnIndex Column, const TRect& CellRect)>;
using TLTBackgroundPaintEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, const TRect& R, bool& Handled)>;
using TLTGetImageTextEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TLTImageKind Kind,
                                                TColumnIndex Column, QString& ImageText)>;
using TLTBeforeDrawLineImageEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Level, int& PosX)>;
// The line pattern: eight rows, the low byte of each the pixels from the left
// (a 0 bit takes the font colour, a 1 bit the background).
using TLTGetLineStyleEvent = std::function<void(TBaseLazyTree* Sender, const uint16_t*& Bits)>;
using TLTPrepareButtonImagesEvent =
    std::function<void(TBaseLazyTree* Sender, TBitmap* APlusBM, TBitmap* APlusHotBM, TBitmap* APlusSelectedHotBM,
                       TBitmap* AMinusBM, TBitmap* AMinusHotBM, TBitmap* AMinusSelectedHotBM, TSize& ASize)>;
