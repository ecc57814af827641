// RenderHTML: draws, measures or hit-tests a mark-up text line by line.
// Each line is laid out by a measuring pass first; a second pass then paints
// it (or, in a hit test, measures it again in the rectangle the alignment
// gives it) from the same starting state, using the first pass's metrics.
#include "gridpack/basegrid/SgHTMLE.h"
#include "gridpack/basegrid/ExXPVS.h"
#include "gridpack/basegrid/PictureContainer.h"
#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLEMarkup.h"

#include "platform/core/IntConv.h"
#include "platform/core/MathUtils.h"
#include "platform/graphics/ImageList.h"

#include <memory>

using namespace SgHTMLE;

namespace {

// DT_BOTTOM | DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING: runs stand
// on the bottom of the line's text area, prefixes are processed.
constexpr unsigned kRunFlags = 0x268;
constexpr int kListIndent = 12;
constexpr TColor kErrorColor = clRed;
// Frames of embedded controls in the classic look.
constexpr TColor kControlFrame = 0x808080;
constexpr TColor kControlFrameThemed = 0xB99D7F;
// The canvas draws at the screen's resolution.
constexpr int kCanvasPPI = ScreenPixelsPerInch;

enum TLineAlign { laLeft, laRight, laCenter };

// What the measuring pass learns of a line and the second pass uses.
struct TLineMetrics {
    int LineHeight = 0;
    int SubDepth = 0;   // subscript depth below the text
    int SupHeight = 0;  // superscript height above it
    int Descent = 0;    // how far the text is raised (image alignment)
    int Width = 0;
    TLineAlign Align = laLeft;
    int Indent = 0;
};

// The state one pass over one line keeps.
struct TPass {
    bool Paint = false;
    bool First = false;   // the line's measuring pass
    TRect Rect;           // the line's rectangle for this pass
    int TextBottom = 0;
    int W = 0;            // line width so far
    int X = 0;            // drawing position
    bool LineEnded = false;
    bool LineFull = false;
    QString LineText;     // the runs placed so far, for the fit test
    int TrailingBlank = 0;
    bool ListItem = false;
    bool AnchorHit = false;   // the test point on an anchor's run
    bool ObjectHit = false;   // on a control or a linked image
    bool OnThisAnchor = false;
};

QString DecodeRunEntities(const QString& run) {
    if (!run.contains(QLatin1Char('&'))) return run;
    QString r = ReplaceAllNoCase(run, QStringLiteral("&nbsp;"), QStringLiteral(" "));
    r = ReplaceAllNoCase(r, QStringLiteral("&lt;"), QStringLiteral("<"));
    return ReplaceAllNoCase(r, QStringLiteral("&gt;"), QStringLiteral(">"));
}

// Entities in one pass over the text outside tags: "&amp;" becomes "&&",
// which the prefix processing of the text drawing shows as one "&". An
// ampersand that a replacement leaves can start an entity with the letters
// after it, so the text comes out as if the sweeps were repeated until
// nothing changed. Tags stay as written: a CONTROL tag decodes its own
// values, and a link keeps its address.
QString PrepareEntities(const QString& s) {
    static const struct {
        const char* Name; // after the "&"
        const char16_t* With;
    } kPrep[] = {{"amp;", u"&&"},  {"quot;", u"\""}, {"sect;", u"§"},  {"permil;", u"‰"}, {"reg;", u"®"},
                 {"copy;", u"©"}, {"para;", u"¶"},  {"trade;", u"™"}, {"euro;", u"€"}};
    QString out;
    out.reserve(s.size());
    qsizetype i = 0;
    bool pendingAmp = false; // an "&" left by "&amp;", standing just before s[i]
    while (i < s.size() || pendingAmp) {
        if (!pendingAmp && s[i] == QLatin1Char('<')) {
            const qsizetype gt = s.indexOf(QLatin1Char('>'), i);
            const qsizetype end = gt < 0 ? s.size() : gt + 1;
            out += QStringView(s).mid(i, end - i);
            i = end;
            continue;
        }
        const bool atAmp = pendingAmp || s[i] == QLatin1Char('&');
        if (!atAmp) {
            out += s[i++];
            continue;
        }
        const qsizetype nameAt = pendingAmp ? i : i + 1;
        bool matched = false;
        for (const auto& e : kPrep) {
            const QLatin1String name(e.Name);
            if (nameAt + name.size() <= s.size() &&
                QStringView(s).mid(nameAt, name.size()).compare(name, Qt::CaseInsensitive) == 0) {
                const QString with = QString::fromUtf16(e.With);
                i = nameAt + name.size();
                if (with == QLatin1String("&&")) {
                    out += QLatin1Char('&');
                    pendingAmp = true;
                } else {
                    out += with;
                    pendingAmp = false;
                }
                matched = true;
                break;
            }
        }
        if (matched) continue;
        out += QLatin1Char('&');
        if (pendingAmp) pendingAmp = false;
        else ++i;
    }
    return out;
}

// "<#field>" shows as "#field".
QString UnwrapFieldTags(const QString& s) {
    QString r = s;
    qsizetype at;
    while ((at = r.indexOf(QLatin1String("<#"))) >= 0) {
        r.remove(at, 1);
        const qsizetype gt = r.indexOf(QLatin1Char('>'), at);
        if (gt >= 0) r.remove(gt, 1);
    }
    return r;
}

QString LineBreaksToBR(const QString& s) {
    QString r;
    r.reserve(s.size());
    for (const QChar c : s) {
        if (c == QLatin1Char('\r')) r += QLatin1String("<BR>");
        else if (c != QLatin1Char('\n')) r += c;
    }
    return r;
}

// A colour value of a tag: "#RRGGBB" or a name.
TColor TagColor(const QString& v) { return v.startsWith(QLatin1Char('#')) ? ColorFromHex(v) : ColorFromName(v); }

class TRenderer {
public:
    explicit TRenderer(THTMLRenderParams& p) : P(p), C(*p.Canvas) {}
    bool Run();

private:
    void RenderLine(TPass& pass, QString& text, QString& consumed, TLineMetrics& m);
    void PlaceRun(TPass& pass, QString& text, QString& consumed, TLineMetrics& m, const QString& run);
    void ApplyTag(TPass& pass, const QString& tag, const QString& rest, TLineMetrics& m);
    void OpenTag(TPass& pass, const QString& tag, TLineMetrics& m);
    void CloseTag(TPass& pass, const QString& tag);
    void AnchorTag(TPass& pass, const QString& tag);
    void AnchorEnd(TPass& pass);
    void FontTag(TPass& pass, const QString& tag);
    void BodyTag(TPass& pass, const QString& tag);
    void ParagraphTag(TPass& pass, const QString& tag, const TLineMetrics& m);
    void ListItemTag(TPass& pass);
    void ImageTag(TPass& pass, const QString& tag, TLineMetrics& m);
    void ControlTag(TPass& pass, const QString& tag, TLineMetrics& m);
    void DrawControl(const TPass& pass, const TControlTag& ct, int width, int ctrlH, int s, int& layoutH);
    bool Fits(const TPass& pass, int layoutW) const;
    void Grow(TPass& pass, TLineMetrics& m, int layoutW, int layoutH);
    THTMLPicture* FindSourcePicture(const QString& src);
    void DrawThemed(const QString& className, int part, int state, const TRect& r);
    void DrawFocusPart(int left, int top, int right, int bottom);
    void DrawZigZag(int from, int to, int bottom);

    int GH() { return C.TextHeight(QStringLiteral("gh")); }
    TColor BrushOrNone() { return C.Brush().Style() == bsClear ? clNone : C.Brush().Color(); }
    void SetBrush(TColor c) {
        if (c == clNone) C.Brush().SetStyle(bsClear);
        else C.Brush().SetColor(c);
    }
    TColor FontColor() { return C.Font().Color(); }
    void SetFontColor(TColor c) { C.Font().SetColor(c); }
    void AddStyle(TFontStyles s) { C.Font().SetStyle(C.Font().Style() | s); }
    void RemoveStyle(TFontStyles s) { C.Font().SetStyle(C.Font().Style() & ~s); }
    bool PointIn(const TPass& pass, int layoutW, int layoutH) const {
        const int x = P.X - pass.Rect.Left;
        return x > pass.W && x < pass.W + layoutW && P.Y > pass.Rect.Top && P.Y < pass.Rect.Top + layoutH;
    }

    THTMLRenderParams& P;
    TCanvas& C;
    unsigned Flags = 0;
    bool ThemesActive = false;
    TFont BaseFont;
    TColor StartBrush = clWhite;

    // State carried through the call.
    int AnchorCount = 0, ImageCount = 0, HoveredImage = -1, ListLevel = 0;
    bool InAnchor = false;
    QString Link, Title;
    bool Hidden = false, Shadow = false, ErrorMark = false, ParaBackground = false;
    bool Sub = false, Sup = false;
    TLineAlign Align = laLeft;
    int Indent = 0;
    TColor FontTagBack = clNone, ParaBack = clNone;
    TColor HiFont = clNone, HiBack = clNone;
    TColor AnchorBack = clNone, AnchorFont = clNone;
    bool AnchorHot = false;
    std::unique_ptr<TFont> RotatedFrom;
    // The anchor's rectangle starts at its tag.
    int AnchorStartW = 0, AnchorStartTop = 0;
    bool AnchorStartedOnLine = false;
    // The focus anchor's rectangle.
    bool InFocus = false, FocusContinues = false;
    int FocusX = 0, FocusTop = 0;
};

bool TRenderer::Run() {
    // 1. Transparent text, the starting pen, brush and font remembered.
    C.SetBkMode(TRANSPARENT);
    const TPen savedPen(C.Pen());
    const TBrush savedBrush(C.Brush());
    StartBrush = C.Brush().Color();
    SetBrush(clNone);
    BaseFont.Assign(C.Font());
    TFont measureFont(BaseFont), paintFont(BaseFont);
    ThemesActive = DetectXPOrLater() && XPVSThemeActive();

    // 2. Outputs.
    P.StrippedText.clear();
    P.FocusLink.clear();
    P.Width = 0;
    P.Height = 0;
    P.AnchorCount = 0;
    P.AnchorNumber = -1;
    P.ControlRect = TRect();
    if (!P.HitTest) P.ControlID.clear();
    P.ControlValue.clear();
    P.ControlType.clear();

    // 3. Flags.
    Flags = BiDiDrawFlags(kRunFlags, P.BiDiMode);
    if (!P.WordWrap) Flags |= DT_END_ELLIPSIS;

    // 4. The text prepared.
    QString text = P.Text;
    if (text.contains(QLatin1Char('&'))) text = PrepareEntities(text);
    text = LineBreaksToBR(UnwrapFieldTags(text));

    bool result = false;
    TRect lineRect = P.Rect;
    lineRect.Left += 1;
    while (!text.isEmpty()) {
        // a. Each pass starts the line from the same state.
        const bool inAnchor0 = InAnchor;
        const QString link0 = Link, title0 = Title;
        const int anchors0 = AnchorCount, images0 = ImageCount, level0 = ListLevel;
        const bool hidden0 = Hidden, shadow0 = Shadow;
        Sub = Sup = false;
        C.Font().Assign(measureFont);
        const int gh0 = GH();
        TLineMetrics m;
        m.LineHeight = gh0;

        // b. Measuring pass.
        TPass first;
        first.First = true;
        first.Rect = lineRect;
        QString consumed;
        const QString before = text;
        RenderLine(first, text, consumed, m);
        measureFont.Assign(C.Font());
        m.Align = Align;
        m.Indent = Indent;
        if (consumed.isEmpty() && text == before) text.clear(); // nothing could be placed: stop

        // c. The painting rectangle.
        TRect pr = lineRect;
        if (m.Align == laRight) {
            if (lineRect.Right - m.Width > lineRect.Left) pr.Left = lineRect.Right - m.Width;
        } else if (m.Align == laCenter) {
            const int free = lineRect.Width() - m.Width;
            if (free > 0) pr.Left += free / 2;
        }
        pr.Left += m.Indent;
        pr.Bottom = pr.Top + m.LineHeight + m.SubDepth + m.SupHeight;

        // d. The second pass.
        InAnchor = inAnchor0;
        Link = link0;
        Title = title0;
        if (!P.MeasureOnly) {
            AnchorCount = anchors0;
            ImageCount = images0;
            ListLevel = level0;
            Hidden = hidden0;
            Shadow = shadow0;
            Sub = Sup = false;
            C.Font().Assign(paintFont);
            TPass second;
            second.Paint = !P.HitTest;
            second.Rect = pr;
            QString again = consumed, consumed2;
            RenderLine(second, again, consumed2, m);
            paintFont.Assign(C.Font());
            // e. A hit on an anchor counts within the line's text band.
            const int bandBottom = pr.Bottom - m.Descent;
            if ((second.AnchorHit && P.Y > bandBottom - gh0 && P.Y < bandBottom) || second.ObjectHit) result = true;
        }

        // f. The next line.
        const int step = m.LineHeight + m.SubDepth + m.SupHeight;
        lineRect.Top += step;
        P.Height += step;
        if (!P.MeasureOnly && lineRect.Top + gh0 > P.Rect.Bottom) text.clear();
    }

    // 6. The canvas as it was.
    C.Font().Assign(BaseFont);
    if (P.Height == 0) P.Height = GH();
    P.AnchorCount = AnchorCount;
    C.Pen().SetColor(savedPen.Color());
    C.Pen().SetWidth(savedPen.Width());
    C.Brush().Assign(savedBrush);
    return result;
}

void TRenderer::RenderLine(TPass& pass, QString& text, QString& consumed, TLineMetrics& m) {
    pass.TextBottom = pass.Rect.Bottom - m.SubDepth;
    pass.X = pass.Rect.Left;
    if (pass.Paint && FocusContinues) {
        FocusX = pass.Rect.Left + 1;
        FocusTop = pass.Rect.Top;
        FocusContinues = false;
    }
    AnchorStartedOnLine = false;
    // 1. The paragraph's background band.
    if (pass.Paint && ParaBackground)
        C.FillRect(TRect(P.Rect.Left, pass.Rect.Top, P.Rect.Right, pass.Rect.Top + m.LineHeight));

    // 2. Runs and tags.
    while (!text.isEmpty() && !pass.LineEnded && !pass.LineFull) {
        // a. The next run.
        const qsizetype lt = text.indexOf(QLatin1Char('<'));
        qsizetype end = lt < 0 ? text.size() : lt;
        if (P.WordWrap) {
            const qsizetype blank = text.indexOf(QLatin1Char(' '));
            if (blank >= 0 && (lt < 0 || blank < lt)) end = blank + 1;
        }
        if (end > 0) PlaceRun(pass, text, consumed, m, text.left(end));

        // g. A tag.
        if (!text.startsWith(QLatin1Char('<'))) continue;
        if (text.size() <= 2) {
            text.clear(); // "<" and at most one more character at the end
            break;
        }
        if (pass.LineEnded) break;
        const qsizetype gt = text.indexOf(QLatin1Char('>'));
        const QString tag = gt < 0 ? text : text.left(gt + 1);
        ApplyTag(pass, tag, text, m);
        if (pass.LineFull) break;
        if (gt < 0) {
            text.clear(); // a tag without ">" hides the rest
        } else {
            consumed += tag;
            text.remove(0, gt + 1);
        }
    }

    // 3. A trailing blank does not count.
    pass.W -= pass.TrailingBlank;
    if (pass.First) m.Width = pass.W;
    P.Width = std::max(P.Width, pass.W);

    // 4. A focus anchor that goes on past the line.
    if (pass.Paint && InFocus) {
        DrawFocusPart(FocusX, FocusTop, pass.X, pass.TextBottom);
        FocusContinues = true;
    }
}

void TRenderer::PlaceRun(TPass& pass, QString& text, QString& consumed, TLineMetrics& m, const QString& run) {
    // b. Entities, line height, sub- and superscript.
    const QString shown = DecodeRunEntities(run);
    const int runH = C.TextHeight(shown);
    m.LineHeight = std::max(m.LineHeight, runH);
    if (Sub) m.SubDepth = std::max(m.SubDepth, runH / 4);
    if (Sup) m.SupHeight = std::max(m.SupHeight, runH / 4);

    // c. Hidden text is consumed unseen.
    if (Hidden) {
        if (pass.First) P.StrippedText += shown;
        consumed += run;
        text.remove(0, run.size());
        return;
    }

    int runW = 0;
    const int wBefore = pass.W;
    if (!pass.Paint) {
        // d. Measuring.
        TRect r(pass.Rect.Left, pass.Rect.Top, pass.Rect.Right, pass.Rect.Bottom);
        C.DrawText(shown, r, (Flags & ~unsigned(DT_END_ELLIPSIS)) | DT_CALCRECT);
        runW = r.Width();
        pass.W += runW;
        const int x = P.X - pass.Rect.Left;
        if (InAnchor && x >= wBefore && x <= pass.W) {
            pass.AnchorHit = true;
            if (P.Y > pass.Rect.Top) {
                P.Anchor = Link;
                P.Title = Title;
                pass.OnThisAnchor = true;
            }
        }
    } else {
        // e. Painting.
        int bottom = pass.TextBottom;
        if (Sup) bottom -= m.SupHeight;
        if (Sub) bottom += m.SubDepth;
        bottom -= m.Descent;
        TRect r(pass.X, pass.Rect.Top, pass.Rect.Right, bottom);
        if (Shadow) {
            const TColor own = FontColor();
            SetFontColor(P.ShadowColor);
            TRect sr = r;
            OffsetRect(sr, P.ShadowOffset, P.ShadowOffset);
            C.DrawText(shown, sr, Flags);
            SetFontColor(own);
        }
        C.DrawText(shown, r, Flags);
        TRect cr = r;
        C.DrawText(shown, cr, (Flags & ~unsigned(DT_END_ELLIPSIS)) | DT_CALCRECT);
        runW = cr.Width();
        if (InFocus) P.FocusLink = Link;
        if (ErrorMark) DrawZigZag(pass.X, pass.X + runW, bottom);
        pass.X += runW;
    }

    // f. Fitting. The second pass places all that the first put on the
    // line, whatever the alignment and indent did to its rectangle.
    const int lineW = pass.Paint ? pass.W + runW : pass.W;
    const bool fits = !pass.First || lineW < pass.Rect.Width() || runW >= pass.Rect.Width() ||
                      pass.LineText.isEmpty() || !pass.LineText.endsWith(QLatin1Char(' '));
    if (fits || !P.WordWrap) {
        const bool hadRuns = !pass.LineText.isEmpty();
        if (pass.First) P.StrippedText += shown;
        consumed += run;
        pass.LineText += run;
        text.remove(0, run.size());
        // Without word wrap a run that overflows a line that already holds
        // text ends the line with its ellipsis; nothing follows.
        if (!fits && hadRuns) text.clear();
        pass.TrailingBlank = run.endsWith(QLatin1Char(' ')) ? C.TextWidth(QStringLiteral(" ")) : 0;
    } else {
        pass.LineEnded = true;
        if (!pass.Paint) pass.W -= runW;
    }
}

void TRenderer::ApplyTag(TPass& pass, const QString& tag, const QString& rest, TLineMetrics& m) {
    if (rest.size() > 3 && tag[1] == QLatin1Char('/')) CloseTag(pass, tag);
    else OpenTag(pass, tag, m);
}

void TRenderer::OpenTag(TPass& pass, const QString& tag, TLineMetrics& m) {
    const QChar c1 = tag[1].toUpper();
    const QChar c2 = tag.size() > 2 ? tag[2].toUpper() : QChar();
    switch (c1.unicode()) {
    case 'A': AnchorTag(pass, tag); break;
    case 'B':
        if (c2 == QLatin1Char('>')) AddStyle(fsBold);
        else if (c2 == QLatin1Char('R')) {
            pass.LineEnded = true;
            if (pass.First) P.StrippedText += QLatin1Char('\r');
        } else if (c2 == QLatin1Char('L')) {
            if (!P.BlinkVisible) SetFontColor(StartBrush);
        } else if (c2 == QLatin1Char('O')) BodyTag(pass, tag);
        break;
    case 'C': ControlTag(pass, tag, m); break;
    case 'E':
        if (pass.Paint) ErrorMark = true;
        break;
    case 'F':
        if (tag.endsWith(QLatin1Char('>'))) FontTag(pass, tag);
        break;
    case 'H':
        if (c2 == QLatin1Char('I')) {
            if (pass.Paint) {
                HiFont = FontColor();
                HiBack = BrushOrNone();
                SetBrush(HighlightBackgroundColor());
                SetFontColor(HighlightTextColor());
            }
        } else if (c2 == QLatin1Char('R')) {
            pass.LineEnded = true;
            if (pass.Paint) {
                const TColor pen = C.Pen().Color();
                C.Pen().SetColor(clBlack);
                C.MoveTo(pass.Rect.Left, pass.TextBottom + 1);
                C.LineTo(pass.Rect.Right, pass.TextBottom + 1);
                C.Pen().SetColor(pen);
            }
        }
        break;
    case 'I':
        if (c2 == QLatin1Char('>')) AddStyle(fsItalic);
        else if (c2 == QLatin1Char('N')) {
            const qsizetype x = tag.indexOf(QLatin1Char('x'), 0, Qt::CaseInsensitive);
            bool isNumber = false;
            const int n = x < 0 ? 0 : LeadingNumber(QuotedAfter(tag, x + 1), &isNumber);
            if (isNumber && pass.W < n) {
                pass.W = n;
                pass.X = P.Rect.Left + n;
            }
        } else if (c2 == QLatin1Char('M')) ImageTag(pass, tag, m);
        break;
    case 'L': ListItemTag(pass); break;
    case 'P': ParagraphTag(pass, tag, m); break;
    case 'R': {
        const qsizetype a = tag.indexOf(QLatin1Char('a'), 2, Qt::CaseInsensitive);
        const int angle = a < 0 ? 0 : LeadingNumber(QuotedAfter(tag, a + 1));
        RotatedFrom = std::make_unique<TFont>(C.Font());
        C.Font().SetOrientation(angle * 10);
        break;
    }
    case 'S':
        if (c2 == QLatin1Char('>')) AddStyle(fsStrikeOut);
        else if (c2 == QLatin1Char('H')) Shadow = true;
        else if (tag.startsWith(QLatin1String("<SUB>"), Qt::CaseInsensitive)) Sub = true;
        else if (tag.startsWith(QLatin1String("<SUP>"), Qt::CaseInsensitive)) Sup = true;
        break;
    case 'U':
        if (c2 == QLatin1Char('>')) AddStyle(fsUnderline);
        else {
            ++ListLevel;
            pass.LineEnded = true;
        }
        break;
    case 'Z': Hidden = true; break;
    default: break;
    }
}

void TRenderer::CloseTag(TPass& pass, const QString& tag) {
    const QChar c = tag[2].toUpper();
    const QChar next = tag.size() > 3 ? tag[3].toUpper() : QChar();
    switch (c.unicode()) {
    case 'A': AnchorEnd(pass); break;
    case 'B':
        if (next == QLatin1Char('>')) RemoveStyle(fsBold);
        else SetFontColor(BaseFont.Color());
        break;
    case 'E':
        if (pass.Paint) ErrorMark = false;
        break;
    case 'F':
        C.Font().SetName(BaseFont.Name());
        C.Font().SetHeight(BaseFont.Height());
        if (pass.Paint && !P.KeepColors) {
            SetFontColor(BaseFont.Color());
            SetBrush(FontTagBack);
        }
        break;
    case 'H':
        if (pass.Paint) {
            SetFontColor(HiFont);
            SetBrush(HiBack);
        }
        break;
    case 'I': RemoveStyle(fsItalic); break;
    case 'L': pass.LineEnded = true; break;
    case 'P':
        pass.LineEnded = true;
        if (pass.Paint) {
            SetBrush(ParaBack);
            ParaBackground = false;
        }
        break;
    case 'R':
        if (RotatedFrom) {
            C.Font().Assign(*RotatedFrom);
            RotatedFrom.reset();
        }
        break;
    case 'S':
        if (next == QLatin1Char('U')) Sub = Sup = false;
        else if (next == QLatin1Char('H')) Shadow = false;
        else RemoveStyle(fsStrikeOut);
        break;
    case 'U':
        if (next == QLatin1Char('>') || ListLevel == 0) RemoveStyle(fsUnderline);
        else --ListLevel;
        break;
    case 'Z': Hidden = false; break;
    default: break;
    }
}

void TRenderer::AnchorTag(TPass& pass, const QString& tag) {
    // 1. The focus anchor's rectangle begins here.
    if (pass.Paint && AnchorCount == P.FocusAnchor) {
        InFocus = true;
        FocusX = pass.X;
        FocusTop = pass.Rect.Top;
    }
    // 2., 3. Counted; a hot anchor is underlined and takes the hover colours.
    ++AnchorCount;
    AnchorHot = !P.HoverUnderlineOnly || AnchorCount == P.HoverAnchor;
    if (pass.Paint && AnchorHot) {
        AddStyle(fsUnderline);
        if (P.HoverColor != clNone) {
            AnchorBack = BrushOrNone();
            SetBrush(P.HoverColor);
        }
        if (P.HoverFontColor != clNone) {
            AnchorFont = FontColor();
            SetFontColor(P.HoverFontColor);
        }
    }
    // 4. The link colour.
    const bool hoverFont = AnchorCount == P.HoverAnchor && P.HoverUnderlineOnly && P.HoverFontColor != clNone;
    if (!P.KeepColors && !hoverFont) SetFontColor(P.LinkColor);
    // 5., 6. Link and title, case kept.
    const QString attrs = tag.mid(2);
    const QString upper = UpperKeep(attrs);
    if (upper.contains(QLatin1String("HREF"))) {
        Link = AttrValue(attrs, upper, QStringLiteral("HREF"));
        InAnchor = true;
    } else {
        InAnchor = false;
    }
    if (upper.contains(QLatin1String("TITLE"))) Title = AttrValue(attrs, upper, QStringLiteral("TITLE"));
    // 7. Where its rectangle starts.
    AnchorStartW = pass.W;
    AnchorStartTop = pass.Rect.Top;
    AnchorStartedOnLine = true;
    pass.OnThisAnchor = false;
}

void TRenderer::AnchorEnd(TPass& pass) {
    if (pass.Paint && AnchorHot) {
        RemoveStyle(fsUnderline);
        if (P.HoverColor != clNone) SetBrush(AnchorBack);
        if (P.HoverFontColor != clNone) SetFontColor(AnchorFont);
    }
    if (!P.KeepColors) SetFontColor(BaseFont.Color());
    InAnchor = false;
    if (pass.OnThisAnchor) {
        const int left = pass.Rect.Left + (AnchorStartedOnLine ? AnchorStartW : 0);
        P.AnchorRect = TRect(left, AnchorStartTop, pass.Rect.Left + pass.W, pass.TextBottom);
        P.AnchorNumber = AnchorCount;
        pass.OnThisAnchor = false;
    }
    if (pass.Paint && InFocus) {
        const int bottom = pass.TextBottom;
        DrawFocusPart(FocusX, bottom - GH(), pass.X, bottom);
        InFocus = false;
    }
}

void TRenderer::FontTag(TPass& pass, const QString& tag) {
    const QString attrs = tag.mid(5);
    const QString upper = UpperKeep(attrs);
    if (upper.contains(QLatin1String("FACE"))) C.Font().SetName(AttrValue(upper, upper, QStringLiteral("FACE")));
    if (!P.KeepColors && upper.contains(QLatin1String(" COLOR"))) {
        const QString v = AttrValue(upper, upper, QStringLiteral(" COLOR"));
        if (!v.isEmpty()) SetFontColor(TagColor(v));
    }
    if (pass.Paint && !P.KeepColors && upper.contains(QLatin1String("BGCOLOR"))) {
        FontTagBack = BrushOrNone();
        const QString v = AttrValue(upper, upper, QStringLiteral("BGCOLOR"));
        if (!v.isEmpty()) SetBrush(TagColor(v));
    }
    const qsizetype size = upper.indexOf(QLatin1String("SIZE"));
    if (size >= 0) {
        const qsizetype eq = upper.indexOf(QLatin1Char('='), size);
        if (eq >= 0) {
            const int n = LeadingNumber(QuotedAfter(upper, eq));
            static const int kSizes[] = {8, 10, 12, 14, 16};
            // A size of 0 (no number) leaves the font as it is.
            if (n >= 1 && n <= 5) C.Font().SetSize(kSizes[n - 1]);
            else if (n > 0) C.Font().SetSize(n);
        }
    }
}

void TRenderer::BodyTag(TPass& pass, const QString& tag) {
    if (!pass.Paint) return;
    const QString attrs = tag.mid(5);
    const QString upper = UpperKeep(attrs);
    if (upper.contains(QLatin1String("BACKGROUND"))) {
        THTMLPicture* pic = FindSourcePicture(AttrValue(attrs, upper, QStringLiteral("BACKGROUND")));
        if (pic && !pic->Empty() && pic->Width() > 0 && pic->Height() > 0) {
            const TRect& r = P.Rect;
            C.SaveState();
            C.IntersectClipRect(r.Left, r.Top, r.Right, r.Bottom);
            for (int y = r.Top; y < r.Bottom; y += pic->Height())
                for (int x = r.Left; x < r.Right; x += pic->Width()) pic->Draw(&C, Bounds(x, y, pic->Width(), pic->Height()));
            C.RestoreState();
        }
    }
    if (upper.contains(QLatin1String("BGCOLOR"))) {
        const QString v = AttrValue(upper, upper, QStringLiteral("BGCOLOR"));
        TColor c = clNone;
        if (v.contains(QLatin1String("CL"))) c = ColorFromName(v);
        else if (v.contains(QLatin1Char('#'))) c = ColorFromHex(v.mid(v.indexOf(QLatin1Char('#'))));
        else return;
        SetBrush(c);
        FontTagBack = c;
        C.FillRect(P.Rect);
    }
}

void TRenderer::ParagraphTag(TPass& pass, const QString& tag, const TLineMetrics& m) {
    const QString attrs = tag.mid(2);
    const QString upper = UpperKeep(attrs);
    if (upper.contains(QLatin1String("ALIGN"))) {
        const QString v = AttrValue(upper, upper, QStringLiteral("ALIGN"));
        if (v.contains(QLatin1String("RIGHT"))) Align = laRight;
        if (v.contains(QLatin1String("LEFT"))) Align = laLeft;
        if (v.contains(QLatin1String("CENTER"))) Align = laCenter;
    }
    if (upper.contains(QLatin1String("INDENT"))) Indent = LeadingNumber(AttrValue(upper, upper, QStringLiteral("INDENT")));
    if (upper.contains(QLatin1String("BGCOLOR")) && pass.Paint) {
        const QString v = AttrValue(upper, upper, QStringLiteral("BGCOLOR"));
        const TColor c = v.isEmpty() ? clNone : TagColor(v);
        ParaBack = BrushOrNone();
        SetBrush(c);
        if (c != clNone) C.Pen().SetColor(c);
        C.FillRect(TRect(P.Rect.Left, pass.Rect.Top, P.Rect.Right, pass.Rect.Top + m.LineHeight));
        ParaBackground = true;
    }
}

void TRenderer::ListItemTag(TPass& pass) {
    // A second item on the same line starts the next line.
    if (pass.ListItem && pass.First) {
        pass.LineFull = true;
        return;
    }
    pass.ListItem = true;
    const int indent = kListIndent * ListLevel;
    pass.W += indent;
    if (pass.Paint) {
        // The bullet stands twelve pixels left of the item's text.
        const QString bullet = ListLevel % 2 ? QStringLiteral("\u2022") : QStringLiteral("o");
        TRect br(pass.X + indent - kListIndent, pass.Rect.Top, pass.Rect.Right, pass.Rect.Bottom);
        C.DrawText(bullet, br, DT_TOP | DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    }
    pass.X += indent;
}

bool TRenderer::Fits(const TPass& pass, int layoutW) const {
    if (!pass.First) return true;
    const int width = pass.Rect.Width();
    return !(layoutW > width - pass.W && layoutW <= width);
}

void TRenderer::Grow(TPass& pass, TLineMetrics& m, int layoutW, int layoutH) {
    pass.W += layoutW;
    pass.X += layoutW;
    m.LineHeight = std::max(m.LineHeight, layoutH);
}

THTMLPicture* TRenderer::FindSourcePicture(const QString& src) {
    if (src.isEmpty()) return nullptr;
    if (!src.contains(QLatin1Char(':'))) return P.Container ? P.Container->FindPicture(src) : nullptr;
    if (!src.contains(QLatin1String("://")) || !P.PictureCache) return nullptr;
    if (THTMLPicture* pic = P.PictureCache->FindPicture(src)) return pic;
    THTMLPicture* pic = P.PictureCache->AddPicture();
    pic->SetAsynch(false);
    pic->LoadFromURL(src);
    return P.PictureCache->FindPicture(src);
}

void TRenderer::ImageTag(TPass& pass, const QString& tag, TLineMetrics& m) {
    const QString attrs = tag.mid(2);
    const QString upper = UpperKeep(attrs);
    // 1., 2. Counted; a linked image under the pointer shows its ALT picture.
    ++ImageCount;
    QString src = AttrValue(attrs, upper, QStringLiteral("SRC"));
    if (upper.contains(QLatin1String("ALT")) && ImageCount == HoveredImage)
        src = AttrValue(attrs, upper, QStringLiteral("ALT"));
    const QString srcUpper = UpperKeep(src);
    // 3. Sizes asked for.
    const int width = LeadingNumber(AttrValue(upper, upper, QStringLiteral("WIDTH")));
    const int height = LeadingNumber(AttrValue(upper, upper, QStringLiteral("HEIGHT")));
    int layoutW = 0, layoutH = 0;
    enum { kNone, kList, kPicture } kind = kNone;
    int index = 0;
    THTMLPicture* pic = nullptr;
    int dispW = 0, dispH = 0;

    if (srcUpper.contains(QLatin1String("IDX:"))) {
        // 4. An image of the list.
        index = LeadingNumber(src.mid(4));
        if (P.Images && index >= 0 && index < P.Images->Count()) {
            kind = kList;
            layoutW = MulDiv(P.Images->Width(), kCanvasPPI, 96);
            layoutH = MulDiv(P.Images->Height(), kCanvasPPI, 96);
        }
    } else if (srcUpper.contains(QLatin1String("SSYS:")) || srcUpper.contains(QLatin1String("LSYS:"))) {
        // 5. The shell's icons are not offered here: no room, like a missing picture.
    } else {
        // 6., 7. A named or addressed picture.
        pic = FindSourcePicture(src);
        if (pic && !pic->Empty()) {
            const int pw = pic->Width(), ph = pic->Height();
            if (width > 0 && height > 0) {
                dispW = width;
                dispH = height;
            } else if (width > 0) {
                dispW = width;
                dispH = pw > 0 ? int(Round(double(ph) * width / pw)) : 0;
            } else if (height > 0) {
                dispW = ph > 0 ? int(Round(double(pw) * height / ph)) : 0;
                dispH = height;
            } else {
                dispW = pw;
                dispH = ph;
            }
            kind = kPicture;
            const bool sized = width > 0 || height > 0;
            layoutW = MulDiv(sized ? dispW : pic->MaxWidth(), kCanvasPPI, 96);
            layoutH = MulDiv(sized ? dispH : pic->MaxHeight(), kCanvasPPI, 96);
        }
    }

    // 9. A picture that does not fit the rest of the line starts the next.
    if (!Fits(pass, layoutW)) {
        --ImageCount; // counted again on the next line
        pass.LineFull = true;
        return;
    }
    // Drawing.
    const int x = pass.X, y = pass.Rect.Top;
    if (pass.Paint && kind == kList) {
        if (!P.Printing) {
            P.Images->Draw(&C, x, y, index, true);
        } else {
            TBitmap bmp;
            P.Images->GetBitmap(index, &bmp);
            C.StretchDraw(Bounds(x, y, int(Round(P.Images->Width() * P.PrintResolution)),
                                 int(Round(P.Images->Height() * P.PrintResolution))),
                          &bmp);
        }
    } else if (pass.Paint && kind == kPicture) {
        if (width > 0 || height > 0) {
            pic->SetStretch(true);
            pic->Draw(&C, Bounds(x, y, dispW, dispH));
        } else {
            if (pic->FrameCount() > 1) {
                const TColor pen = C.Pen().Color();
                const TColor brush = BrushOrNone();
                C.Pen().SetColor(StartBrush);
                C.Brush().SetColor(StartBrush);
                C.FillRect(Bounds(x, y, pic->MaxWidth(), pic->MaxHeight()));
                C.Pen().SetColor(pen);
                SetBrush(brush);
            }
            pic->Draw(&C, Bounds(x + pic->FrameXPos(), y + pic->FrameYPos(), pic->Width(), pic->Height()));
        }
    }
    // 8. A linked image under the test point.
    if (InAnchor && PointIn(pass, layoutW, layoutH)) {
        pass.ObjectHit = true;
        P.Anchor = Link;
        P.Title = Title;
        HoveredImage = ImageCount;
    }
    Grow(pass, m, layoutW, layoutH);
    // 10. Alignment raises the line's text.
    if (upper.contains(QLatin1String("ALIGN"))) {
        const int free = std::max(0, m.LineHeight - GH());
        if (upper.contains(QLatin1String("\"TOP"))) m.Descent = free;
        else if (upper.contains(QLatin1String("\"MIDDLE"))) m.Descent = free / 2;
    }
}

void TRenderer::ControlTag(TPass& pass, const QString& tag, TLineMetrics& m) {
    const TControlTag ct = ParseControlTag(tag.mid(8));
    // 1. The control's own height.
    int ctrlH = 25;
    int h = 0;
    if (TryStrToInt(ct.Height, h)) ctrlH = h;
    // 2. Without a width (or one that is no number) it has no effect at all.
    int width = 0;
    if (ct.Width.isEmpty() || !TryStrToInt(ct.Width, width)) return;
    const bool box = ct.Type == QLatin1String("CHECK") || ct.Type == QLatin1String("RADIO");
    const bool tall = ct.Type == QLatin1String("BUTTON") || ct.Type == QLatin1String("COMBO");
    int layoutW = box ? 16 : width;
    int layoutH = box ? 16 : tall ? 25 : GH() + 10;
    // 7. A control wider than the rest of the line starts the next.
    if (!Fits(pass, layoutW)) {
        pass.LineFull = true;
        return;
    }
    // 3. The line's height is set.
    int s = box ? 16 : 23;
    if (ctrlH > 25) s = ctrlH - 2;
    m.LineHeight = s;
    // 4. Drawing.
    if (pass.Paint) {
        int drawH = GH() + 10;
        DrawControl(pass, ct, width, ctrlH, s, drawH);
    }
    // 6. The hit, by position or by ID.
    if (PointIn(pass, layoutW, layoutH) || (P.HitTest && !ct.ID.isEmpty() && ct.ID == P.ControlID)) {
        pass.ObjectHit = true;
        P.Anchor = QStringLiteral("ctrl");
        HoveredImage = ImageCount;
        P.ControlRect = Bounds(pass.Rect.Left + pass.W, pass.Rect.Top, layoutW, layoutH);
        P.ControlValue = ct.Value;
        P.ControlID = ct.ID;
        P.ControlType = ct.Type;
    }
    Grow(pass, m, layoutW, layoutH);
}

void TRenderer::DrawControl(const TPass& pass, const TControlTag& ct, int width, int ctrlH, int s, int& layoutH) {
    const int x = pass.X, b = pass.TextBottom;
    const TColor savedPen = C.Pen().Color();
    const TColor savedBrush = BrushOrNone();
    C.Pen().SetColor(ThemesActive ? kControlFrameThemed : kControlFrame);
    const QString& type = ct.Type;
    const bool ticked = UpperKeep(ct.Value) == QLatin1String("TRUE");
    auto over = [&] {
        return P.X > x - 2 && P.X < x + width - 2 && P.Y > b - layoutH - 2 && P.Y < b - 2;
    };
    auto frame = [&] {
        C.Brush().SetColor(clWhite);
        C.Rectangle(x, b - s + 4, x + width, b + 2);
        SetBrush(clNone);
    };
    const unsigned valueFlags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (type == QLatin1String("EDIT") || type == QLatin1String("MASK") || type == QLatin1String("PASSWORD")) {
        frame();
        QString shown = ct.Value;
        if (type == QLatin1String("PASSWORD")) FillTextWithChar(shown, QLatin1Char('*'));
        C.DrawText(shown, TRect(x + 2, b - s + 4, x + width, b), valueFlags);
    } else if (type == QLatin1String("COMBO")) {
        frame();
        C.DrawText(ct.Value, TRect(x + 4, b - s + 4, x + width - 18, b), valueFlags);
        TRect btn(x + width - 18, b - s + 5, x + width - 1, b + 1);
        if (ThemesActive) DrawThemed(QStringLiteral("combobox"), 1, over() ? 2 : 1, btn);
        else C.DrawFrameControl(btn, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    } else if (type == QLatin1String("CHECK")) {
        SetBrush(clNone);
        TRect r(x + 2, b - 15, x + 15, b);
        if (ThemesActive) DrawThemed(QStringLiteral("button"), 3, ticked ? 5 : 1, r);
        else C.DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (ticked ? unsigned(DFCS_CHECKED) : 0u));
    } else if (type == QLatin1String("RADIO")) {
        TRect r(x + 2, b - 14, x + 14, b);
        if (ThemesActive) DrawThemed(QStringLiteral("button"), 2, ticked ? 5 : 1, r);
        else C.DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_FLAT | (ticked ? unsigned(DFCS_CHECKED) : 0u));
    } else if (type == QLatin1String("BUTTON")) {
        layoutH = 24;
        TRect r(x + 2, b - ctrlH, x + width - 2, b);
        const bool pushed = over() && P.MouseDown;
        if (ThemesActive) DrawThemed(QStringLiteral("button"), 1, pushed ? 3 : over() ? 2 : 1, r);
        else C.DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? unsigned(DFCS_PUSHED) : 0u));
        InflateRect(r, -2, -2);
        C.DrawText(ct.Value, r, valueFlags | DT_CENTER);
    }
    C.Pen().SetColor(savedPen);
    SetBrush(savedBrush);
}

// A part of the visual style, for the window given to the call.
void TRenderer::DrawThemed(const QString& className, int part, int state, const TRect& r) {
    const HTHEME theme = XPVS.OpenThemeData(reinterpret_cast<std::intptr_t>(P.WindowHandle), className);
    XPVS.DrawThemeBackground(theme, &C, part, state, r, nullptr);
    XPVS.CloseThemeData(theme);
}

void TRenderer::DrawFocusPart(int left, int top, int right, int bottom) {
    C.DrawFocusRect(TRect(left - 1, top, right + 1, bottom));
}

// A red zig-zag under a run: points every 2 pixels, one above and one below
// the text's bottom, placed by their x so that neighbouring runs join.
void TRenderer::DrawZigZag(int from, int to, int bottom) {
    const TColor pen = C.Pen().Color();
    const int penW = C.Pen().Width();
    C.Pen().SetColor(kErrorColor);
    C.Pen().SetWidth(1);
    int x = from & ~1;
    auto y = [&](int px) { return (px % 4 == 0) ? bottom - 1 : bottom + 1; };
    C.MoveTo(x, y(x));
    while (x < to) {
        x += 2;
        C.LineTo(x, y(x));
    }
    C.Pen().SetColor(pen);
    C.Pen().SetWidth(penW);
}

} // namespace

unsigned BiDiDrawFlags(unsigned flags, int /*mode*/) { return flags; }

bool DetectXPOrLater() {
    // The platform reports Windows 6.1.
    static const bool kXPOrLater = true;
    return kXPOrLater;
}

bool RenderHTML(THTMLRenderParams& p) {
    if (!p.Canvas) return false;
    TRenderer r(p);
    return r.Run();
}
