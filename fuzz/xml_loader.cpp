// Arbitrary bytes as a project file: loading either builds a document or
// raises the layer's exception; walking what was built must hold no surprise.
#include "platform/xml/XmlDoc.h"

#include <cstddef>
#include <cstdint>

namespace {

// Touches every name, attribute and text of the subtree, iteratively (the
// input may nest deeper than a recursive walk's stack).
size_t Walk(XmlNode root)
{
    size_t n = 0;
    XmlNode c = root.FirstChild();
    while (!c.IsNull()) {
        n += size_t(c.NodeName().size());
        if (c.IsElement()) {
            for (const auto& a : c.Attributes())
                n += size_t(a.first.size() + a.second.size()) + size_t(c.Attribute(a.first).TextOr(QString()).size());
            if (!c.FirstChild().IsNull()) {
                c = c.FirstChild();
                continue;
            }
        } else {
            n += size_t(c.Text().size());
        }
        while (c.Raw() != root.Raw() && c.NextSibling().IsNull())
            c = XmlNode(c.Raw().parent());
        if (c.Raw() == root.Raw())
            break;
        c = c.NextSibling();
    }
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XmlDocument doc;
    try {
        doc.LoadFromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), QStringLiteral("fuzz"));
    } catch (const Exception&) {
        // A refused document leaves nothing behind.
        if (!doc.DocumentElement().IsNull())
            __builtin_trap();
        return 0;
    }
    const XmlNode root = doc.DocumentElement();
    if (root.IsNull())
        __builtin_trap();
    volatile size_t n = Walk(doc.Node()) + size_t(root.Text().size());
    (void)n;
    // What was read can be written again and read back.
    const QByteArray again = doc.SaveToBytes();
    XmlDocument back;
    try {
        back.LoadFromBytes(again);
    } catch (const Exception&) {
    }
    return 0;
}
