#include "testplaycommand.h"

#include "document.h"
#include "emulatorlauncher.h"
#include "emulatorsetting.h"
#include "emulatorsettingsdialog.h"
#include "okmessagebox.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

TestPlayCommand::TestPlayCommand(QWidget& window, const Document& document)
    : m_window(window), m_document(document), m_images(QDir::tempPath())
{
}

void TestPlayCommand::run()
{
    const QString opened = m_document.state().currentPath();
    if (opened.isEmpty())
        return;
    EmulatorCommand emulator = EmulatorSetting::current();
    if (emulator.isEmpty()) {
        const std::optional<EmulatorCommand> chosen = configure();
        if (!chosen)
            return;
        emulator = *chosen;
    }
    // A program that cannot start is reported before anything is written for it.
    if (const FileResult checked = EmulatorLauncher::check(emulator); !checked.isDone()) {
        tell(checked.message());
        return;
    }
    QByteArray image;
    if (const FileResult composed = m_document.composeSavedImage(image); !composed.isDone()) {
        tell(composed.message());
        return;
    }
    QString path;
    if (const FileResult written = m_images.add(QFileInfo(opened).fileName(), image, path); !written.isDone()) {
        tell(written.message());
        return;
    }
    if (const FileResult started = EmulatorLauncher::start(emulator, path); !started.isDone()) {
        m_images.dropNewest();
        tell(started.message());
    }
}

std::optional<EmulatorCommand> TestPlayCommand::configure()
{
    EmulatorSettingsDialog dialog(EmulatorSetting::load(), &m_window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const EmulatorSetting chosen = dialog.setting();
    // The choice still serves this run when the system would not keep it.
    if (!chosen.store())
        tell(u"テストプレイの設定を保存できませんでした。次に起動したときは、もう一度選んでください。"_s);
    return chosen.command();
}

void TestPlayCommand::tell(const QString& text) const
{
    OkMessageBox::show(&m_window, EditorState::applicationTitle(), text);
}
