// The string grid's in-cell drop-down editors: the key handling every
// wrapper shares, the wrappers, and the kind table through which the grid
// makes, opens and closes them.
#include "gridpack/dropdown/ExGridDropDownEditors.h"
#include "gridpack/dropdown/ExGridDropDownGridEditors.h"

#include "platform/controls/Messages.h"
#include "platform/controls/StdMessages.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/IntConv.h"

namespace {
using H = TGridHost;

bool IsKeyOneOf(unsigned Key, std::initializer_list<unsigned> Keys)
{
    for (unsigned k : Keys)
        if (k == Key)
            return true;
    return false;
}

bool IsNavKey(const TExCustomDropDown* Ed, const TGridDropDownTraits& T, unsigned Key, TShiftState Shift)
{
    // Alt+Down opens the popup through the base.
    if (Key == VK_DOWN && (Shift & ssAlt))
        return false;
    if (T.ColorKeys && Ed->DroppedDown())
        return IsKeyOneOf(Key, {VK_TAB, VK_RETURN, VK_ESCAPE});
    if (T.ColorKeys && Key == VK_HOME)
        return true;
    return IsKeyOneOf(Key, {VK_TAB, VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_END, VK_UP, VK_DOWN});
}
} // namespace

// ---------------------------------------------------------------------------
// The shared wrapper steps
// ---------------------------------------------------------------------------

TExStringGrid* TGridDropDownEditing::GridOf(TComponent* AOwner)
{
    TExStringGrid* g = H::AsGrid(AOwner);
    if (!g)
        throw EInvalidCast(QStringLiteral("Invalid class typecast"));
    return g;
}

void TGridDropDownEditing::WriteText(TExCustomDropDown* Ed, const TGridDropDownTraits& T, const QString& S)
{
    if (T.FormattedText)
        Ed->SetText(S);
    else
        Ed->SetRawText(S);
}

bool TGridDropDownEditing::KeyDown(TExCustomDropDown* Ed, TExStringGrid* G, const TGridDropDownTraits& T,
                                   unsigned& Key, TShiftState Shift, const std::function<void()>& BeforeCommit)
{
    if (!IsNavKey(Ed, T, Key, Shift))
        return false;
    // Esc puts the cell's value back and closes.
    if (Key == VK_ESCAPE) {
        WriteText(Ed, T, H::CurrentCell(G));
        H::ClosedByKey(G, Key);
        H::HideInplaceEdit(G);
        H::FocusGrid(G);
        Key = 0;
        return true;
    }
    const bool dropped = Ed->DroppedDown();
    // Enter, Up and Down (the colour picker: Enter only) commit through the
    // grid's validation.
    const bool commits = T.ColorKeys ? Key == VK_RETURN : IsKeyOneOf(Key, {VK_RETURN, VK_UP, VK_DOWN});
    if (commits) {
        if (Key == VK_RETURN && BeforeCommit)
            BeforeCommit();
        H::SetCurrentCell(G, Ed->Text());
        if (!H::ValidateCell(G, H::CurrentCell(G))) {
            WriteText(Ed, T, H::NewCellText(G));
            Ed->SelectAll();
            Ed->Invalidate();
            Key = 0;
            H::SetNoAutoAdvance(G);
            return true;
        }
        WriteText(Ed, T, H::CurrentCell(G));
    }
    if (Key == VK_TAB && H::HasCellValidation(G)) {
        H::SetCurrentCell(G, Ed->Text());
        if (!H::ValidateCell(G, H::CurrentCell(G))) {
            WriteText(Ed, T, H::NewCellText(G));
            Ed->SetSelStart(int(Ed->WholeText().size()));
            Ed->SetSelLength(0);
            Ed->Invalidate();
            Key = 0;
            return true;
        }
        if (H::TabsOption(G)) {
            H::ClosedByKey(G, Key);
            H::HideInplaceEdit(G);
            H::FocusGrid(G);
            H::MoveFromEditor(G, Shift & ssShift);
            Key = 0;
            return true;
        }
        H::PostTab(G);
    }
    if (dropped) {
        H::HideInplaceEdit(G);
        if (IsKeyOneOf(Key, {VK_PRIOR, VK_NEXT, VK_UP, VK_DOWN}))
            Key = 0;
    } else if (Key == VK_END) {
        // The caret goes to the end.
        return false;
    }
    H::ClosedByKey(G, Key);
    H::DoneInplaceEdit(G, Key, Shift);
    if (H::AdvanceOnEnter(G) && H::AdvanceAutoEdit(G))
        H::ShowInplaceEdit(G);
    Key = 0;
    return true;
}

bool TGridDropDownEditing::KeyPress(TExCustomDropDown* Ed, TExStringGrid* G, QChar& Key)
{
    H::FireKeyPress(G, Ed, Key);
    const char16_t k = Key.unicode();
    return !(Key.isNull() || k == 13 || k == 27 || k == 9);
}

void TGridDropDownEditing::Change(TExCustomDropDown* Ed, TExStringGrid* G)
{
    H::FireEditChange(G, Ed->Text());
}

void TGridDropDownEditing::CaretFromClick(TExCustomDropDown* Ed, TExStringGrid* G)
{
    if (!H::LButFlg(G))
        return;
    const TPoint p = Ed->ScreenToClient(GetCursorPos());
    if (p.X < 0 || p.Y < 0 || p.X > Ed->Width() || p.Y > Ed->Height())
        return;
    const LPARAM r = Ed->Perform(EM_CHARFROMPOS, 0, MakeLParam(p.X, p.Y));
    if (r == -1)
        return;
    Ed->SetSelStart(int(r & 0xFFFF));
    Ed->SetSelLength(0);
    H::ClearLButFlg(G);
}

bool TGridDropDownEditing::ClaimsKey(TExStringGrid* G, const TGridDropDownTraits& T, unsigned Key)
{
    if (Key == VK_TAB && H::HasCellValidation(G))
        return true;
    return T.ClaimEnterEsc && (Key == VK_RETURN || Key == VK_ESCAPE);
}

void TGridDropDownEditing::Hide(TWinControl* C)
{
    if (!C)
        return;
    C->SetVisible(false);
    C->SetEnabled(false);
}

void TGridDropDownEditing::OpenDropDown(TExStringGrid* G, TExCustomDropDown* Ed, const TRect& R, int RCol, int ARow,
                                        bool SetColor, const std::function<void()>& Load)
{
    const int W = R.Right - R.Left - 1, Ht = R.Bottom - R.Top - 1;
    H::SetEditMode(G, true);
    Ed->SetDropDownFooter(H::DropDownFooter(G));
    Ed->SetDropDownHeader(H::DropDownHeader(G));
    Ed->SetComponentStyle(H::ComponentStyle(G));
    Ed->OnDropDownHeaderButtonClick = [G](TObject*, int Index) { H::DropDownHeaderButtonClick(G, Index); };
    Ed->OnDropDownFooterButtonClick = [G](TObject*, int Index) { H::DropDownFooterButtonClick(G, Index); };
    H::GetEditorProp(G, RCol, ARow);
    Ed->SetBounds(R.Left, R.Top, 0, 0);
    Ed->SetEnabled(true);
    Ed->SetBorderStyle(bsNone);
    Ed->SetBounds(R.Left, R.Top, W, Ht);
    Load();
    if (SetColor)
        Ed->SetColor(H::CellColor(G, RCol, ARow));
    Ed->SetVisible(true);
    if (Ed->CanFocus())
        Ed->SetFocus();
    if (!H::StartChar(G).isNull())
        PostMessage(Ed->Handle(), WM_CHAR, WPARAM(H::StartChar(G).unicode()), 0);
    if (H::DirectComboDrop(G))
        Ed->ShowDropDown();
    H::SetEditCtrl(G, Ed);
}

// ---------------------------------------------------------------------------
// The wrappers
// ---------------------------------------------------------------------------

TGridTrackbarDropDown::TGridTrackbarDropDown(TComponent* AOwner)
    : TGridDropDownEditor<TExTrackBarDropDown>(
          AOwner, {.LeafKeyDown = false, .ColorKeys = false, .ClaimEnterEsc = true, .CaretFromClick = true,
                   .FormattedText = true})
{
}

TGridMemoDropDown::TGridMemoDropDown(TComponent* AOwner)
    : TGridDropDownEditor<TExMemoDropDown>(AOwner, {.CaretFromClick = true})
{
}

TGridCalculatorDropDown::TGridCalculatorDropDown(TComponent* AOwner)
    : TGridDropDownEditor<TExCalculatorDropdown>(AOwner, {.CaretFromClick = true})
{
}

TGridTimepickerDropDown::TGridTimepickerDropDown(TComponent* AOwner)
    : TGridDropDownEditor<TExTimePickerDropDown>(AOwner, {})
{
    SetFocusDraw(false);
}

TGridDetailPickerDropDown::TGridDetailPickerDropDown(TComponent* AOwner)
    : TGridDropDownEditor<TExDetailDropDown>(AOwner, {})
{
}

TGridColorDropDown::TGridColorDropDown(TComponent* AOwner)
    : TGridDropDownEditor<TExColorPickerDropDown>(AOwner,
                                                  {.LeafKeyDown = true, .ColorKeys = true, .ClaimEnterEsc = true})
{
}

TGridImageDropDown::TGridImageDropDown(TComponent* AOwner)
    : TGridDropDownEditor<TExImagePickerDropDown>(AOwner, {})
{
}

// ---------------------------------------------------------------------------
// The date-and-time editor
// ---------------------------------------------------------------------------

TGridDateTimePicker::TGridDateTimePicker(TComponent* AOwner) : TExDateTimePicker(AOwner), FGrid(H::AsGrid(AOwner)) {}

void TGridDateTimePicker::KeyDown(unsigned& Key, TShiftState Shift)
{
    TExStringGrid* g = FGrid;
    if (!g) {
        TExDateTimePicker::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_ESCAPE) {
        // The starting date comes back; the time of day keeps its edit.
        try {
            SetDate(H::OriginalDateTime(g));
        } catch (const EDateTimeError&) {
        }
        H::ClosedByKey(g, Key);
        H::HideInplaceEdit(g);
        H::FocusGrid(g);
        Key = 0;
        return;
    }
    if (Key == VK_RETURN) {
        H::ClosedByKey(g, Key);
        H::HideInplaceEdit(g);
        H::FocusGrid(g);
        H::AdvanceAfterEnter(g);
        Key = 0;
        return;
    }
    if (Key == VK_TAB && H::HasCellValidation(g)) {
        // Closing commits the date and time (or the empty cell of an
        // unchecked picker); the picker's own text holds only the date.
        H::ClosedByKey(g, Key);
        H::HideInplaceEdit(g);
        H::FocusGrid(g);
        H::MoveFromEditor(g, Shift & ssShift);
        Key = 0;
        return;
    }
    TExDateTimePicker::KeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------
// The kind table: how the grid makes, loads and stores each editor
// ---------------------------------------------------------------------------

namespace {
using E = TGridDropDownEditing;
namespace K = GridEditorKind;

// A drop-down wrapper made on first use: hidden, in the grid's style.
template <class W>
W* NewDropDown(TExStringGrid* G, bool EditorEnabled)
{
    W* w = NewObject<W>(H::Control(G));
    w->SetParent(H::Control(G));
    w->SetVisible(false);
    if (EditorEnabled)
        w->SetEditorEnabled(true);
    w->SetComponentStyle(H::ComponentStyle(G));
    return w;
}

// The text of a plain drop-down kind, stored while editing; then hidden.
void CloseText(TExStringGrid* G, TWinControl* Editor, int RCol, int ARow)
{
    auto* w = static_cast<TExCustomDropDown*>(Editor);
    if (H::EditMode(G) && w) {
        H::SetEditMode(G, false);
        H::StoreValue(G, RCol, ARow, w->Text());
    }
    E::Hide(w);
}

template <class W>
W* As(TWinControl* Editor)
{
    return static_cast<W*>(static_cast<TExCustomDropDown*>(Editor));
}

const TGridKindEditorFactory kTrackbar{
    [](TExStringGrid* G) -> TWinControl* { return NewDropDown<TGridTrackbarDropDown>(G, true); },
    [](TExStringGrid* G, TWinControl* Editor, const TRect& R, int RCol, int ARow, int ACol) {
        auto* w = As<TGridTrackbarDropDown>(Editor);
        E::OpenDropDown(G, w, R, RCol, ARow, true,
                        [&] {
                            w->SetPosition(StrToIntDef(H::EditText(G, ACol, ARow).trimmed(), 0));
                            // The edit shows the position, as after a move of the
                            // track bar: closing stores it, not an empty text.
                            w->SetRawText(QString::number(w->Position()));
                        });
    },
    CloseText,
};

const TGridKindEditorFactory kMemo{
    [](TExStringGrid* G) -> TWinControl* {
        auto* w = NewDropDown<TGridMemoDropDown>(G, false);
        // The memo's text goes into the current cell as it changes.
        w->OnChange = [G, w](TObject*) { H::SetEditText(G, w->Text()); };
        return w;
    },
    [](TExStringGrid* G, TWinControl* Editor, const TRect& R, int RCol, int ARow, int ACol) {
        auto* w = As<TGridMemoDropDown>(Editor);
        E::OpenDropDown(G, w, R, RCol, ARow, true, [&] { w->SetText(H::EditText(G, ACol, ARow)); });
        // Dropped at once: the caret to the start, nothing selected.
        if (w->DroppedDown()) {
            w->SetSelStart(0);
            w->SetSelLength(0);
        }
    },
    [](TExStringGrid* G, TWinControl* Editor, int RCol, int ARow) {
        auto* w = static_cast<TGridMemoDropDown*>(static_cast<TExCustomDropDown*>(Editor));
        if (H::EditMode(G) && w) {
            H::SetEditMode(G, false);
            QString s;
            for (int i = 0; i < w->MemoText()->Count(); ++i)
                s += w->MemoText()->Strings(i) + QStringLiteral("\r\n");
            H::StoreValue(G, RCol, ARow, s);
        }
        E::Hide(w);
    },
};

const TGridKindEditorFactory kCalculator{
    [](TExStringGrid* G) -> TWinControl* { return NewDropDown<TGridCalculatorDropDown>(G, true); },
    [](TExStringGrid* G, TWinControl* Editor, const TRect& R, int RCol, int ARow, int ACol) {
        auto* w = As<TGridCalculatorDropDown>(Editor);
        E::OpenDropDown(G, w, R, RCol, ARow, true, [&] { w->SetText(H::EditText(G, ACol, ARow)); });
    },
    CloseText,
};

const TGridKindEditorFactory kTimePicker{
    [](TExStringGrid* G) -> TWinControl* { return NewDropDown<TGridTimepickerDropDown>(G, false); },
    [](TExStringGrid* G, TWinControl* Editor, const TRect& R, int RCol, int ARow, int ACol) {
        auto* w = As<TGridTimepickerDropDown>(Editor);
        E::OpenDropDown(G, w, R, RCol, ARow, true, [&] {
            w->SetText(H::EditText(G, ACol, ARow));
            w->SetEditorEnabled(true);
        });
    },
    CloseText,
};

const TGridKindEditorFactory kDetail{
    [](TExStringGrid* G) -> TWinControl* { return NewDropDown<TGridDetailPickerDropDown>(G, false); },
    [](TExStringGrid* G, TWinControl* Editor, const TRect& R, int RCol, int ARow, int ACol) {
        auto* w = As<TGridDetailPickerDropDown>(Editor);
        E::OpenDropDown(G, w, R, RCol, ARow, true, [&] {
            w->SetText(H::EditText(G, ACol, ARow));
            w->SetEditorEnabled(true);
        });
        const int i = w->Items()->IndexOf(w->Text());
        if (i >= 0)
            w->SetItemIndex(i);
    },
    CloseText,
};

const TGridKindEditorFactory kColor{
    [](TExStringGrid* G) -> TWinControl* {
        auto* w = NewDropDown<TGridColorDropDown>(G, false);
        w->AddDefaultColors();
        w->OnSelect = [G, w](TObject*) { H::ColorSelect(G, w->SelectedColor(), w->SelectedColorText()); };
        return w;
    },
    [](TExStringGrid* G, TWinControl* Editor, const TRect& R, int RCol, int ARow, int) {
        auto* w = As<TGridColorDropDown>(Editor);
        E::OpenDropDown(G, w, R, RCol, ARow, false, [&] {
            w->SetSelectedColor(H::IsShapeCell(G, RCol, ARow) ? H::ShapeColor(G, RCol, ARow)
                                                              : H::BackColor(G, RCol, ARow));
        });
    },
    [](TExStringGrid* G, TWinControl* Editor, int RCol, int ARow) {
        auto* w = static_cast<TGridColorDropDown*>(static_cast<TExCustomDropDown*>(Editor));
        if (H::EditMode(G) && w) {
            H::SetEditMode(G, false);
            TColor color = w->SelectedColor();
            QString value = w->SelectedColorText();
            H::ColorSelected(G, RCol, ARow, color, value);
            H::StoreValue(G, RCol, ARow, value);
            if (H::IsShapeCell(G, RCol, ARow))
                H::SetShapeColor(G, RCol, ARow, color);
            else
                H::SetBackColor(G, RCol, ARow, color);
        }
        E::Hide(w);
    },
};

const TGridKindEditorFactory kImage{
    [](TExStringGrid* G) -> TWinControl* {
        auto* w = NewDropDown<TGridImageDropDown>(G, false);
        w->OnSelect = [G, w](TObject*) { H::ImageSelect(G, w->ImageIndex()); };
        return w;
    },
    [](TExStringGrid* G, TWinControl* Editor, const TRect& R, int RCol, int ARow, int ACol) {
        auto* w = As<TGridImageDropDown>(Editor);
        E::OpenDropDown(G, w, R, RCol, ARow, false, [&] {
            const int kind = H::ImageCellKind(G, RCol, ARow);
            if (kind == 0)
                return;
            w->SetImages(H::GridImages(G));
            if (w->Items()->Count() == 0)
                w->AddImagesFromImageList();
            w->SetImageIndex(kind == 1 ? H::ImageListIndex(G, RCol, ARow)
                                       : StrToIntDef(H::EditText(G, ACol, ARow).trimmed(), -1));
            const int item = w->ItemIndex();
            w->SetRawText(item >= 0 && item < w->Items()->Count() ? w->Items()->Item(item)->Caption() : QString());
        });
    },
    [](TExStringGrid* G, TWinControl* Editor, int RCol, int ARow) {
        auto* w = static_cast<TGridImageDropDown*>(static_cast<TExCustomDropDown*>(Editor));
        if (H::EditMode(G) && w) {
            H::SetEditMode(G, false);
            int index = w->ImageIndex();
            H::ImageSelected(G, RCol, ARow, index);
            const int kind = H::ImageCellKind(G, RCol, ARow);
            if (kind == 1)
                H::SetImageListIndex(G, RCol, ARow, index);
            else if (kind == 2)
                H::StoreValue(G, RCol, ARow, QString::number(index));
        }
        E::Hide(w);
    },
};

const TGridKindEditorFactory kDateTime{
    [](TExStringGrid* G) -> TWinControl* {
        auto* w = new TGridDateTimePicker(H::Control(G));
        w->SetParent(H::Control(G));
        w->SetVisible(false);
        w->SetEnabled(false);
        w->SetAutoTab(true);
        w->OnCloseUp = [G](TObject* s) { H::DatePickerCloseUp(G, s); };
        w->OnTimeChange = [G, w](TObject* s) { H::DateTimeChange(G, s, w->DateTime()); };
        return w;
    },
    [](TExStringGrid* G, TWinControl* Editor, const TRect& R, int RCol, int ARow, int ACol) {
        H::SetEditMode(G, true);
        if (!H::ComCtl6(G))
            return;
        auto* w = static_cast<TGridDateTimePicker*>(Editor);
        w->SetParent(H::Control(G));
        const QString text = H::EditText(G, ACol, ARow).trimmed();
        TDateTime d = 0;
        if (text.isEmpty() || !TryStrToDateTime(text, d))
            d = Now();
        H::SetOriginalDateTime(G, d);
        try {
            w->SetDateTime(d);
        } catch (const EDateTimeError&) {
            // Outside the picker's limits: it keeps its value.
        }
        w->SetKind(dkDateTime);
        w->SetBorderStyle(bsNone);
        const int W = R.Right - R.Left - 1, Ht = R.Bottom - R.Top - 1;
        w->SetBounds(R.Left, R.Top, W, w->Height() < Ht ? Ht : w->Height());
        H::GetEditorProp(G, RCol, ARow);
        w->SetEnabled(true);
        w->SetVisible(true);
        w->SetColor(H::CellColor(G, RCol, ARow));
        if (w->CanFocus())
            w->SetFocus();
    },
    [](TExStringGrid* G, TWinControl* Editor, int RCol, int ARow) {
        auto* w = static_cast<TGridDateTimePicker*>(Editor);
        if (!w || !H::ComCtl6(G)) {
            H::SetEditMode(G, false);
            return;
        }
        const TDateTime v = w->DateTime();
        H::StoreValue(G, RCol, ARow,
                      w->Checked() ? FormatDateTime(FormatSettings.ShortDateFormat, v) + QLatin1Char(' ') +
                                         FormatDateTime(FormatSettings.ShortTimeFormat, v)
                                   : QString());
        H::SetEditMode(G, false);
        if (w->DroppedDown())
            w->CloseUp(false);
        E::Hide(w);
    },
};

template <class T>
void RegisterOne()
{
    RegisterClass(T::StaticClassName(), [] { return static_cast<TObject*>(NewObject<T>(nullptr)); });
}
} // namespace

void RegisterGridDropDownEditors()
{
    RegisterGridKindEditor(K::TrackbarDropDown, kTrackbar);
    RegisterGridKindEditor(K::MemoDropDown, kMemo);
    RegisterGridKindEditor(K::CalculatorDropDown, kCalculator);
    RegisterGridKindEditor(K::TimePickerDropDown, kTimePicker);
    RegisterGridKindEditor(K::DetailDropDown, kDetail);
    RegisterGridKindEditor(K::ColorPickerDropDown, kColor);
    RegisterGridKindEditor(K::ImagePickerDropDown, kImage);
    RegisterGridKindEditor(K::DateTimeEdit, kDateTime);
    RegisterGridGridDropDownEditors();
}

bool RegisterGridDropDownClass(const QString& Name)
{
    static const struct {
        const char* Name;
        void (*Register)();
    } classes[] = {
        {"TGridDateTimePicker", RegisterOne<TGridDateTimePicker>},
        {"TGridTrackbarDropDown", RegisterOne<TGridTrackbarDropDown>},
        {"TGridMemoDropDown", RegisterOne<TGridMemoDropDown>},
        {"TGridCalculatorDropDown", RegisterOne<TGridCalculatorDropDown>},
        {"TGridTimepickerDropDown", RegisterOne<TGridTimepickerDropDown>},
        {"TGridDetailPickerDropDown", RegisterOne<TGridDetailPickerDropDown>},
        {"TGridColorDropDown", RegisterOne<TGridColorDropDown>},
        {"TGridImageDropDown", RegisterOne<TGridImageDropDown>},
    };
    for (const auto& c : classes)
        if (Name == QLatin1String(c.Name)) {
            c.Register();
            return true;
        }
    return RegisterGridGridDropDownClass(Name);
}

// The grid's editors, made on first use.
TGridTrackbarDropDown* GridTrackbarDropDown(TExStringGrid* G)
{
    return As<TGridTrackbarDropDown>(H::KindEditor(G, K::TrackbarDropDown));
}
TGridMemoDropDown* GridMemoDropDown(TExStringGrid* G) { return As<TGridMemoDropDown>(H::KindEditor(G, K::MemoDropDown)); }
TGridCalculatorDropDown* GridCalculatorDropDown(TExStringGrid* G)
{
    return As<TGridCalculatorDropDown>(H::KindEditor(G, K::CalculatorDropDown));
}
TGridTimepickerDropDown* GridTimePickerDropDown(TExStringGrid* G)
{
    return As<TGridTimepickerDropDown>(H::KindEditor(G, K::TimePickerDropDown));
}
TGridDetailPickerDropDown* GridDetailPickerDropDown(TExStringGrid* G)
{
    return As<TGridDetailPickerDropDown>(H::KindEditor(G, K::DetailDropDown));
}
TGridColorDropDown* GridColorPickerDropDown(TExStringGrid* G)
{
    return As<TGridColorDropDown>(H::KindEditor(G, K::ColorPickerDropDown));
}
TGridImageDropDown* GridImagePickerDropDown(TExStringGrid* G)
{
    return As<TGridImageDropDown>(H::KindEditor(G, K::ImagePickerDropDown));
}
TGridDateTimePicker* GridDateAndTimePicker(TExStringGrid* G)
{
    return static_cast<TGridDateTimePicker*>(H::KindEditor(G, K::DateTimeEdit));
}
