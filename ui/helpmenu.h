#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QMenu;
class QWidget;

// The Help menu: the ReadMe file (beside the executable, or in the installed data folder), the
// author's home page and the version message. Its item array is addressed by index like the
// window's other menus.
class HelpMenu : public QObject
{
    Q_OBJECT

public:
    static constexpr int VersionMajor = 1;
    static constexpr int VersionMinor = 0;
    static constexpr int VersionRevision = 4;

    // Fills `menu` (the window's "ヘルプ(&H)"); message boxes are owned by `owner`.
    HelpMenu(QMenu& menu, QWidget& owner);

    static QString versionText();
    static QString homePage();

    QAction* item(int index) const { return m_items.value(index); }

    // The folder the ReadMe file is looked for from: the executable's, unless set otherwise.
    QString applicationDir() const;
    void setApplicationDir(const QString& dir) { m_applicationDir = dir; }
    // Where the ReadMe file may be, in the order looked at: beside the executable (the build tree, or
    // a copy the user keeps there), then the installed data folder relative to the executable.
    QStringList readMeCandidates() const;
    // The first candidate where something exists; the first candidate when there is none.
    QString readMePath() const;

    // Enables the ReadMe item exactly while something exists at the ReadMe path.
    void OpenHelpMenu();
    void HelpItemClicked(int index);

private:
    QWidget& m_owner;
    QMap<int, QAction*> m_items;
    QString m_applicationDir;
};
