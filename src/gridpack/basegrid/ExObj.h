#pragma once
// The grid pack's small containers and the shared vocabulary of its grids:
// the integer list that knows its cell and reports changes (image indexes of
// a multi-image cell), the sort-order list with its compact text form, the
// list of controls placed in cells, a picture taken from a file, a string
// list read and written line by line, and every enumeration and event type
// the string grid's properties and events use.
#include "platform/core/Lists.h"
#include "platform/core/StringList.h"
#include "platform/graphics/Graphics.h"
#include "platform/grids/Grids.h"

#include <QString>

#include <cstdint>
#include <functional>

class TControl;
class TCanvas;

// ---------------------------------------------------------------------------
// Enumerations
// ---------------------------------------------------------------------------

enum TEditorType {
    edNormal, edSpinEdit, edComboEdit, edComboList, edEditBtn, edCheckBox, edDateEdit, edDateEditUpDown,
    edTimeEdit, edButton, edDataCheckBox, edNumeric, edPositiveNumeric, edFloat, edCapital, edMixedCase,
    edPassword, edUnitEditBtn, edLowerCase, edUpperCase, edFloatSpinEdit, edTimeSpinEdit, edDateSpinEdit,
    edNumericEditBtn, edFloatEditBtn, edCustom, edRichEdit, edNone, edDateTimeEdit, edValidChars,
    edTrackbarDropDown, edMemoDropDown, edCalculatorDropDown, edTimePickerDropDown, edDetailDropDown,
    edGridDropDown, edColorPickerDropDown, edImagePickerDropDown, edExGridDropDown, edPositiveFloat,
    edNumericUnitEditBtn, edFloatUnitEditBtn, edMaskEditBtn
};

enum TCellBorder { cbTop, cbLeft, cbRight, cbBottom };
// A set of TCellBorder, one bit per value.
using TCellBorders = unsigned;
constexpr TCellBorders CellBorderBit(TCellBorder b) { return 1u << unsigned(b); }

enum TCellGradientDirection { GradientVertical, GradientHorizontal };

enum TSortStyle {
    ssAutomatic, ssAlphabetic, ssNumeric, ssDate, ssAlphaNoCase, ssAlphaCase, ssShortDateEU, ssShortDateUS,
    ssCustom, ssFinancial, ssAnsiAlphaCase, ssAnsiAlphaNoCase, ssRaw, ssHTML, ssImages, ssCheckBox,
    ssDateTime, ssTime, ssAlphaNumeric, ssAlphaNumericNoCase
};

#include "gridpack/basegrid/SharedGridEnums.h"

enum TVAlignment { vtaTop, vtaCenter, vtaBottom };
enum TArrowDirection { arrUp, arrDown, arrLeft, arrRight };
enum TSearchDirection { sdTopBottom, sdLeftRight };
enum THomeEndAction { heFirstLastColumn, heFirstLastRow, heFirstLastCell };
enum TClipboardPasteAction { paReplace, paInsert };
enum TAdvanceDirection { adLeftRight, adTopBottom, adLeftRightInRow, adTopBottomInCol };
enum TInsertPosition { pInsertBefore, pInsertAfter };
enum TCursorAdvance { caDefault, caSnake, caLoop };
enum TGridFixedCellEdit { fceNone, fceDblClick, fceLeftClick, fceRightClick };
enum TGridFixedCellEditor { fceEdit, fceComboEdit, fceComboList };
enum TWheelAction { waMoveSelection, waScroll };

// ---------------------------------------------------------------------------
// Event types: Sender first, then the parameters in the order the grids fire
// them. Several take the row before the column; a reference parameter is one
// the handler may change and the caller reads back.
// ---------------------------------------------------------------------------

using TGetDisplTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;
using TFloatFormatEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, bool& IsFloat, QString& FloatFormat)>;
using TOnResizeEvent = std::function<void(TObject* Sender)>;
using TColumnSizeEvent = std::function<void(TObject* Sender, int ACol, bool& Allow)>;
using TColumnSizingEvent = std::function<void(TObject* Sender, int ACol, int ColumnSize)>;
using TRowSizingEvent = std::function<void(TObject* Sender, int ARow, int RowSize)>;
using TRowSizeEvent = std::function<void(TObject* Sender, int ARow, bool& Allow)>;
using TEndColumnSizeEvent = std::function<void(TObject* Sender, int ACol)>;
using TUpdateColumnSizeEvent = std::function<void(TObject* Sender, int ACol, int& AWidth)>;
using TEndRowSizeEvent = std::function<void(TObject* Sender, int ARow)>;
using TClickCellEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TDblClickCellEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TCanEditCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& CanEdit)>;
using TScrollHintEvent = std::function<void(TObject* Sender, int ARow, QString& hintstr)>;
using TButtonClickEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TExpandClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool Expanded)>;
using TCheckBoxClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool State)>;
using TGetEditorTypeEvent = std::function<void(TObject* Sender, int ACol, int ARow, TEditorType& AEditor)>;
using TCustomCellDrawEvent = std::function<void(TObject* Sender, TCanvas* Canvas, int ACol, int ARow,
                                                TGridDrawState AState, const TRect& ARect, bool Printing)>;
using TAnchorClickEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, const QString& Anchor, bool& AutoHandle)>;
using TAnchorHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, QString& Anchor)>;
using TAnchorEvent = std::function<void(TObject* Sender, int ARow, int ACol, const QString& Anchor)>;
using TClickSortEvent = std::function<void(TObject* Sender, int ACol)>;
using TCanSortEvent = std::function<void(TObject* Sender, int ACol, bool& DoSort)>;
using TCustomCompareEvent =
    std::function<void(TObject* Sender, const QString& str1, const QString& str2, int& Res)>;
using TRawCompareEvent = std::function<void(TObject* Sender, int ACol, int Row1, int Row2, int& Res)>;
using TGridFormatEvent =
    std::function<void(TObject* Sender, int ACol, TSortStyle& AStyle, QString& aPrefix, QString& aSuffix)>;
using TGridColorEvent = std::function<void(TObject* Sender, int ARow, int ACol, TGridDrawState AState,
                                           TBrush* ABrush, TFont* AFont)>;
using TGridGradientEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, TColor& Color, TColor& ColorTo, TColor& ColorMirror,
                       TColor& ColorMirrorTo, TCellGradientDirection& GD)>;
using TGridBorderEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, TPen* APen, TCellBorders& Borders)>;
using TGridBorderPropEvent = std::function<void(TObject* Sender, int ARow, int ACol, TPen* LeftPen,
                                                TPen* TopPen, TPen* RightPen, TPen* BottomPen)>;
using TGridAlignEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, TAlignment& HAlign, TVAlignment& VAlign)>;
using TGridHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, QString& hintstr)>;
using TEllipsClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& S)>;
using TGridBalloonEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& ATitle,
                                             QString& AText, int& AIcon)>;
using TCanInsertRowEvent = std::function<void(TObject* Sender, int ARow, bool& CanInsert)>;
using TAutoInsertRowEvent = std::function<void(TObject* Sender, int ARow)>;
using TCanAddRowEvent = std::function<void(TObject* Sender, bool& CanAdd)>;
using TAutoAddRowEvent = std::function<void(TObject* Sender, int ARow)>;
using TCanDeleteRowEvent = std::function<void(TObject* Sender, int ARow, bool& CanDelete)>;
using TAutoDeleteRowEvent = std::function<void(TObject* Sender, int ARow)>;
using TAutoInsertColEvent = std::function<void(TObject* Sender, int ACol)>;
using TSearchEditChangeEvent = std::function<void(TObject* Sender, const QString& Value, bool& DefaultSearch)>;
using TSpinClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AValue, bool UpDown)>;
using TImageChangeEvent = std::function<void(TObject* Sender, int Acol, int Arow)>;
using TIsDesigningEvent = std::function<void(TObject* Sender, bool& IsDesigning)>;

// ---------------------------------------------------------------------------
// TIntList: 32-bit integers on the pointer list, tied to one cell
// ---------------------------------------------------------------------------

class TIntList : public TList {
    KAL_CLASS(TIntList, TList)
public:
    TIntList(int Col, int Row);

    // Add, Delete and the item writer fire OnChange; Insert and clearing do
    // not. Bad indexes raise the list's index error.
    int Add(int Value);
    void Delete(int Index);
    void Insert(int Index, int Value);
    // The first item equal to Value; nothing when there is none.
    void DeleteValue(int Value);
    bool HasValue(int Value) const;
    int GetInteger(int Index) const;
    void SetInteger(int Index, int Value);

    // The values in decimal joined by ","; empty for an empty list.
    QString StrValue() const;
    // Clears the list quietly, splits the text by the comma-text rules and
    // adds each piece (one OnChange each). A piece that is no integer raises
    // EConvertError; the pieces before it stay added.
    void SetStrValue(const QString& Value);

    int FCol = 0;
    int FRow = 0;
    TImageChangeEvent OnChange;

protected:
    void Changed();
};

// ---------------------------------------------------------------------------
// TSortIndexList: one item per sort column, priority order; bits 0..30 the
// column, bit 31 set for descending.
// ---------------------------------------------------------------------------

class TSortIndexList : public TIntList {
    KAL_CLASS(TSortIndexList, TIntList)
public:
    TSortIndexList() : TIntList(0, 0) {}
    void AddIndex(int ColumnIndex, bool Ascending);
    // The first item of the column (either direction), -1 when none.
    int FindIndex(int ColumnIndex) const;
    // Flips the direction of the column's first item; nothing when absent.
    void ToggleIndex(int ColumnIndex);
    int GetSortColumns(int i) const;
    void SetSortColumns(int i, int Value);
    // True for ascending.
    bool GetSortDirections(int i) const;
    void SetSortDirections(int i, bool Value);
    // "u2;d0": per item its direction letter and the low 16 bits of its
    // column; empty for an empty list.
    QString SaveToString() const;
    // Clears and reads that text back; pieces shorter than two characters
    // are skipped, "u" (lower case) is ascending and any other letter
    // descending.
    void LoadFromString(const QString& s);
};

// ---------------------------------------------------------------------------
// Controls placed in cells
// ---------------------------------------------------------------------------

class TControlItem : public TObject {
    KAL_CLASS(TControlItem, TObject)
public:
    TControlItem(int AX, int AY, TControl* AControl) : X(AX), Y(AY), Control(AControl) {}
    int X = 0;
    int Y = 0;
    TControl* Control = nullptr; // not owned
};

// Owns its items, never their controls.
class TControlList : public TList {
    KAL_CLASS(TControlList, TList)
public:
    ~TControlList() override;
    void AddControl(int X, int Y, TControl* AObject);
    int ControlIndex(int X, int Y) const;
    TControlItem* GetControl(int i) const;
    void RemoveControl(int i);
    // Asking a windowed control for its handle creates its window when it
    // has none, as the platform does.
    bool HasHandle(std::intptr_t Handle) const;
};

// ---------------------------------------------------------------------------
// TFilePicture: a picture kept as its file name
// ---------------------------------------------------------------------------

class TFilePicture : public TPersistent {
    KAL_CLASS(TFilePicture, TPersistent)
public:
    const QString& Filename() const { return FFilename; }
    // Stores the name and reads the picture's size from the file; a file
    // that is no picture raises the picture loading error.
    void SetFilename(const QString& Value);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Stretches the file's picture into r; nothing for an empty name.
    void DrawPicture(TCanvas* Canvas, const TRect& r) const;
    void Assign(const TPersistent* Source) override;

private:
    QString FFilename;
    int FWidth = 0;
    int FHeight = 0;
};

// ---------------------------------------------------------------------------
// TFileStringList: a string list read and written line by line
// ---------------------------------------------------------------------------

class TFileStringList : public TStringList {
    KAL_CLASS(TFileStringList, TStringList)
public:
    void Reset();
    bool Eof() const;
    // The line at the cursor, then the cursor moves on; past the last line
    // the list's index error is raised (test Eof first).
    void ReadLn(QString& s);
    void Write(const QString& s);
    void WriteLn(const QString& s);

    int fp = 0;
    QString cache;
};
