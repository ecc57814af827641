#include "platform/controls/RichText.h"

#include "platform/core/CodePages.h"

#include <QHash>
#include <QSet>
#include <algorithm>

// ---------------------------------------------------------------------------
// TRichText
// ---------------------------------------------------------------------------

TRichText::TRichText(const QString& plain, const TCharFormat& f) {
    if (!plain.isEmpty()) FRuns << TTextRun{plain, f};
}

QString TRichText::Text() const {
    QString s;
    for (const TTextRun& r : FRuns) s += r.Text;
    return s;
}

int TRichText::Length() const {
    int n = 0;
    for (const TTextRun& r : FRuns) n += int(r.Text.size());
    return n;
}

TCharFormat TRichText::FormatAt(int pos) const {
    int at = 0;
    for (const TTextRun& r : FRuns) {
        if (pos < at + r.Text.size()) return r.Format;
        at += int(r.Text.size());
    }
    return FRuns.isEmpty() ? TCharFormat() : FRuns.last().Format;
}

int TRichText::SplitAt(int pos) {
    int at = 0;
    for (int i = 0; i < FRuns.size(); ++i) {
        const int len = int(FRuns[i].Text.size());
        if (pos == at) return i;
        if (pos < at + len) {
            TTextRun tail{FRuns[i].Text.mid(pos - at), FRuns[i].Format};
            FRuns[i].Text.truncate(pos - at);
            FRuns.insert(i + 1, tail);
            return i + 1;
        }
        at += len;
    }
    return int(FRuns.size());
}

void TRichText::Merge() {
    for (int i = int(FRuns.size()) - 1; i >= 0; --i) {
        if (FRuns[i].Text.isEmpty()) FRuns.removeAt(i);
        else if (i > 0 && FRuns[i - 1].Format == FRuns[i].Format) {
            FRuns[i - 1].Text += FRuns[i].Text;
            FRuns.removeAt(i);
        }
    }
}

void TRichText::ChangeFormat(int start, int len, const std::function<void(TCharFormat&)>& change) {
    start = std::clamp(start, 0, Length());
    len = std::clamp(len, 0, Length() - start);
    if (len == 0) return;
    const int first = SplitAt(start);
    const int last = SplitAt(start + len);
    for (int i = first; i < last; ++i) change(FRuns[i].Format);
    Merge();
}

void TRichText::Insert(int pos, const QString& text, const TCharFormat& f) {
    if (text.isEmpty()) return;
    pos = std::clamp(pos, 0, Length());
    FRuns.insert(SplitAt(pos), TTextRun{text, f});
    Merge();
}

void TRichText::Remove(int start, int len) {
    start = std::clamp(start, 0, Length());
    len = std::clamp(len, 0, Length() - start);
    if (len == 0) return;
    const int first = SplitAt(start);
    const int last = SplitAt(start + len);
    FRuns.remove(first, last - first);
    Merge();
}

TRichText TRichText::Mid(int start, int len) const {
    TRichText copy = *this;
    start = std::clamp(start, 0, Length());
    len = std::clamp(len, 0, Length() - start);
    copy.Remove(start + len, copy.Length());
    copy.Remove(0, start);
    return copy;
}

void TRichText::Append(const QString& text, const TCharFormat& f) { Insert(Length(), text, f); }

// ---------------------------------------------------------------------------
// Reader
// ---------------------------------------------------------------------------

bool LooksLikeRtf(const QByteArray& bytes) {
    int i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\r' || bytes[i] == '\n' || bytes[i] == '\t')) ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

namespace {
// Destinations whose groups hold no text of the document.
const QSet<QByteArray>& SkippedDestinations() {
    static const QSet<QByteArray> s = {
        "fonttbl", "colortbl", "stylesheet", "info", "pict", "object", "header", "footer", "headerl",
        "headerr", "headerf", "footerl", "footerr", "footerf", "footnote", "listtable", "listoverridetable",
        "revtbl", "rsidtbl", "generator", "xmlnstbl", "themedata", "colorschememapping", "latentstyles",
        "datastore", "fldinst", "filetbl", "pgdsctbl", "bkmkstart", "bkmkend", "nonshppict",
        "shp", "mmathPr", "listtext", "pntext", "pntxta", "pntxtb",
    };
    return s;
}

// Characters some control words stand for.
QChar SymbolFor(const QByteArray& word) {
    static const QHash<QByteArray, char16_t> map = {
        {"emdash", 0x2014}, {"endash", 0x2013}, {"bullet", 0x2022}, {"lquote", 0x2018},
        {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
        {"enspace", 0x2002}, {"qmspace", 0x2005},
    };
    auto it = map.find(word);
    return it == map.end() ? QChar() : QChar(*it);
}

constexpr int kMaxDepth = 512;

struct GroupState {
    TCharFormat Format;
    int UcSkip = 1;
    int Font = -1;    // number in the font table
    int Colour = 0;   // number in the colour table, 0 the automatic one
    bool Skip = false;
    enum { Text, FontTable, ColorTable } Kind = Text;
};

class RtfReader {
public:
    RtfReader(const QByteArray& in, const TCharFormat& d) : FIn(in), FDefaults(d) {}

    TRichText Read() {
        QList<GroupState> stack;
        GroupState cur;
        cur.Format = FDefaults;
        bool firstInGroup = false;
        int pendingSkip = 0;  // characters after \uN still to pass over
        while (FPos < FIn.size()) {
            const char ch = FIn[FPos];
            if (ch == '{') {
                ++FPos;
                if (stack.size() >= kMaxDepth) return Finish();
                stack << cur;
                firstInGroup = true;
                pendingSkip = 0;
                continue;
            }
            if (ch == '}') {
                ++FPos;
                if (cur.Kind == GroupState::FontTable) EndFontEntry();
                if (stack.isEmpty()) break;  // the document's own group is closed
                cur = stack.takeLast();
                firstInGroup = false;
                pendingSkip = 0;
                continue;
            }
            if (ch == '\\') {
                ReadControl(cur, firstInGroup, pendingSkip);
                firstInGroup = false;
                continue;
            }
            firstInGroup = false;
            ++FPos;
            if (ch == '\r' || ch == '\n') continue;
            if (pendingSkip > 0) {
                --pendingSkip;
                continue;
            }
            if (cur.Skip) continue;
            if (cur.Kind == GroupState::FontTable) {
                if (ch == ';') EndFontEntry();
                else FFontName += QChar::fromLatin1(ch);
                continue;
            }
            if (cur.Kind == GroupState::ColorTable) {
                if (ch == ';') EndColorEntry();
                continue;
            }
            Emit(DecodeAnsi(QByteArray(1, ch)), cur);
        }
        return Finish();
    }

private:
    TRichText Finish() {
        // Fonts and colours are given by number; the numbers are resolved
        // once the tables are known (they come first in every writer's
        // output, but a late table still applies).
        // The last paragraph mark ends the text rather than starting an
        // empty paragraph.
        if (!FPending.isEmpty() && FPending.last().Text.endsWith(QLatin1Char('\n'))) {
            FPending.last().Text.chop(1);
            if (FPending.last().Text.isEmpty()) FPending.removeLast();
        }
        TRichText out;
        for (Pending& p : FPending) {
            TCharFormat f = p.Format;
            if (p.Font >= 0 && FFonts.contains(p.Font)) f.Name = FFonts.value(p.Font);
            if (p.Colour > 0 && p.Colour < FColours.size() && FColours[p.Colour] != clNone) f.Color = FColours[p.Colour];
            out.Append(p.Text, f);
        }
        return out;
    }

    void Emit(const QString& s, const GroupState& g) {
        if (s.isEmpty()) return;
        const Pending p{s, g.Format, g.Font, g.Colour};
        if (!FPending.isEmpty() && FPending.last().Format == g.Format && FPending.last().Font == g.Font &&
            FPending.last().Colour == g.Colour)
            FPending.last().Text += s;
        else
            FPending << p;
    }

    void EndFontEntry() {
        if (FFontNumber >= 0) FFonts.insert(FFontNumber, FFontName.trimmed());
        FFontNumber = -1;
        FFontName.clear();
    }

    void EndColorEntry() {
        FColours << (FColourSet ? RGB(FRed, FGreen, FBlue) : TColor(clNone));
        FRed = FGreen = FBlue = 0;
        FColourSet = false;
    }

    void ReadControl(GroupState& cur, bool firstInGroup, int& pendingSkip) {
        ++FPos;  // the backslash
        if (FPos >= FIn.size()) return;
        const char c = FIn[FPos];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++FPos;
            ReadSymbol(c, cur, firstInGroup, pendingSkip);
            return;
        }
        QByteArray word;
        while (FPos < FIn.size() && std::isalpha(static_cast<unsigned char>(FIn[FPos])) && word.size() < 32)
            word += FIn[FPos++];
        bool hasParam = false;
        long long param = 0;
        bool negative = false;
        if (FPos < FIn.size() && FIn[FPos] == '-') {
            negative = true;
            ++FPos;
        }
        while (FPos < FIn.size() && std::isdigit(static_cast<unsigned char>(FIn[FPos]))) {
            hasParam = true;
            if (param < 100000000) param = param * 10 + (FIn[FPos] - '0');
            ++FPos;
        }
        if (negative) param = -param;
        if (FPos < FIn.size() && FIn[FPos] == ' ') ++FPos;  // the delimiter belongs to the word
        Word(word, hasParam, int(param), cur, firstInGroup, pendingSkip);
    }

    void ReadSymbol(char c, GroupState& cur, bool firstInGroup, int& pendingSkip) {
        switch (c) {
        case '*':
            if (firstInGroup) cur.Skip = true;  // an optional destination we do not know
            return;
        case '\'': {
            const QByteArray hex = FIn.mid(FPos, 2);
            FPos += int(hex.size());
            // Exactly two hex digits; a cut escape stands for nothing.
            if (hex.size() != 2 || !std::isxdigit(static_cast<unsigned char>(hex[0])) ||
                !std::isxdigit(static_cast<unsigned char>(hex[1])))
                return;
            const int v = hex.toInt(nullptr, 16);
            if (pendingSkip > 0) {
                --pendingSkip;
                return;
            }
            if (!cur.Skip && cur.Kind == GroupState::Text) Emit(DecodeAnsi(QByteArray(1, char(v))), cur);
            else if (cur.Kind == GroupState::FontTable) FFontName += DecodeAnsi(QByteArray(1, char(v)));
            return;
        }
        case '\\': case '{': case '}':
            if (!cur.Skip && cur.Kind == GroupState::Text) Emit(QString(QChar::fromLatin1(c)), cur);
            return;
        case '~':
            if (!cur.Skip && cur.Kind == GroupState::Text) Emit(QString(QChar(0x00A0)), cur);
            return;
        case '_':
            if (!cur.Skip && cur.Kind == GroupState::Text) Emit(QString(QChar(0x2011)), cur);
            return;
        case '\r': case '\n':
            if (!cur.Skip && cur.Kind == GroupState::Text) Emit(QStringLiteral("\n"), cur);
            return;
        default: return;  // \- (optional hyphen), \| and the rest: nothing to show
        }
    }

    // Half-points to twips, kept within an int for any parameter the reader
    // admits (up to nine digits).
    static int Twips(int halfPoints) {
        return int(std::clamp<long long>(static_cast<long long>(halfPoints) * 10, -1000000000LL, 1000000000LL));
    }
    void Word(const QByteArray& w, bool hasParam, int param, GroupState& cur, bool firstInGroup, int& pendingSkip) {
        if (firstInGroup && SkippedDestinations().contains(w)) {
            if (w == "fonttbl") cur.Kind = GroupState::FontTable;
            else if (w == "colortbl") cur.Kind = GroupState::ColorTable;
            else cur.Skip = true;
            return;
        }
        if (cur.Skip) return;
        TCharFormat& f = cur.Format;
        const bool on = !hasParam || param != 0;
        if (cur.Kind == GroupState::FontTable) {
            if (w == "f") {
                EndFontEntry();
                FFontNumber = param;
            }
            return;
        }
        if (cur.Kind == GroupState::ColorTable) {
            if (w == "red") FRed = std::clamp(param, 0, 255), FColourSet = true;
            else if (w == "green") FGreen = std::clamp(param, 0, 255), FColourSet = true;
            else if (w == "blue") FBlue = std::clamp(param, 0, 255), FColourSet = true;
            return;
        }
        if (w == "par" || w == "line") Text(cur, QStringLiteral("\n"));
        else if (w == "tab") Text(cur, QStringLiteral("\t"));
        else if (QChar s = SymbolFor(w); !s.isNull()) Text(cur, QString(s));
        else if (w == "u" && hasParam) {
            // A UTF-16 unit, followed by UcSkip stand-in characters.
            Text(cur, QString(QChar(char16_t(param < 0 ? param + 65536 : param))));
            pendingSkip = cur.UcSkip;
        } else if (w == "uc" && hasParam) cur.UcSkip = std::max(0, param);
        else if (w == "b") SetStyle(f, fsBold, on);
        else if (w == "i") SetStyle(f, fsItalic, on);
        else if (w == "ul") SetStyle(f, fsUnderline, on);
        else if (w == "ulnone") SetStyle(f, fsUnderline, false);
        else if (w == "strike") SetStyle(f, fsStrikeOut, on);
        else if (w == "fs" && hasParam && param > 0) f.Size = std::max(1, param / 2);
        else if (w == "f" && hasParam) cur.Font = param;
        else if (w == "cf" && hasParam) cur.Colour = param;
        else if (w == "up") f.Offset = Twips(hasParam ? param : 6);    // half-points to twips
        else if (w == "dn") f.Offset = -Twips(hasParam ? param : 6);
        else if (w == "super") f.Offset = 40;
        else if (w == "sub") f.Offset = -40;
        else if (w == "nosupersub") f.Offset = 0;
        else if (w == "plain") {
            f = FDefaults;
            cur.Font = -1;
            cur.Colour = 0;
        }
        // Everything else (paragraph layout, document settings, words we do
        // not know) leaves the text alone.
    }

    void Text(const GroupState& cur, const QString& s) {
        if (!cur.Skip && cur.Kind == GroupState::Text) Emit(s, cur);
    }

    static void SetStyle(TCharFormat& f, TFontStyle s, bool on) {
        if (on) f.Style |= s;
        else f.Style &= ~TFontStyles(s);
    }

    struct Pending {
        QString Text;
        TCharFormat Format;
        int Font = -1;
        int Colour = 0;
    };

    const QByteArray& FIn;
    TCharFormat FDefaults;
    int FPos = 0;
    QList<Pending> FPending;
    QHash<int, QString> FFonts;
    int FFontNumber = -1;
    QString FFontName;
    QList<TColor> FColours;
    int FRed = 0, FGreen = 0, FBlue = 0;
    bool FColourSet = false;
};
}  // namespace

TRichText ReadRtf(const QByteArray& rtf, const TCharFormat& defaults) {
    if (!LooksLikeRtf(rtf)) return TRichText(DecodeAnsi(rtf), defaults);
    RtfReader r(rtf, defaults);
    TRichText t = r.Read();
    return t;
}

// ---------------------------------------------------------------------------
// Writer
// ---------------------------------------------------------------------------

namespace {
QByteArray EscapeText(const QString& s) {
    QByteArray out;
    for (QChar ch : s) {
        const char16_t u = ch.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\n') {
            out += "\\par\r\n";
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else if (u < 0x20) {
            // Other control characters have no place in the text.
        } else if (IsAnsiRepresentable(QString(ch))) {
            out += "\\'" + EncodeAnsi(QString(ch)).toHex();
        } else {
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
    return out;
}
}  // namespace

QByteArray WriteRtf(const TRichText& text) {
    const QList<TTextRun> runs = text.Runs();
    QStringList fonts;
    QList<TColor> colours;
    for (const TTextRun& r : runs) {
        if (!fonts.contains(r.Format.Name)) fonts << r.Format.Name;
        if (r.Format.Color == clWindowText) continue;  // the automatic colour
        const TColor c = ColorToRGB(r.Format.Color);
        if (!colours.contains(c)) colours << c;
    }
    if (fonts.isEmpty()) fonts << TCharFormat().Name;

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
    for (int i = 0; i < fonts.size(); ++i)
        out += "{\\f" + QByteArray::number(i) + "\\fnil " + EscapeText(fonts[i]) + ";}";
    out += "}\r\n{\\colortbl ;";
    for (TColor c : colours)
        out += "\\red" + QByteArray::number(GetRValue(c)) + "\\green" + QByteArray::number(GetGValue(c)) + "\\blue" +
               QByteArray::number(GetBValue(c)) + ";";
    out += "}\r\n\\viewkind4\\uc1\\pard";

    // Each run states its whole format, so no run depends on the one before.
    for (const TTextRun& r : runs) {
        const TCharFormat& f = r.Format;
        out += "\\plain\\f" + QByteArray::number(fonts.indexOf(f.Name)) + "\\fs" + QByteArray::number(f.Size * 2);
        out += "\\cf" + QByteArray::number(f.Color == clWindowText ? 0 : colours.indexOf(ColorToRGB(f.Color)) + 1);
        if (f.Style & fsBold) out += "\\b";
        if (f.Style & fsItalic) out += "\\i";
        if (f.Style & fsUnderline) out += "\\ul";
        if (f.Style & fsStrikeOut) out += "\\strike";
        // The offset goes in half-points; twips round to the nearest.
        if (f.Offset > 0) out += "\\up" + QByteArray::number((f.Offset + 5) / 10);
        else if (f.Offset < 0) out += "\\dn" + QByteArray::number((-f.Offset + 5) / 10);
        out += ' ';
        out += EscapeText(r.Text);
    }
    out += "\\par\r\n}\r\n";
    return out;
}
