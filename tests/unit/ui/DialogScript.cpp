#include "DialogScript.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr UINT tickPeriod = 10;   // ms
constexpr int maxAttempts = 2000; // ticks one step may wait before the test gives up
DialogScript* current = nullptr;

// Ends every modal loop this thread runs, innermost first.
void endAllDialogs(HWND main) {
    for (HWND popup = GetLastActivePopup(main); popup != nullptr && popup != main;
         popup = GetLastActivePopup(main))
        EndDialog(popup, -2);
    EndDialog(main, -2);
}

} // namespace

DialogScript::Step pause(int ticks) {
    auto left = std::make_shared<int>(ticks);
    return [left] { return --*left <= 0; };
}

INT_PTR DialogScript::run(Dialog& dialog, std::vector<Step> steps) {
    DialogScript script;
    script.dialog = &dialog;
    script.steps = std::move(steps);
    current = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, tickPeriod, &DialogScript::tick);
    const INT_PTR result = dialog.doModal();
    KillTimer(nullptr, timer);
    current = nullptr;
    EXPECT_EQ(script.steps.size(), script.next) << "the dialog ended before the script did";
    EXPECT_FALSE(script.gaveUp);
    return result;
}

void CALLBACK DialogScript::tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogScript* script = current;
    if (script == nullptr || script->inStep || script->gaveUp)
        return;
    HWND main = script->dialog->handle();
    if (main == nullptr)
        return; // not yet created, or already gone
    if (script->next == script->steps.size()) {
        // The last step normally ends the dialog; give its loop time to wind up.
        if (++script->attempts > maxAttempts) {
            ADD_FAILURE() << "the script ended, the dialog did not";
            script->gaveUp = true;
            endAllDialogs(main);
        }
        return;
    }
    script->inStep = true;
    const bool done = script->steps[script->next]();
    script->inStep = false;
    if (done) {
        ++script->next;
        script->attempts = 0;
    } else if (++script->attempts > maxAttempts) {
        ADD_FAILURE() << "step " << script->next << " waited in vain";
        script->gaveUp = true;
        endAllDialogs(main);
    }
}
