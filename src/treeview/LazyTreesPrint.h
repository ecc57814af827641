#pragma once
// Printing a tree: the small printer interface Print writes to, and a
// printer that keeps every page as a bitmap (for previews and tests).
#include "platform/graphics/Graphics.h"
#include "platform/graphics/PdfPrinter.h"

#include <memory>
#include <vector>

class TLTPrinter {
public:
    virtual ~TLTPrinter() = default;
    virtual void BeginDoc() = 0;
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;
    // The canvas of the page being printed.
    virtual TCanvas* Canvas() = 0;
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
};

// Keeps the pages as white bitmaps of the page size, drawn at screen
// resolution.
class TLTRecordingPrinter : public TLTPrinter {
public:
    TLTRecordingPrinter(int PageWidth, int PageHeight) : FWidth(PageWidth), FHeight(PageHeight) {}
    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override { FPrinting = false; }
    TCanvas* Canvas() override;
    int PageWidth() const override { return FWidth; }
    int PageHeight() const override { return FHeight; }
    int PageCount() const { return int(FPages.size()); }
    TBitmap* Page(int Index) const { return FPages.at(size_t(Index)).get(); }
    bool Printing() const { return FPrinting; }

private:
    int FWidth, FHeight;
    bool FPrinting = false;
    std::vector<std::unique_ptr<TBitmap>> FPages;
};

// Prints into a PDF file, written whole when the document ends.
class TLTPdfPrinter : public TLTPrinter {
public:
    explicit TLTPdfPrinter(const QString& Path, double WidthMm = 210.0, double HeightMm = 297.0, int Dpi = 300)
        : FPdf(Path, WidthMm, HeightMm, Dpi) {}
    void BeginDoc() override { FPdf.BeginDoc(); }
    void NewPage() override { FPdf.NewPage(); }
    void EndDoc() override { FPdf.EndDoc(); }
    TCanvas* Canvas() override { return FPdf.Canvas(); }
    int PageWidth() const override { return FPdf.PageWidth(); }
    int PageHeight() const override { return FPdf.PageHeight(); }
    TPdfPrinter& Pdf() { return FPdf; }

private:
    TPdfPrinter FPdf;
};
