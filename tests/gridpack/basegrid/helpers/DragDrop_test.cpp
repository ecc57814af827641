#include "gridpack/basegrid/sgdd.h"

#include "platform/controls/DropFiles.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"

#include <QtEndian>
#include <gtest/gtest.h>

#include <memory>

namespace {
// Records what reaches the overridable operations.
struct LogTarget : TSGDropTarget {
    void DropText(TPoint, const QString& t) override { Log << "Text:" + t; }
    void DropStream(TPoint, std::unique_ptr<TMemoryStream> s) override
    {
        Log << "Stream:" + QString::fromLatin1(QByteArray(s->Memory(), int(s->Size())));
    }
    void DropCol(TPoint, int c) override { Log << QStringLiteral("Col:%1").arg(c); }
    void DropRTF(TPoint, const QString& r) override { Log << "RTF:" + r; }
    void DropFiles(TPoint, const QStringList& f) override { Log << "Files:" + f.join(QLatin1Char('|')); }
    void DropURL(TPoint, const QString& u) override { Log << "URL:" + u; }
    QStringList Log;
};

struct LogSource : TSGDropSource {
    void DragEnded() override { ++Ended; }
    int Ended = 0;
};

QByteArray I32Block(qint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray CellsBlock(const QByteArray& payload, qint32 claimed)
{
    QByteArray b(8, '\0');
    qToLittleEndian(claimed, b.data());
    return b + payload;
}

std::uint32_t Enter(TSGDropTarget& t, TDataObject& d, std::uint32_t keys = 0,
                    std::uint32_t allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE)
{
    std::uint32_t e = allowed;
    t.DragEnter(&d, keys, TPoint(1, 1), e);
    return e;
}

std::uint32_t DropOn(TSGDropTarget& t, TDataObject& d)
{
    Enter(t, d);
    std::uint32_t e = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    t.Drop(&d, 0, TPoint(1, 1), e);
    return e;
}

struct DD : ::testing::Test {
    void SetUp() override
    {
        RegisterGridClipFormats();
        SetRTFDragDrop(false);
    }
    void TearDown() override { SetRTFDragDrop(false); }
};
} // namespace

TEST_F(DD, EffectFollowsCtrlAndWhatIsAllowed)
{
    EXPECT_EQ(DropEffectFor(MK_CONTROL, DROPEFFECT_COPY | DROPEFFECT_MOVE), DROPEFFECT_COPY);
    EXPECT_EQ(DropEffectFor(0, DROPEFFECT_COPY | DROPEFFECT_MOVE), DROPEFFECT_MOVE);
    EXPECT_EQ(DropEffectFor(0, DROPEFFECT_COPY), DROPEFFECT_COPY);
}

TEST_F(DD, TheRegisteredFormatsHaveTheirNames)
{
    EXPECT_NE(RTFClipFormat, 0);
    EXPECT_EQ(GetClipboardFormatName(RTFClipFormat), QStringLiteral("Rich Text Format"));
    EXPECT_EQ(GetClipboardFormatName(ColumnClipFormat), QStringLiteral("Grid Column"));
    EXPECT_EQ(GetClipboardFormatName(CellsClipFormat), QStringLiteral("TExStringGrid Cells"));
    EXPECT_EQ(GetClipboardFormatName(URLClipFormat), QStringLiteral("UniformResourceLocator"));
}

TEST_F(DD, EnumeratorsListTheOfferedFormats)
{
    TMemoryStream cells;
    TSourceDataObject textDrag(QStringLiteral("a"), QString(), -1, &cells);
    std::shared_ptr<IEnumFORMATETC> en;
    ASSERT_EQ(textDrag.EnumFormatEtc(DATADIR_GET, en), S_OK);
    FORMATETC f[6];
    std::uint32_t got = 0;
    EXPECT_EQ(en->Next(6, f, &got), S_FALSE);
    ASSERT_EQ(got, 4u);
    EXPECT_EQ(f[0].cfFormat, CF_TEXT);
    EXPECT_EQ(f[1].cfFormat, CF_UNICODETEXT);
    EXPECT_EQ(f[2].cfFormat, RTFClipFormat);
    EXPECT_EQ(f[3].cfFormat, CellsClipFormat);
    EXPECT_EQ(f[3].lindex, -1);
    EXPECT_EQ(f[3].tymed, TYMED_HGLOBAL);
    EXPECT_EQ(textDrag.EnumFormatEtc(DATADIR_SET, en), E_NOTIMPL);

    TSourceDataObject colDrag(QString(), QString(), 3, nullptr);
    ASSERT_EQ(colDrag.EnumFormatEtc(DATADIR_GET, en), S_OK);
    EXPECT_EQ(en->Skip(2), S_OK);
    std::shared_ptr<IEnumFORMATETC> copy;
    en->Clone(copy);
    EXPECT_EQ(copy->Next(2, f, &got), S_OK);
    EXPECT_EQ(f[0].cfFormat, RTFClipFormat);
    EXPECT_EQ(f[1].cfFormat, ColumnClipFormat);
    EXPECT_EQ(en->Skip(5), S_FALSE);
    EXPECT_EQ(en->Next(1, f, &got), S_FALSE);
    EXPECT_EQ(got, 0u);

    // Only the column is answered although the text formats are listed.
    FORMATETC q;
    for (TClipFormat c : {TClipFormat(CF_TEXT), TClipFormat(CF_UNICODETEXT), RTFClipFormat}) {
        q.cfFormat = c;
        EXPECT_EQ(colDrag.QueryGetData(q), DV_E_FORMATETC) << c;
    }
    q.cfFormat = ColumnClipFormat;
    EXPECT_EQ(colDrag.QueryGetData(q), S_OK);
    q.tymed = TYMED_HGLOBAL | TYMED_FILE;
    EXPECT_EQ(colDrag.QueryGetData(q), DV_E_FORMATETC);
}

TEST_F(DD, DataBlocksHaveTheirLayouts)
{
    TMemoryStream cells;
    cells.Write("xyz", 3);
    TSourceDataObject d(QStringLiteral("h\u00e9"), QString(), 7, &cells);
    SetRTFDragDrop(true);
    FORMATETC f;
    STGMEDIUM m;
    f.cfFormat = CF_TEXT;
    ASSERT_EQ(d.GetData(f, m), S_OK);
    EXPECT_EQ(m.hGlobal, QByteArray("h\xe9\0", 3));
    f.cfFormat = CF_UNICODETEXT;
    ASSERT_EQ(d.GetData(f, m), S_OK);
    EXPECT_EQ(m.hGlobal.size(), 6);
    f.cfFormat = RTFClipFormat; // empty rich text: just the terminator
    ASSERT_EQ(d.GetData(f, m), S_OK);
    EXPECT_EQ(m.hGlobal, QByteArray(1, '\0'));
    f.cfFormat = CellsClipFormat;
    ASSERT_EQ(d.GetData(f, m), S_OK);
    EXPECT_EQ(m.hGlobal, CellsBlock("xyz", 3));
    f.cfFormat = ColumnClipFormat;
    ASSERT_EQ(d.GetData(f, m), S_OK);
    EXPECT_EQ(m.hGlobal, I32Block(7));
    f.cfFormat = URLClipFormat;
    EXPECT_EQ(d.GetData(f, m), DV_E_FORMATETC);
    EXPECT_EQ(m.tymed, TYMED_NULL);
}

TEST_F(DD, WhatADropDelivers)
{
    struct Case {
        const char* name;
        bool rtfOn;
        std::function<void(TDataObject&)> fill;
        QStringList log;
    };
    const Case cases[] = {
        {"column wins over text", false,
         [](TDataObject& d) { d.SetText("t"); d.SetFormat(ColumnClipFormat, I32Block(4)); },
         {"Col:4"}},
        {"text then files", false,
         [](TDataObject& d) { d.SetText("t"); d.SetFormat(CF_HDROP, BuildDropFiles({"/a/b", "/c"})); },
         {"Text:t", "Files:/a/b|/c"}},
        {"rich text switched off", false,
         [](TDataObject& d) { d.SetText("t"); d.SetFormat(RTFClipFormat, QByteArray("{\\rtf r}", 9)); },
         {"Text:t"}},
        {"rich text switched on", true,
         [](TDataObject& d) { d.SetText("t"); d.SetFormat(RTFClipFormat, QByteArray("{\\rtf r}", 9)); },
         {"RTF:{\\rtf r}"}},
        {"cells before text", false,
         [](TDataObject& d) { d.SetText("t"); d.SetFormat(CellsClipFormat, CellsBlock("abc", 3)); },
         {"Stream:abc"}},
        {"a link from the text", false,
         [](TDataObject& d) { d.SetText("http://127.0.0.1/x"); d.SetFormat(URLClipFormat, "x"); },
         {"Text:http://127.0.0.1/x", "URL:http://127.0.0.1/x"}},
        {"files as a URI list", false,
         [](TDataObject& d) { d.SetFormat(CF_HDROP, "file:///tmp/a\r\n#c\r\nfile:///tmp/b\r\n"); },
         {"Files:/tmp/a|/tmp/b"}},
    };
    for (const Case& c : cases) {
        SetRTFDragDrop(c.rtfOn);
        TDataObject d;
        c.fill(d);
        LogTarget t;
        t.AcceptCols = true;
        EXPECT_EQ(DropOn(t, d), DROPEFFECT_MOVE) << c.name;
        EXPECT_EQ(t.Log, c.log) << c.name;
    }
}

TEST_F(DD, AcceptanceAndMalformedDrops)
{
    LogTarget t;
    t.AcceptText = false;
    TDataObject text;
    text.SetText("t");
    EXPECT_EQ(Enter(t, text), DROPEFFECT_NONE);
    TDataObject withCells;
    withCells.SetText("t");
    withCells.SetFormat(CellsClipFormat, CellsBlock("a", 1));
    EXPECT_EQ(Enter(t, withCells, MK_CONTROL), DROPEFFECT_COPY) << "cells are always taken";
    TDataObject col;
    col.SetFormat(ColumnClipFormat, I32Block(1));
    EXPECT_EQ(Enter(t, col), DROPEFFECT_NONE) << "columns only when accepted";

    const QByteArray files = BuildDropFiles({"/a"});
    QByteArray pastEnd = files;
    qToLittleEndian<qint32>(qint32(files.size() + 10), pastEnd.data());
    const struct {
        const char* name;
        TClipFormat format;
        QByteArray block;
    } bad[] = {
        {"cells shorter than claimed", CellsClipFormat, CellsBlock("ab", 10)},
        {"cells with a negative size", CellsClipFormat, CellsBlock("ab", -1)},
        {"cells header cut", CellsClipFormat, QByteArray(5, '\0')},
        {"column under 4 bytes", ColumnClipFormat, QByteArray(3, '\1')},
        {"file offset past the block", CF_HDROP, pastEnd},
        {"unterminated file name", CF_HDROP, files.left(files.size() - 4)},
    };
    for (const auto& c : bad) {
        LogTarget r;
        r.AcceptCols = true;
        TDataObject d;
        d.SetText("t");
        d.SetFormat(c.format, c.block);
        EXPECT_EQ(DropOn(r, d), DROPEFFECT_NONE) << c.name;
        EXPECT_TRUE(r.Log.isEmpty()) << c.name;
    }

    // Text is read only to the block's end.
    EXPECT_EQ(ReadUnicodeTextBlock(QByteArray("a\0b", 3)), QStringLiteral("a"));
    EXPECT_EQ(ReadAnsiTextBlock(QByteArray("abc", 3)), QStringLiteral("abc"));
}

TEST_F(DD, SourceEndsTheDrag)
{
    LogSource s;
    EXPECT_EQ(s.QueryContinueDrag(false, MK_LBUTTON), S_OK);
    EXPECT_EQ(s.Ended, 0);
    EXPECT_EQ(s.QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(s.QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(s.Ended, 2);
    EXPECT_EQ(s.GiveFeedback(DROPEFFECT_NONE), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_TRUE(s.NoAccept());
}

TEST_F(DD, ScriptedDragsBetweenWindows)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 300, 200);
    auto* a = new TCustomControl(form.get());
    a->SetParent(form.get());
    a->SetBounds(10, 10, 100, 100);
    auto* b = new TCustomControl(form.get());
    b->SetParent(form.get());
    b->SetBounds(150, 10, 100, 100);
    auto target = std::make_shared<LogTarget>();
    target->AcceptCols = true;
    ASSERT_EQ(RegisterDragDrop(b, target), S_OK);
    form->Show();
    auto at = [](TControl* c, int x, int y) { return c->ClientToScreen(Point(x, y)); };

    LogSource src;
    std::uint32_t effect = 0;
    ScriptDrag({{at(a, 5, 5), MK_LBUTTON}, {at(b, 5, 5), MK_LBUTTON}, {at(b, 6, 6), MK_LBUTTON, true}});
    EXPECT_EQ(BeginTextDrag(&src, QStringLiteral("t"), QString(), nullptr, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect),
              DRAGDROP_S_CANCEL);
    EXPECT_EQ(src.Ended, 1);
    EXPECT_TRUE(target->Log.isEmpty());

    ScriptDrag({{at(a, 5, 5), MK_LBUTTON}, {at(b, 5, 5), MK_LBUTTON}, {at(b, 6, 6), 0}});
    EXPECT_EQ(BeginColumnDrag(&src, 2, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    EXPECT_EQ(target->Log, QStringList({"Col:2"}));
    RevokeDragDrop(b);
    SetDragInputSource(nullptr);
}
