#pragma once
// What the core asks of the main window. The window implements it; headless runs use the
// default, which does nothing.
#include <QImage>
#include <QString>

namespace vexil {

class MainView {
public:
    virtual ~MainView() = default;
    virtual void setTitle(const QString& /*title*/) {}
    // The cover picture changed (a null image: an empty cover).
    virtual void setCover(const QImage& /*cover*/) {}
    virtual void redrawBoard() {}
    virtual void setSoundOnCheck(bool /*checked*/) {}
    // The key-sequence box covers the clip-file field (true) or leaves it visible.
    virtual void setKeysBoxCoversClip(bool /*covers*/) {}
    virtual void setDrawingArmed(bool /*armed*/) {}
    virtual void setMacroMenuCaption(const QString& /*caption*/) {}
    // The access menu checks item `item` alone (accessMenuItem of the mode; -1 none).
    virtual void setAccessMenuCheck(int /*item*/) {}
};

}  // namespace vexil
