#include "assist/ui/assistant_window.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QVBoxLayout>

#include "assist/keys_field.h"
#include "assist/ui/assistant_widgets.h"
#include "assist/ui/command_assistant.h"
#include "i18n/texts.h"
#include "i18n/ui/translate_form.h"
#include "session/session.h"

namespace vexil {

using assistant::button;
using assistant::exitButtons;
using assistant::lineEdit;
using assistant::markTopLevel;

// `Fill`: one level of the assistant, a row for each part of the key sequence.

AssistantWindow::AssistantWindow(CommandAssistant& assistant, const QString& tag,
                                 const QString& caption, const QString& start, QWidget* parent)
    : QDialog(parent), a_(assistant), tag_(tag), start_(start) {
    build(caption);
    // One row, measured and removed again by showRows when the sequence has none.
    addRowWidgets();
    rowWidth_ = rowsHost_->sizeHint().width();
    rows_.rows = cutKeySequence(start_, a_.macros());
    rows_.selected = rows_.count();
    showRows();
    logCaptions();
}

void AssistantWindow::build(const QString& caption) {
    markTopLevel(this, "Fill", caption);
    auto* layout = new QVBoxLayout(this);
    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    // Tab goes from control to control, not to the frame around the rows.
    scroll_->setFocusPolicy(Qt::NoFocus);
    rowsHost_ = new QWidget(scroll_);
    grid_ = new QGridLayout(rowsHost_);
    grid_->setAlignment(Qt::AlignTop);
    scroll_->setWidget(rowsHost_);
    layout->addWidget(scroll_, 1);
    options_ = new QButtonGroup(this);

    auto* tools = new QHBoxLayout;
    const char* const codiCaptions[3] = {"+ Codi", "- Codi", "^ Codi"};
    for (int i = 0; i < 3; ++i) {
        QPushButton* b = button(this, "codi", QLatin1String(codiCaptions[i]), i);
        connect(b, &QPushButton::clicked, this, [this, i] { codi(i); });
        tools->addWidget(b);
    }
    // A fresh window starts on "+ Codi".
    findChildren<QPushButton*>(QStringLiteral("codi")).first()->setFocus(Qt::OtherFocusReason);
    nItems_ = lineEdit(this, "n_items");
    nItems_->setReadOnly(true);
    nItems_->setMaximumWidth(50);
    nItems_->setText(QStringLiteral("0"));
    tools->addWidget(nItems_);
    QPushButton* help = button(this, "HelpTecles", QStringLiteral("Seqüències de tecles"));
    connect(help, &QPushButton::clicked, this,
            [this] { emit a_.helpRequested(kKeySequencesHelpTopic); });
    tools->addStretch(1);
    tools->addWidget(help);
    layout->addLayout(tools);
    layout->addLayout(exitButtons(this));
    // The fixed captions are translated here; the rows show data, which is not.
    translateForm(this);

    for (int i = 0; i < choiceCount(a_.macros()); ++i) choices_ << choiceCaption(i, a_.macros());
    resize(780, 200);
}

void AssistantWindow::logCaptions() {
    QStringList captions;
    for (const char* design : {"parametre 1", "parametre2", "parametre3"})
        captions << translateCaption(QLatin1String(design));
    for (QPushButton* b : findChildren<QPushButton*>()) captions << b->text();
    appendCaptionLog(a_.session().folders.userFolder, windowTitle(), captions);
}

void AssistantWindow::addRowWidgets() {
    const int r = int(widgets_.size()) + 1;
    RowWidgets w;
    w.option = new QRadioButton(rowsHost_);
    w.option->setObjectName(QStringLiteral("Option1"));
    w.option->setProperty("index", r);
    options_->addButton(w.option, r);
    connect(w.option, &QRadioButton::clicked, this, [this, r] { selectRow(r); });
    w.ordres = new QComboBox(rowsHost_);
    w.ordres->setObjectName(QStringLiteral("ordres"));
    w.ordres->setProperty("index", r);
    w.ordres->addItems(choices_);
    w.ordres->setMinimumWidth(240);
    connect(w.ordres, &QComboBox::activated, this, [this, r](int choice) { chooseInRow(r, choice); });
    w.param1 = new QLabel(rowsHost_);
    w.param1->setObjectName(QStringLiteral("param1"));
    w.param1->setProperty("index", r);
    w.param1->setMinimumWidth(160);
    w.param1->setTextFormat(Qt::PlainText);
    // The value is typed in place; a double click builds it in a nested assistant.
    w.param2 = lineEdit(rowsHost_, "param2", r);
    w.param2->setMinimumWidth(220);
    w.param2->setProperty("vexilKeyField", true);
    w.param2->installEventFilter(this);
    connect(w.param2, &QLineEdit::textChanged, this,
            [this, r](const QString& text) { parameterTyped(r, text); });
    w.param3 = new QLabel(rowsHost_);
    w.param3->setObjectName(QStringLiteral("param3"));
    w.param3->setProperty("index", r);
    w.param3->hide();
    grid_->addWidget(w.option, r, 0);
    grid_->addWidget(w.ordres, r, 1);
    grid_->addWidget(w.param1, r, 2);
    grid_->addWidget(w.param2, r, 3);
    grid_->addWidget(w.param3, r, 4);
    grid_->setColumnStretch(3, 1);
    widgets_.push_back(w);
}

void AssistantWindow::showRows() {
    const QScopedValueRollback<bool> filling(filling_, true);
    while (int(widgets_.size()) < rows_.count()) addRowWidgets();
    while (int(widgets_.size()) > rows_.count()) {
        const RowWidgets& w = widgets_.back();
        options_->removeButton(w.option);
        for (QWidget* x : {static_cast<QWidget*>(w.option), static_cast<QWidget*>(w.ordres),
                           static_cast<QWidget*>(w.param1), static_cast<QWidget*>(w.param2),
                           static_cast<QWidget*>(w.param3)})
            delete x;
        widgets_.pop_back();
    }
    for (int r = 1; r <= rows_.count(); ++r) {
        const KeyRow& row = rows_.rows[size_t(r - 1)];
        const RowWidgets& w = widgets_[size_t(r - 1)];
        {
            const QSignalBlocker block(w.ordres);
            w.ordres->setCurrentIndex(row.choice < w.ordres->count() ? row.choice : -1);
        }
        w.option->setChecked(r == rows_.selected);
        w.param1->setText(row.param1);
        if (w.param2->text() != row.param2) w.param2->setText(row.param2);
        // A command without a parameter has nothing to type.
        const bool none = row.choice > 0 && row.choice < catalogueCaptionCount() &&
                          commandCatalogue(row.choice, 2).isEmpty();
        w.param2->setReadOnly(none);
    }
    if (rows_.selected == 0 && options_->checkedButton()) {
        options_->setExclusive(false);
        options_->checkedButton()->setChecked(false);
        options_->setExclusive(true);
    }
    nItems_->setText(QString::number(rows_.selected));
    // The window grows with its rows, up to most of the screen.
    const QScreen* screen = this->screen();
    const int most = screen ? screen->availableGeometry().height() * 2 / 3 : 600;
    const QSize rowsSize = rowsHost_->sizeHint();
    const int frame = 2 * scroll_->frameWidth() + 4;
    scroll_->setMinimumWidth(std::max(rowsSize.width(), rowWidth_) +
                             scroll_->verticalScrollBar()->sizeHint().width() + frame);
    scroll_->setMinimumHeight(std::min(most, std::max(40, rowsSize.height() + frame)));
    adjustSize();
}

QRadioButton* AssistantWindow::option(int row) const {
    return row >= 1 && row <= int(widgets_.size()) ? widgets_[size_t(row - 1)].option : nullptr;
}
QComboBox* AssistantWindow::ordres(int row) const {
    return row >= 1 && row <= int(widgets_.size()) ? widgets_[size_t(row - 1)].ordres : nullptr;
}
QLabel* AssistantWindow::param1(int row) const {
    return row >= 1 && row <= int(widgets_.size()) ? widgets_[size_t(row - 1)].param1 : nullptr;
}
QLineEdit* AssistantWindow::param2(int row) const {
    return row >= 1 && row <= int(widgets_.size()) ? widgets_[size_t(row - 1)].param2 : nullptr;
}

JoinedKeys AssistantWindow::joined() const {
    return confegir_codi(rows_.rows, a_.macros());
}

void AssistantWindow::selectRow(int row) {
    if (row < 1 || row > rows_.count()) return;
    rows_.selected = row;
    showRows();
}

void AssistantWindow::chooseInRow(int r, int choice) {
    if (r < 1 || r > rows_.count()) return;
    rows_.selected = r;
    int fileKind = -1;
    const ChoiceAction action = chooseRow(rows_.rows[size_t(r - 1)], choice, a_.macros(), &fileKind);
    showRows();
    const QString caption = choiceCaption(choice, a_.macros());
    const QString value = rows_.rows[size_t(r - 1)].param2;
    switch (action) {
        case ChoiceAction::Nothing: return;
        case ChoiceAction::File: setSelectedParameter(a_.keys().chooseFile(fileKind)); return;
        case ChoiceAction::Data: {
            auto* d = new DataWindow(a_, paramKind(commandCatalogue(choice, 2)), caption, value, this);
            connect(d, &DataWindow::valueAccepted, this, &AssistantWindow::setSelectedParameter);
            a_.openNested(d, this, caption);
            return;
        }
        case ChoiceAction::Condition: {
            auto* c = new ConditionWindow(a_, caption, value, this);
            connect(c, &ConditionWindow::valueAccepted, this, &AssistantWindow::setSelectedParameter);
            a_.openNested(c, this, caption);
            return;
        }
    }
}

void AssistantWindow::openParameter(int r) {
    if (r < 1 || r > rows_.count()) return;
    selectRow(r);
    const QString tag = QString::fromUtf16(kTagParameter);
    auto* w = new AssistantWindow(a_, tag, tag, rows_.rows[size_t(r - 1)].param2, this);
    a_.openNested(w, this, tag);
}

void AssistantWindow::parameterTyped(int r, const QString& text) {
    if (filling_ || r < 1 || r > rows_.count()) return;
    rows_.rows[size_t(r - 1)].param2 = text;
    markSelected(r);
}

void AssistantWindow::markSelected(int r) {
    // Working in a row's value selects the row, as a click on its option does.
    if (rows_.selected == r || r < 1 || r > int(widgets_.size())) return;
    rows_.selected = r;
    widgets_[size_t(r - 1)].option->setChecked(true);
    nItems_->setText(QString::number(r));
}

void AssistantWindow::codi(int index) {
    if (index == 0) rows_.add();
    else if (index == 1) rows_.removeSelected();
    else if (index == 2) rows_.moveUp();
    showRows();
    // A new row asks first what it is.
    if (index == 0) ordres(rows_.count())->setFocus(Qt::OtherFocusReason);
}

void AssistantWindow::setSelectedParameter(const QString& value) {
    if (KeyRow* row = rows_.current()) {
        row->param2 = value;
        showRows();
    }
}

void AssistantWindow::accept() {
    const JoinedKeys keys = joined();
    QWidget* opener = parentWidget();
    switch (assistTarget(tag_)) {
        case AssistTarget::KeysField:
            if (a_.keys().acceptAssistant(start_, keys)) emit a_.keysFieldChanged();
            break;
        case AssistTarget::ParentRow:
            if (auto* parent = qobject_cast<AssistantWindow*>(opener))
                parent->setSelectedParameter(keys.keys);
            break;
        case AssistTarget::IfEqual:
        case AssistTarget::IfDifferent:
            if (auto* condition = qobject_cast<ConditionWindow*>(opener))
                condition->setBranch(assistTarget(tag_) == AssistTarget::IfEqual ? 0 : 1, keys.keys);
            break;
        case AssistTarget::DataText:
            if (auto* data = qobject_cast<DataWindow*>(opener)) data->insertText(keys.keys);
            break;
    }
    QDialog::accept();
}

void AssistantWindow::reject() {
    QDialog::reject();
}

bool AssistantWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick || event->type() == QEvent::FocusIn) {
        for (size_t i = 0; i < widgets_.size(); ++i) {
            if (widgets_[i].param2 != watched) continue;
            if (event->type() == QEvent::FocusIn) {
                markSelected(int(i) + 1);
                break;
            }
            openParameter(int(i) + 1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vexil
