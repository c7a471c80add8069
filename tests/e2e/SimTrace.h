// Reading the simulator's trace: which control requests the device received.
#pragma once

#include <string>
#include <vector>

namespace e2e {

// How many control requests with the request code `request` the trace records.
int countRequests(const std::vector<std::string>& trace, unsigned request);

} // namespace e2e
