#include "platform/controls/RichEdit.h"

#include "platform/controls/Clipboard.h"
#include "platform/core/CodePages.h"
#include "platform/core/Streams.h"

#include <algorithm>

namespace {
// The frame and the room between frame and text.
constexpr int kBorder = 2;
constexpr int kInner = 1;

// Twips of a vertical offset as pixels at the screen's resolution.
int OffsetPixels(int twips) { return twips * ScreenPixelsPerInch / 1440; }
}  // namespace

// ---------------------------------------------------------------------------
// TTextAttributes
// ---------------------------------------------------------------------------

TCharFormat TTextAttributes::Get() const {
    if (!FSelection) return FOwner->FDefaults;
    if (FOwner->FSelLength == 0) return FOwner->InsertionFormat();
    return FOwner->FText.FormatAt(FOwner->FSelStart);
}

void TTextAttributes::Change(const std::function<void(TCharFormat&)>& f) {
    TCustomRichEdit* o = FOwner;
    if (!FSelection) {
        // The default attributes change the whole text and what comes next.
        f(o->FDefaults);
        o->FText.ChangeFormat(0, o->FText.Length(), f);
        if (o->FHasPendingFormat) f(o->FPendingFormat);
    } else if (o->FSelLength == 0) {
        o->FPendingFormat = o->InsertionFormat();
        f(o->FPendingFormat);
        o->FHasPendingFormat = true;
        return;
    } else {
        o->FText.ChangeFormat(o->FSelStart, o->FSelLength, f);
    }
    o->Changed();
}

void TTextAttributes::SetName(const QString& v) { Change([&](TCharFormat& c) { c.Name = v; }); }
void TTextAttributes::SetSize(int v) { Change([&](TCharFormat& c) { c.Size = std::max(1, v); }); }
void TTextAttributes::SetStyle(TFontStyles v) { Change([&](TCharFormat& c) { c.Style = v; }); }
void TTextAttributes::SetColor(TColor v) { Change([&](TCharFormat& c) { c.Color = v; }); }
void TTextAttributes::SetOffset(int v) { Change([&](TCharFormat& c) { c.Offset = v; }); }

void TTextAttributes::Assign(const TFont& font) {
    Change([&](TCharFormat& c) {
        c.Name = font.Name();
        c.Size = font.Size();
        c.Style = font.Style();
        c.Color = font.Color();
    });
}

// ---------------------------------------------------------------------------
// TCustomRichEdit
// ---------------------------------------------------------------------------

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner)
    : TCustomControl(AOwner), FSelAttributes(this, true), FDefAttributes(this, false) {
    SetBounds(0, 0, 185, 89);
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
    FDefaults.Name = Font()->Name();
    FDefaults.Size = Font()->Size();
    FDefaults.Color = Font()->Color();
}

TCustomRichEdit::~TCustomRichEdit() = default;

void TCustomRichEdit::CMFontChanged(TMessage& M) {
    TCustomControl::CMFontChanged(M);
    // The control's font is the default format of an empty control.
    if (FText.IsEmpty()) {
        FDefaults.Name = Font()->Name();
        FDefaults.Size = Font()->Size();
        FDefaults.Style = Font()->Style();
        FDefaults.Color = Font()->Color();
    }
}

QString TCustomRichEdit::PlainTextOut() const {
    QString s = FText.Text();
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return s;
}

void TCustomRichEdit::SetPlainTextIn(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    SetRichText(TRichText(t, FDefaults));
}

void TCustomRichEdit::SetRichText(const TRichText& t) {
    FText = t;
    FSelStart = FSelLength = FAnchor = 0;
    FHasPendingFormat = false;
    Changed();
    SelectionChange();
}

QStringList TCustomRichEdit::Lines() const {
    if (FText.IsEmpty()) return {};
    return FText.Text().split(QLatin1Char('\n'));
}

void TCustomRichEdit::LoadFromBytes(const QByteArray& bytes) {
    if (!FPlainText && LooksLikeRtf(bytes)) SetRichText(ReadRtf(bytes, FDefaults));
    else SetPlainTextIn(DecodeAnsi(bytes));
}

void TCustomRichEdit::LoadFromStream(TStream& stream) {
    const int64_t left = stream.Size() - stream.Position();
    QByteArray bytes(int(std::max<int64_t>(0, left)), '\0');
    if (!bytes.isEmpty()) bytes.resize(int(stream.Read(bytes.data(), bytes.size())));
    LoadFromBytes(bytes);
}

QByteArray TCustomRichEdit::SaveToBytes() const {
    if (FPlainText) return EncodeAnsi(PlainTextOut());
    return WriteRtf(FText);
}

void TCustomRichEdit::SaveToStream(TStream& stream) const {
    const QByteArray b = SaveToBytes();
    stream.WriteBuffer(b.constData(), b.size());
}

// -- selection ---------------------------------------------------------------

void TCustomRichEdit::SetSelStart(int v) {
    FSelStart = std::clamp(v, 0, FText.Length());
    FSelLength = 0;
    FAnchor = FSelStart;
    FHasPendingFormat = false;
    Invalidate();
    SelectionChange();
}

void TCustomRichEdit::SetSelLength(int v) {
    FSelLength = std::clamp(v, 0, FText.Length() - FSelStart);
    FHasPendingFormat = false;
    Invalidate();
    SelectionChange();
}

void TCustomRichEdit::SelectAll() {
    FSelStart = 0;
    FAnchor = 0;
    FSelLength = FText.Length();
    Invalidate();
    SelectionChange();
}

QString TCustomRichEdit::SelText() const { return FText.Text().mid(FSelStart, FSelLength); }

TCharFormat TCustomRichEdit::InsertionFormat() const {
    if (FHasPendingFormat) return FPendingFormat;
    if (FText.IsEmpty()) return FDefaults;
    // Typed text continues the format of the character before it.
    return FText.FormatAt(std::max(0, FSelStart - 1));
}

void TCustomRichEdit::SetSelText(const QString& text) {
    const TCharFormat f = InsertionFormat();
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    FText.Remove(FSelStart, FSelLength);
    FText.Insert(FSelStart, t, f);
    FSelStart += int(t.size());
    FSelLength = 0;
    FAnchor = FSelStart;
    FHasPendingFormat = false;
    Changed();
    SelectionChange();
}

void TCustomRichEdit::CopyToClipboard() {
    if (FSelLength == 0) return;
    TClipboard* cb = Clipboard();
    cb->Open();
    QString plain = SelText();
    plain.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    cb->SetAsText(plain);
    cb->SetAsBytes(RegisterClipboardFormat(QStringLiteral("Rich Text Format")), WriteRtf(FText.Mid(FSelStart, FSelLength)));
    cb->Close();
}

void TCustomRichEdit::CutToClipboard() {
    if (FReadOnly || FSelLength == 0) return;
    CopyToClipboard();
    SetSelText(QString());
}

void TCustomRichEdit::PasteFromClipboard() {
    if (FReadOnly) return;
    TClipboard* cb = Clipboard();
    const TClipFormat rtf = RegisterClipboardFormat(QStringLiteral("Rich Text Format"));
    if (!FPlainText && cb->HasFormat(rtf)) {
        const TRichText pasted = ReadRtf(cb->GetAsBytes(rtf), InsertionFormat());
        FText.Remove(FSelStart, FSelLength);
        int at = FSelStart;
        for (const TTextRun& r : pasted.Runs()) {
            FText.Insert(at, r.Text, r.Format);
            at += int(r.Text.size());
        }
        FSelStart = FAnchor = at;
        FSelLength = 0;
        Changed();
        SelectionChange();
    } else if (cb->HasFormat(CF_UNICODETEXT)) {
        SetSelText(cb->AsText());
    }
}

// -- changes and size --------------------------------------------------------

void TCustomRichEdit::Changed() {
    Invalidate();
    DoChange();
    RequestSize();
}

void TCustomRichEdit::DoChange() {
    if (OnChange) OnChange(this);
}

void TCustomRichEdit::SelectionChange() {
    if (OnSelectionChange) OnSelectionChange(this);
}

void TCustomRichEdit::SetWordWrap(bool v) {
    if (v == FWordWrap) return;
    FWordWrap = v;
    Invalidate();
    RequestSize();
}

void TCustomRichEdit::Resize() {
    TCustomControl::Resize();
    if (FWordWrap) RequestSize();
}

int TCustomRichEdit::MarginLeft() const { return (FBorder ? kBorder : 0) + kInner; }

int TCustomRichEdit::FormatWidth() const { return std::max(1, Width() - 2 * MarginLeft()); }

TSize TCustomRichEdit::ContentSize() {
    const QList<Line> lines = Layout(Canvas(), FWordWrap ? FormatWidth() : 0);
    int w = 0, h = 0;
    for (const Line& l : lines) {
        int right = 0;
        for (const Piece& p : l.Pieces) right = std::max(right, p.X + p.Width);
        w = std::max(w, right);
        h = l.Y + l.Height;
    }
    return TSize(FWordWrap ? FormatWidth() : w, h);
}

void TCustomRichEdit::RequestSize() {
    const TSize s = ContentSize();
    REQRESIZE r;
    r.nmhdr.hwndFrom = Handle();
    r.nmhdr.code = EN_REQUESTRESIZE;
    r.rc = Rect(0, 0, s.cx, s.cy);
    Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&r));
}

void TCustomRichEdit::RequestSize(const TRect& Rect) {
    if (OnResizeRequest) OnResizeRequest(this, Rect);
}

void TCustomRichEdit::WndProc(TMessage& M) {
    if (M.Msg == CN_NOTIFY && M.LParam) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(M.LParam);
        if (hdr->code == EN_REQUESTRESIZE) {
            RequestSize(reinterpret_cast<const REQRESIZE*>(M.LParam)->rc);
            return;
        }
    }
    TCustomControl::WndProc(M);
}

// -- layout ------------------------------------------------------------------

void TCustomRichEdit::UseFormat(TCanvas* canvas, const TCharFormat& f) {
    TFont& font = canvas->Font();
    font.SetName(f.Name);
    font.SetSize(f.Size);
    font.SetStyle(f.Style);
    font.SetColor(f.Color);
}

QList<TCustomRichEdit::Line> TCustomRichEdit::Layout(TCanvas* canvas, int width) const {
    QList<Line> lines;
    const QString all = FText.Text();
    const QList<TTextRun> runs = FText.Runs();
    // Words with the format they are in: a word ends after its blanks, and
    // a run boundary ends it too.
    struct Word {
        int Start;
        QString Text;
        TCharFormat Format;
        bool ParagraphEnd;
    };
    QList<Word> words;
    int pos = 0;
    for (const TTextRun& r : runs) {
        QString cur;
        int curStart = pos;
        for (int i = 0; i < r.Text.size(); ++i, ++pos) {
            const QChar ch = r.Text[i];
            if (ch == QLatin1Char('\n')) {
                words << Word{curStart, cur, r.Format, true};
                cur.clear();
                curStart = pos + 1;
                continue;
            }
            cur += ch;
            const bool blank = ch == QLatin1Char(' ') || ch == QLatin1Char('\t');
            const bool nextIsWord = i + 1 < r.Text.size() && r.Text[i + 1] != QLatin1Char(' ');
            if (blank && nextIsWord) {
                words << Word{curStart, cur, r.Format, false};
                cur.clear();
                curStart = pos + 1;
            }
        }
        if (!cur.isEmpty()) words << Word{curStart, cur, r.Format, false};
    }

    UseFormat(canvas, FDefaults);
    const int emptyHeight = canvas->TextHeight(QStringLiteral("Wg"));
    Line line{0, 0, 0, 0, 0, 0, {}};
    int x = 0;
    auto finish = [&](int end, int nextStart) {
        line.End = end;
        if (line.Height == 0) line.Height = emptyHeight;
        const int y = line.Y;
        lines << line;
        line = Line{nextStart, nextStart, y + line.Height, 0, 0, 0, {}};
        x = 0;
    };
    for (const Word& w : words) {
        UseFormat(canvas, w.Format);
        const int ww = w.Text.isEmpty() ? 0 : canvas->TextWidth(w.Text);
        const int th = canvas->TextHeight(QStringLiteral("Wg"));
        const int off = OffsetPixels(w.Format.Offset);
        const int wh = th + std::abs(off);
        if (width > 0 && x > 0 && x + ww > width && !w.Text.trimmed().isEmpty()) finish(w.Start, w.Start);
        if (!w.Text.isEmpty()) {
            line.Pieces << Piece{w.Start, w.Text, w.Format, x, ww, wh};
            x += ww;
            // Above the base: the text and a raise; below it: a lowering.
            line.Up = std::max(line.Up, th + std::max(0, off));
            line.Down = std::max(line.Down, std::max(0, -off));
            line.Height = line.Up + line.Down;
        } else if (line.Height == 0) {
            line.Up = th;
            line.Height = th;
        }
        if (w.ParagraphEnd) finish(w.Start + int(w.Text.size()), w.Start + int(w.Text.size()) + 1);
    }
    line.End = int(all.size());
    if (line.Height == 0) line.Height = emptyHeight;
    lines << line;
    return lines;
}

void TCustomRichEdit::PaintLines(TCanvas* c, const QList<Line>& lines, TPoint origin, bool showSelection) {
    const int selA = FSelStart, selB = FSelStart + FSelLength;
    c->SetBkMode(TRANSPARENT);
    for (const Line& l : lines) {
        for (const Piece& p : l.Pieces) {
            UseFormat(c, p.Format);
            const int th = c->TextHeight(QStringLiteral("Wg"));
            // Pieces stand on the line's bottom; an offset lifts or lowers.
            const int y = origin.Y + l.Y + l.Height - l.Down - th - OffsetPixels(p.Format.Offset);
            const int x = origin.X + p.X;
            const int a = std::clamp(selA - p.Start, 0, int(p.Text.size()));
            const int b = std::clamp(selB - p.Start, 0, int(p.Text.size()));
            if (!showSelection || a >= b) {
                c->TextOut(x, y, p.Text);
                continue;
            }
            // The selected part on the highlight, the rest as it is.
            const int xa = x + c->TextWidth(p.Text.left(a));
            const int xb = x + c->TextWidth(p.Text.left(b));
            c->Brush().SetColor(clHighlight);
            c->FillRect(Rect(xa, origin.Y + l.Y, xb, origin.Y + l.Y + l.Height));
            c->TextOut(x, y, p.Text.left(a));
            c->Font().SetColor(clHighlightText);
            c->TextOut(xa, y, p.Text.mid(a, b - a));
            c->Font().SetColor(p.Format.Color);
            c->TextOut(xb, y, p.Text.mid(b));
        }
    }
}

void TCustomRichEdit::DrawTo(TCanvas* canvas, const TRect& r) {
    const QList<Line> lines = Layout(canvas, FWordWrap ? r.Width() : 0);
    canvas->SaveState();
    canvas->IntersectClipRect(r.Left, r.Top, r.Right, r.Bottom);
    PaintLines(canvas, lines, r.TopLeft(), false);
    canvas->RestoreState();
}

void TCustomRichEdit::Paint() {
    TCanvas* c = Canvas();
    if (!FTransparent) {
        c->Brush().SetColor(Enabled() ? Color() : clBtnFace);
        c->FillRect(ClientRect());
    }
    if (FBorder) {
        TRect frame = ClientRect();
        c->DrawEdge(frame, EDGE_SUNKEN, BF_RECT);
    }
    const int m = MarginLeft();
    c->IntersectClipRect(m, m, Width() - m, Height() - m);
    const QList<Line> lines = Layout(c, FWordWrap ? FormatWidth() : 0);
    PaintLines(c, lines, Point(m, m), Focused());
    if (Focused()) {
        // The caret.
        for (const Line& l : lines) {
            if (FSelStart < l.Start || FSelStart > l.End) continue;
            int x = m;
            for (const Piece& p : l.Pieces)
                if (FSelStart >= p.Start && FSelStart <= p.Start + p.Text.size()) {
                    UseFormat(c, p.Format);
                    x = m + p.X + c->TextWidth(p.Text.left(FSelStart - p.Start));
                }
            c->Pen().SetColor(clWindowText);
            c->MoveTo(x, m + l.Y);
            c->LineTo(x, m + l.Y + l.Height);
            break;
        }
    }
}

// -- keyboard and mouse ------------------------------------------------------

void TCustomRichEdit::WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

int TCustomRichEdit::CharAtPoint(int X, int Y) {
    const int m = MarginLeft();
    const QList<Line> lines = Layout(Canvas(), FWordWrap ? FormatWidth() : 0);
    for (const Line& l : lines) {
        if (Y - m >= l.Y + l.Height && &l != &lines.last()) continue;
        for (const Piece& p : l.Pieces) {
            if (X - m >= p.X + p.Width) continue;
            UseFormat(Canvas(), p.Format);
            for (int i = 0; i < p.Text.size(); ++i)
                if (X - m < p.X + Canvas()->TextWidth(p.Text.left(i + 1)) - Canvas()->TextWidth(p.Text.mid(i, 1)) / 2)
                    return p.Start + i;
            return p.Start + int(p.Text.size());
        }
        return l.End;
    }
    return FText.Length();
}

void TCustomRichEdit::WMLButtonDown(TMessage& M) {
    if (CanFocus() && !Focused()) SetFocus();
    const int at = CharAtPoint(GetXLParam(M.LParam), GetYLParam(M.LParam));
    if (KeyboardShiftState() & ssShift) {
        FSelStart = std::min(FAnchor, at);
        FSelLength = std::abs(at - FAnchor);
        Invalidate();
        SelectionChange();
    } else {
        SetSelStart(at);
    }
    TCustomControl::WMLButtonDown(M);
}

void TCustomRichEdit::KeyDown(unsigned& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    const int len = FText.Length();
    const int caret = FSelStart + (FSelStart < FAnchor || FSelLength == 0 ? 0 : FSelLength);
    const QString all = FText.Text();
    int to = -1;
    switch (Key) {
    case VK_LEFT: to = std::max(0, (FSelLength && !(Shift & ssShift)) ? FSelStart : caret - 1); break;
    case VK_RIGHT:
        to = std::min(len, (FSelLength && !(Shift & ssShift)) ? FSelStart + FSelLength : caret + 1);
        break;
    case VK_HOME: to = int(all.lastIndexOf(QLatin1Char('\n'), caret - 1)) + 1; break;
    case VK_END: {
        const int nl = int(all.indexOf(QLatin1Char('\n'), caret));
        to = nl < 0 ? len : nl;
        break;
    }
    case VK_DELETE:
        if (FReadOnly) break;
        if (Shift & ssShift) {
            CutToClipboard();
        } else {
            if (FSelLength == 0 && FSelStart < len) FSelLength = 1;
            SetSelText(QString());
        }
        Key = 0;
        return;
    case VK_INSERT:
        if (Shift & ssCtrl) CopyToClipboard();
        else if (Shift & ssShift) PasteFromClipboard();
        Key = 0;
        return;
    default: return;
    }
    if (to >= 0) {
        if (Shift & ssShift) {
            FSelStart = std::min(FAnchor, to);
            FSelLength = std::abs(to - FAnchor);
            Invalidate();
            SelectionChange();
        } else {
            SetSelStart(to);
        }
    }
    Key = 0;
}

void TCustomRichEdit::KeyPress(QChar& Key) {
    TCustomControl::KeyPress(Key);
    const char16_t k = Key.unicode();
    if (k == 0) return;
    switch (k) {
    case 1: SelectAll(); break;          // Ctrl+A
    case 3: CopyToClipboard(); break;    // Ctrl+C
    case 24: CutToClipboard(); break;    // Ctrl+X
    case 22: PasteFromClipboard(); break;  // Ctrl+V
    case 8:                              // Backspace
        if (FReadOnly) break;
        if (FSelLength == 0 && FSelStart > 0) {
            --FSelStart;
            FSelLength = 1;
        }
        SetSelText(QString());
        break;
    case 13:
        if (!FReadOnly) SetSelText(QStringLiteral("\n"));
        break;
    default:
        if (k >= 32 || k == 9) {
            if (!FReadOnly) SetSelText(QString(Key));
        }
        break;
    }
    Key = QChar();
}
