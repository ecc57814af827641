#include "gridpack/stringgrid/ExGridOwned.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Hidden-row store
// ---------------------------------------------------------------------------

TGridItem::TGridItem(TCollection* Collection) : TCollectionItem(Collection) {}

TGridItem::~TGridItem() = default;

TStringList* TGridItem::Items() const
{
    if (FRowCols >= 0) {
        // First use of the list: the held record becomes one text and
        // object per real column.
        const std::unique_ptr<TStringGrid::TRowData> row = std::move(FRow);
        const int cols = FRowCols;
        FRowCols = -1;
        FItems.Clear();
        const int n = row ? std::min(cols, int(row->size())) : 0;
        for (int c = 0; c < n; ++c)
            FItems.AddObject((*row)[std::size_t(c)].Text, (*row)[std::size_t(c)].Object);
        for (int c = n; c < cols; ++c)
            FItems.AddObject(QString(), nullptr);
    }
    return &FItems;
}

void TGridItem::SetItems(const TStrings* Value)
{
    FRow.reset();
    FRowCols = -1;
    FItems.Assign(Value);
}

void TGridItem::HoldRow(std::unique_ptr<TStringGrid::TRowData> Row, int Cols)
{
    FItems.Clear();
    if (Row && int(Row->size()) > Cols)
        Row->resize(std::size_t(std::max(Cols, 0)));
    FRow = std::move(Row);
    FRowCols = std::max(Cols, 0);
}

std::unique_ptr<TStringGrid::TRowData> TGridItem::TakeRow()
{
    FRowCols = -1;
    return std::move(FRow);
}

// ---------------------------------------------------------------------------
// Settings records
// ---------------------------------------------------------------------------

THTMLSettings::THTMLSettings() : FColWidths(new TIntList(0, 0)) {}

THTMLSettings::~THTMLSettings() { delete FColWidths; }

void THTMLSettings::Assign(const TPersistent* Source)
{
    if (const auto* s = dynamic_cast<const THTMLSettings*>(Source)) {
        AutoPreview = s->AutoPreview;
        BorderSize = s->BorderSize;
        CellSpacing = s->CellSpacing;
        CellPadding = s->CellPadding;
        ConvertSpecialChars = s->ConvertSpecialChars;
        ExportImages = s->ExportImages;
        FooterFile = s->FooterFile;
        HeaderFile = s->HeaderFile;
        NonBreakingText = s->NonBreakingText;
        PrefixTag = s->PrefixTag;
        SaveColor = s->SaveColor;
        SaveFonts = s->SaveFonts;
        SuffixTag = s->SuffixTag;
        Summary = s->Summary;
        TableStyle = s->TableStyle;
        Width = s->Width;
        XHTML = s->XHTML;
    }
}

void TDragDropSettings::Assign(const TPersistent* Source)
{
    if (const auto* s = dynamic_cast<const TDragDropSettings*>(Source)) {
        OleAcceptFiles = s->OleAcceptFiles;
        OleAcceptText = s->OleAcceptText;
        OleAcceptURLs = s->OleAcceptURLs;
        OleCopyAlways = s->OleCopyAlways;
        OleDropTarget = s->OleDropTarget;
        OleDropSource = s->OleDropSource;
        OleDropRTF = s->OleDropRTF;
        OleEntireRows = s->OleEntireRows;
        OleInsertRows = s->OleInsertRows;
        OleAppendRows = s->OleAppendRows;
        OleRemoveRows = s->OleRemoveRows;
        OleColumnDragDrop = s->OleColumnDragDrop;
        OleColumnsOnly = s->OleColumnsOnly;
        OleColumnReorder = s->OleColumnReorder;
        ShowCells = s->ShowCells;
    }
}

void TDragScrollDelays::Assign(const TPersistent* Source)
{
    if (const auto* s = dynamic_cast<const TDragScrollDelays*>(Source)) {
        InitialDelay = s->InitialDelay;
        RepeatDelay = s->RepeatDelay;
    }
}

void TDragScrollMargins::Assign(const TPersistent* Source)
{
    if (const auto* s = dynamic_cast<const TDragScrollMargins*>(Source)) {
        TopMargin = s->TopMargin;
        BottomMargin = s->BottomMargin;
        LeftMargin = s->LeftMargin;
        RightMargin = s->RightMargin;
    }
}

void TDragScrollOptions::Assign(const TPersistent* Source)
{
    if (const auto* s = dynamic_cast<const TDragScrollOptions*>(Source)) {
        FMargins.Assign(&s->FMargins);
        FDelays.Assign(&s->FDelays);
        Active = s->Active;
    }
}

void TShowModified::SetColor(TColor v)
{
    FColor = v;
    if (OnChange)
        OnChange(this);
}

void TShowModified::Assign(const TPersistent* Source)
{
    if (const auto* s = dynamic_cast<const TShowModified*>(Source)) {
        FColor = s->FColor;
        Enabled = s->Enabled;
    }
}

void TBalloonSettings::SetEnable(bool v)
{
    FEnable = v;
    if (OnEnableChange)
        OnEnableChange(this);
}

void TBalloonSettings::Assign(const TPersistent* Source)
{
    if (const auto* s = dynamic_cast<const TBalloonSettings*>(Source)) {
        TextColor = s->TextColor;
        BackgroundColor = s->BackgroundColor;
        InitialDelay = s->InitialDelay;
        AutoHideDelay = s->AutoHideDelay;
        ReshowDelay = s->ReshowDelay;
        SetEnable(s->Enable());
    }
}

void TSizeWhileTyping::Assign(const TPersistent* Source)
{
    if (const auto* s = dynamic_cast<const TSizeWhileTyping*>(Source)) {
        Height = s->Height;
        Width = s->Width;
    }
}

void TGrouping::Assign(const TPersistent* Source)
{
    if (const auto* s = dynamic_cast<const TGrouping*>(Source)) {
        Color = s->Color;
        HeaderColor = s->HeaderColor;
        HeaderColorTo = s->HeaderColorTo;
        HeaderTextColor = s->HeaderTextColor;
        HeaderUnderline = s->HeaderUnderline;
        SummaryColor = s->SummaryColor;
        SummaryColorTo = s->SummaryColorTo;
        SummaryTextColor = s->SummaryTextColor;
        SummaryLine = s->SummaryLine;
        MergeHeader = s->MergeHeader;
        MergeSummary = s->MergeSummary;
        ShowGroupCount = s->ShowGroupCount;
        GroupCountFormat = s->GroupCountFormat;
        AutoSelectGroup = s->AutoSelectGroup;
        AutoCheckGroup = s->AutoCheckGroup;
    }
}
