// The drag image of a tree.
#include "treeview/LazyTreesDragImage.h"

#include "treeview/LazyTrees.Utils.h"
#include "treeview/LazyTrees.h"

#include <cmath>

namespace {
// Copies the pixels of From's rectangle Src to To at Dst, cut to both.
void CopyPixels(TBitmap* From, TRect Src, TBitmap* To, TPoint Dst) {
    for (int y = 0; y < Src.Height(); ++y) {
        const int sy = Src.Top + y, dy = Dst.Y + y;
        if (sy < 0 || sy >= From->Height() || dy < 0 || dy >= To->Height()) continue;
        const TRGBQuad* s = From->ScanLine(sy);
        TRGBQuad* d = To->ScanLine(dy);
        for (int x = 0; x < Src.Width(); ++x) {
            const int sx = Src.Left + x, dx = Dst.X + x;
            if (sx < 0 || sx >= From->Width() || dx < 0 || dx >= To->Width()) continue;
            d[dx] = s[sx];
        }
    }
}
TRect Whole(TBitmap* B) { return Rect(0, 0, B->Width(), B->Height()); }
}  // namespace

void TLTDragImage::PrepareDrag(TBitmap* DragImage, TPoint ImagePosition, TPoint HotSpot, IDataObject* DataObject) {
    if (!DragImage || DragImage->Empty()) return;
    const int w = DragImage->Width(), h = DragImage->Height();
    // The platform's drag picture stands for the system helper.
    FStates.Exclude(disSystemSupport);
    if (DataObject && InitializeDragImage(DataObject, DragImage->ToImage(), Point(w / 2, h / 2), ColorKey)) {
        FStates.Include(disSystemSupport);
        FLastPosition = HotSpot;
        return;
    }
    if (!CpuHasMmx()) return;
    FLastPosition = HotSpot;
    FBackImage = std::make_unique<TBitmap>(w, h, pf32bit);
    FAlphaImage = std::make_unique<TBitmap>(w, h, pf32bit);
    FDragImage = std::make_unique<TBitmap>(w, h, pf32bit);
    std::unique_ptr<TBitmap> source = std::make_unique<TBitmap>(w, h, pf32bit);
    CopyPixels(DragImage, Whole(DragImage), source.get(), Point(0, 0));
    if (PreBlendBias != 0)
        AlphaBlendRect(source.get(), FDragImage.get(), Rect(0, 0, w, h), Point(0, 0), bmConstantAlpha, 255,
                       PreBlendBias);
    else
        CopyPixels(source.get(), Whole(source.get()), FDragImage.get(), Point(0, 0));
    BuildAlphaChannel(DragImage, FDragImage.get());
    FImagePosition = ImagePosition;
    FStates.Include(disHidden);
    FStates.Include(disInDrag);
    FStates.Include(disPrepared);
}

void TLTDragImage::BuildAlphaChannel(TBitmap* Source, TBitmap* Target) {
    const int w = Target->Width(), h = Target->Height();
    const double m = std::max(w, h);
    const TColor key = ColorKey == clNone ? clNone : ColorToRGB(ColorKey);
    std::unique_ptr<TBitmap> src = std::make_unique<TBitmap>(w, h, pf32bit);
    CopyPixels(Source, Whole(Source), src.get(), Point(0, 0));
    for (int y = 0; y < h; ++y) {
        const TRGBQuad* s = src->ScanLine(y);
        TRGBQuad* t = Target->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const bool keyed = key != clNone && RGB(s[x].rgbRed, s[x].rgbGreen, s[x].rgbBlue) == key;
            if (keyed) {
                t[x].rgbReserved = 0;
                continue;
            }
            const double dx = double(x - w / 2) / m, dy = double(y - h / 2) / m;
            t[x].rgbReserved = uint8_t(std::lround(255.0 * std::exp(-8.0 * std::sqrt(dx * dx + dy * dy))));
        }
    }
}

void TLTDragImage::CopyFromScreen(TBitmap* To, TPoint At) {
    if (!FScreen || !To) return;
    CopyPixels(FScreen, Rect(At.X, At.Y, At.X + To->Width(), At.Y + To->Height()), To, Point(0, 0));
}

void TLTDragImage::CopyToScreen(TBitmap* From, TPoint At) {
    if (!FScreen || !From) return;
    CopyPixels(From, Whole(From), FScreen, At);
}

void TLTDragImage::BlendAndShow() {
    if (!FAlphaImage) return;
    CopyPixels(FBackImage.get(), Whole(FBackImage.get()), FAlphaImage.get(), Point(0, 0));
    const TRect r = Rect(0, 0, FDragImage->Width(), FDragImage->Height());
    if (Fade || ColorKey != clNone)
        AlphaBlendRect(FDragImage.get(), FAlphaImage.get(), r, Point(0, 0), bmMasterAlpha, Transparency,
                       PostBlendBias);
    else
        AlphaBlendRect(FDragImage.get(), FAlphaImage.get(), r, Point(0, 0), bmConstantAlpha, Transparency,
                       PostBlendBias);
    CopyToScreen(FAlphaImage.get(), FImagePosition);
}

void TLTDragImage::ShowDragImage() {
    if (FStates != TLTDragImageStates{disHidden, disInDrag, disPrepared}) return;
    FStates.Exclude(disHidden);
    CopyFromScreen(FBackImage.get(), FImagePosition);
    BlendAndShow();
}

void TLTDragImage::HideDragImage() {
    if (!Visible()) return;
    FStates.Include(disHidden);
    CopyToScreen(FBackImage.get(), FImagePosition);
}

bool TLTDragImage::DragTo(TPoint P, bool ForceRepaint) {
    const int dx = MoveRestriction == dmrVerticalOnly ? 0 : FLastPosition.X - P.X;
    const int dy = MoveRestriction == dmrHorizontalOnly ? 0 : FLastPosition.Y - P.Y;
    const bool result = dx != 0 || dy != 0 || ForceRepaint;
    if (result && Visible()) {
        // The old place gets its screen back, the new one is saved, then the
        // image is blended there.
        CopyToScreen(FBackImage.get(), FImagePosition);
        FImagePosition = Point(FImagePosition.X - dx, FImagePosition.Y - dy);
        CopyFromScreen(FBackImage.get(), FImagePosition);
        BlendAndShow();
    }
    FLastPosition = P;
    return result;
}

bool TLTDragImage::WillMove(TPoint P) const {
    if (!Visible()) return false;
    if (MoveRestriction == dmrHorizontalOnly) return P.X != FLastPosition.X;
    if (MoveRestriction == dmrVerticalOnly) return P.Y != FLastPosition.Y;
    return P.X != FLastPosition.X || P.Y != FLastPosition.Y;
}

TRect TLTDragImage::GetDragImageRect() const {
    if (!Visible()) return Rect(0, 0, 0, 0);
    return Rect(FImagePosition.X, FImagePosition.Y, FImagePosition.X + FBackImage->Width(),
                FImagePosition.Y + FBackImage->Height());
}

void TLTDragImage::RecaptureBackground(TBaseLazyTree* Tree, TRect R, bool ReshowDragImage) {
    if (!Visible() || !Tree) return;
    // R in screen points, cut to the image.
    const TPoint tl = Tree->ClientToScreen(Point(R.Left, R.Top));
    TRect s = Rect(tl.X, tl.Y, tl.X + R.Width(), tl.Y + R.Height());
    const TRect image = GetDragImageRect();
    TRect cut;
    if (!IntersectRect(cut, s, image)) return;
    // The same part in tree coordinates, painted into the saved contents.
    const TPoint client = Tree->ScreenToClient(Point(cut.Left, cut.Top));
    const TRect window = Rect(client.X - Tree->OffsetX(), client.Y - Tree->OffsetY(),
                              client.X - Tree->OffsetX() + cut.Width(), client.Y - Tree->OffsetY() + cut.Height());
    Tree->PaintTree(FBackImage->Canvas(), window, Point(cut.Left - image.Left, cut.Top - image.Top),
                    {poBackground, poColumnColor, poDrawFocusRect, poDrawSelection, poDrawDropMark, poGridLines},
                    pf32bit);
    if (ReshowDragImage) BlendAndShow();
}

void TLTDragImage::EndDrag() {
    HideDragImage();
    FStates.Exclude(disInDrag);
    FStates.Exclude(disPrepared);
    FBackImage.reset();
    FAlphaImage.reset();
    FDragImage.reset();
}
