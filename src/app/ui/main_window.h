#pragma once
#include <QMainWindow>

namespace vexil {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};

}  // namespace vexil
