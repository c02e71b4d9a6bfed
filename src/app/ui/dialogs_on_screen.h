#pragma once
// Keeps every dialog of the program whole on its screen: a dialog that would open partly
// off the screen (placed beside a window near the edge, or larger than a small screen) is
// moved in, and made smaller when it cannot fit, before it is first shown.
#include <QObject>

namespace vexil {

class DialogsOnScreen : public QObject {
public:
    // Watches the whole application from now on.
    explicit DialogsOnScreen(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace vexil
