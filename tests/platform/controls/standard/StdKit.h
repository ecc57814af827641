#pragma once
// A shown form to place controls on, and the program-wide state each test
// resets.
#include "platform/controls/Clipboard.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
#include "platform/controls/StdCtrls.h"
#include "support/QtPrinters.h"
#include "support/ToolkitTest.h"

#include <QImage>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const TRect& r, std::ostream* os) {
    *os << "(" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ")";
}
inline void PrintTo(const TPoint& p, std::ostream* os) { *os << "(" << p.X << "," << p.Y << ")"; }

class StdTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        SetTickCountForTest(100000);
        Clipboard()->Clear();
        Form = NewObject<TForm>(nullptr);
        Form->SetName("F");
        Form->SetBounds(100, 100, 400, 300);
        Form->Show();
    }
    void TearDown() override {
        ToolkitTest::TearDown();
        Application()->ProcessMessages();
        SetTickCountForTest(-1);
    }
    // A control of class T on the form.
    template <class T> T* Place(int x, int y, int w = -1, int h = -1) {
        T* c = new T(Form);
        c->AfterConstruction();
        c->SetParent(Form);
        c->SetBounds(x, y, w < 0 ? c->Width() : w, h < 0 ? c->Height() : h);
        return c;
    }
    // Types a text into the focused control, key by key.
    static void Type(const QString& s) {
        for (QChar ch : s) {
            const unsigned vk = ch.isLetter() ? ch.toUpper().unicode() : ch.unicode();
            Input::KeyDown(vk, ch.isUpper() ? TShiftState(ssShift) : 0u);
            Input::Char(ch);
            Input::KeyUp(vk, ch.isUpper() ? TShiftState(ssShift) : 0u);
        }
    }
    // The control as drawn on a white surface.
    static QImage Render(TControl* c) {
        QImage img(c->Width(), c->Height(), QImage::Format_RGB32);
        img.fill(Qt::white);
        c->PaintTo(img, Point(0, 0));
        return img;
    }
    static QRgb Rgb(TColor c) { return 0xFF000000u | ColorToQColor(c).rgb(); }
};
