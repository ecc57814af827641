#pragma once
// The two panels docked to the bottom of a string grid: the footer panel,
// which draws the floating footer row aligned with the grid's columns, and
// the search panel with its edit, find buttons, highlight toggle, close
// button and match-case box. Included by ExGridOwned.h; the panels' work is
// in ExGridFooter.cpp and ExGridSearchPanel.cpp.
#include "gridpack/basegrid/ExGridButton.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"

class TExStringGrid;

// Draws the floating footer in its four styles, reports clicks on it to the
// grid as clicks on the footer row and asks the grid for a hint per column.
class TFooterPanel : public TCustomPanel {
    KAL_CLASS(TFooterPanel, TCustomPanel)
public:
    explicit TFooterPanel(TComponent* AOwner);
    TExStringGrid* Grid() const { return FGrid; }
    // The column under the mouse when a hint was last asked for; -1 none.
    int LastHintCol() const { return FLastHintCol; }
    // The column at client x (fixed columns first, then from LeftCol); -1
    // beyond the last column.
    int ColumnAt(int X) const;
    // Width of the fixed columns plus the columns from LeftCol to the last.
    int PaintedWidth() const;

protected:
    void CreateWnd() override;
    void Paint() override;
    void CMHintShow(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void PaintFixedLastRow();
    void PaintPreviewFrame(const TRect& R);
    TRect Mirror(const TRect& R) const;
    TExStringGrid* FGrid = nullptr;
    int FLastHintCol = -1;
};

// The search edit: Return finds forward, Ctrl+Return backward; neither
// puts a line break into the text.
class TRetEdit : public TEdit {
    KAL_CLASS(TRetEdit, TEdit)
public:
    explicit TRetEdit(TComponent* AOwner) : TEdit(AOwner) {}
    TNotifyEvent OnReturn;
    TNotifyEvent OnCtrlReturn;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WMKeyDown(TMessage& M) override;
    void WMChar(TMessage& M) override;
};

class TSearchPanel : public TPanel {
    KAL_CLASS(TSearchPanel, TPanel)
public:
    explicit TSearchPanel(TComponent* AOwner);
    TExStringGrid* Grid() const { return FGrid; }

    TRetEdit* EditControl() const { return FEdit; }
    TExGridButton* ExitButton() const { return FExit; }
    TExGridButton* ForwardButton() const { return FForward; }
    TExGridButton* BackwardButton() const { return FBackward; }
    TExGridButton* HiliteButton() const { return FHilite; }
    TExCheckBox* MatchCase() const { return FMatchCase; }

    TColor ColorTo = clNone;
    QString FindNextCaption, FindPrevCaption, MatchCaseCaption, HighLightCaption;
    QString HintFindNext, HintFindPrev, HintClose, HintHighlight;

    TNotifyEvent OnForwardClick;
    TNotifyEvent OnBackwardClick;
    TNotifyEvent OnEditChange;
    TNotifyEvent OnExitClick;
    TNotifyEvent OnHighlightClick;

    // Places the children (right-to-left reading mirrors each left edge).
    void LayoutChildren();

protected:
    void CreateWnd() override;
    void Paint() override;

private:
    void EditChanged(TObject* Sender);
    TExStringGrid* FGrid = nullptr;
    TRetEdit* FEdit = nullptr;
    TExGridButton *FExit = nullptr, *FForward = nullptr, *FBackward = nullptr, *FHilite = nullptr;
    TExCheckBox* FMatchCase = nullptr;
    bool FBuilt = false;
};

// Registers the search panel's button pictures ("SGARDOWN", "SGARDOWND",
// "SGARUP", "SGARUPD", "SGHI", "SGHID", "SGCLOSE", "SGCLOSEH", "SGCLOSED")
// once.
void RegisterSearchPanelGlyphs();

// The preview template with each "<#n>" replaced by column n's text in the
// row (a tag whose number does not parse is dropped).
QString FooterPreviewText(TExStringGrid* Grid, const QString& Template, int ARow);
