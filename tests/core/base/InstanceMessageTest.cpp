#include "core/base/InstanceMessage.h"

#include <gtest/gtest.h>

namespace wend {
namespace {

using State = InstanceMessage::State;

TEST(InstanceMessage, PathsArriveWhole) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"/home/ann/ride.gpx"},
        {"/tmp/a b.gpx", "/tmp/line\nbreak.gpx", "/tmp/caf\xc3\xa9.gpx"},
    };
    for (const auto& paths : cases) {
        const std::string bytes = InstanceMessage::encode(paths);
        // Whole, and one byte at a time: sockets hand over any split.
        for (const std::size_t chunk : {bytes.size(), std::size_t{1}}) {
            SCOPED_TRACE(testing::Message() << paths.size() << " paths, chunks of " << chunk);
            InstanceMessage message;
            for (std::size_t i = 0; i < bytes.size(); i += chunk) {
                EXPECT_EQ(message.state(), State::Incomplete);
                message.append(std::string_view(bytes).substr(i, chunk));
            }
            EXPECT_EQ(message.state(), State::Complete);
            EXPECT_EQ(message.paths(), paths);
        }
    }
}

TEST(InstanceMessage, StrangersAndExcessAreRefused) {
    const std::string good = InstanceMessage::encode({"/a.gpx"});
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"another tag", std::string("GET / HTTP/1.1\r\n")},
        {"the tag without its end", std::string(InstanceMessage::kTag) + "x"},
        {"bytes after the end", good + "more"},
        {"an endless path", std::string(InstanceMessage::kTag) + '\0' +
                                std::string(InstanceMessage::kMaximumSize, 'a')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        InstanceMessage message;
        message.append(c.bytes);
        EXPECT_EQ(message.state(), State::Malformed);
        // Once refused, nothing more is taken.
        EXPECT_EQ(message.append(good), State::Malformed);
    }
}

} // namespace
} // namespace wend
