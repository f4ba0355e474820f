// Parameter files: the record's text, and saving and loading through the Send and Get
// commands with the dialog answered by the test.
#include "params/param_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>

#include "console/startup.h"
#include "link/frame.h"
#include "params/panel_binding.h"
#include "tests/params/param_file_fixture.h"

using namespace kervano;

TEST(ParameterRecordTest, WritesSixteenFieldsAtLeastFourWide) {
    unsigned short words[16] = {0, 65535, 5, 12, 123, 1234, 12345};
    const std::string text = FormatParameterRecord(words);
    std::istringstream in(text);
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        EXPECT_GE(line.size(), 4u) << line;
        ++lines;
    }
    EXPECT_EQ(lines, 16);
    unsigned short back[16];
    ASSERT_TRUE(ParseParameterRecord(text, back));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(back[i], words[i]);
}

TEST(ParameterRecordTest, AcceptsAnyWhitespaceAndLeadingZeros) {
    unsigned short words[16];
    ASSERT_TRUE(ParseParameterRecord(
        "1 2\t3\r\n4 5 6 7 8 9 10 11 12 13 00065535 0 000000000000000000007", words));
    EXPECT_EQ(words[0], 1);
    EXPECT_EQ(words[2], 3);
    EXPECT_EQ(words[12], 13);
    EXPECT_EQ(words[13], 65535);
    EXPECT_EQ(words[14], 0);
    EXPECT_EQ(words[15], 7);
}

TEST(ParameterRecordTest, RejectsShortOrForeignContentUntouched) {
    unsigned short words[16] = {7, 7, 7};
    EXPECT_FALSE(ParseParameterRecord("1 2 3", words));
    EXPECT_FALSE(ParseParameterRecord("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 -16", words));
    EXPECT_FALSE(ParseParameterRecord("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 1.5", words));
    EXPECT_FALSE(ParseParameterRecord("a 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16", words));
    EXPECT_FALSE(ParseParameterRecord("", words));
    EXPECT_EQ(words[0], 7);
    EXPECT_EQ(words[2], 7);
}

TEST_F(ParamFileTest, SaveThenLoadRestoresTheFullPacketOnly) {
    int i = 0;
    for (int control : kFullControls) {
        SetCtrlVal(panelHandle, control,
                   static_cast<unsigned int>(i == 0   ? 0
                                             : i == 1 ? 65535
                                                      : 100 + i));
        ++i;
    }
    Send();
    EXPECT_EQ(dialogTitles.back(), "KERVANO Parameter File");
    EXPECT_EQ(StatusText(), "Parameters saved to " + path);
    ASSERT_TRUE(std::filesystem::exists(path));

    for (int control : kFullControls) SetCtrlVal(panelHandle, control, 42u);
    GetPanelValues();
    digcnt = 11;
    digmode = 12;
    hold = 13;
    Get();

    i = 0;
    for (int control : kFullControls) {
        const unsigned expected = i == 0 ? 0 : i == 1 ? 65535 : 100 + i;
        EXPECT_EQ(CtrlValue(control), expected) << "control " << i;
        ++i;
    }
    EXPECT_EQ(powerTOP, 0);
    EXPECT_EQ(powerBOT, 65535);
    EXPECT_EQ(digcnt, 11);
    EXPECT_EQ(digmode, 12);
    EXPECT_EQ(hold, 13);
    EXPECT_EQ(CtrlValue(PANEL_HOLD), 13u) << "Get shows all eighteen";
    EXPECT_TRUE(line.writes().empty()) << "nothing goes on the line";
}

TEST_F(ParamFileTest, SavingReadsThePanelFirst) {
    SetCtrlVal(panelHandle, PANEL_TRIGBOT, 777u);
    Send();
    EXPECT_EQ(trigBOT, 777);
    unsigned short words[16];
    ASSERT_TRUE(ParseParameterRecord(ReadText(path), words));
    EXPECT_EQ(words[0], 0);
    EXPECT_EQ(words[9], 777);
}

TEST_F(ParamFileTest, SavingThroughALinkWritesItsTargetAndKeepsTheMode) {
    const std::string real = dir.filePath("real.dat").toStdString();
    WriteFile(real, "old\n");
    std::filesystem::permissions(
        real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::create_symlink(real, path);
    SetCtrlVal(panelHandle, PANEL_REFTOP, 612u);
    Send();
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    unsigned short words[16];
    ASSERT_TRUE(ParseParameterRecord(ReadText(real), words));
    EXPECT_EQ(words[4], 612);
    EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(ParamFileTest, DialogsThatChoseNothingChangeNothing) {
    // Cancelled (0) or failed (-1, e.g. a path too long): no file, no variable, no control
    // changes, the last chosen path stays, and a failure says so.
    const struct {
        int answer;
        const char* saveText;
        const char* loadText;
    } cases[] = {
        {0, "Saving cancelled - nothing saved", "Loading cancelled - panel unchanged"},
        {-1, "File selection error - nothing saved!", "File selection error - nothing loaded!"}};
    for (const auto& c : cases) {
        std::strcpy(file_name, "/earlier/choice.dat");
        answer = c.answer;
        Send();
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_EQ(StatusText(), c.saveText);
        SetCtrlVal(panelHandle, PANEL_REFTOP, 999u);  // an edit since the last read
        const unsigned short before = refTOP;
        Get();
        EXPECT_EQ(refTOP, before);
        EXPECT_EQ(CtrlValue(PANEL_REFTOP), 999u) << "the operator's edit stays";
        EXPECT_EQ(StatusText(), c.loadText);
        EXPECT_STREQ(file_name, "/earlier/choice.dat");
    }
}

TEST_F(ParamFileTest, DialogOpensInProgramDirectoryWithDefaultName) {
    std::strcpy(proj_dir, dir.path().toStdString().c_str());
    Send();
    ASSERT_FALSE(proposedPaths.empty());
    EXPECT_NE(proposedPaths.back().find("CONpara.dat"), std::string::npos);
    EXPECT_EQ(proposedPaths.back().rfind(dir.path().toStdString(), 0), 0u);
}
