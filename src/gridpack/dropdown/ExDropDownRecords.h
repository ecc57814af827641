#pragma once
// The column and item records the two grid-like drop-downs keep (the
// multi-column drop-down and the grid drop-down): a column's header, width
// and look, and an item's image and text lines. Each drop-down's unit names
// them in its own namespace (ExMultiCol, ExGridDD), together with its own
// collections of them.
#include "platform/controls/Controls.h"
#include "platform/core/Collections.h"
#include "platform/core/StringList.h"
#include "platform/graphics/Graphics.h"

namespace ExDropDownRecords {

enum TColumnType { ctText, ctImage };

class TDropDownColumn : public TCollectionItem {
    KAL_CLASS(TDropDownColumn, TCollectionItem)
public:
    explicit TDropDownColumn(TCollection* Collection) : TCollectionItem(Collection) {}
    QString Header;
    int Width = 80;
    bool AutoSize = false;
    bool Wordwrap = false;
    TAlignment Alignment = taLeftJustify;
    TColor Color = TColor(0xFFFFFF);
    TColumnType ColumnType = ctText;
    bool Ellipsis = false;
    TFont* Font() { return &FFont; }
    const TFont* Font() const { return &FFont; }
    void SetFont(const TFont& f) { FFont.Assign(f); }
    // Every property from another column (the font by copy); else the
    // standard copy.
    void Assign(const TPersistent* Source) override;

private:
    TFont FFont;
};

class TDropDownItem : public TCollectionItem {
    KAL_CLASS(TDropDownItem, TCollectionItem)
public:
    explicit TDropDownItem(TCollection* Collection) : TCollectionItem(Collection) {}
    int ImageIndex = -1;
    // Line i is the item's text in column i.
    TStringList* Text() { return &FText; }
    const TStringList* Text() const { return &FText; }
    void SetText(const TStrings* v) { FText.Assign(v); }
    // The item's line at Column, empty when it has none.
    QString Line(int Column) const { return Column >= 0 && Column < FText.Count() ? FText.Get(Column) : QString(); }
    // The image index and the text lines (copying the lines keeps a copied
    // item list whole).
    void Assign(const TPersistent* Source) override;

protected:
    TStringList FText;
};

} // namespace ExDropDownRecords
