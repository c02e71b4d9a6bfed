#include "assist/ui/data_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "assist/keys_field.h"
#include "assist/ui/assistant_widgets.h"
#include "assist/ui/command_assistant.h"
#include "i18n/texts.h"
#include "i18n/ui/translate_form.h"

namespace vexil {

using assistant::button;
using assistant::exitButtons;
using assistant::lineEdit;
using assistant::markTopLevel;

// `Dades`: one parameter of a row.

DataWindow::DataWindow(CommandAssistant& assistant, ParamKind kind, const QString& caption,
                       const QString& value, QWidget* parent)
    : QDialog(parent), a_(assistant), kind_(kind) {
    markTopLevel(this, "Dades", caption);
    auto* layout = new QVBoxLayout(this);

    text1_ = lineEdit(this, "Text1");
    text1_->setProperty("vexilKeyField", true);
    text1_->setMinimumWidth(360);
    connect(text1_, &QLineEdit::selectionChanged, this, [this] { rememberSelection(false); });
    connect(text1_, &QLineEdit::cursorPositionChanged, this, [this] { rememberSelection(true); });
    layout->addWidget(text1_);
    auto* values = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        text2_[i] = lineEdit(this, "Text2", i);
        values->addWidget(text2_[i]);
    }
    layout->addLayout(values);
    list1_ = new QListWidget(this);
    list1_->setObjectName(QStringLiteral("List1"));
    layout->addWidget(list1_);

    auto* files = new QHBoxLayout;
    fitxers_ = new QComboBox(this);
    fitxers_->setObjectName(QStringLiteral("fitxers"));
    for (const QString& k : dataFileKinds()) fitxers_->addItem(translateCaption(k));
    QPushButton* mF = button(this, "mF", QStringLiteral("+ F"));
    connect(mF, &QPushButton::clicked, this, &DataWindow::addFile);
    files->addWidget(fitxers_);
    files->addWidget(mF);
    files->addStretch(1);
    QPushButton* codis = button(this, "buto_codi", QStringLiteral("Codis"));
    connect(codis, &QPushButton::clicked, this, &DataWindow::openCodes);
    QPushButton* tecVirt = button(this, "TEC_VIRT", QStringLiteral("teclat virtual"));
    connect(tecVirt, &QPushButton::clicked, &a_, &CommandAssistant::auxiliaryKeyboardRequested);
    files->addWidget(codis);
    files->addWidget(tecVirt);
    layout->addLayout(files);
    layout->addLayout(exitButtons(this));
    translateForm(this);

    // What each kind shows.
    const bool text = kind == ParamKind::Text, list = kind == ParamKind::List;
    text1_->setVisible(text);
    text2_[0]->setVisible(!text);
    text2_[1]->setVisible(kind == ParamKind::Coordinates);
    list1_->setVisible(list);
    fitxers_->setVisible(text || list);
    mF->setVisible(text || list);
    codis->setVisible(text);
    tecVirt->setVisible(text);
    // Keys may be typed into the text, and into a list's item (a choice may be a sequence).
    text2_[0]->setProperty("vexilKeyField", list);
    // Enter accepts the value, except in a list, where it adds the item typed.
    for (QPushButton* b : findChildren<QPushButton*>(QStringLiteral("BUTO_SORTIR")))
        if (b->property("index").toInt() == 0) b->setDefault(!list);

    switch (kind) {
        case ParamKind::Coordinates: {
            const Coordinates c = splitCoordinates(value);
            text2_[0]->setText(c.x);
            text2_[1]->setText(c.y);
            break;
        }
        case ParamKind::List:
            list1_->addItems(listItems(value));
            connect(text2_[0], &QLineEdit::returnPressed, this, &DataWindow::addListItem);
            connect(text2_[1], &QLineEdit::returnPressed, this, &DataWindow::addListItem);
            connect(list1_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
                // Back into the box for editing; what the box held joins the list first.
                const QString pending = text2_[0]->text();
                const QString picked = item->text();
                delete item;
                for (const QString& p : typedListItems(pending)) list1_->addItem(p);
                text2_[0]->setText(picked);
            });
            break;
        case ParamKind::Text:
            text1_->setText(value);
            rememberSelection(true);
            break;
        default: text2_[0]->setText(value); break;
    }
    adjustSize();
}

std::optional<QString> DataWindow::value() const {
    switch (kind_) {
        case ParamKind::Text: return text1_->text();
        case ParamKind::Coordinates: return joinCoordinates(text2_[0]->text(), text2_[1]->text());
        case ParamKind::List: {
            QStringList items;
            for (int i = 0; i < list1_->count(); ++i) items << list1_->item(i)->text();
            // An item still in the box counts as added.
            items << typedListItems(text2_[0]->text());
            return joinList(items);
        }
        default: return text2_[0]->text();
    }
}

void DataWindow::insertText(const QString& text) {
    // In place of what was selected when "Codis" was pressed, else at the cursor.
    const QVariant start = property("codisSelectionStart");
    const QVariant length = property("codisSelectionLength");
    if (start.isValid()) {
        QString t = text1_->text();
        const int s = std::clamp(start.toInt(), 0, int(t.size()));
        t.replace(s, std::clamp(length.toInt(), 0, int(t.size()) - s), text);
        text1_->setText(t);
        text1_->setCursorPosition(s + int(text.size()));
        setProperty("codisSelectionStart", QVariant());
        setProperty("codisSelectionLength", QVariant());
    } else {
        text1_->insert(text);
    }
    rememberSelection(true);
}

void DataWindow::rememberSelection(bool always) {
    // The field drops its selection as it loses the focus: that is not the author's doing.
    if (!always && !text1_->hasFocus() && !text1_->hasSelectedText()) return;
    selectionStart_ = text1_->hasSelectedText() ? text1_->selectionStart() : text1_->cursorPosition();
    selectionLength_ = int(text1_->selectedText().size());
}

void DataWindow::addFile() {
    const int index = fitxers_->currentIndex();
    const QString command = dataFileCommand(index, a_.keys().chooseFile(dataFileKind(index)));
    if (command.isEmpty()) return;
    if (kind_ == ParamKind::List) list1_->addItem(command);
    else {
        text1_->insert(command);
        rememberSelection(true);
    }
}

void DataWindow::openCodes() {
    rememberSelection(false);
    const QString text = text1_->text();
    const int start = std::clamp(selectionStart_, 0, int(text.size()));
    const int length = std::clamp(selectionLength_, 0, int(text.size()) - start);
    setProperty("codisSelectionStart", start);
    setProperty("codisSelectionLength", length);
    const QString tag = windowTitle();
    auto* w = new AssistantWindow(a_, tag, tag, text.mid(start, length), this);
    a_.openNested(w, this, tag);
}

void DataWindow::addListItem() {
    for (QLineEdit* box : text2_) {
        for (const QString& item : typedListItems(box->text())) list1_->addItem(item);
        box->clear();
    }
}

void DataWindow::accept() {
    const std::optional<QString> v = value();
    if (!v) {
        // A choice among nothing: the window stays open for an item or "Cancelar".
        a_.keys().beep();
        return;
    }
    emit valueAccepted(*v);
    QDialog::accept();
}

void DataWindow::reject() {
    QDialog::reject();
}

}  // namespace vexil
