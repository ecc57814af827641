#include "gridpack/stringgrid/ExCellGraphic.h"

#include "gridpack/stringgrid/ExGrid.h"
#include "platform/core/MathUtils.h"
#include "platform/graphics/Graphics.h"

// ---------------------------------------------------------------------------
// TCellGraphic
// ---------------------------------------------------------------------------

TCellGraphic::~TCellGraphic()
{
    switch (CellType) {
    case ctBitmap:
    case ctBitButton:
        if (CellCreated)
            delete Bitmap();
        break;
    case ctPicture:
        if (CellCreated)
            delete Picture();
        break;
    case ctFilePicture:
        if (CellCreated)
            delete FilePicture();
        break;
    case ctRadio:
        if (CellCreated)
            delete Strings();
        break;
    case ctIcon:
        if (CellCreated)
            delete FCellIcon;
        break;
    case ctImages:
        delete IntList();
        break;
    case ctBalloon:
        delete Strings();
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctRadioButton:
        // A balloon hung on the box.
        if (CellAngle == 1)
            delete Strings();
        break;
    default:
        break;
    }
}

void TCellGraphic::Assign(const TPersistent* Source)
{
    const auto* s = dynamic_cast<const TCellGraphic*>(Source);
    if (!s)
        return;
    CellType = s->CellType;
    CellVAlign = s->CellVAlign;
    CellHAlign = s->CellHAlign;
    CellIndex = s->CellIndex;
    CellTransparent = s->CellTransparent;
    CellValue = s->CellValue;
    CellAngle = s->CellAngle;
    CellBoolean = s->CellBoolean;
    CellErrFrom = s->CellErrFrom;
    CellErrLen = s->CellErrLen;
    CellText = s->CellText;
    CellCreated = s->CellCreated;
    CellCheckBoxState = s->CellCheckBoxState;
}

void TCellGraphic::SetBitmap(TBitmap* ABmp, bool Transparent, TCellHAlign hal, TCellVAlign val)
{
    CellType = ctBitmap;
    FCellBitmap = ABmp;
    CellTransparent = Transparent;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetIcon(TIcon* aicon, TCellHAlign hal, TCellVAlign val)
{
    CellType = ctIcon;
    FCellIcon = aicon;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetPicture(TPicture* APicture, bool Transparent, TStretchMode StretchMode, int padding,
                              TCellHAlign hal, TCellVAlign val)
{
    CellType = ctPicture;
    FCellBitmap = APicture;
    CellTransparent = Transparent;
    CellAngle = int(StretchMode);
    CellIndex = padding;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetFilePicture(TFilePicture* APicture, bool Transparent, TStretchMode stretchmode, int padding,
                                  TCellHAlign hal, TCellVAlign val)
{
    CellType = ctFilePicture;
    FCellBitmap = APicture;
    CellTransparent = Transparent;
    CellAngle = int(stretchmode);
    CellIndex = padding;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetImageIdx(int idx, TCellHAlign hal, TCellVAlign val)
{
    CellType = ctImageList;
    CellIndex = idx;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetDataImage(int idx, TCellHAlign hal, TCellVAlign val)
{
    CellType = ctDataImage;
    CellIndex = idx;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetMultiImage(int Col, int Row, int dir, TCellHAlign hal, TCellVAlign val,
                                 TImageChangeEvent Notifier)
{
    CellType = ctImages;
    CellBoolean = dir == 0;
    auto* list = NewObject<TIntList>(Col, Row);
    list->OnChange = std::move(Notifier);
    FCellBitmap = list;
    CellCreated = true;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetCheckBox(bool Value, bool Data, bool Flat, TCellHAlign hal, TCellVAlign val)
{
    CellType = Data ? ctDataCheckBox : ctCheckBox;
    CellAngle = 0;
    CellBoolean = Value;
    CellTransparent = Flat;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetCheckBox(TCheckBoxState Value, bool Flat, TCellHAlign hal, TCellVAlign val)
{
    CellType = ctTriStateCheckBox;
    CellCheckBoxState = Value;
    CellBoolean = false;
    CellTransparent = Flat;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetRadioButton(bool Value, bool Flat, TCellHAlign hal, TCellVAlign val)
{
    CellType = ctRadioButton;
    CellAngle = 0;
    CellBoolean = Value;
    CellTransparent = Flat;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetAngle(int16_t AAngle)
{
    CellType = ctRotated;
    int a = AAngle;
    while (a < 0)
        a += 360;
    while (a > 360)
        a -= 360;
    CellAngle = a;
}

void TCellGraphic::SetButton(int bw, int bh, const QString& caption, TCellHAlign hal, TCellVAlign val)
{
    CellType = ctButton;
    CellIndex = int((uint32_t(bh & 0xFFFF) << 16) | uint32_t(bw & 0xFFFF));
    CellBoolean = false;
    CellText = caption;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetBitButton(int bw, int bh, const QString& caption, TBitmap* Glyph, TCellHAlign hal,
                                TCellVAlign val)
{
    SetButton(bw, bh, caption, hal, val);
    CellType = ctBitButton;
    FCellBitmap = Glyph;
}

void TCellGraphic::SetInterfacedCell(TPersistent* AObject)
{
    CellType = ctInterface;
    FCellBitmap = AObject;
}

TPoint TCellGraphic::GetPictureSize(int cw, int rh, bool, TPoint Result) const
{
    int w = 0, h = 0;
    if (CellType == ctPicture) {
        if (const TPicture* p = Picture()) {
            w = p->Width();
            h = p->Height();
        }
    } else if (CellType == ctFilePicture) {
        if (const TFilePicture* p = FilePicture()) {
            w = p->Width();
            h = p->Height();
        }
    } else {
        return Result;
    }
    cw -= CellIndex;
    rh -= CellIndex;
    const auto ratios = [&](double& rx, double& ry) {
        rx = w > 0 ? double(cw) / w : 1.0;
        ry = h > 0 ? double(rh) / h : 1.0;
    };
    const auto aspect = [&](double rx, double ry) {
        if (rx >= ry)
            return TPoint{int(Round(w * ry)), rh};
        return TPoint{cw, int(Round(h * rx))};
    };
    const bool fits = w <= cw && h <= rh;
    double rx = 1.0, ry = 1.0;
    switch (TStretchMode(CellAngle)) {
    case Stretch:
        return TPoint{cw, rh};
    case StretchWithAspectRatio:
        ratios(rx, ry);
        return aspect(rx, ry);
    case Shrink:
        return fits ? TPoint{w, h} : TPoint{cw, rh};
    case ShrinkWithAspectRatio:
        if (fits)
            return TPoint{w, h};
        ratios(rx, ry);
        return aspect(std::min(rx, 1.0), std::min(ry, 1.0));
    default:
        return TPoint{w, h};
    }
}

// ---------------------------------------------------------------------------
// TCellNode
// ---------------------------------------------------------------------------

TCellNode::TCellNode(TExStringGrid* AOwner)
    : FOwner(AOwner), FExpandGlyph(new TBitmap()), FContractGlyph(new TBitmap())
{
}

TCellNode::~TCellNode()
{
    delete FExpandGlyph;
    delete FContractGlyph;
}

template <class T>
void TCellNode::SetAndRepaint(T& field, T v)
{
    if (field == v)
        return;
    field = v;
    if (FOwner)
        FOwner->Invalidate();
}

void TCellNode::SetNodeType(TNodeType v) { SetAndRepaint(FNodeType, v); }
void TCellNode::SetShowTree(bool v) { SetAndRepaint(FShowTree, v); }
void TCellNode::SetShowTreeFull(bool v) { SetAndRepaint(FShowTreeFull, v); }
void TCellNode::SetNodeIndent(int v) { SetAndRepaint(FNodeIndent, v); }
void TCellNode::SetTreeColor(TColor v) { SetAndRepaint(FTreeColor, v); }
void TCellNode::SetExpandGlyph(const TBitmap* v) { FExpandGlyph->Assign(v); }
void TCellNode::SetContractGlyph(const TBitmap* v) { FContractGlyph->Assign(v); }

void TCellNode::Assign(const TPersistent* Source)
{
    const auto* s = dynamic_cast<const TCellNode*>(Source);
    if (!s)
        return;
    Color = s->Color;
    FNodeType = s->FNodeType;
    NodeColor = s->NodeColor;
    FExpandGlyph->Assign(s->FExpandGlyph);
    ExpandOne = s->ExpandOne;
    FContractGlyph->Assign(s->FContractGlyph);
    FShowTree = s->FShowTree;
    FShowTreeFull = s->FShowTreeFull;
    FNodeIndent = s->FNodeIndent;
    FTreeColor = s->FTreeColor;
}
