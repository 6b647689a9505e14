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
        { "pads", "0 pad 1 connect Wireless Controller (PS4)\n10 pad 2 connect\n20 pad 1 press a\n30 pad 1 down dpleft\n"
                  "40 pad 1 axis righttrigger -32768\n50 pad 1 disconnect\n60 pad 1 connect\n70 pad 1 axis leftx 32767\n", 0 },
        { "an unknown button", "0 pad 1 connect\n10 pad 1 press select\n", 2 },
        { "an unknown axis", "0 pad 1 connect\n10 pad 1 axis triggerleft 5\n", 2 },
        { "an axis value out of range", "0 pad 1 connect\n10 pad 1 axis lefty 32768\n", 2 },
        { "a pad past the last", "0 pad 5 connect\n", 1 },
        { "pad 0", "0 pad 0 connect\n", 1 },
        { "a button and more", "0 pad 1 connect\n10 pad 1 up a b\n", 2 },
        { "a pad not connected yet", "0 pad 1 connect\n10 pad 2 press a\n", 2 },
        { "a pad disconnected", "0 pad 1 connect\n10 pad 1 disconnect\n20 pad 1 axis leftx 0\n", 3 },
        { "a pad connected twice", "0 pad 3 connect\n10 pad 3 connect Xbox\n", 2 },
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
