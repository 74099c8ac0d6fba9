#include "console_window.h"

#include <gtest/gtest.h>

namespace {

TEST(ConsoleWindow, WaitsOnlyInAConsoleOfItsOwnAfterAFailure) {
    struct Row {
        unsigned processes;
        bool stdin_console;
        bool own;
    } consoles[] = {
        {1, true, true},    // dropped on the program, or started from Explorer
        {2, true, false},   // started from cmd or PowerShell
        {1, false, false},  // standard input redirected
        {0, false, false},  // POSIX, or no console at all
    };
    for (const Row& row : consoles)
        EXPECT_EQ(console_of_its_own(row.processes, row.stdin_console), row.own) << row.processes;
    for (int status : {3, 7, 13, 17})
        EXPECT_TRUE(waits_before_closing(status)) << status;
    for (int status : {0, 5, 11, 12})
        EXPECT_FALSE(waits_before_closing(status)) << status;
}

}  // namespace
