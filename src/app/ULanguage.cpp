#include "app/ULanguage.h"

#include "app/DefaultTexts.h"
#include "app/UComon.h"
#include "platform/core/CodePages.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"

#include <QStringDecoder>

namespace {

const QChar Pilcrow(0x00B6);
const QString Comment_Mark = QStringLiteral("/#/");

// Blanks and control characters (everything up to the blank) removed at both
// ends, as language lines and their texts are trimmed.
QString TrimBlanks(const QString& s)
{
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && s.at(last - 1).unicode() <= 0x20)
        --last;
    return s.mid(first, last - first);
}

// The number of a line: characters 4 to p - 2 (1-based), p being the first
// "=", so the character just before "=" is never part of it.
bool LineNumber(const QString& line, qsizetype eq, int& number)
{
    const qsizetype count = eq - 4; // 0-based: from index 3 up to eq - 2
    if (count <= 0)
        return false;
    return TryStrToInt(TrimBlanks(line.mid(3, count)), number);
}

} // namespace

void Load_Default_Texts()
{
    Texts.clear();
    Texts.reserve(Texts_Size);
    for (int i = 0; i < Texts_Size; ++i)
        Texts.append(QStringLiteral(" "));
    for (const TDefaultText& t : Default_Texts)
        Texts[t.Number] = QString::fromUtf16(t.Text);
    Texts_Count = Texts_Size;
}

bool Apply_Lng_Line(const QString& rawLine)
{
    const QString line = TrimBlanks(rawLine);
    if (!line.startsWith(QLatin1String("STR")))
        return false;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    int number = -1;
    if (!LineNumber(line, eq, number) || number < 0 || number >= Texts_Count || number >= Texts.size())
        return false;

    QString text = TrimBlanks(line.mid(eq + 1));
    if (text.isEmpty())
        return false;
    // The comment goes first, so a comment mark between pilcrows still counts.
    const qsizetype comment = text.indexOf(Comment_Mark);
    if (comment >= 0) {
        text = TrimBlanks(text.left(comment));
        if (text.isEmpty())
            return false;
    }
    // A text between two pilcrows keeps its blanks; one or two pilcrows alone
    // give an empty entry.
    if (text.startsWith(Pilcrow))
        text.remove(0, 1);
    const qsizetype closing = text.indexOf(Pilcrow);
    if (closing >= 0)
        text.truncate(closing);

    Texts[number] = text;
    return true;
}

void Apply_Lng_Text(const QString& text)
{
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start <= n) {
        qsizetype end = start;
        while (end < n && text.at(end) != QLatin1Char('\r') && text.at(end) != QLatin1Char('\n'))
            ++end;
        Apply_Lng_Line(text.mid(start, end - start));
        if (end >= n)
            break;
        // CR LF is one line end; a lone CR or LF is one too.
        if (text.at(end) == QLatin1Char('\r') && end + 1 < n && text.at(end + 1) == QLatin1Char('\n'))
            ++end;
        start = end + 1;
    }
}

QString Decode_Lng_Bytes(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const auto enc = bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
        QStringDecoder decoder(enc);
        return decoder.decode(bytes.mid(2));
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return DecodeAnsi(bytes);
}

void Apply_Lng_Bytes(const QByteArray& bytes)
{
    Apply_Lng_Text(Decode_Lng_Bytes(bytes));
}

bool Load_Lng_File(const QString& path)
{
    QByteArray bytes;
    try {
        bytes = ReadFileWhole(path);
    } catch (const Exception&) {
        // A file that exists but cannot be read keeps the texts loaded so far.
        return false;
    }
    Apply_Lng_Bytes(bytes);
    return true;
}

void Load_Language()
{
    Load_Default_Texts();
    const QString english = QStringLiteral("English");
    if (Is_Plain_File_Name(Language)) {
        const QString path = PathJoin(Dir_Language, Language + QStringLiteral(".lng"));
        if (FileExists(path)) {
            Load_Lng_File(path);
            return;
        }
    }
    Language = english;
    const QString path = PathJoin(Dir_Language, english + QStringLiteral(".lng"));
    if (FileExists(path))
        Load_Lng_File(path);
}
