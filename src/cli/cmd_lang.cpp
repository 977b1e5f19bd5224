#include "commands.h"

namespace bv::cli {

void addLanguageCommands(CLI::App&, Action&, const GlobalOptions&)
{
}

} // namespace bv::cli
