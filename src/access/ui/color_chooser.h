#pragma once
// The frame colour of the access dialogs: a swatch that shows it and the button "Color del
// marc" that opens the system's colour dialog (or, in tests, whatever the caller puts in its
// place).
#include <QColor>
#include <QWidget>
#include <functional>
#include <optional>

class QFrame;
class QPushButton;

namespace vexil {

// The chosen colour; nothing when the chooser was cancelled.
using ColorChooser = std::function<std::optional<QColor>(const QColor& current, QWidget* parent)>;

// The system colour dialog titled "Color del marc", the current colour preselected.
std::optional<QColor> chooseFrameColor(const QColor& current, QWidget* parent);

// The swatch `marc_color` and the button `Command1` "Color del marc", side by side; the
// button asks the chooser, and a colour chosen is kept and shown.
class FrameColorRow : public QWidget {
public:
    explicit FrameColorRow(QWidget* parent);
    QColor color() const { return color_; }
    void setColor(const QColor& color);
    void setChooser(ColorChooser chooser) { chooser_ = std::move(chooser); }
    QPushButton* button() const { return button_; }

private:
    void choose();
    QColor color_ = Qt::red;
    ColorChooser chooser_ = chooseFrameColor;
    QFrame* swatch_ = nullptr;
    QPushButton* button_ = nullptr;
};

}  // namespace vexil
