#pragma once
// Styled scroll bars of a lazy tree: two small child windows laid over the
// tree's own scroll bars (as children of the tree's parent) into which the
// hook paints bars whose arrows and thumb show normal, hot, pressed and
// disabled looks, and which drags the thumb itself. The hook sees the tree's
// messages before the tree does. A tree uses it only when told to
// (`TBaseLazyTree::SetStyledScrollBars`); otherwise it keeps its plain bars.
#include "platform/controls/Controls.h"

#include <cstdint>

class TBaseLazyTree;
class TVclStyleScrollBarsHook;

// The looks of one part of a styled bar.
enum TLTScrollBarPartState : uint8_t { spsNormal, spsHot, spsPressed, spsDisabled };
// The elements a styled bar is drawn of.
enum TLTScrollBarElement : uint8_t {
    sbeTrack, sbeThumbVert, sbeThumbHorz, sbeArrowUp, sbeArrowDown, sbeArrowLeft, sbeArrowRight
};

// What the window system tells of one scroll bar of a window.
struct TLTScrollBarInfo {
    TRect ScrollBar;       // the bar, in screen coordinates
    int ThumbTop = 0;      // the thumb's start and end, from the bar's top
    int ThumbBottom = 0;   // (left for the horizontal bar)
    bool Invisible = false;
    bool Unavailable = false;
};

// A child window over one of the tree's bars. It takes no mouse input of its
// own: what reaches it goes on to the tree as the tree's non-client input.
class TVclStyleScrollBarWindow : public TCustomControl {
    KAL_CLASS(TVclStyleScrollBarWindow, TCustomControl)
public:
    TVclStyleScrollBarWindow(TVclStyleScrollBarsHook* AOwner, bool Vertical);
    bool ScrollBarVertical() const { return FScrollBarVertical; }
    bool ScrollBarVisible() const { return FScrollBarVisible; }
    bool ScrollBarEnabled() const { return FScrollBarEnabled; }

protected:
    friend class TVclStyleScrollBarsHook;
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& M) override;
    void Paint() override;

    TVclStyleScrollBarsHook* FScrollBarWindowOwner;
    bool FScrollBarVertical;
    bool FScrollBarVisible = false;
    bool FScrollBarEnabled = false;
};

class TVclStyleScrollBarsHook {
public:
    explicit TVclStyleScrollBarsHook(TBaseLazyTree* AControl);
    virtual ~TVclStyleScrollBarsHook();
    TVclStyleScrollBarsHook(const TVclStyleScrollBarsHook&) = delete;
    TVclStyleScrollBarsHook& operator=(const TVclStyleScrollBarsHook&) = delete;

    // A message of the tree; true: handled, the tree's own processing is
    // left out.
    bool HandleMessage(TMessage& M);

    virtual void MeasureScrollBars();
    // Paints a bar on DC at the bar's place (client coordinates of the tree).
    virtual void PaintHorzScrollBar(TCanvas* DC);
    virtual void PaintVertScrollBar(TCanvas* DC);
    virtual void RepaintScrollBars();
    void PlaceScrollBarWindows();
    // The mouse left the tree: every hot part becomes normal.
    virtual void ResetHotParts();

    TBaseLazyTree* Control() const { return FControl; }
    TVclStyleScrollBarWindow* HorzScrollBarWindow() const { return FHorzScrollBarWindow; }
    TVclStyleScrollBarWindow* VertScrollBarWindow() const { return FVertScrollBarWindow; }

    // Geometry (client coordinates of the tree, moved by the border offset)
    // and states, as measured and tracked.
    TRect FHorzScrollBarRect, FVertScrollBarRect;
    TRect FHorzScrollBarUpButtonRect, FVertScrollBarUpButtonRect;
    TRect FHorzScrollBarDownButtonRect, FVertScrollBarDownButtonRect;
    TRect FHorzScrollBarSliderTrackRect, FVertScrollBarSliderTrackRect;
    TLTScrollBarPartState FHorzScrollBarUpButtonState = spsNormal, FVertScrollBarUpButtonState = spsNormal;
    TLTScrollBarPartState FHorzScrollBarDownButtonState = spsNormal, FVertScrollBarDownButtonState = spsNormal;
    TLTScrollBarPartState FHorzScrollBarSliderState = spsNormal, FVertScrollBarSliderState = spsNormal;
    bool FLeftMouseButtonDown = false;
    int FPrevScrollPos = 0;
    float FScrollPos = 0;

protected:
    // The window system's facts of a bar (the tree's own scroll bars).
    virtual bool GetScrollBarInfo(bool Vertical, TLTScrollBarInfo& Info);
    // Draws one element in a state.
    virtual void DrawElement(TCanvas* C, TLTScrollBarElement Element, TLTScrollBarPartState State, const TRect& R);
    // The tree's own processing of M.
    void CallDefaultProc(TMessage& M);
    // The thumb of a bar in client coordinates (empty: none shown).
    TRect ThumbRect(bool Vertical);
    // The border offset and whether the tree has border styling.
    TPoint BorderOffset() const;
    bool HasBorder() const;
    int HeaderHeight() const;

private:
    bool NCButtonDown(TMessage& M);
    bool NCButtonUp(TMessage& M);
    bool NCMouseMove(TMessage& M);
    bool ButtonUp(TMessage& M);
    bool MouseMove(TMessage& M);
    // The client point of a message's screen point, moved by the border
    // offset, and whether it lies over the tree's header.
    TPoint NCPoint(const TMessage& M) const;
    bool OverHeader(TPoint ClientPoint) const;
    void PaintBar(TCanvas* DC, bool Vertical);
    void ThumbDrag(bool Vertical, int Coordinate);

    TBaseLazyTree* FControl;
    TVclStyleScrollBarWindow* FHorzScrollBarWindow = nullptr;
    TVclStyleScrollBarWindow* FVertScrollBarWindow = nullptr;
};
