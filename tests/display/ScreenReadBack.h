#pragma once
// Reading the program's windows back from the X server they are shown on:
// waiting until the server has them, their pixels as the server holds them
// (one window, or the screen where it stands), simple judgements of the
// pictures, their window-manager properties through xprop, and the grabs
// kept as PNG files under the build folder for a person to look at.
#include "platform/controls/Forms.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QSet>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace ScreenReadBack {

// Runs the loop for a while, so the server and the program trade their
// events (map, expose, paint).
inline void Settle(int ms = 150)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

// The form's window once the server shows it, or nullptr after a while.
inline QWidget* Shown(TCustomForm* form, int timeoutMs = 5000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QWidget* w = form->HostWidget();
        if (w && w->windowHandle() && w->windowHandle()->isExposed()) {
            Settle();
            return w;
        }
        QThread::msleep(5);
    }
    return nullptr;
}

// The window's pixels as the X server holds them.
inline QImage Grab(QWidget* w)
{
    Settle(100);
    return QGuiApplication::primaryScreen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// What the screen shows in `r` (screen coordinates): a copy of the root
// window with its inferiors, every window there composed as a person sees it.
// (xwd -root composes windows of a private colormap one by one and shows a
// toolkit window over another as black; the screen shows it.)
inline QImage GrabScreenRect(const QRect& r)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QImage();
    return screen->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
}

// The number of different colours in the picture, counting at most `cap`.
inline int DistinctColours(const QImage& img, int cap = 16)
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

// Every pixel black.
inline bool AllBlack(const QImage& img)
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

// A picture that can hold text: two colours at least and not all black.
inline bool ShowsSomething(const QImage& img)
{
    return !img.isNull() && !AllBlack(img) && DistinctColours(img, 2) >= 2;
}

// One property of the window, as xprop prints it.
inline QString XProp(QWidget* w, const QString& property)
{
    QProcess p;
    p.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(w->winId()), property});
    if (!p.waitForFinished(10000))
        return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// Keeps an image under <build>/display/<folder>/<name>.png.
inline bool Keep(const QImage& img, const QString& folder, const QString& name)
{
    const QString dir = QStringLiteral(KAL_BUILD_DIR) + QStringLiteral("/display/") + folder;
    QDir().mkpath(dir);
    return img.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// How many pixels two images of one size differ in.
inline int Differing(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height() + 1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if ((ra[x] & 0xFFFFFF) != (rb[x] & 0xFFFFFF))
                ++n;
    }
    return n;
}

} // namespace ScreenReadBack
