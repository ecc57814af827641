#pragma once
// The message numbers, notification codes and small records of the standard
// controls (edits, combo boxes, list boxes, buttons, scroll bars), with the
// platform's numbers, and the beep the controls give when they refuse a key.
#include "platform/controls/Messages.h"

#include <QString>

inline WPARAM MakeWParam(int lo, int hi) {
    return static_cast<WPARAM>(static_cast<std::uint32_t>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}

enum : unsigned {
    // owner drawing and control colours
    WM_DRAWITEM = 0x002B, WM_MEASUREITEM = 0x002C,
    WM_CTLCOLORMSGBOX = 0x0132, WM_CTLCOLOREDIT = 0x0133, WM_CTLCOLORLISTBOX = 0x0134,
    WM_CTLCOLORBTN = 0x0135, WM_CTLCOLORDLG = 0x0136, WM_CTLCOLORSCROLLBAR = 0x0137,
    WM_CTLCOLORSTATIC = 0x0138,
    WM_UNDO = 0x0304,

    // edit control messages
    EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SETRECT = 0x00B3,
    EM_SETRECTNP = 0x00B4, EM_SCROLLCARET = 0x00B7, EM_GETMODIFY = 0x00B8, EM_SETMODIFY = 0x00B9,
    EM_GETLINECOUNT = 0x00BA, EM_LINEINDEX = 0x00BB, EM_LINELENGTH = 0x00C1, EM_REPLACESEL = 0x00C2,
    EM_LIMITTEXT = 0x00C5, EM_CANUNDO = 0x00C6, EM_UNDO = 0x00C7, EM_LINEFROMCHAR = 0x00C9,
    EM_SETPASSWORDCHAR = 0x00CC, EM_EMPTYUNDOBUFFER = 0x00CD, EM_GETFIRSTVISIBLELINE = 0x00CE,
    EM_SETREADONLY = 0x00CF, EM_GETPASSWORDCHAR = 0x00D2, EM_GETLIMITTEXT = 0x00D5,
    EM_POSFROMCHAR = 0x00D6, EM_CHARFROMPOS = 0x00D7,
    EM_SHOWBALLOONTIP = 0x1503, EM_HIDEBALLOONTIP = 0x1504,
    // edit notifications (WM_COMMAND, high word)
    EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300, EN_UPDATE = 0x0400,
    EN_MAXTEXT = 0x0501,

    // combo box messages
    CB_GETEDITSEL = 0x0140, CB_LIMITTEXT = 0x0141, CB_SETEDITSEL = 0x0142, CB_ADDSTRING = 0x0143,
    CB_DELETESTRING = 0x0144, CB_GETCOUNT = 0x0146, CB_GETCURSEL = 0x0147, CB_RESETCONTENT = 0x014B,
    CB_SETCURSEL = 0x014E, CB_SHOWDROPDOWN = 0x014F, CB_GETDROPPEDCONTROLRECT = 0x0152,
    CB_SETITEMHEIGHT = 0x0153, CB_GETITEMHEIGHT = 0x0154, CB_GETDROPPEDSTATE = 0x0157,
    CB_GETDROPPEDWIDTH = 0x015F, CB_SETDROPPEDWIDTH = 0x0160,
    // combo box notifications
    CBN_SELCHANGE = 1, CBN_DBLCLK = 2, CBN_SETFOCUS = 3, CBN_KILLFOCUS = 4, CBN_EDITCHANGE = 5,
    CBN_EDITUPDATE = 6, CBN_DROPDOWN = 7, CBN_CLOSEUP = 8, CBN_SELENDOK = 9, CBN_SELENDCANCEL = 10,

    // list box messages and notifications
    LB_SETSEL = 0x0185, LB_SETCURSEL = 0x0186, LB_GETSEL = 0x0187, LB_GETCURSEL = 0x0188,
    LB_GETCOUNT = 0x018B, LB_GETTOPINDEX = 0x018E, LB_GETSELCOUNT = 0x0190, LB_SETTOPINDEX = 0x0197,
    LB_SETITEMHEIGHT = 0x01A0, LB_GETITEMHEIGHT = 0x01A1, LB_ITEMFROMPOINT = 0x01A9,
    LBN_SELCHANGE = 1, LBN_DBLCLK = 2,

    // button messages and notifications
    BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_GETSTATE = 0x00F2, BM_SETSTATE = 0x00F3,
    BM_CLICK = 0x00F5, BN_CLICKED = 0,
    BST_UNCHECKED = 0, BST_CHECKED = 1, BST_INDETERMINATE = 2,

    // scroll codes of WM_HSCROLL / WM_VSCROLL
    SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2, SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6,
    SB_LEFT = 6, SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8,
};

// Icons of an edit's balloon tip.
enum : int { TTI_NONE = 0, TTI_INFO = 1, TTI_WARNING = 2, TTI_ERROR = 3 };

// What EM_SHOWBALLOONTIP points to (through LParam).
struct EDITBALLOONTIP {
    unsigned cbStruct = 16;
    QString pszTitle;
    QString pszText;
    int ttiIcon = TTI_NONE;
};

// The platform's beep: the controls call it when they refuse a key. Nothing
// sounds in this build; tests read how many beeps there were.
void MessageBeep(unsigned type);
int MessageBeepCount();

// The system tree-view's item messages, which other programs may send to a
// control that answers like one.
enum : unsigned {
    TVM_GETITEMRECT = 0x1104, TVM_GETNEXTITEM = 0x110A, TVM_GETITEMW = 0x113E,
    TVIF_TEXT = 0x0001, TVIF_IMAGE = 0x0002, TVIF_PARAM = 0x0004, TVIF_STATE = 0x0008, TVIF_HANDLE = 0x0010,
    TVIF_SELECTEDIMAGE = 0x0020, TVIF_CHILDREN = 0x0040,
    TVIS_SELECTED = 0x0002, TVIS_CUT = 0x0004, TVIS_DROPHILITED = 0x0008, TVIS_BOLD = 0x0010,
    TVIS_EXPANDED = 0x0020, TVIS_FOCUSED = 0x0001,
    TVGN_ROOT = 0, TVGN_NEXT = 1, TVGN_PREVIOUS = 2, TVGN_PARENT = 3, TVGN_CHILD = 4, TVGN_FIRSTVISIBLE = 5,
    TVGN_NEXTVISIBLE = 6, TVGN_PREVIOUSVISIBLE = 7, TVGN_DROPHILITE = 8, TVGN_CARET = 9, TVGN_LASTVISIBLE = 10,
};
// The item record of TVM_GETITEMW (through LParam); hItem is the item's
// handle, pszText a caller's buffer of cchTextMax characters.
struct TVITEMW {
    unsigned mask = 0;
    void* hItem = nullptr;
    unsigned state = 0;
    unsigned stateMask = 0;
    char16_t* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int cChildren = 0;
    intptr_t lParam = 0;
};
// INDEXTOOVERLAYMASK comes with the image lists.
constexpr unsigned INDEXTOSTATEIMAGEMASK(unsigned i) { return i << 12; }
