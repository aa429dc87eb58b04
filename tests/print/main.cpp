// Printing tests with a real print queue. The private CUPS server starts with the first test
// that asks for it, before anything in this process has asked CUPS a question, so Qt's
// printing talks to it and not to the machine's server. Listing the tests starts nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "private_cups.h"
#include "private_settings.h"

namespace cindral::testing {
PrivateCups& TheQueue() {
    static PrivateCups queue;
    return queue;
}
}  // namespace cindral::testing

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    cindral::testing::PrivateSettings settings;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
