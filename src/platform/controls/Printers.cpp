// The printer over the toolkit's print support; a PDF file in place of a
// printer goes through the PDF printer of the graphics layer.
#include "platform/controls/Printers.h"

#include "platform/graphics/PdfPrinter.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace {
constexpr double kPdfWidthMm = 210.0;
constexpr double kPdfHeightMm = 297.0;
constexpr int kPdfDpi = 300;
} // namespace

struct TPrinter::TState {
    int Index = -2; // -2: not chosen yet, the default printer
    std::unique_ptr<TPdfPrinter> Pdf;
    std::unique_ptr<QPrinter> Device;
    TCanvas DeviceCanvas;
};

TPrinter::TPrinter() : FState(std::make_unique<TState>()) {}

TPrinter::~TPrinter() { Abort(); }

QStringList TPrinter::Printers() const { return QPrinterInfo::availablePrinterNames(); }

int TPrinter::PrinterIndex() const {
    const QStringList names = Printers();
    if (FState->Index >= 0 && FState->Index < names.size()) return FState->Index;
    const QString def = QPrinterInfo::defaultPrinterName();
    return def.isEmpty() ? -1 : int(names.indexOf(def));
}

void TPrinter::SetPrinterIndex(int v) {
    if (v < -1 || v >= Printers().size()) throw EPrinter(QStringLiteral("Printer index out of range"));
    FState->Index = v;
}

void TPrinter::SetOrientation(TPrinterOrientationKind v) {
    if (FPrinting) throw EPrinter(QStringLiteral("Cannot perform this operation while printing"));
    FOrientation = v;
}

void TPrinter::BeginDoc() {
    if (FPrinting) throw EPrinter(QStringLiteral("Printing in progress"));
    FAborted = false;
    const bool landscape = FOrientation == pokLandscape;
    if (!FOutputFile.isEmpty()) {
        FState->Pdf = std::make_unique<TPdfPrinter>(FOutputFile, landscape ? kPdfHeightMm : kPdfWidthMm,
                                                    landscape ? kPdfWidthMm : kPdfHeightMm, kPdfDpi);
        FState->Pdf->Title = Title;
        FState->Pdf->BeginDoc();
    } else {
        const int index = PrinterIndex();
        if (index < 0) throw EPrinter(QStringLiteral("There is no default printer currently selected"));
        const QPrinterInfo info = QPrinterInfo::printerInfo(Printers().at(index));
        FState->Device = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        FState->Device->setDocName(Title);
        FState->Device->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        FState->DeviceCanvas.Attach(FState->Device.get());
        if (!FState->DeviceCanvas.HandleAllocated()) {
            FState->Device.reset();
            throw EPrinter(QStringLiteral("Printer selected is not valid"));
        }
    }
    FPrinting = true;
    FPageNumber = 1;
}

void TPrinter::EndDoc() {
    if (!FPrinting) return;
    FPrinting = false;
    if (FState->Pdf) {
        std::unique_ptr<TPdfPrinter> pdf = std::move(FState->Pdf);
        pdf->EndDoc();
    } else if (FState->Device) {
        FState->DeviceCanvas.Detach();
        FState->Device.reset();
    }
}

void TPrinter::NewPage() {
    if (!FPrinting) return;
    if (FState->Pdf) FState->Pdf->NewPage();
    else if (FState->Device) FState->Device->newPage();
    ++FPageNumber;
}

void TPrinter::Abort() {
    if (!FState) return;
    if (FPrinting) FAborted = true;
    FPrinting = false;
    if (FState->Pdf) FState->Pdf->Abort();
    FState->Pdf.reset();
    if (FState->Device) {
        FState->Device->abort();
        FState->DeviceCanvas.Detach();
        FState->Device.reset();
    }
}

int TPrinter::PixelsPerInchX() const {
    if (FState->Device) return FState->Device->logicalDpiX();
    return kPdfDpi;
}

int TPrinter::PixelsPerInchY() const {
    if (FState->Device) return FState->Device->logicalDpiY();
    return kPdfDpi;
}

int TPrinter::PageWidth() const {
    if (FState->Pdf) return FState->Pdf->PageWidth();
    if (FState->Device) return FState->Device->width();
    const bool landscape = FOrientation == pokLandscape;
    return int(std::lround((landscape ? kPdfHeightMm : kPdfWidthMm) / 25.4 * kPdfDpi));
}

int TPrinter::PageHeight() const {
    if (FState->Pdf) return FState->Pdf->PageHeight();
    if (FState->Device) return FState->Device->height();
    const bool landscape = FOrientation == pokLandscape;
    return int(std::lround((landscape ? kPdfWidthMm : kPdfHeightMm) / 25.4 * kPdfDpi));
}

TCanvas* TPrinter::Canvas() {
    if (!FPrinting) return nullptr;
    if (FState->Pdf) return FState->Pdf->Canvas();
    return &FState->DeviceCanvas;
}

TPrinter* Printer() {
    static TPrinter* printer = new TPrinter;
    return printer;
}
