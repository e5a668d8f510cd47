#pragma once

#include <QToolButton>

// A flat palette button that stays down while its tool is chosen; Tag is the ordinal of
// the TDrawTool it selects. The palette is one Tab stop, the chosen button: the arrows walk
// to the neighbouring buttons without choosing, and Space or Enter chooses.
class TFlatSpeedButton : public QToolButton {
public:
    explicit TFlatSpeedButton(QWidget* parent);
    int Tag = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The nearest shown and enabled palette button in the arrow's direction, or null.
    TFlatSpeedButton* Neighbour(int key) const;
};
