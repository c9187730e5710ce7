// Command tables in files: the format byte for byte, what loads and what is
// refused, and the Save, load and clear menus on the real panel.
#include "app/shared_state.h"
#include "app/shell.h"
#include "menu/command_files.h"
#include "platform/ui_toolkit.h"
#include "tests/support/ui_fixture.h"
#include "ui/ui_ids.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A table whose every cell differs: slave 0-255, every ring item, and
// addresses and counts across 0-65535.
void full_rows(int rows[40][6])
{
    const int codes[] = {0, 3, 4, 5, 6, 16};
    for (int r = 0; r < 40; ++r) {
        int address = r == 39 ? 65535 : r * 1601, count = r == 0 ? 0 : 65535 - r * 997;
        int slave = r == 39 ? 255 : r * 6;
        int row[6] = {slave, codes[r % 6], address >> 8, address & 0xFF, count >> 8, count & 0xFF};
        std::copy(row, row + 6, rows[r]);
    }
}

std::string program_output_of(const int rows[40][6]) { return Command_File_Text(rows); }

TEST(CommandFile, WorkedExampleAndTheWholeFile)
{
    int rows[40][6] = {};
    const int example[6] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A};
    std::copy(example, example + 6, rows[0]);
    const int big[6] = {0x11, 0x10, 0x12, 0x34, 0x00, 0x02};
    std::copy(big, big + 6, rows[1]);
    std::string text = Command_File_Text(rows);
    std::string empty_line = "00\t00\t00\t00\t00\t00\t\n";
    std::string expected = "01\t03\t00\t00\t00\t0A\t\n11\t10\t12\t34\t00\t02\t\n";
    for (int r = 2; r < 40; ++r)
        expected += empty_line;
    EXPECT_EQ(text, expected);
}

TEST(CommandFile, TolerantFormsReadAsTheProgramsOwnAndDamagedOnesAreRefused)
{
    int rows[40][6];
    full_rows(rows);
    const std::string own = program_output_of(rows);
    auto replaced = [&](const std::string &from, const std::string &to) {
        std::string t = own;
        for (size_t at = 0; (at = t.find(from, at)) != std::string::npos; at += to.size())
            t.replace(at, from.size(), to);
        return t;
    };
    std::string lower = own;
    for (char &c : lower)
        c = (char)std::tolower((unsigned char)c);
    const struct { const char *what; std::string text; bool loads; } cases[] = {
        {"the program's own", own, true},
        {"CR LF line ends", replaced("\n", "\r\n"), true},
        {"single spaces", replaced("\t", " "), true},
        {"all on one line", replaced("\n", ""), true},
        {"lower-case digits", lower, true},
        {"single digits", replaced("\t00\t", "\t0\t"), true},
        {"trailing text after 240 fields", own + "notes\n", true},
        {"39 lines", own.substr(0, own.size() - 19), false},
        {"empty", "", false},
        {"a field that is no hex", "G1" + own.substr(2), false},
        {"a field of three digits", "123\t" + own, false},
        {"a field of a negative number", "-1\t" + own, false},
    };
    for (auto &c : cases) {
        int got[40][6];
        for (auto &row : got)
            std::fill(row, row + 6, -1);
        EXPECT_EQ(Command_File_Parse(c.text, got), c.loads) << c.what;
        if (c.loads && std::string(c.what) != "single digits") {
            for (int r = 0; r < 40; ++r)
                for (int i = 0; i < 6; ++i)
                    ASSERT_EQ(got[r][i], rows[r][i]) << c.what << " row " << r << " field " << i;
        }
        if (!c.loads) {
            EXPECT_EQ(got[0][0], -1) << c.what << ": nothing is taken from a refused file";
        }
    }
}

class CommandMenus : public UiTree {
protected:
    void SetUp() override
    {
        UiTree::SetUp();
        ASSERT_EQ(App_Start(), 0) << Ui_Load_Error();
        HidePanel(gvScan);
        DisplayPanel(gvPanel);
    }
    void show_rows(int table, const int rows[40][6])
    {
        for (int r = 0; r < 40; ++r) {
            char ring[4] = "N";   // the ring shows a function code as two hex digits
            if (rows[r][1])
                std::snprintf(ring, sizeof ring, "%02X", rows[r][1]);
            SetTableCellVal(gvPanel, table, MakePoint(1, r + 1), rows[r][0]);
            SetTableCellVal(gvPanel, table, MakePoint(2, r + 1), ring);
            SetTableCellVal(gvPanel, table, MakePoint(3, r + 1), rows[r][2] * 256 + rows[r][3]);
            SetTableCellVal(gvPanel, table, MakePoint(4, r + 1), rows[r][4] * 256 + rows[r][5]);
        }
    }
    std::string cells(int table)
    {
        std::string out;
        for (int r = 1; r <= 40; ++r)
            for (int c = 1; c <= 4; ++c) {
                char t[16];
                GetTableCellVal(gvPanel, table, MakePoint(c, r), t, sizeof t);
                out += std::string(t) + (c == 4 ? "\n" : " ");
            }
        return out;
    }
    std::string status()
    {
        char t[64];
        int color = 0;
        GetCtrlVal(gvPanel, MAIN_STATUS, t, sizeof t);
        GetCtrlAttribute(gvPanel, MAIN_STATUS, ATTR_TEXT_COLOR, &color);
        char hex[12];
        std::snprintf(hex, sizeof hex, " #%06X", color);
        return t + std::string(hex);
    }
    void menu(int item, const char *answer)
    {
        Ui_Script_Answer(answer);
        Ui_Simulate_Menu(gvMenu, item);
    }
};

TEST_F(CommandMenus, SaveThenLoadGivesBackEveryCell)
{
    int rows[40][6];
    full_rows(rows);
    show_rows(MAIN_TX2_COMMANDS, rows);
    std::string before = cells(MAIN_TX2_COMMANDS);
    menu(MENUBAR_TX2_SAVE, "tx2.txt");
    EXPECT_EQ(status(), "Save Tx2 Commands OK #008000");
    EXPECT_EQ(fs::current_path(), fs::path(bin_)) << "back in bin after the dialog";
    EXPECT_EQ(Read_Text_File(path("Commands/tx2.txt")), Command_File_Text(rows)) << "saved in the Commands folder";
    EXPECT_STREQ(Ui_Popup_Log(), "Save Tx2 Commands to File|*.txt\n");

    menu(MENUBAR_TX1_LOAD, "tx2.txt");
    EXPECT_EQ(status(), "load Commands OK #008000");
    EXPECT_EQ(cells(MAIN_TX1_COMMANDS), before) << "the Tx2 file fills the Tx1 table";
    EXPECT_EQ(fs::current_path(), fs::path(bin_));
}

TEST_F(CommandMenus, RefusedOrCancelledLoadsLeaveTheTable)
{
    int rows[40][6];
    full_rows(rows);
    show_rows(MAIN_TX1_COMMANDS, rows);
    std::string before = cells(MAIN_TX1_COMMANDS);
    fs::create_directories(path("Commands"));
    std::string own = Command_File_Text(rows);
    Write_Text_File(path("Commands/short.txt"), own.substr(0, own.size() / 2));
    for (const char *answer : {"short.txt", "missing.txt", ""}) {
        SetCtrlVal(gvPanel, MAIN_STATUS, "---");
        menu(MENUBAR_TX1_LOAD, answer);
        EXPECT_EQ(status(), "No Commands loaded #FF0000") << "'" << answer << "'";
        EXPECT_EQ(cells(MAIN_TX1_COMMANDS), before) << "'" << answer << "'";
    }
}

TEST_F(CommandMenus, SaveThatCannotBeWrittenSaysSo)
{
    fs::create_directories(path("Commands/folder.txt"));   // a folder where the file must go
    menu(MENUBAR_TX1_SAVE, "folder.txt");
    EXPECT_EQ(status(), "Save Tx1 Commands Error #FF0000");
    SetCtrlVal(gvPanel, MAIN_STATUS, "---");
    menu(MENUBAR_TX1_SAVE, "");
    EXPECT_EQ(status(), "--- #FF0000") << "a cancelled save changes nothing";
}

TEST_F(CommandMenus, ClearAsksFirst)
{
    int rows[40][6];
    full_rows(rows);
    show_rows(MAIN_TX2_COMMANDS, rows);
    std::string before = cells(MAIN_TX2_COMMANDS);
    menu(MENUBAR_TX2_CLEAR, "0");
    EXPECT_EQ(cells(MAIN_TX2_COMMANDS), before);
    EXPECT_STREQ(Ui_Popup_Log(), "Clear Tx2 Commands Table|Please comfirm Tx2 Commands Table is backup ?\n");
    menu(MENUBAR_TX2_CLEAR, "1");
    std::string cleared;
    for (int r = 0; r < 40; ++r)
        cleared += "0 N 0 0\n";
    EXPECT_EQ(cells(MAIN_TX2_COMMANDS), cleared);
}

}  // namespace
