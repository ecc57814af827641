#pragma once
// The document object that every project, settings and updater file goes
// through. Readers take the document element; writers emit no declaration,
// UTF-8, the root first and any document-level comment after it, attributes in
// the order they were set.
#include "platform/core/Exceptions.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>
#include <pugixml.hpp>

// A document that cannot be parsed: the message carries the source, the line
// and the reason.
class EXmlError : public Exception {
public:
    EXmlError(const QString& msg, int line, const QString& reason, int status = 0)
        : Exception(msg), FLine(line), FReason(reason), FStatus(status) {}
    QString ClassName() const override { return QStringLiteral("EXmlError"); }
    int Line() const { return FLine; }
    const QString& Reason() const { return FReason; }
    // The parser's status number of a parse error (0 for other failures).
    int Status() const { return FStatus; }

private:
    int FLine;
    QString FReason;
    int FStatus;
};

// A missing attribute or node read as text.
KAL_DECLARE_EXCEPTION(EXmlNullValue, Exception)

// An attribute's value: null when the attribute is missing, distinct from "".
class XmlValue {
public:
    XmlValue() = default;
    explicit XmlValue(QString v) : FNull(false), FValue(std::move(v)) {}
    bool IsNull() const { return FNull; }
    // Raises EXmlNullValue for a missing value. A temporary hands its text
    // over instead of copying it (the readers call this once per cell).
    QString ToString() const&;
    QString ToString() &&;
    QString TextOr(const QString& def) const { return FNull ? def : FValue; }

private:
    bool FNull = true;
    QString FValue;
    friend class XmlNode;
    QString FName;
};

class XmlNode {
public:
    XmlNode() = default;
    explicit XmlNode(pugi::xml_node n) : FNode(n) {}

    bool IsNull() const { return !FNode; }
    explicit operator bool() const { return bool(FNode); }
    bool IsElement() const { return FNode.type() == pugi::node_element; }
    bool IsComment() const { return FNode.type() == pugi::node_comment; }
    QString NodeName() const;
    // Text content of an element (its character data, descendants included).
    QString Text() const;
    void SetText(const QString& text);

    // Child nodes of every kind, in document order.
    int ChildNodeCount() const;
    XmlNode ChildNode(int i) const;
    XmlNode FirstChild() const { return XmlNode(FNode.first_child()); }
    XmlNode NextSibling() const { return XmlNode(FNode.next_sibling()); }
    // Child elements only.
    QList<XmlNode> ChildElements() const;
    XmlNode FirstChildElement() const;
    XmlNode NextSiblingElement() const;
    XmlNode ChildElement(const QString& name) const;

    XmlValue Attribute(const QString& name) const;
    bool HasAttribute(const QString& name) const;
    QList<QPair<QString, QString>> Attributes() const;
    // Sets the value, appending a new attribute after the existing ones.
    void SetAttribute(const QString& name, const QString& value);
    // Appends an attribute without looking for one of that name: for writers
    // that build a fresh element attribute by attribute.
    void AppendAttribute(const QString& name, const QString& value);
    // The same with a whole number written in decimal.
    void AppendAttributeInt(const QString& name, int64_t value);

    XmlNode AppendElement(const QString& name);
    XmlNode AppendComment(const QString& text);
    void RemoveAllChildren();

    pugi::xml_node Raw() const { return FNode; }

private:
    pugi::xml_node FNode;
    mutable pugi::xml_attribute FHint;
};

// The largest file LoadFromFile reads. Project tables are a few hundred
// kilobytes; anything far above is not one of ours and would only stall the
// window and exhaust memory.
inline constexpr qint64 Max_Xml_File_Size = 64LL * 1024 * 1024;

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Each load replaces the content; a parse error raises EXmlError and leaves
    // the document empty. A file that cannot be read raises EFOpenError; a
    // file above Max_Xml_File_Size raises EXmlError naming it, unread.
    void LoadFromFile(const QString& path);
    void LoadFromText(const QString& text);
    void LoadFromBytes(const QByteArray& bytes, const QString& sourceName = QString());
    void Clear();

    // The root element (declarations, comments and instructions before it skipped).
    XmlNode DocumentElement() const;
    // The first top-level node of any kind.
    XmlNode FirstChild() const { return XmlNode(FDoc->first_child()); }
    XmlNode Node() const { return XmlNode(*FDoc); }

    // Empties the document and makes a new root element.
    XmlNode CreateRoot(const QString& name);
    // A comment at document level, after what is there (the version comment).
    XmlNode AppendComment(const QString& text);

    QByteArray SaveToBytes() const;
    QString SaveToText() const { return QString::fromUtf8(SaveToBytes()); }
    // Written whole through a temporary file; a failure raises.
    void SaveToFile(const QString& path) const;

private:
    // Parses `bytes` in place; `original` gives the bytes as they were, for
    // the line of a parse error.
    void load(QByteArray bytes, const QString& sourceName, const std::function<QByteArray()>& original);
    // Raises EXmlError (and empties the document) for a failed parse or a
    // document without an element.
    void checkParsed(const pugi::xml_parse_result& r, const QString& sourceName,
                     const std::function<QByteArray()>& original);

    std::unique_ptr<pugi::xml_document> FDoc;
    // Loaded bytes parsed in place: the document's names and values point
    // into them (a file read by the parser itself lives in its own storage).
    QByteArray FBuffer;
};

// Writes a document straight to bytes, element by element, without building
// it in memory first, for writers of large files whose data lives in a model
// of their own. The bytes are exactly those XmlDocument::SaveToBytes gives
// for the same document: no declaration, one node per line indented by tabs,
// attributes on their element's line in the order written, an element
// without children closed by " />", a value cut at a NUL character, the
// characters & < " and the control characters escaped.
// Elements hold elements and comments only (no character data). Names are
// plain ASCII and written as given.
class XmlStreamWriter {
public:
    XmlStreamWriter();

    void StartElement(QByteArrayView name);
    // Attributes of the element just started, before its first child.
    void Attribute(QByteArrayView name, const QString& value);
    void AttributeUtf8(QByteArrayView name, QByteArrayView value);
    void AttributeInt(QByteArrayView name, int64_t value);
    void EndElement();
    // A comment in the element open (at document level when none is).
    void Comment(QByteArrayView text);

    // The document; every element must have been ended.
    QByteArray Take();

private:
    // The bytes go into FOut's own storage, grown by doubling; FSize of them
    // are written (appending to the array byte by byte cost more than the
    // writing).
    void grow(qsizetype need);
    void put(char c)
    {
        if (FSize == FOut.size())
            grow(1);
        FBuf[FSize++] = c;
    }
    void put(QByteArrayView b)
    {
        if (b.isEmpty())
            return;
        if (FSize + b.size() > FOut.size())
            grow(b.size());
        std::memcpy(FBuf + FSize, b.data(), size_t(b.size()));
        FSize += b.size();
    }
    void closeStartTag();
    void indent(size_t depth);
    void attributeName(QByteArrayView name);
    void escaped(const char* s, qsizetype n);

    QByteArray FOut;
    char* FBuf = nullptr;
    qsizetype FSize = 0;
    struct TOpen {
        qsizetype NameAt;
        qsizetype NameSize;
    };
    std::vector<TOpen> FOpen; // the open elements, their names in FOut
    bool FStartOpen = false;  // the last start tag still takes attributes
};
