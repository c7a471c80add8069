// The main dialog's layout at the display's resolution: every control lies inside the dialog,
// the step buttons share one place, and nothing else overlaps. Run at 96 and at 144 dots per
// inch (the prefix's LogPixels), with screenshots of every step.
#include "E2eTest.h"

namespace e2e {
namespace {

RECT clientRectOf(HWND dialog, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool overlap(const RECT& a, const RECT& b) {
    RECT common;
    return IntersectRect(&common, &a, &b) != 0;
}

std::string describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

class Layout : public ProgramTest {};

TEST_F(Layout, EveryControlInsideTheDialogAndApart) {
    ASSERT_TRUE(start());
    HWND main = dialog().handle();
    RECT client;
    GetClientRect(main, &client);

    const int ids[] = {idConnect, idOpen, idUpdate, idFinish, idCancel, idLog, idStatusLine};
    for (int id : ids) {
        HWND control = dialog().control(id);
        ASSERT_TRUE(control) << "control " << id;
        const RECT r = clientRectOf(main, control);
        EXPECT_TRUE(inside(r, client))
            << "control " << id << " at " << describe(r) << " outside " << describe(client);
        EXPECT_GT(r.right - r.left, 0) << id;
        EXPECT_GT(r.bottom - r.top, 0) << id;
    }

    // The four step buttons take turns at one place.
    const RECT step = clientRectOf(main, dialog().control(idConnect));
    for (int id : {idOpen, idUpdate, idFinish}) {
        const RECT r = clientRectOf(main, dialog().control(id));
        EXPECT_TRUE(EqualRect(&step, &r)) << "step button " << id << " at " << describe(r);
    }

    // Cancel, the step place, the log and the status line do not overlap.
    const RECT apart[] = {step, clientRectOf(main, dialog().control(idCancel)),
                          clientRectOf(main, dialog().control(idLog)),
                          clientRectOf(main, dialog().control(idStatusLine))};
    for (size_t i = 0; i < 4; ++i)
        for (size_t j = i + 1; j < 4; ++j)
            EXPECT_FALSE(overlap(apart[i], apart[j]))
                << describe(apart[i]) << " overlaps " << describe(apart[j]);

    // The whole dialog fits on the screen it was shown on.
    RECT window, desktop;
    GetWindowRect(main, &window);
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_TRUE(inside(window, desktop)) << describe(window) << " on " << describe(desktop);

    // The log shows whole lines of its font: more than five of them fit its text area.
    ASSERT_TRUE(click(idConnect));
    ASSERT_TRUE(stepBecomes(Step::open));
    RECT text;
    SendMessageW(dialog().control(idLog), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    const LRESULT first = SendMessageW(dialog().control(idLog), EM_POSFROMCHAR, 0, 0);
    const LRESULT third =
        SendMessageW(dialog().control(idLog), EM_POSFROMCHAR,
                     SendMessageW(dialog().control(idLog), EM_LINEINDEX, 2, 0), 0);
    const int lineHeight =
        (static_cast<short>(HIWORD(third)) - static_cast<short>(HIWORD(first))) / 2;
    ASSERT_GT(lineHeight, 0);
    EXPECT_GT((text.bottom - text.top) / lineHeight, 5)
        << "text area " << describe(text) << ", line height " << lineHeight;
    screenshot(L"layout-open");
}

} // namespace
} // namespace e2e
