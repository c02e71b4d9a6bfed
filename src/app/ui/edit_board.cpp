#include "app/ui/edit_board.h"

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
    if (count >= 1 && coverVisible_ && !cover_.isNull()) {
        // The cover sits on area 1 at its own size, cut to the area.
        const QRect frame = unitRect(tmpl_.area(1));
        p.save();
        p.setClipRect(frame.adjusted(0, 0, 1, 1));
        p.drawImage(frame.topLeft(), cover_);
        p.restore();
    }
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    for (int n = 1; n <= count; ++n) p.drawRect(unitRect(tmpl_.area(n)));
    const int current = tmpl_.currentArea;
    if (current >= 1 && current <= count) {
        p.setBrush(QBrush(Qt::black, Qt::DiagCrossPattern));
        p.drawRect(unitRect(tmpl_.area(current)));
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
    QWidget::keyPressEvent(event);
}

}  // namespace vexil
