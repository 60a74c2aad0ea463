#pragma once

#include "subcommand.h"

namespace cli {

// tavrin export IMAGE [-t TABLE] [-f tsv|csv] [-o PATH]: one table to standard output or a file, or
// all five into a folder.
Exit runExport(const QStringList& arguments, QTextStream& out, QTextStream& err);
Subcommand exportSubcommand();

} // namespace cli
