#pragma once

#include <chrono>
#include <ctime>

namespace vorlix {

// Time as the program reads it; tests install a fixed clock.
class Clock {
  public:
    virtual ~Clock() = default;
    // For measuring how long something took: never jumps, never runs backwards.
    virtual std::chrono::steady_clock::time_point Monotonic() const = 0;
    // The current local date and time, for texts that show them.
    virtual std::tm LocalNow() const = 0;
};

class SystemClock final : public Clock {
  public:
    std::chrono::steady_clock::time_point Monotonic() const override {
        return std::chrono::steady_clock::now();
    }
    std::tm LocalNow() const override {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return local;
    }
};

}  // namespace vorlix
