#include "platform/controls/StdMessages.h"

namespace {
int gBeeps = 0;
}  // namespace

void MessageBeep(unsigned) { ++gBeeps; }
int MessageBeepCount() { return gBeeps; }
