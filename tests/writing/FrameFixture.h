#pragma once

#include "core/LaunchFields.h"
#include "writing/TfmeEditor.h"

#include <QApplication>
#include <QLineEdit>
#include <QStringList>

#include <memory>

// A writing frame set up from launch fields, shown at its design size, with the main
// window's title box beside it.
struct FrameFixture {
    // "S001", student, password, load existing, lecture key, essay address, editable,
    // title, paper fixed, paper ("0" manuscript); a discussion address after them if given.
    static QStringList fields(const QString& loadExisting = "0", const QString& address = "",
                              const QString& editable = "1", const QString& paperFixed = "0",
                              const QString& paper = "0")
    {
        return {"S001", "st01", "pw", loadExisting, "", address, editable, "우리 동네 도서관", paperFixed, paper};
    }

    explicit FrameFixture(const QStringList& launch = fields())
    {
        editor->resize(820, 565);
        editor->show();
        editor->SetupStudentRun(LaunchFields(launch), &title);
        QApplication::processEvents();
    }

    QLineEdit title;
    std::unique_ptr<TfmeEditor> editor = std::make_unique<TfmeEditor>(nullptr);
};
