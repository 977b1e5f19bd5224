#pragma once
// JSON views of the stored records, with the records' own field names.

#include "settings/pubunit_solmarch.h"

#include <nlohmann/json.hpp>

namespace bv::cli {

/// A game profile as JSON: every field that the program reads, by its record name.
nlohmann::ordered_json ProfileToJson(const TMOUSEPROFILEINFO& profile);

/// One macro as JSON (name, counts, version, actions).
nlohmann::ordered_json MacroToJson(const TMACROKEYINFO& macro);

} // namespace bv::cli
