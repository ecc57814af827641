// Every test here works on canvases and windows: the toolkit's application
// object is there before the first test runs.
#include "support/ToolkitApp.h"

namespace {
[[maybe_unused]] const bool gToolkitApp = (KalTest::EnsureToolkitApp(), true);
} // namespace
