#pragma once

class Document;
class QString;

// All five tables of an image as one plain text that stays the same for the same bytes, for
// comparing images line by line (a git textconv driver): each table's name in brackets, then one
// line per record in record order, every cell as "header=value" so that a changed line names its
// field, cells separated by tabs.
class ImageText
{
public:
    ImageText() = delete;

    static QString of(Document& doc);
};
