#pragma once
// Helpers of the image tests: a throw-away project folder with files written
// as text, and expected bytes written out from the numbers of the layout.
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>

class TTestProject {
public:
    TTestProject() { EXPECT_TRUE(FDir.isValid()); }
    QString Dir() const { return FDir.path(); }
    QString Path(const QString& name) const { return PathJoin(Dir(), name); }
    void Write(const QString& name, const QString& text) const { WriteFileWhole(Path(name), text.toUtf8()); }

private:
    QTemporaryDir FDir;
};

// "00eefe00 0000" → bytes; blanks are ignored.
inline QByteArray Hex(const char* text)
{
    QByteArray h(text);
    h.replace(' ', "");
    return QByteArray::fromHex(h);
}

// The message of the failure f raises; empty when it raises none.
inline QString Message(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QString();
}

inline QByteArray LE(uint64_t v, int bytes)
{
    QByteArray out(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        out[i] = char(uint8_t(v >> (8 * i)));
    return out;
}

inline void PutLE(QByteArray& block, int offset, uint64_t v, int bytes)
{
    block.replace(offset, bytes, LE(v, bytes));
}

inline uint32_t ReadLE(const QByteArray& bytes, int offset, int count)
{
    uint32_t v = 0;
    for (int i = 0; i < count; ++i)
        v |= uint32_t(uint8_t(bytes[offset + i])) << (8 * i);
    return v;
}

inline uint32_t ByteSum(const QByteArray& bytes, int from, int to)
{
    uint32_t sum = 0;
    for (int i = from; i < to; ++i)
        sum += uint8_t(bytes[i]);
    return sum;
}

// A ParGen.xml holding the given elements as "<Key>text</Key>" pairs.
inline QString ParGenXml(const QString& elements)
{
    return QStringLiteral("<Par_Gen>%1</Par_Gen><!--SW_VERSION = 1.100-->").arg(elements);
}

// The ParGen.xml the general-parameters dialog writes for model 9 with its
// defaults.
inline QString DefaultParGen9()
{
    return ParGenXml(QStringLiteral(
        "<KNX_TYPE>0</KNX_TYPE><KNX_ID_DEV>1.1.200</KNX_ID_DEV>"
        "<Modbus_TCP_Slave_IP1>192</Modbus_TCP_Slave_IP1><Modbus_TCP_Slave_IP2>168</Modbus_TCP_Slave_IP2>"
        "<Modbus_TCP_Slave_IP3>0</Modbus_TCP_Slave_IP3><Modbus_TCP_Slave_IP4>5</Modbus_TCP_Slave_IP4>"
        "<Modbus_TCP_Slave_SM1>255</Modbus_TCP_Slave_SM1><Modbus_TCP_Slave_SM2>255</Modbus_TCP_Slave_SM2>"
        "<Modbus_TCP_Slave_SM3>255</Modbus_TCP_Slave_SM3><Modbus_TCP_Slave_SM4>0</Modbus_TCP_Slave_SM4>"
        "<Modbus_TCP_Slave_GAT1>192</Modbus_TCP_Slave_GAT1><Modbus_TCP_Slave_GAT2>168</Modbus_TCP_Slave_GAT2>"
        "<Modbus_TCP_Slave_GAT3>0</Modbus_TCP_Slave_GAT3><Modbus_TCP_Slave_GAT4>1</Modbus_TCP_Slave_GAT4>"
        "<Modbus_TCP_Slave_EN_GAT>0</Modbus_TCP_Slave_EN_GAT>"
        "<J1939_BAUDRATE>5</J1939_BAUDRATE><J1939_TIMEOUT>0</J1939_TIMEOUT>"
        "<J1939_PEER_TO_PEER>0</J1939_PEER_TO_PEER><J1939_Device_ID>0</J1939_Device_ID>"));
}
