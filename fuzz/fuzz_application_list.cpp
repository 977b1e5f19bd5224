// Feeds arbitrary bytes as a profile's application list and switch (the stored UTF-16 entries of a
// profile record), then matches and edits the list with both path rules.
#include "monitor/application_rules.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace bv::monitor;
    auto config = std::make_unique<bv::TMOUSECONFIGINFO>();
    std::memset(static_cast<void*>(config.get()), 0, sizeof(bv::TMOUSECONFIGINFO));
    const std::size_t listBytes = sizeof config->ApplicationList;
    if (size > 0) // an empty input may come without bytes at all
        std::memcpy(static_cast<void*>(config->ApplicationList), data, size < listBytes ? size : listBytes);
    config->AutoSwitchProfileWhenAppRun = size > 0 ? data[0] : 0;
    // What follows the list is the focused program's path.
    const std::string program = size > listBytes
        ? std::string(reinterpret_cast<const char*>(data) + listBytes, size - listBytes)
        : std::string("/usr/bin/game");

    for (const PathCompare compare : { PathCompare::Posix, PathCompare::Windows }) {
        ProfileApplications apps = ReadProfileApplications(*config);
        const ApplicationRules rules({ apps, apps, {}, {}, apps }, compare);
        (void)rules.Active();
        (void)rules.ProfileFor(program);
        auto copy = std::make_unique<bv::TMOUSECONFIGINFO>(*config);
        (void)AddApplication(*copy, program, compare);
        // One removal an input, picked by the input's length: each removal reads and writes the
        // whole list again, and removing all of them made the target ten times slower.
        if (!apps.Paths.empty())
            (void)RemoveApplication(*copy, apps.Paths[size % apps.Paths.size()], compare);
    }
    return 0;
}
