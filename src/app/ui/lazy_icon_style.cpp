#include "app/ui/lazy_icon_style.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QWidget>

namespace vexil {
namespace {

// Stands for the style's icon and asks the style for it when it is first wanted.
class LazyIconEngine : public QIconEngine {
public:
    LazyIconEngine(QPointer<QStyle> style, QStyle::StandardPixmap which,
                   QPointer<const QWidget> widget)
        : style_(std::move(style)), which_(which), widget_(std::move(widget)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return QStringLiteral("LazyIconEngine"); }
    QString iconName() override { return icon().name(); }
    QIconEngine* clone() const override { return new LazyIconEngine(*this); }

private:
    const QIcon& icon() {
        if (!made_) {
            made_ = true;
            // The base style makes it as it would have been made at once.
            if (style_) icon_ = style_->standardIcon(which_, nullptr, widget_.data());
        }
        return icon_;
    }

    QPointer<QStyle> style_;
    QStyle::StandardPixmap which_;
    QPointer<const QWidget> widget_;
    bool made_ = false;
    QIcon icon_;
};

}  // namespace

LazyIconStyle::LazyIconStyle(QStyle* base) : QProxyStyle(base) {}

QIcon LazyIconStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                  const QWidget* widget) const {
    // An icon asked for with a style option is made at once, with it.
    if (option) return QProxyStyle::standardIcon(icon, option, widget);
    return QIcon(
        new LazyIconEngine(QPointer<QStyle>(baseStyle()), icon, QPointer<const QWidget>(widget)));
}

}  // namespace vexil
