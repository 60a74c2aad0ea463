#pragma once

#include "subcommand.h"

namespace cli {

// tavrin set IMAGE [-t TABLE] [--where FILTER] ASSIGNMENTS (-o OUT | --in-place) [--dry-run]
// [--fix-checksum]: the window's batch change, on the rows a filter keeps.
Subcommand setSubcommand();

} // namespace cli
