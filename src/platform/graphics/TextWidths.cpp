#include "platform/graphics/TextWidths.h"

#include <QFontMetricsF>

namespace {
constexpr int kTable = 0x250;
}

TTextWidths::TTextWidths(const TFont& Font)
    : FMetrics(std::make_unique<QFontMetricsF>(Font.ToQFont())) {}

TTextWidths::~TTextWidths() = default;

int TTextWidths::Width(const QString& Text) {
    qreal w = 0;
    for (QChar c : Text) {
        const ushort u = c.unicode();
        if (u >= kTable || u == '\t') return int(FMetrics->horizontalAdvance(Text) + 0.5);
        w += CharAdvance(c);
    }
    return int(w + 0.5);
}

qreal TTextWidths::CharAdvance(QChar c) {
    const ushort u = c.unicode();
    if (u >= kTable) return FMetrics->horizontalAdvance(c);
    if (FAdvances.empty()) FAdvances.assign(kTable, -1.0f);
    float& a = FAdvances[u];
    if (a < 0) a = float(FMetrics->horizontalAdvance(c));
    return a;
}

qreal TTextWidths::Advance(const QString& Text, qsizetype& i) {
    const QChar c = Text[i];
    if (c.isHighSurrogate() && i + 1 < Text.size() && Text[i + 1].isLowSurrogate()) {
        i += 2;
        return FMetrics->horizontalAdvance(Text.mid(i - 2, 2));
    }
    ++i;
    return CharAdvance(c);
}

qreal TTextWidths::RunAdvance(const QString& Text, qsizetype From, qsizetype To) const {
    return To > From ? FMetrics->horizontalAdvance(Text.mid(From, To - From)) : 0.0;
}

