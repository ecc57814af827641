#include "gridpack/dropdown/ExGridDropDownGridEditors.h"

#include "platform/core/Components.h"

namespace {
using E = TGridDropDownEditing;
using H = TGridHost;
namespace K = GridEditorKind;

template <class W>
W* NewWrapper(TExStringGrid* G) {
    W* w = NewObject<W>(H::Control(G));
    w->SetParent(H::Control(G));
    w->SetVisible(false);
    w->SetComponentStyle(H::ComponentStyle(G));
    return w;
}

template <class W>
W* As(TWinControl* Editor) {
    return static_cast<W*>(static_cast<TExCustomDropDown*>(Editor));
}

// The editor's text into the cell, then hidden.
void CloseText(TExStringGrid* G, TWinControl* Editor, int RCol, int ARow) {
    auto* w = static_cast<TExCustomDropDown*>(Editor);
    if (H::EditMode(G) && w) {
        H::SetEditMode(G, false);
        H::StoreValue(G, RCol, ARow, w->Text());
    }
    E::Hide(w);
}

const TGridKindEditorFactory kMultiColumn{
    [](TExStringGrid* G) -> TWinControl* { return NewWrapper<TGridGridDropDown>(G); },
    [](TExStringGrid* G, TWinControl* Editor, const TRect& R, int RCol, int ARow, int ACol) {
        auto* w = As<TGridGridDropDown>(Editor);
        E::OpenDropDown(G, w, R, RCol, ARow, true, [&] {
            const QString text = H::EditText(G, ACol, ARow);
            w->BeginUpdate();
            w->EndUpdate();
            const int i = w->GetItemIndex(text);
            if (i >= 0) w->SetItemIndex(i);
            else w->SetText(text);
        });
    },
    CloseText,
};

const TGridKindEditorFactory kGridDropDown{
    [](TExStringGrid* G) -> TWinControl* { return NewWrapper<TGridExGridDropDown>(G); },
    [](TExStringGrid* G, TWinControl* Editor, const TRect& R, int RCol, int ARow, int ACol) {
        auto* w = As<TGridExGridDropDown>(Editor);
        // The popup keeps its header row while it filters.
        if (ExGridDD::TExColGrid* popup = w->GetGrid()) popup->FixedRowAlways = true;
        E::OpenDropDown(G, w, R, RCol, ARow, true, [&] {
            const QString text = H::EditText(G, ACol, ARow);
            w->BeginUpdate();
            w->EndUpdate();
            QString found;
            int row = -1;
            if (w->UseItems) {
                // The item the text finds; the first item for an empty cell.
                if (w->FindLookupRow(text, found, row)) w->SetItemIndex(row);
                else if (text.isEmpty() && w->Items()->Count() > 0) w->SetItemIndex(0);
            } else if (w->FindLookupRow(text, found, row) && w->GetGrid()) {
                w->SetItemIndex(row - w->GetGrid()->FixedRows());
            }
            if (!text.isEmpty()) w->SetText(text);
        });
    },
    CloseText,
};

template <class T>
void RegisterOne() {
    RegisterClass(T::StaticClassName(), [] { return static_cast<TObject*>(NewObject<T>(nullptr)); });
}
} // namespace

TGridGridDropDown::TGridGridDropDown(TComponent* AOwner)
    : TGridDropDownEditor<TExMultiColumnDropDown>(AOwner, {.LeafKeyDown = true}) {}

TGridExGridDropDown::TGridExGridDropDown(TComponent* AOwner)
    : TGridDropDownEditor<TCustomExGridDropDown>(AOwner, {.LeafKeyDown = true}) {}

void RegisterGridGridDropDownEditors() {
    RegisterGridKindEditor(K::GridDropDown, kMultiColumn);
    RegisterGridKindEditor(K::ExGridDropDown, kGridDropDown);
}

bool RegisterGridGridDropDownClass(const QString& Name) {
    if (Name == QLatin1String("TGridGridDropDown")) RegisterOne<TGridGridDropDown>();
    else if (Name == QLatin1String("TGridExGridDropDown")) RegisterOne<TGridExGridDropDown>();
    else return false;
    return true;
}
