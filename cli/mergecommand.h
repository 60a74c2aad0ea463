#pragma once

#include "subcommand.h"

namespace cli {

// `tavrin merge BASE OURS THEIRS (-o OUT | --in-place)`: the edits of OURS and THEIRS since BASE
// combined field by field; --in-place writes OURS, as git's merge driver expects.
Subcommand mergeSubcommand();

} // namespace cli
