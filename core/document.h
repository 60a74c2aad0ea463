#pragma once

#include "checksumrequest.h"
#include "disksnapshot.h"
#include "editorstate.h"
#include "fileresult.h"
#include "imageform.h"
#include "namelist.h"
#include "romfile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <memory>

class Grid;
class Table;
class OfficerTable;
class CityTable;
class ItemTable;
class ForceTable;
class PlacementTable;

// The grids in the order the window asks them which one is visible.
enum class TableId
{
    Officer,
    City,
    Item,
    Force,
    Placement,
};

inline constexpr std::array<TableId, 5> AllTables{TableId::Officer, TableId::City, TableId::Item, TableId::Force,
                                                  TableId::Placement};

// The editor's model: the state, the five grids and the five tables that join them, and the open
// and save operations that move blocks between the file and the grids.
class Document
{
public:
    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    EditorState& state() { return *m_state; }
    const EditorState& state() const { return *m_state; }
    Grid& grid(TableId id) const;
    Table& table(TableId id) const;
    OfficerTable& officers() const;
    CityTable& cities() const;
    ItemTable& items() const;
    ForceTable& forces() const;
    PlacementTable& placement() const;

    // Configures the grids (officer, item, city, force, placement); each is left with drawing off.
    void setUpGrids();
    // Switches drawing on or off for every grid (officer, city, item, force, placement).
    void setRedraw(bool on);
    // Block bytes to grid text: officer, item, city, placement, force.
    void fillGrids();

    // Opens an image. An empty, missing or directory path is ignored silently; any other failure
    // leaves the previous document exactly as it was and returns a message naming the file. The
    // window's open clears a read-only flag, so that the file can be saved; a reader passes Keep.
    FileResult open(const QString& path, romfile::ReadOnlyFlag readOnly = romfile::ReadOnlyFlag::Clear);
    // What a save over the opened file does when another program has changed that file since.
    enum class ChangedOnDisk
    {
        Refuse,
        Overwrite,
    };
    // Saves the blocks into `path`, over the current file or into a copy of it under a new name.
    // An empty path is ignored. On failure nothing changes on disk or in the document.
    FileResult save(const QString& path, ChangedOnDisk changed = ChangedOnDisk::Refuse);
    // True when `path` names the opened file and its size, modification time or table bytes differ
    // from what was opened or last saved: a save would write over what another program wrote.
    bool isChangedOnDisk(const QString& path) const;
    // The opened file as it was when opened or last saved.
    const DiskSnapshot& diskSnapshot() const { return m_onDisk; }

    // The form of the open image (a copier header before the first open); a save keeps it.
    ImageForm imageForm() const { return m_form; }
    bool hasCopierHeader() const { return m_form == ImageForm::CopierHeader; }
    // The bytes a save would write now: the current file on disk with the blocks laid over it and the
    // checksum request carried out. The one place that composes them: the save writes exactly this,
    // and a patch or anything else that needs "the image as saved now" asks for it.
    FileResult composeSavedImage(QByteArray& image) const;

    // What every save does with the cartridge checksum; an open starts with Keep. A Put is carried out
    // once: after a save has written its bytes the request is Keep again, so that a later change of
    // the four bytes by another program survives the next save.
    ChecksumRequest checksumRequest() const { return m_checksum; }
    void setChecksumRequest(const ChecksumRequest& request) { m_checksum = request; }
    // How many saves have written the four checksum bytes (a request other than Keep), counted from
    // the document's creation: an undo compares it to tell whether a save wrote its fix.
    int checksumSaves() const { return int(m_overwrittenPairs.size()); }
    // The four bytes the file held before checksum save `index` (counted from 0) wrote over them.
    QByteArray pairOverwrittenBy(int index) const { return m_overwrittenPairs.value(index); }

    // The name list read on every open. A relative path resolves against the working directory and,
    // when no list lies there, against the folder of the image being opened.
    QString nameListPath() const { return m_nameListPath; }
    void setNameListPath(const QString& path) { m_nameListPath = path; }
    // The list the last open read; empty when that open found none.
    const NameList& nameList() const { return m_names; }
    // The list name of the officer an officer grid row shows (by its record number, so it follows the
    // row through a sort); empty for a header row or a record the list does not name.
    QString officerListName(int row) const;

private:
    std::array<QByteArray, 5> blocks() const;
    // composeSavedImage, also giving the pair the file holds before the request is carried out.
    FileResult compose(QByteArray& image, QByteArray* pairOnDisk) const;
    void readNameList(const QString& imagePath);

    std::unique_ptr<EditorState> m_state;
    std::array<std::unique_ptr<Grid>, 5> m_grids;
    std::unique_ptr<OfficerTable> m_officers;
    std::unique_ptr<CityTable> m_cities;
    std::unique_ptr<ItemTable> m_items;
    std::unique_ptr<ForceTable> m_forces;
    std::unique_ptr<PlacementTable> m_placement;
    QString m_nameListPath;
    NameList m_names;
    ImageForm m_form = ImageForm::CopierHeader;
    ChecksumRequest m_checksum = ChecksumRequest::keep();
    QList<QByteArray> m_overwrittenPairs;
    DiskSnapshot m_onDisk;
};
