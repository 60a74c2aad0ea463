#include "document.h"

#include "atomicfile.h"
#include "cartridgechecksum.h"
#include "citytable.h"
#include "forcetable.h"
#include "grid.h"
#include "itemtable.h"
#include "officertable.h"
#include "placementtable.h"
#include "romfile.h"

#include <QDir>
#include <QFileInfo>

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

FileResult Document::open(const QString& path, romfile::ReadOnlyFlag readOnly)
{
    if (!romfile::FileExists(path))
        return FileResult::ignored();
    // The long name as given: Qt's file functions take any name on Windows, and messages must name the
    // file as the user knows it, not by its 8.3 short form.
    // Read into new buffers first: a failure must leave the previous document exactly as it was.
    std::array<QByteArray, 5> blocks;
    ImageForm form = ImageForm::CopierHeader;
    const FileResult read = romfile::ReadBlocks(path, blocks, &form, readOnly);
    if (!read.isDone())
        return read;
    m_form = form;
    m_checksum = ChecksumRequest::keep();
    m_onDisk = DiskSnapshot::take(path, blocks, form);
    m_state->setCurrentPath(path);
    m_state->replaceBlocks(blocks);
    m_state->showCurrentPath();
    // A filter chosen for the previous image means nothing for this one.
    for (const TableId id : AllTables)
        grid(id).showAllRows();
    fillGrids();
    readNameList(path);
    return FileResult::done();
}

void Document::readNameList(const QString& imagePath)
{
    std::optional<NameList> names = NameList::read(m_nameListPath);
    // Started from a desktop menu, the working directory is the home folder: the list that lies
    // beside the image is the one meant.
    if (!names && QFileInfo(m_nameListPath).isRelative())
        names = NameList::read(QFileInfo(imagePath).absoluteDir().filePath(m_nameListPath));
    // Names from the previous image's list would stand beside records they do not name.
    m_names = names.value_or(NameList());
    m_placement->fillNames(m_names);
}

QString Document::officerListName(int row) const
{
    const Grid& officers = grid(TableId::Officer);
    if (row < officers.fixedRows() || row >= officers.rows())
        return {};
    bool ok = false;
    const int record = officers.text(row, 0).toInt(&ok);
    return ok && record >= 0 ? m_names.name(record) : QString();
}

FileResult Document::save(const QString& path, ChangedOnDisk changed)
{
    if (path.isEmpty() || m_state->currentPath().isEmpty())
        return FileResult::ignored();
    if (changed == ChangedOnDisk::Refuse && isChangedOnDisk(path))
        return FileResult::failed(
            u"ファイル「%1」は開いた後に他のプログラムで変更されています。その変更を消さないよう、保存しませんでした。"_s
                .arg(QDir::toNativeSeparators(path)));
    QByteArray image;
    QByteArray pairOnDisk;
    if (const FileResult composed = compose(image, &pairOnDisk); !composed.isDone())
        return FileResult::failed(atomicfile::failure(path, composed.message()));
    if (const FileResult written = romfile::WriteImage(path, image); !written.isDone())
        return written;
    if (m_checksum.kind() != ChecksumRequest::Kind::Keep)
        m_overwrittenPairs << pairOnDisk;
    if (m_checksum.kind() == ChecksumRequest::Kind::Put)
        m_checksum = ChecksumRequest::keep();
    m_onDisk = DiskSnapshot::take(path, blocks(), m_form);
    m_state->setCurrentPath(path);
    m_state->setTitle(u"保存完了"_s);
    return FileResult::done();
}

bool Document::isChangedOnDisk(const QString& path) const
{
    const QString current = m_state->currentPath();
    if (current.isEmpty() || (path != current && !romfile::SameFile(path, current)))
        return false;
    return m_onDisk.compare() == DiskSnapshot::Change::Changed;
}

FileResult Document::composeSavedImage(QByteArray& image) const
{
    return compose(image, nullptr);
}

FileResult Document::compose(QByteArray& image, QByteArray* pairOnDisk) const
{
    if (m_state->currentPath().isEmpty())
        return FileResult::ignored();
    QByteArray composed;
    if (const FileResult read = romfile::ComposeImage(m_state->currentPath(), blocks(), m_form, composed);
        !read.isDone())
        return read;
    if (pairOnDisk)
        *pairOnDisk = CartridgeChecksum::storedPair(composed, m_form);
    if (!m_checksum.applyTo(composed, m_form))
        return FileResult::failed(u"カートリッジヘッダーがないため、チェックサムを書き込めません。"_s);
    image = std::move(composed);
    return FileResult::done();
}

std::array<QByteArray, 5> Document::blocks() const
{
    std::array<QByteArray, 5> copies;
    for (const BlockSpec& range : BlockCatalogue)
        copies[static_cast<std::size_t>(range.id)] = m_state->block(range.id);
    return copies;
}
