// Node images and check images: which image a node shows per kind and
// column (asked from the application), where it is placed, how it is drawn
// (blended when selected, ghosted, grey when disabled, with its overlay),
// and which picture of a check image strip stands for a check type, state,
// enabled and hot look.
#include "treeview/LazyTrees.h"
#include "treeview/LazyTrees.Utils.h"

void TBaseLazyTree::FireGetImageText(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column, QString& ImageText) {
    if (OnGetImageText) OnGetImageText(this, Node == FRoot ? nullptr : Node, Kind, Column, ImageText);
}

void TBaseLazyTree::QueryImageIndex(TLTPaintInfo& PaintInfo, TLTImageKind Kind, TLTImageInfoIndex InfoIndex,
                                    TImageList* DefaultImages) {
    TLTImageInfo& info = PaintInfo.ImageInfo[InfoIndex];
    info.ImageIndex = -1;
    info.Ghosted = false;
    TImageList* list = FireGetImageIndex(PaintInfo.Node, Kind, PaintInfo.Column, info.Ghosted, info.ImageIndex);
    info.Images = list ? list : DefaultImages;
}

void TBaseLazyTree::PlaceImage(TImageList* ImageList, bool RightToLeft, TLTImageInfo& ImageInfo, TRect& R,
                               int VAlign) {
    if (!ImageList) return;
    const int w = ImageList->Width();
    if (RightToLeft) {
        ImageInfo.XPos = R.Right - w;
        R.Right -= w + 2;
    } else {
        ImageInfo.XPos = R.Left - 1;
        R.Left += w + 2;
    }
    ImageInfo.YPos = R.Top + VAlign - ImageList->Height() / 2;
}

TImageList* TBaseLazyTree::CheckImageListFor(TCheckImageKind Kind) const {
    switch (Kind) {
    case ckLightCheck: return InternalImageList(1);
    case ckDarkCheck: return InternalImageList(2);
    case ckLightTick: return InternalImageList(3);
    case ckDarkTick: return InternalImageList(4);
    case ckFlat: return InternalImageList(5);
    case ckXP: return InternalImageList(6);
    case ckSystemFlat: return InternalImageList(9);
    case ckSystemDefault: return InternalImageList(8);
    default: return nullptr;
    }
}

int TBaseLazyTree::CheckImageIndex(PLazyNode Node, TCheckType ImgCheckType, TCheckState ImgCheckState,
                                   bool ImgEnabled) {
    bool hot = false;
    if (Node) {
        ImgCheckType = Node->CheckType;
        ImgCheckState = Node->CheckState;
        ImgEnabled = !Node->States.Contains(vsDisabled) && Enabled();
        hot = Node == FCurrentHotNode;
    }
    bool disabled = !ImgEnabled;
    switch (ImgCheckState) {
    case csUncheckedDisabled: disabled = true; ImgCheckState = csUncheckedNormal; break;
    case csCheckedDisabled: disabled = true; ImgCheckState = csCheckedNormal; break;
    case csMixedDisabled: disabled = true; ImgCheckState = csMixedNormal; break;
    default: break;
    }
    if (ImgCheckType == ctTriStateCheckBox) ImgCheckType = ctCheckBox;
    if (ImgCheckType == ctNone) return -1;
    const bool pressed =
        ImgCheckState == csUncheckedPressed || ImgCheckState == csCheckedPressed || ImgCheckState == csMixedPressed;
    const bool mixed = ImgCheckState == csMixedNormal || ImgCheckState == csMixedPressed;
    const bool checked = ImgCheckState == csCheckedNormal || ImgCheckState == csCheckedPressed;
    // Each group of four: normal, hot, pressed, disabled.
    int base;
    if (mixed) base = 17;
    else if (ImgCheckType == ctRadioButton) base = checked ? 5 : 1;
    else if (ImgCheckType == ctButton) base = 21;
    else base = checked ? 13 : 9;
    if (disabled) return base + 3;
    if (pressed) return base + 2;
    return hot ? base + 1 : base;
}

void TBaseLazyTree::DrawCheckImage(TCanvas* Canvas, const TLTImageInfo& ImageInfo, bool Selected) {
    TImageList* list = ImageInfo.Images;
    if (!list || ImageInfo.ImageIndex < 0) return;
    // No themed check boxes here: the image list's picture, drawn over the
    // row with the selection colour (or the list's blend colour) as its
    // foreground.
    const TColor fore = Selected && !ImageInfo.Ghosted ? SelectionColor() : list->BlendColor();
    list->DrawEx(Canvas, ImageInfo.XPos, ImageInfo.YPos, ImageInfo.ImageIndex, ILD_TRANSPARENT, fore);
}

void TBaseLazyTree::PaintNodeImage(TLTPaintInfo& PaintInfo, TLTImageInfoIndex ImageInfoIndex, bool DoOverlay) {
    TLTImageInfo& info = PaintInfo.ImageInfo[ImageInfoIndex];
    TImageList* list = info.Images;
    if (!list || info.ImageIndex < 0) return;
    PLazyNode node = PaintInfo.Node;
    const TLTPaintOptions paintOpts = FOptions->PaintOptions();
    const bool cutNode = node->States.Contains(vsCutOrCopy) && FStates.Contains(tsCutPending);
    const bool paintFocused = Focused() || paintOpts.Contains(toGhostedIfUnfocused);
    TLTImageInfo& overlay = PaintInfo.ImageInfo[iiOverlay];
    overlay.ImageIndex = -1;
    if (DoOverlay) {
        QueryImageIndex(PaintInfo, ikOverlay, iiOverlay, FImages);
        if (overlay.ImageIndex == info.ImageIndex && overlay.Images == list) overlay.ImageIndex = -1;
    }
    const bool enabled = !node->States.Contains(vsDisabled) && Enabled();
    const bool selected = node->States.Contains(vsSelected);
    list->SetBlendColor(selected && !info.Ghosted ? clDefault : Color());
    unsigned style = ILD_TRANSPARENT;
    if (overlay.ImageIndex >= 0 && overlay.ImageIndex <= 14) style |= INDEXTOOVERLAYMASK(unsigned(overlay.ImageIndex + 1));
    if (paintOpts.Contains(toUseBlendedImages) && paintFocused) {
        const TLTSelectionOptions selOpts = FOptions->SelectionOptions();
        if (info.Ghosted ||
            (selected && !selOpts.Contains(toFullRowSelect) && !FOptions->MiscOptions().Contains(toGridExtensions)) ||
            cutNode)
            style |= ILD_BLEND50;
    }
    const unsigned maskFlag = list->ImageType() == itMask ? unsigned(ILD_MASK) : unsigned(ILD_NORMAL);
    DrawImageEnabled(list, info.ImageIndex, PaintInfo.Canvas, info.XPos, info.YPos, style | maskFlag, enabled);
    if (overlay.ImageIndex >= 15 && overlay.Images) {
        const unsigned overlayStyle = style & ~unsigned(ILD_BLEND50) & ~unsigned(ILD_OVERLAYMASK);
        DrawImageEnabled(overlay.Images, overlay.ImageIndex, PaintInfo.Canvas, info.XPos, info.YPos,
                         overlayStyle | maskFlag, enabled);
    }
}
