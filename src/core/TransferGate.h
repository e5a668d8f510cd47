#pragma once

#include <QObject>

// Knows whether a server transfer is running. A transfer keeps the event loop turning,
// so clicks and hand-overs can arrive inside it; they must not start a second one.
class TransferGate : public QObject {
    Q_OBJECT
public:
    static TransferGate& instance();
    bool busy() const { return busy_; }

    // Held for the length of one transfer. Entering while another is running raises
    // SilentAbort: the action that asked for it ends quietly.
    class Pass {
    public:
        Pass();
        ~Pass();
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;
    };

signals:
    // A transfer is about to start: whatever must be on disk first is written now.
    void starting();
    // The transfer ended; what waited for it may run now.
    void idle();

private:
    bool busy_ = false;
};
