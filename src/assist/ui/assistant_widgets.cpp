#include "assist/ui/assistant_widgets.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "assist/ui/command_assistant.h"

namespace vexil::assistant {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int index) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    if (index >= 0) b->setProperty("index", index);
    // Enter in a text box must not press a button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, int index) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    if (index >= 0) e->setProperty("index", index);
    return e;
}

void markTopLevel(QDialog* window, const char* name, const QString& caption) {
    window->setObjectName(QLatin1String(name));
    window->setWindowTitle(caption);
    window->setProperty("helpTopic", kKeySequencesHelpTopic);
    window->setAttribute(Qt::WA_DeleteOnClose);
}

QHBoxLayout* exitButtons(QDialog* window) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    QPushButton* ok = button(window, "BUTO_SORTIR", QStringLiteral("Acceptar"), 0);
    QPushButton* cancel = button(window, "BUTO_SORTIR", QStringLiteral("Cancelar"), 1);
    QObject::connect(ok, &QPushButton::clicked, window, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, window, &QDialog::reject);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

}  // namespace vexil::assistant
