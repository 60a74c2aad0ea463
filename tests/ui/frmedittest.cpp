#include "document.h"
#include "documentcontent.h"
#include "editorstate.h"
#include "fieldedit.h"
#include "frmedit.h"
#include "grid.h"
#include "officertable.h"
#include "sampleimage.h"
#include "spinbuttons.h"
#include "testregistry.h"
#include "twips.h"
#include "uifont.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <array>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString NameLengthMessage = u"名前は12桁の16進数で入力してください"_s;
const QString NameHexMessage = u"名前は16進数で入力してください"_s;
const QString FaceLengthMessage = u"顔グラは4桁の16進数で入力してください"_s;
const QString FaceHexMessage = u"顔グラは16進数で入力してください"_s;

constexpr int Row = 2;
constexpr int War = 2, Ambition = 8, BirthYear = 12, Lifespan = 13, Compatibility = 14, Duty = 15, Kinship = 16;
constexpr int Name = 0, Reading = 1, Face = 17;

// Three officers; the middle one is the current row. Its reading carries the NUL padding a fill gives.
std::unique_ptr<Grid> makeGrid()
{
    auto grid = std::make_unique<Grid>();
    grid->setRows(4);
    grid->setCols(20);
    for (int r = 1; r < 4; ++r) {
        QStringList cells = u"No 0A1B2C3D4E5F reading 95 80 70 60 50 40 12 3 9 14 year 6 75 45 2 1A2B 将"_s.split(u' ');
        cells[0] = QString::number(r * 5);
        cells[2] = u"ｿｳｿｳ"_s + QString(4, QChar(0));
        cells[13] = QString::number(150 + r);
        for (int c = 0; c < 20; ++c)
            grid->setText(r, c, cells[c]);
    }
    grid->setCurrentCell(Row, 3);
    return grid;
}

struct Shown
{
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};

// Runs `action` and answers every message box it raises with its OK button, recording what it showed.
QList<Shown> answerMessages(const std::function<void()>& action)
{
    QList<Shown> shown;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown.append({box->windowTitle(), box->text(), box->standardButtons()});
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->done(0);
    });
    timer.start();
    action();
    timer.stop();
    return shown;
}

} // namespace

class FrmEditTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Grid> m_grid;
    std::unique_ptr<frmEdit> m_dialog;

    frmEdit& open(Grid& grid)
    {
        m_dialog = std::make_unique<frmEdit>(grid);
        m_dialog->show();
        QApplication::setActiveWindow(m_dialog.get());
        [&] { QVERIFY(QTest::qWaitForWindowActive(m_dialog.get())); }();
        return *m_dialog;
    }
    frmEdit& open()
    {
        m_grid = makeGrid();
        return open(*m_grid);
    }
    // Clicks into the box, selects everything and types over it, as a user would.
    static void typeOver(FieldEdit* box, const QString& typed)
    {
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        type(box, typed);
    }
    // Keys for ASCII; anything else arrives as an input method would commit it.
    static void type(FieldEdit* box, const QString& typed)
    {
        for (const QChar c : typed) {
            if (c.unicode() < 0x80) {
                QTest::keyClicks(box, QString(c));
                continue;
            }
            QInputMethodEvent event;
            event.setCommitString(c);
            QApplication::sendEvent(box, &event);
        }
    }

private Q_SLOTS:
    void cleanup()
    {
        m_dialog.reset();
        m_grid.reset();
    }

    void layout_followsTwipsAtLogicalDpi()
    {
        frmEdit& dialog = open();
        const auto px = [&](int length) { return twips::toPixelsX(length, dialog); };
        const auto py = [&](int length) { return twips::toPixelsY(length, dialog); };
        QCOMPARE(dialog.windowTitle(), u"武将編集"_s);
        QCOMPARE(dialog.size(), QSize(px(7335), py(3495)));
        QCOMPARE(dialog.box(Name)->geometry().topLeft(), QPoint(px(720), py(120)));
        QCOMPARE(dialog.box(Name)->width(), px(720 + 1455) - px(720));
        QCOMPARE(dialog.box(Kinship)->geometry().topLeft(), QPoint(px(6360), py(120)));
        QCOMPARE(dialog.button(0)->geometry(), QRect(QPoint(px(1920), py(3120)), QPoint(px(3495) - 1, py(3390) - 1)));
        QCOMPARE(dialog.button(1)->geometry().left(), px(3840));
        QCOMPARE(dialog.label(9)->text(), u"運    (0-15)"_s);
        QCOMPARE(dialog.box(Kinship)->toolTip(),
                 u"0=曹､01=劉､02=孫､03=紹､04=術､05=馬､06=焉､07=表､08=董､09=公孫､10=魯､11=孟、255=なし"_s);
        QCOMPARE(dialog.font().family(), UiFont::familyName());
#ifdef Q_OS_WIN
        // Without fonts every caption is measured in boxes of one width, which says nothing of its fit.
        if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
            QSKIP("the offscreen platform on Windows lists no Japanese fonts to measure the captions with");
#endif
        for (int k = 0; k < frmEdit::BoxCount; ++k) {
            const QLabel* label = dialog.label(k);
            const QRect box = dialog.box(k)->geometry();
            // Readable: the caption fits its label, the label stays clear of its box and shares its row.
            QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->text()),
                     qPrintable(label->text()));
            QVERIFY2(label->geometry().right() < box.left(), qPrintable(label->text()));
            QVERIFY(label->geometry().center().y() >= box.top() && label->geometry().center().y() <= box.bottom());
        }
        const QString grabDir = qEnvironmentVariable("TAVRIN_GRAB_DIR");
        if (!grabDir.isEmpty())
            QVERIFY(dialog.grab().save(grabDir + u"/frmedit.png"_s));
    }

    void spinButtons_sitInsideRightEdgeOfTheirBox()
    {
        frmEdit& dialog = open();
        const std::array<int, frmEdit::BoxCount> maxima = {0,  0,  255, 255, 255, 255, 255, 255, 15,
                                                           15, 15, 15,  255, 8,   150, 100, 11,  0};
        for (int k = 0; k < frmEdit::BoxCount; ++k) {
            const SpinButtons* spin = dialog.spinButtons(k);
            QCOMPARE(spin ? spin->maximum() : 0, maxima[k]);
            if (!spin)
                continue;
            const QRect box = dialog.box(k)->geometry();
            QCOMPARE(spin->geometry().left(), box.right() + 1);
            QCOMPARE(spin->geometry().top(), box.top());
            QCOMPARE(spin->height(), box.height());
            QVERIFY(box.width() > spin->width());
        }
        // The box and its buttons together fill the box's place.
        QCOMPARE(dialog.spinButtons(Duty)->geometry().right(), twips::toPixelsX(3840 + 855, dialog) - 1);
        QCOMPARE(dialog.box(Face)->geometry().right(), twips::toPixelsX(6360 + 855, dialog) - 1);
    }

    void load_showsRowWithoutReadingPadding()
    {
        frmEdit& dialog = open();
        for (int k = 0; k < frmEdit::BoxCount; ++k) {
            const QString cell = m_grid->text(Row, k + 1);
            QCOMPARE(dialog.box(k)->text(), k == Reading ? u"ｿｳｿｳ"_s : cell);
        }
    }

    void okChecks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::newRow("11-char name") << u"0A1B2C3D4E5"_s << u"1A2B"_s << NameLengthMessage;
        QTest::newRow("13-char name") << u"0A1B2C3D4E5F6"_s << u"1A2B"_s << NameLengthMessage;
        QTest::newRow("G in name") << u"0A1B2C3D4E5G"_s << u"1A2B"_s << NameHexMessage;
        QTest::newRow("full-width digit in name") << u"０A1B2C3D4E5F"_s << u"1A2B"_s << NameHexMessage;
        QTest::newRow("3-char face") << u"0A1B2C3D4E5F"_s << u"1A2"_s << FaceLengthMessage;
        QTest::newRow("5-char face") << u"0A1B2C3D4E5F"_s << u"1A2B3"_s << FaceLengthMessage;
        QTest::newRow("Z in face") << u"0A1B2C3D4E5F"_s << u"1A2Z"_s << FaceHexMessage;
        QTest::newRow("only the first failure") << u"XYZ"_s << u"Z"_s << NameLengthMessage;
        QTest::newRow("mixed case passes") << u"0a0B0c0D0e0F"_s << u"00FF"_s << QString();
    }

    void okChecks()
    {
        QFETCH(QString, name);
        QFETCH(QString, face);
        QFETCH(QString, message);
        m_grid = makeGrid();
        m_grid->setText(Row, 1, name);
        m_grid->setText(Row, 18, face);
        const QStringList before = rowTexts(*m_grid, Row);
        frmEdit& dialog = open(*m_grid);
        QSignalSpy accepted(&dialog, &QDialog::accepted);

        const QList<Shown> shown = answerMessages([&] { QTest::mouseClick(dialog.button(0), Qt::LeftButton); });

        if (message.isEmpty()) {
            QVERIFY(shown.isEmpty());
            QCOMPARE(accepted.count(), 1);
            QCOMPARE(m_grid->text(Row, 1), name);
            QCOMPARE(m_grid->text(Row, 18), face);
            return;
        }
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, message);
        QCOMPARE(shown[0].title, EditorState::applicationTitle());
        QCOMPARE(shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(dialog.isVisible());
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(dialog.box(Name)->text(), name);
        QCOMPARE(dialog.box(Face)->text(), face);
        QCOMPARE(rowTexts(*m_grid, Row), before);
    }

    void leavingRule_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("left"); // the box's text once the focus has moved on
        QTest::newRow("kinship emptied") << Kinship << QString() << u"255"_s;
        QTest::newRow("lifespan emptied") << Lifespan << QString() << u"0"_s;
        QTest::newRow("war emptied") << War << QString() << u"0"_s;
        QTest::newRow("name emptied") << Name << QString() << u"000000000000"_s;
        QTest::newRow("reading emptied") << Reading << QString() << u"00000000"_s;
        QTest::newRow("face emptied") << Face << QString() << u"0000"_s;
        QTest::newRow("lifespan 9") << Lifespan << u"9"_s << u"8"_s;
        QTest::newRow("lifespan takes one digit") << Lifespan << u"12"_s << u"1"_s;
        QTest::newRow("ambition 99") << Ambition << u"99"_s << u"15"_s;
        QTest::newRow("kinship 200 stays") << Kinship << u"200"_s << u"200"_s;
        QTest::newRow("kinship 300") << Kinship << u"300"_s << u"255"_s;
        QTest::newRow("war 256") << War << u"256"_s << u"255"_s;
        QTest::newRow("war takes three digits") << War << u"2999"_s << u"255"_s;
        QTest::newRow("war keeps leading zeros") << War << u"007"_s << u"007"_s;
        QTest::newRow("war refuses typed letters") << War << u"a1-b2"_s << u"12"_s;
        QTest::newRow("compatibility 151") << Compatibility << u"151"_s << u"150"_s;
        QTest::newRow("duty 101") << Duty << u"101"_s << u"100"_s;
        QTest::newRow("face is not capped") << Face << u"1"_s << u"1"_s;
        QTest::newRow("reading typed full-width") << Reading << u"ソウソウ"_s << u"ｿｳｿｳ"_s;
        QTest::newRow("reading takes eight") << Reading << u"ガンネイガガ"_s << u"ｶﾞﾝﾈｲｶﾞｶ"_s;
        QTest::newRow("name takes twelve") << Name << u"0123456789ABCDEF"_s << u"0123456789AB"_s;
    }

    void leavingRule()
    {
        QFETCH(int, index);
        QFETCH(QString, typed);
        QFETCH(QString, left);
        frmEdit& dialog = open();
        typeOver(dialog.box(index), typed);
        QTest::keyClick(dialog.box(index), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(),
                 index == Face ? static_cast<QWidget*>(dialog.button(0)) : dialog.box(index + 1));
        QCOMPARE(dialog.box(index)->text(), left);
    }

    void emptiedName_getsTwelveZerosThatPass()
    {
        frmEdit& dialog = open();
        typeOver(dialog.box(Name), QString());
        const QList<Shown> shown = answerMessages([&] { QTest::mouseClick(dialog.button(0), Qt::LeftButton); });
        QVERIFY(shown.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(m_grid->text(Row, 1), u"000000000000"_s);
    }

    void pasted_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("left");
        QTest::newRow("letters in war") << War << u"abc"_s << u"abc"_s << u"0"_s;
        QTest::newRow("negative war") << War << u"-3"_s << u"-3"_s << u"0"_s;
        QTest::newRow("fraction in war") << War << u"1.5"_s << u"1.5"_s << u"0"_s;
        QTest::newRow("letters in kinship") << Kinship << u"x"_s << u"x"_s << u"255"_s;
        QTest::newRow("long number in war") << War << u"99999"_s << u"999"_s << u"255"_s;
        QTest::newRow("full-width reading") << Reading << u"ソウソウ"_s << u"ｿｳｿｳ"_s << u"ｿｳｿｳ"_s;
        QTest::newRow("voiced reading past limit") << Reading << u"ガガガガガ"_s << u"ｶﾞｶﾞｶﾞｶﾞ"_s << u"ｶﾞｶﾞｶﾞｶﾞ"_s;
    }

    void pasted()
    {
        QFETCH(int, index);
        QFETCH(QString, clip);
        QFETCH(QString, pasted);
        QFETCH(QString, left);
        frmEdit& dialog = open();
        QApplication::clipboard()->setText(clip);
        typeOver(dialog.box(index), QString());
        QTest::keyClick(dialog.box(index), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(dialog.box(index)->text(), pasted);
        QTest::keyClick(dialog.box(index), Qt::Key_Tab);
        QCOMPARE(dialog.box(index)->text(), left);
    }

    void overlongCell_isShownWholeAndNeverTypedLonger()
    {
        m_grid = makeGrid();
        m_grid->setText(Row, 14, u"15"_s);
        frmEdit& dialog = open(*m_grid);
        FieldEdit* box = dialog.box(Lifespan);
        QCOMPARE(box->text(), u"15"_s);
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_3);
        QCOMPARE(box->text(), u"15"_s);
        const QList<Shown> shown = answerMessages([&] { QTest::keyClick(box, Qt::Key_Return); });
        QVERIFY(shown.isEmpty());
        QCOMPARE(m_grid->text(Row, 14), u"8"_s);
    }

    void spinButtons_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("step"); // clicks on the up (+) or down (-) button
        QTest::addColumn<QString>("result");
        QTest::newRow("duty stops at 100") << Duty << u"98"_s << 3 << u"100"_s;
        QTest::newRow("duty stops at 0") << Duty << u"1"_s << -3 << u"0"_s;
        QTest::newRow("empty counts from 0 up") << Duty << QString() << 1 << u"1"_s;
        QTest::newRow("empty counts from 0 down") << Duty << QString() << -1 << u"0"_s;
        QTest::newRow("kinship above range up") << Kinship << u"200"_s << 1 << u"11"_s;
        QTest::newRow("kinship above range down") << Kinship << u"200"_s << -1 << u"11"_s;
        QTest::newRow("lifespan stops at 8") << Lifespan << u"7"_s << 2 << u"8"_s;
        QTest::newRow("leading zeros") << War << u"007"_s << 1 << u"8"_s;
    }

    void spinButtons()
    {
        QFETCH(int, index);
        QFETCH(QString, start);
        QFETCH(int, step);
        QFETCH(QString, result);
        frmEdit& dialog = open();
        typeOver(dialog.box(index), start);
        QToolButton* button =
            step > 0 ? dialog.spinButtons(index)->upButton() : dialog.spinButtons(index)->downButton();
        for (int i = 0; i < std::abs(step); ++i)
            QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(dialog.box(index)->text(), result);
        // The buttons take no focus, so no leaving rule ran on the way.
        QCOMPARE(QApplication::focusWidget(), dialog.box(index));
    }

    void arrowKeys_doNotStep_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("up") << int(Qt::Key_Up);
        QTest::newRow("down") << int(Qt::Key_Down);
        QTest::newRow("page up") << int(Qt::Key_PageUp);
        QTest::newRow("page down") << int(Qt::Key_PageDown);
    }

    void arrowKeys_doNotStep()
    {
        QFETCH(int, key);
        frmEdit& dialog = open();
        QTest::mouseClick(dialog.box(Duty), Qt::LeftButton);
        QTest::keyClick(dialog.box(Duty), Qt::Key(key));
        QCOMPARE(dialog.box(Duty)->text(), u"45"_s);
        QCOMPARE(QApplication::focusWidget(), dialog.box(Duty));
    }

    void closing_leavesGridAsItWas_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << u"cancel"_s;
        QTest::newRow("Escape") << u"escape"_s;
        QTest::newRow("close box") << u"close"_s;
    }

    void closing_leavesGridAsItWas()
    {
        QFETCH(QString, how);
        frmEdit& dialog = open();
        QList<QStringList> before;
        for (int r = 0; r < m_grid->rows(); ++r)
            before << rowTexts(*m_grid, r);
        typeOver(dialog.box(War), u"1"_s);
        typeOver(dialog.box(Name), QString());
        typeOver(dialog.box(Kinship), QString());
        QTest::mouseClick(dialog.spinButtons(Duty)->upButton(), Qt::LeftButton);
        if (how == u"cancel"_s)
            QTest::mouseClick(dialog.button(1), Qt::LeftButton);
        else if (how == u"escape"_s)
            QTest::keyClick(dialog.box(Kinship), Qt::Key_Escape);
        else
            QVERIFY(dialog.close());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        for (int r = 0; r < m_grid->rows(); ++r)
            QCOMPARE(rowTexts(*m_grid, r), before[r]);
    }

    void ok_writesEveryBoxIntoItsColumnInTabOrder()
    {
        frmEdit& dialog = open();
        const QStringList otherRow = rowTexts(*m_grid, 1);
        const QStringList typed = {
            u"FFEEDDCCBBAA"_s, u"ｱｲｳ"_s, u"1"_s, u"2"_s,  u"3"_s,  u"4"_s,   u"5"_s,   u"6"_s, u"7"_s, u"8"_s, u"9"_s,
            u"10"_s,           u"11"_s,  u"5"_s, u"13"_s, u"14"_s, u"255"_s, u"abcd"_s};
        QTest::mouseClick(dialog.box(Name), Qt::LeftButton);
        for (int k = 0; k < frmEdit::BoxCount; ++k) {
            QCOMPARE(QApplication::focusWidget(), dialog.box(k));
            QTest::keyClick(dialog.box(k), Qt::Key_A, Qt::ControlModifier);
            type(dialog.box(k), typed[k]);
            QTest::keyClick(dialog.box(k), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), dialog.button(0));
        QTest::keyClick(dialog.button(0), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dialog.button(1));
        const QList<Shown> shown = answerMessages([&] { QTest::mouseClick(dialog.button(0), Qt::LeftButton); });
        QVERIFY2(shown.isEmpty(), shown.isEmpty() ? "" : qPrintable(shown.first().text));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(m_grid->text(Row, 0), u"10"_s);
        for (int k = 0; k < frmEdit::BoxCount; ++k)
            QCOMPARE(m_grid->text(Row, k + 1), typed[k]);
        QCOMPARE(m_grid->text(Row, 19), u"将"_s);
        QCOMPARE(rowTexts(*m_grid, 1), otherRow);
    }

    void enter_appliesCurrentBoxRuleThenOk_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("cell");
        QTest::newRow("lifespan 9") << Lifespan << u"9"_s << u"8"_s;
        QTest::newRow("ambition 99") << Ambition << u"99"_s << u"15"_s;
        QTest::newRow("kinship emptied") << Kinship << QString() << u"255"_s;
        QTest::newRow("name emptied") << Name << QString() << u"000000000000"_s;
    }

    void enter_appliesCurrentBoxRuleThenOk()
    {
        QFETCH(int, index);
        QFETCH(QString, typed);
        QFETCH(QString, cell);
        frmEdit& dialog = open();
        typeOver(dialog.box(index), typed);
        const QList<Shown> shown = answerMessages([&] { QTest::keyClick(dialog.box(index), Qt::Key_Return); });
        QVERIFY(shown.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(m_grid->text(Row, index + 1), cell);
    }

    void enter_withBadFaceKeepsDialogOpen()
    {
        frmEdit& dialog = open();
        typeOver(dialog.box(Face), u"12G4"_s);
        const QList<Shown> shown = answerMessages([&] { QTest::keyClick(dialog.box(Face), Qt::Key_Enter); });
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, FaceHexMessage);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.box(Face)->text(), u"12G4"_s);
        QCOMPARE(m_grid->text(Row, 18), u"1A2B"_s);
    }

    void leavingRule_waitsWhileFocusIsInAnotherWindow()
    {
        frmEdit& dialog = open();
        typeOver(dialog.box(War), QString());
        QWidget other;
        other.show();
        QApplication::setActiveWindow(&other);
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QCOMPARE(dialog.box(War)->text(), QString());
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), dialog.box(War));
        QTest::keyClick(dialog.box(War), Qt::Key_Tab);
        QCOMPARE(dialog.box(War)->text(), u"0"_s);
    }

    void sampleRecord_keepsItsBytesThroughOkAndRowStore_data()
    {
        QTest::addColumn<int>("record");
        QTest::newRow("short reading") << 0;
        QTest::newRow("ascii reading") << 12;
        QTest::newRow("unmapped reading byte") << 20;
        QTest::newRow("eight-character reading") << 24;
    }

    void sampleRecord_keepsItsBytesThroughOkAndRowStore()
    {
        QFETCH(int, record);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"sample.smc"_s);
        QVERIFY(SampleImage::write(path));
        Document document;
        document.setUpGrids();
        document.setNameListPath(dir.filePath(u"b.txt"_s));
        QVERIFY(document.open(path).isDone());
        Grid& grid = document.grid(TableId::Officer);
        grid.setCurrentCell(record + 1, 1);
        QCOMPARE(grid.text(record + 1, 0), QString::number(record));
        const QByteArray& block = document.state().block(BlockId::Officer);
        const QByteArray before = block.mid(record * OfficerTable::RecordSize, OfficerTable::RecordSize);
        QStringList cells;
        for (int c = 0; c < grid.cols(); ++c)
            cells << grid.text(record + 1, c);

        frmEdit& dialog = open(grid);
        const QList<Shown> shown = answerMessages([&] { QTest::mouseClick(dialog.button(0), Qt::LeftButton); });
        QVERIFY2(shown.isEmpty(), shown.isEmpty() ? "" : qPrintable(shown.first().text));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        document.officers().storeRow();

        // Byte 4's lower half, which no box shows, too; and the cells show the fill's texts again.
        QCOMPARE(block.mid(record * OfficerTable::RecordSize, OfficerTable::RecordSize).toHex(), before.toHex());
        for (int c = 0; c < grid.cols(); ++c)
            QCOMPARE(grid.text(record + 1, c), cells.at(c));
    }
};

TAVRIN_TEST(FrmEditTest)
#include "frmedittest.moc"
