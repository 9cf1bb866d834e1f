// LOAD and SAVE behind the file dialogs, the failures shown in boxes, and the
// question about unsaved steps before they are thrown away, as the operator
// session does them over a recording view. Each test has a folder of its own.
#include <functional>

#include "SessionFixture.h"
#include "TempFolder.h"

namespace {

const char kUnsaved[] = "The trajectory has changes that are not saved.\n\nSave them?";
const char kRecQuestion[] = "This command will clear the previous steps.\n\nAre you sure to continue?.";

// A box without a caption, as the view logs it.
std::string BoxEntry(const std::string& text, const char* kind, const char* answer)
{
    return "box " + testsupport::Quoted(text) + " | " + kind + " -> " + answer;
}
std::string FailureBox(const std::string& text) { return BoxEntry(text, "error", "ok"); }

class SessionFiles : public SessionTest {
protected:
    // A table's next row: a fresh session over an empty folder.
    void StartOver()
    {
        folder.Empty();
        SessionTest::StartOver();
    }
    std::string At(const std::string& name) const { return folder.At(name); }
    std::string Opened(const std::string& name) const { return "open-dialog -> " + At(name); }
    std::string Saved(const std::string& name) const { return "save-dialog -> " + At(name); }
    void Load(const std::string& name)
    {
        view.ExpectFile(true, At(name));
        session->Load();
    }
    void Save(const std::string& name)
    {
        view.ExpectFile(false, At(name));
        session->Save();
    }
    Sequence Lines() const { return session->Steps().Lines(); }

    TempFolder folder;
};

}  // namespace

// LOAD selects line 0 and shows nothing of the form: the form holds the last
// line's values (its note as the line keeps it), the boxes still show what they
// showed.
TEST_F(SessionFiles, LoadTakesTheLinesWithLineZeroSelectedAndShowsNothing)
{
    folder.Write("run.txt", "1,2,3,4,5,6,7\n1,2,3,4,5,6,7:a b\n");
    LoadSteps({"9,9,9,9,9,9,9"});
    Load("run.txt");
    ExpectSequence((Sequence{Opened("run.txt"), "list load 2 select 0"}), view.log);
    ExpectSequence((Sequence{"1,2,3,4,5,6,7", "1,2,3,4,5,6,7:a"}), Lines());
    EXPECT_EQ(session->Selected(), 0);
    EXPECT_EQ(session->Form().set.x, 1);
    EXPECT_EQ(session->Form().speed, 7);
    EXPECT_EQ(session->Form().note, "a");
}

// SAVE writes the lines as they stand, a note as typed, spaces and all. Each
// line of the file gives one step at most, whatever its length; the note keeps
// its first 51 characters, up to a space.
TEST_F(SessionFiles, SavedLinesLoadAsOneStepEach)
{
    const std::string note = std::string(101, 'x') + "9,9,9,9,9,9,9";
    for (const std::string& typed : {note, std::string("a b"), std::string()}) {
        Type(TypedBox::kNote, typed);
        session->Add();
    }
    Flush();
    Save("run.txt");
    ExpectSequence(Sequence{Saved("run.txt")}, view.log);
    ASSERT_EQ(folder.Read("run.txt"), "0,0,0,-90,0,0,200:" + note + "\n0,0,0,-90,0,0,200:a b\n0,0,0,-90,0,0,200\n");
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"run.txt"});
    Load("run.txt");
    const Sequence loaded = {"0,0,0,-90,0,0,200:" + std::string(51, 'x'), "0,0,0,-90,0,0,200:a", "0,0,0,-90,0,0,200"};
    ExpectSequence(loaded, Lines());
}

// RUN after LOAD plays line 0, not what the boxes show, and the step end the next line.
TEST_F(SessionFiles, AfterLoadRunSendsLineZeroThenTheNextLine)
{
    const std::string kFirst = "show news+set+note+speed+rec+run+backward set=10,0,0,-90,0,0 note= speed=100 "
                               "rec=0 run=1 backward=0";
    struct Row {
        const char* content;
        Sequence afterStepEnd;
    };
    const Row rows[] = {
        {"10,0,0,-90,0,0,100\n20,0,0,-90,0,0,100\n",
         {"list select 1", "show news+set+speed set=20,0,0,-90,0,0 speed=100",
          SentDatagram("WMCA_PCD|X200Y0Z0P-900R0G0SP100")}},
        {"10,0,0,-90,0,0,100\n", {"show run run=0"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.content);
        StartOver();
        Operating();
        folder.Write("run.txt", row.content);
        Load("run.txt");
        Flush();
        session->Run(true);
        StepEnd();
        const Sequence expected =
            Sequence{"read set+note+speed asked -> ok", kFirst, SentDatagram("WMCA_PCD|X100Y0Z0P-900R0G0SP100")} +
            row.afterStepEnd + Sequence{"show news"};  // the report is a sign of life
        ExpectSequence(expected, view.log);
    }
    EXPECT_FALSE(session->Form().run);
}

// A file that is not there is a new trajectory: the list empties and nothing
// is selected; its ".txt" file is made empty, an existing one left alone, and
// one that cannot be made is not reported.
TEST_F(SessionFiles, MissingFileEmptiesTheListAndMakesOnlyAMissingTxtFile)
{
    struct Row {
        const char* name;
        const char* existing;  // run.txt.txt before, if any
        std::set<std::string> entries;
        std::optional<std::string> txt;  // run.txt.txt after
    };
    const Row rows[] = {
        {"run.txt", nullptr, {"run.txt.txt"}, ""},
        {"run.txt", "1,1,1,1,1,1,1\n", {"run.txt.txt"}, "1,1,1,1,1,1,1\n"},
        {"missing/run.txt", nullptr, {}, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + (row.existing ? ", its .txt there" : ""));
        StartOver();
        if (row.existing)
            folder.Write("run.txt.txt", row.existing);
        LoadSteps({"9,9,9,9,9,9,9"});
        Load(row.name);
        ExpectSequence((Sequence{Opened(row.name), "list reset"}), view.log);
        EXPECT_TRUE(Lines().empty());
        EXPECT_EQ(session->Selected(), -1);
        EXPECT_EQ(folder.Entries(), row.entries);
        EXPECT_EQ(folder.Read("run.txt.txt"), row.txt);
    }
}

TEST_F(SessionFiles, CancelledDialogsChangeNothing)
{
    LoadSteps({"9,9,9,9,9,9,9"});
    view.ExpectFile(true, "");
    session->Load();
    view.ExpectFile(false, "");
    session->Save();
    ExpectSequence((Sequence{"open-dialog -> ", "save-dialog -> "}), view.log);
    ExpectSequence(Sequence{"9,9,9,9,9,9,9"}, Lines());
    EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(SessionFiles, SaveAppendsTxtOnlyWhenThePathHasNoneAnywhere)
{
    struct Row {
        const char* chosen;
        const char* written;
    };
    static const Row kRows[] = {
        {"run.TXT", "run.TXT.txt"}, {"run.txt.bak", "run.txt.bak"}, {"run", "run.txt"},
        {"run.txt", "run.txt"},     {"a.txt.d/run", "a.txt.d/run"}, {"a.d/run", "a.d/run.txt"},
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.chosen);
        StartOver();
        std::filesystem::create_directory(folder.Dir() / "a.txt.d");
        std::filesystem::create_directory(folder.Dir() / "a.d");
        LoadSteps({"1,2,3,4,5,6,7"});
        Save(row.chosen);
        EXPECT_EQ(folder.Read(row.written), "1,2,3,4,5,6,7\n");
        EXPECT_EQ(folder.Entries(), (std::set<std::string>{"a.txt.d", "a.d", row.written}));
    }
}

// A file held open by another program or failing half-way through does not
// load, and a save that cannot replace its file fails: a box names the file and
// why; the list, the files and the folder stay as they were.
TEST_F(SessionFiles, FailedLoadOrSaveSaysSoAndChangesNothing)
{
    struct Row {
        const char* trouble;
        bool load;
        const char* chosen;
        std::function<void(const std::string&)> make;
        std::string text;
    };
    const auto noTrouble = [](const std::string&) {};
    const std::string file = "The trajectory file " + At("run.txt");
    const Row rows[] = {
        {"in use", true, "run.txt", [](const std::string& path) { os::Faults().inUse.insert(path); },
         file + " could not be opened: it is in use by another program."},
        {"read fails at once", true, "run.txt",
         [](const std::string& path) { os::Faults().readsFailingAfter[path] = 0; },
         file + " could not be read to its end."},
        {"read fails half-way", true, "run.txt",
         [](const std::string& path) { os::Faults().readsFailingAfter[path] = 20; },
         file + " could not be read to its end."},
        {"no such folder", false, "missing/run", noTrouble,
         "The trajectory could not be saved to " + At("missing/run.txt") + "."},
        {"a folder of that name in the way", false, "old.txt", noTrouble,
         "The trajectory could not be saved to " + At("old.txt") + "."},
    };
    const std::string content = "1,1,1,1,1,1,1\n2,2,2,2,2,2,2\n3,3,3,3,3,3,3\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.trouble);
        StartOver();
        folder.Write("run.txt", content);
        std::filesystem::create_directory(folder.Dir() / "old.txt");
        const std::set<std::string> before = folder.Entries();
        row.make(At("run.txt"));
        LoadSteps({"9,9,9,9,9,9,9"});
        view.ExpectFile(row.load, At(row.chosen));
        view.ExpectBox(row.text, ISessionView::Answer::kOk);
        if (row.load)
            session->Load();
        else
            session->Save();
        const Sequence expected = {(row.load ? Opened(row.chosen) : Saved(row.chosen)), FailureBox(row.text)};
        ExpectSequence(expected, view.log);
        ExpectSequence(Sequence{"9,9,9,9,9,9,9"}, Lines());
        EXPECT_EQ(session->Selected(), 0);
        EXPECT_EQ(folder.Read("run.txt"), content);
        EXPECT_EQ(folder.Entries(), before);
    }
}

// --- Unsaved steps

// Whether the steps may go without a question depends on what was done to the
// list since the start or its last SAVE or LOAD. One session, edit after edit:
// each edit that asks nothing follows a LOAD or SAVE, so it would show if it
// marked the steps changed; a LOAD after an edit is answered No.
TEST_F(SessionFiles, StepsAreUnsavedAfterEachEditUntilSavedOrLoaded)
{
    const Sequence two = {"1,1,1,1,1,1,1", "2,2,2,2,2,2,2"};
    const auto unsaved = [this](const char* done, bool asks) {
        SCOPED_TRACE(done);
        view.VerifyScriptsTaken();
        Flush();
        if (asks)
            view.ExpectBox(kUnsaved, Answer::kCancel);
        EXPECT_EQ(session->MayDiscardSteps(), !asks);
        ExpectSequence(asks ? Sequence{BoxEntry(kUnsaved, "yes-no-cancel", "cancel")} : Sequence{}, view.log);
        view.VerifyScriptsTaken();
    };
    Operating();
    unsaved("nothing", false);
    session->Del();
    unsaved("DEL with no line", false);
    session->Chg();
    unsaved("CHG with no line", false);
    session->Add();
    unsaved("ADD", true);
    view.ExpectBox(kUnsaved, Answer::kNo);
    LoadSteps(two);
    unsaved("LOAD", false);
    session->SelectStep(1);
    unsaved("a line selected", false);
    session->Chg();
    unsaved("CHG", true);
    view.ExpectBox(kUnsaved, Answer::kNo);
    LoadSteps(two);
    session->Del();
    unsaved("DEL of the line LOAD selected", true);

    view.ExpectBox(kUnsaved, Answer::kNo);
    LoadSteps({"1,1,1,1,1,1,1"});
    view.ExpectBox(kRecQuestion, Answer::kNo);
    session->Rec(true);
    unsaved("REC answered No", false);
    view.ExpectBox(kRecQuestion, Answer::kYes);
    session->Rec(true);
    session->Rec(false);
    unsaved("REC answered Yes, then REC off", true);
    view.ExpectBox(kRecQuestion, Answer::kYes);
    session->Rec(true);
    Report("WMRP_D|X10Y20Z30P0R0G0");
    StepEnd();
    session->Rec(false);
    Save("run.txt");
    unsaved("a recorded step, saved", false);

    session->Add();
    view.ExpectFile(false, "");
    session->Save();
    unsaved("ADD, then a cancelled SAVE", true);
    view.ExpectFile(false, At("missing/run"));
    view.ExpectBox("The trajectory could not be saved to " + At("missing/run.txt") + ".", Answer::kOk);
    session->Save();
    unsaved("and then a failed SAVE", true);
    view.ExpectBox(kUnsaved, Answer::kNo);
    Load("missing.txt");
    unsaved("and then LOAD of a missing file", false);

    session->Add();
    folder.Write("run.txt", "1,1,1,1,1,1,1\n");
    os::Faults().inUse.insert(At("run.txt"));
    view.ExpectBox(kUnsaved, Answer::kNo);
    view.ExpectFile(true, At("run.txt"));
    view.ExpectBox("The trajectory file " + At("run.txt") + " could not be opened: it is in use by another program.",
                   Answer::kOk);
    session->Load();
    unsaved("ADD, then LOAD of a file in use", true);
}

// Before a close and before LOAD: Yes saves through SAVE's dialog and goes on
// only once saved; No goes on as without the question; Cancel, or a save that
// did not happen, stops everything.
TEST_F(SessionFiles, UnsavedStepsAreAskedAboutBeforeACloseOrLoad)
{
    using Answer = ISessionView::Answer;
    struct Reply {
        const char* name;
        Answer answer;
        const char* chosen;  // in the save dialog after Yes; "" cancels it
        bool goesOn;
    };
    static const Reply kReplies[] = {
        {"cancel", Answer::kCancel, nullptr, false},
        {"no", Answer::kNo, nullptr, true},
        {"yes", Answer::kYes, "saved.txt", true},
        {"yes", Answer::kYes, "", false},                   // the save dialog cancelled
        {"yes", Answer::kYes, "missing/saved.txt", false},  // the save failed
    };
    for (bool load : {false, true}) {
        for (const Reply& reply : kReplies) {
            SCOPED_TRACE(std::string(load ? "LOAD, " : "a close, ") + reply.name + ", " +
                         (reply.chosen ? reply.chosen : "-"));
            StartOver();
            folder.Write("loaded.txt", "5,5,5,5,5,5,5\n");
            session->Add();
            Flush();

            Sequence expected = {BoxEntry(kUnsaved, "yes-no-cancel", reply.name)};
            view.ExpectBox(kUnsaved, reply.answer);
            if (reply.chosen) {
                const std::string chosen = *reply.chosen ? At(reply.chosen) : "";
                view.ExpectFile(false, chosen);
                expected.push_back("save-dialog -> " + chosen);
                if (std::string(reply.chosen).starts_with("missing/")) {
                    const std::string failed = "The trajectory could not be saved to " + chosen + ".";
                    view.ExpectBox(failed, Answer::kOk);
                    expected.push_back(FailureBox(failed));
                }
            }
            if (load && reply.goesOn) {
                view.ExpectFile(true, At("loaded.txt"));
                expected = expected + Sequence{Opened("loaded.txt"), "list load 1 select 0"};
            }
            if (load)
                session->Load();
            else
                EXPECT_EQ(session->MayDiscardSteps(), reply.goesOn);
            ExpectSequence(expected, view.log);
            ExpectSequence(load && reply.goesOn ? Sequence{"5,5,5,5,5,5,5"} : Sequence{"0,0,0,-90,0,0,200"}, Lines());
            EXPECT_EQ(folder.Read("saved.txt"),
                      reply.chosen && std::string(reply.chosen) == "saved.txt"
                          ? std::optional<std::string>("0,0,0,-90,0,0,200\n")
                          : std::nullopt);
        }
    }
}
