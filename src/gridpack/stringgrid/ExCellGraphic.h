#pragma once
// The one graphic object a string-grid cell may carry beside its text
// (TCellGraphic), its kinds and placements, and the look of the grid's node
// glyphs (TCellNode).
//
// TCellGraphic is one plain record for every kind; what each field means
// depends on the kind. The kind's main object sits in one slot whose class the
// kind decides (a bitmap, picture, file picture, string list, integer list or
// a persistent object that draws the cell); kinds that keep colours instead
// keep them in the two colour slots, which are never taken for objects.
//
// Ownership is decided by the kind when the record is destroyed:
//  - ctBitmap, ctRadio, ctPicture, ctFilePicture, ctBitButton: the main
//    object when CellCreated is set;
//  - ctIcon: the icon when CellCreated is set;
//  - ctImages, ctBalloon: the main object always;
//  - ctCheckBox, ctDataCheckBox, ctRadioButton: a balloon list hung on the
//    box (CellAngle 1);
//  - every other kind: nothing.
// An object handed in by a caller stays the caller's and must outlive the
// record.
#include "gridpack/basegrid/ExObj.h"
#include "platform/controls/StdCtrls.h"

#include <QVariant>

class TExStringGrid;
class TIcon;
class TPicture;
class TBitmap;

enum TCellType {
    ctBitmap, ctIcon, ctNone, ctImageList, ctCheckBox, ctDataCheckBox, ctRotated, ctDataImage, ctNode, ctRadio,
    ctEmpty, ctImages, ctPicture, ctFilePicture, ctValue, ctProgress, ctComment, ctButton, ctBitButton,
    ctVirtCheckBox, ctRowCheckBox, ctProgressPie, ctSummary, ctRangeIndicator, ctXPProgress, ctInterface,
    ctScrollbar, ctRadioButton, ctBalloon, ctShape, ctRating, ctTriStateCheckBox, ctExpand
};
// A set of TCellType, one bit per kind.
using TCellTypes = uint64_t;
constexpr TCellTypes CellTypeBit(TCellType t) { return TCellTypes(1) << unsigned(t); }
template <class... T>
constexpr TCellTypes CellTypeSet(T... t)
{
    return (CellTypeBit(t) | ...);
}

enum TCellHAlign { haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull };
enum TCellVAlign { vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull };
enum TStretchMode { noStretch, Stretch, StretchWithAspectRatio, Shrink, ShrinkWithAspectRatio };
enum TNodeType { cnFlat, cn3D, cnGlyph, cnLeaf, cnXP };
enum TBalloonIcon { biNone, biInfo, biWarning, biError };

struct TScrollProp {
    int PageSize = 0;
    int Range = 0;
};

// ---------------------------------------------------------------------------
// TCellGraphic
// ---------------------------------------------------------------------------

class TCellGraphic : public TPersistent {
    KAL_CLASS(TCellGraphic, TPersistent)
public:
    TCellGraphic() = default;
    // Frees what the kind owns (see the file's comment).
    ~TCellGraphic() override;
    TCellGraphic(const TCellGraphic&) = delete;
    TCellGraphic& operator=(const TCellGraphic&) = delete;

    // Copies the kind, placements, index, transparent and created flags,
    // value, angle, Boolean, marker, text and tri-state state of another
    // record; the object slots and CellVar stay as they are. Meant for a
    // fresh record whose objects the caller supplies itself.
    void Assign(const TPersistent* Source) override;

    // --- the fields (published ones first, in their order)
    TCellType CellType = ctNone;
    TCellVAlign CellVAlign = vaTop;
    TCellHAlign CellHAlign = haLeft;
    int CellIndex = 0;
    bool CellTransparent = false;
    bool CellCreated = false;
    bool CellBoolean = false;
    TCheckBoxState CellCheckBoxState = cbUnchecked;
    int CellAngle = 0;
    double CellValue = 0.0;
    int CellErrFrom = 0;
    int CellErrLen = 0;
    QString CellText;
    QVariant CellVar;

    // --- the object slot, read as the class the kind keeps there
    TBitmap* Bitmap() const { return static_cast<TBitmap*>(FCellBitmap); }
    TPicture* Picture() const { return static_cast<TPicture*>(FCellBitmap); }
    TFilePicture* FilePicture() const { return static_cast<TFilePicture*>(FCellBitmap); }
    TStrings* Strings() const { return static_cast<TStrings*>(FCellBitmap); }
    TIntList* IntList() const { return static_cast<TIntList*>(FCellBitmap); }
    TPersistent* Interfaced() const { return static_cast<TPersistent*>(FCellBitmap); }
    bool HasObject() const { return FCellBitmap != nullptr; }
    // Stores without freeing what the slot held.
    void SetObject(TBitmap* v) { FCellBitmap = v; }
    void SetObject(TPicture* v) { FCellBitmap = v; }
    void SetObject(TFilePicture* v) { FCellBitmap = v; }
    void SetObject(TStrings* v) { FCellBitmap = v; }
    void SetObject(TIntList* v) { FCellBitmap = v; }
    void SetObject(TPersistent* v) { FCellBitmap = v; }
    void ClearObject() { FCellBitmap = nullptr; }
    TIcon* CellIcon() const { return FCellIcon; }
    void SetCellIcon(TIcon* v) { FCellIcon = v; }
    // Colours of the kinds that keep colours in the object slots.
    TColor BitmapColor = 0;
    TColor IconColor = 0;

    // --- setters: store only, never free what was held, never repaint
    void SetBitmap(TBitmap* ABmp, bool Transparent, TCellHAlign hal, TCellVAlign val);
    void SetIcon(TIcon* aicon, TCellHAlign hal, TCellVAlign val);
    void SetPicture(TPicture* APicture, bool Transparent, TStretchMode StretchMode, int padding, TCellHAlign hal,
                    TCellVAlign val);
    void SetFilePicture(TFilePicture* APicture, bool Transparent, TStretchMode stretchmode, int padding,
                        TCellHAlign hal, TCellVAlign val);
    void SetImageIdx(int idx, TCellHAlign hal, TCellVAlign val);
    void SetDataImage(int idx, TCellHAlign hal, TCellVAlign val);
    void SetMultiImage(int Col, int Row, int dir, TCellHAlign hal, TCellVAlign val, TImageChangeEvent Notifier);
    void SetCheckBox(bool Value, bool Data, bool Flat, TCellHAlign hal, TCellVAlign val);
    void SetCheckBox(TCheckBoxState Value, bool Flat, TCellHAlign hal, TCellVAlign val);
    void SetRadioButton(bool Value, bool Flat, TCellHAlign hal, TCellVAlign val);
    // Brought into 0..360 (360 stays 360).
    void SetAngle(int16_t AAngle);
    void SetButton(int bw, int bh, const QString& caption, TCellHAlign hal, TCellVAlign val);
    void SetBitButton(int bw, int bh, const QString& caption, TBitmap* Glyph, TCellHAlign hal, TCellVAlign val);
    void SetInterfacedCell(TPersistent* AObject);

    // The drawn size of a picture kind in a cw x rh box; for other kinds the
    // caller's value (Result) is returned as it came.
    TPoint GetPictureSize(int cw, int rh, bool hastext, TPoint Result = TPoint{0, 0}) const;

private:
    void* FCellBitmap = nullptr;
    TIcon* FCellIcon = nullptr;
};

// ---------------------------------------------------------------------------
// TCellNode: the look of every node glyph of one grid
// ---------------------------------------------------------------------------

class TCellNode : public TPersistent {
    KAL_CLASS(TCellNode, TPersistent)
public:
    explicit TCellNode(TExStringGrid* AOwner);
    ~TCellNode() override;

    TColor Color = clSilver;
    TColor NodeColor = clBlack;
    bool ExpandOne = false;
    TNodeType NodeType() const { return FNodeType; }
    void SetNodeType(TNodeType v);
    TBitmap* ExpandGlyph() const { return FExpandGlyph; }
    void SetExpandGlyph(const TBitmap* v);
    TBitmap* ContractGlyph() const { return FContractGlyph; }
    void SetContractGlyph(const TBitmap* v);
    bool ShowTree() const { return FShowTree; }
    void SetShowTree(bool v);
    bool ShowTreeFull() const { return FShowTreeFull; }
    void SetShowTreeFull(bool v);
    int NodeIndent() const { return FNodeIndent; }
    void SetNodeIndent(int v);
    TColor TreeColor() const { return FTreeColor; }
    void SetTreeColor(TColor v);

    // Copies every setting of another TCellNode (glyph pictures included);
    // anything else is ignored.
    void Assign(const TPersistent* Source) override;

private:
    template <class T>
    void SetAndRepaint(T& field, T v);
    TExStringGrid* FOwner;
    TNodeType FNodeType = cnXP;
    TBitmap* FExpandGlyph;
    TBitmap* FContractGlyph;
    bool FShowTree = true;
    bool FShowTreeFull = true;
    int FNodeIndent = 12;
    TColor FTreeColor = clGray;
};
