// The header stream: its byte layout, older layouts and damaged input.
#include "ControlKit.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"

#include <QtEndian>

namespace {
TLazyTreeColumns* Cols(TBaseLazyTree* t) { return t->Header()->Columns(); }

QByteArray Save(TBaseLazyTree* t) {
    TMemoryStream s;
    t->Header()->SaveToStream(&s);
    return s.Bytes();
}

void Load(TBaseLazyTree* t, const QByteArray& bytes) {
    TMemoryStream s;
    s.WriteBuffer(bytes);
    s.SetPosition(0);
    t->Header()->LoadFromStream(&s);
}

int32_t IntAt(const QByteArray& b, int offset) {
    return qFromLittleEndian<int32_t>(reinterpret_cast<const uchar*>(b.constData()) + offset);
}

// Builds streams of any layout by hand.
struct TBytes {
    QByteArray Data;
    TBytes& Int(int32_t v) {
        const int32_t le = qToLittleEndian(v);
        Data.append(reinterpret_cast<const char*>(&le), 4);
        return *this;
    }
    TBytes& Text(const QString& s) {
        Int(int32_t(s.size()));
        for (QChar c : s) {
            const char16_t le = qToLittleEndian(char16_t(c.unicode()));
            Data.append(reinterpret_cast<const char*>(&le), 2);
        }
        return *this;
    }
    // A column record of the given version with these options.
    TBytes& Column(int version, uint32_t options) {
        Text(QStringLiteral("C")).Text(QString());
        Int(60).Int(10).Int(500).Int(0).Int(-1).Int(0).Int(4).Int(3).Int(0).Int(int32_t(options));
        if (version >= 1) Int(0).Int(0);
        if (version >= 2) Int(int32_t(clWindow));
        return *this;
    }
    // The header's values of the given version after the column block.
    TBytes& HeaderValues(int version) {
        Int(0).Int(int32_t(clBtnFace)).Int(19).Int(0x20A).Int(0).Int(0).Int(-11).Int(5);
        Data.append("Arial", 5);
        Int(0).Int(0);
        if (version >= 1) Int(0).Int(-1).Int(0);
        if (version >= 5) Int(0).Int(10000).Int(10).Int(19).Int(0).Int(0).Int(0).Int(0);
        return *this;
    }
};

class HeaderStream : public ControlTest {
protected:
    TViewTree* Tree() {
        TViewTree* t = LooseTree();
        resized.clear();
        t->OnColumnResize = [this](TLTHeader*, TColumnIndex c) { resized << c; };
        return t;
    }
    QList<TColumnIndex> resized;
};
}  // namespace

TEST_F(HeaderStream, AnEmptyHeaderWritesMarkerVersionAndItsValues) {
    TViewTree* t = Tree();
    TFont f;
    f.Assign(*t->Header()->Font());
    f.SetName(QStringLiteral("Tahoma"));
    t->Header()->SetFont(f);
    const QByteArray b = Save(t);
    ASSERT_EQ(b.size(), 106);
    EXPECT_EQ(b.left(8).toHex(), QByteArray("ffffffff06000000"));
    EXPECT_EQ(IntAt(b, 8), 0);    // no columns
    EXPECT_EQ(IntAt(b, 12), 50);  // DefaultWidth
    EXPECT_EQ(IntAt(b, 16), 0);   // AutoSizeIndex
    EXPECT_EQ(IntAt(b, 24), 19);  // Height
    EXPECT_EQ(IntAt(b, 28), 0x20A);
    EXPECT_EQ(IntAt(b, 44), 6);
    EXPECT_EQ(b.mid(48, 6), QByteArray("Tahoma"));

    TViewTree* u = Tree();
    Load(u, b);
    EXPECT_EQ(u->Header()->Font()->Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(Save(u), b);
    EXPECT_EQ(resized, QList<TColumnIndex>{NoColumn});
    EXPECT_FALSE(u->Header()->States().Contains(hsLoading));
}

TEST_F(HeaderStream, ColumnBlocksAndTheCaptionAlignment) {
    TViewTree* t = Tree();
    const int empty = Save(t).size();
    TLazyTreeColumn* c = Cols(t)->Add();
    c->SetText(QStringLiteral("Name"));
    EXPECT_EQ(Save(t).size() - empty, 80 - 8);  // count and DefaultWidth were there
    c->SetOptions(c->Options() + TLTColumnOptions{coUseCaptionAlignment});
    c->SetCaptionAlignment(taCenter);
    EXPECT_EQ(Save(t).size() - empty, 84 - 8);

    TViewTree* u = Tree();
    Load(u, Save(t));
    ASSERT_EQ(Cols(u)->Count(), 1);
    EXPECT_EQ(Cols(u)->Items(0)->Text(), QStringLiteral("Name"));
    EXPECT_EQ(Cols(u)->Items(0)->CaptionAlignment(), taCenter);
    EXPECT_TRUE(Cols(u)->Equals(Cols(t)));
}

TEST_F(HeaderStream, EverythingComesBackIncludingTheDisplayOrder) {
    TViewTree* t = Tree();
    for (int i = 0; i < 3; ++i) {
        TLazyTreeColumn* c = Cols(t)->Add();
        c->SetText(QStringLiteral("Column %1").arg(i));
        c->Hint = QStringLiteral("hint %1").arg(i);
        c->SetWidth(40 + 10 * i);
        c->Tag = 100 + i;
    }
    Cols(t)->Items(2)->SetPosition(0);
    Cols(t)->Items(1)->SetAlignment(taRightJustify);
    t->Header()->SetMainColumn(1);
    t->Header()->SetSortColumn(2);
    t->Header()->SetSortDirection(sdDescending);
    t->Header()->SetStyle(hsPlates);
    t->Header()->FixedAreaConstraints()->SetMaxWidthPercent(40);

    TViewTree* u = Tree();
    Load(u, Save(t));
    ASSERT_EQ(Cols(u)->Count(), 3);
    EXPECT_EQ(Cols(u)->PositionToIndex(), (TIndexArray{2, 0, 1}));
    EXPECT_EQ(Cols(u)->Items(2)->Position(), 0u);
    EXPECT_EQ(Cols(u)->Items(1)->Hint, QStringLiteral("hint 1"));
    EXPECT_EQ(Cols(u)->Items(1)->Tag, 101);
    EXPECT_EQ(Cols(u)->Items(1)->Alignment(), taRightJustify);
    EXPECT_EQ(Cols(u)->Items(2)->Width(), 60);
    EXPECT_EQ(u->Header()->MainColumn(), 1);
    EXPECT_EQ(u->Header()->SortColumn(), 2);
    EXPECT_EQ(u->Header()->SortDirection(), sdDescending);
    EXPECT_EQ(u->Header()->Style(), hsPlates);
    EXPECT_EQ(u->Header()->FixedAreaConstraints()->MaxWidthPercent(), 40);
    EXPECT_EQ(Save(u), Save(t));
}

// Options of old layouts: version 2 knew eight options, versions 0 and 1
// seven, the last three of which sit one bit higher now.
TEST_F(HeaderStream, OldColumnOptionsAreConverted) {
    struct Case {
        int Version;
        uint32_t Stored, Applied;
    } cases[] = {{1, 0x7F, 0xEF}, {0, 0x0F, 0x0F}, {2, 0xFFFF, 0x00FF}, {3, 0xFFFF, 0xFFFF}, {6, 0x88FF, 0x88FF}};
    for (const Case& c : cases) {
        TBytes b;
        b.Int(-1).Int(c.Version).Int(1).Column(c.Version, c.Stored).Int(0);
        if (c.Version >= 5) b.Int(50);
        b.HeaderValues(c.Version);
        TViewTree* u = Tree();
        Load(u, b.Data);
        ASSERT_EQ(Cols(u)->Count(), 1) << c.Version;
        EXPECT_EQ(Cols(u)->Items(0)->Options().Bits(), c.Applied) << c.Version;
    }
}

TEST_F(HeaderStream, AStreamWithoutMarkerStartsWithTheColumnCount) {
    TBytes b;
    b.Int(2).Column(-1, 0xFF).Column(-1, 0xFF).Int(1).Int(0).HeaderValues(-1);
    TViewTree* u = Tree();
    TMemoryStream s;
    s.WriteBuffer(b.Data);
    s.SetPosition(0);
    u->Header()->LoadFromStream(&s);
    EXPECT_EQ(s.Position(), s.Size());  // the header ended after the font style
    ASSERT_EQ(Cols(u)->Count(), 2);
    EXPECT_EQ(Cols(u)->PositionToIndex(), (TIndexArray{1, 0}));
    EXPECT_EQ(u->Header()->Font()->Name(), QStringLiteral("Arial"));
}

TEST_F(HeaderStream, HeightLimitsAreKeptAsRead) {
    TViewTree* t = Tree();
    QByteArray b = Save(t);
    // MaxHeight and MinHeight are the 4th and 3rd values from the end of the
    // height block: ParentFont, MaxHeight, MinHeight, DefaultHeight, 4 percents.
    const int maxAt = b.size() - 7 * 4;
    qToLittleEndian<int32_t>(30, reinterpret_cast<uchar*>(b.data()) + maxAt);
    qToLittleEndian<int32_t>(60, reinterpret_cast<uchar*>(b.data()) + maxAt + 4);
    TViewTree* u = Tree();
    Load(u, b);
    EXPECT_EQ(u->Header()->MaxHeight(), 30);
    EXPECT_EQ(u->Header()->MinHeight(), 60);
}

TEST_F(HeaderStream, AHugeCountFailsBeforeAnythingIsMade) {
    TBytes b;
    b.Int(-1).Int(6).Int(0x7FFFFFFF);
    b.Data.append(QByteArray(20, '\0'));
    TViewTree* u = Tree();
    EXPECT_THROW(Load(u, b.Data), EReadError);
    EXPECT_EQ(Cols(u)->Count(), 0);
    EXPECT_FALSE(u->Header()->States().Contains(hsLoading));
    EXPECT_EQ(resized, QList<TColumnIndex>{NoColumn});
    // Text lengths beyond the data fail the same way.
    TBytes text;
    text.Int(-1).Int(6).Int(1).Int(0x40000000);
    TViewTree* v = Tree();
    EXPECT_THROW(Load(v, text.Data), EReadError);
}

TEST_F(HeaderStream, ARepeatedPositionFailsWithTheIndexError) {
    TBytes b;
    b.Int(-1).Int(6).Int(2).Column(6, 0x88FF).Column(6, 0x88FF).Int(1).Int(1).Int(50).HeaderValues(6);
    TViewTree* u = Tree();
    EXPECT_THROW(Load(u, b.Data), EListError);
    EXPECT_FALSE(u->Header()->States().Contains(hsLoading));
    EXPECT_EQ(resized, QList<TColumnIndex>{NoColumn});
    // The columns read so far stay, shown in index order.
    ASSERT_EQ(Cols(u)->Count(), 2);
    EXPECT_EQ(Cols(u)->PositionToIndex(), (TIndexArray{0, 1}));
}

// Every shortened stream fails with the read error and leaves the header
// out of its loading state.
TEST_F(HeaderStream, EveryTruncationFailsCleanly) {
    TViewTree* t = Tree();
    for (int i = 0; i < 2; ++i) Cols(t)->Add()->SetText(QStringLiteral("abc"));
    const QByteArray full = Save(t);
    for (int n = 0; n < full.size(); ++n) {
        TViewTree* u = Tree();
        EXPECT_THROW(Load(u, full.left(n)), EReadError) << n;
        EXPECT_FALSE(u->Header()->States().Contains(hsLoading)) << n;
        FreeTree(u);
    }
}

TEST_F(HeaderStream, WideTextAndHintAreTheColumnsFormProperties) {
    TViewTree* t = Tree();
    TLazyTreeColumn* c = Cols(t)->Add();
    EXPECT_TRUE(c->DefinedProperties().isEmpty());
    c->SetText(QStringLiteral("Name \u20AC"));
    c->Hint = QStringLiteral("hint");
    const TLTPropertyList p = c->DefinedProperties();
    ASSERT_EQ(p.size(), 2);
    EXPECT_EQ(p[0].first, QStringLiteral("WideText"));
    EXPECT_EQ(p[0].second.toString(), QStringLiteral("Name \u20AC"));
    EXPECT_EQ(p[1].first, QStringLiteral("WideHint"));
    // Any string kind reads as text.
    TLazyTreeColumn* d = Cols(t)->Add();
    EXPECT_TRUE(d->ReadDefinedProperty(QStringLiteral("WideText"), QVariant(QByteArray("bytes"))));
    EXPECT_TRUE(d->ReadDefinedProperty(QStringLiteral("WideHint"), QVariant(QStringLiteral("h"))));
    EXPECT_FALSE(d->ReadDefinedProperty(QStringLiteral("Text"), QVariant(QStringLiteral("x"))));
    EXPECT_EQ(d->Text(), QStringLiteral("bytes"));
    EXPECT_EQ(d->Hint, QStringLiteral("h"));
}

TEST_F(HeaderStream, TheColumnsPropertyCarriesWhatDiffersFromNewColumns) {
    TViewTree* t = Tree();
    QList<TLTPropertyList> items;
    EXPECT_FALSE(t->Header()->StoreColumnsProperty(items));  // no columns: not stored
    for (int i = 0; i < 3; ++i) Cols(t)->Add()->SetText(QStringLiteral("C%1").arg(i));
    Cols(t)->Items(1)->SetWidth(90);
    Cols(t)->Items(2)->SetPosition(0);
    ASSERT_TRUE(t->Header()->StoreColumnsProperty(items));
    ASSERT_EQ(items.size(), 3);
    // Column 0 moved to position 1 and keeps its default width.
    EXPECT_EQ(items[0], (TLTPropertyList{{QStringLiteral("Position"), QVariant(1)},
                                         {QStringLiteral("WideText"), QVariant(QStringLiteral("C0"))}}));
    TViewTree* u = Tree();
    u->Header()->LoadColumnsProperty(items);
    EXPECT_TRUE(Cols(u)->Equals(Cols(t)));
    EXPECT_EQ(Cols(u)->PositionToIndex(), (TIndexArray{2, 0, 1}));
    EXPECT_EQ(Cols(u)->Items(1)->Width(), 90);
    EXPECT_FALSE(u->Header()->States().Contains(hsLoading));
    // Equal to the ancestor's: nothing to write.
    EXPECT_FALSE(u->Header()->StoreColumnsProperty(items, t->Header()));
}
