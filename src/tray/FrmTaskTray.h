#pragma once

#include <QWidget>

namespace vx {

class Program;

// The hidden form that owns the notification-area icon.
class FrmTaskTray final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrmTaskTray)

public:
    explicit FrmTaskTray(Program& program);
    ~FrmTaskTray() override;

    void Form_Load();
    void Form_Unload();

private:
    Program& program_;
};

} // namespace vx
