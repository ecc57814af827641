#include "platform/controls/EditCore.h"

#include <algorithm>

namespace {
bool IsWordChar(QChar c) { return !c.isSpace() && !c.isPunct() && !c.isSymbol(); }
}  // namespace

void TEditCore::Assign(const QString& text) {
    FText = text;
    FAnchor = FCaret = 0;
    FCanUndo = false;
}

void TEditCore::SetSel(int start, int length) {
    const int n = FText.size();
    // A negative start deselects, as EM_SETSEL -1 does.
    if (start < 0) {
        SetAnchorCaret(FCaret, FCaret);
        return;
    }
    start = std::clamp(start, 0, n);
    const int end = length < 0 ? n : std::clamp(start + length, 0, n);
    SetAnchorCaret(start, end);
}

void TEditCore::SetAnchorCaret(int anchor, int caret) {
    const int n = FText.size();
    FAnchor = std::clamp(anchor, 0, n);
    FCaret = std::clamp(caret, 0, n);
}

void TEditCore::MoveCaret(int pos, bool extend) {
    pos = std::clamp(pos, 0, int(FText.size()));
    if (extend) FCaret = pos;
    else FAnchor = FCaret = pos;
}

int TEditCore::Room() const {
    if (FMaxLength <= 0) return 1 << 30;
    return std::max(0, FMaxLength - (int(FText.size()) - SelLength()));
}

void TEditCore::SaveUndo() {
    FUndoText = FText;
    FUndoAnchor = FAnchor;
    FUndoCaret = FCaret;
    FCanUndo = true;
}

bool TEditCore::ReplaceSel(const QString& s, bool keepUndo) {
    QString in = s.left(Room());
    if (in.isEmpty() && (!s.isEmpty() || SelLength() == 0)) return false;
    if (keepUndo) SaveUndo();
    const int start = SelStart();
    FText.replace(start, SelLength(), in);
    FAnchor = FCaret = start + in.size();
    return true;
}

bool TEditCore::DeleteBack() {
    if (SelLength() == 0) {
        if (FCaret == 0) return false;
        int from = FCaret - 1;
        if (from > 0 && FText[from] == QLatin1Char('\n') && FText[from - 1] == QLatin1Char('\r')) --from;
        FAnchor = from;
    }
    SaveUndo();
    const int start = SelStart();
    FText.remove(start, SelLength());
    FAnchor = FCaret = start;
    return true;
}

bool TEditCore::DeleteForward() {
    if (SelLength() == 0) {
        if (FCaret >= FText.size()) return false;
        int to = FCaret + 1;
        if (FText[FCaret] == QLatin1Char('\r') && to < FText.size() && FText[to] == QLatin1Char('\n')) ++to;
        FAnchor = to;
    }
    SaveUndo();
    const int start = SelStart();
    FText.remove(start, SelLength());
    FAnchor = FCaret = start;
    return true;
}

int TEditCore::WordLeft(int pos) const {
    pos = std::clamp(pos, 0, int(FText.size()));
    while (pos > 0 && !IsWordChar(FText[pos - 1])) --pos;
    while (pos > 0 && IsWordChar(FText[pos - 1])) --pos;
    return pos;
}

int TEditCore::WordRight(int pos) const {
    const int n = FText.size();
    pos = std::clamp(pos, 0, n);
    while (pos < n && IsWordChar(FText[pos])) ++pos;
    while (pos < n && !IsWordChar(FText[pos])) ++pos;
    return pos;
}

void TEditCore::Undo() {
    if (!FCanUndo) return;
    // One level that toggles, as the platform's edit does.
    std::swap(FText, FUndoText);
    std::swap(FAnchor, FUndoAnchor);
    std::swap(FCaret, FUndoCaret);
}
