#pragma once
// The general-parameters dialog's layout tables: its sixteen group boxes, the
// controls inside them and where each model places them, collapse and expand,
// and the "." key of the address edits. No window: the dialog and its tests
// walk these tables.
#include "project/ParGen.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// ---------------------------------------------------------------------------
// The general-parameters dialog without its window: the sixteen group boxes,
// the layout of each model's groups, collapse and expand, change tracking,
// the "." key of the address edits and the OK / Cancel / close flow. The
// window mirrors this state in its controls.

// The group boxes, in the order of their expanded flags.
enum class TParGenBox {
    KNX,
    Modbus_TCP_Slave, // captioned " Ethernet " for every model but 4
    Modbus_TCP_Master,
    Modbus_Slave,
    Modbus_Master,
    CAN,
    CANopen,
    DNET_Master,
    DNET_Slave,
    J1939,
    MBus_Options,
    wMBus,
    MBus,
    DMX,
    PROFINET, // captioned " SNMP " for model 15
    EtherNetIP,
};
inline constexpr int Group_Box_Count = 16;
using TGroupFlags = std::array<bool, Group_Box_Count>;

struct TGroupBoxInfo {
    TParGenBox Box;
    const char* Name;      // "GB_KNX"; its buttons are "Btn_KNX_Collapse" and "Btn_KNX_Expande"
    int Caption;           // text number of the caption (see Group_Caption)
    QStringList First_Row; // the controls hidden while the group is collapsed
    int Expand_Height;     // the height an expand sets before the layout corrects it
};

// The sixteen group boxes in flag order.
const QList<TGroupBoxInfo>& Group_Boxes();
const TGroupBoxInfo& Group_Box(TParGenBox box);
// The caption text number of a group for a model (115/116, 889/955).
int Group_Caption(TParGenBox box, int modelCode);
QString Collapse_Button_Name(TParGenBox box);
QString Expand_Button_Name(TParGenBox box);

// Row geometry inside a group box: the input of plain row n (from 1) and its
// caption label 3 pixels lower.
inline constexpr int Row_Input_Top(int row) { return 21 + 34 * (row - 1); }
inline constexpr int Row_Label_Top(int row) { return Row_Input_Top(row) + 3; }
inline constexpr int Edit_Height = 21;
inline constexpr int List_Height = 22;
inline constexpr int Collapsed_Height = 26;

// The controls inside the group boxes, with their places for the models that
// show them. Labels and check boxes carry their caption's text number.
enum class TControlKind { Label, Edit, List, Check_Box, Dot };

struct TParGenControl {
    TParGenBox Box;
    QString Name;
    TControlKind Kind;
    int Text; // caption text number; 0 for inputs and dots
    int Left, Top, Width, Height;
};

// Every control of the sixteen groups, in the order they stand (address
// blocks first, then rows from the top).
const QList<TParGenControl>& ParGen_Controls();
// The control as a model places it (model 15 moves the station name up);
// nullptr for an unknown name.
const TParGenControl* Find_Control_Place(const QString& name, int modelCode, TParGenControl* buffer);
// Whether a model shows a control of a group it shows: the KNXnet/IP rows only
// for 14 and 1014, the delay row only for 12 and 1012, the Ethernet group's
// port and diagnostic rows only for model 4, and model 15's PROFINET group
// without its port and byte-count rows.
bool Control_Shown(const QString& name, int modelCode);
// The caption text number of a label or check box for a model (the station
// name caption reads 956 for model 15).
int Control_Text(const TParGenControl& c, int modelCode);

// One per-model layout routine: the codes it serves, its name, and its groups
// from the top, each with the control whose bottom ends the group while it is
// expanded.
struct TGroupReference {
    TParGenBox Box;
    const char* Control;
};
struct TRePosition {
    QList<int> Codes;
    const char* Routine; // "RePosition_Objects_31A06"
    QList<TGroupReference> Groups;
};
const QList<TRePosition>& RePosition_Table();
// nullptr for a code that is not a model.
const TRePosition* Find_RePosition(int modelCode);

struct TGroupPlace {
    TParGenBox Box;
    int Left, Top, Width, Height;
    int Bottom() const { return Top + Height; }
};

struct TParGenLayout {
    QList<TGroupPlace> Groups; // the groups shown, top to bottom
    int Buttons_Top = 0;
    int Btn_OK_Left = 71;
    int Btn_Cancel_Left = 192;
    int Client_Width = 312;
    int Client_Height = 0;
    // The place of a shown group; nullptr when it is hidden.
    const TGroupPlace* Find(TParGenBox box) const;
};

// Lays out a model's groups: expanded groups end 15 pixels below their
// reference control, collapsed ones are 26 high, 6 pixels between groups,
// the buttons 13 below the last group and the client 54 below it. The M-Bus
// and wM-Bus groups show only while their presence list is at "Present" (1).
TParGenLayout Move_GroupBoxs(int modelCode, const TGroupFlags& expanded, int wirePresent = 1, int wirelessPresent = 1);

// The twelve octet edits of an address group in the order "." walks them
// (IP 1..4, mask 1..4, gateway 1..4); empty for the other groups.
QStringList Octet_Edits(TParGenBox box);
// A typed key in an edit of the dialog. Answers true when the key is
// swallowed: a "." in an octet edit of an address group the model shows.
// `next` then names the edit that takes the focus, empty after the fourth
// gateway octet.
bool Octet_KeyPress(int modelCode, const QString& edit, QChar key, QString* next);

// The control that shows a key's value; nullptr for an unknown control.
const TParKey* Find_ParGen_Control(const QString& control);

