#pragma once
// The text table and the language files. `Texts` (UComon) holds 1600 texts by
// number: the built-in English texts, then the entries of the chosen language
// file of the LANGUAGE folder laid over them.
//
// A language file line reads "STR <number> = <text>": the number stands
// between "STR" and the character before the first "=" (that character is a
// separator, never part of the number); "/#/" starts a comment; a text between
// two pilcrows keeps its blanks; an empty text or a number outside the table
// leaves the entry as it was.
#include <QByteArray>
#include <QString>

inline constexpr int Texts_Size = 1600;

// Empties `Texts`, fills it with the 1600 built-in texts, sets `Texts_Count`.
void Load_Default_Texts();
// Applies a language file to `Texts`. A file that cannot be read changes
// nothing and answers false.
bool Load_Lng_File(const QString& path);
// Applies a language file's bytes: UTF-16 or UTF-8 after their byte-order
// mark; without one UTF-8, or Windows-1252 when the bytes are not valid UTF-8.
void Apply_Lng_Bytes(const QByteArray& bytes);
// Applies the lines of a text (CR LF, LF or CR between lines).
void Apply_Lng_Text(const QString& text);
// Applies one line; answers whether it changed an entry.
bool Apply_Lng_Line(const QString& line);
// Loads the defaults and then the language file named by `Language` in
// `Dir_Language`. When it does not exist (or `Language` is not a plain file
// name), `Language` becomes "English" and English.lng is applied if present.
void Load_Language();
// Decodes a language file's bytes as Apply_Lng_Bytes does.
QString Decode_Lng_Bytes(const QByteArray& bytes);
