#pragma once

#include "subcommand.h"

namespace cli {

// `tavrin header add|remove IMAGE -o OUT`: the image with a 512-byte zero copier header added in
// front, or with its copier header taken off.
Subcommand headerSubcommand();

} // namespace cli
