#pragma once
// The general-parameters dialog (ParGen.xml): its state and its window. The
// unit is split along its seams: the key table and the values it edits are
// project/ParGen.h, shared with every other reader of the file; the checks
// are UParGen_Checks.h, the layout tables UParGen_Layout.h.
#include "app/UParGen_Checks.h"
#include "app/UParGen_Layout.h"
#include "project/ParGen.h"
#include "platform/controls/Forms.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>


class TParGenDialogModel {
public:
    // Creation: every group expanded.
    explicit TParGenDialogModel(int modelCode);

    int ModelCode() const { return FValues.ModelCode(); }
    TParGenValues& Values() { return FValues; }
    const TParGenValues& Values() const { return FValues; }

    // True while the group is expanded; kept from one opening to the next.
    bool GB_Visible(TParGenBox box) const { return FExpanded[int(box)]; }
    bool Is_Change() const { return FIs_Change; }

    void Collapse_Expand_Creation();
    // Fills from the file (or the defaults when it does not exist) and clears
    // the change flag. A file that is not well-formed raises naming it.
    void FormShow(const QString& path);

    void Btn_GB_Collapse(TParGenBox box);
    void Btn_GB_Expande(TParGenBox box);
    TParGenLayout Move_GroupBoxs() const;

    // A changed edit or list (by key): sets the change flag. For the M-Bus
    // presence lists, answers text 736 when both would be "Not Present" and
    // puts the changed list back to "Present"; else an empty text.
    QString On_Change(const QString& key, const QString& value);
    // A clicked check box (by key).
    void On_Click(const QString& key, bool ticked);

    // OK: validates (one message through showError) and writes the file.
    // True when written: the dialog closes with OK. A write failure raises
    // and the dialog stays open.
    bool Btn_OKClick(const QString& path, const std::function<void(const QString&)>& showError);
    // Cancel, and closing by the title bar: true when the dialog may close.
    // After a change, asks text 167 through confirm (true for Yes).
    bool Btn_CancelClick(const std::function<bool(const QString&)>& confirm) const;
    bool FormCloseQuery(const std::function<bool(const QString&)>& confirm) const;

private:
    TParGenValues FValues;
    TGroupFlags FExpanded{};
    bool FIs_Change = false;
};

// ---------------------------------------------------------------------------
// The dialog's window

class TGroupBox;
class TLabel;
class TPanel;
class TLbButton;

class TFParGen : public TForm {
    KAL_CLASS(TFParGen, TForm)
public:
    explicit TFParGen(TComponent* AOwner);

    TPanel* P_Title = nullptr;
    TLabel* L_SW_Code = nullptr;
    TLabel* L_SW_Desc = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    // The group boxes, their collapse and expand buttons, and every control
    // inside them, by the names the dialog gives them.
    TGroupBox* GB(TParGenBox box) const { return FGroups[size_t(box)]; }
    TLbButton* Collapse_Button(TParGenBox box) const { return FCollapse[size_t(box)]; }
    TLbButton* Expand_Button(TParGenBox box) const { return FExpand[size_t(box)]; }
    TControl* Control(const QString& name) const { return FControls.value(name); }
    template <class T> T* Control_As(const QString& name) const { return dynamic_cast<T*>(Control(name)); }

    // The dialog's state, mirrored by the controls.
    TParGenDialogModel& Model() { return FModel; }

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void Btn_OKClick(TObject* Sender);
    void Btn_CancelClick(TObject* Sender);
    void Btn_GB_Collapse(TObject* Sender);
    void Btn_GB_Expande(TObject* Sender);
    void On_Change(TObject* Sender);
    void On_Click(TObject* Sender);
    void KeyPress(TObject* Sender, QChar& Key);
    void Set_Lang();
    void Move_GroupBoxs();
    void Collapse_Expand_Creation();

private:
    void Create_Controls();
    // Puts the model's values into the controls (their change events are
    // not taken as the user's).
    void Fill_Controls();
    QString Key_Of(TObject* control) const;
    bool Confirm(const QString& question) const;

    TParGenDialogModel FModel;
    std::array<TGroupBox*, Group_Box_Count> FGroups{};
    std::array<TLbButton*, Group_Box_Count> FCollapse{};
    std::array<TLbButton*, Group_Box_Count> FExpand{};
    QMap<QString, TControl*> FControls;
    bool FFilling = false;
    // OK saved or Cancel confirmed: the close needs no question.
    bool FClose_Allowed = false;
};

// The one general-parameters dialog of the program, created at start-up.
extern TFParGen* FParGen;
