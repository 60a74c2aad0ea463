#pragma once

#include <QLineEdit>

#include <optional>

// A single-line box whose length limit, digits-only mode and half-width kana mode shape what the user
// enters, never the text the program puts in: a value read from a grid cell is shown whole even when
// it is longer than the box lets the user type.
class FieldEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit FieldEdit(QWidget* parent = nullptr);

    int typingLimit() const { return m_limit; }
    // The longest text the user can produce by typing, pasting or dropping; 0 means no limit.
    void setTypingLimit(int limit) { m_limit = limit; }

    bool digitsOnly() const { return m_digitsOnly; }
    // Refuses typed characters other than 0-9; pasted text is let through for the owner to judge.
    void setDigitsOnly(bool on);

    bool halfWidthKana() const { return m_halfWidthKana; }
    // Turns what the user enters into its half-width form (full-width kana and ASCII), as an input
    // method held in half-width katakana mode would have typed it.
    void setHalfWidthKana(bool on) { m_halfWidthKana = on; }

    // The text as a whole number when it is one or more ASCII digits and nothing else; very long digit
    // runs saturate rather than overflow.
    std::optional<qint64> digitValue() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void adjustUserEdit(const QString& edited);

    int m_limit = 0;
    bool m_digitsOnly = false;
    bool m_halfWidthKana = false;
    // The text before the latest change, to tell what the user's edit inserted.
    QString m_before;
};
