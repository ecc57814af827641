// Row appending for the edit advance.
#include "gridpack/grid4/ExGrid.h"

void TExStringGrid::AddRow() { SetRowCount(RowCount() + 1); }
