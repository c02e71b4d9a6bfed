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
    // "&Nou": the area panel shows no area; the template properties dialog opens.
    virtual void showEmptyAreaPanel() {}
    virtual void openTemplateProperties() {}
    // Closes the auxiliary keyboard when it is open (before a board is opened or saved).
    virtual void closeAuxiliaryKeyboard() {}
    // Generates the cover picture of the template just saved (its `autoCover` is 1).
    virtual void generateCover() {}
};

}  // namespace vexil
