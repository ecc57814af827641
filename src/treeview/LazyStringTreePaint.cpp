// The string tree's text painting and measuring: the colour and font of a
// text, where a cell text and its static text are placed, shortening with
// "...", multi-line texts, node widths (the main column's cached per node),
// text heights, column spanning over empty cells and the text rectangle of
// the in-place editor.
#include "treeview/LazyStringTree.h"
#include "treeview/LazyTrees.Utils.h"

#include <climits>

namespace {
// DrawText flag sets of the cell texts.
constexpr unsigned SingleLineFormat = DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE;                       // 0x824
constexpr unsigned MultiLineFormat = DT_NOPREFIX | DT_WORDBREAK | DT_END_ELLIPSIS | DT_EDITCONTROL;  // 0xA810
constexpr unsigned MultiLineMeasure = MultiLineFormat | DT_CALCRECT;                                   // 0xAC10
constexpr unsigned MultiLineHeightMeasure = DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT;
constexpr unsigned SingleLineHeightMeasure = SingleLineFormat | DT_CALCRECT;
constexpr int ETO_CLIPPED = 4, ETO_RTLREADING = 0x80;

unsigned AlignmentFlag(TAlignment a) {
    switch (a) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
    }
}
}  // namespace

void TCustomLazyStringTree::FirePaintText(PLazyNode Node, TCanvas* Canvas, TColumnIndex Column,
                                          TVSTTextType TextType) {
    if (OnPaintText) OnPaintText(this, Canvas, Node, Column, TextType);
}

void TCustomLazyStringTree::PaintNodeContent(TLTPaintInfo& PaintInfo) {
    TCanvas* c = PaintInfo.Canvas;
    // Listens for a paint-text handler changing the canvas font; the hook
    // goes again on every way out.
    struct THook {
        TCustomLazyStringTree* Tree;
        TCanvas* Canvas;
        bool Mine;
        ~THook() {
            if (!Mine) return;
            Canvas->Font().OnChange = Tree->FOldFontChange;
            Tree->FFontHooked = false;
        }
    } hook{this, c, !FFontHooked};
    HookFontChange(c);
    TVSTGetCellTextEventArgs E(PaintInfo.Node, PaintInfo.Column, etNone);
    // A cell whose handler gives no text stays empty; a tree that has no
    // text handler at all shows the default text in every cell.
    if (!OnGetCellText && !OnGetText) E.CellText = FDefaultText;
    FireGetCellText(E);
    const int flags = ETO_CLIPPED | (PaintInfo.BidiMode != bdLeftToRight ? ETO_RTLREADING : 0);
    if (!E.CellText.isEmpty()) PaintCellText(PaintInfo, flags, E.CellText);
    if (FAlignment != taCenter && !PaintInfo.Node->States.Contains(vsMultiline) &&
        StringOptions().Contains(toShowStaticText) && !E.StaticText.isEmpty())
        PaintCellStaticText(PaintInfo, flags, E.StaticText);
}

namespace {
// The selection-text rule: a drop target under "on node" or selected, or a
// selected node of a focused tree.
bool SelectionTextColour(bool dropTarget, TDropMode lastDropMode, bool selected, bool focused) {
    if (dropTarget) return lastDropMode == dmOnNode || selected;
    return selected && focused;
}
}  // namespace

void TCustomLazyStringTree::PrepareTextFont(TLTPaintInfo& PaintInfo) {
    TCanvas* c = PaintInfo.Canvas;
    PLazyNode node = PaintInfo.Node;
    c->Font().Assign(*Font());
    c->Font().SetColor(Enabled() ? FColors->NodeFontColor() : FColors->GetColor(TLTColors::DisabledColor));
    const bool explorer = FStates.Contains(tsUseExplorerTheme);
    if (FOptions->PaintOptions().Contains(toHotTrack) && node == FCurrentHotNode && !explorer) {
        c->Font().SetStyle(c->Font().Style() | fsUnderline);
        c->Font().SetColor(FColors->GetColor(TLTColors::HotColor));
    }
    if (PaintInfo.PaintOptions.Contains(poDrawSelection) &&
        (PaintInfo.Column == FFocusedColumn || FOptions->SelectionOptions().Contains(toFullRowSelect)) && !explorer &&
        SelectionTextColour(node == FDropTargetNode, FLastDropMode, node->States.Contains(vsSelected),
                            HasPaintFocus()))
        c->Font().SetColor(FColors->GetColor(TLTColors::SelectionTextColor));
}

void TCustomLazyStringTree::PaintCellText(TLTPaintInfo& PaintInfo, int, QString Text) {
    TCanvas* c = PaintInfo.Canvas;
    PLazyNode node = PaintInfo.Node;
    PrepareTextFont(PaintInfo);
    TRect R = PaintInfo.ContentRect;
    R.Left += FTextMargin;
    R.Right -= FTextMargin;
    const unsigned rtl = PaintInfo.BidiMode != bdLeftToRight ? unsigned(DT_RTLREADING) : 0u;
    const bool disabled = node->States.Contains(vsDisabled) || !Enabled();
    unsigned format;
    if (node->States.Contains(vsMultiline)) {
        FirePaintText(node, c, PaintInfo.Column, ttNormal);
        const int H = ComputeNodeHeight(c, node, PaintInfo.Column);
        if (disabled) c->Font().SetColor(FColors->GetColor(TLTColors::DisabledColor));
        format = MultiLineFormat | AlignmentFlag(PaintInfo.Alignment) | rtl;
        if (H < R.Height()) {
            const int d = (R.Height() - H) / 2;
            R.Top += d;
            R.Bottom -= d;
        }
    } else {
        FFontChanged = false;
        int ellipsis = EllipsisWidth();
        FirePaintText(node, c, PaintInfo.Column, ttNormal);
        if (FFontChanged) {
            ellipsis = 0;
            PaintInfo.NodeWidth = 2 * FTextMargin + c->TextWidth(Text);
        }
        if (disabled) c->Font().SetColor(FColors->GetColor(TLTColors::DisabledColor));
        format = SingleLineFormat | rtl;
        if (PaintInfo.Column >= 0 && PaintInfo.NodeWidth - 2 * FTextMargin > R.Width()) {
            Text = FireShortenString(c, node, PaintInfo.Column, Text, R.Width(), ellipsis);
            // A centred text that had to be cut is drawn from the left.
            if (PaintInfo.Alignment == taRightJustify) format |= DT_RIGHT;
        } else {
            format |= AlignmentFlag(PaintInfo.Alignment);
        }
    }
    c->SetBkMode(TRANSPARENT);
    DrawCellText(PaintInfo, Text, R, format);
}

void TCustomLazyStringTree::PaintCellStaticText(TLTPaintInfo& PaintInfo, int, const QString& Text) {
    TCanvas* c = PaintInfo.Canvas;
    PLazyNode node = PaintInfo.Node;
    c->Font().Assign(*Font());
    if (FOptions->SelectionOptions().Contains(toFullRowSelect))
        c->Font().SetColor(SelectionTextColour(node == FDropTargetNode, FLastDropMode,
                                               node->States.Contains(vsSelected), HasPaintFocus())
                               ? FColors->GetColor(TLTColors::SelectionTextColor)
                               : FColors->NodeFontColor());
    FirePaintText(node, c, PaintInfo.Column, ttStatic);
    if (node->States.Contains(vsDisabled) || !Enabled())
        c->Font().SetColor(FColors->GetColor(TLTColors::DisabledColor));
    TRect R = PaintInfo.ContentRect;
    if (PaintInfo.Alignment == taRightJustify) R.Right -= PaintInfo.NodeWidth + FTextMargin;
    else R.Left += PaintInfo.NodeWidth + FTextMargin;
    c->SetBkMode(TRANSPARENT);
    c->DrawText(Text, R, SingleLineFormat | (PaintInfo.BidiMode != bdLeftToRight ? unsigned(DT_RTLREADING) : 0u));
}

QString TCustomLazyStringTree::FireShortenString(TCanvas* Canvas, PLazyNode Node, TColumnIndex Column,
                                                 const QString& S, int Width, int EllipsisWidth) {
    bool done = false;
    QString result;
    if (OnShortenString) OnShortenString(this, Canvas, Node, Column, S, Width, result, done);
    if (!done) result = ShortenText(Canvas, S, Width, EllipsisWidth);
    return result;
}

void TCustomLazyStringTree::DrawCellText(TLTPaintInfo& PaintInfo, const QString& Text, const TRect& CellRect,
                                         unsigned DrawFormat) {
    bool defaultDraw = true;
    if (OnDrawText) OnDrawText(this, PaintInfo.Canvas, PaintInfo.Node, PaintInfo.Column, Text, CellRect, defaultDraw);
    if (defaultDraw) {
        TRect r = CellRect;
        PaintInfo.Canvas->DrawText(Text, r, DrawFormat);
    }
}

TSize TCustomLazyStringTree::MeasureText(TCanvas* Canvas, PLazyNode Node, TColumnIndex Column, const QString& Text) {
    TSize size = Canvas->TextExtent(Text);
    if (Node->States.Contains(vsMultiline)) {
        TRect r(0, 0, size.cx, INT_MAX);
        Canvas->DrawText(Text, r,
                         MultiLineMeasure | AlignmentFlag(FAlignment) |
                             (UseRightToLeftReading() ? unsigned(DT_RTLREADING) : 0u));
        size.cx = r.Width();
    }
    if (OnMeasureTextWidth) OnMeasureTextWidth(this, Canvas, Node, Column, Text, size.cx);
    if (OnMeasureTextHeight) OnMeasureTextHeight(this, Canvas, Node, Column, Text, size.cy);
    return size;
}

int TCustomLazyStringTree::NormalTextWidth(TCanvas* Canvas, PLazyNode Node, const QString& Text,
                                           TColumnIndex Column) {
    int result = 2 * FTextMargin;
    if (!Text.isEmpty()) {
        Canvas->Font().Assign(*Font());
        FirePaintText(Node, Canvas, Column, ttNormal);
        result += MeasureText(Canvas, Node, Column, Text).cx;
    }
    return result;
}

int TCustomLazyStringTree::StaticTextWidth(TCanvas* Canvas, PLazyNode Node, const QString& Text,
                                           TColumnIndex Column) {
    if (Text.isEmpty() || FAlignment == taCenter || Node->States.Contains(vsMultiline)) return 0;
    FirePaintText(Node, Canvas, Column, ttStatic);
    return FTextMargin + MeasureText(Canvas, Node, Column, Text).cx;
}

int TCustomLazyStringTree::NodeWidth(PLazyNode Node, TColumnIndex Column, TCanvas* Canvas) {
    if (Column >= 0 && Node->States.Contains(vsMultiline) && IsValidColumn(Column))
        return FHeader->Columns()->Items(Column)->Width();
    TCanvas* c = Canvas ? Canvas : this->Canvas();
    if (Column == MainColumn()) {
        int32_t* cache = NodeWidthCache(Node);
        if (!cache) return 0;
        if (*cache == 0) *cache = NormalTextWidth(c, Node, GetText(Node, Column), Column);
        return *cache;
    }
    return NormalTextWidth(c, Node, GetText(Node, Column), Column);
}

int TCustomLazyStringTree::NodeExtraWidth(PLazyNode Node, TColumnIndex Column, TCanvas* Canvas) {
    if (!StringOptions().Contains(toShowStaticText)) return 0;
    return StaticTextWidth(Canvas ? Canvas : this->Canvas(), Node, GetStaticText(Node, Column), Column);
}

int TCustomLazyStringTree::ComputeNodeHeight(TCanvas* Canvas, PLazyNode Node, TColumnIndex Column, QString S) {
    if (!Canvas) Canvas = this->Canvas();
    if (S.isEmpty()) S = GetText(Node, Column);
    unsigned format = Node->States.Contains(vsMultiline) ? MultiLineHeightMeasure : SingleLineHeightMeasure;
    TRect R;
    TLazyTreeColumn* col = IsValidColumn(Column) ? FHeader->Columns()->Items(Column) : nullptr;
    if (Column < 0 || !col) {
        R.Right = ClientWidth();
    } else {
        R.Right = col->Width() - FTextMargin;
        R.Left = FTextMargin + FMargin;
        if (Column == MainColumn()) {
            int levels = 1;
            if (!FOptions->PaintOptions().Contains(toFixedIndent)) {
                TLineImage lines;
                BuildLineImages(Node, lines);
                levels = int(lines.size());
            }
            R.Left += int(FIndent) * levels;
        }
    }
    if (col) {
        TLTPaintInfo info;
        info.Node = Node;
        info.Column = Column;
        info.CellRect = R;
        info.BidiMode = col->BiDiMode();
        TColumnIndex next = InvalidColumn;
        NextPaintColumn(info, next);
        R.Right = info.CellRect.Right;
    }
    const bool bidi = col ? col->BiDiMode() != bdLeftToRight : UseRightToLeftReading();
    if (bidi) format |= DT_RIGHT | DT_RTLREADING;
    Canvas->DrawText(S, R, format);
    return R.Height();
}

void TCustomLazyStringTree::NextPaintColumn(TLTPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty) {
    TLazyTreeColumns* columns = FHeader->Columns();
    if (FOptions->AutoOptions().Contains(toAutoSpanColumns) && HeaderUsesColumns() &&
        PaintInfo.BidiMode == bdLeftToRight) {
        NextNonEmpty = columns->GetNextVisibleColumn(PaintInfo.Column);
        while (NextNonEmpty >= 0 && FireGetCellIsEmpty(PaintInfo.Node, NextNonEmpty) &&
               columns->Items(NextNonEmpty)->BiDiMode() == bdLeftToRight) {
            PaintInfo.CellRect.Right += columns->Items(NextNonEmpty)->Width();
            NextNonEmpty = columns->GetNextVisibleColumn(NextNonEmpty);
        }
        return;
    }
    TBaseLazyTree::NextPaintColumn(PaintInfo, NextNonEmpty);
}

void TCustomLazyStringTree::GetTextInfo(PLazyNode Node, TColumnIndex Column, TFont* AFont, TRect& R, QString& Text) {
    TBaseLazyTree::GetTextInfo(Node, Column, AFont, R, Text);
    int textHeight = TextHeight();
    TCanvas* c = Canvas();
    if (AFont) c->Font().Assign(*AFont);
    FFontChanged = false;
    const bool mine = !FFontHooked;
    HookFontChange(c);
    try {
        FirePaintText(Node, c, Column, ttNormal);
        if (FFontChanged) {
            if (AFont) AFont->Assign(c->Font());
            textHeight = c->TextHeight(QStringLiteral("Tg"));
        }
    } catch (...) {
        if (mine) {
            c->Font().OnChange = FOldFontChange;
            FFontHooked = false;
        }
        throw;
    }
    if (mine) {
        c->Font().OnChange = FOldFontChange;
        FFontHooked = false;
    }
    Text = GetText(Node, Column);
    R = GetDisplayRect(Node, Column, true, !Node->States.Contains(vsMultiline), false);
    if (FOptions->PaintOptions().Contains(toShowHorzGridLines)) --R.Bottom;
    const int d = (R.Height() - textHeight) / 2;
    R.Top += d;
    R.Bottom -= d;
}
