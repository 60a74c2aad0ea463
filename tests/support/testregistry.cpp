#include "testregistry.h"

#include <QTest>

#include <algorithm>
#include <cstring>

bool TestRegistry::add(const std::string& name, Factory factory)
{
    entries().push_back({name, std::move(factory)});
    return true;
}

std::vector<TestRegistry::Entry>& TestRegistry::entries()
{
    static std::vector<Entry> all;
    return all;
}

namespace {

const std::string ClassPlaceholder = "{class}";

std::string withClassName(std::string argument, const std::string& name)
{
    for (auto at = argument.find(ClassPlaceholder); at != std::string::npos;
         at = argument.find(ClassPlaceholder, at + name.size()))
        argument.replace(at, ClassPlaceholder.size(), name);
    return argument;
}

} // namespace

int TestRegistry::run(int argc, char** argv)
{
    std::vector<std::string> only;
    int first = 1;
    for (; first < argc && argv[first][0] != '-'; ++first)
        only.emplace_back(argv[first]);
    std::vector<char*> rest{argv[0]};
    for (int i = first; i < argc; ++i)
        rest.push_back(argv[i]);

    int failedClasses = 0;
    int ran = 0;
    for (const Entry& entry : entries()) {
        if (!only.empty() && std::find(only.begin(), only.end(), entry.name) == only.end())
            continue;
        ++ran;
        std::unique_ptr<QObject> test = entry.factory();
        // QTest starts its output file anew for each class: each class gets its own.
        std::vector<std::string> classArguments;
        for (const char* argument : rest)
            classArguments.push_back(withClassName(argument, entry.name));
        std::vector<char*> classArgv;
        for (std::string& argument : classArguments)
            classArgv.push_back(argument.data());
        if (QTest::qExec(test.get(), int(classArgv.size()), classArgv.data()) != 0)
            ++failedClasses;
    }
    if (ran == 0) {
        std::fprintf(stderr, "no test class matched\n");
        return 1;
    }
    return failedClasses;
}
