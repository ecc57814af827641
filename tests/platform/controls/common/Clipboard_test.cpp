#include "Std2Kit.h"
#include "platform/controls/Clipboard.h"
#include "platform/controls/DragDrop.h"

#include <QHash>
#include <QMimeData>
#include <memory>

class ClipboardTest : public ::testing::Test {
protected:
    void TearDown() override { Clipboard()->Clear(); }
};

TEST_F(ClipboardTest, TextComesBackInEveryTextFormat) {
    const QString text = QString::fromUtf8("Grüße\tA");
    Clipboard()->SetAsText(text);
    EXPECT_EQ(Clipboard()->AsText(), text);
    for (TClipFormat f : {CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT}) EXPECT_TRUE(Clipboard()->HasFormat(f)) << f;
    // CF_TEXT: the ANSI bytes and a zero, length + 1 bytes.
    const QByteArray ansi("Gr\xFC\xDF" "e\tA", 7);
    EXPECT_EQ(Clipboard()->GetAsBytes(CF_TEXT), ansi + QByteArray(1, '\0'));
    // CF_UNICODETEXT: UTF-16 code units, little end first, and a zero unit.
    const QByteArray wide = Clipboard()->GetAsBytes(CF_UNICODETEXT);
    ASSERT_EQ(wide.size(), 2 * 7 + 2);
    EXPECT_EQ(quint8(wide[4]), 0xFC);
    EXPECT_EQ(quint8(wide[5]), 0x00);
    EXPECT_EQ(wide.right(2), QByteArray(2, '\0'));
    // Bytes set as a text format come back as text, read up to the zero.
    Clipboard()->SetAsBytes(CF_TEXT, QByteArray("abc\0junk", 8));
    EXPECT_EQ(Clipboard()->AsText(), "abc");
}

TEST_F(ClipboardTest, ARegisteredFormatKeepsItsNumberAndBytes) {
    const TClipFormat cells = RegisterClipboardFormat("TExStringGrid Cells");
    EXPECT_GE(cells, 0xC000);
    EXPECT_EQ(RegisterClipboardFormat("texstringgrid cells"), cells) << "names compare without case";
    EXPECT_NE(RegisterClipboardFormat("Rich Text Format"), cells);
    EXPECT_EQ(RegisterClipboardFormat(""), 0);
    EXPECT_EQ(GetClipboardFormatName(cells), "TExStringGrid Cells");
    EXPECT_EQ(ClipboardFormatOfMimeType(ClipboardFormatMimeType(cells)), cells);

    // Size, four zero bytes, then the stream: binary data with zeros inside.
    QByteArray block("\x03\x00\x00\x00\x00\x00\x00\x00\x01\x00\xFF", 11);
    Clipboard()->SetAsBytes(cells, block);
    EXPECT_TRUE(Clipboard()->HasFormat(cells));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->GetAsBytes(cells), block);
    EXPECT_EQ(Clipboard()->GetAsBytes(RegisterClipboardFormat("Rich Text Format")), QByteArray());
}

TEST_F(ClipboardTest, FormatsSetWhileOpenAddUpAndOtherwiseReplace) {
    const TClipFormat rtf = RegisterClipboardFormat("Rich Text Format");
    Clipboard()->Open();
    Clipboard()->SetAsText("plain");
    Clipboard()->SetAsBytes(rtf, "{\\rtf1 plain}");
    Clipboard()->Close();
    EXPECT_EQ(Clipboard()->AsText(), "plain");
    EXPECT_EQ(Clipboard()->GetAsBytes(rtf), "{\\rtf1 plain}");
    EXPECT_EQ(Clipboard()->Formats().first(), CF_UNICODETEXT);
    EXPECT_TRUE(Clipboard()->Formats().contains(rtf));
    // Without an opening each one empties the clipboard first.
    Clipboard()->SetAsText("other");
    EXPECT_FALSE(Clipboard()->HasFormat(rtf));
    Clipboard()->Clear();
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->FormatCount(), 0);
}

TEST_F(ClipboardTest, ADataObjectGoesToTheClipboardAndBack) {
    const TClipFormat col = RegisterClipboardFormat("Grid Column");
    TDataObject obj;
    obj.SetText("cell");
    obj.SetFormat(col, QByteArray("\x02\x00\x00\x00", 4));
    ASSERT_EQ(OleSetClipboard(&obj), S_OK);
    std::shared_ptr<IDataObject> back;
    ASSERT_EQ(OleGetClipboard(back), S_OK);
    QByteArray bytes;
    ASSERT_TRUE(GetDataBytes(back.get(), col, bytes));
    EXPECT_EQ(bytes, QByteArray("\x02\x00\x00\x00", 4));
    ASSERT_TRUE(GetDataBytes(back.get(), CF_UNICODETEXT, bytes));
    EXPECT_EQ(ClipboardBytesToText(CF_UNICODETEXT, bytes), "cell");
    // Only content in global memory is given.
    STGMEDIUM m;
    EXPECT_EQ(back->GetData(FORMATETC{col, nullptr, DVASPECT_ICON, -1, TYMED_HGLOBAL}, m), DV_E_FORMATETC);
    EXPECT_EQ(back->QueryGetData(FORMATETC{col, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM}), DV_E_FORMATETC);
}

TEST(FormatEnumerator, NextAndSkipReportRunningOut) {
    TEnumFormatEtc e({FORMATETC{CF_TEXT}, FORMATETC{CF_UNICODETEXT}, FORMATETC{CF_HDROP}});
    FORMATETC got[4];
    std::uint32_t n = 0;
    EXPECT_EQ(e.Next(2, got, &n), S_OK);
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(got[1].cfFormat, CF_UNICODETEXT);
    std::shared_ptr<IEnumFORMATETC> clone;
    e.Clone(clone);
    EXPECT_EQ(e.Next(4, got, &n), S_FALSE);
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(got[0].cfFormat, CF_HDROP);
    EXPECT_EQ(clone->Next(1, got, &n), S_OK) << "a clone keeps its own place";
    EXPECT_EQ(got[0].cfFormat, CF_HDROP);
    e.Reset();
    EXPECT_EQ(e.Skip(5), S_FALSE);
    EXPECT_EQ(e.Next(1, got, &n), S_FALSE);
    EXPECT_EQ(n, 0u);
}

// ---------------------------------------------------------------------------
// Drag and drop inside one form
// ---------------------------------------------------------------------------

namespace {
// Ends the drag on Escape (cancel) or when the left button is up (drop).
class TestSource : public IDropSource {
public:
    HRESULT QueryContinueDrag(bool escape, std::uint32_t keys) override {
        if (escape) return DRAGDROP_S_CANCEL;
        if (!(keys & MK_LBUTTON)) return DRAGDROP_S_DROP;
        return S_OK;
    }
    HRESULT GiveFeedback(std::uint32_t effect) override {
        Feedback << effect;
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }
    QList<std::uint32_t> Feedback;
};

// Copies with Ctrl, else moves when the source allows it, else copies; can
// refuse everything.
class TestTarget : public IDropTarget {
public:
    explicit TestTarget(QStringList* log) : Log(log) {}
    HRESULT DragEnter(IDataObject*, std::uint32_t keys, TPoint pt, std::uint32_t& effect) override {
        *Log << QString("Enter(%1,%2)").arg(pt.X).arg(pt.Y);
        effect = Propose(keys, effect);
        return S_OK;
    }
    HRESULT DragOver(std::uint32_t keys, TPoint pt, std::uint32_t& effect) override {
        *Log << "Over";
        if (const TDragImageInfo* img = CurrentDragImage()) ImageAt = img->Position;
        // The picture's window: a shown pop-up the mouse passes through.
        for (int i = 0; i < Screen()->FormCount(); ++i) {
            TCustomForm* f = Screen()->Forms(i);
            if (f->IsShownOnScreen() && f->ClickThrough()) {
                PictureWindow = f->BoundsRect();
                PictureUnderMouse = WindowFromPoint(pt) == f;
            }
        }
        FocusDuringDrag = Screen()->ActiveForm();
        effect = Propose(keys, effect);
        return S_OK;
    }
    HRESULT DragLeave() override {
        *Log << "Leave";
        return S_OK;
    }
    HRESULT Drop(IDataObject* data, std::uint32_t keys, TPoint, std::uint32_t& effect) override {
        QByteArray b;
        GetDataBytes(data, CF_UNICODETEXT, b);
        *Log << "Drop:" + ClipboardBytesToText(CF_UNICODETEXT, b);
        effect = Propose(keys, effect);
        return S_OK;
    }
    std::uint32_t Propose(std::uint32_t keys, std::uint32_t allowed) const {
        if (Refuse) return DROPEFFECT_NONE;
        if (keys & MK_CONTROL) return DROPEFFECT_COPY;
        return (allowed & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
    }
    QStringList* Log;
    bool Refuse = false;
    TPoint ImageAt;
    TRect PictureWindow;
    bool PictureUnderMouse = true;
    TCustomForm* FocusDuringDrag = nullptr;
};
}  // namespace

class DragDropTest : public Std2Test {
protected:
    void SetUp() override {
        Std2Test::SetUp();
        A = new TCustomControl(Form);
        A->SetParent(Form);
        A->SetBounds(10, 10, 100, 100);
        B = new TCustomControl(Form);
        B->SetParent(Form);
        B->SetBounds(200, 10, 100, 100);
        Inner = new TCustomControl(Form);  // a child of B without its own target
        Inner->SetParent(B);
        Inner->SetBounds(10, 10, 30, 30);
        Target = std::make_shared<TestTarget>(&Log);
        ASSERT_EQ(RegisterDragDrop(B, Target), S_OK);
        Form->Show();
        Data.SetText("payload");
    }
    void TearDown() override {
        RevokeDragDrop(B);
        SetDragInputSource(nullptr);
        Std2Test::TearDown();
    }
    TPoint At(TControl* c, int x, int y) const { return c->ClientToScreen(Point(x, y)); }
    TCustomControl *A, *B, *Inner;
    std::shared_ptr<TestTarget> Target;
    TDataObject Data;
    TestSource Source;
};

TEST_F(DragDropTest, ADropReachesTheTargetWithTheDataAndItsEffect) {
    struct Case { std::uint32_t keys; std::uint32_t ok; std::uint32_t expected; };
    const Case cases[] = {
        {0, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        {MK_CONTROL, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
        {0, DROPEFFECT_COPY, DROPEFFECT_COPY},
    };
    for (const Case& c : cases) {
        Log.clear();
        ScriptDrag({{At(A, 5, 5), MK_LBUTTON | c.keys},
                    {At(B, 50, 50), MK_LBUTTON | c.keys},
                    {At(Inner, 5, 5), MK_LBUTTON | c.keys},
                    {At(B, 60, 60), c.keys}});
        std::uint32_t effect = 99;
        EXPECT_EQ(DoDragDrop(&Data, &Source, c.ok, effect), DRAGDROP_S_DROP);
        EXPECT_EQ(effect, c.expected);
        const TPoint enter = At(B, 50, 50);
        // Inside B's child the drag is still over B.
        EXPECT_EQ(Log, QStringList({QString("Enter(%1,%2)").arg(enter.X).arg(enter.Y), "Over", "Drop:payload"}));
    }
    EXPECT_FALSE(DragRunning());
    EXPECT_EQ(Source.Feedback.first(), DROPEFFECT_NONE) << "over A nobody takes the drop";
}

TEST_F(DragDropTest, LeavingEscapeAndRefusalEndWithoutADrop) {
    ScriptDrag({{At(B, 5, 5), MK_LBUTTON}, {At(A, 5, 5), MK_LBUTTON}, {At(A, 6, 6), 0}});
    std::uint32_t effect = 99;
    EXPECT_EQ(DoDragDrop(&Data, &Source, DROPEFFECT_COPY, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(Log.mid(1), QStringList({"Leave"}));

    Log.clear();
    ScriptDrag({{At(B, 5, 5), MK_LBUTTON}, {At(B, 6, 6), MK_LBUTTON, true}});
    EXPECT_EQ(DoDragDrop(&Data, &Source, DROPEFFECT_COPY, effect), DRAGDROP_S_CANCEL);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(Log.mid(1), QStringList({"Leave"}));

    Log.clear();
    Target->Refuse = true;
    ScriptDrag({{At(B, 5, 5), MK_LBUTTON}, {At(B, 6, 6), 0}});
    EXPECT_EQ(DoDragDrop(&Data, &Source, DROPEFFECT_COPY, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(Log.mid(1), QStringList({"Leave"})) << "a refused drop is a leave";

    // Input that runs out cancels rather than hanging.
    Log.clear();
    Target->Refuse = false;
    ScriptDrag({{At(B, 5, 5), MK_LBUTTON}});
    EXPECT_EQ(DoDragDrop(&Data, &Source, DROPEFFECT_COPY, effect), DRAGDROP_S_CANCEL);
}

TEST_F(DragDropTest, ThePictureFollowsTheMouseFromItsHotSpot) {
    QImage picture(40, 20, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(InitializeDragImage(&Data, picture, Point(8, 4)));
    const TPoint p = At(B, 30, 30);
    ScriptDrag({{At(B, 5, 5), MK_LBUTTON}, {p, MK_LBUTTON}, {p, 0}});
    std::uint32_t effect = 0;
    DoDragDrop(&Data, &Source, DROPEFFECT_COPY, effect);
    EXPECT_EQ(Target->ImageAt, Point(p.X - 8, p.Y - 4));
    // Shown as a pop-up window at the picture's place, which takes no focus
    // and lets the mouse through to the target below.
    EXPECT_EQ(Target->PictureWindow, Bounds(p.X - 8, p.Y - 4, 40, 20));
    EXPECT_FALSE(Target->PictureUnderMouse);
    EXPECT_EQ(Target->FocusDuringDrag, Screen()->ActiveForm());
    EXPECT_EQ(Log.filter("Drop:").size(), 1) << "the drop reached the target below";
    EXPECT_EQ(CurrentDragImage(), nullptr) << "gone after the drag";
}

TEST_F(DragDropTest, RegistrationIsOncePerWindow) {
    EXPECT_EQ(RegisterDragDrop(B, std::make_shared<TestTarget>(&Log)), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_EQ(RevokeDragDrop(A), DRAGDROP_E_NOTREGISTERED);
    EXPECT_EQ(DropWindowAt(At(Inner, 1, 1)), B);
    EXPECT_EQ(DropWindowAt(At(A, 1, 1)), nullptr);
    EXPECT_EQ(RevokeDragDrop(B), S_OK);
    EXPECT_EQ(DropWindowAt(At(B, 1, 1)), nullptr);
}

TEST_F(ClipboardTest, MarkupAndRichTextAreAlsoOfferedUnderTheirCommonNames) {
    const QByteArray doc = "<html><body><!--StartFragment--><b>x</b><!--EndFragment--></body></html>";
    const QByteArray head = "Version:1.0\r\nStartHTML:00000097\r\nEndHTML:" +
                            QByteArray::number(97 + doc.size()).rightJustified(8, '0') +
                            "\r\nStartFragment:00000000\r\nEndFragment:00000000\r\n";
    ASSERT_EQ(head.size(), 97);
    struct Case {
        const char* Name;
        QByteArray Block;
        const char* Mime;
        QByteArray Offered; // empty: nothing offered
    };
    const QByteArray rtf = "{\\rtf1 a}";
    const Case cases[] = {
        {"HTML Format", head + doc + QByteArray(1, '\0'), "text/html", doc},
        {"HTML Format", "Version:1.0\r\nStartHTML:00000500\r\nEndHTML:00000400\r\n", "text/html", {}},
        {"HTML Format", "no header at all", "text/html", {}},
        {"Rich Text Format", rtf + QByteArray(1, '\0') + "junk", "text/rtf", rtf},
        {"TExStringGrid Cells", "abc", "text/html", {}},
    };
    for (const Case& c : cases) {
        const TClipFormat f = RegisterClipboardFormat(c.Name);
        Clipboard()->SetAsBytes(f, c.Block);
        const QMimeData* m = ClipboardMimeData();
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->data(c.Mime), c.Offered) << c.Name << " " << c.Block.constData();
        // The block itself comes back unchanged under its own name.
        EXPECT_EQ(Clipboard()->GetAsBytes(f), c.Block) << c.Name;
    }
}

// A drag to another program carries every format the data object gives
// under a MIME type; a drag from another copy of the program brings back
// the formats this copy knows by name.
TEST(DragMimeData, FormatsGoOutUnderCommonAndOwnTypesAndComeBack) {
    const QByteArray doc = "<html><body>y</body></html>";
    const QByteArray html = "Version:1.0\r\nStartHTML:00000097\r\nEndHTML:" +
                            QByteArray::number(97 + doc.size()).rightJustified(8, '0') +
                            "\r\nStartFragment:00000000\r\nEndFragment:00000000\r\n" + doc + QByteArray(1, '\0');
    const TClipFormat cells = RegisterClipboardFormat("TExStringGrid Cells");
    const TClipFormat rtf = RegisterClipboardFormat("Rich Text Format");
    const TClipFormat csv = RegisterClipboardFormat("CSV");
    const QByteArray stream("\x03\0\0\0\0\0\0\0a\0b", 11);
    TDataObject data;
    // The 8-bit text comes first: the UTF-16 text still decides.
    data.SetFormat(CF_TEXT, TextToClipboardBytes(CF_TEXT, "old"));
    data.SetFormat(CF_UNICODETEXT, TextToClipboardBytes(CF_UNICODETEXT, QString::fromUtf8("a\tü")));
    data.SetFormat(rtf, "{\\rtf1 b}" + QByteArray(1, '\0'));
    data.SetFormat(RegisterClipboardFormat("HTML Format"), html);
    data.SetFormat(csv, TextToClipboardBytes(CF_TEXT, QString::fromUtf8("ä;b")));
    data.SetFormat(cells, stream);
    data.SetFormat(CF_DIB, "no picture goes");
    const std::unique_ptr<QMimeData> m(DragMimeDataOf(&data));
    EXPECT_EQ(m->data("text/plain;charset=utf-8"), QString::fromUtf8("a\tü").toUtf8());
    EXPECT_EQ(m->data("text/plain"), QString::fromUtf8("a\tü").toUtf8());
    EXPECT_EQ(m->data("text/rtf"), "{\\rtf1 b}");
    EXPECT_EQ(m->data("text/html"), doc);
    EXPECT_EQ(m->data("text/csv"), QString::fromUtf8("ä;b").toUtf8());
    EXPECT_EQ(m->data("application/x-kalmetor-texstringgrid-cells"), stream);
    EXPECT_EQ(m->formats().size(), 6) << m->formats().join(' ').toStdString();

    // Back in: text, rich text, CSV and the cells as this copy holds them;
    // an own type no format here is registered for is left out.
    m->setData("application/x-kalmetor-not-registered-here", "zz");
    QHash<TClipFormat, QByteArray> back;
    for (const auto& [f, bytes] : FormatsOfDragMimeData(m.get())) back.insert(f, bytes);
    EXPECT_EQ(back.value(CF_UNICODETEXT), TextToClipboardBytes(CF_UNICODETEXT, QString::fromUtf8("a\tü")));
    EXPECT_EQ(back.value(CF_TEXT), TextToClipboardBytes(CF_TEXT, QString::fromUtf8("a\tü")));
    EXPECT_EQ(back.value(rtf), "{\\rtf1 b}" + QByteArray(1, '\0'));
    EXPECT_EQ(back.value(csv), TextToClipboardBytes(CF_TEXT, QString::fromUtf8("ä;b")));
    EXPECT_EQ(back.value(cells), stream);
    EXPECT_EQ(back.size(), 5);

    // Plain text of another program, without a character set, is text too.
    QMimeData plain;
    plain.setData("text/plain", "p q");
    const auto fromPlain = FormatsOfDragMimeData(&plain);
    ASSERT_FALSE(fromPlain.isEmpty());
    EXPECT_EQ(ClipboardBytesToText(CF_UNICODETEXT, fromPlain.first().second), "p q");
}
