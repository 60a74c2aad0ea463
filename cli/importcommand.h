#pragma once

#include "subcommand.h"

namespace cli {

// tavrin import IMAGE FILE... (-o OUT | --in-place): applies table files and saves the image.
Exit runImport(const QStringList& arguments, QTextStream& out, QTextStream& err);
Subcommand importSubcommand();

} // namespace cli
