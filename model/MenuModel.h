// The menu held while the program runs: the 100 item slots, the system block,
// the 2409-byte file image and the editor's editing state (the dialogs keep
// their own values in dialogs/DialogValues.h). Standard library only: no toolkit types here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace ovn {

inline constexpr int kSlotCount = 100;
inline constexpr int kPageCount = 10;
inline constexpr int kItemsPerPage = 10;

inline constexpr std::size_t kImageSize = 2409;     // whole menu file
inline constexpr std::size_t kSystemBlockSize = 8;  // bytes 0..7
inline constexpr std::size_t kItemBlockSize = 24;   // one per slot
inline constexpr std::size_t kFirstItemBlock = 8;   // block of slot k starts at 8 + 24k
inline constexpr std::size_t kTrailingByte = 2408;  // carried over, covered by no check

// Oven types as the option buttons report them.
inline constexpr std::int16_t kNoOvenType = -1;
inline constexpr std::int16_t kGasOven = 0;
inline constexpr std::int16_t kElectricOven = 1;

using MenuImageBytes = std::array<std::uint8_t, kImageSize>;
using SystemBlockBytes = std::array<std::uint8_t, kSystemBlockSize>;

// One menu item slot. Every field but RoastNHold holds the text exactly as the
// window shows it (8-bit characters, one byte each: Latin-1).
struct MenuItemRecord {
    std::string Name;
    std::string CookTemp;
    std::string HoldTemp;
    std::string CookTime;  // "HHMM"
    std::string FanSpeed;
    std::string PowerLevel;
    std::uint8_t RoastNHold = 0;

    bool operator==(const MenuItemRecord&) const = default;
};

using MenuItemTable = std::array<MenuItemRecord, kSlotCount>;

// The menu and the editing state in one place, so that tests can reset them.
struct MenuState {
    MenuItemTable MenuItems{};
    SystemBlockBytes SystemBlock{};
    MenuImageBytes MenuImage{};
    std::string MenuDirectory;
    std::string MenuFileName;

    // Editing state of the editor window.
    std::int16_t CurrentListIndex = -1;
    std::int16_t CurrentItemIndex = -1;
    bool ItemChanged = false;
    bool IgnoreListClick = false;
};

// The one process-wide instance.
MenuState& Shared();

// Puts every process-wide value back to its state at process start
// (empty slots, zero image, indices -1, flags false).
void ResetMenuState();

// The defaults of a cleared slot: "", "325", "160", "0010", "HIGH", "100", 0.
MenuItemRecord DefaultItem();
void ItemClear(MenuItemRecord& item);
// Clears slot `slot` of Shared().MenuItems; a slot outside 0..99 is ignored.
void ItemClear(std::int16_t slot);

}  // namespace ovn
