#include "gridpack/basegrid/GridSettings.h"

// ---------------------------------------------------------------------------
// TSearchFooter
// ---------------------------------------------------------------------------

TSearchFooter::TSearchFooter(TPersistent* AOwner, bool InitDesign) : FOwner(AOwner)
{
    if (InitDesign) {
        FFindNextCaption = QStringLiteral("Find &next");
        FFindPrevCaption = QStringLiteral("Find &previous");
        FMatchCaseCaption = QStringLiteral("Match case");
        FHighLightCaption = QStringLiteral("Highlight");
        FHintClose = QStringLiteral("Close");
        FHintFindNext = QStringLiteral("Find next occurrence");
        FHintFindPrev = QStringLiteral("Find previous occurrence");
        FHintHighlight = QStringLiteral("Highlight occurrences");
    }
}

void TSearchFooter::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TSearchFooter::SetText(QString& field, const QString& v)
{
    field = v;
    Changed();
}

void TSearchFooter::SetSwitch(bool& field, bool v)
{
    if (field == v)
        return;
    field = v;
    Changed();
}

void TSearchFooter::SetVisible(bool v) { SetSwitch(FVisible, v); }
void TSearchFooter::SetColor(TColor v)
{
    FColor = v;
    Changed();
}
void TSearchFooter::SetColorTo(TColor v)
{
    FColorTo = v;
    Changed();
}
void TSearchFooter::SetFont(const TFont& v)
{
    FFont.Assign(v);
    Changed();
}
void TSearchFooter::SetFindNextCaption(const QString& v) { SetText(FFindNextCaption, v); }
void TSearchFooter::SetFindPrevCaption(const QString& v) { SetText(FFindPrevCaption, v); }
void TSearchFooter::SetMatchCaseCaption(const QString& v) { SetText(FMatchCaseCaption, v); }
void TSearchFooter::SetHighLightCaption(const QString& v) { SetText(FHighLightCaption, v); }
void TSearchFooter::SetHintClose(const QString& v) { SetText(FHintClose, v); }
void TSearchFooter::SetHintFindNext(const QString& v) { SetText(FHintFindNext, v); }
void TSearchFooter::SetHintFindPrev(const QString& v) { SetText(FHintFindPrev, v); }
void TSearchFooter::SetHintHighlight(const QString& v) { SetText(FHintHighlight, v); }
void TSearchFooter::SetShowFindNext(bool v) { SetSwitch(FShowFindNext, v); }
void TSearchFooter::SetShowFindPrev(bool v) { SetSwitch(FShowFindPrev, v); }
void TSearchFooter::SetShowMatchCase(bool v) { SetSwitch(FShowMatchCase, v); }
void TSearchFooter::SetShowHighLight(bool v) { SetSwitch(FShowHighLight, v); }
void TSearchFooter::SetShowClose(bool v)
{
    FShowClose = v;
    Changed();
}
void TSearchFooter::SetAutoThemeAdapt(bool v)
{
    FAutoThemeAdapt = v;
    Changed();
}

void TSearchFooter::Assign(const TPersistent* Source)
{
    auto* s = dynamic_cast<const TSearchFooter*>(Source);
    if (!s)
        return;
    AlwaysHighLight = s->AlwaysHighLight;
    FColor = s->FColor;
    FColorTo = s->FColorTo;
    FFindNextCaption = s->FFindNextCaption;
    FFindPrevCaption = s->FFindPrevCaption;
    FMatchCaseCaption = s->FMatchCaseCaption;
    FHighLightCaption = s->FHighLightCaption;
    FHintClose = s->FHintClose;
    FHintFindNext = s->FHintFindNext;
    FHintFindPrev = s->FHintFindPrev;
    FHintHighlight = s->FHintHighlight;
    FShowFindNext = s->FShowFindNext;
    FShowFindPrev = s->FShowFindPrev;
    FShowMatchCase = s->FShowMatchCase;
    FShowHighLight = s->FShowHighLight;
    FShowClose = s->FShowClose;
    SearchActiveColumnOnly = s->SearchActiveColumnOnly;
    SearchMatchStart = s->SearchMatchStart;
    SearchColumn = s->SearchColumn;
    SearchDirection = s->SearchDirection;
    SearchHiddenRows = s->SearchHiddenRows;
    FVisible = s->FVisible;
    FFont.Assign(s->FFont);
}

// ---------------------------------------------------------------------------
// TNavigation
// ---------------------------------------------------------------------------

void TNavigation::SetAdvanceDirection(TAdvanceDirection v)
{
    if (FAdvanceDirection == v)
        return;
    FAdvanceDirection = v;
    if (OnChange)
        OnChange(this);
}

void TNavigation::SetAdvanceInsert(bool v)
{
    if (FAdvanceInsert == v)
        return;
    FAdvanceInsert = v;
    if (OnChange)
        OnChange(this);
}

void TNavigation::SetAdvanceAuto(bool v)
{
    if (FAdvanceAuto == v)
        return;
    FAdvanceAuto = v;
    if (v)
        AdvanceOnEnter = true;
}

void TNavigation::Assign(const TPersistent* Source)
{
    auto* s = dynamic_cast<const TNavigation*>(Source);
    if (!s)
        return;
    const bool keepScroll = KeepScrollOnSort;
    static_cast<TNavigationSwitches&>(*this) = static_cast<const TNavigationSwitches&>(*s);
    KeepScrollOnSort = keepScroll;
    FAdvanceDirection = s->FAdvanceDirection;
    FAdvanceInsert = s->FAdvanceInsert;
    FAdvanceAuto = s->FAdvanceAuto;
}

// ---------------------------------------------------------------------------
// TMouseActions
// ---------------------------------------------------------------------------

TMouseActions::TMouseActions(TPersistent* AOwner) : FOwner(AOwner) {}

bool TMouseActions::IsDesigning()
{
    bool designing = false;
    if (OnIsDesigning)
        OnIsDesigning(this, designing);
    return designing;
}

void TMouseActions::SetHotmailRowSelect(bool v)
{
    FHotmailRowSelect = v;
    if (v) {
        FDisjunctRowSelect = true;
        CheckAllCheck = true;
    }
    if (OnInvalidate)
        OnInvalidate(this);
}

void TMouseActions::SetEditOnDblClickOnly(bool v)
{
    FEditOnDblClickOnly = v;
    if (v && OnDisableEdit)
        OnDisableEdit(this);
}

void TMouseActions::SetDisjunctRowSelect(bool v)
{
    FDisjunctRowSelect = v;
    if (v && IsDesigning()) {
        FDisjunctColSelect = false;
        FDisjunctCellSelect = false;
    }
}

void TMouseActions::SetDisjunctColSelect(bool v)
{
    FDisjunctColSelect = v;
    if (v && IsDesigning()) {
        FDisjunctRowSelect = false;
        FDisjunctCellSelect = false;
    }
}

void TMouseActions::SetDisjunctCellSelect(bool v)
{
    FDisjunctCellSelect = v;
    if (v && IsDesigning()) {
        FDisjunctRowSelect = false;
        FDisjunctColSelect = false;
    }
}

void TMouseActions::SetWheelAction(TWheelAction v)
{
    if (FWheelAction == v)
        return;
    FWheelAction = v;
    if (OnChange)
        OnChange(this);
}

void TMouseActions::SetFixedComboValues(const TStrings* v) { FFixedComboValues.Assign(v); }

void TMouseActions::Assign(const TPersistent* Source)
{
    auto* s = dynamic_cast<const TMouseActions*>(Source);
    if (!s)
        return;
    const bool sizeFixedRow = SizeFixedRow;
    static_cast<TMouseActionSwitches&>(*this) = static_cast<const TMouseActionSwitches&>(*s);
    SizeFixedRow = sizeFixedRow;
    FDisjunctRowSelect = s->FDisjunctRowSelect;
    FDisjunctColSelect = s->FDisjunctColSelect;
    FDisjunctCellSelect = s->FDisjunctCellSelect;
    FWheelAction = s->FWheelAction;
}

// ---------------------------------------------------------------------------
// TSyncGrid, TBands, TFocusHelper
// ---------------------------------------------------------------------------

void TSyncGrid::SetGrid(TStringGrid* v)
{
    if (v && static_cast<TPersistent*>(v) == FOwner)
        return;
    FGrid = v;
}

void TSyncGrid::Assign(const TPersistent* Source)
{
    auto* s = dynamic_cast<const TSyncGrid*>(Source);
    if (!s)
        return;
    SetGrid(s->FGrid);
    ScrollVertical = s->ScrollVertical;
    ScrollHorizontal = s->ScrollHorizontal;
    SelectionRow = s->SelectionRow;
    SelectionColumn = s->SelectionColumn;
    MoveRow = s->MoveRow;
    MoveColumn = s->MoveColumn;
}

void TBands::ChangedWhileActive()
{
    if (FActive && OnChange)
        OnChange(this);
}

void TBands::SetActive(bool v)
{
    if (FActive == v)
        return;
    FActive = v;
    if (OnChange)
        OnChange(this);
}

void TBands::SetPrimaryColor(TColor v)
{
    if (FPrimaryColor == v)
        return;
    FPrimaryColor = v;
    ChangedWhileActive();
}

void TBands::SetSecondaryColor(TColor v)
{
    if (FSecondaryColor == v)
        return;
    FSecondaryColor = v;
    ChangedWhileActive();
}

void TBands::SetPrimaryLength(int v)
{
    if (FPrimaryLength == v)
        return;
    FPrimaryLength = v;
    FTotalLength = FPrimaryLength + FSecondaryLength;
    ChangedWhileActive();
}

void TBands::SetSecondaryLength(int v)
{
    if (FSecondaryLength == v)
        return;
    FSecondaryLength = v;
    FTotalLength = FPrimaryLength + FSecondaryLength;
    ChangedWhileActive();
}

void TBands::Assign(const TPersistent* Source)
{
    auto* s = dynamic_cast<const TBands*>(Source);
    if (!s)
        return;
    FActive = s->FActive;
    FPrimaryColor = s->FPrimaryColor;
    FPrimaryLength = s->FPrimaryLength;
    FSecondaryColor = s->FSecondaryColor;
    FSecondaryLength = s->FSecondaryLength;
    Print = s->Print;
    FTotalLength = FPrimaryLength + FSecondaryLength;
}

void TFocusHelper::Assign(const TPersistent* Source)
{
    if (auto* s = dynamic_cast<const TFocusHelper*>(Source))
        Enabled = s->Enabled;
}
