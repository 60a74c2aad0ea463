#include "savefiledialog.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

using namespace Qt::StringLiterals;

SaveFileDialog::SaveFileDialog(QWidget* owner, const QString& title, const QList<FileFilter>& filters)
    : QFileDialog(owner, title), m_filters(filters)
{
    // Qt's own dialog lets the typed name be checked before the overwrite question is asked.
    setOption(QFileDialog::DontUseNativeDialog);
    // The question is asked here, about the name with its extension; Qt would ask about the name
    // as typed.
    setOption(QFileDialog::DontConfirmOverwrite);
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
    return result() == QDialog::Accepted ? m_chosen : QString();
}

void SaveFileDialog::accept()
{
    m_chosen.clear();
    const QStringList files = selectedFiles();
    // A folder name opens the folder, and ".." goes up: Qt's dialog does both.
    if (files.size() != 1 || QFileInfo(files.first()).isDir()) {
        QFileDialog::accept();
        return;
    }
    // Neither the name box's text nor the list's selection is changed here: with the keyboard in the
    // name box Qt would not take a changed text, and the name stays as the user typed it should
    // the user refuse.
    const QString path = FileDialogs::withExtension(files.first(), selectedPattern());
    if (!confirm(path))
        return;
    m_chosen = path;
    // Qt's own checks still run (a name too long for the file system keeps the dialog open).
    QFileDialog::accept();
    if (result() != QDialog::Accepted)
        m_chosen.clear();
}

bool SaveFileDialog::confirm(const QString& path)
{
    const QFileInfo info(path);
    const QString name = QDir::toNativeSeparators(info.fileName());
    if (!info.absoluteDir().exists()) {
        QMessageBox::warning(this, windowTitle(),
                             u"フォルダー %1 が見つかりません。\n保存先のフォルダー名を確かめてください。"_s.arg(
                                 QDir::toNativeSeparators(info.absolutePath())));
        return false;
    }
    if (info.isDir()) {
        QMessageBox::warning(this, windowTitle(),
                             u"%1 はフォルダーです。\n別のファイル名を指定してください。"_s.arg(name));
        return false;
    }
    if (!info.exists())
        return true;
    QMessageBox question(QMessageBox::Warning, windowTitle(), u"%1 は既に存在します。\n上書きしますか?"_s.arg(name),
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setDefaultButton(QMessageBox::No);
    // Qt's own button captions are English unless a translation is installed.
    question.button(QMessageBox::Yes)->setText(u"はい(&Y)"_s);
    question.button(QMessageBox::No)->setText(u"いいえ(&N)"_s);
    return question.exec() == QMessageBox::Yes;
}
