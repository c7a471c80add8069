// Common set-up of the device-layer tests: a fresh fake driver and manual clock per test.
#pragma once

#include "fakes/FakeDriver.h"
#include "fakes/ManualClock.h"
#include "support/ErrorTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Calls = std::vector<std::string>;

class DeviceTest : public ::testing::Test {
protected:
    // In the constructor, so that devices held by derived fixtures see the fresh clock.
    DeviceTest() {
        FakeDriver::get().reset();
        ManualClock::get().reset();
    }
    void TearDown() override { FakeDriver::get().reset(); }

    FakeDriver& driver() { return FakeDriver::get(); }
    ManualClock& clock() { return ManualClock::get(); }
    Calls& calls() { return FakeDriver::get().calls; }
    TestPipe& pipe(int index) { return *FakeDriver::get().pipes[index]; }
};

inline Bytes sequence(size_t length, std::uint8_t first = 1) {
    Bytes bytes(length);
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<std::uint8_t>(first + i * 7);
    return bytes;
}
