#pragma once
// Lists of strings, each with an object slot: the abstract TStrings with
// everything built on the basic operations (text, comma text, name=value
// pairs, files), and TStringList, the list that stores them.
#include "platform/core/CodePages.h"
#include "platform/core/Lists.h"
#include "platform/core/Objects.h"

#include <QList>
#include <QString>

#include <functional>
#include <vector>

class TStream;

class TStrings : public TPersistent {
    KAL_CLASS(TStrings, TPersistent)
public:
    // --- what a concrete list provides
    virtual QString Get(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObject(int) const { return nullptr; }
    virtual void Put(int index, const QString& s);
    virtual void PutObject(int, TObject*) {}
    virtual void Insert(int index, const QString& s) = 0;
    virtual void InsertObject(int index, const QString& s, TObject* obj);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    // --- built on them
    virtual int Add(const QString& s);
    virtual int AddObject(const QString& s, TObject* obj);
    void Append(const QString& s) { Add(s); }
    virtual void AddStrings(const TStrings* strings);
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);
    virtual int IndexOf(const QString& s) const;
    int IndexOfName(const QString& name) const;
    int IndexOfObject(const TObject* obj) const;
    bool Equals(const TStrings* other) const;

    int Count() const { return GetCount(); }
    QString Strings(int index) const { return Get(index); }
    void SetStrings(int index, const QString& s) { Put(index, s); }
    QString operator[](int index) const { return Get(index); }
    TObject* Objects(int index) const { return GetObject(index); }
    void SetObjects(int index, TObject* obj) { PutObject(index, obj); }

    // name=value pairs; the separator is NameValueSeparator.
    QString Names(int index) const;
    QString Values(const QString& name) const;
    // An empty value removes the pair.
    void SetValues(const QString& name, const QString& value);
    QString ValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const QString& value);

    // Each string followed by LineBreak (CR LF). Setting splits at CR LF, LF
    // or CR; a last line without a line end still counts.
    QString Text() const;
    virtual void SetText(const QString& text);
    // The strings joined by ","; a string holding a blank, a control
    // character, the quote or the delimiter is quoted with '"'.
    QString CommaText() const;
    void SetCommaText(const QString& text);
    // As CommaText with Delimiter and QuoteChar; with StrictDelimiter only the
    // delimiter separates (blanks are kept).
    QString DelimitedText() const;
    void SetDelimitedText(const QString& text);

    QChar Delimiter = QLatin1Char(',');
    QChar QuoteChar = QLatin1Char('"');
    QChar NameValueSeparator = QLatin1Char('=');
    bool StrictDelimiter = false;
    QString LineBreak = QStringLiteral("\r\n");

    // Change notices are held back between BeginUpdate and the matching
    // EndUpdate, and given once at the end.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    void Assign(const TPersistent* source) override;

    // Reads from the stream's position to its end; a UTF-8 or UTF-16 (LE or
    // BE) byte-order mark selects that encoding, otherwise Windows-1252.
    virtual void LoadFromStream(TStream* stream);
    void LoadFromFile(const QString& fileName);
    void SaveToStream(TStream* stream, TTextEncoding encoding) const;
    void SaveToStream(TStream* stream) const { SaveToStream(stream, FEncoding); }
    // Writes the file whole, in the encoding the list was loaded with (or the
    // default: Windows-1252 unless a character needs UTF-8).
    void SaveToFile(const QString& fileName) const { SaveToFile(fileName, FEncoding); }
    void SaveToFile(const QString& fileName, TTextEncoding encoding) const;
    TTextEncoding Encoding() const { return FEncoding; }

    // How two strings compare in this list; without case by default.
    virtual int CompareStrings(const QString& a, const QString& b) const;

protected:
    virtual void SetUpdateState(bool) {}
    // A list that keeps its own order refuses Put; pairs are then replaced by
    // delete and add.
    virtual bool KeepsOwnOrder() const { return false; }
    [[noreturn]] void Error(const char* msg, int data) const;

private:
    QString joinDelimited(QChar delimiter, QChar quote, bool strict) const;
    void splitDelimited(const QString& text, QChar delimiter, QChar quote, bool strict);

    int FUpdateCount = 0;
    TTextEncoding FEncoding = teDefault;
};

// One entry of a string list. Entries move by plain memory copies when the
// list opens or closes a gap, which keeps sorted inserts cheap.
struct TStringItem {
    QString s;
    TObject* obj = nullptr;
};
Q_DECLARE_TYPEINFO(TStringItem, Q_RELOCATABLE_TYPE);

class TStringList;
using TStringListSortCompare = std::function<int(TStringList* list, int index1, int index2)>;

class TStringList : public TStrings {
    KAL_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    ~TStringList() override;
    TStringList(const TStringList&) = delete;
    TStringList& operator=(const TStringList&) = delete;

    QString Get(int index) const override;
    int GetCount() const override { return int(FList.size()); }
    TObject* GetObject(int index) const override;
    // On a sorted list raises EStringListError "Operation not allowed on
    // sorted list".
    void Put(int index, const QString& s) override;
    void PutObject(int index, TObject* obj) override;
    void Insert(int index, const QString& s) override;
    void InsertObject(int index, const QString& s, TObject* obj) override;
    void Delete(int index) override;
    void Clear() override;
    // A sorted list puts the string in its place; a string it holds already
    // is then ignored (dupIgnore, its index returned), added (dupAccept) or
    // refused with EStringListError "String list does not allow duplicates".
    int Add(const QString& s) override;
    int AddObject(const QString& s, TObject* obj) override;
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;
    int IndexOf(const QString& s) const override;

    // Binary search of a sorted list: whether s is there, and its index (the
    // first of equal strings) or the index it would take.
    virtual bool Find(const QString& s, int& index) const;
    virtual void Sort();
    // Orders the strings by a compare function over indexes; equal ones keep
    // their order.
    virtual void CustomSort(const TStringListSortCompare& compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates value) { FDuplicates = value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    // A sorted list is sorted again under the new rule.
    void SetCaseSensitive(bool value);
    // When set, the list frees the objects of strings it deletes.
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool value) { FOwnsObjects = value; }

    int CompareStrings(const QString& a, const QString& b) const override;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool updating) override;
    bool KeepsOwnOrder() const override { return FSorted; }
    virtual void InsertItem(int index, const QString& s, TObject* obj);

private:
    void checkIndex(int index) const;
    void sortItems(const std::function<int(int, int)>& compare);

    QList<TStringItem> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
    TDuplicates FDuplicates = dupIgnore;
};
