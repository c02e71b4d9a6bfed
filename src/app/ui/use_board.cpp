#include "app/ui/use_board.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

#include "app/ui/board_geometry.h"
#include "template/template.h"

namespace vexil {

HighlightFrame::HighlightFrame(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("marc"));
    // The board under the frame takes the clicks.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    hide();
}

void HighlightFrame::setLook(int thickness, const QColor& color) {
    thickness_ = std::max(1, thickness);
    color_ = color;
    update();
}

void HighlightFrame::setFill(double progress) {
    fill_ = std::clamp(progress, 0.0, 1.0);
    update();
}

void HighlightFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (fill_ > 0) {
        // Half see-through, so that the area's picture still shows under the fill.
        QColor inside = color_;
        inside.setAlpha(110);
        p.fillRect(QRectF(0, 0, width() * fill_, height()), inside);
    }
    const int t = std::min({thickness_, (width() + 1) / 2, (height() + 1) / 2});
    const QRect r = rect();
    p.fillRect(QRect(r.left(), r.top(), r.width(), t), color_);
    p.fillRect(QRect(r.left(), r.bottom() - t + 1, r.width(), t), color_);
    p.fillRect(QRect(r.left(), r.top(), t, r.height()), color_);
    p.fillRect(QRect(r.right() - t + 1, r.top(), t, r.height()), color_);
}

UseBoard::UseBoard(const Template& tmpl, QWidget* parent)
    : QWidget(parent), tmpl_(tmpl), marc_(new HighlightFrame(this)) {
    setObjectName(QStringLiteral("Tauvirt"));
    releaseTimer_ = new QTimer(this);
    releaseTimer_->setSingleShot(true);
    releaseTimer_->setInterval(kReleaseSettle);
    connect(releaseTimer_, &QTimer::timeout, this, [this] {
        const int key = std::exchange(releasePending_, -1);
        if (key >= 0) emit keyUp(key);
    });
    flashTimer_ = new QTimer(this);
    flashTimer_->setSingleShot(true);
    flashTimer_->setInterval(kFlashMs);
    connect(flashTimer_, &QTimer::timeout, this, [this] {
        flash_.clear();
        update();
    });
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void UseBoard::setCover(const QImage& cover) {
    cover_ = cover;
    update();
}

void UseBoard::setScale(double scaleX, double scaleY) {
    scaleX_ = scaleX;
    scaleY_ = scaleY;
    update();
}

void UseBoard::showHighlight(const QRect& board, int thickness, const QColor& color) {
    marc_->setLook(thickness, color);
    // A shape's rectangle includes its right and bottom edges.
    marc_->setGeometry(board.normalized().adjusted(0, 0, 1, 1));
    marc_->show();
    marc_->raise();
    marc_->update();
}

void UseBoard::hideHighlight() {
    marc_->setFill(0);
    marc_->hide();
}

void UseBoard::setDwell(const QRect& board, double progress) {
    dwellRect_ = progress > 0 ? board : QRect();
    dwellProgress_ = dwellRect_.isNull() ? 0 : std::clamp(progress, 0.0, 1.0);
    update();
}

void UseBoard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const int count = tmpl_.areaCount();
    if (count < 1) return;
    const Area& root = tmpl_.area(1);
    const QRect frame = scaledRect(root, root, scaleX_, scaleY_);
    if (!cover_.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(frame.adjusted(0, 0, 1, 1), cover_);
    } else {
        p.fillRect(frame, Qt::white);
    }
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    for (int n = 1; n <= count; ++n) p.drawRect(scaledRect(tmpl_.area(n), root, scaleX_, scaleY_));
    if (dwellProgress_ > 0 && !dwellRect_.isNull()) {
        // The dwell ring: a light disc, and an arc from the top, clockwise, that closes as
        // the time passes.
        const int side = std::clamp(std::min(dwellRect_.width(), dwellRect_.height()) - 8, 24, 120);
        QRect ring(0, 0, side, side);
        ring.moveCenter(dwellRect_.center());
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 190));
        p.drawEllipse(ring);
        const int pen = std::max(5, side / 5);
        p.setPen(QPen(QColor(0, 90, 200), pen, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(ring.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2), 90 * 16,
                  -int(std::lround(360 * 16 * dwellProgress_)));
    }
    const QStringList lines = signs();
    if (!lines.isEmpty()) {
        QFont font = p.font();
        font.setPointSize(std::max(font.pointSize(), 12));
        font.setBold(true);
        p.setFont(font);
        const QFontMetrics m(font);
        int y = 4;
        for (const QString& line : lines) {
            QRect box = m.boundingRect(line).adjusted(-6, -3, 6, 3);
            box.moveTopRight(QPoint(width() - 5, y));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 210, 230));
            p.drawRect(box);
            p.setPen(Qt::black);
            p.drawText(box, Qt::AlignCenter, line);
            y = box.bottom() + 4;
        }
    }
}

void UseBoard::setSign(int id, const QString& text) {
    if (text.isEmpty())
        signs_.erase(id);
    else
        signs_[id] = text;
    update();
}

void UseBoard::flashSign(const QString& text) {
    flash_ = text;
    flashTimer_->start();
    update();
}

QStringList UseBoard::signs() const {
    QStringList lines;
    for (const auto& [id, text] : signs_) lines << text;
    if (!flash_.isEmpty()) lines << flash_;
    return lines;
}

int UseBoard::keyCodeOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return kEnter;
    case Qt::Key_Left: return kLeft;
    case Qt::Key_Up: return kUp;
    case Qt::Key_Right: return kRight;
    case Qt::Key_Down: return kDown;
    case Qt::Key_Space: return 32;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Escape: return 27;
    default:
        if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return qtKey;
        return 0;
    }
}

bool UseBoard::event(QEvent* event) {
    // Tab is a key like any other on the board, not a focus move.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::event(event);
}

void UseBoard::keyPressEvent(QKeyEvent* event) {
    const int code = keyCodeOf(event->key());
    // The release just before was the key repeating: it stays held.
    if (releasePending_ == code) {
        releasePending_ = -1;
        releaseTimer_->stop();
    }
    emit keyDown(code);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit charTyped(QChar(13));
    } else if (!event->text().isEmpty()) {
        for (QChar c : event->text()) emit charTyped(c);
    }
    event->accept();
}

void UseBoard::keyReleaseEvent(QKeyEvent* event) {
    // A held key repeats press-release pairs: only the last release lets it go.
    if (!event->isAutoRepeat()) {
        if (releasePending_ >= 0 && releasePending_ != keyCodeOf(event->key()))
            emit keyUp(std::exchange(releasePending_, -1));
        releasePending_ = keyCodeOf(event->key());
        releaseTimer_->start();
    }
    event->accept();
}

void UseBoard::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->button(), event->position());
}

void UseBoard::mouseReleaseEvent(QMouseEvent* event) {
    emit released(event->button());
    // The release that ends a double click gives no second click.
    if (releaseEndsDoubleClick_) {
        releaseEndsDoubleClick_ = false;
        return;
    }
    if (rect().contains(event->position().toPoint())) emit clicked(event->button());
}

void UseBoard::mouseDoubleClickEvent(QMouseEvent* event) {
    releaseEndsDoubleClick_ = true;
    emit doubleClicked(event->button());
}

void UseBoard::mouseMoveEvent(QMouseEvent* event) { emit pointerMoved(event->position()); }

}  // namespace vexil
