// The grid drop-down's popup: the popup grid, the opening (settings copied,
// rows loaded, sorting, the current row), the sizing of the popup, its
// columns and rows, the popup grid's events and the colour styles.
#include "gridpack/dropdown/ExGridDropDown.h"

#include "platform/graphics/ImageList.h"
#include "platform/graphics/TextWidths.h"

#include <algorithm>
#include <cmath>

namespace ExGridDD {

namespace {

bool NavigationKey(unsigned Key) {
    return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME || Key == VK_UP || Key == VK_DOWN;
}

} // namespace

// ---------------------------------------------------------------------------
// The popup grid
// ---------------------------------------------------------------------------

TExColGrid::TExColGrid(TComponent* AOwner) : TExStringGrid(AOwner) {
    FColumns = new TDropDownColumns(this);
    FixedRowAlways = true;
    SetFixedRows(1);
    SetFixedCols(0);
    TGridOptions o = Options();
    o |= goHorzLine | goRowSelect;
    o &= ~goRangeSelect;
    SetOptions(o);
    SetBorderStyle(bsNone);
    SetGridLineWidth(1);
}

TExColGrid::~TExColGrid() { delete FColumns; }

void TExColGrid::SetGridLineWidth(int v) {
    FGridLineWidth = v;
    TExStringGrid::SetGridLineWidth(0);
    Invalidate();
}

void TExColGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TExStringGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && !InState(csDestroying) && Images &&
        dynamic_cast<TImageList*>(AComponent) == Images)
        Images = nullptr;
}

void TExColGrid::DoSelect() {
    if (OnSelect) OnSelect(this);
}

void TExColGrid::KeyDown(unsigned& Key, TShiftState Shift) {
    FConfirmSelection = true;
    TExStringGrid::KeyDown(Key, Shift);
}

void TExColGrid::EditorKeyDown(unsigned& Key, TShiftState Shift) {
    // Enter in the cell editor of an editable popup: the drop-down decides
    // between closing the editor and taking the row.
    if (Key == VK_RETURN && !(Shift & ssShift) && FDropDown && FDropDown->GridEditable && EditMode) {
        Key = 0;
        FDropDown->GridEditorEnter();
        return;
    }
    TExStringGrid::EditorKeyDown(Key, Shift);
}

void TExColGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FConfirmSelection = true;
    int c = -1;
    MouseToCell(X, Y, c, FMouseDownRow);
    TExStringGrid::MouseDown(Button, Shift, X, Y);
}

void TExColGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExStringGrid::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    int c = -1, r = -1;
    MouseToCell(X, Y, c, r);
    if (c >= 0 && r >= FixedRows() && r < RowCount() && !HasCheckBox(c, r)) DoSelect();
}

bool TExColGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    FMouseWheelSelection = true;
    FConfirmSelection = false;
    const bool r = TExStringGrid::DoMouseWheelDown(Shift, MousePos);
    FMouseWheelSelection = false;
    return r;
}

bool TExColGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    FMouseWheelSelection = true;
    FConfirmSelection = false;
    const bool r = TExStringGrid::DoMouseWheelUp(Shift, MousePos);
    FMouseWheelSelection = false;
    return r;
}

void TExColGrid::WndProc(TMessage& M) {
    if (M.Msg != WM_MOUSEWHEEL) {
        TExStringGrid::WndProc(M);
        return;
    }
    FMouseWheelSelection = true;
    FConfirmSelection = false;
    TExStringGrid::WndProc(M);
    FMouseWheelSelection = false;
}

// The string grid answers Enter on a cell it does not edit in its window
// procedure, so the popup's own keys are taken here.
void TExColGrid::WMKeyDown(TMessage& M) {
    const unsigned key = unsigned(M.WParam);
    if (key == VK_TAB) return;
    FConfirmSelection = true;
    if (GetKeyState(VK_MENU) < 0 && (key == VK_UP || key == VK_DOWN)) {
        if (FDropDown) FDropDown->Perform(WM_KEYDOWN, key, 0);
        M.Result = 1;
        return;
    }
    if (key == VK_RETURN && !EditMode) {
        M.WParam = 0;
        M.Result = 1;
        DoSelect();
        return;
    }
    TExStringGrid::WMKeyDown(M);
}

void TExColGrid::WMChar(TMessage& M) {
    if (M.WParam == VK_RETURN) {
        M.Result = 1;
        return;
    }
    TExStringGrid::WMChar(M);
}

void TExColGrid::WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTARROWS | DLGC_WANTTAB; }

void TExColGrid::ApplyDropDownSettings(TCustomExGridDropDown* D, bool SizeWhileLoading) {
    if (!D) return;
    FDropDown = D;
    FColumns->Assign(D->Columns());
    if (ColCount() < FColumns->Count()) SetColCount(FColumns->Count());
    if (D->UseItems) SetRowCount(D->Items()->Count() + 1);
    for (int i = 0; i < FColumns->Count() && i < ColCount(); ++i) SetColWidths(i, FColumns->Items(i)->Width);
    LineColor = D->LineColor;
    FixedLineColor = D->FixedLineColor;
    HeaderColor = D->HeaderColor;
    HeaderColorTo = D->HeaderColorTo;
    HeaderHeight = D->HeaderHeight;
    FHeaderFont.Assign(*D->HeaderFont());
    HoverRow = D->HoverRow;
    HoverRowColor = D->HoverRowColor;
    HoverRowColorTo = D->HoverRowColorTo;
    Images = D->Images();
    if (D->DropDownRowHeight > 0) SetDefaultRowHeight(D->DropDownRowHeight);
    if (D->HeaderHeight > 0 && RowCount() > 0) SetRowHeights(0, D->HeaderHeight);
    TGridOptions o = Options() & ~(goColSizing | goColMoving | goRowSizing | goRowMoving);
    if (D->ColumnSizing) o |= goColSizing;
    if (D->ColumnMoving) o |= goColMoving;
    if (D->RowSizing) o |= goRowSizing;
    if (D->RowMoving) o |= goRowMoving;
    SetOptions(o);
    if (D->AutoSizeColumns) {
        if (D->UseItems) {
            for (int i = 0; i < FColumns->Count() && !SizeWhileLoading; ++i)
                if (FColumns->Items(i)->AutoSize) AutoSizeColumn(i);
        } else {
            TExStringGrid::AutoSizeColumns(true, 4);
        }
    }
    // Rows follow the column widths: after the loading when it measures.
    if (!SizeWhileLoading) AutoSizeRows();
}

void TExColGrid::LoadItems(bool MeasureColumns) {
    if (!FDropDown) return;
    TDropDownItems* items = FDropDown->Items();
    BeginUpdate();
    const int cols = FColumns->Count();
    SetColCount(std::max(1, cols));
    for (int i = 0; i < cols; ++i) SetCells(i, 0, FColumns->Items(i)->Header);
    const int fixed = FixedRows();
    const int n = items->Count();
    if (n > 0) SetRowCount(fixed + n);
    // The auto-sized columns, measured from the texts as they are written.
    struct TSizing {
        int Col;
        std::unique_ptr<TTextWidths> Widths;
        bool Images;
        int Widest = 0;
    };
    std::vector<TSizing> sizing;
    if (MeasureColumns && FDropDown->AutoSizeColumns && Parent() == FDropDown->DropDownForm())
        for (int i = 0; i < cols; ++i)
            if (TDropDownColumn* col = FColumns->Items(i); col->AutoSize)
                sizing.push_back({i, std::make_unique<TTextWidths>(*col->Font()), col->ColumnType == ctImage && Images});
    FRowsTagged = SortSettings()->Show || FDropDown->Sorting != gsNone || FDropDown->LookupMethod == lmNarrowDown;
    for (int r = 0; r < n; ++r) {
        const TDropDownItem* item = items->Items(r);
        const TStringList* lines = item->Text();
        const int row = fixed + r;
        const int have = lines->Count();
        size_t next = 0;
        for (int i = 0; i < cols; ++i) {
            const QString t = i < have ? lines->Get(i) : QString();
            // A cell that shows the text already is left alone (nothing to
            // store or repaint when the items did not change).
            if (Cells(i, row) != t) SetCells(i, row, t);
            if (next < sizing.size() && sizing[next].Col == i) {
                TSizing& s = sizing[next++];
                int w = s.Images && item->ImageIndex >= 0 ? Images->Width() + 4 : 0;
                if (!t.isEmpty()) w += s.Widths->Width(t) + 6;
                s.Widest = std::max(s.Widest, w);
            }
        }
        // Column 0's cell object names the item; it travels with the row
        // through sorting and filtering.
        if (!FRowsTagged) continue;
        if (have > 0 && !lines->Get(0).isEmpty())
            GetCellProperties(0, row)->CellObject = std::uintptr_t(r);
        else
            SetObjectEx(0, row, reinterpret_cast<TObject*>(std::uintptr_t(r)));
    }
    for (const TSizing& s : sizing) {
        FColumns->Items(s.Col)->Width = s.Widest;
        SetColWidths(s.Col, s.Widest);
    }
    EndUpdate();
}

int TExColGrid::ItemOfRow(int ARow) const {
    if (!FRowsTagged) return ARow - FixedRows();
    return int(reinterpret_cast<std::uintptr_t>(const_cast<TExColGrid*>(this)->GetObjectEx(0, ARow)));
}

TCanvas* TExColGrid::MeasureCanvas() { return Canvas(); }

QString TExColGrid::MeasuredText(int ACol, int ARow) const {
    if (FDropDown && FDropDown->UseItems) {
        const int item = ARow - FixedRows();
        return item < FDropDown->Items()->Count() ? FDropDown->Items()->Items(item)->Line(ACol) : QString();
    }
    return Cells(ACol, ARow);
}

int TExColGrid::MeasuredImage(int ARow) const {
    if (!FDropDown || !FDropDown->UseItems) return -1;
    const int item = ARow - FixedRows();
    return item < FDropDown->Items()->Count() ? FDropDown->Items()->Items(item)->ImageIndex : -1;
}

void TExColGrid::AutoSizeColumn(int ACol) {
    if (!FDropDown || ACol < 0 || ACol >= FColumns->Count() || Parent() != FDropDown->DropDownForm()) return;
    TDropDownColumn* col = FColumns->Items(ACol);
    if (!col->AutoSize) return;
    TTextWidths widths(*col->Font());
    int widest = 0;
    for (int r = FixedRows(); r < RowCount(); ++r) {
        int w = 0;
        if (col->ColumnType == ctImage && Images && MeasuredImage(r) >= 0) w += Images->Width() + 4;
        const QString t = MeasuredText(ACol, r);
        if (!t.isEmpty()) w += widths.Width(t) + 6;
        widest = std::max(widest, w);
    }
    col->Width = widest;
    if (ACol < ColCount()) SetColWidths(ACol, widest);
}

void TExColGrid::AutoSizeRows() {
    if (!FDropDown || Parent() != FDropDown->DropDownForm()) return;
    bool wraps = false;
    for (int i = 0; i < FColumns->Count(); ++i) wraps = wraps || FColumns->Items(i)->Wordwrap;
    if (!wraps) return;
    TCanvas* c = MeasureCanvas();
    for (int r = FixedRows(); r < RowCount(); ++r) {
        int h = 24;
        for (int i = 0; i < FColumns->Count() && i < ColCount(); ++i) {
            TDropDownColumn* col = FColumns->Items(i);
            if (!col->Wordwrap) continue;
            int need = 0;
            if (col->ColumnType == ctImage && Images && MeasuredImage(r) >= 0) need = Images->Height() + 6;
            const QString t = MeasuredText(i, r);
            if (!t.isEmpty()) {
                c->Font().Assign(*col->Font());
                TRect m = Rect(0, 0, ColWidths(i), 500);
                c->DrawText(t, m, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
                need = std::max(need, m.Height() + 6);
            }
            h = std::max(h, need);
        }
        SetRowHeights(r, h);
    }
}

int TExColGrid::GetGridWidth() {
    int w = BorderStyle() == bsSingle ? 2 : 0;
    for (int i = 0; i < ColCount(); ++i) w += ColWidths(i);
    if (VisibleRowCount() + FixedRows() != RowCount()) w += GetSystemMetrics(SM_CXVSCROLL);
    return w;
}

// ---------------------------------------------------------------------------
// The drop-down's popup operations
// ---------------------------------------------------------------------------

void TCustomExGridDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (!DropDownForm()) return;
    if (!FGrid) {
        FGrid = NewObject<TExColGrid>(this);
        FGrid->SetParent(DropDownForm());
    }
    FGrid->SetDropDown(this);
    FGrid->SetBounds(0, 0, FGrid->Width(), 180);
    FGrid->SetColor(DropDownColor());
    FGrid->Navigation()->HomeEndKey = heFirstLastRow;
}

void TCustomExGridDropDown::ConnectGridEvents() {
    // Each link hands one popup-grid event to its dispatcher. The grid has
    // no anchor-click, row-insertion or row-deletion query events, and its
    // moving events carry no target: those dispatchers are called directly.
    // The compare events take part in sorting only when assigned here.
    using TLink = void (*)(TExColGrid*, TCustomExGridDropDown*);
    static const TLink kLinks[] = {
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnButtonClick = [d](TObject* s, int c, int r) { d->DoGridButtonClick(s, c, r); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnColumnSize = [d](TObject* s, int c, bool& a) { d->DoGridColumnSize(s, c, a); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnEndColumnSize = [d](TObject* s, int c) { d->DoGridEndColumnSize(s, c); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnRowSize = [d](TObject* s, int r, bool& a) { d->DoGridRowSize(s, r, a); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnEndRowSize = [d](TObject* s, int r) { d->DoGridEndRowSize(s, r); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnRowMoved = [d](TObject* s, int f, int t) { d->DoGridRowMoved(s, f, t); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnColumnMoved = [d](TObject* s, int f, int t) { d->DoGridColumnMoved(s, f, t); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            if (d->OnGridCustomCellDraw)
                g->OnCustomCellDraw = [d](TObject* s, TCanvas* c, int x, int y, TGridDrawState st, const TRect& r,
                                          bool p) { d->DoGridCustomCellDraw(s, c, x, y, st, r, p); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            if (d->OnGridCustomCellBkgDraw)
                g->OnCustomCellBkgDraw = [d](TObject* s, TCanvas* c, int x, int y, TGridDrawState st, const TRect& r,
                                             bool p) { d->DoGridCustomCellBkgDraw(s, c, x, y, st, r, p); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnCellBalloon = [d](TObject* s, int c, int r, QString& t, QString& x, TBalloonIcon& i) {
                d->DoGridCellBalloon(s, c, r, t, x, i);
            };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnGetAlignment = [d](TObject* s, int r, int c, TAlignment& h, TVAlignment& v) {
                d->DoGridGetAlignment(s, r, c, h, v);
            };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnGetCellColor = [d](TObject* s, int r, int c, TGridDrawState st, TBrush* b, TFont* f) {
                d->DoGridGetCellColor(s, r, c, st, b, f);
            };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnGetCellGradient = [d](TObject* s, int r, int c, TColor& a, TColor& b, TColor& m, TColor& n,
                                       TCellGradientDirection& gd) { d->DoGridGetCellGradient(s, r, c, a, b, m, n, gd); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnGetFloatFormat = [d](TObject* s, int c, int r, bool& f, QString& x) {
                d->DoGridGetFloatFormat(s, c, r, f, x);
            };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnGetDisplText = [d](TObject* s, int c, int r, QString& v) { d->DoGridGetDisplText(s, c, r, v); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnGetFormat = [d](TObject* s, int c, TSortStyle& st, QString& p, QString& x) {
                d->DoGridGetFormat(s, c, st, p, x);
            };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnGridHint = [d](TObject* s, int r, int c, QString& h) { d->DoGridHint(s, r, c, h); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnRightClickCell = [d](TObject* s, int r, int c) { d->DoGridRightClickCell(s, r, c); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnScrollHint = [d](TObject* s, int r, QString& h) { d->DoGridScrollHint(s, r, h); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnGetEditorType = [d](TObject* s, int c, int r, TEditorType& e) { d->DoGridGetEditorType(s, c, r, e); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnGetEditorProp = [d](TObject* s, int c, int r, TObject* l) { d->DoGridGetEditorProp(s, c, r, l); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnCanEditCell = [d](TObject* s, int r, int c, bool& e) { d->DoGridCanEditCell(s, r, c, e); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnEllipsClick = [d](TObject* s, int c, int r, QString& v) { d->DoGridEllipsClick(s, c, r, v); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnAutoAddRow = [d](TObject* s, int r) { d->DoGridAutoAddRow(s, r); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnAutoInsertCol = [d](TObject* s, int c) { d->DoGridAutoInsertCol(s, c); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnAutoDeleteRow = [d](TObject* s, int r) { d->DoGridAutoDeleteRow(s, r); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnCanAddRow = [d](TObject* s, bool& a) { d->DoGridCanAddRow(s, a); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnCanInsertRow = [d](TObject* s, int r, bool& a) { d->DoGridCanInsertRow(s, r, a); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnTopLeftChanged = [d](TObject* s) { d->DoGridTopLeftChanged(s); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnMouseMove = [d](TObject* s, TShiftState sh, int x, int y) { d->DoGridMouseMove(s, sh, x, y); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnMouseDown = [d](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
                d->DoGridMouseDown(s, b, sh, x, y);
            };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnAnchorEnter = [d](TObject* s, int r, int c, const QString& a) { d->DoGridAnchorEnter(s, r, c, a); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnAnchorExit = [d](TObject* s, int r, int c, const QString& a) { d->DoGridAnchorExit(s, r, c, a); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnAnchorHint = [d](TObject* s, int r, int c, QString& a) { d->DoGridAnchorHint(s, r, c, a); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnColumnSizing = [d](TObject* s, int c, int w) { d->DoGridColumnSizing(s, c, w); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnRowSizing = [d](TObject* s, int r, int h) { d->DoGridRowSizing(s, r, h); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnColumnMove = [d](TObject* s, int c, bool& a) { d->DoGridColumnMove(s, c, a); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnRowMove = [d](TObject* s, int r, bool& a) { d->DoGridRowMove(s, r, a); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnSearchEditChange = [d](TObject* s, const QString& v, bool& ds) { d->DoGridSearchEditChange(s, v, ds); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnSpinClick = [d](TObject* s, int c, int r, int v, bool up) { d->DoGridSpinClick(s, c, r, v, up); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            if (d->OnGridCustomCompare)
                g->OnCustomCompare = [d](TObject* s, const QString& a, const QString& b, int& r) {
                    d->DoGridCustomCompare(s, a, b, r);
                };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            if (d->OnGridRawCompare)
                g->OnRawCompare = [d](TObject* s, int c, int r1, int r2, int& r) { d->DoGridRawCompare(s, c, r1, r2, r); };
        },
        [](TExColGrid* g, TCustomExGridDropDown* d) {
            g->OnMouseUp = [d](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
                d->DoGridMouseUp(s, b, sh, x, y);
            };
        },
    };
    TExColGrid* g = FGrid;
    g->FOnStartBlockFocus = [this](TObject*) { GridStartBlockFocus(); };
    g->FOnEndBlockFocus = [this](TObject*) { GridEndBlockFocus(); };
    g->OnSelect = [this](TObject*) { GridSelect(); };
    g->OnCheckBoxClick = [this](TObject* s, int c, int r, bool st) { GridCheckBoxClick(s, c, r, st); };
    for (TLink link : kLinks) link(g, this);
}

void TCustomExGridDropDown::BeforeDropDown() {
    TDropDownForm* f = DropDownForm();
    TExColGrid* g = FGrid;
    if (!f || !g) {
        TExCustomDropDown::BeforeDropDown();
        return;
    }
    // 1.
    f->SetCancelOnDeActivate(false);
    // 2.
    g->BeginUpdate();
    g->ApplyDropDownSettings(this, UseItems);
    g->SetColor(DropDownColor());
    // 3.
    TSortSettings* ss = g->SortSettings();
    ss->Show = Sorting != gsNone;
    ss->IndexShow = Sorting == gsMultiColumn;
    // 4.
    FBalloonReset = false;
    g->GridImages = Images();
    // 5.
    ConnectGridEvents();
    // 6.
    g->SearchFooter()->Assign(FSearchFooter);
    g->MouseActions()->Assign(FMouseActions);
    g->Navigation()->Assign(FNavigation);
    g->Bands()->Assign(FBands);
    // 7.
    TGridOptions o = g->Options() | goThumbTracking;
    o = RowSelect ? (o | goRowSelect) : (o & ~goRowSelect);
    o = GridEditable ? (o | goEditing) : (o & ~goEditing);
    g->SetOptions(o);
    g->GridImages = GridImages;
    g->OnCanSort = [this](TObject*, int c, bool& s) { GridCanSort(c, s); };
    g->OnClickSort = [this](TObject*, int c) { GridClickSort(c); };
    g->OnSelectCell = [this](TObject*, int, int r, bool& can) { GridSelectCell(r, can); };
    g->SetComponentStyle(GetComponentStyle());
    // The popup grid stays flat whatever the style's border.
    g->SetBorderStyle(bsNone);
    // 8.
    if (UseItems) {
        TExCustomDropDown::BeforeDropDown();
        // Rows a narrowing hid belong to the last loading.
        if (g->FilterLevelCount() > 0) {
            g->RemoveAllFilters();
            g->FNarrowDownText.clear();
        }
        g->SetRowCount(FItems->Count() + 1);
        g->SetFixedRows(1);
        g->LoadItems(true);
        g->AutoSizeRows();
        const int r = RowOfItem(FItemIndex);
        if (r >= g->FixedRows() && r < g->RowCount()) g->SetRow(r);
    } else {
        QString found;
        int row = -1;
        if (FindLookupRow(Text(), found, row)) g->SetRow(row);
        else if (g->FixedRows() < g->RowCount()) g->SetRow(g->FixedRows());
    }
    g->EndUpdate();
    // 9.
    if (ss->Column >= 0 && ss->Show) g->QSort();
    // 10.
    FOldItemIndex = FItemIndex;
    if (!UseItems) TExCustomDropDown::BeforeDropDown();
}

void TCustomExGridDropDown::AdaptDropDownSize(int& Height) {
    // A row height of 0 or less counts no rows: the height stays.
    if (DropDownRowHeight <= 0) return;
    int f = 0;
    if (DropDownHeader()->Visible()) f += DropDownHeader()->Height();
    if (DropDownFooter()->Visible()) f += DropDownFooter()->Height();
    const int fixed = f + HeaderHeight + 2;
    Height = fixed + ((Height - fixed) / DropDownRowHeight) * DropDownRowHeight + 4;
}

void TCustomExGridDropDown::DoDropDown() {
    TExCustomDropDown::DoDropDown();
    TExColGrid* g = FGrid;
    if (!g || !DroppedDown()) return;
    if (!UseItems)
        while (FColumns->Count() < g->ColCount()) FColumns->Add();
    SizeColumnsToDropDown();
    const int fixed = g->FixedRows();
    const int visible = g->VisibleRowCount();
    if (g->RowCount() - fixed > visible) {
        const int row = g->Row();
        if (row >= g->TopRow() + visible || row < g->TopRow()) g->SetTopRow(std::max(fixed, row));
    }
    // The row the popup shows chosen is the one taken when it closes.
    FSelectedRow = g->Row();
    g->SetTabStop(true);
    if (g->CanFocus()) g->SetFocus();
}

void TCustomExGridDropDown::PlaceDropDownControl() {
    SetDropDownControl(FGrid);
    TExCustomDropDown::PlaceDropDownControl();
}

void TCustomExGridDropDown::UpdateDropDownSize() {
    TExCustomDropDown::UpdateDropDownSize();
    TDropDownForm* f = DropDownForm();
    if (!DropDownAutoWidth || !f || !FGrid) return;
    FGrid->SetAlign(alNone);
    const int w = FGrid->GetGridWidth();
    FGrid->SetWidth(w);
    f->SetBounds(f->Left(), f->Top(), w + 2 * DropDownBorderWidth(), f->Height());
    FGrid->SetAlign(alClient);
}

void TCustomExGridDropDown::DropDownSizing() {
    TExCustomDropDown::DropDownSizing();
    SizeColumnsToDropDown();
}

void TCustomExGridDropDown::SizeColumnsToDropDown() {
    TExColGrid* g = FGrid;
    if (!ColumnSizeWithDropDown || !g || !DropDownForm()) return;
    g->SetScrollBars(ssVertical);
    TDropDownColumns* cols = g->Columns();
    if (cols->Count() == 0) return;
    std::vector<int> widths;
    for (int i = 0; i < cols->Count(); ++i) widths.push_back(cols->Items(i)->Width);
    int available = DropDownForm()->Width();
    if (g->VisibleRowCount() < g->RowCount() - g->FixedRows()) available -= GetSystemMetrics(SM_CXVSCROLL);
    const std::vector<int> fitted = StretchColumnWidths(widths, available);
    for (int i = 0; i < g->ColCount() && i < int(fitted.size()); ++i) g->SetColWidths(i, fitted[size_t(i)]);
}

void TCustomExGridDropDown::DoHideDropDown(bool Cancel) {
    TDropDownForm* f = DropDownForm();
    const bool shown = f && f->IsShownOnScreen() && FGrid;
    // The base restores the opening's text on a cancel; the item index
    // decided below then writes the text of its choice.
    TExCustomDropDown::DoHideDropDown(Cancel);
    if (shown) {
        if (Cancel) {
            SetItemIndex(FOldItemIndex);
        } else if (FGrid->ConfirmSelection()) {
            SetItemIndex(UseItems ? ItemOfRow(FSelectedRow) : FSelectedRow - FGrid->FixedRows());
        }
        FOldItemIndex = FItemIndex;
        FGrid->SetConfirmSelection(false);
    }
}

// -- the drop-down's handlers on the popup grid -------------------------------------

void TCustomExGridDropDown::GridSelectCell(int ARow, bool& CanSelect) {
    CanSelect = true;
    FSelectedRow = ARow;
    if (!FGrid || FGrid->MouseWheelSelection()) return;
    if (UseItems) {
        // The type-ahead has made this row's item the choice already (its
        // text keeps the typed part selected).
        const int item = ItemOfRow(ARow);
        if (item != FItemIndex) SetItemIndex(item);
    } else {
        const int index = ARow - FGrid->FixedRows();
        if (index != FItemIndex) {
            SetTextQuietly(FGrid->Cells(FLookupColumn, ARow));
            SetItemIndex(index);
        }
    }
}

void TCustomExGridDropDown::GridSelect() {
    if (FGrid && FGrid->ConfirmSelection()) SetItemIndex(UseItems ? ItemOfRow(FGrid->Row()) : FGrid->Row() - FGrid->FixedRows());
    if (!GridEditable) DoHideDropDown(false);
    if (OnSelect) OnSelect(this);
}

void TCustomExGridDropDown::GridCanSort(int ACol, bool& DoSort) {
    FSortItemIndex = FItemIndex;
    DoGridCanSort(FGrid, ACol, DoSort);
}

void TCustomExGridDropDown::GridClickSort(int ACol) {
    if (FGrid && FSortItemIndex >= 0) {
        const int r = RowOfItem(FSortItemIndex);
        if (r >= FGrid->FixedRows() && r < FGrid->RowCount()) FGrid->SetRow(r);
    }
    DoGridClickSort(FGrid, ACol);
}

void TCustomExGridDropDown::GridStartBlockFocus() {
    // The grid moves the focus to a window of its own: the popup stays.
    if (DropDownForm()) DropDownForm()->SetBlockActivate(true);
}

void TCustomExGridDropDown::GridEndBlockFocus() {
    if (DropDownForm()) DropDownForm()->SetBlockActivate(false);
}

void TCustomExGridDropDown::GridCheckBoxClick(TObject* Sender, int ACol, int ARow, bool State) {
    if (OnGridCheckBoxClick) OnGridCheckBoxClick(Sender, ACol, ARow, State);
}

// -- keys of the popup grid ---------------------------------------------------------

void TCustomExGridDropDown::ControlKeyDown(unsigned& Key, TShiftState Shift) {
    const bool stays = NavigationKey(Key) && !(Shift & ssAlt);
    if (!stays) TExCustomDropDown::ControlKeyDown(Key, Shift);
    if (OnGridKeyDown) OnGridKeyDown(this, Key, Shift);
}

void TCustomExGridDropDown::ControlKeyUp(unsigned& Key, TShiftState Shift) {
    if (NavigationKey(Key) && !(Shift & ssAlt)) FLookupEntry.clear();
    else TExCustomDropDown::ControlKeyUp(Key, Shift);
    if (OnGridKeyUp) OnGridKeyUp(this, Key, Shift);
}

void TCustomExGridDropDown::ControlKeyPress(QChar& Key) {
    TExColGrid* g = FGrid;
    const ushort k = Key.unicode();
    const bool alt = GetKeyState(VK_MENU) < 0;
    const bool moving = k == 13 || k == 27 || (k >= 33 && k <= 36) || k == 38 || k == 40;
    if (!g || (moving && !alt) || (g->Options() & goEditing)) {
        FLookupEntry.clear();
    } else {
        int row = LookupKey(Key);
        // The lookup gives an item in item mode: its row (sorting moves it).
        if (row >= 0 && UseItems && LookupMethod == lmLookup) row = RowOfItem(row);
        if (row >= g->FixedRows() && row < g->RowCount()) {
            if (g->VisibleRowCount() < g->RowCount() - g->FixedRows()) g->SetTopRow(row);
            g->FocusCell(0, row);
            g->RepaintRow(row);
        } else {
            FLookupEntry.clear();
        }
    }
    if (OnGridKeyPress) OnGridKeyPress(this, Key);
}

// ---------------------------------------------------------------------------
// Colour styles
// ---------------------------------------------------------------------------

void TCustomExGridDropDown::SetSelectionColorStyle(TSelectionColorStyle S) {
    SelectionStyleGridLines(S, LineColor, FixedLineColor);
    TExCustomDropDown::SetSelectionColorStyle(S);
}

void TCustomExGridDropDown::SetComponentStyle(TQORStyle AStyle) {
    TExCustomDropDown::SetComponentStyle(AStyle);
    // The Office 2010 styles leave the grid drop-down's colours alone.
    const TGridStylePreset* p = FindGridStylePreset(AStyle);
    if (!p || p->Extra == seOffice2010Selection) return;
    const TGridStylePreset& s = *p;
    HeaderColor = s.HeaderColor;
    HeaderColorTo = s.HeaderColorTo;
    if (s.SetFont) FHeaderFont.SetColor(s.FontColor);
    SetSelectionColorStyle(s.Selection);
    LineColor = s.LineColor;
    FixedLineColor = s.FixedLineColor;
    SelectionTextColor = clBlack;
    if (s.Extra == seSystemSelection) {
        SetSelectionColor(clHighlight);
        SetSelectionColorTo(clHighlight);
        SelectionTextColor = clHighlightText;
    }
}

// ---------------------------------------------------------------------------
// The dispatchers
// ---------------------------------------------------------------------------

namespace {
// Runs a handler with the popup's activation blocked, so that a window the
// handler opens does not close the popup.
template <class F>
void WithBlockedActivation(TDropDownForm* Form, F&& Fire) {
    if (Form) Form->SetBlockActivate(true);
    Fire();
    if (Form) Form->SetBlockActivate(false);
}
} // namespace

void TCustomExGridDropDown::DoGridAnchorClick(TObject* Sender, int ARow, int ACol, const QString& Anchor,
                                              bool& AutoHandle) {
    WithBlockedActivation(DropDownForm(), [&] {
        if (OnGridAnchorClick) OnGridAnchorClick(Sender, ARow, ACol, Anchor, AutoHandle);
    });
}
void TCustomExGridDropDown::DoGridAnchorEnter(TObject* Sender, int ARow, int ACol, const QString& Anchor) {
    if (OnGridAnchorEnter) OnGridAnchorEnter(Sender, ARow, ACol, Anchor);
}
void TCustomExGridDropDown::DoGridAnchorExit(TObject* Sender, int ARow, int ACol, const QString& Anchor) {
    if (OnGridAnchorExit) OnGridAnchorExit(Sender, ARow, ACol, Anchor);
}
void TCustomExGridDropDown::DoGridAnchorHint(TObject* Sender, int ARow, int ACol, QString& Anchor) {
    if (OnGridAnchorHint) OnGridAnchorHint(Sender, ARow, ACol, Anchor);
}
void TCustomExGridDropDown::DoGridButtonClick(TObject* Sender, int ACol, int ARow) {
    WithBlockedActivation(DropDownForm(), [&] {
        if (OnGridButtonClick) OnGridButtonClick(Sender, ACol, ARow);
    });
}
void TCustomExGridDropDown::DoGridCanSort(TObject* Sender, int ACol, bool& DoSort) {
    if (OnGridCanSort) OnGridCanSort(Sender, ACol, DoSort);
}
void TCustomExGridDropDown::DoGridClickSort(TObject* Sender, int ACol) {
    if (OnGridClickSort) OnGridClickSort(Sender, ACol);
}
void TCustomExGridDropDown::DoGridCustomCompare(TObject* Sender, const QString& Str1, const QString& Str2, int& Res) {
    if (OnGridCustomCompare) OnGridCustomCompare(Sender, Str1, Str2, Res);
}
void TCustomExGridDropDown::DoGridRawCompare(TObject* Sender, int ACol, int Row1, int Row2, int& Res) {
    if (OnGridRawCompare) OnGridRawCompare(Sender, ACol, Row1, Row2, Res);
}
void TCustomExGridDropDown::DoGridColumnSize(TObject* Sender, int ACol, bool& Allow) {
    if (OnGridColumnSize) OnGridColumnSize(Sender, ACol, Allow);
}
void TCustomExGridDropDown::DoGridColumnSizing(TObject* Sender, int ACol, int ColumnSize) {
    if (OnGridColumnSizing) OnGridColumnSizing(Sender, ACol, ColumnSize);
}
void TCustomExGridDropDown::DoGridEndColumnSize(TObject* Sender, int ACol) {
    if (OnGridEndColumnSize) OnGridEndColumnSize(Sender, ACol);
}
void TCustomExGridDropDown::DoGridRowSize(TObject* Sender, int ARow, bool& Allow) {
    if (OnGridRowSize) OnGridRowSize(Sender, ARow, Allow);
}
void TCustomExGridDropDown::DoGridRowSizing(TObject* Sender, int ARow, int RowSize) {
    if (OnGridRowSizing) OnGridRowSizing(Sender, ARow, RowSize);
}
void TCustomExGridDropDown::DoGridEndRowSize(TObject* Sender, int ARow) {
    if (OnGridEndRowSize) OnGridEndRowSize(Sender, ARow);
}
void TCustomExGridDropDown::DoGridRowMove(TObject* Sender, int ARow, bool& Allow) {
    if (OnGridRowMove) OnGridRowMove(Sender, ARow, Allow);
}
void TCustomExGridDropDown::DoGridRowMoving(TObject* Sender, int FromIndex, int ToIndex, bool& Allow) {
    if (OnGridRowMoving) OnGridRowMoving(Sender, FromIndex, ToIndex, Allow);
}
void TCustomExGridDropDown::DoGridRowMoved(TObject* Sender, int FromIndex, int ToIndex) {
    if (OnGridRowMoved) OnGridRowMoved(Sender, FromIndex, ToIndex);
}
void TCustomExGridDropDown::DoGridColumnMove(TObject* Sender, int ACol, bool& Allow) {
    if (OnGridColumnMove) OnGridColumnMove(Sender, ACol, Allow);
}
void TCustomExGridDropDown::DoGridColumnMoving(TObject* Sender, int FromIndex, int ToIndex, bool& Allow) {
    if (OnGridColumnMoving) OnGridColumnMoving(Sender, FromIndex, ToIndex, Allow);
}
void TCustomExGridDropDown::DoGridColumnMoved(TObject* Sender, int FromIndex, int ToIndex) {
    if (OnGridColumnMoved) OnGridColumnMoved(Sender, FromIndex, ToIndex);
}
void TCustomExGridDropDown::DoGridCustomCellDraw(TObject* Sender, TCanvas* Canvas, int ACol, int ARow,
                                                 TGridDrawState AState, const TRect& ARect, bool Printing) {
    if (OnGridCustomCellDraw) OnGridCustomCellDraw(Sender, Canvas, ACol, ARow, AState, ARect, Printing);
}
void TCustomExGridDropDown::DoGridCustomCellBkgDraw(TObject* Sender, TCanvas* Canvas, int ACol, int ARow,
                                                    TGridDrawState AState, const TRect& ARect, bool Printing) {
    if (OnGridCustomCellBkgDraw) OnGridCustomCellBkgDraw(Sender, Canvas, ACol, ARow, AState, ARect, Printing);
}
void TCustomExGridDropDown::DoGridCellBalloon(TObject* Sender, int ACol, int ARow, QString& ATitle, QString& AText,
                                              TBalloonIcon& AIcon) {
    if (OnGridCellBalloon) OnGridCellBalloon(Sender, ACol, ARow, ATitle, AText, AIcon);
}
void TCustomExGridDropDown::DoGridGetAlignment(TObject* Sender, int ARow, int ACol, TAlignment& HAlign,
                                               TVAlignment& VAlign) {
    if (ACol >= 0 && ACol < FColumns->Count()) HAlign = FColumns->Items(ACol)->Alignment;
    if (OnGridGetAlignment) OnGridGetAlignment(Sender, ARow, ACol, HAlign, VAlign);
}
void TCustomExGridDropDown::DoGridGetCellColor(TObject* Sender, int ARow, int ACol, TGridDrawState AState,
                                               TBrush* ABrush, TFont* AFont) {
    if (ABrush && ACol >= 0 && ACol < FColumns->Count()) ABrush->SetColor(FColumns->Items(ACol)->Color);
    if (OnGridGetCellColor) OnGridGetCellColor(Sender, ARow, ACol, AState, ABrush, AFont);
}
void TCustomExGridDropDown::DoGridGetCellGradient(TObject* Sender, int ARow, int ACol, TColor& Color,
                                                  TColor& ColorTo, TColor& ColorMirror, TColor& ColorMirrorTo,
                                                  TCellGradientDirection& GD) {
    if (OnGridGetCellGradient) OnGridGetCellGradient(Sender, ARow, ACol, Color, ColorTo, ColorMirror, ColorMirrorTo, GD);
}
void TCustomExGridDropDown::DoGridGetFloatFormat(TObject* Sender, int ACol, int ARow, bool& IsFloat,
                                                 QString& FloatFormat) {
    FloatFormat.clear();
    if (OnGridGetFloatFormat) OnGridGetFloatFormat(Sender, ACol, ARow, IsFloat, FloatFormat);
}
void TCustomExGridDropDown::DoGridGetEditorType(TObject* Sender, int ACol, int ARow, TEditorType& AEditor) {
    if (OnGridGetEditorType) OnGridGetEditorType(Sender, ACol, ARow, AEditor);
}
void TCustomExGridDropDown::DoGridGetEditorProp(TObject* Sender, int ACol, int ARow, TObject* AEditLink) {
    if (OnGridGetEditorProp) OnGridGetEditorProp(Sender, ACol, ARow, AEditLink);
}
void TCustomExGridDropDown::DoGridCanEditCell(TObject* Sender, int ARow, int ACol, bool& CanEdit) {
    if (OnGridCanEditCell) OnGridCanEditCell(Sender, ARow, ACol, CanEdit);
}
void TCustomExGridDropDown::DoGridEllipsClick(TObject* Sender, int ACol, int ARow, QString& S) {
    WithBlockedActivation(DropDownForm(), [&] {
        if (OnGridEllipsClick) OnGridEllipsClick(Sender, ACol, ARow, S);
    });
}
void TCustomExGridDropDown::DoGridGetDisplText(TObject* Sender, int ACol, int ARow, QString& Value) {
    if (OnGridGetDiplText) OnGridGetDiplText(Sender, ACol, ARow, Value);
}
void TCustomExGridDropDown::DoGridGetFormat(TObject* Sender, int ACol, TSortStyle& AStyle, QString& APrefix,
                                            QString& ASuffix) {
    if (OnGridGetFormat) OnGridGetFormat(Sender, ACol, AStyle, APrefix, ASuffix);
}
void TCustomExGridDropDown::DoGridHint(TObject* Sender, int ARow, int ACol, QString& HintStr) {
    if (OnGridHint) OnGridHint(Sender, ARow, ACol, HintStr);
}
void TCustomExGridDropDown::DoGridMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) {
    if (!FBalloonReset) {
        // The first move after an opening makes the balloon window anew.
        FBalloonReset = true;
        if (FGrid && FGrid->Balloon()->Enable()) {
            FGrid->Balloon()->SetEnable(false);
            FGrid->Balloon()->SetEnable(true);
        }
    }
    if (OnGridMouseMove) OnGridMouseMove(Sender, Shift, X, Y);
}
void TCustomExGridDropDown::DoGridMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnGridMouseDown) OnGridMouseDown(Sender, Button, Shift, X, Y);
}
void TCustomExGridDropDown::DoGridMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnGridMouseUp) OnGridMouseUp(Sender, Button, Shift, X, Y);
}
void TCustomExGridDropDown::DoGridKeyDown(TObject* Sender, unsigned& Key, TShiftState Shift) {
    if (OnGridKeyDown) OnGridKeyDown(Sender, Key, Shift);
}
void TCustomExGridDropDown::DoGridKeyUp(TObject* Sender, unsigned& Key, TShiftState Shift) {
    if (OnGridKeyUp) OnGridKeyUp(Sender, Key, Shift);
}
void TCustomExGridDropDown::DoGridKeyPress(TObject* Sender, QChar& Key) {
    if (OnGridKeyPress) OnGridKeyPress(Sender, Key);
}
void TCustomExGridDropDown::DoGridRightClickCell(TObject* Sender, int ARow, int ACol) {
    if (OnGridRightClickCell) OnGridRightClickCell(Sender, ARow, ACol);
}
void TCustomExGridDropDown::DoGridScrollHint(TObject* Sender, int ARow, QString& HintStr) {
    if (OnGridScrollHint) OnGridScrollHint(Sender, ARow, HintStr);
}
void TCustomExGridDropDown::DoGridTopLeftChanged(TObject*) {
    if (OnGridTopLeftChanged) OnGridTopLeftChanged(this);
}
void TCustomExGridDropDown::DoGridSearchEditChange(TObject* Sender, const QString& Value, bool& DefaultSearch) {
    if (OnGridSearchEditChange) OnGridSearchEditChange(Sender, Value, DefaultSearch);
}
void TCustomExGridDropDown::DoGridSpinClick(TObject* Sender, int ACol, int ARow, int AValue, bool UpDown) {
    if (OnGridSpinClick) OnGridSpinClick(Sender, ACol, ARow, AValue, UpDown);
}
void TCustomExGridDropDown::DoGridAutoAddRow(TObject* Sender, int ARow) {
    if (OnGridAutoAddRow) OnGridAutoAddRow(Sender, ARow);
}
void TCustomExGridDropDown::DoGridAutoInsertRow(TObject* Sender, int ARow) {
    if (OnGridInsertRow) OnGridInsertRow(Sender, ARow);
}
void TCustomExGridDropDown::DoGridAutoInsertCol(TObject* Sender, int ACol) {
    if (OnGridInsertCol) OnGridInsertCol(Sender, ACol);
}
void TCustomExGridDropDown::DoGridAutoDeleteRow(TObject* Sender, int ARow) {
    if (OnGridDeleteRow) OnGridDeleteRow(Sender, ARow);
}
void TCustomExGridDropDown::DoGridCanAddRow(TObject* Sender, bool& CanAdd) {
    if (OnGridCanAddRow) OnGridCanAddRow(Sender, CanAdd);
}
void TCustomExGridDropDown::DoGridCanInsertRow(TObject* Sender, int ARow, bool& CanInsert) {
    if (OnGridCanInsertRow) OnGridCanInsertRow(Sender, ARow, CanInsert);
}
void TCustomExGridDropDown::DoGridCanDeleteRow(TObject* Sender, int ARow, bool& CanDelete) {
    if (OnGridCanDeleteRow) OnGridCanDeleteRow(Sender, ARow, CanDelete);
}

} // namespace ExGridDD
