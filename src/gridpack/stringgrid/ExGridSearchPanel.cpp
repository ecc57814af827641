// The search panel: its children and their pictures, its layout and paint,
// the search edit that turns Return into find commands, the grid's rebuild
// of the panel from SearchFooter, and the grid's handlers of the panel's
// buttons and edit (search as you type, find next and previous, highlight,
// close).
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/GradientBands.h"
#include "platform/controls/StdMessages.h"
#include "platform/graphics/Resources.h"

// ---------------------------------------------------------------------------
// Pictures
// ---------------------------------------------------------------------------

namespace {

constexpr TColor kGround = TColor(0xFF00FF);

void Ground(TBitmap& b)
{
    b.SetSize(16, 16);
    b.SetPixelFormat(pf24bit);
    b.Canvas()->Brush().SetColor(kGround);
    b.Canvas()->FillRect(TRect{0, 0, 16, 16});
    b.Canvas()->Pen().SetWidth(1);
}

// An arrow pointing down (find next) or up (find previous).
void DrawArrow(TCanvas* c, bool down, TColor col)
{
    c->Pen().SetColor(col);
    for (int i = 0; i < 5; ++i) {
        const int y = down ? 7 + i : 8 - i;
        c->MoveTo(3 + i, y);
        c->LineTo(13 - i, y);
    }
    c->MoveTo(7, down ? 2 : 9);
    c->LineTo(7, down ? 7 : 14);
    c->MoveTo(8, down ? 2 : 9);
    c->LineTo(8, down ? 7 : 14);
}

// A marker pen over a yellow stroke (highlight).
void DrawHighlighter(TCanvas* c, bool enabled)
{
    c->Brush().SetColor(enabled ? TColor(0x00FFFF) : TColor(0xD0D0D0));
    c->Pen().SetColor(enabled ? TColor(0x00A0A0) : TColor(0xA0A0A0));
    c->Rectangle(2, 11, 14, 15);
    c->Pen().SetColor(enabled ? TColor(0x404040) : TColor(0x909090));
    for (int d = 0; d < 3; ++d) {
        c->MoveTo(5 + d, 10);
        c->LineTo(12 + d, 3);
    }
}

// A cross; hot on a light frame, pressed on a darker one.
void DrawCross(TCanvas* c, int state)
{
    if (state > 0) {
        c->Brush().SetColor(state == 1 ? TColor(0xF0E0D0) : TColor(0xD0B090));
        c->Pen().SetColor(TColor(0x808080));
        c->Rectangle(0, 0, 14, 14);
    }
    c->Pen().SetColor(TColor(0x404040));
    for (int d = 0; d < 2; ++d) {
        c->MoveTo(3 + d, 3);
        c->LineTo(11 + d, 11);
        c->MoveTo(10 + d, 3);
        c->LineTo(2 + d, 11);
    }
}

TBitmap* Picture(const char* name)
{
    RegisterSearchPanelGlyphs();
    static std::map<QString, std::unique_ptr<TBitmap>> cache;
    auto& b = cache[QString::fromLatin1(name)];
    if (!b) {
        b = std::make_unique<TBitmap>();
        b->Assign(ResourceImage(QString::fromLatin1(name)));
    }
    return b.get();
}

} // namespace

void RegisterSearchPanelGlyphs()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    struct TEntry {
        const char* Name;
        std::function<void(TCanvas*)> Draw;
    };
    const TEntry entries[] = {
        {"SGARDOWN", [](TCanvas* c) { DrawArrow(c, true, TColor(0x008000)); }},
        {"SGARDOWND", [](TCanvas* c) { DrawArrow(c, true, TColor(0xA0A0A0)); }},
        {"SGARUP", [](TCanvas* c) { DrawArrow(c, false, TColor(0x008000)); }},
        {"SGARUPD", [](TCanvas* c) { DrawArrow(c, false, TColor(0xA0A0A0)); }},
        {"SGHI", [](TCanvas* c) { DrawHighlighter(c, true); }},
        {"SGHID", [](TCanvas* c) { DrawHighlighter(c, false); }},
        {"SGCLOSE", [](TCanvas* c) { DrawCross(c, 0); }},
        {"SGCLOSEH", [](TCanvas* c) { DrawCross(c, 1); }},
        {"SGCLOSED", [](TCanvas* c) { DrawCross(c, 2); }},
    };
    for (const TEntry& e : entries) {
        TBitmap b;
        Ground(b);
        e.Draw(b.Canvas());
        RegisterResourceImage(QString::fromLatin1(e.Name), b.Image());
    }
}

// ---------------------------------------------------------------------------
// TRetEdit
// ---------------------------------------------------------------------------

void TRetEdit::CreateParams(TCreateParams& Params)
{
    TEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE;
}

void TRetEdit::WMKeyDown(TMessage& M)
{
    if (M.WParam == VK_RETURN) {
        const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
        TNotifyEvent& e = ctrl ? OnCtrlReturn : OnReturn;
        if (e)
            e(this);
        return;
    }
    TEdit::WMKeyDown(M);
}

void TRetEdit::WMChar(TMessage& M)
{
    if (M.WParam == 10 || M.WParam == 13) {
        QChar ch(char16_t(M.WParam));
        if (OnKeyPress)
            OnKeyPress(this, ch);
        M.Result = 0;
        return;
    }
    TEdit::WMChar(M);
}

// ---------------------------------------------------------------------------
// TSearchPanel
// ---------------------------------------------------------------------------

namespace {
TExGridButton* NewButton(TSearchPanel* panel, const char* glyph, const char* disabled, int left, int width)
{
    auto* b = NewObject<TExGridButton>(panel);
    b->SetParent(panel);
    b->SetBounds(left, 5, width, 23);
    b->SetParentFont(true);
    b->SetGlyph(Picture(glyph));
    if (disabled)
        b->SetGlyphDisabled(Picture(disabled));
    return b;
}
} // namespace

TSearchPanel::TSearchPanel(TComponent* AOwner) : TPanel(AOwner)
{
    FGrid = dynamic_cast<TExStringGrid*>(AOwner);
    SetBevelOuter(bvNone);
    SetShowCaption(false);
}

// The children are made with the panel's window (they draw pictures and
// measure text); until then the child accessors answer nullptr.
void TSearchPanel::CreateWnd()
{
    TPanel::CreateWnd();
    if (!FBuilt) {
        FBuilt = true;
        FExit = NewButton(this, "SGCLOSE", nullptr, 5, 14);
        FExit->SetBounds(5, 7, 14, 14);
        FExit->SetShowCaption(false);
        FExit->SetGlyphHot(Picture("SGCLOSEH"));
        FExit->SetGlyphDown(Picture("SGCLOSED"));
        FExit->OnClick = [this](TObject*) {
            if (OnExitClick)
                OnExitClick(this);
        };

        FEdit = NewObject<TRetEdit>(this);
        FEdit->SetParent(this);
        FEdit->SetBounds(25, 6, 110, 21);
        FEdit->OnChange = [this](TObject* s) { EditChanged(s); };
        FEdit->OnReturn = [this](TObject*) {
            if (FForward->Enabled() && OnForwardClick)
                OnForwardClick(this);
        };
        FEdit->OnCtrlReturn = [this](TObject*) {
            if (FBackward->Enabled() && OnBackwardClick)
                OnBackwardClick(this);
        };

        FForward = NewButton(this, "SGARDOWN", "SGARDOWND", 140, 90);
        FForward->SetEnabled(false);
        FForward->OnClick = [this](TObject*) {
            if (OnForwardClick)
                OnForwardClick(this);
        };
        FBackward = NewButton(this, "SGARUP", "SGARUPD", 235, 90);
        FBackward->SetEnabled(false);
        FBackward->OnClick = [this](TObject*) {
            if (OnBackwardClick)
                OnBackwardClick(this);
        };
        FHilite = NewButton(this, "SGHI", "SGHID", 330, 90);
        FHilite->SetStyle(tasCheck);
        FHilite->SetAllowAllUp(true);
        FHilite->SetEnabled(false);
        FHilite->OnClick = [this](TObject*) {
            if (OnHighlightClick)
                OnHighlightClick(this);
        };

        FMatchCase = NewObject<TExCheckBox>(this);
        FMatchCase->SetParent(this);
        FMatchCase->SetBounds(425, 8, 100, 18);
        FMatchCase->SetTransparent(true);
        FMatchCase->SetCaption(QString());
    }
    // The settings written before the children existed reach them now.
    if (FGrid)
        FGrid->BuildSearchPanel();
    LayoutChildren();
    if (FGrid && FGrid->OnCreatedSearchFooter)
        FGrid->OnCreatedSearchFooter(FGrid);
}

void TSearchPanel::EditChanged(TObject*)
{
    const bool any = !FEdit->Text().isEmpty();
    FForward->SetEnabled(any);
    FBackward->SetEnabled(any);
    FHilite->SetEnabled(any);
    if (OnEditChange)
        OnEditChange(this);
}

void TSearchPanel::LayoutChildren()
{
    if (!FBuilt)
        return;
    // Positions from the panel's left edge; right-to-left reading is never
    // in force in this layer.
    FExit->SetBounds(5, 7, 14, FExit->Visible() ? 14 : 0);
    FEdit->SetBounds(25, 6, 110, FEdit->Height());
    FForward->SetBounds(140, 5, 90, FForward->Visible() ? 23 : 0);
    FBackward->SetBounds(235, 5, 90, FBackward->Visible() ? 23 : 0);
    FHilite->SetBounds(330, 5, 90, FHilite->Visible() ? 23 : 0);
    const int w = std::max(FMatchCase->Width(), Canvas()->TextWidth(MatchCaseCaption) + 24);
    FMatchCase->SetBounds(FHilite->Visible() ? 425 : 330, 8, w, FMatchCase->Visible() ? 18 : 0);
}

void TSearchPanel::Paint()
{
    TCanvas* c = Canvas();
    const TRect r = ClientRect();
    if (ColorTo == clNone) {
        c->Brush().SetColor(Color());
        c->Brush().SetStyle(bsSolid);
        c->FillRect(r);
    } else {
        FillGradientBands(c, Color(), ColorTo, 32, r, false);
    }
    c->Pen().SetColor(FGrid ? FGrid->GridLineColor() : clSilver);
    c->Pen().SetWidth(1);
    c->MoveTo(0, 0);
    c->LineTo(r.Right, 0);
}

// ---------------------------------------------------------------------------
// The grid's side
// ---------------------------------------------------------------------------

namespace {
void ApplyChildren(TExStringGrid* g);
} // namespace

void TExStringGrid::BuildSearchPanel()
{
    TSearchPanel* p = FSearchPanel;
    if (Loading() || !p)
        return;
    TSearchFooter* sf = FSearchFooter;
    // 1.
    if ((p->EditControl() && p->HiliteButton()->Down() && p->Visible() && !sf->Visible()) || sf->AlwaysHighLight)
        UnHilightInGrid(true);
    // 2.
    p->SetColor(sf->Color());
    p->ColorTo = sf->ColorTo();
    p->SetFont(*sf->Font());
    p->FindNextCaption = sf->FindNextCaption();
    p->FindPrevCaption = sf->FindPrevCaption();
    p->MatchCaseCaption = sf->MatchCaseCaption();
    p->HighLightCaption = sf->HighLightCaption();
    p->HintFindNext = sf->HintFindNext();
    p->HintFindPrev = sf->HintFindPrev();
    p->HintClose = sf->HintClose();
    p->HintHighlight = sf->HintHighlight();
    p->OnEditChange = [this](TObject* s) { SearchFooterEditChange(s); };
    p->OnForwardClick = [this](TObject* s) { SearchFooterForward(s); };
    p->OnBackwardClick = [this](TObject* s) { SearchFooterBackward(s); };
    p->OnExitClick = [this](TObject* s) { SearchFooterClose(s); };
    p->OnHighlightClick = [this](TObject* s) { SearchFooterHilite(s); };
    if (p->EditControl())
        ApplyChildren(this);
    // 5.
    p->SetVisible(sf->Visible());
    if (sf->Visible()) {
        p->SetHeight(32);
        p->SetTop(Height() - 32);
        ScrollAboveSearchPanel();
    } else {
        p->SetHeight(0);
    }
    p->Invalidate();
}

namespace {
// The captions, hints, looks and visibility of the panel's children.
void ApplyChildren(TExStringGrid* g)
{
    TSearchPanel* p = g->SearchPanel();
    TSearchFooter* sf = g->SearchFooter();
    p->ForwardButton()->SetCaption(p->FindNextCaption);
    p->BackwardButton()->SetCaption(p->FindPrevCaption);
    p->HiliteButton()->SetCaption(p->HighLightCaption);
    p->MatchCase()->SetCaption(p->MatchCaseCaption);
    const std::pair<TExGridButton*, QString> hints[] = {{p->ForwardButton(), p->HintFindNext},
                                                        {p->BackwardButton(), p->HintFindPrev},
                                                        {p->ExitButton(), p->HintClose},
                                                        {p->HiliteButton(), p->HintHighlight}};
    for (const auto& [b, h] : hints) {
        b->SetHint(h);
        b->SetShowHint(!h.isEmpty());
    }
    // 3.
    for (TExGridButton* b : {p->BackwardButton(), p->ForwardButton(), p->HiliteButton()}) {
        if (sf->AutoThemeAdapt()) {
            b->SetAutoThemeAdapt(true);
            b->SetFlat(true);
            continue;
        }
        switch (g->ControlLook()->ControlStyle()) {
        case csFlat:
            b->SetFlat(true);
            break;
        case csWinXP:
        case csTheme:
            b->SetAutoXPStyle(true);
            b->SetFlat(false);
            break;
        case csClassic:
            b->SetAutoXPStyle(false);
            b->SetFlat(false);
            break;
        default:
            break;
        }
    }
    // 4.
    p->HiliteButton()->SetVisible(sf->ShowHighLight());
    p->ExitButton()->SetVisible(sf->ShowClose());
    p->MatchCase()->SetVisible(sf->ShowMatchCase());
    p->BackwardButton()->SetVisible(sf->ShowFindPrev());
    p->ForwardButton()->SetVisible(sf->ShowFindNext());
    p->LayoutChildren();
}
} // namespace

namespace {

// The options the footer's finds share.
TFindParams FooterFindParams(TExStringGrid* g, bool hilite)
{
    TSearchFooter* sf = g->SearchFooter();
    TSearchPanel* p = g->SearchPanel();
    TFindParams P = FindBit(fnAutoGoto);
    if (hilite)
        P |= FindBit(fnIgnoreHTMLTags);
    if (p->MatchCase()->Checked())
        P |= FindBit(fnMatchCase);
    if (sf->SearchActiveColumnOnly)
        P |= FindBit(fnFindInCurrentCol);
    if (sf->SearchMatchStart)
        P |= FindBit(fnMatchStart);
    if (sf->SearchDirection == sdLeftRight)
        P |= FindBit(fnDirectionLeftRight);
    if (sf->SearchColumn >= 0 && sf->SearchColumn < g->ColCount()) {
        P |= FindBit(fnFindInPresetCol);
        g->FindCol = sf->SearchColumn;
    }
    return P;
}

void RemoveHighlights(TExStringGrid* g)
{
    const int col = g->SearchFooter()->SearchColumn;
    if (col >= 0)
        g->UnHilightInCol(col, false);
    else
        g->UnHilightInGrid(false);
}

void AddHighlights(TExStringGrid* g, const QString& text)
{
    const int col = g->SearchFooter()->SearchColumn;
    const bool doCase = g->SearchPanel()->MatchCase()->Checked();
    if (col >= 0)
        g->HilightInCol(col, text, false, doCase);
    else
        g->HilightInGrid(text, false, doCase);
}

// A colour change repaints the edit through a width nudge.
void SetEditColor(TEdit* e, TColor c)
{
    e->SetColor(c);
    e->SetWidth(e->Width() + 1);
    e->SetWidth(e->Width() - 1);
}

} // namespace

void TExStringGrid::SearchFooterEditChange(TObject*)
{
    TSearchPanel* p = FSearchPanel;
    if (!p || !p->EditControl())
        return;
    TSearchFooter* sf = FSearchFooter;
    const QString text = p->EditControl()->Text();
    bool def = true;
    if (OnSearchEditChange)
        OnSearchEditChange(this, text, def);
    if (!def || !sf->AutoSearch)
        return;
    const bool hiliteDown = p->HiliteButton()->Down();
    const bool hilite = hiliteDown || sf->AlwaysHighLight;
    TFindParams P = FooterFindParams(this, hiliteDown);
    if (sf->SearchFixedCells)
        P |= FindBit(fnIncludeFixed);
    if (sf->SearchHiddenRows)
        P |= FindBit(fnIncludeHiddenRows);
    if (hilite)
        RemoveHighlights(this);
    if (text.isEmpty()) {
        SetEditColor(p->EditControl(), clWindow);
        return;
    }
    SearchCell = Find(TPoint{-1, -1}, text, P);
    SearchFooterAction(text, SearchCell.X, SearchCell.Y, saFindFirst);
    if (SearchCell.X < 0) {
        SetEditColor(p->EditControl(), TColor(0x0000FF));
    } else {
        SetEditColor(p->EditControl(), clWindow);
        if (SearchCell.Y < RowCount()) {
            SetRow(SearchCell.Y);
            if (SearchCell.X < ColCount())
                SetCol(SearchCell.X);
        }
        ScrollInView(SearchCell.X, SearchCell.Y);
    }
    if (hilite)
        AddHighlights(this, text);
}

namespace {
// Moves the top row down by two when the current row sits near the bottom
// of the shown rows.
void NudgeTopRow(TExStringGrid* g)
{
    const bool footer = g->FloatingFooter()->Visible;
    if (g->Row() > g->TopRow() + g->VisibleRowCount() - (footer ? 3 : 2) &&
        g->RowCount() > g->VisibleRowCount() + g->FixedRows() + (footer ? 1 : 0))
        g->SetTopRow(std::min(g->TopRow() + 2, g->RowCount() - 1));
}

void GotoFound(TExStringGrid* g, TPoint at)
{
    if (at.X < 0)
        return;
    if (at.Y < g->RowCount()) {
        g->SetRow(at.Y);
        if (at.X < g->ColCount())
            g->SetCol(at.X);
    }
    g->ScrollInView(at.X, at.Y);
}

// One step of the panel's find next (backward false) or find previous:
// a changed text searches again from the start unless the panel searches
// as you type, then the match becomes the current cell and
// OnSearchFooterAction reports it. Find next moves to the match before nudging the top row,
// find previous nudges first.
void FooterFindStep(TExStringGrid* g, bool backward)
{
    TSearchPanel* p = g->SearchPanel();
    if (!p || !p->EditControl())
        return;
    TSearchFooter* sf = g->SearchFooter();
    const QString text = p->EditControl()->Text();
    if (!sf->AutoSearch && text != sf->LastSearch) {
        g->SearchCell = TPoint{-1, -1};
        sf->LastSearch = text;
    }
    TFindParams P = FooterFindParams(g, p->HiliteButton()->Down());
    if (backward) {
        P &= TFindParams(~FindBit(fnDirectionLeftRight));
        P |= FindBit(fnBackward);
    }
    g->SearchCell = g->Find(g->SearchCell, text, P);
    if (backward) {
        NudgeTopRow(g);
        GotoFound(g, g->SearchCell);
    } else {
        GotoFound(g, g->SearchCell);
        NudgeTopRow(g);
    }
    g->SearchFooterAction(text, g->SearchCell.X, g->SearchCell.Y, backward ? saFindPrevious : saFindNext);
    p->Invalidate();
}
} // namespace

void TExStringGrid::SearchFooterForward(TObject*)
{
    FooterFindStep(this, false);
}

void TExStringGrid::SearchFooterBackward(TObject*)
{
    FooterFindStep(this, true);
}

void TExStringGrid::SearchFooterHilite(TObject*)
{
    TSearchPanel* p = FSearchPanel;
    if (!p || !p->EditControl())
        return;
    if (p->HiliteButton()->Down())
        AddHighlights(this, p->EditControl()->Text());
    else
        RemoveHighlights(this);
}

void TExStringGrid::SearchFooterClose(TObject*)
{
    if (OnSearchFooterClose)
        OnSearchFooterClose(this);
    FSearchFooter->SetVisible(false);
}

void TExStringGrid::FixedEditChanged(int ACol, int ARow, const QString& Value)
{
    if (OnEditChange)
        OnEditChange(this, ACol, ARow, Value);
}
