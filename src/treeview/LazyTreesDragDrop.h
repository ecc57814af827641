#pragma once
// The drag manager of a tree: its drop target, registered for the tree's
// window, and the drop source of drags from it. It names its tree by id, so
// a tree that is gone is never reached.
#include "platform/controls/DragDrop.h"
#include "treeview/LazyTrees.h"
#include "treeview/LazyTreesDragImage.h"

class TLTDragManager : public IDropTarget, public IDropSource {
public:
    explicit TLTDragManager(TBaseLazyTree* AOwner);
    TBaseLazyTree* Owner() const;
    // The data object of the drag over the owner, else the owner's own one
    // (OnCreateDataObject first).
    std::shared_ptr<IDataObject> TransferObject();
    // The tree of this process the drag over the owner came from.
    TBaseLazyTree* SourceTree() const;
    // The platform shows its drag picture (the system helper's job).
    bool HasTargetHelper() const;
    bool IsActiveTarget() const { return FIsDropTarget; }
    void ForceDragLeave() {}

    HRESULT DragEnter(IDataObject* data, std::uint32_t keyState, TPoint pt, std::uint32_t& effect) override;
    HRESULT DragOver(std::uint32_t keyState, TPoint pt, std::uint32_t& effect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(IDataObject* data, std::uint32_t keyState, TPoint pt, std::uint32_t& effect) override;
    HRESULT QueryContinueDrag(bool escapePressed, std::uint32_t keyState) override;
    HRESULT GiveFeedback(std::uint32_t effect) override;

private:
    uint32_t FOwnerId;
    uint32_t FDragSourceId = 0;
    bool FIsDropTarget = false;
    IDataObject* FEnteredData = nullptr;
    std::shared_ptr<IDataObject> FDataObject;
};

// The exchange's part of a tree: its id among the live trees of the process,
// its watch on the clipboard while a cut or copy is pending, and its drag.
struct TLTExchangeState {
    TBaseLazyTree* Tree = nullptr;
    uint32_t Id = 0;
    int Watch = 0;
    uint32_t OwnSequence = 0;  // the clipboard's content this tree put there
    bool Putting = false;
    std::shared_ptr<TLTDragManager> DragManager;
    TNodeArray DragSelection;
    uint32_t LastDragEffect = 0;
    std::unique_ptr<TLTDragImage> DragImage;
    ~TLTExchangeState();
};
