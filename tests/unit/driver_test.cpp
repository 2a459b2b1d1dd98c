#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture.h"
#include "cli/driver.h"
#include "god_file_writer.h"
#include "temp_dir.h"

namespace tolvex {
namespace {

const char* const alder_report =
    "Alder, the Grey\n"
    "Arcoscephale, Late Era\n"
    "Serpent Cataphract (Body 3, 32 hits)\n"
    "Magic:  Fire 2  Astral 1\n"
    "Dominion 4\n"
    "Scales:  Order 2  Death 1\n"
    "Dormant\n";

class Driver : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testing::save_file(alder_, testing::write_god_file({})));
        auto bytes = testing::write_god_file({});
        bytes.resize(100);
        ASSERT_TRUE(testing::save_file(short_, bytes));
    }

    int run(std::vector<std::string> files)
    {
        files.insert(files.begin(), "tolvex");
        Output out;
        out.stream = out_.stream();
        return run_tolvex(files, out, {err_.stream(), err_terminal_});
    }

    testing::TempDir dir_;
    std::string alder_ = dir_.path("alder.god");
    std::string short_ = dir_.path("short.god");
    std::string missing_ = dir_.path("missing.god");
    testing::Capture out_;
    testing::Capture err_;
    bool err_terminal_ = false;
};

TEST_F(Driver, NoFileIsAUsageError)
{
    EXPECT_EQ(run({}), exit_usage);
    EXPECT_EQ(out_.text(), "");
    EXPECT_EQ(err_.text(), "Usage: tolvex <files>\n");
}

TEST_F(Driver, OneFileHasNoHeader)
{
    EXPECT_EQ(run({alder_}), exit_success);
    EXPECT_EQ(out_.text(), alder_report);
    EXPECT_EQ(err_.text(), "");
}

TEST_F(Driver, SeveralFilesHaveAHeaderEach)
{
    EXPECT_EQ(run({alder_, alder_}), exit_success);
    std::string header = "\n----" + alder_ + "----\n\n";
    EXPECT_EQ(out_.text(), header + alder_report + header + alder_report);
}

TEST_F(Driver, TextsLongerThanABlockKeepTheirPlace)
{
    testing::GodFileFields f;
    f.caption_a = std::string(5000, 'a');
    f.caption_b = std::string(3000, 'b');
    std::string path = dir_.path("long.god");
    ASSERT_TRUE(testing::save_file(path, testing::write_god_file(f)));
    EXPECT_EQ(run({alder_, path}), exit_success);
    std::string report = std::string(alder_report);
    report.replace(0, report.find('\n'), f.caption_a + ", " + f.caption_b);
    std::string first = "\n----" + alder_ + "----\n\n" + alder_report;
    EXPECT_EQ(out_.text(), first + "\n----" + path + "----\n\n" + report);
}

TEST_F(Driver, StopsAtTheFirstFileThatCannotBeRead)
{
    EXPECT_EQ(run({alder_, missing_, alder_}), exit_cannot_read);
    EXPECT_EQ(out_.text(), "\n----" + alder_ + "----\n\n" + alder_report);
    EXPECT_EQ(err_.text(), "tolvex: can't read " + missing_ + ": No such file or directory\n");
}

TEST_F(Driver, AnEmptyNameLeavesOutTheName)
{
    EXPECT_EQ(run({""}), exit_cannot_read);
    EXPECT_EQ(err_.text(), "tolvex: can't read No such file or directory\n");
}

TEST_F(Driver, AShortFileIsNotReported)
{
    EXPECT_EQ(run({alder_, short_}), exit_cannot_read);
    EXPECT_EQ(out_.text(), "\n----" + alder_ + "----\n\n" + alder_report);
    EXPECT_EQ(err_.text(), "tolvex: can't read " + short_ + ": Unexpected end of file\n");
}

TEST_F(Driver, AWildcardNameThatDoesNotExistIsInvalid)
{
    EXPECT_EQ(run({dir_.path("*.god")}), exit_cannot_read);
    EXPECT_EQ(err_.text(), "tolvex: can't read " + dir_.path("*.god") + ": Invalid argument\n");
}

// A name from a downloaded folder may carry escape sequences: a terminal
// shows each control byte of it as "?", a file gets the name as it is.
TEST_F(Driver, ATerminalShowsTheControlBytesOfANameInAMessage)
{
    std::string name = dir_.path("\x01\x1b[31m\x1f\x7f ~\x80.god");
    const std::pair<bool, std::string> cases[] = {
        {false, name},
        {true, dir_.path("??[31m?? ~\x80.god")},
    };
    for (const auto& [terminal, shown] : cases) {
        std::size_t before = err_.text().size();
        err_terminal_ = terminal;
        EXPECT_EQ(run({name}), exit_cannot_read);
        EXPECT_EQ(err_.text().substr(before).rfind("tolvex: can't read " + shown + ": ", 0), 0u)
            << "terminal " << terminal;
    }
}

}  // namespace
}  // namespace tolvex
