// The painting pass of TExPageControl: after the base has painted, the strip,
// the frame of the page and every tab are painted over it, in the classic or
// the dot-net style, with solid colours or gradients, rotated captions for
// tabs on the left or right, images, background pictures, close buttons, the
// hover outline and the focus rectangle.
#include "gridpack/pagecontrol/ExPageControl.h"

#include "platform/core/MathUtils.h"

#include <algorithm>
#include <memory>

namespace {

// Grey text of a tab that cannot be made active.
constexpr TColor kDisabledText = 0x808080;
// The width of the close-button column before the text.
constexpr int kCloseTextTop = 18, kCloseTextSide = 17, kPlainText = 4;

bool HasPicture(const TBitmap* b) { return b && !b->Empty(); }

void Line(TCanvas* c, TColor col, int x1, int y1, int x2, int y2) {
    c->Pen().SetColor(col);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

// The active tab's outline: three sides, open towards the page.
void ActiveTabOutline(TCanvas* c, TColor bc, const TRect& r, TTabPosition side) {
    switch (side) {
    case tpTop:
        Line(c, bc, r.Left, r.Bottom, r.Left, r.Top);
        Line(c, bc, r.Left, r.Top, r.Right - 1, r.Top);
        Line(c, bc, r.Right - 1, r.Top, r.Right - 1, r.Bottom);
        break;
    case tpBottom:
        Line(c, bc, r.Left, r.Top - 1, r.Left, r.Bottom - 1);
        Line(c, bc, r.Left, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
        Line(c, bc, r.Right - 1, r.Bottom - 1, r.Right - 1, r.Top - 1);
        break;
    case tpLeft:
        Line(c, bc, r.Right, r.Top, r.Left, r.Top);
        Line(c, bc, r.Left, r.Top, r.Left, r.Bottom - 1);
        Line(c, bc, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
        break;
    case tpRight:
        Line(c, bc, r.Left - 1, r.Top, r.Right - 1, r.Top);
        Line(c, bc, r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1);
        Line(c, bc, r.Right - 1, r.Bottom - 1, r.Left - 1, r.Bottom - 1);
        break;
    }
}

}  // namespace

struct TExPageControl::TPaintPass {
    TCanvas* C = nullptr;
    TTabPosition Side = tpTop;
    bool AnyTab = false;
    TRect Ext;            // the extent of the visible tabs
    int Inner = 0;        // the strip's inner edge (towards the page)
    TRect PageRect;       // everything but the strip
    bool FrameTakesColor = false;
    bool Extend = false;  // inactive classic tabs reach one pixel into the frame
    int LastPage = -1;    // the active tab, drawn at the end of the pass
};

void TExPageControl::DrawGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R,
                                  bool Horizontal) {
    const int n = Steps <= 0 ? 1 : Steps;
    const TColor a = ColorToRGB(FromColor), b = ColorToRGB(ToColor);
    const int length = Horizontal ? R.Width() : R.Height();
    auto channel = [n](int ca, int cb, int i) { return ca + int(Round(double(i) * (cb - ca) / n)); };
    const int bandLength = int(Round(double(length) / n)) + 1;
    for (int i = 0; i < n; ++i) {
        const TColor col = RGB(channel(GetRValue(a), GetRValue(b), i), channel(GetGValue(a), GetGValue(b), i),
                               channel(GetBValue(a), GetBValue(b), i));
        const int start = int(Round(double(i) * length / n));
        const TRect band = Horizontal ? Rect(R.Left + start, R.Top, R.Left + start + bandLength, R.Bottom)
                                      : Rect(R.Left, R.Top + start, R.Right, R.Top + start + bandLength);
        Canvas->Pen().SetColor(col);
        Canvas->Brush().SetColor(col);
        Canvas->Rectangle(band);
    }
}

void TExPageControl::Paint() {
    TCustomTabControl::Paint();
    if (!FTabBorder3D) PaintTabs();
}

void TExPageControl::PaintTabs() {
    TPaintPass P;
    P.C = Canvas();
    P.Side = TabPosition();
    TCanvas* c = P.C;
    const int W = Width(), H = Height();

    // 1. The parent's background and the normal font.
    c->Pen().SetStyle(psSolid);
    c->Pen().SetWidth(1);
    c->Brush().SetColor(Parent() ? Parent()->Color() : clBtnFace);
    c->Font().Assign(*Font());

    // 2. The strip's extent; round each tab the parent's background.
    for (int i = int(FPages.size()) - 1; i >= 0; --i) {
        if (!FPages[i]->FTabShowing) continue;
        TRect r = TabRect(FPages[i]->TabIndex());
        if (r.IsEmpty()) continue;
        if (!P.AnyTab) P.Ext = r;
        else UnionRect(P.Ext, P.Ext, r);
        P.AnyTab = true;
        switch (P.Side) {
        case tpTop: r.Left -= 2; r.Top -= 2; r.Right += 2; break;
        case tpBottom: r.Left -= 2; r.Bottom += 2; r.Right += 2; break;
        case tpLeft: r.Left -= 2; r.Top -= 2; r.Bottom += 2; break;
        case tpRight: r.Right += 2; r.Top -= 2; r.Bottom += 2; break;
        }
        c->FillRect(r);
    }
    TRect strip;
    switch (P.Side) {
    case tpTop:
        P.Inner = P.AnyTab ? P.Ext.Bottom : 2;
        strip = Rect(0, 0, W, P.Inner);
        P.PageRect = Rect(0, P.Inner, W, H);
        break;
    case tpBottom:
        P.Inner = P.AnyTab ? P.Ext.Top : H - 2;
        strip = Rect(0, P.Inner, W, H);
        P.PageRect = Rect(0, 0, W, P.Inner);
        break;
    case tpLeft:
        P.Inner = P.AnyTab ? P.Ext.Right : 2;
        strip = Rect(0, 0, P.Inner, H);
        P.PageRect = Rect(P.Inner, 0, W, H);
        break;
    case tpRight:
        P.Inner = P.AnyTab ? P.Ext.Left : W - 2;
        strip = Rect(P.Inner, 0, W, H);
        P.PageRect = Rect(0, 0, P.Inner, H);
        break;
    }

    // 3. A single row on the top or bottom: the end of the strip in the
    // control's colour, and a line along its page side.
    if ((P.Side == tpTop || P.Side == tpBottom) && RowCount() <= 1) {
        c->Brush().SetColor(Color());
        c->FillRect(Rect(W - 35, strip.Top, W, strip.Bottom));
        const int from = std::max(W - 35, P.AnyTab ? P.Ext.Right : 0);
        if (P.Side == tpTop) Line(c, clWhite, from, P.Inner - 1, W, P.Inner - 1);
        else Line(c, cl3DDkShadow, from, P.Inner, W, P.Inner);
    }

    // 4. The strip's own colour.
    c->Brush().SetColor(FTabBackGroundColor);
    c->FillRect(strip);

    // 5. The frame round the page takes the colour of a page that differs.
    TExTabSheet* active = FActivePage;
    P.FrameTakesColor = active && (active->FColorTo != clNone || active->Color() != Color());
    if (P.FrameTakesColor) {
        TRect inside = DisplayRect();
        if (FTabSheet3D) InflateRect(inside, -1, -1);
        TRegion band;
        CombineRgn(band, CreateRectRgnIndirect(P.PageRect), CreateRectRgnIndirect(inside), RGN_DIFF);
        c->SelectClipRgn(&band);
        if (active->FColorTo == clNone) {
            c->Brush().SetColor(active->Color());
            c->FillRect(P.PageRect);
        } else {
            DrawGradient(c, active->Color(), active->FColorTo, 16, ClientRect(), false);
            c->Pen().SetColor(active->Color());
            c->Brush().SetStyle(bsClear);
            TRect edge = DisplayRect();
            InflateRect(edge, 1, 1);
            c->Rectangle(edge);
        }
        c->SelectClipRgn(nullptr);
    }

    // 6. The page's border, and an inner line in the control's colour.
    c->Brush().SetStyle(bsClear);
    if (!FTabSheet3D) {
        c->Pen().SetColor(FTabSheetBorderColor);
        c->Rectangle(P.PageRect);
        if (!P.FrameTakesColor) {
            TRect in = P.PageRect;
            InflateRect(in, -1, -1);
            c->Pen().SetColor(Color());
            c->Rectangle(in);
        }
        if (FRoundEdges) {
            // The two corners away from the strip are drawn round: the
            // border's last pixels go, and a step one pixel in joins them.
            const TRect& pr = P.PageRect;
            struct Corner { int x, y, dx, dy; };
            QList<Corner> corners;
            switch (P.Side) {
            case tpTop: corners = {{pr.Left, pr.Bottom - 1, 1, -1}, {pr.Right - 1, pr.Bottom - 1, -1, -1}}; break;
            case tpBottom: corners = {{pr.Left, pr.Top, 1, 1}, {pr.Right - 1, pr.Top, -1, 1}}; break;
            case tpLeft: corners = {{pr.Right - 1, pr.Top, -1, 1}, {pr.Right - 1, pr.Bottom - 1, -1, -1}}; break;
            case tpRight: corners = {{pr.Left, pr.Top, 1, 1}, {pr.Left, pr.Bottom - 1, 1, -1}}; break;
            }
            for (const Corner& k : corners) {
                Line(c, Color(), k.x, k.y, k.x + 4 * k.dx, k.y);
                Line(c, Color(), k.x, k.y, k.x, k.y + 4 * k.dy);
                Line(c, FTabSheetBorderColor, k.x + k.dx, k.y + 3 * k.dy, k.x + k.dx, k.y + k.dy);
                Line(c, FTabSheetBorderColor, k.x + k.dx, k.y + k.dy, k.x + 4 * k.dx, k.y + k.dy);
            }
        }
    }

    // 7. Without the split line the tabs join the page: the border along
    // the strip is drawn over in the page's (or the control's) colour.
    P.Extend = !FTabSheet3D && !FTabSplitLine;
    if (!FTabSplitLine && !FPages.isEmpty()) {
        TColor join = Color();
        if (P.FrameTakesColor)
            join = (P.Side == tpBottom && active->FColorTo != clNone) ? active->FColorTo : active->Color();
        int end = (P.AnyTab ? (P.Side == tpLeft || P.Side == tpRight ? P.Ext.Bottom : P.Ext.Right) : 2) + FTabOverlap;
        if (FTabStyle == tsClassic && P.Side == tpLeft && HasPicture(FTabBackGround.get())) end += 2;
        switch (P.Side) {
        case tpTop: Line(c, join, 2, P.Inner, end, P.Inner); break;
        case tpBottom: Line(c, join, 2, P.Inner - 1, end, P.Inner - 1); break;
        case tpLeft: Line(c, join, P.Inner, 2, P.Inner, end); break;
        case tpRight: Line(c, join, P.Inner - 1, 2, P.Inner - 1, end); break;
        }
    }

    // 8. The tabs from the last page to the first, so that each tab's
    // outline lies over its neighbour; an active tab with its own picture
    // comes last.
    const int activeIndex = ActivePageIndex();
    if (activeIndex >= 0 && HasPicture(FTabBackGroundActive.get())) P.LastPage = activeIndex;
    for (int i = int(FPages.size()) - 1; i >= 0; --i) {
        if (!FPages[i]->FTabShowing || i == P.LastPage) continue;
        DrawOneTab(P, i, false);
    }

    // 9. The hover outline on the sides away from the page.
    if (FHoverTab >= 0 && FHoverTab < FPages.size() && FTabHoverBorder != clNone && FHoverTab != activeIndex) {
        const TRect r = TabRect(PageToTabIndex(FHoverTab));
        if (!r.IsEmpty()) {
            const int right = std::min(r.Right - 1, W - 2), bottom = std::min(r.Bottom - 1, H - 2);
            c->Pen().SetColor(FTabHoverBorder);
            switch (P.Side) {
            case tpTop:
                Line(c, FTabHoverBorder, r.Left, r.Bottom, r.Left, r.Top);
                Line(c, FTabHoverBorder, r.Left, r.Top, right, r.Top);
                Line(c, FTabHoverBorder, right, r.Top, right, r.Bottom);
                break;
            case tpBottom:
                Line(c, FTabHoverBorder, r.Left, r.Top, r.Left, bottom);
                Line(c, FTabHoverBorder, r.Left, bottom, right, bottom);
                Line(c, FTabHoverBorder, right, bottom, right, r.Top - 1);
                break;
            case tpLeft:
                Line(c, FTabHoverBorder, r.Right, r.Top, r.Left, r.Top);
                Line(c, FTabHoverBorder, r.Left, r.Top, r.Left, bottom);
                Line(c, FTabHoverBorder, r.Left, bottom, r.Right, bottom);
                break;
            case tpRight:
                Line(c, FTabHoverBorder, r.Left - 1, r.Top, right, r.Top);
                Line(c, FTabHoverBorder, right, r.Top, right, bottom);
                Line(c, FTabHoverBorder, right, bottom, r.Left - 1, bottom);
                break;
            }
        }
    }

    if (P.LastPage >= 0) DrawOneTab(P, P.LastPage, true);
    c->Font().Assign(*Font());
    c->Brush().SetStyle(bsSolid);
}

void TExPageControl::DrawOneTab(TPaintPass& P, int PageIndex, bool Last) {
    TCanvas* c = P.C;
    TExTabSheet* sheet = FPages[PageIndex];
    const TRect r = TabRect(sheet->TabIndex());
    if (r.IsEmpty()) return;
    const bool active = sheet == FActivePage;
    const bool bg = HasPicture(FTabBackGround.get());
    const bool bga = HasPicture(FTabBackGroundActive.get());
    const int la = active ? FLowerActive : 0;
    const int lm = FTabMargin.LeftMargin(), tm = FTabMargin.TopMargin();

    // 1. Colours.
    TColor from = sheet->FTabColor, to = sheet->FTabColorTo;
    TGradientDirection dir = sheet->FTabGradientDirection;
    if (active && FActiveColor != clNone) {
        from = FActiveColor;
        to = FActiveColorTo;
    } else if (PageIndex == FHoverTab && (FTabHoverColor != clNone || FTabHoverColorTo != clNone)) {
        from = FTabHoverColor;
        to = FTabHoverColorTo;
        dir = sheet->FHoverGradientDirection;
    }

    // 2. Where the text starts.
    const bool sc = sheet->FShowClose;
    int x = 0, y = 0;
    switch (P.Side) {
    case tpTop: x = r.Left + (sc ? kCloseTextTop : kPlainText); y = r.Top + 1 + la; break;
    case tpBottom: x = r.Left + (sc ? kCloseTextTop : kPlainText); y = active ? r.Top + FLowerActive + 1 : r.Top; break;
    case tpLeft: x = r.Left + 1 + la; y = r.Bottom - (sc ? kCloseTextSide : kPlainText); break;
    case tpRight: x = r.Right - 1 - la; y = r.Top + (sc ? kCloseTextSide : kPlainText); break;
    }
    if (bg) {
        switch (P.Side) {
        case tpLeft: x -= 2; y -= 3; break;
        case tpRight: x -= r.Width() / 3; y -= 3; break;
        case tpBottom: y += 3; break;
        case tpTop: break;
        }
    }
    x += lm;
    if (P.Side == tpLeft) y -= tm - (bga ? FTabOverlap + 3 : 0);
    else y += tm;

    // 3. The background and the outline.
    const bool side = P.Side == tpLeft || P.Side == tpRight;
    if (!bg) {
        if (from != clNone) {
            if (to != clNone) {
                TRect g = r;
                if (dir == gdHorizontal) --g.Right;
                else --g.Bottom;
                DrawGradient(c, from, to, 16, g, dir == gdHorizontal);
            } else {
                c->Brush().SetColor(from);
                c->FillRect(r);
            }
        }
        c->Brush().SetStyle(bsClear);
        const TColor bc = FTabBorderColor;
        if (FTabStyle == tsDotNet) {
            if (active) {
                ActiveTabOutline(c, bc, r, P.Side);
            } else {
                switch (P.Side) {
                case tpTop: Line(c, bc, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1); break;
                case tpBottom: Line(c, bc, r.Left, r.Top, r.Right, r.Top); break;
                case tpLeft: Line(c, bc, r.Right - 1, r.Top, r.Right - 1, r.Bottom); break;
                case tpRight: Line(c, bc, r.Left, r.Top, r.Left, r.Bottom); break;
                }
                // The separator, unless the next tab is the active one
                // (whose outline makes it) and the strip goes on.
                TExTabSheet* next = nullptr;
                for (int k = PageIndex + 1; k < FPages.size(); ++k)
                    if (FPages[k]->FTabShowing) {
                        next = FPages[k];
                        break;
                    }
                const int trailing = side ? r.Bottom : r.Right;
                const int stripEnd = side ? P.Ext.Bottom : P.Ext.Right;
                if (next != FActivePage || trailing >= stripEnd - 3) {
                    const TColor sep = FActiveColor == clNone ? FTabBorderColor : FActiveColor;
                    if (side) {
                        Line(c, sep, r.Left + 2, r.Bottom - 2, r.Right - 3, r.Bottom - 2);
                        Line(c, sep, r.Left + 2, r.Bottom - 3, r.Right - 3, r.Bottom - 3);
                    } else {
                        Line(c, sep, r.Right - 2, r.Top + 2, r.Right - 2, r.Bottom - 3);
                        Line(c, sep, r.Right - 3, r.Top + 2, r.Right - 3, r.Bottom - 3);
                    }
                }
            }
        } else {
            c->Pen().SetColor(bc);
            if (active) {
                ActiveTabOutline(c, bc, r, P.Side);
            } else {
                TRect o = r;
                if (P.Extend) {
                    switch (P.Side) {
                    case tpTop: ++o.Bottom; break;
                    case tpBottom: --o.Top; break;
                    case tpLeft: ++o.Right; break;
                    case tpRight: --o.Left; break;
                    }
                    // Not past the control's far edge.
                    if (side && o.Bottom >= Height() - 5) --o.Bottom;
                    if (!side && o.Right >= Width() - 5) --o.Right;
                }
                c->Rectangle(o);
            }
            if (P.Side == tpBottom) y += 2;
        }
    } else if (!(active && bga)) {
        const int length = (side ? r.Height() : r.Width()) + FTabOverlap + 2;
        DrawThreeSliced(c, FTabBackGround.get(), side ? r.Left : r.Left - 1, side ? r.Top - 1 : r.Top, length);
    } else {
        const int length = (side ? r.Height() : r.Width()) + FTabOverlap + 3;
        const int back = FLowerActive < 1 ? 1 : 2;
        DrawThreeSliced(c, FTabBackGroundActive.get(), side ? r.Left : r.Left - back, side ? r.Top - back : r.Top,
                        length);
    }

    // 4. The font.
    TFont font;
    font.Assign(active ? FActiveFont : *Font());
    if (!active && P.Side != tpBottom) font.SetColor(sheet->FTextColor);
    if (P.Side == tpBottom) font.Assign(FActiveFont);
    // Left tabs read upwards, right tabs downwards.
    if (P.Side == tpLeft) font.SetOrientation(900);
    else if (P.Side == tpRight) font.SetOrientation(2700);
    if (!sheet->FTabEnable) font.SetColor(kDisabledText);
    c->Font().Assign(font);
    c->Brush().SetStyle(bsClear);

    // 5. The close button, drawn in its state for the active tab.
    if (sc && !FTabBorder3D) {
        int bx = 0, by = 0;
        switch (P.Side) {
        case tpTop: case tpBottom: bx = r.Left + lm; by = r.Top + tm + la; break;
        case tpRight: bx = r.Left + lm + 2 - la; by = r.Top + tm; break;
        case tpLeft: bx = r.Left + lm + la; by = r.Bottom - tm + (bga ? FTabOverlap : 0) - 15; break;
        }
        DrawCloseButton(c, bx, by, active ? FCloseButtonState : cbsNormal);
        c->Brush().SetStyle(bsClear);
    }

    // 6. The image, before the text.
    if (FImages && sheet->FImageIndex >= 0) {
        switch (P.Side) {
        case tpLeft:
            FImages->Draw(c, x, y - 14, sheet->FImageIndex, sheet->Enabled());
            y -= FImages->Height();
            break;
        case tpRight:
            FImages->Draw(c, x - 14, y, sheet->FImageIndex, sheet->Enabled());
            y += FImages->Height();
            break;
        default:
            FImages->Draw(c, x - 2, y, sheet->FImageIndex, sheet->Enabled());
            x += FImages->Width();
            break;
        }
    }

    // 7. The plain caption.
    c->SetBkMode(TRANSPARENT);
    if (side) c->TextOut(x, y, sheet->Caption());
    else c->DrawText(sheet->Caption(), Rect(x, y, std::max(x, r.Right), std::max(y, r.Bottom)), DT_SINGLELINE | DT_NOCLIP);
    c->Font().Assign(*Font());

    // 8. The focus rectangle.
    if (active && FShowFocus && Focused()) DrawTabFocus(c, r, Last);
}

void TExPageControl::DrawTabFocus(TCanvas* C, const TRect& R, bool Last) {
    TRect f = Rect(R.Left + 5, R.Top + 3, R.Right - 5, R.Bottom - 3);
    if (Last) {
        if (TabPosition() == tpLeft || TabPosition() == tpRight) f.Bottom -= FTabOverlap;
        else f.Right -= FTabOverlap;
    }
    C->Pen().SetColor(clBlack);
    C->Pen().SetStyle(psDot);
    C->Brush().SetStyle(bsClear);
    C->Rectangle(f);
    C->Pen().SetStyle(psSolid);
}

void TExPageControl::DrawCloseButton(TCanvas* C, int X, int Y, TCloseButtonState State) {
    if (HasPicture(FCloseGlyph.get())) {
        // The picture with its automatic transparency, cut to the box.
        C->SaveState();
        C->IntersectClipRect(X + 2, Y + 2, X + 14, Y + 13);
        FCloseGlyph->SetTransparent(true);
        FCloseGlyph->SetTransparentMode(tmAuto);
        C->Draw(X + 2, Y + 2, FCloseGlyph.get());
        C->RestoreState();
        return;
    }
    TColor fill = clWhite, outline = clGray, cross = clBlack;
    if (State == cbsHot) {
        outline = clBlack;
        cross = clGray;
    } else if (State == cbsPressed) {
        fill = clSilver;
        outline = clBlack;
    }
    C->Pen().SetStyle(psSolid);
    C->Pen().SetColor(outline);
    C->Brush().SetStyle(bsSolid);
    C->Brush().SetColor(fill);
    C->Rectangle(X + 2, Y + 2, X + 14, Y + 13);
    // Each diagonal two neighbouring lines thick.
    Line(C, cross, X + 5, Y + 9, X + 11, Y + 4);
    Line(C, cross, X + 6, Y + 9, X + 10, Y + 4);
    Line(C, cross, X + 5, Y + 5, X + 11, Y + 10);
    Line(C, cross, X + 6, Y + 5, X + 10, Y + 10);
}

void TExPageControl::DrawThreeSliced(TCanvas* C, TBitmap* Bmp, int X, int Y, int Length) {
    if (!HasPicture(Bmp)) return;
    const bool vertical = TabPosition() == tpLeft || TabPosition() == tpRight;
    const int w = Bmp->Width(), h = Bmp->Height();
    const TColor key = Bmp->Canvas()->Pixels(0, h - 1);
    // One part of the picture, drawn transparently into dest.
    auto part = [&](const TRect& src, const TRect& dest) {
        if (src.IsEmpty() || dest.IsEmpty()) return;
        TBitmap piece(src.Width(), src.Height());
        piece.Canvas()->CopyRect(Rect(0, 0, src.Width(), src.Height()), Bmp->Canvas(), src);
        piece.SetTransparentColor(key);
        piece.SetTransparent(true);
        C->StretchDraw(dest, &piece);
    };
    if (vertical) {
        const int half = h / 2;
        const int middle = std::max(0, Length - h);
        part(Rect(0, 0, w, half), Rect(X, Y, X + w, Y + half));
        part(Rect(0, std::max(0, half - 1), w, std::min(h, half + 1)), Rect(X, Y + half, X + w, Y + half + middle));
        part(Rect(0, half, w, h), Rect(X, Y + half + middle, X + w, Y + half + middle + (h - half)));
    } else {
        const int half = w / 2;
        const int middle = std::max(0, Length - w);
        part(Rect(0, 0, half, h), Rect(X, Y, X + half, Y + h));
        part(Rect(std::max(0, half - 1), 0, std::min(w, half + 1), h), Rect(X + half, Y, X + half + middle, Y + h));
        part(Rect(half, 0, w, h), Rect(X + half + middle, Y, X + half + middle + (w - half), Y + h));
    }
}
