#pragma once

#include "subcommand.h"

namespace cli {

// tavrin diff IMAGE OTHER: one line per field that differs from another image or from what a patch makes
// of IMAGE, then the count, and the bytes outside the tables that differ.
Exit runDiff(const QStringList& arguments, QTextStream& out, QTextStream& err);
Subcommand diffSubcommand();

} // namespace cli
