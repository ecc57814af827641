#pragma once
// The rich edit control: text with character formats, shown word-wrapped or
// not, edited with the keyboard, read and written as RTF or plain text. After
// every change of its content it asks its parent for the size the text needs
// (EN_REQUESTRESIZE), as the platform's control does with that event on.
#include "platform/controls/Controls.h"
#include "platform/controls/RichText.h"

#include <QByteArray>
#include <functional>

class TStream;
class TCustomRichEdit;

// Notification codes of the rich edit control and the header every WM_NOTIFY
// carries (through LParam).
enum : unsigned { EN_MSGFILTER = 0x0700, EN_REQUESTRESIZE = 0x0701, EN_SELCHANGE = 0x0702 };
struct NMHDR {
    HWND hwndFrom = 0;
    std::uintptr_t idFrom = 0;
    unsigned code = 0;
};
// What EN_REQUESTRESIZE carries: the rectangle the content needs.
struct REQRESIZE {
    NMHDR nmhdr;
    TRect rc;
};

using TRichEditResizeEvent = std::function<void(TObject* Sender, const TRect& Rect)>;

// The character format of the selection (or of the whole text, for the
// default attributes): reading answers the format of the selection's first
// character, writing changes every selected character; with nothing
// selected it sets the format of what is typed next.
class TTextAttributes {
public:
    TTextAttributes(TCustomRichEdit* owner, bool selection) : FOwner(owner), FSelection(selection) {}
    QString Name() const { return Get().Name; }
    void SetName(const QString& v);
    int Size() const { return Get().Size; }
    void SetSize(int v);
    TFontStyles Style() const { return Get().Style; }
    void SetStyle(TFontStyles v);
    TColor Color() const { return Get().Color; }
    void SetColor(TColor v);
    // The vertical offset in twips: positive is superscript, negative
    // subscript.
    int Offset() const { return Get().Offset; }
    void SetOffset(int v);
    void Assign(const TFont& f);
    TCharFormat Format() const { return Get(); }

private:
    TCharFormat Get() const;
    void Change(const std::function<void(TCharFormat&)>& f);
    TCustomRichEdit* FOwner;
    bool FSelection;
};

class TCustomRichEdit : public TCustomControl {
    KAL_CLASS(TCustomRichEdit, TCustomControl)
public:
    explicit TCustomRichEdit(TComponent* AOwner);
    ~TCustomRichEdit() override;

    // -- content
    // The plain text, paragraphs separated by CR LF.
    QString PlainTextOut() const;
    // Replaces everything with plain text in the default attributes.
    void SetPlainTextIn(const QString& text);
    const TRichText& RichText() const { return FText; }
    void SetRichText(const TRichText& t);
    void Clear() { SetRichText(TRichText()); }
    // The lines of the plain text (paragraphs).
    QStringList Lines() const;

    // Reads RTF (recognised by its start) or plain text; with PlainText set
    // everything is read as plain text.
    void LoadFromBytes(const QByteArray& bytes);
    void LoadFromStream(TStream& stream);
    // RTF, or the plain text in the ANSI code page with PlainText set.
    QByteArray SaveToBytes() const;
    void SaveToStream(TStream& stream) const;
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool v) { FPlainText = v; }

    // -- selection, in characters of the text ('\n' between paragraphs)
    int SelStart() const { return FSelStart; }
    void SetSelStart(int v);
    int SelLength() const { return FSelLength; }
    void SetSelLength(int v);
    void SelectAll();
    QString SelText() const;
    // Replaces the selection with text in the format of the insertion point.
    void SetSelText(const QString& text);
    TTextAttributes* SelAttributes() { return &FSelAttributes; }
    TTextAttributes* DefAttributes() { return &FDefAttributes; }
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    // -- looks
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v) { FTransparent = v; Invalidate(); }
    bool BorderVisible() const { return FBorder; }
    void SetBorderVisible(bool v) { FBorder = v; Invalidate(); }

    // -- size
    // The size the text needs: its height, and its width (the widest line
    // without wrapping, the formatting width with it).
    TSize ContentSize();
    // Asks the parent for the size the content needs now (EM_REQUESTRESIZE).
    void RequestSize();
    // Formats the whole text onto `canvas` inside `r` (EM_FORMATRANGE with
    // rendering), wrapped at the width of `r` when WordWrap is on.
    void DrawTo(TCanvas* canvas, const TRect& r);

    TNotifyEvent OnChange, OnSelectionChange;
    TRichEditResizeEvent OnResizeRequest;

protected:
    friend class TTextAttributes;
    // The request for the size the text needs; fires OnResizeRequest.
    virtual void RequestSize(const TRect& Rect);
    virtual void DoChange();
    virtual void SelectionChange();
    void WndProc(TMessage& M) override;
    void Paint() override;
    void WMGetDlgCode(TMessage& M) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void WMLButtonDown(TMessage& M) override;
    void CMFontChanged(TMessage& M) override;
    void Resize() override;

    // A line of laid-out text: pieces of runs with their place.
    struct Piece {
        int Start;  // index of the first character in the text
        QString Text;
        TCharFormat Format;
        int X;
        int Width;
        int Height;
    };
    struct Line {
        int Start, End;  // characters [Start, End) without the paragraph mark
        int Y, Height;
        int Up, Down;  // room above and below the base line
        QList<Piece> Pieces;
    };
    QList<Line> Layout(TCanvas* canvas, int width) const;
    void PaintLines(TCanvas* canvas, const QList<Line>& lines, TPoint origin, bool showSelection);
    static void UseFormat(TCanvas* canvas, const TCharFormat& f);
    int CharAtPoint(int X, int Y);
    TCharFormat InsertionFormat() const;
    void Changed();

private:
    int MarginLeft() const;
    int FormatWidth() const;
    TRichText FText;
    TCharFormat FDefaults;
    bool FHasPendingFormat = false;
    TCharFormat FPendingFormat;  // what is typed next, when set with no selection
    int FSelStart = 0, FSelLength = 0;
    int FAnchor = 0;
    TTextAttributes FSelAttributes, FDefAttributes;
    bool FPlainText = false, FReadOnly = false, FWordWrap = true, FTransparent = false, FBorder = true;
};

class TRichEdit : public TCustomRichEdit {
    KAL_CLASS(TRichEdit, TCustomRichEdit)
public:
    explicit TRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}
};
