#pragma once
// The key of an encrypted wireless meter: 32 hexadecimal characters (16
// bytes), typed in upper case. OK closes only for a key of that form; the
// text stays for the next use.
#include "platform/controls/Forms.h"

#include <QString>

class TLabel;
class TEdit;
class TShape;
class TLbButton;

class TFInsertKeyWireless : public TForm {
    KAL_CLASS(TFInsertKeyWireless, TForm)
public:
    explicit TFInsertKeyWireless(TComponent* AOwner);
    ~TFInsertKeyWireless() override;
    void AfterConstruction() override;

    TShape* Shape1 = nullptr;
    TLabel* L_InsKey = nullptr;
    TEdit* E_Key = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    void FormCreate();
    void Set_Lang();
    // Every character "0".."9" or "A".."F".
    static bool Check_Data(const QString& key);
    // 32 characters (else text 1404), all hexadecimal (else 1403), then OK.
    void Btn_OKClick(TObject* Sender);
};

extern TFInsertKeyWireless* FInsertKeyWireless;
