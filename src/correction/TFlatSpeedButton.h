#pragma once

#include <QToolButton>

// A flat palette button that stays down while its tool is chosen; Tag is the ordinal of
// the TDrawTool it selects.
class TFlatSpeedButton : public QToolButton {
public:
    using QToolButton::QToolButton;
    int Tag = 0;
};
