#include "savechangesquestion.h"

#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

QString SaveChangesQuestion::text()
{
    return u"変更を保存しますか？"_s;
}

SaveChangesQuestion::Answer SaveChangesQuestion::ask(QWidget* owner, const QString& title)
{
    QMessageBox box(QMessageBox::Question, title, text(), QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    QPushButton* save = box.addButton(u"保存"_s, QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(u"保存しない"_s, QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(u"キャンセル"_s, QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return Answer::Save;
    if (box.clickedButton() == discard)
        return Answer::Discard;
    return Answer::Cancel;
}
