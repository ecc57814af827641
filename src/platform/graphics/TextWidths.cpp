#include "platform/graphics/TextWidths.h"

#include <QFontMetricsF>

namespace {
constexpr int kTable = 0x250;
}

TTextWidths::TTextWidths(const TFont& Font)
    : FMetrics(std::make_unique<QFontMetricsF>(Font.ToQFont())), FAdvances(kTable, -1.0f) {}

TTextWidths::~TTextWidths() = default;

int TTextWidths::Width(const QString& Text) {
    qreal w = 0;
    for (QChar c : Text) {
        const ushort u = c.unicode();
        if (u >= kTable || u == '\t') return int(FMetrics->horizontalAdvance(Text) + 0.5);
        float& a = FAdvances[u];
        if (a < 0) a = float(FMetrics->horizontalAdvance(c));
        w += a;
    }
    return int(w + 0.5);
}
