// The file dialog: its test hook, the real (Qt, non-native) dialog, and the program's
// directory.
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstring>
#include <functional>

#include "tests/ui/ui_test_support.h"

namespace {

class FileSelect : public ::testing::Test {
  protected:
    void TearDown() override { SetFileSelectHook({}); }
};

// Calls answer with the dialog as soon as it is open.
void AnswerDialog(std::function<void(QFileDialog*)> answer) {
    auto* poll = new QTimer();
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (dialog && dialog->isVisible()) {
                poll->stop();
                poll->deleteLater();
                answer(dialog);
                return;
            }
        }
    });
    poll->start(5);
}

void TypeAndAccept(QFileDialog* dialog, const QString& name) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->setText(name);
    // Pressed as the user would, through the confirm button.
    auto* box = dialog->findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* b : box->buttons()) {
        if (box->buttonRole(b) == QDialogButtonBox::AcceptRole) {
            ASSERT_TRUE(b->isEnabled());
            b->click();
            return;
        }
    }
    ADD_FAILURE() << "no confirm button";
}

void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

}  // namespace

TEST_F(FileSelect, HookSeesTheTitleAndProposedPathAndAnswers) {
    std::string seenTitle, seenProposed;
    SetFileSelectHook(
        [&](const std::string& title, const std::string& proposed, std::string& chosen) {
            seenTitle = title;
            seenProposed = proposed;
            chosen = "/data/params/kervano.dat";
            return VAL_NEW_FILE_SELECTED;
        });
    char path[260];
    const int result = FileSelectPopup("/data/params", "default.dat", "*.dat", "Save parameters",
                                       VAL_OK_BUTTON, 0, 1, 1, 1, path);
    EXPECT_EQ(result, VAL_NEW_FILE_SELECTED);
    EXPECT_STREQ(path, "/data/params/kervano.dat");
    EXPECT_EQ(seenTitle, "Save parameters");
    EXPECT_EQ(seenProposed, "/data/params/default.dat");
}

TEST_F(FileSelect, RestrictedExtensionIsAddedToTheChosenName) {
    SetFileSelectHook([](const std::string&, const std::string&, std::string& chosen) {
        chosen = "/tmp/settings";
        return VAL_NEW_FILE_SELECTED;
    });
    char path[260];
    EXPECT_EQ(FileSelectPopup("/tmp", "", "*.dat", "t", VAL_OK_BUTTON, 0, 1, 1, 1, path),
              VAL_NEW_FILE_SELECTED);
    EXPECT_STREQ(path, "/tmp/settings.dat");
    // Unrestricted, the name stays as chosen.
    EXPECT_EQ(FileSelectPopup("/tmp", "", "*.dat", "t", VAL_OK_BUTTON, 0, 0, 1, 1, path),
              VAL_NEW_FILE_SELECTED);
    EXPECT_STREQ(path, "/tmp/settings");
}

TEST_F(FileSelect, CancelOrARefusedPathLeavesTheLastChoiceInPlace) {
    // The hook's answer and chosen path: cancelled, and a path too long for the buffer.
    const struct {
        int answer;
        std::string chosen;
        int result;
    } cases[] = {{VAL_NO_FILE_SELECTED, "/ignored.dat", VAL_NO_FILE_SELECTED},
                 {VAL_EXISTING_FILE_SELECTED, "/" + std::string(300, 'x') + ".dat", kUiError}};
    for (const auto& c : cases) {
        SetFileSelectHook([&c](const std::string&, const std::string&, std::string& chosen) {
            chosen = c.chosen;
            return c.answer;
        });
        char path[260 + 16];
        std::memset(path, 'Z', sizeof path);
        std::strcpy(path, "/earlier/choice.dat");
        EXPECT_EQ(FileSelectPopup("/tmp", "a.dat", "*.dat", "t", VAL_LOAD_BUTTON, 0, 1, 1, 0, path),
                  c.result);
        EXPECT_STREQ(path, "/earlier/choice.dat");
        EXPECT_EQ(path[260], 'Z');  // nothing written past the 260-byte buffer
    }
    EXPECT_LT(FileSelectPopup("/tmp", "a.dat", "*.dat", "t", VAL_LOAD_BUTTON, 0, 1, 1, 0, nullptr),
              0);
}

TEST_F(FileSelect, SaveDialogIsAQtDialogWithOkAndAcceptsANewName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    bool inspected = false;
    AnswerDialog([&](QFileDialog* dialog) {
        inspected = true;
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->labelText(QFileDialog::Accept), QStringLiteral("OK"));
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Save parameters"));
        EXPECT_EQ(QDir(dialog->directory()), QDir(dir.path()));
        EXPECT_TRUE(dialog->nameFilters().join(' ').contains(QStringLiteral("*.dat")));
        EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(),
                  QStringLiteral("proposed.dat"));
        TypeAndAccept(dialog, QStringLiteral("fresh"));
    });
    char path[260];
    const int result = FileSelectPopup(dir.path().toLocal8Bit().constData(), "proposed.dat",
                                       "*.dat", "Save parameters", VAL_OK_BUTTON, 0, 1, 1, 1, path);
    EXPECT_TRUE(inspected);
    EXPECT_EQ(result, VAL_NEW_FILE_SELECTED);
    EXPECT_EQ(QString::fromLocal8Bit(path), dir.filePath(QStringLiteral("fresh.dat")));
}

TEST_F(FileSelect, LoadDialogPicksAnExistingFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Touch(dir.filePath(QStringLiteral("stored.dat")));
    AnswerDialog([](QFileDialog* dialog) {
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog->labelText(QFileDialog::Accept), QStringLiteral("Load"));
        TypeAndAccept(dialog, QStringLiteral("stored.dat"));
    });
    char path[260];
    const int result = FileSelectPopup(dir.path().toLocal8Bit().constData(), "", "*.dat",
                                       "Load parameters", VAL_LOAD_BUTTON, 0, 1, 1, 0, path);
    EXPECT_EQ(result, VAL_EXISTING_FILE_SELECTED);
    EXPECT_EQ(QString::fromLocal8Bit(path), dir.filePath(QStringLiteral("stored.dat")));
}

TEST_F(FileSelect, RejectedDialogSelectsNothing) {
    AnswerDialog([](QFileDialog* dialog) { dialog->reject(); });
    char path[260] = "/earlier/choice.dat";
    EXPECT_EQ(FileSelectPopup(QDir::tempPath().toLocal8Bit().constData(), "x.dat", "*.dat", "t",
                              VAL_OK_BUTTON, 0, 1, 1, 1, path),
              VAL_NO_FILE_SELECTED);
    EXPECT_STREQ(path, "/earlier/choice.dat") << "the path changes only when a file was chosen";
}

TEST(ProjectDir, IsTheProgramsDirectory) {
    char dir[260];
    ASSERT_EQ(GetProjectDir(dir), 0);
    EXPECT_EQ(QDir(QString::fromLocal8Bit(dir)), QDir(QCoreApplication::applicationDirPath()));
    EXPECT_EQ(GetProjectDir(nullptr), kUiError);
}
