// The drop-down edit's value text and typed input: Prefix + value + Suffix,
// the edit types' character rules, keys, clipboard and focus.
#include "gridpack/dropdown/ExDropDown.h"

#include "gridpack/basegrid/RorIdad.h"
#include "platform/controls/Clipboard.h"
#include "platform/core/FloatConv.h"
#include "platform/core/Format.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/IntConv.h"
#include "platform/core/MathUtils.h"

#include <algorithm>
#include <cmath>

namespace {
QChar DS() { return ActiveFormatSettings().DecimalSeparator; }
QChar TS() { return ActiveFormatSettings().ThousandSeparator; }
bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
bool IsAsciiLetter(QChar c) {
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}
bool IsNumberType(TDropDownEditType t) { return t == etNumeric || t == etFloat || t == etMoney; }
constexpr char16_t kBack = 8, kTab = 9, kLF = 10, kEnter = 13, kEsc = 27;
bool CtrlHeld() { return GetKeyState(VK_CONTROL) < 0; }
bool ShiftHeld() { return GetKeyState(VK_SHIFT) < 0; }
}  // namespace

// ---------------------------------------------------------------------------
// Value text
// ---------------------------------------------------------------------------

QString TExCustomDropDown::Text() const {
    QString s = WholeText();
    if (!Prefix.isEmpty() && s.startsWith(Prefix)) s.remove(0, Prefix.size());
    // The Prefix is gone already, so a short text never loses part of it.
    if (!Suffix.isEmpty()) s.chop(std::min(Suffix.size(), s.size()));
    return s;
}

void TExCustomDropDown::SetText(const QString& Value) {
    QString v = Value;
    if (v.isEmpty() && (FEditType == etNumeric || FEditType == etFloat || FEditType == etMoney || FEditType == etHex))
        v = QStringLiteral("0");
    if (FPrecision > 0 && !v.isEmpty() && v != QLatin1String("Error")) {
        if (FEditType == etMoney) v = ::Format(QStringLiteral("%.") + QString::number(FPrecision) + QStringLiteral("n"), {TextToFloat(v)});
        else if (FEditType == etFloat) v = ::Format(QStringLiteral("%.") + QString::number(FPrecision) + QStringLiteral("f"), {TextToFloat(v)});
    }
    if (FEditType == etHex) v = v.toUpper();
    TControl::SetText(Prefix + v + Suffix);
    FOldText = v;
    SetModified(false);
}

void TExCustomDropDown::SetRawText(const QString& S) { TControl::SetText(S); }

double TExCustomDropDown::TextToFloat(const QString& S) const {
    double v = 0;
    if (!TryStrToFloat(StripThousandSeparators(S), v)) return 0;
    return v;
}

double TExCustomDropDown::GetFloatValue() const {
    const QString v = Text();
    switch (FEditType) {
    case etString: {
        // The number as written with a full stop; an error leaves 0.
        bool ok = false;
        const double d = v.trimmed().toDouble(&ok);
        return ok ? d : 0;
    }
    case etNumeric: case etFloat:
        if (v.isEmpty() || v == QLatin1String("Error") || v == QLatin1String("-")) return 0;
        return TextToFloat(v);
    case etMoney: {
        QString s = StripThousandSeparators(v);
        if (!s.isEmpty() && s.back() == DS()) s.chop(1);
        if (s.isEmpty() || s == QLatin1String("-")) return 0;
        return TextToFloat(s);
    }
    case etHex: return v.isEmpty() ? 0 : HexToInt(v);
    default: return 0;
    }
}

void TExCustomDropDown::SetFloatValue(double X) {
    const QString prec = QString::number(FPrecision);
    switch (FEditType) {
    case etString: case etFloat:
        SetText(FPrecision < 0 ? ::Format(QStringLiteral("%g"), {X}) : ::Format(QStringLiteral("%.") + prec + QStringLiteral("f"), {X}));
        break;
    case etNumeric:
        SetText(FPrecision < 0 ? ::Format(QStringLiteral("%g"), {X}) : ::Format(QStringLiteral("%.") + prec + QStringLiteral("n"), {X}));
        break;
    case etMoney:
        SetText(FPrecision < 0 ? ::Format(QStringLiteral("%g"), {X}) : ::Format(QStringLiteral("%.") + prec + QStringLiteral("f"), {X}));
        UpdateThousandSeparators();
        break;
    case etHex: SetText(QString::number(qlonglong(Trunc(X)), 16).toUpper()); break;
    default: break;
    }
    SetModified(true);
}

void TExCustomDropDown::SetIntValue(int N) {
    switch (FEditType) {
    case etNumeric: case etFloat: SetText(IntToStr(N)); break;
    case etMoney:
        SetText(IntToStr(N));
        UpdateThousandSeparators();
        break;
    case etHex: SetText(QString::number(uint32_t(N), 16).toUpper()); break;
    default: break;
    }
    SetModified(true);
}

void TExCustomDropDown::UpdateThousandSeparators() {
    const int caret = SelStart();
    const int oldLength = int(Text().size());
    QString v = Text();
    QString sign;
    if (v.startsWith(QLatin1Char('-'))) {
        sign = QStringLiteral("-");
        v.remove(0, 1);
    }
    const int ds = int(v.indexOf(DS()));
    const QString fraction = ds >= 0 ? v.mid(ds, 255) : QString();
    const double whole = std::fabs(std::trunc(GetFloatValue()));
    QString integer = ::Format(AutoThousandSeparator ? QStringLiteral("%n") : QStringLiteral("%f"), {whole});
    const int cut = int(integer.indexOf(DS()));
    if (cut >= 0) integer.truncate(cut);
    const int16_t precision = FPrecision;
    FPrecision = 0;
    const QString next = Prefix + sign + integer + fraction + Suffix;
    if (WholeText() != next) {
        // The regrouping is no change of the user's.
        FBlockChange = true;
        TControl::SetText(next);
    }
    FPrecision = precision;
    const int at = std::max(0, caret + int(Text().size()) - oldLength);
    TCustomMaskEdit::SetSelStart(at);
}

bool TExCustomDropDown::GetModified() const { return Modified(); }

void TExCustomDropDown::SetModified(bool B) {
    if (InState(csLoading) || !FEditorEnabled || ReadOnly()) return;
    TCustomMaskEdit::SetModified(B);
    FIsModified = B;
}

void TExCustomDropDown::SetEditType(TDropDownEditType T) {
    if (T == FEditType) return;
    FEditType = T;
    if (T == etPassword) {
        CanUndo = false;
        SetPasswordChar(QLatin1Char('*'));
    } else {
        SetPasswordChar(QChar());
    }
    const int kind = NumberTextKind(Text());
    if (T == etNumeric && kind != 0) SetIntValue(0);
    else if ((T == etFloat || T == etMoney) && kind > 1) SetFloatValue(0);
    else if (T == etHex && kind != 0 && kind != 5) SetIntValue(0);
}

void TExCustomDropDown::SetPrecision(int v) {
    if (v == FPrecision) return;
    if (FEditType != etString && FEditType != etFloat && FEditType != etMoney) return;
    FPrecision = int16_t(v);
    SetFloatValue(NumberTextKind(Text()) > 1 ? 0 : GetFloatValue());
}

int TExCustomDropDown::IntegerPartLength(const QString& S) const {
    const QString s = StripThousandSeparators(S);
    const int ds = int(s.indexOf(DS()));
    int n = ds >= 0 ? ds + 1 : int(s.size()) + 1;
    if (Signed && IsNumberType(FEditType) && s.contains(QLatin1Char('-'))) --n;
    return n;
}

int TExCustomDropDown::DecimalSeparatorPos() const {
    const QString v = Text();
    const int ds = int(v.indexOf(DS()));
    if (ds >= 0) return int(Prefix.size()) + ds + 1;
    return int(Prefix.size() + v.size() + Suffix.size()) + 1;
}

bool TExCustomDropDown::IsAllowedMinus(QChar C) const {
    return C == QLatin1Char('-') && Signed && IsNumberType(FEditType);
}

bool TExCustomDropDown::DecimalsFull(const QString& S, int Caret) const {
    return ::DecimalsFull(S, Caret, int(Prefix.size()), FPrecision);
}

bool TExCustomDropDown::ThousandSeparatorRejected(const QString& S, int Caret) const {
    return ::ThousandSeparatorRejected(S, Caret, int(Prefix.size()));
}

// ---------------------------------------------------------------------------
// Selection
// ---------------------------------------------------------------------------

void TExCustomDropDown::SelectAll() {
    const int n = int(Text().size());
    int start = 0;
    if (!Prefix.isEmpty() || !Suffix.isEmpty()) start = int(Prefix.size());
    Perform(EM_SETSEL, WPARAM(start), LPARAM(start + n));
}

void TExCustomDropDown::SelectAfterDecimal() {
    const int ds = int(Text().indexOf(DS())) + 1;
    TCustomMaskEdit::SetSelStart(int(Prefix.size()) + ds);
}

void TExCustomDropDown::SelectBeforeDecimal() {
    const int ds = int(Text().indexOf(DS())) + 1;
    TCustomMaskEdit::SetSelStart(ds > 0 ? int(Prefix.size()) + ds - 1 : int(Prefix.size()));
}

// The whole text becomes Prefix + Value + Suffix with the caret at Caret
// (counted in the whole text), nothing selected.
void TExCustomDropDown::SetValueKeepFrame(const QString& Value, int Caret) {
    TControl::SetText(Prefix + Value + Suffix);
    TCustomMaskEdit::SetSelStart(std::max(Caret, 0));
}

// A typed '-': the sign of the value toggles. WholeCase: a selection as long
// as the value (or an empty value) becomes just the sign.
void TExCustomDropDown::ToggleSign(bool WholeCase) {
    const QString v = Text();
    const int caret = SelStart();
    if (WholeCase && SelLength() == v.size()) {
        SetValueKeepFrame(QStringLiteral("-"), int(Prefix.size()) + 1);
        SetModified(true);
        return;
    }
    if (v.contains(QLatin1Char('-'))) {
        SetValueKeepFrame(v.mid(1), std::max(int(Prefix.size()), caret - 1));
    } else {
        SetValueKeepFrame(QStringLiteral("-") + v, caret + 1);
    }
    SetModified(true);
}

// ---------------------------------------------------------------------------
// Typed characters
// ---------------------------------------------------------------------------

void TExCustomDropDown::WMChar(TMessage& M) {
    if (!FEditorEnabled) return;
    QChar key(char16_t(M.WParam));
    const QChar ds = DS(), ts = TS();
    const QString value = Text();
    const int caret = SelStart();
    const int selLength = SelLength();
    const int prefix = int(Prefix.size());
    const bool ctrl = CtrlHeld();
    const bool wholeSelected = !value.isEmpty() && selLength == value.size();
    auto inherited = [&] {
        M.WParam = key.unicode();
        TCustomMaskEdit::WMChar(M);
    };
    auto afterRule = [&] {
        if (Modified()) SetModified(true);
    };

    // 1. Replacing the whole value is announced once, not twice.
    if (wholeSelected) FBlockChange = true;
    // 2. Ctrl+Enter.
    if (key.unicode() == kEnter && ctrl) return;
    // 3. Enter.
    if (key.unicode() == kEnter) {
        QChar k(kEnter);
        if (OnKeyPress) OnKeyPress(this, k);
        if (!DefaultHandling && Parent()) {
            PostMessage(Parent()->Handle(), WM_KEYDOWN, VK_RETURN, 0);
            TCustomForm* form = GetParentForm(this);
            if (form && form->KeyPreview()) {
                key = QChar();
                inherited();
            } else {
                PostMessage(Parent()->Handle(), WM_KEYUP, VK_RETURN, 0);
            }
        }
        return;
    }
    // 4. Escape.
    if (key.unicode() == kEsc) {
        if (!DefaultHandling && Parent()) {
            TCustomForm* form = GetParentForm(this);
            if (form && form->KeyPreview()) {
                inherited();
                return;
            }
            PostMessage(Parent()->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessage(Parent()->Handle(), WM_KEYUP, VK_ESCAPE, 0);
        }
        if (!CanUndo) {
            inherited();
            return;
        }
    }
    // 5. The clipboard keys.
    if (ctrl && (key.unicode() == 3 || key.unicode() == 22 || key.unicode() == 24)) {
        inherited();
        return;
    }
    // 6. The keypad's decimal key types the decimal separator.
    if (ExcelStyleDecimalSeparator && (key == QLatin1Char('.') || key == QLatin1Char(',')) &&
        (M.LParam & (LPARAM(1) << 22)))
        key = ds;
    // 7. Backspace never reaches into the Prefix.
    if (key.unicode() == kBack && !Prefix.isEmpty() && selLength == 0 && caret <= prefix) return;
    // 8. The integer part's length limit.
    if (LengthLimit > 0 && IntegerPartLength(value) > LengthLimit && selLength == 0 && caret < DecimalSeparatorPos() &&
        key.unicode() != kBack && key != ds && !IsAllowedMinus(key))
        return;
    // 9. Backspace; a deleted whole value is announced once.
    if (key.unicode() == kBack) {
        inherited();
        if (Text().isEmpty() && wholeSelected) Change();
        return;
    }
    // 10. Ctrl+Enter's line feed.
    if (ctrl && key.unicode() == kLF) return;
    // 11. An unsigned number takes no minus.
    if (key == QLatin1Char('-') && IsNumberType(FEditType) && !Signed) return;

    // 12. The edit type's rule.
    const char16_t k = key.unicode();
    const bool control = k == kBack || k == kTab || k == kEnter;
    switch (FEditType) {
    case etString: case etPassword: inherited(); break;
    case etNumeric:
        if (key == QLatin1Char('-')) ToggleSign(true);
        else if (IsDigit(key) || control || ctrl) inherited();
        break;
    case etFloat: case etMoney: {
        const bool money = FEditType == etMoney;
        if (money && key == ds && (value.contains(ds) || FPrecision == 0)) {
            // Money: a second separator only moves the caret.
            if (FPrecision > 0) {
                if (wholeSelected) SetText(QStringLiteral("0") + ds + QStringLiteral("0"));
                SelectAfterDecimal();
            }
            break;
        }
        if (!money) {
            if (key == QLatin1Char(',') && ds != key && ts != key) break;
            if (key == QLatin1Char('.') && ds != key && ts != key) break;
            if (!(control || key == QLatin1Char(',') || key == QLatin1Char('-') || key == QLatin1Char('.') || IsDigit(key)))
                break;
            const bool selHasDS = SelText().contains(ds);
            if (key == ds && !selHasDS && (value.contains(ds) || FPrecision == 0)) {
                if (FPrecision > 0) SelectAfterDecimal();
                break;
            }
            if (key == QLatin1Char(',') && value.contains(QLatin1Char(',')) && !SelText().contains(QLatin1Char(',')) &&
                ts != QLatin1Char(','))
                break;
        } else if (!(control || key == QLatin1Char('-') || IsDigit(key) || key == ds)) {
            break;
        }
        // The separators stand three digits apart.
        if ((key == ts || key == ds) && ThousandSeparatorRejected(value, caret)) break;
        // A full fraction: a digit overwrites the next one.
        if (DecimalsFull(value, caret) && (IsDigit(key) || key == ds) && selLength == 0) {
            if (IsDigit(key) && caret - prefix < value.size()) {
                TCustomMaskEdit::SetSelStart(caret);
                TCustomMaskEdit::SetSelLength(1);
            } else {
                break;
            }
        }
        if (key == ds && caret - prefix <= 0 && value.isEmpty()) {
            SetValueKeepFrame(QStringLiteral("0") + ds, prefix + 2);
            SetModified(true);
            break;
        }
        if (key == QLatin1Char('-') && selLength == 0) {
            const int16_t precision = FPrecision;
            FPrecision = 0;
            ToggleSign(false);
            FPrecision = precision;
            break;
        }
        inherited();
        if (money) {
            const QString now = Text();
            if (!now.isEmpty() && now != QLatin1String("-") && key != ds) {
                if (Modified()) SetModified(true);
                UpdateThousandSeparators();
            }
        }
        break;
    }
    case etUppercase:
        key = key.toUpper();
        inherited();
        break;
    case etLowerCase:
        key = key.toLower();
        inherited();
        break;
    case etMixedCase: {
        inherited();
        SetValueKeepFrame(ToMixedCase(Text()), caret + 1);
        SetModified(true);
        break;
    }
    case etRange: {
        if (!(control || IsDigit(key) || IsRangeSeparator(key))) break;
        if (IsRangeSeparator(key)) {
            const int at = caret - prefix;
            if (caret <= prefix) break;
            if (at - 1 >= 0 && at - 1 < value.size() && IsRangeSeparator(value[at - 1])) break;
            if (at >= 0 && at < value.size() && IsRangeSeparator(value[at])) break;
        }
        inherited();
        break;
    }
    case etHex: {
        const bool hexLetter = (k >= u'A' && k <= u'F') || (k >= u'a' && k <= u'f');
        if (control || key == QLatin1Char('-') || IsDigit(key) || hexLetter) inherited();
        break;
    }
    case etAlphaNumeric:
        if (control || IsDigit(key) || IsAsciiLetter(key)) inherited();
        break;
    case etValidChars:
        if (ValidChars.contains(key) || k == kBack) inherited();
        break;
    }
    // 13.
    afterRule();
}

void TExCustomDropDown::KeyPress(QChar& Key) {
    TCustomMaskEdit::KeyPress(Key);
    // Enter never reaches the edit's text.
    if (Key.unicode() == kEnter) Key = QChar();
}

void TExCustomDropDown::Change() {
    if (FBlockChange) {
        // This notification was announced once already (or not at all).
        FBlockChange = false;
        return;
    }
    TCustomMaskEdit::Change();
}

void TExCustomDropDown::CNCommand(TMessage& M) {
    if (HiWord(LPARAM(M.WParam)) == EN_CHANGE) Change();
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

void TExCustomDropDown::KeyDown(unsigned& Key, TShiftState Shift) {
    TCustomMaskEdit::KeyDown(Key, Shift);
    if ((Shift & ssAlt) && (Key == VK_UP || Key == VK_DOWN)) {
        if (FDroppedDown) DoHideDropDown(false);
        else DoDropDown();
    }
}

void TExCustomDropDown::WMKeyDown(TMessage& M) {
    unsigned key = unsigned(M.WParam);
    const bool shift = ShiftHeld();
    const bool ctrl = CtrlHeld();
    auto discard = [&] {
        M.WParam = 0;
        M.Result = 0;
    };
    auto popupKeys = [&] {
        switch (key) {
        case VK_RETURN: DoHideDropDown(false); break;
        case VK_ESCAPE: DoHideDropDown(true); break;
        case VK_F4:
            if (FDroppedDown) DoHideDropDown(false);
            else DoDropDown();
            break;
        default: break;
        }
    };
    // 1. Alt+Up and Alt+Down toggle the popup.
    if (GetKeyState(VK_MENU) < 0 && (key == VK_UP || key == VK_DOWN)) {
        if (FDroppedDown) DoHideDropDown(false);
        else DoDropDown();
    }
    // 2. A pick-only edit: the popup keys, Enter and Escape.
    if (!FEditorEnabled && Enabled()) {
        if (!ReadOnly()) popupKeys();
        if (key == VK_RETURN || key == VK_ESCAPE) TCustomMaskEdit::WMKeyDown(M);
        return;
    }
    // 3.
    if (ctrl && (key == VK_TAB || key == VK_RETURN)) {
        TCustomMaskEdit::WMKeyDown(M);
        return;
    }
    const QString value = Text();
    const int prefix = int(Prefix.size());
    const int valueEnd = prefix + int(value.size());
    const int selEnd = SelStart() + SelLength();
    // 4. Enter moves on like Tab.
    if (key == VK_RETURN && ReturnIsTab) {
        key = VK_TAB;
        M.WParam = key;
        if (Visible()) PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    // 5-9. The caret keeps out of the Prefix and the Suffix.
    if (key == VK_RIGHT && !Suffix.isEmpty() && selEnd >= valueEnd) return discard();
    if (key == VK_DELETE && !Suffix.isEmpty()) {
        if (selEnd >= valueEnd && SelLength() == 0) return discard();
        SetModified(true);
    }
    if (key == VK_LEFT && !Prefix.isEmpty() && selEnd <= prefix) return discard();
    if (key == VK_END && !Suffix.isEmpty()) {
        if (shift) Perform(EM_SETSEL, WPARAM(SelStart()), LPARAM(valueEnd));
        else TCustomMaskEdit::SetSelStart(valueEnd);
        return discard();
    }
    if (key == VK_HOME && !Prefix.isEmpty()) {
        if (shift) Perform(EM_SETSEL, WPARAM(valueEnd), LPARAM(prefix));
        else TCustomMaskEdit::SetSelStart(prefix);
        return discard();
    }
    // 10.
    if (key == VK_BACK && !Prefix.isEmpty()) {
        if (SelStart() <= prefix + 1) return discard();
        SetModified(true);
    }
    if (key == VK_DELETE && SelStart() >= prefix) {
        const int at = SelStart() - prefix;
        QString after = value;
        if (SelLength() > 0) after.remove(at, SelLength());
        else after.remove(at, 1);
        if (LengthLimit > 0 && IntegerPartLength(after) - 1 > LengthLimit) return discard();
        SetModified(true);
    }
    TCustomMaskEdit::WMKeyDown(M);
    if (key == VK_DELETE && FEditType == etMoney) UpdateThousandSeparators();
    if (!Prefix.isEmpty() && SelStart() < prefix) TCustomMaskEdit::SetSelStart(prefix);
    // 11-12.
    popupKeys();
}

void TExCustomDropDown::WMGetDlgCode(TMessage& M) {
    // A multi-line edit window wants every key from the dialog.
    TCustomMaskEdit::WMGetDlgCode(M);
    M.Result |= DLGC_WANTALLKEYS;
}

void TExCustomDropDown::CMWantSpecialKey(TMessage& M) {
    TCustomForm* form = GetParentForm(this);
    if (!form) return;
    const unsigned key = unsigned(M.WParam);
    if (key == VK_ESCAPE && CanUndo && !form->KeyPreview()) {
        SelectAll();
        SetModified(false);
        if (DefaultHandling && Parent()) {
            PostMessage(Parent()->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessage(Parent()->Handle(), WM_KEYUP, VK_ESCAPE, 0);
        }
    }
    if (key == VK_RETURN && DefaultHandling && !form->KeyPreview() && Parent() && FocusedControl() == Parent()) {
        PostMessage(Parent()->Handle(), WM_KEYDOWN, VK_RETURN, 0);
        PostMessage(Parent()->Handle(), WM_KEYUP, VK_RETURN, 0);
    }
    TCustomMaskEdit::CMWantSpecialKey(M);
    // The key-down handler cancels an open popup.
    if (key == VK_ESCAPE && FDroppedDown) M.Result = 1;
}

// ---------------------------------------------------------------------------
// Clipboard
// ---------------------------------------------------------------------------

namespace {
QString SelectedPart(const QString& value, int caret, int prefix, int length) {
    return value.mid(std::max(0, caret - prefix), length);
}
}  // namespace

void TExCustomDropDown::WMCut(TMessage& M) {
    if (!FEditorEnabled || ReadOnly()) return;
    bool allow = true;
    FBlockCopy = true;
    if (OnClipboardCut) OnClipboardCut(this, SelectedPart(Text(), SelStart(), int(Prefix.size()), SelLength()), allow);
    if (allow) TCustomMaskEdit::WMCut(M);
    FBlockCopy = false;
}

void TExCustomDropDown::WMCopy(TMessage& M) {
    bool allow = true;
    if (!FBlockCopy && OnClipboardCopy)
        OnClipboardCopy(this, SelectedPart(Text(), SelStart(), int(Prefix.size()), SelLength()), allow);
    FBlockCopy = false;
    if (allow) TCustomMaskEdit::WMCopy(M);
}

void TExCustomDropDown::WMPaste(TMessage&) {
    if (ReadOnly() || !Clipboard()->HasFormat(CF_TEXT)) return;
    const QString clip = Clipboard()->AsText();
    const QString value = Text();
    const int prefix = int(Prefix.size());
    const int at = std::clamp(SelStart() - prefix, 0, int(value.size()));
    const int selLength = std::min(SelLength(), int(value.size()) - at);
    QString next = value.left(at) + clip + value.mid(at + selLength);
    const bool selectPasted = selLength > 0;
    bool allow = true;
    if (OnClipboardPaste) OnClipboardPaste(this, next, allow);
    if (!allow) return;
    if (MaxLength() > 0 && clip.size() + value.size() - selLength > MaxLength()) return;
    const QChar ds = DS();
    auto allOf = [&](const std::function<bool(QChar)>& ok) {
        for (QChar c : next)
            if (!ok(c)) return false;
        return true;
    };
    bool markModified = false;
    switch (FEditType) {
    case etString: case etPassword:
        SetText(next);
        markModified = true;
        break;
    case etNumeric:
        if (NumberTextKind(next) != 0 || (!Signed && next.contains(QLatin1Char('-')))) return;
        SetText(next);
        SetModified(true);
        break;
    case etFloat: case etMoney:
        if (NumberTextKind(next) > 1 || (FPrecision == 0 && clip.contains(ds))) return;
        if (Signed || !next.contains(QLatin1Char('-'))) {
            SetText(next);
            SetFloatValue(GetFloatValue());
        }
        SetModified(true);
        break;
    case etUppercase: SetText(next.toUpper()); markModified = true; break;
    case etLowerCase: SetText(next.toLower()); markModified = true; break;
    case etMixedCase: SetText(ToMixedCase(next)); markModified = true; break;
    case etAlphaNumeric:
        if (!allOf([](QChar c) { return IsDigit(c) || IsAsciiLetter(c); })) return;
        SetText(next);
        break;
    case etValidChars:
        if (!allOf([this](QChar c) { return ValidChars.contains(c); })) return;
        SetText(next);
        break;
    case etRange: case etHex: return;
    }
    if (FEditType == etMoney && Text().size() > 3) {
        SelectAll();
    } else if (selectPasted) {
        Perform(EM_SETSEL, WPARAM(prefix + at), LPARAM(prefix + at + clip.size()));
    } else {
        TCustomMaskEdit::SetSelStart(prefix + at + int(clip.size()));
    }
    if (markModified) SetModified(true);
}

// ---------------------------------------------------------------------------
// Focus and mouse
// ---------------------------------------------------------------------------

void TExCustomDropDown::WMSetFocus(TMessage& M) {
    if (InState(csLoading)) return;
    TCustomMaskEdit::WMSetFocus(M);
    if (FEditorEnabled) {
        FOldString = Text();
        if (AutoSelect()) SelectAll();
        else if (FEditType == etFloat || FEditType == etMoney) SelectBeforeDecimal();
    } else {
        Invalidate();
    }
}

void TExCustomDropDown::CMEnter(TMessage& M) {
    if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TCustomMaskEdit::CMEnter(M);
    RedrawBorder();
}

void TExCustomDropDown::DoEnter() {
    SetEditRect();
    TCustomMaskEdit::DoEnter();
}

void TExCustomDropDown::WMKillFocus(TMessage& M) {
    if (InState(csLoading)) return;
    const QString value = Text();
    if (FPrecision > 0 && (FEditType == etFloat || FEditType == etMoney) &&
        (!value.isEmpty() || !AllowNumericNullValue)) {
        const bool modified = Modified();
        SetFloatValue(GetFloatValue());
        TCustomMaskEdit::SetModified(modified);
        FIsModified = modified;
    } else if (value.isEmpty() && !AllowNumericNullValue) {
        if (FEditType == etNumeric) SetText(QStringLiteral("0"));
        else if (FEditType == etFloat || FEditType == etMoney) SetFloatValue(0);
    }
    TCustomMaskEdit::WMKillFocus(M);
    if (!FEditorEnabled) Invalidate();
}

void TExCustomDropDown::CMExit(TMessage& M) {
    TCustomMaskEdit::CMExit(M);
    RedrawBorder();
}

void TExCustomDropDown::WMLButtonDown(TMessage& M) {
    if (!FEditorEnabled) {
        TCustomMaskEdit::WMLButtonDown(M);
        DoButtonDropDown();
        return;
    }
    if (Focused() && SelLength() > 0) {
        const int at = CharFromPos(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)));
        if (at >= SelStart() && at < SelStart() + SelLength()) {
            // A press inside the selection keeps it, for a drag.
            FButtonDown = true;
            return;
        }
    }
    TCustomMaskEdit::WMLButtonDown(M);
}

void TExCustomDropDown::WMLButtonUp(TMessage& M) {
    if (!FEditorEnabled || ReadOnly()) DrawFocusedText();
    if (FButtonDown) TCustomMaskEdit::SetSelStart(CharFromPos(Point(GetXLParam(M.LParam), GetYLParam(M.LParam))));
    FButtonDown = false;
    TCustomMaskEdit::WMLButtonUp(M);
    const int prefix = int(Prefix.size());
    const int valueEnd = prefix + int(Text().size());
    if (!Prefix.isEmpty() && SelStart() < prefix) {
        Perform(EM_SETSEL, WPARAM(prefix), LPARAM(valueEnd));
    }
    if (!Suffix.isEmpty()) {
        if (SelLength() == 0 && SelStart() > valueEnd) TCustomMaskEdit::SetSelStart(valueEnd);
        else if (SelStart() + SelLength() > valueEnd) Perform(EM_SETSEL, WPARAM(SelStart()), LPARAM(valueEnd));
    }
}

bool TExCustomDropDown::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    const bool handled = TCustomMaskEdit::DoMouseWheel(Shift, WheelDelta, MousePos);
    if (WheelDelta < 0) SelectNextItem();
    else if (WheelDelta > 0) SelectPreviousItem();
    return handled;
}

void TExCustomDropDown::WndProc(TMessage& M) {
    if (M.Msg == CN_COMMAND) {
        CNCommand(M);
        return;
    }
    TCustomMaskEdit::WndProc(M);
    // The button shows the read-only state.
    if (M.Msg == EM_SETREADONLY && FButton) FButton->Button()->Invalidate();
}
