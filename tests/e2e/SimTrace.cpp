#include "SimTrace.h"

#include <cstdlib>

namespace e2e {

int countRequests(const std::vector<std::string>& trace, unsigned request) {
    // "<pid> KovControlRequest(<device>, <direction>, 0, <request>, ...) = ..."
    static const std::string call = "KovControlRequest(";
    int count = 0;
    for (const std::string& line : trace) {
        size_t at = line.find(call);
        if (at == std::string::npos)
            continue;
        size_t field = at + call.size();
        for (int comma = 0; comma < 3 && field != std::string::npos; ++comma) {
            field = line.find(',', field);
            if (field != std::string::npos)
                ++field;
        }
        if (field == std::string::npos)
            continue;
        if (std::strtoul(line.c_str() + field, nullptr, 0) == request)
            ++count;
    }
    return count;
}

} // namespace e2e
