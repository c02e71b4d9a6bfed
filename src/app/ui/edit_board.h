#pragma once
// `TSArea`: the edit-mode picture of the board at design size, one pixel per board unit,
// with the cover stretched over area 1 as use mode shows it, every area outline and the
// current area cross-hatched (outlined boldly while a new area is to be drawn in it), and the
// rubber band's live outline while a new area is being drawn.
#include <QHash>
#include <QImage>
#include <QWidget>

namespace vexil {

class Template;

class EditBoard : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 445;

    explicit EditBoard(const Template& tmpl, QWidget* parent = nullptr);

    void setCover(const QImage& cover);
    void setCoverVisible(bool visible);
    bool coverVisible() const { return coverVisible_; }
    // Skipped while the panel is being filled or an area is being dragged.
    void setRedrawBlocked(bool blocked) { blocked_ = blocked; }
    void redraw();
    // The rubber band's outline in board units; an empty rectangle hides it.
    void setRubberBand(const QRect& band);
    QRect rubberBand() const { return band_; }
    // "Veure ús": the activations of each area from the usage record, drawn as a heat map
    // over the board (warmer and more opaque the more it was used); empty hides it.
    void setUsage(const QHash<int, int>& counts);
    const QHash<int, int>& usage() const { return usage_; }

    QSize sizeHint() const override { return {kWidth, kHeight}; }

    // Drawing is armed: the area the next one will be drawn in (the current area) gets a
    // bold outline, so that the teacher sees where.
    void setDrawingArmed(bool armed);
    bool drawingArmed() const { return armed_; }

    // After a click the board keeps the focus, so that Delete deletes the area selected;
    // what is typed goes on to this widget (the key field), which takes the focus.
    void setTypingTarget(QWidget* target) { typingTarget_ = target; }

signals:
    // Board units, for the editor.
    void pressed(Qt::MouseButton button, QPointF unit, Qt::KeyboardModifiers mods);
    void moved(QPointF unit, Qt::MouseButtons buttons);
    void released(Qt::MouseButton button, QPointF unit);
    // `TSArea_KeyDown` with the Windows key code (46: Delete).
    void keyDown(int keyCode);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const Template& tmpl_;
    QImage cover_;
    bool coverVisible_ = true;
    bool blocked_ = false;
    QRect band_;
    QHash<int, int> usage_;
    QWidget* typingTarget_ = nullptr;
    bool armed_ = false;
};

}  // namespace vexil
