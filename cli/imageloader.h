#pragma once

#include <QString>

class Document;
class QTextStream;

// Opening an image without a window, for the subcommands that read its tables.
namespace cli {

class ArgumentParser;

// Opens `path` into `doc` (grids set up and filled). On failure complains through `parser` to `err`
// and returns false. Unlike the window's open it leaves the file's permissions alone: reading an image
// never changes it.
bool openImage(Document& doc, const QString& path, const ArgumentParser& parser, QTextStream& err);

} // namespace cli
