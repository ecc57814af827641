#pragma once
// The other program of the drag tests: this test binary started a second
// time with "--receiver MODE FILE". It shows one window where drags can land
// and writes what a drop brought to FILE (a QDataStream of a QMap from
// name to bytes), then ends.
//
// Modes:
//   accept  a plain toolkit window that takes the action the drag proposes
//   copy    the same, insisting on a copy
//   refuse  a plain toolkit window that is a drop target but takes nothing
//   grid    this program's string grid as drop target; the file holds the
//           texts, colours and cell bitmaps of the cells the drop filled
//
// When the window is up it prints "READY X Y" on its standard output: the
// screen point to drop on.
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

using TReceived = QMap<QString, QByteArray>;

int RunReceiver(const QStringList& args);

// Reads a receiver's file; false when there is none (yet).
bool ReadReceived(const QString& file, TReceived& out);
