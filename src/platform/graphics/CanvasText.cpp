// Text on the canvas: TextOut, TextRect, measuring and DrawText with the
// platform's layout flags.
#include "platform/graphics/Graphics.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

// Tab stops of DrawText: every eight average character widths.
constexpr int kTabChars = 8;

// One line of laid-out text; Underline is the index of the prefixed
// character inside Text, or -1.
struct TextLine {
    QString Text;
    int Underline = -1;
    int Width = -1; // measured once, when first needed
};

// Removes the '&' prefixes: "&&" stands for '&', "&x" marks x. The result
// keeps, per character, whether it is marked.
void StripPrefixes(const QString& s, QString& out, std::vector<bool>& marked) {
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('&')) {
            if (i + 1 >= s.size()) break; // a lone trailing '&' shows nothing
            ++i;
            out.append(s[i]);
            marked.push_back(s[i] != QLatin1Char('&'));
            continue;
        }
        out.append(s[i]);
        marked.push_back(false);
    }
}

TextLine MakeLine(const QString& text, const std::vector<bool>& marked, qsizetype from, qsizetype to) {
    TextLine l;
    l.Text = text.mid(from, to - from);
    for (qsizetype i = from; i < to; ++i)
        if (marked[size_t(i)]) l.Underline = int(i - from); // the last marked one wins
    return l;
}

bool IsBlank(QChar c) { return c == QLatin1Char(' '); }

// The last few lines measured, with the font they were measured in: a
// layout measures its runs and then draws them, which measures them again.
struct MeasuredLine {
    QFont Font;
    QString Text;
    int Width = 0;
};
constexpr int kMeasured = 4;
// Made once per thread and never freed: fonts must not outlive the
// application object, which a static's destructor would make them do.
thread_local MeasuredLine* gMeasured = nullptr;
thread_local int gMeasuredNext = 0;

int MeasuredWidth(const QFont& font, const QFontMetrics& fm, const QString& s) {
    if (s.isEmpty()) return 0;
    if (!gMeasured) gMeasured = new MeasuredLine[kMeasured];
    for (int i = 0; i < kMeasured; ++i)
        if (gMeasured[i].Text == s && gMeasured[i].Font == font) return gMeasured[i].Width;
    MeasuredLine& m = gMeasured[gMeasuredNext];
    gMeasuredNext = (gMeasuredNext + 1) % kMeasured;
    m.Font = font;
    m.Text = s;
    m.Width = fm.horizontalAdvance(s);
    return m.Width;
}

} // namespace

const QFontMetrics& TCanvas::Metrics() {
    if (!FMetrics || FMetricsVersion != FFont.Version()) {
        FMetrics = std::make_unique<QFontMetrics>(FFont.ToQFont());
        FMetricsVersion = FFont.Version();
    }
    return *FMetrics;
}

void TCanvas::UseFont() {
    if (FPainterFontVersion != FFont.Version()) {
        FPainter->setFont(FFont.ToQFont());
        FPainter->setRenderHint(QPainter::TextAntialiasing,
                                FFont.Quality() == fqAntialiased || FFont.Quality() == fqClearType);
        FPainterFontVersion = FFont.Version();
    }
    FPainter->setPen(ColorToQColor(FFont.Color()));
}

int TCanvas::LineWidth(const QString& s, bool expandTabs) {
    const QFontMetrics& fm = Metrics();
    if (!expandTabs || !s.contains(QLatin1Char('\t'))) return MeasuredWidth(FFont.ToQFont(), fm, s);
    const int tab = std::max(1, fm.averageCharWidth() * kTabChars);
    int x = 0;
    const QStringList parts = s.split(QLatin1Char('\t'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        x += fm.horizontalAdvance(parts[i]);
        if (i + 1 < parts.size()) x = (x / tab + 1) * tab;
    }
    return x;
}

// Draws one line with its top-left at (x, y); the prefixed character is
// underlined.
void TCanvas::PaintTextLine(int x, int y, const QString& s, int underlineAt, bool expandTabs, bool opaque) {
    const QFontMetrics& fm = Metrics();
    const int h = fm.height();
    if (opaque) FPainter->fillRect(QRect(x, y, LineWidth(s, expandTabs), h), ColorToQColor(FBkColor));
    UseFont();
    const int base = y + fm.ascent();
    if (expandTabs && s.contains(QLatin1Char('\t'))) {
        const int tab = std::max(1, fm.averageCharWidth() * kTabChars);
        int cx = 0;
        const QStringList parts = s.split(QLatin1Char('\t'));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            FPainter->drawText(x + cx, base, parts[i]);
            cx += fm.horizontalAdvance(parts[i]);
            if (i + 1 < parts.size()) cx = (cx / tab + 1) * tab;
        }
    } else {
        FPainter->drawText(x, base, s);
    }
    if (underlineAt >= 0 && underlineAt < s.size()) {
        const int ux = x + LineWidth(s.left(underlineAt), expandTabs);
        const int uw = fm.horizontalAdvance(s.at(underlineAt));
        const int uy = base + std::max(1, fm.underlinePos());
        FPainter->fillRect(QRect(ux, uy, std::max(1, uw), std::max(1, fm.lineWidth())),
                           ColorToQColor(FFont.Color()));
    }
}

TSize TCanvas::TextExtent(const QString& text) {
    const int w = LineWidth(text, false);
    return TSize(w, Metrics().height());
}

void TCanvas::TextOut(int x, int y, const QString& text) {
    if (Mapped()) {
        if (FPainter) {
            TTextSpace space(this);
            TextOut(x, -y, text);
        }
        FPenPos = TPoint(x + TextWidth(text), y);
        return;
    }
    if (FPainter) {
        Changing();
        SyncBkFromBrush();
        FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        const bool opaque = FBkMode == OPAQUE;
        if (FFont.Orientation() != 0) {
            // Rotated about the text's top-left corner, counter-clockwise.
            FPainter->save();
            FPainter->translate(x, y);
            FPainter->rotate(-FFont.Orientation() / 10.0);
            PaintTextLine(0, 0, text, -1, false, opaque);
            FPainter->restore();
            FPainterFontVersion = 0;
        } else {
            PaintTextLine(x, y, text, -1, false, opaque);
        }
        Changed();
    }
    FPenPos = TPoint(x + TextWidth(text), y);
}

void TCanvas::TextRect(const TRect& r, int x, int y, const QString& text) {
    if (!FPainter) return;
    if (Mapped()) {
        TTextSpace space(this);
        TextRect(Upright(r), x, -y, text);
        return;
    }
    Changing();
    SyncBkFromBrush();
    FPainter->save();
    FPainter->setClipRect(QRect(r.Left, r.Top, r.Width(), r.Height()), Qt::IntersectClip);
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    // An opaque background fills the whole rectangle, not only the text.
    if (FBkMode == OPAQUE && !r.IsEmpty())
        FPainter->fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), ColorToQColor(FBkColor));
    PaintTextLine(x, y, text, -1, false, false);
    FPainter->restore();
    FPainterFontVersion = 0;
    Changed();
}

int TCanvas::DrawText(const QString& text, TRect& r, unsigned flags) {
    if (Mapped()) {
        TRect u = Upright(r);
        int h = 0;
        if (FPainter) {
            TTextSpace space(this);
            h = DrawText(text, u, flags);
        } else {
            FInTextSpace = true;
            h = DrawText(text, u, flags);
            FInTextSpace = false;
        }
        if (flags & DT_CALCRECT) {
            r.Right = u.Right;
            r.Bottom = -u.Bottom;
        }
        return h;
    }
    const bool single = flags & DT_SINGLELINE;
    const bool wrap = (flags & DT_WORDBREAK) && !single;
    const bool tabs = flags & DT_EXPANDTABS;
    const bool calc = flags & DT_CALCRECT;
    const int width = r.Width();
    const QFontMetrics& fm = Metrics();
    const int lineH = fm.height() + ((flags & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0);

    // 1. Prefixes.
    QString plain;
    std::vector<bool> marked;
    if (flags & DT_NOPREFIX) {
        plain = text;
        marked.assign(size_t(text.size()), false);
    } else {
        StripPrefixes(text, plain, marked);
    }
    if (flags & DT_HIDEPREFIX) std::fill(marked.begin(), marked.end(), false);

    // 2. Paragraphs and lines.
    std::vector<TextLine> lines;
    if (single) {
        QString one;
        std::vector<bool> m;
        for (qsizetype i = 0; i < plain.size(); ++i) {
            if (plain[i] == QLatin1Char('\r') || plain[i] == QLatin1Char('\n')) continue;
            one.append(plain[i]);
            m.push_back(marked[size_t(i)]);
        }
        lines.push_back(MakeLine(one, m, 0, one.size()));
    } else {
        qsizetype start = 0;
        for (qsizetype i = 0; i <= plain.size(); ++i) {
            const bool end = i == plain.size();
            if (!end && plain[i] != QLatin1Char('\r') && plain[i] != QLatin1Char('\n')) continue;
            // The paragraph [start, i).
            if (!wrap) {
                lines.push_back(MakeLine(plain, marked, start, i));
            } else {
                qsizetype ls = start;
                while (true) {
                    // The longest run from ls that fits, broken after a blank.
                    qsizetype pos = ls, lastBreak = -1;
                    while (pos < i) {
                        qsizetype we = pos;
                        while (we < i && !IsBlank(plain[we])) ++we; // end of the word
                        if (LineWidth(plain.mid(ls, we - ls), tabs) > width) break;
                        lastBreak = we;
                        pos = we;
                        while (pos < i && IsBlank(plain[pos])) ++pos;
                    }
                    if (pos >= i) {
                        lines.push_back(MakeLine(plain, marked, ls, i));
                        break;
                    }
                    qsizetype cut = lastBreak;
                    if (cut <= ls) {
                        // The first word alone is too wide: an edit control
                        // breaks it between characters, otherwise it stays whole.
                        qsizetype we = ls;
                        while (we < i && !IsBlank(plain[we])) ++we;
                        if (flags & DT_EDITCONTROL) {
                            cut = ls + 1;
                            while (cut < we && LineWidth(plain.mid(ls, cut + 1 - ls), tabs) <= width) ++cut;
                        } else {
                            cut = we;
                        }
                    }
                    lines.push_back(MakeLine(plain, marked, ls, cut));
                    ls = cut;
                    while (ls < i && IsBlank(plain[ls])) ++ls;
                    if (ls >= i) break;
                }
            }
            if (end) break;
            if (plain[i] == QLatin1Char('\r') && i + 1 < plain.size() && plain[i + 1] == QLatin1Char('\n')) ++i;
            start = i + 1;
        }
    }

    // 3. Ellipsis for lines wider than the rectangle.
    if (flags & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
        const QString dots = QStringLiteral("...");
        for (TextLine& l : lines) {
            l.Width = LineWidth(l.Text, tabs);
            if (l.Width <= width || l.Text.isEmpty()) continue;
            // The longest start that fits with the dots: widths grow with the
            // length, so halve the range each step.
            qsizetype lo = 0, hi = l.Text.size() - 1;
            while (lo < hi) {
                const qsizetype mid = (lo + hi + 1) / 2;
                if (LineWidth(l.Text.left(mid) + dots, tabs) <= width) lo = mid;
                else hi = mid - 1;
            }
            l.Text = l.Text.left(lo) + dots;
            l.Width = LineWidth(l.Text, tabs);
            if (l.Underline >= lo) l.Underline = -1;
        }
    }

    int maxW = 0;
    for (TextLine& l : lines) {
        if (l.Width < 0) l.Width = LineWidth(l.Text, tabs);
        maxW = std::max(maxW, l.Width);
    }
    const int totalH = int(lines.size()) * lineH;

    if (calc) {
        r.Right = r.Left + maxW;
        r.Bottom = r.Top + totalH;
        return totalH;
    }

    // 4. Vertical placement: only a single line is centred or bottom-aligned.
    int y = r.Top;
    if (single && (flags & DT_VCENTER)) y = (r.Top + r.Bottom - lineH) / 2;
    else if (single && (flags & DT_BOTTOM)) y = r.Bottom - lineH;
    const int result = single && (flags & (DT_VCENTER | DT_BOTTOM)) ? y - r.Top + lineH : totalH;
    if (!FPainter) return result;

    Changing();
    SyncBkFromBrush();
    // Restoring the painter brings back the font it had before, so the
    // version it stood for still holds afterwards.
    const uint64_t fontBefore = FPainterFontVersion;
    FPainter->save();
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!(flags & DT_NOCLIP) && FFont.Orientation() == 0)
        FPainter->setClipRect(QRect(r.Left, r.Top, r.Width(), r.Height()), Qt::IntersectClip);
    const bool opaque = FBkMode == OPAQUE;
    // A turned font draws each line turned about its top-left corner, as
    // TextOut does, and is not held inside the rectangle it turns out of.
    const bool turned = FFont.Orientation() != 0;
    for (const TextLine& l : lines) {
        // An edit control leaves out a last line it could show only in part.
        if ((flags & DT_EDITCONTROL) && !single && y + lineH > r.Bottom) break;
        const int lw = l.Width;
        int x = r.Left;
        if (flags & DT_CENTER) x = r.Left + (width - lw) / 2;
        else if (flags & DT_RIGHT) x = r.Right - lw;
        if (flags & DT_PREFIXONLY) {
            if (l.Underline >= 0) {
                const int ux = x + LineWidth(l.Text.left(l.Underline), tabs);
                FPainter->fillRect(QRect(ux, y + fm.ascent() + std::max(1, fm.underlinePos()),
                                         fm.horizontalAdvance(l.Text.at(l.Underline)), std::max(1, fm.lineWidth())),
                                   ColorToQColor(FFont.Color()));
            }
        } else if (turned) {
            FPainter->save();
            FPainter->translate(x, y);
            FPainter->rotate(-FFont.Orientation() / 10.0);
            PaintTextLine(0, 0, l.Text, l.Underline, tabs, opaque);
            FPainter->restore();
            FPainterFontVersion = 0;
        } else {
            PaintTextLine(x, y, l.Text, l.Underline, tabs, opaque);
        }
        y += lineH;
    }
    FPainter->restore();
    FPainterFontVersion = fontBefore;
    Changed();
    return result;
}
