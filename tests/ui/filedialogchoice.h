#pragma once

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QString>
#include <QTest>

// Types a name into a shown file dialog, as a user does, picks a file type when given, and confirms.
inline void chooseInFileDialog(QDialog* dialog, const QString& folder, const QString& name, const QString& type = {})
{
    auto* files = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(files);
    files->setDirectory(folder);
    if (!type.isEmpty())
        files->selectNameFilter(type);
    auto* nameEdit = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(nameEdit);
    nameEdit->setText(name);
    dialog->accept();
}

// The same for a whole path: its folder, then its name.
inline void chooseInFileDialog(QDialog* dialog, const QString& path)
{
    chooseInFileDialog(dialog, QFileInfo(path).absolutePath(), QFileInfo(path).fileName());
}
