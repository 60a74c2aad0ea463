#pragma once

#include "namelist.h"

#include <QString>

class Document;

// All five tables of an image as one plain text that stays the same for the same bytes, for
// comparing images line by line (a git textconv driver): each table's name in brackets, then one
// line per record in record order, every cell as "header=value" so that a changed line names its
// field, cells separated by tabs.
class ImageText
{
public:
    ImageText() = delete;

    // The placement names come from `names` alone, never from a list the document found beside the
    // image or in the working directory: git hands the driver each old version as a temporary file
    // with no list beside it, so such names would show as changes on every named record.
    static QString of(Document& doc, const NameList& names = NameList());
};
