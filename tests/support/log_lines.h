// Reading AppLog.txt in tests: lines split at CR LF with the millisecond
// prefix checked and removed, so that texts compare byte for byte (Shift-JIS
// bytes do not survive a regular expression).
#ifndef VEXLO_TESTS_LOG_LINES_H
#define VEXLO_TESTS_LOG_LINES_H

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

struct LogLines {
    std::vector<std::string> lines; // without prefix and CR LF
    bool allStamped = true;         // every line began with digits and ':'
    bool endsWithNewline = true;    // the last line was closed with CR LF

    bool Contains(const std::string &line) const
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    // Index of the first line equal to `line`, or -1.
    int IndexOf(const std::string &line) const
    {
        auto it = std::find(lines.begin(), lines.end(), line);
        return it == lines.end() ? -1 : static_cast<int>(it - lines.begin());
    }
};

inline LogLines SplitLogLines(const std::string &log)
{
    LogLines result;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find("\r\n", start);
        bool closed = end != std::string::npos;
        std::string line = log.substr(start, closed ? end - start : std::string::npos);
        size_t digits = 0;
        while (digits < line.size() && (std::isdigit(static_cast<unsigned char>(line[digits])) || (digits == 0 && line[0] == '-')))
            ++digits;
        if (digits > 0 && digits < line.size() && line[digits] == ':')
            line.erase(0, digits + 1);
        else
            result.allStamped = false;
        result.lines.push_back(line);
        result.endsWithNewline = closed;
        start = closed ? end + 2 : log.size();
    }
    return result;
}

#endif
