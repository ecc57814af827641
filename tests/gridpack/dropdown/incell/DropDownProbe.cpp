#include "DropDownProbe.h"

#include "gridpack/dropdown/ExGridDropDownEditors.h"

namespace {
TExCustomDropDown* DD(TWinControl* Ed) { return dynamic_cast<TExCustomDropDown*>(Ed); }
} // namespace

QString ProbeText(TWinControl* Ed) { return DD(Ed)->Text(); }
bool ProbeDroppedDown(TWinControl* Ed) { return DD(Ed)->DroppedDown(); }
void ProbeDropDown(TWinControl* Ed) { DD(Ed)->ShowDropDown(); }
void ProbeHideDropDown(TWinControl* Ed) { DD(Ed)->HideDropDown(true); }
int ProbeCalcPending(TWinControl* Ed) { return dynamic_cast<TExCalculatorDropdown*>(Ed)->PendingOperation(); }
QString ProbeMemoLine(TWinControl* Ed, int Line)
{
    TStringList* l = dynamic_cast<TExMemoDropDown*>(Ed)->MemoText();
    return Line < l->Count() ? l->Strings(Line) : QString();
}

double ProbePickerDateTime(TWinControl* Picker) { return dynamic_cast<TExDateTimePicker*>(Picker)->DateTime(); }
void ProbeSetPickerDateTime(TWinControl* Picker, double V) { dynamic_cast<TExDateTimePicker*>(Picker)->SetDateTime(V); }
void ProbeSetChecked(TWinControl* Picker, bool ShowCheckbox, bool Checked)
{
    auto* p = dynamic_cast<TExDateTimePicker*>(Picker);
    p->SetShowCheckbox(ShowCheckbox);
    p->SetChecked(Checked);
}
bool ProbePickerHasCompanion(TWinControl* Picker)
{
    return dynamic_cast<TExDateTimePicker*>(Picker)->TimePicker() != nullptr;
}
