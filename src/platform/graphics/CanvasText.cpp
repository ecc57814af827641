// Text on the canvas: TextOut, TextRect, measuring and DrawText with the
// platform's layout flags.
#include "platform/graphics/Graphics.h"
#include "platform/graphics/TextWidths.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// Tab stops of DrawText: every eight average character widths.
constexpr int kTabChars = 8;

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

TCanvas::TextLineOut MakeLine(const QString& text, const std::vector<bool>& marked, qsizetype from, qsizetype to) {
    TCanvas::TextLineOut l;
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

// How DrawText measures runs of one text: long runs character by character
// from the advances the font table keeps, stopping as soon as the answer is
// known, so that a line of a huge text costs what the line holds; short runs
// whole, with their own kerning. A width found close to the limit is
// measured the exact way, as LineWidth does.
class TCanvas::TRunMeasure {
public:
    TRunMeasure(TCanvas* c, const QString& text, bool tabs)
        : C(c), Text(text), Tabs(tabs),
          TabStop(std::max(1, c->Metrics().averageCharWidth() * kTabChars)) {}

    // The width of a run as LineWidth measures it, built up left to right
    // from the run's start. At a tab the width so far is measured the
    // exact way, so that the stop it moves to is the one the run measured
    // whole reaches.
    struct Width {
        explicit Width(qsizetype start) : Start(start), SegStart(start) {}
        qsizetype Start;    // the run's first character
        qsizetype SegStart; // where the segment after the last tab starts
        int Whole = 0;      // up to the last expanded tab
        qreal Base = 0;     // up to the last tab the toolkit expands
        qreal Part = 0;     // the segment so far, not rounded yet
        int Value(qreal extra = 0) const { return Whole + qRound(Base + Part + extra); }
    };

    // Adds the character at i. A tab moves to the next stop: ours when
    // expanded (each segment's width rounded, as LineWidth does), else the
    // toolkit's own, counted from the start of the text it draws.
    void AddChar(Width& w, qsizetype& i) {
        if (Text[i] != QLatin1Char('\t')) {
            w.Part += C->Widths().Advance(Text, i);
            return;
        }
        ++i;
        if (Tabs)
            w.Whole = ((w.Whole + qRound(C->Widths().RunAdvance(Text, w.SegStart, i - 1))) / TabStop + 1) * TabStop;
        else
            w.Base = C->Widths().RunAdvance(Text, w.Start, i);
        w.Part = 0;
        w.SegStart = i;
    }
    // Adds the short run [from, to), each piece between tabs measured whole.
    void AddRun(Width& w, qsizetype from, qsizetype to) {
        while (from < to) {
            qsizetype e = from;
            while (e < to && Text[e] != QLatin1Char('\t')) ++e;
            w.Part += C->Widths().RunAdvance(Text, from, e);
            if (e < to) AddChar(w, e);
            from = e;
        }
    }
    // Whether [lineStart, end), whose width was built up as w, fits in
    // limit: a width near the limit is measured the exact way.
    bool Fits(const Width& w, qsizetype lineStart, qsizetype end, int limit) {
        const int v = w.Value();
        if (std::abs(v - limit) > 1 || end - lineStart > kExactRun) return v <= limit;
        return C->LineWidth(Text.mid(lineStart, end - lineStart), Tabs) <= limit;
    }
    // Adds characters from i while [lineStart, i) fits in limit, stopping
    // before a blank when `words`; answers where it stopped.
    qsizetype Fill(Width& w, qsizetype lineStart, qsizetype i, qsizetype to, int limit, bool words = false) {
        while (i < to && !(words && IsBlank(Text[i]))) {
            Width next = w;
            qsizetype j = i;
            AddChar(next, j);
            if (!Fits(next, lineStart, j, limit)) break;
            w = next;
            i = j;
        }
        return i;
    }

    TCanvas* C;
    const QString& Text;
    const bool Tabs;
    const int TabStop;
    // Runs measured whole when short; the exact measure of a close call is
    // made only on runs up to this long.
    static constexpr qsizetype kShortRun = 64;
    static constexpr qsizetype kExactRun = 1024;
};

TTextWidths& TCanvas::Widths() {
    if (!FWidths || FWidthsVersion != FFont.Version()) {
        FWidths = std::make_unique<TTextWidths>(FFont);
        FWidthsVersion = FFont.Version();
    }
    return *FWidths;
}

namespace {

// Lines longer than this are cut to what their rectangle shows before they
// are drawn or shortened with an ellipsis; shorter ones are handled whole.
constexpr qsizetype kLongLine = 256;

// The end of the word (run without blanks) that starts at i.
qsizetype WordEnd(const QString& s, qsizetype i, qsizetype to) {
    while (i < to && !IsBlank(s[i])) ++i;
    return i;
}

} // namespace

// Breaks the paragraph [from, to) of `text` into lines no wider than
// `width`, after blanks; a word too wide for a line of its own is broken
// between characters with DT_EDITCONTROL, else kept whole. Stops after
// `maxLines` lines. Every character is measured about once: the width of a
// line grows word by word, and a long word is measured only as far as a
// line can hold.
void TCanvas::WrapParagraph(const QString& text, const std::vector<bool>& marked, qsizetype from, qsizetype to,
                            int width, unsigned flags, size_t maxLines, std::vector<TextLineOut>& lines) {
    TRunMeasure m(this, text, flags & DT_EXPANDTABS);
    using W = TRunMeasure::Width;
    qsizetype ls = from;
    while (lines.size() < maxLines) {
        // The longest run from ls that fits, broken after a word.
        W w(ls);
        qsizetype pos = ls, lastBreak = -1;
        bool over = false;
        while (pos < to) {
            qsizetype we = pos;
            while (we < to && we - pos <= TRunMeasure::kShortRun && !IsBlank(text[we])) ++we;
            if (we < to && !IsBlank(text[we])) {
                // A long word: as far as it fits.
                we = m.Fill(w, ls, pos, to, width, true);
                if (we < to && !IsBlank(text[we])) {
                    over = true;
                    break;
                }
            } else {
                W next = w;
                m.AddRun(next, pos, we);
                if (!m.Fits(next, ls, we, width)) {
                    over = true;
                    break;
                }
                w = next;
            }
            lastBreak = we;
            pos = we;
            while (pos < to && IsBlank(text[pos])) m.AddChar(w, pos);
        }
        if (!over) {
            lines.push_back(MakeLine(text, marked, ls, to));
            break;
        }
        qsizetype cut = lastBreak;
        if (cut <= ls) {
            // The first word alone is too wide: an edit control breaks it
            // between characters (one at least), otherwise it stays whole.
            if ((flags & DT_EDITCONTROL) && IsBlank(text[ls])) {
                cut = ls + 1; // the blanks a paragraph starts with come first
            } else if (flags & DT_EDITCONTROL) {
                W one(ls);
                cut = ls;
                m.AddChar(one, cut);
                cut = m.Fill(one, ls, cut, to, width, true);
            } else {
                cut = WordEnd(text, ls, to);
            }
        }
        lines.push_back(MakeLine(text, marked, ls, cut));
        ls = cut;
        while (ls < to && IsBlank(text[ls])) ++ls;
        if (ls >= to) break;
    }
}

// Shortens a line wider than `width` to its longest start that fits with
// "..." after it.
void TCanvas::EndEllipsis(TextLineOut& l, int width, bool tabs) {
    if (l.Text.isEmpty()) return;
    const QString dots = QStringLiteral("...");
    const qsizetype n = l.Text.size();
    TRunMeasure m(this, l.Text, tabs);
    TRunMeasure::Width w(0);
    if (n <= kLongLine) {
        l.Width = LineWidth(l.Text, tabs);
        if (l.Width <= width) return;
    } else if (m.Fill(w, 0, 0, n, width) == n) {
        return;
    }
    // A first guess from the advances, then the exact width decides in a
    // few steps either way.
    const qreal dotsAdvance = Widths().RunAdvance(dots, 0, dots.size());
    qsizetype lo = 0;
    w = TRunMeasure::Width(0);
    while (lo < n - 1) {
        TRunMeasure::Width next = w;
        qsizetype j = lo;
        m.AddChar(next, j);
        if (next.Value(dotsAdvance) > width) break;
        w = next;
        lo = j;
    }
    lo = std::min(lo, n - 1);
    while (lo > 0 && LineWidth(l.Text.left(lo) + dots, tabs) > width) --lo;
    while (lo + 1 < n && LineWidth(l.Text.left(lo + 1) + dots, tabs) <= width) ++lo;
    l.Text = l.Text.left(lo) + dots;
    l.Width = LineWidth(l.Text, tabs);
    if (l.Underline >= lo) l.Underline = -1;
}

// Cuts a long line drawn at x to the part that can show between clipLeft
// and clipRight (with a margin for overhanging glyphs), moving x to where
// the part starts. `right`: the line ends at x + its width; x is then found
// from the end without measuring the whole line.
void TCanvas::CutToShown(TextLineOut& l, int& x, bool right, int clipLeft, int clipRight, bool tabs) {
    const qsizetype n = l.Text.size();
    if (n <= kLongLine) {
        if (right) {
            l.Width = LineWidth(l.Text, tabs);
            x -= l.Width;
        }
        return;
    }
    const int margin = 2 * std::max(1, Metrics().maxWidth());
    TRunMeasure m(this, l.Text, tabs);
    qsizetype first = 0, last = n;
    // Tabs stop at places counted from the start of the drawn text, so a
    // line with tabs keeps its start.
    const bool hasTabs = l.Text.contains(QLatin1Char('\t'));
    if (right && !hasTabs) {
        // From the end back to the left edge; x is where the part starts.
        qreal advance = 0;
        qsizetype i = n;
        while (i > 0 && x - qRound(advance) > clipLeft - margin) {
            qsizetype k = i - 1;
            if (k > 0 && l.Text[k].isLowSurrogate() && l.Text[k - 1].isHighSurrogate()) --k;
            qsizetype j = k;
            advance += Widths().Advance(l.Text, j);
            i = k;
        }
        first = i;
        x -= qRound(advance);
    } else {
        if (right) x -= LineWidth(l.Text, tabs);
        if (x < clipLeft - margin && !hasTabs) {
            TRunMeasure::Width w(0);
            first = m.Fill(w, 0, 0, n, clipLeft - margin - x);
            x += w.Value();
        }
        TRunMeasure::Width w(first);
        last = m.Fill(w, first, first, n, clipRight + margin - x);
        if (last < n) m.AddChar(w, last); // the one that reaches past the edge
    }
    l.Text = l.Text.mid(first, last - first);
    l.Underline = l.Underline >= first && l.Underline < last ? int(l.Underline - first) : -1;
    l.Width = -1;
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
    const int lineH = std::max(1, fm.height() + ((flags & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0));
    // A turned font is not held inside its rectangle.
    const bool turned = FFont.Orientation() != 0;
    const bool clipped = !calc && !(flags & DT_NOCLIP) && !turned;
    // Painting clipped to r needs no line below it.
    const size_t maxLines = clipped && !single ? size_t(std::max(0, (r.Height() + lineH - 1) / lineH))
                                               : std::numeric_limits<size_t>::max();

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
    std::vector<TextLineOut> lines;
    if (single) {
        QString one;
        std::vector<bool> m;
        one.reserve(plain.size());
        for (qsizetype i = 0; i < plain.size(); ++i) {
            if (plain[i] == QLatin1Char('\r') || plain[i] == QLatin1Char('\n')) continue;
            one.append(plain[i]);
            m.push_back(marked[size_t(i)]);
        }
        lines.push_back(MakeLine(one, m, 0, one.size()));
    } else {
        qsizetype start = 0;
        for (qsizetype i = 0; i <= plain.size() && lines.size() < maxLines; ++i) {
            const bool end = i == plain.size();
            if (!end && plain[i] != QLatin1Char('\r') && plain[i] != QLatin1Char('\n')) continue;
            // The paragraph [start, i).
            if (!wrap) lines.push_back(MakeLine(plain, marked, start, i));
            else WrapParagraph(plain, marked, start, i, width, flags, maxLines, lines);
            if (end) break;
            if (plain[i] == QLatin1Char('\r') && i + 1 < plain.size() && plain[i + 1] == QLatin1Char('\n')) ++i;
            start = i + 1;
        }
    }

    // 3. Ellipsis for lines wider than the rectangle.
    if (flags & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))
        for (TextLineOut& l : lines) EndEllipsis(l, width, tabs);

    const int totalH = int(lines.size()) * lineH;
    if (calc) {
        int maxW = 0;
        for (TextLineOut& l : lines) {
            if (l.Width < 0) l.Width = LineWidth(l.Text, tabs);
            maxW = std::max(maxW, l.Width);
        }
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
    if (clipped) FPainter->setClipRect(QRect(r.Left, r.Top, r.Width(), r.Height()), Qt::IntersectClip);
    const bool opaque = FBkMode == OPAQUE;
    for (TextLineOut& l : lines) {
        // An edit control leaves out a last line it could show only in part.
        if ((flags & DT_EDITCONTROL) && !single && y + lineH > r.Bottom) break;
        int x = r.Left;
        if (clipped && !(flags & DT_CENTER)) {
            // Placed from its end when right-aligned.
            if (flags & DT_RIGHT) x = r.Right;
            CutToShown(l, x, flags & DT_RIGHT, r.Left, r.Right, tabs);
        }
        if (l.Width < 0 && (flags & (DT_CENTER | DT_RIGHT)) && !(clipped && (flags & DT_RIGHT)))
            l.Width = LineWidth(l.Text, tabs);
        if (flags & DT_CENTER) {
            x = r.Left + (width - l.Width) / 2;
            if (clipped) CutToShown(l, x, false, r.Left, r.Right, tabs);
        } else if ((flags & DT_RIGHT) && !clipped) {
            x = r.Right - l.Width;
        }
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
