#pragma once

// The real clock window for benchmarks: a program started on a program folder of its own, with a
// clock the benchmark moves by hand. Shared by the suites that need a window.

#include "app/FrmMain.h"
#include "app/Program.h"
#include "base/FixedClockPlatform.h"

#include <QApplication>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace vx::bench {

// The clock window needs an application; one serves every benchmark and is never torn down. The
// offscreen platform's notes on what it cannot do (masks, raising) would break up the table.
inline void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "velmorax_bench";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", qPrintable(message));
        });
        new QApplication(argc, argv);
    }
}

// An evening a week after a new moon; a tick benchmark moves the clock on itself.
class BenchPlatform final : public FixedClockPlatform {
public:
    explicit BenchPlatform(std::string dir) : FixedClockPlatform(MakeDateValue(2026, 12, 8, 21, 0, 0), std::move(dir)) {}
    void AdvanceSeconds(double seconds) { now += seconds / 86400.0; }
};

// The clock window at a size index, on the given face, with the marks on: the settings file a user
// of that size and face has after the first start, so every read in a tick finds its key.
class Window {
public:
    explicit Window(int nowSize = 1, const char* face = "Clock")
    {
        EnsureApplication();
        dir_ = std::filesystem::temp_directory_path() / ("velmorax-bench-window-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        std::ofstream(dir_ / "velmorax.ini", std::ios::trunc)
            << "[TaskTray]\nSetting=0\n\n"
            << "[frmMain]\nUseLineMojiban=True\nMitikake=True\nTop=1185\nLeft=1500\nNowSize=" << nowSize
            << "\nAlwaysOnTop=True\nNT=False\n\n"
            << "[Setting]\nYearOrClock=" << face << "\n\n"
            << "[Color]\nYear=41152\nClock=16752640\n";
        std::ofstream(dir_ / "moondata.dat", std::ios::trunc) << "2026/11/30 03\n2026/12/30 03\n";
        platform_ = std::make_unique<BenchPlatform>(dir_.string());
        program_ = std::make_unique<Program>(*platform_);
        program_->SetOnEnd([] {});
        program_->Start();
        QApplication::processEvents();
    }
    ~Window()
    {
        program_.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    FrmMain& main() { return *program_->frmMain; }
    BenchPlatform& platform() { return *platform_; }

private:
    std::filesystem::path dir_;
    std::unique_ptr<BenchPlatform> platform_;
    std::unique_ptr<Program> program_;
};

} // namespace vx::bench
