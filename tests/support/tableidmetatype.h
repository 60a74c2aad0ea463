#pragma once

#include "document.h"

#include <QMetaType>

// Lets test data tables carry a TableId column.
Q_DECLARE_METATYPE(TableId)
