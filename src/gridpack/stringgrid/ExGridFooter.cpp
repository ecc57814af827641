// The floating footer: its settings' writers, the column calculations of
// the footer row, and the footer panel that draws that row below the
// scrolling rows, answers hints per column and reports clicks as clicks on
// the footer row.
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/controls/Forms.h"
#include "platform/core/Format.h"

#include <QRegularExpression>

// ---------------------------------------------------------------------------
// TFloatingFooter
// ---------------------------------------------------------------------------

void TFloatingFooter::SetVisible(bool v)
{
    Visible = v;
    TExStringGrid* g = FGrid;
    if (!g)
        return;
    if (TFooterPanel* p = g->FooterPanel()) {
        p->SetHeight(v ? Height - 1 : 0);
        p->SetVisible(v);
    }
    g->SetFixedFooters(v && FooterStyle == fsFixedLastRow ? 1 : 0);
    g->FHideLastRow = v && FooterStyle == fsFixedLastRow;
    g->Invalidate();
}

void TFloatingFooter::SetFooterStyle(TFooterStyle v)
{
    FooterStyle = v;
    if (!FGrid)
        return;
    FGrid->FHideLastRow = v == fsFixedLastRow && Visible;
    FGrid->SetFixedFooters(Visible && v == fsFixedLastRow ? 1 : 0);
    FGrid->Invalidate();
    Invalidate();
}

void TFloatingFooter::SetHeight(int v)
{
    Height = v;
    if (FGrid && FGrid->FooterPanel() && v > 0)
        FGrid->FooterPanel()->SetHeight(v - 1);
}

void TFloatingFooter::SetBorderColor(TColor v)
{
    if (v == BorderColor)
        return;
    BorderColor = v;
    Invalidate();
}

void TFloatingFooter::SetColor(TColor v)
{
    Color = v;
    Invalidate();
}

void TFloatingFooter::SetColumn(int v)
{
    Column = v;
    Invalidate();
}

void TFloatingFooter::SetCustomTemplate(const QString& v)
{
    CustomTemplate = v;
    Invalidate();
}

void TFloatingFooter::SetShowHint(bool v)
{
    ShowHint = v;
    if (FGrid && FGrid->FooterPanel())
        FGrid->FooterPanel()->SetShowHint(v);
}

TColumnCalcType TFloatingFooter::GetColumnCalc(int ACol) const
{
    if (!FGrid || FGrid->RowCount() < 1)
        return acNONE;
    const int F = FGrid->RowCount() - 1;
    if (!FGrid->HasCellProperties(ACol, F))
        return acNONE;
    return FGrid->GetCellProperties(ACol, F)->CalcType;
}

void TFloatingFooter::SetColumnCalc(int ACol, TColumnCalcType Value)
{
    if (!FGrid || FGrid->RowCount() < 1)
        return;
    FGrid->GetCellProperties(ACol, FGrid->RowCount() - 1)->CalcType = Value;
    FGrid->RecalcColumn(ACol, FGrid->RowCount() - 1);
}

void TFloatingFooter::Invalidate()
{
    if (FGrid && FGrid->FooterPanel())
        FGrid->FooterPanel()->Invalidate();
}

void TFloatingFooter::Assign(const TPersistent* Source)
{
    const auto* s = dynamic_cast<const TFloatingFooter*>(Source);
    if (!s)
        return;
    CalculateHiddenRows = s->CalculateHiddenRows;
    Color = s->Color;
    Column = s->Column;
    CustomTemplate = s->CustomTemplate;
    FooterStyle = s->FooterStyle;
    SetVisible(s->Visible);
    ShowHint = s->ShowHint;
}

// ---------------------------------------------------------------------------
// The grid's footer operations
// ---------------------------------------------------------------------------

void TExStringGrid::UpdateFooter()
{
    if (FFooterPanel)
        FFooterPanel->Invalidate();
}

void TExStringGrid::LastRowChanged()
{
    TBaseGrid::LastRowChanged();
    UpdateFooter();
}

TCanvas* TExStringGrid::FooterCanvas() const { return FFooterPanel ? FFooterPanel->Canvas() : nullptr; }

void TExStringGrid::CalcFooter(int ACol) { DoCalcFooter(ACol); }

void TExStringGrid::DoCalcFooter(int ACol)
{
    TFloatingFooter* ff = FFloatingFooter;
    if (!ff || !ff->Visible || ff->FooterStyle != fsFixedLastRow || !ff->EnableCalculation)
        return;
    const int F = RowCount() - 1;
    if (F < 0)
        return;
    const int h = ff->CalculateHiddenRows ? NumHiddenRows() : 0;
    const int from = ACol == -1 ? 0 : ACol;
    const int to = ACol == -1 ? AllColCount() - 1 : ACol;
    const int r1 = FixedRows(), r2 = F - 1 + h;
    for (int c = std::max(0, from); c <= to && c < AllColCount(); ++c) {
        if (!HasCellProperties(c, F))
            continue;
        const int type = GetCellProperties(c, F)->CalcType & 0x7F;
        if (type == acNONE)
            continue;
        auto putFloat = [&](double v) {
            QString fmt;
            GetFloatFormat(c, F, fmt);
            SetCellEx(c, F, Format(fmt, {v}));
        };
        switch (type) {
        case acSUM:
            putFloat(ColumnSum(c, r1, r2));
            break;
        case acAVG:
            putFloat(ColumnAvg(c, r1, r2));
            break;
        case acCOUNT:
            SetCellEx(c, F, QString::number(F - FixedRows() + h));
            break;
        case acMIN:
            putFloat(ColumnMin(c, r1, r2));
            break;
        case acMAX:
            putFloat(ColumnMax(c, r1, r2));
            break;
        case acSPREAD:
            break;
        case acCUSTOM: {
            QString value;
            if (OnFooterCalc)
                OnFooterCalc(this, c, F + h, value);
            else if (ff->OnCalcFooter)
                ff->OnCalcFooter(this, c, F + h, value);
            SetCellEx(c, F, value);
            break;
        }
        case acDISTINCT:
            putFloat(ColumnDistinct(c, r1, r2));
            break;
        case acSTDDEV:
            putFloat(ColumnStdDev(c, r1, r2));
            break;
        default:
            break;
        }
    }
    UpdateFooter();
}

// ---------------------------------------------------------------------------
// TFooterPanel
// ---------------------------------------------------------------------------

TFooterPanel::TFooterPanel(TComponent* AOwner) : TCustomPanel(AOwner)
{
    FGrid = dynamic_cast<TExStringGrid*>(AOwner);
    SetBevelOuter(bvNone);
    SetShowCaption(false);
}

void TFooterPanel::CreateWnd()
{
    TCustomPanel::CreateWnd();
    if (!FGrid)
        return;
    TFloatingFooter* ff = FGrid->FloatingFooter();
    SetHeight(ff->Visible ? ff->Height : 0);
    if (FGrid->OnCreatedFloatingFooter)
        FGrid->OnCreatedFloatingFooter(FGrid);
}

int TFooterPanel::PaintedWidth() const
{
    if (!FGrid)
        return 0;
    int P = 0;
    for (int c = 0; c < FGrid->FixedCols(); ++c)
        P += FGrid->ColWidths(c);
    for (int c = FGrid->LeftCol(); c < FGrid->ColCount(); ++c)
        P += FGrid->ColWidths(c);
    return P;
}

int TFooterPanel::ColumnAt(int X) const
{
    if (!FGrid)
        return -1;
    int x = 0;
    for (int c = 0; c < FGrid->FixedCols(); ++c) {
        x += FGrid->ColWidths(c);
        if (X < x)
            return c;
    }
    for (int c = FGrid->LeftCol(); c < FGrid->ColCount(); ++c) {
        x += FGrid->ColWidths(c);
        if (X < x)
            return c;
    }
    return -1;
}

// Right-to-left reading is never in force in this layer, so rectangles keep
// their places; every rectangle still passes here to keep that one place.
TRect TFooterPanel::Mirror(const TRect& R) const { return R; }

void TFooterPanel::PaintPreviewFrame(const TRect& R)
{
    TCanvas* c = Canvas();
    c->Brush().SetColor(FGrid->FloatingFooter()->Color);
    c->Brush().SetStyle(bsSolid);
    c->FillRect(R);
    c->Pen().SetWidth(1);
    c->Pen().SetColor(TColor(0x808080));
    c->MoveTo(R.Left, R.Bottom - 1);
    c->LineTo(R.Right - 1, R.Bottom - 1);
    c->LineTo(R.Right - 1, R.Top);
    c->Pen().SetColor(TColor(0xFFFFFF));
    c->LineTo(R.Left, R.Top);
    c->LineTo(R.Left, R.Bottom - 1);
}

void TFooterPanel::PaintFixedLastRow()
{
    TExStringGrid* g = FGrid;
    TCanvas* c = Canvas();
    const int F = g->RowCount() - 1;
    const TGridOptions opt = g->Options();
    const bool lookLines = !g->Flat() && (g->Look == glSoft || g->Look == glQOR || g->Look == glXP ||
                                          g->Look == glVista);
    const int top = (opt & goFixedHorzLine) ? 1 : 0;

    // The columns in drawing order, each with its left edge.
    std::vector<std::pair<int, int>> cols;
    int x = 0;
    for (int col = 0; col < g->FixedCols(); ++col) {
        cols.emplace_back(col, x);
        x += g->ColWidths(col);
    }
    for (int col = g->LeftCol(); col < g->ColCount(); ++col) {
        cols.emplace_back(col, x);
        x += g->ColWidths(col);
    }

    // Separators.
    c->Pen().SetWidth(1);
    for (const auto& [col, left] : cols) {
        const int right = left + g->ColWidths(col);
        const bool fixedCol = col < g->FixedCols();
        if ((opt & goFixedVertLine) && lookLines) {
            c->Pen().SetColor(TColor(0xFFFFFF));
            const TRect m = Mirror(TRect{left, 0, left + 1, ClientHeight()});
            c->MoveTo(m.Left, 0);
            c->LineTo(m.Left, ClientHeight());
        }
        if (opt & goFixedHorzLine) {
            c->Pen().SetColor(g->GridLineColor());
            const TRect m = Mirror(TRect{left, 0, right, 1});
            c->MoveTo(m.Left, 0);
            c->LineTo(m.Right, 0);
        }
        if (opt & goFixedVertLine) {
            c->Pen().SetColor(fixedCol || g->Look == glVista ? g->GridLineColor() : TColor(0x808080));
            const TRect m = Mirror(TRect{right - 1, 0, right, ClientHeight()});
            c->MoveTo(m.Left, 0);
            c->LineTo(m.Left, ClientHeight());
        }
    }

    // The cells, drawn without the selection's text colour and without the
    // right-to-left text orientation.
    const TColor selText = g->SelectionTextColor();
    g->SetSelectionTextColor(TColor(0));
    for (const auto& [col, left] : cols) {
        const int real = g->RealColIndex(col);
        int right = left + g->ColWidths(col);
        if (g->IsMergedCell(col, F)) {
            const TPoint span = g->CellSpan(col, F);
            for (int k = 1; k <= span.X && col + k < g->ColCount(); ++k)
                right += g->ColWidths(col + k);
        }
        TRect R{left, top, right, ClientHeight()};
        if ((opt & goFixedHorzLine) && lookLines)
            R.Left += 1;
        R = Mirror(R);
        const bool base = !g->IsMergedNonBaseCell(col, F);
        if (col < g->FixedCols()) {
            if (base && g->IsBaseCell(col, F))
                g->RenderCell(c, col, F, R, TGridDrawState(gdFixed));
            continue;
        }
        if (g->OnGetCellColor) {
            TBrush brush;
            brush.SetColor(clNone);
            TFont font;
            font.Assign(*g->Font());
            g->OnGetCellColor(g, F, col, TGridDrawState(gdFixed), &brush, &font);
            if (brush.Color() != clNone) {
                c->Brush().SetColor(brush.Color());
                c->FillRect(R);
            }
        }
        const TColor own = g->GetColors(col, F);
        if (own != clNone) {
            c->Brush().SetColor(own);
            c->FillRect(R);
        }
        if (!base)
            continue;
        if (g->OnFooterPaint) {
            TRect r = R;
            g->OnFooterPaint(this, real, c, r);
        } else {
            g->RenderCell(c, col, F, R, TGridDrawState(0));
        }
    }
    g->SetSelectionTextColor(selText);
}

void TFooterPanel::Paint()
{
    if (!FGrid)
        return;
    TExStringGrid* g = FGrid;
    TFloatingFooter* ff = g->FloatingFooter();
    TCanvas* c = Canvas();
    const int P = PaintedWidth();
    const TRect client = ClientRect();
    c->Brush().SetStyle(bsSolid);
    c->Font().Assign(*g->Font());
    switch (ff->FooterStyle) {
    case fsFixedLastRow:
        c->Brush().SetColor(ff->Color);
        c->FillRect(Mirror(TRect{0, 0, P, client.Bottom}));
        c->Brush().SetColor(g->Color());
        c->FillRect(Mirror(TRect{P, 0, std::max(P, client.Right), client.Bottom}));
        if (g->RowCount() > 0)
            PaintFixedLastRow();
        break;
    case fsColumnPreview:
    case fsCustomPreview: {
        const TRect frame = Mirror(TRect{0, 0, P, client.Bottom});
        PaintPreviewFrame(frame);
        c->Brush().SetColor(g->Color());
        c->FillRect(Mirror(TRect{P, 0, std::max(P, client.Right), client.Bottom}));
        TRect inner{frame.Left + 1, frame.Top + 1, frame.Right - 1, frame.Bottom - 1};
        if (ff->FooterStyle == fsColumnPreview) {
            if (g->OnFooterPaint) {
                g->OnFooterPaint(this, ff->Column, c, inner);
            } else if (ff->Column >= 0 && ff->Column < g->AllColCount() && g->Row() >= 0) {
                c->Brush().SetStyle(bsClear);
                g->RenderCell(c, g->DisplColIndex(ff->Column), g->Row(), inner, TGridDrawState(0));
            }
            break;
        }
        c->Brush().SetStyle(bsClear);
        if (g->ComponentState() & csDesigning) {
            c->TextOut(inner.Left + 2, inner.Top + 2, ff->CustomTemplate);
            break;
        }
        THTMLRenderParams p;
        p.Canvas = c;
        p.Text = FooterPreviewText(g, ff->CustomTemplate, g->Row());
        p.Rect = TRect{inner.Left, inner.Top + 2, inner.Right, inner.Bottom};
        p.Images = g->GridImages;
        p.Container = g->PictureContainer();
        p.LinkColor = g->URLColor;
        RenderHTML(p);
        break;
    }
    case fsCustomPaint:
        if (g->OnFooterPaint) {
            TRect r = Mirror(client);
            g->OnFooterPaint(this, ff->Column, c, r);
        }
        break;
    }
    if (ff->BorderColor != clNone) {
        const int end = ff->FooterStyle == fsCustomPaint ? Width() : P;
        c->Pen().SetColor(ff->BorderColor);
        c->Pen().SetWidth(1);
        const TRect m = Mirror(TRect{0, 0, end, 1});
        c->MoveTo(m.Left, 0);
        c->LineTo(m.Right, 0);
    }
}

QString FooterPreviewText(TExStringGrid* Grid, const QString& Template, int ARow)
{
    static const QRegularExpression tag(QStringLiteral("<#([^>]*)>"));
    QString out;
    int at = 0;
    auto it = tag.globalMatch(Template);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += Template.mid(at, m.capturedStart() - at);
        at = m.capturedEnd();
        bool ok = false;
        const int col = m.captured(1).toInt(&ok);
        if (ok && col >= 0 && col < Grid->AllColCount() && ARow >= 0 && ARow < Grid->RowCount())
            out += Grid->GetCellEx(col, ARow);
    }
    out += Template.mid(at);
    return out;
}

void TFooterPanel::CMHintShow(TMessage& M)
{
    if (!FGrid)
        return;
    auto* info = reinterpret_cast<THintInfo*>(M.LParam);
    if (!ShowHint()) {
        FLastHintCol = -1;
        M.Result = 1;
        return;
    }
    const int col = info ? ColumnAt(info->CursorPos.X) : -1;
    QString hint = info ? info->HintStr : QString();
    if (FGrid->OnGridHint && col >= 0)
        FGrid->OnGridHint(FGrid, FGrid->RowCount() - 1, col, hint);
    if (info)
        info->HintStr = hint;
    FLastHintCol = col;
    M.Result = 0;
}

void TFooterPanel::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseMove(Shift, X, Y);
    if (!ShowHint())
        return;
    const int col = ColumnAt(X);
    if (col != FLastHintCol) {
        Application()->CancelHint();
        FLastHintCol = col;
    }
}

void TFooterPanel::CMMouseLeave(TMessage& M)
{
    TCustomPanel::CMMouseLeave(M);
    FLastHintCol = -1;
}

void TFooterPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseUp(Button, Shift, X, Y);
    if (!FGrid)
        return;
    if (FGrid->OnClick)
        FGrid->OnClick(FGrid);
    if (FGrid->OnClickCell)
        FGrid->OnClickCell(FGrid, FGrid->RowCount() - 1, ColumnAt(X));
}
