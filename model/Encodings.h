// Conversions between the texts the window shows and the codes the menu file
// stores, and the byte splitters. None of them throws or reads outside its text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ovn {

// The program's one number rule: one or more ASCII digits and nothing else,
// with a value (leading zeros allowed, any length) of at most 32767.
bool IsNumber(std::string_view text);
// The value of a text that IsNumber accepts; 0 for any other text.
std::int32_t NumberValue(std::string_view text);

std::string CalculateTempAsString(std::uint8_t msb, std::uint8_t lsb);
std::int32_t CalculateTempInDegrees(std::string_view temp);
std::string CalculateTimeAsString(std::uint8_t msb, std::uint8_t lsb);
// First two characters as hours, last two as minutes; a half that is not a number counts 0.
std::int32_t CalculateTimeInSeconds(std::string_view time);

std::uint8_t DetermineFanSpeed(std::string_view speed);
std::string DetermineFanSpeedString(std::uint8_t speed);
std::uint8_t DeterminePowerLevel(std::string_view level);
std::string DeterminePowerLevelString(std::uint8_t level);

bool SplitLongIntoBytes(std::int32_t value, std::uint8_t& b3, std::uint8_t& b2, std::uint8_t& b1, std::uint8_t& b0);
bool SplitCrcIntoBytes(std::int32_t value, std::uint8_t& b3, std::uint8_t& b2, std::uint8_t& b1, std::uint8_t& b0);

// The entries of the two fixed lists, in the order the window shows them.
inline constexpr std::array<std::string_view, 11> kPowerLevelEntries = {"100", "90", "80", "70", "60", "50",
                                                                        "40",  "30", "20", "10", "0"};
inline constexpr std::array<std::string_view, 3> kFanSpeedEntries = {"HIGH", "LOW", "OFF"};

}  // namespace ovn
