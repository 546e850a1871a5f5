#pragma once
// Stand-ins for the clock and the environment that a test sets up as it likes.
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/Clock.h"
#include "platform/Environment.h"

namespace pw::test {

// Shows the date and time it was given last.
class FakeClock final : public Clock {
public:
    FakeClock(Text date, Text time) : date_(std::move(date)), time_(std::move(time)) {}
    void Set(Text date, Text time) {
        date_ = std::move(date);
        time_ = std::move(time);
    }
    Text ShortDateNow() override { return date_; }
    Text LongTimeNow() override { return time_; }

private:
    Text date_, time_;
};

class FakeEnvironment final : public Environment {
public:
    void Set(const Text& name, const Text& value) { variables_.emplace_back(name, value); }
    std::optional<Text> Variable(const Text& name) const override {
        for (const auto& [variable, value] : variables_) {
            if (EqualsNoCase(variable, name)) return value;
        }
        return std::nullopt;
    }

private:
    std::vector<std::pair<Text, Text>> variables_;
};

}  // namespace pw::test
