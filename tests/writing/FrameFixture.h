#pragma once

#include "core/LaunchFields.h"
#include "document/ManuscriptGrid.h"
#include "ui/PictureButton.h"
#include "writing/ManuscriptView.h"
#include "writing/TSorEdit.h"
#include "writing/TfmeEditor.h"
#include "writing/WritingSession.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>

#include <memory>

// A writing frame set up from launch fields, shown at its design size, with the main
// window's title box beside it. Its widgets are found by their component names.
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

    template <typename T>
    T* widget(const char* name) const
    {
        T* found = editor->findChild<T*>(QLatin1String(name));
        if (!found)
            throw std::runtime_error(std::string("no widget ") + name);
        return found;
    }
    PictureButton* button(const char* name) const { return widget<PictureButton>(name); }
    QLabel* label(const char* name) const { return widget<QLabel>(name); }
    TSorEdit* edt() const { return widget<TSorEdit>("edt"); }
    ManuscriptView* grid() const { return widget<ManuscriptView>("grid"); }
    QPlainTextEdit* mem() const { return widget<QPlainTextEdit>("mem"); }
    WritingSession& session() const { return editor->session(); }
    ManuscriptGrid& cells() const { return editor->session().grid(); }
    CellPos caret() const
    {
        const QModelIndex i = grid()->currentIndex();
        return {i.row(), i.column()};
    }

    QLineEdit title;
    std::unique_ptr<TfmeEditor> editor = std::make_unique<TfmeEditor>(nullptr);
};
