#pragma once
// The two 8-bit code pages the program meets: Windows-1252 ("ANSI") for plain
// text files, and code page 437 ("OEM") for text exchanged with DOS-era tools.
// Both tables are our own, so the result never depends on the machine.
#include <QByteArray>
#include <QString>
#include <QStringView>

QString DecodeAnsi(const QByteArray& bytes);
// Characters the code page lacks are replaced by their base letter when they
// have one there ("Ā" -> "A"), otherwise by "?".
QByteArray EncodeAnsi(const QString& text);
// The same bytes appended to Out: a writer can build its file in one buffer.
void AppendAnsi(QByteArray& Out, QStringView text);
// True when every character of the text has a byte of its own in Windows-1252.
bool IsAnsiRepresentable(const QString& text);

QString DecodeOem(const QByteArray& bytes);
QByteArray EncodeOem(const QString& text);

// The text converted to the OEM code page and its bytes read back as ANSI
// text, and the reverse: how 8-bit OEM text travels in an ANSI string.
QString TextToOEM(const QString& text);
QString OEMToText(const QString& text);

// How a text file's bytes are read and written. teDefault writes
// Windows-1252 unless the text holds characters it lacks, and then UTF-8 with
// a byte-order mark, so saving never loses a character.
enum TTextEncoding { teDefault, teAnsi, teUTF8, teUTF16LE, teUTF16BE };

// The bytes of a text; the UTF encodings begin with their byte-order mark.
QByteArray EncodeText(const QString& text, TTextEncoding encoding);
// Reads bytes that start with a UTF-8, UTF-16 LE or UTF-16 BE byte-order mark
// in that encoding (the mark dropped), and anything else as Windows-1252.
// `found` tells which it was (teAnsi for no mark).
QString DecodeText(const QByteArray& bytes, TTextEncoding* found = nullptr);
