// Feeds arbitrary text to the core's parsers and formatters: none may crash,
// and a string list written as comma text must read back the same.
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FloatConv.h"
#include "platform/core/Format.h"
#include "platform/core/IniFiles.h"
#include "platform/core/StringList.h"
#include "platform/core/Streams.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = DecodeText(bytes);

    try {
        Format(text, {42, int64_t(-7), 2.5, QStringLiteral("s"), QChar(u'c')});
    } catch (const Exception&) {
    }
    FormatFloat(text.left(64), 1234.5678);
    FormatFloat(text.left(64), -0.000123);
    FormatDateTime(text.left(64), 45351.75);
    // The first eight bytes as a value too: any double, NaN and infinities
    // included, must format.
    if (size >= 8) {
        double v;
        std::memcpy(&v, data, 8);
        FormatDateTime(text.left(64), v);
        FloatToStr(v);
        FloatToStrF(v, TFloatFormat(data[0] % 5), data[1] % 20, data[2] % 20);
        FormatFloat(text.mid(8, 32), v);
        try {
            Format(QStringLiteral("%e|%g|%n|%m|%.*f"), {v, v, v, v, int(data[3] % 30), v});
        } catch (const Exception&) {
        }
    }
    double f;
    TryStrToFloat(text, f);
    TDateTime d;
    TryStrToDate(text, d);
    TryStrToTime(text, d);
    TryStrToDateTime(text, d);

    TStringList list;
    list.SetCommaText(text);
    TStringList back;
    back.SetCommaText(list.CommaText());
    if (!back.Equals(&list))
        std::abort();
    list.StrictDelimiter = true;
    list.Delimiter = QLatin1Char(';');
    list.SetDelimitedText(text);
    list.SetText(text);

    TMemoryStream m;
    m.WriteBuffer(bytes);
    m.SetPosition(0);
    list.LoadFromStream(&m);
    TMemIniFile ini{QString()};
    ini.SetStrings(&list);
    ini.GetStrings(&back);
    return 0;
}
