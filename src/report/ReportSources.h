#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <utility>

class DataSet;

// What a report reads while it is prepared: the datasets its bands and expressions name,
// and the frame's answer for every [variable] it meets.
struct ReportSources {
    QList<std::pair<QString, DataSet*>> datasets;
    std::function<QString(const QString& variable)> variable;

    // By name, without regard to case; a name with no dataset raises an error.
    DataSet& dataset(const QString& name) const;
    QString valueOf(const QString& variable) const;  // raises when nobody answers
};
