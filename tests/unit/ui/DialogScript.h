// DialogScript: runs a modal dialog while a script acts on it from inside its message loop.
//
// A thread timer calls the steps in turn; a step returns false to be called again at the next
// tick (waiting for something), true to go on. Steps must not block: whatever opens a nested
// modal loop (a file dialog, the about box) is posted. A step that keeps waiting for too many
// ticks, or a dialog still running after the last step, fails the test and ends the dialog.
#pragma once

#include "framework/Dialog.h"

#include <windows.h>

#include <functional>
#include <vector>

class DialogScript {
public:
    using Step = std::function<bool()>;

    // Runs `dialog` modally with `steps`; returns the dialog's result.
    static INT_PTR run(Dialog& dialog, std::vector<Step> steps);

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);

    Dialog* dialog = nullptr;
    std::vector<Step> steps;
    size_t next = 0;
    int attempts = 0;
    bool inStep = false;
    bool gaveUp = false;
};

// A step that waits for `condition`.
inline DialogScript::Step waitFor(std::function<bool()> condition) {
    return condition;
}

// A step that does `action` once.
inline DialogScript::Step act(std::function<void()> action) {
    return [action] {
        action();
        return true;
    };
}

// A step that lets `ticks` timer ticks pass (each at least 10 ms).
DialogScript::Step pause(int ticks);
