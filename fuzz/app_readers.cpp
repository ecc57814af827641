// Arbitrary bytes through the shell's file readers: a language file, the
// settings file and ParGen.xml for every model. None may crash; a ParGen.xml
// that is not well-formed raises EXmlError, which is the expected answer.
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "app/UParGen.h"
#include "app/USettings.h"
#include "platform/xml/XmlDoc.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    Load_Default_Texts();
    Apply_Lng_Bytes(bytes);
    if (Texts.size() != Texts_Size)
        __builtin_trap();

    Read_Settings_Bytes(bytes);
    if (!Is_Valid_Project_Name(Name_Project) && !Name_Project.isEmpty())
        __builtin_trap();
    (void)Settings_Bytes();

    XmlDocument doc;
    try {
        doc.LoadFromBytes(bytes, QStringLiteral("ParGen.xml"));
    } catch (const EXmlError&) {
        return 0;
    }
    for (int model : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 1001, 1003, 1010, 1011, 1012, 1014}) {
        TParGenValues values(model);
        values.Read_Document(doc);
        (void)ParGen_First_Error(values);
        XmlDocument out;
        values.Build_Document(out);
        (void)out.SaveToBytes();
    }
    return 0;
}
