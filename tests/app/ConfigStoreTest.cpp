// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/ConfigStore.h"

#include "app/gui/DesignController.h"
#include "tests/FileFaults.h"
#include "tests/TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr const char* kDefaultParms =
    "ele=5\t&rip=1\t&fzmc=1200&bwmc=70&R=50\t&H=20\t&D=8\t&E=25\t&NFR=200&STP=1.4";

// The window's controls as plain values; nothing has the focus.
class FakeControls : public DesignControls
{
public:
    std::string edits[kDesignInputCount];
    int sliders[kDesignInputCount] = {};
    int corrected = 0;
    int cover = 0;

    std::string GetEditText(DesignInput input) const override { return edits[int(input)]; }
    void SetEditText(DesignInput input, const std::string& text) override
    {
        edits[int(input)] = text;
    }
    void SetSliderRange(DesignInput, int, int) override {}
    void SetSliderPos(DesignInput input, int pos) override { sliders[int(input)] = pos; }
    int GetSliderPos(DesignInput input) const override { return sliders[int(input)]; }
    bool SliderHasFocus(DesignInput) const override { return false; }
    bool EditHasFocus(DesignInput) const override { return false; }
    int GetInchCheck() const override { return 0; }
    int GetCorrectedCheck() const override { return corrected; }
    int GetCoverFeedCheck() const override { return cover; }
    void SetBuildChecks(const BuildChoice& choice) override
    {
        corrected = choice.corrected ? 1 : 0;
        cover = choice.feed == FeedKind::Cover ? 1 : 0;
    }
    void StartTimer(uint32_t, uint32_t) override {}
    void ShowStatus(const std::string&) override {}
    void ShowReport(const std::string&) override {}
    void ResponseChanged() override {}
};

struct Message
{
    std::string caption;
    std::string text;
    MessageButtons buttons;

    bool operator==(const Message& o) const
    {
        return caption == o.caption && text == o.text && buttons == o.buttons;
    }
};

std::ostream& operator<<(std::ostream& os, const Message& m)
{
    return os << "[" << m.caption << "] " << m.text << " (" << int(m.buttons) << ")";
}

// Records what the store shows and answers its questions as scripted.
class FakeHost : public ConfigStoreHost
{
public:
    std::vector<std::string> items;
    int selected = -2; ///< -2: never selected
    std::vector<Message> messages;
    MessageAnswer answer = MessageAnswer::Ok; ///< to questions; notices are always Ok
    std::optional<std::string> nameAnswer;    ///< none: the prompt is cancelled
    std::vector<std::string> proposed;

    void ClearConfigList() override { items.clear(); }
    void AddConfigItem(const std::string& name) override { items.push_back(name); }
    void SelectConfigItem(int index) override { selected = index; }
    MessageAnswer ShowMessage(const std::string& caption, const std::string& text,
                              MessageButtons buttons) override
    {
        messages.push_back({caption, text, buttons});
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : answer;
    }
    bool AskNewName(std::string& name) override
    {
        proposed.push_back(name);
        if (!nameAnswer) {
            return false;
        }
        name = *nameAnswer;
        return true;
    }
};

Message Notice(const std::string& text)
{
    return {"Tessera.ini", text, MessageButtons::Ok};
}

Message SaveQuestion(const std::string& name)
{
    return {"Parameters Changed", "Save Changes?\r\n" + name, MessageButtons::YesNoCancel};
}

class ConfigStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(::mkdir(m_dir.c_str(), 0755), 0);
        m_controller.FieldsToControls();
    }
    void TearDown() override
    {
        ::chmod(Path().c_str(), 0644);
        ASSERT_EQ(std::system(("rm -rf '" + m_dir + "'").c_str()), 0);
    }

    std::string Path() const { return m_dir + "/Tessera.ini"; }
    void Write(const std::string& text) const { std::ofstream(Path(), std::ios::binary) << text; }
    std::string Read() const { return ReadFile(Path()); }
    std::string Stored(const char* section, const char* key) const
    {
        ZString value;
        m_store.Ini().Get(section, key, value, "<none>");
        return value.Text();
    }
    void SetEdit(DesignInput input, const char* text) { m_controls.edits[int(input)] = text; }

    // A folder of the test's own; declared first, as the store keeps its name.
    std::string m_dir = TempPath(std::string("config-") +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    FakeControls m_controls;
    DesignController m_controller{m_controls};
    FakeHost m_host;
    ConfigStore m_store{m_controller, m_host, m_dir, "Tessera.ini"};
};

// From no file at all to two configurations, byte for byte.
TEST_F(ConfigStoreTest, NewConfigurationsInAFolderWithoutFile)
{
    m_store.FillConfigList();
    EXPECT_TRUE(m_host.items.empty());
    EXPECT_EQ(m_host.selected, -1);
    EXPECT_EQ(m_store.Current(), -1);
    m_store.SaveConfig();
    EXPECT_EQ(Read(), "") << "Save without a configuration writes nothing";

    m_controller.Recompute();
    ASSERT_EQ(m_controller.LastParms(), std::string(kDefaultParms) + "\t");
    m_host.nameAnswer = "  new name\t";
    m_store.NewConfig();
    EXPECT_EQ(m_host.proposed, std::vector<std::string>{"new name"});
    // The trailing tab of the first save is trimmed by the reload before the second.
    EXPECT_EQ(Read(), std::string("    Recent = C_1\r\n"
                                  "[C_1]\r\n"
                                  "    Name  = new name\r\n"
                                  "    Parms = ") +
                          kDefaultParms + "\r\n");
    EXPECT_EQ(m_host.items, std::vector<std::string>{"new name"});
    EXPECT_EQ(m_host.selected, 0);
    EXPECT_EQ(m_store.Current(), 0);
    EXPECT_TRUE(m_host.messages.empty()) << m_host.messages[0];
    EXPECT_TRUE(m_controller.LastParms().empty()) << "the chosen configuration is recomputed";
    EXPECT_FALSE(m_controller.IsModified());

    // Changed inputs, the save question cancelled: nothing happens, no name is asked for.
    SetEdit(DesignInput::Elements, "7");
    m_controller.Recompute();
    m_controller.SetModified(true);
    const std::string unchanged = Read();
    m_host.answer = MessageAnswer::Cancel;
    m_host.nameAnswer = "seven";
    const size_t proposals = m_host.proposed.size();
    m_store.NewConfig();
    EXPECT_EQ(m_host.messages, std::vector<Message>{SaveQuestion("new name")});
    EXPECT_EQ(m_host.proposed.size(), proposals);
    EXPECT_EQ(Read(), unchanged);

    // Declined (No): the first configuration keeps its text and the new one, proposed under
    // the current name, takes the changed inputs.
    m_host.messages.clear();
    m_host.answer = MessageAnswer::No;
    m_store.NewConfig();
    EXPECT_EQ(m_host.messages, std::vector<Message>{SaveQuestion("new name")});
    EXPECT_EQ(m_host.proposed.back(), "new name");
    const std::string seven =
        "ele=7\t&rip=1\t&fzmc=1200&bwmc=70&R=50\t&H=20\t&D=8\t&E=25\t&NFR=200&STP=1.4";
    EXPECT_EQ(Read(), std::string("    Recent= C_2\r\n"
                                  "[C_1]\r\n"
                                  "    Name  = new name\r\n"
                                  "    Parms = ") +
                          kDefaultParms +
                          "\r\n"
                          "[C_2]\r\n"
                          "    Name  = seven\r\n"
                          "    Parms = " +
                          seven + "\r\n");
    EXPECT_EQ(m_host.items, (std::vector<std::string>{"new name", "seven"}));
    EXPECT_EQ(m_store.Current(), 1);
    EXPECT_EQ(m_controller.Inputs().ele, 7);

    // How the filter is built goes with the configuration: saved beside its parameter text,
    // given back to the check boxes when it is chosen.
    m_controls.cover = 1;
    m_controls.corrected = 1;
    m_store.SaveConfig();
    EXPECT_EQ(Stored("C_2", "Feed"), "cover");
    EXPECT_EQ(Stored("C_2", "Corrected"), "1");
    EXPECT_EQ(Stored("C_1", "Feed"), "<none>");
    m_store.SelectConfig(0);
    EXPECT_EQ(m_controls.cover + m_controls.corrected, 0);
    m_store.SelectConfig(1);
    EXPECT_EQ(m_controls.cover, 1);
    EXPECT_EQ(m_controls.corrected, 1);
}

// The list follows the byte order of the section names, a new configuration takes the first
// free number, and every drop-down rereads the file.
TEST_F(ConfigStoreTest, ListOrderFreeNumbersAndReload)
{
    std::string file = "Recent = C_10\r\n";
    for (int k = 1; k <= 10; ++k) {
        if (k != 3) {
            file += "[C_" + std::to_string(k) + "]\r\nName = n" + std::to_string(k) +
                    "\r\nParms = ele=" + std::to_string(k) +
                    "&rip=0.5&fzmc=900&bwmc=40&R=60&H=25&D=9&E=21&NFR=200&STP=1\r\n";
        }
    }
    Write(file);
    m_store.FillConfigList();
    EXPECT_EQ(m_host.items,
              (std::vector<std::string>{"n1", "n10", "n2", "n4", "n5", "n6", "n7", "n8", "n9"}));
    EXPECT_EQ(m_store.Current(), 1);
    EXPECT_EQ(m_host.selected, 1);

    // Choosing applies the stored inputs in the labels' units, without conversion.
    m_store.SelectConfig(3);
    const DesignInputs& in = m_controller.Inputs();
    const DesignInputs expected{4, 0.5, 900.0, 40.0, 60.0, 25.0, 9.0, 21.0};
    for (int i = 0; i < kDesignInputCount; ++i) {
        const DesignInput input = DesignInputAt(i);
        EXPECT_EQ(FieldText(in, input), FieldText(expected, input)) << InputInfo(input).label;
    }
    EXPECT_EQ(m_controls.edits[int(DesignInput::Ripple)], "0.5");
    EXPECT_EQ(m_controls.sliders[int(DesignInput::Ripple)], 5);
    EXPECT_EQ(m_controls.sliders[int(DesignInput::CentreFrequency)], 900);
    EXPECT_EQ(m_store.Current(), 3);
    EXPECT_EQ(m_host.selected, 3);
    EXPECT_EQ(Stored("", "Recent"), "C_4");
    EXPECT_NE(Read().find("Recent= C_4\r\n"), std::string::npos);

    m_host.nameAnswer = "fresh";
    m_store.NewConfig();
    EXPECT_EQ(m_store.Sections()[3], "C_3");
    EXPECT_EQ(m_host.items[3], "fresh");
    EXPECT_EQ(m_store.Current(), 3);
    EXPECT_EQ(Stored("C_3", "Parms"),
              "ele=4\t&rip=0.5\t&fzmc=900&bwmc=40&R=60\t&H=25\t&D=9\t&E=21\t&NFR=200&STP=1");

    // Another program renumbers the new configuration, adds one and chooses it.
    std::string text = Read();
    text.replace(text.find("[C_3]"), 5, "[C_11]");
    text += "[C_3]\r\nName = other\r\nParms = x\r\n";
    Write(text);
    m_store.FillConfigList();
    EXPECT_EQ(m_host.items.size(), 11u);
    EXPECT_EQ(m_host.items[2], "fresh") << "C_11 sorts before C_2";
    EXPECT_EQ(m_host.items[4], "other");
    EXPECT_EQ(m_store.Current(), 4);
    EXPECT_TRUE(m_host.messages.empty()) << m_host.messages[0];

    // Indices outside the list do nothing.
    m_store.SelectConfig(11);
    m_store.SelectConfig(-1);
    EXPECT_EQ(m_store.Current(), 4);
}

// What a stored text can hold, and what the user is told when it is broken.
TEST_F(ConfigStoreTest, StoredParmsTexts)
{
    const struct
    {
        const char* parms; // nullptr: no Parms key
        const char* message;
        DesignInputs expected;
        bool refreshed;
    } cases[] = {
        {" ele = 7.9 & rip=0.25\t&fzmc= 1296 &bwmc=60&R=75&H=30&D=10&E=20&NFR=5&STP=99",
         nullptr,
         {7, 0.25, 1296, 60, 75, 30, 10, 20},
         true},
        {"ele=7&rip=2", "Wrong format of Parms key", {}, false},
        {"ele=7&rip=2&fzmc=900&Bwmc=1&R=60&H=20&D=8&E=25&NFR=200&STP=1",
         "Unknown Parms key name: Bwmc",
         {7, 2, 900, 70, 50, 20, 8, 25},
         false},
        {nullptr, "Parms key missing", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parms ? c.parms : "(no Parms)");
        const std::string file = std::string("[C_1]\r\nName = one\r\n") +
                                 (c.parms ? std::string("Parms = ") + c.parms + "\r\n" : "");
        Write(file);
        m_controller.Inputs() = DesignInputs();
        m_controller.FieldsToControls();
        m_controller.SetModified(true);
        m_host.messages.clear();

        m_store.FillConfigList();
        m_store.SelectConfig(0);
        if (c.message) {
            EXPECT_EQ(m_host.messages, std::vector<Message>{Notice(c.message)});
        } else {
            EXPECT_TRUE(m_host.messages.empty());
        }
        const DesignInputs& in = m_controller.Inputs();
        EXPECT_EQ(in.ele, c.expected.ele);
        EXPECT_EQ(in.rip, c.expected.rip);
        EXPECT_EQ(in.fzmc, c.expected.fzmc);
        EXPECT_EQ(in.bwmc, c.expected.bwmc);
        EXPECT_EQ(in.R, c.expected.R);
        EXPECT_EQ(in.H, c.expected.H);
        EXPECT_EQ(in.D, c.expected.D);
        EXPECT_EQ(in.E, c.expected.E);
        EXPECT_EQ(m_controls.edits[int(DesignInput::Elements)], c.refreshed ? "7" : "5");
        EXPECT_EQ(m_controller.IsModified(), !c.refreshed);
        if (c.parms) {
            EXPECT_EQ(m_store.Current(), 0);
            EXPECT_EQ(Stored("", "Recent"), "C_1");
        } else {
            EXPECT_EQ(m_store.Current(), -1);
            EXPECT_EQ(Read(), file) << "Recent is not updated";
        }
    }
}

// The question, the Save button, and no empty text stored while the inputs are invalid.
TEST_F(ConfigStoreTest, SavingChangedInputs)
{
    Write(std::string("Recent = C_1\r\n[C_1]\r\nName = one\r\nParms = ") + kDefaultParms + "\r\n");
    m_store.FillConfigList();
    m_store.SelectConfig(0);
    const std::string chosen = Read();

    EXPECT_TRUE(m_store.AskSaveChanges());
    EXPECT_TRUE(m_host.messages.empty()) << "unchanged inputs are not asked about";

    SetEdit(DesignInput::Elements, "6");
    m_controller.SetModified(true);
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Cancel}) {
        m_host.messages.clear();
        m_host.answer = answer;
        EXPECT_EQ(m_store.AskSaveChanges(), answer == MessageAnswer::No) << "go on after No only";
        EXPECT_EQ(m_host.messages, std::vector<Message>{SaveQuestion("one")});
        EXPECT_EQ(Read(), chosen);
    }

    // lastParms is still empty after the choice: the edits' text is stored when it is valid.
    ASSERT_TRUE(m_controller.LastParms().empty());
    m_host.answer = MessageAnswer::Ok;
    EXPECT_TRUE(m_store.AskSaveChanges());
    const std::string six =
        "ele=6\t&rip=1\t&fzmc=1200&bwmc=70&R=50\t&H=20\t&D=8\t&E=25\t&NFR=200&STP=1.4";
    // The store holds the file as saved and read back, the value without its trailing blank.
    EXPECT_EQ(Stored("C_1", "Parms"), six);
    EXPECT_NE(Read().find(six + "\t"), std::string::npos);
    EXPECT_TRUE(m_controller.IsModified()) << "the question leaves modified as it was";

    // Invalid inputs: nothing is stored by any of the three operations.
    SetEdit(DesignInput::Elements, "13");
    m_controller.Recompute();
    ASSERT_TRUE(m_controller.LastParms().empty());
    const std::string before = Read();
    m_host.messages.clear();
    m_host.nameAnswer = "never";
    m_store.SaveConfig();
    EXPECT_FALSE(m_store.AskSaveChanges()) << "Yes that cannot store goes back";
    m_store.NewConfig();
    const Message invalid = Notice("The inputs are not valid; nothing was saved.");
    EXPECT_EQ(m_host.messages.size(), 4u);
    EXPECT_EQ(m_host.messages[0], invalid);
    EXPECT_EQ(m_host.messages[3], invalid);
    EXPECT_TRUE(m_host.proposed.empty()) << "no name is asked for inputs that cannot be stored";
    EXPECT_EQ(Read(), before);
    EXPECT_TRUE(m_controller.IsModified());

    SetEdit(DesignInput::Elements, "8");
    m_controller.Recompute();
    m_store.SaveConfig();
    EXPECT_FALSE(m_controller.IsModified());
    EXPECT_EQ(Stored("C_1", "Parms").substr(0, 6), "ele=8\t");
}

// Nothing chosen (the last choice names no section), then names that create nothing.
TEST_F(ConfigStoreTest, NothingChosenAndNamesThatCreateNothing)
{
    const std::string file = "Recent = C_7\r\n[C_1]\r\nName = one\r\nParms = x\r\n";
    Write(file);
    m_store.FillConfigList();
    EXPECT_EQ(m_store.Current(), -1);
    EXPECT_EQ(m_host.selected, -1);
    EXPECT_EQ(m_controls.edits[int(DesignInput::Elements)], "5");
    m_controller.SetModified(true);
    m_store.SaveConfig();
    EXPECT_TRUE(m_store.AskSaveChanges());
    EXPECT_TRUE(m_host.messages.empty());

    m_store.NewConfig(); // cancelled
    EXPECT_EQ(m_host.proposed, std::vector<std::string>{"new name"});
    m_host.nameAnswer = " \t ";
    m_store.NewConfig();
    EXPECT_EQ(m_host.messages, std::vector<Message>{Notice("Invalid Name")});
    EXPECT_EQ(Read(), file);

    // Every number in use: nothing is created, and the user is told so.
    std::string full;
    for (int k = 1; k <= ConfigStore::kMaxConfigs; ++k) {
        full += "[C_" + std::to_string(k) + "]\r\nName = same\r\nParms = x\r\n";
    }
    Write(full);
    m_store.FillConfigList();
    EXPECT_EQ(m_host.items.size(), size_t(ConfigStore::kMaxConfigs));
    m_host.messages.clear();
    m_host.nameAnswer = "one too many";
    m_store.NewConfig();
    EXPECT_EQ(m_host.messages,
              std::vector<Message>{Notice(
                  "Cannot create a new configuration: all sections C_1 to C_999 are in use.")});
    EXPECT_EQ(Read(), full);
}

// A save that fails tells the user which file and why, and keeps the change in memory.
TEST_F(ConfigStoreTest, FailedSavesAreReported)
{
    const std::string file =
        std::string("Recent = C_1\r\n[C_1]\r\nName = one\r\nParms = ") + kDefaultParms + "\r\n";
    Write(file);
    m_store.FillConfigList();
    m_store.SelectConfig(0);
    const std::string chosen = Read();
    ASSERT_EQ(::chmod(Path().c_str(), 0444), 0);

    SetEdit(DesignInput::Elements, "6");
    m_controller.Recompute();
    m_controller.SetModified(true);
    m_store.SaveConfig();
    const Message denied = Notice("Cannot save " + Path() + ": Permission denied");
    EXPECT_EQ(m_host.messages, std::vector<Message>{denied});
    EXPECT_EQ(Stored("C_1", "Parms"), m_controller.LastParms());
    EXPECT_TRUE(m_controller.IsModified()) << "the inputs are still unsaved";
    EXPECT_EQ(Read(), chosen);

    // Choosing still works when the choice cannot be remembered.
    m_host.messages.clear();
    m_store.SelectConfig(0);
    EXPECT_EQ(m_host.messages, std::vector<Message>{denied});
    EXPECT_EQ(m_controller.Inputs().ele, 6) << "the unsaved text is the configuration's now";

    // A new configuration that cannot be written is not chosen.
    m_host.messages.clear();
    m_host.nameAnswer = "lost?";
    m_store.NewConfig();
    EXPECT_EQ(m_host.messages, std::vector<Message>{denied});
    EXPECT_EQ(m_host.items, std::vector<std::string>{"one"});
    EXPECT_EQ(m_store.Current(), 0);
    EXPECT_EQ(Stored("C_2", "Name"), "lost?") << "kept for the next save that succeeds";
    ASSERT_EQ(::chmod(Path().c_str(), 0644), 0);

    // A full disk.
    const std::string padded = file + std::string(3000, ';') + "\r\n";
    const std::string outcome = filefaults::RunOnFullDisk(
        m_dir, [&] { Write(padded); },
        [&]() -> std::string {
            FakeHost host;
            ConfigStore store(m_controller, host, m_dir, "Tessera.ini");
            store.FillConfigList();
            store.SelectConfig(0);
            const std::string prefix = "Cannot save " + Path() + ": ";
            if (host.messages.size() != 1 || host.messages[0].text.rfind(prefix, 0) != 0 ||
                host.messages[0].text.size() <= prefix.size()) {
                return host.messages.empty() ? "no message" : host.messages[0].text;
            }
            if (Read() != padded) {
                return "the file changed";
            }
            return "";
        });
    EXPECT_EQ(outcome, "");
}

} // namespace
