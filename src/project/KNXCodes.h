#pragma once
// The KNX texts of the table files and of ParGen.xml turned into the codes
// the device needs, and the check of an address text. The shell's dialogs,
// the editors and the image builders call these, never their own copies.
//
// Matching of names ("WRITE", "Swap16") folds the case of a to z only. An
// address part loses blanks and control characters at both ends and nothing
// else (a no-break space is not a blank); address numbers are decimal.
#include <QString>
#include <cstdint>

// KNX codes and address check

// "WRITE" 128, "READ" 0 (any case); other texts as a decimal integer, else 0.
int Get_RW_Flag(const QString& text);
// "SYSTEM" 0, "NORMAL" 1, "URGENT" 2, "LOW" 3 (any case); anything else 1.
int Get_Priority(const QString& text);
// Data-conversion code (bits 12..15): "NONE" 0 ... "FLOAT16 TO INT * 100" 0x9000.
int Get_Conversion(const QString& text);
// True when the text holds no "." (a group address or a plain number).
bool No_Decimal_Point(const QString& text);
// 0 when the text is a valid KNX group (Group true) or individual address,
// 1 when it is not. Zero_Allowed admits 0.0.0 in the individual dotted form.
int Check_KNX_Address(const QString& text, bool Group, bool Zero_Allowed);

// The 16-bit code of a KNX address text: a group address ("m/s", "m/i/s" or a
// number) when `group`, else an individual address ("a.l.d" or a number).
// The text and each part are trimmed; a part that is not a number counts 0;
// each part is masked to its field's width.
uint16_t KNX_Address_To_Word(const QString& text, bool group);

// The general block's individual-address conversion: a plain number (4372
// when it is not one), or up to three dotted parts with defaults 1, 1 and 20
// and no masking.
int64_t Par_Gen_Individual_Address(const QString& text);
