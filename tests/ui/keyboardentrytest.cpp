#include "editorsession.h"
#include "tableidmetatype.h"
#include "testregistry.h"

using namespace Qt::StringLiterals;

// Which keys on a grid start typing into a cell: each grid starts on a cell that can be typed over,
// and keys held with Ctrl, Alt or Meta are shortcuts, never typing.
class KeyboardEntryTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachGrid_startsOnItsFirstEditableColumn_data()
    {
        QTest::addColumn<TableId>("id");
        QTest::addColumn<int>("col");
        QTest::newRow("officers") << TableId::Officer << 1;
        QTest::newRow("cities") << TableId::City << 2;
        QTest::newRow("items") << TableId::Item << 1;
        QTest::newRow("forces") << TableId::Force << 1;
        QTest::newRow("placement") << TableId::Placement << 2;
    }

    void eachGrid_startsOnItsFirstEditableColumn()
    {
        QFETCH(TableId, id);
        QFETCH(int, col);
        EditorSession session;
        QVERIFY(session.active);
        QCOMPARE(session.grid(id).row(), 1);
        QCOMPARE(session.grid(id).col(), col);
        // Enter right after the view switch opens the editor on that cell.
        session.main().editItemClicked(EditorSession::editIndexOf(id));
        EditorSession::press(Qt::Key_Return);
        QVERIFY(session.editor()->isVisible());
        EditorSession::press(Qt::Key_Escape);
    }

    void cityGrid_enterAndDigitsRightAfterTheSwitch_commit()
    {
        EditorSession session;
        QVERIFY(session.active);
        session.main().editItemClicked(2);
        EditorSession::type(u"5\r"_s);
        QCOMPARE(session.grid(TableId::City).text(1, 2), u"5"_s);
    }

    void modifiedDigit_opensNothingAndKeepsTheCaption_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("opens");
        QTest::newRow("plain") << int(Qt::NoModifier) << true;
        QTest::newRow("keypad") << int(Qt::KeypadModifier) << true;
        QTest::newRow("shift") << int(Qt::ShiftModifier) << true;
        QTest::newRow("ctrl") << int(Qt::ControlModifier) << false;
        QTest::newRow("alt") << int(Qt::AltModifier) << false;
        QTest::newRow("meta") << int(Qt::MetaModifier) << false;
        QTest::newRow("ctrl+shift") << int(Qt::ControlModifier | Qt::ShiftModifier) << false;
        // AltGr arrives as Ctrl+Alt on some systems, as a group switch on others: it types.
        QTest::newRow("ctrl+alt (AltGr)") << int(Qt::ControlModifier | Qt::AltModifier) << true;
        QTest::newRow("group switch (AltGr)") << int(Qt::GroupSwitchModifier) << true;
    }

    void modifiedDigit_opensNothingAndKeepsTheCaption()
    {
        QFETCH(int, modifiers);
        QFETCH(bool, opens);
        EditorSession session;
        QVERIFY(session.active);
        QVERIFY(session.save());
        const QString saved = session.caption();
        session.select(TableId::Officer, 2, 3);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_5, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(session.editor()->isVisible(), opens);
        QCOMPARE(session.caption() == saved, !opens);
    }
};

TAVRIN_TEST(KeyboardEntryTest)
#include "keyboardentrytest.moc"
