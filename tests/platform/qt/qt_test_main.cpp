// The Qt tests' entry point: one QApplication for every test, on the offscreen platform
// unless the environment chose another.
#include <QApplication>
#include <gtest/gtest.h>

// Qt and fontconfig keep process-lifetime caches that LeakSanitizer would report.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
