#pragma once
// The string tree: a lazy tree that shows text. It keeps no texts: every cell
// text is asked from the application (OnGetCellText or OnGetText) when it is
// needed. It caches the pixel width of each node's main-column text in a
// 4-byte area of its own in every node block (0: not measured yet), remembers
// the texts of selected nodes to select them again when nodes come back
// (toRestoreSelection), writes the main-column text into the tree stream as a
// caption chunk, and paints, measures and shortens its texts.
#include "platform/controls/Clipboard.h"
#include "treeview/LazyTrees.h"

#include <QPair>
#include <QStringList>
#include <QVariant>

class TCustomLazyStringTree;

// The texts of one cell, asked in one request.
struct TVSTGetCellTextEventArgs {
    PLazyNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    QString CellText;
    QString StaticText;
    TLTExportType ExportType = etNone;
    TVSTGetCellTextEventArgs() = default;
    TVSTGetCellTextEventArgs(PLazyNode ANode, TColumnIndex AColumn, TLTExportType AExportType = etNone)
        : Node(ANode), Column(AColumn), ExportType(AExportType) {}
};

using TVSTGetTextEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column,
                                            TVSTTextType TextType, QString& CellText)>;
using TVSTGetCellTextEvent = std::function<void(TCustomLazyStringTree* Sender, TVSTGetCellTextEventArgs& E)>;
using TVSTNewTextEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, const QString& NewText)>;
using TLTPaintText = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node,
                                        TColumnIndex Column, TVSTTextType TextType)>;
using TVSTGetHintEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column,
                                            TLTTooltipLineBreakStyle& LineBreakStyle, QString& HintText)>;
using TVSTShortenStringEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node, TColumnIndex Column,
                       const QString& S, int TextSpace, QString& Result, bool& Done)>;
using TLTMeasureTextEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node,
                                               TColumnIndex Column, const QString& Text, int& Extent)>;
using TLTDrawTextEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node, TColumnIndex Column,
                       const QString& Text, const TRect& CellRect, bool& DefaultDraw)>;

// The string option set of older form descriptions, read only.
enum TOldLTStringOption : uint8_t { soSaveCaptions, soShowStaticText };

class TCustomLazyStringTree : public TBaseLazyTree {
    KAL_CLASS(TCustomLazyStringTree, TBaseLazyTree)
    friend class TLTExporter;
public:
    explicit TCustomLazyStringTree(TComponent* AOwner);
    ~TCustomLazyStringTree() override;
    TCustomStringTreeOptions* TreeOptions() const { return static_cast<TCustomStringTreeOptions*>(FOptions.get()); }
    TLTStringOptions StringOptions() const { return TreeOptions()->StringOptions(); }
    void SetStringOptions(TLTStringOptions Value);
    // Offset of the string tree's own per-node area (the cached text width).
    uint32_t InternalDataOffset() const { return FInternalDataOffset; }
    // The node's width cache; nil for nil and when no area was reserved.
    int32_t* NodeWidthCache(PLazyNode Node) const {
        if (!Node || FInternalDataOffset == 0) return nullptr;
        return reinterpret_cast<int32_t*>(InternalDataOf(Node, FInternalDataOffset));
    }

    // ----- the text model
    QString DefaultText() const { return FDefaultText; }
    void SetDefaultText(const QString& Value);
    QString GetText(PLazyNode Node, TColumnIndex Column);
    QString GetStaticText(PLazyNode Node, TColumnIndex Column);
    QString GetImageText(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column);
    void SetText(PLazyNode Node, TColumnIndex Column, const QString& Value);
    QString Path(PLazyNode Node, TColumnIndex Column, QChar Delimiter);
    // The character height and the width of "..." in the tree's font.
    int TextHeight() {
        if (FTextHeight == 0) MeasureFont();
        return FTextHeight;
    }
    int EllipsisWidth() {
        if (FEllipsisWidth == 0) MeasureFont();
        return FEllipsisWidth;
    }
    // The texts remembered for restoring the selection (nil until needed).
    const QStringList* PreviouslySelected() const { return FPreviouslySelected.get(); }

    // ----- overrides of the base tree's operations
    PLazyNode AddChild(PLazyNode Parent, void* UserData = nullptr) override;
    using TBaseLazyTree::AddChild;
    TRect InvalidateNode(PLazyNode Node) override;
    void ReinitNode(PLazyNode Node, bool Recursive) override;
    void SetChildCount(PLazyNode Node, uint32_t NewChildCount) override;
    void AfterMainColumnChange() override;
    int NodeWidth(PLazyNode Node, TColumnIndex Column, TCanvas* Canvas = nullptr) override;
    int NodeExtraWidth(PLazyNode Node, TColumnIndex Column, TCanvas* Canvas = nullptr) override;
    void GetTextInfo(PLazyNode Node, TColumnIndex Column, TFont* AFont, TRect& R, QString& Text) override;
    bool FireGetCellIsEmpty(PLazyNode Node, TColumnIndex Column) override;
    int FireIncrementalSearch(PLazyNode Node, const QString& SearchText) override;
    QString NodeHint(PLazyNode Node, TColumnIndex Column, TLTTooltipLineBreakStyle& LineBreakStyle) override;
    QString NodeTooltip(PLazyNode Node, TColumnIndex Column, TLTTooltipLineBreakStyle& LineBreakStyle) override;
    // The application's editor, or the tree's own text editor when it gives none.
    void FireCreateEditor(PLazyNode Node, TColumnIndex Column, ILTEditLinkRef& EditLink) override;
    void NextPaintColumn(TLTPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty) override;
    // The pixel height a text needs in a cell (S empty: the cell's text).
    virtual int ComputeNodeHeight(TCanvas* Canvas, PLazyNode Node, TColumnIndex Column, QString S = QString());

    // ----- the component stream's properties, as name/value pairs:
    // "WideDefaultText" is written only for a text other than "Node"; the
    // old "StringOptions" (a set, given as its identifiers) is read only.
    QList<QPair<QString, QVariant>> DefinedProperties() const;
    // False for a name this tree does not define.
    bool ReadDefinedProperty(const QString& Name, const QVariant& Value);

    // ----- exports (LazyTreesExport.cpp)
    QString ContentToHTML(TVSTTextSourceType Source, const QString& Caption = QString());
    QByteArray ContentToRTF(TVSTTextSourceType Source);
    QString ContentToText(TVSTTextSourceType Source, const QString& Separator);
    QString ContentToText(TVSTTextSourceType Source, QChar Separator);
    QString ContentToUnicode(TVSTTextSourceType Source, QChar Separator);
    // One quoted line per top-level node (and the column captions first).
    QStringList CSVLines(bool IncludeHeading);
    // False only for an empty file name; a file that cannot be written
    // raises the stream error.
    bool SaveToCSVFile(const QString& FileNameWithPath, bool IncludeHeading);
    // The block of a text format, with its terminator; empty for a format
    // this tree does not render.
    QByteArray ContentToClipboard(TClipFormat Format, TVSTTextSourceType Source);
    void ContentToCustom(TVSTTextSourceType Source);
    HRESULT RenderDataFormat(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard) override;

    // ----- events
    TVSTGetTextEvent OnGetText;
    TVSTGetCellTextEvent OnGetCellText;
    TVSTNewTextEvent OnNewText;
    TLTPaintText OnPaintText;
    TVSTGetHintEvent OnGetHint;
    TVSTShortenStringEvent OnShortenString;
    TLTMeasureTextEvent OnMeasureTextWidth, OnMeasureTextHeight;
    TLTDrawTextEvent OnDrawText;

protected:
    std::unique_ptr<TCustomLazyTreeOptions> MakeOptions() override;
    void CMFontChanged(TMessage& M) override;
    void AddToSelection(PLazyNode Node) override;
    void RemoveFromSelection(PLazyNode Node) override;
    void WriteStreamChunks(TStream* Stream, PLazyNode Node) override;
    bool ReadStreamChunk(TStream* Stream, int Version, int32_t ChunkSize, int32_t ChunkType,
                         PLazyNode Node) override;
    void PaintNodeContent(TLTPaintInfo& PaintInfo) override;

    // ----- text painting and measuring (LazyStringTreePaint.cpp)
    virtual void PaintCellText(TLTPaintInfo& PaintInfo, int TextOutFlags, QString Text);
    virtual void PaintCellStaticText(TLTPaintInfo& PaintInfo, int TextOutFlags, const QString& Text);
    virtual int StaticTextWidth(TCanvas* Canvas, PLazyNode Node, const QString& Text, TColumnIndex Column);
    virtual int NormalTextWidth(TCanvas* Canvas, PLazyNode Node, const QString& Text, TColumnIndex Column);
    virtual void FireGetCellText(TVSTGetCellTextEventArgs& E);
    virtual void FireNewText(PLazyNode Node, TColumnIndex Column, const QString& Text);
    virtual void FirePaintText(PLazyNode Node, TCanvas* Canvas, TColumnIndex Column, TVSTTextType TextType);
    virtual QString FireShortenString(TCanvas* Canvas, PLazyNode Node, TColumnIndex Column, const QString& S,
                                      int Width, int EllipsisWidth);
    virtual void DrawCellText(TLTPaintInfo& PaintInfo, const QString& Text, const TRect& CellRect,
                              unsigned DrawFormat);
    virtual TSize MeasureText(TCanvas* Canvas, PLazyNode Node, TColumnIndex Column, const QString& Text);
    // Font and colour of a normal text.
    void PrepareTextFont(TLTPaintInfo& PaintInfo);
    // Sets the width cache of Node (and, recursively, of its subtree; nil:
    // every node) back to "not measured".
    void ClearWidthCache(PLazyNode Node, bool Recursive);
    void ClearAllWidthCaches();
    // Measures the font's character height and "..." again.
    void MeasureFont();

    uint32_t FInternalDataOffset = 0;
    QString FDefaultText = QStringLiteral("Node");
    int FTextHeight = 0;
    int FEllipsisWidth = 0;
    // Sorted, without duplicates, compared without letter case.
    std::unique_ptr<QStringList> FPreviouslySelected;
};

class TLazyStringTree : public TCustomLazyStringTree {
    KAL_CLASS(TLazyStringTree, TCustomLazyStringTree)
public:
    explicit TLazyStringTree(TComponent* AOwner);
    TStringTreeOptions* TreeOptions() const { return static_cast<TStringTreeOptions*>(FOptions.get()); }
    void SetTreeOptions(const TStringTreeOptions* Value) { FOptions->Assign(Value); }

protected:
    std::unique_ptr<TCustomLazyTreeOptions> MakeOptions() override;
};
