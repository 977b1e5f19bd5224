#include "commands.h"

namespace bv::cli {

void addKeyAndMacroCommands(CLI::App&, Action&, const GlobalOptions&)
{
}

} // namespace bv::cli
