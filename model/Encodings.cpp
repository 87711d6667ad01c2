#include "model/Encodings.h"

#include <cstddef>

namespace ovn {

namespace {

constexpr std::int32_t kNumberMax = 32767;

// Left$(text, 2) and Right$(text, 2): never reads outside the text.
std::string_view FirstTwo(std::string_view text) {
    return text.substr(0, 2);
}
std::string_view LastTwo(std::string_view text) {
    return text.size() <= 2 ? text : text.substr(text.size() - 2);
}

std::string TwoDigits(unsigned value) {
    std::string text = std::to_string(value);
    if (text.size() < 2) {
        text.insert(text.begin(), '0');
    }
    return text;
}

}  // namespace

bool IsNumber(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    std::int32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        // Leading zeros may run on for any length; the value is capped as soon
        // as it passes the limit, so it cannot overflow.
        if (value <= kNumberMax) {
            value = value * 10 + (c - '0');
        }
    }
    return value <= kNumberMax;
}

std::int32_t NumberValue(std::string_view text) {
    if (!IsNumber(text)) {
        return 0;
    }
    std::int32_t value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string CalculateTempAsString(std::uint8_t msb, std::uint8_t lsb) {
    return std::to_string(static_cast<unsigned>(msb) * 256u + lsb);
}

std::int32_t CalculateTempInDegrees(std::string_view temp) {
    return NumberValue(temp);
}

std::string CalculateTimeAsString(std::uint8_t msb, std::uint8_t lsb) {
    const unsigned seconds = static_cast<unsigned>(msb) * 256u + lsb;
    const unsigned hours = seconds / 3600u;
    const unsigned minutes = (seconds - hours * 3600u) / 60u;
    return TwoDigits(hours) + TwoDigits(minutes);
}

std::int32_t CalculateTimeInSeconds(std::string_view time) {
    return NumberValue(FirstTwo(time)) * 3600 + NumberValue(LastTwo(time)) * 60;
}

std::uint8_t DetermineFanSpeed(std::string_view speed) {
    if (speed == "OFF") return 0;
    if (speed == "LOW") return 1;
    if (speed == "HIGH") return 2;
    return 0;
}

std::string DetermineFanSpeedString(std::uint8_t speed) {
    switch (speed) {
        case 0:
            return "OFF";
        case 1:
            return "LOW";
        case 2:
            return "HIGH";
        default:
            return "";
    }
}

namespace {
// Code c stands for c * 10 percent.
constexpr std::array<std::string_view, 11> kPowerLevelByCode = {"0",  "10", "20", "30", "40", "50",
                                                                "60", "70", "80", "90", "100"};
}  // namespace

std::uint8_t DeterminePowerLevel(std::string_view level) {
    for (std::size_t code = 0; code < kPowerLevelByCode.size(); ++code) {
        if (kPowerLevelByCode[code] == level) {
            return static_cast<std::uint8_t>(code);
        }
    }
    return 0;
}

std::string DeterminePowerLevelString(std::uint8_t level) {
    return level < kPowerLevelByCode.size() ? std::string(kPowerLevelByCode[level]) : std::string();
}

bool SplitLongIntoBytes(std::int32_t value, std::uint8_t& b3, std::uint8_t& b2, std::uint8_t& b1, std::uint8_t& b0) {
    const auto bits = static_cast<std::uint32_t>(value);
    b0 = static_cast<std::uint8_t>(bits & 0xFFu);
    b1 = static_cast<std::uint8_t>((bits & 0xFF00u) >> 8);
    b2 = static_cast<std::uint8_t>((bits & 0xFF0000u) >> 16);
    b3 = static_cast<std::uint8_t>((bits & 0x7F000000u) >> 24);  // the sign bit is dropped
    return true;
}

bool SplitCrcIntoBytes(std::int32_t value, std::uint8_t& b3, std::uint8_t& b2, std::uint8_t& b1, std::uint8_t& b0) {
    // A CRC-16 fills the two low bytes; anything above them is not a CRC and is dropped.
    const auto bits = static_cast<std::uint32_t>(value) & 0xFFFFu;
    b3 = 0;
    b2 = 0;
    b1 = static_cast<std::uint8_t>(bits >> 8);
    b0 = static_cast<std::uint8_t>(bits & 0xFFu);
    return true;
}

}  // namespace ovn
