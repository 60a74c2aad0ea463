#include "savefiledialog.h"

#include <QFileInfo>
#include <QStringList>

SaveFileDialog::SaveFileDialog(QWidget* owner, const QString& title, const QList<FileFilter>& filters)
    : QFileDialog(owner, title), m_filters(filters)
{
    // Qt's own dialog lets the typed name be checked before the overwrite question is asked.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    QStringList names;
    for (const FileFilter& filter : m_filters)
        names << FileDialogs::nameFilter(filter);
    setNameFilters(names);
}

QString SaveFileDialog::selectedPattern() const
{
    const QString selected = selectedNameFilter();
    for (const FileFilter& filter : m_filters)
        if (FileDialogs::nameFilter(filter) == selected)
            return filter.pattern;
    return m_filters.isEmpty() ? QString() : m_filters.first().pattern;
}

QString SaveFileDialog::chosenPath() const
{
    if (result() != QDialog::Accepted)
        return QString();
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : FileDialogs::withExtension(files.first(), selectedPattern());
}

void SaveFileDialog::accept()
{
    const QStringList files = selectedFiles();
    if (files.size() == 1 && !QFileInfo(files.first()).isDir()) {
        const QString named = FileDialogs::withExtension(files.first(), selectedPattern());
        if (named != files.first())
            selectFile(named);
    }
    QFileDialog::accept();
}
