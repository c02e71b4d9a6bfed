#include "app/ui/lazy_icon_style.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>

using namespace vexil;

namespace {

// Fusion, counting the icons it is asked for.
class CountingStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override {
        ++asked;
        return QProxyStyle::standardIcon(icon, option, widget);
    }
    mutable int asked = 0;
};

// The icons of the wrapped style are the base style's own, pixel for pixel, however they
// are asked for (a pixmap, their sizes, drawn); each is made once, at its first use.
TEST(LazyIconStyle, ItsIconsAreTheBaseStylesOwnMadeAtTheirFirstUse) {
    QStyle* reference = QStyleFactory::create(QStringLiteral("Fusion"));
    auto* base = new CountingStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    LazyIconStyle lazy(base);
    for (const QStyle::StandardPixmap which :
         {QStyle::SP_MediaPlay, QStyle::SP_ToolBarHorizontalExtensionButton,
          QStyle::SP_MessageBoxWarning, QStyle::SP_DialogOkButton}) {
        const QIcon expected = reference->standardIcon(which);
        base->asked = 0;
        const QIcon icon = lazy.standardIcon(which);
        EXPECT_EQ(base->asked, 0) << which;
        EXPECT_EQ(icon.isNull(), expected.isNull()) << which;
        EXPECT_EQ(icon.availableSizes(), expected.availableSizes()) << which;
        EXPECT_EQ(icon.actualSize(QSize(24, 24)), expected.actualSize(QSize(24, 24))) << which;
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled})
            EXPECT_EQ(icon.pixmap(QSize(16, 16), mode).toImage(),
                      expected.pixmap(QSize(16, 16), mode).toImage())
                << which << " " << mode;
        QImage drawn(32, 32, QImage::Format_ARGB32_Premultiplied);
        QImage want = drawn;
        drawn.fill(Qt::transparent);
        want.fill(Qt::transparent);
        {
            QPainter p(&drawn);
            icon.paint(&p, QRect(0, 0, 32, 32));
            QPainter q(&want);
            expected.paint(&q, QRect(0, 0, 32, 32));
        }
        EXPECT_EQ(drawn, want) << which;
        EXPECT_EQ(base->asked, 1) << which;
    }
    delete reference;
}

}  // namespace
