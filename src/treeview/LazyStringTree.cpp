// The string tree's text model: the text request and its events, the default
// text, setting a text, the node path, the width cache and when it is
// cleared, restoring the selection by text, the text search and hint texts,
// the caption chunk of the tree stream and the component stream properties.
#include "treeview/LazyStringTree.h"

#include "treeview/LazyStringEdit.h"

#include "platform/controls/Forms.h"

#include <algorithm>

namespace {
constexpr int32_t CaptionChunk = 3;

void WriteLE32(TStream* Stream, int32_t Value) {
    uint8_t b[4];
    for (int i = 0; i < 4; ++i) b[i] = uint8_t(uint32_t(Value) >> (8 * i));
    Stream->WriteBuffer(b, 4);
}

// Where Text lies in the sorted list (compared without letter case), or
// where it would go.
int FindSorted(const QStringList& List, const QString& Text, bool& Found) {
    int lo = 0, hi = int(List.size());
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (QString::compare(List[mid], Text, Qt::CaseInsensitive) < 0) lo = mid + 1;
        else hi = mid;
    }
    Found = lo < List.size() && QString::compare(List[lo], Text, Qt::CaseInsensitive) == 0;
    return lo;
}
}  // namespace

// ---------------------------------------------------------------------------
// Options
// ---------------------------------------------------------------------------

void TCustomStringTreeOptions::SetStringOptions(TLTStringOptions Value) {
    if (Value == FStringOptions) return;
    const bool staticChanged = Value.Contains(toShowStaticText) != FStringOptions.Contains(toShowStaticText);
    FStringOptions = Value;
    if (staticChanged && FOwner && !FOwner->IsLoading() && FOwner->HandleAllocated()) FOwner->Invalidate();
}

// ---------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------

TCustomLazyStringTree::TCustomLazyStringTree(TComponent* AOwner) : TBaseLazyTree(AOwner) {
    FOptions = TCustomLazyStringTree::MakeOptions();
    FDefaultText = QStringLiteral("Node");
    // The string tree caches each node's text width in an area of its own.
    FInternalDataOffset = ReserveInternalData(sizeof(int32_t));
    // The font is measured when it changes or is first needed (a tree made
    // without a screen never needs it).
}

TCustomLazyStringTree::~TCustomLazyStringTree() {
    std::unique_ptr<QStringList> list = std::move(FPreviouslySelected);
    list.reset();
}

std::unique_ptr<TCustomLazyTreeOptions> TCustomLazyStringTree::MakeOptions() {
    return std::make_unique<TCustomStringTreeOptions>(this);
}

TLazyStringTree::TLazyStringTree(TComponent* AOwner) : TCustomLazyStringTree(AOwner) {
    FOptions = TLazyStringTree::MakeOptions();
}

std::unique_ptr<TCustomLazyTreeOptions> TLazyStringTree::MakeOptions() {
    return std::make_unique<TStringTreeOptions>(this);
}

void TCustomLazyStringTree::SetStringOptions(TLTStringOptions Value) { TreeOptions()->SetStringOptions(Value); }

void TCustomLazyStringTree::SetDefaultText(const QString& Value) {
    if (Value == FDefaultText) return;
    FDefaultText = Value;
    if (!IsLoading()) Invalidate();
}

// ---------------------------------------------------------------------------
// The font
// ---------------------------------------------------------------------------

void TCustomLazyStringTree::MeasureFont() {
    TCanvas* c = Canvas();
    c->Font().Assign(*Font());
    FTextHeight = c->TextHeight(QStringLiteral("Tg"));
    FEllipsisWidth = c->TextWidth(QStringLiteral("..."));
}

void TCustomLazyStringTree::CMFontChanged(TMessage& M) {
    TBaseLazyTree::CMFontChanged(M);
    MeasureFont();
    ClearAllWidthCaches();
}

// ---------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------

void TCustomLazyStringTree::FireGetCellText(TVSTGetCellTextEventArgs& E) {
    if (E.Node && E.Node != FRoot && !E.Node->States.Contains(vsInitialized)) InitializeNode(E.Node);
    if (OnGetCellText) {
        OnGetCellText(this, E);
        return;
    }
    if (OnGetText) {
        OnGetText(this, E.Node, E.Column, ttNormal, E.CellText);
        OnGetText(this, E.Node, E.Column, ttStatic, E.StaticText);
    }
}

QString TCustomLazyStringTree::GetText(PLazyNode Node, TColumnIndex Column) {
    LTAssert(Node != nullptr, QStringLiteral("Node must not be nil."));
    TVSTGetCellTextEventArgs E(Node, Column, etNone);
    E.CellText = FDefaultText;
    FireGetCellText(E);
    return E.CellText;
}

QString TCustomLazyStringTree::GetStaticText(PLazyNode Node, TColumnIndex Column) {
    LTAssert(Node != nullptr, QStringLiteral("Node must not be nil."));
    TVSTGetCellTextEventArgs E(Node, Column, etNone);
    FireGetCellText(E);
    return E.StaticText;
}

QString TCustomLazyStringTree::GetImageText(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column) {
    LTAssert(Node != nullptr, QStringLiteral("Node must not be nil."));
    if (Node != FRoot && !Node->States.Contains(vsInitialized)) InitializeNode(Node);
    QString text;
    FireGetImageText(Node, Kind, Column, text);
    return text;
}

void TCustomLazyStringTree::FireNewText(PLazyNode Node, TColumnIndex Column, const QString& Text) {
    if (OnNewText) OnNewText(this, Node, Column, Text);
    if (FUpdateCount == 0) UpdateHorizontalScrollBar(true);
}

void TCustomLazyStringTree::SetText(PLazyNode Node, TColumnIndex Column, const QString& Value) {
    FireNewText(Node, Column, Value);
    InvalidateNode(Node);
}

QString TCustomLazyStringTree::Path(PLazyNode Node, TColumnIndex Column, QChar Delimiter) {
    if (!Node || Node == FRoot) return QString(Delimiter);
    QString result;
    for (PLazyNode run = Node; run && run != FRoot; run = run->Parent)
        result = GetText(run, Column) + Delimiter + result;
    return result;
}

// ---------------------------------------------------------------------------
// The width cache
// ---------------------------------------------------------------------------

void TCustomLazyStringTree::ClearWidthCache(PLazyNode Node, bool Recursive) {
    if (Node && Node != FRoot)
        if (int32_t* cache = NodeWidthCache(Node)) *cache = 0;
    if (!Recursive) return;
    PLazyNode start = Node ? Node : FRoot;
    for (PLazyNode run = start->FirstChild; run; run = run->NextSibling) ClearWidthCache(run, true);
}

void TCustomLazyStringTree::ClearAllWidthCaches() {
    // Walked without initializing: iteratively, so deep trees need no stack.
    for (PLazyNode run = GetFirstNoInit(false); run; run = GetNextNoInit(run, false))
        if (int32_t* cache = NodeWidthCache(run)) *cache = 0;
}

TRect TCustomLazyStringTree::InvalidateNode(PLazyNode Node) {
    const TRect r = TBaseLazyTree::InvalidateNode(Node);
    if (Node && Node != FRoot) {
        if (int32_t* cache = NodeWidthCache(Node)) *cache = 0;
        Node->States.Exclude(vsHeightMeasured);
    }
    return r;
}

void TCustomLazyStringTree::ReinitNode(PLazyNode Node, bool Recursive) {
    TBaseLazyTree::ReinitNode(Node, Recursive);
    ClearWidthCache(Node, false);
}

void TCustomLazyStringTree::SetChildCount(PLazyNode Node, uint32_t NewChildCount) {
    TBaseLazyTree::SetChildCount(Node, NewChildCount);
    ClearWidthCache(Node, false);
}

void TCustomLazyStringTree::AfterMainColumnChange() {
    TBaseLazyTree::AfterMainColumnChange();
    ClearAllWidthCaches();
}

// ---------------------------------------------------------------------------
// Restoring the selection by text
// ---------------------------------------------------------------------------

namespace {
// The column-0 text as OnGetText gives it (the default text not applied).
QString RememberedText(TCustomLazyStringTree* tree, const TVSTGetTextEvent& onGetText, PLazyNode node) {
    QString text;
    onGetText(tree, node, 0, ttNormal, text);
    return text;
}
}  // namespace

void TCustomLazyStringTree::AddToSelection(PLazyNode Node) {
    TBaseLazyTree::AddToSelection(Node);
    if (FOptions->SelectionOptions().Contains(toRestoreSelection) && OnGetText && Node &&
        Node->States.Contains(vsSelected) && !FStates.Contains(tsPreviouslySelectedLocked)) {
        if (!FPreviouslySelected) FPreviouslySelected = std::make_unique<QStringList>();
        if (SelectedCount() == 1) FPreviouslySelected->clear();
        if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
        const QString text = RememberedText(this, OnGetText, Node);
        bool found = false;
        const int at = FindSorted(*FPreviouslySelected, text, found);
        if (!found) FPreviouslySelected->insert(at, text);
    }
    RememberNextToSelect(Node);
}

void TCustomLazyStringTree::RemoveFromSelection(PLazyNode Node) {
    TBaseLazyTree::RemoveFromSelection(Node);
    if (!FOptions->SelectionOptions().Contains(toRestoreSelection) || !FPreviouslySelected || !Node ||
        Node->States.Contains(vsSelected))
        return;
    if (SelectedCount() > 0) {
        if (!OnGetText) return;
        bool found = false;
        const int at = FindSorted(*FPreviouslySelected, RememberedText(this, OnGetText, Node), found);
        if (found) FPreviouslySelected->removeAt(at);
    } else {
        FPreviouslySelected->clear();
    }
}

PLazyNode TCustomLazyStringTree::AddChild(PLazyNode Parent, void* UserData) {
    PLazyNode result = TBaseLazyTree::AddChild(Parent, UserData);
    if (!result || !FOptions->SelectionOptions().Contains(toRestoreSelection) || !FPreviouslySelected || !OnGetText)
        return result;
    bool found = false;
    FindSorted(*FPreviouslySelected, RememberedText(this, OnGetText, result), found);
    if (found) {
        SwitchStates({tsPreviouslySelectedLocked}, {});
        try {
            SetSelected(result, true);
        } catch (...) {
            SwitchStates({}, {tsPreviouslySelectedLocked});
            throw;
        }
        SwitchStates({}, {tsPreviouslySelectedLocked});
        if (SelectedCount() > 0 && FUpdateCount == 0) ScrollIntoView(GetFirstSelected(false), true, false);
    }
    return result;
}

// ---------------------------------------------------------------------------
// Search, hints, empty cells
// ---------------------------------------------------------------------------

int TCustomLazyStringTree::FireIncrementalSearch(PLazyNode Node, const QString& SearchText) {
    if (OnIncrementalSearch) return TBaseLazyTree::FireIncrementalSearch(Node, SearchText);
    return GetText(Node, FocusedColumn()).startsWith(SearchText, Qt::CaseSensitive) ? 0 : 1;
}

QString TCustomLazyStringTree::NodeHint(PLazyNode Node, TColumnIndex Column,
                                        TLTTooltipLineBreakStyle& LineBreakStyle) {
    QString text = TBaseLazyTree::NodeHint(Node, Column, LineBreakStyle);
    if (OnGetHint) OnGetHint(this, Node, Column, LineBreakStyle, text);
    return text;
}

QString TCustomLazyStringTree::NodeTooltip(PLazyNode Node, TColumnIndex Column,
                                           TLTTooltipLineBreakStyle& LineBreakStyle) {
    QString text = TBaseLazyTree::NodeTooltip(Node, Column, LineBreakStyle);
    if (OnGetHint) OnGetHint(this, Node, Column, LineBreakStyle, text);
    else text = GetText(Node, Column);
    return text;
}

bool TCustomLazyStringTree::FireGetCellIsEmpty(PLazyNode Node, TColumnIndex Column) {
    if (!GetText(Node, Column).isEmpty()) return false;
    return TBaseLazyTree::FireGetCellIsEmpty(Node, Column);
}

// ---------------------------------------------------------------------------
// The caption chunk of the tree stream
// ---------------------------------------------------------------------------

void TCustomLazyStringTree::WriteStreamChunks(TStream* Stream, PLazyNode Node) {
    TBaseLazyTree::WriteStreamChunks(Stream, Node);
    if (!StringOptions().Contains(toSaveCaptions) || Node == FRoot || !Node->States.Contains(vsInitialized)) return;
    const QString S = GetText(Node, MainColumn());
    if (S.isEmpty()) return;
    WriteLE32(Stream, CaptionChunk);
    WriteLE32(Stream, int32_t(2 * S.size()));
    QByteArray bytes;
    bytes.reserve(int(2 * S.size()));
    for (QChar ch : S) {
        bytes.append(char(ch.unicode() & 0xFF));
        bytes.append(char(ch.unicode() >> 8));
    }
    Stream->WriteBuffer(bytes.constData(), bytes.size());
}

bool TCustomLazyStringTree::ReadStreamChunk(TStream* Stream, int Version, int32_t ChunkSize, int32_t ChunkType,
                                            PLazyNode Node) {
    if (ChunkType != CaptionChunk) return TBaseLazyTree::ReadStreamChunk(Stream, Version, ChunkSize, ChunkType, Node);
    const int64_t end = Stream->Position() + ChunkSize;
    const int units = ChunkSize / 2;
    QByteArray bytes(2 * units, Qt::Uninitialized);
    if (units > 0) Stream->ReadBuffer(bytes.data(), bytes.size());
    QString text(units, Qt::Uninitialized);
    for (int i = 0; i < units; ++i)
        text[i] = QChar(char16_t(uint8_t(bytes[2 * i]) | uint16_t(uint8_t(bytes[2 * i + 1])) << 8));
    // An odd size leaves a byte behind the text: the next chunk starts at
    // the chunk's end all the same.
    Stream->SetPosition(end);
    SetText(Node, MainColumn(), text);
    return true;
}

// ---------------------------------------------------------------------------
// Component stream properties
// ---------------------------------------------------------------------------

QList<QPair<QString, QVariant>> TCustomLazyStringTree::DefinedProperties() const {
    QList<QPair<QString, QVariant>> result;
    if (FDefaultText != QStringLiteral("Node"))
        result.append({QStringLiteral("WideDefaultText"), QVariant(FDefaultText)});
    return result;
}

bool TCustomLazyStringTree::ReadDefinedProperty(const QString& Name, const QVariant& Value) {
    if (Name == QStringLiteral("WideDefaultText")) {
        SetDefaultText(Value.toString());
        return true;
    }
    if (Name == QStringLiteral("StringOptions")) {
        // Only a set is read; each old identifier maps to its new option.
        if (Value.metaType().id() != QMetaType::QStringList) return true;
        TLTStringOptions options;
        for (const QString& id : Value.toStringList()) {
            if (id == QStringLiteral("soSaveCaptions")) options.Include(toSaveCaptions);
            else if (id == QStringLiteral("soShowStaticText")) options.Include(toShowStaticText);
        }
        SetStringOptions(options);
        return true;
    }
    return false;
}

void TCustomLazyStringTree::FireCreateEditor(PLazyNode Node, TColumnIndex Column, ILTEditLinkRef& EditLink) {
    TBaseLazyTree::FireCreateEditor(Node, Column, EditLink);
    if (!EditLink) EditLink = std::make_shared<TStringEditLink>();
}
