#include "console/param_questions.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <memory>

#include "console/menus.h"
#include "console/qt_text.h"
#include "console/settings.h"
#include "console/startup.h"
#include "params/command_guard.h"
#include "params/known_values.h"
#include "params/panel_binding.h"
#include "params/param_set.h"
#include "params/param_state.h"
#include "params/param_table.h"
#include "params/transfer_commands.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/status_line.h"

namespace kervano {

namespace {
QuestionHook questionHook;

// Settings keys of the confirmations the operator chose not to see again.
const char* const kSkipKeys[] = {"confirm/skipEeprom", "confirm/skipTeach", "confirm/skipReset"};

QuestionAnswer Ask(const Question& question, bool& doNotAskAgain) {
    if (questionHook) return questionHook(question, doNotAskAgain);
    QMessageBox box(PanelWidget(panelHandle));
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(Utf8Text(question.title));
    box.setText(Utf8Text(question.title));
    box.setInformativeText(Utf8Text(question.text));
    QAbstractButton* send = nullptr;
    QAbstractButton* confirm = nullptr;
    if (question.offerDoNotAsk) {
        confirm = box.addButton(Utf8Text(question.confirm), QMessageBox::AcceptRole);
    } else {
        if (question.offerSend)
            send = box.addButton(Utf8Text(question.confirm), QMessageBox::AcceptRole);
        confirm = box.addButton(QMessageBox::Discard);
    }
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    // Enter confirms what was asked for; losing typed values is never the default.
    if (question.offerDoNotAsk) {
        box.setDefaultButton(static_cast<QPushButton*>(confirm));
    } else {
        box.setDefaultButton(cancel);
    }
    box.setEscapeButton(cancel);
    if (question.offerDoNotAsk) box.setCheckBox(new QCheckBox(QStringLiteral("Do not ask again")));
    box.exec();
    if (box.checkBox() != nullptr) doNotAskAgain = box.checkBox()->isChecked();
    if (send != nullptr && box.clickedButton() == send) return ANSWER_SEND;
    return box.clickedButton() == confirm ? ANSWER_CONFIRM : ANSWER_CANCEL;
}

// "2 changes not sent to the controller" + tail + the list of them.
std::string UnsentSummary(int unsent, const std::string& tail) {
    return std::to_string(unsent) + (unsent == 1 ? " change" : " changes") +
           " not sent to the controller" + tail + ":\n" + UnsentChangeList();
}

bool AskDiscard(const char* what) {
    const int unsent = UnsentChangeCount();
    if (unsent == 0) return true;
    Question question;
    question.title = "Discard unsent changes?";
    question.text = UnsentSummary(unsent, std::string(" will be replaced by ") + what);
    question.confirm = "Discard";
    bool ignored = false;
    return Ask(question, ignored) == ANSWER_CONFIRM;
}

// "name was -> now" for the parameters whose values differ between from and the values.
std::string ListDifferences(const KnownMemory& from, const unsigned short* values) {
    std::string list;
    for (int p = 0; p < kParameterCount; ++p) {
        unsigned short was = 0;
        if (!KnownParameter(from, p, &was) || was == values[p]) continue;
        list += std::string(kParameterTable[p].name) + " " + std::to_string(was) + " -> " +
                std::to_string(values[p]) + "\n";
    }
    return list;
}

std::string UnsentNote(const char* lead) {
    const std::string unsent = UnsentChangeList();
    return unsent.empty() ? "" : std::string("\n") + lead + "\n" + unsent;
}

Question Confirmation(GuardedStep step) {
    Question question;
    question.offerDoNotAsk = true;
    unsigned short panel[kParameterCount];
    ReadPanelFields(panel);
    if (step == GUARD_EEPROM_WRITE) {
        question.title = "Store the parameters in the EEPROM?";
        question.confirm = "Send to EEPROM";
        if (!MemoryKnown(knownEeprom)) {
            question.text = "EEPROM content not known - all 18 parameters are written.";
        } else {
            const std::string list = ListDifferences(knownEeprom, panel);
            question.text = list.empty() ? "The EEPROM already holds these values."
                                         : "These values change in the EEPROM and stay after "
                                           "power-off:\n" +
                                               list;
        }
    } else if (step == GUARD_TEACH) {
        question.title = "Teach new reference values?";
        question.confirm = "Teach";
        question.text =
            "The controller takes its present measurement as the new references "
            "(refTOP, refBOT) in RAM; the panel then shows the values read back." +
            UnsentNote("Unsent changes replaced by the values read back:");
    } else {
        question.title = "Reset the controller?";
        question.confirm = "Reset";
        std::string text = "The controller's RAM returns to the EEPROM set.";
        if (!MemoryKnown(knownEeprom)) {
            text += "\nEEPROM content not known - RAM takes whatever the EEPROM holds.";
        } else if (MemoryKnown(knownRam)) {
            unsigned short eeprom[kParameterCount];
            for (int p = 0; p < kParameterCount; ++p) KnownParameter(knownEeprom, p, &eeprom[p]);
            const std::string list = ListDifferences(knownRam, eeprom);
            text += list.empty() ? "\nRAM already holds the EEPROM set."
                                 : "\nThese values change in RAM:\n" + list;
        }
        question.text = text + UnsentNote("Unsent changes lost:");
    }
    return question;
}

bool Confirm(GuardedStep step) {
    const char* key = kSkipKeys[step - GUARD_EEPROM_WRITE];
    if (OpenSettings()->value(QLatin1String(key), false).toBool()) return true;
    bool doNotAskAgain = false;
    const bool confirmed = Ask(Confirmation(step), doNotAskAgain) == ANSWER_CONFIRM;
    if (confirmed && doNotAskAgain) OpenSettings()->setValue(QLatin1String(key), true);
    return confirmed;
}

bool Guard(GuardedStep step) {
    if (step == GUARD_DISCARD_UNSENT) return AskDiscard("the values read");
    return Confirm(step);
}

void InstallAskAgainAction() {
    QMenu* menu = PanelMenu(MENU_CONTROLLER);
    if (menu == nullptr) return;
    auto* action = new QAction(QStringLiteral("Ask again before EEPROM, Teach and Reset"), menu);
    action->setObjectName(QStringLiteral("actionAskAgain"));
    QObject::connect(action, &QAction::triggered, action, [] {
        const std::unique_ptr<QSettings> settings = OpenSettings();
        for (const char* key : kSkipKeys) settings->remove(QLatin1String(key));
    });
    // Available only while a confirmation is switched off.
    QObject::connect(menu, &QMenu::aboutToShow, action, [action] {
        const std::unique_ptr<QSettings> settings = OpenSettings();
        bool any = false;
        for (const char* key : kSkipKeys) any = any || settings->value(QLatin1String(key)).toBool();
        action->setEnabled(any);
    });
    menu->addSeparator();
    AddPanelMenuAction(MENU_CONTROLLER, action);
}
}  // namespace

void SetQuestionHook(QuestionHook hook) {
    questionHook = std::move(hook);
}

void InstallParameterQuestions() {
    SetCommandGuard(Guard);
    InstallAskAgainAction();
}

bool MayCloseWithUnsentChanges() {
    const int unsent = UnsentChangeCount();
    if (unsent == 0) return true;
    Question question;
    question.title = "Close with unsent changes?";
    question.text = UnsentSummary(unsent, "");
    // Sending is offered only while no command holds the line.
    question.offerSend = stop_flag == 1;
    question.confirm = target == DATFILE  ? "Save to file"
                       : target == EEPROM ? "Send to EEPROM"
                                          : "Send to RAM";
    bool ignored = false;
    const QuestionAnswer answer = Ask(question, ignored);
    if (answer == ANSWER_CONFIRM) return true;
    if (answer != ANSWER_SEND) return false;
    if (target == DATFILE) return SaveParameterFile();
    ShowStatus("Transmit...");
    GetPanelValues();
    return SendParaToController() == 1;
}

bool MayChangePort() {
    return AskDiscard("the new port's values");
}

}  // namespace kervano
