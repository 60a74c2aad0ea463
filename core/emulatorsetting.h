#pragma once

#include "emulatorcommand.h"

#include <QString>

// The emulator chosen in テストプレイの設定: the program and its arguments as typed. It is the
// editor's only setting, kept for this user by QSettings (group "TestPlay") under the organisation
// and application names that app/main.cpp sets.
struct EmulatorSetting
{
    // The environment variable whose command line (program first, quotes group words) is used
    // instead of the setting, for scripts and tests.
    static constexpr const char* EnvironmentVariable = "TAVRIN_EMULATOR";

    QString program;
    QString arguments = EmulatorCommand::defaultArguments();

    // The stored setting; a program left empty when none was chosen yet.
    static EmulatorSetting load();
    // Stores the setting; false when the system did not take it.
    bool store() const;

    EmulatorCommand command() const { return EmulatorCommand(program, arguments); }
    // The emulator a test play starts now: TAVRIN_EMULATOR when set, else the stored setting; empty
    // when neither names a program.
    static EmulatorCommand current();
    // The emulator TAVRIN_EMULATOR names, which takes the place of the setting; empty when it is unset.
    static EmulatorCommand fromEnvironment();
};
