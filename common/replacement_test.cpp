#include "replacement.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "files.h"
#include "test_support.h"

namespace {

class ReplacementFileTest : public testing::Test {
  protected:
    ScratchDir scratch;
    void SetUp() override { reset_temp_template(); }

    // A replacement of "target" holding text, with the target's stamp as
    // the original when it exists.
    FILE* start(ReplacementFile& file, const std::string& text) {
        FILE* out = file.create("");
        EXPECT_NE(out, nullptr);
        fputs(text.c_str(), out);
        platform::FileStamp stamp;
        if (platform::stamp_of("target", stamp))
            file.set_original(stamp);
        return out;
    }

    static std::set<std::string> names() {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator("."))
            found.insert(entry.path().filename().string());
        return found;
    }
};

// Stands for a power cut at each step: the target and the previous
// content must be whole there.
std::vector<std::string> seen_steps;
void check_files_at_step(const char* step) {
    seen_steps.push_back(step);
    std::string target = read_file("target");
    EXPECT_TRUE(target == "old" || target == "new") << step << ": " << target;
    bool old_kept = target == "old" || read_file("target.b~k") == "old";
    for (const auto& entry : std::filesystem::directory_iterator("."))
        old_kept = old_kept || read_file(entry.path().string()) == "old";
    EXPECT_TRUE(old_kept) << step;
}

TEST_F(ReplacementFileTest, TargetHoldsOldOrNewTextAtEveryStep) {
    write_file("target", "old");
    write_file("target.b~k", "older");
    ReplacementFile file(ReplacementFile::Abandon::remove);
    start(file, "new");
    seen_steps.clear();
    replacement_step_hook = check_files_at_step;
    Replacement result = file.commit("target", "target.b~k", ReplacementFile::IfSame::replace);
    replacement_step_hook = nullptr;
    EXPECT_EQ(result.how, Replacement::done);
    EXPECT_GE(seen_steps.size(), 5u);
    EXPECT_EQ(read_file("target"), "new");
    EXPECT_EQ(read_file("target.b~k"), "old");
    EXPECT_EQ(names(), (std::set<std::string>{"target", "target.b~k"}));
}

TEST_F(ReplacementFileTest, FailuresChangeNothingAndLeaveNoTemporaryFile) {
    struct Row {
        const char* what;
        void (*meanwhile)(const std::string& new_file);  // what another program does
        Replacement::How how;
        const char* target_after;
    } rows[] = {
        {"the target changes", [](const std::string&) { write_file("target", "OLD"); },
         Replacement::changed, "OLD"},
        {"the target goes", [](const std::string&) { std::filesystem::remove("target"); },
         Replacement::changed, ""},
        {"the new file's name is taken over",
         [](const std::string& name) {
             std::filesystem::rename(name, "moved");
             write_file(name, "theirs");
         },
         Replacement::not_moved, "old"},
        {"the backup name is a directory",
         [](const std::string&) {
             std::filesystem::remove("target.b~k");
             std::filesystem::create_directory("target.b~k");
         },
         Replacement::not_moved, "old"},
    };
    for (const Row& row : rows) {
        write_file("target", "old");
        write_file("target.b~k", "older");
        ReplacementFile file(ReplacementFile::Abandon::keep);
        start(file, "new");
        row.meanwhile(file.name());
        EXPECT_EQ(file.commit("target", "target.b~k", ReplacementFile::IfSame::replace).how,
                  row.how)
            << row.what;
        EXPECT_EQ(read_file("target"), row.target_after) << row.what;
        if (std::filesystem::is_regular_file("target.b~k")) {
            EXPECT_EQ(read_file("target.b~k"), "older") << row.what;
        }
        // The new file is deleted only while its own name names it (POSIX
        // leaves it where the other program moved it); another program's
        // file under that name stays.
        std::set<std::string> left = names();
        for (const char* name : {"target", "target.b~k", "moved"})
            left.erase(name);
        bool taken_over = std::filesystem::exists("moved");
        EXPECT_EQ(left, taken_over ? std::set<std::string>{file.name()} : std::set<std::string>{})
            << row.what;
        if (taken_over) {
            EXPECT_EQ(read_file(file.name()), "theirs");
            std::filesystem::remove("moved");
        }
        for (const std::string& name : left)
            std::filesystem::remove(name);
        std::filesystem::remove_all("target.b~k");
    }
}

// The temporary names beside the target at a step: the previous content's.
std::set<std::string> temporary_names() {
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        if (entry.path().extension() == ".Q~V")
            found.insert(entry.path().filename().string());
    return found;
}

TEST_F(ReplacementFileTest, APreviousContentNameTakenOverKeepsTheOldBackup) {
    write_file("target", "old");
    write_file("target.b~k", "older");
    ReplacementFile file(ReplacementFile::Abandon::remove);
    start(file, "new");
    // Another program renames a file of its own onto the previous
    // content's temporary name just before it would become the backup.
    replacement_step_hook = [](const char* step) {
        if (std::string(step) != "rename backup")
            return;
        write_file("theirs", "theirs");
        for (const std::string& name : temporary_names())
            std::filesystem::rename("theirs", name);
    };
    Replacement result = file.commit("target", "target.b~k", ReplacementFile::IfSame::replace);
    replacement_step_hook = nullptr;
    EXPECT_EQ(result.how, Replacement::previous_lost);
    EXPECT_EQ(read_file("target"), "new");
    EXPECT_EQ(read_file("target.b~k"), "older");
    // Their file is neither the backup nor deleted.
    std::set<std::string> left = temporary_names();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(read_file(*left.begin()), "theirs");
}

// A second replacement of the same target that starts when the first has
// put its new file in place, and commits in a thread of its own.
ReplacementFile* second_run = nullptr;
std::thread second_commit;
Replacement::How second_result;

TEST_F(ReplacementFileTest, ASecondRunWaitsSoTheBackupIsTheFileItReplaced) {
    write_file("target", "first");
    ReplacementFile first(ReplacementFile::Abandon::remove),
        second(ReplacementFile::Abandon::remove);
    start(first, "second");
    FILE* out = second.create("");
    ASSERT_NE(out, nullptr);
    fputs("third", out);
    second_run = &second;
    replacement_step_hook = [](const char* step) {
        if (std::string(step) != "rename backup" || !second_run)
            return;
        // The second run reads the first run's new file, then waits for
        // its lock while the first goes on.
        platform::FileStamp read;
        platform::stamp_of("target", read);
        second_run->set_original(read);
        ReplacementFile* run = second_run;
        second_run = nullptr;
        second_commit = std::thread([run] {
            second_result =
                run->commit("target", "target.b~k", ReplacementFile::IfSame::replace).how;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    };
    Replacement::How first_result =
        first.commit("target", "target.b~k", ReplacementFile::IfSame::replace).how;
    second_commit.join();
    replacement_step_hook = nullptr;
    EXPECT_EQ(first_result, Replacement::done);
    EXPECT_EQ(second_result, Replacement::done);
    EXPECT_EQ(read_file("target"), "third");
    EXPECT_EQ(read_file("target.b~k"), "second");
    EXPECT_EQ(temporary_names(), std::set<std::string>{});
}

}  // namespace
