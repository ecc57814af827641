#pragma once
// The checks of the general-parameters dialog, run before ParGen.xml is
// written.
#include "project/ParGen.h"

#include <QString>
#include <functional>

// Validation of the values before they are written, in the fixed order of the
// model's groups. Returns the text number of the first check that fails and
// puts its message (the text table's entry, "1438" appended where the message
// names that limit) into `message`; -1 when every check passes.
int ParGen_First_Error(const TParGenValues& values, QString* message = nullptr);
// The dialog's check: true when all checks pass, else shows the one message
// through `showError` and answers false.
bool Controllo_Dati(const TParGenValues& values, const std::function<void(const QString&)>& showError);
