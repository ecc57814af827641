// The string tree's text editor: the link prepares the control from the
// cell (font, text, text rectangle, alignment), places it, and stores or
// drops the typed text; the control handles the keys that end, cancel or
// move the edit and frees itself from the message loop once released.
#include "treeview/LazyStringEdit.h"

#include "platform/controls/Messages.h"
#include "platform/controls/StdMessages.h"

#include <algorithm>

namespace {
constexpr int kMinEditorWidth = 30;

TAlignment Mirrored(TAlignment a) {
    if (a == taLeftJustify) return taRightJustify;
    if (a == taRightJustify) return taLeftJustify;
    return a;
}
}  // namespace

// ---------------------------------------------------------------------------
// TStringEditLink
// ---------------------------------------------------------------------------

TStringEditLink::TStringEditLink() { MakeEdit(); }

TStringEditLink::~TStringEditLink() {
    if (FEdit) {
        FEdit->FMaker = nullptr;
        FEdit->FLink = nullptr;
        FEdit->Release();
        FEdit = nullptr;
    }
}

void TStringEditLink::MakeEdit() {
    auto* edit = NewObject<TLTEdit>(this);
    edit->SetShowHint(false);
    edit->SetParentShowHint(false);
    edit->Hide();
    edit->SetBorderStyle(bsSingle);
    FEdit = edit;
}

void TStringEditLink::SetEdit(TLTEdit* Value) {
    if (FEdit == Value) return;
    if (FEdit) {
        TLTEdit* old = FEdit;
        FEdit = nullptr;
        old->FMaker = nullptr;
        old->FLink = nullptr;
        old->FRefLink.reset();
        old->Free();
    }
    FEdit = Value;
    if (FEdit) {
        FEdit->FMaker = this;
        FEdit->FLink = this;
    }
}

void TStringEditLink::DetachEdit() {
    if (!FEdit) return;
    FEdit->FLink = nullptr;
    // The last reference may be the control's: this link may end here, so
    // nothing of it is touched after the reset.
    std::shared_ptr<ILTEditLink> ref = std::move(FEdit->FRefLink);
}

bool TStringEditLink::PrepareEdit(TBaseLazyTree* Tree, PLazyNode Node, TColumnIndex Column) {
    auto* tree = dynamic_cast<TCustomLazyStringTree*>(Tree);
    if (!tree) return false;
    if (!FEdit) MakeEdit();
    FEdit->FLink = this;
    FEdit->FRefLink = shared_from_this();
    FTree = tree;
    FNode = Node;
    FColumn = Column;
    QString text;
    FTree->GetTextInfo(Node, Column, FEdit->Font(), FTextBounds, text);
    FEdit->Font()->SetColor(clWindowText);
    FEdit->SetParent(FTree);
    FEdit->RecreateWnd();
    FEdit->HandleNeeded();
    FEdit->SetText(text);
    FEdit->SetModified(false);
    TBiDiMode bidi = FTree->BiDiMode();
    FAlignment = FTree->Alignment();
    if (Column > NoColumn && FTree->IsValidColumn(Column)) {
        TLazyTreeColumn* c = FTree->Header()->Columns()->Items(Column);
        bidi = c->BiDiMode();
        FAlignment = c->Alignment();
    }
    if (bidi != bdLeftToRight) FAlignment = Mirrored(FAlignment);
    return true;
}

bool TStringEditLink::BeginEdit() {
    if (FStopping || !FEdit) return false;
    FEdit->Show();
    FEdit->SelectAll();
    FEdit->SetFocus();
    FEdit->AdjustToText();
    return true;
}

bool TStringEditLink::EndEdit() {
    if (FStopping) return false;
    FStopping = true;
    if (FEdit && FEdit->Modified()) {
        try {
            FTree->SetText(FNode, FColumn, FEdit->Text());
        } catch (...) {
            FStopping = false;
            throw;
        }
    }
    if (FEdit) FEdit->Hide();
    DetachEdit();
    return true;
}

bool TStringEditLink::CancelEdit() {
    if (FStopping) return false;
    FStopping = true;
    if (FEdit) FEdit->Hide();
    // Keeps this link alive through the tree's bookkeeping.
    std::shared_ptr<TStringEditLink> self = shared_from_this();
    FTree->CancelEditNode();
    DetachEdit();
    return true;
}

TRect TStringEditLink::GetBounds() { return FEdit ? FEdit->BoundsRect() : TRect(); }

void TStringEditLink::ProcessMessage(TMessage& Message) {
    if (FEdit) FEdit->WindowProc(Message);
}

void TStringEditLink::SetBounds(TRect R) {
    if (FStopping || !FEdit || !FTree) return;
    R.Left = std::max(R.Left, 0);
    if (R.Width() < kMinEditorWidth) {
        if (FAlignment == taRightJustify) R.Left = R.Right - kMinEditorWidth;
        else R.Right = R.Left + kMinEditorWidth;
    }
    R.Right = std::min(R.Right, FTree->ClientWidth());
    FEdit->SetBoundsRect(R);
    // The text stays where the cell showed it.
    TRect f = FEdit->ClientRect();
    const bool multiline = FNode && FNode->States.Contains(vsMultiline);
    int d = multiline ? 0 : 2;
    if (FTree->FStates.Contains(tsUseThemes)) ++d;
    InflateRect(f, d - FTree->TextMargin(), d);
    if (!multiline) OffsetRect(f, 0, FTextBounds.Top - FEdit->Top());
    f.Top = std::max(f.Top, -1);
    f.Left = std::max(f.Left, -1);
    FEdit->Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&f));
}

// ---------------------------------------------------------------------------
// TLTEdit
// ---------------------------------------------------------------------------

TLTEdit::TLTEdit(TStringEditLink* Link) : TCustomEdit(nullptr), FLink(Link), FMaker(Link) {}

TLTEdit::~TLTEdit() {
    if (FMaker && FMaker->FEdit == this) FMaker->FEdit = nullptr;
}

void TLTEdit::Release() {
    if (HandleAllocated()) PostMessage(Handle(), CM_RELEASE);
    else Application()->Queue([this] { Free(); });
}

bool TLTEdit::MultilineNode() const { return FLink && FLink->FNode && FLink->FNode->States.Contains(vsMultiline); }

void TLTEdit::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    // A one-line node is edited in a multi-line window too, so the
    // formatting rectangle can be set.
    Params.Style |= ES_MULTILINE;
    if (MultilineNode()) {
        Params.Style &= ~(ES_AUTOHSCROLL | WS_HSCROLL);
        Params.Style |= ES_AUTOVSCROLL | WS_VSCROLL | ES_WANTRETURN;
    }
    if (FLink && FLink->FTree && FLink->FTree->FStates.Contains(tsUseThemes)) {
        Params.Style &= ~WS_BORDER;
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
        Params.Style |= WS_BORDER;
        Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    }
}

void TLTEdit::AdjustToText() {
    if (!FLink || !FLink->FTree || MultilineNode()) return;
    TCustomLazyStringTree* tree = FLink->FTree;
    if (tree->FOptions->MiscOptions().Contains(toGridExtensions)) return;
    Perform(WM_SETREDRAW, 0);
    TCanvas* c = Canvas();
    c->Font().Assign(*Font());
    const QString probe = Text() + QStringLiteral("yG");
    const int w = c->TextWidth(probe) + 2 * tree->TextMargin();
    const int h = c->TextHeight(probe) + 2 * tree->TextMargin();
    const TRect old = BoundsRect();
    TRect r = old;
    r.Bottom = r.Top + std::max(Height(), h);
    if (w < Width()) InvalidateRect(tree, &old, false);
    if (FLink->FAlignment == taRightJustify) r.Left = r.Right - w;
    else r.Right = r.Left + w;
    Perform(WM_SETREDRAW, 1);
    FLink->SetBounds(r);
}

void TLTEdit::Change() {
    TCustomEdit::Change();
    // The edit window tells of every text update: a one-line editor follows
    // its text.
    if (!MultilineNode()) AdjustToText();
}

void TLTEdit::WndProc(TMessage& M) {
    switch (M.Msg) {
    case CM_AUTOADJUST: AdjustToText(); return;
    case CM_EXIT:
        if (FLink && !FLink->FStopping) {
            TCustomLazyStringTree* tree = FLink->FTree;
            if (tree->TreeOptions()->StringOptions().Contains(toAutoAcceptEditChange)) tree->FinishEditing();
            else tree->AbortEditing();
        }
        TCustomEdit::WndProc(M);
        return;
    case CM_RELEASE:
        // Freed outside any message of its own.
        Application()->Queue([this] { Free(); });
        return;
    case WM_CHAR:
        if (M.WParam == 9 || M.WParam == 27) return;
        TCustomEdit::WndProc(M);
        return;
    case WM_DESTROY:
        if (FLink && !FLink->FStopping) {
            TStringEditLink* link = FLink;
            if (link->FTree->TreeOptions()->StringOptions().Contains(toAutoAcceptEditChange) && Modified())
                link->FTree->SetText(link->FNode, link->FColumn, Text());
            link->DetachEdit();
        }
        TCustomEdit::WndProc(M);
        return;
    case WM_GETDLGCODE:
        TCustomEdit::WndProc(M);
        M.Result |= DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
        return;
    case WM_KEYDOWN: {
        if (!FLink || !FLink->FTree) break;
        TCustomLazyStringTree* tree = FLink->FTree;
        const TShiftState shift = KeyboardShiftState() & (ssShift | ssAlt | ssCtrl);
        switch (M.WParam) {
        case VK_TAB: {
            if (!tree->FStates.Contains(tsEditing)) return;
            PLazyNode edited = FLink->FNode;
            tree->InvalidateNode(edited);
            PLazyNode next = tree->GetNextVisible(edited, true);
            // Ending the edit lets go of the link: nothing of it after this.
            tree->EndEditNode();
            tree->SetFocusedNode(next);
            if (tree->FocusedNode() && tree->CanEdit(tree->FocusedNode(), tree->FocusedColumn())) {
                tree->FEditColumn = tree->FocusedColumn();
                tree->BeginEditing();
            }
            return;
        }
        case VK_RETURN:
            if (!MultilineNode() || (shift & ssCtrl)) {
                tree->InvalidateNode(FLink->FNode);
                tree->FinishEditing();
                tree->SetFocus();
                return;
            }
            break;
        case VK_ESCAPE:
            tree->AbortEditing();
            tree->SetFocus();
            return;
        case VK_UP:
        case VK_DOWN:
            if (!MultilineNode()) M.WParam = M.WParam == VK_UP ? VK_LEFT : VK_RIGHT;
            break;
        case 'A':
            if (tree->FStates.Contains(tsEditing) && shift == TShiftState(ssCtrl)) {
                SelectAll();
                return;
            }
            break;
        default: break;
        }
        TCustomEdit::WndProc(M);
        return;
    }
    default: break;
    }
    TCustomEdit::WndProc(M);
}
