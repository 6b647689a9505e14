// Captures what is written to the diagnostic log during a test.
#pragma once

#include "dd_log.h"

#include <cstdio>
#include <string>

class LogCapture {
public:
    LogCapture() : saved(ErrorLog)
    {
        ErrorLog = tmpfile();
        DDResetLogRepeats();
    }
    ~LogCapture()
    {
        if (ErrorLog)
            fclose(ErrorLog);
        ErrorLog = saved;
        DDResetLogRepeats();
    }
    std::string Text() const
    {
        std::string text;
        if (!ErrorLog)
            return text;
        fflush(ErrorLog);
        long end = ftell(ErrorLog);
        rewind(ErrorLog);
        char buf[512];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, ErrorLog)) > 0)
            text.append(buf, n);
        fseek(ErrorLog, end, SEEK_SET);
        return text;
    }
    bool Has(const std::string &line) const { return Text().find("ErrorLog: " + line + "\n") != std::string::npos; }
    bool Contains(const std::string &part) const { return Text().find(part) != std::string::npos; }
    bool Empty() const { return Text().empty(); }

private:
    FILE *saved;
};
