#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/ui/preview_buffer.h"

using korvane::ui::PreviewBuffer;

TEST(PreviewBuffer, NumbersPadKeyboardMouseInOneArray) {
    PreviewBuffer buffer;
    buffer.setMousePad(14, 0x010203, 4);
    buffer.setKeyboard(0, 0x0A0B0C, 5);
    buffer.setKeyboard(125, 0x111111, 6);
    buffer.setMouse(19, 0x222222, 7);
    EXPECT_EQ(buffer.get(14).colour, 0x010203u);
    EXPECT_EQ(buffer.get(15).alpha, 5);
    EXPECT_EQ(buffer.get(140).colour, 0x111111u);
    EXPECT_EQ(buffer.get(160).alpha, 7);
    // Outside the device ranges nothing is written and reads are dark.
    buffer.setKeyboard(126, 0xFFFFFF, 255);
    buffer.set(161, 0xFFFFFF, 255);
    EXPECT_EQ(buffer.get(141).colour, 0u);
    EXPECT_EQ(buffer.get(-1).alpha, 0);
}

TEST(PreviewBuffer, ColourAndAlphaMessagesChangeOnlyTheirPart) {
    PreviewBuffer buffer;
    buffer.set(20, 0x123456, 9);
    const auto before = buffer.generation();
    buffer.setColour(20, 0xABCDEF);
    buffer.setAlpha(20, 200);
    EXPECT_EQ(buffer.get(20).colour, 0xABCDEFu);
    EXPECT_EQ(buffer.get(20).alpha, 200);
    EXPECT_GT(buffer.generation(), before);
}

TEST(PreviewBuffer, WriterAndPainterThreadsSeeWholeEntries) {
    PreviewBuffer buffer;
    std::thread writer([&] {
        for (int frame = 0; frame < 20000; ++frame) {
            const auto v = static_cast<std::uint8_t>(frame);
            for (int key = 0; key < PreviewBuffer::kKeyboardCount; key += 25) {
                buffer.setKeyboard(key, v * 0x010101u, v);
            }
        }
    });
    // Each entry is written as colour == alpha * 0x010101: a torn read would break that.
    for (int i = 0; i < 20000; ++i) {
        const auto e = buffer.get(PreviewBuffer::kKeyboardBase + 50);
        ASSERT_EQ(e.colour, e.alpha * 0x010101u);
    }
    writer.join();
}
