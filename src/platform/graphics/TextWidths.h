#pragma once
// Widths of many single-line texts in one font, each the sum of its
// characters' advances (no kerning): cheap enough to size a column to
// thousands of texts. A text with a tab or a character past U+024F is
// measured the full way.
#include "platform/graphics/Graphics.h"

#include <QString>

#include <memory>
#include <vector>

class QFontMetricsF;

class TTextWidths {
public:
    explicit TTextWidths(const TFont& Font);
    ~TTextWidths();
    TTextWidths(const TTextWidths&) = delete;
    TTextWidths& operator=(const TTextWidths&) = delete;
    int Width(const QString& Text);
    // The advance of the character at i (a surrogate pair counts as one
    // character), moving i past it.
    qreal Advance(const QString& Text, qsizetype& i);
    // The fractional advance of Text[From, To) measured whole: the run's own
    // shaping and kerning, not rounded.
    qreal RunAdvance(const QString& Text, qsizetype From, qsizetype To) const;

private:
    qreal CharAdvance(QChar c);
    std::unique_ptr<QFontMetricsF> FMetrics;
    // Advances of U+0000..U+024F, -1 until first needed; empty until a
    // character is first measured.
    std::vector<float> FAdvances;
};
