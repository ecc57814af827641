#pragma once
// Drags out of the program into another program, on a real X server: the
// mouse (xdotool) presses on a grid's selection or a tree's nodes, moves out
// of the program's window in steps and lets go over a window of another
// process (this binary started again as a receiver, see Receiver.h).
#include "Receiver.h"

#include "platform/controls/DragDrop.h"
#include "platform/graphics/Graphics.h"
#include "support/ToolkitApp.h"
#include "support/ToolkitTest.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

class DragOutTest : public ToolkitTest {
protected:
    void TearDown() override
    {
        StopReceiver();
        ToolkitTest::TearDown();
        DrainPostedMessages();
    }

    // Runs the loop for `ms` milliseconds.
    static void Pump(int ms)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
        Application()->ProcessMessages();
    }

    // Starts the receiving program and waits until its window is up.
    void StartReceiver(const QString& mode)
    {
        OutFile = Dir.filePath(QStringLiteral("received-%1").arg(++FCount));
        Receiver = new QProcess;
        Receiver->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        Receiver->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--receiver"), mode, OutFile});
        QElapsedTimer t;
        t.start();
        QByteArray out;
        while (t.elapsed() < 15000) {
            Pump(50);
            out += Receiver->readAllStandardOutput();
            const int at = out.indexOf("READY ");
            if (at >= 0 && out.indexOf('\n', at) > at) {
                const QList<QByteArray> f = out.mid(at).split('\n').first().split(' ');
                DropPoint = QPoint(f.value(1).toInt(), f.value(2).toInt());
                return;
            }
        }
        FAIL() << "the receiver did not come up";
    }
    void StopReceiver()
    {
        if (!Receiver)
            return;
        Receiver->kill();
        Receiver->waitForFinished(5000);
        delete Receiver;
        Receiver = nullptr;
    }

    // Presses at `from`, moves to `to` in small steps (the drag protocol
    // talks once per step), rests there and lets go; Ctrl held from the
    // start of the drag when asked, Escape pressed before letting go when
    // asked. The loop runs while the mouse moves.
    void DragWithMouse(QPoint from, QPoint to, bool ctrl = false, QList<QPoint> via = {}, bool escape = false)
    {
        QStringList a;
        auto move = [&a](QPoint p) { a << "mousemove" << QString::number(p.x()) << QString::number(p.y()) << "sleep" << "0.06"; };
        move(from);
        a << "sleep" << "0.3" << "mousedown" << "1" << "sleep" << "0.3";
        move(from + QPoint(3, 1));
        move(from + QPoint(8, 2));
        if (ctrl)
            a << "keydown" << "ctrl" << "sleep" << "0.2";
        move(from + QPoint(14, 3));
        QList<QPoint> stops = via;
        stops << to;
        QPoint at = from + QPoint(14, 3);
        for (const QPoint& stop : stops) {
            for (int i = 1; i <= 12; ++i)
                move(at + (stop - at) * i / 12);
            at = stop;
            for (QPoint d : {QPoint(2, 1), QPoint(-1, 2), QPoint(1, -1), QPoint(0, 0)})
                move(stop + d);
        }
        if (escape)
            a << "sleep" << "0.2" << "key" << "Escape";
        a << "sleep" << "0.4" << "mouseup" << "1" << "sleep" << "0.3";
        if (ctrl)
            a << "keyup" << "ctrl";
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), a);
        ASSERT_TRUE(xdotool.waitForStarted(5000));
        QElapsedTimer t;
        t.start();
        while (xdotool.state() != QProcess::NotRunning && t.elapsed() < 60000)
            Pump(30);
        ASSERT_EQ(xdotool.exitCode(), 0) << xdotool.readAllStandardError().constData();
        Pump(300);
    }

    // What the receiver got; empty when nothing came within `ms`.
    TReceived Received(int ms = 5000)
    {
        TReceived got;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            if (ReadReceived(OutFile, got))
                return got;
            Pump(50);
        }
        return {};
    }

    QPoint ScreenPoint(TControl* c, TPoint client)
    {
        const TPoint p = c->ClientToScreen(client);
        return QPoint(p.X, p.Y);
    }

    QTemporaryDir Dir;
    QProcess* Receiver = nullptr;
    QPoint DropPoint;
    QString OutFile;
    int FCount = 0;
};

// The texts the sources hold.
inline const QStringList kRow = {"alpha", "beta", "gamma"};

