#pragma once
// The base of the string grid's cell checkers. A checker that corrects cell
// texts or marks their errors derives from it; the base accepts every text
// as it is. Marks wrap each error in the tag named "e", which the mark-up
// renderer underlines with a red zig-zag.
#include "platform/core/Components.h"

#include <QString>

class ROroRoravaZuzoZovor : public TComponent {
    KAL_CLASS(ROroRoravaZuzoZovor, TComponent)
public:
    explicit ROroRoravaZuzoZovor(TComponent* owner) : TComponent(owner) {}

    // The text with its errors marked; the base returns s.
    virtual QString MarkError(int ACol, int ARow, const QString& s);
    // The corrected text; the base returns s.
    virtual QString Correct(int ACol, int ARow, const QString& s);
    // Called once before and once after a check of several cells.
    virtual void StartCheck();
    virtual void StopCheck();

    // The grid moves its current cell to each cell checked.
    bool GotoCell() const { return FGotoCell; }
    void SetGotoCell(bool v) { FGotoCell = v; }
    // After an edit the new text goes through Correct first.
    bool AutoCorrect() const { return FAutoCorrect; }
    void SetAutoCorrect(bool v) { FAutoCorrect = v; }
    // After an edit the accepted text goes through MarkError.
    bool AutoMarkError() const { return FAutoMarkError; }
    void SetAutoMarkError(bool v) { FAutoMarkError = v; }
    // An explicit check passes each cell through Correct / MarkError.
    bool UseCorrect() const { return FUseCorrect; }
    void SetUseCorrect(bool v) { FUseCorrect = v; }
    bool UseMarkError() const { return FUseMarkError; }
    void SetUseMarkError(bool v) { FUseMarkError = v; }

private:
    bool FGotoCell = false;
    bool FAutoCorrect = false;
    bool FAutoMarkError = false;
    bool FUseCorrect = false;
    bool FUseMarkError = false;
};
