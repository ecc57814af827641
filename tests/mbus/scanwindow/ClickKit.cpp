// A mouse click in the middle of one of the window's push buttons (kept out
// of the tree tests: the button's names and the tree's cannot meet in one
// unit).
#include "ScanWindowKit.h"

#include "app/LbButton.h"
#include "platform/controls/Input.h"

void Click_Button(TFScanDecode* w, const QString& name)
{
    auto* b = dynamic_cast<TLbButton*>(w->FindComponent(name));
    ASSERT_NE(b, nullptr) << name.toStdString();
    Input::Click(b, b->Width() / 2, b->Height() / 2);
}
