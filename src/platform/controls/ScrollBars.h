#pragma once
// The scroll bars of a windowed control: one facility for every control that
// scrolls (WS_HSCROLL / WS_VSCROLL), and for the scroll-bar control itself
// (SB_CTL).
//
// Each bar keeps its scroll information (range, page, position, the track
// position while the thumb is dragged). A window's bars live in its
// non-client area (WM_NCCALCSIZE takes their room, WM_NCPAINT draws them,
// WM_NCHITTEST answers HTVSCROLL / HTHSCROLL); the mouse on them sends the
// control WM_VSCROLL / WM_HSCROLL with the scroll code in the low word of
// WParam and, for SB_THUMBTRACK and SB_THUMBPOSITION, the position in the
// high word: arrows and page clicks repeat while held, the thumb follows the
// mouse, and the release ends with SB_ENDSCROLL.
//
// The position is kept within Min .. Max - Page + 1 (Min .. Max without a
// page). When the page covers the whole range the bar has nothing to scroll:
// it is hidden, or only disabled when SIF_DISABLENOSCROLL asks so.
#include "platform/controls/Controls.h"
#include "platform/controls/StdMessages.h"
#include "platform/controls/Timers.h"

#include <memory>

enum : int { SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3 };
// The scroll-bar control's style: which way it runs.
enum : std::uint32_t { SBS_HORZ = 0x0, SBS_VERT = 0x1 };
enum : unsigned {
    SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8, SIF_TRACKPOS = 0x10,
    SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS,
};
enum : unsigned { ESB_ENABLE_BOTH = 0, ESB_DISABLE_LTUP = 1, ESB_DISABLE_RTDN = 2, ESB_DISABLE_BOTH = 3 };

struct TScrollInfo {
    unsigned cbSize = 28;
    unsigned fMask = 0;
    int nMin = 0;
    int nMax = 0;
    unsigned nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

// The looks of the same bars: the classic raised one, the flat one and the
// thin one (a narrow flat bar).
enum TScrollBarLook { sblClassic, sblFlat, sblThin };

// The parts of a bar under the mouse.
enum TScrollBarPart { sbpNone, sbpLineUp, sbpPageUp, sbpThumb, sbpPageDown, sbpLineDown };

class TWinScrollBars {
public:
    explicit TWinScrollBars(TWinControl* owner);
    ~TWinScrollBars();

    struct TBar {
        bool Shown = false;
        int Min = 0, Max = 100;
        unsigned Page = 0;
        int Pos = 0;
        int TrackPos = 0;
        bool Tracking = false;          // the thumb is being dragged
        bool NoScrollDisabled = false;  // nothing to scroll, kept as a disabled bar
        unsigned Disabled = ESB_ENABLE_BOTH;
        TScrollBarLook Look = sblClassic;
        int Thickness = 0;              // 0: the platform's width for the look
    };

    TBar& Bar(int which);
    const TBar& Bar(int which) const;

    int SetScrollInfo(int which, const TScrollInfo& si, bool redraw);
    bool GetScrollInfo(int which, TScrollInfo& si) const;
    // Shows or hides a window bar (SB_HORZ, SB_VERT or SB_BOTH).
    void ShowBar(int which, bool show);
    void EnableBar(int which, unsigned arrows);
    // The bars follow the window's style bits (WS_HSCROLL, WS_VSCROLL).
    void TakeStyle(std::uint32_t style);

    // Geometry, in window coordinates (SB_CTL: the control's whole client
    // area). Empty when the bar does not show.
    int Thickness(int which) const;
    TRect BarRect(int which) const;
    TRect PartRect(int which, TScrollBarPart part) const;
    TScrollBarPart PartAt(int which, TPoint windowPoint) const;
    // The bar can scroll (shown, something to scroll, not disabled).
    bool Scrollable(int which) const;

    // Draws the window's bars (and the corner between them) on a canvas in
    // window coordinates; SB_CTL draws the control's own bar.
    void Paint(TCanvas* c, int which) const;
    void PaintWindowBars(TCanvas* c) const;

    // The mouse: a press on bar `which` at a window point starts tracking;
    // moves and the release are taken while tracking. True when taken.
    bool MouseDown(int which, TPoint windowPoint);
    bool MouseMove(TPoint windowPoint);
    bool MouseUp(TPoint windowPoint);
    bool Tracking() const { return FTrackBar >= 0; }
    void CancelTracking();

private:
    void Send(int which, unsigned code, int pos = 0);
    void Repeat();
    void InvalidateBar(int which);
    int MaxPos(const TBar& b) const;
    int ThumbPosFromOffset(int which, int offset) const;
    void ShownChanged();

    TWinControl* FOwner;
    TBar FBars[3];
    // Tracking state.
    int FTrackBar = -1;
    TScrollBarPart FTrackPart = sbpNone;
    bool FPressedShown = false;  // the mouse is still over the pressed part
    int FGrab = 0;               // where the thumb was taken, from its start
    TPoint FLastPoint;
    std::unique_ptr<TTimer> FRepeat;
};

// The platform's calls, on a control's window bars (SB_HORZ, SB_VERT) or on a
// scroll-bar control's own bar (SB_CTL).
int SetScrollInfo(TWinControl* c, int bar, const TScrollInfo& si, bool redraw);
bool GetScrollInfo(TWinControl* c, int bar, TScrollInfo& si);
int SetScrollPos(TWinControl* c, int bar, int pos, bool redraw);
int GetScrollPos(TWinControl* c, int bar);
bool SetScrollRange(TWinControl* c, int bar, int min, int max, bool redraw);
bool GetScrollRange(TWinControl* c, int bar, int& min, int& max);
bool ShowScrollBar(TWinControl* c, int bar, bool show);
bool EnableScrollBar(TWinControl* c, int bar, unsigned arrows);
// The same by handle.
int SetScrollInfo(HWND h, int bar, const TScrollInfo& si, bool redraw);
bool GetScrollInfo(HWND h, int bar, TScrollInfo& si);
int SetScrollPos(HWND h, int bar, int pos, bool redraw);
int GetScrollPos(HWND h, int bar);
bool SetScrollRange(HWND h, int bar, int min, int max, bool redraw);
bool ShowScrollBar(HWND h, int bar, bool show);
bool EnableScrollBar(HWND h, int bar, unsigned arrows);

// The flat scroll bars: the same bars in another look.
enum : int { FSB_REGULAR_MODE = 0, FSB_ENCARTA_MODE = 1, FSB_FLAT_MODE = 2 };
enum : int {
    WSB_PROP_CYVSCROLL = 0x1, WSB_PROP_CXHSCROLL = 0x2, WSB_PROP_CYHSCROLL = 0x4, WSB_PROP_CXVSCROLL = 0x8,
    WSB_PROP_CXHTHUMB = 0x10, WSB_PROP_CYVTHUMB = 0x20, WSB_PROP_VBKGCOLOR = 0x40, WSB_PROP_HBKGCOLOR = 0x80,
    WSB_PROP_VSTYLE = 0x100, WSB_PROP_HSTYLE = 0x200, WSB_PROP_WINSTYLE = 0x400, WSB_PROP_PALETTE = 0x800,
};
bool InitializeFlatSB(TWinControl* c);
void UninitializeFlatSB(TWinControl* c);
bool FlatSB_SetScrollProp(TWinControl* c, int index, int value, bool redraw);
bool FlatSB_GetScrollProp(TWinControl* c, int index, int& value);
int FlatSB_SetScrollInfo(TWinControl* c, int bar, const TScrollInfo& si, bool redraw);
bool FlatSB_GetScrollInfo(TWinControl* c, int bar, TScrollInfo& si);
int FlatSB_SetScrollPos(TWinControl* c, int bar, int pos, bool redraw);
int FlatSB_GetScrollPos(TWinControl* c, int bar);
bool FlatSB_SetScrollRange(TWinControl* c, int bar, int min, int max, bool redraw);
bool FlatSB_ShowScrollBar(TWinControl* c, int bar, bool show);
bool FlatSB_EnableScrollBar(TWinControl* c, int bar, unsigned arrows);
