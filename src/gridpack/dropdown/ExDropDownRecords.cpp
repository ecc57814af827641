#include "gridpack/dropdown/ExDropDownRecords.h"

namespace ExDropDownRecords {

void TDropDownColumn::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TDropDownColumn*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    Header = s->Header;
    Width = s->Width;
    AutoSize = s->AutoSize;
    Wordwrap = s->Wordwrap;
    Alignment = s->Alignment;
    Color = s->Color;
    ColumnType = s->ColumnType;
    FFont.Assign(s->FFont);
    Ellipsis = s->Ellipsis;
}

void TDropDownItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TDropDownItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    ImageIndex = s->ImageIndex;
    FText.Assign(&s->FText);
}

} // namespace ExDropDownRecords
