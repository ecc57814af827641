#pragma once
// Tooltips: a tip with a title, an icon (none, information, warning,
// error), a plain or balloon shape whose stem points at a screen point, and
// the platform's three delays: the initial wait before it shows, the
// auto-pop time after which it hides, the reshow wait when the mouse moves
// to the next tool. A tracking tip shows at once where it is told and stays.
// The tip is a pop-up window (shown without taking the focus, shaped by its
// window region) and runs on the layer's timers.
#include "platform/controls/Forms.h"
#include "platform/controls/StdMessages.h"

#include <memory>

class TToolTip;

// The window the tip shows in.
class TToolTipWindow : public TPopupForm {
    KAL_CLASS(TToolTipWindow, TPopupForm)
public:
    TToolTipWindow(TComponent* AOwner, TToolTip* tip);
    // Lays the tip out with its stem's point at `pointer` (screen).
    void Place(TPoint pointer);
    // Where the stem points (screen coordinates).
    TPoint Pointer() const { return FPointer; }

protected:
    void PaintWindow(const TPaintTarget& target) override;

private:
    TRect BodyRect() const;
    TToolTip* FTip;
    TPoint FPointer;
    bool FStemDown = false;  // the body stands above the point
};

class TToolTip : public TComponent {
    KAL_CLASS(TToolTip, TComponent)
public:
    explicit TToolTip(TComponent* AOwner);
    ~TToolTip() override;

    QString Title, Text;
    int Icon = TTI_NONE;
    bool Balloon = true;
    unsigned InitialDelay = 500, AutoPopDelay = 5000, ReshowDelay = 100;
    TColor Color = clInfoBk;

    // The mouse came to a tool: the tip shows after the initial delay (the
    // reshow delay when a tip was just showing) with its stem at `pointer`.
    void Activate(TPoint pointer);
    // The mouse left the tool: the tip hides and no pending show runs.
    void Deactivate();
    // Tracking: the tip shows at once at the track position and stays until
    // tracking ends.
    void TrackActivate(bool on);
    void TrackPosition(TPoint pointer);
    bool Showing() const;
    TToolTipWindow* Window() const { return FWindow; }

private:
    void ShowNow();
    void Hide();
    TToolTipWindow* FWindow = nullptr;
    std::unique_ptr<TTimer> FShowTimer, FHideTimer;
    TPoint FPointer;
    bool FTracking = false;
    std::int64_t FLastHidden = -1;
};
