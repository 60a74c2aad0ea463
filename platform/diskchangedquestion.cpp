#include "diskchangedquestion.h"

#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

QString DiskChangedQuestion::text()
{
    return u"ファイルが他のプログラムで変更されています。上書きしますか？"_s;
}

DiskChangedQuestion::Answer DiskChangedQuestion::ask(QWidget* owner, const QString& title)
{
    QMessageBox box(QMessageBox::Warning, title, text(), QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    QPushButton* overwrite = box.addButton(u"上書き"_s, QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(u"キャンセル"_s, QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == overwrite ? Answer::Overwrite : Answer::Cancel;
}
