// Resets the link-seam fakes. A fixture takes it as its first base class, so that the fakes
// are fresh before its members (devices that read the clock when built) are constructed.
#pragma once

#include "fakes/FakeAccessibility.h"
#include "fakes/FakeDpi.h"
#include "fakes/FakeDriver.h"
#include "fakes/FakeExecutionState.h"
#include "fakes/FakeTaskbar.h"
#include "fakes/FakeThread.h"
#include "fakes/FakeTimer.h"
#include "fakes/ManualClock.h"
#include "fakes/RecordedMessageBoxes.h"

struct FreshFakes {
    FreshFakes() {
        FakeDriver::get().reset();
        FakeAccessibility::get().reset();
        FakeDpi::get().reset();
        ManualClock::get().reset();
        FakeThread::get().reset();
        FakeTimer::get().reset();
        executionRequests().clear();
        shutdownBlockReasons().clear();
        taskbarStates().clear();
        flashedWindows().clear();
        recordedMessageBoxes().clear();
    }
    ~FreshFakes() {
        FakeDriver::get().reset();
        FakeThread::get().reset();
    }
};
