#include "tablefactory.h"

#include "citytable.h"
#include "forcetable.h"
#include "itemtable.h"
#include "officertable.h"
#include "placementtable.h"

std::unique_ptr<Table> TableFactory::make(TableId id, Grid& grid, EditorState& state)
{
    switch (id) {
    case TableId::Officer:
        return std::make_unique<OfficerTable>(grid, state);
    case TableId::City:
        return std::make_unique<CityTable>(grid, state);
    case TableId::Item:
        return std::make_unique<ItemTable>(grid, state);
    case TableId::Force:
        return std::make_unique<ForceTable>(grid, state);
    case TableId::Placement:
        return std::make_unique<PlacementTable>(grid, state);
    }
    return nullptr;
}
