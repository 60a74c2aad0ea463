#include "emulatorsettingsdialog.h"

#include "filedialogs.h"
#include "uifont.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// Programs on Windows are .exe files; elsewhere any file may be one.
const QList<FileFilter> ProgramFilters{
#ifdef Q_OS_WIN
    {u"プログラム (*.exe)"_s, u"*.exe"_s},
#endif
    {u"すべてのファイル (*)"_s, u"*"_s},
};

} // namespace

EmulatorSettingsDialog::EmulatorSettingsDialog(const EmulatorSetting& setting, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(u"テストプレイの設定"_s);
    setFont(UiFont::grid());
    m_program = new QLineEdit(QDir::toNativeSeparators(setting.program), this);
    m_program->setObjectName(u"program"_s);
    m_program->setMinimumWidth(360);
    auto* browseButton = new QPushButton(u"参照(&B)..."_s, this);
    browseButton->setObjectName(u"browse"_s);
    connect(browseButton, &QPushButton::clicked, this, &EmulatorSettingsDialog::browse);
    auto* programRow = new QHBoxLayout;
    programRow->addWidget(m_program);
    programRow->addWidget(browseButton);

    m_arguments = new QLineEdit(setting.arguments, this);
    m_arguments->setObjectName(u"arguments"_s);
    auto* note = new QLabel(u"%1 はテストプレイ用のイメージのパスになります（空白を含んでも1つの引数です）。\n"
                            u"空白を含む引数は \"…\" で囲みます。%1 がなければ、パスを最後に付けます。"_s,
                            this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(u"OK"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"キャンセル"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A setting without a program would only bring the user back here at the next test play.
    const auto programChanged = [this] { m_ok->setEnabled(!m_program->text().trimmed().isEmpty()); };
    connect(m_program, &QLineEdit::textChanged, this, programChanged);
    programChanged();

    auto* layout = new QFormLayout(this);
    // The variable wins over whatever is chosen here; saying so keeps a choice from seeming ignored.
    if (const EmulatorCommand fromVariable = EmulatorSetting::fromEnvironment(); !fromVariable.isEmpty()) {
        auto* inEffect =
            new QLabel(u"環境変数 %1 が設定されているので、テストプレイはそのプログラム「%2」を起動します。\n"
                       u"ここで選ぶ設定は、この変数がないときに使われます。"_s.arg(
                           QString::fromLatin1(EmulatorSetting::EnvironmentVariable), fromVariable.program()),
                       this);
        inEffect->setObjectName(u"environmentNote"_s);
        layout->addRow(inEffect);
    }
    // A row given as a layout gets no buddy of its own, and without one the label shows its "&".
    auto* programLabel = new QLabel(u"エミュレーター(&E):"_s, this);
    programLabel->setBuddy(m_program);
    layout->addRow(programLabel, programRow);
    layout->addRow(u"引数(&A):"_s, m_arguments);
    layout->addRow(note);
    layout->addRow(buttons);
}

EmulatorSetting EmulatorSettingsDialog::setting() const
{
    EmulatorSetting setting;
    setting.program = m_program->text().trimmed();
    setting.arguments = m_arguments->text();
    return setting;
}

void EmulatorSettingsDialog::browse()
{
    const QString chosen = FileDialogs::showOpenDialog(this, u"エミュレーターを選択"_s, ProgramFilters);
    if (!chosen.isEmpty())
        m_program->setText(QDir::toNativeSeparators(chosen));
}
