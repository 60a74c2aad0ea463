#include "recoveryquestion.h"

#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

QString RecoveryQuestion::text(int cells, const QDateTime& written, bool fileChangedSince)
{
    QString question = u"前回保存されなかった変更があります（%1 セル、%2）。復元しますか？"_s.arg(
        QString::number(cells), written.toLocalTime().toString(u"yyyy/MM/dd HH:mm"_s));
    if (fileChangedSince)
        question +=
            u"\n\nファイルはその後、他のプログラムで変更されています。復元すると、表の内容だけが置き換わります。"_s;
    return question;
}

RecoveryQuestion::Answer RecoveryQuestion::ask(QWidget* owner, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    QPushButton* restore = box.addButton(u"復元"_s, QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(u"破棄"_s, QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(u"キャンセル"_s, QMessageBox::RejectRole);
    box.setDefaultButton(restore);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == restore)
        return Answer::Restore;
    if (box.clickedButton() == discard)
        return Answer::Discard;
    return Answer::Cancel;
}
