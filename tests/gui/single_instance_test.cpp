// One program per user: a later start finds the first, tells it to activate, and ends.

#include <gtest/gtest.h>

#include <QLocalSocket>
#include <QTemporaryDir>

#include <thread>

#include "gui/single_instance.h"
#include "qt_environment.h"

using namespace korvane::gui;

namespace {

TEST(SingleInstance, ASecondStartActivatesTheFirst) {
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    int activations = 0;
    first.setOnActivate([&] { ++activations; });
    ASSERT_TRUE(first.acquire());
    EXPECT_TRUE(first.socketPath().endsWith("PLIXARDRVER"));

    SingleInstance second(dir.path());
    bool secondIsFirst = true;
    // The second start blocks briefly on the socket while the first answers from its loop,
    // as two processes would.
    std::thread later([&] { secondIsFirst = second.acquire(); });
    EXPECT_TRUE(korvane::gui::test_support::pumpUntil([&] { return activations == 1; }));
    later.join();
    EXPECT_FALSE(secondIsFirst);
    EXPECT_EQ(activations, 1);
}

TEST(SingleInstance, TheLockIsFreeAgainWhenTheFirstEnds) {
    QTemporaryDir dir;
    {
        SingleInstance first(dir.path());
        ASSERT_TRUE(first.acquire());
    }
    SingleInstance next(dir.path());
    EXPECT_TRUE(next.acquire());
}

TEST(SingleInstance, OtherTextsOnTheSocketDoNotActivate) {
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    int activations = 0;
    first.setOnActivate([&] { ++activations; });
    ASSERT_TRUE(first.acquire());
    QLocalSocket socket;
    socket.connectToServer(first.socketPath());
    ASSERT_TRUE(korvane::gui::test_support::pumpUntil(
        [&] { return socket.state() == QLocalSocket::ConnectedState; }));
    socket.write("SOMETHING_ELSE\n");
    socket.flush();
    korvane::gui::test_support::pumpUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_EQ(activations, 0);
}

}  // namespace
