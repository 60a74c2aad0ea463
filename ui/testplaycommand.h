#pragma once

#include "emulatorcommand.h"
#include "testplayimages.h"

#include <optional>

class Document;
class QWidget;

// ファイル > "テストプレイ" (F5) and "テストプレイの設定...": hands the image as a save would write it
// now to the chosen emulator in a temporary file, leaving the opened file, the history, the modified
// state and the caption as they are.
class TestPlayCommand
{
public:
    TestPlayCommand(QWidget& window, const Document& document);

    // Does nothing without an open image. Asks for the emulator first when none is chosen; a failure
    // is shown in a message naming the program and the reason, and leaves no image behind.
    void run();
    // The settings dialog, filled with the stored setting; the emulator the user confirmed, or nullopt
    // when cancelled.
    std::optional<EmulatorCommand> configure();
    // The temporary images of this window, oldest first; removed when the window goes.
    QStringList images() const { return m_images.paths(); }

private:
    void tell(const QString& text) const;

    QWidget& m_window;
    const Document& m_document;
    TestPlayImages m_images;
};
