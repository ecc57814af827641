#pragma once
// A string grid on a shown borderless form, painted to an image, for the
// look, style and cell-graphic tests.
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Forms.h"
#include "support/ToolkitTest.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

class StylesTest : public ToolkitTest {
protected:
    void TearDown() override
    {
        ToolkitTest::TearDown();
        DrainPostedMessages();
    }
    template <class G = TExStringGrid>
    G* NewGrid()
    {
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 500, 400);
        auto* g = NewObject<G>(Form);
        g->SetParent(Form);
        g->SetBorderStyle(bsNone);
        g->SetBounds(0, 0, 480, 380);
        Form->Show();
        Grid = g;
        return g;
    }
    QImage Render() { return Form->RenderClient(); }
    static TColor At(const QImage& img, int x, int y)
    {
        const QRgb p = img.pixel(x, y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    // For a person to look at: build/screens/<folder>/<name>.png.
    static void SaveForReview(const QImage& img, const QString& folder, const QString& name)
    {
        const QString dir = QStringLiteral(KAL_BUILD_DIR "/screens/") + folder;
        QDir().mkpath(dir);
        img.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
    TExStringGrid* Grid = nullptr;
};
