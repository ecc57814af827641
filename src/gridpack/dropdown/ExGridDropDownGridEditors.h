#pragma once
// The string grid's in-cell editors over the multi-column drop-down
// (edGridDropDown) and the grid drop-down (edExGridDropDown), on the shared
// wrapper of ExGridDropDownEditors.h. Both take their keys and typed
// characters through their drop-down's own handling.
#include "gridpack/dropdown/ExGridDropDown.h"
#include "gridpack/dropdown/ExGridDropDownEditors.h"
#include "gridpack/dropdown/ExMultiColumnDropDown.h"

class TGridGridDropDown : public TGridDropDownEditor<TExMultiColumnDropDown> {
    KAL_CLASS(TGridGridDropDown, TGridDropDownEditor<TExMultiColumnDropDown>)
public:
    explicit TGridGridDropDown(TComponent* AOwner);
};

class TGridExGridDropDown : public TGridDropDownEditor<TCustomExGridDropDown> {
    KAL_CLASS(TGridExGridDropDown, TGridDropDownEditor<TCustomExGridDropDown>)
public:
    explicit TGridExGridDropDown(TComponent* AOwner);
    // The popup grid (the owning grid is CellGrid).
    TExStringGrid* Grid() const { return GetGrid(); }
    TExStringGrid* CellGrid() const { return FGrid; }
};

// Registers the two editor kinds' factories; and the wrapper class of that
// name for form streams (false when the name is neither).
void RegisterGridGridDropDownEditors();
bool RegisterGridGridDropDownClass(const QString& Name);
