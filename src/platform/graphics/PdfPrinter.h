#pragma once
// A printer that writes its pages to a PDF file: begin a document, draw on
// the canvas of the current page, start new pages, end the document. The
// file is written whole when the document ends; until then nothing on the
// disk changes. Page sizes are in device pixels at the printer's resolution.
#include "platform/graphics/Graphics.h"

#include <QString>

#include <memory>

class TPdfPrinter {
public:
    // A page of WidthMm x HeightMm millimetres (A4 by default) at Dpi dots
    // per inch, written to Path.
    explicit TPdfPrinter(const QString& Path, double WidthMm = 210.0, double HeightMm = 297.0, int Dpi = 300);
    ~TPdfPrinter();
    TPdfPrinter(const TPdfPrinter&) = delete;
    TPdfPrinter& operator=(const TPdfPrinter&) = delete;

    void BeginDoc();
    void NewPage();
    // Ends the document and writes the file (raises EFCreateError or
    // EWriteError when it cannot be written; the old file stays).
    void EndDoc();
    // Drops a begun document without writing anything.
    void Abort();
    TCanvas* Canvas();
    int PageWidth() const;
    int PageHeight() const;
    int PageCount() const { return FPages; }
    bool Printing() const { return FPrinting; }
    QString Title;

private:
    struct TState;
    QString FPath;
    double FWidthMm, FHeightMm;
    int FDpi;
    bool FPrinting = false;
    int FPages = 0;
    std::unique_ptr<TState> FState;
};
