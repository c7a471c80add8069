// The simulator's trace file (sim/README.md, "Trace file") as the integration and end-to-end
// tests read it: one entry per line, without the process id, and with the handles named as
// they are handed out: "dev" for an open device, "pipe0".."pipe2" for the pipes of the latest
// open. A handle that no open handed out keeps its number.
//
// 1. const Lines trace = readTrace(folder + L"\\trace.txt");
// 2. linesOf(trace, "KovCloseDevice(dev) = 1"), requests(trace, 0xB0), lastDataLine(trace)
// 3. EXPECT_TRUE(devicesClosed(trace, 1));
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

// The whole file at `path`, which another process may be appending to; "" when it can't be read.
std::string readText(const std::wstring& path);

Lines readTrace(const std::wstring& path);

// The lines of `trace` that start with `prefix` and hold `part` after it.
Lines linesOf(const Lines& trace, const std::string& prefix, const std::string& part = "");

// The control requests with the request code `request`, on any handle.
Lines requests(const Lines& trace, unsigned request);

// One "data(...)" line of the trace: what the device received after a command block.
struct DataLine {
    std::uint64_t length = 0;   // announced
    std::uint64_t received = 0; // data bytes received, padding not counted
    std::uint64_t padding = 0;
    std::uint32_t crc = 0;
    std::string end; // complete, timed-out, broken, closed, unplugged
};
// The last data line of the trace; fails the test when there is none.
DataLine lastDataLine(const Lines& trace);

// `opened` devices opened with selector 513 and as many closed, none with a pipe left open.
::testing::AssertionResult devicesClosed(const Lines& trace, int opened);
