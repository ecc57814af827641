#pragma once
// The clipboard formats trees exchange data in: one process-wide list of
// formats, each with the least derived tree class that can render it and a
// priority (lower values are offered first), and the per-tree list of the
// format names a tree offers (ClipboardFormats).
//
// Tree classes are named by their class names; a tree can render a format
// when it inherits from the entry's class.
#include "platform/controls/DragDrop.h"
#include "platform/core/StringList.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

class TBaseLazyTree;

using TFormatEtcArray = QList<FORMATETC>;

struct TClipboardFormatListEntry {
    QString Description;
    QString TreeClass;  // class name of the least derived tree that renders it
    uint32_t Priority = 0;
    FORMATETC FormatEtc;
};

// The process-wide registry, kept sorted by priority.
class TClipboardFormatList {
public:
    static void Add(const QString& FormatString, const QString& AClass, uint32_t Priority,
                    const FORMATETC& AFormatEtc);
    static void Clear();
    static int Count();
    static const TClipboardFormatListEntry* Entry(int Index);
    // The formats of every entry a tree of class Tree can render (Tree is
    // the tree itself, so its ancestry decides), in list order; with Allowed
    // only those whose description is in it.
    static void EnumerateFormats(const TBaseLazyTree* Tree, TFormatEtcArray& Formats,
                                 const TStrings* AllowedFormats = nullptr);
    static void EnumerateFormats(const TBaseLazyTree* Tree, TStrings* Formats);
    // The entry by description (compared without case, last entry first).
    static const TClipboardFormatListEntry* FindFormat(const QString& FormatString);
    // The entry's tree class (empty when none) and its format number.
    static QString FindFormat(const QString& FormatString, TClipFormat& Fmt);
    // The tree class of the entry with that number (empty when none) and its
    // description.
    static QString FindFormat(TClipFormat Fmt, QString& Description);
};

// The description of a predefined format 1..17; empty for any other.
QString PredefinedFormatDescription(TClipFormat Format);

TClipFormat RegisterTreeFormat(const QString& Description, const QString& TreeClass, uint32_t Priority,
                               uint32_t tymed = TYMED_HGLOBAL, void* ptd = nullptr,
                               uint32_t dwAspect = DVASPECT_CONTENT, int32_t lindex = -1);
void RegisterStandardFormat(TClipFormat Format, const QString& TreeClass, uint32_t Priority);

// The formats the tree units register, done once by the first tree.
void RegisterTreeClipboardFormats();

// The numbers of the tree units' named formats (0 until registered).
struct TTreeClipboardFormats {
    TClipFormat TreeData = 0;       // "Lazy Tree Data"
    TClipFormat TreeReference = 0;  // "Lazy Tree Reference", never listed
    TClipFormat HTML = 0;
    TClipFormat RTF = 0;
    TClipFormat RTFNoObjs = 0;
    TClipFormat CSV = 0;
};
const TTreeClipboardFormats& TreeClipboardFormats();

// The formats one tree offers: sorted, without case, duplicates ignored;
// only names the registry knows and the owner tree can render get in.
class TClipboardFormats : public TStringList {
    KAL_CLASS(TClipboardFormats, TStringList)
public:
    explicit TClipboardFormats(TBaseLazyTree* AOwner);
    // The index, or -1 when the name was refused.
    int Add(const QString& S) override;
    void Insert(int Index, const QString& S) override;
    TBaseLazyTree* Owner() const { return FOwner; }

private:
    bool Accepts(const QString& S) const;
    TBaseLazyTree* FOwner;
};
