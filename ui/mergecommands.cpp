#include "mergecommands.h"

#include "comparebar.h"
#include "comparecommands.h"
#include "documentmerge.h"
#include "editsession.h"
#include "filedialogs.h"
#include "okmessagebox.h"

#include <variant>

using namespace Qt::StringLiterals;

namespace {

const QList<FileFilter> ImageFilters{
    {u"イメージ (*.smc *.sfc)"_s, u"*.smc *.sfc"_s},
    {u"すべてのファイル (*)"_s, u"*"_s},
};

} // namespace

MergeCommands::MergeCommands(EditSession& session, CompareCommands& compare)
    : QObject(&session), m_session(session), m_compare(compare)
{
}

void MergeCommands::open()
{
    if (m_session.document().state().currentPath().isEmpty())
        return;
    QWidget* window = &m_session.window();
    const QString base = FileDialogs::showOpenDialog(window, u"マージ: 共通のもとのイメージ"_s, ImageFilters);
    if (base.isEmpty())
        return;
    const QString theirs = FileDialogs::showOpenDialog(window, u"マージ: 取り込むイメージ"_s, ImageFilters);
    if (!theirs.isEmpty())
        mergeWith(base, theirs);
}

bool MergeCommands::mergeWith(const QString& basePath, const QString& theirsPath)
{
    Document& document = m_session.document();
    auto read = DocumentMerge::read(basePath, theirsPath, document.state().currentPath());
    if (const QString* refused = std::get_if<QString>(&read)) {
        OkMessageBox::show(&m_session.window(), EditorState::applicationTitle(), *refused);
        return false;
    }
    DocumentMerge& merge = std::get<DocumentMerge>(read);
    merge.merge(document);
    // Undo and redo show the table shown now first, as taking every difference does.
    QList<TableId> ids{TableId::Officer, TableId::City, TableId::Placement, TableId::Item, TableId::Force};
    if (const std::optional<TableId> shown = m_session.visibleTable())
        ids.move(ids.indexOf(*shown), 0);
    m_session.record(ids, u"マージ: %1 セル"_s.arg(merge.taken()), [&] { merge.apply(document); });

    QList<Comparison::Cell> cells;
    int unshown = 0;
    for (const MergeConflict& conflict : merge.conflicts()) {
        if (conflict.table && conflict.column >= 0)
            cells.append({*conflict.table, conflict.record, conflict.column, conflict.base});
        else
            ++unshown;
    }
    if (!m_compare.showMerge(theirsPath, cells, merge.taken()))
        return false;
    // Bits no column shows have no cell to mark; they keep this image's value.
    if (unshown > 0)
        m_compare.bar().showMessage(u"どの列にも出ないバイトの衝突 %1 か所は、こちらの値のままです。"_s.arg(unshown));
    return true;
}
