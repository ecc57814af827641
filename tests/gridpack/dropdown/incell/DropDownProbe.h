#pragma once
// What the grid tests read and do of a drop-down editor. The drop-down
// classes and the grid's headers share names, so only DropDownProbe.cpp
// sees the former.
#include <QString>

class TWinControl;

// The editor's value (the text without prefix and suffix).
QString ProbeText(TWinControl* Ed);
bool ProbeDroppedDown(TWinControl* Ed);
void ProbeDropDown(TWinControl* Ed);
void ProbeHideDropDown(TWinControl* Ed);
// The calculator's pending operation, -1 for none.
int ProbeCalcPending(TWinControl* Ed);
// The memo drop-down's first line.
QString ProbeMemoLine(TWinControl* Ed, int Line);

// The date-and-time editor.
double ProbePickerDateTime(TWinControl* Picker);
void ProbeSetPickerDateTime(TWinControl* Picker, double V);
void ProbeSetChecked(TWinControl* Picker, bool ShowCheckbox, bool Checked);
bool ProbePickerHasCompanion(TWinControl* Picker);
