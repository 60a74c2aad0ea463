#include "helpmenu.h"

#include "editorstate.h"
#include "menutable.h"
#include "okmessagebox.h"
#include "shell.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

using namespace Qt::StringLiterals;

// Set by the build from the install layout; this default is the usual one.
#ifndef TAVRIN_DATA_FROM_BIN
#define TAVRIN_DATA_FROM_BIN "../share/tavrin-editor"
#endif

HelpMenu::HelpMenu(QMenu& menu, QWidget& owner) : QObject(&menu), m_owner(owner)
{
    const QList<MenuItem> items{
        {0, u"ReadMeを開く(&R)..."_s},         {1, u"作者のHPへ(&H)"_s},
        {2, u"バージョン情報(&V)..."_s},       {98, u"-"_s, {}, false},
        {99, u"自動更新(&U)..."_s, {}, false},
    };
    m_items = MenuTable::build(menu, items, [this](int index) { HelpItemClicked(index); });
    connect(&menu, &QMenu::aboutToShow, this, &HelpMenu::OpenHelpMenu);
}

QString HelpMenu::versionText()
{
    return EditorState::applicationTitle() % u" Ver"_s % QString::number(VersionMajor) % u'.' %
           QString::number(VersionMinor) % u'.' % QString::number(VersionRevision) % u'\t' % u"作者 Tavrin Project"_s;
}

QString HelpMenu::homePage()
{
    return u"https://example.com/tavrin/"_s;
}

QString HelpMenu::applicationDir() const
{
    return m_applicationDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_applicationDir;
}

QStringList HelpMenu::readMeCandidates() const
{
    const QDir beside(applicationDir());
    const QString installed = beside.filePath(QLatin1StringView(TAVRIN_DATA_FROM_BIN) % u"/ReadMe.txt"_s);
    return {beside.filePath(u"ReadMe.txt"_s), QDir::cleanPath(installed)};
}

QString HelpMenu::readMePath() const
{
    const QStringList candidates = readMeCandidates();
    for (const QString& path : candidates)
        if (QFileInfo::exists(path))
            return path;
    return candidates.first();
}

void HelpMenu::OpenHelpMenu()
{
    if (QAction* readMe = item(0))
        readMe->setEnabled(QFileInfo::exists(readMePath()));
}

void HelpMenu::HelpItemClicked(int index)
{
    switch (index) {
    case 0: {
        // The file may have gone since the menu opened.
        const QString path = readMePath();
        if (QFileInfo::exists(path))
            Shell::ShellOpen(path);
        break;
    }
    case 1:
        Shell::ShellOpen(homePage());
        break;
    case 2:
        OkMessageBox::show(&m_owner, EditorState::applicationTitle(), versionText());
        break;
    default:
        break;
    }
}
