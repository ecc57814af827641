#pragma once
// The string grid's drop target and drop source, and the form that shows a
// dragged selection without ever taking the focus.
#include "gridpack/basegrid/sgdd.h"
#include "platform/controls/Forms.h"

class TExStringGrid;

class TGridDropTarget : public TSGDropTarget {
public:
    explicit TGridDropTarget(TExStringGrid* Grid) : FGrid(Grid) {}
    // The grid's accept switches are taken on every drag that enters.
    HRESULT DragEnter(IDataObject* data, std::uint32_t keyState, TPoint pt, std::uint32_t& effect) override;
    void DropText(TPoint pt, const QString& Text) override;
    void DropStream(TPoint pt, std::unique_ptr<TMemoryStream> Stream) override;
    void DropCol(TPoint pt, int Column) override;
    void DropRTF(TPoint pt, const QString& Text) override;
    void DropFiles(TPoint pt, const QStringList& Files) override;
    void DropURL(TPoint pt, const QString& Text) override;
    void DragMouseMove(TPoint pt, bool& Allow, TDropFormats Formats) override;
    void DragMouseLeave() override;
    TExStringGrid* Grid() const { return FGrid; }

private:
    // The cell under a screen point (-1 outside cells) and whether it is the
    // row appended below the last one.
    void Target(TPoint pt, bool ColumnDrag, int& ACol, int& ARow, bool& Append) const;
    void HideMarks();
    TExStringGrid* FGrid;
};

class TGridDropSource : public TSGDropSource {
public:
    explicit TGridDropSource(TExStringGrid* Grid) : FGrid(Grid) {}
    void DragEnded() override;
    void CurrentEffect(std::uint32_t Effect) override;
    void QueryDrag() override;
    // The last copy (1) or move (2) effect reported.
    int LastEffect = 0;

private:
    TExStringGrid* FGrid;
};

// The window class style that keeps what a pop-up covers, and the answer to
// WM_MOUSEACTIVATE that leaves activation where it is.
constexpr std::uint32_t kClassStyleSaveBits = 0x0800;
constexpr int kMouseNoActivate = 3;

// Answers activation without activating: the drag image.
class TNoActiveForm : public TPopupForm {
    KAL_CLASS(TNoActiveForm, TPopupForm)
public:
    explicit TNoActiveForm(TComponent* AOwner) : TPopupForm(AOwner) {}
    // The class style its window is registered with.
    std::uint32_t ClassStyle() const { return kClassStyleSaveBits; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
};

// Start-up of the platform's drag and drop, once per process; true on the
// first call only.
bool InitializeOle();
// Whether InitializeOle ran.
bool OleInitialized();
