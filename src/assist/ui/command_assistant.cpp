#include "assist/ui/command_assistant.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>

#include "assist/keys_field.h"
#include "i18n/texts.h"
#include "i18n/ui/translate_form.h"
#include "session/session.h"

namespace vexil {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int index = -1) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    if (index >= 0) b->setProperty("index", index);
    // Enter in a text box must not press a button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, int index = -1) {
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

// The "Acceptar" / "Cancelar" pair of every assistant window.
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

}  // namespace

// --- CommandAssistant ----------------------------------------------------------------------

CommandAssistant::CommandAssistant(Session& session, KeysFieldCommands& keys, QWidget* mainWindow)
    : QObject(mainWindow), s_(session), keys_(keys), mainWindow_(mainWindow) {}

CommandAssistant::~CommandAssistant() {
    for (const QPointer<QDialog>& w : open_)
        if (w) w->disconnect(this);
}

const std::vector<MacroEntry>& CommandAssistant::macros() const {
    return s_.catalogue.macros;
}

int CommandAssistant::nestOffset(const QWidget* w) {
    const QScreen* screen = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return int(std::lround(kNestOffsetTwips * dpi / 1440.0));
}

AssistantWindow* CommandAssistant::open() {
    if (!open_.isEmpty()) {
        if (open_.last()) open_.last()->raise();
        return nullptr;
    }
    if (!keys_.canWrite()) return nullptr;
    context.contextTag = QString::fromUtf16(kTagArea);
    context.contextStack.clear();
    auto* w = new AssistantWindow(*this, QString::fromUtf16(kTagArea),
                                  translateCaption(QStringLiteral("Assistent tecles")),
                                  keys_.assistantStart(), mainWindow_);
    const int off = nestOffset(mainWindow_);
    if (mainWindow_) w->move(mainWindow_->pos() + QPoint(off, off));
    w->setWindowModality(Qt::WindowModal);
    open_.append(w);
    connect(w, &QDialog::finished, this, [this, w] { windowClosed(w); });
    w->show();
    return w;
}

void CommandAssistant::openNested(QDialog* child, QWidget* parent, const QString& tag) {
    context.push(tag);
    const int off = nestOffset(parent);
    child->move(parent->pos() + QPoint(off, off));
    child->setWindowModality(Qt::WindowModal);
    open_.append(child);
    connect(child, &QDialog::finished, this, [this, child] { windowClosed(child); });
    child->show();
}

void CommandAssistant::windowClosed(QDialog* window) {
    const qsizetype i = open_.indexOf(window);
    if (i < 0) return;
    open_.removeAt(i);
    context.pop();
    if (open_.isEmpty()) {
        context.contextStack.clear();
        emit closed();
    }
}

template <typename W>
static QList<W*> windowsOf(const QList<QPointer<QDialog>>& open) {
    QList<W*> out;
    for (const QPointer<QDialog>& w : open)
        if (auto* typed = qobject_cast<W*>(w.data())) out << typed;
    return out;
}

QList<AssistantWindow*> CommandAssistant::assistants() const {
    return windowsOf<AssistantWindow>(open_);
}
QList<DataWindow*> CommandAssistant::dataWindows() const {
    return windowsOf<DataWindow>(open_);
}
QList<ConditionWindow*> CommandAssistant::conditionWindows() const {
    return windowsOf<ConditionWindow>(open_);
}

// --- Fill ----------------------------------------------------------------------------------

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

// --- Dades ---------------------------------------------------------------------------------

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

// --- sim -----------------------------------------------------------------------------------

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
