// Printing the whole tree page by page.
#include "treeview/LazyTreesPrint.h"

#include "treeview/LazyTrees.Utils.h"
#include "treeview/LazyTrees.h"

#include <cmath>

void TLTRecordingPrinter::BeginDoc() {
    FPages.clear();
    FPrinting = true;
    NewPage();
}

void TLTRecordingPrinter::NewPage() {
    auto page = std::make_unique<TBitmap>(FWidth, FHeight, pf24bit);
    page->Canvas()->Brush().SetColor(clWhite);
    page->Canvas()->FillRect(Rect(0, 0, FWidth, FHeight));
    FPages.push_back(std::move(page));
}

TCanvas* TLTRecordingPrinter::Canvas() { return FPages.empty() ? nullptr : FPages.back()->Canvas(); }

void TBaseLazyTree::Print(TLTPrinter* Printer, bool PrintHeader) {
    if (!Printer) return;
    // The header is not painted into the picture here: header painting is
    // a step of its own, so PrintHeader has no effect yet.
    (void)PrintHeader;
    BeginUpdate();
    const TColor oldColor = Color();
    try {
        const int w = std::max<int>(ClientWidth(), int(RangeX()));
        const int h = std::max<int>(ClientHeight(), int(RangeY()));
        TBitmap picture(std::max(1, w), std::max(1, h), pf32bit);
        // White ground, grid lines as the options ask; no selection, focus
        // rectangle or drop mark.
        SetColor(clWhite);
        picture.Canvas()->Brush().SetColor(clWhite);
        picture.Canvas()->FillRect(Rect(0, 0, w, h));
        PaintTree(picture.Canvas(), Rect(0, 0, w, h), Point(0, 0), {poGridLines}, pf32bit);
        SetColor(oldColor);

        Printer->BeginDoc();
        TCanvas* pc = Printer->Canvas();
        pc->Font().Assign(*Font());
        Canvas()->Font().Assign(*Font());
        const int screenHeight = std::max(1, Canvas()->TextHeight(QStringLiteral("Tj")));
        const double scale = std::max(1e-6, double(pc->TextHeight(QStringLiteral("Tj"))) / screenHeight);
        const int pw = std::max(1, int(std::lround(Printer->PageWidth() / scale)));
        const int ph = std::max(1, int(std::lround(Printer->PageHeight() / scale)));
        // Rounded up: a tree of an exact multiple of a page prints no blank page.
        const int columns = std::max(1, (w + pw - 1) / pw), rows = std::max(1, (h + ph - 1) / ph);
        TBitmap page(pw, ph, pf32bit);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                page.Canvas()->Brush().SetColor(clWhite);
                page.Canvas()->FillRect(Rect(0, 0, pw, ph));
                for (int y = 0; y < ph && r * ph + y < h; ++y) {
                    const TRGBQuad* src = picture.ScanLine(r * ph + y);
                    TRGBQuad* dst = page.ScanLine(y);
                    for (int x = 0; x < pw && c * pw + x < w; ++x) dst[x] = src[c * pw + x];
                }
                StretchBitmapToCanvas(Printer->Canvas(),
                                      Rect(0, 0, Printer->PageWidth(), Printer->PageHeight() - 1), &page);
                if (c < columns - 1) Printer->NewPage();
            }
            if (r < rows - 1) Printer->NewPage();
        }
        Printer->EndDoc();
    } catch (...) {
        SetColor(oldColor);
        EndUpdate();
        throw;
    }
    EndUpdate();
}
