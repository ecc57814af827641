#include "Receiver.h"

#include "gridpack/gridexchange/ExGridDragDrop.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/Graphics.h"

#include <QApplication>
#include <QDataStream>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

// Where the receiving window stands on the screen: right of the test's form.
constexpr int kLeft = 700, kTop = 100, kWidth = 300, kHeight = 220;

void WriteReceived(const QString& file, const TReceived& got)
{
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return;
    QDataStream s(&f);
    s << got;
    f.commit();
}

void SayReady(int x, int y)
{
    std::printf("READY %d %d\n", x, y);
    std::fflush(stdout);
}

QByteArray ActionName(Qt::DropAction a)
{
    switch (a) {
    case Qt::CopyAction: return "copy";
    case Qt::MoveAction: return "move";
    case Qt::LinkAction: return "link";
    default: return "none";
    }
}

class PlainReceiver : public QWidget {
public:
    PlainReceiver(QString mode, QString file) : FMode(std::move(mode)), FFile(std::move(file))
    {
        setAcceptDrops(true);
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setGeometry(kLeft, kTop, kWidth, kHeight);
    }

protected:
    void dragEnterEvent(QDragEnterEvent* e) override { Answer(e); }
    void dragMoveEvent(QDragMoveEvent* e) override { Answer(e); }
    void dropEvent(QDropEvent* e) override
    {
        if (FMode == QLatin1String("refuse")) {
            e->ignore();
            return;
        }
        Answer(e);
        TReceived got;
        for (const QString& f : e->mimeData()->formats())
            got.insert(f, e->mimeData()->data(f));
        got.insert(QStringLiteral("@action"), ActionName(e->dropAction()));
        got.insert(QStringLiteral("@possible"), QByteArray::number(int(e->possibleActions())));
        WriteReceived(FFile, got);
        QTimer::singleShot(1500, qApp, &QCoreApplication::quit);
    }

private:
    void Answer(QDropEvent* e)
    {
        if (FMode == QLatin1String("refuse")) {
            e->ignore();
        } else if (FMode == QLatin1String("copy")) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        } else {
            e->acceptProposedAction();
        }
    }
    QString FMode, FFile;
};

// This program's grid on a form of its own, as a second copy of the
// program would show it.
int RunGridReceiver(const QString& file)
{
    TForm* form = NewObject<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(kLeft, kTop, kWidth, kHeight);
    auto* g = NewObject<TExStringGrid>(form);
    g->SetParent(form);
    g->SetBounds(0, 0, kWidth, kHeight);
    g->SetColCount(5);
    g->SetRowCount(4);
    g->Navigation()->AllowClipboardAlways = true;
    g->DragDropSettings()->SetOleDropTarget(true);
    bool done = false;
    g->OnOleDropped = [&](TObject*, const TGridRect&) {
        TReceived got;
        for (int c = 1; c < g->ColCount(); ++c) {
            const QString at = QStringLiteral("%1,1").arg(c);
            got.insert(QStringLiteral("cell ") + at, g->Cells(c, 1).toUtf8());
            got.insert(QStringLiteral("color ") + at, QByteArray::number(quint32(g->GetColors(c, 1)), 16));
            if (TBitmap* b = g->GetBitmap(c, 1))
                got.insert(QStringLiteral("bitmap ") + at,
                           QStringLiteral("%1x%2 %3")
                               .arg(b->Width())
                               .arg(b->Height())
                               .arg(quint32(b->Canvas()->Pixels(1, 1)), 0, 16)
                               .toUtf8());
        }
        WriteReceived(file, got);
        done = true;
    };
    form->Show();
    const TRect cr = g->TBaseGrid::CellRect(1, 1);
    const TPoint at = g->ClientToScreen(TPoint{cr.Left + 10, (cr.Top + cr.Bottom) / 2});
    QTimer::singleShot(300, [at] { SayReady(at.X, at.Y); });
    while (!done)
        Application()->HandleMessage();
    // The source hears the drop's end before this program goes.
    bool over = false;
    QTimer::singleShot(1500, [&over] { over = true; });
    while (!over)
        Application()->HandleMessage();
    return 0;
}

} // namespace

int RunReceiver(const QStringList& args)
{
    if (args.size() < 2)
        return 2;
    const QString mode = args[0], file = args[1];
    if (mode == QLatin1String("grid"))
        return RunGridReceiver(file);
    PlainReceiver w(mode, file);
    w.show();
    QTimer::singleShot(300, &w, [&w] {
        const QPoint c = w.mapToGlobal(w.rect().center());
        SayReady(c.x(), c.y());
    });
    return QApplication::exec();
}

bool ReadReceived(const QString& file, TReceived& out)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QDataStream s(&f);
    s >> out;
    return s.status() == QDataStream::Ok;
}
