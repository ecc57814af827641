// Tests here put grids on forms and paint on bitmaps: the toolkit's
// application object is there before the first test runs.
#include "support/ToolkitApp.h"

namespace {
[[maybe_unused]] const bool gToolkitApp = (KalTest::EnsureToolkitApp(), true);
} // namespace
