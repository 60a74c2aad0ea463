#pragma once

#include "document.h"
#include "rowfilter.h"
#include "textmatch.h"

#include <QObject>

#include <array>
#include <functional>

class EditSession;
class FindBar;
class QAction;
class QLineEdit;
class QMainWindow;
class QToolBar;

// 検索 and 移動 on the visible grid: the find bar under the menu bar (find next and previous with wrap,
// the filter and its count), F3 and Shift+F3, and the go-to dialog. Each grid keeps its own filter;
// the bar shows the one of the grid that is shown.
class FindCommands : public QObject
{
    Q_OBJECT

public:
    // Puts the bar, hidden, under the menu bar of `window`, and F3 and Shift+F3 on the window.
    FindCommands(EditSession& session, QMainWindow& window);

    FindBar& bar() const { return *m_bar; }
    bool isBarOpen() const;

    // Opens the bar with the keyboard in its find box, the text there selected.
    void openFind();
    // Opens the bar with the keyboard in `box` (one of the bar's boxes), the text there selected.
    void openBar(QLineEdit* box);
    // Closes the bar and gives the keyboard back to the visible grid; the filters stay.
    void closeBar();
    // The next (or previous) cell of the visible grid whose text contains the find text.
    void find(bool forward, bool incremental = false);
    // Applies the filter box's text to the visible grid; a wrong word is reported and changes nothing.
    void applyFilter();
    // Asks for a record number and makes its row current.
    void goTo();

    // What the find and the filter match in a grid besides its cells: the officer's list name in the
    // officer grid's 名前 column.
    TextMatch::CellExtra cellExtra(TableId id) const;
    // Which rows of a grid differ from a compared image, for the filter word 相違; the test is empty
    // while nothing is compared.
    using DifferenceTest = std::function<RowFilter::RowTest(TableId id)>;
    void setDifferenceTest(DifferenceTest test) { m_differenceTest = std::move(test); }

private:
    void onHiddenRowsChanged(TableId id);
    void onGridShown(TableId id);
    void showCount();

    EditSession& m_session;
    QToolBar* m_toolBar = nullptr;
    FindBar* m_bar = nullptr;
    // The filter text each grid has applied; empty for none.
    std::array<QString, 5> m_filters;
    // Set while a filter is being applied: its own change of rows forgets nothing.
    bool m_applying = false;
    DifferenceTest m_differenceTest;
};
