#include "frmedit.h"

#include "codecs.h"
#include "editorstate.h"
#include "fieldedit.h"
#include "grid.h"
#include "okmessagebox.h"
#include "spinbuttons.h"
#include "twips.h"
#include "uifont.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

struct Place
{
    int left;
    int top;
    int width;
};

struct BoxSpec
{
    const char16_t* caption;
    Place label;
    Place box;
    // How many characters the user can type.
    int maxLength;
    // Top of the spin buttons' range; 0 for a box without them.
    int spinMax;
    // A number above this becomes this when the box is left; 0 for the boxes that are not numbers.
    int limit;
    // What an empty box becomes when it is left.
    const char16_t* emptyFill;
};

// Positions in twips, in the focus order.
constexpr std::array<BoxSpec, frmEdit::BoxCount> Boxes = {{
    {u"名前", {120, 165, 360}, {720, 120, 1455}, 12, 0, 0, u"000000000000"},    // NameCode
    {u"ルビ", {120, 525, 330}, {720, 480, 1455}, 8, 0, 0, u"00000000"},         // Reading
    {u"武力 (0-255)", {120, 885, 990}, {1320, 840, 855}, 3, 255, 255, u"0"},    // War
    {u"陸指 (0-255)", {120, 1245, 990}, {1320, 1200, 855}, 3, 255, 255, u"0"},  // LandCommand
    {u"水指 (0-255)", {120, 1605, 990}, {1320, 1560, 855}, 3, 255, 255, u"0"},  // NavalCommand
    {u"知力 (0-255)", {120, 1965, 990}, {1320, 1920, 855}, 3, 255, 255, u"0"},  // Intelligence
    {u"政治 (0-255)", {120, 2325, 990}, {1320, 2280, 855}, 3, 255, 255, u"0"},  // Politics
    {u"魅力 (0-255)", {120, 2685, 990}, {1320, 2640, 855}, 3, 255, 255, u"0"},  // Charisma
    {u"野望 (0-15)", {2640, 165, 900}, {3840, 120, 855}, 2, 15, 15, u"0"},      // Ambition
    {u"運    (0-15)", {2640, 525, 900}, {3840, 480, 855}, 2, 15, 15, u"0"},     // Luck
    {u"冷静 (0-15)", {2640, 885, 900}, {3840, 840, 855}, 2, 15, 15, u"0"},      // Calmness
    {u"勇猛 (0-15)", {2640, 1245, 900}, {3840, 1200, 855}, 2, 15, 15, u"0"},    // Bravery
    {u"生年 (0-255)", {2640, 1605, 990}, {3840, 1560, 855}, 3, 255, 255, u"0"}, // BirthYear
    {u"寿命 (0-8)", {2640, 1965, 810}, {3840, 1920, 855}, 1, 8, 8, u"0"},       // Lifespan
    {u"相性 (0-150)", {2640, 2325, 990}, {3840, 2280, 855}, 3, 150, 150, u"0"}, // Compatibility
    {u"義理 (0-100)", {2640, 2685, 990}, {3840, 2640, 855}, 3, 100, 100, u"0"}, // Duty
    {u"血縁 (0-11)", {5160, 165, 900}, {6360, 120, 855}, 3, 11, 255, u"255"},   // Kinship
    {u"顔グラ", {5160, 525, 495}, {6360, 480, 855}, 4, 0, 0, u"0000"},          // FaceGraphic
}};

constexpr int LabelHeight = 180;
constexpr int BoxHeight = 270;
constexpr int ClientWidth = 7335;
constexpr int ClientHeight = 3495;
constexpr int ButtonTop = 3120;
constexpr int ButtonWidth = 1575;
constexpr int ButtonHeight = 270;
constexpr std::array<int, 2> ButtonLeft = {1920, 3840};

constexpr int NameBox = 0;
constexpr int ReadingBox = 1;
constexpr int KinshipBox = 16;
constexpr int FaceBox = 17;
constexpr int NameLength = 12;
constexpr int FaceLength = 4;

// Grows a label that its caption does not fit, keeping its left edge and vertical centre, so no font
// cuts a caption short.
QRect fitted(const QRect& rect, const QSize& hint)
{
    QRect out = rect;
    out.setWidth(std::max(rect.width(), hint.width()));
    const int height = std::max(rect.height(), hint.height());
    out.setTop(rect.center().y() - (height - 1) / 2);
    out.setHeight(height);
    return out;
}

} // namespace

frmEdit::frmEdit(Grid& officerGrid, QWidget* parent) : QDialog(parent), m_grid(officerGrid), m_row(officerGrid.row())
{
    setWindowTitle(u"武将編集"_s);
    setFont(UiFont::grid());

    for (int k = 0; k < BoxCount; ++k) {
        const BoxSpec& field = Boxes[k];
        m_lb[k] = new QLabel(QString::fromUtf16(field.caption), this);
        m_lb[k]->setGeometry(
            fitted(twipsRect(field.label.left, field.label.top, field.label.width, LabelHeight), m_lb[k]->sizeHint()));

        m_txt[k] = new FieldEdit(this);
        m_txt[k]->setTypingLimit(field.maxLength);
        m_txt[k]->setGeometry(twipsRect(field.box.left, field.box.top, field.box.width, BoxHeight));
        m_txt[k]->installEventFilter(this);
    }
    // Codes are hex digits: an input method has nothing to compose there.
    for (const int k : {NameBox, FaceBox}) {
        m_txt[k]->setAttribute(Qt::WA_InputMethodEnabled, false);
        m_txt[k]->setInputMethodHints(Qt::ImhLatinOnly);
    }
    m_txt[ReadingBox]->setHalfWidthKana(true);
    m_txt[KinshipBox]->setToolTip(
        u"0=曹､01=劉､02=孫､03=紹､04=術､05=馬､06=焉､07=表､08=董､09=公孫､10=魯､11=孟、255=なし"_s);

    const std::array<QString, 2> captions = {u"OK"_s, u"Cancel"_s};
    for (int i = 0; i < 2; ++i) {
        m_cmd[i] = new QPushButton(captions[i], this);
        m_cmd[i]->setGeometry(twipsRect(ButtonLeft[i], ButtonTop, ButtonWidth, ButtonHeight));
        connect(m_cmd[i], &QPushButton::clicked, this, [this, i] { cmdClick(i); });
    }
    m_cmd[0]->setDefault(true);

    formLoad();

    QWidget* previous = m_txt[0];
    for (int k = 1; k < BoxCount; ++k) {
        setTabOrder(previous, m_txt[k]);
        previous = m_txt[k];
    }
    setTabOrder(previous, m_cmd[0]);
    setTabOrder(m_cmd[0], m_cmd[1]);

    const QRect client = twipsRect(0, 0, ClientWidth, ClientHeight);
    setFixedSize(client.size());
}

QRect frmEdit::twipsRect(int left, int top, int width, int height) const
{
    // Edges are converted rather than sizes, so neighbours that touch in twips touch in pixels.
    return QRect(QPoint(twips::toPixelsX(left, *this), twips::toPixelsY(top, *this)),
                 QPoint(twips::toPixelsX(left + width, *this) - 1, twips::toPixelsY(top + height, *this) - 1));
}

void frmEdit::formLoad()
{
    for (int k = 0; k < BoxCount; ++k) {
        const BoxSpec& field = Boxes[k];
        if (field.spinMax > 0) {
            m_txt[k]->setDigitsOnly(true);
            m_spin[k] = new SpinButtons(*m_txt[k], field.spinMax, this);
            m_spin[k]->placeInBuddy();
        }
    }
    // The spin buttons exist first, so the boxes end up showing the grid's texts.
    for (int k = 0; k < BoxCount; ++k) {
        QString text = m_grid.text(m_row, FirstColumn + k);
        // A reading shorter than eight bytes is padded with NUL characters; they are invisible but
        // would use up the typing limit, and storing pads the reading with zero bytes again anyway.
        if (k == ReadingBox) {
            while (text.endsWith(QChar(0)))
                text.chop(1);
        }
        m_txt[k]->setText(text);
    }
}

bool frmEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        for (int k = 0; k < BoxCount; ++k) {
            if (watched != m_txt[k])
                continue;
            // Only a move to another control of this dialog counts as leaving the box: switching to
            // another window, a pop-up menu or the message box keeps the box as the user left it.
            const QWidget* next = QApplication::focusWidget();
            if (next && next != m_txt[k] && next->window() == this)
                txtValidate(k);
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmEdit::txtValidate(int index)
{
    const BoxSpec& field = Boxes[index];
    FieldEdit* box = m_txt[index];
    // Pasting can put anything into a digits-only box; text that is not a number counts as empty.
    const bool empty = box->text().isEmpty() || (box->digitsOnly() && !box->digitValue());
    if (empty) {
        box->setText(QString::fromUtf16(field.emptyFill));
        return;
    }
    if (field.limit > 0 && *box->digitValue() > field.limit)
        box->setText(QString::number(field.limit));
}

void frmEdit::cmdClick(int index)
{
    if (index != 0) {
        reject();
        return;
    }
    // Enter reaches "OK" without the focus leaving the box, so its leaving rule runs here; the row
    // store that follows the dialog then finds a number in every numeric column.
    for (int k = 0; k < BoxCount; ++k) {
        if (focusWidget() == m_txt[k])
            txtValidate(k);
    }
    const QString problem = codeProblem();
    if (!problem.isEmpty()) {
        showMessage(problem);
        return;
    }
    for (int k = 0; k < BoxCount; ++k)
        m_grid.setText(m_row, FirstColumn + k, m_txt[k]->text());
    accept();
}

QString frmEdit::codeProblem() const
{
    const QString name = m_txt[NameBox]->text();
    if (name.size() != NameLength)
        return u"名前は12桁の16進数で入力してください"_s;
    if (!codecs::IsHexText(name))
        return u"名前は16進数で入力してください"_s;
    const QString face = m_txt[FaceBox]->text();
    if (face.size() != FaceLength)
        return u"顔グラは4桁の16進数で入力してください"_s;
    if (!codecs::IsHexText(face))
        return u"顔グラは16進数で入力してください"_s;
    return {};
}

void frmEdit::showMessage(const QString& text)
{
    OkMessageBox::show(this, EditorState::applicationTitle(), text);
}
