// The clipboard format registry and the per-tree format list.
#include "treeview/LazyTreesClipboard.h"

#include "treeview/LazyTrees.h"

#include <algorithm>
#include <memory>
#include <mutex>

namespace {
QList<std::shared_ptr<TClipboardFormatListEntry>>& List() {
    static QList<std::shared_ptr<TClipboardFormatListEntry>> list;
    return list;
}

TTreeClipboardFormats& Formats() {
    static TTreeClipboardFormats f;
    return f;
}

const char* const gPredefined[17] = {
    "Plain text",      "Windows bitmap", "Windows metafile", "Symbolic link",    "Data interchange format",
    "Tiff image",      "OEM text",       "DIB image",        "Palette data",     "Pen data",
    "Riff audio data", "Wav audio data", "Unicode text",     "Enhanced metafile image",
    "File name(s)",    "Locale descriptor", "DIB image V5",
};

bool Applies(const TBaseLazyTree* Tree, const TClipboardFormatListEntry& E) {
    return Tree && Tree->InheritsFrom(E.TreeClass);
}
}  // namespace

QString PredefinedFormatDescription(TClipFormat Format) {
    if (Format < 1 || Format > 17) return QString();
    return QString::fromLatin1(gPredefined[Format - 1]);
}

void TClipboardFormatList::Add(const QString& FormatString, const QString& AClass, uint32_t Priority,
                               const FORMATETC& AFormatEtc) {
    auto e = std::make_shared<TClipboardFormatListEntry>();
    e->Description = FormatString;
    e->TreeClass = AClass;
    e->Priority = Priority;
    e->FormatEtc = AFormatEtc;
    auto& l = List();
    l.append(e);
    // Equal priorities keep no fixed order among themselves.
    if (l.size() > 1)
        std::sort(l.begin(), l.end(), [](const auto& a, const auto& b) { return a->Priority < b->Priority; });
}

void TClipboardFormatList::Clear() { List().clear(); }

int TClipboardFormatList::Count() { return int(List().size()); }

const TClipboardFormatListEntry* TClipboardFormatList::Entry(int Index) {
    return Index >= 0 && Index < List().size() ? List()[Index].get() : nullptr;
}

void TClipboardFormatList::EnumerateFormats(const TBaseLazyTree* Tree, TFormatEtcArray& Formats,
                                            const TStrings* AllowedFormats) {
    Formats.clear();
    for (const auto& e : List()) {
        if (!Applies(Tree, *e)) continue;
        if (AllowedFormats && AllowedFormats->IndexOf(e->Description) < 0) continue;
        Formats.append(e->FormatEtc);
    }
}

void TClipboardFormatList::EnumerateFormats(const TBaseLazyTree* Tree, TStrings* Formats) {
    for (const auto& e : List())
        if (Applies(Tree, *e)) Formats->Add(e->Description);
}

const TClipboardFormatListEntry* TClipboardFormatList::FindFormat(const QString& FormatString) {
    const auto& l = List();
    for (auto i = l.size() - 1; i >= 0; --i)
        if (l[i]->Description.compare(FormatString, Qt::CaseInsensitive) == 0) return l[i].get();
    return nullptr;
}

QString TClipboardFormatList::FindFormat(const QString& FormatString, TClipFormat& Fmt) {
    const TClipboardFormatListEntry* e = FindFormat(FormatString);
    if (!e) return QString();
    Fmt = e->FormatEtc.cfFormat;
    return e->TreeClass;
}

QString TClipboardFormatList::FindFormat(TClipFormat Fmt, QString& Description) {
    const auto& l = List();
    for (auto i = l.size() - 1; i >= 0; --i)
        if (l[i]->FormatEtc.cfFormat == Fmt) {
            Description = l[i]->Description;
            return l[i]->TreeClass;
        }
    return QString();
}

TClipFormat RegisterTreeFormat(const QString& Description, const QString& TreeClass, uint32_t Priority,
                               uint32_t tymed, void* ptd, uint32_t dwAspect, int32_t lindex) {
    FORMATETC f;
    f.cfFormat = RegisterClipboardFormat(Description);
    f.ptd = ptd;
    f.dwAspect = dwAspect;
    f.lindex = lindex;
    f.tymed = tymed;
    TClipboardFormatList::Add(Description, TreeClass, Priority, f);
    return f.cfFormat;
}

void RegisterStandardFormat(TClipFormat Format, const QString& TreeClass, uint32_t Priority) {
    FORMATETC f;
    f.cfFormat = Format;
    QString description;
    if (Format >= 18)
        description = GetClipboardFormatName(Format);
    else
        description = PredefinedFormatDescription(Format);
    if (description.isEmpty()) return;
    TClipboardFormatList::Add(description, TreeClass, Priority, f);
}

void RegisterTreeClipboardFormats() {
    static std::once_flag once;
    std::call_once(once, [] {
        const QString base = TBaseLazyTree::StaticClassName();
        const QString str = TCustomLazyStringTree::StaticClassName();
        TTreeClipboardFormats& f = Formats();
        f.TreeData = RegisterTreeFormat(QStringLiteral("Lazy Tree Data"), base, 50);
        f.TreeReference = RegisterClipboardFormat(QStringLiteral("Lazy Tree Reference"));
        f.HTML = RegisterTreeFormat(QStringLiteral("HTML Format"), str, 80);
        f.RTFNoObjs = RegisterTreeFormat(QStringLiteral("Rich Text Format Without Objects"), str, 84);
        f.RTF = RegisterTreeFormat(QStringLiteral("Rich Text Format"), str, 85);
        f.CSV = RegisterTreeFormat(QStringLiteral("CSV"), str, 90);
        RegisterStandardFormat(CF_UNICODETEXT, str, 95);
        RegisterStandardFormat(CF_TEXT, str, 100);
    });
}

const TTreeClipboardFormats& TreeClipboardFormats() { return Formats(); }

// ---------------------------------------------------------------------------

TClipboardFormats::TClipboardFormats(TBaseLazyTree* AOwner) : FOwner(AOwner) {
    SetSorted(true);
    SetDuplicates(dupIgnore);
}

bool TClipboardFormats::Accepts(const QString& S) const {
    TClipFormat fmt = 0;
    QString cls = TClipboardFormatList::FindFormat(S, fmt);
    return !cls.isEmpty() && FOwner && FOwner->InheritsFrom(cls);
}

int TClipboardFormats::Add(const QString& S) { return Accepts(S) ? TStringList::Add(S) : -1; }

void TClipboardFormats::Insert(int Index, const QString& S) {
    if (Accepts(S)) TStringList::Insert(Index, S);
}

// ---------------------------------------------------------------------------
// The tree's list

TClipboardFormats* TBaseLazyTree::ClipboardFormats() {
    if (!FClipboardFormats) FClipboardFormats = std::make_shared<TClipboardFormats>(this);
    return FClipboardFormats.get();
}

void TBaseLazyTree::SetClipboardFormats(const QStringList& Value) {
    TClipboardFormats* f = ClipboardFormats();
    f->Clear();
    for (const QString& s : Value) f->Add(s);
}
