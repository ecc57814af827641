#pragma once
// The toolkit window that shows a form to a person. Only the form has one:
// it paints the form's control tree and hands its input events to the input
// layer, which finds the control under the mouse and the focused control.
#include "platform/controls/Messages.h"

#include <memory>

class QRect;

class QWidget;
class TCustomForm;
class TWinControl;

class TFormHost {
public:
    explicit TFormHost(TCustomForm* form);
    ~TFormHost();
    void Show(bool activate);
    void Hide();
    void Update();
    // Asks the toolkit to show this part of the client area again.
    void UpdateArea(const QRect& r);
    // Moves what the window shows inside `r` by (dx, dy); false when the
    // window cannot move it alone (it is not on the screen, or a widget drawn
    // inside it covers the area), and nothing happened.
    bool ScrollArea(int dx, int dy, const QRect& r);
    void SyncGeometry();
    QWidget* Widget() const;

private:
    struct Impl;
    std::unique_ptr<Impl> FImpl;
};

// Whether the toolkit shows windows to a person (a toolkit application on a
// platform with a screen, not a headless run).
bool PersonCanSee();
// Forms get toolkit windows only where a person can see them (not in a
// headless run), unless a test asks for them.
bool FormHostsEnabled();
void SetFormHostsEnabled(bool enabled);
// Shows the screen cursor (crDefault gives the control's own back).
void ApplyScreenCursor(int cursor);
