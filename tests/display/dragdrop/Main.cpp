// The test program, or the receiving program when started as one.
#include "Receiver.h"

#include "support/ToolkitApp.h"

#include <QByteArray>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "--receiver") {
        KalTest::EnsureToolkitApp();
        QStringList args;
        for (int i = 2; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        return RunReceiver(args);
    }
    testing::InitGoogleTest(&argc, argv);
    KalTest::EnsureToolkitApp();
    return RUN_ALL_TESTS();
}
