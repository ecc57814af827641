#include "platform/xml/XmlDoc.h"

#include <QFile>
#include <string>
#include <QFileInfo>

#include <cstring>
#include <utility>

#include "platform/core/Files.h"

#include <charconv>
#include <sstream>

namespace {

constexpr unsigned ParseOptions = pugi::parse_default | pugi::parse_comments | pugi::parse_declaration
                                  | pugi::parse_pi | pugi::parse_doctype;

QString fromPugi(const pugi::char_t* s)
{
    return QString::fromUtf8(s);
}

std::string toPugi(const QString& s)
{
    return s.toStdString();
}

// A name as UTF-8 for a lookup. Element and attribute names are short ASCII,
// so they are converted on the stack: the readers look up every attribute of
// every row by name, and a heap string per lookup doubled the read time.
class NameUtf8 {
public:
    explicit NameUtf8(const QString& s)
    {
        const qsizetype n = s.size();
        if (n < qsizetype(sizeof FBuf)) {
            const char16_t* p = reinterpret_cast<const char16_t*>(s.constData());
            qsizetype i = 0;
            for (; i < n && p[i] < 0x80; ++i)
                FBuf[i] = char(p[i]);
            if (i == n) {
                FBuf[n] = 0;
                FStr = FBuf;
                return;
            }
        }
        FHeap = s.toStdString();
        FStr = FHeap.c_str();
    }
    const char* c_str() const { return FStr; }

private:
    char FBuf[64];
    std::string FHeap;
    const char* FStr;
};

int lineOfOffset(const QByteArray& bytes, ptrdiff_t offset)
{
    int line = 1;
    const qsizetype end = qMin<qsizetype>(bytes.size(), offset < 0 ? 0 : offset);
    for (qsizetype i = 0; i < end; ++i)
        if (bytes[i] == '\n')
            ++line;
    return line;
}

// Whether the parser takes the bytes as UTF-8: not when they carry a UTF-16
// or UTF-32 mark or pattern (a NUL among the first two bytes) or declare
// Latin-1, which it converts; any other text is read as UTF-8 as it stands.
bool readAsUtf8(const QByteArray& b)
{
    const auto u = [&b](qsizetype i) { return i < b.size() ? uchar(b[i]) : 0x100; };
    if (b.size() >= 2 && (u(0) == 0 || u(1) == 0 || (u(0) == 0xFE && u(1) == 0xFF) || (u(0) == 0xFF && u(1) == 0xFE)))
        return false;
    if (!b.startsWith("<?xml"))
        return true;
    const qsizetype end = b.indexOf("?>");
    const QByteArray decl = b.left(end < 0 ? qMin<qsizetype>(b.size(), 256) : end);
    const qsizetype at = decl.indexOf("encoding");
    if (at < 0)
        return true;
    qsizetype i = at + 8;
    while (i < decl.size() && QByteArrayView(" \t\r\n=").contains(decl[i]))
        ++i;
    if (i >= decl.size() || (decl[i] != '"' && decl[i] != '\''))
        return true;
    const qsizetype close = decl.indexOf(decl[i], i + 1);
    const QByteArray name = decl.mid(i + 1, close < 0 ? -1 : close - i - 1).toLower();
    return name != "iso-8859-1" && name != "latin1";
}

// The offset of the first byte that does not begin a well-formed UTF-8
// sequence (overlong forms, surrogates and values above U+10FFFF included),
// or -1 when every byte does.
qsizetype firstBadUtf8(const QByteArray& bytes)
{
    const uchar* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        // Plain ASCII runs are stepped over eight bytes at a time.
        if (i + 8 <= n) {
            uint64_t w;
            std::memcpy(&w, p + i, 8);
            if ((w & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const uchar c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len;
        uchar lo = 0x80, hi = 0xBF; // the range of the second byte
        if (c >= 0xC2 && c <= 0xDF)
            len = 2;
        else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0)
                lo = 0xA0;
            else if (c == 0xED)
                hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F;
        } else
            return i;
        if (i + len > n || p[i + 1] < lo || p[i + 1] > hi)
            return i;
        for (int k = 2; k < len; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return i;
        i += len;
    }
    return -1;
}

// Refuses bytes that would reach the program as U+FFFD and be written back
// so: the message names the line, the column (in characters) and the byte.
void checkUtf8(const QByteArray& bytes, const QString& sourceName)
{
    if (!readAsUtf8(bytes))
        return;
    const qsizetype bad = firstBadUtf8(bytes);
    if (bad < 0)
        return;
    const int line = lineOfOffset(bytes, bad);
    const qsizetype lineStart = bytes.lastIndexOf('\n', bad - 1) + 1;
    // Characters before the byte on its line: every byte but continuations.
    int column = 1;
    for (qsizetype i = lineStart; i < bad; ++i)
        if ((uchar(bytes[i]) & 0xC0) != 0x80)
            ++column;
    const QString hex = QStringLiteral("%1").arg(uint(uchar(bytes[bad])), 2, 16, QLatin1Char('0')).toUpper();
    const QString reason = QStringLiteral("the byte %1 is not UTF-8 text (byte offset %2)").arg(hex).arg(bad);
    const QString where = sourceName.isEmpty() ? QStringLiteral("XML text") : sourceName;
    throw EXmlError(QStringLiteral("%1: line %2, column %3: %4").arg(where).arg(line).arg(column).arg(reason), line,
                    reason);
}

// Walks the subtree in document order without recursion: a hostile file may
// nest elements deeper than the stack would take.
void collectText(pugi::xml_node root, std::string& out)
{
    pugi::xml_node c = root.first_child();
    while (c) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
            out += c.value();
        if (c.type() == pugi::node_element && c.first_child()) {
            c = c.first_child();
            continue;
        }
        while (c != root && !c.next_sibling())
            c = c.parent();
        if (c == root)
            break;
        c = c.next_sibling();
    }
}

} // namespace

QString XmlValue::ToString() const&
{
    if (FNull)
        throw EXmlNullValue(FName.isEmpty() ? QStringLiteral("Missing XML value")
                                            : QStringLiteral("Missing XML attribute \"%1\"").arg(FName));
    return FValue;
}

QString XmlValue::ToString() &&
{
    if (FNull)
        return static_cast<const XmlValue&>(*this).ToString();
    return std::move(FValue);
}

QString XmlNode::NodeName() const
{
    return fromPugi(FNode.name());
}

QString XmlNode::Text() const
{
    if (FNode.type() != pugi::node_element && FNode.type() != pugi::node_document)
        return fromPugi(FNode.value());
    std::string out;
    collectText(FNode, out);
    return QString::fromStdString(out);
}

void XmlNode::SetText(const QString& text)
{
    RemoveAllChildren();
    if (!text.isEmpty())
        FNode.append_child(pugi::node_pcdata).set_value(toPugi(text).c_str());
}

int XmlNode::ChildNodeCount() const
{
    int n = 0;
    for (pugi::xml_node c = FNode.first_child(); c; c = c.next_sibling())
        ++n;
    return n;
}

XmlNode XmlNode::ChildNode(int i) const
{
    if (i < 0)
        return XmlNode();
    pugi::xml_node c = FNode.first_child();
    while (c && i > 0) {
        c = c.next_sibling();
        --i;
    }
    return XmlNode(c);
}

QList<XmlNode> XmlNode::ChildElements() const
{
    QList<XmlNode> out;
    for (pugi::xml_node c = FNode.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element)
            out.append(XmlNode(c));
    return out;
}

XmlNode XmlNode::FirstChildElement() const
{
    for (pugi::xml_node c = FNode.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element)
            return XmlNode(c);
    return XmlNode();
}

XmlNode XmlNode::NextSiblingElement() const
{
    for (pugi::xml_node c = FNode.next_sibling(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element)
            return XmlNode(c);
    return XmlNode();
}

XmlNode XmlNode::ChildElement(const QString& name) const
{
    return XmlNode(FNode.child(NameUtf8(name).c_str()));
}

XmlValue XmlNode::Attribute(const QString& name) const
{
    pugi::xml_attribute a = FNode.attribute(NameUtf8(name).c_str(), FHint);
    if (a)
        return XmlValue(fromPugi(a.value()));
    // Only a missing value needs its name, for the message ToString raises.
    XmlValue v;
    v.FName = name;
    return v;
}

bool XmlNode::HasAttribute(const QString& name) const
{
    return bool(FNode.attribute(NameUtf8(name).c_str()));
}

QList<QPair<QString, QString>> XmlNode::Attributes() const
{
    QList<QPair<QString, QString>> out;
    for (pugi::xml_attribute a = FNode.first_attribute(); a; a = a.next_attribute())
        out.append({fromPugi(a.name()), fromPugi(a.value())});
    return out;
}

void XmlNode::SetAttribute(const QString& name, const QString& value)
{
    const std::string n = toPugi(name);
    pugi::xml_attribute a = FNode.attribute(n.c_str());
    if (!a)
        a = FNode.append_attribute(n.c_str());
    a.set_value(toPugi(value).c_str());
}

void XmlNode::AppendAttribute(const QString& name, const QString& value)
{
    // Short values (numbers, flags) convert on the stack like names do.
    FNode.append_attribute(NameUtf8(name).c_str()).set_value(NameUtf8(value).c_str());
}

void XmlNode::AppendAttributeInt(const QString& name, int64_t value)
{
    char buf[24];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf - 1, value);
    *r.ptr = 0;
    FNode.append_attribute(NameUtf8(name).c_str()).set_value(buf);
}

XmlNode XmlNode::AppendElement(const QString& name)
{
    return XmlNode(FNode.append_child(toPugi(name).c_str()));
}

XmlNode XmlNode::AppendComment(const QString& text)
{
    pugi::xml_node c = FNode.append_child(pugi::node_comment);
    c.set_value(toPugi(text).c_str());
    return XmlNode(c);
}

void XmlNode::RemoveAllChildren()
{
    while (pugi::xml_node c = FNode.first_child())
        FNode.remove_child(c);
}

XmlDocument::XmlDocument() : FDoc(std::make_unique<pugi::xml_document>()) {}
XmlDocument::~XmlDocument() = default;

void XmlDocument::Clear()
{
    FDoc->reset();
    FBuffer = QByteArray();
}

void XmlDocument::LoadFromFile(const QString& path)
{
    // Checked before reading: a huge file is refused without being loaded.
    const qint64 size = QFileInfo(path).size();
    if (size > Max_Xml_File_Size) {
        Clear();
        const QString reason = QStringLiteral("The file is larger than %1 MB").arg(Max_Xml_File_Size / (1024 * 1024));
        throw EXmlError(QStringLiteral("%1: %2").arg(path, reason), 0, reason);
    }
    // The parser reads the file into storage of its own and parses it where
    // it lies. Its storage comes from the heap the previous document gave
    // back; a fresh array per file was mapped and faulted in page by page,
    // which cost more than the parsing.
    Clear();
    const QByteArray native = QFile::encodeName(path);
    const pugi::xml_parse_result r = FDoc->load_file(native.constData(), ParseOptions);
    if (r.status == pugi::status_file_not_found || r.status == pugi::status_io_error
        || r.status == pugi::status_out_of_memory) {
        // Not readable as a plain file (a resource, a folder, no access):
        // through the file layer, which reads what Qt reads and names the
        // reason of a failure.
        load(ReadFileWhole(path), path, [&path] { return ReadFileWhole(path); });
        return;
    }
    // The parser keeps bytes that are not UTF-8 as they stand; they would
    // reach the program as U+FFFD and be written back so. The file's bytes
    // are checked in a buffer kept from one load to the next, so the check
    // costs a read and no fresh pages.
    if (r.encoding == pugi::encoding_utf8) {
        thread_local std::string raw;
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            raw.resize(size_t(qMax<qint64>(0, f.size())));
            const qint64 got = raw.empty() ? 0 : f.read(raw.data(), qint64(raw.size()));
            raw.resize(size_t(qMax<qint64>(0, got)));
            try {
                checkUtf8(QByteArray::fromRawData(raw.data(), qsizetype(raw.size())), path);
            } catch (...) {
                Clear();
                throw;
            }
        }
    }
    checkParsed(r, path, [&path] { return ReadFileWhole(path); });
}

void XmlDocument::LoadFromText(const QString& text)
{
    LoadFromBytes(text.toUtf8());
}

void XmlDocument::LoadFromBytes(const QByteArray& bytes, const QString& sourceName)
{
    // The caller keeps its bytes: the document parses a copy of its own.
    QByteArray own(bytes.constData(), bytes.size());
    load(std::move(own), sourceName, [&bytes] { return bytes; });
}

void XmlDocument::load(QByteArray bytes, const QString& sourceName, const std::function<QByteArray()>& original)
{
    Clear();
    // Checked before parsing in place rewrites the bytes.
    checkUtf8(bytes, sourceName);
    FBuffer = std::move(bytes);
    // data() of an array that is the only holder of its bytes hands them out
    // as they are.
    checkParsed(FDoc->load_buffer_inplace(FBuffer.data(), size_t(FBuffer.size()), ParseOptions), sourceName,
                original);
}

void XmlDocument::checkParsed(const pugi::xml_parse_result& r, const QString& sourceName,
                              const std::function<QByteArray()>& original)
{
    if (!r) {
        Clear();
        // Parsing in place rewrote the bytes before the fault (line ends,
        // blanks in values): the line is counted in the original.
        const int line = lineOfOffset(original(), r.offset);
        const QString reason = QString::fromLatin1(r.description());
        const QString where = sourceName.isEmpty() ? QStringLiteral("XML text") : sourceName;
        throw EXmlError(QStringLiteral("%1: line %2: %3").arg(where).arg(line).arg(reason), line, reason,
                        int(r.status));
    }
    if (!FDoc->document_element()) {
        Clear();
        const QByteArray text = original();
        const int line = lineOfOffset(text, text.size());
        const QString reason = QStringLiteral("No document element");
        const QString where = sourceName.isEmpty() ? QStringLiteral("XML text") : sourceName;
        throw EXmlError(QStringLiteral("%1: line %2: %3").arg(where).arg(line).arg(reason), line, reason,
                        int(pugi::status_no_document_element));
    }
}

XmlNode XmlDocument::DocumentElement() const
{
    return XmlNode(FDoc->document_element());
}

XmlNode XmlDocument::CreateRoot(const QString& name)
{
    Clear();
    return XmlNode(FDoc->append_child(toPugi(name).c_str()));
}

XmlNode XmlDocument::AppendComment(const QString& text)
{
    pugi::xml_node c = FDoc->append_child(pugi::node_comment);
    c.set_value(toPugi(text).c_str());
    return XmlNode(c);
}

namespace {
// Collects the saved document straight into the bytes handed back.
class TBytesWriter : public pugi::xml_writer {
public:
    QByteArray Bytes;
    void write(const void* data, size_t size) override
    {
        Bytes.append(static_cast<const char*>(data), qsizetype(size));
    }
};
} // namespace

QByteArray XmlDocument::SaveToBytes() const
{
    TBytesWriter w;
    FDoc->save(w, "\t", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
    return w.Bytes;
}

void XmlDocument::SaveToFile(const QString& path) const
{
    WriteFileWhole(path, SaveToBytes());
}

// ---------------------------------------------------------------------------

XmlStreamWriter::XmlStreamWriter() = default;

void XmlStreamWriter::grow(qsizetype need)
{
    FOut.resize(qMax(qMax<qsizetype>(FOut.size() * 2, 64 * 1024), FSize + need));
    FBuf = FOut.data();
}

void XmlStreamWriter::indent(size_t depth)
{
    for (size_t i = 0; i < depth; ++i)
        put('\t');
}

void XmlStreamWriter::closeStartTag()
{
    if (FStartOpen) {
        put(">\n");
        FStartOpen = false;
    }
}

void XmlStreamWriter::StartElement(QByteArrayView name)
{
    closeStartTag();
    indent(FOpen.size());
    put('<');
    FOpen.push_back({FSize, name.size()});
    put(name);
    FStartOpen = true;
}

void XmlStreamWriter::attributeName(QByteArrayView name)
{
    Q_ASSERT(FStartOpen);
    put(' ');
    put(name);
    put("=\"");
}

// The document's own escaping of attribute values: up to the first NUL,
// control characters as two-digit character references.
void XmlStreamWriter::escaped(const char* s, qsizetype n)
{
    qsizetype plain = 0; // start of the run not yet copied
    for (qsizetype i = 0; i < n; ++i) {
        const uchar c = uchar(s[i]);
        if (c >= 32 && c != '&' && c != '<' && c != '"')
            continue;
        put(QByteArrayView(s + plain, i - plain));
        plain = i + 1;
        if (c == 0)
            return;
        switch (c) {
        case '&': put("&amp;"); break;
        case '<': put("&lt;"); break;
        case '"': put("&quot;"); break;
        default: {
            const char ref[] = {'&', '#', char('0' + c / 10), char('0' + c % 10), ';'};
            put(QByteArrayView(ref, sizeof ref));
        }
        }
    }
    put(QByteArrayView(s + plain, n - plain));
}

void XmlStreamWriter::Attribute(QByteArrayView name, const QString& value)
{
    // Most values are short ASCII (numbers as typed, names): converted on
    // the stack; others through the UTF-8 conversion the document uses.
    const qsizetype n = value.size();
    const char16_t* p = reinterpret_cast<const char16_t*>(value.constData());
    char buf[128];
    if (n <= qsizetype(sizeof buf)) {
        qsizetype i = 0;
        for (; i < n && p[i] < 0x80; ++i)
            buf[i] = char(p[i]);
        if (i == n) {
            AttributeUtf8(name, QByteArrayView(buf, n));
            return;
        }
    }
    AttributeUtf8(name, value.toUtf8());
}

void XmlStreamWriter::AttributeUtf8(QByteArrayView name, QByteArrayView value)
{
    attributeName(name);
    escaped(value.data(), value.size());
    put('"');
}

void XmlStreamWriter::AttributeInt(QByteArrayView name, int64_t value)
{
    char buf[24];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, value);
    attributeName(name);
    put(QByteArrayView(buf, r.ptr - buf));
    put('"');
}

void XmlStreamWriter::EndElement()
{
    Q_ASSERT(!FOpen.empty());
    const TOpen e = FOpen.back();
    FOpen.pop_back();
    if (FStartOpen) {
        put(" />\n");
        FStartOpen = false;
        return;
    }
    indent(FOpen.size());
    put("</");
    // Room first: the name is copied from the buffer itself.
    if (FSize + e.NameSize > FOut.size())
        grow(e.NameSize);
    std::memcpy(FBuf + FSize, FBuf + e.NameAt, size_t(e.NameSize));
    FSize += e.NameSize;
    put(">\n");
}

void XmlStreamWriter::Comment(QByteArrayView text)
{
    closeStartTag();
    indent(FOpen.size());
    put("<!--");
    // As the document writes a comment: a "-" before another or at the end
    // gets a blank after it, so the text cannot end the comment early. Cut at
    // a NUL like a value.
    const char* s = text.data();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n && s[i] != 0; ++i) {
        put(s[i]);
        if (s[i] == '-' && (i + 1 == n || s[i + 1] == '-' || s[i + 1] == 0))
            put(' ');
    }
    put("-->\n");
}

QByteArray XmlStreamWriter::Take()
{
    Q_ASSERT(FOpen.empty());
    FOut.truncate(FSize);
    QByteArray out = std::exchange(FOut, QByteArray());
    FBuf = nullptr;
    FSize = 0;
    FStartOpen = false;
    return out;
}
