#include "gridpack/dropdown/ExColorPicker.h"

#include "gridpack/stringgrid/ExGridAppearance.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ScrollBars.h"
#include "platform/graphics/WebColors.h"

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

void TColorItem::Notify() {
    if (auto* c = dynamic_cast<TColorItems*>(Collection()))
        if (c->OnChange) c->OnChange(c);
}

void TColorItem::SetCaption(const QString& v) {
    if (v == FCaption) return;
    FCaption = v;
    Notify();
}

void TColorItem::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    Notify();
}

void TColorItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TColorItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    FCaption = s->FCaption;
    FColor = s->FColor;
    FEnabled = s->FEnabled;
    Hint = s->Hint;
}

TColorItems::TColorItems(TPersistent* AOwner) : TOwnedCollection(AOwner, TCollection::ItemClass<TColorItem>()) {}

// ---------------------------------------------------------------------------
// TExColorPickerDropDown
// ---------------------------------------------------------------------------

TExColorPickerDropDown::TExColorPickerDropDown(TComponent* AOwner) : TExCustomDropDown(AOwner) {
    // Made before the second phase creates the popup and applies the styles.
    FColors = new TColorItems(this);
    FColors->OnChange = [](TObject*) {};
    FItemAppearance = new TItemAppearance();
    FKeyTimer = new TTimer(this);
    FKeyTimer->SetEnabled(false);
    FKeyTimer->SetInterval(500);
    FKeyTimer->OnTimer = [this](TObject*) {
        FKeyTimer->SetEnabled(false);
        FCurSearch.clear();
    };
    // Placed in a designer, not read from a stored form.
    const TComponent* owner = Owner();
    FDesignTime = (ComponentState() & csDesigning) &&
                  !(owner && (owner->ComponentState() & (csLoading | csReading)));
    SetCursor(crArrow);
    SetEditorEnabled(false);
    FDropDownEnabled = true;
    SetDropDownHeight(200);
    DropDownHeader()->SetVisible(false);
    DropDownFooter()->SetVisible(false);
}

TExColorPickerDropDown::~TExColorPickerDropDown() {
    FDestroying = true;
    // The key timer is owned: it stops as it is freed with the other owned
    // components, before this body runs when the control goes by Free().
    delete FColors;
    delete FItemAppearance;
}

void TExColorPickerDropDown::CreateWnd() {
    TExCustomDropDown::CreateWnd();
    if (FDesignTime && FColors->Count() == 0) {
        FDesignTime = false;
        AddDefaultColors();
    }
}

void TExColorPickerDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    TExCustomDropDown::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FItemSelector) FItemSelector = nullptr;
    if (AComponent == FColorSelector) FColorSelector = nullptr;
    if (AComponent == FColorCubePanel) FColorCubePanel = nullptr;
    if (AComponent == FSpectrumPanel) FSpectrumPanel = nullptr;
}

// -- value ----------------------------------------------------------------------

void TExColorPickerDropDown::SetItemIndex(int I) {
    if (I >= FColors->Count()) return;
    FItemIndex = I;
    if (I >= 0) FSelectedColor = FColors->Item(I)->Color();
    Invalidate();
    if (OnSelect) OnSelect(this);
}

void TExColorPickerDropDown::SetSelectedColor(TColor C) {
    if (C == FSelectedColor) return;
    FSelectedColor = C;
    int found = -1;
    for (int i = 0; i < FColors->Count(); ++i)
        if (FColors->Item(i)->Color() == C) {
            found = i;
            break;
        }
    if (found >= 0) SetItemIndex(found);
    else FItemIndex = -1;
    Invalidate();
}

void TExColorPickerDropDown::SetShowText(bool v) {
    if (v == FShowText) return;
    FShowText = v;
    Invalidate();
}

void TExColorPickerDropDown::Step(TItemStep S) {
    if (const int i = ItemStepTarget(FItemIndex, FColors->Count(), S); i >= 0) SetItemIndex(i);
}

void TExColorPickerDropDown::SelectFirst() { Step(TItemStep::First); }
void TExColorPickerDropDown::SelectLast() { Step(TItemStep::Last); }
void TExColorPickerDropDown::SelectNext() { Step(TItemStep::Next); }
void TExColorPickerDropDown::SelectPrevious() { Step(TItemStep::Previous); }

void TExColorPickerDropDown::AddDefaultColors() {
    static const struct {
        const char* Caption;
        TColor Color;
    } kDefaults[] = {
        {"Black", 0x000000},  {"Maroon", 0x000080}, {"Green", 0x008000},   {"Olive", 0x008080},
        {"Navy", 0x800000},   {"Purple", 0x800080}, {"Teal", 0x808000},    {"Gray", 0x808080},
        {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},    {"Lime", 0x00FF00},    {"Yellow", 0x00FFFF},
        {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},   {"White", 0xFFFFFF},
    };
    for (const auto& d : kDefaults) {
        TColorItem* it = FColors->Add();
        it->SetCaption(QString::fromLatin1(d.Caption));
        it->SetColor(d.Color);
    }
}

QString TExColorPickerDropDown::GetSelectedColorText() {
    if (FColorSelectionStyle == csList && FItemIndex >= 0) return FColors->Item(FItemIndex)->Caption();
    const TColor c = FSelectedColor;
    switch (FColorValueText) {
    case cvtNone: return QString();
    case cvtHex: {
        // A system colour or clNone shows all eight digits.
        const bool whole = (uint32_t(c) & 0xFF000000u) != 0 || c == clNone;
        return QStringLiteral("%1").arg(uint32_t(c), whole ? 8 : 6, 16, QLatin1Char('0')).toUpper();
    }
    case cvtWebName: return ColorToWebName(c);
    case cvtRGB: {
        const TColor v = ColorToRGB(c);
        return QStringLiteral("Red:%1,Green:%2,Blue:%3").arg(GetRValue(v)).arg(GetGValue(v)).arg(GetBValue(v));
    }
    case cvtHTML: {
        const TColor v = ColorToRGB(c);
        return QStringLiteral("#%1%2%3")
            .arg(GetRValue(v), 2, 16, QLatin1Char('0'))
            .arg(GetGValue(v), 2, 16, QLatin1Char('0'))
            .arg(GetBValue(v), 2, 16, QLatin1Char('0'))
            .toUpper();
    }
    }
    return QString();
}

// -- styles ---------------------------------------------------------------------

void TExColorPickerDropDown::SetComponentStyle(TQORStyle AStyle) {
    TExCustomDropDown::SetComponentStyle(AStyle);
    ApplyItemAppearanceStyle(FItemAppearance, AStyle);
}

void TExColorPickerDropDown::SetSelectionColorStyle(TSelectionColorStyle S) {
    TExCustomDropDown::SetSelectionColorStyle(S);
    if (FItemSelector) FItemSelector->ItemAppearance()->SetColorStyle(S);
}

TControl* TExColorPickerDropDown::StyleControl() const {
    switch (FColorSelectionStyle) {
    case csList: return FItemSelector;
    case csDiscrete: return FColorSelector;
    case csColorCube: return FColorCubePanel;
    case csSpectrum: return FSpectrumPanel;
    }
    return nullptr;
}

void TExColorPickerDropDown::SetColorSelectionStyle(TColorSelectionStyle S) {
    if (S == FColorSelectionStyle) return;
    FColorSelectionStyle = S;
    if (ComponentState() & csDesigning) return;
    // The size the popup was left at belongs to the old style.
    FUserDropDownWidth = FUserDropDownHeight = -1;
    if (!DropDownForm()) return;
    CreateStyleControl();
    PrepareStyleControl();
    TControl* c = StyleControl();
    if (S == csList && FItemSelector) {
        FItemSelector->SetAlign(alNone);
        UpdateDropDownSize();
        FItemSelector->SetAlign(alClient);
    } else if (c) {
        c->SetAlign(alNone);
        UpdateDropDownSize();
        c->SetAlign(alClient);
    }
    FOldSelectedColor = FSelectedColor;
    DropDownForm()->Invalidate();
}

// -- the popup's controls -------------------------------------------------------

void TExColorPickerDropDown::CreateListSelector() {
    if (FItemSelector) return;
    FItemSelector = new TExCustomItemSelector(this);
    FItemSelector->FreeNotification(this);
    FItemSelector->SetParent(DropDownForm());
    FItemSelector->SetSelectorType(stColor);
    FItemSelector->SetBounds(0, 0, FItemSelector->Width(), 150);
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->UpdateSelectorPanel();
}

void TExColorPickerDropDown::CreateColorSelector() {
    if (FColorSelector) return;
    FColorSelector = new TCustomColorSelector(this);
    FColorSelector->FreeNotification(this);
    FColorSelector->SetParent(DropDownForm());
    FColorSelector->AddThemeColors();
    FColorSelector->SetBounds(0, 0, FColorSelector->Width(), FColorSelector->Height());
    FColorSelector->SetColor(DropDownColor());
    FColorSelector->ArrangeColorBoxes();
}

void TExColorPickerDropDown::CreateCubePanel() {
    if (FColorCubePanel) return;
    FColorCubePanel = new TExColorCubePanel(this);
    FColorCubePanel->FreeNotification(this);
    FColorCubePanel->SetParent(DropDownForm());
    FColorCubePanel->SetBounds(0, 0, FColorCubePanel->Width(), FColorCubePanel->Height());
    FColorCubePanel->SetColor(DropDownColor());
}

void TExColorPickerDropDown::CreateSpectrumPanel() {
    if (FSpectrumPanel) return;
    FSpectrumPanel = new TExColorSpectrumPanel(this);
    FSpectrumPanel->FreeNotification(this);
    FSpectrumPanel->SetParent(DropDownForm());
    FSpectrumPanel->SetBounds(0, 0, FSpectrumPanel->Width(), FSpectrumPanel->Height());
    FSpectrumPanel->SetColor(DropDownColor());
}

void TExColorPickerDropDown::CreateStyleControl() {
    if (!DropDownForm()) return;
    switch (FColorSelectionStyle) {
    case csList: CreateListSelector(); break;
    case csDiscrete: CreateColorSelector(); break;
    case csColorCube: CreateCubePanel(); break;
    case csSpectrum: CreateSpectrumPanel(); break;
    }
    SetDropDownControl(StyleControl());
}

void TExColorPickerDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    CreateStyleControl();
}

void TExColorPickerDropDown::PrepareStyleControl() {
    TControl* mine = StyleControl();
    if (!mine) return;
    SetDropDownControl(mine);
    // The panels size themselves; the popup is sized from them before they
    // are aligned to fill it again.
    if (IsPanelStyle()) mine->SetAlign(alNone);
    for (TControl* c : {static_cast<TControl*>(FItemSelector), static_cast<TControl*>(FColorSelector),
                        static_cast<TControl*>(FColorCubePanel), static_cast<TControl*>(FSpectrumPanel)})
        if (c && c != mine) c->SetVisible(false);
    switch (FColorSelectionStyle) {
    case csList:
        UpdateSelector();
        if (OnDrawColor)
            FItemSelector->OnDrawItem = [this](TObject*, TCanvas* c, int i, TRect r) {
                if (OnDrawColor) OnDrawColor(this, c, r, i);
            };
        else
            FItemSelector->OnDrawItem = nullptr;
        FOldItemIndex = FItemIndex;
        break;
    case csDiscrete:
        FColorSelector->OnItemSelect = nullptr;
        FColorSelector->SetSelectedColor(FSelectedColor);
        FColorSelector->ArrangeColorBoxes();
        FColorSelector->OnItemSelect = [this](TObject*) { ColorBoxSelected(); };
        FColorSelector->SetItemColorStyle(SelectionColorStyle());
        break;
    case csColorCube:
        FColorCubePanel->SetSelectedColor(FSelectedColor);
        FColorCubePanel->InitCube();
        FColorCubePanel->ResetCube();
        FColorCubePanel->OnSelect = [this](TObject*) { PanelColorSelected(FColorCubePanel->SelectedColor()); };
        break;
    case csSpectrum:
        FSpectrumPanel->SetSelectedColor(FSelectedColor);
        FSpectrumPanel->ArrangeSpectrum();
        FSpectrumPanel->OnSelect = [this](TObject*) { PanelColorSelected(FSpectrumPanel->SelectedColor()); };
        break;
    }
    mine->SetVisible(true);
}

void TExColorPickerDropDown::BeforeDropDown() {
    TExCustomDropDown::BeforeDropDown();
    // A panel's popup cannot be sized by the user: the size a popup was left
    // at (perhaps of another style) does not apply.
    if (IsPanelStyle()) FUserDropDownWidth = FUserDropDownHeight = -1;
    CreateStyleControl();
    PrepareStyleControl();
    FOldSelectedColor = FSelectedColor;
}

void TExColorPickerDropDown::CopyItemsToSelector() {
    TSelectorItems* s = FItemSelector->Items();
    s->BeginUpdate();
    s->Clear();
    for (int i = 0; i < FColors->Count(); ++i) {
        TColorItem* it = FColors->Item(i);
        TSelectorItem* d = s->Add();
        d->SetCaption(it->Caption());
        d->SetColor(it->Color());
        d->Hint = it->Hint;
    }
    s->EndUpdate();
}

void TExColorPickerDropDown::UpdateSelector() {
    if (!FItemSelector) return;
    FItemSelector->OnItemSelect = nullptr;
    FItemSelector->SetColumns(FColumns);
    FItemSelector->SetImages(Images());
    FItemSelector->SetItemLayout(FLayout);
    FItemSelector->SetColor(DropDownColor());
    CopyItemsToSelector();
    FItemSelector->SetColorBoxHeight(FColorBoxHeight);
    FItemSelector->SetColorBoxWidth(FColorBoxWidth);
    FItemSelector->SetItemAppearance(FItemAppearance);
    FItemSelector->UpdateSelectorPanel();
    FItemSelector->SetItemIndex(FItemIndex);
    FItemSelector->OnItemSelect = [this](TObject*) { ItemSelected(); };
    FItemSelector->SetShowHint(ShowHint());
}

void TExColorPickerDropDown::PlaceDropDownControl() {
    TExCustomDropDown::PlaceDropDownControl();
    if (IsPanelStyle() && DropDownForm()) DropDownForm()->SetSizeable(false);
}

void TExColorPickerDropDown::UpdatePanelSize() {
    TDropDownForm* f = DropDownForm();
    TControl* c = StyleControl();
    const bool shown = c && c->Visible();
    const int b = DropDownBorderWidth();
    const int w = shown ? c->Width() + 2 * b : Width();
    int h = 2 * b;
    if (DropDownHeader()->Visible()) h += DropDownHeader()->Height();
    if (DropDownFooter()->Visible()) h += DropDownFooter()->Height();
    if (shown) h += c->Height();
    f->SetBounds(f->Left(), f->Top(), w, h);
}

void TExColorPickerDropDown::UpdateDropDownSize() {
    if (!DropDownForm()) return;
    if (IsPanelStyle()) {
        UpdatePanelSize();
        return;
    }
    if (!FItemSelector) {
        TExCustomDropDown::UpdateDropDownSize();
        return;
    }
    FItemSelector->SetAlign(alNone);
    TSize s;
    FItemSelector->GetSelectorPanelSize(s);
    if (DropDownWidth() < 1) FItemSelector->SetWidth(s.cx);
    if (DropDownHeight() < 1) FItemSelector->SetHeight(s.cy);
    TExCustomDropDown::UpdateDropDownSize();
    if (FItemSelector->HasScrollBarsState() && FItemSelector->ScrollBarsState()->Bar(SB_VERT).Shown) {
        TDropDownForm* f = DropDownForm();
        f->SetBounds(f->Left(), f->Top(), f->Width() + GetSystemMetrics(SM_CXVSCROLL), f->Height());
    }
}

void TExColorPickerDropDown::DoHideDropDown(bool Cancel) {
    TExCustomDropDown::DoHideDropDown(Cancel);
    if (!Cancel) return;
    if (FColorSelectionStyle == csList && FItemSelector) {
        SetItemIndex(FOldItemIndex);
        // A colour no entry had comes back with the index.
        if (FOldItemIndex < 0) SetSelectedColor(FOldSelectedColor);
    } else if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        FColorSelector->SetSelectedColor(FOldSelectedColor);
    }
}

void TExColorPickerDropDown::DropDownFormDestroyed() {
    TExCustomDropDown::DropDownFormDestroyed();
    if (FDestroying) return;
    FItemSelector = nullptr;
    FColorSelector = nullptr;
    FColorCubePanel = nullptr;
    FSpectrumPanel = nullptr;
}

// -- selection events -----------------------------------------------------------

void TExColorPickerDropDown::ItemSelected() {
    SetItemIndex(FItemSelector->ItemIndex());
    if (!FInternalCall) DoHideDropDown(false);
}

void TExColorPickerDropDown::ColorBoxSelected() {
    SetSelectedColor(FColorSelector->SelectedColor());
    FItemIndex = -1;
    Invalidate();
    if (!FInternalCall) DoHideDropDown(false);
}

void TExColorPickerDropDown::PanelColorSelected(TColor C) {
    SetSelectedColor(C);
    FItemIndex = -1;
    Invalidate();
    DoHideDropDown(false);
}

// -- keys and wheel -------------------------------------------------------------

void TExColorPickerDropDown::SelectNextItem() {
    TExCustomDropDown::SelectNextItem();
    if (!Enabled() || ReadOnly()) return;
    FInternalCall = true;
    if (FColorSelectionStyle == csList && FItemSelector) {
        if (DroppedDown()) FItemSelector->HotNext();
        else FItemSelector->SelectNext();
    } else if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        if (DroppedDown()) FColorSelector->HotNext();
        else FColorSelector->SelectNext();
    }
    FInternalCall = false;
}

void TExColorPickerDropDown::SelectPreviousItem() {
    TExCustomDropDown::SelectPreviousItem();
    if (!Enabled() || ReadOnly()) return;
    FInternalCall = true;
    if (FColorSelectionStyle == csList && FItemSelector) {
        if (DroppedDown()) FItemSelector->HotPrevious();
        else FItemSelector->SelectPrevious();
    } else if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        if (DroppedDown()) FColorSelector->HotPrevious();
        else FColorSelector->SelectPrevious();
    }
    FInternalCall = false;
}

void TExColorPickerDropDown::MoveSelector(int Index) {
    FInternalCall = true;
    FItemSelector->SetItemIndex(Index);
    FItemSelector->ScrollItemInView(Index);
    FInternalCall = false;
}

void TExColorPickerDropDown::WMKeyDown(TMessage& M) {
    const unsigned key = unsigned(M.WParam);
    // 1. Enter over a hovered entry or box chooses it.
    bool handled = false;
    if (Enabled() && DroppedDown() && key == VK_RETURN) {
        if (FColorSelectionStyle == csList && FItemSelector && FItemSelector->ItemHot() >= 0) {
            FItemSelector->SetItemIndex(FItemSelector->ItemHot());
            handled = true;
        } else if (FColorSelectionStyle == csDiscrete && FColorSelector && FColorSelector->ItemHot() >= 0) {
            FColorSelector->SetItemIndex(FColorSelector->ItemHot());
            handled = true;
        }
    }
    // 2.
    if (!handled) TExCustomDropDown::WMKeyDown(M);
    if (!Enabled() || GetKeyState(VK_MENU) < 0) return;
    // 4. The colour boxes.
    if (FColorSelectionStyle == csDiscrete) {
        if (!FColorSelector) return;
        FInternalCall = true;
        FColorSelector->SelectColorBoxByKey(key, EditorEnabled(), DroppedDown());
        FInternalCall = false;
        if (key == VK_RETURN && !handled && OnSelect) OnSelect(this);
        return;
    }
    if (FColorSelectionStyle != csList) return;
    // 3. The list.
    const bool open = DroppedDown() && FItemSelector;
    auto page = [&](bool up) {
        if (!FItemSelector) return;
        if (FItemSelector->Items()->Count() != FColors->Count()) UpdateSelector();
        const int visible = FItemSelector->GetVisibleItemCount();
        if (visible < 1) return;
        const int at = FItemSelector->ItemIndex();
        if (up) MoveSelector(at - visible < 1 ? 0 : at - visible);
        else MoveSelector(std::min(at + visible, FColors->Count() - 1));
    };
    // A step of the open list, made by the picker itself.
    auto inner = [this](auto step) {
        FInternalCall = true;
        step(FItemSelector);
        FInternalCall = false;
    };
    switch (key) {
    case VK_RETURN:
        if (!handled && OnSelect) OnSelect(this);
        break;
    case VK_PRIOR: page(true); break;
    case VK_NEXT: page(false); break;
    case VK_END:
        if (open) inner([](TExCustomItemSelector* s) { s->SelectLast(); });
        else SelectLast();
        break;
    case VK_HOME:
        if (open) inner([](TExCustomItemSelector* s) { s->SelectFirst(); });
        else SelectFirst();
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (open && !EditorEnabled())
            inner([left = key == VK_LEFT](TExCustomItemSelector* s) {
                if (left) s->SelectPrevious();
                else s->SelectNext();
            });
        break;
    case VK_UP:
        if (open) {
            const int at = FItemSelector->ItemIndex();
            const int to = at < 0 ? 0 : at - FColumns;
            if (to >= 0) MoveSelector(to);
        } else {
            SelectPrevious();
        }
        break;
    case VK_DOWN:
        if (open) {
            const int at = FItemSelector->ItemIndex();
            const int to = at < 0 ? 0 : at + FColumns;
            if (to < FItemSelector->Items()->Count()) MoveSelector(to);
        } else {
            SelectNext();
        }
        break;
    default:
        if (GetKeyState(VK_CONTROL) < 0 || !FItemSelector || key == VK_ESCAPE || key == VK_F4) break;
        FCurSearch += QChar(char16_t(key));
        FInternalCall = true;
        FItemSelector->LookupItem(FCurSearch);
        FInternalCall = false;
        FKeyTimer->SetEnabled(false);
        FKeyTimer->SetEnabled(true);
        break;
    }
}

// -- painting -------------------------------------------------------------------

void TExColorPickerDropDown::PaintSelectedColor(TCanvas* C) {
    // 1.
    const TRect R(1, 1, Width() - DropDownButtonWidth() - 2, Height() - 2);
    // 2.
    if (OnDrawSelectedColor) {
        OnDrawSelectedColor(this, C, R);
        return;
    }
    // 3.
    const TRect B(R.Left + 4, R.Top + (Height() - FColorBoxHeight) / 2, R.Left + 4 + FColorBoxWidth,
                  R.Top + (Height() - FColorBoxHeight) / 2 + FColorBoxHeight);
    if (FSelectedColor != clNone) {
        C->Pen().SetWidth(1);
        C->Pen().SetColor(clBlack);
        C->Brush().SetStyle(bsSolid);
        C->Brush().SetColor(FSelectedColor);
        C->Rectangle(B);
    }
    // 4.
    if (!FShowText || FSelectedColor == clNone) return;
    const bool focused = Focused();
    C->Font().Assign(*Font());
    if (!EditorEnabled() && focused) C->Font().SetColor(clHighlightText);
    C->Brush().SetStyle(bsSolid);
    C->Brush().SetColor(focused ? clHighlight : Color());
    TRect t(B.Right + 4, R.Top, R.Right, R.Bottom);
    C->DrawText(GetSelectedColorText(), t, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

void TExColorPickerDropDown::DrawFocusedText() {
    TExCustomDropDown::DrawFocusedText();
    // Outside the paint pass the box and text come back over the focus fill.
    if (!FPaintCanvas) {
        auto dc = GetWindowDC(this);
        PaintSelectedColor(dc->Canvas());
    }
}

void TExColorPickerDropDown::Paint() {
    TExCustomDropDown::Paint();
    PaintSelectedColor(Canvas());
}
