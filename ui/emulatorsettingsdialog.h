#pragma once

#include "emulatorsetting.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

// ファイル > "テストプレイの設定...": the emulator's program (typed, or chosen with 参照...) and its
// arguments, in which %1 stands for the image. OK needs a program.
class EmulatorSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    EmulatorSettingsDialog(const EmulatorSetting& setting, QWidget* parent = nullptr);

    EmulatorSetting setting() const;

    QLineEdit* programBox() const { return m_program; }
    QLineEdit* argumentsBox() const { return m_arguments; }
    QPushButton* okButton() const { return m_ok; }

private:
    void browse();

    QLineEdit* m_program = nullptr;
    QLineEdit* m_arguments = nullptr;
    QPushButton* m_ok = nullptr;
};
