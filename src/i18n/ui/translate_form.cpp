#include "i18n/ui/translate_form.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QWidget>
#include <set>

#include "i18n/texts.h"

namespace vexil {

void translateForm(QWidget* window) {
    if (!window) return;
    window->setWindowTitle(translateCaption(window->windowTitle()));
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    // A menu's title is the text of its action: each action is translated once.
    std::set<QAction*> actions;
    for (QWidget* w : widgets) {
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            button->setText(translateCaption(button->text()));
        else if (auto* label = qobject_cast<QLabel*>(w))
            label->setText(translateCaption(label->text()));
        else if (auto* box = qobject_cast<QGroupBox*>(w))
            box->setTitle(translateCaption(box->title()));
        if (auto* menu = qobject_cast<QMenu*>(w)) actions.insert(menu->menuAction());
        for (QAction* a : w->actions()) actions.insert(a);
    }
    for (QAction* a : actions) {
        if (a->isSeparator()) continue;
        a->setText(translateCaption(a->text()));
    }
}

}  // namespace vexil
