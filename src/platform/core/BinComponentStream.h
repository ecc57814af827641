#pragma once
// The class library's binary component record, as far as the grid's cell
// stream uses it: "TPF0", the class name and an empty component name as
// one-byte-length strings, then per property a one-byte-length name and a
// tagged value, then 0x00 (end of properties) and 0x00 (no children).
//
// Value tags: 0x01 list of values ended by 0x00; 0x02 / 0x03 / 0x04 integer
// in 1 / 2 / 4 bytes (the writer takes the smallest that holds the value,
// little-endian, signed); 0x05 10-byte extended float; 0x06 string with a
// 1-byte length (ASCII up to 255 characters); 0x07 identifier; 0x08 false;
// 0x09 true; 0x0A binary with a 4-byte length; 0x0B set (identifiers ended
// by an empty one); 0x0C string with a 4-byte length (longer ASCII); 0x12
// UTF-16 text with a 4-byte count (read only); 0x14 UTF-8 text with a 4-byte
// length (any other text). Nested objects' properties are dotted names.
//
// The reader trusts nothing: every length is checked against the bytes
// left, a record that ends early or holds an unknown tag raises EReadError,
// and the stream's position is then unspecified.
#include "platform/core/Exceptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class TStream;

struct TBinValue {
    enum TType { vtList, vtInt, vtExtended, vtString, vtIdent, vtBool, vtBinary, vtSet };
    TType Type = vtInt;
    int64_t Int = 0;
    double Extended = 0;
    bool Bool = false;
    // An identifier, as it stands in the record's bytes.
    QByteArrayView Ident;
    // The text of a string.
    QString Text;
    // The identifiers of a set, or the texts of a list of strings.
    QStringList Items;
    QByteArray Binary;
};

// Names and identifiers are views of the bytes the record was read from,
// which the record keeps (Source).
struct TBinProperty {
    QByteArrayView Name;
    TBinValue Value;
};

struct TBinRecord {
    QByteArray Source;
    QByteArrayView ClassName;
    std::vector<TBinProperty> Properties;
    // The property of that name, or nullptr.
    const TBinValue* Find(QByteArrayView Name) const;
};

// Appends records to one byte array (Out), which the caller keeps.
class TBinRecordWriter {
public:
    TBinRecordWriter(QByteArray& Out, QByteArrayView ClassName);
    void Int(QByteArrayView Name, int64_t Value);
    void Extended(QByteArrayView Name, double Value);
    // 0x06, 0x0C or 0x14 by length and content.
    void String(QByteArrayView Name, const QString& Value);
    void Ident(QByteArrayView Name, QByteArrayView Value);
    void Bool(QByteArrayView Name, bool Value);
    void Set(QByteArrayView Name, const QStringList& Idents);
    void Binary(QByteArrayView Name, const QByteArray& Value);
    void StringList(QByteArrayView Name, const QStringList& Values);
    // Closes the record.
    void Finish();

private:
    void shortString(QByteArrayView Text);
    void stringValue(const QString& Text);
    QByteArray& FOut;
};

// Reads one record of Data from Pos on and moves Pos past it; EReadError on
// anything that is not a whole record.
TBinRecord ReadBinRecord(const QByteArray& Data, qsizetype& Pos);
// The same from the stream's position; the stream is left after the record.
TBinRecord ReadBinRecord(TStream* Stream);

// The 80-bit extended form of a double and back.
QByteArray DoubleToExtended(double Value);
double ExtendedToDouble(const QByteArray& Bytes);
