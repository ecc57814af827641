#pragma once
// Rules the three CANopen editors share: every number of a row is typed in
// decimal or in hexadecimal, and each data byte of an object names its own
// position in the KNX byte array.
#include <QString>

#include <span>

namespace CANopenRules {

bool In(const QString& cell, int lo, int hi);
// N Byte of an SDO object: 1, 2 or 4.
bool NByte_Ok(const QString& cell);
// The SDO object's byte positions: Add Byte1 always, Byte2 for 2 and 4
// bytes, Byte3 and Byte4 for 4. `cells` holds Add Byte1 .. Add Byte4;
// answers the failing byte's text (`firstText` for Byte1, then one on for
// each byte) or 0.
int Check_SDO_Bytes(int nByte, std::span<const QString> cells, int positions, int firstText);

} // namespace CANopenRules
