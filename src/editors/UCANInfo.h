#pragma once
// What the two CAN byte-map dialogs share: for each frame of the frame list
// (the list layout of the CAN frame files) the position in the KNX byte
// array of each of its data bytes, 65535 for none, in CAN_Rec_Info.xml or
// CAN_Send_Info.xml. Rows of the info file pair with frames by order. No
// step opens them.
//
// The receive dialog checks a byte field when it loses the focus and, at
// OK, that no two bytes of all frames name the same position (a position
// read from a hand-edited file outside the array fails there with its byte's
// message); the send dialog checks a field on every change and writes at OK
// without a check.
#include "platform/controls/Forms.h"

#include <QString>

#include <cstdint>
#include <vector>

class TEdit;
class TLabel;
class TLbButton;
class TListBox;
class TPanel;

// One frame of the frame list.
struct TRecInfo {
    int Dim = 0;                  // data bytes of the frame
    uint16_t PosB[8] = {65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535};
};

struct TCANInfoTexts {
    const char* Name;
    int Caption, Desc, Ok, Cancel, List_Caption, Bytes_Caption, First_Byte_Caption, Of_KNX, Not_In_Use;
    int Or_None;                  // " or none"; the byte messages follow it
    bool Receive;                 // field check on leaving, duplicate check at OK
    const QString* Frames_File;   // the frame list's path
    const QString* Frames_List;   // its list element
    const QString* Info_File;
    const QString* Info_Root;
};

class TFCANInfo : public TForm {
    KAL_CLASS(TFCANInfo, TForm)
public:
    TFCANInfo(TComponent* AOwner, const TCANInfoTexts& texts);
    void AfterConstruction() override;

    TPanel* P_Title = nullptr;
    TLabel* L_SW_Code = nullptr;
    TLabel* L_SW_Desc = nullptr;
    TLabel* StaticText1 = nullptr;
    TLabel* StaticText2 = nullptr;
    TListBox* ListBox1 = nullptr;
    TPanel* Panel[8] = {};
    TLabel* Byte_Caption[8] = {};   // StaticText3 .. StaticText10
    TEdit* Edit[8] = {};
    TLabel* Of_KNX[8] = {};         // StaticText11 .. StaticText18
    TLabel* Not_In_Use[8] = {};     // Label19 .. Label26
    TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    int32_t Num_Byte_Max = 1439;
    std::vector<TRecInfo> Data_arr;

    void FormCreate();
    void Set_Lang();
    void FormShow(TObject* Sender);
    void ListBox1Click(TObject* Sender);
    // Field k (1..8) of the selected frame: its text taken as a position.
    void Edit_Done(int k);
    // The duplicate check of the receive dialog.
    bool Controlla_dati();
    void bitbtn1Click(TObject* Sender);
    void Write_File();

private:
    void Load_Frames();
    void Load_Info();
    const TCANInfoTexts& FTexts;
};
