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
    BeginUpdate();
    const TColor oldColor = Color();
    // The tree's and the header's fonts print antialiased; the copies go
    // back at the end.
    TFont oldFont, oldHeaderFont;
    oldFont.Assign(*Font());
    oldHeaderFont.Assign(*FHeader->Font());
    const auto restore = [&] {
        SetColor(oldColor);
        Font()->Assign(oldFont);
        FHeader->Font()->Assign(oldHeaderFont);
    };
    try {
        {
            TFont smooth;
            smooth.Assign(oldFont);
            smooth.SetQuality(fqAntialiased);
            Font()->Assign(smooth);
        }
        const bool header = PrintHeader && FHeader->Options().Contains(hoVisible);
        const int headerHeight = header ? FHeader->Height() : 0;
        const int w = std::max<int>(ClientWidth(), int(RangeX()));
        const int treeHeight = std::max<int>(ClientHeight(), int(RangeY()));
        const int h = treeHeight + headerHeight;
        TBitmap picture(std::max(1, w), std::max(1, h), pf32bit);
        // White ground, grid lines as the options ask; no selection, focus
        // rectangle or drop mark.
        SetColor(clWhite);
        picture.Canvas()->Brush().SetColor(clWhite);
        picture.Canvas()->FillRect(Rect(0, 0, w, h));
        if (header) {
            TFont smooth;
            smooth.Assign(oldHeaderFont);
            smooth.SetQuality(fqAntialiased);
            FHeader->Font()->Assign(smooth);
            FHeader->Columns()->PaintHeader(picture.Canvas(), Rect(0, 0, w, headerHeight), Point(0, 0));
            FHeader->Font()->Assign(oldHeaderFont);
        }
        PaintTree(picture.Canvas(), Rect(0, 0, w, treeHeight), Point(0, headerHeight), {poGridLines}, pf32bit);
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
        restore();
        Printer->EndDoc();
    } catch (...) {
        restore();
        EndUpdate();
        throw;
    }
    EndUpdate();
}
