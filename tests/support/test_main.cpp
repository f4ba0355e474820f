// Test main: a QApplication on the offscreen platform, then every test. The tests, and the
// programs they start, keep their settings in a file of their own and their journal in a
// folder of their own, never the user's.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// A dialog that no test answers would wait for ever: after a quarter of a minute the test
// that opened it fails and the dialog is dismissed, so the rest of the suite still runs.
void DismissUnansweredDialogs(QTimer& watch) {
    static QPointer<QWidget> seen;
    static int seconds = 0;
    QObject::connect(&watch, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal != seen) {
            seen = modal;
            seconds = 0;
            return;
        }
        if (++seconds < 15) return;
        ADD_FAILURE() << "a dialog waited 15 s for an answer: \""
                      << modal->windowTitle().toStdString() << "\"";
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    });
    watch.start(1000);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QTemporaryDir settings;
    qputenv("KERVANO_SCOPE_SETTINGS", settings.filePath(QStringLiteral("settings.ini")).toUtf8());
    qputenv("XDG_DATA_HOME", settings.filePath(QStringLiteral("data")).toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QTimer watch;
    DismissUnansweredDialogs(watch);
    return RUN_ALL_TESTS();
}
