#include "access/ui/voice_windows.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QHeaderView>
#include <QVBoxLayout>
#include <cmath>

#include "i18n/texts.h"
#include "session/session.h"

namespace vexil {

namespace {

// Texts set while a window is open go through the caption table as its captions did.
QString captionText(const char* catalan) { return translateCaption(QString::fromUtf8(catalan)); }

QPushButton* button(const QString& name, const char* caption, QWidget* parent) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    return b;
}

}  // namespace

// --- one take -----------------------------------------------------------------------------------

TakeView::TakeView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(90, 40);
    setCursor(Qt::PointingHandCursor);
}

void TakeView::setTake(const std::optional<voice::Take>& take) {
    envelope_ = take ? take->envelope : std::vector<float>{};
    update();
}

void TakeView::setSelected(bool selected) {
    selected_ = selected;
    update();
}

void TakeView::setRecording(bool recording) {
    recording_ = recording;
    update();
}

void TakeView::mousePressEvent(QMouseEvent*) { emit chosen(); }

void TakeView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect().adjusted(1, 1, -2, -2);
    p.fillRect(r, recording_ ? QColor(255, 235, 200) : Qt::white);
    p.setPen(QPen(selected_ ? Qt::blue : Qt::gray, selected_ ? 3 : 1));
    p.drawRect(r);
    if (envelope_.empty()) {
        p.setPen(Qt::darkGray);
        p.drawText(r, Qt::AlignCenter, recording_ ? captionText("Escoltant...") : QStringLiteral("-"));
        return;
    }
    // Levels from -70 dB (the bottom) to 0 dB (the top).
    p.setPen(QPen(QColor(0, 110, 0), 1));
    const int n = int(envelope_.size());
    for (int i = 0; i < n; ++i) {
        const float v = std::clamp((envelope_[std::size_t(i)] + 70.0f) / 70.0f, 0.0f, 1.0f);
        const int x = r.left() + 2 + (r.width() - 4) * i / std::max(n, 1);
        const int h = int(v * float(r.height() - 4));
        p.drawLine(x, r.center().y() - h / 2, x, r.center().y() + h / 2);
    }
}

// --- training ----------------------------------------------------------------------------------

VoiceTrainingWindow::VoiceTrainingWindow(Session& session, QWidget* parent, int takesPerLabel)
    : QDialog(parent), s_(session), training_(session.platform.recognizer, takesPerLabel) {
    setObjectName(QStringLiteral("Entrenament"));
    setWindowTitle(QStringLiteral("Entrenament"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    prompt_ = new QLabel(QStringLiteral("Digueu el so:"), this);
    prompt_->setObjectName(QStringLiteral("Label_digueu"));
    word_ = new QLabel(this);
    word_->setObjectName(QStringLiteral("paraula"));
    QFont big = word_->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    word_->setFont(big);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("estat"));
    auto* head = new QHBoxLayout;
    head->addWidget(prompt_);
    head->addWidget(word_);
    head->addStretch();
    layout->addLayout(head);
    layout->addWidget(status_);

    grid_ = new QGridLayout;
    voice::VoiceModel* model = session.platform.recognizer.model();
    const QStringList labels = model ? model->labels() : QStringList();
    for (int l = 1; l <= labels.size(); ++l) {
        auto* name = new QLabel(labels[l - 1], this);
        name->setObjectName(QStringLiteral("so_%1").arg(l));
        grid_->addWidget(name, l - 1, 0);
        std::vector<TakeView*> row;
        for (int k = 1; k <= training_.takesPerLabel(); ++k) {
            auto* v = new TakeView(this);
            v->setObjectName(QStringLiteral("presa_%1_%2").arg(l).arg(k));
            grid_->addWidget(v, l - 1, k);
            connect(v, &TakeView::chosen, this, [this, l, k] {
                selectedLabel_ = l;
                selectedTake_ = k;
                refresh();
            });
            row.push_back(v);
        }
        views_.push_back(row);
    }
    layout->addLayout(grid_);

    auto* buttons = new QHBoxLayout;
    redo_ = button(QStringLiteral("CommandRepetir"), "Tornar a gravar", this);
    next_ = button(QStringLiteral("CommandSeguent"), "So següent", this);
    done_ = button(QStringLiteral("CommandAcabar"), "Acabar", this);
    buttons->addWidget(redo_);
    buttons->addWidget(next_);
    buttons->addStretch();
    buttons->addWidget(done_);
    layout->addLayout(buttons);
    redo_->setEnabled(false);

    connect(redo_, &QPushButton::clicked, this, [this] {
        if (selectedLabel_ > 0) training_.redo(selectedLabel_, selectedTake_);
    });
    connect(next_, &QPushButton::clicked, this, [this] { training_.nextLabel(); });
    connect(done_, &QPushButton::clicked, this, [this] { accept(); });
    training_.changed = [this] { refresh(); };
}

VoiceTrainingWindow::~VoiceTrainingWindow() {
    training_.changed = nullptr;
    training_.finish();
}

void VoiceTrainingWindow::begin() {
    if (!training_.begin()) status_->setText(captionText("No es pot gravar"));
    refresh();
}

void VoiceTrainingWindow::done(int result) {
    // Closing half-way keeps the labels completed; the rest keep what they had.
    training_.finish();
    QDialog::done(result);
}

TakeView* VoiceTrainingWindow::takeView(int label, int take) const {
    if (label < 1 || label > int(views_.size())) return nullptr;
    const auto& row = views_[std::size_t(label - 1)];
    return take >= 1 && take <= int(row.size()) ? row[std::size_t(take - 1)] : nullptr;
}

void VoiceTrainingWindow::refresh() {
    const int label = training_.label();
    for (int l = 1; l <= int(views_.size()); ++l)
        for (int k = 1; k <= int(views_[std::size_t(l - 1)].size()); ++k) {
            TakeView* v = views_[std::size_t(l - 1)][std::size_t(k - 1)];
            v->setTake(training_.takes(l)[std::size_t(k - 1)]);
            v->setSelected(l == selectedLabel_ && k == selectedTake_);
            v->setRecording(training_.recording() && l == label && k == training_.take());
        }
    word_->setText(label > 0 ? training_.labelText(label) : QString());
    QString status;
    if (!training_.problem().isEmpty())
        status = translateCaption(training_.problem()) + QStringLiteral(". ") +
                 captionText("Trieu una presa i torneu-la a gravar.");
    else if (training_.finished() || label == 0)
        status = captionText("Entrenament acabat.");
    else
        status = captionText("Presa") + u' ' + QString::number(training_.take()) + QStringLiteral(" / ") +
                 QString::number(training_.takesPerLabel()) + QStringLiteral(": ") +
                 captionText("Escoltant...");
    status_->setText(status);
    redo_->setEnabled(selectedLabel_ > 0 && !training_.finished());
    next_->setEnabled(!training_.finished() && label > 0);
}

// --- graphs -----------------------------------------------------------------------------------

VoiceGraphsWindow::VoiceGraphsWindow(Session& session, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Grafiques"));
    setWindowTitle(QStringLiteral("Millorar el reconeixement"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    const voice::VoiceModel* model = session.platform.recognizer.model();
    auto* takesTitle = new QLabel(QStringLiteral("Preses de cada so"), this);
    takesTitle->setObjectName(QStringLiteral("Label_preses"));
    layout->addWidget(takesTitle);
    auto* grid = new QGridLayout;
    const int n = model ? model->labelCount() : 0;
    const auto separation = model ? model->separation() : std::vector<std::vector<float>>{};
    for (int l = 1; l <= n; ++l) {
        grid->addWidget(new QLabel(model->labels()[l - 1], this), l - 1, 0);
        int k = 1;
        for (const voice::Take& t : model->takes(l)) {
            auto* v = new TakeView(this);
            v->setTake(t);
            grid->addWidget(v, l - 1, k++);
        }
        if (k == 1) grid->addWidget(new QLabel(captionText("Sense entrenar"), this), l - 1, 1);
    }
    layout->addLayout(grid);

    auto* distanceTitle = new QLabel(QStringLiteral("Distància entre els sons"), this);
    distanceTitle->setObjectName(QStringLiteral("Label_distancia"));
    layout->addWidget(distanceTitle);
    auto* table = new QTableWidget(n, n, this);
    table->setObjectName(QStringLiteral("distancies"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList names = model ? model->labels() : QStringList();
    table->setHorizontalHeaderLabels(names);
    table->setVerticalHeaderLabels(names);
    for (int i = 0; i < n; ++i) {
        // The label's own spread against its nearest other label: the nearer, the redder.
        const float own = separation[std::size_t(i)][std::size_t(i)];
        float nearest = INFINITY;
        for (int j = 0; j < n; ++j) {
            const float d = separation[std::size_t(i)][std::size_t(j)];
            auto* item = new QTableWidgetItem(d > 0 ? QString::number(double(d), 'f', 2)
                                                    : QStringLiteral("-"));
            item->setTextAlignment(Qt::AlignCenter);
            table->setItem(i, j, item);
            if (j != i && d > 0) nearest = std::min(nearest, d);
        }
        if (own > 0 && std::isfinite(nearest) && nearest < own * 1.2f) {
            tooClose_.push_back(i + 1);
            for (int j = 0; j < n; ++j) table->item(i, j)->setBackground(QColor(255, 200, 200));
        }
    }
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setMinimumHeight(40 + 30 * n);
    layout->addWidget(table);
    QString advice = captionText("Els sons marcats s'assemblen massa a un altre: torneu-los a entrenar.");
    if (tooClose_.empty()) advice = captionText("Tots els sons es distingeixen bé.");
    auto* adviceLabel = new QLabel(advice, this);
    adviceLabel->setObjectName(QStringLiteral("consell"));
    layout->addWidget(adviceLabel);
    auto* close = button(QStringLiteral("CommandTancar"), "Tancar", this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
}

// --- level -------------------------------------------------------------------------------------

VoiceLevelWindow::VoiceLevelWindow(Session& session, QWidget* parent)
    : QDialog(parent), s_(session) {
    setObjectName(QStringLiteral("NivellDeSo"));
    setWindowTitle(QStringLiteral("Control del volum"));
    setModal(true);
    setMinimumSize(360, 150);
    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("nivell"));
    layout->addWidget(text_);
    layout->addStretch();
    auto* close = button(QStringLiteral("CommandTancar"), "Tancar", this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
}

VoiceLevelWindow::~VoiceLevelWindow() { stopMeter(); }

void VoiceLevelWindow::begin() {
    running_ = s_.platform.recognizer.monitorLevel([this](float level, float threshold) {
        level_ = level;
        threshold_ = threshold;
        text_->setText(captionText("Nivell") + QStringLiteral(": %1 dB   ").arg(double(level), 0, 'f', 0) +
                       captionText("Llindar") + QStringLiteral(": %1 dB").arg(double(threshold), 0, 'f', 0));
        update();
    });
    if (!running_) text_->setText(captionText("No es pot escoltar el so"));
}

void VoiceLevelWindow::stopMeter() {
    if (running_) s_.platform.recognizer.monitorLevel({});
    running_ = false;
}

void VoiceLevelWindow::done(int result) {
    stopMeter();
    QDialog::done(result);
}

void VoiceLevelWindow::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    QPainter p(this);
    const QRect bar(12, text_->geometry().bottom() + 14, width() - 24, 30);
    // -80 dB at the left, 0 dB at the right.
    const auto x = [&](float db) {
        return bar.left() + int(std::clamp((db + 80.0f) / 80.0f, 0.0f, 1.0f) * float(bar.width()));
    };
    p.fillRect(bar, QColor(235, 235, 235));
    const QColor fill = level_ > threshold_ ? QColor(0, 170, 0) : QColor(120, 160, 120);
    p.fillRect(QRect(bar.left(), bar.top(), x(level_) - bar.left(), bar.height()), fill);
    p.setPen(QPen(Qt::red, 3));
    p.drawLine(x(threshold_), bar.top() - 4, x(threshold_), bar.bottom() + 4);
    p.setPen(Qt::black);
    p.drawRect(bar);
}

}  // namespace vexil
