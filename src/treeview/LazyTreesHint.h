#pragma once
// The lazy tree's hint window: measures a node hint or tooltip, keeps it
// inside the work area and paints it from a composed buffer. The system's
// tooltip animation is off here, so hints show at once.
#include "treeview/LazyTrees.h"

#include <memory>

class TLazyTreeHintWindow : public THintWindow {
    KAL_CLASS(TLazyTreeHintWindow, THintWindow)
public:
    explicit TLazyTreeHintWindow(TComponent* AOwner);
    ~TLazyTreeHintWindow() override;
    TRect CalcHintRect(int MaxWidth, const QString& AHint, void* AData) override;
    void ActivateHint(TRect R, const QString& AHint) override;
    const TLTHintData& HintData() const { return FHintData; }
    int TextHeight() const { return FTextHeight; }
    // The hint as composed for the window (for tests and painting).
    TBitmap* DrawBuffer() const { return FDrawBuffer.get(); }
    // Whether a tree hint window is being destroyed (process-wide).
    static bool HintWindowDestroying();
    static void SetHintWindowDestroying(bool Value);

protected:
    void Paint() override;
    // Composes the hint in the buffer.
    void ComposeBuffer();

private:
    TLTHintData FHintData;
    int FTextHeight = 0;
    std::unique_ptr<TBitmap> FDrawBuffer;
};
