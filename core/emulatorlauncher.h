#pragma once

#include "emulatorcommand.h"
#include "fileresult.h"

#include <QString>

// Starts an emulator on an image as a process of its own, which the editor neither waits for nor
// ends; says in Japanese, naming the program, why one could not be started.
class EmulatorLauncher
{
public:
    EmulatorLauncher() = delete;

    // Done, or failed with a message naming the program and why it cannot be started (missing, a
    // folder, not executable, not found on PATH). Checked before anything is written for it.
    static FileResult check(const EmulatorCommand& command);
    // Starts the program on `imagePath`; done once the system has started the process.
    static FileResult start(const EmulatorCommand& command, const QString& imagePath);
};
