#include "frmmain.h"
#include "qttranslation.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The names QSettings files the emulator for テストプレイ under, the editor's only setting.
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrin"));
    QCoreApplication::setApplicationName(QStringLiteral("tavrin-editor"));
    // Before the window: widgets take their texts when they are made.
    QtTranslation::install(app);
    frmMain window(QCoreApplication::arguments());
    window.show();
    return app.exec();
}
