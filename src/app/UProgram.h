#pragma once
// The program's start and end. Start-up creates every form, reads the
// settings and the language file; an exception that escapes it (a form that
// cannot be created, a settings or language file that cannot be read) must
// neither end the program silently nor leave it half started: it is shown in
// the application's error box and the program ends with exit status 1.
// Exceptions inside the running loop are the loop's own (shown, and the
// program goes on).
#include <functional>

class TApplication;

// Runs `startUp`, then the application's loop until the main window closes.
// Answers the exit status: 0 after a normal end, 1 when start-up failed.
int Run_Program(TApplication* app, const std::function<void()>& startUp);
