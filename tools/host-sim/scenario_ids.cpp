#include "tools/host-sim/scenario_ids.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "resources/resource.h"

namespace {

struct NamedId {
    const char* name;
    int value;
};

// Every name of resources/resource.h, listed from the header at build time
// (cmake/resource_names.cmake); the values are the header's own macros.
constexpr NamedId kNamedIds[] = {
#include "resource_names.inc"
};

}  // namespace

bool ReadScenarioId(const std::string& word, int& id, std::string& error) {
    const unsigned char first = word.empty() ? 0 : static_cast<unsigned char>(word[0]);
    if (!std::isalpha(first) && first != '_') {
        id = std::atoi(word.c_str());
        return true;
    }
    for (const NamedId& named : kNamedIds)
        if (word == named.name) {
            id = named.value;
            return true;
        }
    error = "unknown name " + word + " (not defined in resources/resource.h)";
    return false;
}
