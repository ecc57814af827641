// The clipboard format registry and a tree's format list.
#include "treeview/LazyTrees.h"
#include "treeview/LazyTreesClipboard.h"

#include <gtest/gtest.h>

namespace {
template <class T>
struct TOwned {
    T* Tree = NewObject<T>(nullptr);
    ~TOwned() { Tree->Free(); }
};
const QStringList kAll = {"Lazy Tree Data", "HTML Format", "Rich Text Format Without Objects", "Rich Text Format",
                          "CSV", "Unicode text", "Plain text"};
}  // namespace

TEST(ClipboardFormats, RegistryOrderPrioritiesAndNumbers) {
    TOwned<TLazyStringTree> t;  // the first tree registers the formats
    ASSERT_GE(TClipboardFormatList::Count(), 7);
    const uint32_t priorities[7] = {50, 80, 84, 85, 90, 95, 100};
    for (int i = 0; i < 7; ++i) {
        const TClipboardFormatListEntry* e = TClipboardFormatList::FindFormat(kAll[i]);
        ASSERT_NE(e, nullptr) << kAll[i].toStdString();
        EXPECT_EQ(e->Priority, priorities[i]);
        EXPECT_EQ(e->FormatEtc.tymed, uint32_t(TYMED_HGLOBAL));
        EXPECT_EQ(e->FormatEtc.lindex, -1);
        EXPECT_EQ(e->FormatEtc.dwAspect, uint32_t(DVASPECT_CONTENT));
    }
    EXPECT_EQ(TClipboardFormatList::FindFormat("Unicode text")->FormatEtc.cfFormat, CF_UNICODETEXT);
    EXPECT_EQ(TClipboardFormatList::FindFormat("plain TEXT")->FormatEtc.cfFormat, CF_TEXT);
    EXPECT_EQ(TClipboardFormatList::FindFormat("Lazy Tree Data")->TreeClass, "TBaseLazyTree");
    // The reference format is registered with the clipboard but never listed.
    EXPECT_NE(TreeClipboardFormats().TreeReference, 0);
    EXPECT_EQ(TClipboardFormatList::FindFormat("Lazy Tree Reference"), nullptr);
    QString description;
    EXPECT_EQ(TClipboardFormatList::FindFormat(TreeClipboardFormats().CSV, description), "TCustomLazyStringTree");
    EXPECT_EQ(description, "CSV");

    // A string tree allowing every name gets them in priority order.
    t.Tree->SetClipboardFormats(kAll);
    TFormatEtcArray formats;
    TClipboardFormatList::EnumerateFormats(t.Tree, formats, t.Tree->ClipboardFormats());
    ASSERT_EQ(formats.size(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(formats[i].cfFormat, TClipboardFormatList::FindFormat(kAll[i])->FormatEtc.cfFormat) << i;
    for (int i = 1; i < TClipboardFormatList::Count(); ++i)
        EXPECT_LE(TClipboardFormatList::Entry(i - 1)->Priority, TClipboardFormatList::Entry(i)->Priority);
}

TEST(ClipboardFormats, TreeListKeepsOnlyKnownRenderableNames) {
    TOwned<TLazyStringTree> s;
    s.Tree->SetClipboardFormats({"CSV", "csv", "Plain text", "Bitmap"});
    EXPECT_EQ(s.Tree->ClipboardFormats()->Count(), 2);
    EXPECT_GE(s.Tree->ClipboardFormats()->IndexOf("CSV"), 0);
    EXPECT_GE(s.Tree->ClipboardFormats()->IndexOf("Plain text"), 0);
    // Setting again replaces the list.
    s.Tree->SetClipboardFormats({"Lazy Tree Data"});
    EXPECT_EQ(s.Tree->ClipboardFormats()->Count(), 1);

    TOwned<TLazyDrawTree> d;
    EXPECT_EQ(d.Tree->ClipboardFormats()->Add("HTML Format"), -1);
    d.Tree->ClipboardFormats()->Insert(0, "Rich Text Format");
    EXPECT_GE(d.Tree->ClipboardFormats()->Add("Lazy Tree Data"), 0);
    EXPECT_EQ(d.Tree->ClipboardFormats()->Count(), 1);
    // A tree that is no string tree renders only its own format.
    TStringList names;
    TClipboardFormatList::EnumerateFormats(d.Tree, &names);
    EXPECT_EQ(names.Count(), 1);
    EXPECT_EQ(names[0], "Lazy Tree Data");
    // An empty list offers nothing.
    TFormatEtcArray none;
    s.Tree->SetClipboardFormats({});
    TClipboardFormatList::EnumerateFormats(s.Tree, none, s.Tree->ClipboardFormats());
    EXPECT_TRUE(none.isEmpty());
}

TEST(ClipboardFormats, StandardFormatRegistration) {
    TOwned<TLazyStringTree> t;
    const int before = TClipboardFormatList::Count();
    RegisterStandardFormat(0, "TBaseLazyTree", 500);
    EXPECT_EQ(TClipboardFormatList::Count(), before);
    EXPECT_EQ(PredefinedFormatDescription(8), "DIB image");
    EXPECT_EQ(PredefinedFormatDescription(17), "DIB image V5");
    EXPECT_EQ(PredefinedFormatDescription(18), "");
    // A registered number above the predefined ones takes the name the
    // clipboard knows it by.
    const TClipFormat custom = RegisterClipboardFormat("Exchange test format");
    RegisterStandardFormat(custom, "TBaseLazyTree", 500);
    ASSERT_EQ(TClipboardFormatList::Count(), before + 1);
    EXPECT_EQ(TClipboardFormatList::Entry(before)->Description, "Exchange test format");
    EXPECT_EQ(TClipboardFormatList::Entry(before)->Priority, 500u);
}
