#include "testregistry.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Widget tests run without a display unless the caller chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return TestRegistry::run(argc, argv);
}
