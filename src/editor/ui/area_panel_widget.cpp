#include "editor/ui/area_panel_widget.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>

#include "editor/editor.h"
#include "help/help_book.h"

namespace vexil {

namespace {

constexpr Edge kEdges[4] = {Edge::X0, Edge::X1, Edge::Y0, Edge::Y1};

QLineEdit* lineEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLabel* label(QWidget* parent, const QString& caption) {
    return new QLabel(caption, parent);
}

void setTextKeepingCaret(QLineEdit* edit, const QString& text) {
    if (edit->text() != text) edit->setText(text);
}

}  // namespace

AreaPanelWidget::AreaPanelWidget(Editor& editor, QWidget* parent) : QFrame(parent), e_(editor) {
    setObjectName(QStringLiteral("fitxa_area"));
    setProperty("helpTopic", help_topic::AreaPanel);
    setFrameShape(QFrame::StyledPanel);
    build();
    wire();
    refresh();
}

void AreaPanelWidget::build() {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);

    msgArea_ = new QLabel(QStringLiteral("0/0 àrees"), this);
    msgArea_->setObjectName(QStringLiteral("MsgArea"));
    prevArea_ = button(this, "PrevArea", QStringLiteral("<"));
    nextArea_ = button(this, "NextArea", QStringLiteral(">"));
    auto* stepRow = new QHBoxLayout;
    stepRow->addWidget(prevArea_);
    stepRow->addWidget(msgArea_);
    stepRow->addWidget(nextArea_);
    grid->addLayout(stepRow, 0, 0, 1, 3);

    // The edges: a scroll bar edits each, the box beside it only shows the number.
    const char* const scrollNames[4] = {"ScrollX0", "scrollx1", "ScrollY0", "ScrollY1"};
    const char* const textNames[4] = {"TxX0", "TxX1", "TxY0", "TxY1"};
    const char* const captions[4] = {"Xi:", "Xf:", "Yi:", "Yf:"};
    for (int i = 0; i < 4; ++i) {
        auto* bar = new QScrollBar(Qt::Horizontal, this);
        bar->setObjectName(QLatin1String(scrollNames[i]));
        bar->setRange(0, kScrollMax);
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setMinimumWidth(120);
        bar->installEventFilter(this);
        scroll_.at(size_t(i)) = bar;
        edgeText_.at(size_t(i)) = lineEdit(this, textNames[i]);
        edgeText_.at(size_t(i))->setMaximumWidth(50);
        grid->addWidget(label(this, QLatin1String(captions[i])), 1 + i, 0);
        grid->addWidget(edgeText_.at(size_t(i)), 1 + i, 1);
        grid->addWidget(bar, 1 + i, 2);
    }

    grid->addWidget(label(this, QStringLiteral("Tecles:")), 0, 3);
    txText_ = lineEdit(this, "TxText");
    // The auxiliary keyboard writes into the key field.
    txText_->setProperty("vexilKeyField", true);
    grid->addWidget(txText_, 0, 4, 1, 4);

    grid->addWidget(label(this, QStringLiteral("Carregar fitxer a la carpeta:")), 1, 3);
    txApp_ = lineEdit(this, "TxApp");
    grid->addWidget(txApp_, 1, 4);
    const char* const kinds[2] = {"TXT", "Gràfic"};
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(QString::fromUtf8(kinds[i]), this);
        option->setObjectName(QStringLiteral("Option1"));
        option->setProperty("index", i);
        option1_.at(size_t(i)) = option;
        grid->addWidget(option, 1, 5 + i);
    }
    buscaClip_ = button(this, "BuscaClip", QStringLiteral("Fitxer..."));
    veureClip_ = button(this, "VeureClip", QStringLiteral("Veure"));
    auto* clipRow = new QHBoxLayout;
    clipRow->addWidget(buscaClip_);
    clipRow->addWidget(veureClip_);
    grid->addLayout(clipRow, 2, 4);

    grid->addWidget(label(this, QStringLiteral("Símbol visual")), 3, 3);
    iconaText_ = lineEdit(this, "Icona_text");
    grid->addWidget(iconaText_, 3, 4);
    iconaBuscar_ = button(this, "Icona_buscar", QStringLiteral("Fitxer..."));
    iconaVeure_ = button(this, "Icona_veure", QStringLiteral("Veure"));
    grid->addWidget(iconaBuscar_, 3, 5);
    grid->addWidget(iconaVeure_, 3, 6);

    grid->addWidget(label(this, QStringLiteral("Símbol auditiu")), 4, 3);
    soText_ = lineEdit(this, "So_Text");
    grid->addWidget(soText_, 4, 4);
    soBuscar_ = button(this, "So_buscar", QStringLiteral("Fitxer..."));
    soEscoltar_ = button(this, "So_escoltar", QStringLiteral("Escoltar"));
    grid->addWidget(soBuscar_, 4, 5);
    grid->addWidget(soEscoltar_, 4, 6);

    // Typing the key sequence by hand, or composing it in the command assistant.
    auto* modeRow = new QHBoxLayout;
    const char* const modes[2] = {"Tecles text", "Assistent tecles"};
    for (int i = 0; i < 2; ++i) {
        QPushButton* mode = button(this, "CODI_MODUS_BOTO", QLatin1String(modes[i]));
        mode->setProperty("index", i);
        connect(mode, &QPushButton::clicked, this, [this, i] { emit keysModeChosen(i); });
        modeRow->addWidget(mode);
    }
    modeRow->addStretch(1);
    grid->addLayout(modeRow, 5, 4, 1, 4);

    chRepe_ = new QCheckBox(QStringLiteral("Repetició de lectures"), this);
    chRepe_->setObjectName(QStringLiteral("ChRepe"));
    grid->addWidget(chRepe_, 2, 5, 1, 3);
    grid->setColumnStretch(4, 1);

    // Undo and redo belong to the board, not to the text being typed.
    for (QLineEdit* edit : {txText_, txApp_, iconaText_, soText_}) edit->installEventFilter(this);
    for (QLineEdit* edit : edgeText_) edit->installEventFilter(this);
}

void AreaPanelWidget::wire() {
    AreaPanel& panel = e_.panel;
    PanelFiles& files = e_.files;
    for (int i = 0; i < 4; ++i) {
        const Edge edge = kEdges[i];
        connect(scroll_.at(size_t(i)), &QScrollBar::valueChanged, this, [this, edge](int v) {
            if (!refreshing_) change([this, edge, v] { e_.panel.scrollChanged(edge, v); });
        });
        connect(edgeText_.at(size_t(i)), &QLineEdit::textEdited, this,
                [this, edge](const QString& text) {
                    change([this, edge, text] { e_.panel.typeEdgeText(edge, text); });
                });
    }
    const auto onText = [this](QLineEdit* edit, void (AreaPanel::*setter)(const QString&)) {
        connect(edit, &QLineEdit::textChanged, this, [this, setter](const QString& text) {
            if (!refreshing_) change([this, setter, text] { (e_.panel.*setter)(text); });
        });
    };
    // Typing moves the caret after the text changed: the panel takes both at once, so
    // that refilling the field does not put the caret back.
    connect(txText_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (refreshing_) return;
        change([this, text] {
            e_.panel.setKeysText(text);
            const int start =
                txText_->hasSelectedText() ? txText_->selectionStart() : txText_->cursorPosition();
            e_.panel.select(start, int(txText_->selectedText().size()));
        });
    });
    onText(txApp_, &AreaPanel::setClipFile);
    onText(soText_, &AreaPanel::setSoundFile);
    onText(iconaText_, &AreaPanel::setIconFile);
    connect(txText_, &QLineEdit::selectionChanged, this, [this] {
        if (refreshing_) return;
        const int start =
            txText_->hasSelectedText() ? txText_->selectionStart() : txText_->cursorPosition();
        e_.panel.select(start, int(txText_->selectedText().size()));
    });
    connect(txText_, &QLineEdit::cursorPositionChanged, this, [this](int, int now) {
        if (!refreshing_ && !txText_->hasSelectedText()) e_.panel.select(now, 0);
    });
    for (int i = 0; i < 2; ++i) {
        connect(option1_.at(size_t(i)), &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && !refreshing_) change([this, i] { e_.panel.setClipKind(i); });
        });
    }
    connect(chRepe_, &QCheckBox::toggled, this, [this](bool on) {
        if (!refreshing_) change([this, on] { e_.panel.setRepeat(on); });
    });
    connect(nextArea_, &QPushButton::clicked, this,
            [this, &panel] { change([&] { panel.nextArea(); }); });
    connect(prevArea_, &QPushButton::clicked, this,
            [this, &panel] { change([&] { panel.prevArea(); }); });
    connect(iconaBuscar_, &QPushButton::clicked, this, [this, &files] {
        if (!choosePicture) return;
        const std::optional<QString> chosen = choosePicture(files.iconChooserFolder());
        change([&] { files.chooseIcon(chosen); });
    });
    connect(iconaVeure_, &QPushButton::clicked, this, [&files] { files.viewIcon(); });
    connect(soBuscar_, &QPushButton::clicked, this,
            [this, &files] { change([&] { files.chooseSound(); }); });
    connect(soEscoltar_, &QPushButton::clicked, this, [&files] { files.playSound(); });
    connect(veureClip_, &QPushButton::clicked, this, [&files] { files.viewClip(); });
    // `BuscaClip` has no action: the clip file is typed in.
}

void AreaPanelWidget::change(const std::function<void()>& action) {
    action();
    refresh();
}

void AreaPanelWidget::refresh() {
    const PanelState& p = e_.context.panel;
    refreshing_ = true;
    msgArea_->setText(p.msgArea);
    for (int i = 0; i < 4; ++i) {
        scroll_.at(size_t(i))->setValue(p.scroll[i]);
        setTextKeepingCaret(edgeText_.at(size_t(i)), p.edgeText[i]);
    }
    if (txText_->text() != p.txText) txText_->setText(p.txText);
    // The field's caret and selection are the panel's (filling the panel moves them).
    const int start =
        txText_->hasSelectedText() ? txText_->selectionStart() : txText_->cursorPosition();
    if (start != p.selectionStart || txText_->selectedText().size() != p.selectionLength) {
        if (p.selectionLength > 0) txText_->setSelection(p.selectionStart, p.selectionLength);
        else txText_->setCursorPosition(p.selectionStart);
    }
    setTextKeepingCaret(txApp_, p.txApp);
    option1_.at(size_t(p.option1 == 1 ? 1 : 0))->setChecked(true);
    setTextKeepingCaret(iconaText_, p.iconaText);
    setTextKeepingCaret(soText_, p.soText);
    chRepe_->setChecked(p.chRepe);
    refreshing_ = false;
}

void AreaPanelWidget::focusKeys() {
    txText_->setFocus(Qt::OtherFocusReason);
}

bool AreaPanelWidget::eventFilter(QObject* watched, QEvent* event) {
    const auto bar = std::find(scroll_.begin(), scroll_.end(), watched);
    if (bar != scroll_.end()) {
        // An edge edit starts when a coordinate scroll bar gets the focus and is applied
        // when one gets or loses it next.
        if (event->type() == QEvent::FocusIn) change([this] { e_.panel.edgeFocus(false); });
        if (event->type() == QEvent::FocusOut) change([this] { e_.panel.edgeFocus(true); });
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrlOnly = key->modifiers() == Qt::ControlModifier;
        if (ctrlOnly && (key->key() == Qt::Key_Z || key->key() == Qt::Key_Y)) {
            event->ignore();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace vexil
