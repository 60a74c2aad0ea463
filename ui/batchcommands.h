#pragma once

#include <QObject>

#include <optional>

class BatchPlan;
class EditSession;
class FindCommands;

// 編集 > 一括変更...: the find bar's 一括変更 box on the visible grid. Each edit of the box says on the
// bar what Enter would change, or why it cannot; Enter applies the change to the rows the filter shows
// as one undo step; Escape closes the bar and changes nothing.
class BatchCommands : public QObject
{
    Q_OBJECT

public:
    BatchCommands(EditSession& session, FindCommands& find);

    // Opens the bar with the keyboard in the 一括変更 box and says what its text would do.
    void open();
    // Says on the bar what the box's text would change in the visible grid.
    void preview();
    // Changes the visible grid's shown rows as the box's text says, as one undo step.
    void apply();

private:
    // The plan of the box's text over the visible grid; nullopt after showing why there is none.
    std::optional<BatchPlan> plan();

    EditSession& m_session;
    FindCommands& m_find;
};
