// Feeds arbitrary bytes to `bvctl profile import` as JSON. Whatever is taken must print back as
// the same document: import keeps every field that show prints, and refuses what it cannot keep.
#include "commands.h"
#include "profile_json.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto j = nlohmann::ordered_json::parse(data, data + size, nullptr, false);
    if (j.is_discarded())
        return 0;
    auto profile = std::make_unique<bv::TMOUSEPROFILEINFO>();
    std::string error;
    if (!bv::cli::ProfileFromJson(j, *profile, error)) {
        if (error.empty())
            std::abort(); // a refusal always names its reason
        return 0;
    }
    // Key order is free in the input, so the two are compared as unordered documents.
    const auto shown = nlohmann::json::parse(bv::cli::withSchema(bv::cli::ProfileToJson(*profile)).dump());
    if (shown != nlohmann::json::parse(j.dump()))
        std::abort();
    return 0;
}
