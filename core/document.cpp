#include "document.h"

#include "citytable.h"
#include "forcetable.h"
#include "grid.h"
#include "itemtable.h"
#include "officertable.h"
#include "placementtable.h"
#include "romfile.h"

using namespace Qt::StringLiterals;

namespace {

constexpr std::size_t slot(TableId id)
{
    return static_cast<std::size_t>(id);
}

} // namespace

Document::Document() : m_state(std::make_unique<EditorState>()), m_nameListPath(u"b.txt"_s)
{
    for (auto& grid : m_grids)
        grid = std::make_unique<Grid>();
    m_officers = std::make_unique<OfficerTable>(*m_grids[slot(TableId::Officer)], *m_state);
    m_cities = std::make_unique<CityTable>(*m_grids[slot(TableId::City)], *m_state);
    m_items = std::make_unique<ItemTable>(*m_grids[slot(TableId::Item)], *m_state);
    m_forces = std::make_unique<ForceTable>(*m_grids[slot(TableId::Force)], *m_state);
    m_placement = std::make_unique<PlacementTable>(*m_grids[slot(TableId::Placement)], *m_state);
}

Document::~Document() = default;

Grid& Document::grid(TableId id) const
{
    return *m_grids[slot(id)];
}

Table& Document::table(TableId id) const
{
    switch (id) {
    case TableId::Officer:
        return *m_officers;
    case TableId::City:
        return *m_cities;
    case TableId::Item:
        return *m_items;
    case TableId::Force:
        return *m_forces;
    case TableId::Placement:
        return *m_placement;
    }
    return *m_officers;
}

OfficerTable& Document::officers() const
{
    return *m_officers;
}

CityTable& Document::cities() const
{
    return *m_cities;
}

ItemTable& Document::items() const
{
    return *m_items;
}

ForceTable& Document::forces() const
{
    return *m_forces;
}

PlacementTable& Document::placement() const
{
    return *m_placement;
}

void Document::setUpGrids()
{
    m_officers->setUpGrid();
    m_items->setUpGrid();
    m_cities->setUpGrid();
    m_forces->setUpGrid();
    m_placement->setUpGrid();
    // Each grid starts on a cell that Enter or a digit can edit, not on a label.
    for (const TableId id : AllTables)
        if (const int col = table(id).firstEditableColumn(); col >= 0)
            grid(id).setCurrentCell(grid(id).fixedRows(), col);
}

void Document::setRedraw(bool on)
{
    for (const TableId id : AllTables)
        grid(id).setRedraw(on);
}

void Document::fillGrids()
{
    m_officers->fillGrid();
    m_items->fillGrid();
    m_cities->fillGrid();
    m_placement->fillGrid();
    m_forces->fillGrid();
}

FileResult Document::open(const QString& path)
{
    if (!romfile::FileExists(path))
        return FileResult::ignored();
    // The long name as given: Qt's file functions take any name on Windows, and messages must name the
    // file as the user knows it, not by its 8.3 short form.
    // Read into new buffers first: a failure must leave the previous document exactly as it was.
    std::array<QByteArray, 5> blocks;
    ImageForm form = ImageForm::CopierHeader;
    const FileResult read = romfile::ReadBlocks(path, blocks, &form);
    if (!read.isDone())
        return read;
    m_form = form;
    m_state->setCurrentPath(path);
    m_state->replaceBlocks(blocks);
    m_state->setTitle(path);
    fillGrids();
    m_placement->readUTF8(m_nameListPath);
    return FileResult::done();
}

FileResult Document::save(const QString& path)
{
    if (path.isEmpty() || m_state->currentPath().isEmpty())
        return FileResult::ignored();
    const FileResult written = romfile::WriteImage(m_state->currentPath(), path, blocks(), m_form);
    if (!written.isDone())
        return written;
    m_state->setCurrentPath(path);
    m_state->setTitle(u"保存完了"_s);
    return FileResult::done();
}

FileResult Document::composeSavedImage(QByteArray& image) const
{
    if (m_state->currentPath().isEmpty())
        return FileResult::ignored();
    return romfile::ComposeImage(m_state->currentPath(), blocks(), m_form, image);
}

std::array<QByteArray, 5> Document::blocks() const
{
    std::array<QByteArray, 5> copies;
    for (const BlockSpec& range : BlockCatalogue)
        copies[static_cast<std::size_t>(range.id)] = m_state->block(range.id);
    return copies;
}
