#pragma once

#include "document.h"
#include "editsession.h"

#include <QMainWindow>
#include <QMap>
#include <QStringList>

#include <memory>

class CellEditor;
class BatchCommands;
class CompareCommands;
class ExchangeCommands;
class FindCommands;
class GridClipboardCommands;
class GridView;
class HelpMenu;
class OfficerGridCommands;
class QAction;
class QLineEdit;
class QMenu;
class RecoveryKeeper;
class TestPlayCommand;
class MergeCommands;

// The main window: one of the five grids fills the client area, the Edit menu chooses which. It
// opens images from the File menu, the command line and files dropped on the officer or city grid,
// saves them, and reports what failed in a message box with the application title.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    // `arguments` as QCoreApplication::arguments() gives them: the program, then an optional image.
    explicit frmMain(const QStringList& arguments, QWidget* parent = nullptr);
    ~frmMain() override;

    Document& document() { return m_session->document(); }
    EditSession& session() const { return *m_session; }
    ExchangeCommands& exchangeCommands() const { return *m_exchangeCommands; }
    GridView* view(TableId id) const { return m_session->view(id); }
    // The first visible grid in the order fg, fgCity, fgItem, fgPow, fgArrange; nullptr when none is.
    GridView* visibleView() const { return m_session->visibleView(); }

    QMenu* fileMenu() const { return m_fileMenu; }
    QMenu* editMenu() const { return m_editMenu; }
    QMenu* helpMenu() const { return m_helpMenu; }
    // The officer pop-up "ポップアップ": never on the menu bar, shown over the officer grid.
    QMenu* busyoMenu() const { return m_busyoMenu; }
    QAction* fileItem(int index) const { return m_fileItems.value(index); }
    QAction* editItem(int index) const { return m_editItems.value(index); }
    QAction* helpItem(int index) const;
    QAction* busyoItem(int index) const { return m_busyoItems.value(index); }
    // "元に戻す(&U)" and "やり直し(&R)" at the top of the Edit menu.
    QAction* undoAction() const { return m_undoAction; }
    QAction* redoAction() const { return m_redoAction; }
    // "コピー" (Ctrl+C) and "貼り付け" (Ctrl+V), below undo and redo.
    QAction* copyAction() const { return m_copyAction; }
    QAction* pasteAction() const { return m_pasteAction; }
    // "検索..." (Ctrl+F) and "移動..." (Ctrl+G) in the Edit menu, before the view items.
    QAction* findAction() const { return m_findAction; }
    QAction* goToAction() const { return m_goToAction; }
    QAction* batchAction() const { return m_batchAction; }
    FindCommands& findCommands() const { return *m_findCommands; }
    // ファイル > 比較... and the Edit menu's difference items.
    CompareCommands& compareCommands() const { return *m_compareCommands; }
    MergeCommands& mergeCommands() const { return *m_mergeCommands; }
    HelpMenu& help() const { return *m_help; }
    // The in-place cell editor `txt`.
    CellEditor* cellEditor() const { return m_cellEditor; }
    // ファイル > テストプレイ and its settings.
    TestPlayCommand& testPlay() const { return *m_testPlay; }
    // The recovery file of unsaved edits.
    RecoveryKeeper& recovery() const { return *m_recovery; }

    void fileItemClicked(int index);
    // Hides every grid, then shows the one of the index (1 officers, 2 cities, 3 items, 4 forces,
    // 5 placement); any other index leaves all hidden.
    void editItemClicked(int index);
    void busyoItemClicked(int index);

    // Opens an image; a path naming no file is ignored, any other failure is shown. Unsaved changes
    // are not asked about here: the menu and drops ask first (openImageAsked).
    void openImage(const QString& path);
    // Asks about unsaved changes first; a cancelled question keeps the document.
    void openImageAsked(const QString& path);
    // Saves to `path`; an empty path is ignored, a failure is shown. A save over the opened file that
    // another program changed since asks first. True when the image was written.
    bool saveImage(const QString& path);
    // When the document is modified, asks whether to save it; false when the user cancelled or the
    // save failed, so that nothing may be thrown away.
    bool maySetDocumentAside();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createViews();
    void buildMenus();
    void buildUndoItems();
    void buildClipboardItems();
    // The text box of this window that has the keyboard, if one has.
    QLineEdit* focusedTextBox() const;
    void buildFindItems();
    void createEditing();
    void startUp(const QStringList& arguments);
    void showMessage(const QString& text);
    void layOutViews();

    EditSession* m_session = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QMenu* m_busyoMenu = nullptr;
    QMap<int, QAction*> m_fileItems;
    QMap<int, QAction*> m_editItems;
    QMap<int, QAction*> m_busyoItems;
    HelpMenu* m_help = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_pasteAction = nullptr;
    QAction* m_findAction = nullptr;
    QAction* m_goToAction = nullptr;
    QAction* m_batchAction = nullptr;
    CellEditor* m_cellEditor = nullptr;
    OfficerGridCommands* m_officerCommands = nullptr;
    GridClipboardCommands* m_clipboardCommands = nullptr;
    ExchangeCommands* m_exchangeCommands = nullptr;
    FindCommands* m_findCommands = nullptr;
    BatchCommands* m_batchCommands = nullptr;
    CompareCommands* m_compareCommands = nullptr;
    MergeCommands* m_mergeCommands = nullptr;
    // The separator above the Edit menu's view items.
    QAction* m_viewSeparator = nullptr;
    std::unique_ptr<TestPlayCommand> m_testPlay;
    // Goes before the session: the undo stack's clearing as it goes must not count as "nothing unsaved".
    std::unique_ptr<RecoveryKeeper> m_recovery;
};
