// Drag and drop of the string grid. As a source it drags the selection (as
// text, the pressed cell's rich text and, with AllowFmtClipboard, the cell
// stream) or, from a header row with OleColumnDragDrop, a column index. As a
// target it takes text (pasted like the clipboard's, optionally into
// inserted or appended rows), cell streams, rich text, links, one CSV file
// and columns, and shows arrow windows where the drop would land.
#include "gridpack/gridexchange/ExGridDragDrop.h"

#include "gridpack/basegrid/ExGridWindows.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Streams.h"

#include <algorithm>

namespace {
bool gOleInitialized = false;

bool IsColumnDrag(TDropFormats f) { return f & DropFormatBit(dfCol); }
} // namespace

bool InitializeOle()
{
    if (gOleInitialized)
        return false;
    gOleInitialized = true;
    return true;
}

bool OleInitialized() { return gOleInitialized; }

// Recorded at start-up, as the unit's initialisation does.
static const bool gOleStartup = InitializeOle();

// ---------------------------------------------------------------------------
// Settings writers
// ---------------------------------------------------------------------------

void TDragDropSettings::SetOleDropTarget(bool Value)
{
    OleDropTarget = Value;
    if (Grid)
        Grid->SetOleDropTarget(Value);
}

void TDragDropSettings::SetOleDropRTF(bool Value)
{
    OleDropRTF = Value;
    SetRTFDragDrop(Value);
}

void TExStringGrid::SetOleDropTarget(bool Value)
{
    if (ComponentState() & csDesigning)
        return;
    if (Value) {
        if (FOleDropTargetAssigned)
            return;
        RegisterGridClipFormats();
        FGridDropTarget = std::make_shared<TGridDropTarget>(this);
        FOleDropTargetAssigned = SUCCEEDED(RegisterDragDrop(this, FGridDropTarget));
    } else if (FOleDropTargetAssigned) {
        RevokeDragDrop(this);
        FOleDropTargetAssigned = false;
    }
}

void TExStringGrid::OleColumnDragStart(int ACol, int AIndex, TWinControl* AList)
{
    FOleDragCol = ACol;
    FOleDragIndex = AIndex;
    FOleDragList = AList;
}

// ---------------------------------------------------------------------------
// The drag image form
// ---------------------------------------------------------------------------

void TNoActiveForm::CreateParams(TCreateParams& Params)
{
    TPopupForm::CreateParams(Params);
    Params.Style = WS_POPUP | WS_DISABLED | WS_BORDER;
}

void TNoActiveForm::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = kMouseNoActivate;
        return;
    }
    TPopupForm::WndProc(Message);
    if (Message.Msg == WM_ACTIVATE)
        Message.Result = 1;
}

// ---------------------------------------------------------------------------
// Drop source
// ---------------------------------------------------------------------------

void TGridDropSource::DragEnded()
{
    TSGDropSource::DragEnded();
    if (FGrid->DragDropSettings()->ShowCells && FGrid->MoveForm) {
        FGrid->MoveForm->Free();
        FGrid->MoveForm = nullptr;
    }
}

void TGridDropSource::CurrentEffect(std::uint32_t Effect)
{
    if (Effect == DROPEFFECT_MOVE || Effect == DROPEFFECT_COPY)
        LastEffect = int(Effect);
}

void TGridDropSource::QueryDrag()
{
    const TPoint p = GetCursorPos();
    if (FGrid->DragDropSettings()->ShowCells) {
        if (TCustomForm* f = FGrid->MoveForm)
            f->SetBounds(p.X + 4, p.Y + 4, f->Width(), f->Height());
    } else if (THeaderDragButton* b = FGrid->MoveButton) {
        const TPoint c = FGrid->ScreenToClient(p);
        b->SetBounds(c.X, c.Y - b->Height(), b->Width(), b->Height());
    }
}

bool TExStringGrid::OleDragStart(int ACol, int ARow)
{
    TDragDropSettings* dd = FDragDropSettings;
    if (!dd->OleDropSource || ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
        return false;
    const int rc = RemapColToReal(ACol);
    bool allow = true;
    if (dd->OleColumnsOnly && ARow >= FixedRows())
        allow = false;
    else if (OnOleDrag)
        OnOleDrag(this, ARow, rc, GetFormattedCell(rc, ARow), allow);
    if (!allow)
        return false;
    RegisterGridClipFormats();
    TGridDropSource source(this);
    if (OnOleDragStart)
        OnOleDragStart(this, ARow, rc);
    const bool columnDrag = ARow < FixedRows() && dd->OleColumnDragDrop;
    const TPoint cursor = GetCursorPos();
    if (dd->ShowCells) {
        TGridRect r = Selection();
        if (columnDrag)
            r = TGridRect{ACol, 0, ACol, RowCount() - 1};
        r.Top = std::max(r.Top, std::min(TopRow(), r.Bottom));
        r.Bottom = std::min(r.Bottom, std::max(r.Top, TopRow() + VisibleRowCount()));
        r.Left = std::max(r.Left, std::min(LeftCol(), r.Right));
        r.Right = std::min(r.Right, std::max(r.Left, LeftCol() + VisibleColCount()));
        if (MoveForm)
            MoveForm->Free();
        MoveForm = SelectionToForm(r);
        MoveForm->SetBounds(cursor.X + 4, cursor.Y + 4, MoveForm->Width(), MoveForm->Height());
        MoveForm->Show();
    }
    std::uint32_t effect = DROPEFFECT_NONE;
    if (columnDrag) {
        if (!dd->ShowCells && MoveButton) {
            const TRect cr = TBaseGrid::CellRect(ACol, ARow);
            MoveButton->Caption = GetFormattedCell(rc, ARow);
            MoveButton->SetBounds(cr.Left, cr.Top, cr.Width(), cr.Height());
            MoveButton->SetVisible(true);
        }
        const HRESULT hr = ::BeginColumnDrag(&source, ACol, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect);
        if (hr != DRAGDROP_S_CANCEL && OnOleDragStop)
            OnOleDragStop(this, int(effect));
        if (MoveButton)
            MoveButton->SetVisible(false);
        for (TArrowWindow* a : {ArwU, ArwD, ArwL})
            if (a)
                a->Hide();
    } else {
        DropSelection = Selection();
        const QString text = SelectedText();
        const QString rtf = GetFormattedCell(rc, ARow);
        std::unique_ptr<TMemoryStream> cells;
        if (Navigation()->AllowFmtClipboard) {
            cells = std::make_unique<TMemoryStream>();
            SaveRectToBinStream(TRect{DropSelection.Left, DropSelection.Top, DropSelection.Right, DropSelection.Bottom},
                                cells.get());
        }
        const HRESULT hr =
            ::BeginTextDrag(&source, text, rtf, cells.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, effect);
        if (hr != DRAGDROP_S_CANCEL) {
            TMouseActions* ma = MouseActions();
            if (effect == DROPEFFECT_MOVE && !dd->OleCopyAlways) {
                BeginUpdate();
                struct TEnd {
                    TExStringGrid* G;
                    ~TEnd() { G->EndUpdate(); }
                } end{this};
                const TGridRect s = DropSelection;
                if (dd->OleRemoveRows && (Options() & goRowSelect)) {
                    if (ma->DisjunctRowSelect()) {
                        for (int r = RowCount() - 1; r >= FixedRows(); --r)
                            if (GetRowSelect(r))
                                RemoveRows(r, 1);
                    } else if (s.Bottom >= s.Top && s.Top < RowCount()) {
                        RemoveRows(s.Top, std::min(s.Bottom, RowCount() - 1) - s.Top + 1);
                    }
                } else if (ma->DisjunctRowSelect()) {
                    for (int r = FixedRows(); r < RowCount(); ++r)
                        if (GetRowSelect(r))
                            ClearRect(s.Left, r, s.Right, r);
                } else {
                    ClearRect(s.Left, s.Top, std::min(s.Right, ColCount() - 1), std::min(s.Bottom, RowCount() - 1));
                }
            }
            if (OnOleDragStop)
                OnOleDragStop(this, int(effect));
        }
    }
    if (MoveForm) {
        MoveForm->Free();
        MoveForm = nullptr;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Drop target
// ---------------------------------------------------------------------------

HRESULT TGridDropTarget::DragEnter(IDataObject* data, std::uint32_t keyState, TPoint pt, std::uint32_t& effect)
{
    TDragDropSettings* dd = FGrid->DragDropSettings();
    AcceptText = dd->OleAcceptText;
    AcceptFiles = dd->OleAcceptFiles;
    AcceptURLs = dd->OleAcceptURLs;
    AcceptCols = dd->OleColumnDragDrop || dd->OleColumnReorder || FGrid->FOleDragCol != -1;
    return TSGDropTarget::DragEnter(data, keyState, pt, effect);
}

void TGridDropTarget::Target(TPoint pt, bool ColumnDrag, int& ACol, int& ARow, bool& Append) const
{
    TExStringGrid* g = FGrid;
    const TPoint cp = g->ScreenToClient(pt);
    g->MouseToCell(cp.X, cp.Y, ACol, ARow);
    Append = false;
    TDragDropSettings* dd = g->DragDropSettings();
    if (!ColumnDrag && ARow == -1 && dd->OleEntireRows && dd->OleAppendRows && g->RowCount() > 0 &&
        cp.Y >= g->GridHeight() && cp.X >= 0 && cp.X < g->ClientWidth()) {
        ACol = g->FixedCols();
        ARow = g->RowCount() - 1;
        Append = true;
    }
}

void TGridDropTarget::HideMarks()
{
    for (TArrowWindow* a : {FGrid->ArwL, FGrid->ArwD, FGrid->ArwU})
        if (a && a->Visible())
            a->Hide();
}

void TGridDropTarget::DragMouseMove(TPoint pt, bool& Allow, TDropFormats Formats)
{
    TExStringGrid* g = FGrid;
    TDragDropSettings* dd = g->DragDropSettings();
    const bool colDrag = IsColumnDrag(Formats);
    int c = -1, r = -1;
    bool append = false;
    Target(pt, colDrag, c, r, append);
    const TPoint cp = g->ScreenToClient(pt);
    Allow = c >= 0 && r >= 0;
    if (Allow && !colDrag) {
        if ((r == 0 && g->TopRow() > g->FixedRows()) || (cp.Y < 8 && g->FixedRows() == 0 && g->TopRow() > 0))
            g->SetTopRow(g->TopRow() - 1);
        else if (!append && r == g->TopRow() + g->VisibleRowCount() && r < g->RowCount())
            g->SetTopRow(g->TopRow() + 1);
        if (g->FOleScrollTick++ % 2 == 0) {
            if (c == 0 && g->LeftCol() > g->FixedCols())
                g->SetLeftCol(g->LeftCol() - 1);
            else if (c == g->LeftCol() + g->VisibleColCount() && c < g->ColCount())
                g->SetLeftCol(g->LeftCol() + 1);
        }
    }
    if (!colDrag) {
        if (r >= 0 && r < g->FixedRows() && !(g->RowCount() == 1 && g->FixedRowAlways))
            Allow = false;
    } else if (c < 0 && cp.X >= g->GridWidth() && cp.Y >= 0 && cp.Y < g->ClientHeight()) {
        c = g->ColCount();
        r = 0;
        Allow = true;
    } else {
        Allow = r >= 0 && r < g->FixedRows() && c >= g->FixedCols();
    }
    const bool fileDrag = Formats & DropFormatBit(dfFile);
    if (fileDrag || (Formats & DropFormatBit(dfGridCells)))
        Allow = true;
    if (g->OnOleDragOver)
        g->OnOleDragOver(g, r, c, Allow);
    if (!fileDrag && (c < 0 || r < 0))
        Allow = false;

    // The marks.
    if (Allow && colDrag && g->ArwD && g->ArwU) {
        const int col = std::min(c, g->ColCount() - 1);
        TRect cr = g->TBaseGrid::CellRect(col, r);
        const int x = c >= g->ColCount() ? cr.Right : cr.Left;
        const TPoint top = g->ClientToScreen(TPoint{x, cr.Top});
        const TPoint bottom = g->ClientToScreen(TPoint{x, cr.Bottom});
        TArrowWindow* d = g->ArwD;
        TArrowWindow* u = g->ArwU;
        d->SetBounds(top.X - d->Width() / 2, top.Y - 8 - d->Height() + 8, d->Width(), d->Height());
        u->SetBounds(bottom.X - u->Width() / 2, bottom.Y, u->Width(), u->Height());
        d->Show();
        u->Show();
        if (g->ArwL && g->ArwL->Visible())
            g->ArwL->Hide();
    } else if (Allow && !colDrag && c >= 0 && r >= 0 && g->ArwL) {
        int row = r;
        if (row == 0 && g->FixedRowAlways && !append)
            row = 1;
        const int col = dd->OleEntireRows ? g->FixedCols() : c;
        const TRect cr = g->TBaseGrid::CellRect(col, std::min(row, g->RowCount() - 1));
        const TPoint at = g->ClientToScreen(TPoint{cr.Left, append ? cr.Bottom : cr.Top});
        TArrowWindow* l = g->ArwL;
        l->SetBounds(at.X - 10 - l->Width() / 2, at.Y - l->Height() / 2, l->Width(), l->Height());
        l->Show();
        for (TArrowWindow* a : {g->ArwD, g->ArwU})
            if (a && a->Visible())
                a->Hide();
    } else {
        HideMarks();
    }
}

void TGridDropTarget::DragMouseLeave() { HideMarks(); }

void TGridDropTarget::DropText(TPoint pt, const QString& Text)
{
    TExStringGrid* g = FGrid;
    TDragDropSettings* dd = g->DragDropSettings();
    int col = -1, row = -1;
    bool append = false;
    Target(pt, false, col, row, append);
    bool allow = true;
    int C = 0, R = 0;
    TExStringGrid::MeasureTextBlock(Text, C, R);
    ++R;
    const bool rowSelect = g->Options() & goRowSelect;
    if (rowSelect)
        col = dd->OleEntireRows ? 0 : g->FixedCols();
    if (g->OnOleDrop)
        g->OnOleDrop(g, row, col, Text, allow);
    if (allow && row >= 0 && col >= 0) {
        if (g->DropSelection.Top >= row && dd->OleRemoveRows) {
            g->DropSelection.Top += R;
            g->DropSelection.Bottom += R;
        }
        if (row == 0 && g->RowCount() == 1 && g->FixedRowAlways)
            row = 1;
        if (dd->OleInsertRows) {
            const int top = g->TopRow();
            if (append) {
                g->SetRowCount(g->RowCount() + R);
                ++row;
            } else {
                g->InsertRows(row, R, true);
            }
            g->SetTopRow(top > g->FixedRows() ? top + 1 : top);
        }
        int lines = 0, last = 0;
        g->PasteTextBlock(col, row, Text, lines, last);
        const int left = std::max(col, g->FixedCols());
        const int right = rowSelect ? col + C - g->FixedCols() : col + C - 1;
        g->SetSelection(TGridRect{left, row, std::max(left, std::min(right, g->ColCount() - 1)),
                                  std::min(row + R - 1, g->RowCount() - 1)});
    }
    if (g->ArwL)
        g->ArwL->Hide();
    if (g->ArwD)
        g->ArwD->Hide();
    if (g->MoveButton)
        g->MoveButton->SetVisible(false);
    if (g->OnOleDropped)
        g->OnOleDropped(g, g->Selection());
}

void TGridDropTarget::DropStream(TPoint pt, std::unique_ptr<TMemoryStream> Stream)
{
    TExStringGrid* g = FGrid;
    int col = -1, row = -1;
    bool append = false;
    Target(pt, false, col, row, append);
    if (col >= 0 && row >= 0) {
        Stream->SetPosition(0);
        try {
            g->LoadAtPointFromBinStream(TPoint{col, row}, Stream.get());
        } catch (const Exception&) {
            // A damaged stream from another program places nothing.
        }
    }
    HideMarks();
    if (g->MoveButton)
        g->MoveButton->SetVisible(false);
    if (g->OnOleDropped)
        g->OnOleDropped(g, g->Selection());
}

void TGridDropTarget::DropRTF(TPoint pt, const QString& Text)
{
    TExStringGrid* g = FGrid;
    int col = -1, row = -1;
    bool append = false;
    Target(pt, false, col, row, append);
    bool allow = true;
    if (g->OnOleDrop)
        g->OnOleDrop(g, row, col, Text, allow);
    if (allow && col >= 0 && row >= 0)
        g->SetCellEx(g->RemapColToReal(col), row, Text);
    HideMarks();
}

void TGridDropTarget::DropURL(TPoint pt, const QString& Text)
{
    TExStringGrid* g = FGrid;
    int col = -1, row = -1;
    bool append = false;
    Target(pt, false, col, row, append);
    bool allow = true;
    if (g->OnOleDropURL)
        g->OnOleDropURL(g, row, col, Text, allow);
    if (allow && col >= 0 && row >= 0)
        g->SetCellEx(g->RemapColToReal(col), row, Text);
    HideMarks();
}

void TGridDropTarget::DropFiles(TPoint pt, const QStringList& Files)
{
    TExStringGrid* g = FGrid;
    HideMarks();
    if (Files.size() != 1)
        return;
    int col = -1, row = -1;
    bool append = false;
    Target(pt, false, col, row, append);
    const QString name = Files.first();
    bool allow = true;
    if (g->OnOleDropFile)
        g->OnOleDropFile(g, row, col, name, allow);
    if (!allow)
        return;
    if (name.toUpper().contains(QLatin1String(".CSV"))) {
        if (g->OnOleDrop)
            g->OnOleDrop(g, -1, -1, name, allow);
        if (allow)
            g->LoadFromCSV(name);
    } else if (name.toUpper().contains(QLatin1String(".XLS"))) {
        if (g->OnOleDrop)
            g->OnOleDrop(g, -1, -1, name, allow);
        if (allow)
            g->LoadFromXLS(name);
    }
}

void TGridDropTarget::DropCol(TPoint pt, int Column)
{
    TExStringGrid* g = FGrid;
    const TPoint cp = g->ScreenToClient(pt);
    int col = -1, row = -1;
    g->MouseToCell(cp.X, cp.Y, col, row);
    if (col < 0 && cp.X >= g->GridWidth())
        col = g->ColCount();
    for (TArrowWindow* a : {g->ArwU, g->ArwD})
        if (a && a->Visible())
            a->Hide();
    if (g->MoveButton)
        g->MoveButton->SetVisible(false);
    if (g->FOleDragCol != -1) {
        if (auto* list = dynamic_cast<TCustomListBox*>(g->FOleDragList))
            if (g->FOleDragIndex >= 0 && g->FOleDragIndex < list->Items()->Count())
                list->Items()->Delete(g->FOleDragIndex);
        int shown = -1;
        if (TIntList* order = g->ColumnOrder())
            for (int i = 0; i < order->Count(); ++i)
                if (order->GetInteger(i) == g->FOleDragCol) {
                    shown = i;
                    break;
                }
        if (shown >= 0) {
            g->UnHideColumn(shown);
            if (col >= 0 && col <= g->ColCount()) {
                const int from = g->DisplColIndex(shown);
                const bool enh = g->EnhRowColMove;
                g->EnhRowColMove = true;
                if (from >= 0 && from < g->ColCount())
                    g->MoveColumn(from, std::min(col, g->ColCount() - 1));
                g->EnhRowColMove = enh;
            }
        }
        g->FOleDragCol = -1;
    } else if (g->DragDropSettings()->OleColumnReorder && col >= 0) {
        const int to = std::min(col, g->ColCount() - 1);
        if (Column != to && Column >= 0 && Column < g->ColCount())
            g->MoveColumn(Column, to);
    }
    if (g->OnOleDropCol)
        g->OnOleDropCol(g, row, Column, col);
}
