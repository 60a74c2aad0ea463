#pragma once

#include "subcommand.h"

namespace cli {

// tavrin diff IMAGE_A IMAGE_B: one line per field that differs, then the count.
Exit runDiff(const QStringList& arguments, QTextStream& out, QTextStream& err);
Subcommand diffSubcommand();

} // namespace cli
