#include "testregistry.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return TestRegistry::run(argc, argv);
}
