#pragma once

#include "subcommand.h"

namespace cli {

// `tavrin apply IMAGE PATCH (-o OUT | --in-place)`: an IPS or BPS patch applied to an image.
Subcommand applySubcommand();

} // namespace cli
