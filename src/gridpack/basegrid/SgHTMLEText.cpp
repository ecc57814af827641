// The mark-up's colours and the operations that read and change mark-up
// texts without drawing them.
#include "gridpack/basegrid/SgHTMLE.h"
#include "gridpack/basegrid/SgHTMLEMarkup.h"

#include <array>
#include <utility>

using namespace SgHTMLE;

namespace SgHTMLE {

QString UpperKeep(const QString& s) {
    QString r = s;
    for (QChar& c : r) c = c.toUpper();
    return r;
}

QString LowerKeep(const QString& s) {
    QString r = s;
    for (QChar& c : r) c = c.toLower();
    return r;
}

int LeadingNumber(const QString& s, bool* hadDigit) {
    int64_t v = 0;
    qsizetype i = 0;
    for (; i < s.size() && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9'); ++i)
        if (v < 0x7FFFFFFF) v = std::min<int64_t>(v * 10 + (s[i].unicode() - '0'), 0x7FFFFFFF);
    if (hadDigit) *hadDigit = i > 0;
    return int(v);
}

QString QuotedAfter(const QString& s, qsizetype from) {
    const qsizetype q1 = s.indexOf(QLatin1Char('"'), from);
    if (q1 < 0) return QString();
    const qsizetype q2 = s.indexOf(QLatin1Char('"'), q1 + 1);
    if (q2 < 0) return QString();
    return s.mid(q1 + 1, q2 - q1 - 1);
}

QString AttrValue(const QString& s, const QString& upper, const QString& name) {
    const qsizetype at = upper.indexOf(name);
    if (at < 0) return QString();
    return QuotedAfter(s, at + name.size());
}

QString ReplaceAllNoCase(const QString& s, const QString& what, const QString& with) {
    QString r = s;
    r.replace(what, with, Qt::CaseInsensitive);
    return r;
}

} // namespace SgHTMLE

// --- colours -------------------------------------------------------------------

namespace {

struct TNamedColor {
    const char* Name;
    uint32_t Value;
};

constexpr std::array<TNamedColor, 40> kColorNames{{
    {"clred", 0x000000FF},          {"clblack", 0x00000000},        {"clblue", 0x00FF0000},
    {"clgreen", 0x00008000},        {"claqua", 0x00FFFF00},         {"clyellow", 0x0000FFFF},
    {"clfuchsia", 0x00FF00FF},      {"clwhite", 0x00FFFFFF},        {"cllime", 0x0000FF00},
    {"clsilver", 0x00C0C0C0},       {"clgray", 0x00808080},         {"clolive", 0x00008080},
    {"clnavy", 0x00800000},         {"clpurple", 0x00800080},       {"clteal", 0x00808000},
    {"clmaroon", 0x00000080},       {"clbackground", 0xFF000001},   {"clactivecaption", 0xFF000002},
    {"clinactivecaption", 0xFF000003}, {"clmenu", 0xFF000004},      {"clwindow", 0xFF000005},
    {"clwindowframe", 0xFF000006},  {"clmenutext", 0xFF000007},     {"clwindowtext", 0xFF000008},
    {"clcaptiontext", 0xFF000009},  {"clactiveborder", 0xFF00000A}, {"clinactiveborder", 0xFF00000B},
    {"clappworkspace", 0xFF00000C}, {"clhighlight", 0xFF00000D},    {"clhighlighttext", 0xFF00000E},
    {"clbtnface", 0xFF00000F},      {"clbtnshadow", 0xFF000010},    {"clgraytext", 0xFF000011},
    {"clbtntext", 0xFF000012},      {"clinactivecaptiontext", 0xFF000013}, {"clbtnhighlight", 0xFF000014},
    {"cl3ddkshadow", 0xFF000015},   {"cl3dlight", 0xFF000016},      {"clinfotext", 0xFF000017},
    {"clinfobk", 0xFF000018},
}};

TColor GHighlightBack = clHighlight;
TColor GHighlightText = clHighlightText;

} // namespace

TColor ColorFromName(const QString& name) {
    const QString lower = LowerKeep(name);
    for (const TNamedColor& c : kColorNames)
        if (lower == QLatin1String(c.Name)) return TColor(c.Value);
    return clBlack;
}

int HexPairValue(const QString& s, int index) {
    auto digit = [&](int i) {
        if (i < 0 || i >= s.size()) return 0;
        const char16_t c = s[i].unicode();
        if (c >= '0' && c <= '9') return int(c - '0');
        if (c >= 'A' && c <= 'F') return int(c - 'A' + 10);
        return 0;
    };
    return digit(index) * 16 + digit(index + 1);
}

TColor ColorFromHex(const QString& value) {
    // "#RRGGBB": the pairs stand at characters 2-3, 4-5 and 6-7.
    return RGB(HexPairValue(value, 1), HexPairValue(value, 3), HexPairValue(value, 5));
}

void SetHighlightColors(TColor background, TColor text) {
    GHighlightBack = background;
    GHighlightText = text;
}
TColor HighlightBackgroundColor() { return GHighlightBack; }
TColor HighlightTextColor() { return GHighlightText; }

// --- plain text and positions --------------------------------------------------------

QString StripMarkup(const QString& s) {
    // Line-break tags and tags all start with "<": a text without one is
    // handed back as it is (most cells; sums read every cell this way).
    if (!s.contains(QLatin1Char('<'))) return s;
    QString t = s;
    for (const QLatin1String tag : {QLatin1String("<BR>"), QLatin1String("<HR>")}) {
        qsizetype at;
        while ((at = UpperKeep(t).indexOf(tag)) >= 0) t.replace(at, 4, QStringLiteral("\r\n"));
    }
    QString out;
    out.reserve(t.size());
    qsizetype i = 0;
    while (i < t.size()) {
        const qsizetype lt = t.indexOf(QLatin1Char('<'), i);
        if (lt < 0) {
            out += QStringView(t).mid(i);
            break;
        }
        out += QStringView(t).mid(i, lt - i);
        const qsizetype gt = t.indexOf(QLatin1Char('>'), lt);
        if (gt < 0) {
            out += QStringView(t).mid(lt);
            break;
        }
        i = gt + 1;
    }
    return out;
}

QString VisibleText(const QString& s) {
    QString out;
    out.reserve(s.size());
    qsizetype i = 0;
    while (true) {
        const qsizetype lt = s.indexOf(QLatin1Char('<'), i);
        const qsizetype gt = s.indexOf(QLatin1Char('>'), i);
        if (lt < 0 || gt < lt) {
            out += QStringView(s).mid(i);
            break;
        }
        out += QStringView(s).mid(i, lt - i);
        i = gt + 1;
    }
    return out;
}

int MarkupPosition(const QString& s, int n) {
    int counted = 0;
    bool inTag = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (counted == n - 1) return int(i) + 1;
        const QChar c = s[i];
        if (inTag) {
            if (c == QLatin1Char('>')) inTag = false;
        } else if (c == QLatin1Char('<')) {
            inTag = true;
        } else {
            ++counted;
        }
    }
    return counted == n - 1 ? int(s.size()) + 1 : 0;
}

int FindFrom(const QString& search, const QString& text, int skip, bool matchCase) {
    if (search.isEmpty()) return 0;
    skip = std::max(skip, 0);
    const qsizetype at = matchCase ? text.indexOf(search, skip) : UpperKeep(text).indexOf(UpperKeep(search), skip);
    return at < 0 ? 0 : int(at) + 1;
}

QString TagMatches(const QString& markup, const QString& search, const QString& tag, bool matchCase) {
    QString s = markup;
    QString what = search;
    QString visible = VisibleText(s);
    // Brackets that are not tags: the whole text is taken as plain text, its
    // brackets escaped, so the inserted tags are the only ones.
    if (s.contains(what) && (visible.contains(QLatin1Char('<')) || visible.contains(QLatin1Char('>')))) {
        auto escape = [](QString t) {
            t.replace(QLatin1Char('<'), QLatin1String("&lt;"));
            t.replace(QLatin1Char('>'), QLatin1String("&gt;"));
            return t;
        };
        s = escape(visible);
        what = escape(what);
        visible = VisibleText(s);
    }
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    const QString close = QLatin1String("</") + tag + QLatin1Char('>');
    int start = 0;
    int found;
    while ((found = FindFrom(what, visible, start, matchCase)) > 0) {
        // A match right after the previous one opens after that one's
        // closing tag, so the two pairs stay nested properly.
        qsizetype at = MarkupPosition(s, found) - 1;
        if (QStringView(s).mid(at).startsWith(close, Qt::CaseInsensitive)) at += close.size();
        s.insert(at, open);
        s.insert(MarkupPosition(s, found + int(what.size())) - 1, close);
        start = found - 1 + int(what.size());
    }
    return s;
}

QString UntagAll(const QString& markup, const QString& tag) {
    QString s = markup;
    const QString name = UpperKeep(tag);
    for (const QString& t : {QLatin1Char('<') + name + QLatin1Char('>'), QLatin1String("</") + name + QLatin1Char('>')}) {
        qsizetype at;
        while ((at = UpperKeep(s).indexOf(t)) >= 0) s.remove(at, t.size());
    }
    s.replace(QLatin1String("&lt;"), QLatin1String("<"));
    s.replace(QLatin1String("&gt;"), QLatin1String(">"));
    return s;
}

// --- entities -------------------------------------------------------------------------

namespace {

struct TEntity {
    char16_t Char;
    const char* Name; // without "&" and ";"
};

constexpr std::array<TEntity, 4> kBasicEntities{{{u'<', "lt"}, {u'>', "gt"}, {u'&', "amp"}, {u'"', "quot"}}};

constexpr std::array<TEntity, 51> kCharTable{{
    {u'é', "eacute"}, {u'è', "egrave"}, {u'ë', "euml"}, {u'ê', "ecirc"},  {u'ó', "oacute"}, {u'ò', "ograve"},
    {u'ö', "ouml"},   {u'ô', "ocirc"},  {u'í', "iacute"}, {u'ì', "igrave"}, {u'ï', "iuml"},  {u'î', "icirc"},
    {u'ú', "uacute"}, {u'ù', "ugrave"}, {u'ü', "uuml"},  {u'û', "ucirc"},  {u'á', "aacute"}, {u'à', "agrave"},
    {u'ä', "auml"},   {u'â', "acirc"},  {u'É', "Eacute"}, {u'È', "Egrave"}, {u'Ë', "Euml"},  {u'Ê', "Ecirc"},
    {u'Ó', "Oacute"}, {u'Ò', "Ograve"}, {u'Ö', "Ouml"},  {u'Ô', "Ocirc"},  {u'Í', "Iacute"}, {u'Ì', "Igrave"},
    {u'Ï', "Iuml"},   {u'Î', "Icirc"},  {u'Ú', "Uacute"}, {u'Ù', "Ugrave"}, {u'Ü', "Uuml"},  {u'Û', "Ucirc"},
    {u'Á', "Aacute"}, {u'À', "Agrave"}, {u'Ä', "Auml"},  {u'Â', "Acirc"},  {u'ç', "ccedil"}, {u'Ç', "Ccedil"},
    {u'ø', "oslash"}, {u'Ø', "Oslash"}, {u'å', "aring"}, {u'Å', "Aring"},  {u'©', "copy"},   {u'®', "reg"},
    {u'€', "euro"},   {u'«', "laquo"},  {u'»', "raquo"},
}};

// The entity at s[i] ("&" name ";", exact case) from the list; its character
// and length, or 0.
template <size_t N>
int MatchEntity(const QString& s, qsizetype i, const std::array<TEntity, N>& list, char16_t& ch) {
    for (const TEntity& e : list) {
        const QLatin1String name(e.Name);
        const qsizetype len = name.size() + 2;
        if (i + len > s.size() || s[i + len - 1] != QLatin1Char(';')) continue;
        if (QStringView(s).mid(i + 1, name.size()) == name) {
            ch = e.Char;
            return int(len);
        }
    }
    return 0;
}

} // namespace

QString DecodeEntities(const QString& s, bool useTable) {
    if (!s.contains(QLatin1Char('&'))) return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('&')) {
            char16_t ch = 0;
            int len = MatchEntity(s, i, kBasicEntities, ch);
            if (!len && useTable) len = MatchEntity(s, i, kCharTable, ch);
            if (len) {
                out += QChar(ch);
                i += len - 1;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

QString EncodeEntities(const QString& s, bool useTable) {
    QString out;
    out.reserve(s.size() + s.size() / 4);
    for (const QChar c : s) {
        const char* name = nullptr;
        for (const TEntity& e : kBasicEntities)
            if (c.unicode() == e.Char) name = e.Name;
        if (!name && useTable)
            for (const TEntity& e : kCharTable)
                if (c.unicode() == e.Char) name = e.Name;
        if (name) out += QLatin1Char('&') + QLatin1String(name) + QLatin1Char(';');
        else out += c;
    }
    return out;
}

QString SpacesToNbsp(const QString& s) {
    QString r = s;
    r.replace(QLatin1Char(' '), QLatin1String("&nbsp;"));
    return r;
}

// --- CONTROL tags -------------------------------------------------------------------------

TControlTag ParseControlTag(const QString& tagText) {
    const QString upper = UpperKeep(tagText);
    TControlTag t;
    t.Type = UpperKeep(AttrValue(tagText, upper, QStringLiteral("TYPE=")));
    t.ID = AttrValue(tagText, upper, QStringLiteral("ID="));
    t.Value = DecodeEntities(AttrValue(tagText, upper, QStringLiteral("VALUE=")), true);
    t.Width = AttrValue(tagText, upper, QStringLiteral("WIDTH="));
    t.Height = AttrValue(tagText, upper, QStringLiteral("HEIGHT="));
    t.Prop = DecodeEntities(AttrValue(tagText, upper, QStringLiteral("PROP=")), true);
    t.MaxLen = AttrValue(tagText, upper, QStringLiteral("MAXLEN="));
    return t;
}

namespace {

// One "<CONTROL " tag: the 0-based position of its "<", the end just past
// its ">" (or the text's end), and its attributes.
struct TControlSpan {
    qsizetype Start = 0;
    qsizetype End = 0;
    TControlTag Tag;
};

const QLatin1String kControlOpen("<CONTROL ");

std::vector<TControlSpan> ControlTags(const QString& s) {
    std::vector<TControlSpan> tags;
    const QString upper = UpperKeep(s);
    qsizetype from = 0, at;
    while ((at = upper.indexOf(kControlOpen, from)) >= 0) {
        const qsizetype body = at + kControlOpen.size();
        const qsizetype gt = s.indexOf(QLatin1Char('>'), body);
        TControlSpan span;
        span.Start = at;
        span.End = gt < 0 ? s.size() : gt + 1;
        span.Tag = ParseControlTag(s.mid(body, span.End - body));
        tags.push_back(span);
        from = span.End;
    }
    return tags;
}

} // namespace

bool HasControlTag(const QString& s) { return UpperKeep(s).contains(QLatin1String("<CONTROL")); }

QString NextEditableControlID(const QString& s, const QString& id) {
    bool found = id.isEmpty();
    for (const TControlSpan& c : ControlTags(s)) {
        const QString& type = c.Tag.Type;
        if (found && type != QLatin1String("BUTTON") && type != QLatin1String("CHECK") && type != QLatin1String("RADIO"))
            return c.Tag.ID;
        if (c.Tag.ID == id) found = true;
    }
    return QString();
}

bool GetControlValue(const QString& s, const QString& id, QString& value) {
    for (const TControlSpan& c : ControlTags(s))
        if (c.Tag.ID == id) {
            value = c.Tag.Value;
            return true;
        }
    value.clear();
    return false;
}

QString GetControlProp(const QString& s, const QString& id) {
    for (const TControlSpan& c : ControlTags(s))
        if (c.Tag.ID == id) return c.Tag.Prop;
    return QString();
}

int GetControlMaxLen(const QString& s, const QString& id) {
    for (const TControlSpan& c : ControlTags(s))
        if (c.Tag.ID == id) return LeadingNumber(c.Tag.MaxLen);
    return 0;
}

bool SetControlValue(QString& s, const QString& id, const QString& value) {
    for (const TControlSpan& c : ControlTags(s)) {
        if (c.Tag.ID != id) continue;
        auto attr = [](const char* name, const QString& v) {
            return QLatin1Char(' ') + QLatin1String(name) + QLatin1String("=\"") + v + QLatin1Char('"');
        };
        QString tag = QStringLiteral("CONTROL ID=\"") + c.Tag.ID + QLatin1Char('"') +
                      attr("VALUE", EncodeEntities(value, true)) + attr("WIDTH", c.Tag.Width) +
                      attr("TYPE", c.Tag.Type);
        if (!c.Tag.Height.isEmpty()) tag += attr("HEIGHT", c.Tag.Height);
        if (!c.Tag.Prop.isEmpty()) tag += attr("PROP", EncodeEntities(c.Tag.Prop, true));
        if (!c.Tag.MaxLen.isEmpty()) tag += attr("MAXLEN", c.Tag.MaxLen);
        tag += QLatin1Char('>');
        s = s.left(c.Start + 1) + tag + s.mid(c.End);
        return true;
    }
    return false;
}

QString ClearRadioControls(const QString& s) {
    QStringList ids;
    for (const TControlSpan& c : ControlTags(s))
        if (c.Tag.Type == QLatin1String("RADIO")) ids << c.Tag.ID;
    QString r = s;
    for (const QString& id : ids) SetControlValue(r, id, QStringLiteral("FALSE"));
    return r;
}
