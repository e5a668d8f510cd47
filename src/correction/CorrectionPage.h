#pragma once

#include "board/DrawTool.h"
#include "correction/BoardHistory.h"
#include "document/CorrectionRecord.h"

#include <QFlags>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>

#include <functional>

// The board page being corrected: its index, its marks (the record's mark rows, in drawing
// order) and its comment (as the comment box holds it, lines separated by LF), and the teacher's
// operations on it with their rules. Each operation that changes the page is one step of
// the page's undo history; every page keeps its own history while others are shown.
// Views listen to `changed`; the session listens to `edited` for the modified flag.
class CorrectionPage : public QObject {
    Q_OBJECT
public:
    enum Change { MarksChanged = 1, CommentChanged = 2, PageTurned = 4 };
    Q_DECLARE_FLAGS(Changes, Change)

    // Width and height of one line of text, as the board measures it.
    using TextMeasure = std::function<QSize(const QString& line)>;

    explicit CorrectionPage(QObject* parent = nullptr) : QObject(parent) {}

    // -1 before the first page is shown.
    int index() const { return index_; }
    const QList<CorrectionRecord::MarkRow>& marks() const { return marks_; }
    const QString& comment() const { return comment_; }
    // The page as the record stores it.
    CorrectionRecord::Page stored() const;

    // Nothing may change: operations, undo and redo do nothing.
    void setLocked(bool locked) { locked_ = locked; }
    bool locked() const { return locked_; }

    // Shows page `index` as stored; its undo history stays where the page left it.
    void show(int index, const CorrectionRecord::Page& page);
    // A new correction: no page shown, no history.
    void reset();

    // A mark as the placing gesture from `start` to `end` describes it: at least 20 x 20
    // from the press point, a note 60 wider, "생" for dt21, and a number one more than the
    // largest number placed on the page since it was shown ("(0)" on an empty page); a
    // number also becomes the comment's last line. `key` is the mark's stamp. Gives the
    // mark's index, or -1 when the page is locked.
    int place(TDrawTool tool, QPoint start, QPoint end, qint32 key);
    // A moved or resized mark: its edges as they stand (they may cross).
    void setBounds(int index, qint32 left, qint32 top, qint32 right, qint32 bottom);
    void remove(int index);
    // The text dialog's result. A note or number with a text is sized to it, measured by
    // `measure`; one whose text is emptied keeps its size and counts as no edit.
    void setText(int index, const QString& text, const QString& point, const TextMeasure& measure);
    // The comment as the teacher typed it; no undo step (the comment box has its own).
    void setComment(const QString& comment);

    // Undo and redo the page's last step; false when there is none. A comment the step
    // changed comes back only while it still reads as the step left it.
    bool undo();
    bool redo();

    // Every page stands where it stood at the last saved point.
    bool atSaved() const { return history_.AtSaved(); }
    void markSaved() { history_.MarkSaved(); }

signals:
    void changed(CorrectionPage::Changes what);
    // The teacher changed the work through the page (also a move that moved nothing, which
    // counts as a change).
    void edited();

private:
    bool validIndex(int index) const { return index >= 0 && index < marks_.size(); }
    // Records the step from `marksBefore` / `commentBefore` to the page now and tells.
    void record(const QString& commentBefore, Changes what, bool counts);
    void showChange(const std::optional<BoardHistory::Change>& change);

    int index_ = -1;
    QList<CorrectionRecord::MarkRow> marks_;
    // The running number of each mark placed since the page was shown; 0 for the others.
    QList<qint32> numbers_;
    QString comment_;
    bool locked_ = false;
    BoardHistory history_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(CorrectionPage::Changes)
