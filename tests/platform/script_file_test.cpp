// Script files for --script: lines read in time order, and the first bad line named.
#include "kx_test.h"
#include "sys_harness.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(ScriptFile, RefusesBadAndOutOfOrderLinesByNumber)
{
    struct {
        const char *name, *text;
        int badLine; // 0: the script loads
    } cases[] = {
        { "in order", "100 press 13\n100 down 32\n# 50 comments hold no time\n200 up 32\n900 quit\n", 0 },
        { "earlier than the line before", "100 press 13\n2000 shot a.png\n\n1500 press 32\n3000 quit\n", 4 },
        { "earlier past a comment", "500 down 32\n# 600\n499 up 32\n", 3 },
        { "unreadable", "100 press 13\n200 jump 3\n", 2 },
        // The clock's due times are compared over half its 2^32 ms: a later time would fall due at once.
        { "the last time the clock can wait for", "100 press 13\n2147483647 quit\n", 0 },
        { "a time past 2^31 ms", "100 press 13\n3000000000 shot far.png\n", 2 },
        { "a folder, read as nothing", nullptr, 1 },
    };
    KxTempDir dir;
    for (const auto &c : cases) {
        if (c.text)
            std::ofstream("s.txt") << c.text;
        else
            ASSERT_EQ(system("rm -f s.txt && mkdir s.txt"), 0);
        std::vector<SysScriptAction> actions;
        std::string error;
        bool loaded = Sys_LoadScript("s.txt", actions, error);
        EXPECT_EQ(loaded, c.badLine == 0) << c.name << ": " << error;
        if (c.badLine) {
            EXPECT_NE(error.find("s.txt:" + std::to_string(c.badLine) + ": "), std::string::npos) << c.name << ": " << error;
        }
    }
}
