#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Lets each test class of an area register itself, so that one executable runs them all.
class TestRegistry
{
public:
    using Factory = std::function<std::unique_ptr<QObject>()>;

    static bool add(const std::string& name, Factory factory);
    // Runs every registered class, or only those named by the first arguments; the rest of the
    // arguments go to QTest, with "{class}" in them replaced by the class's name (for output files:
    // QTest rewrites its file for each class). Returns the number of failed classes.
    static int run(int argc, char** argv);

private:
    struct Entry
    {
        std::string name;
        Factory factory;
    };
    static std::vector<Entry>& entries();
};

#define TAVRIN_TEST(Class)                                                                                        \
    namespace {                                                                                                   \
    const bool registered_##Class = TestRegistry::add(#Class, [] { return std::make_unique<Class>(); });          \
    }
