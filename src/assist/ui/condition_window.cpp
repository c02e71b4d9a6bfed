#include "assist/ui/condition_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "assist/ui/assistant_widgets.h"
#include "assist/ui/command_assistant.h"
#include "i18n/texts.h"
#include "i18n/ui/translate_form.h"

namespace vexil {

using assistant::button;
using assistant::exitButtons;
using assistant::lineEdit;
using assistant::markTopLevel;

// `sim`: the memory condition and its two branches.

ConditionWindow::ConditionWindow(CommandAssistant& assistant, const QString& caption,
                                 const QString& value, QWidget* parent)
    : QDialog(parent), a_(assistant), original_(value) {
    markTopLevel(this, "sim", caption);
    auto* layout = new QGridLayout(this);
    text2_ = lineEdit(this, "Text2");
    layout->addWidget(text2_, 0, 0, 1, 2);
    const char* const captions[2] = {"Cert", "Fals"};
    for (int i = 0; i < 2; ++i) {
        QPushButton* b = button(this, "buto_codi", QLatin1String(captions[i]), i);
        connect(b, &QPushButton::clicked, this, [this, i] { openBranch(i); });
        branches_[i] = new QLabel(this);
        branches_[i]->setObjectName(QStringLiteral("param2"));
        branches_[i]->setProperty("index", i);
        branches_[i]->setFrameShape(QFrame::Panel);
        branches_[i]->setFrameShadow(QFrame::Sunken);
        branches_[i]->setMinimumWidth(300);
        branches_[i]->setTextFormat(Qt::PlainText);
        layout->addWidget(b, 1 + i, 0);
        layout->addWidget(branches_[i], 1 + i, 1);
    }
    layout->addLayout(exitButtons(this), 3, 0, 1, 2);
    translateForm(this);
    const ConditionValue v = splitConditionValue(value);
    text2_->setText(v.word);
    branches_[0]->setText(v.ifEqual);
    branches_[1]->setText(v.ifDifferent);
    adjustSize();
}

QString ConditionWindow::value() const {
    return conditionParameter(original_, {text2_->text(), branches_[0]->text(), branches_[1]->text()});
}

QString ConditionWindow::branch(int index) const {
    return index == 0 || index == 1 ? branches_[index]->text() : QString();
}

void ConditionWindow::setBranch(int index, const QString& keys) {
    if (index == 0 || index == 1) branches_[index]->setText(keys);
}

void ConditionWindow::openBranch(int index) {
    if (index != 0 && index != 1) return;
    const QString tag = QString::fromUtf16(index == 0 ? kTagIfEqual : kTagIfDifferent);
    auto* w = new AssistantWindow(a_, tag, tag, branch(index), this);
    a_.openNested(w, this, tag);
}

void ConditionWindow::accept() {
    emit valueAccepted(value());
    QDialog::accept();
}

void ConditionWindow::reject() {
    QDialog::reject();
}

}  // namespace vexil
