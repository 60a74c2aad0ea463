#include "modalguard.h"
#include "testregistry.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Widget tests run without a display unless the caller chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A question nobody answers fails its test within seconds instead of hanging the run.
    ModalGuard guard;
    return TestRegistry::run(argc, argv);
}
