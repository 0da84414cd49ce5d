// The barcode wedge's decoder on its own: keys fed through the application's two entries and the
// timer callback, with a scripted timer, a recorder of what reaches the focus window and a recorder
// of the fired events.
#include "ShellTestSupport.h"

#include "BarcodeEvents.h"
#include "BarcodeWedge.h"

#include <string>
#include <vector>

namespace {

const HWND FakeFocus = reinterpret_cast<HWND>(0x1234);

std::string Describe(Event* event) {
  static const struct {
    char letter;
    bool (*is)(Event*);
  } kinds[] = {
      {'S', [](Event* e) { return dynamic_cast<BCSubjectEvent*>(e) != nullptr; }},
      {'I', [](Event* e) { return dynamic_cast<BCImageEvent*>(e) != nullptr; }},
      {'O', [](Event* e) { return dynamic_cast<BCOrderEvent*>(e) != nullptr; }},
      {'R', [](Event* e) { return dynamic_cast<BCRetouchEvent*>(e) != nullptr; }},
      {'D', [](Event* e) { return dynamic_cast<BCDetailsEvent*>(e) != nullptr; }},
      {'P', [](Event* e) { return dynamic_cast<BCPoseEvent*>(e) != nullptr; }},
      {'C', [](Event* e) { return dynamic_cast<BCCommandEvent*>(e) != nullptr; }},
      {'T', [](Event* e) { return dynamic_cast<BCTicketEvent*>(e) != nullptr; }},
  };
  for (const auto& kind : kinds)
    if (kind.is(event))
      return std::string(1, kind.letter) + ":" + static_cast<const char*>(static_cast<BCEvent*>(event)->text);
  return "?";
}

// Runs the decoder over typed input: "{E}" is the Enter key (its key-down, and its character
// when the key-down was not swallowed), "{T}" the inter-key timer running out; anything else is one
// character whose key data is its position in the input (so given-back data can be traced).
class WedgeHarness {
 public:
  explicit WedgeHarness(bool withFocus = true) {
    BarcodeWedge::Hooks hooks;
    hooks.startTimer = [this](UINT ms) {
      EXPECT_EQ(ms, 150u);
      running = ++lastTimer;
      return running;
    };
    hooks.stopTimer = [this](UINT_PTR id) {
      EXPECT_EQ(id, running) << "only the running timer is stopped";
      running = 0;
    };
    hooks.focusWindow = [withFocus] { return withFocus ? FakeFocus : nullptr; };
    hooks.sendChar = [this](HWND target, UINT ch, LPARAM keyData) {
      EXPECT_EQ(target, FakeFocus);
      delivered += static_cast<char>(ch);
      givenBackKeyData.push_back(keyData);
    };
    hooks.fire = [this](Event* event) {
      events.push_back(Describe(event));
      if (onFire) onFire();
    };
    GetBarcodeWedge().SetHooks(hooks);
  }
  ~WedgeHarness() { GetBarcodeWedge().SetHooks({}); }

  void Type(const std::string& input) {
    CSarnelEXE& app = TestApp();
    for (size_t i = 0; i < input.size(); ++i) {
      if (input.compare(i, 3, "{E}") == 0) {
        i += 2;
        if (!app.OnBarcodeEnter(VK_RETURN)) Char('\r', 0);
      } else if (input.compare(i, 3, "{T}") == 0) {
        i += 2;
        ASSERT_NE(running, 0u) << "a timer runs while a code is pending";
        BarcodeTimerProc(nullptr, WM_TIMER, running, 0);
      } else {
        Char(static_cast<unsigned char>(input[i]), static_cast<LPARAM>(i + 1) << 16);
      }
    }
  }
  void Char(UINT ch, LPARAM keyData) {
    if (!TestApp().OnBarcodeChar(ch, keyData)) delivered += static_cast<char>(ch);
  }

  std::string delivered;
  std::vector<LPARAM> givenBackKeyData;
  std::vector<std::string> events;
  UINT_PTR running = 0;
  UINT_PTR lastTimer = 100;
  std::function<void()> onFire;
};

struct WedgeCase {
  const char* name;
  std::string input;
  std::string delivered;
  std::vector<std::string> events;
};

TEST(BarcodeWedge, TypedSequencesBecomeEventsOrReachTheFocusWindow) {
  const WedgeCase cases[] = {
      {"slash then a letter by hand", "/a", "/a", {}},
      {"a slash and a pause", "/{T}", "/", {}},
      {"slash percent and a wrong letter", "/%x", "/%x", {}},
      {"slash percent and a pause", "/%{T}", "/%", {}},
      {"an image code in lower case", "/%i12345{E}", "", {"I:12345"}},
      {"a code without data", "/%I{E}", "", {"I:"}},
      {"every letter, either case",
       "/%s1{E}/%O2{E}/%r3{E}/%D4{E}/%p5{E}/%C6{E}/%t7{E}",
       "",
       {"S:1", "O:2", "R:3", "D:4", "P:5", "C:6", "T:7"}},
      {"a second prefix after six characters chains", "/%S1234/%I567{E}", "", {"S:1234", "I:567"}},
      {"a second prefix within five characters is data", "/%S12/%I567{E}", "", {"S:12/%I567"}},
      {"exactly five characters is still data", "/%S123/%I5{E}", "", {"S:123/%I5"}},
      {"a chained prefix that times out is given back", "/%S1234/%{T}", "/%", {"S:1234"}},
      {"a code cut short by a pause is dropped", "/%T98{T}", "", {}},
      {"after a dropped code the decoder is idle", "/%T98{T}/a", "/a", {}},
      {"control and non-ASCII characters are data", "/%D\x01\t\x1b\xe9 {E}", "", {"D:\x01\t\x1b\xe9 "}},
      {"Enter while idle", "{E}", "\r", {}},
      {"Enter after the slash", "/{E}", "/\r", {}},
      {"Enter after slash percent", "/%{E}", "/%\r", {}},
      {"a percent alone is not a prefix", "%/%I1{E}", "%", {"I:1"}},
  };
  for (const WedgeCase& c : cases) {
    SCOPED_TRACE(c.name);
    WedgeHarness harness;
    harness.Type(c.input);
    EXPECT_EQ(harness.delivered, c.delivered);
    EXPECT_EQ(harness.events, c.events);
    EXPECT_EQ(GetBarcodeWedge().GetState(), 0) << "every sequence ends idle";
    EXPECT_EQ(GetBarcodeWedge().GetText(), "");
    EXPECT_EQ(harness.running, 0u) << "no timer is left running";
  }
}

TEST(BarcodeWedge, GivenBackCharactersKeepTheirKeyDataAndAreLostWithoutAFocusWindow) {
  {
    WedgeHarness harness;
    harness.Type("/%x");
    EXPECT_EQ(harness.givenBackKeyData, (std::vector<LPARAM>{1 << 16, 2 << 16}));
  }
  {
    WedgeHarness harness;
    harness.Type("ab/%S1234/%{T}");  // the chained prefix keeps the key data of the first one
    EXPECT_EQ(harness.events, (std::vector<std::string>{"S:1234"}));
    EXPECT_EQ(harness.delivered, "ab/%");
    EXPECT_EQ(harness.givenBackKeyData, (std::vector<LPARAM>{3 << 16, 4 << 16}));
  }
  {
    WedgeHarness harness;
    harness.Type("/%S1234/%x");
    EXPECT_EQ(harness.delivered, "/%x");
    EXPECT_EQ(harness.givenBackKeyData, (std::vector<LPARAM>{1 << 16, 2 << 16}));
  }
  {
    WedgeHarness harness(false);
    harness.Type("/a/%{T}");
    EXPECT_EQ(harness.delivered, "a") << "with no focus window the prefix is lost";
    EXPECT_EQ(GetBarcodeWedge().GetState(), 0);
  }
}

// A sink that runs a modal loop sees an idle decoder: what is typed there is not swallowed into
// the finished code, and its Enter does not fire the event again.
TEST(BarcodeWedge, TheEventFiresAfterTheDecoderHasReset) {
  WedgeHarness harness;
  int depth = 0;
  harness.onFire = [&] {
    if (++depth > 1) return;
    EXPECT_EQ(GetBarcodeWedge().GetState(), 0);
    EXPECT_EQ(harness.running, 0u);
    harness.Type("ok{E}");
  };
  harness.Type("/%C42{E}");
  EXPECT_EQ(harness.events, (std::vector<std::string>{"C:42"}));
  EXPECT_EQ(harness.delivered, "ok\r");
  depth = 0;
  harness.delivered.clear();
  harness.events.clear();
  harness.Type("/%S1234/%I5{E}");  // the chained finish fires from an idle decoder as well
  EXPECT_EQ(harness.events, (std::vector<std::string>{"S:1234", "I:5"}));
  EXPECT_EQ(harness.delivered, "ok\r");
}

}  // namespace
