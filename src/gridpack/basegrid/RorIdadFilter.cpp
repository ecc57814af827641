// Filter expressions of RorIdad: the column filter and the find operation
// of the string grid decide with them whether a value matches.
#include "gridpack/basegrid/RorIdad.h"

#include "platform/core/FloatConv.h"
#include "platform/core/StrUtils.h"

#include <QStringView>

#include <unordered_map>
#include <vector>

namespace {
constexpr int MaxCompareLength = 255;
const QChar Quote = QLatin1Char('"');

enum class Combine { None, And, Or, Group };

Combine CombineFor(QChar op)
{
    if (op == QLatin1Char('&'))
        return Combine::And;
    if (op == QLatin1Char('(') || op.unicode() == 0)
        return Combine::Group;
    return Combine::Or;
}

bool Apply(Combine how, bool result, bool r)
{
    switch (how) {
    case Combine::None: return r;
    case Combine::And: return result && r;
    case Combine::Or: return result || r;
    case Combine::Group: return result;
    }
    return result;
}

// The value a comparison operator compares with: after the operator and an
// optional "=", blanks skipped, up to a blank, "&" or "|" outside quotes; a
// leading double quote is not taken and a trailing one dropped. A blank
// inside quotes belongs to the value. At most 255 characters count.
QString ComparisonValue(QStringView cond, qsizetype opPos, bool& orEqual)
{
    qsizetype p = opPos + 1;
    orEqual = p < cond.size() && cond[p] == QLatin1Char('=');
    if (orEqual)
        ++p;
    while (p < cond.size() && cond[p] == QLatin1Char(' '))
        ++p;
    QString comp;
    bool inQuote = false;
    bool first = true;
    for (; p < cond.size(); ++p) {
        const QChar c = cond[p];
        if (c == Quote) {
            inQuote = !inQuote;
            if (!first)
                comp += c;
            first = false;
            continue;
        }
        first = false;
        if (!inQuote && (c == QLatin1Char(' ') || c == QLatin1Char('&') || c == QLatin1Char('|')))
            break;
        comp += c;
    }
    if (comp.endsWith(Quote))
        comp.chop(1);
    return comp.left(MaxCompareLength);
}

// A cell value as a number: separators normalised, read with "." as the
// decimal point, and not a date.
bool AsNumber(const QString& s, double& v)
{
    static const TFormatSettings dotSettings = [] {
        TFormatSettings fs = TFormatSettings::Defaults();
        fs.DecimalSeparator = QLatin1Char('.');
        return fs;
    }();
    TDateTime dt;
    return TryStrToFloat(StripNumberSeparators(s), v, dotSettings) && !ParseDateTimeText(s, dt);
}

// Negative, zero or positive as the value lies before, on or after the
// comparison value: as numbers when both are, else as dates when both are,
// else as texts.
int CompareForFilter(const QString& value, const QString& comp)
{
    double nv = 0, nc = 0;
    if (AsNumber(value, nv) && AsNumber(comp, nc))
        return nv < nc ? -1 : (nv > nc ? 1 : 0);
    TDateTime dv = 0, dc = 0;
    if (ParseDateTimeText(value, dv) && ParseDateTimeText(comp, dc))
        return dv < dc ? -1 : (dv > dc ? 1 : 0);
    return CompareStr(value.left(MaxCompareLength), comp.left(MaxCompareLength));
}

// One condition against one value. A "*" tries the rest of the condition
// against every suffix of the value; both results are kept per (condition
// position, value position), so a pattern with many stars stays polynomial
// and gives the same answer as the plain search.
class ConditionMatcher {
public:
    ConditionMatcher(const QString& cond, const QString& value) : FCond(cond), FValue(value) {}
    bool Match(qsizetype pi, qsizetype vi);

private:
    bool AnySuffix(qsizetype pi, qsizetype vi);
    bool Wildcard(qsizetype pi, qsizetype vi);
    uint64_t Key(qsizetype pi, qsizetype vi) const { return (uint64_t(pi) << 32) | uint64_t(vi); }

    QStringView FCond;
    QStringView FValue;
    std::unordered_map<uint64_t, bool> FMatchMemo;
    std::unordered_map<uint64_t, bool> FSuffixMemo;
};

bool ConditionMatcher::Match(qsizetype pi, qsizetype vi)
{
    const uint64_t key = Key(pi, vi);
    if (auto it = FMatchMemo.find(key); it != FMatchMemo.end())
        return it->second;

    const QStringView cond = FCond.mid(pi);
    const QString value = FValue.mid(vi).toString();
    bool greater = true, less = true, hasGreater = false, hasLess = false;
    const qsizetype gt = cond.indexOf(QLatin1Char('>'));
    const qsizetype lt = cond.indexOf(QLatin1Char('<'));
    if (gt >= 0) {
        bool orEqual = false;
        const QString comp = ComparisonValue(cond, gt, orEqual);
        const int c = CompareForFilter(value, comp);
        greater = orEqual ? c >= 0 : c > 0;
        hasGreater = true;
    }
    if (lt >= 0) {
        bool orEqual = false;
        const QString comp = ComparisonValue(cond, lt, orEqual);
        const int c = CompareForFilter(value, comp);
        less = orEqual ? c <= 0 : c < 0;
        hasLess = true;
    }
    if (cond.contains(QLatin1Char('!'))) {
        if (gt < 0)
            hasGreater = true;
        if (lt < 0)
            hasLess = true;
    }

    bool result;
    if (cond.contains(QLatin1Char('^')) && (hasGreater || hasLess))
        result = less || greater;
    else if (cond.contains(QLatin1Char('&')) && hasGreater && hasLess)
        result = less && greater;
    else if ((gt >= 0 && greater) || (lt >= 0 && less))
        result = true;
    else
        result = Wildcard(pi, vi);
    FMatchMemo[key] = result;
    return result;
}

bool ConditionMatcher::Wildcard(qsizetype p, qsizetype v)
{
    const qsizetype pn = FCond.size();
    const qsizetype vn = FValue.size();
    bool negate = false;
    bool failed = false;
    bool matched = false;
    while (!failed && !matched && !(p == pn && v == vn)) {
        const QChar c = p < pn ? FCond[p] : QChar(0);
        if (p < pn && c == QLatin1Char('!')) {
            negate = true;
            ++p;
        } else if (p < pn && c == Quote) {
            ++p;
        } else if (p < pn && c == QLatin1Char('*')) {
            while (p < pn && FCond[p] == QLatin1Char('*'))
                ++p;
            if (AnySuffix(p, v))
                matched = true;
            else
                failed = true;
        } else if (p < pn && c == QLatin1Char('?')) {
            if (v >= vn) {
                failed = true;
            } else {
                ++p;
                ++v;
            }
        } else if (p >= pn || v >= vn || c != FValue[v]) {
            failed = true;
        } else {
            ++p;
            ++v;
        }
    }
    const bool result = !failed;
    return negate ? !result : result;
}

bool ConditionMatcher::AnySuffix(qsizetype pi, qsizetype vi)
{
    // Walk the suffixes until one matches or one whose answer is known.
    std::vector<bool> seen;
    bool tail = false;
    for (qsizetype k = vi; k <= FValue.size(); ++k) {
        if (auto it = FSuffixMemo.find(Key(pi, k)); it != FSuffixMemo.end()) {
            tail = it->second;
            break;
        }
        const bool m = Match(pi, k);
        seen.push_back(m);
        if (m) {
            tail = true;
            break;
        }
    }
    bool acc = tail;
    for (qsizetype j = qsizetype(seen.size()) - 1; j >= 0; --j) {
        acc = acc || seen[size_t(j)];
        FSuffixMemo[Key(pi, vi + j)] = acc;
    }
    return acc;
}
} // namespace

bool MatchCondition(const QString& Condition, const QString& Value)
{
    ConditionMatcher m(Condition, Value);
    return m.Match(0, 0);
}

bool MatchFilterCondition(const QString& Condition, const QString& Value, bool CaseSensitive)
{
    if (CaseSensitive)
        return MatchCondition(Condition, Value);
    return MatchCondition(AnsiUpperCase(Condition), AnsiUpperCase(Value));
}

bool MatchFilterExpression(const QString& Expression, const QString& Value, bool CaseSensitive)
{
    QString expr = StripBlanksOutsideQuotes(Trim(Expression));
    if (expr.startsWith(QLatin1Char('=')))
        expr.remove(0, 1);
    bool result = true;
    Combine previous = Combine::None;
    static const QString operators = QStringLiteral("(;^&|");
    for (;;) {
        int pos = -1;
        const QChar op = FindOperatorOutsideQuotes(operators, expr, pos);
        if (pos < 0)
            break;
        bool r;
        if (expr.startsWith(QLatin1Char('('))) {
            const int close = FindClosingParen(expr);
            if (close == 0) {
                // An unmatched "(" takes the rest of the expression as its
                // group.
                r = MatchFilterExpression(expr.mid(1), Value, CaseSensitive);
                expr.clear();
            } else {
                r = MatchFilterExpression(expr.mid(1, close - 2), Value, CaseSensitive);
                expr.remove(0, close);
            }
            result = Apply(previous, result, r);
            previous = Combine::Group;
            continue;
        }
        r = MatchFilterCondition(expr.left(pos - 1), Value, CaseSensitive);
        expr.remove(0, pos);
        result = Apply(previous, result, r);
        previous = CombineFor(op);
    }
    return Apply(previous, result, MatchFilterCondition(expr, Value, CaseSensitive));
}

QChar FindOperatorOutsideQuotes(const QString& Operators, const QString& Text, int& Position)
{
    int quotes = 0;
    for (int i = 0; i < Text.size(); ++i) {
        const QChar c = Text[i];
        if (c == Quote)
            ++quotes;
        if (quotes % 2 == 0 && Operators.contains(c)) {
            Position = i + 1;
            return c;
        }
    }
    Position = -1;
    return QChar(0);
}

bool CharInList(QChar Ch, const QString& List) { return List.contains(Ch); }

QString StripBlanksOutsideQuotes(const QString& Text)
{
    QString r;
    r.reserve(Text.size());
    int quotes = 0;
    for (QChar c : Text) {
        if (c == Quote)
            ++quotes;
        if (c == QLatin1Char(' ') && quotes % 2 == 0)
            continue;
        r += c;
    }
    return r;
}

int FindClosingParen(const QString& Text)
{
    int open = 0, close = 0;
    for (int i = 0; i < Text.size(); ++i) {
        if (Text[i] == QLatin1Char('('))
            ++open;
        else if (Text[i] == QLatin1Char(')')) {
            ++close;
            if (close == open)
                return i + 1;
        }
    }
    return 0;
}
