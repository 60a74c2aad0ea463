#pragma once

#include "subcommand.h"

namespace cli {

// `tavrin info IMAGE`: the form, size, internal title, checksum agreement and CRC32 of an image.
Subcommand infoSubcommand();

} // namespace cli
