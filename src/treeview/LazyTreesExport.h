#pragma once
// The string tree's exports: an HTML table, an RTF table, separated text, a
// CSV file of the top-level nodes, the memory blocks of the clipboard's text
// formats (with the CF_HTML envelope) and an export made only of the export
// events. Every export walks the nodes of a text source, runs as a long
// operation of kind okExport and stops when that operation is cancelled.
#include "treeview/LazyTrees.h"

#include <QByteArray>
#include <QString>

// Whether the RTF paper is A4 landscape (metric) or US letter landscape.
// The program's locale decides; tests fix it.
bool RTFPaperMetric();
void SetRTFPaperMetric(bool Metric);

// Wraps an HTML fragment (UTF-8) into the CF_HTML envelope; the byte
// offsets of the header count from the start of the block.
void WrapCFHTML(QByteArray& Fragment);

// Pixels to twips at the screen's resolution, a half rounding to even.
int PixelsToTwips(int Pixels);
