// One application object for every test binary. Window tests need a QApplication;
// test discovery runs the binary without the CTest environment, so the platform
// defaults to offscreen here.
#include <gtest/gtest.h>

#include <cstdlib>

#ifdef BINGO_TEST_WIDGETS
#include <QApplication>
using TestApp = QApplication;
#else
#include <QCoreApplication>
using TestApp = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // A private runtime folder, as the sound system expects one.
        char dir[] = "/tmp/bingo-test-XXXXXX";
        if (mkdtemp(dir))
            qputenv("XDG_RUNTIME_DIR", dir);
    }
    TestApp app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
