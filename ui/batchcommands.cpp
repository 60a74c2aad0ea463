#include "batchcommands.h"

#include "batchplan.h"
#include "batchprogram.h"
#include "editsession.h"
#include "findbar.h"
#include "findcommands.h"
#include "grid.h"
#include "table.h"

#include <QLineEdit>

#include <variant>

using namespace Qt::StringLiterals;

BatchCommands::BatchCommands(EditSession& session, FindCommands& find)
    : QObject(&session), m_session(session), m_find(find)
{
    connect(&find.bar(), &FindBar::batchEdited, this, &BatchCommands::preview);
    connect(&find.bar(), &FindBar::batchRequested, this, &BatchCommands::apply);
    // Another grid shown from the menu while the box keeps the keyboard: the preview is of that grid.
    // Connected after the find commands, which clear the message line for the grid shown.
    for (const TableId id : AllTables)
        connect(&session.document().grid(id), &Grid::visibilityChanged, this, [this](bool visible) {
            if (visible && m_find.bar().batchEdit()->hasFocus())
                preview();
        });
}

void BatchCommands::open()
{
    m_find.openBar(m_find.bar().batchEdit());
    preview();
}

std::optional<BatchPlan> BatchCommands::plan()
{
    FindBar& bar = m_find.bar();
    const std::optional<TableId> id = m_session.visibleTable();
    const QString text = bar.batchEdit()->text();
    if (!id || text.trimmed().isEmpty()) {
        bar.showMessage(QString());
        return std::nullopt;
    }
    const Table& table = m_session.document().table(*id);
    const auto program = BatchProgram::parse(text, table);
    if (const QString* error = std::get_if<QString>(&program)) {
        bar.showMessage(*error, true);
        return std::nullopt;
    }
    auto made = BatchPlan::make(table, std::get<BatchProgram>(program), BatchPlan::fieldValues(*id, table.block()));
    if (const QString* error = std::get_if<QString>(&made)) {
        bar.showMessage(*error, true);
        return std::nullopt;
    }
    return std::get<BatchPlan>(std::move(made));
}

void BatchCommands::preview()
{
    if (const std::optional<BatchPlan> planned = plan())
        m_find.bar().showMessage(planned->previewText());
}

void BatchCommands::apply()
{
    const std::optional<BatchPlan> planned = plan();
    const std::optional<TableId> id = m_session.visibleTable();
    if (!planned || !id)
        return;
    if (planned->cellCount() > 0) {
        const QString step = u"一括変更: %1 (%2 行)"_s.arg(m_find.bar().batchEdit()->text().trimmed(),
                                                           QString::number(planned->rowCount()));
        Table& table = m_session.document().table(*id);
        m_session.record(*id, step, [&] { planned->apply(table); });
    }
    m_find.bar().showMessage(planned->doneText());
}
