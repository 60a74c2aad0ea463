#include "imagetext.h"

#include "document.h"
#include "tableexport.h"
#include "tableformat.h"

#include <QStringList>

using namespace Qt::StringLiterals;

QString ImageText::of(Document& doc, const NameList& names)
{
    QString text;
    for (const TableId id : AllTables) {
        if (!text.isEmpty())
            text += u'\n';
        text += u'[' + TableFormat::of(id).name + u"]\n"_s;
        const QList<QStringList> rows = TableExport::rows(doc, id, &names);
        if (rows.isEmpty())
            continue;
        const QStringList& headers = rows.first();
        for (qsizetype r = 1; r < rows.size(); ++r) {
            QStringList cells;
            for (qsizetype c = 0; c < rows.at(r).size(); ++c)
                cells << headers.value(c) + u'=' + rows.at(r).at(c);
            text += cells.join(u'\t') + u'\n';
        }
    }
    return text;
}
