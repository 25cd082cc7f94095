// Runs the window's commands from scenario files (tests/app/scenarios/*.scenario): a registry,
// the user's clicks and answers, and what must follow — the exact messages in order, the fields,
// the dialogs, the files written. The step words are listed in scenarios/README.md; lines are
// trimmed, so a space that matters at the end of a text is written \x20.
#include "../dialogue_fixture.h"
#include "../test_support.h"
#include "files/text_lines.h"

#include <algorithm>
#include <map>

namespace quillon {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr std::string_view kPlatform = "windows";
#else
constexpr std::string_view kPlatform = "linux";
#endif

struct Step {
    std::string file;
    int line = 0;
    std::string command;
    std::string args;
    std::optional<std::string> block; // the lines after "<<" up to ".", each ended by CR LF
};

struct Scenario {
    std::string name;
    std::vector<Step> steps;
};

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string_view::npos ? "" : std::string(text.substr(first, last - first + 1));
}

// The first word of `text`, and the rest after it.
std::pair<std::string, std::string> Split(std::string_view text) {
    const auto space = text.find(' ');
    if (space == std::string_view::npos) {
        return {std::string(text), ""};
    }
    return {std::string(text.substr(0, space)), Trim(text.substr(space + 1))};
}

// A case title as a test name: its words joined, capitalised, letters and digits only.
std::string TestName(std::string_view title) {
    std::string name;
    bool startOfWord = true;
    for (char c : title) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
            name +=
                startOfWord ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
            startOfWord = false;
        } else {
            startOfWord = true;
        }
    }
    return name;
}

void ReadScenarioFile(const fs::path& path, std::vector<Scenario>& scenarios) {
    const std::vector<std::string> lines = SplitLines(test::ReadBytes(path));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line = Trim(lines[i]);
        if (line.empty() || line.starts_with("#")) {
            continue;
        }
        if (line.starts_with("=== ")) {
            scenarios.push_back({TestName(line.substr(4)), {}});
            continue;
        }
        if (scenarios.empty()) {
            ADD_FAILURE() << path << ":" << i + 1 << ": a step before the first \"=== \" title";
            return;
        }
        Step step{path.filename().string(), static_cast<int>(i + 1), "", "", std::nullopt};
        std::tie(step.command, step.args) = Split(line);
        if (step.args.ends_with("<<")) {
            step.args = Trim(step.args.substr(0, step.args.size() - 2));
            step.block = "";
            while (++i < lines.size() && lines[i] != ".") {
                step.block->append(lines[i]).append("\r\n");
            }
        }
        scenarios.back().steps.push_back(std::move(step));
    }
}

std::vector<Scenario> LoadScenarios() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(QUILLON_SCENARIOS)) {
        if (entry.path().extension() == ".scenario") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<Scenario> scenarios;
    for (const fs::path& file : files) {
        ReadScenarioFile(file, scenarios);
    }
    return scenarios;
}

// "\r", "\n", "\t", "\0", "\\" and "\xHH" in a step's argument.
std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'x' && i + 2 < text.size() + 1) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c == '0' ? '\0' : c;
        }
    }
    return out;
}

// The value after "=" in "= value" (an empty value allowed).
std::string AfterEquals(const std::string& rest) {
    EXPECT_TRUE(rest.starts_with("=")) << "expected \"= value\", got: " << rest;
    return rest.size() > 2 ? rest.substr(2) : "";
}

class ScenarioRun {
  public:
    void Run(const Scenario& scenario) {
        const auto steps = Steps();
        for (const Step& step : scenario.steps) {
            SCOPED_TRACE(step.file + ":" + std::to_string(step.line) + ": " + step.command + " " +
                         step.args);
            const auto found = steps.find(step.command);
            ASSERT_NE(found, steps.end()) << "unknown step";
            found->second(step);
            if (::testing::Test::HasFatalFailure() || ::testing::Test::IsSkipped()) {
                return;
            }
        }
        SCOPED_TRACE(scenario.name + ": at the end");
        NoMoreMessages({});
    }

  private:
    using Action = std::function<void(const Step&)>;
    // Every step word, and what it does.
    std::map<std::string, Action> Steps() {
        const auto member = [this](void (ScenarioRun::*f)(const Step&)) {
            return [this, f](const Step& s) { (this->*f)(s); };
        };
        test::FakeUi& ui = rig_.ui;
        return {
            {"platform",
             [](const Step& s) {
                 if (s.args != kPlatform) {
                     GTEST_SKIP() << "for " << s.args << " only";
                 }
             }},
            {"sample", member(&ScenarioRun::Sample)},
            {"sample-user-at", [this](const Step& s) { LoadSampleUserAt(s.args); }},
            {"oe", member(&ScenarioRun::OeRegistry)},
            {"reg", [this](const Step& s) { ReadReg("REGEDIT4\r\n" + Block(s), "reg"); }},
            {"delete-key", [this](const Step& s) { EXPECT_TRUE(rig_.store.DeleteKey(s.args)); }},
            {"delete-value", member(&ScenarioRun::DeleteValue)},
            {"read-only", [this](const Step& s) { Key(s.args).Access = KeyAccess::ReadOnly; }},
            {"temp-folder-missing",
             [this](const Step&) {
                 tempFolder_.reset();
                 tempFolder_.emplace(folder_.File("no-such-folder") + "/");
             }},
            {"start", [this](const Step& s) { rig_.Launch(s.args.empty() ? "." : s.args); }},
            {"click", [this](const Step& s) { EXPECT_TRUE(D().Click(s.args)) << "no handler"; }},
            {"no-click", [this](const Step& s) { EXPECT_FALSE(D().Click(s.args)); }},
            {"tab",
             [this](const Step& s) {
                 D().Onglets.Select(std::stoi(s.args));
                 D().Onglets_Click();
             }},
            {"set", member(&ScenarioRun::Set)},
            {"only", member(&ScenarioRun::Only)},
            {"leave",
             [this](const Step& s) { EXPECT_TRUE(D().LostFocus(s.args)) << "no handler"; }},
            {"help",
             [this](const Step& s) {
                 D().Aide(s.args.empty() ? std::nullopt : std::optional(std::stoi(s.args)));
             }},
            {"answer",
             [&ui](const Step& s) {
                 ui.answers.push_back(s.args == "yes" ? Answer::Yes : Answer::No);
             }},
            {"choose", [this, &ui](const Step& s) { ui.files.push_back(PathOf(s.args)); }},
            {"choose-folder", [this, &ui](const Step& s) { ui.folders.push_back(PathOf(s.args)); }},
            {"ui", member(&ScenarioRun::UiFlag)},
            {"write", member(&ScenarioRun::Write)},
            {"chmod", member(&ScenarioRun::Chmod)},
            {"message", member(&ScenarioRun::Message)},
            {"icon", member(&ScenarioRun::Icon)},
            {"skip-messages", [this, &ui](const Step&) { messagesSeen_ = ui.messages.size(); }},
            {"no-more-messages", member(&ScenarioRun::NoMoreMessages)},
            {"call", member(&ScenarioRun::Call)},
            {"no-more-calls", member(&ScenarioRun::NoMoreCalls)},
            {"expect", member(&ScenarioRun::Expect)},
            {"boxes", member(&ScenarioRun::Boxes)},
            {"dialog", member(&ScenarioRun::Dialog)},
            {"dialogs",
             [&ui](const Step& s) {
                 EXPECT_EQ(ui.dialogs.size(), std::stoul(AfterEquals(s.args)));
             }},
            {"file", member(&ScenarioRun::File)},
            {"folder-holds",
             [this](const Step& s) {
                 EXPECT_EQ(std::distance(fs::directory_iterator(folder_.Path()), {}),
                           std::stoi(s.args));
             }},
            {"temp-empty", [this](const Step&) { EXPECT_TRUE(fs::is_empty(temp_.Path())); }},
            {"held", member(&ScenarioRun::Held)},
        };
    }

    // $DIR: this case's folder; $HELP: the help file the Dialogue names in /opt/quillon;
    // $PROFILE: %UserProfile% as this system expands it (Linux: not at all).
    std::string Subst(std::string text) const {
        text = ReplaceAll(text, "$DIR", folder_.Path().string());
#ifdef _WIN32
        const char* profile = std::getenv("USERPROFILE");
        text = ReplaceAll(text, "$PROFILE", profile != nullptr ? profile : "%UserProfile%");
        return ReplaceAll(text, "$HELP", "/opt/quillon\\Quillon.chm");
#else
        text = ReplaceAll(text, "$PROFILE", "%UserProfile%");
        return ReplaceAll(text, "$HELP", "/opt/quillon/help");
#endif
    }
    // An argument as the program's own text: ANSI, escapes read.
    std::string Ansi(const std::string& argument) const {
        return Subst(Unescape(Utf8ToAnsi(argument)));
    }
    // The lines of a block as the program's text: ANSI, backslashes as they are (.reg text).
    std::string Block(const Step& step) const {
        return Utf8ToAnsi(Subst(step.block.value_or("")));
    }
    // An expected text, UTF-8 as the messages are recorded.
    std::string Expected(const std::string& argument) const {
        return Subst(Unescape(argument));
    }
    std::string PathOf(const std::string& name) const {
        return Subst(name.starts_with("$") || fs::path(name).is_absolute() ? name : "$DIR/" + name);
    }
    Dialogue& D() {
        EXPECT_TRUE(rig_.dialogue.has_value()) << "\"start\" first";
        return *rig_.dialogue;
    }
    void ReadReg(const std::string& text, const std::string& name) {
        std::string error;
        ASSERT_TRUE(ReadRegText(text, name, rig_.store, error)) << error;
    }

    // The sample installation as Windows loads it: its user's keys also under HKEY_USERS\<SID>.
    void Sample(const Step&) {
        for (const char* part : {"ntuser", "default", "software"}) {
            ReadReg(test::ReadBytes(std::string(QUILLON_EXAMPLES "/sample-xp/") + part + ".reg"),
                    part);
        }
        LoadSampleUserAt("HKEY_USERS\\S-1-5-21-1111111111-2222222222-3333333333-1003");
    }
    void LoadSampleUserAt(const std::string& root) {
        const std::string user = test::ReadBytes(QUILLON_EXAMPLES "/sample-xp/ntuser.reg");
        ReadReg(ReplaceAll(user, "[HKEY_CURRENT_USER", "[" + root), "ntuser.reg");
    }
    void OeRegistry(const Step& step) {
        const auto [identity, rest] = Split(step.args);
        const auto [version, group] = Split(rest);
        const std::string registry =
            test::OeRegistry(identity,
                             version == "none" ? ""
                             : version.empty() ? "6.0"
                                               : version,
                             group.empty() ? "S-1-5-21-11-22-33-513" : group);
        ReadReg("REGEDIT4\r\n" + registry, "oe.reg");
    }
    // The key of that name, which the case expects to exist.
    MemoryKey& Key(const std::string& path) {
        MemoryKey* key = rig_.store.FindKey(path);
        EXPECT_NE(key, nullptr) << path;
        return key != nullptr ? *key : *rig_.store.CreateKey(path);
    }
    void DeleteValue(const Step& step) {
        const auto bar = step.args.find(" | ");
        Key(step.args.substr(0, bar)).RemoveValue(step.args.substr(bar + 3));
    }

    void Set(const Step& step) {
        const auto [name, value] = Split(step.args);
        Control* control = D().Find(name);
        if (auto* box = dynamic_cast<CheckBox*>(control)) {
            box->SetValue(std::stoi(value));
        } else if (auto* field = dynamic_cast<TextBox*>(control)) {
            field->SetText(Ansi(value));
        } else if (name == "GroupeActif") {
            D().GroupeActif = Ansi(value);
        } else if (name == "HelpFile") {
            D().HelpFile = Ansi(value);
        } else if (name == "iTbImport") {
            D().iTbImport = std::stoi(value);
        } else {
            ADD_FAILURE() << "nothing named " << name << " to set";
        }
    }
    // Ticks exactly these boxes of their tab.
    void Only(const Step& step) {
        const std::string tab = step.args.substr(0, step.args.find('_') + 1);
        for (Control* control : D().Controls()) {
            if (auto* box = dynamic_cast<CheckBox*>(control); box && box->Name().starts_with(tab)) {
                box->SetValue(0);
            }
        }
        for (std::string rest = step.args; !rest.empty();) {
            auto [name, after] = Split(rest);
            auto* box = dynamic_cast<CheckBox*>(D().Find(name));
            ASSERT_NE(box, nullptr) << name;
            box->SetValue(1);
            rest = after;
        }
    }
    void UiFlag(const Step& step) {
        const auto [flag, value] = Split(step.args);
        const std::map<std::string, bool*> flags = {{"help-shows", &rig_.ui.helpShows},
                                                    {"help-throws", &rig_.ui.helpThrows},
                                                    {"browser-starts", &rig_.ui.browserStarts}};
        ASSERT_TRUE(flags.contains(flag)) << "no such flag";
        *flags.at(flag) = value == "yes";
    }
    // write NAME [lf|cr|utf16] from DATA | write NAME = text.
    void Write(const Step& step) {
        auto [name, form] = Split(step.args);
        std::string bytes;
        if (form.starts_with("=")) {
            bytes = Ansi(AfterEquals(form));
        } else {
            const auto from = form.find("from ");
            bytes = test::ReadBytes(std::string(QUILLON_TEST_DATA "/") + form.substr(from + 5));
            form = Trim(form.substr(0, from));
        }
        if (form == "lf" || form == "cr") {
            bytes = ReplaceAll(bytes, "\r\n", form == "lf" ? "\n" : "\r");
        } else if (form == "utf16") {
            bytes = "\xFF\xFE" + AnsiToUtf16Le(bytes);
        }
        test::WriteBytes(PathOf(name), bytes);
    }
    void Chmod(const Step& step) {
        const auto [name, mode] = Split(step.args);
        fs::permissions(PathOf(name), static_cast<fs::perms>(std::stoi(mode, nullptr, 8)));
    }

    // message TITLE | TEXT: the next message box. A text ending in "..." is its beginning;
    // one that also begins with "..." is found anywhere in it.
    void Message(const Step& step) {
        const auto bar = step.args.find(" | ");
        ASSERT_NE(bar, std::string::npos) << "message TITLE | TEXT";
        ASSERT_LT(messagesSeen_, rig_.ui.messages.size()) << "no more messages";
        const test::FakeUi::Message& message = rig_.ui.messages[messagesSeen_++];
        const std::string title = Expected(step.args.substr(0, bar));
        std::string text = Expected(step.args.substr(bar + 3));
        EXPECT_EQ(message.Title, title);
        if (text.size() > 6 && text.starts_with("...") && text.ends_with("...")) {
            EXPECT_NE(message.Text.find(text.substr(3, text.size() - 6)), std::string::npos)
                << message.Text;
        } else if (text.ends_with("...")) {
            EXPECT_TRUE(message.Text.starts_with(text.substr(0, text.size() - 3))) << message.Text;
        } else {
            EXPECT_EQ(message.Text, text);
        }
    }
    void Icon(const Step& step) {
        ASSERT_GT(messagesSeen_, 0u);
        static const std::map<std::string, MessageIcon> icons = {
            {"none", MessageIcon::None},
            {"stop", MessageIcon::Stop},
            {"exclamation", MessageIcon::Exclamation},
            {"information", MessageIcon::Information}};
        EXPECT_EQ(rig_.ui.messages[messagesSeen_ - 1].Icon, icons.at(step.args));
    }
    void NoMoreMessages(const Step&) {
        for (std::size_t i = messagesSeen_; i < rig_.ui.messages.size(); ++i) {
            ADD_FAILURE() << "message not expected: " << rig_.ui.messages[i].Title << " | "
                          << rig_.ui.messages[i].Text;
        }
        messagesSeen_ = rig_.ui.messages.size();
    }
    void Call(const Step& step) {
        ASSERT_LT(callsSeen_, rig_.ui.calls.size()) << "no more calls";
        EXPECT_EQ(rig_.ui.calls[callsSeen_++], Expected(step.args));
    }
    void NoMoreCalls(const Step&) {
        for (std::size_t i = callsSeen_; i < rig_.ui.calls.size(); ++i) {
            ADD_FAILURE() << "call not expected: " << rig_.ui.calls[i];
        }
        callsSeen_ = rig_.ui.calls.size();
    }

    // The text of a field, the value of a box, the tab selected, or a member of the window.
    std::optional<std::string> ValueOf(const std::string& name) {
        Dialogue& d = D();
        const Control* control = d.Find(name);
        if (const auto* field = dynamic_cast<const TextBox*>(control)) {
            return AnsiToUtf8(field->Text());
        }
        if (const auto* box = dynamic_cast<const CheckBox*>(control)) {
            return std::to_string(box->Value());
        }
        const std::map<std::string, std::string> members = {
            {"iTbImport", std::to_string(d.iTbImport)},
            {"NbSauvegarde", std::to_string(d.NbSauvegarde)},
            {"OngletActif", std::to_string(d.OngletActif)},
            {"Ended", d.Ended() ? "yes" : "no"},
            {"GroupeActif", d.GroupeActif},
            {"IdentiteBdRActif", d.IdentiteBdRActif},
            {"R", d.R},
            {"CheminCarnetNouveau", AnsiToUtf8(d.CheminCarnetNouveau)},
            {"HelpFile", d.HelpFile}};
        const auto member = members.find(name);
        return member == members.end() ? std::nullopt : std::optional(member->second);
    }
    // expect NAME = VALUE, or expect NAME enabled|disabled|visible|hidden|default|not-default.
    void Expect(const Step& step) {
        const auto [name, rest] = Split(step.args);
        if (rest.starts_with("=")) {
            const auto value = ValueOf(name);
            ASSERT_TRUE(value.has_value()) << "nothing named " << name;
            EXPECT_EQ(*value, Expected(AfterEquals(rest)));
            return;
        }
        const Control* control = D().Find(name);
        ASSERT_NE(control, nullptr) << name;
        const auto* button = dynamic_cast<const Button*>(control);
        const std::map<std::string, bool> states = {
            {"enabled", control->Enabled()},
            {"disabled", !control->Enabled()},
            {"visible", control->Visible()},
            {"hidden", !control->Visible()},
            {"default", button != nullptr && button->IsDefault()},
            {"not-default", button != nullptr && !button->IsDefault()}};
        ASSERT_TRUE(states.contains(rest)) << "no such state";
        EXPECT_TRUE(states.at(rest)) << name << " is not " << rest;
    }
    // boxes PREFIX = the values of the boxes whose names begin with PREFIX, in window order.
    void Boxes(const Step& step) {
        const auto [prefix, rest] = Split(step.args);
        std::string values;
        for (const Control* control : D().Controls()) {
            if (const auto* box = dynamic_cast<const CheckBox*>(control);
                box && box->Name().starts_with(prefix)) {
                values += (values.empty() ? "" : " ") + std::to_string(box->Value());
            }
        }
        EXPECT_EQ(values, AfterEquals(rest));
    }
    void Dialog(const Step& step) {
        ASSERT_FALSE(rig_.ui.dialogs.empty()) << "no dialog";
        const FileDialogRequest& dialog = rig_.ui.dialogs.back();
        const auto [field, rest] = Split(step.args);
        const std::map<std::string, std::string> fields = {
            {"Kind", dialog.Kind == FileDialogRequest::Form::Open ? "open" : "save"},
            {"FileName", AnsiToUtf8(dialog.FileName)},
            {"Title", AnsiToUtf8(dialog.Title)},
            {"Filter", AnsiToUtf8(dialog.Filter)},
            {"FilterIndex", std::to_string(dialog.FilterIndex)},
            {"DefaultExtension", dialog.DefaultExtension},
            {"InitialFolder", AnsiToUtf8(dialog.InitialFolder)},
            {"OverwritePrompt", dialog.OverwritePrompt ? "yes" : "no"}};
        ASSERT_TRUE(fields.contains(field)) << "no such field";
        EXPECT_EQ(fields.at(field), Expected(AfterEquals(rest)));
    }

    // file NAME equals DATA | is TEXT | starts TEXT | has TEXT | missing | mode OCTAL;
    // "file NAME utf16 ..." reads it as UTF-16 first.
    void File(const Step& step) {
        auto [name, rest] = Split(step.args);
        const std::string path = PathOf(name);
        if (rest == "missing") {
            EXPECT_FALSE(fs::exists(path));
            return;
        }
        ASSERT_TRUE(fs::exists(path)) << path;
        std::string content = test::ReadBytes(path);
        auto [check, argument] = Split(rest);
        if (check == "utf16") {
            ASSERT_TRUE(content.starts_with("\xFF\xFE")) << "no byte-order mark";
            content = Utf16LeToAnsi(std::string_view(content).substr(2));
            std::tie(check, argument) = Split(argument);
        }
        if (check == "equals") {
            const std::string expected = std::string(QUILLON_TEST_DATA "/") + argument;
            if (!fs::exists(expected) && std::getenv("QUILLON_WRITE_EXPECTED") != nullptr) {
                test::WriteBytes(expected, content); // a new case's file, to be reviewed
                ADD_FAILURE() << "written: " << expected;
            }
            EXPECT_EQ(content, test::ReadBytes(expected));
        } else if (check == "is") {
            EXPECT_EQ(content, Ansi(argument));
        } else if (check == "starts") {
            EXPECT_TRUE(content.starts_with(Ansi(argument))) << content.substr(0, 80);
        } else if (check == "has") {
            EXPECT_NE(content.find(Ansi(argument)), std::string::npos);
        } else if (check == "mode") {
#ifndef _WIN32
            EXPECT_EQ(fs::status(path).permissions(),
                      static_cast<fs::perms>(std::stoi(argument, nullptr, 8)));
#endif
        } else {
            ADD_FAILURE() << "no such check";
        }
    }

    // held is NAME | held has TEXT | held remember | held unchanged: the lines
    // of the backup read on tab 3, each ended by CR LF.
    void Held(const Step& step) {
        std::string held;
        for (std::size_t i = 0; i < D().TbImport.Size(); ++i) {
            held.append(D().TbImport[i]).append("\r\n");
        }
        const auto [check, argument] = Split(step.args);
        if (check == "is") {
            EXPECT_EQ(held, test::ReadBytes(PathOf(argument)));
        } else if (check == "has") {
            EXPECT_NE(held.find(Ansi(argument)), std::string::npos) << held;
        } else if (check == "remember") {
            remembered_ = held;
        } else if (check == "unchanged") {
            EXPECT_EQ(held, remembered_);
        } else {
            ADD_FAILURE() << "no such check";
        }
    }

    test::ScratchFolder folder_;
    test::ScratchFolder temp_{"-temp"};
    // Every temporary file of the program goes to a folder of this case's own.
    std::optional<test::ScopedTempFolder> tempFolder_{
        std::in_place, temp_.Path().string() + std::string(1, fs::path::preferred_separator)};
    test::DialogueRig rig_;
    std::size_t messagesSeen_ = 0;
    std::size_t callsSeen_ = 0;
    std::string remembered_;
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

class ScenarioTest : public ::testing::TestWithParam<Scenario> {};

TEST_P(ScenarioTest, Runs) {
    ScenarioRun().Run(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Window, ScenarioTest, ::testing::ValuesIn(LoadScenarios()),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace quillon
