#include "app/UAbout.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UKalmetoreFirmWare.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"

TAboutValues About_Values(int modelCode)
{
    TAboutValues v;
    v.Description = Get_SW_Desc(modelCode);
    // A partner edition's row carries the partner's model and document codes.
    v.SW_Code = Get_SW_Code(modelCode);
    v.Version = Get_Version(modelCode);
    v.Doc_Code = Get_Doc_Code(modelCode);
    v.Partner = Is_Partner_Model(modelCode);
    return v;
}

// ---------------------------------------------------------------------------
// The dialog

TFAbout* FAbout = nullptr;

namespace {

TImage* Make_Logo(TFAbout* form, std::unique_ptr<TBitmap> picture)
{
    auto* i = new TImage(form);
    i->SetParent(form);
    i->SetBounds(32, 24, 81, 81);
    i->SetStretch(true);
    i->Picture()->SetGraphic(std::move(picture));
    i->PictureChanged();
    i->SetCursor(crHandPoint);
    i->OnClick = [form](TObject* Sender) { form->Label4Click(Sender); };
    return i;
}

} // namespace

TFAbout::TFAbout(TComponent* AOwner) : TForm(AOwner)
{
    SetName(QStringLiteral("FAbout"));
    Apply_Dialog_Look(this);
    SetBorderIcons(biSystemMenu);
    SetCaption(QStringLiteral("About"));
    Image2 = Make_Logo(this, Maker_Logo(81, 81));
    I_Brimel = Make_Logo(this, Partner_Logo(81, 81));
    I_Brimel->SetTransparent(true);
    I_Brimel->SetVisible(false);
    Label1 = Make_Label(this, this, 128, 24, About_Program_Name);
    Label1->Font()->SetStyle(fsBold);
    Label2 = Make_Label(this, this, 128, 39);
    Label6 = Make_Label(this, this, 128, 62, About_SW_Code_Caption);
    Label9 = Make_Label(this, this, 240, 62);
    Label3 = Make_Label(this, this, 128, 77, About_Version_Caption);
    Label10 = Make_Label(this, this, 240, 77);
    Label8 = Make_Label(this, this, 128, 93, About_Doc_Code_Caption);
    Label12 = Make_Label(this, this, 240, 93);
    Label4 = Make_Label(this, this, 297, 131, Company_Label);
    Label4->SetCursor(crHandPoint);
    Label4->Font()->SetColor(clBlue);
    Label4->Font()->SetStyle(fsUnderline);
    Label4->OnClick = [this](TObject* Sender) { Label4Click(Sender); };
    LbButton1 = Make_Button(this, this, 32, 115, 81, 22);
    LbButton1->SetCaption(QStringLiteral("OK"));
    LbButton1->SetModalResult(mrOk);
    LbButton1->SetDefault(true);
    LbButton1->SetCancel(true);
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TFAbout::AfterConstruction()
{
    TForm::AfterConstruction();
    FAbout = this;
    SetClientSize(406, 148);
}

void TFAbout::FormShow(TObject*)
{
    I_Brimel->SetVisible(false);
    Image2->SetVisible(true);
    Label4->SetVisible(true);
    const TAboutValues v = About_Values(Model_Code);
    Label2->SetCaption(v.Description);
    Label9->SetCaption(v.SW_Code);
    Label10->SetCaption(v.Version);
    Label12->SetCaption(v.Doc_Code);
    if (v.Partner) {
        I_Brimel->SetVisible(true);
        Image2->SetVisible(false);
        Label4->SetVisible(false);
    }
    SetClientSize(406, 148);
    Keep_Inside(Label4, 406);
}

void TFAbout::Label4Click(TObject*)
{
    Open_Link(Product_Page_Url(Model_Code));
}
