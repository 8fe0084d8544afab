#pragma once

#include <string>
#include <string_view>

namespace wend {

// An error the user may need to see: a code, a short description (the alert's title) and
// a failure reason (the alert's text). Every error of the application lives in one domain.
struct WendError {
    static constexpr std::string_view domain = "org.wend.Wend";

    int code = 0;
    std::string description;
    std::string failureReason;

    static WendError errorWithCode(int code, std::string description, std::string failureReason) {
        return WendError{code, std::move(description), std::move(failureReason)};
    }

    bool operator==(const WendError&) const = default;
};

} // namespace wend
