#include "platform/core/StringList.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/StrUtils.h"
#include "platform/core/Streams.h"

#include <algorithm>
#include <numeric>

// --- TStrings ---------------------------------------------------------------

void TStrings::Error(const char* msg, int data) const
{
    const QString text = QString::fromLatin1(msg);
    throw EStringListError(text.contains(QLatin1String("%1")) ? text.arg(data) : text);
}

void TStrings::Put(int index, const QString& s)
{
    TObject* obj = GetObject(index);
    BeginUpdate();
    Delete(index);
    InsertObject(index, s, obj);
    EndUpdate();
}

void TStrings::InsertObject(int index, const QString& s, TObject* obj)
{
    Insert(index, s);
    PutObject(index, obj);
}

int TStrings::Add(const QString& s)
{
    const int r = GetCount();
    Insert(r, s);
    return r;
}

int TStrings::AddObject(const QString& s, TObject* obj)
{
    const int r = Add(s);
    PutObject(r, obj);
    return r;
}

void TStrings::AddStrings(const TStrings* strings)
{
    BeginUpdate();
    for (int i = 0; i < strings->Count(); ++i)
        AddObject(strings->Get(i), strings->GetObject(i));
    EndUpdate();
}

void TStrings::Exchange(int index1, int index2)
{
    BeginUpdate();
    const QString s1 = Get(index1), s2 = Get(index2);
    TObject* o1 = GetObject(index1);
    TObject* o2 = GetObject(index2);
    Put(index1, s2);
    PutObject(index1, o2);
    Put(index2, s1);
    PutObject(index2, o1);
    EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    BeginUpdate();
    const QString s = Get(curIndex);
    TObject* obj = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, obj);
    EndUpdate();
}

int TStrings::IndexOf(const QString& s) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (CompareStrings(Get(i), s) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfName(const QString& name) const
{
    for (int i = 0; i < GetCount(); ++i) {
        const QString s = Get(i);
        const qsizetype p = s.indexOf(NameValueSeparator);
        if (p >= 0 && CompareStrings(s.left(p), name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* obj) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (GetObject(i) == obj)
            return i;
    return -1;
}

bool TStrings::Equals(const TStrings* other) const
{
    if (other->Count() != Count())
        return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != other->Get(i))
            return false;
    return true;
}

QString TStrings::Names(int index) const
{
    const QString s = Get(index);
    const qsizetype p = s.indexOf(NameValueSeparator);
    return p >= 0 ? s.left(p) : QString();
}

QString TStrings::Values(const QString& name) const
{
    const int i = IndexOfName(name);
    return i >= 0 ? ValueFromIndex(i) : QString();
}

void TStrings::SetValues(const QString& name, const QString& value)
{
    const int i = IndexOfName(name);
    if (value.isEmpty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    const QString pair = name + NameValueSeparator + value;
    if (i >= 0 && KeepsOwnOrder()) {
        BeginUpdate();
        TObject* obj = GetObject(i);
        Delete(i);
        AddObject(pair, obj);
        EndUpdate();
    } else if (i >= 0) {
        Put(i, pair);
    } else {
        Add(pair);
    }
}

QString TStrings::ValueFromIndex(int index) const
{
    const QString s = Get(index);
    const qsizetype p = s.indexOf(NameValueSeparator);
    return p >= 0 ? s.mid(p + 1) : QString();
}

void TStrings::SetValueFromIndex(int index, const QString& value)
{
    if (value.isEmpty()) {
        Delete(index);
        return;
    }
    Put(index, Names(index) + NameValueSeparator + value);
}

QString TStrings::Text() const
{
    QString r;
    for (int i = 0; i < GetCount(); ++i) {
        r += Get(i);
        r += LineBreak;
    }
    return r;
}

void TStrings::SetText(const QString& text)
{
    BeginUpdate();
    Clear();
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        int start = i;
        while (i < n && text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n'))
            ++i;
        Add(text.mid(start, i - start));
        if (i < n && text[i] == QLatin1Char('\r'))
            ++i;
        if (i < n && text[i] == QLatin1Char('\n'))
            ++i;
    }
    EndUpdate();
}

QString TStrings::DelimitedText() const
{
    return joinDelimited(Delimiter, QuoteChar, StrictDelimiter);
}

void TStrings::SetDelimitedText(const QString& text)
{
    splitDelimited(text, Delimiter, QuoteChar, StrictDelimiter);
}

QString TStrings::CommaText() const
{
    return joinDelimited(QLatin1Char(','), QLatin1Char('"'), false);
}

void TStrings::SetCommaText(const QString& text)
{
    splitDelimited(text, QLatin1Char(','), QLatin1Char('"'), false);
}

QString TStrings::joinDelimited(QChar delim, QChar quote, bool strict) const
{
    if (GetCount() == 1 && Get(0).isEmpty())
        return QString(quote) + quote;
    QString r;
    for (int i = 0; i < GetCount(); ++i) {
        QString s = Get(i);
        const bool needsQuotes = std::any_of(s.begin(), s.end(), [&](QChar c) {
            return c == quote || c == delim || (!strict && c.unicode() <= ' ');
        });
        if (needsQuotes)
            s = AnsiQuotedStr(s, quote);
        if (i > 0)
            r += delim;
        r += s;
    }
    return r;
}

void TStrings::splitDelimited(const QString& text, QChar delim, QChar quote, bool strict)
{
    // A NUL counts as a blank: it cannot end the text early, nor stall it.
    auto blank = [](QChar c) { return c.unicode() <= ' '; };
    BeginUpdate();
    Clear();
    int p = 0;
    const int n = int(text.size());
    if (!strict)
        while (p < n && blank(text[p]))
            ++p;
    while (p < n) {
        const int start = p;
        QString s;
        if (text[p] == quote) {
            s = AnsiExtractQuotedStr(text, p, quote);
        } else {
            while (p < n && text[p] != delim && (strict || text[p].unicode() > ' '))
                ++p;
            s = text.mid(start, p - start);
        }
        Add(s);
        if (!strict)
            while (p < n && blank(text[p]))
                ++p;
        if (p < n && text[p] == delim) {
            // A delimiter at the very end stands for one more, empty string.
            if (p + 1 == n)
                Add(QString());
            ++p;
            if (!strict)
                while (p < n && blank(text[p]))
                    ++p;
        }
        if (p == start)
            ++p;
    }
    EndUpdate();
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    --FUpdateCount;
    if (FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::Assign(const TPersistent* source)
{
    if (source && source->InheritsFrom(QStringLiteral("TStrings"))) {
        const auto* src = static_cast<const TStrings*>(source);
        if (src == this)
            return;
        BeginUpdate();
        Clear();
        Delimiter = src->Delimiter;
        QuoteChar = src->QuoteChar;
        NameValueSeparator = src->NameValueSeparator;
        StrictDelimiter = src->StrictDelimiter;
        LineBreak = src->LineBreak;
        AddStrings(src);
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

void TStrings::LoadFromStream(TStream* stream)
{
    const int64_t n = stream->Size() - stream->Position();
    QByteArray bytes(qsizetype(std::max<int64_t>(n, 0)), Qt::Uninitialized);
    bytes.resize(qsizetype(stream->Read(bytes.data(), bytes.size())));
    TTextEncoding found = teAnsi;
    const QString text = DecodeText(bytes, &found);
    // A file read as Windows-1252 is written back the same way unless new
    // text needs more.
    FEncoding = found == teAnsi ? teDefault : found;
    SetText(text);
}

void TStrings::LoadFromFile(const QString& fileName)
{
    TMemoryStream m;
    m.LoadFromFile(fileName);
    LoadFromStream(&m);
}

void TStrings::SaveToStream(TStream* stream, TTextEncoding encoding) const
{
    stream->WriteBuffer(EncodeText(Text(), encoding));
}

void TStrings::SaveToFile(const QString& fileName, TTextEncoding encoding) const
{
    WriteFileWhole(fileName, EncodeText(Text(), encoding));
}

int TStrings::CompareStrings(const QString& a, const QString& b) const
{
    return AnsiCompareText(a, b);
}

// --- TStringList ------------------------------------------------------------

TStringList::~TStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (TStringItem& it : FList)
            delete it.obj;
}

void TStringList::checkIndex(int index) const
{
    if (index < 0 || index >= int(FList.size()))
        Error("List index out of bounds (%1)", index);
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::SetUpdateState(bool updating)
{
    // Called as the count goes from 0 or back to 0, so the events below pass
    // their own check.
    if (updating) {
        if (OnChanging)
            OnChanging(this);
    } else {
        if (OnChange)
            OnChange(this);
    }
}

QString TStringList::Get(int index) const
{
    checkIndex(index);
    return FList[index].s;
}

TObject* TStringList::GetObject(int index) const
{
    checkIndex(index);
    return FList[index].obj;
}

void TStringList::Put(int index, const QString& s)
{
    if (FSorted)
        Error("Operation not allowed on sorted list", 0);
    checkIndex(index);
    Changing();
    FList[index].s = s;
    Changed();
}

void TStringList::PutObject(int index, TObject* obj)
{
    checkIndex(index);
    Changing();
    FList[index].obj = obj;
    Changed();
}

void TStringList::Insert(int index, const QString& s)
{
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const QString& s, TObject* obj)
{
    if (FSorted)
        Error("Operation not allowed on sorted list", 0);
    if (index < 0 || index > int(FList.size()))
        Error("List index out of bounds (%1)", index);
    InsertItem(index, s, obj);
}

void TStringList::InsertItem(int index, const QString& s, TObject* obj)
{
    Changing();
    FList.insert(FList.begin() + index, TStringItem{s, obj});
    Changed();
}

void TStringList::Delete(int index)
{
    checkIndex(index);
    Changing();
    TObject* obj = FList[index].obj;
    FList.erase(FList.begin() + index);
    if (FOwnsObjects)
        delete obj;
    Changed();
}

void TStringList::Clear()
{
    if (FList.empty())
        return;
    Changing();
    QList<TStringItem> old;
    old.swap(FList);
    if (FOwnsObjects)
        for (TStringItem& it : old)
            delete it.obj;
    Changed();
}

int TStringList::Add(const QString& s)
{
    return AddObject(s, nullptr);
}

int TStringList::AddObject(const QString& s, TObject* obj)
{
    int index = int(FList.size());
    if (FSorted && Find(s, index)) {
        if (FDuplicates == dupIgnore)
            return index;
        if (FDuplicates == dupError)
            Error("String list does not allow duplicates", 0);
    }
    InsertItem(index, s, obj);
    return index;
}

void TStringList::Exchange(int index1, int index2)
{
    checkIndex(index1);
    checkIndex(index2);
    Changing();
    std::swap(FList[index1], FList[index2]);
    Changed();
}

void TStringList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    checkIndex(curIndex);
    checkIndex(newIndex);
    if (FSorted)
        Error("Operation not allowed on sorted list", 0);
    // Moved in place: going through Delete would free an owned object.
    Changing();
    TStringItem it = FList[curIndex];
    FList.erase(FList.begin() + curIndex);
    FList.insert(FList.begin() + newIndex, it);
    Changed();
}

int TStringList::IndexOf(const QString& s) const
{
    if (!FSorted)
        return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(const QString& s, int& index) const
{
    bool found = false;
    int lo = 0, hi = int(FList.size()) - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = CompareStrings(FList[mid].s, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (FDuplicates != dupAccept)
                    lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::sortItems(const std::function<int(int, int)>& compare)
{
    if (FList.size() < 2)
        return;
    // The compare function reads the list by index, so the list stays as it
    // is while an order of its indexes is worked out.
    std::vector<int> order(FList.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(a, b) < 0; });
    Changing();
    QList<TStringItem> sorted;
    sorted.reserve(FList.size());
    for (int i : order)
        sorted.push_back(FList[i]);
    FList.swap(sorted);
    Changed();
}

void TStringList::Sort()
{
    sortItems([this](int a, int b) { return CompareStrings(FList[a].s, FList[b].s); });
}

void TStringList::CustomSort(const TStringListSortCompare& compare)
{
    sortItems([&](int a, int b) { return compare(this, a, b); });
}

void TStringList::SetSorted(bool value)
{
    if (value == FSorted)
        return;
    if (value)
        Sort();
    FSorted = value;
}

void TStringList::SetCaseSensitive(bool value)
{
    if (value == FCaseSensitive)
        return;
    FCaseSensitive = value;
    if (FSorted)
        Sort();
}

int TStringList::CompareStrings(const QString& a, const QString& b) const
{
    return FCaseSensitive ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}
