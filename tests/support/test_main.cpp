// Test main: a QApplication on the offscreen platform, then every test. The tests, and the
// programs they start, keep their settings in a file of their own and their journal in a
// folder of their own, never the user's.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QTemporaryDir settings;
    qputenv("KERVANO_SCOPE_SETTINGS", settings.filePath(QStringLiteral("settings.ini")).toUtf8());
    qputenv("XDG_DATA_HOME", settings.filePath(QStringLiteral("data")).toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
