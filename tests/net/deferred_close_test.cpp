// The table closed while a line from the peer is still being handled (here
// the remote waits for the host's "RS" after a stalemate): the wait ends,
// and the close is completed once the line's handling has returned, as
// after any other command.

#include <gtest/gtest.h>

#include <QWidget>

#include "net/net_rig.h"
#include "support/temp_home.h"

namespace net {
namespace {

using net_test::Peer;
using net_test::RunUntil;
using net_test::ScriptedHost;
using net_test::Side;
using net_test::When;

TEST(DeferredClose, AClosedTableClosesOnceThePeersLineIsHandled) {
  TempHome home;
  QWidget table;
  table.show();
  Side remote("Ann", home.Path(), &table);
  ScriptedHost scripted;
  ASSERT_TRUE(scripted.Listen());
  remote.Remote([&] { return scripted.Port(); });
  Peer& hostPeer = scripted.peer;
  bool closeDeferred = false;
  scripted.onLine = [&](const QByteArray& line) {
    // A bare "PC" ends the remote's set-up wait, so that the stalemate is
    // handled from the top of the event loop.
    if (line == "NM Ann") hostPeer.Send("PC\n");
  };
  When stalemate([&] { return remote.returned; }, [&] { hostPeer.Send("EG STALEMATE\n"); });
  When closeMeanwhile([&] { return !remote.hooks.gameOvers.empty(); },
                      [&] { closeDeferred = remote.wait.RequestClose(); });
  remote.StartSetup();
  ASSERT_TRUE(RunUntil([&] { return !table.isVisible(); }, {&remote}));

  EXPECT_TRUE(closeDeferred);
  // The answer was sent before the close; the host reads it when the
  // events run again.
  const QByteArray answered("IP  4. 0. 0\nNM Ann\nEG\n");
  RunUntil([&] { return hostPeer.got.size() >= answered.size(); }, {&remote});
  EXPECT_EQ(hostPeer.got, answered);
}

}  // namespace
}  // namespace net
