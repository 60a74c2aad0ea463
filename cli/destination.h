#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

namespace cli {

class ArgumentParser;

// A file a command reads, with the name its usage gives it (IMAGE, PATCH, FILE ...).
struct Input
{
    QString role;
    QString path;
};

// Where the commands write, under one rule for all: what they write never names a file they read,
// under any of its names, so a command never writes over its own input; the image is written only
// when --in-place says so. Commands that write an image take -o OUT or, where offered, --in-place,
// exactly one of the two.
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
    // Where to write, or nullopt after saying why not. `inputs` holds every file the command reads,
    // the image (what --in-place writes) first.
    std::optional<QString> resolve(const ArgumentParser& parser, const QList<Input>& inputs, QTextStream& err) const;

    // False after saying why when one of `outputs` names one of `inputs`. `inPlaceOffered` adds the
    // hint that --in-place writes the first input.
    static bool writesNoInput(const ArgumentParser& parser, const QStringList& outputs, const QList<Input>& inputs,
                              QTextStream& err, bool inPlaceOffered = false);

    // True when `path` names the file `file`: the same file by identity (a relative name, ./, a
    // symbolic or hard link, another case on a file system that ignores case), or, for a name that
    // does not exist yet, the same absolute name.
    static bool namesFile(const QString& path, const QString& file);

private:
    QCommandLineOption m_output;
    QCommandLineOption m_inPlace;
    InPlace m_offered;
};

} // namespace cli
