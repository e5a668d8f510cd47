#pragma once

#include <Qt>

// The keys of undo and redo in every editor of ours: Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z
// redo.
enum class HistoryKey { None, Undo, Redo };

inline HistoryKey HistoryKeyOf(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    if (key == Qt::Key_Z && held == Qt::ControlModifier)
        return HistoryKey::Undo;
    if ((key == Qt::Key_Z && held == (Qt::ControlModifier | Qt::ShiftModifier))
        || (key == Qt::Key_Y && held == Qt::ControlModifier))
        return HistoryKey::Redo;
    return HistoryKey::None;
}
