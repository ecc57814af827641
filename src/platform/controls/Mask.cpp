#include "platform/controls/Mask.h"

#include "platform/controls/Forms.h"

#include <algorithm>

namespace {
const QString kInvalidInput = QStringLiteral("Invalid input value.  Use escape key to abandon changes");
}  // namespace

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

void TCustomMaskEdit::SetEditMask(const QString& v) {
    const QString old = IsMasked() ? Text() : TControl::Text();
    FEditMask = v;
    FSlots.clear();
    FSaveLiterals = true;
    FBlank = QLatin1Char('_');
    // The fields after the mask: the save flag and the blank character.
    QString mask = v;
    const QStringList fields = v.split(QLatin1Char(';'));
    if (fields.size() >= 2) {
        mask = fields[0];
        FSaveLiterals = fields[1] != QLatin1String("0");
        if (fields.size() >= 3 && !fields[2].isEmpty()) FBlank = fields[2][0];
    }
    int caseMode = 0;
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        switch (c.unicode()) {
        case '>':
            if (i + 1 < mask.size() && mask[i + 1] == QLatin1Char('<')) {
                caseMode = 0;
                ++i;
            } else {
                caseMode = 1;
            }
            continue;
        case '<': caseMode = -1; continue;
        case '!': continue;
        case '\\':
            if (i + 1 < mask.size()) FSlots << Slot{QChar(), mask[++i], 0};
            continue;
        case '_': FSlots << Slot{QChar(), QLatin1Char(' '), 0}; continue;
        case '0': case '9': case '#': case 'L': case 'l': case 'A': case 'a': case 'C': case 'c':
            FSlots << Slot{c, QChar(), caseMode};
            continue;
        default: FSlots << Slot{QChar(), c, 0}; continue;
        }
    }
    SetMaxLength(IsMasked() ? int(FSlots.size()) : 0);
    SetText(old);
}

QString TCustomMaskEdit::Blank() const {
    QString s;
    for (const Slot& sl : FSlots) s += sl.Kind.isNull() ? sl.Literal : FBlank;
    return s;
}

bool TCustomMaskEdit::Required(const Slot& s) const {
    return s.Kind == QLatin1Char('0') || s.Kind == QLatin1Char('L') || s.Kind == QLatin1Char('A') ||
           s.Kind == QLatin1Char('C');
}

bool TCustomMaskEdit::Accepts(const Slot& s, QChar& ch) const {
    if (s.Case > 0) ch = ch.toUpper();
    else if (s.Case < 0) ch = ch.toLower();
    switch (s.Kind.unicode()) {
    case '0': case '9': return ch.isDigit();
    case '#': return ch.isDigit() || ch == QLatin1Char('+') || ch == QLatin1Char('-');
    case 'L': case 'l': return ch.isLetter();
    case 'A': case 'a': return ch.isLetterOrNumber();
    case 'C': case 'c': return !ch.isNull();
    default: return false;
    }
}

int TCustomMaskEdit::NextEditable(int pos) const {
    while (pos < FSlots.size() && FSlots[pos].Kind.isNull()) ++pos;
    return pos;
}

int TCustomMaskEdit::PrevEditable(int pos) const {
    while (pos > 0 && FSlots[pos - 1].Kind.isNull()) --pos;
    return pos;
}

QString TCustomMaskEdit::Format(const QString& text, bool withLiterals) const {
    QString out = Blank();
    int src = 0;
    for (int i = 0; i < FSlots.size() && src < text.size(); ++i) {
        const Slot& s = FSlots[i];
        if (s.Kind.isNull()) {
            // A text with literals carries them in their places.
            if (withLiterals) ++src;
            continue;
        }
        QChar ch = text[src++];
        if (ch != QLatin1Char(' ') && ch != FBlank && Accepts(s, ch)) out[i] = ch;
    }
    return out;
}

QString TCustomMaskEdit::FilterText(const QString& s) const {
    if (!IsMasked()) return TCustomEdit::FilterText(s);
    return s.size() == FSlots.size() ? s : Format(s, FSaveLiterals);
}

void TCustomMaskEdit::SetEditText(const QString& v) {
    TControl::SetText(IsMasked() ? Format(v, true) : v);
}

QString TCustomMaskEdit::Text() const {
    const QString shown = TControl::Text();
    if (!IsMasked()) return shown;
    QString out;
    for (int i = 0; i < FSlots.size() && i < shown.size(); ++i) {
        if (FSlots[i].Kind.isNull()) {
            if (FSaveLiterals) out += shown[i];
        } else {
            out += shown[i] == FBlank ? QLatin1Char(' ') : shown[i];
        }
    }
    return out;
}

void TCustomMaskEdit::SetText(const QString& v) {
    TControl::SetText(IsMasked() ? Format(v, FSaveLiterals) : v);
}

void TCustomMaskEdit::TypeChar(QChar ch) {
    if (!IsMasked()) {
        TCustomEdit::TypeChar(ch);
        return;
    }
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    // The selection empties first; the character overwrites the next
    // position that takes input.
    QString text = EditText();
    const int selStart = SelStart(), selEnd = SelStart() + SelLength();
    const int pos = NextEditable(selStart);
    if (pos >= FSlots.size() || !Accepts(FSlots[pos], ch)) {
        MessageBeep(0);
        return;
    }
    for (int i = selStart; i < selEnd; ++i)
        if (!FSlots[i].Kind.isNull()) text[i] = FBlank;
    text[pos] = ch;
    const int caret = NextEditable(pos + 1);
    UserSetText(text, caret, caret);
}

bool TCustomMaskEdit::DeleteKey(bool back) {
    if (!IsMasked()) return TCustomEdit::DeleteKey(back);
    if (ReadOnly()) return false;
    QString text = EditText();
    int from = SelStart(), to = SelStart() + SelLength();
    if (from == to) {
        if (back) {
            from = PrevEditable(from);
            if (from == 0) return false;
            --from;
            to = from + 1;
        } else {
            from = NextEditable(from);
            if (from >= FSlots.size()) return false;
            to = from + 1;
        }
    }
    for (int i = from; i < to; ++i)
        if (!FSlots[i].Kind.isNull()) text[i] = FBlank;
    UserSetText(text, from, from);
    return true;
}

bool TCustomMaskEdit::InsertText(const QString& s) {
    if (!IsMasked()) return TCustomEdit::InsertText(s);
    if (ReadOnly()) return false;
    // Pasted text goes in character by character, as typed.
    for (QChar ch : s) {
        if (ch == QLatin1Char(' ')) continue;
        TypeChar(ch);
    }
    return true;
}

void TCustomMaskEdit::ValidateEdit() {
    if (!IsMasked()) return;
    const QString shown = EditText();
    for (int i = 0; i < FSlots.size(); ++i) {
        if (Required(FSlots[i]) && (i >= shown.size() || shown[i] == FBlank)) {
            SetSelStart(i);
            throw EDBEditError(kInvalidInput);
        }
    }
}

void TCustomMaskEdit::Reset() {
    if (IsMasked()) SetEditText(FEnterText);
}

void TCustomMaskEdit::CMEnter(TMessage& M) {
    FEnterText = EditText();
    TCustomEdit::CMEnter(M);
}

void TCustomMaskEdit::CMExit(TMessage& M) {
    // An incomplete text takes the focus back and is reported in the error
    // box; the focus change that was under way is not left half done.
    try {
        ValidateEdit();
    } catch (const Exception& e) {
        if (CanFocus()) SetFocus();
        Application()->HandleException(e);
        return;
    }
    TCustomEdit::CMExit(M);
}

void TCustomMaskEdit::CMWantSpecialKey(TMessage& M) {
    // Escape in a changed masked edit undoes the change, not the dialog.
    if (M.WParam == VK_ESCAPE && IsMasked() && EditText() != FEnterText) {
        M.Result = 1;
        return;
    }
    TCustomEdit::CMWantSpecialKey(M);
}

void TCustomMaskEdit::WMKeyDown(TMessage& M) {
    if (IsMasked() && M.WParam == VK_ESCAPE && EditText() != FEnterText) {
        Reset();
        SelectAll();
        M.Result = 1;
        return;
    }
    TCustomEdit::WMKeyDown(M);
}
