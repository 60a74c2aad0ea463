# Qt's headers are most of the compile time of a library file (about 1 s of 1.3 s); with these,
# each library parses them once. Not for the test executables, whose files spend their time
# generating code, nor for the fuzz build: its executables are one file each, and clang refuses a
# header precompiled with other sanitizer options than the file that uses it.
option(TAVRIN_PCH "Precompile the Qt headers of each library" ON)

set(TAVRIN_PCH_CORE <QByteArray> <QString> <QStringList> <QList> <QFile> <QDir> <QObject> <optional> <array>)
set(TAVRIN_PCH_WIDGETS ${TAVRIN_PCH_CORE} <QWidget> <QApplication> <QAction> <QMenu> <QLineEdit> <QKeyEvent>)

# Precompiles the headers listed in the variable `headers` for each of `targets` that exists;
# included once every target is defined.
function(tavrin_precompile_headers targets headers)
    if(NOT TAVRIN_PCH OR TAVRIN_FUZZ)
        return()
    endif()
    foreach(target IN LISTS targets)
        if(TARGET ${target})
            target_precompile_headers(${target} PRIVATE ${${headers}})
        endif()
    endforeach()
endfunction()

tavrin_precompile_headers("platform;core" TAVRIN_PCH_CORE)
tavrin_precompile_headers("platform_widgets;ui" TAVRIN_PCH_WIDGETS)
