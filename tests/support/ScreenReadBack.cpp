#include "support/ScreenReadBack.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QSet>

namespace KalTest {

QImage GrabScreenRect(const QRect& r)
{
    // A copy of the root window with its inferiors: the server's screen as
    // it is. (xwd -root composes windows of a private colormap one by one and
    // shows a toolkit window over another as black; the screen shows it.)
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QImage();
    return screen->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
}

QImage GrabWindowById(quintptr id)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QImage();
    return screen->grabWindow(WId(id)).toImage();
}

int DistinctColours(const QImage& img, int cap)
{
    const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> seen;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            seen.insert(row[x] & 0xFFFFFF);
            if (seen.size() >= cap)
                return cap;
        }
    }
    return int(seen.size());
}

bool AllBlack(const QImage& img)
{
    const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            if (row[x] & 0xFFFFFF)
                return false;
    }
    return true;
}

bool ShowsSomething(const QImage& img)
{
    return !img.isNull() && !AllBlack(img) && DistinctColours(img, 2) >= 2;
}

QString KeepGrab(const QImage& img, const QString& folder, const QString& name)
{
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    img.save(path, "PNG");
    return path;
}

} // namespace KalTest
