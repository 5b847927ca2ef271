// The application log started in a fresh directory, as InitLibrary starts it,
// without the rest of the library. The caller's current directory comes back
// when the object goes.
#ifndef VEXLO_TESTS_STARTED_LOG_H
#define VEXLO_TESTS_STARTED_LOG_H

#include <windows.h>

#include <string>

#include "Vexlo.h"
#include "core/app_log.h"
#include "core/library.h"
#include "support/child_process.h"
#include "support/log_lines.h"

class StartedLog {
public:
    explicit StartedLog(const std::string &name)
    {
        GetCurrentDirectoryA(MAX_PATH, callerDirectory_);
        dir_ = MakeTestDirectory(name);
        SetCurrentDirectoryA(dir_.c_str());
        SetLogDisabled(0);
        SetLogNoTimeStamp(0);
        RecordStartDirectory();
        StartAppLog();
    }
    ~StartedLog()
    {
        SetLogNoTimeStamp(0);
        SetLogDisabled(0);
        SetCurrentDirectoryA(callerDirectory_);
    }
    StartedLog(const StartedLog &) = delete;
    StartedLog &operator=(const StartedLog &) = delete;

    // The directory, with a trailing backslash.
    const std::string &Dir() const { return dir_; }
    std::string Text() const { return ReadWholeFile(dir_ + "AppLog.txt"); }
    LogLines Lines() const { return SplitLogLines(Text()); }

private:
    char callerDirectory_[MAX_PATH];
    std::string dir_;
};

#endif
