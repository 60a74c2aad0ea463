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

EmulatorCommand EmulatorSetting::fromEnvironment()
{
    const QString line = qEnvironmentVariable(EnvironmentVariable);
    if (line.trimmed().isEmpty())
        return {};
    return EmulatorCommand::fromCommandLine(line);
}

EmulatorCommand EmulatorSetting::current()
{
    if (const EmulatorCommand fromVariable = fromEnvironment(); !fromVariable.isEmpty())
        return fromVariable;
    return load().command();
}
