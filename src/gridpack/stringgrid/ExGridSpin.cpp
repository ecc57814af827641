// The grid's spin editor: made on first use, opened over the cell holding
// the cell's value in the column's kind, and written back through the typed
// cell setters when it closes.
#include "gridpack/stringgrid/ExGridSpin.h"

#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/core/FloatConv.h"
#include "platform/core/IntConv.h"

TGridSpin::TGridSpin(TComponent *AOwner) : TSgSpinEdit(AOwner) {
  FGrid = dynamic_cast<TExStringGrid *>(AOwner);
  if (!FGrid)
    throw EInvalidGridOperation(
        QStringLiteral("Grid editor must be owned by a grid"));
}

void TGridSpin::SpinClicked(bool Up) {
  TExStringGrid *g = FGrid;
  const int c = g->Col(), r = g->Row();
  switch (SpinType()) {
  case sptNormal:
    if (g->OnSpinClick)
      g->OnSpinClick(g, c, r, Value(), Up);
    break;
  case sptFloat:
    if (g->OnFloatSpinClick)
      g->OnFloatSpinClick(g, c, r, FloatValue(), Up);
    break;
  case sptDate:
    if (g->OnDateSpinClick)
      g->OnDateSpinClick(g, c, r, DateValue(), Up);
    break;
  case sptTime:
    if (g->OnTimeSpinClick)
      g->OnTimeSpinClick(g, c, r, TimeValue(), Up);
    break;
  }
}

void TGridSpin::UpButtonClick(TObject *Sender) {
  TSgSpinEdit::UpButtonClick(Sender);
  SpinClicked(true);
}

void TGridSpin::DownButtonClick(TObject *Sender) {
  TSgSpinEdit::DownButtonClick(Sender);
  SpinClicked(false);
}

void TGridSpin::Change() {
  TSgSpinEdit::Change();
  TExStringGrid *g = FGrid;
  if (g->OnEditChange && Visible())
    g->OnEditChange(g, g->Col(), g->Row(), Text());
}

void TGridSpin::KeyDown(unsigned &Key, TShiftState Shift) {
  TExStringGrid *g = FGrid;
  // The value keys of the number types.
  if ((Key == VK_END || Key == VK_HOME) &&
      (SpinType() == sptNormal || SpinType() == sptFloat)) {
    const bool home = Key == VK_HOME;
    if (SpinType() == sptNormal)
      SetValue(home ? MaxValue : MinValue);
    else
      SetFloatValue(home ? MaxFloatValue : MinFloatValue);
    if (g->OnSpinClick)
      g->OnSpinClick(g, g->Col(), g->Row(), Value(), home);
  }
  if (Key == VK_ESCAPE) {
    // The cell keeps the text it had: closing writes nothing back.
    g->FCharOfClosedEditor = QChar(27);
    Cancelled = true;
    g->HideInplaceEdit();
    Cancelled = false;
    if (g->CanFocus())
      g->SetFocus();
    Key = 0;
    return;
  }
  const bool tab = Key == VK_TAB && (g->Options() & goTabs);
  if ((Key == VK_RETURN && !ReturnIsTab) || tab) {
    // Commit and validate.
    g->SetCurrentCell(Text());
    if (!g->ValidateCell(g->GetCurrentCell())) {
      SetText(g->GetCurrentCell());
      SetSelStart(int(Text().size()));
      Invalidate();
      g->FNoAutoAdvance = true;
      Key = 0;
      return;
    }
    SetText(g->GetCurrentCell());
    if (tab) {
      g->HideInplaceEdit();
      if (g->CanFocus())
        g->SetFocus();
      g->MoveFromEditor(Shift & ssShift);
      Key = 0;
      return;
    }
    // The Enter character that follows reaches the grid, which skips it.
    g->FCharOfClosedEditor = QChar(13);
    const unsigned k = Key;
    g->DoneInplaceEdit(k, Shift);
    if (g->Navigation()->AdvanceOnEnter && g->Navigation()->AdvanceAutoEdit)
      g->ShowInplaceEdit();
    Key = 0;
    return;
  }
  TSgSpinEdit::KeyDown(Key, Shift);
}

void TGridSpin::CMWantSpecialKey(TMessage &M) {
  TSgSpinEdit::CMWantSpecialKey(M);
  if (M.WParam == VK_RETURN || M.WParam == VK_ESCAPE ||
      (M.WParam == VK_TAB && (FGrid->Options() & goTabs)))
    M.Result = 1;
}

TGridSpin *TExStringGrid::SpinEdit() {
  if (!FEditSpin) {
    FEditSpin = new TGridSpin(this);
    FEditSpin->SetVisible(false);
    FEditSpin->SetEnabled(false);
    FEditSpin->SetBorderStyle(bsNone);
    FEditSpin->SetParent(this);
    FEditSpin->SetIsWinXP(FIsWinXP);
  }
  return FEditSpin;
}

void TExStringGrid::OpenSpinEditor(const TRect &R, int RCol, int ARow,
                                   int ACol) {
  TGridSpin *sp = SpinEdit();
  EditMode = true;
  sp->RecreateWnd();
  sp->SetBounds(R.Left, R.Top, R.Right - R.Left - 1, R.Bottom - R.Top - 1);
  sp->SetVisible(true);
  sp->SetEnabled(true);
  sp->SetColor(Color());
  sp->ExcelStyleDecimalSeparator = ExcelStyleDecimalSeparator;
  GetEditorProp(RCol, ARow, nullptr);
  const QString text = GetEditText(ACol, ARow);
  switch (EditControl) {
  case edSpinEdit: {
    int v = 0;
    // A text that is no integer opens at zero, as the conversion yields.
    if (!TryStrToInt(text.trimmed(), v))
      v = 0;
    sp->SetValue(v);
    sp->SetSpinType(sptNormal);
    break;
  }
  case edFloatSpinEdit: {
    double v = 0;
    if (!TryStrToFloat(NormalizeFloatText(text), v))
      v = 0;
    sp->SetFloatValue(v);
    sp->SetSpinType(sptFloat);
    break;
  }
  case edTimeSpinEdit:
    sp->SetText(text);
    sp->SetSpinType(sptTime);
    break;
  default: {
    TDateTime d;
    if (text.trimmed().isEmpty() || !TryStrToDate(text, d))
      d = Now();
    sp->SetDateValue(d);
    sp->SetSpinType(sptDate);
    break;
  }
  }
  if (sp->CanFocus())
    sp->SetFocus();
  if (!FStartEditChar.isNull())
    PostMessage(sp->Handle(), WM_CHAR, WPARAM(FStartEditChar.unicode()), 0);
  if (FSpinUpClick)
    sp->UpClick(false);
  if (FSpinDnClick)
    sp->DownClick(false);
  FSpinUpClick = FSpinDnClick = false;
  EditCtrl = sp;
}

void TExStringGrid::CloseSpinEditor(int RCol, int ARow) {
  TGridSpin *sp = FEditSpin;
  if (EditMode && sp) {
    EditMode = false;
    if (!sp->Cancelled) {
      if (sp->AllowEmptyValue && sp->Text().trimmed().isEmpty()) {
        SetCells(RCol, ARow, QString());
      } else {
        switch (EditControl) {
        case edSpinEdit:
          SetInts(RCol, ARow, sp->Value());
          break;
        case edFloatSpinEdit:
          SetFloats(RCol, ARow, sp->FloatValue());
          break;
        case edTimeSpinEdit:
          SetCells(RCol, ARow, sp->Text());
          break;
        default:
          SetDates(RCol, ARow, sp->DateValue());
          break;
        }
      }
    }
  }
  if (sp) {
    sp->SetVisible(false);
    sp->SetEnabled(false);
  }
}
