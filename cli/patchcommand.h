#pragma once

#include "subcommand.h"

namespace cli {

// `tavrin patch ORIGINAL MODIFIED -o OUT.ips|OUT.bps`: the patch that turns one image into the other.
Subcommand patchSubcommand();

} // namespace cli
