#include "comparecommands.h"

#include "comparebar.h"
#include "comparison.h"
#include "editsession.h"
#include "filedialogs.h"
#include "findcommands.h"
#include "grid.h"
#include "gridfind.h"
#include "gridmodel.h"
#include "gridview.h"
#include "imagemerge.h"
#include "okmessagebox.h"
#include "patchformquestion.h"

#include <QAction>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>

#include <variant>

using namespace Qt::StringLiterals;

namespace {

const QList<FileFilter> OtherSideFilters{
    {u"イメージ・パッチ (*.smc *.sfc *.ips *.bps)"_s, u"*.smc *.sfc *.ips *.bps"_s},
    {u"SMC ファイル(*.smc)"_s, u"*.smc"_s},
    {u"SFC ファイル(*.sfc)"_s, u"*.sfc"_s},
    {u"パッチ (*.ips *.bps)"_s, u"*.ips *.bps"_s},
    {u"すべてのファイル (*)"_s, u"*"_s},
};

} // namespace

CompareCommands::CompareCommands(EditSession& session, QMainWindow& window, FindCommands& find)
    : QObject(&session), m_session(session)
{
    m_toolBar = new QToolBar(u"比較"_s, &window);
    m_toolBar->setObjectName(u"compareToolBar"_s);
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->toggleViewAction()->setVisible(false);
    m_bar = new CompareBar(m_toolBar);
    m_toolBar->addWidget(m_bar);
    // A line of its own, under the find bar when both are open.
    window.addToolBarBreak(Qt::TopToolBarArea);
    window.addToolBar(Qt::TopToolBarArea, m_toolBar);
    m_toolBar->hide();

    m_next = new QAction(u"次の相違"_s, this);
    m_next->setShortcut(QKeySequence(Qt::Key_F7));
    m_previous = new QAction(u"前の相違"_s, this);
    m_previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F7));
    // As merge tools copy from the other pane into this one.
    m_take = new QAction(u"比較先の値を取り込む"_s, this);
    m_take->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    m_takeAll = new QAction(u"比較先の値をすべて取り込む"_s, this);
    enableItems(false);
    connect(m_next, &QAction::triggered, this, [this] { next(true); });
    connect(m_previous, &QAction::triggered, this, [this] { next(false); });
    connect(m_take, &QAction::triggered, this, &CompareCommands::takeSelection);
    connect(m_takeAll, &QAction::triggered, this, &CompareCommands::takeAll);
    connect(m_bar, &CompareBar::closeRequested, this, &CompareCommands::end);
    connect(&session, &EditSession::tablesChanged, this, &CompareCommands::onTablesChanged);
    connect(&session, &EditSession::historyStarted, this, &CompareCommands::end);
    // A save may write the checksum bytes, which lie outside the tables.
    connect(&session, &EditSession::saved, this, [this] {
        if (!m_comparison)
            return;
        m_comparison->recountOutside(m_session.document().state().currentPath());
        showSummary();
    });
    find.setDifferenceTest([this](TableId id) -> RowFilter::RowTest {
        if (!m_comparison)
            return {};
        return [this, id](int row) { return m_comparison && m_comparison->rowHasMarks(id, row); };
    });
}

CompareCommands::~CompareCommands() = default;

void CompareCommands::addMenuItems(QMenu& editMenu, QAction* before, QAction* endItem)
{
    editMenu.insertSeparator(before);
    editMenu.insertActions(before, {m_next, m_previous, m_take, m_takeAll});
    m_endItem = endItem;
    enableItems(m_comparison != nullptr);
}

void CompareCommands::enableItems(bool on)
{
    for (QAction* action : {m_next, m_previous, m_take, m_takeAll, m_endItem})
        if (action)
            action->setEnabled(on);
}

bool CompareCommands::isBarOpen() const
{
    return !m_toolBar->isHidden();
}

void CompareCommands::open()
{
    if (m_session.document().state().currentPath().isEmpty())
        return;
    const QString path = FileDialogs::showOpenDialog(&m_session.window(), u"比較"_s, OtherSideFilters);
    if (path.isEmpty())
        return;
    std::optional<ImageForm> ipsForm;
    if (PatchFormQuestion::isIpsPatch(path)) {
        ipsForm = PatchFormQuestion::ask(&m_session.window(), EditorState::applicationTitle(), path,
                                         m_session.document().imageForm());
        if (!ipsForm)
            return;
    }
    compareWith(path, ipsForm);
}

bool CompareCommands::compareWith(const QString& path, std::optional<ImageForm> ipsForm)
{
    Document& document = m_session.document();
    auto side = CompareSide::read(path, document.state().currentPath(), ipsForm);
    if (const QString* refused = std::get_if<QString>(&side)) {
        OkMessageBox::show(&m_session.window(), EditorState::applicationTitle(), *refused);
        return false;
    }
    m_comparison = std::make_unique<Comparison>(document, std::get<CompareSide>(std::move(side)));
    m_mergeTaken.reset();
    setMarkSources(true);
    enableItems(true);
    m_toolBar->show();
    m_bar->showMessage(QString());
    showSummary();
    return true;
}

bool CompareCommands::showMerge(const QString& path, const QList<Comparison::Cell>& conflicts, int taken)
{
    if (!compareWith(path))
        return false;
    m_mergeTaken = taken;
    m_comparison->limitTo(conflicts);
    for (const TableId id : AllTables)
        if (GridView* view = m_session.view(id))
            view->gridModel()->refreshMarks();
    showSummary();
    return true;
}

void CompareCommands::end()
{
    if (!m_comparison)
        return;
    setMarkSources(false);
    m_comparison.reset();
    m_mergeTaken.reset();
    enableItems(false);
    m_toolBar->hide();
}

void CompareCommands::setMarkSources(bool on)
{
    for (const TableId id : AllTables) {
        GridView* view = m_session.view(id);
        if (!view)
            continue;
        GridModel::CompareSource source;
        GridModel::CompareSource base;
        if (on) {
            source = [this, id](int row, int col) { return m_comparison->otherText(id, row, col); };
            base = [this, id](int row, int col) { return m_comparison->baseText(id, row, col); };
        }
        view->gridModel()->setCompareSource(std::move(source));
        view->gridModel()->setCompareBaseSource(std::move(base));
    }
}

void CompareCommands::next(bool forward)
{
    const std::optional<TableId> id = m_session.visibleTable();
    if (!m_comparison || !id)
        return;
    const Grid& grid = m_session.document().grid(*id);
    const auto hit = GridFind::findCell(grid, grid.row(), grid.col(), forward,
                                        [this, id](int row, int col) { return m_comparison->isMarked(*id, row, col); });
    if (!hit) {
        m_bar->showMessage(u"この表には相違がありません。"_s);
        return;
    }
    m_session.showCell(*id, hit->row, hit->col);
    if (hit->wrapped)
        m_bar->showMessage(forward ? u"最後の相違まで進みました。先頭から続けます。"_s
                                   : u"最初の相違まで戻りました。最後から続けます。"_s);
    else
        m_bar->showMessage(QString());
}

void CompareCommands::takeSelection()
{
    const std::optional<TableId> id = m_session.visibleTable();
    if (!m_comparison || !id)
        return;
    const Grid& grid = m_session.document().grid(*id);
    const int count = m_comparison->countIn(*id, grid.row(), grid.col(), grid.rowSel(), grid.colSel());
    if (count == 0) {
        m_bar->showMessage(u"選択範囲に相違はありません。"_s);
        return;
    }
    m_bar->showMessage(QString());
    m_session.record(*id, u"比較先から取り込み (%1 セル)"_s.arg(count), [&] {
        m_comparison->take(*id, grid.row(), grid.col(), grid.rowSel(), grid.colSel());
    });
}

void CompareCommands::takeAll()
{
    if (!m_comparison)
        return;
    const int count = m_comparison->total();
    // Bytes no stored column shows differ too when only they do: take-all takes them as well.
    const qint64 unshown = m_comparison->unshownBytes();
    if (count == 0 && unshown == 0) {
        m_bar->showMessage(u"相違はありません。"_s);
        return;
    }
    m_bar->showMessage(QString());
    // Undo and redo show the first table of the step: the one shown now, else one the Edit menu can
    // show, so that the hidden item and force grids come up only when nothing else changed.
    QList<TableId> ids{TableId::Officer, TableId::City, TableId::Placement, TableId::Item, TableId::Force};
    if (const std::optional<TableId> shown = m_session.visibleTable())
        ids.move(ids.indexOf(*shown), 0);
    const QString text =
        count > 0 ? u"比較先から取り込み (%1 セル)"_s.arg(count) : u"比較先から取り込み (%1 バイト)"_s.arg(unshown);
    m_session.record(ids, text, [this] { m_comparison->takeAll(); });
}

void CompareCommands::onTablesChanged(const QList<TableId>& ids)
{
    if (!m_comparison)
        return;
    for (const TableId id : ids) {
        m_comparison->update(id);
        if (GridView* view = m_session.view(id))
            view->gridModel()->refreshMarks();
    }
    showSummary();
}

void CompareCommands::showSummary()
{
    if (m_mergeTaken) {
        m_bar->showSummary(u"マージ: 取り込み %1 セル、衝突 %2 セル"_s.arg(*m_mergeTaken).arg(m_comparison->total()));
        return;
    }
    const CompareSide& side = m_comparison->side();
    QString text = u"比較先: "_s + QFileInfo(side.path()).fileName();
    if (side.isPatch())
        text += u"（パッチを当てた結果）"_s;
    const int total = m_comparison->total();
    const qint64 unshown = m_comparison->unshownBytes();
    if (total == 0) {
        text += unshown == 0 ? u"　相違はありません"_s : u"　表の値に相違はありません"_s;
    } else {
        QStringList parts;
        for (const TableId id : AllTables)
            if (const int n = m_comparison->count(id); n > 0)
                parts << ImageMerge::tableName(id) + u' ' + QString::number(n);
        text += u"　相違 %1 セル（%2）"_s.arg(total).arg(parts.join(u"、"_s));
    }
    if (unshown > 0)
        text += u"　どの列にも出ない %1 バイトも違います"_s.arg(unshown);
    if (side.outsideBytes() > 0)
        text += u"　表の外でも %1 バイト違います（取り込みません）"_s.arg(side.outsideBytes());
    m_bar->showSummary(text);
}
