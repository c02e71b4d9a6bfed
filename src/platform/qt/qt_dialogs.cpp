#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

}  // namespace vexil
