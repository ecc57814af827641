#pragma once
// Common controls of the class library: the track bar and the up-down pair.
#include "platform/controls/Controls.h"

#include <functional>

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum TTickStyle { tsNone, tsAuto, tsManual };
enum TUDOrientation { udHorizontal, udVertical };
enum TUDAlignButton { udLeft, udRight };
enum TUDBtnType { btNext, btPrev };

using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// A slider over Min..Max. The user moves it with the mouse (a click in the
// channel moves a page, the thumb follows a drag) and the keys; OnChange
// follows every move of the position.
class TTrackBar : public TWinControl {
    KAL_CLASS(TTrackBar, TWinControl)
public:
    explicit TTrackBar(TComponent* AOwner);
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    void SetMin(int v);
    void SetMax(int v);
    int Position() const { return FPosition; }
    void SetPosition(int v);
    int Frequency() const { return FFrequency; }
    void SetFrequency(int v) { FFrequency = v < 1 ? 1 : v; Invalidate(); }
    int LineSize() const { return FLineSize; }
    void SetLineSize(int v) { FLineSize = v; }
    int PageSize() const { return FPageSize; }
    void SetPageSize(int v) { FPageSize = v; }
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation v);
    TTickMark TickMarks() const { return FTickMarks; }
    void SetTickMarks(TTickMark v) { FTickMarks = v; Invalidate(); }
    TTickStyle TickStyle() const { return FTickStyle; }
    void SetTickStyle(TTickStyle v) { FTickStyle = v; Invalidate(); }
    // The thumb's rectangle and the channel's (client coordinates).
    TRect ThumbRect() const;
    TRect ChannelRect() const;

    TNotifyEvent OnChange;

protected:
    virtual void Changed();
    void PaintWindow(const TPaintTarget& window) override;
    void WMKeyDown(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    void WMLButtonDown(TMessage& M) override;
    void WMLButtonUp(TMessage& M) override;
    void WMMouseMove(TMessage& M) override;
    void WMMouseWheel(TMessage& M) override;

private:
    void UserMove(int v);
    int PosAt(int along) const;
    int Along(TPoint p) const { return FOrientation == trHorizontal ? p.X : p.Y; }
    int FMin = 0, FMax = 10, FPosition = 0, FFrequency = 1, FLineSize = 1, FPageSize = 2;
    TTrackBarOrientation FOrientation = trHorizontal;
    TTickMark FTickMarks = tmBottomRight;
    TTickStyle FTickStyle = tsAuto;
    bool FDragging = false;
};

// The up-down pair: arrows that step a number, shown in its associated
// edit (the "buddy", which gives up room at its right edge for the arrows).
class TUpDown : public TWinControl {
    KAL_CLASS(TUpDown, TWinControl)
public:
    explicit TUpDown(TComponent* AOwner);
    ~TUpDown() override;
    TWinControl* Associate() const { return FAssociate; }
    void SetAssociate(TWinControl* c);
    int Min() const { return FMin; }
    void SetMin(int v) { FMin = v; SetPosition(FPosition); }
    int Max() const { return FMax; }
    void SetMax(int v) { FMax = v; SetPosition(FPosition); }
    int Position() const { return FPosition; }
    // Shown in the buddy at once; no OnClick.
    void SetPosition(int v);
    int Increment() const { return FIncrement; }
    void SetIncrement(int v) { FIncrement = v; }
    bool Wrap() const { return FWrap; }
    void SetWrap(bool v) { FWrap = v; }
    // Thousands separators in the buddy's text.
    bool Thousands() const { return FThousands; }
    void SetThousands(bool v) { FThousands = v; SetPosition(FPosition); }
    // Up and Down in the buddy step as the arrows do.
    bool ArrowKeys() const { return FArrowKeys; }
    void SetArrowKeys(bool v) { FArrowKeys = v; }
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation v) { FOrientation = v; Invalidate(); }
    TUDAlignButton AlignButton() const { return FAlignButton; }
    void SetAlignButton(TUDAlignButton v) { FAlignButton = v; }
    // One step as the user makes it: OnChanging may refuse, then the
    // position moves and OnClick tells which arrow.
    void Step(TUDBtnType button);

    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void PaintWindow(const TPaintTarget& window) override;
    void WMLButtonDown(TMessage& M) override;
    void WMLButtonUp(TMessage& M) override;
    void WMTimer(TMessage& M) override;

private:
    QString FormatPosition(int v) const;
    int BuddyValue() const;
    void Release();
    TWinControl* FAssociate = nullptr;
    TWndMethod FAssociateProc;
    int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
    bool FWrap = false, FThousands = true, FArrowKeys = true;
    TUDOrientation FOrientation = udVertical;
    TUDAlignButton FAlignButton = udRight;
    int FPressed = -1;  // -1 none, else the TUDBtnType held down
};
