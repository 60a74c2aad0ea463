#pragma once

#include "filedialogs.h"

#include <QFileDialog>

// The save dialog. It applies the extension rule to the confirmed name first and checks that name:
// the question about replacing a file is asked about the file that will really be written (typing
// "a" where "a.smc" exists asks before "a.smc" is replaced), however the name was confirmed, and a
// name in a folder that does not exist is refused while the dialog stays open.
class SaveFileDialog : public QFileDialog
{
    Q_OBJECT

public:
    SaveFileDialog(QWidget* owner, const QString& title, const QList<FileFilter>& filters);

    // The pattern of the filter selected now.
    QString selectedPattern() const;
    // The accepted path with the extension rule applied; empty unless the dialog was accepted.
    QString chosenPath() const;

public Q_SLOTS:
    void accept() override;

private:
    // Whether `path` may be written, asking the user where needed; false keeps the dialog open.
    bool confirm(const QString& path);

    QList<FileFilter> m_filters;
    QString m_chosen;
};
