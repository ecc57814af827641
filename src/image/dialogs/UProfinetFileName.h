#pragma once
// The PROFINET gateway's file-name dialog and the device-description steps of
// the main window. The dialog composes the GSDML file name from the two fixed
// parts (set once, when the dialog is created at program start) and the part
// the user types; the steps ask their questions through the dialog service.
#include "image/UEds.h"
#include "image/UProfinetXML.h"
#include "platform/controls/Forms.h"

#include <QString>

class TLabel;
class TEdit;
class TPanel;
class TLbButton;

class TFProfinetFileName : public TForm {
    KAL_CLASS(TFProfinetFileName, TForm)
public:
    explicit TFProfinetFileName(TComponent* AOwner);
    void AfterConstruction() override;

    TPanel* P_Title = nullptr;
    TLabel* L_SW_Code = nullptr;
    TLabel* L_SW_Desc = nullptr;
    TLabel* L_Select_Name = nullptr;
    TLabel* L_FixPart_1 = nullptr;
    TLabel* L_XML_Fix1 = nullptr;
    TLabel* L_UsedPart = nullptr;
    TEdit* E_XML_User = nullptr;
    TLabel* L_FixPart_2 = nullptr;
    TLabel* L_XML_Fix2 = nullptr;
    TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    // The composed file name; valid after OK.
    QString Name_File_XML;

    void FormCreate();
    // Texts 911 to 918; applied at creation only.
    void Set_Lang();
    void Btn_OK_Click(TObject* Sender);

    // Both fixed parts, as fixed at creation.
    const TProfinetFileNameParts& Parts() const { return FParts; }

private:
    TProfinetFileNameParts FParts;
};

extern TFProfinetFileName* FProfinetFileName;

// Size of the dialog's client area.
inline constexpr int ProfinetFileName_Width = 540;
inline constexpr int ProfinetFileName_Height = 205;

// ---------------------------------------------------------------------------
// The device-description steps

// Connects the questions of the GSDML saving to the dialog service: the save
// dialog chooses the folder, and the overwrite question (text 919) is a
// confirmation box with Yes and No. Called once by the main block.
void Connect_Device_Description_Dialogs();

// The save dialog that chooses the EDS file (the chooser Build_EDS_File
// takes): a name typed without an extension gets ".eds".
bool EDS_Choose_File(const QString& initialDir, const QString& filter, const QString& defaultExt,
                     QString& fileName);

// The "PROFINET XML" step (models 12 and 1012): shows FProfinetFileName and,
// on OK, saves the GSDML file under the composed name. Failures to write
// raise, for the application's error box.
void PROFINET_XML_Step();
// The "EDS File" step (model 6): asks for the file in the project folder and
// writes the data sheet there; Cancel writes nothing.
void Build_EDS_File_Step();
