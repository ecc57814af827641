// Compiled into every test program: whatever the code under test sends, a
// datagram, an echo request or a connection to an address outside the
// loopback network fails the running test with that address and never leaves
// the machine.
#include "platform/sys/DestinationGuard.h"

#include <gtest/gtest.h>

namespace {

class LoopbackOnlyEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        Sys::SetDestinationGuard([](const Sys::Destination& d) {
            if (d.Loopback)
                return true;
            ADD_FAILURE() << "a " << d.Kind.toStdString() << " to " << d.Address.toStdString() << ":" << d.Port
                          << " would have left the machine";
            return false;
        });
    }
    void TearDown() override { Sys::SetDestinationGuard(nullptr); }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new LoopbackOnlyEnvironment);

} // namespace
