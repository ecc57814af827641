#pragma once
// The string tree's own text editor: an edit link and the edit control it
// places over the edited cell. A tree whose application gives no editor of
// its own edits its texts with these.
#include "platform/controls/StdCtrls.h"
#include "treeview/LazyStringTree.h"

#include <memory>

class TLTEdit;

class TStringEditLink : public ILTEditLink, public std::enable_shared_from_this<TStringEditLink> {
public:
    TStringEditLink();
    ~TStringEditLink() override;

    // The edit control; writing it frees the previous one first.
    TLTEdit* Edit() const { return FEdit; }
    void SetEdit(TLTEdit* Value);
    TCustomLazyStringTree* Tree() const { return FTree; }
    PLazyNode Node() const { return FNode; }
    TColumnIndex Column() const { return FColumn; }
    TAlignment Alignment() const { return FAlignment; }
    bool Stopping() const { return FStopping; }

    bool BeginEdit() override;
    bool CancelEdit() override;
    bool EndEdit() override;
    bool PrepareEdit(TBaseLazyTree* Tree, PLazyNode Node, TColumnIndex Column) override;
    TRect GetBounds() override;
    void ProcessMessage(TMessage& Message) override;
    void SetBounds(TRect R) override;

private:
    friend class TLTEdit;
    void MakeEdit();
    // The control lets go of this link (its two references).
    void DetachEdit();

    TLTEdit* FEdit = nullptr;
    TCustomLazyStringTree* FTree = nullptr;
    PLazyNode FNode = nullptr;
    TColumnIndex FColumn = NoColumn;
    TAlignment FAlignment = taLeftJustify;
    TRect FTextBounds;
    bool FStopping = false;
};

class TLTEdit : public TCustomEdit {
    KAL_CLASS(TLTEdit, TCustomEdit)
public:
    // The private message that fits the control to its text again.
    static constexpr unsigned CM_AUTOADJUST = 47061;

    explicit TLTEdit(TStringEditLink* Link);
    ~TLTEdit() override;
    // Frees the control later, from the message loop.
    virtual void Release();
    // A one-line editor takes the width of its text (plus "yG" and the
    // tree's text margins), keeping the edge its alignment names.
    virtual void AdjustToText();
    // The link, while the edit goes on (nil once it ended).
    TStringEditLink* Link() const { return FLink; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& M) override;
    void Change() override;

private:
    friend class TStringEditLink;
    bool MultilineNode() const;

    std::shared_ptr<ILTEditLink> FRefLink;
    TStringEditLink* FLink = nullptr;
    // The link that made the control, told when the control goes first.
    TStringEditLink* FMaker = nullptr;
};
