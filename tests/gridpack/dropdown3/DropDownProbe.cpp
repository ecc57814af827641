#include "DropDownProbe.h"

#include "gridpack/dropdown/ExGridDropDownEditors.h"

namespace {
TExCustomDropDown* DD(TWinControl* Ed) { return dynamic_cast<TExCustomDropDown*>(Ed); }
} // namespace

QString ProbeText(TWinControl* Ed) { return DD(Ed)->Text(); }
bool ProbeDroppedDown(TWinControl* Ed) { return DD(Ed)->DroppedDown(); }
void ProbeDropDown(TWinControl* Ed) { DD(Ed)->ShowDropDown(); }
int ProbeCalcPending(TWinControl* Ed) { return dynamic_cast<TExCalculatorDropdown*>(Ed)->PendingOperation(); }
QString ProbeMemoLine(TWinControl* Ed, int Line)
{
    TStringList* l = dynamic_cast<TExMemoDropDown*>(Ed)->MemoText();
    return Line < l->Count() ? l->Strings(Line) : QString();
}
