#pragma once
// The picture of dragged nodes. With a data object it goes to the platform's
// drag picture (the system helper draws it). Otherwise the image draws itself
// on a screen surface: a 32-bit image whose alpha fades out from the centre,
// blended over the saved screen contents, moved with the mouse, and rebuilt
// from the tree when the tree under it repaints.
#include "platform/controls/DragDrop.h"
#include "platform/graphics/Graphics.h"
#include "treeview/LazyTreeTypes.h"

#include <memory>

class TBaseLazyTree;

enum TLTDragMoveRestriction : uint8_t { dmrNone, dmrHorizontalOnly, dmrVerticalOnly };
enum TLTDragImageState : uint8_t { disHidden, disInDrag, disPrepared, disSystemSupport };
using TLTDragImageStates = TLTSet<TLTDragImageState, uint8_t>;

class TLTDragImage {
public:
    explicit TLTDragImage(TBaseLazyTree* AOwner) : FOwner(AOwner) {}
    ~TLTDragImage() { EndDrag(); }
    TLTDragImage(const TLTDragImage&) = delete;
    TLTDragImage& operator=(const TLTDragImage&) = delete;

    // The surface the own drawing works on; its pixels are screen points.
    // Nil: nothing is drawn (the image still keeps its place).
    void SetScreen(TBitmap* Screen) { FScreen = Screen; }
    void PrepareDrag(TBitmap* DragImage, TPoint ImagePosition, TPoint HotSpot, IDataObject* DataObject);
    void ShowDragImage();
    void HideDragImage();
    // Moves the image with the mouse; false when it would not move.
    bool DragTo(TPoint P, bool ForceRepaint);
    bool WillMove(TPoint P) const;
    TRect GetDragImageRect() const;
    // Repaints R (client coordinates of Tree) of the tree into the saved
    // screen contents, so that the image leaves no trace when it moves on.
    void RecaptureBackground(TBaseLazyTree* Tree, TRect R, bool ReshowDragImage);
    void EndDrag();

    bool Visible() const { return FStates == TLTDragImageStates{disInDrag, disPrepared}; }
    TLTDragImageStates States() const { return FStates; }
    TBitmap* DragImageBitmap() const { return FDragImage.get(); }
    TPoint ImagePosition() const { return FImagePosition; }

    TColor ColorKey = clNone;
    bool Fade = false;
    TLTDragMoveRestriction MoveRestriction = dmrNone;
    int PostBlendBias = 0;
    int PreBlendBias = 0;
    int Transparency = 128;

private:
    void BuildAlphaChannel(TBitmap* Source, TBitmap* Target);
    void BlendAndShow();
    void CopyFromScreen(TBitmap* To, TPoint At);
    void CopyToScreen(TBitmap* From, TPoint At);

    TBaseLazyTree* FOwner;
    TBitmap* FScreen = nullptr;
    std::unique_ptr<TBitmap> FBackImage, FAlphaImage, FDragImage;
    TPoint FImagePosition, FLastPosition;
    TLTDragImageStates FStates;
};
