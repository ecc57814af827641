#pragma once
// The masked edit: an edit whose text follows an edit mask of the class
// library's syntax, "mask;save;blank":
//   mask   0 digit, 9 optional digit, # optional digit or sign, L letter,
//          l optional letter, A letter or digit, a optional, C any character,
//          c optional; > upper case and < lower case for what follows, <>
//          neither; \ takes the next character literally; _ stands for a
//          blank; : and / are the time and date separators; ! is accepted
//          and ignored; anything else is a literal.
//   save   "0" leaves the literals out of Text, "1" (the default) keeps them.
//   blank  the character shown in an empty position ("_" by default).
// Without a mask it is a plain edit.
#include "platform/controls/StdCtrls.h"

KAL_DECLARE_EXCEPTION(EDBEditError, Exception)

class TCustomMaskEdit : public TCustomEdit {
    KAL_CLASS(TCustomMaskEdit, TCustomEdit)
public:
    explicit TCustomMaskEdit(TComponent* AOwner);

    QString EditMask() const { return FEditMask; }
    void SetEditMask(const QString& v);
    bool IsMasked() const { return !FSlots.isEmpty(); }
    // The text with the mask's literals and blanks as shown.
    QString EditText() const { return TControl::Text(); }
    void SetEditText(const QString& v);
    // The text as stored: blanks as spaces, literals only when saved.
    QString Text() const;
    void SetText(const QString& v);
    // Raises EDBEditError when a required position is empty; the caret
    // goes there.
    virtual void ValidateEdit();
    // Escape puts back the text the edit had when it was entered.
    void Reset();

protected:
    void TypeChar(QChar ch) override;
    bool DeleteKey(bool back) override;
    bool InsertText(const QString& s) override;
    QString FilterText(const QString& s) const override;
    void CMExit(TMessage& M) override;
    void CMEnter(TMessage& M) override;
    void CMWantSpecialKey(TMessage& M) override;
    void WMKeyDown(TMessage& M) override;

private:
    struct Slot {
        QChar Kind;        // the mask character, or 0 for a literal
        QChar Literal;     // the literal shown
        int Case = 0;      // 1 upper, -1 lower
    };
    bool Accepts(const Slot& s, QChar& ch) const;
    bool Required(const Slot& s) const;
    int NextEditable(int pos) const;
    int PrevEditable(int pos) const;
    QString Blank() const;
    QString Format(const QString& text, bool withLiterals) const;

    QString FEditMask;
    QList<Slot> FSlots;
    bool FSaveLiterals = true;
    QChar FBlank = QLatin1Char('_');
    QString FEnterText;
};

class TMaskEdit : public TCustomMaskEdit {
    KAL_CLASS(TMaskEdit, TCustomMaskEdit)
public:
    explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
};
