// Log cost: one LogEdit append to a full log (32767 bytes, so the append trims the oldest
// text, writes the whole text back and scrolls to the end) next to one plain SetWindowTextW of
// a text of the same size into the same edit control. Medians of many rounds and their ratio.
//
//     wine-run bench/log_bench.exe [rounds]      (needs a display: run under Xvfb)
#include "Bench.h"
#include "LogWindow.h"
#include "base/TextConversion.h"
#include "ui/LogLines.h"
#include "update/UpdateSequence.h"

#include <cstdio>
#include <cstdlib>

namespace {

using namespace bench;

// A log of exactly `size` bytes made of the lines an update writes.
std::string fullLog(size_t size) {
    const std::string lines = std::string(dialoglog::connected) + sequencelog::sending +
                              sequencelog::verifying + sequencelog::updating +
                              sequencelog::succeeded +
                              "Rev.1.3a notes: ASCII text of a release note line.\r\n";
    std::string log;
    while (log.size() < size)
        log += lines;
    log.erase(0, log.size() - size);
    return log;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 201;
    LogWindow window;
    LogEdit& log = window.edit();
    const std::string full = fullLog(LogEdit::trimThreshold);

    std::vector<double> appends, plainSets;
    size_t bytesAfter = 0;
    for (int round = 0; round < rounds; ++round) {
        log.setText(full);
        pumpMessages();
        LONGLONG start = startWatch();
        log.appendFormat(sequencelog::verifying);
        appends.push_back(secondsSince(start));
        const std::wstring after = log.wideText();
        bytesAfter = toCodePage932BestFit(after).size();
        pumpMessages();

        log.setText(full);
        pumpMessages();
        start = startWatch();
        SetWindowTextW(log.handle(), after.c_str());
        plainSets.push_back(secondsSince(start));
        pumpMessages();
    }
    const double append = median(appends), plain = median(plainSets);
    std::printf("log, median of %d rounds: one append to a full log (%zu bytes, %zu after the "
                "trim) %.3f ms, one plain SetWindowTextW of the text after it %.3f ms\n",
                rounds, full.size(), bytesAfter, append * 1e3, plain * 1e3);
    std::printf("  ratio log append/plain-set %.2f\n", append / plain);
    return 0;
}
