#pragma once

#include "net/CourseAdditions.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Where a teacher run's lecture stands in its teacher's queue on the course server, and the
// launch of its neighbours (docs/additions.md, "Teacher's queue").
class EssayQueue {
public:
    enum class Direction { Previous, Next };

    struct Neighbour {
        QString key;
        QString title;
        QString student;
    };
    struct Place {
        int position = 0;  // from 1
        int count = 0;
        std::optional<Neighbour> previous;
        std::optional<Neighbour> next;
    };

    EssayQueue(QString lectureKey, QString token);

    // Nothing when the site offers no queue. Raises AppError when it refused or did not answer.
    std::optional<Place> place(bool all) const;
    // The correcting launch file of the neighbour, as the course page hands it out. Raises
    // AppError when there is none, or the site refused or did not answer.
    QByteArray launchOf(Direction direction, bool all) const;

private:
    CourseAdditions additions_;
};
