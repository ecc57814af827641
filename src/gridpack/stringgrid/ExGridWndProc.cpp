// The string grid's window procedure and message handlers: the editing-done
// notice, the WM_COMMAND notices of its cell editors, the grid timer
// (incremental-search expiry, hovering, blinking), painting under the update
// lock, sizing, the cursor over cells, focus in and out, and the library's
// change notifications.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExInplaceEdit.h"

#include "gridpack/basegrid/ExGridWindows.h"
#include "gridpack/basegrid/ExStyleIF.h"
#include "platform/controls/DateTimePicker.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"
#include "platform/controls/StdMessages.h"
#include "platform/controls/Timers.h"

#include <cstdint>

namespace {
// Cursor resources of the program, by number.
constexpr TCursor CursorRowSelect = 8010;
constexpr TCursor CursorColumnSelect = 8011;
constexpr TCursor CursorAllSelect = 8012;
constexpr TCursor CursorCellSelector = 8014;
// Sent by the theme notifier's monitor when the colour scheme changed.
constexpr unsigned ThemeNotifierMessage = 0x0BB1;
// The application announces a changed visual style.
constexpr unsigned StyleChangedMessage = 0xB051;
} // namespace

// ---------------------------------------------------------------------------
// Window procedure
// ---------------------------------------------------------------------------

void TExStringGrid::WndProc(TMessage& M)
{
    // 1. The grid timer ends with the window.
    if (M.Msg == WM_DESTROY && FGridTimerID != 0) {
        KillTimer(this, GridTimerIdent);
        FGridTimerID = 0;
    }
    // The window leaves the theme notifier with it.
    if (M.Msg == WM_DESTROY && AutoThemeAdapt() && !(ComponentState() & csDesigning) && ThemeNotifierInstance)
        ThemeNotifierInstance->UnRegisterWindow(Handle());
    // 2.
    if (ComponentState() & csDestroying) {
        TBaseGrid::WndProc(M);
        return;
    }
    // 4. The editing-done notice posted when an edit ended.
    if (M.Msg == GridEditDoneMsg()) {
        if (OnEditCellDone)
            OnEditCellDone(this, int(M.WParam), int(M.LParam));
        if (MouseActions()->EditOnDblClickOnly()) {
            HideInplaceEdit();
            SetEditorMode(false);
            SetOptions(Options() & ~goEditing);
        }
        return;
    }
    // The wheel, unless panning.
    if (wheelmsg != 0 && M.Msg == wheelmsg && !wheelpan && WheelMessage(M))
        return;
    // Middle-button panning: its start, its end by any button or key, and
    // the pan timer's ticks.
    if ((M.Msg == WM_MBUTTONDOWN || M.Msg == WM_LBUTTONDOWN || M.Msg == WM_RBUTTONDOWN || M.Msg == WM_KEYDOWN ||
         M.Msg == WM_TIMER) &&
        PanMessage(M))
        return;
    switch (M.Msg) {
    case WM_CANCELMODE:
        // A cancelled enhanced move drops its floating caption and timer.
        if ((::ShownCursor() == crDrag || Cursor() == crDrag || Cursor() == crNoDrop) &&
            (GridState() == gsRowMoving || GridState() == gsColMoving) && EnhRowColMove) {
            ::SetCursor(crDefault);
            TBaseGrid::SetCursor(FOldCursor);
            DropEnhancedMoveCaption();
            for (TArrowWindow* a : {ArwU, ArwD, ArwL, ArwR})
                if (a && a->Visible())
                    a->SetVisible(false);
            KillTimer(this, 1);
            SetGridState(gsNormal);
        }
        break;
    case WM_NOTIFY:
        WMNotify(M);
        return;
    case WM_THEMECHANGED:
    case ThemeNotifierMessage:
        // The colour scheme changed: the matching style, when it differs.
        if (AutoThemeAdapt())
            ApplyOfficeTheme();
        break;
    case StyleChangedMessage:
        // The application's visual style changed: its colours, nothing else.
        ApplyStyleColors();
        return;
    case WM_ERASEBKGND:
        // Every pixel is painted by the grid.
        M.Result = 0;
        return;
    case CM_CURSORCHANGED: CMCursorChanged(M); return;
    case WM_COMMAND: {
        // 9.
        const unsigned code = HiWord(LPARAM(M.WParam));
        const HWND from = HWND(M.LParam);
        TInplaceEdit* ed = InplaceEditor();
        if (code == EN_CHANGE && ed && from == ed->Handle()) {
            ed->Perform(WM_COMMAND, M.WParam, M.LParam);
            if (FShowEditProcess) {
                ed->Perform(WM_SETREDRAW, 0, 0);
                // Every change of the text editor reaches the cell at once,
                // so a move to another cell validates what was typed.
                if (!FNoEditChange && !FEditStart && EditMode && IsTextEditorKind(EditControl) &&
                    EditControl != edValidChars)
                    SetEditText(Col(), Row(), ed->Text());
                ed->Perform(WM_SETREDRAW, 1, 0);
            }
            return;
        }
        if (from && from != Handle()) {
            // An in-cell editor receives its own notifications.
            if (TWinControl* target = FindControl(from); target && target != this)
                target->Perform(WM_COMMAND, M.WParam, M.LParam);
        }
        // The combo editor's notices reach the grid's combo events.
        if (EditCombo && from == EditCombo->Handle())
            ComboCommand(code);
        break;
    }
    default: break;
    }
    // 11., 12. The synchronised grid follows a row changed by the library.
    const int rowBefore = Row();
    // The proportional thumbs follow sizing, releases and the first paint.
    const bool proportional = !(ComponentState() & csDesigning) &&
                              ((M.Msg == WM_SIZE || M.Msg == WM_LBUTTONUP || M.Msg == 0xB029) ||
                               (M.Msg == WM_PAINT && FPaintedOnce == 0));
    if (proportional && M.Msg == WM_SIZE) {
        UpdateVertScrollProportional();
        UpdateHorzScrollProportional();
    }
    TBaseGrid::WndProc(M);
    if (proportional && !(ComponentState() & csDestroying)) {
        UpdateVertScrollProportional();
        UpdateHorzScrollProportional();
    }
    if (Row() != rowBefore && SyncGrid()->SelectionRow && !(ComponentState() & csDestroying))
        SetRow(Row());
}

// ---------------------------------------------------------------------------
// The grid timer
// ---------------------------------------------------------------------------

void TExStringGrid::WMTimer(TMessage& M)
{
    if (M.WParam != GridTimerIdent) {
        TBaseGrid::WMTimer(M);
        return;
    }
    // 1.
    ++FTimerTicks;
    // 2. The incremental search text lives four ticks after the last key.
    if (Navigation()->AutoGotoIncremental && ++FSearchTicks >= 4) {
        IncrSearchText.clear();
        FSearchTicks = 0;
    }
    // 3. The current cell follows the mouse.
    if (Hovering && !(ComponentState() & csDesigning)) {
        const TPoint screen = GetCursorPos();
        const TPoint p = ScreenToClient(screen);
        if (WindowFromPoint(screen) == this && ClientRect().Contains(p)) {
            int c = -1, r = -1;
            MouseToCell(p.X, p.Y, c, r);
            if (c >= FixedCols() && r >= FixedRows() && c < ColCount() && r < RowCount()) {
                if (CanFocus() && !Focused())
                    SetFocus();
                SetRow(r);
                SetCol(c);
            }
        }
    }
    // 4. Blinking text repaints on every tick.
    if (EnableBlink) {
        FBlinkPhase = !FBlinkPhase;
        auto blinkAt = [&](int realCol, int r) {
            if (realCol >= 0 && realCol < AllColCount() && r >= 0 && r < RowCount() &&
                Cells(realCol, r).contains(QLatin1String("<BLI")))
                RepaintCell(DisplColIndex(realCol), r);
        };
        const int lastCol = LeftCol() + VisibleColCount() + NumHiddenColumns() - 1;
        for (int r = TopRow(); r < TopRow() + VisibleRowCount(); ++r)
            for (int c = LeftCol(); c <= lastCol; ++c)
                blinkAt(c, r);
        for (int r = 0; r < FixedRows(); ++r)
            for (int c = LeftCol(); c <= lastCol; ++c)
                blinkAt(c, r);
        for (int c = 0; c < FixedCols(); ++c)
            for (int r = TopRow(); r < TopRow() + VisibleRowCount(); ++r)
                blinkAt(c, r);
    }
}

// ---------------------------------------------------------------------------
// Painting and sizing
// ---------------------------------------------------------------------------

void TExStringGrid::WMPaint(TMessage& M)
{
    if (FUpdateCount >= 1) {
        // What was to be painted stays waiting, so the cells shown are
        // never taken for drawn ones (a scroll would move them).
        M.Result = 0;
        if (const auto* t = reinterpret_cast<const TPaintTarget*>(M.WParam))
            if (TCustomForm* f = GetParentForm(this))
                f->KeepPending(t->Clip.translated(t->Origin.X, t->Origin.Y));
    } else
        TBaseGrid::WMPaint(M);
    if (!TabStop() && FPaintedOnce == 0)
        FPaintedOnce = 1;
}

void TExStringGrid::WMSize(TMessage& M)
{
    // 1. The search panel lays itself out again at the bottom.
    if (SearchPanel() && SearchPanel()->Visible()) {
        SearchPanel()->SetHeight(33);
        SearchPanel()->SetHeight(32);
        SearchPanel()->SetAlign(alBottom);
    }
    // 2. Columns scale with the grid's width.
    TColumnSize* cs = ColumnSize();
    if (cs && cs->SynchWithGrid && FOrigWidth > 0) {
        HideInplaceEdit();
        // Width x (new width [+ 2]) / reference width, truncated: counted
        // in integers so that an exact product is not lost to rounding.
        const std::int64_t scaledWidth = BorderStyle() == bsSingle ? Width() + 2 : Width();
        const int from = cs->SynchNormalCellsOnly ? FixedCols() : 0;
        const int to = cs->SynchNormalCellsOnly ? ColCount() - FixedRightCols() - 1 : ColCount() - 1;
        for (int c = from; c <= to; ++c)
            if (c < FOrigColSizes->Count())
                SetColWidths(c, int(std::int64_t(FOrigColSizes->GetInteger(c)) * scaledWidth / FOrigWidth));
    }
    // 3. The stretch column fills the width.
    if (cs && cs->Stretch && (ScrollBarAlways() == saNone || ScrollBarAlways() == saVert))
        StretchColumnToFit(cs->StretchColumn);
    // 4.
    TBaseGrid::WMSize(M);
}

// ---------------------------------------------------------------------------
// The cursor
// ---------------------------------------------------------------------------

void TExStringGrid::WMSetCursor(TMessage& M)
{
    const bool sizing = GridState() == gsColSizing || GridState() == gsRowSizing;
    // 1.
    if (FMouseSelectMode != msNormal && !sizing) {
        switch (FMouseSelectMode) {
        case msColumn: ::SetCursor(CursorColumnSelect); break;
        case msRow: ::SetCursor(CursorRowSelect); break;
        case msAll:
        case msResize: ::SetCursor(CursorAllSelect); break;
        default: break;
        }
        M.Result = 1;
        return;
    }
    // 2.
    if (FCellSelectorMode) {
        ::SetCursor(CursorCellSelector);
        M.Result = 1;
        return;
    }
    // 3.
    TBaseGrid::WMSetCursor(M);
    if (LoWord(M.LParam) == HTCLIENT) {
        const TPoint p = ScreenToClient(GetCursorPos());
        int c = -1, r = -1;
        MouseToCell(p.X, p.Y, c, r);
        if (c >= 0 && r >= 0)
            GetCellCursor(c, r, p.X, p.Y);
    }
    // 4.
    if (FFixedColSizeHover || FFixedColSizeHoverAll)
        ::SetCursor(crHSplit);
    if (FFixedRowSizeHover || FFixedRowSizeHoverAll)
        ::SetCursor(crVSplit);
}

void TExStringGrid::SetGridCursor(TCursor v)
{
    FCursorChange = true;
    SetCursor(v);
    FCursorChange = false;
}

void TExStringGrid::CMCursorChanged(TMessage& M)
{
    TBaseGrid::DefaultHandler(M);
    if (!FCursorChange)
        FMouseSelectMode = msNormal;
    FCursorChange = false;
}

// ---------------------------------------------------------------------------
// Focus
// ---------------------------------------------------------------------------

void TExStringGrid::WMSetFocus(TMessage& M)
{
    if (FFocusChangeGuard)
        return;
    TBaseGrid::WMSetFocus(M);
    const int realCol = RealCol();
    if (HasCheckBox(realCol, Row()))
        return;
    TNavigation* nav = Navigation();
    if (nav->AlwaysEdit) {
        const bool onScreen = LeftCol() <= Col() && Col() < LeftCol() + VisibleColCount() && TopRow() <= Row() &&
                              Row() < TopRow() + VisibleRowCount();
        const bool moving = GridState() == gsRowMoving || GridState() == gsColMoving;
        TExInplaceEdit* ed = NormalEdit();
        if (ed) {
            if (HWND(M.WParam) != ed->Handle() && !moving && EditControl == edNormal) {
                bool canEdit = true;
                QueryCellEdit(realCol, Row(), canEdit);
                if (onScreen && canEdit) {
                    ShowInplaceEdit();
                    M.Result = 0;
                    return;
                }
            }
        } else if (!moving && EditControl == edNormal && !MouseActions()->DirectEdit &&
                   !ControlLook()->DropDownAlwaysVisible() && HasComboBox(realCol, Row())) {
            bool canEdit = true;
            QueryCellEdit(realCol, Row(), canEdit);
            if (onScreen && canEdit) {
                ShowInplaceEdit();
                M.Result = 0;
                return;
            }
        }
    }
    if (IsMergedCell(realCol, Row())) {
        const TPoint span = CellSpan(realCol, Row());
        RepaintRect(TRect{Col(), Row(), Col() + span.X, Row() + span.Y});
    }
}

void TExStringGrid::WMKillFocus(TMessage& M)
{
    if (FBlockKill) {
        M.Result = 1;
        return;
    }
    TBaseGrid::WMKillFocus(M);
    const int realCol = RealCol();
    if (IsMergedCell(realCol, Row())) {
        const TPoint span = CellSpan(realCol, Row());
        RepaintRect(TRect{Col(), Row(), Col() + span.X, Row() + span.Y});
    }
    if (FCtrlDown) {
        FCtrlDown = false;
        if (FCtrlDownCell.X >= 0)
            RepaintCell(FCtrlDownCell.X, FCtrlDownCell.Y);
        FCtrlDownCell = TGridCoord{-1, -1};
    }
}

void TExStringGrid::DoEnter()
{
    if (FBlockFocus)
        return;
    // The cell an edit is compared with, also when the steps below raise.
    struct TStore {
        TExStringGrid* g;
        ~TStore() { g->StoreOldCell(g->Col(), g->Row()); }
    } store{this};
    TBaseGrid::DoEnter();
    if ((Options() & goEditing) || MouseActions()->RangeSelectAndEdit)
        SelectCell(Col(), Row());
}

void TExStringGrid::DoExit()
{
    if (FBlockKill)
        return;
    if (FSelChange && MouseActions()->DisjunctRowSelect())
        UpdateRowSelect(false);
    FSelChange = false;
    TBaseGrid::DoExit();
}

// The current cell becomes the reference of the next edit.
void TExStringGrid::Click()
{
    TBaseGrid::Click();
    FEntered = false;
    StoreOldCell(Col(), Row());
}

// ---------------------------------------------------------------------------
// The library's change notifications
// ---------------------------------------------------------------------------

void TExStringGrid::CMEnabledChanged(TMessage& M)
{
    TBaseGrid::CMEnabledChanged(M);
    Invalidate();
}

void TExStringGrid::CMColorChanged(TMessage& M)
{
    TBaseGrid::CMColorChanged(M);
    if (FloatingFooter()->Visible && FooterPanel())
        FooterPanel()->Invalidate();
}

void TExStringGrid::ResetFixedCellHighlight()
{
    FFixedColSizeHover = false;
    FFixedColSizeHoverAll = false;
    FFixedRowSizeHover = false;
    FFixedRowSizeHoverAll = false;
    FNoMouseLeave = false;
    if (HoverFixedCells != hfNone && FHoverFixedCell.X >= 0) {
        const TGridCoord old = FHoverFixedCell;
        FHoverFixedCell = TGridCoord{-1, -1};
        RepaintCell(old.X, old.Y);
    }
}

bool TExStringGrid::IsHoverFixedCell(int ACol, int ARow)
{
    if (HoverFixedCells == hfNone)
        return false;
    if (ACol < FixedCols() && (HoverFixedCells == hfAll || HoverFixedCells == hfFixedCols))
        return true;
    return ARow < FixedRows() && (HoverFixedCells == hfAll || HoverFixedCells == hfFixedRows);
}

bool TExStringGrid::HasCellBorders() { return bool(OnGetCellBorder); }

// ---------------------------------------------------------------------------
// Notifications of child controls
// ---------------------------------------------------------------------------

void TExStringGrid::WMNotify(TMessage& M)
{
    const auto* hdr = reinterpret_cast<const NMHDR*>(M.LParam);
    if (hdr && hdr->code == DTN_DATETIMECHANGE && OnDateTimeChange) {
        const auto* n = reinterpret_cast<const NMDATETIMECHANGE*>(M.LParam);
        const SYSTEMTIME& st = n->st;
        const TDateTime picked =
            st.wYear == 0 || st.wMonth == 0 || st.wDay == 0 ? TDateTime(0) : SystemTimeToDateTime(st);
        OnDateTimeChange(this, Col(), Row(), picked);
    }
    TBaseGrid::WndProc(M);
}
