#pragma once
// The application's style, unchanged but for its standard icons: each is read from its file
// the first time it is drawn or measured, not when a widget is given it. A menu bar asks for
// its overflow button's icon as it is made, and reading an icon file makes Qt load every image
// plugin (and the SVG library) to ask whether it knows the file; at a start in use mode none
// of those icons is ever drawn.
#include <QProxyStyle>

namespace vexil {

class LazyIconStyle : public QProxyStyle {
public:
    // Wraps `base` (taking it over).
    explicit LazyIconStyle(QStyle* base);
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

}  // namespace vexil
