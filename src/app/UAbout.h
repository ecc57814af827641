#pragma once
// The about box: the program's name and the model's description, codes and
// version, with the maker's logo and web address (the partner's logo in the
// partner editions). Its texts are fixed English and do not follow the
// language.
#include "platform/controls/Forms.h"

#include <QString>

inline const QString About_Program_Name = QStringLiteral("Software Kalmetor ");
inline const QString About_SW_Code_Caption = QStringLiteral("Software Code : ");
inline const QString About_Version_Caption = QStringLiteral("Version :");
inline const QString About_Doc_Code_Caption = QStringLiteral("Document Code :");

// What the box shows for a model code.
struct TAboutValues {
    QString Description; // Label2
    QString SW_Code;     // Label9
    QString Version;     // Label10
    QString Doc_Code;    // Label12
    bool Partner = false; // the partner's logo, no maker's logo or address
};
TAboutValues About_Values(int modelCode);

// ---------------------------------------------------------------------------
// The dialog

class TLabel;
class TImage;
class TLbButton;

class TFAbout : public TForm {
    KAL_CLASS(TFAbout, TForm)
public:
    explicit TFAbout(TComponent* AOwner);
    void AfterConstruction() override;

    TImage* Image2 = nullptr;
    TImage* I_Brimel = nullptr;
    TLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label6 = nullptr,
           *Label8 = nullptr, *Label9 = nullptr, *Label10 = nullptr, *Label12 = nullptr;
    TLbButton* LbButton1 = nullptr;

    void FormShow(TObject* Sender);
    void Label4Click(TObject* Sender);
};

extern TFAbout* FAbout;
