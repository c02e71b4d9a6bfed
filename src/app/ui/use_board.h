#pragma once
// `Tauvirt`: the use-mode board. The cover is stretched over area 1 scaled to the screen,
// the area outlines are drawn over it, and `marc`, the highlight frame, sits on top. It
// takes the keyboard and the mouse in use mode and hands every input on as a signal.
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <map>

namespace vexil {

class Template;

// `marc`: a rectangle outline of a given thickness and colour, drawn inside its bounds.
class HighlightFrame : public QWidget {
    Q_OBJECT
public:
    explicit HighlightFrame(QWidget* parent);
    void setLook(int thickness, const QColor& color);
    int thickness() const { return thickness_; }
    QColor color() const { return color_; }
    // The acceptance fill: the inside of the frame fills from the left while a switch is
    // held (0 none, 1 full).
    void setFill(double progress);
    double fill() const { return fill_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int thickness_ = 8;
    QColor color_ = Qt::red;
    double fill_ = 0;
};

class UseBoard : public QWidget {
    Q_OBJECT
public:
    explicit UseBoard(const Template& tmpl, QWidget* parent = nullptr);

    void setCover(const QImage& cover);
    void setScale(double scaleX, double scaleY);
    double scaleX() const { return scaleX_; }
    double scaleY() const { return scaleY_; }
    // `board` in pixels of this board; the frame is drawn inside it.
    void showHighlight(const QRect& board, int thickness, const QColor& color);
    void hideHighlight();
    HighlightFrame* highlight() const { return marc_; }
    // Dwell selection: a ring round the centre of `board` (pixels of this board) drawn to
    // `progress` (0 to 1); a null rectangle or 0 clears it.
    void setDwell(const QRect& board, double progress);
    double dwellProgress() const { return dwellProgress_; }
    // Signs in the top right corner, one a line: lasting ones by their number (an empty
    // text takes one away), and a short one that goes by itself after kFlashMs.
    void setSign(int id, const QString& text);
    void flashSign(const QString& text);
    QStringList signs() const;
    static constexpr int kFlashMs = 800;

    // Virtual key codes the access engine understands.
    static constexpr int kEnter = 13;
    static constexpr int kLeft = 37;
    static constexpr int kUp = 38;
    static constexpr int kRight = 39;
    static constexpr int kDown = 40;
    static int keyCodeOf(int qtKey);
    // Milliseconds a key release waits for the press of a repeat.
    static constexpr int kReleaseSettle = 60;

signals:
    void charTyped(QChar c);                 // a character typed (Enter is 13, Space 32)
    void keyDown(int keyCode);               // the key's virtual code, 0 when it has none
    void keyUp(int keyCode);                 // the key let go (its repeats give none)
    void pointerMoved(QPointF pixels);
    void pressed(Qt::MouseButton button, QPointF pixels);
    void released(Qt::MouseButton button);
    void clicked(Qt::MouseButton button);
    void doubleClicked(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    const Template& tmpl_;
    QImage cover_;
    double scaleX_ = 1.0;
    double scaleY_ = 1.0;
    HighlightFrame* marc_;
    bool releaseEndsDoubleClick_ = false;
    // A key's release waits a moment: a press of the same key right after it is the key
    // repeating while held (X sends such pairs), and the key was never let go.
    int releasePending_ = -1;
    QTimer* releaseTimer_ = nullptr;
    QRect dwellRect_;
    double dwellProgress_ = 0;
    std::map<int, QString> signs_;
    QString flash_;
    QTimer* flashTimer_ = nullptr;
};

}  // namespace vexil
