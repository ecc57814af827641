#include "Std2Kit.h"
#include "platform/controls/Clipboard.h"
#include "platform/controls/RichEdit.h"
#include "platform/core/Streams.h"

namespace {
TCharFormat Plain() { return TCharFormat(); }
TCharFormat With(std::function<void(TCharFormat&)> f) {
    TCharFormat c;
    f(c);
    return c;
}
QStringList RunTexts(const TRichText& t) {
    QStringList l;
    for (const TTextRun& r : t.Runs()) l << r.Text;
    return l;
}
}  // namespace

TEST(RichText, BoldSubscriptAndColourSurviveWritingAndReading) {
    TRichText t;
    t.Append("H", With([](TCharFormat& c) { c.Style = fsBold; }));
    t.Append("2", With([](TCharFormat& c) { c.Offset = -40; }));
    t.Append("O is ", Plain());
    t.Append("red", With([](TCharFormat& c) { c.Color = clRed; c.Name = "Verdana"; c.Size = 12; }));
    t.Append("\nx", Plain());
    t.Append("2", With([](TCharFormat& c) { c.Offset = 40; c.Style = fsItalic | fsUnderline; }));
    const QByteArray rtf = WriteRtf(t);
    EXPECT_TRUE(LooksLikeRtf(rtf));
    const TRichText back = ReadRtf(rtf);
    EXPECT_EQ(RunTexts(back), RunTexts(t));
    ASSERT_EQ(back.Runs().size(), t.Runs().size());
    for (int i = 0; i < t.Runs().size(); ++i) {
        const TCharFormat a = t.Runs()[i].Format, b = back.Runs()[i].Format;
        EXPECT_EQ(b.Name, a.Name) << i;
        EXPECT_EQ(b.Size, a.Size) << i;
        EXPECT_EQ(b.Style, a.Style) << i;
        EXPECT_EQ(ColorToRGB(b.Color), ColorToRGB(a.Color)) << i;
        EXPECT_EQ(b.Offset, a.Offset) << i;
    }
}

TEST(RichText, TheWriterUsesTheControlWordsOfEachFormat) {
    TRichText t;
    t.Append("a", With([](TCharFormat& c) { c.Offset = -40; }));    // 40 twips down: 4 half-points
    t.Append("b", With([](TCharFormat& c) { c.Offset = 40; c.Style = fsBold; c.Color = RGB(255, 0, 0); }));
    t.Append("{c}\\", Plain());
    const QByteArray rtf = WriteRtf(t);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi"));
    EXPECT_TRUE(rtf.contains("{\\f0\\fnil Tahoma;}"));
    EXPECT_TRUE(rtf.contains("{\\colortbl ;\\red255\\green0\\blue0;}"));
    EXPECT_TRUE(rtf.contains("\\fs16\\cf0\\dn4 a"));
    EXPECT_TRUE(rtf.contains("\\fs16\\cf1\\b\\up4 b"));
    EXPECT_TRUE(rtf.contains("\\{c\\}\\\\"));
    // Nothing but ASCII, so the bytes survive any 8-bit round trip.
    for (char ch : rtf) EXPECT_GE(static_cast<signed char>(ch), 0);
}

TEST(RichText, CharactersOutsideAsciiAndSpecialOnesComeBack) {
    const QString text = QString::fromUtf8("Caf\u00e9 \u20ac 5\t\u03b1\u03b2 {x}\\ end\n\nlast");
    const TRichText back = ReadRtf(WriteRtf(TRichText(text)));
    EXPECT_EQ(back.Text(), text);
}

TEST(RichText, UnknownControlWordsAndSkippedGroupsLeaveThePlainText) {
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
        "{\\f1\\froman Times New Roman;}}\r\n"
        "{\\colortbl ;\\red0\\green0\\blue255;}\r\n"
        "{\\stylesheet{\\s0 Normal;}}{\\info{\\author Someone}}{\\*\\generator Riched20 10.0;}"
        "\\viewkind4\\uc1\\pard\\sa200\\sl276\\slmult1\\qc\\f0\\fs22\\lang1040 Caf\\'e9 "
        "{\\*\\unknowndest ignored}{\\pict\\pngblip 89504e47}\\cf1\\highlight2 blue\\cf0 "
        "\\u8364? 5\\par\r\n\\f1\\fs28\\expndtw10 Next\\~line\\emdash ok\\par\r\n}";
    const TRichText t = ReadRtf(rtf);
    // The blank after "\cf0" belongs to the control word.
    EXPECT_EQ(t.Text(), QString::fromUtf8("Caf\u00e9 blue\u20ac 5\nNext\u00a0line\u2014ok"));
    // The formats it knows are taken on the way.
    EXPECT_EQ(t.FormatAt(0).Name, "Arial");
    EXPECT_EQ(t.FormatAt(0).Size, 11);
    EXPECT_EQ(t.FormatAt(6).Color, RGB(0, 0, 255));
    EXPECT_EQ(t.FormatAt(t.Length() - 1).Name, "Times New Roman");
    EXPECT_EQ(t.FormatAt(t.Length() - 1).Size, 14);
}

TEST(RichText, BrokenInputReadsWhatItCanWithoutFailing) {
    struct Case { QByteArray in; QString text; };
    const Case cases[] = {
        {"{\\rtf1 abc {\\b def", "abc def"},            // groups never closed
        {"{\\rtf1 abc}} trailing", "abc"},              // text after the end
        {"{\\rtf1 x\\'4", "x"},                          // a cut hex escape
        {"{\\rtf1 \\u", ""},                             // a cut control word
        {"{\\rtf1 a\\fs99999999999999 b}", "ab"},        // a huge number
        {"plain text, no rtf", "plain text, no rtf"},     // read as plain text
        {"{\\rtf1 top" + QByteArray(20000, '{') + "deep", "top"},  // nesting too deep: stops there
    };
    for (const Case& c : cases) EXPECT_EQ(ReadRtf(c.in).Text(), c.text) << c.in.left(40).constData();
}

class RichEditTest : public Std2Test {
protected:
    void SetUp() override {
        Std2Test::SetUp();
        RE = new TRichEdit(Form);
        RE->SetParent(Form);
        RE->SetBounds(10, 10, 200, 100);
        Form->Show();
    }
    TRichEdit* RE = nullptr;
};

TEST_F(RichEditTest, SelectionFormatsGoThroughAStreamAndBack) {
    RE->SetPlainTextIn("H2O is red\r\nsecond");
    RE->SetSelStart(0);
    RE->SetSelLength(1);
    RE->SelAttributes()->SetStyle(fsBold);
    RE->SetSelStart(1);
    RE->SetSelLength(1);
    RE->SelAttributes()->SetOffset(-40);
    RE->SetSelStart(7);
    RE->SetSelLength(3);
    RE->SelAttributes()->SetColor(clRed);
    EXPECT_EQ(RE->SelAttributes()->Color(), clRed);
    EXPECT_EQ(RE->PlainTextOut(), "H2O is red\r\nsecond");

    TMemoryStream stream;
    RE->SaveToStream(stream);
    stream.SetPosition(0);
    auto* other = new TRichEdit(Form);
    other->LoadFromStream(stream);
    EXPECT_EQ(other->PlainTextOut(), "H2O is red\r\nsecond");
    EXPECT_EQ(other->Lines(), QStringList({"H2O is red", "second"}));
    other->SetSelStart(0);
    other->SetSelLength(1);
    EXPECT_EQ(other->SelAttributes()->Style(), TFontStyles(fsBold));
    other->SetSelStart(1);
    other->SetSelLength(1);
    EXPECT_EQ(other->SelAttributes()->Offset(), -40);
    EXPECT_EQ(other->SelAttributes()->Style(), TFontStyles(0));
    other->SetSelStart(8);
    other->SetSelLength(1);
    EXPECT_EQ(ColorToRGB(other->SelAttributes()->Color()), RGB(255, 0, 0));

    // Read as plain text, the RTF stays as it is.
    auto* plain = new TRichEdit(Form);
    plain->SetPlainText(true);
    plain->LoadFromBytes(RE->SaveToBytes());
    EXPECT_TRUE(plain->PlainTextOut().startsWith("{\\rtf1"));
    EXPECT_EQ(plain->SaveToBytes(), RE->SaveToBytes());
}

TEST_F(RichEditTest, TypingContinuesTheFormatOrTakesTheOneJustSet) {
    RE->SetFocus();
    for (char ch : QByteArray("ab")) Input::Char(QChar(ch));
    RE->SelAttributes()->SetStyle(fsBold);  // nothing selected: for what comes next
    Input::Char('c');
    Input::Char('d');
    EXPECT_EQ(RunTexts(RE->RichText()), QStringList({"ab", "cd"}));
    EXPECT_EQ(RE->RichText().FormatAt(2).Style, TFontStyles(fsBold));
    Input::Char(QChar(8));  // Backspace
    Input::KeyStroke(VK_HOME);
    Input::Char('>');
    EXPECT_EQ(RE->RichText().Text(), ">abc");
    EXPECT_EQ(RE->RichText().FormatAt(0).Style, TFontStyles(0));
    RE->SetReadOnly(true);
    Input::Char('z');
    EXPECT_EQ(RE->RichText().Text(), ">abc");
}

TEST_F(RichEditTest, ContentChangesRequestTheSizeTheTextNeeds) {
    QList<TRect> asked;
    RE->OnResizeRequest = [&](TObject*, const TRect& r) { asked << r; };
    RE->SetPlainTextIn("one");
    ASSERT_FALSE(asked.isEmpty());
    const int oneLine = asked.last().Height();
    EXPECT_GT(oneLine, 0);
    RE->SetPlainTextIn("one\r\ntwo\r\nthree");
    EXPECT_EQ(asked.last().Height(), 3 * oneLine);
    // Without wrapping the width is the widest line's.
    RE->SetWordWrap(false);
    TCanvas* c = RE->Canvas();
    c->Font().SetName("Tahoma");
    c->Font().SetSize(8);
    c->Font().SetStyle(0);
    EXPECT_EQ(asked.last().Width(), c->TextWidth("three"));
    // With wrapping, a long paragraph takes more lines inside the width.
    RE->SetWordWrap(true);
    RE->SetPlainTextIn(QString("word ").repeated(40).trimmed());
    EXPECT_GT(asked.last().Height(), 3 * oneLine);
    EXPECT_LE(asked.last().Width(), RE->Width());
}

TEST_F(RichEditTest, TheRequestArrivesAsANotificationASubclassCanSee) {
    struct Measuring : TRichEdit {
        using TRichEdit::TRichEdit;
        int ReqWidth = -1, ReqHeight = -1;
        void WndProc(TMessage& m) override {
            if (m.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == EN_REQUESTRESIZE) {
                const TRect& r = reinterpret_cast<REQRESIZE*>(m.LParam)->rc;
                ReqWidth = r.Width();
                ReqHeight = r.Height();
            }
            TRichEdit::WndProc(m);
        }
    };
    auto* m = new Measuring(Form);
    m->SetParent(Form);
    m->SetWordWrap(false);
    m->SetPlainTextIn("x");
    EXPECT_GT(m->ReqWidth, 0);
    EXPECT_GT(m->ReqHeight, 0);
}

TEST_F(RichEditTest, CopyAndPasteCarryTheFormats) {
    RE->SetPlainTextIn("plain bold");
    RE->SetSelStart(6);
    RE->SetSelLength(4);
    RE->SelAttributes()->SetStyle(fsBold);
    RE->SetSelStart(4);
    RE->SetSelLength(6);  // "n bold"
    RE->CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "n bold");
    auto* target = new TRichEdit(Form);
    target->SetPlainTextIn("<>");
    target->SetSelStart(1);
    target->PasteFromClipboard();
    EXPECT_EQ(target->RichText().Text(), "<n bold>");
    EXPECT_EQ(target->RichText().FormatAt(3).Style, TFontStyles(fsBold));
    EXPECT_EQ(target->RichText().FormatAt(1).Style, TFontStyles(0));
    Clipboard()->Clear();
}
