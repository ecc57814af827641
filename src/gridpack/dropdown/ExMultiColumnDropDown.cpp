#include "gridpack/dropdown/ExMultiColumnDropDown.h"

#include "gridpack/basegrid/GradientBands.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/TextWidths.h"

#include <algorithm>
#include <cmath>

namespace ExMultiCol {

namespace {
constexpr int kPageStep = 10;

bool NavigationKey(unsigned Key) { return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN; }

} // namespace

// ---------------------------------------------------------------------------
// Columns and items
// ---------------------------------------------------------------------------

int TDropDownItems::IndexInColumn(int Column, const QString& Value) const {
    for (int i = 0; i < Count(); ++i) {
        const TDropDownItem* it = Items(i);
        if (Column >= 0 && Column < it->Text()->Count() && it->Text()->Get(Column) == Value) return i;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// The popup grid
// ---------------------------------------------------------------------------

TExColGrid::TExColGrid(TComponent* AOwner) : TStringGrid(AOwner) {
    FColumns = new TDropDownColumns(this);
    SetFixedCols(0);
    SetFixedRows(1);
    TGridOptions o = Options();
    o &= ~(goRangeSelect | goDrawFocusSelected);
    o |= goRowSelect | goHorzLine;
    SetOptions(o);
    SetDefaultDrawing(false);
    SetBorderStyle(bsNone);
    TStringGrid::SetGridLineWidth(0);
}

TExColGrid::~TExColGrid() { delete FColumns; }

void TExColGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TStringGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && Images && dynamic_cast<TImageList*>(AComponent) == Images) Images = nullptr;
}

void TExColGrid::ApplyDropDownSettings(TExMultiColumnDropDown* D) {
    if (!D) return;
    FExDropDown = D;
    FColumns->Assign(D->Columns());
    const int cols = std::max(1, FColumns->Count());
    const int rows = D->Items()->Count() + 1;
    SetColCount(cols);
    SetRowCount(rows);
    if (rows > 1) {
        SetFixedRows(1);
        SetRow(1);
    } else {
        SetFixedRows(0);
    }
    for (int i = 0; i < FColumns->Count(); ++i) SetColWidths(i, FColumns->Items(i)->Width);
    LineColor = D->LineColor;
    FixedLineColor = D->FixedLineColor;
    HeaderColor = D->HeaderColor;
    HeaderColorTo = D->HeaderColorTo;
    HeaderHeight = D->HeaderHeight;
    FHeaderFont.Assign(*D->HeaderFont());
    Images = D->Images();
    if (D->DropDownRowHeight > 0) SetDefaultRowHeight(D->DropDownRowHeight);
    if (D->HeaderHeight > 0) SetRowHeights(0, D->HeaderHeight);
    TGridOptions o = Options();
    if (D->ColumnSizing) o |= goColSizing;
    else o &= ~goColSizing;
    SetOptions(o);
    AutoSizeItemColumns();
    AutoSizeRows();
}

void TExColGrid::AutoSizeItemColumns() {
    if (!FExDropDown || Parent() != FExDropDown->DropDownForm()) return;
    TDropDownItems* items = FExDropDown->Items();
    for (int i = 0; i < FColumns->Count(); ++i) {
        TDropDownColumn* col = FColumns->Items(i);
        if (!col->AutoSize) continue;
        TTextWidths widths(*col->Font());
        int widest = 0;
        for (int r = 0; r < items->Count(); ++r) {
            const TDropDownItem* it = items->Items(r);
            int w = 0;
            const QString t = it->Line(i);
            if (!t.isEmpty()) w = widths.Width(t) + 6;
            if (col->ColumnType == ctImage && Images && it->ImageIndex >= 0) w += Images->Width() + 4;
            widest = std::max(widest, w);
        }
        col->Width = widest;
        SetColWidths(i, widest);
    }
}

void TExColGrid::AutoSizeRows() {
    if (!FExDropDown || Parent() != FExDropDown->DropDownForm()) return;
    bool wraps = false;
    for (int i = 0; i < FColumns->Count(); ++i) wraps = wraps || FColumns->Items(i)->Wordwrap;
    if (!wraps) return;
    TCanvas* c = Canvas();
    TDropDownItems* items = FExDropDown->Items();
    for (int r = 0; r < items->Count() && r + 1 < RowCount(); ++r) {
        const TDropDownItem* it = items->Items(r);
        int h = 24;
        for (int i = 0; i < FColumns->Count(); ++i) {
            TDropDownColumn* col = FColumns->Items(i);
            if (!col->Wordwrap) continue;
            int need = 0;
            if (col->ColumnType == ctImage && Images && it->ImageIndex >= 0) need = Images->Height() + 6;
            const QString t = it->Line(i);
            if (!t.isEmpty()) {
                c->Font().Assign(*col->Font());
                TRect m = Rect(0, 0, ColWidths(i), 500);
                c->DrawText(t, m, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
                need = std::max(need, m.Height() + 6);
            }
            h = std::max(h, need);
        }
        SetRowHeights(r + 1, h);
    }
}

int TExColGrid::GetGridWidth() {
    int w = BorderStyle() == bsSingle ? 2 : 0;
    for (int i = 0; i < ColCount(); ++i) w += ColWidths(i);
    if (VisibleRowCount() + FixedRows() != RowCount()) w += GetSystemMetrics(SM_CXVSCROLL);
    return w;
}

void TExColGrid::DoSelect() {
    if (OnSelect) OnSelect(this);
}

void TExColGrid::KeyDown(unsigned& Key, TShiftState Shift) {
    FConfirmSelection = true;
    if ((Shift & ssAlt) && (Key == VK_UP || Key == VK_DOWN)) {
        if (FExDropDown) FExDropDown->Perform(WM_KEYDOWN, Key, 0);
        return;
    }
    const unsigned key = Key;
    TStringGrid::KeyDown(Key, Shift);
    if (key == VK_RETURN) DoSelect();
}

void TExColGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FConfirmSelection = true;
    TStringGrid::MouseDown(Button, Shift, X, Y);
}

void TExColGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TStringGrid::MouseUp(Button, Shift, X, Y);
    int c = -1, r = -1;
    MouseToCell(X, Y, c, r);
    if (r >= FixedRows() && r >= 1 && r < RowCount()) DoSelect();
}

bool TExColGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    FMouseWheelSelection = true;
    FConfirmSelection = false;
    const bool r = TStringGrid::DoMouseWheelDown(Shift, MousePos);
    FMouseWheelSelection = false;
    return r;
}

bool TExColGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    FMouseWheelSelection = true;
    FConfirmSelection = false;
    const bool r = TStringGrid::DoMouseWheelUp(Shift, MousePos);
    FMouseWheelSelection = false;
    return r;
}

void TExColGrid::WMKeyDown(TMessage& M) {
    if (M.WParam == VK_TAB) return;
    TStringGrid::WMKeyDown(M);
}

void TExColGrid::WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTARROWS | DLGC_WANTTAB; }

void TExColGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TCanvas* c = Canvas();
    TExMultiColumnDropDown* D = FExDropDown;
    // 1.
    if (D && D->OnDropDownDrawItem) {
        D->OnDropDownDrawItem(this, ACol, ARow, c, ARect);
        return;
    }
    // 2.
    const int last = ColCount() - 1;
    const uint8_t piece = ACol == 0 && ACol == last ? 0 : ACol == 0 ? 1 : ACol == last ? 2 : 3;
    const TRect R = Rect(ARect.Left, ARect.Top, ARect.Left + ColWidths(ACol), ARect.Top + RowHeights(ARow));
    int image = -1;
    // 3.
    TColor colour = Color();
    TAlignment align = taLeftJustify;
    bool wrap = false, ellipsis = false;
    const TFont* font = &FHeaderFont;
    QString text;
    const bool header = ARow < FixedRows();
    if (ACol < FColumns->Count()) {
        TDropDownColumn* col = FColumns->Items(ACol);
        colour = col->Color;
        align = col->Alignment;
        wrap = col->Wordwrap;
        ellipsis = col->Ellipsis;
        font = col->Font();
        if (D && !header && ARow >= 1 && ARow <= D->Items()->Count()) {
            const TDropDownItem* it = D->Items()->Items(ARow - 1);
            if (col->ColumnType == ctImage) image = it->ImageIndex;
            text = it->Line(ACol);
        }
    }
    // 4.
    if (D && D->OnDropDownGetItemText) D->OnDropDownGetItemText(this, ACol, ARow, text);
    // 5.
    const bool selected = !header && (AState & gdSelected);
    if (!header) {
        if (!selected) {
            c->Pen().SetColor(colour);
            c->Pen().SetWidth(1);
            c->Brush().SetColor(colour);
            c->Brush().SetStyle(bsSolid);
            c->FillRect(R);
        } else if (D) {
            D->DrawSelection(c, R, colour, piece);
        } else {
            c->Brush().SetColor(clActiveCaption);
            c->FillRect(R);
        }
    } else {
        text = ACol < FColumns->Count() ? FColumns->Items(ACol)->Header : QString();
        image = -1;
        if (HeaderColor == clNone || HeaderColorTo == clNone) {
            c->Brush().SetColor(HeaderColor == clNone ? HeaderColorTo : HeaderColor);
            c->FillRect(R);
        } else if (D) {
            D->DrawGradient(c, HeaderColor, HeaderColorTo, 80, R, gdVertical);
        } else {
            FillGradientBands(c, HeaderColor, HeaderColorTo, 80, R, false);
        }
    }
    // 6.
    int cw;
    bool draw = true;
    if (!header) {
        draw = FGridLineWidth > 0;
        c->Pen().SetColor(LineColor);
        c->Pen().SetWidth(std::max(1, FGridLineWidth));
        cw = (FGridLineWidth + 1) / 2;
    } else {
        c->Pen().SetColor(FixedLineColor);
        c->Pen().SetWidth(1);
        cw = 1;
    }
    const TGridOptions o = Options();
    if (draw) {
        if (header ? (o & goFixedHorzLine) : (o & goHorzLine)) {
            c->MoveTo(R.Left - cw + 1, R.Bottom - cw);
            c->LineTo(R.Right - cw + 1, R.Bottom - cw);
        }
        if (header ? (o & goFixedVertLine) : (o & goVertLine)) {
            c->MoveTo(R.Right - cw, R.Bottom - cw);
            c->LineTo(R.Right - cw, R.Top - cw);
        }
    }
    // 7.
    TRect T = R;
    InflateRect(T, -FGridLineWidth, -FGridLineWidth);
    TImageList* images = D ? D->Images() : Images;
    if (images && image >= 0) {
        const int y = images->Height() < R.Height() ? R.Top + (R.Height() - images->Height()) / 2 : R.Top;
        images->Draw(c, R.Left + 2, y, image, true);
        T.Left = R.Left + images->Width() + 4;
    } else {
        T.Left = R.Left + 2;
    }
    // 8.
    if (text.isEmpty()) return;
    c->Font().Assign(*font);
    if (selected) c->Font().SetColor(D ? D->SelectionTextColor : clHighlightText);
    else if (header) c->Font().Assign(FHeaderFont);
    c->Brush().SetStyle(bsClear);
    unsigned flags = DT_NOPREFIX | DT_EXPANDTABS | DT_VCENTER;
    flags |= wrap ? (DT_WORDBREAK | DT_EDITCONTROL) : DT_SINGLELINE;
    flags |= align == taRightJustify ? DT_RIGHT : align == taCenter ? DT_CENTER : DT_LEFT;
    if (ellipsis) flags |= DT_END_ELLIPSIS;
    c->DrawText(text, T, flags);
    c->Brush().SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// The drop-down
// ---------------------------------------------------------------------------

TExMultiColumnDropDown::TExMultiColumnDropDown(TComponent* AOwner) : TExCustomDropDown(AOwner) {
    FColumns = new TDropDownColumns(this);
    FItems = new TDropDownItems(this);
    FHeaderFont.Assign(*Font());
    FLookupItems.SetCaseSensitive(false);
}

TExMultiColumnDropDown::~TExMultiColumnDropDown() {
    delete FColumns;
    delete FItems;
}

void TExMultiColumnDropDown::AfterConstruction() {
    // The base applies tsOffice2007Luna (header font 0x723708); the header
    // gradient is then set back to the drop-down's own defaults.
    TExCustomDropDown::AfterConstruction();
    HeaderColor = TColor(0xFFFFFF);
    HeaderColorTo = TColor(0x808080);
    SelectionTextColor = clBlack;
    SetDropDownColor(clWhite);
    SetDropDownHeight(200);
    SetAutoSelect(true);
    SetSelectionColorStyle(scOffice2007);
}

void TExMultiColumnDropDown::Loaded() {
    TExCustomDropDown::Loaded();
    UpdateLookupItems();
}

void TExMultiColumnDropDown::SetTextQuietly(const QString& S) {
    const bool was = FCompleting;
    FCompleting = true;
    SetRawText(S);
    FCompleting = was;
}

void TExMultiColumnDropDown::SetItemIndex(int Value) {
    if (Value >= FItems->Count()) return;
    FItemIndex = Value < 0 ? -1 : Value;
    QString t;
    if (FItemIndex >= 0 && FLookupColumn >= 0) t = FItems->Items(FItemIndex)->Line(FLookupColumn);
    SetTextQuietly(t);
}

int TExMultiColumnDropDown::GetItemIndex(const QString& Value) const {
    for (int i = 0; i < FItems->Count(); ++i)
        if (FLookupColumn >= 0 && FLookupColumn < FItems->Items(i)->Text()->Count() &&
            FItems->Items(i)->Text()->Get(FLookupColumn) == Value)
            return i;
    return -1;
}

void TExMultiColumnDropDown::Step(TItemStep S) {
    if (const int i = ItemStepTarget(FItemIndex, FItems->Count(), S); i >= 0) SetItemIndex(i);
}

void TExMultiColumnDropDown::SelectFirst() { Step(TItemStep::First); }
void TExMultiColumnDropDown::SelectLast() { Step(TItemStep::Last); }
void TExMultiColumnDropDown::SelectNext() { Step(TItemStep::Next); }
void TExMultiColumnDropDown::SelectPrevious() { Step(TItemStep::Previous); }

void TExMultiColumnDropDown::SelectPageDown() {
    if (FItems->Count() == 0) return;
    SetItemIndex(FItemIndex < 0 ? 0 : std::min(FItemIndex + kPageStep, FItems->Count() - 1));
}

void TExMultiColumnDropDown::SelectPageUp() {
    if (FItems->Count() == 0) return;
    const int to = FItemIndex - kPageStep;
    SetItemIndex(FItemIndex < 0 || to < 0 ? 0 : to);
}

void TExMultiColumnDropDown::UpdateLookupItems() {
    if (FLookupColumn < 0 || FItems->Count() == 0) return;
    FLookupItems.Clear();
    FLookupTexts.clear();
    FLookupTexts.reserve(FItems->Count());
    FLookupItems.BeginUpdate();
    for (int i = 0; i < FItems->Count(); ++i) {
        const QString t = FItems->Items(i)->Line(FLookupColumn);
        FLookupItems.Add(t);
        FLookupTexts.append(t);
    }
    FLookupItems.EndUpdate();
}

void TExMultiColumnDropDown::Assign(const TPersistent* Source) {
    TExCustomDropDown::Assign(Source);
    auto* s = dynamic_cast<const TExMultiColumnDropDown*>(Source);
    if (!s) return;
    CaseSensitive = s->CaseSensitive;
    DropDownAutoWidth = s->DropDownAutoWidth;
    DropDownRowHeight = s->DropDownRowHeight;
    LineColor = s->LineColor;
    FixedLineColor = s->FixedLineColor;
    ColumnSizing = s->ColumnSizing;
    ColumnSizeWithDropDown = s->ColumnSizeWithDropDown;
    FColumns->Assign(s->FColumns);
    HeaderColor = s->HeaderColor;
    HeaderColorTo = s->HeaderColorTo;
    HeaderHeight = s->HeaderHeight;
    FHeaderFont.Assign(s->FHeaderFont);
    FLookupColumn = s->FLookupColumn;
    SelectionTextColor = s->SelectionTextColor;
    FItems->Assign(s->FItems);
    FItemIndex = s->FItemIndex < FItems->Count() ? s->FItemIndex : -1;
}

// -- colours ----------------------------------------------------------------

void TExMultiColumnDropDown::SetSelectionColorStyle(TSelectionColorStyle S) {
    SelectionStyleGridLines(S, LineColor, FixedLineColor);
    TExCustomDropDown::SetSelectionColorStyle(S);
}

void TExMultiColumnDropDown::SetComponentStyle(TQORStyle AStyle) {
    TExCustomDropDown::SetComponentStyle(AStyle);
    if (const TGridStylePreset* p = FindGridStylePreset(AStyle)) {
        const TGridStylePreset& s = *p;
        HeaderColor = s.HeaderColor;
        HeaderColorTo = s.HeaderColorTo;
        SetSelectionColorStyle(s.Selection);
        if (s.SetFont) FHeaderFont.SetColor(s.FontColor);
        LineColor = s.LineColor;
        FixedLineColor = s.FixedLineColor;
        SelectionTextColor = clBlack;
        if (s.Extra == seSystemSelection) {
            SetSelectionColor(clHighlight);
            SetSelectionColorTo(clHighlight);
            SelectionTextColor = clHighlightText;
        } else if (s.Extra == seOffice2010Selection) {
            SetSelectionColor(TColor(0x6CD0FF));
            SetSelectionColorTo(TColor(0x6CD0FF));
        }
    }
}

// -- the popup ----------------------------------------------------------------

void TExMultiColumnDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (!DropDownForm()) return;
    if (!FExColGrid) {
        FExColGrid = NewObject<TExColGrid>(this);
        FExColGrid->SetParent(DropDownForm());
    }
    FExColGrid->SetDropDown(this);
    FExColGrid->SetBounds(0, 0, FExColGrid->Width(), 180);
    FExColGrid->SetColor(DropDownColor());
}

void TExMultiColumnDropDown::BeforeDropDown() {
    TExCustomDropDown::BeforeDropDown();
    if (!FExColGrid) return;
    DropDownForm()->SetCancelOnDeActivate(false);
    FShowing = true;
    TExColGrid* g = FExColGrid;
    g->ApplyDropDownSettings(this);
    g->SetOptions(g->Options() | goThumbTracking);
    g->SetColor(DropDownColor());
    g->OnSelectCell = [this](TObject*, int, int ARow, bool&) { GridSelectCell(ARow); };
    g->OnSelect = [this](TObject*) { GridSelect(); };
    int r = FItemIndex + 1;
    if (r < g->FixedRows()) r = 1;
    if (r < g->RowCount() && r >= g->FixedRows()) g->SetRow(r);
    FOldItemIndex = FItemIndex;
}

void TExMultiColumnDropDown::AdaptDropDownSize(int& Height) {
    // A row height of 0 or less counts no rows: the height stays.
    if (DropDownRowHeight <= 0) return;
    int e = 0;
    if (DropDownHeader()->Visible()) e += DropDownHeader()->Height();
    if (DropDownFooter()->Visible()) e += DropDownFooter()->Height();
    const int fixed = e + HeaderHeight + 2;
    Height = fixed + ((Height - fixed) / DropDownRowHeight) * DropDownRowHeight;
}

void TExMultiColumnDropDown::DoDropDown() {
    TExCustomDropDown::DoDropDown();
    TExColGrid* g = FExColGrid;
    if (g && DroppedDown()) {
        SizeColumnsToDropDown();
        if (g->RowCount() > 1) {
            const int r = FItemIndex < 0 ? 1 : FItemIndex + 1;
            if (r < g->RowCount()) {
                g->SetRow(r);
                const TRect cr = g->CellRect(0, r);
                if (cr.Left <= 0 && cr.Top <= 0) g->SetTopRow(std::max(1, r - g->VisibleRowCount() + 1));
            }
        }
        if (g->CanFocus()) g->SetFocus();
    }
    FShowing = false;
}

void TExMultiColumnDropDown::PlaceDropDownControl() {
    SetDropDownControl(FExColGrid);
    TExCustomDropDown::PlaceDropDownControl();
}

void TExMultiColumnDropDown::UpdateDropDownSize() {
    TExCustomDropDown::UpdateDropDownSize();
    TDropDownForm* f = DropDownForm();
    if (!DropDownAutoWidth || !f || !FExColGrid) return;
    FExColGrid->SetAlign(alNone);
    const int w = FExColGrid->GetGridWidth();
    FExColGrid->SetWidth(w);
    f->SetBounds(f->Left(), f->Top(), w + 2 * DropDownBorderWidth(), f->Height());
    FExColGrid->SetAlign(alClient);
}

void TExMultiColumnDropDown::DoHideDropDown(bool Cancel) {
    TDropDownForm* f = DropDownForm();
    if (!f || !f->IsShownOnScreen() || !FExColGrid) {
        TExCustomDropDown::DoHideDropDown(Cancel);
        return;
    }
    TExCustomDropDown::DoHideDropDown(Cancel);
    if (Cancel) SetItemIndex(FOldItemIndex);
    else if (FExColGrid->ConfirmSelection()) SetItemIndex(FExColGrid->Row() - 1);
    FOldItemIndex = FItemIndex;
}

void TExMultiColumnDropDown::DropDownSizing() {
    TExCustomDropDown::DropDownSizing();
    SizeColumnsToDropDown();
}

void TExMultiColumnDropDown::SelectNextItem() {
    TExCustomDropDown::SelectNextItem();
    SelectNext();
}

void TExMultiColumnDropDown::SelectPreviousItem() {
    TExCustomDropDown::SelectPreviousItem();
    SelectPrevious();
}

void TExMultiColumnDropDown::SizeColumnsToDropDown() {
    TExColGrid* g = FExColGrid;
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

// -- keys of the popup grid ----------------------------------------------------

void TExMultiColumnDropDown::ControlKeyDown(unsigned& Key, TShiftState Shift) {
    if (NavigationKey(Key) && !(Shift & ssAlt)) return;
    TExCustomDropDown::ControlKeyDown(Key, Shift);
}

void TExMultiColumnDropDown::ControlKeyUp(unsigned& Key, TShiftState Shift) {
    if (NavigationKey(Key) && !(Shift & ssAlt)) return;
    TExCustomDropDown::ControlKeyUp(Key, Shift);
}

void TExMultiColumnDropDown::ControlKeyPress(QChar& Key) {
    TExColGrid* g = FExColGrid;
    const ushort k = Key.unicode();
    const bool alt = GetKeyState(VK_MENU) < 0;
    const bool moving = k == 13 || k == 27 || (k >= 33 && k <= 36) || k == 38 || k == 40;
    if ((moving && !alt) || !g || (g->Options() & goEditing)) {
        FLookupEntry.clear();
        return;
    }
    const int n = LookupKey(Key);
    if (n < 0) {
        FLookupEntry.clear();
        return;
    }
    const int row = n + 1;
    if (row >= g->RowCount()) return;
    if (g->TopRow() + g->VisibleRowCount() < row || row < g->TopRow()) g->SetTopRow(row);
    g->FocusCell(0, row, true);
}

int TExMultiColumnDropDown::FindLookupItem(const QString& Entry) const {
    if (!FExColGrid || Entry.isEmpty() || FLookupColumn < 0) return -1;
    const Qt::CaseSensitivity cs = CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (int i = 0; i < FItems->Count(); ++i)
        if (FItems->Items(i)->Line(FLookupColumn).startsWith(Entry, cs)) return i;
    return -1;
}

void TExMultiColumnDropDown::ShowFound(int Index, int Typed) {
    FItemIndex = Index;
    const QString t = FItems->Items(Index)->Line(FLookupColumn);
    SetTextQuietly(t);
    Perform(EM_SETSEL, WPARAM(std::min<int>(Typed, t.size())), LPARAM(t.size()));
}

int TExMultiColumnDropDown::LookupKey(QChar Key) {
    if (Key.unicode() == VK_BACK) {
        const QString text = WholeText();
        if (SelLength() == 0) {
            FLookupEntry.chop(1);
            SetTextQuietly(FLookupEntry);
        } else {
            QString t = text;
            t.remove(SelStart(), SelLength());
            SetTextQuietly(t);
        }
        const int end = int(WholeText().size());
        Perform(EM_SETSEL, WPARAM(end), LPARAM(end));
        return -1;
    }
    if (Key.unicode() != VK_TAB) FLookupEntry += Key;
    int i = FindLookupItem(FLookupEntry);
    if (i >= 0) {
        ShowFound(i, int(FLookupEntry.size()));
        return i;
    }
    i = FindLookupItem(QString(Key));
    if (i >= 0) {
        ShowFound(i, 1);
        FLookupEntry = QString(Key);
        return i;
    }
    FLookupEntry.clear();
    return -1;
}

void TExMultiColumnDropDown::GridSelectCell(int ARow) {
    if (!FExColGrid || FExColGrid->MouseWheelSelection() || FShowing) return;
    // The row the type-ahead chose is the item already (its text keeps the
    // typed part selected).
    if (ARow - 1 != FItemIndex) SetItemIndex(ARow - 1);
}

void TExMultiColumnDropDown::GridSelect() {
    if (FExColGrid && FExColGrid->ConfirmSelection()) SetItemIndex(FExColGrid->Row() - 1);
    DoHideDropDown(false);
    if (OnSelect) OnSelect(this);
}

// -- keys and completion in the edit ---------------------------------------------

void TExMultiColumnDropDown::Change() {
    TExCustomDropDown::Change();
    // 1.
    FItemChange = false;
    if (!FWorkMode || FCompleting) return;
    const QString text = WholeText();
    // 2.
    SetModified(!text.isEmpty());
    // 3.
    const QString s1 = text.left(SelStart());
    if (s1.isEmpty()) return;
    // 4. A lookup list longer than the items (items changed without
    // EndUpdate) is read only as far as there are items.
    const Qt::CaseSensitivity cs = MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const int n = std::min(int(FLookupTexts.size()), FItems->Count());
    const int typed = int(s1.size());
    for (int i = 0; i < n; ++i) {
        const QString& entry = FLookupTexts[i];
        if (!entry.startsWith(s1, cs)) continue;
        const QString completed = text.left(typed) + entry.mid(typed).left(255);
        SetTextQuietly(completed);
        FItemIndex = i;
        FItemIdx = i;
        FItemSel = typed;
        FItemChange = true;
        Perform(EM_SETSEL, WPARAM(typed), LPARAM(completed.size()));
        return;
    }
    // 5.
    if (s1 != text) {
        SetTextQuietly(s1);
        Perform(EM_SETSEL, WPARAM(typed), LPARAM(typed));
    }
}

void TExMultiColumnDropDown::KeyDown(unsigned& Key, TShiftState Shift) {
    if (FLookupColumn < 0 || FItems->Count() == 0) {
        TExCustomDropDown::KeyDown(Key, Shift);
        return;
    }
    const unsigned key = Key;
    // 1.
    if (key == VK_BACK || key == VK_ESCAPE || key == VK_DELETE) FWorkMode = false;
    else if (key != VK_RETURN) FWorkMode = true;
    // 2.
    if (key == VK_RETURN) {
        const int i = FLookupItems.IndexOf(WholeText());
        if (i >= 0 && i < FItems->Count()) {
            SetTextQuietly(FLookupItems.Get(i));
            SetItemIndex(i);
            Change();
        }
        if (ReturnIsTab) {
            PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
            Key = 0;
            return;
        }
    }
    // 3.
    TExCustomDropDown::KeyDown(Key, Shift);
    // 4.
    if (key == VK_ESCAPE) {
        int i = FLookupItems.IndexOf(WholeText());
        if (i >= FItems->Count()) i = -1;
        SetItemIndex(i);
    }
}

void TExMultiColumnDropDown::KeyPress(QChar& Key) {
    if (Key.unicode() == VK_RETURN && ReturnIsTab) {
        Key = QChar();
        return;
    }
    TExCustomDropDown::KeyPress(Key);
}

void TExMultiColumnDropDown::KeyUp(unsigned& Key, TShiftState Shift) {
    if (!(Key == VK_RETURN && ReturnIsTab)) TExCustomDropDown::KeyUp(Key, Shift);
    if (!FItemChange) return;
    FItemChange = false;
    SetItemIndex(FItemIdx);
    Perform(EM_SETSEL, WPARAM(FItemSel), LPARAM(WholeText().size()));
}

void TExMultiColumnDropDown::WMKeyDown(TMessage& M) {
    const unsigned key = unsigned(M.WParam);
    TExCustomDropDown::WMKeyDown(M);
    if (!Enabled() || GetKeyState(VK_MENU) < 0) return;
    switch (key) {
    case VK_PRIOR: SelectPageUp(); break;
    case VK_NEXT: SelectPageDown(); break;
    case VK_END:
        if (!EditorEnabled()) SelectLast();
        break;
    case VK_HOME:
        if (!EditorEnabled()) SelectFirst();
        break;
    case VK_UP: SelectPrevious(); break;
    case VK_DOWN: SelectNext(); break;
    default: break;
    }
}

} // namespace ExMultiCol
