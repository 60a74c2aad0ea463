#pragma once

#include "comparison.h"
#include "document.h"

#include <QObject>

#include <memory>
#include <optional>

class CompareBar;
class EditSession;
class FindCommands;
class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

// ファイル > 比較... and 比較を終了, and the Edit menu's 次の相違 (F7), 前の相違 (Shift+F7), 比較先の値を
// 取り込む (Alt+Left) and 比較先の値をすべて取り込む: the comparison of the open document with another
// image or a patch, its marks on the five grids, the bar that counts them, and taking values as one
// undo step. The marks follow every edit, undo and redo; opening an image ends the comparison.
class CompareCommands : public QObject
{
    Q_OBJECT

public:
    // Puts the bar, hidden, under the menu bar of `window`, and lets the filter ask for 相違.
    CompareCommands(EditSession& session, QMainWindow& window, FindCommands& find);
    ~CompareCommands() override;

    // Adds a separator and the four Edit menu items in front of `before`; `endItem` (比較を終了) is
    // enabled while a comparison is open.
    void addMenuItems(QMenu& editMenu, QAction* before, QAction* endItem);

    CompareBar& bar() const { return *m_bar; }
    bool isBarOpen() const;
    // The open comparison; nullptr when none is.
    const Comparison* comparison() const { return m_comparison.get(); }
    QAction* nextAction() const { return m_next; }
    QAction* previousAction() const { return m_previous; }
    QAction* takeAction() const { return m_take; }
    QAction* takeAllAction() const { return m_takeAll; }

    // Asks for the other side in a file dialog (and, for an IPS patch, the form it was made for), then
    // compares with it.
    void open();
    // Compares the open image with `path` (an IPS patch as made for `ipsForm` when given); a file that
    // cannot be compared is reported and the comparison that was open stays as it was. False then.
    bool compareWith(const QString& path, std::optional<ImageForm> ipsForm = std::nullopt);
    // After a merge: compares with THEIRS at `path`, marking only `conflicts`, with the bar counting the
    // cells the merge took and the conflicts still open. False when `path` cannot be compared.
    bool showMerge(const QString& path, const QList<Comparison::Cell>& conflicts, int taken);
    // Ends the comparison: the marks and the bar go.
    void end();
    // Moves the current cell to the next (or previous) marked cell of the grid shown.
    void next(bool forward);
    // Takes the other side's value into every marked cell of the selection on the rows shown.
    void takeSelection();
    // Takes every difference of the five tables.
    void takeAll();

private:
    void onTablesChanged(const QList<TableId>& ids);
    void showSummary();
    void setMarkSources(bool on);
    void enableItems(bool on);

    EditSession& m_session;
    QToolBar* m_toolBar = nullptr;
    CompareBar* m_bar = nullptr;
    QAction* m_next = nullptr;
    QAction* m_previous = nullptr;
    QAction* m_take = nullptr;
    QAction* m_takeAll = nullptr;
    QAction* m_endItem = nullptr;
    std::unique_ptr<Comparison> m_comparison;
    // What the merge whose conflicts are shown took; nullopt for a plain comparison.
    std::optional<int> m_mergeTaken;
};
