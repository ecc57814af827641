#pragma once
// The program's printer: the installed printers and the default one, a print
// job (title, orientation, pages) and the canvas of the current page. When an
// output file is set the job is written to that PDF file instead of a printer
// (A4 at 300 dots per inch), which is how printing is checked without one.
#include "platform/core/Exceptions.h"
#include "platform/graphics/Graphics.h"

#include <QString>
#include <QStringList>

#include <memory>

KAL_DECLARE_EXCEPTION(EPrinter, Exception)

enum TPrinterOrientationKind { pokPortrait, pokLandscape };

class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // Names of the installed printers and the index of the one in use (-1:
    // none installed).
    QStringList Printers() const;
    int PrinterIndex() const;
    void SetPrinterIndex(int v);

    // A PDF file receives the jobs while set; empty: the printer in use.
    QString OutputFile() const { return FOutputFile; }
    void SetOutputFile(const QString& v) { FOutputFile = v; }

    QString Title;
    TPrinterOrientationKind Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientationKind v);

    // Starts a job; raises EPrinter "There is no default printer currently
    // selected" when neither a printer nor an output file can take it.
    void BeginDoc();
    void EndDoc();
    void NewPage();
    // Drops the job begun: nothing is printed or written.
    void Abort();
    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }
    int PageNumber() const { return FPageNumber; }

    // The page in device pixels and the device resolution; answered also
    // outside a job.
    int PageWidth() const;
    int PageHeight() const;
    int PixelsPerInchX() const;
    int PixelsPerInchY() const;
    // The canvas of the current page, nullptr outside a job.
    TCanvas* Canvas();

private:
    struct TState;
    std::unique_ptr<TState> FState;
    QString FOutputFile;
    TPrinterOrientationKind FOrientation = pokPortrait;
    bool FPrinting = false;
    bool FAborted = false;
    int FPageNumber = 0;
};

// The program's one printer.
TPrinter* Printer();
