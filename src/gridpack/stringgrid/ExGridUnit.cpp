// The grid unit's start-up and clean-up: the window-position hook that keeps
// a grid's focus window over its cell while windows move, the grid classes
// registered for form streams, and the names every grid shares.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExGridEditors.h"
#include "gridpack/stringgrid/ExGridSpin.h"
#include "gridpack/basegrid/ExGridWindows.h"
#include "platform/controls/Forms.h"
#include "platform/controls/WindowPosHook.h"
#include "platform/controls/StdCtrls.h"

namespace {
int gStartCount = 0;
int gHookId = 0;
int gRegistered = 0;

// The wrappers of the drop-down unit register through it.
void RegisterDropDownClass(const char* Name)
{
    if (RegisterGridDropDownClass(QLatin1String(Name)))
        ++gRegistered;
}

template <class T>
void RegisterGridClass()
{
    RegisterClass(T::StaticClassName(), [] { return static_cast<TObject*>(NewObject<T>(nullptr)); });
    ++gRegistered;
}
} // namespace

void WindowPosHookProc(TControl*)
{
    if (FocusTrackingGrid)
        FocusTrackingGrid->MoveFocusWindow();
}

void GridUnitStartup()
{
    if (gStartCount++ > 0)
        return;
    FocusTrackingGrid = nullptr;
    if (gHookId == 0)
        gHookId = AddWindowPosHook(WindowPosHookProc);
    // The classes a form stream may name, in the grid unit's order.
    try {
        RegisterGridClass<TExStringGrid>();
        RegisterGridClass<TDropList>();
        RegisterGridClass<TArrowWindow>();
        RegisterGridClass<TGridCombo>();
        RegisterGridClass<TGridSpin>();
        RegisterGridClass<TGridTransEdit>();
        RegisterGridClass<TGridTransCombo>();
        RegisterGridClass<TGridCheckBox>();
        RegisterGridClass<TGridEditBtn>();
        RegisterDropDownClass("TGridDateTimePicker");
        RegisterGridClass<TGridUnitEditBtn>();
        RegisterDropDownClass("TGridTrackbarDropDown");
        RegisterDropDownClass("TGridMemoDropDown");
        RegisterDropDownClass("TGridCalculatorDropDown");
        RegisterDropDownClass("TGridTimepickerDropDown");
        RegisterDropDownClass("TGridDetailPickerDropDown");
        RegisterDropDownClass("TGridGridDropDown");
        RegisterDropDownClass("TGridColorDropDown");
        RegisterDropDownClass("TGridImageDropDown");
        RegisterGridClass<TGridButton>();
        RegisterGridClass<TGridDatePicker>();
        RegisterGridClass<THeaderDragButton>();
        RegisterGridClass<TControlEdit>();
        RegisterGridClass<TControlCombo>();
        RegisterGridClass<TScrollBar>();
        RegisterGridClass<TExRichEdit>();
        RegisterGridClass<TFooterPanel>();
        RegisterGridClass<TSearchPanel>();
    } catch (...) {
        // A failed registration ends the list; the grid works without it.
    }
    // The editors of the drop-down kinds and of edDateTimeEdit.
    RegisterGridDropDownEditors();
    (void)ComCtl32Above469();
    (void)GridCellsClipboardFormat();
    (void)GridEditDoneMsg();
    (void)GridDTPShiftFocusMsg();
}

void GridUnitCleanup()
{
    if (gStartCount == 0 || --gStartCount > 0)
        return;
    if (gHookId != 0)
        RemoveWindowPosHook(gHookId);
    gHookId = 0;
    HintFontName.clear();
}

bool GridUnitHookInstalled() { return gHookId != 0; }
int GridUnitRegistrations() { return gRegistered; }

void MakeWindowTransparent(TWinControl* Window)
{
    // The transparent extended style: the mouse passes to what lies below.
    if (auto* f = dynamic_cast<TCustomForm*>(Window))
        f->SetClickThrough(true);
}
