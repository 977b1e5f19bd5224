#include "commands.h"

namespace bv::cli {

void addDeviceCommands(CLI::App&, Action&, const GlobalOptions&)
{
}

} // namespace bv::cli
