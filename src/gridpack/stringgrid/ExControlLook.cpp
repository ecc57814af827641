#include "gridpack/stringgrid/ExControlLook.h"

#include "gridpack/stringgrid/ExGrid.h"

TControlLook::TControlLook(TExStringGrid* AGrid)
    : FGrid(AGrid), FCheckedGlyph(new TBitmap()), FUnCheckedGlyph(new TBitmap()), FRadioOnGlyph(new TBitmap()),
      FRadioOffGlyph(new TBitmap())
{
    Init();
    TPersistent* owner = AGrid;
    FDropDownHeader = new THeaderAppearance(owner);
    FDropDownFooter = new TFooterAppearance(owner);
}

TControlLook::~TControlLook()
{
    delete FDropDownFooter;
    delete FDropDownHeader;
    delete FCheckedGlyph;
    delete FUnCheckedGlyph;
    delete FRadioOnGlyph;
    delete FRadioOffGlyph;
}

void TControlLook::Init()
{
    FColor = 0;
    FCommentColor = 0xFF;
    ProgressBorderColor = clGray;
    FFixedGradientFrom = clNone;
    FFixedGradientTo = clNone;
    FFixedGradientMirrorFrom = clNone;
    FFixedGradientMirrorTo = clNone;
    // The hover and down pairs are stored without reaching the grid; their
    // mirror colours go through the setters, so the grid's become none too.
    FFixedGradientHoverTo = clWhite;
    FFixedGradientHoverFrom = clGray;
    SetFixedGradientHoverMirrorFrom(clNone);
    SetFixedGradientHoverMirrorTo(clNone);
    SetFixedGradientHoverBorder(clSilver);
    FFixedGradientDownTo = clSilver;
    FFixedGradientDownFrom = clGray;
    SetFixedGradientDownMirrorFrom(clNone);
    SetFixedGradientDownMirrorTo(clNone);
    SetFixedGradientDownBorder(clGray);
}

void TControlLook::Assign(const TPersistent* Source)
{
    const auto* s = dynamic_cast<const TControlLook*>(Source);
    if (!s)
        return;
    FCheckSize = s->FCheckSize;
    FRadioSize = s->FRadioSize;
    FControlStyle = s->FControlStyle;
    FCheckedGlyph->Assign(s->FCheckedGlyph);
    FUnCheckedGlyph->Assign(s->FUnCheckedGlyph);
    FRadioOnGlyph->Assign(s->FRadioOnGlyph);
    FRadioOffGlyph->Assign(s->FRadioOffGlyph);
    FProgressMarginX = s->FProgressMarginX;
    FProgressMarginY = s->FProgressMarginY;
    FCommentColor = s->FCommentColor;
    FColor = s->FColor;
    ProgressBorderColor = s->ProgressBorderColor;
    CheckAlwaysActive = s->CheckAlwaysActive;
    RadioAlwaysActive = s->RadioAlwaysActive;
    FFixedGradientFrom = s->FFixedGradientFrom;
    FFixedGradientTo = s->FFixedGradientTo;
    FFixedGradientMirrorFrom = s->FFixedGradientMirrorFrom;
    FFixedGradientMirrorTo = s->FFixedGradientMirrorTo;
    FFixedGradientHoverFrom = s->FFixedGradientHoverFrom;
    FFixedGradientHoverTo = s->FFixedGradientHoverTo;
    FFixedGradientHoverMirrorFrom = s->FFixedGradientHoverMirrorFrom;
    FFixedGradientHoverMirrorTo = s->FFixedGradientHoverMirrorTo;
    FFixedGradientHoverBorder = s->FFixedGradientHoverBorder;
    FFixedGradientDownFrom = s->FFixedGradientDownFrom;
    FFixedGradientDownTo = s->FFixedGradientDownTo;
    FFixedGradientDownMirrorFrom = s->FFixedGradientDownMirrorFrom;
    FFixedGradientDownMirrorTo = s->FFixedGradientDownMirrorTo;
    FFixedGradientDownBorder = s->FFixedGradientDownBorder;
    FDropDownAlwaysVisible = s->FDropDownAlwaysVisible;
    FSpinButtonsAlwaysVisible = s->FSpinButtonsAlwaysVisible;
    DropDownCount = s->DropDownCount;
    FDropDownFooter->Assign(s->FDropDownFooter);
    FDropDownHeader->Assign(s->FDropDownHeader);
    HintMaxWidth = s->HintMaxWidth;
}

void TControlLook::Repaint()
{
    if (FGrid)
        FGrid->Invalidate();
}

template <class T>
void TControlLook::StoreAndRepaint(T& field, T v)
{
    field = v;
    Repaint();
}

void TControlLook::SetColor(TColor v) { StoreAndRepaint(FColor, v); }
void TControlLook::SetCommentColor(TColor v) { StoreAndRepaint(FCommentColor, v); }

void TControlLook::SetCheckedGlyph(const TBitmap* v)
{
    FCheckedGlyph->Assign(v);
    Repaint();
}

void TControlLook::SetUnCheckedGlyph(const TBitmap* v)
{
    FUnCheckedGlyph->Assign(v);
    Repaint();
}

void TControlLook::SetRadioOnGlyph(const TBitmap* v)
{
    FRadioOnGlyph->Assign(v);
    Repaint();
}

void TControlLook::SetRadioOffGlyph(const TBitmap* v)
{
    FRadioOffGlyph->Assign(v);
    Repaint();
}

// --- fixed-cell gradients: the value is handed on to the grid's own field

void TControlLook::SetFixedGradientFrom(TColor v)
{
    FFixedGradientFrom = v;
    if (FGrid && v != clNone)
        FGrid->SetQORGradientFrom(v);
}

void TControlLook::SetFixedGradientTo(TColor v)
{
    FFixedGradientTo = v;
    if (FGrid && v != clNone)
        FGrid->SetQORGradientTo(v);
}

void TControlLook::SetFixedGradientMirrorFrom(TColor v)
{
    FFixedGradientMirrorFrom = v;
    if (FGrid)
        FGrid->SetQORGradientMirrorFrom(v);
}

void TControlLook::SetFixedGradientMirrorTo(TColor v)
{
    FFixedGradientMirrorTo = v;
    if (FGrid)
        FGrid->SetQORGradientMirrorTo(v);
}

void TControlLook::SetFixedGradientHoverFrom(TColor v)
{
    FFixedGradientHoverFrom = v;
    if (FGrid && v != clNone)
        FGrid->QORGradientHoverFrom = v;
}

void TControlLook::SetFixedGradientHoverTo(TColor v)
{
    FFixedGradientHoverTo = v;
    if (FGrid && v != clNone)
        FGrid->QORGradientHoverTo = v;
}

void TControlLook::SetFixedGradientHoverMirrorFrom(TColor v)
{
    FFixedGradientHoverMirrorFrom = v;
    if (FGrid)
        FGrid->QORGradientHoverMirrorFrom = v;
}

void TControlLook::SetFixedGradientHoverMirrorTo(TColor v)
{
    FFixedGradientHoverMirrorTo = v;
    if (FGrid)
        FGrid->QORGradientHoverMirrorTo = v;
}

void TControlLook::SetFixedGradientHoverBorder(TColor v)
{
    FFixedGradientHoverBorder = v;
    if (FGrid && v != clNone)
        FGrid->QORGradientHoverBorder = v;
}

void TControlLook::SetFixedGradientDownFrom(TColor v)
{
    FFixedGradientDownFrom = v;
    if (FGrid && v != clNone)
        FGrid->QORGradientDownFrom = v;
}

void TControlLook::SetFixedGradientDownTo(TColor v)
{
    FFixedGradientDownTo = v;
    if (FGrid && v != clNone)
        FGrid->QORGradientDownTo = v;
}

void TControlLook::SetFixedGradientDownMirrorFrom(TColor v)
{
    FFixedGradientDownMirrorFrom = v;
    if (FGrid)
        FGrid->QORGradientDownMirrorFrom = v;
}

void TControlLook::SetFixedGradientDownMirrorTo(TColor v)
{
    FFixedGradientDownMirrorTo = v;
    if (FGrid)
        FGrid->QORGradientDownMirrorTo = v;
}

void TControlLook::SetFixedGradientDownBorder(TColor v)
{
    FFixedGradientDownBorder = v;
    if (FGrid && v != clNone)
        FGrid->QORGradientDownBorder = v;
}

// --- look of the in-cell controls

void TControlLook::SetCheckSize(int v) { StoreAndRepaint(FCheckSize, v); }
void TControlLook::SetRadioSize(int v) { StoreAndRepaint(FRadioSize, v); }
void TControlLook::SetControlStyle(TControlStyle v) { StoreAndRepaint(FControlStyle, v); }
void TControlLook::SetDropDownAlwaysVisible(bool v) { StoreAndRepaint(FDropDownAlwaysVisible, v); }
void TControlLook::SetSpinButtonsAlwaysVisible(bool v) { StoreAndRepaint(FSpinButtonsAlwaysVisible, v); }
void TControlLook::SetFlatButton(bool v) { StoreAndRepaint(FFlatButton, v); }
void TControlLook::SetNoDisabledCheckRadioLook(bool v) { StoreAndRepaint(FNoDisabledCheckRadioLook, v); }
void TControlLook::SetNoDisabledButtonLook(bool v) { StoreAndRepaint(FNoDisabledButtonLook, v); }
void TControlLook::SetProgressMarginX(int v) { StoreAndRepaint(FProgressMarginX, v); }
void TControlLook::SetProgressMarginY(int v) { StoreAndRepaint(FProgressMarginY, v); }
void TControlLook::SetProgressXP(bool v) { StoreAndRepaint(FProgressXP, v); }
