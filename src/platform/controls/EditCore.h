#pragma once
// The text, selection and undo of an edit field, apart from any window: the
// edit, the memo, the masked edit and the combo box's edit part share it.
// Positions count UTF-16 code units, as the controls' messages do.
#include <QString>

class TEditCore {
public:
    const QString& Text() const { return FText; }
    // Replaces the whole text; the caret goes to the start and the undo
    // buffer is emptied, as setting a window's text does.
    void Assign(const QString& text);

    // The selection runs from the anchor to the caret.
    int Anchor() const { return FAnchor; }
    int Caret() const { return FCaret; }
    int SelStart() const { return FAnchor < FCaret ? FAnchor : FCaret; }
    int SelLength() const { return FAnchor < FCaret ? FCaret - FAnchor : FAnchor - FCaret; }
    QString SelText() const { return FText.mid(SelStart(), SelLength()); }
    // Both clamped to the text; the caret ends at the far end.
    void SetSel(int start, int length);
    void SetAnchorCaret(int anchor, int caret);
    void MoveCaret(int pos, bool extend);
    void SelectAll() { SetAnchorCaret(0, FText.size()); }

    // 0: no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v) { FMaxLength = v < 0 ? 0 : v; }
    // Room left for new text once the selection is replaced.
    int Room() const;

    // Replaces the selection with `s`, cut to the room there is; the caret
    // goes after it. Answers false when nothing of `s` fitted (and `s` was
    // not empty) or nothing changed.
    bool ReplaceSel(const QString& s, bool keepUndo = true);
    // Deletes the selection, or the character before (back) or after the
    // caret when nothing is selected; a CR LF pair goes as one.
    bool DeleteBack();
    bool DeleteForward();

    // Word boundaries for Ctrl+arrows and double clicks.
    int WordLeft(int pos) const;
    int WordRight(int pos) const;

    bool CanUndo() const { return FCanUndo; }
    void Undo();
    void EmptyUndo() { FCanUndo = false; }

private:
    void SaveUndo();
    QString FText;
    int FAnchor = 0, FCaret = 0;
    int FMaxLength = 0;
    QString FUndoText;
    int FUndoAnchor = 0, FUndoCaret = 0;
    bool FCanUndo = false;
};
