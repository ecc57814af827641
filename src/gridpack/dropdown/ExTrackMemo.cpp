#include "gridpack/dropdown/ExTrackMemo.h"

#include "gridpack/dropdown/ExDropDownUtils.h"

#include <QRegularExpression>

namespace {
bool AltHeld() { return GetKeyState(VK_MENU) < 0; }

// A decimal integer: optional sign, digits only.
bool DecimalInteger(const QString& s, int& v) {
    static const QRegularExpression re(QStringLiteral("^[+-]?[0-9]+$"));
    if (!re.match(s).hasMatch()) return false;
    bool ok = false;
    v = s.toInt(&ok);
    return ok;
}

// The popup is measured from its control's own height; placing it fills the
// popup again.
void RestoreHeight(TControl* c, int h) {
    if (!c) return;
    c->SetAlign(alNone);
    c->SetHeight(h);
}
}  // namespace

// ---------------------------------------------------------------------------
// TExTrackBarDropDown
// ---------------------------------------------------------------------------

TExTrackBarDropDown::TExTrackBarDropDown(TComponent* AOwner) : TExCustomDropDown(AOwner) {
    SetEditorEnabled(false);
    FDropDownEnabled = true;
    FEditType = etNumeric;
    FDropDownHeader->SetVisible(false);
    FDropDownFooter->SetVisible(false);
    FForceShadow = true;
}

void TExTrackBarDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    TExCustomDropDown::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FTrackBar) FTrackBar = nullptr;
}

void TExTrackBarDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (FTrackBar || !DropDownForm()) return;
    FTrackBar = new TTrackBar(this);
    FTrackBar->FreeNotification(this);
    FTrackBar->SetParent(DropDownForm());
    FTrackBar->SetBounds(0, 0, FTrackBar->Width(), 40);
    FTrackBar->OnChange = [this](TObject* s) { TrackBarChange(s); };
}

void TExTrackBarDropDown::BeforeDropDown() {
    TExCustomDropDown::BeforeDropDown();
    if (DropDownForm()) DropDownForm()->SetCancelOnDeActivate(false);
    if (!FTrackBar) return;
    RestoreHeight(FTrackBar, 40);
    FTrackBar->SetMin(FMin);
    FTrackBar->SetMax(FMax);
    FTrackBar->SetPosition(FPosition);
    FTrackBar->SetPageSize(FPageSize);
    FTrackBar->SetFrequency(FFrequency);
    FTrackBar->SetWidth(Width());
    SetDropDownControl(FTrackBar);
}

void TExTrackBarDropDown::TrackBarChange(TObject*) {
    FPosition = FTrackBar->Position();
    SetRawText(QString::number(FPosition));
    if (OnTrackChange) OnTrackChange(this);
}

void TExTrackBarDropDown::SetMin(int v) {
    FMin = v;
    if (!FTrackBar) return;
    FTrackBar->SetMin(v);
    FMin = FTrackBar->Min();
}

void TExTrackBarDropDown::SetMax(int v) {
    FMax = v;
    if (!FTrackBar) return;
    FTrackBar->SetMax(v);
    FMax = FTrackBar->Max();
}

void TExTrackBarDropDown::SetPosition(int v) {
    FPosition = v;
    if (!FTrackBar) return;
    FTrackBar->SetPosition(v);
    FPosition = FTrackBar->Position();
}

void TExTrackBarDropDown::SetPageSize(int v) {
    FPageSize = v;
    if (FTrackBar) FTrackBar->SetPageSize(v);
}

void TExTrackBarDropDown::SetFrequency(int v) {
    FFrequency = v;
    if (FTrackBar) FTrackBar->SetFrequency(v);
}

void TExTrackBarDropDown::Change() {
    TExCustomDropDown::Change();
    // Any cell text may arrive here: one that is no decimal integer leaves
    // the position as it is.
    int v = 0;
    if (DecimalInteger(WholeText(), v)) SetPosition(v);
}

void TExTrackBarDropDown::WMKeyDown(TMessage& M) {
    const unsigned key = unsigned(M.WParam);
    TExCustomDropDown::WMKeyDown(M);
    if (EditorEnabled() || AltHeld()) return;
    // Up lowers the value.
    if (key == VK_UP && FPosition - FFrequency >= FMin) SetPosition(FPosition - FFrequency);
    else if (key == VK_DOWN && FPosition + FFrequency <= FMax) SetPosition(FPosition + FFrequency);
}

void TExTrackBarDropDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExCustomDropDown::MouseDown(Button, Shift, X, Y);
    if (!DragAllowed()) return;
    FMouseDraging = true;
    FMouseX = X;
}

void TExTrackBarDropDown::MouseMove(TShiftState Shift, int X, int Y) {
    TExCustomDropDown::MouseMove(Shift, X, Y);
    if (!DragAllowed() || !FMouseDraging) return;
    // A page size of 0 or less moves nothing.
    if (FPageSize > 0) SetPosition(FPosition + (X - FMouseX) / FPageSize);
    FMouseX = X;
}

void TExTrackBarDropDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExCustomDropDown::MouseUp(Button, Shift, X, Y);
    if (DragAllowed()) FMouseDraging = false;
}

// ---------------------------------------------------------------------------
// TExMemoDropDown
// ---------------------------------------------------------------------------

TExMemoDropDown::TExMemoDropDown(TComponent* AOwner) : TExCustomDropDown(AOwner) {
    FMemoText = new TStringList();
    FMemoText->OnChange = [this](TObject*) { UpdateEditText(); };
}

TExMemoDropDown::~TExMemoDropDown() {
    FMemoText->OnChange = nullptr;
    delete FMemoText;
}

void TExMemoDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    TExCustomDropDown::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMemo) FMemo = nullptr;
}

void TExMemoDropDown::SetMemoText(const TStrings* v) {
    FMemoText->Assign(v);
    if (FMemo) FMemo->Lines()->Assign(v);
}

void TExMemoDropDown::SetMemoReadOnly(bool v) {
    FMemoReadOnly = v;
    if (FMemo && DroppedDown()) FMemo->SetReadOnly(v);
}

void TExMemoDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (FMemo || !DropDownForm()) return;
    FMemo = new TMemo(this);
    FMemo->FreeNotification(this);
    FMemo->SetParent(DropDownForm());
    FMemo->SetHeight(100);
    FMemo->SetBorderStyle(bsNone);
    FMemo->OnChange = [this](TObject*) {
        if (OnMemoChange) OnMemoChange(this);
    };
    SetDropDownControl(FMemo);
}

void TExMemoDropDown::BeforeDropDown() {
    TExCustomDropDown::BeforeDropDown();
    if (DropDownForm()) DropDownForm()->SetCancelOnDeActivate(false);
    if (!FMemo) return;
    RestoreHeight(FMemo, 100);
    FMemo->Lines()->Assign(FMemoText);
    FMemo->SetPopupMenu(FMemoPopup);
    FMemo->SetMaxLength(MaxLength());
    FMemo->SetScrollBars(FMemoScrollBars);
    FMemo->SetReadOnly(FMemoReadOnly);
}

void TExMemoDropDown::DoHideDropDown(bool Cancelled) {
    // The edit takes the focus back as the popup goes: it must not open
    // the popup again.
    const bool autoDrop = FAutoDrop;
    FAutoDrop = false;
    if (Cancelled && FMemo) FMemo->Lines()->Assign(FMemoText);
    // The base puts back the edit text of the opening; that shortened line
    // is not the memo's text, so the lines stay and the edit is rebuilt.
    FRestoring = Cancelled;
    TExCustomDropDown::DoHideDropDown(Cancelled);
    FRestoring = false;
    if (Cancelled) UpdateEditText();
    FAutoDrop = autoDrop;
}

void TExMemoDropDown::AfterDropUp() {
    TExCustomDropDown::AfterDropUp();
    if (FMemo) FMemoText->SetText(FMemo->Lines()->Text());
    UpdateEditText();
    Perform(EM_SETSEL, 0, 0);
}

void TExMemoDropDown::DoEnter() {
    TExCustomDropDown::DoEnter();
    if (FAutoDrop) DoDropDown();
}

void TExMemoDropDown::Change() {
    if (!FInternalUpdate && !FRestoring) {
        TNotifyEvent keep = FMemoText->OnChange;
        FMemoText->OnChange = nullptr;
        FMemoText->SetText(WholeText());
        FMemoText->OnChange = keep;
    }
    TExCustomDropDown::Change();
}

void TExMemoDropDown::UpdateEditText() {
    QString s;
    if (FMemoText->Count() == 0 || EditorEnabled()) {
        s = FMemoText->Text();
        // The lines joined by line breaks, without the list's last one.
        if (s.endsWith(QLatin1Char('\n'))) s.chop(1);
        if (s.endsWith(QLatin1Char('\r'))) s.chop(1);
    } else {
        s = FMemoText->Strings(0);
        auto dc = GetDC(this);
        TCanvas* c = dc->Canvas();
        c->Font().Assign(*Font());
        const int room = EditRect().Width();
        if (GetTextExtent(c, s).cx < room) {
            if (FMemoText->Count() > 1) s += QStringLiteral("...");
        } else {
            s = FitTextToWidth(c, s, room, true);
        }
    }
    FInternalUpdate = true;
    SetRawText(s);
    FInternalUpdate = false;
}

void TExMemoDropDown::ControlKeyDown(unsigned& Key, TShiftState Shift) {
    if (AltHeld() || Key == VK_ESCAPE || Key == VK_F4) TExCustomDropDown::ControlKeyDown(Key, Shift);
    if ((Shift & ssCtrl) && Key == 'A' && FMemo) FMemo->SelectAll();
}

void TExMemoDropDown::ControlKeyUp(unsigned& Key, TShiftState Shift) {
    if (AltHeld() || Key == VK_ESCAPE || Key == VK_F4) TExCustomDropDown::ControlKeyUp(Key, Shift);
}

void TExMemoDropDown::ControlKeyPress(QChar& Key) {
    if (AltHeld() || Key.unicode() == 27) TExCustomDropDown::ControlKeyPress(Key);
}
