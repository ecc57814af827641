#pragma once
// Two small drop-downs: TExTrackBarDropDown edits an integer through a popup
// track bar, the arrow keys or a mouse drag across the edit;
// TExMemoDropDown edits a multi-line text in a popup memo while the edit
// shows its first line. Both close as accepted when the user clicks
// outside the popup.
#include "gridpack/dropdown/ExDropDown.h"
#include "platform/controls/ComCtrls.h"
#include "platform/core/StringList.h"

class TExTrackBarDropDown : public TExCustomDropDown {
    KAL_CLASS(TExTrackBarDropDown, TExCustomDropDown)
public:
    explicit TExTrackBarDropDown(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int v);
    int Max() const { return FMax; }
    void SetMax(int v);
    int Position() const { return FPosition; }
    void SetPosition(int v);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int v);
    int Frequency() const { return FFrequency; }
    void SetFrequency(int v);
    TTrackBar* TrackBar() const { return FTrackBar; }
    TNotifyEvent OnTrackChange;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;

protected:
    void Change() override;
    void WMKeyDown(TMessage& M) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void TrackBarChange(TObject* Sender);
    bool DragAllowed() const { return DropDownEnabled() && !EditorEnabled(); }
    int FMin = 0, FMax = 10, FPosition = 0, FPageSize = 2, FFrequency = 1;
    TTrackBar* FTrackBar = nullptr;
    bool FMouseDraging = false;
    int FMouseX = 0;
};

class TExMemoDropDown : public TExCustomDropDown {
    KAL_CLASS(TExMemoDropDown, TExCustomDropDown)
public:
    explicit TExMemoDropDown(TComponent* AOwner);
    ~TExMemoDropDown() override;

    TStringList* MemoText() const { return FMemoText; }
    void SetMemoText(const TStrings* v);
    TScrollStyle MemoScrollBars() const { return FMemoScrollBars; }
    void SetMemoScrollBars(TScrollStyle v) { FMemoScrollBars = v; }
    bool MemoReadOnly() const { return FMemoReadOnly; }
    void SetMemoReadOnly(bool v);
    TPopupMenu* MemoPopup() const { return FMemoPopup; }
    void SetMemoPopup(TPopupMenu* v) { FMemoPopup = v; }
    bool AutoDrop() const { return FAutoDrop; }
    void SetAutoDrop(bool v) { FAutoDrop = v; }
    TMemo* Memo() const { return FMemo; }
    TNotifyEvent OnMemoChange;

    // The edit shows the first line, shortened to fit and followed by "..."
    // when there is more; everything when the editor is enabled.
    void UpdateEditText();

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoHideDropDown(bool Cancelled) override;
    void AfterDropUp() override;
    void ControlKeyDown(unsigned& Key, TShiftState Shift) override;
    void ControlKeyUp(unsigned& Key, TShiftState Shift) override;
    void ControlKeyPress(QChar& Key) override;

protected:
    void Change() override;
    void DoEnter() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TStringList* FMemoText;
    TScrollStyle FMemoScrollBars = ssNone;
    bool FMemoReadOnly = false, FAutoDrop = false, FInternalUpdate = false, FRestoring = false;
    TPopupMenu* FMemoPopup = nullptr;
    TMemo* FMemo = nullptr;
};
