// Entry of every test executable: the toolkit is started once per process,
// as the program does, before any test creates a window or a control.
#include <gtest/gtest.h>

#include "support/TestWindow.h"
#include "toolkit/host/Toolkit.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (int code = RunChildModeIfAsked(argc, argv); code >= 0) return code;
    StartToolkit();
    return RUN_ALL_TESTS();
}
