#include "gridpack/dropdown/ExTimePicker.h"

#include "platform/core/FormatSettings.h"
#include "platform/core/MathUtils.h"

#include <cmath>

namespace {
QChar Sep() { return FormatSettings.TimeSeparator; }
bool PopupKey(unsigned Key) { return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN; }
bool AltHeld() { return GetKeyState(VK_MENU) < 0; }

QString TwoDigitText(int v) {
    const QString s = QString::number(v);
    return s.size() == 1 ? QLatin1Char('0') + s : s.isEmpty() ? QStringLiteral("00") : s;
}

// Its first two characters (those present) are digits.
bool IsDigitPair(const QString& s) {
    for (int i = 0; i < std::min<int>(2, s.size()); ++i)
        if (s[i] < QLatin1Char('0') || s[i] > QLatin1Char('9')) return false;
    return true;
}

int PartValue(const QString& s) { return s.isEmpty() ? 0 : s.left(2).toInt(); }
}  // namespace

TExTimePickerDropDown::TExTimePickerDropDown(TComponent* AOwner) : TExCustomDropDown(AOwner) {
    // Made before the second phase applies the component style to it.
    FWatchAppearance = new TWatchAppearance();
    FWatchSettings = new TWatchSettings();
    SetEditorEnabled(false);
    FDropDownEnabled = true;
    FDropDownHeader->SetVisible(false);
    FDropDownFooter->SetVisible(false);
}

void TExTimePickerDropDown::AfterConstruction() {
    TExCustomDropDown::AfterConstruction();
    FInternalCall = true;
    SetMaskForSeconds();
    SetRawText(FormatTimeText(0, 0, 0));
    FInternalCall = false;
}

TExTimePickerDropDown::~TExTimePickerDropDown() {
    delete FWatchAppearance;
    delete FWatchSettings;
}

void TExTimePickerDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    TExCustomDropDown::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FExWatch) FExWatch = nullptr;
    if (AComponent == FPanelCtrl) FPanelCtrl = nullptr;
    if (AComponent == FDateTimePicker) FDateTimePicker = nullptr;
}

void TExTimePickerDropDown::SetMaskForSeconds() {
    // The hour's first digit may be blank; the separators are kept.
    const QString sep = QString(Sep());
    if (FShowSeconds) SetEditMask(QStringLiteral("!90") + sep + QStringLiteral("00") + sep + QStringLiteral("00;1; "));
    else SetEditMask(QStringLiteral("!90") + sep + QStringLiteral("00;1; "));
}

QString TExTimePickerDropDown::FormatTimeText(int h, int m, int s) const {
    QString t = TwoDigitText(h) + Sep() + TwoDigitText(m);
    if (FShowSeconds) t += Sep() + TwoDigitText(s);
    return t;
}

void TExTimePickerDropDown::SetTime(TDateTime v) {
    if (v == FTime) return;
    FTime = v;
    int h, m, s, ms;
    DecodeTime(v, h, m, s, ms);
    // The change notification parses the text back: Time keeps only what
    // the text shows.
    SetRawText(FormatTimeText(h, m, s));
    if (DroppedDown()) {
        if (FExWatch) FExWatch->SetTime(v);
        if (FDateTimePicker && FDateTimePicker->Visible()) FDateTimePicker->SetTime(v);
    }
}

void TExTimePickerDropDown::SetShowSeconds(bool v) {
    if (v == FShowSeconds) return;
    FShowSeconds = v;
    FInternalCall = true;
    SetEditMask(QString());
    SetRawText(QString());
    SetMaskForSeconds();
    FInternalCall = false;
    // Moved by a day first, so the write is no unchanged value.
    const TDateTime t = FTime;
    FTime = t + 1;
    SetTime(t);
}

void TExTimePickerDropDown::ReplacePart(int Part, int Value) {
    int h, m, s, ms;
    DecodeTime(FTime, h, m, s, ms);
    int* parts[] = {&h, &m, &s};
    const int limit = Part == 0 ? 23 : 59;
    if (*parts[Part] == Value || Value < 0 || Value > limit) return;
    *parts[Part] = Value;
    SetTime(std::floor(FTime) + EncodeTime(h, m, s, ms));
    if (OnTimeChange) OnTimeChange(this);
}

void TExTimePickerDropDown::ChangeHour(int h) { ReplacePart(0, h); }
void TExTimePickerDropDown::ChangeMinute(int m) { ReplacePart(1, m); }
void TExTimePickerDropDown::ChangeSecond(int s) { ReplacePart(2, s); }

void TExTimePickerDropDown::Change() {
    TExCustomDropDown::Change();
    // 1. Only a complete time is read.
    if (FInternalCall) return;
    const QString text = WholeText();
    const QString trimmed = text.trimmed();
    if (trimmed.size() != (FShowSeconds ? 8 : 5)) return;
    // 2. The structure.
    const int first = int(text.indexOf(Sep()));
    if (first < 0) return;
    const QString rest = text.mid(first + 1).trimmed();
    if (int(rest.count(Sep())) != (FShowSeconds ? 1 : 0)) return;
    // 3. Blanks read as zeros; each part starts with digits.
    QString t = text;
    t.replace(QLatin1Char(' '), QLatin1Char('0'));
    const QStringList parts = t.split(Sep());
    const QString hs = parts.value(0).trimmed(), ms = parts.value(1).trimmed(),
                  ss = FShowSeconds ? parts.value(2).trimmed() : QString();
    if (!IsDigitPair(hs) || !IsDigitPair(ms) || !IsDigitPair(ss)) return;
    const int h = PartValue(hs), m = PartValue(ms), s = PartValue(ss);
    // 4. Set directly: no event, no clock; a part out of range fails in the
    // time encoding and leaves the time.
    FTime = EncodeTime(h, m, s, 0);
    // 5.
    const QString formatted = FormatTimeText(h, m, s);
    if (formatted != text && m == 0 && s == 0) {
        FInternalCall = true;
        SetRawText(formatted);
        FInternalCall = false;
    }
}

void TExTimePickerDropDown::StepField(bool Up) {
    const QString text = WholeText();
    const int p = int(text.indexOf(Sep())) + 1;
    const int q = int(text.mid(p).indexOf(Sep())) + 1;
    const int c = SelStart();
    int h, m, s, ms;
    DecodeTime(FTime, h, m, s, ms);
    const int d = Up ? -1 : 1;
    if (c < p) ChangeHour((h + d + 24) % 24);
    else if (q > 0 && c - p >= q && FShowSeconds) ChangeSecond((s + d + 60) % 60);
    else ChangeMinute((m + d + 60) % 60);
    Perform(EM_SETSEL, WPARAM(c), LPARAM(c));
}

void TExTimePickerDropDown::WMKeyDown(TMessage& M) {
    const unsigned key = unsigned(M.WParam);
    TExCustomDropDown::WMKeyDown(M);
    if (AltHeld() || GetKeyState(VK_CONTROL) < 0) return;
    // Up lowers the field under the caret, Down raises it.
    if (key == VK_UP || key == VK_DOWN) StepField(key == VK_UP);
}

void TExTimePickerDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (FPanelCtrl || !DropDownForm()) return;
    FPanelCtrl = new TPanel(this);
    FPanelCtrl->FreeNotification(this);
    FPanelCtrl->SetParent(DropDownForm());
    FPanelCtrl->SetBevelOuter(bvNone);
    FPanelCtrl->SetBevelInner(bvNone);
    FPanelCtrl->SetBorderWidth(0);
    FPanelCtrl->SetBounds(0, 0, FPanelCtrl->Width(), 180);
    FExWatch = new TExWatch(this);
    FExWatch->FreeNotification(this);
    FExWatch->SetParent(FPanelCtrl);
    FExWatch->SetAlign(alClient);
    SetDropDownControl(FPanelCtrl);
}

void TExTimePickerDropDown::BeforeDropDown() {
    TExCustomDropDown::BeforeDropDown();
    // A cancel puts back the text of the opening.
    FOldText = WholeText();
    TDropDownForm* f = DropDownForm();
    if (!f || !FPanelCtrl || !FExWatch) return;
    // 1.
    FPanelCtrl->SetAlign(alNone);
    FPanelCtrl->SetBounds(FPanelCtrl->Left(), FPanelCtrl->Top(), 170, 170);
    f->SetWidth(f->Width() + 1);
    f->SetWidth(f->Width() - 1);
    f->SetCancelOnDeActivate(false);
    FPanelCtrl->SetColor(DropDownColor());
    // 2.
    FExWatch->SetAppearance(FWatchAppearance);
    FExWatch->SetSettings(FWatchSettings);
    FExWatch->SetShowAMPM(ShowWatchAMPM);
    FExWatch->SetShowNumbers(ShowWatchNumbers);
    FExWatch->SetAnimation(Animation);
    FExWatch->SetAnimationFactor(AnimationFactor);
    // 3.
    FExWatch->OnChange = nullptr;
    if (!FWatchSettings->Auto()) FExWatch->SetTime(FTime);
    FExWatch->OnChange = [this](TObject* s) { WatchChange(s); };
    // 4.
    if (!FShowTimePicker) {
        if (FDateTimePicker) FDateTimePicker->SetVisible(false);
        return;
    }
    if (!FDateTimePicker) {
        FDateTimePicker = new TDateTimePicker(this);
        FDateTimePicker->FreeNotification(this);
        FDateTimePicker->SetParent(FPanelCtrl);
        FDateTimePicker->SetKind(dtkTime);
    }
    FDateTimePicker->OnChange = nullptr;
    FDateTimePicker->SetAlign(alBottom);
    FDateTimePicker->SetVisible(true);
    FDateTimePicker->SetTime(FTime);
    // Made after the clock, it stands in front of it.
    FDateTimePicker->OnChange = [this](TObject* s) { TimePickerChange(s); };
    FDateTimePicker->OnKeyDown = [this](TObject*, unsigned& k, TShiftState s) { ControlKeyDown(k, s); };
    FDateTimePicker->OnKeyUp = [this](TObject*, unsigned& k, TShiftState s) { ControlKeyUp(k, s); };
    FDateTimePicker->OnKeyPress = [this](TObject*, QChar& k) { ControlKeyPress(k); };
    FDateTimePicker->SetFormat(FShowSeconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    FPanelCtrl->SetHeight(FDateTimePicker->Height() + 170);
}

void TExTimePickerDropDown::UpdateDropDownSize() {
    TExCustomDropDown::UpdateDropDownSize();
    // The panel keeps its width inside the popup's border, as it keeps its
    // height.
    TDropDownForm* f = DropDownForm();
    if (f && DropDownWidth() <= 0 && FPanelCtrl)
        f->SetBounds(f->Left(), f->Top(), FPanelCtrl->Width() + 2 * DropDownBorderWidth(), f->Height());
}

void TExTimePickerDropDown::DoHideDropDown(bool Cancelled) {
    const bool wasOpen = DroppedDown();
    TExCustomDropDown::DoHideDropDown(Cancelled);
    if (!wasOpen || !FExWatch) return;
    if (Cancelled) {
        FExWatch->OnChange = nullptr;
        FExWatch->SetTime(FTime);
    } else {
        SetTime(FExWatch->Time());
    }
}

void TExTimePickerDropDown::AfterDropUp() {
    TExCustomDropDown::AfterDropUp();
    // A cancel then puts back the text of the opening, and with it the time.
    if (FExWatch) SetTime(FExWatch->Time());
}

void TExTimePickerDropDown::WatchChange(TObject*) {
    if (FDateTimePicker && FDateTimePicker->Visible() && FDateTimePicker->Time() != Frac(FExWatch->Time())) {
        FDateTimePicker->SetTime(FExWatch->Time());
        if (OnTimeChange) OnTimeChange(this);
    }
    SetTime(FExWatch->Time());
}

void TExTimePickerDropDown::TimePickerChange(TObject*) {
    if (FExWatch && !FWatchSettings->Auto()) FExWatch->SetTime(FDateTimePicker->Time());
}

void TExTimePickerDropDown::SetComponentStyle(TQORStyle AStyle) {
    TExCustomDropDown::SetComponentStyle(AStyle);
    ApplyWatchComponentStyle(FWatchAppearance, AStyle);
}

void TExTimePickerDropDown::DropDownKeyDown(unsigned& Key, TShiftState Shift) {
    if (!PopupKey(Key) || AltHeld()) TExCustomDropDown::DropDownKeyDown(Key, Shift);
    if (DroppedDown() && FExWatch) FExWatch->DoWatchKey(Key);
}

void TExTimePickerDropDown::DropDownKeyUp(unsigned& Key, TShiftState Shift) {
    if (!PopupKey(Key) || AltHeld()) TExCustomDropDown::DropDownKeyUp(Key, Shift);
}

void TExTimePickerDropDown::ControlKeyDown(unsigned& Key, TShiftState Shift) {
    if (!PopupKey(Key) || AltHeld()) TExCustomDropDown::ControlKeyDown(Key, Shift);
}

void TExTimePickerDropDown::ControlKeyUp(unsigned& Key, TShiftState Shift) {
    if (!PopupKey(Key) || AltHeld()) TExCustomDropDown::ControlKeyUp(Key, Shift);
}
