#pragma once

#include <QString>

class Document;
class QTextStream;

// Opening an image without a window, for the subcommands that read its tables.
namespace cli {

class ArgumentParser;

// Opens `path` into `doc` (grids set up and filled). On failure complains through `parser` to `err`
// and returns false. Opening clears a read-only flag for the window's sake; here the file's
// permissions are put back, since reading an image must not change it.
bool openImage(Document& doc, const QString& path, const ArgumentParser& parser, QTextStream& err);

} // namespace cli
