#pragma once

#include "subcommand.h"

namespace cli {

// `tavrin apply IMAGE PATCH... (-o OUT | --in-place)`: IPS or BPS patches applied to an image in
// order, all or nothing; patches made for the image's other form are applied through that form.
Subcommand applySubcommand();

} // namespace cli
