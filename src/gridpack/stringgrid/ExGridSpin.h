#pragma once
// The grid's spin editor of the edSpinEdit, edFloatSpinEdit, edTimeSpinEdit
// and edDateSpinEdit cells (ExGridSpin.cpp).
#include "gridpack/stringgrid/sgspin.h"

class TExStringGrid;

class TGridSpin : public TSgSpinEdit {
    KAL_CLASS(TGridSpin, TSgSpinEdit)
public:
    explicit TGridSpin(TComponent* AOwner);
    TExStringGrid* Grid() const { return FGrid; }
    // Set while Escape closes the editor: the cell is left as it was.
    bool Cancelled = false;

protected:
    // After the step, OnSpinClick, OnFloatSpinClick, OnDateSpinClick or
    // OnTimeSpinClick of the grid by the spin type.
    void UpButtonClick(TObject* Sender) override;
    void DownButtonClick(TObject* Sender) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void Change() override;
    // Enter and Escape belong to the editor, not to the form's dialog keys.
    void CMWantSpecialKey(TMessage& M) override;

private:
    void SpinClicked(bool Up);
    TExStringGrid* FGrid;
};
