// The edit and the memo: text entry, caret and selection, clipboard, the
// edit messages, and the layout of the text in the formatting rectangle.
#include "platform/controls/Clipboard.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/ScrollBars.h"

#include <QRegularExpression>
#include <algorithm>

namespace {
// The border and the inner margin between the frame and the text.
constexpr int kEdge = 2;
constexpr int kMargin = 1;

QString CaseOf(const QString& s, TEditCharCase cc) {
    switch (cc) {
    case ecUpperCase: return s.toUpper();
    case ecLowerCase: return s.toLower();
    default: return s;
    }
}
}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csFixedHeight;
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams& P) {
    TCustomControl::CreateParams(P);
    P.Style |= ES_AUTOHSCROLL;
    if (!FPasswordChar.isNull()) P.Style |= ES_PASSWORD;
    // A new window lays its text out anew.
    FLayoutValid = false;
    if (FAlignment == taRightJustify) P.Style |= ES_RIGHT;
    else if (FAlignment == taCenter) P.Style |= ES_CENTER;
    if (FBorderStyle == bsSingle) P.ExStyle |= WS_EX_CLIENTEDGE;
}

bool TCustomEdit::MultiLine() const {
    return (const_cast<TCustomEdit*>(this)->Params().Style & ES_MULTILINE) != 0;
}

bool TCustomEdit::WordWrapping() const {
    return MultiLine() && !(const_cast<TCustomEdit*>(this)->Params().Style & ES_AUTOHSCROLL);
}

bool TCustomEdit::WantReturnsKey() const {
    return MultiLine() && (const_cast<TCustomEdit*>(this)->Params().Style & ES_WANTRETURN) != 0;
}

// -- properties ---------------------------------------------------------------

void TCustomEdit::SetMaxLength(int v) { FCore.SetMaxLength(v); }

void TCustomEdit::SetPasswordChar(QChar v) {
    if (v == FPasswordChar) return;
    FPasswordChar = v;
    RecreateWnd();
    Invalidate();
}

void TCustomEdit::SetReadOnly(bool v) {
    FReadOnly = v;
    Invalidate();
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
    if (v == FCharCase) return;
    FCharCase = v;
    const QString converted = CaseOf(Text(), v);
    if (converted != Text()) TControl::SetText(converted);
}

void TCustomEdit::SetHideSelection(bool v) {
    FHideSelection = v;
    Invalidate();
}

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
    if (v == FBorderStyle) return;
    FBorderStyle = v;
    RecreateWnd();
    InvalidateLayout();
    Invalidate();
}

void TCustomEdit::SetAlignment(TAlignment v) {
    if (v == FAlignment) return;
    FAlignment = v;
    RecreateWnd();
    Invalidate();
}

void TCustomEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const bool resized = AWidth != Width() || AHeight != Height();
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (resized) InvalidateLayout();
}

// -- selection ----------------------------------------------------------------

void TCustomEdit::SetSelStart(int v) {
    FCore.SetSel(std::max(0, v), 0);
    ScrollCaret();
    Invalidate();
}

void TCustomEdit::SetSelLength(int v) {
    FCore.SetSel(FCore.SelStart(), std::max(0, v));
    ScrollCaret();
    Invalidate();
}

void TCustomEdit::SetSelText(const QString& v) {
    TMessage m{EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(&v), 0};
    WindowProc(m);
}

void TCustomEdit::SelectAll() {
    FCore.SelectAll();
    Invalidate();
}

void TCustomEdit::ClearSelection() { Perform(WM_CLEAR); }
void TCustomEdit::Clear() { TControl::SetText(QString()); }
void TCustomEdit::CopyToClipboard() { Perform(WM_COPY); }
void TCustomEdit::CutToClipboard() { Perform(WM_CUT); }
void TCustomEdit::PasteFromClipboard() { Perform(WM_PASTE); }
void TCustomEdit::Undo() { Perform(WM_UNDO); }

// -- text changes -----------------------------------------------------------

QString TCustomEdit::FilterText(const QString& s) const {
    QString out = CaseOf(s, FCharCase);
    if (!MultiLine()) {
        // A one-line edit takes text up to its first line break.
        const int brk = int(out.indexOf(QRegularExpression(QStringLiteral("[\r\n]"))));
        if (brk >= 0) out.truncate(brk);
    }
    return out;
}

void TCustomEdit::UserSetText(const QString& text, int anchor, int caret) {
    FUserChange = true;
    struct Reset { bool& f; ~Reset() { f = false; } } reset{FUserChange};
    const bool changed = text != Text();
    FModified = FModified || changed;
    if (changed) {
        // The caret is placed with the new text, before the change handler
        // runs: a selection the handler makes stays.
        FUserAnchor = anchor;
        FUserCaret = caret;
        TControl::SetText(text);
        if (FUserAnchor >= 0) {
            // No change notice took it: placed here.
            FCore.SetAnchorCaret(FUserAnchor, FUserCaret);
            FUserAnchor = FUserCaret = -1;
        }
    } else {
        FCore.SetAnchorCaret(anchor, caret);
    }
    InvalidateLayout();
    ScrollCaret();
    Invalidate();
}

bool TCustomEdit::InsertText(const QString& s) {
    if (FReadOnly) return false;
    TEditCore next = FCore;
    if (!next.ReplaceSel(s)) {
        if (!s.isEmpty() && next.Room() == 0) SendNotification(this, EN_MAXTEXT);
        return false;
    }
    const QString text = next.Text();
    const int caret = next.Caret();
    FCore = next;
    // The core already holds the new text; the control's copy follows.
    UserSetText(text, caret, caret);
    return true;
}

void TCustomEdit::TypeChar(QChar ch) {
    if (FReadOnly) {
        MessageBeep(0);
        return;
    }
    const QString s = CaseOf(QString(ch), FCharCase);
    if (!InsertText(s)) MessageBeep(0);
}

bool TCustomEdit::DeleteKey(bool back) {
    if (FReadOnly) return false;
    TEditCore next = FCore;
    if (!(back ? next.DeleteBack() : next.DeleteForward())) return false;
    FCore = next;
    UserSetText(next.Text(), next.Caret(), next.Caret());
    return true;
}

void TCustomEdit::SyncFromText() {
    // Text set from outside: the caret goes to the start, undo is lost.
    const int max = FCore.MaxLength();
    FCore.Assign(Text());
    FCore.SetMaxLength(max);
    FScrollX = 0;
    FTopLine = 0;
    InvalidateLayout();
}

void TCustomEdit::CMTextChanged(TMessage& M) {
    if (!FUserChange) {
        const QString wanted = FilterText(Text());
        // A text that the edit cannot hold as given (case, line breaks) is
        // stored converted; the nested change notice does the rest.
        if (wanted != Text() && (FCharCase != ecNormal)) {
            TControl::SetText(wanted);
            return;
        }
        SyncFromText();
    } else {
        // The core holds the text already; the caret is the user change's
        // (a text set again from the change handler keeps the caret it has).
        int a = FCore.Anchor(), c = FCore.Caret();
        if (FUserAnchor >= 0) {
            a = FUserAnchor;
            c = FUserCaret;
            FUserAnchor = FUserCaret = -1;
        }
        const int max = FCore.MaxLength();
        if (FCore.Text() != Text()) FCore.Assign(Text());
        FCore.SetMaxLength(max);
        FCore.SetAnchorCaret(a, c);
    }
    TCustomControl::CMTextChanged(M);
    SendNotification(this, EN_CHANGE);
    Change();
}

void TCustomEdit::CMFontChanged(TMessage& M) {
    TCustomControl::CMFontChanged(M);
    InvalidateLayout();
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

// -- messages -----------------------------------------------------------------

void TCustomEdit::WndProc(TMessage& M) {
    switch (M.Msg) {
    case WM_COPY: WMCopy(M); return;
    case WM_CUT: WMCut(M); return;
    case WM_PASTE: WMPaste(M); return;
    case WM_CLEAR: WMClear(M); return;
    case WM_UNDO: WMUndo(M); return;
    default:
        if (EditMessage(M)) return;
        TCustomControl::WndProc(M);
    }
}

void TCustomEdit::WMCopy(TMessage&) {
    // A password edit never gives its text away.
    if (!FPasswordChar.isNull() || FCore.SelLength() == 0) return;
    Clipboard()->SetAsText(FCore.SelText());
}

void TCustomEdit::WMCut(TMessage& M) {
    if (!FPasswordChar.isNull() || FReadOnly || FCore.SelLength() == 0) return;
    WMCopy(M);
    WMClear(M);
}

void TCustomEdit::WMPaste(TMessage&) {
    if (FReadOnly || !Clipboard()->HasFormat(CF_TEXT)) return;
    const QString s = FilterText(Clipboard()->AsText());
    if (s.isEmpty() && FCore.SelLength() == 0) return;
    if (!InsertText(s) && !s.isEmpty()) MessageBeep(0);
}

void TCustomEdit::WMClear(TMessage&) {
    if (FReadOnly || FCore.SelLength() == 0) return;
    DeleteKey(true);
}

void TCustomEdit::WMUndo(TMessage& M) {
    if (FReadOnly || !FCore.CanUndo()) return;
    TEditCore next = FCore;
    next.Undo();
    FCore = next;
    UserSetText(next.Text(), next.Anchor(), next.Caret());
    M.Result = 1;
}

bool TCustomEdit::EditMessage(TMessage& M) {
    switch (M.Msg) {
    case EM_GETSEL: {
        if (M.WParam) *reinterpret_cast<int*>(M.WParam) = SelStart();
        if (M.LParam) *reinterpret_cast<int*>(M.LParam) = SelStart() + SelLength();
        M.Result = MakeLParam(SelStart(), SelStart() + SelLength());
        return true;
    }
    case EM_SETSEL: {
        const int from = int(static_cast<std::intptr_t>(M.WParam));
        const int to = int(M.LParam);
        if (from < 0) FCore.SetSel(-1, 0);
        else if (to < 0) FCore.SetAnchorCaret(from, int(Text().size()));
        else FCore.SetAnchorCaret(from, to);
        ScrollCaret();
        Invalidate();
        return true;
    }
    case EM_REPLACESEL: {
        // LParam points to the text; a null pointer replaces nothing.
        if (M.LParam && !FReadOnly) InsertText(FilterText(*reinterpret_cast<const QString*>(M.LParam)));
        return true;
    }
    case EM_GETRECT:
        if (M.LParam) *reinterpret_cast<TRect*>(M.LParam) = FormattingRect();
        return true;
    case EM_SETRECT: case EM_SETRECTNP:
        if (M.LParam) SetFormattingRect(*reinterpret_cast<const TRect*>(M.LParam));
        else {
            FHasOwnRect = false;
            InvalidateLayout();
        }
        return true;
    case EM_SCROLLCARET: ScrollCaret(); Invalidate(); return true;
    case EM_GETMODIFY: M.Result = FModified ? 1 : 0; return true;
    case EM_SETMODIFY: FModified = M.WParam != 0; return true;
    case EM_GETLINECOUNT: M.Result = LineCount(); return true;
    case EM_LINEINDEX: M.Result = LineIndex(int(static_cast<std::intptr_t>(M.WParam))); return true;
    case EM_LINEFROMCHAR: M.Result = LineFromChar(int(static_cast<std::intptr_t>(M.WParam))); return true;
    case EM_LINELENGTH: {
        const int pos = int(static_cast<std::intptr_t>(M.WParam));
        const QList<Line>& ls = Lines_();
        if (pos < 0) {
            // The unselected characters of the lines the selection touches.
            const int a = LineOf(SelStart()), b = LineOf(SelStart() + SelLength());
            M.Result = (SelStart() - ls[a].Start) + (ls[b].Start + ls[b].Length - (SelStart() + SelLength()));
        } else {
            M.Result = ls[LineOf(pos)].Length;
        }
        return true;
    }
    case EM_LIMITTEXT: SetMaxLength(int(M.WParam)); return true;
    case EM_GETLIMITTEXT: M.Result = MaxLength() > 0 ? MaxLength() : 0x7FFFFFFE; return true;
    case EM_CANUNDO: M.Result = FCore.CanUndo() ? 1 : 0; return true;
    case EM_UNDO: WMUndo(M); return true;
    case EM_EMPTYUNDOBUFFER: FCore.EmptyUndo(); return true;
    case EM_SETPASSWORDCHAR: SetPasswordChar(QChar(char16_t(M.WParam))); return true;
    case EM_GETPASSWORDCHAR: M.Result = FPasswordChar.unicode(); return true;
    case EM_SETREADONLY: SetReadOnly(M.WParam != 0); M.Result = 1; return true;
    case EM_GETFIRSTVISIBLELINE: M.Result = MultiLine() ? FTopLine : FScrollX; return true;
    case EM_CHARFROMPOS: {
        int line = 0;
        const int ch = CharFromPos(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)), &line);
        M.Result = MakeLParam(ch, line);
        return true;
    }
    case EM_POSFROMCHAR: {
        const TPoint p = PosFromChar(int(M.WParam));
        M.Result = MakeLParam(p.X, p.Y);
        return true;
    }
    case EM_SHOWBALLOONTIP:
        if (M.LParam) {
            FBalloon = *reinterpret_cast<const EDITBALLOONTIP*>(M.LParam);
            ShowBalloonWindow();
            M.Result = 1;
        }
        return true;
    case EM_HIDEBALLOONTIP:
        M.Result = FBalloon ? 1 : 0;
        DropBalloon();
        return true;
    default: return false;
    }
}

void TCustomEdit::ShowBalloonWindow() {
    // The tip floats below the edit, its title on the first line.
    if (!FBalloonWindow) {
        FBalloonWindow = new THintWindow(this);
        FBalloonWindow->AfterConstruction();
    }
    const QString text = FBalloon->pszTitle.isEmpty() ? FBalloon->pszText
                                                      : FBalloon->pszTitle + QLatin1Char('\n') + FBalloon->pszText;
    TRect r = FBalloonWindow->CalcHintRect(300, text, nullptr);
    const TPoint at = ClientToScreen(Point(0, Height()));
    OffsetRect(r, at.X - r.Left, at.Y - r.Top);
    FBalloonWindow->ActivateHint(r, text);
}

void TCustomEdit::DropBalloon() {
    if (!FBalloon) return;
    FBalloon.reset();
    if (FBalloonWindow) FBalloonWindow->ReleaseHandle();
}

void TCustomEdit::ShowBalloonTip(const QString& title, const QString& text, int icon) {
    EDITBALLOONTIP tip;
    tip.pszTitle = title;
    tip.pszText = text;
    tip.ttiIcon = icon;
    Perform(EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&tip));
}

void TCustomEdit::HideBalloonTip() { Perform(EM_HIDEBALLOONTIP); }

void TCustomEdit::WMGetDlgCode(TMessage& M) {
    M.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
    if (MultiLine() && WantTabsKey()) M.Result |= DLGC_WANTTAB;
}

void TCustomEdit::CMWantSpecialKey(TMessage& M) {
    // A memo that wants returns keeps Enter from the dialog; Tab stays the
    // dialog's unless it wants tabs.
    M.Result = (M.WParam == VK_RETURN && MultiLine() && WantReturnsKey()) ? 1 : 0;
}

void TCustomEdit::WMSetFocus(TMessage& M) {
    TCustomControl::WMSetFocus(M);
    SendNotification(this, EN_SETFOCUS);
    Invalidate();
}

void TCustomEdit::WMKillFocus(TMessage& M) {
    DropBalloon();
    TCustomControl::WMKillFocus(M);
    SendNotification(this, EN_KILLFOCUS);
    Invalidate();
}

void TCustomEdit::DoEnter() {
    // Entering by the keyboard selects the whole text of a one-line edit.
    if (FAutoSelect && !FMouseFocusing && !MultiLine()) SelectAll();
    TCustomControl::DoEnter();
}

void TCustomEdit::WMKeyDown(TMessage& M) {
    DropBalloon();
    if (DoKeyDown(M)) {
        M.Result = 1;
        return;
    }
    const unsigned key = unsigned(M.WParam);
    const TShiftState shift = KeyboardShiftState();
    switch (key) {
    case VK_DELETE:
        if (shift & ssShift) Perform(WM_CUT);
        else if (shift & ssCtrl) {
            if (!FReadOnly && FCore.SelLength() == 0) {
                FCore.SetAnchorCaret(FCore.Caret(), FCore.WordRight(FCore.Caret()));
            }
            DeleteKey(false);
        } else if (!DeleteKey(false) && FReadOnly) MessageBeep(0);
        break;
    case VK_INSERT:
        if (shift & ssCtrl) Perform(WM_COPY);
        else if (shift & ssShift) Perform(WM_PASTE);
        break;
    default: MoveByKey(key, shift); break;
    }
}

void TCustomEdit::MoveByKey(unsigned key, TShiftState shift) {
    const bool extend = shift & ssShift;
    const bool ctrl = shift & ssCtrl;
    const int caret = FCore.Caret();
    const int n = int(Text().size());
    int to = caret;
    switch (key) {
    case VK_LEFT:
        if (!extend && FCore.SelLength() > 0 && !ctrl) to = FCore.SelStart();
        else if (ctrl) to = FCore.WordLeft(caret);
        else {
            to = caret - 1;
            if (to > 0 && Text()[to] == QLatin1Char('\n') && Text()[to - 1] == QLatin1Char('\r')) --to;
        }
        break;
    case VK_RIGHT:
        if (!extend && FCore.SelLength() > 0 && !ctrl) to = FCore.SelStart() + FCore.SelLength();
        else if (ctrl) to = FCore.WordRight(caret);
        else {
            to = caret + 1;
            if (caret < n && Text()[caret] == QLatin1Char('\r') && to < n && Text()[to] == QLatin1Char('\n')) ++to;
        }
        break;
    case VK_HOME: {
        const QList<Line>& ls = Lines_();
        to = ctrl ? 0 : ls[LineOf(caret)].Start;
        break;
    }
    case VK_END: {
        const QList<Line>& ls = Lines_();
        const Line& l = ls[LineOf(caret)];
        to = ctrl ? n : l.Start + l.Length;
        break;
    }
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: {
        if (!MultiLine()) {
            // A one-line edit takes Up and Down as Left and Right.
            if (key == VK_UP) MoveByKey(VK_LEFT, shift);
            else if (key == VK_DOWN) MoveByKey(VK_RIGHT, shift);
            return;
        }
        const int line = LineOf(caret);
        const int page = std::max(1, FormattingRect().Height() / std::max(1, LineHeight()));
        int target = line;
        if (key == VK_UP) target = line - 1;
        else if (key == VK_DOWN) target = line + 1;
        else if (key == VK_PRIOR) target = line - page;
        else target = line + page;
        target = std::clamp(target, 0, int(Lines_().size()) - 1);
        to = PosInLineAt(target, XInLine(line, caret));
        break;
    }
    default: return;
    }
    FCore.MoveCaret(to, extend);
    ScrollCaret();
    Invalidate();
}

void TCustomEdit::WMChar(TMessage& M) {
    DropBalloon();
    if (DoKeyPress(M)) {
        M.Result = 1;
        return;
    }
    const QChar ch(char16_t(M.WParam));
    switch (ch.unicode()) {
    case 1: SelectAll(); return;                 // Ctrl+A
    case 3: Perform(WM_COPY); return;            // Ctrl+C
    case 22: Perform(WM_PASTE); return;          // Ctrl+V
    case 24: Perform(WM_CUT); return;            // Ctrl+X
    case 26: Perform(WM_UNDO); return;           // Ctrl+Z
    case 8:
        if (!DeleteKey(true) && FReadOnly) MessageBeep(0);
        return;
    case 13:
        if (MultiLine() && WantReturnsKey() && !InsertText(QStringLiteral("\r\n"))) MessageBeep(0);
        return;
    case 10:
        if (MultiLine()) InsertText(QStringLiteral("\r\n"));
        return;
    case 9:
        if (MultiLine() && WantTabsKey()) InsertText(QStringLiteral("\t"));
        return;
    default: break;
    }
    if (ch.unicode() < 32 || ch.unicode() == 127) return;
    TypeChar(ch);
}

// -- mouse --------------------------------------------------------------------

void TCustomEdit::WMLButtonDown(TMessage& M) {
    FMouseFocusing = true;
    if (CanFocus() && !Focused()) SetFocus();
    FMouseFocusing = false;
    const TPoint p(GetXLParam(M.LParam), GetYLParam(M.LParam));
    const bool extend = (M.WParam & MK_SHIFT) != 0;
    FCore.MoveCaret(CharFromPos(p), extend);
    FMouseSelecting = true;
    ScrollCaret();
    Invalidate();
    TCustomControl::WMLButtonDown(M);
}

void TCustomEdit::WMMouseMove(TMessage& M) {
    if (FMouseSelecting && MouseCapture()) {
        FCore.MoveCaret(CharFromPos(Point(GetXLParam(M.LParam), GetYLParam(M.LParam))), true);
        ScrollCaret();
        Invalidate();
    }
    TCustomControl::WMMouseMove(M);
}

void TCustomEdit::WMLButtonUp(TMessage& M) {
    FMouseSelecting = false;
    TCustomControl::WMLButtonUp(M);
}

void TCustomEdit::WMMouseWheel(TMessage& M) {
    if (!MultiLine()) {
        TCustomControl::WMMouseWheel(M);
        return;
    }
    // The wheel events come first; else the wheel scrolls the lines (the
    // caret stays where it is) and goes no further up.
    const int delta = static_cast<std::int16_t>((M.WParam >> 16) & 0xFFFF);
    if (DoMouseWheel(KeyboardShiftState(), delta, Point(GetXLParam(M.LParam), GetYLParam(M.LParam)))) {
        M.Result = 1;
        return;
    }
    const int visible = std::max(1, FormattingRect().Height() / LineHeight());
    const int last = std::max(0, int(Lines_().size()) - visible);
    FTopLine = std::clamp(FTopLine + (delta < 0 ? WheelScrollLines() : -WheelScrollLines()), 0, last);
    Invalidate();
    M.Result = 1;
}

void TCustomEdit::WMLButtonDblClk(TMessage& M) {
    const int at = CharFromPos(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)));
    if (FPasswordChar.isNull()) FCore.SetAnchorCaret(FCore.WordLeft(std::min(int(Text().size()), at + 1)), FCore.WordRight(at));
    else FCore.SelectAll();
    Invalidate();
    TCustomControl::WMLButtonDblClk(M);
}

// -- layout -------------------------------------------------------------------

QString TCustomEdit::ShownText() const {
    if (!FPasswordChar.isNull() && !MultiLine()) return QString(Text().size(), FPasswordChar);
    return Text();
}

int TCustomEdit::TextWidthOf(const QString& s) {
    TCanvas* c = Canvas();
    c->Font().Assign(*Font());
    return c->TextWidth(s);
}

int TCustomEdit::LineHeight() {
    TCanvas* c = Canvas();
    c->Font().Assign(*Font());
    return std::max(1, c->TextHeight(QStringLiteral("Wg")));
}

void TCustomEdit::ClientBorder(TRect& r) const {
    if (FBorderStyle == bsSingle && !NonClientBorder()) InflateRect(r, -kEdge, -kEdge);
}

TRect TCustomEdit::DefaultFormattingRect() const {
    TRect r = ClientRect();
    ClientBorder(r);
    InflateRect(r, -kMargin, 0);
    if (!MultiLine()) r.Top += kMargin;
    return r;
}

TRect TCustomEdit::FormattingRect() { return FHasOwnRect ? FOwnRect : DefaultFormattingRect(); }

void TCustomEdit::SetFormattingRect(const TRect& r) {
    FHasOwnRect = true;
    FOwnRect = r;
    InvalidateLayout();
    Invalidate();
}

const QList<TCustomEdit::Line>& TCustomEdit::Lines_() {
    if (FLayoutValid) return FLines;
    FLines.clear();
    const QString& t = Text();
    const QString shown = ShownText();
    const int n = int(t.size());
    if (!MultiLine()) {
        FLines << Line{0, n};
        FLayoutValid = true;
        return FLines;
    }
    const int width = FormattingRect().Width();
    int start = 0;
    while (true) {
        // One hard line: up to CR LF (a lone LF or CR ends a line as well).
        int end = start;
        while (end < n && t[end] != QLatin1Char('\r') && t[end] != QLatin1Char('\n')) ++end;
        int s = start;
        if (WordWrapping() && width > 0) {
            // Soft breaks after the last blank that fits, or inside a word
            // longer than the line.
            while (s < end && TextWidthOf(shown.mid(s, end - s)) > width) {
                int fit = s + 1;
                while (fit < end && TextWidthOf(shown.mid(s, fit + 1 - s)) <= width) ++fit;
                int brk = fit;
                for (int i = fit; i > s; --i)
                    if (t[i - 1] == QLatin1Char(' ')) {
                        brk = i;
                        break;
                    }
                FLines << Line{s, brk - s};
                s = brk;
            }
        }
        FLines << Line{s, end - s};
        if (end >= n) break;
        start = end + ((t[end] == QLatin1Char('\r') && end + 1 < n && t[end + 1] == QLatin1Char('\n')) ? 2 : 1);
        if (start >= n) {
            FLines << Line{n, 0};
            break;
        }
    }
    FLayoutValid = true;
    return FLines;
}

int TCustomEdit::LineOf(int pos) {
    const QList<Line>& ls = Lines_();
    pos = std::clamp(pos, 0, int(Text().size()));
    for (int i = int(ls.size()) - 1; i >= 0; --i)
        if (ls[i].Start <= pos) {
            // A position inside a line break belongs to the line it ends.
            return i;
        }
    return 0;
}

int TCustomEdit::LineCount() { return int(Lines_().size()); }

int TCustomEdit::LineFromChar(int pos) { return LineOf(pos < 0 ? FCore.SelStart() : pos); }

int TCustomEdit::LineIndex(int line) {
    const QList<Line>& ls = Lines_();
    if (line < 0) line = LineOf(FCore.Caret());
    if (line >= ls.size()) return -1;
    return ls[line].Start;
}

int TCustomEdit::XInLine(int line, int pos) {
    const Line& l = Lines_()[line];
    return TextWidthOf(ShownText().mid(l.Start, std::clamp(pos - l.Start, 0, l.Length)));
}

int TCustomEdit::PosInLineAt(int line, int x) {
    const Line l = Lines_()[line];
    const QString shown = ShownText();
    // The character boundary nearest to x.
    int best = l.Start, bestDist = std::abs(x);
    for (int i = 1; i <= l.Length; ++i) {
        const int w = TextWidthOf(shown.mid(l.Start, i));
        const int d = std::abs(w - x);
        if (d < bestDist) {
            best = l.Start + i;
            bestDist = d;
        }
        if (w > x) break;
    }
    return best;
}

int TCustomEdit::CharFromPos(TPoint p, int* line) {
    const TRect fr = FormattingRect();
    const QList<Line>& ls = Lines_();
    int l = MultiLine() ? FTopLine + (p.Y - fr.Top) / LineHeight() : 0;
    if (p.Y < fr.Top && MultiLine()) l = FTopLine - 1;
    l = std::clamp(l, 0, int(ls.size()) - 1);
    if (line) *line = l;
    const int x = p.X - fr.Left + FScrollX - AlignOffset(l);
    return PosInLineAt(l, x);
}

// The window's style decides the alignment, so that a descendant adding
// ES_RIGHT or ES_CENTER in CreateParams gets it too; in a multi-line window
// each line is placed on its own.
int TCustomEdit::AlignOffset(int line) {
    const unsigned style = Params().Style;
    if (!(style & (ES_RIGHT | ES_CENTER))) return 0;
    const QList<Line>& ls = Lines_();
    if (line < 0 || line >= ls.size()) return 0;
    const int w = TextWidthOf(ShownText().mid(ls[line].Start, ls[line].Length));
    const int room = std::max(0, FormattingRect().Width() - w);
    return (style & ES_RIGHT) ? room : room / 2;
}

TPoint TCustomEdit::PosFromChar(int pos) {
    const TRect fr = FormattingRect();
    const int l = LineOf(pos);
    const int x = fr.Left + XInLine(l, pos) - FScrollX + AlignOffset(l);
    return Point(x, fr.Top + (l - FTopLine) * LineHeight());
}

void TCustomEdit::ScrollCaret() {
    const TRect fr = FormattingRect();
    const int caret = FCore.Caret();
    const int line = LineOf(caret);
    if (MultiLine()) {
        const int visible = std::max(1, fr.Height() / LineHeight());
        if (line < FTopLine) FTopLine = line;
        else if (line >= FTopLine + visible) FTopLine = line - visible + 1;
        if (WordWrapping()) {
            FScrollX = 0;
            return;
        }
    }
    const int x = XInLine(line, caret);
    if (x < FScrollX) FScrollX = std::max(0, x - fr.Width() / 4);
    else if (x > FScrollX + fr.Width() - 1) FScrollX = x - fr.Width() + 1 + fr.Width() / 4;
    const int total = TextWidthOf(ShownText().mid(Lines_()[line].Start, Lines_()[line].Length));
    FScrollX = std::clamp(FScrollX, 0, std::max(0, std::max(total, x) - fr.Width() + 1));
}

// -- painting -----------------------------------------------------------------

void TCustomEdit::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush().SetColor(Enabled() ? Color() : clBtnFace);
    c->FillRect(r);
    if (FBorderStyle == bsSingle && !NonClientBorder()) {
        TRect e = Rect(0, 0, Width(), Height());
        c->DrawEdge(e, EDGE_SUNKEN, BF_RECT);
    }
    const TRect fr = FormattingRect();
    c->SaveState();
    c->IntersectClipRect(fr.Left, fr.Top, fr.Right, fr.Bottom);
    c->Font().Assign(*Font());
    if (!Enabled()) c->Font().SetColor(clGrayText);
    const QString shown = ShownText();
    const QList<Line>& ls = Lines_();
    const int lh = LineHeight();
    const bool showSel = Focused() || !FHideSelection;
    const int selA = FCore.SelStart(), selB = FCore.SelStart() + FCore.SelLength();
    for (int i = FTopLine; i < ls.size(); ++i) {
        const int y = fr.Top + (i - FTopLine) * lh;
        if (y >= fr.Bottom) break;
        const Line& l = ls[i];
        const QString text = shown.mid(l.Start, l.Length);
        const TPoint at = PosFromChar(l.Start);
        c->Brush().SetStyle(bsClear);
        c->TextOut(at.X, y, text);
        // The selected part again, in the highlight colours.
        const int a = std::max(selA, l.Start), b = std::min(selB, l.Start + l.Length);
        if (showSel && b > a) {
            const int x1 = PosFromChar(a).X, x2 = PosFromChar(b).X;
            c->Brush().SetColor(clHighlight);
            c->FillRect(Rect(x1, y, x2, y + lh));
            c->Font().SetColor(clHighlightText);
            c->Brush().SetStyle(bsClear);
            c->TextOut(x1, y, shown.mid(a, b - a));
            c->Font().SetColor(Enabled() ? Font()->Color() : clGrayText);
        }
    }
    if (Focused() && FCore.SelLength() == 0) {
        const TPoint p = PosFromChar(FCore.Caret());
        c->Pen().SetColor(clWindowText);
        c->MoveTo(p.X, p.Y);
        c->LineTo(p.X, p.Y + lh);
    }
    c->RestoreState();
}

// ---------------------------------------------------------------------------
// TCustomMemo
// ---------------------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
    ControlStyle &= ~csFixedHeight;
    SetAutoSelect(false);
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& P) {
    TCustomEdit::CreateParams(P);
    // A memo shows no password characters.
    P.Style &= ~ES_PASSWORD;
    P.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
    if (WordWrapping()) P.Style &= ~ES_AUTOHSCROLL;
    if (FWantReturns) P.Style |= ES_WANTRETURN;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) P.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) P.Style |= WS_HSCROLL;
}

void TCustomMemo::SetWordWrap(bool v) {
    if (v == FWordWrap) return;
    FWordWrap = v;
    RecreateWnd();
    InvalidateLayout();
    Invalidate();
}

void TCustomMemo::SetScrollBars(TScrollStyle v) {
    if (v == FScrollBars) return;
    FScrollBars = v;
    RecreateWnd();
    InvalidateLayout();
    Invalidate();
}

TPoint TCustomMemo::CaretPoint() {
    const int caret = CaretPos();
    const QString& t = Text();
    int line = 0, start = 0;
    for (int i = 0; i < caret && i < t.size(); ++i)
        if (t[i] == QLatin1Char('\n')) {
            ++line;
            start = i + 1;
        }
    return Point(caret - start, line);
}

void TCustomMemo::WMNCCalcSize(TMessage& M) {
    if (M.LParam && BorderStyle() == bsSingle) InflateRect(*reinterpret_cast<TRect*>(M.LParam), -kEdge, -kEdge);
    TCustomEdit::WMNCCalcSize(M);
}

void TCustomMemo::WMNCPaint(TMessage& M) {
    // The bars show the view as it is now.
    SyncScrollBars(false);
    if (M.WParam && BorderStyle() == bsSingle) {
        TCanvas c;
        reinterpret_cast<const TPaintTarget*>(M.WParam)->AttachCanvas(c);
        TRect e = Rect(0, 0, Width(), Height());
        c.DrawEdge(e, EDGE_SUNKEN, BF_RECT);
    }
    TCustomEdit::WMNCPaint(M);
}

void TCustomMemo::SyncScrollBars(bool redraw) {
    const bool vert = FScrollBars == ssVertical || FScrollBars == ssBoth;
    const bool horz = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    if (!vert && !horz) return;
    // A memo's bars stay, greyed, when there is nothing to scroll.
    TScrollInfo si;
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    if (vert) {
        const int shown = std::max(1, FormattingRect().Height() / LineHeight());
        si.nMin = 0;
        si.nMax = std::max(0, LineCount() - 1);
        si.nPage = unsigned(shown);
        si.nPos = FirstVisibleLine();
        SetScrollInfo(this, SB_VERT, si, redraw);
    }
    if (horz) {
        int widest = 0;
        const QString shownText = Text();
        for (const Line& l : Lines_()) widest = std::max(widest, TextWidthOf(shownText.mid(l.Start, l.Length)));
        si.nMin = 0;
        si.nMax = std::max(0, widest - 1);
        si.nPage = unsigned(std::max(1, FormattingRect().Width()));
        si.nPos = ScrollX();
        SetScrollInfo(this, SB_HORZ, si, redraw);
    }
}

void TCustomEdit::ScrollToLine(int top) {
    if (top == FTopLine) return;
    FTopLine = top;
    Invalidate();
}

void TCustomEdit::SetScrollX(int x) {
    if (x == FScrollX) return;
    FScrollX = x;
    Invalidate();
}

void TCustomMemo::WndProc(TMessage& M) {
    if (M.Msg == WM_HSCROLL) {
        // The horizontal bar moves the view by pixels.
        const int page = std::max(1, FormattingRect().Width());
        const int step = std::max(1, LineHeight());
        int x = ScrollX();
        switch (M.WParam & 0xFFFF) {
        case SB_LINELEFT: x -= step; break;
        case SB_LINERIGHT: x += step; break;
        case SB_PAGELEFT: x -= page; break;
        case SB_PAGERIGHT: x += page; break;
        case SB_THUMBTRACK: case SB_THUMBPOSITION: x = int((M.WParam >> 16) & 0xFFFF); break;
        default: return;
        }
        TScrollInfo si;
        si.fMask = SIF_RANGE | SIF_PAGE;
        GetScrollInfo(this, SB_HORZ, si);
        SetScrollX(std::clamp(x, 0, std::max(0, si.nMax - int(si.nPage) + 1)));
        return;
    }
    if (M.Msg != WM_VSCROLL) {
        TCustomEdit::WndProc(M);
        return;
    }
    // The vertical bar moves the view by lines; the caret stays.
    const int shown = std::max(1, FormattingRect().Height() / LineHeight());
    const int last = std::max(0, LineCount() - shown);
    int top = FirstVisibleLine();
    switch (M.WParam & 0xFFFF) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= shown; break;
    case SB_PAGEDOWN: top += shown; break;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: top = int((M.WParam >> 16) & 0xFFFF); break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = last; break;
    default: return;
    }
    ScrollToLine(std::clamp(top, 0, last));
}

QStringList TMemoStrings::Split() const {
    QString t = FMemo->Text();
    if (t.isEmpty()) return {};
    QStringList lines = t.replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    // A text ending with a line break has no line after it.
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

void TMemoStrings::Join(const QStringList& lines) {
    // Every line ends with its line break.
    QString t;
    for (const QString& l : lines) t += l + QLatin1String("\r\n");
    FMemo->SetText(t);
}

QString TMemoStrings::Get(int index) const {
    const QStringList l = Split();
    if (index < 0 || index >= l.size()) Error("List index out of bounds (%d)", index);
    return l[index];
}

int TMemoStrings::GetCount() const { return int(Split().size()); }

void TMemoStrings::Put(int index, const QString& s) {
    QStringList l = Split();
    if (index < 0 || index >= l.size()) Error("List index out of bounds (%d)", index);
    l[index] = s;
    Join(l);
}

void TMemoStrings::Insert(int index, const QString& s) {
    QStringList l = Split();
    if (index < 0 || index > l.size()) Error("List index out of bounds (%d)", index);
    l.insert(index, s);
    Join(l);
}

void TMemoStrings::Delete(int index) {
    QStringList l = Split();
    if (index < 0 || index >= l.size()) Error("List index out of bounds (%d)", index);
    l.removeAt(index);
    Join(l);
}

void TMemoStrings::Clear() { FMemo->SetText(QString()); }

void TMemoStrings::SetText(const QString& text) {
    // Any line break becomes the edit's CR LF.
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    FMemo->SetText(t);
}
