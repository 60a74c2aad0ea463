#include "emulatorsetting.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace {

const QString ProgramKey = u"TestPlay/program"_s;
const QString ArgumentsKey = u"TestPlay/arguments"_s;

} // namespace

EmulatorSetting EmulatorSetting::load()
{
    const QSettings settings;
    EmulatorSetting setting;
    setting.program = settings.value(ProgramKey).toString();
    setting.arguments = settings.value(ArgumentsKey, EmulatorCommand::defaultArguments()).toString();
    return setting;
}

bool EmulatorSetting::store() const
{
    QSettings settings;
    settings.setValue(ProgramKey, program);
    settings.setValue(ArgumentsKey, arguments);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

EmulatorCommand EmulatorSetting::current()
{
    const QString line = qEnvironmentVariable(EnvironmentVariable);
    if (!line.trimmed().isEmpty())
        return EmulatorCommand::fromCommandLine(line);
    return load().command();
}
