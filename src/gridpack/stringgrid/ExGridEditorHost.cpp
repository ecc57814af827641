// The grid's side of the editors built outside its unit: the factory table
// of editor kinds, the controls made through it, and what those editors use
// of the grid.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExControlLook.h"
#include "gridpack/stringgrid/ExGridEditors.h"

#include "platform/controls/Messages.h"

static_assert(int(edDateTimeEdit) == GridEditorKind::DateTimeEdit);
static_assert(int(edTrackbarDropDown) == GridEditorKind::TrackbarDropDown);
static_assert(int(edMemoDropDown) == GridEditorKind::MemoDropDown);
static_assert(int(edCalculatorDropDown) == GridEditorKind::CalculatorDropDown);
static_assert(int(edTimePickerDropDown) == GridEditorKind::TimePickerDropDown);
static_assert(int(edDetailDropDown) == GridEditorKind::DetailDropDown);
static_assert(int(edGridDropDown) == GridEditorKind::GridDropDown);
static_assert(int(edColorPickerDropDown) == GridEditorKind::ColorPickerDropDown);
static_assert(int(edImagePickerDropDown) == GridEditorKind::ImagePickerDropDown);
static_assert(int(edExGridDropDown) == GridEditorKind::ExGridDropDown);
static_assert(int(edMaskEditBtn) + 1 == GridEditorKind::Count);

namespace {
TGridKindEditorFactory gKindFactories[GridEditorKind::Count];
} // namespace

void RegisterGridKindEditor(int Kind, const TGridKindEditorFactory& F)
{
    if (Kind >= 0 && Kind < GridEditorKind::Count)
        gKindFactories[Kind] = F;
}

const TGridKindEditorFactory* GridKindEditor(int Kind)
{
    if (Kind < 0 || Kind >= GridEditorKind::Count)
        return nullptr;
    const TGridKindEditorFactory& f = gKindFactories[Kind];
    return f.Create && f.Open && f.Close ? &f : nullptr;
}

TWinControl* TExStringGrid::KindEditor(TEditorType Kind)
{
    if (TWinControl* c = KindEditorIfMade(Kind))
        return c;
    const TGridKindEditorFactory* f = GridKindEditor(int(Kind));
    if (!f)
        return nullptr;
    TWinControl* c = f->Create(this);
    FKindEditors[int(Kind)] = c;
    return c;
}

TWinControl* TExStringGrid::KindEditorIfMade(TEditorType Kind) const
{
    if (int(Kind) < 0 || int(Kind) >= GridEditorKind::Count)
        return nullptr;
    return FKindEditors[int(Kind)];
}

// ---------------------------------------------------------------------------
// TGridHost
// ---------------------------------------------------------------------------

TExStringGrid* TGridHost::AsGrid(TComponent* Owner) { return dynamic_cast<TExStringGrid*>(Owner); }
TWinControl* TGridHost::Control(TExStringGrid* G) { return G; }
TWinControl* TGridHost::KindEditor(TExStringGrid* G, int Kind) { return G->KindEditor(TEditorType(Kind)); }

QString TGridHost::CurrentCell(TExStringGrid* G) { return G->GetCurrentCell(); }
void TGridHost::SetCurrentCell(TExStringGrid* G, const QString& S) { G->SetCurrentCell(S); }
bool TGridHost::ValidateCell(TExStringGrid* G, const QString& S) { return G->ValidateCell(S); }
QString TGridHost::NewCellText(TExStringGrid* G) { return G->FNewCellText; }
void TGridHost::SetNoAutoAdvance(TExStringGrid* G) { G->FNoAutoAdvance = true; }
bool TGridHost::HasCellValidation(TExStringGrid* G) { return G->HasCellValidation(); }
void TGridHost::HideInplaceEdit(TExStringGrid* G) { G->HideInplaceEdit(); }
void TGridHost::ShowInplaceEdit(TExStringGrid* G) { G->ShowInplaceEdit(); }
void TGridHost::DoneInplaceEdit(TExStringGrid* G, unsigned Key, TShiftState Shift) { G->DoneInplaceEdit(Key, Shift); }
void TGridHost::MoveFromEditor(TExStringGrid* G, bool Backward) { G->MoveFromEditor(Backward); }
bool TGridHost::TabsOption(TExStringGrid* G) { return G->Options() & goTabs; }
bool TGridHost::AdvanceOnEnter(TExStringGrid* G) { return G->Navigation()->AdvanceOnEnter; }
bool TGridHost::AdvanceAutoEdit(TExStringGrid* G) { return G->Navigation()->AdvanceAutoEdit; }
void TGridHost::AdvanceAfterEnter(TExStringGrid* G)
{
    if (G->Navigation()->AdvanceOnEnter)
        G->AdvanceEditCell(G->Col(), G->Row(), false, false, true, true, false);
}
void TGridHost::FocusGrid(TExStringGrid* G)
{
    if (G->CanFocus())
        G->SetFocus();
}
void TGridHost::PostTab(TExStringGrid* G) { PostMessage(G->Handle(), WM_KEYDOWN, VK_TAB, 0); }
void TGridHost::ClosedByKey(TExStringGrid* G, unsigned Key)
{
    if (Key == VK_RETURN || Key == VK_TAB || Key == VK_ESCAPE)
        G->FCharOfClosedEditor = QChar(Key == VK_RETURN ? 13 : Key == VK_TAB ? 9 : 27);
}
int TGridHost::Col(TExStringGrid* G) { return G->Col(); }
int TGridHost::Row(TExStringGrid* G) { return G->Row(); }
bool TGridHost::LButFlg(TExStringGrid* G) { return G->LButFlg; }
void TGridHost::ClearLButFlg(TExStringGrid* G) { G->LButFlg = false; }
void TGridHost::FireKeyPress(TExStringGrid* G, TObject* Sender, QChar& Key)
{
    if (G->OnKeyPress)
        G->OnKeyPress(Sender, Key);
}
void TGridHost::FireEditChange(TExStringGrid* G, const QString& Value)
{
    if (G->OnEditChange)
        G->OnEditChange(G, G->Col(), G->Row(), Value);
}
void TGridHost::SetEditText(TExStringGrid* G, const QString& Value) { G->SetEditText(G->Col(), G->Row(), Value); }
TDateTime TGridHost::OriginalDateTime(TExStringGrid* G) { return G->FOriginalDateTime; }
void TGridHost::SetOriginalDateTime(TExStringGrid* G, TDateTime D) { G->FOriginalDateTime = D; }

bool TGridHost::EditMode(TExStringGrid* G) { return G->EditMode; }
void TGridHost::SetEditMode(TExStringGrid* G, bool V) { G->EditMode = V; }
QString TGridHost::EditText(TExStringGrid* G, int ACol, int ARow) { return G->GetEditText(ACol, ARow); }
void TGridHost::StoreValue(TExStringGrid* G, int RCol, int ARow, const QString& V) { G->StoreEditValue(RCol, ARow, V); }
TColor TGridHost::CellColor(TExStringGrid* G, int RCol, int ARow) { return G->EditorCellColor(RCol, ARow); }
QChar TGridHost::StartChar(TExStringGrid* G) { return G->FStartEditChar; }
void TGridHost::SetEditCtrl(TExStringGrid* G, TWinControl* C) { G->EditCtrl = C; }
void TGridHost::GetEditorProp(TExStringGrid* G, int RCol, int ARow) { G->GetEditorProp(RCol, ARow, G->FEditLink); }
const THeaderAppearance* TGridHost::DropDownHeader(TExStringGrid* G) { return G->ControlLook()->DropDownHeader(); }
const TFooterAppearance* TGridHost::DropDownFooter(TExStringGrid* G) { return G->ControlLook()->DropDownFooter(); }
TQORStyle TGridHost::ComponentStyle(TExStringGrid* G) { return G->ComponentStyle(); }
bool TGridHost::DirectComboDrop(TExStringGrid* G) { return G->MouseActions()->DirectComboDrop; }
bool TGridHost::ComCtl6(TExStringGrid*) { return ComCtl32Above469(); }

bool TGridHost::IsShapeCell(TExStringGrid* G, int RCol, int ARow) { return G->GetCellType(RCol, ARow) == ctShape; }
TColor TGridHost::ShapeColor(TExStringGrid* G, int RCol, int ARow) { return G->GetShapeColor(RCol, ARow); }
void TGridHost::SetShapeColor(TExStringGrid* G, int RCol, int ARow, TColor C) { G->SetShapeColor(RCol, ARow, C); }
TColor TGridHost::BackColor(TExStringGrid* G, int RCol, int ARow) { return G->GetColors(RCol, ARow); }
void TGridHost::SetBackColor(TExStringGrid* G, int RCol, int ARow, TColor C) { G->SetColors(RCol, ARow, C); }
int TGridHost::ImageCellKind(TExStringGrid* G, int RCol, int ARow)
{
    const TCellType t = G->GetCellType(RCol, ARow);
    return t == ctImageList ? 1 : t == ctDataImage ? 2 : 0;
}
int TGridHost::ImageListIndex(TExStringGrid* G, int RCol, int ARow)
{
    TCellGraphic* g = G->GetCellGraphic(RCol, ARow);
    return g ? g->CellIndex : -1;
}
void TGridHost::SetImageListIndex(TExStringGrid* G, int RCol, int ARow, int Index)
{
    if (TCellGraphic* g = G->GetCellGraphic(RCol, ARow)) {
        g->CellIndex = Index;
        G->RepaintCell(G->DisplColIndex(RCol), ARow);
    }
}
TImageList* TGridHost::GridImages(TExStringGrid* G) { return G->GridImages; }

void TGridHost::ColorSelect(TExStringGrid* G, TColor C, const QString& Value) { G->ColorSelect(C, Value); }
void TGridHost::ImageSelect(TExStringGrid* G, int Index) { G->ImageSelect(Index); }
void TGridHost::ColorSelected(TExStringGrid* G, int RCol, int ARow, TColor& C, QString& Value)
{
    if (G->OnColorSelected)
        G->OnColorSelected(G, RCol, ARow, C, Value);
}
void TGridHost::ImageSelected(TExStringGrid* G, int RCol, int ARow, int& Index)
{
    if (G->OnImageSelected)
        G->OnImageSelected(G, RCol, ARow, Index);
}
void TGridHost::DropDownHeaderButtonClick(TExStringGrid* G, int Index)
{
    if (G->OnDropDownHeaderButtonClick)
        G->OnDropDownHeaderButtonClick(G, G->Col(), G->Row(), Index);
}
void TGridHost::DropDownFooterButtonClick(TExStringGrid* G, int Index)
{
    if (G->OnDropDownFooterButtonClick)
        G->OnDropDownFooterButtonClick(G, G->Col(), G->Row(), Index);
}
void TGridHost::DateTimeChange(TExStringGrid* G, TObject* Sender, TDateTime D)
{
    if (G->OnDateTimeChange)
        G->OnDateTimeChange(Sender, G->Col(), G->Row(), D);
}
void TGridHost::DatePickerCloseUp(TExStringGrid* G, TObject* Sender)
{
    if (G->OnDatePickerCloseUp)
        G->OnDatePickerCloseUp(Sender, G->Row(), G->Col());
    if (G->MouseActions()->DirectDateClose)
        G->HideInplaceEdit();
}
