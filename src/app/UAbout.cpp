#include "app/UAbout.h"

#include "app/UComon.h"

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
