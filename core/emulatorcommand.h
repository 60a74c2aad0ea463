#pragma once

#include <QString>
#include <QStringList>

// The emulator a test play starts: a program and its argument words, in which "%1" stands for the
// image's path. Words are split at spaces and grouped by double quotes ("a b" is one word, and three
// quotes in a row stand for one literal quote), as QProcess::splitCommand reads them.
class EmulatorCommand
{
public:
    EmulatorCommand() = default;
    // The program as chosen and its arguments as typed in the settings. A program in double quotes,
    // as Windows' "copy as path" gives it, loses them.
    EmulatorCommand(const QString& program, const QString& arguments);
    // A whole command line, program first, as TAVRIN_EMULATOR gives it; empty when it names none.
    static EmulatorCommand fromCommandLine(const QString& line);

    // What a new setting starts with: the image's path as the only argument.
    static QString defaultArguments();

    bool isEmpty() const { return m_program.isEmpty(); }
    // The program in the system's form (backslashes on Windows).
    QString program() const;
    // The arguments for the image at `imagePath`: each word with every "%1" replaced by the path in
    // the system's form, so that a word stays exactly one argument whatever the path holds. Without
    // a "%1" in any word the path comes last, since a test play without its image is useless.
    QStringList argumentsFor(const QString& imagePath) const;

private:
    QString m_program;
    QStringList m_words;
};
