#include "platform/controls/Clipboard.h"

#include "platform/controls/DropFiles.h"
#include "platform/core/CodePages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHash>
#include <QMimeData>
#include <QUrl>
#include <memory>

namespace {
struct FormatRegistry {
    QHash<QString, TClipFormat> ByName;  // lower-case name
    QHash<TClipFormat, QString> Names;   // as first registered
    TClipFormat Next = 0xC000;
};
FormatRegistry& Registry() {
    static FormatRegistry r;
    return r;
}

const QString kWindowsMime = QStringLiteral("application/x-qt-windows-mime;value=\"%1\"");
const QString kFormatNumberMime = QStringLiteral("application/x-kal-clipformat-%1");
const QString kOrderMime = QStringLiteral("application/x-kal-clipformat-order");

// The process's own store when there is no toolkit clipboard.
std::unique_ptr<QMimeData>& LocalStore() {
    static std::unique_ptr<QMimeData> store;
    return store;
}

bool IsTextFormat(TClipFormat f) { return f == CF_TEXT || f == CF_UNICODETEXT || f == CF_OEMTEXT; }

QByteArray UntilZero(const QByteArray& b, int unit) {
    for (int i = 0; i + unit <= b.size(); i += unit) {
        bool zero = true;
        for (int k = 0; k < unit; ++k) zero = zero && b[i + k] == 0;
        if (zero) return b.left(i);
    }
    return b.left(b.size() - b.size() % unit);
}
// The document of an "HTML Format" block: the bytes from StartHTML to
// EndHTML, empty when the header does not hold sound offsets.
QByteArray HtmlOfBlock(const QByteArray& b) {
    auto offset = [&b](const char* key) -> qsizetype {
        const qsizetype at = b.indexOf(key);
        if (at < 0) return -1;
        qsizetype i = at + qsizetype(qstrlen(key));
        qsizetype v = 0;
        int digits = 0;
        while (i < b.size() && b[i] >= '0' && b[i] <= '9' && digits < 10) v = v * 10 + (b[i++] - '0'), ++digits;
        return digits ? v : -1;
    };
    const qsizetype start = offset("StartHTML:"), end = offset("EndHTML:");
    if (start < 0 || end <= start || end > b.size()) return QByteArray();
    return b.mid(start, end - start);
}

// Mark-up and rich text are also offered under the names other programs
// read them by.
void OfferToOtherPrograms(QMimeData* m, TClipFormat format, const QByteArray& bytes) {
    const QString name = GetClipboardFormatName(format);
    if (name.compare(QLatin1String("HTML Format"), Qt::CaseInsensitive) == 0) {
        const QByteArray html = HtmlOfBlock(UntilZero(bytes, 1));
        if (!html.isEmpty()) m->setHtml(QString::fromUtf8(html));
    } else if (name.compare(QLatin1String("Rich Text Format"), Qt::CaseInsensitive) == 0) {
        m->setData(QStringLiteral("text/rtf"), UntilZero(bytes, 1));
    }
}
}  // namespace

TClipFormat RegisterClipboardFormat(const QString& name) {
    if (name.isEmpty()) return 0;
    FormatRegistry& r = Registry();
    const QString key = name.toLower();
    if (auto it = r.ByName.find(key); it != r.ByName.end()) return *it;
    if (r.Next == 0xFFFF) return 0;  // the platform's range is full
    const TClipFormat f = r.Next++;
    r.ByName.insert(key, f);
    r.Names.insert(f, name);
    return f;
}

QString GetClipboardFormatName(TClipFormat format) { return Registry().Names.value(format); }

QString ClipboardFormatMimeType(TClipFormat format) {
    switch (format) {
    case CF_TEXT: case CF_UNICODETEXT: case CF_OEMTEXT: return QStringLiteral("text/plain");
    case CF_HDROP: return QStringLiteral("text/uri-list");
    case CF_DIB: case CF_BITMAP: return QStringLiteral("application/x-qt-image");
    default: break;
    }
    const QString name = GetClipboardFormatName(format);
    if (!name.isEmpty()) return kWindowsMime.arg(name);
    return format ? kFormatNumberMime.arg(format) : QString();
}

TClipFormat ClipboardFormatOfMimeType(const QString& mime) {
    if (mime == QLatin1String("text/plain")) return CF_UNICODETEXT;
    if (mime == QLatin1String("text/uri-list")) return CF_HDROP;
    const QString prefix = QStringLiteral("application/x-qt-windows-mime;value=\"");
    if (mime.startsWith(prefix) && mime.endsWith(QLatin1Char('"')))
        return RegisterClipboardFormat(mime.mid(prefix.size(), mime.size() - prefix.size() - 1));
    const QString numbered = QStringLiteral("application/x-kal-clipformat-");
    if (mime.startsWith(numbered)) {
        bool ok = false;
        const uint n = mime.mid(numbered.size()).toUInt(&ok);
        if (ok && n > 0 && n < 0xC000) return TClipFormat(n);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Formats of drags with other programs
// ---------------------------------------------------------------------------

namespace {
const QString kOwnMimePrefix = QStringLiteral("application/x-kalmetor-");
const QString kTextUtf8Mime = QStringLiteral("text/plain;charset=utf-8");
const QString kTextMime = QStringLiteral("text/plain");
const QString kRtfMime = QStringLiteral("text/rtf");
const QString kHtmlMime = QStringLiteral("text/html");
const QString kCsvMime = QStringLiteral("text/csv");

bool NameIs(const QString& name, const char* what) { return name.compare(QLatin1String(what), Qt::CaseInsensitive) == 0; }
bool IsRtfName(const QString& name) {
    return NameIs(name, "Rich Text Format") || NameIs(name, "Rich Text Format Without Objects");
}
// Registered names that travel under a MIME type other programs know.
bool HasCommonMimeType(const QString& name) { return IsRtfName(name) || NameIs(name, "HTML Format") || NameIs(name, "CSV"); }

QString MimeSlug(const QString& name) {
    QString slug;
    for (const QChar c : name.toLower()) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            slug += c;
        else if (!slug.isEmpty() && !slug.endsWith(QLatin1Char('-')))
            slug += QLatin1Char('-');
    }
    while (slug.endsWith(QLatin1Char('-'))) slug.chop(1);
    return slug;
}
}  // namespace

QString OwnFormatMimeType(TClipFormat format) {
    const QString name = GetClipboardFormatName(format);
    if (name.isEmpty() || HasCommonMimeType(name)) return QString();
    const QString slug = MimeSlug(name);
    return slug.isEmpty() ? QString() : kOwnMimePrefix + slug;
}

void AddFormatToDragMimeData(QMimeData* mime, TClipFormat format, const QByteArray& bytes) {
    if (!mime || format == 0) return;
    if (IsTextFormat(format)) {
        if (format != CF_UNICODETEXT && mime->hasFormat(kTextUtf8Mime)) return;
        const QByteArray utf8 = ClipboardBytesToText(format, bytes).toUtf8();
        mime->setData(kTextUtf8Mime, utf8);
        mime->setData(kTextMime, utf8);
        return;
    }
    if (format == CF_HDROP) {
        const QList<QUrl> urls = UrlsFromDropFiles(bytes);
        if (!urls.isEmpty()) mime->setUrls(urls);
        return;
    }
    const QString name = GetClipboardFormatName(format);
    if (IsRtfName(name)) {
        if (!mime->hasFormat(kRtfMime)) mime->setData(kRtfMime, UntilZero(bytes, 1));
    } else if (NameIs(name, "HTML Format")) {
        const QByteArray html = HtmlOfBlock(UntilZero(bytes, 1));
        if (!html.isEmpty()) mime->setData(kHtmlMime, html);
    } else if (NameIs(name, "CSV")) {
        mime->setData(kCsvMime, ClipboardBytesToText(CF_TEXT, bytes).toUtf8());
    } else if (const QString own = OwnFormatMimeType(format); !own.isEmpty()) {
        mime->setData(own, bytes);
    }
}

QList<QPair<TClipFormat, QByteArray>> FormatsOfDragMimeData(const QMimeData* mime) {
    QList<QPair<TClipFormat, QByteArray>> list;
    if (!mime) return list;
    const QString text = mime->hasFormat(kTextUtf8Mime) ? QString::fromUtf8(mime->data(kTextUtf8Mime)) : mime->text();
    if (!text.isEmpty()) {
        list.append({CF_UNICODETEXT, TextToClipboardBytes(CF_UNICODETEXT, text)});
        list.append({CF_TEXT, TextToClipboardBytes(CF_TEXT, text)});
    }
    if (const QByteArray rtf = mime->data(kRtfMime); !rtf.isEmpty())
        list.append({RegisterClipboardFormat(QStringLiteral("Rich Text Format")), rtf + '\0'});
    if (mime->hasFormat(kCsvMime))
        list.append({RegisterClipboardFormat(QStringLiteral("CSV")),
                     TextToClipboardBytes(CF_TEXT, QString::fromUtf8(mime->data(kCsvMime)))});
    // The program's own formats: only those this copy knows by name.
    const FormatRegistry& r = Registry();
    for (const QString& type : mime->formats()) {
        if (!type.startsWith(kOwnMimePrefix)) continue;
        for (auto it = r.Names.begin(); it != r.Names.end(); ++it)
            if (OwnFormatMimeType(it.key()) == type) {
                list.append({it.key(), mime->data(type)});
                break;
            }
    }
    return list;
}

QByteArray TextToClipboardBytes(TClipFormat format, const QString& text) {
    QByteArray b;
    switch (format) {
    case CF_UNICODETEXT:
        b = QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        b.append(2, '\0');
        break;
    case CF_OEMTEXT: b = EncodeOem(text); b.append('\0'); break;
    default: b = EncodeAnsi(text); b.append('\0'); break;
    }
    return b;
}

QString ClipboardBytesToText(TClipFormat format, const QByteArray& bytes) {
    switch (format) {
    case CF_UNICODETEXT: {
        const QByteArray b = UntilZero(bytes, 2);
        return QString(reinterpret_cast<const QChar*>(b.constData()), b.size() / 2);
    }
    case CF_OEMTEXT: return DecodeOem(UntilZero(bytes, 1));
    default: return DecodeAnsi(UntilZero(bytes, 1));
    }
}

QMimeData* ClipboardMimeData() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return const_cast<QMimeData*>(QGuiApplication::clipboard()->mimeData());
    return LocalStore().get();
}

namespace {
struct TChangeHandlers {
    QHash<int, std::function<void()>> Handlers;
    int NextId = 1;
    std::uint32_t Sequence = 0;
};
TChangeHandlers& ChangeHandlers() {
    static TChangeHandlers h;
    return h;
}
}  // namespace

void SetClipboardMimeData(QMimeData* data) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) QGuiApplication::clipboard()->setMimeData(data);
    else LocalStore().reset(data);
    TChangeHandlers& h = ChangeHandlers();
    ++h.Sequence;
    // A handler may add or remove handlers: call a copy.
    const auto handlers = h.Handlers;
    for (auto it = handlers.begin(); it != handlers.end(); ++it)
        if (ChangeHandlers().Handlers.contains(it.key())) it.value()();
}

std::uint32_t ClipboardSequenceNumber() { return ChangeHandlers().Sequence; }

int AddClipboardChangeHandler(std::function<void()> handler) {
    TChangeHandlers& h = ChangeHandlers();
    const int id = h.NextId++;
    h.Handlers.insert(id, std::move(handler));
    return id;
}

void RemoveClipboardChangeHandler(int id) { ChangeHandlers().Handlers.remove(id); }

// ---------------------------------------------------------------------------
// TClipboard
// ---------------------------------------------------------------------------

const QMimeData* TClipboard::Current() const { return FPending ? FPending : ClipboardMimeData(); }

void TClipboard::Open() {
    if (FOpenCount++ == 0) FEmptied = false;
}

void TClipboard::Close() {
    if (FOpenCount == 0) return;
    if (--FOpenCount == 0) Publish();
}

void TClipboard::Publish() {
    if (!FPending) return;
    QMimeData* data = FPending;
    FPending = nullptr;
    SetClipboardMimeData(data);
}

void TClipboard::Adding() {
    if (FOpenCount > 0 && FEmptied) return;
    // The first format of an opening empties the clipboard.
    delete FPending;
    FPending = new QMimeData;
    FEmptied = FOpenCount > 0;
}

void TClipboard::Clear() {
    Open();
    Adding();
    Close();
}

QString TClipboard::AsText() const {
    const QMimeData* m = Current();
    if (!m) return QString();
    if (m->hasText()) return m->text();
    return QString();
}

void TClipboard::SetAsText(const QString& text) {
    Open();
    Adding();
    FPending->setText(text);
    QStringList order = QString::fromUtf8(FPending->data(kOrderMime)).split(',', Qt::SkipEmptyParts);
    order << QString::number(CF_UNICODETEXT);
    FPending->setData(kOrderMime, order.join(',').toUtf8());
    Close();
}

bool TClipboard::HasFormat(TClipFormat format) const {
    const QMimeData* m = Current();
    if (!m || format == 0) return false;
    if (IsTextFormat(format)) return m->hasText();
    if (format == CF_HDROP) return m->hasUrls();
    return m->hasFormat(ClipboardFormatMimeType(format));
}

QByteArray TClipboard::GetAsBytes(TClipFormat format) const {
    const QMimeData* m = Current();
    if (!m || !HasFormat(format)) return QByteArray();
    if (IsTextFormat(format)) return TextToClipboardBytes(format, m->text());
    return m->data(ClipboardFormatMimeType(format));
}

void TClipboard::SetAsBytes(TClipFormat format, const QByteArray& bytes) {
    if (format == 0) return;
    Open();
    Adding();
    if (IsTextFormat(format)) FPending->setText(ClipboardBytesToText(format, bytes));
    else {
        FPending->setData(ClipboardFormatMimeType(format), bytes);
        OfferToOtherPrograms(FPending, format, bytes);
    }
    QStringList order = QString::fromUtf8(FPending->data(kOrderMime)).split(',', Qt::SkipEmptyParts);
    order << QString::number(IsTextFormat(format) ? TClipFormat(CF_UNICODETEXT) : format);
    FPending->setData(kOrderMime, order.join(',').toUtf8());
    Close();
}

QList<TClipFormat> TClipboard::Formats() const {
    QList<TClipFormat> list;
    const QMimeData* m = Current();
    if (!m) return list;
    auto add = [&list](TClipFormat f) {
        if (f && !list.contains(f)) list << f;
    };
    // Our own order first, then whatever another program put there.
    for (const QString& s : QString::fromUtf8(m->data(kOrderMime)).split(',', Qt::SkipEmptyParts)) {
        const TClipFormat f = TClipFormat(s.toUInt());
        add(f);
        if (f == CF_UNICODETEXT) {
            add(CF_TEXT);
            add(CF_OEMTEXT);
        }
    }
    for (const QString& mime : m->formats()) {
        if (mime == kOrderMime) continue;
        const TClipFormat f = ClipboardFormatOfMimeType(mime);
        add(f);
        if (f == CF_UNICODETEXT) {
            add(CF_TEXT);
            add(CF_OEMTEXT);
        }
    }
    return list;
}

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}
