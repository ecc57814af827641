#pragma once
// Reading back what the X server shows, for the tests that run on a real
// display: the screen (root window) where a window stands, or one window by
// its id, and simple judgements of the pictures.
#include <QImage>
#include <QRect>
#include <QString>

namespace KalTest {

// What the screen shows in `r` (screen coordinates): the server composes
// every window there as a person sees it.
QImage GrabScreenRect(const QRect& r);
// The contents of one window as the server holds them.
QImage GrabWindowById(quintptr id);

// The number of different colours in the picture, counting at most `cap`.
int DistinctColours(const QImage& img, int cap = 16);
// Every pixel black.
bool AllBlack(const QImage& img);
// A picture that can hold text: two colours at least and not all black.
bool ShowsSomething(const QImage& img);

// Saves the picture as <folder>/<name>.png for a person to look at (the
// folder is made when missing); answers the path.
QString KeepGrab(const QImage& img, const QString& folder, const QString& name);

} // namespace KalTest
