// The questions asked before a step that loses the operator's unsent changes or changes
// what the controller keeps: the desktop's standard message box, or, for tests, a hook.
// Enter confirms and Escape cancels; the confirmations of Send to EEPROM, Teach and Reset
// offer "Do not ask again", remembered in the settings and undone from the Controller menu.
#pragma once

#include <functional>
#include <string>

namespace kervano {

enum QuestionAnswer { ANSWER_CANCEL, ANSWER_CONFIRM, ANSWER_SEND };

struct Question {
    std::string title;
    std::string text;     // what will change, line by line
    std::string confirm;  // the confirming button's text ("Discard", "Send to EEPROM")
    bool offerSend = false;        // closing: Send first
    bool offerDoNotAsk = false;    // the confirmations
};

// Tests answer here instead of a window; the hook may set doNotAskAgain. An empty function
// restores the message box.
using QuestionHook = std::function<QuestionAnswer(const Question& question, bool& doNotAskAgain)>;
void SetQuestionHook(QuestionHook hook);

// Installs the guard of the parameter commands and the Controller menu's undo item.
void InstallParameterQuestions();
// Closing the window: false when the operator chose to stay (Cancel, or a Send that failed).
bool MayCloseWithUnsentChanges();
// Choosing another port: false when the operator kept the present one.
bool MayChangePort();

}  // namespace kervano
