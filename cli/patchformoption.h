#pragma once

#include "patchsequence.h"

#include <QCommandLineOption>

class QTextStream;

namespace cli {

class ArgumentParser;

// --patch-form header|headerless: the form of image an IPS patch was made for, which the patch does
// not record. The commands that apply a patch (apply, and diff with a patch as OTHER) share it.
class PatchFormOption
{
public:
    PatchFormOption();

    void addTo(ArgumentParser& parser) const;
    // Puts the form given into `form` (nullopt when none was: the patch fits the image's own form);
    // false after saying why the value is wrong.
    bool read(const ArgumentParser& parser, QTextStream& err, PatchSequence::IpsForm& form) const;

private:
    QCommandLineOption m_option;
};

} // namespace cli
