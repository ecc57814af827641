#include "gridpack/dropdown/ExColorPanels.h"

#include "platform/controls/Forms.h"
#include "platform/graphics/Resources.h"

namespace {

// The cube's 13 rows of colours, left to right.
constexpr int kRowCells[13] = {7, 8, 9, 10, 11, 12, 13, 12, 11, 10, 9, 8, 7};
constexpr TColor kCubeColors[TExColorCubePanel::CellCount] = {
    0x663300, 0x996633, 0xCC6633, 0x993300, 0x990000, 0xCC0000, 0x660000,
    0x666600, 0x996600, 0xCC9900, 0xCC6600, 0xCC3300, 0xFF0000, 0xFF3333, 0x993333,
    0x808000, 0x999900, 0xCCCC33, 0xFFCC00, 0xFF9900, 0xFF6600, 0xFF6633, 0xCC3333, 0x996666,
    0x669933, 0x99CC00, 0xCCFF00, 0xFFFF00, 0xFFCC33, 0xFF9933, 0xFF9966, 0xFF6666, 0xFF0066, 0xCC0066,
    0x339933, 0x66CC00, 0x99FF00, 0xCCFF66, 0xFFFF66, 0xFFCC66, 0xFFCC99, 0xFF9999, 0xFF6699, 0xFF3399, 0xFF0099,
    0x006600, 0x00CC00, 0x00FF00, 0x99FF66, 0xCCFF99, 0xFFFFCC, 0xFFECCC, 0xFFCCCC, 0xFF99CC, 0xFF66CC, 0xFF00CC,
    0xCC0099,
    0x003300, 0x008000, 0x33CC33, 0x66FF66, 0x99FF99, 0xCCFFCC, 0xFFFFFF, 0xFFCCFF, 0xFF99FF, 0xFF66FF, 0xFF00FF,
    0xCC00CC, 0x660066,
    0x006633, 0x009900, 0x33FF66, 0x66FF99, 0x99FFCC, 0xCCFFFF, 0xCCCCFF, 0xCC99FF, 0xCC66FF, 0xCC33FF, 0x9900CC,
    0x800080,
    0x003333, 0x009966, 0x33FF99, 0x66FFCC, 0x99FFFF, 0x99CCFF, 0x9999FF, 0x9966FF, 0x9933FF, 0x9933CC, 0x990099,
    0x336666, 0x00CC99, 0x33FFCC, 0x66FFFF, 0x66CCFF, 0x6699FF, 0x807CFF, 0x6600FF, 0x9300D6, 0x663399,
    0x008080, 0x00CCCC, 0x00FFFF, 0x00CCFF, 0x3399FF, 0x0066FF, 0x5050FF, 0x6600CC, 0x330066,
    0x336699, 0x0099CC, 0x0099FF, 0x0066CC, 0x0033FF, 0x0000FF, 0x0000CC, 0x330099,
    0x003366, 0x006699, 0x0033CC, 0x003399, 0x000099, 0x000080, 0x2100A5,
};

// The theme palette: six rows of ten, the first row stand-alone boxes, the
// other five joined into one strip per column.
constexpr TColor kThemeColors[60] = {
    0xFFFFFF, 0x000000, 0xE1ECEE, 0x7D491F, 0xBD814F, 0x4D50C0, 0x59BB9B, 0xA26480, 0xC6AC4B, 0x4696F7,
    0xF2F2F2, 0x7F7F7F, 0xC3D9DD, 0xDACEC2, 0xF1E5DB, 0xDBDCF2, 0xDDF1EB, 0xECE0E5, 0xF3EEDB, 0xDAEAFD,
    0xD8D8D8, 0x595959, 0x97BDC4, 0xE2B38D, 0xE4CCB8, 0xB7B9E5, 0xBCE3D7, 0xD9C1CC, 0xE8DDB7, 0xB5D5FB,
    0xBFBFBF, 0x3F3F3F, 0x538993, 0xD48D54, 0xD7B395, 0x9496D9, 0x9BD6C3, 0xC7A2B2, 0xDCCD92, 0x8FC0FA,
    0xA5A5A5, 0x262626, 0x294449, 0x5D3617, 0x926036, 0x343795, 0x3C9276, 0x7A495F, 0x9B8531, 0x096CE3,
    0x7F7F7F, 0x0C0C0C, 0x101B1D, 0x3E240F, 0x614024, 0x232463, 0x28614F, 0x51313F, 0x675820, 0x064897,
};
constexpr TItemPos kThemeRowPos[6] = {ipStandAlone, ipTop, ipMiddle, ipMiddle, ipMiddle, ipBottom};

// A hexagon around (x, y): half width w, quarter height q.
void DrawHexagon(TCanvas* C, int x, int y, int w, int q) {
    const TPoint pts[6] = {Point(x - w, y - q), Point(x, y - 2 * q), Point(x + w, y - q),
                           Point(x + w, y + q), Point(x, y + 2 * q), Point(x - w, y + q)};
    C->Polygon(pts, 6);
}

}  // namespace

// ---------------------------------------------------------------------------
// TExColorCubePanel
// ---------------------------------------------------------------------------

TExColorCubePanel::TExColorCubePanel(TComponent* AOwner) : TExCustomColorSelectorPanel(AOwner) {
    InitCube();
    ResetCube();
    SetShowHint(true);
}

void TExColorCubePanel::SetShowRGBHint(bool v) {
    FShowRGBHint = v;
    SetShowHint(v);
}

TExColorCubePanel::TCubeCell TExColorCubePanel::Cell(int Index) const {
    if (Index < 1 || Index > CellCount) return TCubeCell{};
    return FCubeCells[size_t(Index)];
}

void TExColorCubePanel::InitCube() {
    FCubeSize = Point(6, 3);
    int n = 1;
    for (int r = 1; r <= 13; ++r) {
        const int y = 20 + 10 * (r - 1);
        int x = r <= 7 ? 55 - 6 * (r - 1) : 19 + 6 * (r - 7);
        for (int k = 0; k < kRowCells[r - 1]; ++k, ++n, x += 2 * FCubeSize.X) {
            FCubeCells[size_t(n)].Center = Point(x, y);
            FCubeCells[size_t(n)].Color = kCubeColors[n - 1];
        }
    }
}

void TExColorCubePanel::ResetCube() {
    FHotIndex = -1;
    SetBounds(Left(), Top(), 182, 160);
}

void TExColorCubePanel::SetCubeSelection(TColor C, int Index) {
    FSelectedColor = C;
    if (Index < 0) {
        for (int i = 1; i <= CellCount; ++i)
            if (FCubeCells[size_t(i)].Color == C) {
                Index = i;
                break;
            }
    }
    FSelectedIndex = Index;
}

int TExColorCubePanel::CellAtPos(int X, int Y) const {
    const int reach = FCubeSize.X * FCubeSize.X;
    for (int i = 1; i <= CellCount; ++i) {
        const TPoint c = FCubeCells[size_t(i)].Center;
        const int dx = X - c.X, dy = Y - c.Y;
        if (dx * dx + dy * dy <= reach) return i;
    }
    return -1;
}

QString TExColorCubePanel::RGBHint(TColor C) {
    return QStringLiteral("Red: %1,  Green: %2,  Blue: %3").arg(GetRValue(C)).arg(GetGValue(C)).arg(GetBValue(C));
}

void TExColorCubePanel::DrawCubeCell(TCanvas* C, int Index) {
    if (!C || Index < 1 || Index > CellCount) return;
    const TCubeCell& cell = FCubeCells[size_t(Index)];
    const int x = cell.Center.X, y = cell.Center.Y;
    C->Pen().SetWidth(1);
    C->Pen().SetColor(cell.Color);
    C->Brush().SetStyle(bsSolid);
    C->Brush().SetColor(cell.Color);
    DrawHexagon(C, x, y, 6, 3);
    auto frame = [&](TColor outer) {
        C->Brush().SetStyle(bsClear);
        C->Pen().SetColor(outer);
        DrawHexagon(C, x, y, 5, 3);
        C->Pen().SetColor(clWhite);
        DrawHexagon(C, x, y, 4, 2);
        C->Brush().SetStyle(bsSolid);
    };
    if (Index == FHotIndex) frame(clRed);
    if (Index == FSelectedIndex) frame(clBlack);
}

void TExColorCubePanel::InvalidateCell(int Index) {
    if (Index < 1 || Index > CellCount) return;
    const TPoint c = FCubeCells[size_t(Index)].Center;
    const TRect r(c.X - FCubeSize.X - 1, c.Y - 2 * FCubeSize.Y - 1, c.X + FCubeSize.X + 2, c.Y + 2 * FCubeSize.Y + 2);
    ::InvalidateRect(this, &r, false);
}

void TExColorCubePanel::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
    for (int i = 1; i <= CellCount; ++i) DrawCubeCell(c, i);
}

void TExColorCubePanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExCustomColorSelectorPanel::MouseDown(Button, Shift, X, Y);
    const int i = CellAtPos(X, Y);
    if (i < 0) return;
    const int old = FSelectedIndex;
    FSelectedIndex = -1;
    InvalidateCell(old);
    SetCubeSelection(FCubeCells[size_t(i)].Color, i);
    InvalidateCell(i);
    if (OnSelect) OnSelect(this);
}

void TExColorCubePanel::MouseMove(TShiftState Shift, int X, int Y) {
    TExCustomColorSelectorPanel::MouseMove(Shift, X, Y);
    const int i = CellAtPos(X, Y);
    if (i < 0) {
        // The hot mark stays; only the hint goes.
        if (FShowRGBHint) {
            SetHint(QString());
            Application()->CancelHint();
        }
        return;
    }
    if (i == FHotIndex) return;
    const int old = FHotIndex;
    FHotIndex = i;
    InvalidateCell(old);
    InvalidateCell(i);
    if (FShowRGBHint) {
        SetHint(RGBHint(FCubeCells[size_t(i)].Color));
        Application()->CancelHint();
    }
}

void TExColorCubePanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExCustomColorSelectorPanel::MouseUp(Button, Shift, X, Y);
    if (FOnShouldHide) FOnShouldHide(this);
}

// ---------------------------------------------------------------------------
// TExColorSpectrumPanel
// ---------------------------------------------------------------------------

TExColorSpectrumPanel::TExColorSpectrumPanel(TComponent* AOwner) : TExCustomColorSelectorPanel(AOwner) {
    FSpectrumImage = new TImage(this);
    FSpectrumImage->SetParent(this);
    FSpectrumImage->SetBounds(0, 0, 128, 128);
    LoadResourceBitmap(FSpectrumImage->Picture()->Bitmap(), QStringLiteral("QOR_SPECTRUM"));
    FSpectrumImage->PictureChanged();
    FSpectrumImage->OnMouseMove = [this](TObject*, TShiftState, int X, int Y) { ImageMouseMove(X, Y); };
    FSpectrumImage->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ImageMouseDown(); };
    FSpectrumImage->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) {
        if (FOnShouldHide) FOnShouldHide(this);
    };
    RegisterNamedCursor(PointerCursor, QStringLiteral("QOR_POINTER"));
    FSpectrumImage->SetCursor(PointerCursor);
    ArrangeSpectrum();
}

void TExColorSpectrumPanel::ArrangeSpectrum() {
    SetBounds(Left(), Top(), 150, 174);
    const int iw = FSpectrumImage->Width();
    FSpectrumImage->SetBounds((Width() - iw) / 2, 10, iw, FSpectrumImage->Height());
    const int l = FSpectrumImage->Left(), t = FSpectrumImage->Top();
    const int r = l + FSpectrumImage->Width(), b = t + FSpectrumImage->Height();
    FSelectedRect = TRect(l - 1, b + 8, l + iw / 2 - 2, b + 28);
    FHotRect = TRect(FSelectedRect.Right + 4, FSelectedRect.Top, r + 1, FSelectedRect.Bottom);
    FHotColor = clNone;
    Invalidate();
}

void TExColorSpectrumPanel::DrawSwatch(TCanvas* C, const TRect& R, TColor Color) {
    C->Brush().SetStyle(bsClear);
    C->Pen().SetColor(clGray);
    C->Rectangle(TRect(R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1));
    C->Pen().SetColor(clWhite);
    if (Color == clNone) {
        C->Rectangle(R);
    } else {
        C->Brush().SetStyle(bsSolid);
        C->Brush().SetColor(Color);
        C->Rectangle(R);
    }
    C->Brush().SetStyle(bsSolid);
}

void TExColorSpectrumPanel::InvalidateSwatch(const TRect& R) {
    const TRect r(R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1);
    ::InvalidateRect(this, &r, false);
}

void TExColorSpectrumPanel::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
    const TRect img = FSpectrumImage->BoundsRect();
    c->Brush().SetStyle(bsClear);
    c->Pen().SetWidth(1);
    c->Pen().SetColor(clWhite);
    c->Rectangle(TRect(img.Left - 1, img.Top - 1, img.Right + 1, img.Bottom + 1));
    c->Pen().SetColor(clGray);
    c->Rectangle(TRect(img.Left - 2, img.Top - 2, img.Right + 2, img.Bottom + 2));
    c->Brush().SetStyle(bsSolid);
    DrawSwatch(c, FSelectedRect, FSelectedColor);
    DrawSwatch(c, FHotRect, FHotColor);
}

void TExColorSpectrumPanel::ImageMouseMove(int X, int Y) {
    // The picture's own pixel: what the panel shows there.
    TBitmap* b = FSpectrumImage->Picture()->Bitmap();
    if (!b || X < 0 || Y < 0 || X >= b->Width() || Y >= b->Height()) return;
    const TColor c = b->Canvas()->Pixels(X, Y);
    if (c == TColor(-1)) return;
    FHotColor = c;
    InvalidateSwatch(FHotRect);
}

void TExColorSpectrumPanel::ImageMouseDown() {
    FSelectedColor = FHotColor;
    InvalidateSwatch(FSelectedRect);
    if (OnSelect) OnSelect(this);
}

void TExColorSpectrumPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExCustomColorSelectorPanel::MouseUp(Button, Shift, X, Y);
    if (FOnShouldHide) FOnShouldHide(this);
}

// ---------------------------------------------------------------------------
// Colour boxes
// ---------------------------------------------------------------------------

void TColorBoxAppearance::LoadDefaults() {
    BorderColor = 0xC5C5C5;
    OuterBorderColorHot = 0x3694F2;
    InnerBorderColorHot = 0x94E2FF;
    OuterBorderColorSelected = 0x0000FF;
    InnerBorderColorSelected = 0x94E2FF;
    if (OnChange) OnChange(this);
}

void TColorBoxAppearance::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TColorBoxAppearance*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    BorderColor = s->BorderColor;
    OuterBorderColorHot = s->OuterBorderColorHot;
    InnerBorderColorHot = s->InnerBorderColorHot;
    OuterBorderColorSelected = s->OuterBorderColorSelected;
    InnerBorderColorSelected = s->InnerBorderColorSelected;
    if (OnChange) OnChange(this);
}

void TColorBoxItem::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    if (auto* c = dynamic_cast<TColorBoxItems*>(Collection()))
        if (c->OnChange) c->OnChange(c);
}

void TColorBoxItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TColorBoxItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    FColor = s->FColor;
    FEnabled = s->FEnabled;
}

TColorBoxItems::TColorBoxItems(TPersistent* AOwner)
    : TOwnedCollection(AOwner, TCollection::ItemClass<TColorBoxItem>()) {}

// ---------------------------------------------------------------------------
// TCustomColorSelector
// ---------------------------------------------------------------------------

TCustomColorSelector::TCustomColorSelector(TComponent* AOwner) : TExCustomColorSelectorPanel(AOwner) {
    SetParentColor(true);
    FItems = new TColorBoxItems(this);
    FItems->OnChange = [this](TObject*) { Invalidate(); };
    FColorBoxAppearance = new TColorBoxAppearance();
    FColorBoxAppearance->OnChange = [this](TObject*) { Invalidate(); };
    ArrangeColorBoxes();
}

TCustomColorSelector::~TCustomColorSelector() {
    FItems->OnChange = nullptr;
    delete FItems;
    delete FColorBoxAppearance;
}

void TCustomColorSelector::SetColumns(int v) {
    if (v == FColumns) return;
    FColumns = v;
    ArrangeColorBoxes();
}

void TCustomColorSelector::SetColumnGap(int v) {
    if (v == FColumnGap) return;
    FColumnGap = v;
    ArrangeColorBoxes();
}

void TCustomColorSelector::SetColorBoxWidth(int v) {
    if (v == FColorBoxWidth) return;
    FColorBoxWidth = v;
    ArrangeColorBoxes();
}

void TCustomColorSelector::SetColorBoxHeight(int v) {
    if (v == FColorBoxHeight) return;
    FColorBoxHeight = v;
    ArrangeColorBoxes();
}

void TCustomColorSelector::SetItemColorStyle(TSelectionColorStyle S) {
    if (S == FItemColorStyle) return;
    FItemColorStyle = S;
    if (S != scCustom) FColorBoxAppearance->LoadDefaults();
}

void TCustomColorSelector::SetItemIndex(int I) {
    if (I >= FItems->Count() || (I >= 0 && !FItems->Item(I)->FEnabled)) return;
    const int old = FItemIndex;
    if (old >= 0 && old != I) {
        FItemIndex = -1;
        InvalidateColorBox(old);
    }
    FItemIndex = I;
    if (I >= 0) {
        FSelectedColor = FItems->Item(I)->Color();
        InvalidateColorBox(I);
        // Choosing the chosen box announces it again.
        if (OnItemSelect) OnItemSelect(this);
    }
}

void TCustomColorSelector::SetColorBoxHot(int I) {
    if (I == FItemHot) return;
    if (I >= 0 && I < FItems->Count() && !FItems->Item(I)->FEnabled) return;
    const int old = FItemHot;
    FItemHot = -1;
    InvalidateColorBox(old);
    FItemHot = I;
    if (I >= 0) InvalidateColorBox(I);
}

void TCustomColorSelector::SetSelectedColor(TColor C) {
    if (C == FSelectedColor) return;
    FSelectedColor = C;
    if (C == clNone) SetItemIndex(-1);
    for (int i = 0; i < FItems->Count(); ++i)
        if (FItems->Item(i)->Color() == C) {
            SetItemIndex(i);
            return;
        }
    SetItemIndex(-1);
}

void TCustomColorSelector::SelectFirst() {
    if (FItems->Count() > 0) SetItemIndex(0);
}

void TCustomColorSelector::SelectLast() {
    if (FItems->Count() > 0) SetItemIndex(FItems->Count() - 1);
}

void TCustomColorSelector::SelectNext() {
    if (FItemIndex + 1 < FItems->Count()) SetItemIndex(FItemIndex + 1);
}

void TCustomColorSelector::SelectPrevious() {
    if (FItemIndex > 0) SetItemIndex(FItemIndex - 1);
}

void TCustomColorSelector::HotNext() {
    if (FItemHot + 1 < FItems->Count()) SetColorBoxHot(FItemHot + 1);
}

void TCustomColorSelector::HotPrevious() {
    if (FItemHot > 0) SetColorBoxHot(FItemHot - 1);
}

void TCustomColorSelector::SelectColorBoxByKey(unsigned Key, bool EditorEnabled, bool PopupOpen) {
    if (!Enabled()) return;
    switch (Key) {
    case VK_NEXT: case VK_END: SelectLast(); break;
    case VK_PRIOR: case VK_HOME: SelectFirst(); break;
    case VK_LEFT: case VK_RIGHT:
        if (!PopupOpen && EditorEnabled) break;
        if (Key == VK_LEFT) SelectPrevious();
        else SelectNext();
        break;
    case VK_UP: case VK_DOWN: {
        if (!PopupOpen) {
            if (Key == VK_UP) SelectPrevious();
            else SelectNext();
            break;
        }
        const int to = FItemIndex < 0 ? 0 : Key == VK_UP ? FItemIndex - FColumns : FItemIndex + FColumns;
        if (to >= 0 && to < FItems->Count()) SetItemIndex(to);
        break;
    }
    default: break;
    }
}

int TCustomColorSelector::ColorBoxAtPos(int X, int Y) const {
    for (int i = 0; i < FItems->Count(); ++i)
        if (FItems->Item(i)->FRect.Contains(Point(X, Y))) return i;
    return -1;
}

TRect TCustomColorSelector::GetColorBoxRect(int Index) const {
    if (Index < 0 || Index >= FItems->Count()) return Rect(-1, -1, -1, -1);
    return FItems->Item(Index)->FRect;
}

void TCustomColorSelector::GetColorBoxArea(TRect& R) {
    R = ClientRect();
    InflateRect(R, -FOffSetX, -FOffSetY);
}

void TCustomColorSelector::GetColorBoxSize(TSize& S) { S = TSize(FColorBoxWidth, FColorBoxHeight); }

void TCustomColorSelector::InvalidateColorBox(int Index) {
    if (Index < 0 || Index >= FItems->Count()) return;
    const TRect r = FItems->Item(Index)->FRect;
    ::InvalidateRect(this, &r, true);
}

void TCustomColorSelector::ArrangeColorBoxes() {
    // 1.
    if (FItems->Count() == 0) {
        SetBounds(Left(), Top(), 100, 50);
        return;
    }
    // 2.
    FItemHot = -1;
    TSize s;
    GetColorBoxSize(s);
    TRect area;
    GetColorBoxArea(area);
    const int w = s.cx, h = s.cy, x0 = area.Left, y0 = area.Top;
    int x = x0, y = y0, widest = 0, col = 0;
    bool gap = false;
    // 3.
    for (int i = 0; i < FItems->Count(); ++i) {
        TColorBoxItem* it = FItems->Item(i);
        it->FRect = Rect(x, y, x + w, y + h);
        ++col;
        if (i == FItems->Count() - 1) break;
        if (it->ColorBoxPos() == ipStandAlone) gap = true;
        if (col < FColumns) {
            x += w + FColumnGap;
        } else {
            if (gap) y += FColumnGap;
            gap = false;
            y += h;
            widest = std::max(widest, x);
            x = x0;
            col = 0;
        }
    }
    // 4.
    SetBounds(Left(), Top(), std::max(x, widest) + w + x0 + 1, y + h + y0);
    Invalidate();
}

void TCustomColorSelector::AddThemeColors() {
    FItems->BeginUpdate();
    FItems->Clear();
    for (int i = 0; i < 60; ++i) {
        TColorBoxItem* it = FItems->Add();
        it->SetColor(kThemeColors[i]);
        it->SetColorBoxPos(kThemeRowPos[i / 10]);
    }
    FItems->EndUpdate();
    ArrangeColorBoxes();
}

void TCustomColorSelector::DrawColorBox(int Index, TCanvas* ACanvas) {
    if (!ACanvas || Index < 0 || Index >= FItems->Count()) return;
    TColorBoxItem* it = FItems->Item(Index);
    TRect R = it->FRect;
    if (R.Left < 0 && R.Right < 0) return;
    const TColorBoxAppearance* a = FColorBoxAppearance;
    // 1.
    const bool selected = Index == FItemIndex, hot = Index == FItemHot;
    TColor outer = clNone, inner = clNone;
    if (selected) {
        outer = a->OuterBorderColorSelected;
        inner = a->InnerBorderColorSelected;
    } else if (hot) {
        outer = a->OuterBorderColorHot;
        inner = a->InnerBorderColorHot;
    }
    ACanvas->Pen().SetWidth(1);
    // 2.
    if (it->Color() != clNone) {
        ACanvas->Pen().SetColor(it->Color());
        ACanvas->Brush().SetStyle(bsSolid);
        ACanvas->Brush().SetColor(it->Color());
        ACanvas->Rectangle(R);
    }
    // 3.
    if (selected || hot) {
        ACanvas->Brush().SetStyle(bsClear);
        if (outer != clNone) {
            ACanvas->Pen().SetColor(outer);
            ACanvas->Rectangle(R);
        }
        InflateRect(R, -1, -1);
        if (inner != clNone) {
            ACanvas->Pen().SetColor(inner);
            ACanvas->Rectangle(R);
        }
        ACanvas->Brush().SetStyle(bsSolid);
        return;
    }
    // 4. Border lines after the box's place in its strip, on the
    // rectangle's four sides (a line leaves out its last point).
    ACanvas->Pen().SetColor(a->BorderColor);
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    auto line = [&](std::initializer_list<TPoint> pts) {
        auto p = pts.begin();
        ACanvas->MoveTo(p->X, p->Y);
        for (++p; p != pts.end(); ++p) ACanvas->LineTo(p->X, p->Y);
    };
    switch (it->ColorBoxPos()) {
    case ipStandAlone: line({Point(L, B), Point(L, T), Point(Rt, T), Point(Rt, B), Point(L, B)}); break;
    case ipTop: line({Point(L, B), Point(L, T), Point(Rt, T), Point(Rt, B)}); break;
    case ipMiddle:
        line({Point(L, T), Point(L, B)});
        line({Point(Rt, T), Point(Rt, B)});
        break;
    case ipBottom:
        line({Point(L, T), Point(L, B), Point(Rt, B)});
        line({Point(Rt, T), Point(Rt, B + 1)});
        break;
    }
}

void TCustomColorSelector::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
    for (int i = 0; i < FItems->Count(); ++i) DrawColorBox(i, c);
}

void TCustomColorSelector::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExCustomColorSelectorPanel::MouseDown(Button, Shift, X, Y);
    const int i = ColorBoxAtPos(X, Y);
    if (BoxEnabled(i)) SetItemIndex(i);
}

void TCustomColorSelector::MouseMove(TShiftState Shift, int X, int Y) {
    TExCustomColorSelectorPanel::MouseMove(Shift, X, Y);
    const int i = ColorBoxAtPos(X, Y);
    if (i < 0) {
        if (FItemHot >= 0) SetColorBoxHot(-1);
        return;
    }
    if (i == FItemHot) return;
    SetColorBoxHot(BoxEnabled(i) ? i : -1);
}

void TCustomColorSelector::CMMouseLeave(TMessage& M) {
    TExCustomColorSelectorPanel::CMMouseLeave(M);
    SetColorBoxHot(-1);
}
