#pragma once
// The thin scroll bar of the Metro scroll type: a strip at the grid's right
// (rows) or bottom (columns) edge that draws only a thumb. A press before or
// after the thumb pages, a press on it drags through the rows or columns.
// The grid is the control's parent; without a string grid there it does
// nothing.
#include "gridpack/stringgrid/ExGridOwned.h"

enum TScrollDirection { sdVertical, sdHorizontal };

class TScrollControl : public TGridChildControl {
    KAL_CLASS(TScrollControl, TGridChildControl)
public:
    explicit TScrollControl(TComponent* AOwner);
    // Thickness of the thumb across the strip.
    int ScrollWidth() const { return FScrollWidth; }
    void SetScrollWidth(int v);
    TScrollDirection Direction() const { return FDirection; }
    void SetDirection(TScrollDirection v);
    // The thumb's start and length along the strip; false when there is no
    // thumb (no grid, nothing scrolls, or no track left).
    bool Thumb(int& Pos, int& Len) const;
    // The thumb of a strip of Length pixels whose track (Track pixels)
    // starts at Start: Visible of Count cells shown, Fixed of them fixed,
    // the first scrolling one shown being First. At least 20 long, kept
    // inside the strip; false when nothing scrolls or the track is empty.
    static bool ThumbMetrics(int Length, int Start, int Track, int Visible, int Count, int Fixed, int First,
                             int& Pos, int& Len);
    bool Dragging() const { return FDownOnScroller; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TExStringGrid* Grid() const;
    int FScrollWidth = 4;
    TScrollDirection FDirection = sdVertical;
    bool FDownOnScroller = false;
    int FDownPos = 0;
    int FDownRow = 0;
};
