#pragma once
// The vocabulary of the string grid's editing: the settings objects and the
// event types of selection, in-place editing, validation and edit advance.
// Kept apart from ExGrid.h so the editors and the column grid can name them
// without the whole grid. The editor kinds (TEditorType) are in
// gridpack/basegrid/ExObj.h with the rest of the grid pack's enumerations.
#include "gridpack/basegrid/ExObj.h"
#include "platform/core/Objects.h"

#include <QString>
#include <bitset>
#include <functional>

// A set of the 256 single-byte characters.
using TCharSet = std::bitset<256>;

// Events; Sender is the grid (the editor for the clipboard events). A
// reference parameter is one the handler may change.
using TCellValidateEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value, bool& Valid)>;
using TCellValidateWideEvent = TCellValidateEvent;
using TEditCellDoneEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TRowChangingEvent = std::function<void(TObject* Sender, int OldRow, int NewRow, bool& Allow)>;
using TColChangingEvent = std::function<void(TObject* Sender, int OldCol, int NewCol, bool& Allow)>;
using TCellChangingEvent =
    std::function<void(TObject* Sender, int OldRow, int OldCol, int NewRow, int NewCol, bool& Allow)>;
using TAutoAdvanceEvent =
    std::function<void(TObject* Sender, int OldRow, int OldCol, int& NewRow, int& NewCol, bool& Allow)>;
using TEditChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, const QString& Value)>;
using TClipboardEvent = std::function<void(TObject* Sender, bool& Allow)>;
using TClipboardCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value, bool& Allow)>;
using TClipboardAfterPasteCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, const QString& Value)>;
// AEditLink is the custom editor of the cell, or nullptr.
using TGetEditorPropEvent = std::function<void(TObject* Sender, int ACol, int ARow, TObject* AEditLink)>;
using TGetEditorPropIntEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TScrollCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, int ScrollPosition, int ScrollMin,
                                            int ScrollMax)>;
using TCanShowFixedDropDownEvent = std::function<void(TObject* Sender, int ACol, bool& CanShow)>;
using TPrintPageNumEvent =
    std::function<void(TObject* Sender, int PageNum, int PageColNum, QString& PageNumString)>;
using TRadioClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AIdx)>;
using TComboChangeEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, int AItemIndex, const QString& ASelection)>;
using TComboObjectChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AItemIndex,
                                                   const QString& ASelection, TObject* AObject)>;

// The cursor the mouse picked over the grid: column, row or all selection,
// a link, or sizing.
enum TMouseSelectMode { msNormal, msColumn, msRow, msAll, msURL, msResize };

// A press on a cell may be refused before the grid acts on it.
using TCanClickCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)>;
using TRadioMouseUpEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AIdx)>;
// The CONTROL tags of a cell's mark-up.
using TControlEvent = std::function<void(TObject* Sender, int ARow, int ACol, const QString& CtrlID,
                                         const QString& CtrlType, const QString& CtrlVal)>;
using TControlComboListEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, const QString& CtrlID, const QString& CtrlType,
                       const QString& CtrlVal, TStringList* Values, bool& Edit, int& DropCount)>;
using TControlComboSelectEvent = std::function<void(TObject* Sender, int ARow, int ACol, int ItemIndex,
                                                    const QString& CtrlID, const QString& CtrlValue)>;

// Sets a flag for the lifetime of the guard and puts its value back after,
// also when an exception leaves the scope.
struct TRestoreBool {
    bool& Flag;
    bool Saved;
    TRestoreBool(bool& f, bool v) : Flag(f), Saved(f) { Flag = v; }
    ~TRestoreBool() { Flag = Saved; }
};

