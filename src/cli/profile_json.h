#pragma once
// JSON views of the stored records, with the records' own field names.

#include "settings/pubunit_solmarch.h"

#include <nlohmann/json.hpp>

#include <string>

namespace bv::cli {

/// A game profile as JSON: every field that the program reads, by its record name.
nlohmann::ordered_json ProfileToJson(const TMOUSEPROFILEINFO& profile);

/// One macro as JSON (name, counts, version, actions).
nlohmann::ordered_json MacroToJson(const TMACROKEYINFO& macro);

/// The profile that ProfileToJson printed (with its "schema", as `profile show` prints it): every
/// field must be there, no other, and each within what its record field holds; the bytes that are
/// not shown are zero. False, with `error` naming the field as a JSON pointer and saying why,
/// for anything else. Never throws on bad input.
[[nodiscard]] bool ProfileFromJson(const nlohmann::ordered_json& j, TMOUSEPROFILEINFO& out, std::string& error);

/// What differs between two JSON documents: {"/json/pointer": {"from": old, "to": new}, …} for
/// each value that changed; arrays that changed length count as one value.
nlohmann::ordered_json JsonChanges(const nlohmann::ordered_json& before, const nlohmann::ordered_json& after);

} // namespace bv::cli
