#include <gtest/gtest.h>

#include "platform/ui/application.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The tests expect the Chinese interface whatever the languages of the machine they run on.
    qputenv("LANGUAGE", "");
    qputenv("LC_ALL", "C.UTF-8");
    platform::Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
