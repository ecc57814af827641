#pragma once
// A string grid alone on a borderless form, painted on a bitmap, and the
// pixel helpers the drawing tests share.
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/Resources.h"
#include "support/ToolkitTest.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <gtest/gtest.h>

class PaintTest : public ToolkitTest {
protected:
    void TearDown() override
    {
        ToolkitTest::TearDown();
        DrainPostedMessages();
    }
    void NewForm(int w = 500, int h = 400)
    {
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, w, h);
    }
    void NewGrid()
    {
        NewForm();
        Grid = NewObject<TExStringGrid>(Form);
        Grid->SetParent(Form);
        Grid->SetBorderStyle(bsNone);
        Grid->SetBounds(0, 0, 480, 380);
        Form->Show();
    }
    // A column grid at the form's origin without border, as the forms
    // place it.
    TExColumnGrid* NewColumnGrid()
    {
        NewForm();
        auto* g = NewObject<TExColumnGrid>(Form);
        g->SetParent(Form);
        g->SetBorderStyle(bsNone);
        g->SetBounds(0, 0, 480, 380);
        Grid = g;
        Form->Show();
        return g;
    }
    QImage Render() { return Form->RenderClient(); }
    static TColor At(const QImage& img, int x, int y)
    {
        const QRgb p = img.pixel(x, y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    static int Channel(TColor c, int shift) { return int((c >> shift) & 0xFF); }
    // Whether the picture (its ground, the bottom-left pixel's colour, left
    // out) shows with its top-left corner at (x0, y0).
    static bool ShowsPicture(const QImage& img, const QImage& pic, int x0, int y0)
    {
        const QRgb ground = pic.pixel(0, pic.height() - 1) & 0xFFFFFF;
        for (int y = 0; y < pic.height(); ++y)
            for (int x = 0; x < pic.width(); ++x) {
                const QRgb p = pic.pixel(x, y) & 0xFFFFFF;
                if (p != ground && (img.pixel(x0 + x, y0 + y) & 0xFFFFFF) != p)
                    return false;
            }
        return true;
    }
    // Every place inside the rectangle where the picture shows.
    static QList<QPoint> FindPicture(const QImage& img, const QImage& pic, const TRect& in)
    {
        QList<QPoint> found;
        for (int y = in.Top; y + pic.height() <= in.Bottom; ++y)
            for (int x = in.Left; x + pic.width() <= in.Right; ++x)
                if (ShowsPicture(img, pic, x, y))
                    found << QPoint(x, y);
        return found;
    }
    // The pixels that differ between two renderings inside the rectangle.
    static QList<QPoint> Changed(const QImage& a, const QImage& b, const TRect& in)
    {
        QList<QPoint> d;
        for (int y = in.Top; y < in.Bottom; ++y)
            for (int x = in.Left; x < in.Right; ++x)
                if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF))
                    d << QPoint(x, y);
        return d;
    }
    TExStringGrid* Grid = nullptr;
};
