// Esc and Enter in every dialog, pressed where a user's focus would be.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <functional>
#include <memory>
#include <vector>

#include "dialogs/frm_name.h"
#include "dialogs/frm_options.h"
#include "dialogs/frm_save.h"
#include "dialogs/menu_program.h"
#include "dialogs/scores_owner.h"
#include "dialogs/small_dialogs.h"

namespace dialogs {
namespace {

using testing_support::MenuProgram;

class DialogKeys : public MenuProgram {
 public:
  // The dialog made and shown; it lives as long as the test.
  template <class Window>
  Window& Show(std::unique_ptr<Window> window) {
    Window& w = *window;
    w.show();
    windows_.push_back(std::move(window));
    return w;
  }
  play::Program& P() { return *program; }
  using MenuProgram::Parts;
  using MenuProgram::SaveParts;
  // The match window, its answer noted as the menus take it.
  FrmMatch& ShowMatch() {
    const play::MenuWindowParts p = Parts();
    FrmMatch& d = Show(std::make_unique<FrmMatch>(p.scores, p.ui, p.table));
    QObject::connect(&d, &FrmMatch::finished, [this](bool started) { matchCancelled = !started; });
    return d;
  }
  QString Closed(const QWidget& w) const { return w.isHidden() ? "closed" : "open"; }
  bool matchCancelled = false;
  std::unique_ptr<ScoresOwner> scoresOwner;

 protected:
  void SetUp() override {
    MenuProgram::SetUp();
    AddLastPlayer("Dora");
    Make();
    ASSERT_TRUE(program->Start());
  }

  std::vector<std::unique_ptr<QWidget>> windows_;
};

struct KeyCase {
  const char* dialog;
  Qt::Key key;
  // Opens the dialog as a user meets it and names the control that has the focus.
  std::function<QWidget*(DialogKeys&, QWidget*&)> open;
  // What became of it, in words.
  std::function<QString(DialogKeys&, QWidget&)> outcome;
  const char* expected;
};

QString Preferences(DialogKeys& t, QWidget& w) {
  auto& d = static_cast<FrmOptions&>(w);
  return t.Closed(w) + (d.DialogCancelled ? ", cancelled" : "");
}

QString Saved(DialogKeys&, QWidget& w) {
  auto& d = static_cast<FrmSave&>(w);
  if (!w.isHidden()) return "open: " + d.Label1->text();
  if (d.Choice().Cancelled) return "closed, cancelled";
  return QString("closed, slot %1").arg(d.Choice().Slot);
}

QString Match(DialogKeys& t, QWidget& w) {
  const play::ScoreState& sc = t.P().scores();
  if (t.matchCancelled) return t.Closed(w) + ", cancelled";
  return t.Closed(w) + (sc.MatchOn ? QString(", match to %1").arg(sc.MatchPoints) : QString());
}

QString Plain(DialogKeys& t, QWidget& w) { return t.Closed(w); }

// Nothing of the maintenance may run by a stray Enter.
QString Scores(DialogKeys& t, QWidget& w) {
  const QString said = static_cast<FrmScores&>(w).Label1->text();
  return t.Closed(w) + (said.isEmpty() ? QString() : ": " + said);
}

QString Player(DialogKeys& t, QWidget& w) { return t.Closed(w) + ", " + t.P().player().PlayerName; }

const KeyCase kCases[] = {
    {"Preferences", Qt::Key_Escape,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       auto& d = t.Show(std::make_unique<FrmOptions>(t.P().Preferences(), t.P().menus()));
       focus = d.cboDeck;
       return &d;
     },
     Preferences, "closed, cancelled"},
    {"Preferences", Qt::Key_Return,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       auto& d = t.Show(std::make_unique<FrmOptions>(t.P().Preferences(), t.P().menus()));
       d.tbsOptions->setCurrentIndex(2);
       d.CmdSz[0]->click();  // a change pending, so that OK (not Apply) is seen to close
       focus = d.tbsOptions;
       return &d;
     },
     Preferences, "closed"},
    {"Save Game", Qt::Key_Escape,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       auto& d = t.Show(std::make_unique<FrmSave>(t.SaveParts()));
       d.LoadForm(0);
       focus = d.Text1[3];
       return &d;
     },
     Saved, "closed, cancelled"},
    {"Save Game", Qt::Key_Return,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       auto& d = t.Show(std::make_unique<FrmSave>(t.SaveParts()));
       d.LoadForm(0);
       d.Text1_Click(3);
       focus = d.Text1[3];
       return &d;
     },
     Saved, "closed, slot 3"},
    {"Restore", Qt::Key_Escape,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       auto& d = t.Show(std::make_unique<FrmSave>(t.SaveParts()));
       d.LoadForm(1);
       focus = d.cmdSave;
       return &d;
     },
     Saved, "closed, cancelled"},
    {"Restore", Qt::Key_Enter,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       auto& d = t.Show(std::make_unique<FrmSave>(t.SaveParts()));
       d.LoadForm(1);
       focus = &d;
       return &d;
     },
     Saved, "open: Select a game slot!"},
    {"Match Setup", Qt::Key_Escape,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       auto& d = t.ShowMatch();
       focus = d.txtPoints;
       return &d;
     },
     Match, "closed, cancelled"},
    {"Match Setup", Qt::Key_Return,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       auto& d = t.ShowMatch();
       d.txtPoints->setText("150");
       focus = d.txtPoints;
       return &d;
     },
     Match, "closed, match to 150"},
    {"Speed Settings", Qt::Key_Escape,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       const play::MenuWindowParts p = t.Parts();
       auto& d = t.Show(std::make_unique<FrmSpeed>(p.player, p.playerChanges, p.table));
       focus = d.VScroll1;
       return &d;
     },
     Plain, "closed"},
    {"Speed Settings", Qt::Key_Return,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       const play::MenuWindowParts p = t.Parts();
       auto& d = t.Show(std::make_unique<FrmSpeed>(p.player, p.playerChanges, p.table));
       focus = d.HScroll1;
       return &d;
     },
     Plain, "closed"},
    {"About", Qt::Key_Escape,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       const play::MenuWindowParts p = t.Parts();
       auto& d = t.Show(std::make_unique<FrmAbout>(p.table.pictures.icon, p.sound, p.folders.DataPath));
       focus = &d;
       return &d;
     },
     Plain, "closed"},
    {"Player", Qt::Key_Escape,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       auto& d = t.Show(std::make_unique<FrmName>(NameParts(t.Parts())));
       d.Combo1->setEditText("Someone Else");
       focus = d.Combo1;
       return &d;
     },
     Player, "closed, Dora"},
    {"Player", Qt::Key_Return,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       auto& d = t.Show(std::make_unique<FrmName>(NameParts(t.Parts())));
       d.Combo1->setEditText("Eve");
       focus = d.Combo1;
       return &d;
     },
     Player, "closed, Eve"},
    {"Scores and Stats", Qt::Key_Escape,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       t.scoresOwner = std::make_unique<ScoresOwner>(t.P().ScoresAccess());
       FrmScores* d = t.scoresOwner->LoadScoresWindow();
       d->show();
       focus = d;
       return d;
     },
     Plain, "closed"},
    {"Scores and Stats", Qt::Key_Return,
     [](DialogKeys& t, QWidget*& focus) -> QWidget* {
       t.scoresOwner = std::make_unique<ScoresOwner>(t.P().ScoresAccess());
       FrmScores* d = t.scoresOwner->LoadScoresWindow();
       d->show();
       focus = d->GridScores;
       return d;
     },
     Scores, "open"},
};

TEST_F(DialogKeys, EscIsTheCancelAndEnterTheDefaultButtonInEveryDialog) {
  for (const KeyCase& c : kCases) {
    SCOPED_TRACE(std::string(c.dialog) + (c.key == Qt::Key_Escape ? " Esc" : " Enter"));
    matchCancelled = false;
    program->scores().MatchOn = false;
    QWidget* focus = nullptr;
    QWidget* window = c.open(*this, focus);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(focus, nullptr);
    focus->setFocus();
    const Qt::KeyboardModifiers mods = c.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    QKeyEvent press(QEvent::KeyPress, c.key, mods);
    QApplication::sendEvent(focus, &press);
    EXPECT_EQ(c.outcome(*this, *window).toStdString(), c.expected);
    window->hide();
  }
  for (const auto& box : fakeUi->boxes) ADD_FAILURE() << "a box: " << box.text.toStdString();
}

}  // namespace
}  // namespace dialogs
