#pragma once
// The request rules both Modbus master editors share: a request names a
// slave, an object type and address range, its timing, and the place of its
// data in the gateway's KNX byte array (a Position and, for bit objects, a
// Start Bit).
#include <QString>

namespace ModbusRules {

// The text numbers of one table's messages, in the order the rules run.
struct TTexts {
    int Slave, Type, Address, NPoint, Poll, MaxError, Position, Bit, Span;
};

// One request as the grid holds it.
struct TRequest {
    QString Slave, Type, Address, NPoint, Poll, MaxError, Position, Bit;
};

// The table's types: the read list offers all four, the write list
// "Coil Status" and "Holding Register". A Type counts when, trimmed, it is
// one of them in any letter case.
bool Type_Ok(const QString& type, bool write);
// Coil Status (and Input Status on the read list) address bits; the others
// registers.
bool Is_Bit_Request(const QString& type, bool write);
// The most points a request may ask for.
int Max_Points(bool bit, bool write);
// The last byte of the KNX array the request touches: 2 bytes per register,
// or the bits from Start Bit on counted from the Position's bit 0.
int64_t Last_Byte(bool bit, int position, int points, int startBit);
// The failing rule's text or 0; `limit` gets the limit its message names.
// `nByte` is the number of positions open to the table.
int Check_Request(const TRequest& q, bool write, int nByte, const TTexts& t, QString& limit);
// True when the text is NOT an IPv4 address: four dot-separated parts of
// 0..255 each (everything after the third dot is the fourth part).
bool Check_IP_Address(const QString& IP_Address);

} // namespace ModbusRules
