// The PDF printer: a PDF writer painting into a memory buffer, written to
// the file whole at the end.
#include "platform/graphics/PdfPrinter.h"

#include "platform/core/Files.h"

#include <QBuffer>
#include <QByteArray>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <cmath>

struct TPdfPrinter::TState {
    QByteArray Bytes;
    QBuffer Buffer{&Bytes};
    std::unique_ptr<QPdfWriter> Writer;
    TCanvas Canvas;
};

TPdfPrinter::TPdfPrinter(const QString& Path, double WidthMm, double HeightMm, int Dpi)
    : FPath(Path), FWidthMm(WidthMm), FHeightMm(HeightMm), FDpi(Dpi > 0 ? Dpi : 300) {}

TPdfPrinter::~TPdfPrinter() { Abort(); }

void TPdfPrinter::BeginDoc() {
    Abort();
    FState = std::make_unique<TState>();
    FState->Buffer.open(QIODevice::WriteOnly);
    FState->Writer = std::make_unique<QPdfWriter>(&FState->Buffer);
    FState->Writer->setResolution(FDpi);
    FState->Writer->setPageSize(QPageSize(QSizeF(FWidthMm, FHeightMm), QPageSize::Millimeter));
    FState->Writer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    FState->Writer->setTitle(Title);
    FState->Canvas.Attach(FState->Writer.get());
    FPrinting = true;
    FPages = 1;
}

void TPdfPrinter::NewPage() {
    if (!FPrinting) return;
    FState->Writer->newPage();
    ++FPages;
}

void TPdfPrinter::EndDoc() {
    if (!FPrinting) return;
    FState->Canvas.Detach();
    FState->Writer.reset();
    FState->Buffer.close();
    const QByteArray bytes = FState->Bytes;
    FState.reset();
    FPrinting = false;
    WriteFileWhole(FPath, bytes);
}

void TPdfPrinter::Abort() {
    if (FState) {
        FState->Canvas.Detach();
        FState->Writer.reset();
    }
    FState.reset();
    FPrinting = false;
}

TCanvas* TPdfPrinter::Canvas() { return FPrinting ? &FState->Canvas : nullptr; }

int TPdfPrinter::PageWidth() const { return int(std::lround(FWidthMm / 25.4 * FDpi)); }
int TPdfPrinter::PageHeight() const { return int(std::lround(FHeightMm / 25.4 * FDpi)); }
