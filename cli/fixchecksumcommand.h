#pragma once

#include "subcommand.h"

namespace cli {

// `tavrin fix-checksum IMAGE (-o OUT | --in-place)`: the cartridge header's checksum and complement
// set to the values the image's data gives, and no other byte changed.
Subcommand fixChecksumSubcommand();

} // namespace cli
