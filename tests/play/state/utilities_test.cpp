#include "play/state/utilities.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QTimer>

#include "media/help_viewer.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "support/fake_ui.h"
#include "table/fake_table_view.h"

using namespace play;
using table::TableImage;
using table::TableLabel;
using testing_support::FakeTableView;

TEST(Utilities, SpeedFactorByLevel) {
  const float factors[] = {0.0f, 1.0f, 0.7f, 0.5f, 0.3f, 0.1f, 0.05f, 0.0f};
  for (int level = 0; level <= 7; ++level) EXPECT_FLOAT_EQ(SpeedFactor(level), factors[level]) << level;
  EXPECT_EQ(SpeedFactor(-1), 0.0f);
}

TEST(Utilities, PauseReturnsAtOnceWhenClosingOrForNoTime) {
  platform::WaitService wait;
  // An hour shortened to a few seconds: a pause that ignored the closing
  // program would run the event posted before it, and end all the same.
  wait.SetTimeScale(0.001);
  bool eventsRan = false;
  QObject context;  // the timer goes with it, should it not have fired
  QTimer::singleShot(0, &context, [&] { eventsRan = true; });
  Pause(wait, 0);
  Pause(wait, -5);
  EXPECT_FALSE(eventsRan) << "no time: no wait";
  wait.SetExiting(true);
  Pause(wait, 3600);
  EXPECT_FALSE(eventsRan) << "a closing program does not pause";
}

TEST(Utilities, ShowTurnStatus) {
  play::PlayState state;
  {
    FakeTableView view;
    state.CurrentTurn = table::Turn::Local;
    ShowTurnStatus(state, false, view);
    EXPECT_EQ(view.Label(TableLabel::lblTurn), "\r\nIt's still your turn.");
    EXPECT_TRUE(view.images[TableImage::ImgTurn1]);
    EXPECT_FALSE(view.images[TableImage::ImgTurn2]);
  }
  {
    FakeTableView view;
    state.CurrentTurn = table::Turn::None;  // no game, offline
    ShowTurnStatus(state, false, view);
    EXPECT_EQ(view.Label(TableLabel::lblTurn), "\r\nIt's NOT your turn.");
    EXPECT_TRUE(view.images[TableImage::ImgTurn2]);
    EXPECT_FALSE(view.images[TableImage::ImgTurn1]);
  }
  for (bool tutorial : {false, true}) {
    FakeTableView view;
    view.SetLabel(TableLabel::lblTurn, "kept");
    state.CurrentTurn = table::Turn::Opponent;
    state.TutorialMode = tutorial;
    ShowTurnStatus(state, /*online=*/!tutorial, view);
    EXPECT_EQ(view.Label(TableLabel::lblTurn), "kept");
    EXPECT_TRUE(view.images[TableImage::ImgTurn2]);
  }
}

TEST(Utilities, ValidFileNameRejectsForbiddenCharactersOnce) {
  platform::FakeUi ui;
  for (const char* ok : {"Anne Marie", "Bob-2", "x"}) EXPECT_FALSE(ValidFileName(ok, ui)) << ok;
  EXPECT_TRUE(ui.boxes.empty());

  for (const char* bad : {"J.R.", "a/b", "say \"hi\"", "a\\b", "what?", "pipe|", "<x>", "star*", "c:", "hey!"}) {
    ui.boxes.clear();
    EXPECT_TRUE(ValidFileName(bad, ui)) << bad;
    ASSERT_EQ(ui.boxes.size(), 1u) << bad;
    EXPECT_EQ(ui.boxes[0].title, "Non-standard filename character");
    EXPECT_EQ(ui.boxes[0].icon(), platform::vbExclamation);
    EXPECT_EQ(ui.boxes[0].text,
              "Please do not use the following characters:  \r\n\r\n/ \\ : * . ? ! < > | \"\r\n\r\nPlease re-enter.");
  }
}

TEST(Utilities, ValidFileNameRejectsABlankName) {
  platform::FakeUi ui;
  for (const char* blank : {"", "   "}) {
    ui.boxes.clear();
    EXPECT_TRUE(ValidFileName(blank, ui)) << '"' << blank << '"';
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, kBlankNameTitle);
  }
}

TEST(Utilities, EveryProcessorGetsTheDefaultSlide) {
  // Whatever the clock reads, or when it cannot be read at all, the
  // processor-chosen speed is the default slide of about a fifth of a
  // second; the clock rate is still reported.
  for (long mhz : {0L, 849L, 850L, 1799L, 1800L, 2399L, 2400L, 5000L}) {
    std::int16_t anim = 20, playerAnim = 0;
    EXPECT_EQ(GetCpuMHz(true, {anim, playerAnim}, [mhz] { return mhz; }), mhz);
    EXPECT_EQ(anim, 270) << mhz;
    EXPECT_EQ(playerAnim, 270) << mhz;
    EXPECT_GE(table::SlideSeconds(anim), 0.18);
    EXPECT_LE(table::SlideSeconds(anim), 0.25);
  }

  std::int16_t anim = 95, playerAnim = 0;
  EXPECT_EQ(GetCpuMHz(false, {anim, playerAnim}, [] { return 2400L; }), 2400);
  EXPECT_EQ(anim, 95) << "only asked for the speed, the animation stays";
  EXPECT_EQ(playerAnim, 95);
}

TEST(Utilities, SystemInfoText) {
  SystemInfo info;
  info.screen.widthPixels = 1920;
  info.screen.heightPixels = 1080;
  info.screen.colorBits = 24;
  info.screen.logPixelsX = 96;
  info.screen.captionHeight = 23;
  info.windowWidthTwips = 12000;
  info.windowHeightTwips = 9000;
  info.cpuMHz = 2400;
  info.timeText = "3:04:05 PM";
  EXPECT_EQ(SystemInfoText(info),
            "Resolution: \r\n\r\n28800 X 16200 twips"
            "\r\n 1920 X  1080 pixels"
            "\r\n 24 bits per pixel  (True Color)"
            "\r\nNormal (small fonts)"
            "\r\n\r\nThis window:"
            "\r\n 12000 x  9000 twips"
            "\r\n 800 x  600 pixels"
            "\r\nTitlebar height:  23"
            "\r\n\r\nCPU Speed: 2400 MHz"
            "\r\n\r\nCurrent time: 3:04:05 PM 12 hr time");

  info.screen.colorBits = 15;
  info.screen.logPixelsX = 120;  // 12 twips a pixel
  info.timeText = "15:04:05";
  const QString text = SystemInfoText(info);
  EXPECT_TRUE(text.contains("\r\n 15 bits per pixel  \r\n")) << qPrintable(text);
  EXPECT_TRUE(text.contains("\r\nLarge Fonts\r\n"));
  EXPECT_TRUE(text.contains("\r\n 1000 x  750 pixels"));
  EXPECT_TRUE(text.endsWith("15:04:05 24 hr time"));

  platform::FakeUi ui;
  QString message;
  ShowSystemInfo(info, message, ui);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, message);
  EXPECT_EQ(ui.boxes[0].icon(), platform::vbInformation);
  EXPECT_EQ(ui.boxes[0].title, "Marrowdale");
  EXPECT_FALSE(CurrentTimeText().isEmpty());

  // On the running machine: the screen as Qt reports it, the window given.
  ui.boxes.clear();
  std::int16_t anim = 70, playerAnim = 0;
  ShowSystemInfo(9600, 7200, {anim, playerAnim}, message, ui);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_TRUE(message.contains("\r\n 9600 x  7200 twips")) << qPrintable(message);
  EXPECT_TRUE(message.contains("CPU Speed: "));
  EXPECT_EQ(anim, 70);
  EXPECT_EQ(playerAnim, 70);
}

namespace {

class FakeOpener : public platform::UrlOpener {
 public:
  bool Open(const QString& address) override {
    opened.push_back(address);
    return works;
  }
  bool works = true;
  std::vector<QString> opened;
};

class FakeHelp : public media::HTMLHelp {
 public:
  explicit FakeHelp(std::vector<QString>& log) : log_(log) {}
  void SetCHMFile(const QString& path) override { log_.push_back("CHMFile=" + path); }
  void SetHHWindow(const QString& name) override { log_.push_back("HHWindow=" + name); }
  void SetHHKeyword(const QString& keyword) override { log_.push_back("HHKeyword=" + keyword); }
  long HHDisplayKeyword() override {
    log_.push_back("HHDisplayKeyword");
    return 1;
  }
  long HHDisplayContents() override {
    log_.push_back("HHDisplayContents");
    return 1;
  }
  void HHClose() override { log_.push_back("HHClose"); }

 private:
  std::vector<QString>& log_;
};

}  // namespace

TEST(Utilities, OpenURLOpensOnlyWebAddresses) {
  platform::FakeUi ui;
  FakeOpener opener;
  for (const char* bad :
       {"", "www.example.org", "file:///etc/passwd", "javascript:alert(1)", "http://", "ftp://x.org/"})
    OpenURL(bad, opener, ui);
  EXPECT_TRUE(opener.opened.empty());
  EXPECT_TRUE(ui.boxes.empty()) << "anything else is ignored without a word";

  OpenURL("https://example.org/help", opener, ui);
  EXPECT_EQ(opener.opened, std::vector<QString>{"https://example.org/help"});
  EXPECT_TRUE(ui.boxes.empty());

  opener.works = false;
  OpenURL("http://example.org/", opener, ui);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Unable to launch default browser");
}

TEST(Utilities, ShowHelpMakesTheViewerOnFirstUseAndReleasesItOnClose) {
  std::vector<QString> log;
  int made = 0;
  auto make = [&]() -> std::unique_ptr<media::HTMLHelp> {
    ++made;
    return std::make_unique<FakeHelp>(log);
  };
  std::unique_ptr<media::HTMLHelp> HelpObject;

  ShowHelp("Close", "", HelpObject, make, "/opt/md/");
  EXPECT_EQ(made, 0) << "closing before any help was shown opens nothing";

  ShowHelp("Keyword", "Scoring", HelpObject, make, "/opt/md/");
  ShowHelp("Contents", "", HelpObject, make, "/opt/md/");
  ShowHelp("Other", "", HelpObject, make, "/opt/md/");
  EXPECT_EQ(made, 1);
  EXPECT_EQ(log, (std::vector<QString>{"CHMFile=/opt/md/Marrowdale.qhc", "HHWindow=Size", "HHKeyword=Scoring",
                                       "HHDisplayKeyword", "CHMFile=/opt/md/Marrowdale.qhc", "HHWindow=Size",
                                       "HHDisplayContents", "CHMFile=/opt/md/Marrowdale.qhc", "HHWindow=Size"}));
  log.clear();
  ShowHelp("Close", "", HelpObject, make, "/opt/md/");
  EXPECT_EQ(log, std::vector<QString>{"HHClose"});
  EXPECT_EQ(HelpObject, nullptr);
}
