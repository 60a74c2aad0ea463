#pragma once

#include <QCommandLineOption>
#include <QString>

#include <optional>

class QTextStream;

namespace cli {

class ArgumentParser;

// Where the commands that write an image write it, under one rule for all: a new file (-o OUT) or,
// where the command offers it, the image itself (--in-place), exactly one of the two; OUT never names
// the image, under any of its names, so the image is written only when --in-place says so.
class Destination
{
public:
    enum class InPlace
    {
        Offered,
        // The command changes the image's form, so its result never replaces the image.
        NotOffered,
    };

    explicit Destination(InPlace inPlace = InPlace::Offered);

    void addTo(ArgumentParser& parser) const;
    // Where to write, or nullopt after saying why not.
    std::optional<QString> resolve(const ArgumentParser& parser, const QString& image, QTextStream& err) const;

    // True when `path` names the file `image`: the same file by identity (a relative name, ./, a
    // symbolic or hard link, another case on a file system that ignores case), or, for a name that
    // does not exist yet, the same absolute name.
    static bool namesImage(const QString& path, const QString& image);

private:
    QCommandLineOption m_output;
    QCommandLineOption m_inPlace;
    InPlace m_offered;
};

} // namespace cli
