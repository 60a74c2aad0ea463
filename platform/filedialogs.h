#pragma once

#include <QList>
#include <QString>

class QWidget;

// One entry of a dialog's file-type list: what the user reads, and the pattern that filters.
struct FileFilter
{
    QString description;
    QString pattern;
};

// The open and save dialogs of the File menu, and the extension rule of the save dialog.
class FileDialogs
{
public:
    FileDialogs() = delete;

    // The text after the last "." of a filter pattern; empty when it has none.
    static QString PatternExtension(const QString& pattern);
    // The saved name: `path` with "." + PatternExtension(pattern) appended unless it already ends in
    // exactly that text (case-sensitive) or the extension is ".*".
    static QString withExtension(const QString& path, const QString& pattern);
    // The filter as Qt's dialogs read it: the description, with the pattern in brackets unless the
    // description already ends with it.
    static QString nameFilter(const FileFilter& filter);

    // The full path of an existing file the user chose; empty when cancelled.
    static QString showOpenDialog(QWidget* owner, const QString& title, const QList<FileFilter>& filters);
    // The path to save to, the extension rule applied; empty when cancelled. An existing file is
    // chosen only after the user confirmed replacing it, under the name that will really be written.
    static QString showSaveDialog(QWidget* owner, const QString& title, const QList<FileFilter>& filters,
                                  const QString& initialName);
};
