#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/qt/file_filter.h"

namespace vexil {

MessageAnswer QtDialogs::message(const QString& text, const QString& title, MessageButtons buttons,
                                 MessageIcon icon) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    QMessageBox box;
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
        case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
        case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MessageIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    }
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

namespace {

// The trust question, answerable with the user's access method: in scanning modes the two
// buttons are highlighted in turn and any key or click chooses the highlighted one, as on
// the board; otherwise the arrow keys or Tab move between them, Space or Enter chooses, and
// the mouse clicks; the trained sounds and the joystick answer through `connectSwitches`.
// It stays above the board, which may hold the top-most layer.
class TrustDialog : public QDialog {
public:
    explicit TrustDialog(const TrustQuestion& q) {
        setObjectName(QStringLiteral("trustDialog"));
        setWindowTitle(q.title);
        setWindowFlag(Qt::WindowStaysOnTopHint);
        auto* layout = new QVBoxLayout(this);
        auto* text = new QLabel(q.text, this);
        text->setWordWrap(true);
        layout->addWidget(text);
        auto* list = new QListWidget(this);
        list->setObjectName(QStringLiteral("trustActions"));
        list->addItems(q.actions);
        list->setFocusPolicy(Qt::NoFocus);
        list->setSelectionMode(QAbstractItemView::NoSelection);
        layout->addWidget(list);
        QFont big = font();
        big.setPointSizeF(big.pointSizeF() * 1.6);
        for (int i = 0; i < 2; ++i) {
            buttons_[i] = new QPushButton(i == 0 ? q.trustButton : q.withoutButton, this);
            buttons_[i]->setObjectName(i == 0 ? QStringLiteral("trustButton")
                                              : QStringLiteral("withoutButton"));
            buttons_[i]->setFont(big);
            buttons_[i]->setMinimumHeight(64);
            buttons_[i]->setAutoDefault(false);
            layout->addWidget(buttons_[i]);
            connect(buttons_[i], &QPushButton::clicked, this, [this, i] { choose(i); });
        }
        scanning_ = q.scanIntervalMs > 0;
        // Using the board without its actions is the safe answer a stray press lands on.
        highlight(1);
        if (scanning_) {
            timer_.setInterval(q.scanIntervalMs);
            connect(&timer_, &QTimer::timeout, this, [this] { highlight(1 - current_); });
            timer_.start();
            for (QPushButton* b : buttons_) b->setFocusPolicy(Qt::NoFocus);
            setFocusPolicy(Qt::StrongFocus);
        }
        connectSwitches_ = q.connectSwitches;
        if (connectSwitches_)
            connectSwitches_([this](bool select) {
                if (select || scanning_) choose(current_);
                else highlight(1 - current_);
            });
        if (q.poll && q.pollIntervalMs > 0) {
            pollTimer_.setInterval(q.pollIntervalMs);
            connect(&pollTimer_, &QTimer::timeout, this, [poll = q.poll] { poll(); });
            pollTimer_.start();
        }
    }
    ~TrustDialog() override {
        if (connectSwitches_) connectSwitches_(nullptr);
    }
    bool trusted() const { return chosen_ == 0; }

protected:
    bool event(QEvent* e) override {
        // Scanning: every key is the switch, Tab included (which would otherwise move the
        // focus before any key handler sees it).
        if (scanning_ && e->type() == QEvent::KeyPress) {
            if (!static_cast<QKeyEvent*>(e)->isAutoRepeat()) choose(current_);
            return true;
        }
        return QDialog::event(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        switch (e->key()) {
            case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_Left: case Qt::Key_Right:
            case Qt::Key_Tab: case Qt::Key_Backtab:
                highlight(1 - current_);
                return;
            case Qt::Key_Space: case Qt::Key_Return: case Qt::Key_Enter:
                choose(current_);
                return;
            case Qt::Key_Escape:
                choose(1);
                return;
            default:
                QDialog::keyPressEvent(e);
        }
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (scanning_) choose(current_);
        else QDialog::mousePressEvent(e);
    }
    bool focusNextPrevChild(bool) override {
        if (!scanning_) highlight(1 - current_);
        return true;
    }
    void reject() override { choose(1); }

private:
    void highlight(int i) {
        current_ = i;
        for (int k = 0; k < 2; ++k)
            buttons_[k]->setStyleSheet(k == i ? QStringLiteral("border: 6px solid #ff0000;")
                                              : QString());
        if (!scanning_) buttons_[i]->setFocus();
    }
    void choose(int i) {
        chosen_ = i;
        timer_.stop();
        pollTimer_.stop();
        done(i == 0 ? QDialog::Accepted : QDialog::Rejected);
    }

    QPushButton* buttons_[2] = {nullptr, nullptr};
    QTimer timer_;
    QTimer pollTimer_;
    std::function<void(std::function<void(bool)>)> connectSwitches_;
    bool scanning_ = false;
    int current_ = 1;
    int chosen_ = 1;
};

// A save over a file that exists, other than the one proposed, asks first with Qt's own
// question in the interface language; "No" goes back to the dialog.
bool replaceAllowed(const QString& chosen, const QString& proposed, QWidget* parent) {
    const QFileInfo file(chosen);
    if (!file.exists()) return true;
    if (!proposed.isEmpty() && file.canonicalFilePath() == QFileInfo(proposed).canonicalFilePath())
        return true;
    const QString question =
        QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
            .arg(file.fileName());
    return QMessageBox::warning(parent, QStringLiteral("Vexil"), question,
                                QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace

bool QtDialogs::askTrust(const TrustQuestion& question) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    TrustDialog dialog(question);
    dialog.exec();
    return dialog.trusted();
}

QString QtDialogs::chooseFile(const FileDialogRequest& request) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return {};
    QFileDialog dialog(nullptr, request.title, request.initialFolder);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The case-blind patterns are for matching only; the user sees the program's text.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    const QStringList filters = qtFileFilters(request.filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!request.defaultExtension.isEmpty()) dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    // Saving a board again under the name it came with is what the user asked for: only
    // another file that already exists is worth the question before it is replaced.
    if (request.save) dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString chosen = dialog.selectedFiles().first();
        if (!request.save || replaceAllowed(chosen, request.fileName, &dialog)) return chosen;
    }
    return {};
}

}  // namespace vexil
