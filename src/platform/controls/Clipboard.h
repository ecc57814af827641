#pragma once
// The clipboard: text and any number of formats, each format a block of
// bytes. Predefined formats keep the platform's numbers (CF_TEXT 1,
// CF_UNICODETEXT 13, CF_HDROP 15 ...); other formats are registered by name
// and get one stable number from 0xC000 upward. Underneath, each format
// travels as a MIME type of the toolkit's clipboard, so text reaches other
// programs as plain text and a registered format as
// application/x-qt-windows-mime;value="<name>".
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <cstdint>
#include <functional>

class QMimeData;

using TClipFormat = std::uint16_t;

enum : TClipFormat {
    CF_TEXT = 1, CF_BITMAP = 2, CF_METAFILEPICT = 3, CF_SYLK = 4, CF_DIF = 5, CF_TIFF = 6, CF_OEMTEXT = 7,
    CF_DIB = 8, CF_PALETTE = 9, CF_PENDATA = 10, CF_RIFF = 11, CF_WAVE = 12, CF_UNICODETEXT = 13,
    CF_ENHMETAFILE = 14, CF_HDROP = 15, CF_LOCALE = 16, CF_DIBV5 = 17,
};

// One number per name for the life of the process; names compare without
// case, as the platform does. An empty name gives 0.
TClipFormat RegisterClipboardFormat(const QString& name);
// The registered name of a format; empty for predefined and unknown ones.
QString GetClipboardFormatName(TClipFormat format);
// The MIME type a format travels as, and back (0 for a type that stands for
// no format).
QString ClipboardFormatMimeType(TClipFormat format);
TClipFormat ClipboardFormatOfMimeType(const QString& mime);

// Drags to and from other programs carry formats as MIME types: text as
// text/plain;charset=utf-8 (and plain text/plain), rich text ("Rich Text
// Format") as text/rtf, mark-up ("HTML Format", the document without the
// block's header) as text/html, "CSV" as text/csv, files as text/uri-list,
// and every other registered format as the program's own
// application/x-kalmetor-<name>: the name in lower case, each run of other
// characters than letters and digits made one '-'. Another copy of the
// program reads those back as the formats of the same names.
//
// Adds one format of a drag to the toolkit's data (nothing for a format
// that has no MIME type). Text formats fill the text once: the UTF-16 one
// wins over the 8-bit ones.
void AddFormatToDragMimeData(QMimeData* mime, TClipFormat format, const QByteArray& bytes);
// The formats the toolkit's data of a drag from another program carries,
// each as the platform holds it: the text (CF_UNICODETEXT, CF_TEXT), rich
// text, CSV and the program's own formats that this copy has registered.
// Files are left to the caller.
QList<QPair<TClipFormat, QByteArray>> FormatsOfDragMimeData(const QMimeData* mime);
// The program's own MIME type of a registered format; empty for the others.
QString OwnFormatMimeType(TClipFormat format);

// The block of a text format as the platform holds it: CF_TEXT in the ANSI
// code page, CF_OEMTEXT in the OEM one, CF_UNICODETEXT in UTF-16; each
// zero-terminated.
QByteArray TextToClipboardBytes(TClipFormat format, const QString& text);
// Reads a text block up to its first zero.
QString ClipboardBytesToText(TClipFormat format, const QByteArray& bytes);

class TClipboard {
public:
    // Open and Close nest. While open, the first format set empties the
    // clipboard and later ones add to it; what was set is published when the
    // last Close comes. A format set without Open replaces the whole
    // clipboard at once.
    void Open();
    void Close();
    bool IsOpen() const { return FOpenCount > 0; }
    void Clear();

    QString AsText() const;
    void SetAsText(const QString& text);
    bool HasFormat(TClipFormat format) const;
    // The bytes of a format; empty when the clipboard has none. The text
    // formats are made from each other as the platform does.
    QByteArray GetAsBytes(TClipFormat format) const;
    void SetAsBytes(TClipFormat format, const QByteArray& bytes);
    // The formats on the clipboard, in the order they were put there.
    int FormatCount() const { return int(Formats().size()); }
    TClipFormat Formats(int i) const { return Formats().value(i); }
    QList<TClipFormat> Formats() const;

private:
    void Adding();
    void Publish();
    const QMimeData* Current() const;
    int FOpenCount = 0;
    bool FEmptied = false;
    QMimeData* FPending = nullptr;
};

// The program's clipboard object.
TClipboard* Clipboard();

// Where the clipboard lives: the toolkit's clipboard when there is a
// toolkit application, else a store of this process only.
QMimeData* ClipboardMimeData();
void SetClipboardMimeData(QMimeData* data);  // takes ownership

// Every change of the clipboard's content made by this process counts one
// up and then calls the change handlers (the platform's clipboard sequence
// number and clipboard-update notification).
std::uint32_t ClipboardSequenceNumber();
int AddClipboardChangeHandler(std::function<void()> handler);
void RemoveClipboardChangeHandler(int id);
