#pragma once
// The speed button: a graphic button with a glyph strip that can latch down
// and work in groups, as tool bars and the edit fields' embedded buttons use
// it.
#include "platform/controls/Controls.h"

#include <memory>

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TGraphicControl {
    KAL_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    // The glyph strip: NumGlyphs images side by side, for the up, disabled,
    // down and latched states. Its bottom-left pixel's colour is transparent.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* v);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v) { FFlat = v; Invalidate(); }
    // Latched down; only a button of a group (GroupIndex not 0) stays down.
    bool Down() const { return FDown; }
    void SetDown(bool v);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    // Whether the last button of a group may be raised as well.
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout v) { FLayout = v; Invalidate(); }
    // -1 centres the glyph and caption together.
    int Margin() const { return FMargin; }
    void SetMargin(int v) { FMargin = v < -1 ? -1 : v; Invalidate(); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v) { FSpacing = v; Invalidate(); }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v) { FTransparent = v; Invalidate(); }
    bool MouseInControl() const { return FMouseInControl; }
    TButtonState State() const { return FState; }

    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& M) override;
    void CMMouseEnter(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;
    void CMEnabledChanged(TMessage& M) override;
    // Another button of the group went down (CM_BUTTONPRESSED).
    virtual void CMButtonPressed(TMessage& M);
    // Tells the other buttons of the group that this one is down.
    void UpdateExclusive();
    // The glyph image for a state (the up one when the strip has no other).
    QImage GlyphFor(TButtonState s) const;

    TButtonState FState = bsUp;
    bool FMouseInControl = false;
    bool FDragging = false;

private:
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    bool FFlat = false, FDown = false, FAllowAllUp = false, FTransparent = true;
    int FGroupIndex = 0, FMargin = -1, FSpacing = 4;
    TButtonLayout FLayout = blGlyphLeft;
};
