#include "app/ui/edit_board.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/ui/board_geometry.h"
#include "access/usage_record.h"
#include "template/template.h"

namespace vexil {

EditBoard::EditBoard(const Template& tmpl, QWidget* parent) : QWidget(parent), tmpl_(tmpl) {
    setObjectName(QStringLiteral("TSArea"));
    setFixedSize(kWidth, kHeight);
    setMouseTracking(true);
    // Clicks give the board the focus, so that the Delete key reaches it.
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void EditBoard::setCover(const QImage& cover) {
    cover_ = cover;
    redraw();
}

void EditBoard::setCoverVisible(bool visible) {
    coverVisible_ = visible;
    redraw();
}

void EditBoard::redraw() {
    if (!blocked_) update();
}

void EditBoard::setRubberBand(const QRect& band) {
    if (band == band_) return;
    band_ = band;
    update();
}

void EditBoard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const int count = tmpl_.areaCount();
    if (coverVisible_ && !cover_.isNull()) {
        // As use mode shows it: stretched over area 1, or over the whole board before
        // there is one, so that every area lies on what it will lie on there. A picture of
        // the area's own size is drawn pixel for pixel.
        const QRect frame = count >= 1 ? unitRect(tmpl_.area(1)) : QRect(0, 0, kWidth, kHeight);
        if (cover_.size() == frame.size()) {
            p.drawImage(frame.topLeft(), cover_);
        } else {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(frame.adjusted(0, 0, 1, 1), cover_);
        }
    }
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    for (int n = 1; n <= count; ++n) p.drawRect(unitRect(tmpl_.area(n)));
    const int current = tmpl_.currentArea;
    if (current >= 1 && current <= count) {
        p.setBrush(QBrush(Qt::black, Qt::DiagCrossPattern));
        p.drawRect(unitRect(tmpl_.area(current)));
    }
    if (armed_ && current >= 1 && current <= count) {
        // Where the next area goes: a new one is clipped to this rectangle (the first one
        // spans the board, and needs no mark).
        const QRect target = unitRect(tmpl_.area(current));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 90, 255), 3, Qt::DashLine));
        p.drawRect(target.adjusted(1, 1, -1, -1));
        p.setPen(QPen(Qt::black, 0));
    }
    if (!usage_.isEmpty()) {
        // Yellow for little use to red for the most used area, with its count.
        const QHash<int, double> heat = usageHeat(usage_);
        for (auto it = heat.cbegin(); it != heat.cend(); ++it) {
            if (it.key() < 2 || it.key() > count) continue;
            const double h = it.value();
            const QRect r = unitRect(tmpl_.area(it.key()));
            p.fillRect(r, QColor(255, int(230 * (1 - h)), 0, 70 + int(130 * h)));
            p.setPen(Qt::black);
            p.drawText(r, Qt::AlignCenter, QString::number(usage_.value(it.key())));
        }
    }
    if (!band_.isNull()) {
        // A dotted outline that inverts what lies under it, visible on any cover.
        p.setBrush(Qt::NoBrush);
        p.setCompositionMode(QPainter::CompositionMode_Difference);
        p.setPen(QPen(Qt::white, 0, Qt::DotLine));
        p.drawRect(outlineRect(band_.left(), band_.top(), band_.right(), band_.bottom()));
    }
}

void EditBoard::setDrawingArmed(bool armed) {
    if (armed == armed_) return;
    armed_ = armed;
    update();
}

void EditBoard::setUsage(const QHash<int, int>& counts) {
    usage_ = counts;
    update();
}

void EditBoard::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->button(), event->position(), event->modifiers());
}

void EditBoard::mouseMoveEvent(QMouseEvent* event) {
    emit moved(event->position(), event->buttons());
}

void EditBoard::mouseReleaseEvent(QMouseEvent* event) {
    emit released(event->button(), event->position());
}

void EditBoard::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        emit keyDown(46);
        event->accept();
        return;
    }
    // Typing (not a shortcut) goes on to the key field, which keeps the focus from then on.
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    const bool typing = !event->text().isEmpty() || event->key() == Qt::Key_Backspace ||
                        event->key() == Qt::Key_Left || event->key() == Qt::Key_Right ||
                        event->key() == Qt::Key_Home || event->key() == Qt::Key_End;
    if (typingTarget_ && !shortcut && typing && event->key() != Qt::Key_Tab &&
        event->key() != Qt::Key_Escape) {
        typingTarget_->setFocus(Qt::OtherFocusReason);
        QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(),
                       event->isAutoRepeat(), ushort(event->count()));
        QCoreApplication::sendEvent(typingTarget_, &copy);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace vexil
