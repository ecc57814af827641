#pragma once
// A page control on a headless form with a few named sheets, and the pixels
// of its painting.
#include "gridpack/pagecontrol/ExPageControl.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
#include "support/ToolkitTest.h"

#include <QImage>
#include <gtest/gtest.h>

class PageControlTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        Form = NewObject<TForm>(nullptr);
        Form->SetName("F");
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 420, 320);
        PC = NewObject<TExPageControl>(Form);
        PC->SetName("PC");
        PC->SetParent(Form);
        PC->SetBounds(10, 10, 320, 240);
    }
    void TearDown() override {
        ToolkitTest::TearDown();
        Application()->ProcessMessages();
        ResetKeyboardState();
    }
    // Sheets named Sheet0, Sheet1 ... with the given captions.
    void AddSheets(std::initializer_list<const char*> captions) {
        for (const char* caption : captions) {
            auto* s = NewObject<TExTabSheet>(Form);
            s->SetName(QStringLiteral("Sheet%1").arg(Sheets.size()));
            s->SetCaption(QString::fromUtf8(caption));
            s->SetExPageControl(PC);
            Sheets << s;
        }
    }
    static TPoint Mid(const TRect& r) { return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }
    TRect PageTab(int page) { return PC->TabRect(PC->PageToTabIndex(page)); }

    // The control painted alone, as the screen would show it.
    QImage Render() {
        QImage img(PC->Width(), PC->Height(), QImage::Format_RGB32);
        img.fill(Qt::magenta);
        PC->PaintTo(img, Point(0, 0));
        return img;
    }
    static TColor At(const QImage& img, int x, int y) {
        const QRgb p = img.pixel(x, y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    // The smallest rectangle holding every pixel of `colour` inside `area`
    // (empty when none).
    static TRect Box(const QImage& img, TColor colour, const TRect& area) {
        TRect box;
        bool any = false;
        for (int y = std::max(0, area.Top); y < std::min(img.height(), area.Bottom); ++y)
            for (int x = std::max(0, area.Left); x < std::min(img.width(), area.Right); ++x)
                if (At(img, x, y) == colour) {
                    if (!any) box = Rect(x, y, x + 1, y + 1);
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                    any = true;
                }
        return box;
    }

    TExPageControl* PC = nullptr;
    QList<TExTabSheet*> Sheets;
};
