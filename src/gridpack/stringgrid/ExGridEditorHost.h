#pragma once
// What an in-cell editor built outside the grid's unit uses of its grid.
// The drop-down unit and the grid unit share several names, so editors of
// the drop-down unit reach the grid only through TGridHost (defined in
// ExGridEditorHost.cpp, inside the grid's unit), and the grid reaches them
// only through the factory registered for their editor kind.
#include "gridpack/basegrid/ExStyleIF.h"
#include "gridpack/stringgrid/ExGridAppearance.h"
#include "platform/controls/Controls.h"
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"

class TExStringGrid;
class TImageList;

// A checked conversion to a class the object is not of (an in-cell editor
// whose owner is no grid).
KAL_DECLARE_EXCEPTION(EInvalidCast, Exception)

// The editor kinds (values of TEditorType) that factories serve; the grid
// unit checks them against its enumeration.
namespace GridEditorKind {
enum : int {
    DateTimeEdit = 28, TrackbarDropDown = 30, MemoDropDown = 31, CalculatorDropDown = 32, TimePickerDropDown = 33,
    DetailDropDown = 34, GridDropDown = 35, ColorPickerDropDown = 36, ImagePickerDropDown = 37, ExGridDropDown = 38,
    Count = 43
};
}

// How the grid makes, opens and closes the control of an editor kind its own
// code does not carry. Create makes the control with the grid as owner and
// parent, hidden; Open lays Editor over R (display cell ACol, real column
// RCol) and loads the cell; Close writes its value into (RCol, ARow) and
// hides it (Editor is nullptr when it was never made).
struct TGridKindEditorFactory {
    TWinControl* (*Create)(TExStringGrid* Grid) = nullptr;
    void (*Open)(TExStringGrid* Grid, TWinControl* Editor, const TRect& R, int RCol, int ARow, int ACol) = nullptr;
    void (*Close)(TExStringGrid* Grid, TWinControl* Editor, int RCol, int ARow) = nullptr;
};
void RegisterGridKindEditor(int Kind, const TGridKindEditorFactory& F);
// nullptr when no factory is registered for Kind.
const TGridKindEditorFactory* GridKindEditor(int Kind);

// Defined by the drop-down unit (ExGridDropDownEditors.cpp): registers the
// factories of its editor kinds, and the wrapper class of that name for form
// streams (false when the name is none of its classes).
void RegisterGridDropDownEditors();
bool RegisterGridDropDownClass(const QString& Name);

class TGridHost {
public:
    // The grid that owns an editor; nullptr when the owner is no grid.
    static TExStringGrid* AsGrid(TComponent* Owner);
    static TWinControl* Control(TExStringGrid* G);
    // The control of a factory kind, made on first use.
    static TWinControl* KindEditor(TExStringGrid* G, int Kind);

    // -- the cell edit
    static QString CurrentCell(TExStringGrid* G);
    static void SetCurrentCell(TExStringGrid* G, const QString& S);
    static bool ValidateCell(TExStringGrid* G, const QString& S);
    static QString NewCellText(TExStringGrid* G);
    static void SetNoAutoAdvance(TExStringGrid* G);
    static bool HasCellValidation(TExStringGrid* G);
    static void HideInplaceEdit(TExStringGrid* G);
    static void ShowInplaceEdit(TExStringGrid* G);
    static void DoneInplaceEdit(TExStringGrid* G, unsigned Key, TShiftState Shift);
    static void MoveFromEditor(TExStringGrid* G, bool Backward);
    static bool TabsOption(TExStringGrid* G);
    static bool AdvanceOnEnter(TExStringGrid* G);
    static bool AdvanceAutoEdit(TExStringGrid* G);
    // The advance of Enter in the grid from the current cell.
    static void AdvanceAfterEnter(TExStringGrid* G);
    static void FocusGrid(TExStringGrid* G);
    static void PostTab(TExStringGrid* G);
    // The character of the key (Enter, Tab, Esc) that closed the editor: the
    // grid does not act on it a second time when it arrives there.
    static void ClosedByKey(TExStringGrid* G, unsigned Key);
    static int Col(TExStringGrid* G);
    static int Row(TExStringGrid* G);
    static bool LButFlg(TExStringGrid* G);
    static void ClearLButFlg(TExStringGrid* G);
    static void FireKeyPress(TExStringGrid* G, TObject* Sender, QChar& Key);
    static void FireEditChange(TExStringGrid* G, const QString& Value);
    static void SetEditText(TExStringGrid* G, const QString& Value);
    static TDateTime OriginalDateTime(TExStringGrid* G);
    static void SetOriginalDateTime(TExStringGrid* G, TDateTime D);

    // -- opening and closing
    static bool EditMode(TExStringGrid* G);
    static void SetEditMode(TExStringGrid* G, bool V);
    static QString EditText(TExStringGrid* G, int ACol, int ARow);
    static void StoreValue(TExStringGrid* G, int RCol, int ARow, const QString& V);
    static TColor CellColor(TExStringGrid* G, int RCol, int ARow);
    static QChar StartChar(TExStringGrid* G);
    static void SetEditCtrl(TExStringGrid* G, TWinControl* C);
    static void GetEditorProp(TExStringGrid* G, int RCol, int ARow);
    static const THeaderAppearance* DropDownHeader(TExStringGrid* G);
    static const TFooterAppearance* DropDownFooter(TExStringGrid* G);
    static TQORStyle ComponentStyle(TExStringGrid* G);
    static bool DirectComboDrop(TExStringGrid* G);
    static bool ComCtl6(TExStringGrid* G);

    // -- cell values the colour and image pickers edit
    static bool IsShapeCell(TExStringGrid* G, int RCol, int ARow);
    static TColor ShapeColor(TExStringGrid* G, int RCol, int ARow);
    static void SetShapeColor(TExStringGrid* G, int RCol, int ARow, TColor C);
    static TColor BackColor(TExStringGrid* G, int RCol, int ARow);
    static void SetBackColor(TExStringGrid* G, int RCol, int ARow, TColor C);
    // 1: an image-list cell, 2: a data-image cell, 0: neither.
    static int ImageCellKind(TExStringGrid* G, int RCol, int ARow);
    static int ImageListIndex(TExStringGrid* G, int RCol, int ARow);
    static void SetImageListIndex(TExStringGrid* G, int RCol, int ARow, int Index);
    static TImageList* GridImages(TExStringGrid* G);

    // -- the grid's events and hooks
    static void ColorSelect(TExStringGrid* G, TColor C, const QString& Value);
    static void ImageSelect(TExStringGrid* G, int Index);
    static void ColorSelected(TExStringGrid* G, int RCol, int ARow, TColor& C, QString& Value);
    static void ImageSelected(TExStringGrid* G, int RCol, int ARow, int& Index);
    static void DropDownHeaderButtonClick(TExStringGrid* G, int Index);
    static void DropDownFooterButtonClick(TExStringGrid* G, int Index);
    static void DateTimeChange(TExStringGrid* G, TObject* Sender, TDateTime D);
    static void DatePickerCloseUp(TExStringGrid* G, TObject* Sender);
};
