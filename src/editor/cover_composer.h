#pragma once
// Composing a board's cover (`lamina`): each area shows its picture stretched into it, or a
// line of text, and gets a black outline. Liberation Sans stands in for "arial", bold,
// 20 points at 96 dots per inch, one pixel per board unit.
#include <QFont>
#include <QHash>
#include <QImage>
#include <QString>

#include "editor/editor_context.h"

class QPainter;

namespace vexil {

class CoverComposer {
public:
    static constexpr int kFontPoints = 20;
    // A label too wide for its area shrinks down to this size before it is cut.
    static constexpr int kSmallestPoints = 8;

    explicit CoverComposer(EditorContext& context) : c_(context) {}

    // The whole cover: the root's size, white, a frame, then every area in table order.
    QImage composeCover();
    // `renderArea`: area n's picture or label, then its outline, onto `painter`.
    void renderArea(QPainter& painter, int n);
    // `refreshCoverArea`: redraws area `previousArea` on the on-screen cover and shows it
    // (a group selection's record: the areas its members stand for).
    void refreshCoverArea(int previousArea);
    // With the automatic cover on, composes the whole on-screen cover again and shows it:
    // after a change that removes or brings back areas, which no one area redraws.
    void showComposedCover();

    // What an area shows: its picture file (empty when it shows a label) and its label.
    struct Content {
        QString picture;
        QString label;
    };
    static Content contentOf(const Area& area);
    static QFont labelFont(int points);

private:
    QSize coverSize() const;
    QString boardKey() const;
    QPoint rootOrigin() const;
    QImage picture(const QString& name);
    void drawLabel(QPainter& painter, const QRect& r, const QString& label);

    EditorContext& c_;
    // Pictures read during one composition: a picture used by many areas is read once.
    QHash<QString, QImage> pictures_;
};

}  // namespace vexil
