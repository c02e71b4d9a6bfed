#include "editor/cover_composer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <vector>

#include "commands/player.h"
#include "platform/picture_files.h"
#include "session/session.h"

namespace vexil {
namespace {

// 96 dots per inch: a point is 4/3 of a board unit, as on the screens the boards were made on.
constexpr int kDotsPerMeter = 3780;

}  // namespace

CoverComposer::Content CoverComposer::contentOf(const Area& area) {
    if (area.iconFile.isEmpty()) return {QString(), keysDisplayText(area.keys)};
    // A picture name ends in a picture's extension; any other text is the label.
    if (isPictureName(area.iconFile)) return {area.iconFile, QString()};
    return {QString(), area.iconFile};
}

QFont CoverComposer::labelFont(int points) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPointSize(points);
    return font;
}

QString CoverComposer::boardKey() const {
    const Template& t = c_.session.tmpl;
    return t.templatePath + u'\n' + t.settings.pictureFile;
}

QSize CoverComposer::coverSize() const {
    const Template& t = c_.session.tmpl;
    if (t.areaCount() < 1) return {};
    const Area& r = t.area(1);
    return {std::abs(r.x1 - r.x0), std::abs(r.y1 - r.y0)};
}

QPoint CoverComposer::rootOrigin() const {
    const Template& t = c_.session.tmpl;
    if (t.areaCount() < 1) return {};
    const Area& r = t.area(1);
    return {std::min(r.x0, r.x1), std::min(r.y0, r.y1)};
}

QImage CoverComposer::picture(const QString& name) {
    const QString path = c_.session.realPath(name);
    auto found = pictures_.constFind(path);
    if (found != pictures_.constEnd()) return *found;
    // A missing or unreadable picture is a null image: the area shows its outline only.
    const QImage image = readPicture(path);
    pictures_.insert(path, image);
    return image;
}

void CoverComposer::drawLabel(QPainter& painter, const QRect& r, const QString& label) {
    const int width = r.width();
    QFont font = labelFont(kFontPoints);
    QString shown = label;
    // Smaller type first, so that a long label can still be read whole; cut only at the
    // smallest size.
    for (int points = kFontPoints; points >= kSmallestPoints; --points) {
        font.setPointSize(points);
        if (QFontMetricsF(font, painter.device()).horizontalAdvance(label) < width) break;
    }
    const QFontMetricsF metrics(font, painter.device());
    while (!shown.isEmpty() && !(metrics.horizontalAdvance(shown) < width)) shown.chop(1);
    if (shown.isEmpty()) return;
    const double textWidth = metrics.horizontalAdvance(shown);
    const double left = r.left() + (width - textWidth) / 2;
    const double top = r.top() + (r.height() - metrics.height()) / 2;
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(left, top + metrics.ascent()), shown);
}

void CoverComposer::renderArea(QPainter& painter, int n) {
    const Template& t = c_.session.tmpl;
    if (n < 1 || n > t.areaCount()) return;
    const Area& a = t.area(n);
    const QPoint o = rootOrigin();
    const QSize size = coverSize();
    const int x0 = std::min(a.x0, a.x1) - o.x(), x1 = std::max(a.x0, a.x1) - o.x();
    const int y0 = std::min(a.y0, a.y1) - o.y(), y1 = std::max(a.y0, a.y1) - o.y();
    const Content content = contentOf(a);
    if (!content.picture.isEmpty()) {
        const QImage image = picture(content.picture);
        const int w = (x1 - x0) - 2 - (x1 == size.width() ? 1 : 0);
        const int h = (y1 - y0) - 2 - (y1 == size.height() ? 1 : 0);
        if (!image.isNull() && w > 0 && h > 0)
            painter.drawImage(QRect(x0 == 0 ? 1 : x0, y0 == 0 ? 1 : y0, w, h), image);
    } else if (!content.label.isEmpty()) {
        drawLabel(painter, QRect(x0, y0, x1 - x0, y1 - y0), content.label);
    }
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(x0, y0, x1 - x0, y1 - y0));
}

QImage CoverComposer::composeCover() {
    const QSize size = coverSize();
    if (size.width() < 1 || size.height() < 1) return {};
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    image.fill(Qt::white);
    pictures_.clear();
    {
        QPainter painter(&image);
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::NoBrush);
        // The frame from (1, 1) to the last column and row: a rectangle's right and
        // bottom lines lie on x + width and y + height.
        painter.drawRect(QRect(1, 1, size.width() - 2, size.height() - 2));
        const Template& t = c_.session.tmpl;
        // The real areas only: a group selection's copies are no part of the board.
        const int last = t.realAreaCount != 0 ? t.realAreaCount : t.areaCount();
        for (int n = 1; n <= last; ++n) renderArea(painter, n);
    }
    pictures_.clear();
    c_.lamina = image;
    c_.laminaBoard = boardKey();
    return image;
}

void CoverComposer::refreshCoverArea(int previousArea) {
    const Template& t = c_.session.tmpl;
    const QSize size = coverSize();
    if (size.width() < 1 || size.height() < 1) return;
    c_.session.view->setBusyCursor(true);
    if (c_.laminaBoard != boardKey()) {
        // The cover shown is the board's own file until an area is redrawn on it.
        const QString& file = t.settings.pictureFile;
        c_.lamina = file.isEmpty() ? QImage() : readPicture(c_.session.realPath(file));
        c_.laminaBoard = boardKey();
    }
    if (c_.lamina.size() != size) {
        QImage resized(size, QImage::Format_RGB32);
        resized.setDotsPerMeterX(kDotsPerMeter);
        resized.setDotsPerMeterY(kDotsPerMeter);
        resized.fill(Qt::white);
        if (!c_.lamina.isNull()) {
            QPainter p(&resized);
            p.drawImage(0, 0, c_.lamina);
        }
        c_.lamina = resized;
    }
    // A group selection's records are no part of the cover: what was left is the real
    // areas its members stand for (their edges may have moved with the group's).
    std::vector<int> redrawn;
    if (c_.isTemporaryRecord(previousArea)) {
        for (int m = t.realAreaCount + 2; m <= t.areaCount(); ++m) {
            const int real = t.area(m).mirrorOf;
            if (real >= 1 && real <= t.realAreaCount) redrawn.push_back(real);
        }
    } else if (previousArea >= 1 && previousArea <= t.areaCount()) {
        redrawn.push_back(previousArea);
    }
    if (!redrawn.empty()) {
        const QPoint o = rootOrigin();
        QPainter painter(&c_.lamina);
        for (int n : redrawn) {
            const Area& a = t.area(n);
            painter.fillRect(
                QRect(QPoint(std::min(a.x0, a.x1) - o.x(), std::min(a.y0, a.y1) - o.y()),
                      QPoint(std::max(a.x0, a.x1) - o.x(), std::max(a.y0, a.y1) - o.y())),
                Qt::white);
            renderArea(painter, n);
        }
    }
    pictures_.clear();
    c_.session.view->setCover(c_.lamina);
    c_.session.view->setBusyCursor(false);
}

void CoverComposer::showComposedCover() {
    if (c_.session.tmpl.settings.autoCover == 0) return;
    if (coverSize().isEmpty()) return;
    c_.session.view->setBusyCursor(true);
    composeCover();
    c_.session.view->setCover(c_.lamina);
    c_.session.view->setBusyCursor(false);
}

}  // namespace vexil
