#include "captionnaming.h"
#include "filebytes.h"
#include "filedialogchoice.h"
#include "../platform/filedrop.h"
#include "../platform/modalcloser.h"
#include "blockcatalogue.h"
#include "frmmain.h"
#include "grid.h"
#include "gridmodel.h"
#include "gridview.h"
#include "officertable.h"
#include "sampleimage.h"
#include "tableidmetatype.h"
#include "testregistry.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Title = u"Tavrinエディター"_s;

// A window started in a temporary folder (the name list is read from the working folder) next to a
// freshly generated sample image.
struct Session
{
    explicit Session(bool openSampleOnCommandLine = false)
    {
        sample = dir.filePath(u"sample.smc"_s);
        SampleImage::write(sample);
        QStringList arguments{u"tavrin-editor"_s};
        if (openSampleOnCommandLine)
            arguments << sample;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        window = std::make_unique<frmMain>(arguments);
        QDir::setCurrent(previous);
        window->document().setNameListPath(dir.filePath(u"b.txt"_s));
    }

    QString copyOfSample(const QString& name)
    {
        const QString path = dir.filePath(name);
        QFile::copy(sample, path);
        return path;
    }
    Grid& grid(TableId id) { return window->document().grid(id); }
    QString currentPath() { return window->document().state().currentPath(); }

    QTemporaryDir dir;
    QString sample;
    std::unique_ptr<frmMain> window;
};

QList<TableId> visibleTables(frmMain& window)
{
    QList<TableId> shown;
    for (const TableId id : AllTables)
        if (window.view(id)->isVisibleTo(&window))
            shown << id;
    return shown;
}

void sendWheel(QWidget* target, int delta)
{
    const QPoint at(target->width() / 2, target->height() / 2);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

// The narrowest column in which `view` draws `text` whole, without "…": the text, the style's item
// margin either side, and the grid line.
int widthShowingWhole(const QTableView& view, const QString& text)
{
    const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
    return view.fontMetrics().horizontalAdvance(text) + 2 * margin + (view.showGrid() ? 1 : 0);
}

} // namespace

class FrmMainTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUp_showsOfficerGridAloneUnderInitialCaption()
    {
        Session session;
        frmMain& window = *session.window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), Title);
        QCOMPARE(visibleTables(window), QList<TableId>{TableId::Officer});
        QCOMPARE(window.visibleView(), window.view(TableId::Officer));
        QCOMPARE(window.view(TableId::Officer)->geometry(), window.centralWidget()->rect());
        QCOMPARE(window.view(TableId::Officer)->objectName(), u"fg"_s);
        QCOMPARE(window.view(TableId::Placement)->objectName(), u"fgArrange"_s);
        QStringList shownEdit;
        for (QAction* action : window.editMenu()->actions())
            if (action->isVisible())
                shownEdit << action->text();
        // Undo, redo, copy, paste, find and go to head the menu, then the comparison's items, each group
        // above a separator, and the view items.
        QCOMPARE(shownEdit, (QStringList{u"元に戻す(&U)"_s, u"やり直し(&R)"_s, u"コピー"_s, u"貼り付け"_s, u"検索..."_s,
                                         u"移動..."_s, u"一括変更..."_s, QString(), u"次の相違"_s, u"前の相違"_s,
                                         u"比較先の値を取り込む"_s, u"比較先の値をすべて取り込む"_s, QString(),
                                         u"武将"_s, u"都市"_s, u"配置"_s}));
        // Nothing is open yet, and the grids already carry their headers.
        QCOMPARE(window.document().grid(TableId::Officer).text(0, 1), u"名前"_s);
        QVERIFY(window.view(TableId::Officer)->model()->rowCount() > 0);
    }

    void menus_captionsByIndex_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("visible");
        QTest::newRow("file 0") << u"file"_s << 0 << u"ファイルを開く(&O)"_s << true;
        QTest::newRow("file 1") << u"file"_s << 1 << u"上書き保存(&S)"_s << true;
        QTest::newRow("file 2") << u"file"_s << 2 << u"名前を付けて保存(&A)"_s << true;
        QTest::newRow("file 3") << u"file"_s << 3 << u"-"_s << true;
        QTest::newRow("file 4") << u"file"_s << 4 << u"エクスポート..."_s << true;
        QTest::newRow("file 5") << u"file"_s << 5 << u"インポート..."_s << true;
        QTest::newRow("file 6") << u"file"_s << 6 << u"パッチを作成..."_s << true;
        QTest::newRow("file 7") << u"file"_s << 7 << u"リスト保存"_s << false;
        QTest::newRow("file 8") << u"file"_s << 8 << u"-"_s << true;
        QTest::newRow("file 9") << u"file"_s << 9 << u"終了(&X)"_s << true;
        QTest::newRow("file 10") << u"file"_s << 10 << u"チェックサムを修正"_s << true;
        QTest::newRow("file 11") << u"file"_s << 11 << u"テストプレイ"_s << true;
        QTest::newRow("file 12") << u"file"_s << 12 << u"テストプレイの設定..."_s << true;
        QTest::newRow("file 15") << u"file"_s << 15 << u"マージ..."_s << true;
        QTest::newRow("edit 1") << u"edit"_s << 1 << u"武将"_s << true;
        QTest::newRow("edit 3") << u"edit"_s << 3 << u"アイテム"_s << false;
        QTest::newRow("edit 4") << u"edit"_s << 4 << u"勢力"_s << false;
        QTest::newRow("edit 5") << u"edit"_s << 5 << u"配置"_s << true;
        QTest::newRow("popup 2") << u"busyo"_s << 2 << u"長寿命化"_s << true;
    }

    void menus_captionsByIndex()
    {
        QFETCH(QString, menu);
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(bool, visible);
        Session session;
        frmMain& window = *session.window;
        QAction* action = menu == u"file"_s   ? window.fileItem(index)
                          : menu == u"edit"_s ? window.editItem(index)
                                              : window.busyoItem(index);
        QVERIFY(action);
        // A separator shows its line only, without the "-" of its item array.
        QCOMPARE(action->text(), caption == u"-"_s ? QString() : caption);
        QCOMPARE(action->isVisible(), visible);
        QCOMPARE(action->isSeparator(), caption == u"-"_s);
    }

    void menuBar_holdsFileEditHelpOnly()
    {
        Session session;
        frmMain& window = *session.window;
        QStringList titles;
        for (QAction* action : window.menuBar()->actions())
            titles << action->text();
        QCOMPARE(titles, (QStringList{u"ファイル(&F)"_s, u"編集(&E)"_s, u"ヘルプ(&H)"_s}));
        QCOMPARE(window.busyoMenu()->title(), u"ポップアップ"_s);
        QCOMPARE(window.fileItem(1)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(window.fileItem(11)->shortcut(), QKeySequence(Qt::Key_F5));
        QCOMPARE(window.fileItem(13)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
        QVERIFY(!window.fileItem(16));
    }

    void openSample_fillsEveryGridAndCaptionButKeepsView()
    {
        Session session;
        frmMain& window = *session.window;
        window.editItemClicked(2);
        window.openImage(session.sample);
        QCOMPARE(window.windowTitle(), captionNaming(session.sample));
        QCOMPARE(visibleTables(window), QList<TableId>{TableId::City});
        QCOMPARE(window.view(TableId::Officer)->model()->rowCount(), OfficerTable::RecordCount);
        for (const TableId id : AllTables) {
            const QAbstractItemModel* model = window.view(id)->model();
            QVERIFY(model->rowCount() > 0);
            QVERIFY2(!model->index(0, 0).data().toString().isEmpty(), qPrintable(window.view(id)->objectName()));
        }
    }

    void labelColumns_showEveryLabelWhole_data()
    {
        QTest::addColumn<TableId>("table");
        QTest::newRow("officers") << TableId::Officer;
        QTest::newRow("cities") << TableId::City;
        QTest::newRow("items") << TableId::Item;
        QTest::newRow("forces") << TableId::Force;
        QTest::newRow("placement") << TableId::Placement;
    }

    void labelColumns_showEveryLabelWhole()
    {
        QFETCH(TableId, table);
        Session session(true);
        frmMain& window = *session.window;
        window.editItemClicked(static_cast<int>(table) + 1);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        GridView* view = window.view(table);
        const Grid& grid = session.grid(table);
        for (int c = 0; c < grid.fixedCols(); ++c)
            for (int r = grid.fixedRows(); r < grid.rows(); ++r)
                QVERIFY2(view->columnWidth(c) >= widthShowingWhole(*view, GridModel::displayText(grid.text(r, c))),
                         qPrintable(u"row %1 column %2: %3"_s.arg(r).arg(c).arg(grid.text(r, c))));
        if (table == TableId::Placement && qEnvironmentVariableIsSet("TAVRIN_SCREENSHOTS")) {
            view->scrollTo(view->model()->index(95, 0), QAbstractItemView::PositionAtTop);
            window.grab().save(qEnvironmentVariable("TAVRIN_SCREENSHOTS") + u"/placement-numbers.png"_s);
        }
    }

    void commandLine_opensImageBeforeTheWindowShows()
    {
        Session session(true);
        frmMain& window = *session.window;
        QCOMPARE(session.currentPath(), session.sample);
        QCOMPARE(window.windowTitle(), captionNaming(session.sample));
        // Drawing is on again: the views show the filled grids.
        for (const TableId id : AllTables)
            QVERIFY(session.grid(id).redraw());
        QCOMPARE(window.view(TableId::Officer)->model()->rowCount(), OfficerTable::RecordCount);
        QCOMPARE(window.view(TableId::Officer)->model()->index(0, 0).data().toString(), u"0"_s);
    }

    void viewSwitch_keepsEachGridsCellAndScrollPosition()
    {
        Session session(true);
        frmMain& window = *session.window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        GridView* officers = window.view(TableId::Officer);
        session.grid(TableId::Officer).setCurrentCell(300, 4);
        const int officerScroll = officers->verticalScrollBar()->value();
        QVERIFY(officerScroll > 0);

        window.editItem(2)->trigger();
        QCOMPARE(visibleTables(window), QList<TableId>{TableId::City});
        GridView* cities = window.view(TableId::City);
        QCOMPARE(cities->geometry(), window.centralWidget()->rect());
        session.grid(TableId::City).setCurrentCell(150, 7);
        const int cityScroll = cities->verticalScrollBar()->value();
        QVERIFY(cityScroll > 0);

        window.editItem(1)->trigger();
        QCOMPARE(visibleTables(window), QList<TableId>{TableId::Officer});
        QCOMPARE(officers->verticalScrollBar()->value(), officerScroll);
        QCOMPARE(officers->currentIndex(), officers->model()->index(299, 4));
        QCOMPARE(session.grid(TableId::Officer).row(), 300);

        window.editItem(2)->trigger();
        QCOMPARE(cities->verticalScrollBar()->value(), cityScroll);
        QCOMPARE(session.grid(TableId::City).row(), 150);
        QCOMPARE(session.grid(TableId::City).col(), 7);

        // The hidden entries still switch when asked for by index; an unknown index hides all.
        window.editItemClicked(4);
        QCOMPARE(visibleTables(window), QList<TableId>{TableId::Force});
        window.editItemClicked(6);
        QVERIFY(visibleTables(window).isEmpty());
        QCOMPARE(window.visibleView(), nullptr);
    }

    void drop_opensFirstFileOnOfficerAndCityGridsOnly_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("editIndex");
        QTest::addColumn<bool>("opens");
        QTest::newRow("officers") << u"fg"_s << 1 << true;
        QTest::newRow("cities") << u"fgCity"_s << 2 << true;
        QTest::newRow("items") << u"fgItem"_s << 3 << false;
        QTest::newRow("forces") << u"fgPow"_s << 4 << false;
        QTest::newRow("placement") << u"fgArrange"_s << 5 << false;
        QTest::newRow("window") << u"clientArea"_s << 1 << false;
    }

    void drop_opensFirstFileOnOfficerAndCityGridsOnly()
    {
        QFETCH(QString, target);
        QFETCH(int, editIndex);
        QFETCH(bool, opens);
        Session session;
        frmMain& window = *session.window;
        window.show();
        window.editItemClicked(editIndex);
        const QString first = session.copyOfSample(u"first.smc"_s);
        const QString second = session.copyOfSample(u"second.smc"_s);
        auto* widget = window.findChild<QWidget*>(target);
        QVERIFY(widget);
        auto* view = qobject_cast<GridView*>(widget);
        QWidget* receiver = view ? view->viewport() : widget;

        QCOMPARE(dropFiles(receiver, {first, second}), opens);
        // The file manager the files came from is released before anything is opened.
        QCOMPARE(session.currentPath(), QString());
        finishDrop();
        QCOMPARE(session.currentPath(), opens ? first : QString());
        QCOMPARE(window.windowTitle(), opens ? captionNaming(first) : Title);
    }

    void wheel_scrollsThreeRowsOnOfficerAndCityGridsOnly_data()
    {
        QTest::addColumn<int>("editIndex");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("scrolled");
        QTest::newRow("officers up") << 1 << 120 << -3;
        QTest::newRow("officers two notches") << 1 << 240 << -3;
        QTest::newRow("officers zero") << 1 << 0 << 3;
        QTest::newRow("cities down") << 2 << -120 << 3;
        QTest::newRow("cities two notches") << 2 << 240 << -3;
        QTest::newRow("placement two notches") << 5 << 240 << -6;
        QTest::newRow("placement zero") << 5 << 0 << 0;
    }

    void wheel_scrollsThreeRowsOnOfficerAndCityGridsOnly()
    {
        QFETCH(int, editIndex);
        QFETCH(int, delta);
        QFETCH(int, scrolled);
        Session session(true);
        frmMain& window = *session.window;
        window.show();
        window.editItemClicked(editIndex);
        GridView* view = window.visibleView();
        view->verticalScrollBar()->setValue(30);
        sendWheel(view->viewport(), delta);
        QCOMPARE(view->verticalScrollBar()->value(), 30 + scrolled);
    }

    void saveCommands_beforeAnyOpen_doNothing()
    {
        Session session;
        frmMain& window = *session.window;
        window.show();
        const QStringList before = QDir(session.dir.path()).entryList(QDir::Files);
        ModalCloser closer;
        window.fileItem(1)->trigger();
        window.fileItem(2)->trigger();
        QTest::qWait(50);
        QVERIFY(closer.dialogTitles.isEmpty());
        QVERIFY(closer.texts.isEmpty());
        QCOMPARE(window.windowTitle(), Title);
        QCOMPARE(QDir(session.dir.path()).entryList(QDir::Files), before);
    }

    void failedOpen_showsMessageAndKeepsDocument()
    {
        Session session(true);
        frmMain& window = *session.window;
        const QString caption = window.windowTitle();
        const QString officerName = session.grid(TableId::Officer).text(1, 1);
        const QByteArray officers = window.document().state().block(BlockId::Officer);
        const QString tooShort = session.dir.filePath(u"short.smc"_s);
        QFile file(tooShort);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(readFileBytes(session.sample).left(0xA8226 + 100));
        file.close();

        ModalCloser closer;
        window.openImage(tooShort);
        QCOMPARE(closer.texts.size(), 1);
        QCOMPARE(closer.titles.first(), Title);
        QVERIFY2(closer.texts.first().contains(u"short.smc"_s), qPrintable(closer.texts.first()));
        QCOMPARE(closer.buttons.first().count(u'|'), 0);
        QCOMPARE(window.windowTitle(), caption);
        QCOMPARE(session.currentPath(), session.sample);
        QCOMPARE(session.grid(TableId::Officer).text(1, 1), officerName);
        QCOMPARE(window.document().state().block(BlockId::Officer), officers);

        // A missing file stays silent.
        window.openImage(session.dir.filePath(u"missing.smc"_s));
        QCOMPARE(closer.texts.size(), 1);
    }

    void ctrlS_savesOverTheOpenImage()
    {
        Session session;
        frmMain& window = *session.window;
        const QString image = session.copyOfSample(u"edit.smc"_s);
        window.openImage(image);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        Grid& officers = session.grid(TableId::Officer);
        const int record = officers.text(1, 0).toInt();
        officers.setCurrentCell(1, 3);
        officers.setText(1, 3, u"99"_s);
        window.document().officers().storeCell();
        QTest::keyClick(window.view(TableId::Officer), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(window.windowTitle(), Title + u" [保存完了]"_s);
        const qint64 war = blockSpec(BlockId::Officer).position + qint64(record) * OfficerTable::RecordSize + 7;
        QCOMPARE(int(quint8(readFileBytes(image).at(war))), 99);
    }

    void saveAs_writesCopyUnderNameWithExtension()
    {
        Session session(true);
        frmMain& window = *session.window;
        const QByteArray original = readFileBytes(session.sample);
        ModalCloser closer;
        closer.onDialog = [&](QDialog* dialog) { chooseInFileDialog(dialog, session.dir.path(), u"copy"_s); };
        window.fileItem(2)->trigger();
        QCOMPARE(closer.dialogTitles, QStringList{u"名前を付けて保存"_s});
        const QString copy = session.dir.filePath(u"copy.smc"_s);
        QCOMPARE(session.currentPath(), copy);
        QCOMPARE(window.windowTitle(), Title + u" [保存完了]"_s);
        QCOMPARE(readFileBytes(copy), original);
    }

    void openCommand_opensChosenFile()
    {
        Session session;
        frmMain& window = *session.window;
        ModalCloser closer;
        closer.onDialog = [&](QDialog* dialog) { chooseInFileDialog(dialog, session.dir.path(), u"sample.smc"_s); };
        window.fileItem(0)->trigger();
        QVERIFY2(closer.texts.isEmpty(), qPrintable(closer.texts.join(u'/')));
        QCOMPARE(closer.dialogTitles, QStringList{u"ファイルを開く"_s});
        QCOMPARE(session.currentPath(), session.sample);
        // Cancelling opens nothing and keeps what is open.
        closer.onDialog = [](QDialog* dialog) { dialog->reject(); };
        window.fileItem(0)->trigger();
        QCOMPARE(session.currentPath(), session.sample);
    }

    void popupItem_setsEveryLifespan()
    {
        Session session(true);
        frmMain& window = *session.window;
        QVERIFY(!window.menuBar()->actions().contains(window.busyoMenu()->menuAction()));
        window.busyoItem(2)->trigger();
        Grid& officers = session.grid(TableId::Officer);
        for (int row = 1; row < officers.rows(); row += 97)
            QCOMPARE(officers.text(row, OfficerTable::LifespanColumn), u"7"_s);
    }

    void exitCommand_closesWindow()
    {
        Session session;
        frmMain& window = *session.window;
        window.show();
        QVERIFY(window.isVisible());
        window.fileItem(9)->trigger();
        QVERIFY(!window.isVisible());
    }
};

TAVRIN_TEST(FrmMainTest)
#include "frmmaintest.moc"
