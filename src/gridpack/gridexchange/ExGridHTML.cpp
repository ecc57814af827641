// The HTML table of the grid: one style class per distinct cell look (in the
// order first used), merged cells as spans, links, and cell pictures written
// as JPEG files beside the page.
#include "gridpack/gridexchange/ExchangeText.h"
#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/core/CodePages.h"
#include "platform/core/Files.h"
#include "platform/core/StringList.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/JpegWriter.h"
#include "platform/sys/LinkOpener.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

using namespace GridExchange;

namespace {

constexpr TColor kUnknownColor = TColor(0x7FFFFFFF);

// What makes two cells share a style class.
struct TStyleKey {
    TColor Background;
    TColor FontColor;
    int FontSize;
    TFontStyles FontStyle;
    QString FontName;
    TAlignment HAlign;
    TVAlignment VAlign;
    bool operator==(const TStyleKey& o) const
    {
        return Background == o.Background && FontColor == o.FontColor && FontSize == o.FontSize &&
               FontStyle == o.FontStyle && HAlign == o.HAlign && VAlign == o.VAlign && FontName == o.FontName;
    }
};

size_t qHash(const TStyleKey& k, size_t seed = 0)
{
    return qHashMulti(seed, uint32_t(k.Background), uint32_t(k.FontColor), k.FontSize, k.FontStyle, k.FontName,
                      int(k.HAlign), int(k.VAlign));
}

class THtmlBuilder {
public:
    THtmlBuilder(TExStringGrid* g, const QString& dir) : G(g), Dir(dir) {}

    QString Build();

private:
    // Appends the cell element, and its class attribute and spans.
    void Cell(QString& out, int c, int r, bool header, int startCol, bool headerWritten);
    void Style(QString& out, int c, int r, bool header);
    QString StyleText(const TStyleKey& k) const;
    QString Content(int real, int r, const QString& text);
    QString Link(const QString& text, const QString& content) const;
    QString ImageTag(const QImage& image);

    TExStringGrid* G;
    QString Dir;
    QStringList Styles;
    QHash<TStyleKey, int> StyleIndex;
    int Counter = 0;
    // Reused for every cell.
    TBrush FBrush;
    TFont FFont;
    TStyleKey FLastKey{};
    int FLastStyle = -1;
    // "<TD class="cN"" of each style.
    QStringList FOpenTags;
};

constexpr TColor kNoColour = kUnknownColor;

QString THtmlBuilder::StyleText(const TStyleKey& k) const
{
    QStringList parts;
    if (k.Background != kNoColour)
        parts.append(QStringLiteral("background-color: #") + ColorToHTMLHex(ColorToRGB(k.Background)));
    if (k.FontColor != kNoColour)
        parts.append(QStringLiteral("color: #") + ColorToHTMLHex(ColorToRGB(k.FontColor)));
    parts.append(QStringLiteral("font-size:") + QString::number(k.FontSize) + QStringLiteral("pt"));
    if (k.FontStyle & fsItalic)
        parts.append(QStringLiteral("font-style: italic"));
    if (k.FontStyle & fsBold)
        parts.append(QStringLiteral("font-weight: bold"));
    parts.append(QStringLiteral("font-family: ") + k.FontName);
    if (k.HAlign == taRightJustify)
        parts.append(QStringLiteral("text-align: right"));
    else if (k.HAlign == taCenter)
        parts.append(QStringLiteral("text-align: center"));
    parts.append(k.VAlign == vtaTop      ? QStringLiteral("vertical-align: top")
                 : k.VAlign == vtaCenter ? QStringLiteral("vertical-align: middle")
                                         : QStringLiteral("vertical-align: bottom"));
    return parts.join(QLatin1Char(';'));
}

void THtmlBuilder::Style(QString& out, int c, int r, bool header)
{
    TGridDrawState state = 0;
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = G->WordWrapEx();
    TCellGradientDirection gd = GradientVertical;
    G->GetVisualProperties(c, r, state, false, false, true, &FBrush, colorTo, mirror, mirrorTo, &FFont, ha, va, ww,
                           gd);
    // The visual properties end with the cell's alignment and word wrap.
    const int real = G->RemapColToReal(c);
    TColor bg = FBrush.Color();
    // The visual properties mark fixed cells (the grid's IsFixed included).
    if (header || (state & gdFixed))
        bg = G->FixedColor();
    TColor fg = FFont.Color();
    const bool saveColor = G->HTMLSettings()->SaveColor;
    auto shown = [&](TColor k) {
        return saveColor && k != kUnknownColor && k != clNone && k != clDefault ? k : kNoColour;
    };
    const TStyleKey key{shown(bg), shown(fg), FFont.Size(), FFont.Style() & (fsBold | fsItalic), FFont.Name(), ha, va};
    // Neighbouring cells mostly share their look: the last one is tried first.
    if (FLastStyle < 0 || !(key == FLastKey)) {
        const auto it = StyleIndex.constFind(key);
        if (it == StyleIndex.constEnd()) {
            FLastStyle = int(Styles.size());
            Styles.append(StyleText(key));
            FOpenTags.append(QStringLiteral("<TD class=\"c") + QString::number(FLastStyle) + QLatin1Char('"'));
            StyleIndex.insert(key, FLastStyle);
        } else {
            FLastStyle = *it;
        }
        FLastKey = key;
    }
    out += FOpenTags[FLastStyle];
    // A base cell keeps the extent of its block; -1 outside any merge.
    if (G->HasCellProperties(real, r)) {
        const TCellProperties* p = G->GetCellProperties(real, r);
        if (p->CellSpanX > 0)
            out += QStringLiteral(" COLSPAN=\"") + QString::number(p->CellSpanX + 1) + QLatin1Char('"');
        if (p->CellSpanY > 0)
            out += QStringLiteral(" ROWSPAN=\"") + QString::number(p->CellSpanY + 1) + QLatin1Char('"');
    }
    if (!ww)
        out += QStringLiteral(" nowrap");
}

QString THtmlBuilder::Link(const QString& text, const QString& content) const
{
    if (!G->URLShow || text.contains(QLatin1String("</")))
        return content;
    const qsizetype mail = text.indexOf(QLatin1String("mailto:"));
    const qsizetype url = text.indexOf(QLatin1String("://"));
    if (mail < 0 && url < 0)
        return content;
    const QString label = G->URLFull ? text : mail >= 0 ? text.mid(mail + 7).left(255) : text.mid(url + 3).left(255);
    return QStringLiteral("<a href=") + text + QLatin1Char('>') + label + QStringLiteral("</a>");
}

QString THtmlBuilder::ImageTag(const QImage& image)
{
    // Without a folder (the clipboard's HTML) pictures are left out rather
    // than written into the working directory.
    if (Dir.isEmpty())
        return QString();
    const QString folder = Dir + QStringLiteral("images");
    if (!ForceDirectories(folder))
        throw Exception(QStringLiteral("Cannot create ") + folder);
    const QString name = Dir + QStringLiteral("images/img") + QString::number(Counter) + QStringLiteral(".jpg");
    WriteFileWhole(name, EncodeJPEG(image));
    ++Counter;
    return QStringLiteral("<img src= \"file://") + name + QStringLiteral("\">");
}

QString THtmlBuilder::Content(int real, int r, const QString& text)
{
    if (!G->HTMLSettings()->ExportImages)
        return text;
    TCellGraphic* cg = G->GetCellGraphic(real, r);
    if (!cg)
        return text;
    TImageList* il = G->GetCellImageList(real, r);
    auto fromList = [&](int idx) { return il && idx >= 0 && idx < il->Count(); };
    switch (cg->CellType) {
    case ctBitmap:
        if (cg->Bitmap() && !cg->Bitmap()->Empty())
            return text + ImageTag(cg->Bitmap()->ToImage());
        break;
    case ctImageList:
        if (fromList(cg->CellIndex))
            return ImageTag(il->ImageAt(cg->CellIndex)) + text;
        break;
    case ctDataImage: {
        bool ok = false;
        const int idx = text.toInt(&ok);
        if (ok && fromList(idx))
            return ImageTag(il->ImageAt(idx));
        break;
    }
    case ctNode:
        return QStringLiteral("+") + text;
    case ctImages:
        if (il && cg->IntList()) {
            QString tags;
            for (int i = 0; i < cg->IntList()->Count(); ++i)
                if (fromList(cg->IntList()->GetInteger(i)))
                    tags += ImageTag(il->ImageAt(cg->IntList()->GetInteger(i)));
            return tags + text;
        }
        break;
    case ctPicture:
        if (cg->Picture() && cg->Picture()->Graphic() && !cg->Picture()->Graphic()->Empty())
            return text + ImageTag(cg->Picture()->Graphic()->ToImage());
        break;
    default:
        break;
    }
    return text;
}

void THtmlBuilder::Cell(QString& out, int c, int r, bool header, int startCol, bool headerWritten)
{
    const int real = G->RemapColToReal(c);
    Style(out, c, r, header);
    QString text;
    G->SaveCell(real, r, text);
    const THTMLSettings* s = G->HTMLSettings();
    // Most cells go out as they are: a new text is made only by a step
    // that changes something.
    QString changed;
    const QString* shown = &text;
    if (!header && (s->ConvertSpecialChars || s->NonBreakingText)) {
        changed = text;
        if (s->ConvertSpecialChars)
            changed = EncodeEntities(changed, true);
        if (s->NonBreakingText)
            changed = SpacesToNbsp(changed);
        shown = &changed;
    }
    if (shown->contains(QLatin1Char('\r'))) {
        changed = CRToHTMLBreak(*shown);
        shown = &changed;
    }
    if (G->URLShow) {
        changed = Link(text, *shown);
        shown = &changed;
    }
    const bool blank = std::all_of(shown->cbegin(), shown->cend(), [](QChar ch) { return ch.isSpace(); });
    TIntList* widths = s->ColWidths();
    if (header) {
        if (c < widths->Count())
            out += QStringLiteral(" WIDTH=") + QString::number(widths->GetInteger(c));
    } else if (!headerWritten && c - startCol < widths->Count()) {
        out += QStringLiteral(" width=") + QString::number(widths->GetInteger(c - startCol));
    }
    out += u'>';
    if (blank)
        out += QStringLiteral("&nbsp;");
    else if (s->ExportImages && G->GetCellGraphic(real, r))
        out += Content(real, r, *shown);
    else
        out += *shown;
    out += QStringLiteral("</td>\r\n");
}

QString THtmlBuilder::Build()
{
    const THTMLSettings* s = G->HTMLSettings();
    const QString crlf = QStringLiteral("\r\n");
    const int startCol = G->SaveFixedCells || G->SaveFixedCols ? 0 : G->FixedCols();
    int startRow = G->SaveFixedCells || G->SaveFixedRows ? 0 : G->FixedRows();
    // The page is built in one buffer. The style sheet in front of the rows
    // is known only after them, so the rows go behind a gap; the head is
    // then written into the gap's end and the rest of the gap dropped from
    // the front, which moves no row text (a head longer than the gap takes
    // its place with one move instead).
    constexpr qsizetype kGap = 8192;
    QString out;
    // Room for the rows as they usually come out (a cell element holds some
    // 30 characters besides its text); pages not written stay untouched.
    const int64_t cells = int64_t(std::max(G->RowCount(), 0)) * (std::max(G->ColCount(), 0) + 1);
    out.reserve(qsizetype(std::min<int64_t>(kGap + cells * 40, int64_t(1) << 27)));
    out.resize(kGap);
    bool headerWritten = false;
    if (G->FixedRows() > 0 && (G->SaveFixedCells || G->SaveFixedRows)) {
        out += QStringLiteral("<TR>\r\n");
        for (int c = startCol; c < G->ColCount(); ++c)
            if (G->IsBaseCell(G->RemapColToReal(c), 0))
                Cell(out, c, 0, true, startCol, false);
        out += QStringLiteral("</TR>\r\n");
        headerWritten = true;
        startRow = 1;
        Counter = 1;
    }
    G->ExportNotification(0, startRow);
    for (int r = startRow; r < G->RowCount(); ++r) {
        G->ExportNotification(5, r);
        out += QStringLiteral("<TR>\r\n");
        for (int c = startCol; c < G->ColCount(); ++c)
            if (G->IsBaseCell(G->RemapColToReal(c), r))
                Cell(out, c, r, false, startCol, headerWritten);
        out += QStringLiteral("</TR>\r\n");
    }
    G->ExportNotification(2, -1);

    QString head;
    if (s->XHTML) {
        head += QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>") + crlf;
        head += QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"") + crlf;
        head += QStringLiteral("\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">") + crlf;
        head += QStringLiteral("<HTML xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">") + crlf;
    }
    if (!s->PrefixTag.isEmpty())
        head += s->PrefixTag;
    head += QStringLiteral("<style>") + crlf;
    for (int i = 0; i < Styles.size(); ++i)
        head += QStringLiteral(".c") + QString::number(i) + QStringLiteral(" {") + Styles[i] + QLatin1Char('}') + crlf;
    head += QStringLiteral("</style>") + crlf;
    head += QStringLiteral("<TABLE BORDER=\"") + QString::number(s->BorderSize) + QStringLiteral("\" CELLSPACING=\"") +
            QString::number(s->CellSpacing) + QStringLiteral("\" CELLPADDING=\"") + QString::number(s->CellPadding) +
            QStringLiteral("\" ");
    if (!s->Summary.isEmpty())
        head += QStringLiteral("SUMMARY=\"") + s->Summary + QStringLiteral("\" ");
    if (!s->TableStyle.isEmpty())
        head += QLatin1Char(' ') + s->TableStyle + QLatin1Char(' ');
    head += QStringLiteral(" WIDTH=\"") + QString::number(s->Width) + QStringLiteral("%\">") + crlf;
    if (head.size() <= kGap) {
        const qsizetype at = kGap - head.size();
        std::copy(head.cbegin(), head.cend(), out.data() + at);
        out.remove(0, at);
    } else {
        out.replace(0, kGap, head);
    }
    out += QStringLiteral("</TABLE>\r\n");
    if (!s->SuffixTag.isEmpty()) {
        out += s->SuffixTag;
        out += crlf;
    }
    if (s->XHTML)
        out += QStringLiteral("</HTML>\r\n");
    return out;
}

// 7-bit text: characters beyond ASCII become numeric character references.
QByteArray AsciiWithReferences(const QString& Text)
{
    QByteArray out;
    out.reserve(Text.size());
    for (qsizetype i = 0; i < Text.size(); ++i) {
        char32_t cp = Text[i].unicode();
        if (Text[i].isHighSurrogate() && i + 1 < Text.size() && Text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(Text[i], Text[i + 1]);
            ++i;
        }
        if (cp < 0x80)
            out.append(char(cp));
        else
            out.append("&#" + QByteArray::number(uint(cp)) + ';');
    }
    return out;
}

void WriteHTML(TExStringGrid* g, const QString& FileName, bool Show, bool Unicode, bool Append)
{
    QStringList lines;
    if (Append) {
        try {
            lines = SplitLines(DecodeText(ReadFileWhole(FileName)));
        } catch (const Exception&) {
            lines.clear(); // a missing or unreadable file starts a new one
        }
    }
    const THTMLSettings* s = g->HTMLSettings();
    if (!s->HeaderFile.isEmpty())
        lines.append(SplitLines(DecodeText(ReadFileWhole(s->HeaderFile))));
    QString dir = QFileInfo(FileName).path();
    dir.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    lines.append(g->SaveToHTMLString(dir));
    if (!s->FooterFile.isEmpty())
        lines.append(SplitLines(DecodeText(ReadFileWhole(s->FooterFile))));
    const QString text = JoinLines(lines);
    WriteFileWhole(FileName, Unicode ? EncodeText(text, teUTF16LE) : AsciiWithReferences(text));
    if (Show || s->AutoPreview) {
        Sys::Links().RegisterOwnFile(FileName);
        Sys::Links().OpenLink(FileName);
    }
}

} // namespace

QString TExStringGrid::SaveToHTMLString(const QString& dir) { return THtmlBuilder(this, dir).Build(); }

void TExStringGrid::SaveToHTML(const QString& FileName, bool Show, bool Unicode)
{
    WriteHTML(this, FileName, Show, Unicode, false);
}

void TExStringGrid::AppendToHTML(const QString& FileName, bool Show, bool Unicode)
{
    WriteHTML(this, FileName, Show, Unicode, true);
}
