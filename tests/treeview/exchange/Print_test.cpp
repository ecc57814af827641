// Printing a tree onto a printer that keeps its pages: the page grid, the
// white ground and selected nodes printed unselected.
#include "platform/core/Exceptions.h"
#include "treeview/LazyTrees.h"
#include "treeview/LazyTreesPrint.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {
class PrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        T = NewObject<TLazyStringTree>(nullptr);
        T->SetBounds(0, 0, 100, 100);
        T->SetColor(clYellow);
        for (int i = 0; i < 5; ++i) Nodes << T->AddChild(nullptr);
    }
    void TearDown() override { T->Free(); }
    static TColor At(TBitmap* b, int x, int y) {
        const TRGBQuad q = b->ScanLine(y)[x];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    TLazyStringTree* T = nullptr;
    QList<PLazyNode> Nodes;
};
}  // namespace

TEST_F(PrintTest, PageGridAndWhiteGround) {
    T->Print(nullptr, true);  // nothing happens
    TLTRecordingPrinter small(400, 400);
    T->Print(&small, false);
    EXPECT_EQ(small.PageCount(), 1);
    EXPECT_FALSE(small.Printing());

    // Two and a half pages wide: three page columns, the last partly white.
    T->Header()->Columns()->Add()->SetWidth(500);
    T->SetSelected(Nodes[0], true);
    T->SetFocusedNode(Nodes[0]);
    TLTRecordingPrinter printer(200, 400);
    T->Print(&printer, true);
    ASSERT_EQ(printer.PageCount(), 3);
    EXPECT_EQ(At(printer.Page(2), 150, 50), clWhite);  // beyond the tree
    for (int p = 0; p < 3; ++p)
        for (int x : {5, 60, 120, 190}) {
            // The selected first row prints as the ground does, never in the
            // selection colour, and the tree's own colour is not used.
            EXPECT_NE(At(printer.Page(p), x, 9), ColorToRGB(clHighlight)) << p << " " << x;
            EXPECT_NE(At(printer.Page(p), x, 9), clYellow) << p << " " << x;
        }
    EXPECT_EQ(T->Color(), clYellow);

    // Exactly two pages wide: no blank third page.
    T->Header()->Columns()->Items(0)->SetWidth(400);
    T->Print(&printer, false);
    EXPECT_EQ(printer.PageCount(), 2);
}

// With a visible header and PrintHeader the header heads the picture and the
// tree follows below it; otherwise the header is not printed.
TEST_F(PrintTest, TheHeaderHeadsThePrintWhenAsked) {
    T->Header()->Columns()->Add()->SetWidth(80);
    T->Header()->Columns()->Items(0)->SetText(QStringLiteral("Name"));
    T->OnGetText = [](TBaseLazyTree*, PLazyNode, TColumnIndex, TVSTTextType, QString& text) { text = "Node"; };
    const TFontQuality quality = T->Font()->Quality();
    TLTRecordingPrinter without(200, 400), hidden(200, 400), with(200, 400);
    T->Print(&without, false);
    T->Print(&hidden, true);  // the header is not visible: nothing changes
    T->Header()->SetOptions(T->Header()->Options() + TLTHeaderOptions{hoVisible});
    const int H = T->Header()->Height();
    T->Print(&with, true);
    const auto same = [&](TBitmap* a, int ya, TBitmap* b, int yb) {
        for (int x = 0; x < 100; ++x)
            if (At(a, x, ya) != At(b, x, yb)) return false;
        return true;
    };
    for (int y = 0; y < 60; ++y) {
        EXPECT_TRUE(same(without.Page(0), y, hidden.Page(0), y)) << y;
        EXPECT_TRUE(same(without.Page(0), y, with.Page(0), H + y)) << y;
    }
    // The header's face colour fills its cell, the caption is drawn in it.
    EXPECT_EQ(At(with.Page(0), 70, H / 2), ColorToRGB(clBtnFace));
    bool caption = false;
    for (int y = 2; y < H - 2; ++y)
        for (int x = 2; x < 40; ++x) caption = caption || At(with.Page(0), x, y) == ColorToRGB(clBtnText);
    EXPECT_TRUE(caption);
    EXPECT_EQ(T->Font()->Quality(), quality);
    EXPECT_EQ(T->Header()->Font()->Quality(), quality);
    T->OnGetText = nullptr;
}

// The PDF backend: pages go into one file written whole at the end; a file
// that cannot be written raises and leaves the tree as it was.
TEST_F(PrintTest, PdfPrinterWritesTheFileWhole) {
    const QString dir = QDir::tempPath() + QStringLiteral("/lt_print_%1").arg(QCoreApplication::applicationPid());
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/tree.pdf");
    {
        TLTPdfPrinter pdf(path);
        T->Print(&pdf, false);
        EXPECT_EQ(pdf.Pdf().PageCount(), 1);
        EXPECT_FALSE(pdf.Pdf().Printing());
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    f.close();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_TRUE(bytes.contains("/Count 1"));

    // A wide tree spreads over several pages of the same file.
    T->Header()->Columns()->Add()->SetWidth(5000);
    {
        TLTPdfPrinter pdf(path);
        T->Print(&pdf, false);
        EXPECT_GT(pdf.Pdf().PageCount(), 1);
        QFile g(path);
        ASSERT_TRUE(g.open(QIODevice::ReadOnly));
        EXPECT_TRUE(g.readAll().contains(QByteArray("/Count ") + QByteArray::number(pdf.Pdf().PageCount())));
    }
    // Nowhere to write: the error reaches the caller, colour and font stay.
    TLTPdfPrinter bad(dir + QStringLiteral("/missing/tree.pdf"));
    EXPECT_THROW(T->Print(&bad, false), Exception);
    EXPECT_EQ(T->Color(), clYellow);
    QDir(dir).removeRecursively();
}
