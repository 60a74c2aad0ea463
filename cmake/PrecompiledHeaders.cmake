# Qt's headers are most of the compile time of a file (about 3.5 s of 6.5 s for a test file); with
# these, each library and each pair of test executables parses them once. Not for the fuzz executables:
# they are one file each; a header is precompiled with the options of the target that uses it, since
# clang refuses one made with other sanitizer options.
option(TAVRIN_PCH "Precompile the Qt headers of each library and test executable" ON)

set(TAVRIN_PCH_CORE <QByteArray> <QString> <QStringList> <QList> <QFile> <QDir> <QObject> <optional> <array>)
set(TAVRIN_PCH_WIDGETS ${TAVRIN_PCH_CORE} <QWidget> <QApplication> <QAction> <QMenu> <QLineEdit> <QKeyEvent>)
set(TAVRIN_PCH_TEST_CORE ${TAVRIN_PCH_CORE} <QTest> <QTemporaryDir> <QSignalSpy>)
set(TAVRIN_PCH_TEST_WIDGETS ${TAVRIN_PCH_WIDGETS} <QTest> <QTemporaryDir> <QSignalSpy>)

# Precompiles the headers listed in the variable `headers` for each of `targets` that exists;
# included once every target is defined.
function(tavrin_precompile_headers targets headers)
    if(NOT TAVRIN_PCH)
        return()
    endif()
    foreach(target IN LISTS targets)
        if(TARGET ${target})
            target_precompile_headers(${target} PRIVATE ${${headers}})
        endif()
    endforeach()
endfunction()

tavrin_precompile_headers("platform;core;cli" TAVRIN_PCH_CORE)
tavrin_precompile_headers("platform_widgets;ui" TAVRIN_PCH_WIDGETS)
tavrin_precompile_headers("test_core" TAVRIN_PCH_TEST_CORE)
tavrin_precompile_headers("test_ui" TAVRIN_PCH_TEST_WIDGETS)

# The test executables of an area pair are compiled with the same options: one precompiled header serves
# both (each costs more than a test file to make).
function(tavrin_reuse_precompiled_headers target from)
    if(TAVRIN_PCH AND TARGET ${target} AND TARGET ${from})
        target_precompile_headers(${target} REUSE_FROM ${from})
    endif()
endfunction()
tavrin_reuse_precompiled_headers(test_cli test_core)
tavrin_reuse_precompiled_headers(test_platform test_ui)
