#pragma once

#include "app/FrmMain.h"
#include "app/Program.h"
#include "settings/IniFile.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vx::test {

// A program started from a temporary program folder, with a clock set by hand. The end of the
// program is counted instead of quitting the test's application.
class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override { platform.programDir = dir.str(); }
    void TearDown() override
    {
        program.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::string Ini(const std::string& section, const std::string& key)
    {
        return IniGet(dir.file("velmorax.ini"), section, key).value_or("<missing>");
    }
    void SetIni(const std::string& section, const std::string& key, const std::string& value)
    {
        IniSet(dir.file("velmorax.ini"), section, key, value);
    }
    FrmMain& Start()
    {
        program = std::make_unique<Program>(platform);
        program->SetOnEnd([this] { ++ends; });
        program->Start();
        return *program->frmMain;
    }
    // Lets queued work run: the destruction of unloaded forms, Qt's own deferred deletions and
    // the end-of-program check. Tests drive the events from the outermost level; what a nested
    // loop unloaded goes when that level is about to wait for events, as the application's loop does.
    static void Settle()
    {
        QCoreApplication::processEvents();
        emit QAbstractEventDispatcher::instance()->aboutToBlock();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    TempDir dir;
    FakePlatform platform;
    std::unique_ptr<Program> program;
    int ends = 0;
};

} // namespace vx::test
