// The program's entry: the skin folder it takes from its arguments, a
// start-up whose server link cannot be made, and a whole session played on
// the remote control alone.
#include "app/application.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "app/directory_screen.h"
#include "app/edit_line_screen.h"
#include "app/file_screen.h"
#include "app/server_link.h"
#include "tests/app/app_fixture.h"
#include "tests/support/find_key.h"
#include "tests/support/skin_folder.h"
#include "ui/input.h"
#include "ui/keyboard.h"
#include "ui/skin.h"

namespace {

class ApplicationTest : public CAppFixture {
 public:
  void SetUp() override {
    CAppFixture::SetUp();
    MakeNotesCard();
  }
  void TearDown() override {
    CAppFixture::TearDown();
    ResetSkinForTesting();
  }
};

// With two arguments or more the first names the folder that holds skin/;
// otherwise the card's root, which here has none (the built-in font).
TEST_F(ApplicationTest, SkinFolderComesFromTheFirstArgumentOfTwoOrMore) {
  CSkinFolder skin;
  ASSERT_TRUE(skin.DescribeDejaVu(true, true));
  const std::string folder = skin.Path() + "/";
  const struct {
    std::vector<std::string> arguments;
    bool fromArgument;
  } cases[] = {
      {{"kestrel"}, false},
      {{"kestrel", folder}, false},
      {{"kestrel", folder, "second"}, true},
      {{"kestrel", folder, "second", "third"}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.size());
    arguments = c.arguments;
    Run(false);
    EXPECT_STREQ(c.fromArgument ? folder.c_str() : "/mnt/sdcard/", GetSkinFolder());
    auto* loaded = dynamic_cast<CDefaultSkin*>(GetSkin());
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(!c.fromArgument, loaded->IsBuiltInFont(0)) << "the control font of the folder used";
    ResetApplicationForTesting();
    ResetSkinForTesting();
  }
}

struct SLayerCall {
  std::string ownName, peerName;
  int32_t processId = 0, unused = 0;
  int calls = 0;
};
SLayerCall gLayerCall;

MZelkonCommunicationLayerInterface* NoLayer(const char* ownName, const char* peerName, int32_t processId,
                                            int32_t unused) {
  gLayerCall = {ownName, peerName, processId, unused, gLayerCall.calls + 1};
  return nullptr;
}

// The link asked for as the navigation server expects it, and refused: the
// screens are made, nothing is shown, the loop never runs, and the program
// still returns 0.
TEST_F(ApplicationTest, WithoutTheServerLinkNothingIsShown) {
  gLayerCall = {};
  SetFileLayerFactoryForTesting(NoLayer);
  char name[] = "kestrel";
  char* argv[] = {name, nullptr};
  EXPECT_EQ(1, InitApplication(1, argv));
  EXPECT_EQ(1, gLayerCall.calls);
  EXPECT_EQ("client", gLayerCall.ownName);
  EXPECT_EQ("ZelkonNavigationServer", gLayerCall.peerName);
  EXPECT_EQ(-1, gLayerCall.processId);
  EXPECT_EQ(0, gLayerCall.unused);
  EXPECT_NE(nullptr, p_dir_screen);
  EXPECT_NE(nullptr, p_file_screen);
  EXPECT_NE(nullptr, p_edit_screen);
  EXPECT_FALSE(ServerLinkIsOpen());

  ResetApplicationForTesting();
  SetFileLayerFactoryForTesting(NoLayer);
  Run(false);
  EXPECT_EQ(0, passes) << "the event loop never ran";
  EXPECT_EQ(0, display.flushes) << "nothing reached the display";
  EXPECT_EQ(nullptr, GetEventLoop()->GetScreen());
}

// A session on the remote alone: 2 to pick, 3 and 4 to move the focus, 6 to
// press, 5 to open the keyboard and switch it, 9 and 10 to type; Exit ends
// the process with status 0. The steps run in the ended process, so what
// they see goes to the debug log, read back here.
class RemoteOnlyTest : public ApplicationTest {
 public:
  static constexpr int kMaxFocusKeys = 80;

  // Key 4 until `target` has the focus (one key a step, so each pass shows
  // the change), then nothing: the next step follows.
  void FocusForward(std::function<MUIWidget*()> target) { Then([=] { FocusStep(target, kMaxFocusKeys); }); }
  void FocusStep(std::function<MUIWidget*()> target, int left) {
    MUIWidget* w = target();
    if (w == nullptr || left == 0) {
      DebugLog("-- seen no focus");
      return;
    }
    if (w->focused) return;
    Key(4);
    actions.push_front([=] { FocusStep(target, left - 1); });
  }
  // The step's observation, for the test to read back.
  void See(std::function<std::string()> what) { Then([=] { DebugLog(("-- seen " + what()).c_str()); }); }

  static MUIWidget* Child(CUIWidgetGroup* group, const char* text) {
    for (int32_t slot = 0; group != nullptr && slot < CUIWidgetGroup::kSlots; ++slot) {
      MUIWidget* child = group->ChildAt(slot);
      if (child != nullptr && child->text != nullptr && std::strcmp(child->text, text) == 0) return child;
    }
    return nullptr;
  }
  static std::string Shown() {
    const void* s = GetEventLoop()->GetScreen();
    return s == p_dir_screen    ? "dir"
           : s == p_file_screen ? "file"
           : s == p_edit_screen ? "edit"
           : s == GetKeyboard() ? "letters"
           : s == GetNumericKeyboard() ? "digits"
                                       : "other";
  }
  static std::string Focused(MUIWidget* w) { return w != nullptr && w->focused ? "focused" : "not focused"; }
};

TEST_F(RemoteOnlyTest, OpenEditTypeSaveAndExit) {
  EXPECT_EXIT(
      {
        // The card's root: the parent entry, docs, notes.txt.
        Then([&] {
          Key(2);
          Key(2);
        });
        See([] { return std::string("selected ") + p_dir_screen->List()->GetItem(p_dir_screen->List()->selected); });
        FocusForward([] { return p_dir_screen->ExitButton(); });
        Then([&] { Key(3); });
        See([] { return "open " + Focused(p_dir_screen->OpenButton()); });
        Then([&] { Key(6); });
        See([] { return "shown " + Shown(); });
        // notes.txt: alpha, beta, gamma; beta retyped.
        Then([&] { Key(2); });
        FocusForward([] { return Child(p_file_screen, "Edit"); });
        Then([&] { Key(6); });
        See([] { return "shown " + Shown(); });
        FocusForward([] { return p_edit_screen->Input(); });
        Then([&] { Key(5); });
        See([] { return "shown " + Shown(); });
        FocusForward([] { return FindKey(GetKeyboard(), "H"); });
        Then([&] { Key(9); });  // a capital
        FocusForward([] { return FindKey(GetKeyboard(), "I"); });
        Then([&] { Key(10); });  // a small letter
        Then([&] { Key(5); });   // the digits keyboard
        See([] { return "shown " + Shown(); });
        FocusForward([] { return FindKey(GetNumericKeyboard(), "4"); });
        Then([&] { Key(10); });
        FocusForward([] { return FindKey(GetNumericKeyboard(), "Back"); });
        Then([&] { Key(6); });  // closes both keyboards
        See([] { return "shown " + Shown() + " field " + p_edit_screen->Input()->text; });
        FocusForward([] { return p_edit_screen->SaveButton(); });
        Then([&] { Key(6); });
        See([] { return "shown " + Shown() + " line 1 " + p_file_screen->List()->GetItem(1); });
        FocusForward([] { return Child(p_file_screen, "Exit"); });
        Then([&] { Key(6); });
        See([] { return "shown " + Shown(); });
        FocusForward([] { return p_dir_screen->ExitButton(); });
        Then([&] { Key(6); });
        Run();
      },
      ::testing::ExitedWithCode(0), "");
  std::vector<std::string> seen;
  for (const std::string& line : TakeLog())
    if (line.rfind("-- seen ", 0) == 0) seen.push_back(line.substr(8));
  EXPECT_EQ((std::vector<std::string>{"selected notes.txt", "open focused", "shown file", "shown edit",
                                      "shown letters", "shown digits", "shown edit field Hi4",
                                      "shown file line 1 Hi4", "shown dir"}),
            seen);
}

}  // namespace
