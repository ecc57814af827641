// Row appending for the edit advance.
#include "gridpack/stringgrid/ExGrid.h"

void TExStringGrid::AddRow() { SetRowCount(RowCount() + 1); }
