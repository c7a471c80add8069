// Whether the program let go of the simulated device, read from the simulator's trace: every
// device that opened was closed again, and no pipe was still open when it was.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace e2e {

// Lines holding `part`, and `result` after it when given.
inline int countLines(const std::vector<std::string>& trace, const std::string& part,
                      const std::string& result = std::string()) {
    int count = 0;
    for (const std::string& line : trace) {
        const size_t at = line.find(part);
        if (at != std::string::npos && line.find(result, at) != std::string::npos)
            ++count;
    }
    return count;
}

// `opened` devices opened (and as many closed), none with a pipe left open.
inline ::testing::AssertionResult devicesClosed(const std::vector<std::string>& trace, int opened) {
    const int open = countLines(trace, " KovOpenDevice(513) = 0x");
    const int closed = countLines(trace, " KovCloseDevice(0x", ") = 1 err=0");
    const int pipesLeft = countLines(trace, " pipes-left-open(");
    if (open == opened && closed == opened && pipesLeft == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << open << " devices opened, " << closed << " closed, expected " << opened
           << " of each; " << pipesLeft << " closed with a pipe left open";
}

} // namespace e2e
