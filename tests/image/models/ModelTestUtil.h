#pragma once
// Small helpers shared by the model image tests: a throw-away project folder,
// ParGen.xml as the general-parameters dialog writes it (with values changed
// or left out), and expected bytes put together field by field.
#include "project/ParGen.h"
#include "image/USaveBincc.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

namespace modeltest {

class TProject {
public:
    TProject() { QDir(FDir.path()).mkdir(QStringLiteral("bin")); }
    QString Path() const { return FDir.path(); }
    QString File(const QString& name) const { return FDir.path() + QLatin1Char('/') + name; }
    QString BinFile(const QString& name) const { return FDir.path() + QStringLiteral("/bin/") + name; }

    void Write(const QString& name, const QByteArray& text) const
    {
        QFile f(File(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    void Write(const QString& name, const QString& text) const { Write(name, text.toUtf8()); }

    // ParGen.xml with the dialog's defaults for the model; `changed` replaces
    // values (texts written as they stand) and `removed` leaves keys out.
    void WriteParGen(int model, const QMap<QString, QString>& changed = {}, const QStringList& removed = {}) const
    {
        const TParGenValues values(model);
        QString xml = QStringLiteral("<Par_Gen>");
        for (const QString& key : values.Keys()) {
            if (removed.contains(key))
                continue;
            const QString v = changed.contains(key) ? changed.value(key) : values.Value(key);
            xml += QStringLiteral("<%1>%2</%1>").arg(key, v);
        }
        // Keys another model writes, added on purpose.
        for (auto it = changed.begin(); it != changed.end(); ++it)
            if (!values.Has(it.key()))
                xml += QStringLiteral("<%1>%2</%1>").arg(it.key(), it.value());
        xml += QStringLiteral("</Par_Gen><!--SW_VERSION = 1.000-->");
        Write(QStringLiteral("ParGen.xml"), xml);
    }

    QByteArray ReadBin(const QString& name) const
    {
        QFile f(BinFile(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }
    bool HasBin(const QString& name) const { return QFile::exists(BinFile(name)); }

private:
    QTemporaryDir FDir;
};

// Expected bytes, little-endian unless said otherwise.
class TBytes {
public:
    TBytes& u8(uint32_t v) { FB.append(char(uint8_t(v))); return *this; }
    TBytes& u16(uint32_t v) { return u8(v).u8(v >> 8); }
    TBytes& u32(uint32_t v) { return u16(v).u16(v >> 16); }
    TBytes& u32be(uint32_t v) { return u8(v >> 24).u8(v >> 16).u8(v >> 8).u8(v); }
    TBytes& bytes(std::initializer_list<int> l)
    {
        for (int b : l)
            u8(uint32_t(b));
        return *this;
    }
    TBytes& fill(int count, uint8_t v)
    {
        FB.append(QByteArray(count, char(v)));
        return *this;
    }
    TBytes& text(const char* s)
    {
        FB.append(s);
        return *this;
    }
    const QByteArray& Get() const { return FB; }
    operator QByteArray() const { return FB; }

private:
    QByteArray FB;
};

inline uint32_t LE(const QByteArray& b, int pos, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | uint8_t(b.at(pos + i));
    return v;
}

inline uint32_t ByteSum(const QByteArray& b, int from, int count)
{
    uint32_t s = 0;
    for (int i = 0; i < count; ++i)
        s += uint8_t(b.at(from + i));
    return s;
}

// A KNX_SetAccess.xml with one enabled write row (1.1.10 to 1/2/3, sent on
// change, two bytes at position 0).
inline QString OneKnxWriteRow()
{
    return QStringLiteral("<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>"
                          "<row Enable=\"Y\" Source_Address=\"1.1.10\" Destination_Address=\"1/2/3\" APCI=\"Write\" "
                          "Priority=\"Low\" Format=\"None\" Extended=\"N\" ReTest=\"N\" On_Command=\"N\" "
                          "On_Change=\"Y\" On_Timer=\"N\" Poll_Time=\"\" Position=\"0\" Bit_Mode=\"No\" Length=\"2\"/>"
                          "</KNX_in_Write></BACnet_to_KNX>");
}

// Hex dump of a slice, for readable failures.
inline QString Hex(const QByteArray& b)
{
    return QString::fromLatin1(b.toHex(' '));
}

} // namespace modeltest
