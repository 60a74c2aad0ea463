#pragma once

#include "filedialogs.h"

#include <QFileDialog>

// The save dialog. It applies the extension rule to the typed name before the overwrite question,
// so the question is asked about the file that will really be replaced: typing "a" where "a.smc"
// exists asks before "a.smc" is overwritten.
class SaveFileDialog : public QFileDialog
{
    Q_OBJECT

public:
    SaveFileDialog(QWidget* owner, const QString& title, const QList<FileFilter>& filters);

    // The pattern of the filter selected now.
    QString selectedPattern() const;
    // The accepted path with the extension rule applied; empty before acceptance.
    QString chosenPath() const;

public Q_SLOTS:
    void accept() override;

private:
    QList<FileFilter> m_filters;
};
