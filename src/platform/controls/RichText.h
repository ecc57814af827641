#pragma once
// Formatted text as the rich edit control holds it, and the small RTF reader
// and writer for the formats it knows: font name and size, bold, italic,
// underline, strike-out, colour and the vertical offset of sub- and
// superscript. Paragraphs are separated by '\n' in the text.
//
// The reader takes what it knows and reads the plain text through anything
// else: unknown control words are passed over, groups of destinations that
// hold no text (font and colour tables, pictures, "\*" groups ...) are
// skipped, and broken input ends the reading without an error.
#include "platform/graphics/Graphics.h"

#include <QByteArray>
#include <QList>
#include <QString>

// One character format. Offset is in twips (1/1440 inch) as the platform's
// character format gives it: positive raises the text, negative lowers it.
struct TCharFormat {
    QString Name = QStringLiteral("Tahoma");
    int Size = 8;  // points
    TFontStyles Style = 0;
    TColor Color = clWindowText;
    int Offset = 0;
    friend bool operator==(const TCharFormat&, const TCharFormat&) = default;
};

// A stretch of text in one format.
struct TTextRun {
    QString Text;
    TCharFormat Format;
    friend bool operator==(const TTextRun&, const TTextRun&) = default;
};

class TRichText {
public:
    TRichText() = default;
    explicit TRichText(const QString& plain, const TCharFormat& f = TCharFormat());

    QString Text() const;
    int Length() const;
    QList<TTextRun> Runs() const { return FRuns; }
    bool IsEmpty() const { return Length() == 0; }
    void Clear() { FRuns.clear(); }

    // The format of the character at `pos` (the last one for the end).
    TCharFormat FormatAt(int pos) const;
    // Applies `change` to the format of every character in [start, start+len).
    void ChangeFormat(int start, int len, const std::function<void(TCharFormat&)>& change);
    // Inserts text in one format; removes a range.
    void Insert(int pos, const QString& text, const TCharFormat& f);
    void Remove(int start, int len);
    // The runs of [start, start+len) as a text of their own.
    TRichText Mid(int start, int len) const;
    void Append(const QString& text, const TCharFormat& f);

    friend bool operator==(const TRichText& a, const TRichText& b) { return a.FRuns == b.FRuns; }

private:
    // Splits the run holding `pos` so that a run starts there; answers the
    // index of that run.
    int SplitAt(int pos);
    void Merge();
    QList<TTextRun> FRuns;
};

// True when the bytes start as an RTF text ("{\rtf").
bool LooksLikeRtf(const QByteArray& bytes);

// Reads RTF bytes; characters of \'hh escapes are taken from the ANSI code
// page, \uN as UTF-16. `defaults` gives the format before any control word.
TRichText ReadRtf(const QByteArray& rtf, const TCharFormat& defaults = TCharFormat());

// Writes the text as RTF in plain ASCII: a font table and a colour table of
// what the runs use, then the runs with their formats (\f, \fs, \b, \i, \ul,
// \strike, \cf, \up, \dn), paragraphs as \par, characters outside ASCII as
// \'hh (ANSI) or \uN.
QByteArray WriteRtf(const TRichText& text);
