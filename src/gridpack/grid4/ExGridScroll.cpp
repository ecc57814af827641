// The string grid's mouse wheel, handled in its window procedure: a turn
// moves the current row (or scrolls, with waScroll) by the wheel step, and
// Ctrl+wheel zooms. The class library's own wheel steps are reached only
// when the parent claims the message.
#include "gridpack/grid4/ExGrid.h"

#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"

#include <cmath>

bool TExStringGrid::WheelMessage(TMessage& M)
{
    // 1. The parent is asked first; when it claims the wheel the class
    // library handles the message.
    if (Parent() && Parent()->Perform(CM_MOUSEWHEEL, M.WParam, M.LParam) != 0)
        return false;
    const int wheelDelta = int(std::int16_t(HiWord(LPARAM(M.WParam))));
    const bool towardsUser = wheelDelta < 0;
    M.Result = 0;

    // 2. Ctrl+wheel zooms.
    if ((GetKeyState(VK_CONTROL) & 0x8000) && IntelliZoom) {
        Zoom(towardsUser ? wheelscrl : -wheelscrl);
        AutoSizeCells(true, 4, 4);
        return true;
    }
    // 3.
    if (!EnableWheel || (FixedRowAlways && RowCount() == 1))
        return true;

    // 4.
    int n = MouseActions()->WheelIncrement;
    if (n < 1)
        n = wheelscrl;
    const TGridRect selBefore = Selection();
    const bool scrollOnly = MouseActions()->WheelAction() == waScroll;
    int t = Row();
    if (scrollOnly) {
        if (towardsUser) {
            if (TopRow() < RowCount() - VisibleRowCount() && TopRow() + n >= FixedRows())
                SetTopRow(std::min(TopRow() + n, RowCount() - VisibleRowCount()));
        } else {
            if (TopRow() - n < FixedRows())
                n = TopRow() - FixedRows();
            if (TopRow() > FixedRows())
                SetTopRow(TopRow() - n);
        }
    } else {
        t = towardsUser ? Row() + n : Row() - n;
    }

    // 5.
    t = std::max(FixedRows(), std::min(t, RowCount() - FixedFooters() - 1));
    if (Col() >= ColCount() && Row() >= RowCount())
        MoveColRow(ColCount() - 1, RowCount() - 1, true, true);
    if (Col() < FixedCols() && FixedCols() < ColCount())
        SetCol(FixedCols());
    else if (Col() >= ColCount())
        SetCol(ColCount() - 1);

    // 6.
    int delta = 0;
    if (t >= 0 && t < RowCount()) {
        const int keepLeft = LeftCol();
        StartUpdate();
        if (MouseActions()->DisjunctRowSelect() && !scrollOnly)
            ClearRowSelect();
        delta = t - Row();
        if (!scrollOnly && t != Row()) {
            SetRow(t);
            if (Row() != t) {
                // Refused by the cell selection: half-way, ties to even.
                const int half = int(std::nearbyint(double(t - Row()) / 2.0));
                if (half != 0)
                    SetRow(Row() + half);
                if (M.WParam != 0 && TopRow() > FixedRows())
                    SetTopRow(TopRow() - 1);
            }
        }
        if ((Options() & goRowSelect) && Navigation()->KeepHorizScroll)
            SetLeftCol(keepLeft);
        ResetUpdate();
        Invalidate();
    }

    // 7., 8.
    bool handled = true;
    AfterWheelScroll(delta, handled);
    if (handled && (MouseActions()->WheelIncrement != 0 || MouseActions()->DisjunctRowSelect())) {
        M.Result = 1;
        TShiftState shift = 0;
        TPoint pos = Point(0, 0);
        if (MouseActions()->DisjunctRowSelect()) {
            shift = KeyboardShiftState();
            pos = Point(int(std::int16_t(LoWord(M.LParam))), int(std::int16_t(HiWord(M.LParam))));
        }
        bool h = false;
        if (towardsUser && OnMouseWheelDown)
            OnMouseWheelDown(this, shift, pos, h);
        else if (!towardsUser && OnMouseWheelUp)
            OnMouseWheelUp(this, shift, pos, h);
    }

    // 9. The last row stays above a shown search footer.
    const TGridRect sel = Selection();
    if (sel.Left != selBefore.Left || sel.Top != selBefore.Top || sel.Right != selBefore.Right ||
        sel.Bottom != selBefore.Bottom)
        SelectionChanged(sel.Left, sel.Top, sel.Right, sel.Bottom);
    if (SearchFooter()->Visible() && TopRow() == RowCount() - VisibleRowCount())
        ScrollAboveSearchPanel();
    return true;
}
