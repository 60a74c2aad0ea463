#include "sequencesession.h"

#include "blockcatalogue.h"
#include "celleditor.h"
#include "findbar.h"
#include "findcommands.h"
#include "grid.h"
#include "gridclipboardcommands.h"
#include "gridmodel.h"
#include "gridview.h"
#include "officergridcommands.h"
#include "sampleimage.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QUndoStack>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

SequenceSession::SequenceSession()
    : m_images{m_dir.filePath(u"a/image.smc"_s), m_dir.filePath(u"b/image.smc"_s)},
      // Lists of different lengths beside the two images.
      m_names{QStringList{u"Aa"_s, u"Ab"_s, u"Ac"_s, u"Ad"_s, u"Ae"_s, u"Af"_s}, QStringList{u"Ba"_s, u"Bb"_s}},
      m_sample(SampleImage::generate())
{
    for (std::size_t k = 0; k < m_images.size(); ++k) {
        QDir().mkpath(QFileInfo(m_images[k]).path());
        QFile list(QFileInfo(m_images[k]).dir().filePath(u"tavrin-fuzz-names.txt"_s));
        if (!list.open(QIODevice::WriteOnly) || list.write(m_names[k].join(u"\r\n"_s).toLatin1()) < 0)
            fail(u"cannot write a name list"_s);
    }
    createWindow();
}

void SequenceSession::createWindow()
{
    m_window = std::make_unique<frmMain>(QStringList{u"tavrin-editor"_s});
    // Relative, so that each open reads the list beside its image (no working folder holds this name).
    document().setNameListPath(u"tavrin-fuzz-names.txt"_s);
    m_window->show();
    m_window->activateWindow();
    // Nothing the steps check is drawn; painting the window in the event loop of each dialog cost
    // four times what the dialog itself does.
    m_window->setUpdatesEnabled(false);
    QApplication::processEvents();
    m_officerCommands = m_window->session().findChild<OfficerGridCommands*>();
    m_clipboard = m_window->session().findChild<GridClipboardCommands*>();
}

void SequenceSession::replaceWindow()
{
    // Destroyed without a close event: no question, no clean-up a close would do.
    m_window.reset();
    createWindow();
    m_sortTag.clear();
    m_reopen = true;
}

TableId SequenceSession::visible() const
{
    return m_window->session().visibleTable().value_or(TableId::Officer);
}

QString SequenceSession::other() const
{
    return m_model.current() == m_images[0] ? m_images[1] : m_images[0];
}

void SequenceSession::fail(const QString& what) const
{
    // A reading padded with NULs would end the message at its first one.
    const auto printable = [](QString text) { return text.replace(QChar(0), u"\\0"_s); };
    std::fprintf(stderr, "fuzz_sequence: after these steps:\n  %s\n%s\n",
                 qUtf8Printable(printable(m_trace.join(u"\n  "_s))), qUtf8Printable(printable(what)));
    std::abort();
}

void SequenceSession::openSample()
{
    if (!QFile::remove(m_images[1]) && QFile::exists(m_images[1]))
        fail(u"cannot remove the second image"_s);
    QFile file(m_images[0]);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(m_sample) != m_sample.size())
        fail(u"cannot write the sample"_s);
    file.close();
    m_window->openImage(m_images[0]);
    if (m_opened[0].isEmpty())
        for (const TableId id : AllTables) {
            const Grid& g = grid(id);
            for (int row = 0; row < g.rows(); ++row)
                for (int col = 0; col < g.cols(); ++col)
                    m_opened[std::size_t(id)] << g.text(row, col);
        }
    m_reopen = false;
}

bool SequenceSession::gridsAsOpened() const
{
    for (const TableId id : AllTables) {
        const Grid& g = m_window->document().grid(id);
        const QStringList& cells = m_opened[std::size_t(id)];
        if (g.hasHiddenRows())
            return false;
        for (int row = 0; row < g.rows(); ++row)
            for (int col = 0; col < g.cols(); ++col)
                if (g.text(row, col) != cells[qsizetype(row) * g.cols() + col])
                    return false;
    }
    return true;
}

void SequenceSession::start()
{
    m_trace = QStringList{u"open the sample"_s};
    m_touched.clear();
    m_window->cellEditor()->cancelCellEdit();
    m_window->findCommands().closeBar();
    for (const int item : {2, 3, 4, 5, 1}) {
        m_window->editItemClicked(item);
        m_window->findCommands().bar().filterEdit()->setText(QString());
    }
    // The last input undid every step; unless something else changed, the session is as opened.
    if (m_reopen || !gridsAsOpened())
        openSample();
    else
        m_window->session().undoStack().clear();
    m_model = Model();
    m_model.setDisk(m_images[0], m_sample);
    m_model.open(m_images[0], m_names[0]);
    m_model.setSortTag(m_sortTag);
    // The same cell of each grid current and alone selected, in the view as in the grid.
    for (const int item : {2, 3, 4, 5, 1}) {
        m_window->editItemClicked(item);
        const TableId id = visible();
        click(id, 1, document().table(id).firstEditableColumn());
    }
    checkNames();
    checkAfterStep();
}

void SequenceSession::undoAll()
{
    m_trace << u"undo every step"_s;
    while (m_model.undoIndex() > 0) {
        m_window->undoAction()->trigger();
        m_model.undo();
    }
    checkAfterStep();
    m_sortTag = m_model.sortTag();
    if (m_model.blocks() != m_model.opened())
        fail(u"the model's own undo does not give the tables as opened"_s);
    for (const auto& [id, record] : m_touched)
        checkRecord(id, record);
}

void SequenceSession::key(QWidget* target, int code, const QString& text, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    QApplication::sendEvent(target, &press);
}

void SequenceSession::click(TableId id, int row, int col, Qt::KeyboardModifiers modifiers, bool twice)
{
    GridView* view = m_window->view(id);
    const QModelIndex index = view->model()->index(GridModel::toModelRow(row), col);
    view->scrollTo(index);
    // Rows shown again reach the scroll bars at the next layout, long run before a person's click.
    if (!view->viewport()->rect().contains(view->visualRect(index).center())) {
        QCoreApplication::processEvents();
        view->scrollTo(index);
    }
    const QPoint at = view->visualRect(index).center();
    const QPoint global = view->viewport()->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, modifiers);
    QApplication::sendEvent(view->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, modifiers);
    QApplication::sendEvent(view->viewport(), &release);
    if (!twice)
        return;
    QMouseEvent again(QEvent::MouseButtonDblClick, at, global, Qt::LeftButton, Qt::LeftButton, modifiers);
    QApplication::sendEvent(view->viewport(), &again);
    QApplication::sendEvent(view->viewport(), &release);
}

void SequenceSession::clickHeader(TableId id, int col, bool twice)
{
    GridView* view = m_window->view(id);
    view->scrollTo(view->model()->index(0, col));
    // A label column lies under the label columns' own view, with a header of its own.
    const auto* labels = view->findChild<QTableView*>();
    const bool label = labels && labels->isVisible() && col < grid(id).fixedCols();
    const QHeaderView* header = (label ? labels : static_cast<QTableView*>(view))->horizontalHeader();
    QWidget* area = header->viewport();
    const QPoint at(header->sectionViewportPosition(col) + header->sectionSize(col) / 2, header->height() / 2);
    const QPoint global = area->mapToGlobal(at);
    const auto send = [&](QEvent::Type type, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, global, Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(area, &event);
    };
    for (int k = 0; k < (twice ? 2 : 1); ++k) {
        send(k == 0 ? QEvent::MouseButtonPress : QEvent::MouseButtonDblClick, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
    }
}

const QStringList& SequenceSession::namesBeside(const QString& path) const
{
    return m_names[path == m_images[0] ? 0 : 1];
}

int SequenceSession::recordAt(const Grid& g, TableId id, int row)
{
    bool ok = false;
    const int record = g.text(row, 0).toInt(&ok);
    return id == TableId::Item ? row - g.fixedRows() : ok ? record : -1;
}
