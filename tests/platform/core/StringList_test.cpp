#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/StringList.h"
#include "platform/core/Streams.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
QStringList lines(const TStrings& s)
{
    QStringList r;
    for (int i = 0; i < s.Count(); ++i)
        r << s[i];
    return r;
}

void fill(TStrings& s, const QStringList& items)
{
    for (const QString& i : items)
        s.Add(i);
}

QString U(const char* s) { return QString::fromUtf8(s); }

template <class E>
QString messageOf(const std::function<void()>& op)
{
    try {
        op();
    } catch (const E& e) {
        return e.Message();
    }
    return QStringLiteral("<no exception>");
}
} // namespace

TEST(TStringList, SortedListsAndDuplicates)
{
    const struct { TDuplicates dup; QStringList want; const char* error; } cases[] = {
        {dupIgnore, {"A", "b", "c"}, nullptr},
        // An equal string goes before the first of its equals.
        {dupAccept, {"a", "A", "b", "c"}, nullptr},
        {dupError, {"A", "b", "c"}, "String list does not allow duplicates"},
    };
    for (const auto& c : cases) {
        TStringList l;
        l.SetSorted(true);
        l.SetDuplicates(c.dup);
        QString error;
        for (const char* s : {"b", "A", "c", "a"}) {
            try {
                l.Add(QString::fromLatin1(s));
            } catch (const EStringListError& e) {
                error = e.Message();
            }
        }
        EXPECT_EQ(lines(l), c.want) << int(c.dup);
        EXPECT_EQ(error, c.error ? QString::fromLatin1(c.error) : QString()) << int(c.dup);
    }
}

TEST(TStringList, AddReturnsTheSortedPlace)
{
    TStringList l;
    l.SetSorted(true);
    EXPECT_EQ(l.Add(U("m")), 0);
    EXPECT_EQ(l.Add(U("z")), 1);
    EXPECT_EQ(l.Add(U("a")), 0);
    EXPECT_EQ(l.Add(U("M")), 1); // already there without case: ignored, its index
    int index = -1;
    EXPECT_FALSE(l.Find(U("n"), index));
    EXPECT_EQ(index, 2);
    EXPECT_TRUE(l.Find(U("Z"), index));
    EXPECT_EQ(index, 2);
}

TEST(TStringList, CaseSensitivity)
{
    TStringList l;
    fill(l, {"Alpha", "beta"});
    EXPECT_EQ(l.IndexOf(U("ALPHA")), 0); // without case by default
    l.SetCaseSensitive(true);
    EXPECT_EQ(l.IndexOf(U("ALPHA")), -1);
    EXPECT_EQ(l.IndexOf(U("Alpha")), 0);

    // Switching the rule re-sorts a sorted list, so finding stays right.
    TStringList s;
    s.SetCaseSensitive(true);
    s.SetSorted(true);
    s.SetDuplicates(dupAccept);
    fill(s, {"b", "B", "a", "A"});
    EXPECT_EQ(lines(s), (QStringList{"a", "A", "b", "B"}));
    s.SetCaseSensitive(false);
    EXPECT_GE(s.IndexOf(U("B")), 2);
}

TEST(TStringList, RefusalsOnSortedListsAndBadIndexes)
{
    TStringList l;
    fill(l, {"x", "y"});
    EXPECT_EQ(messageOf<EStringListError>([&] { l.Get(2); }), U("List index out of bounds (2)"));
    EXPECT_EQ(messageOf<EListError>([&] { l.Delete(-1); }), U("List index out of bounds (-1)"));
    EXPECT_EQ(messageOf<EStringListError>([&] { l.Insert(3, U("z")); }), U("List index out of bounds (3)"));
    EXPECT_EQ(messageOf<EStringListError>([&] { l.Exchange(0, 9); }), U("List index out of bounds (9)"));
    l.SetSorted(true);
    EXPECT_EQ(messageOf<EStringListError>([&] { l.Insert(0, U("a")); }), U("Operation not allowed on sorted list"));
    EXPECT_EQ(messageOf<EStringListError>([&] { l.SetStrings(0, U("a")); }), U("Operation not allowed on sorted list"));
    EXPECT_EQ(messageOf<EStringListError>([&] { l.Move(0, 1); }), U("Operation not allowed on sorted list"));
    EXPECT_EQ(lines(l), (QStringList{"x", "y"}));
}

TEST(TStringList, TextSplitsAtAnyLineEnd)
{
    const struct { const char* text; QStringList want; } cases[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\n", {"a"}},
        {"\n", {""}},
        {"", {}},
        {"last", {"last"}},
    };
    for (const auto& c : cases) {
        TStringList l;
        l.SetText(U(c.text));
        EXPECT_EQ(lines(l), c.want) << c.text;
    }
    TStringList l;
    fill(l, {"a", "", "b"});
    EXPECT_EQ(l.Text(), U("a\r\n\r\nb\r\n"));
}

TEST(TStringList, CommaTextQuoting)
{
    TStringList l;
    fill(l, {"a", "b c", "d\"e", "", "f,g", "h\ti"});
    EXPECT_EQ(l.CommaText(), U("a,\"b c\",\"d\"\"e\",,\"f,g\",\"h\ti\""));

    TStringList one;
    one.Add(QString());
    EXPECT_EQ(one.CommaText(), U("\"\""));

    const struct { const char* text; QStringList want; } reads[] = {
        {"a, \"b c\" ,\"d\"\"e\",,x", {"a", "b c", "d\"e", "", "x"}},
        {"a,", {"a", ""}},
        {"a b", {"a", "b"}}, // blanks separate too
        {"  ", {}},
        {"\"open", {"open"}},
        {"\"\"", {""}},
        {",", {"", ""}},
    };
    for (const auto& c : reads) {
        TStringList r;
        r.SetCommaText(U(c.text));
        EXPECT_EQ(lines(r), c.want) << c.text;
    }
    // A NUL inside the text is a blank: it neither ends nor stalls the reading.
    TStringList nul;
    nul.SetCommaText(QStringLiteral("a,") + QChar(0) + QStringLiteral("b"));
    EXPECT_EQ(lines(nul), (QStringList{"a", "b"}));

    // What is written reads back the same.
    TStringList back;
    back.SetCommaText(l.CommaText());
    EXPECT_EQ(lines(back), lines(l));
}

TEST(TStringList, DelimitedTextWithStrictDelimiter)
{
    TStringList l;
    l.Delimiter = QLatin1Char(';');
    l.QuoteChar = QLatin1Char('\'');
    l.SetDelimitedText(U("a b;'c;d';e"));
    EXPECT_EQ(lines(l), (QStringList{"a", "b", "c;d", "e"}));
    l.StrictDelimiter = true;
    l.SetDelimitedText(U(" a b ;c"));
    EXPECT_EQ(lines(l), (QStringList{" a b ", "c"}));
    EXPECT_EQ(l.DelimitedText(), U(" a b ;c"));
    // Comma text keeps its own delimiter and quote whatever the list's are.
    EXPECT_EQ(l.CommaText(), U("\" a b \",c"));
    EXPECT_EQ(l.Delimiter, QLatin1Char(';'));
}

TEST(TStringList, NamesAndValues)
{
    TStringList l;
    fill(l, {"x=1", "Y=2=3", "noeq"});
    EXPECT_EQ(l.Values(U("y")), U("2=3"));
    EXPECT_EQ(l.Names(1), U("Y"));
    EXPECT_EQ(l.Names(2), QString());
    EXPECT_EQ(l.ValueFromIndex(2), QString());
    EXPECT_EQ(l.IndexOfName(U("X")), 0);
    l.SetValues(U("x"), U("5"));
    l.SetValues(U("z"), U("3"));
    l.SetValues(U("Y"), QString());
    EXPECT_EQ(lines(l), (QStringList{"x=5", "noeq", "z=3"}));

    TStringList s;
    s.SetSorted(true);
    fill(s, {"b=1", "a=2"});
    s.SetValues(U("b"), U("9"));
    EXPECT_EQ(lines(s), (QStringList{"a=2", "b=9"}));
}

TEST(TStringList, ChangeNoticesAndUpdateBrackets)
{
    TStringList l;
    int changing = 0, changed = 0;
    l.OnChanging = [&](TObject* sender) { EXPECT_EQ(sender, &l); ++changing; };
    l.OnChange = [&](TObject*) { ++changed; };
    l.Add(U("a"));
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(changed, 1);
    l.BeginUpdate();
    l.Add(U("b"));
    l.BeginUpdate();
    l.Delete(0);
    l.EndUpdate();
    EXPECT_EQ(changed, 1);
    l.EndUpdate();
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
    l.SetText(U("x\ny\nz"));
    EXPECT_EQ(changed, 3);
}

TEST(TStringList, LoadDetectsTheByteOrderMark)
{
    const struct { QByteArray bytes; QStringList want; TTextEncoding enc; } cases[] = {
        {QByteArray("\xEF\xBB\xBF\xC3\xA9\r\nb"), {U("é"), "b"}, teUTF8},
        {QByteArray("\xFF\xFE\xE9\x00\n\x00\x2C\x4E", 8), {U("é"), U("丬")}, teUTF16LE},
        {QByteArray("\xFE\xFF\x00\xE9\x00\r\x4E\x2C", 8), {U("é"), U("丬")}, teUTF16BE},
        {QByteArray("\xE9\x80\rz"), {U("é€"), "z"}, teDefault},
    };
    for (const auto& c : cases) {
        TMemoryStream m;
        m.WriteBuffer(c.bytes);
        m.SetPosition(0);
        TStringList l;
        l.LoadFromStream(&m);
        EXPECT_EQ(lines(l), c.want) << c.bytes.toHex().constData();
        EXPECT_EQ(l.Encoding(), c.enc) << c.bytes.toHex().constData();
    }
}

TEST(TStringList, SaveInTheRightEncodingWhole)
{
    QTemporaryDir dir;
    const QString path = PathJoin(dir.path(), U("list.txt"));
    TStringList l;
    fill(l, {U("é"), "b"});
    l.SaveToFile(path);
    EXPECT_EQ(ReadFileWhole(path), QByteArray("\xE9\r\nb\r\n"));
    // A character Windows-1252 lacks: UTF-8 with its mark, nothing lost.
    l.Add(U("中"));
    l.SaveToFile(path);
    EXPECT_EQ(ReadFileWhole(path), QByteArray("\xEF\xBB\xBF\xC3\xA9\r\nb\r\n\xE4\xB8\xAD\r\n"));
    l.SaveToFile(path, teAnsi);
    EXPECT_EQ(ReadFileWhole(path), QByteArray("\xE9\r\nb\r\n?\r\n"));

    // Read as UTF-16, written back as UTF-16.
    WriteFileWhole(path, QByteArray("\xFF\xFEx\x00", 4));
    TStringList w;
    w.LoadFromFile(path);
    w.SaveToFile(path);
    EXPECT_EQ(ReadFileWhole(path), QByteArray("\xFF\xFEx\x00\r\x00\n\x00", 8));
    EXPECT_FALSE(QFile::exists(path + U(".tmp")));
    EXPECT_THROW(w.LoadFromFile(PathJoin(dir.path(), U("missing.txt"))), EFOpenError);
}

TEST(TStringList, ObjectsSortingAndAssign)
{
    TStringList l;
    TObject a, b;
    l.AddObject(U("two"), &a);
    l.AddObject(U("one"), &b);
    l.AddObject(U("three"), nullptr);
    l.CustomSort([](TStringList* list, int i, int j) { return int(list->Get(i).size() - list->Get(j).size()); });
    EXPECT_EQ(lines(l), (QStringList{"two", "one", "three"})); // equal lengths keep their order
    l.Sort();
    EXPECT_EQ(lines(l), (QStringList{"one", "three", "two"}));
    EXPECT_EQ(l.Objects(0), &b);
    EXPECT_EQ(l.IndexOfObject(&a), 2);
    l.Move(2, 0);
    l.Exchange(1, 2);
    EXPECT_EQ(lines(l), (QStringList{"two", "three", "one"}));
    EXPECT_EQ(l.Objects(2), &b);

    TStringList copy;
    copy.Add(U("old"));
    copy.Assign(&l);
    EXPECT_EQ(lines(copy), lines(l));
    EXPECT_EQ(copy.Objects(0), &a);
    EXPECT_TRUE(copy.Equals(&l));

    TObject foreign;
    class TThing : public TPersistent {
        KAL_CLASS(TThing, TPersistent)
    } thing;
    EXPECT_EQ(messageOf<EConvertError>([&] { copy.Assign(&thing); }), U("Cannot assign a TThing to a TStringList"));
}

TEST(TStringList, OwnedObjectsAreFreed)
{
    static int alive = 0;
    struct TCounted : TObject {
        TCounted() { ++alive; }
        ~TCounted() override { --alive; }
    };
    {
        TStringList l;
        l.SetOwnsObjects(true);
        l.AddObject(U("a"), new TCounted);
        l.AddObject(U("b"), new TCounted);
        l.AddObject(U("c"), new TCounted);
        l.Move(0, 2); // moving keeps the object
        EXPECT_EQ(alive, 3);
        l.Delete(0);
        EXPECT_EQ(alive, 2);
    }
    EXPECT_EQ(alive, 0);
}
