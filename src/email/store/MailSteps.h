#pragma once

// Numbers of the steps of the e-mail operations, recorded in
// Mail().FailStep when a step fails (never shown to the user).

#include <cstdint>

namespace email {

inline constexpr std::uint16_t kStepDefaultStore = 4;
inline constexpr std::uint16_t kStepFolderOpen = 8;
inline constexpr std::uint16_t kStepCopyMissingSource = 10;
inline constexpr std::uint16_t kStepCopyAllocation = 11;
inline constexpr std::uint16_t kStepExpandStore = 12;
inline constexpr std::uint16_t kStepExpandFolderStore = 14;
inline constexpr std::uint16_t kStepExpandOpenFolder = 15;
inline constexpr std::uint16_t kStepExpandHierarchy = 16;
inline constexpr std::uint16_t kStepExpandColumns = 17;
inline constexpr std::uint16_t kStepContentsTable = 26;
inline constexpr std::uint16_t kStepContentsColumns = 27;
inline constexpr std::uint16_t kStepContentsSort = 28;
inline constexpr std::uint16_t kStepInitialize = 30;
inline constexpr std::uint16_t kStepLogon = 31;
inline constexpr std::uint16_t kStepLogonStoreAndFolder = 33;
inline constexpr std::uint16_t kStepFolderName = 34;
inline constexpr std::uint16_t kStepCopyUnderMissingSource = 36;
inline constexpr std::uint16_t kStepCopyUnderAllocation = 37;
inline constexpr std::uint16_t kStepRevealOpen = 38;
inline constexpr std::uint16_t kStepRevealCompareTop = 39;
inline constexpr std::uint16_t kStepRevealHierarchy = 41;
inline constexpr std::uint16_t kStepRevealColumns = 42;
inline constexpr std::uint16_t kStepRevealCompareChild = 44;
inline constexpr std::uint16_t kStepStoresTable = 45;
inline constexpr std::uint16_t kStepStoresColumns = 46;
inline constexpr std::uint16_t kStepTreeOpenStore = 48;
inline constexpr std::uint16_t kStepTreeCompareStore = 49;

} // namespace email
